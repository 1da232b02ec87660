#include "bindings/SetEnum.h"

#include "base/FixedText.h"
#include "base/TextUtil.h"
#include "model/RegisterItem.h"

void CSetEnum::Bind(tPerCfgItem& item, bool storeIndex, const char* description) {
    m_item = &item;
    m_storeIndex = storeIndex;
    if (description)
        SetDescription(description);
    Refresh();
}

void CSetEnum::SetDescription(std::string_view text) {
    const std::size_t mark = text.find("##");
    if (mark != std::string_view::npos && mark > 0) {
        m_suffix = std::string(text.substr(mark + 2));
        text = text.substr(0, mark);
    }
    m_description = std::string(text);
}

void CSetEnum::SetItems(std::vector<std::string> displayTexts,
                        std::vector<std::string> valueTexts) {
    m_displayTexts = std::move(displayTexts);
    m_valueTexts = std::move(valueTexts);
    m_listFromCode = true;
    if (CPageControl* control = GetWnd()) {
        control->SetItems(m_displayTexts);
        Refresh();
    }
}

int CSetEnum::IndexOfItem() const {
    if (!m_item)
        return -1;
    const std::string_view value = hwc::FieldText(m_item->szValue);
    for (std::size_t i = 0; i < m_valueTexts.size(); ++i) {
        if (m_valueTexts[i] == value)
            return static_cast<int>(i);
    }
    return -1;
}

int CSetEnum::GetIndex() const {
    if (const CPageControl* control = GetWnd())
        return control->Selection();
    return IndexOfItem();
}

void CSetEnum::WritePosition(int position) {
    if (!m_item || position < 0 || static_cast<std::size_t>(position) >= m_valueTexts.size())
        return;
    hwc::CopyCut(m_item->szValue, m_valueTexts[static_cast<std::size_t>(position)]);
    if (m_storeIndex)
        m_item->dwValue = static_cast<std::uint32_t>(position);
}

void CSetEnum::Refresh() {
    if (CPageControl* control = GetWnd())
        control->SetSelection(IndexOfItem());
}

void CSetEnum::Apply() {
    CPageControl* control = GetWnd();
    if (!control)
        return;
    WritePosition(control->Selection());
    NotifyDocument(hwc::kHintChoiceWritten);
}

void CSetEnum::OnAttached() {
    CPageControl& control = *GetWnd();
    m_description = CompletedDescription(m_description, LabelBefore());
    if (!m_listFromCode) {
        // Template entries read "Display=VALUE"; one without '=' is both texts.
        m_displayTexts.clear();
        m_valueTexts.clear();
        for (const std::string& entry : control.Items()) {
            const std::vector<std::string> parts = hwc::Split(entry, '=');
            m_displayTexts.emplace_back(hwc::Trim(parts[0]));
            m_valueTexts.emplace_back(hwc::Trim(parts.size() > 1 ? parts[1] : parts[0]));
        }
    }
    control.SetItems(m_displayTexts);
    Refresh();
}

void CSetEnum::OnControlEvent(CPageControl& control, EControlEvent event) {
    if (event == EControlEvent::SelectionChanged || event == EControlEvent::FocusLost)
        Apply();
}

std::string CSetEnum::GetSummaryText(bool withValue, std::uint32_t layoutFlags) const {
    if (!m_enabled)
        return {};
    if (!withValue)
        return m_description;
    const int index = GetIndex();
    std::string text = index >= 0 && static_cast<std::size_t>(index) < m_displayTexts.size()
                           ? m_displayTexts[static_cast<std::size_t>(index)]
                           : std::string();
    if (layoutFlags & hwc::SumFlag::QUOTED)
        text = '"' + text + '"';
    return m_description + ": " + text + " " + m_suffix;
}

tBindingField CSetEnum::Field() const {
    return {m_item ? &m_item->dwValue : nullptr, 0xFFFFFFFFu, false, 0, 0, m_description};
}
