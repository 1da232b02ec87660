#include "bindings/SetString.h"

#include "base/FixedText.h"
#include "base/TextUtil.h"
#include "model/RegisterItem.h"

void CSetString::Bind(tPerCfgItem* item, const char* description) {
    if (description)
        SetDescription(description);
    if (!item)
        return;
    m_item = item;
    m_text = hwc::FieldText(item->szValue);
}

void CSetString::SetDescription(std::string_view text) {
    const std::size_t unit = text.find("##");
    if (unit == std::string_view::npos || unit == 0) {
        m_description = text;
        m_suffix.clear();
        return;
    }
    m_description = text.substr(0, unit);
    m_suffix = text.substr(unit + 2);
}

void CSetString::SetText(std::string_view text) {
    if (IsAttached())
        GetWnd()->SetText(std::string(text));
    else
        m_text = text;
    Apply();
}

std::string CSetString::GetText() const {
    return IsAttached() ? GetWnd()->Text() : m_text;
}

void CSetString::OnAttached() {
    m_description = CompletedDescription(m_description, LabelBefore());
    if (m_item)
        m_text = hwc::FieldText(m_item->szValue);
    GetWnd()->SetText(m_text);
    Apply();
}

void CSetString::Refresh() {
    if (m_item)
        m_text = m_item->dwValue != 0 ? std::string(hwc::FieldText(m_item->szValue)) : "";
    if (!IsAttached())
        return;
    GetWnd()->SetText(m_text);
    Apply();
}

void CSetString::Apply() {
    const std::string text = GetText();
    m_text = hwc::Trim(text);
    if (!m_item)
        return;
    hwc::CopyCut(m_item->szValue, m_text);
    m_item->dwValue = m_text.empty() ? 0 : 1;
}

std::string CSetString::GetSummaryText(bool withValue, std::uint32_t layoutFlags) const {
    if (!m_enabled)
        return {};
    if (!withValue)
        return m_description;
    const std::string text = (layoutFlags & hwc::SumFlag::QUOTED) ? "\"" + m_text + "\"" : m_text;
    return m_description + ": " + text + " " + m_suffix;
}

tBindingField CSetString::Field() const {
    return {m_item ? &m_item->dwValue : nullptr, 0xFFFFFFFFu, false, 0, 0, m_description};
}
