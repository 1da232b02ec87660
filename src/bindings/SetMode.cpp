#include "bindings/SetMode.h"

#include "base/FixedText.h"
#include "base/Messages.h"
#include "base/NumberScan.h"
#include "base/TextUtil.h"
#include "bindings/FieldBits.h"
#include "model/RegisterItem.h"

namespace {

// The number an entry names: after its first "(=", else at its start.
std::optional<std::uint32_t> EntryNumber(std::string_view entry) {
    const std::size_t mark = entry.find("(=");
    return hwc::ReadLeadingU32(mark == std::string_view::npos ? entry : entry.substr(mark + 2));
}

} // namespace

void CSetMode::Bind(tPerCfgItem& item, int lowBit, int highBit, int offset, const char* description,
                    std::span<const int> table) {
    m_value = &item.dwValue;
    m_description = description ? std::string(description) : std::string();
    m_selfTestItem = &item;
    const hwc::FieldBits field = hwc::FieldFromBits(lowBit, highBit);
    m_mask = field.mask;
    m_shift = field.shift;
    m_minimum = 0;
    m_maximum = m_mask;
    m_offset = offset;
    if (table.empty())
        m_table.reset();
    else
        m_table.emplace(table.begin(), table.end());
    Refresh();
}

void CSetMode::BindCustom(Setter setter, Getter getter, void* context, int parameter,
                          const char* description) {
    m_setter = setter;
    m_getter = getter;
    m_context = context;
    m_parameter = parameter;
    m_description = description ? std::string(description) : std::string();
    Refresh();
}

void CSetMode::SetItems(std::span<const int> table,
                        std::optional<std::vector<std::string>> displayTexts) {
    if (table.empty())
        m_table.reset();
    else
        m_table.emplace(table.begin(), table.end());
    if (displayTexts) {
        if (m_table && displayTexts->size() > m_table->size())
            displayTexts->resize(m_table->size());
        m_displayTexts = std::make_shared<const std::vector<std::string>>(std::move(*displayTexts));
        m_listFromCode = true;
        FillControl();
    }
    Refresh();
}

void CSetMode::SetItems(std::span<const int> table,
                        std::shared_ptr<const std::vector<std::string>> displayTexts) {
    if (displayTexts && table.size() > 0 && displayTexts->size() > table.size()) {
        SetItems(table, std::vector<std::string>(displayTexts->begin(),
                                                 displayTexts->begin() + table.size()));
        return;
    }
    if (table.empty())
        m_table.reset();
    else
        m_table.emplace(table.begin(), table.end());
    m_displayTexts = displayTexts ? std::move(displayTexts)
                                  : std::make_shared<const std::vector<std::string>>();
    m_listFromCode = true;
    FillControl();
    Refresh();
}

void CSetMode::FillControl() {
    if (CPageControl* control = GetWnd())
        control->ShareItems(m_displayTexts);
}

const std::vector<std::string>& CSetMode::DisplayTexts() const {
    static const std::vector<std::string> kNone;
    return m_displayTexts ? *m_displayTexts : kNone;
}

const std::vector<std::string>& CSetMode::Entries() const {
    return GetWnd() ? GetWnd()->Items() : DisplayTexts();
}

int CSetMode::EntryOfNumber(int value) const {
    const std::vector<std::string>& entries = Entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (EntryNumber(entries[i]) == static_cast<std::uint32_t>(value))
            return static_cast<int>(i);
    }
    return -1;
}

int CSetMode::FieldValue() const {
    if (m_getter)
        return m_getter(m_context, m_parameter);
    if (!m_value)
        return -1;
    const std::uint32_t field = hwc::ShiftRight(*m_value, m_shift) & m_mask;
    if (!m_table)
        return static_cast<int>(field);
    for (std::size_t i = 0; i < m_table->size(); ++i) {
        if (static_cast<std::uint32_t>((*m_table)[i]) == field)
            return static_cast<int>(i);
    }
    return -1;
}

void CSetMode::WriteValue(int value) {
    if (m_setter) {
        m_setter(value, m_context, m_parameter);
        return;
    }
    if (!m_value)
        return;
    int field = value;
    if (m_table && value >= 0) {
        // A position beyond the table stands for no valid choice, like no selection.
        field = static_cast<std::size_t>(value) < m_table->size()
                    ? (*m_table)[static_cast<std::size_t>(value)]
                    : -1;
    }
    const std::uint32_t bits = static_cast<std::uint32_t>(field) & m_mask;
    *m_value = (*m_value & ~hwc::ShiftLeft(m_mask, m_shift)) | hwc::ShiftLeft(bits, m_shift);
}

std::optional<int> CSetMode::TypedNumber(std::string_view text) const {
    const std::uint32_t low = static_cast<std::uint32_t>(m_offset) + m_minimum;
    const std::uint32_t high = static_cast<std::uint32_t>(m_offset) + m_maximum;
    const std::optional<std::uint32_t> number = EntryNumber(text);
    if (!number || *number < low || *number > high)
        return std::nullopt;
    return static_cast<int>(*number);
}

int CSetMode::GetIndex(bool& valid, bool showMessages) {
    valid = true;
    CPageControl* control = GetWnd();
    if (!control)
        return FieldValue();
    if (!m_editable)
        return control->Selection();
    if (const std::optional<int> number = TypedNumber(control->Text()))
        return *number;
    valid = false;
    if (showMessages) {
        hwc::ShowMessage(hwc::Format("Please enter a value between %d and %d",
                                     static_cast<int>(m_offset + m_minimum),
                                     static_cast<int>(m_offset + m_maximum)));
        if (IPageObserver* observer = control->Page().Observer())
            observer->OnFocusRequested(*control);
    }
    return -1;
}

int CSetMode::GetValue() {
    bool valid = false;
    const int index = GetIndex(valid, false);
    if (!m_table || index < 0)
        return index;
    return static_cast<std::size_t>(index) < m_table->size()
               ? (*m_table)[static_cast<std::size_t>(index)]
               : -1;
}

void CSetMode::SetIndex(int value) {
    CPageControl* control = GetWnd();
    if (!control) {
        WriteValue(value);
        return;
    }
    if (!m_editable) {
        control->SetSelection(value);
        return;
    }
    int entry = EntryOfNumber(value);
    if (entry < 0)
        entry = control->AddItem(hwc::Format("%u", static_cast<std::uint32_t>(value)));
    control->SetSelection(entry);
    // The edit field shows the entry even when it was selected already and typed over since.
    control->SetText(control->Items()[static_cast<std::size_t>(entry)]);
}

void CSetMode::EnableAndClear(bool enable, bool clear) {
    if (CPageControl* control = GetWnd(); control && clear && !enable) {
        control->SetSelection(-1);
        control->SetText({});
    }
    Enable(enable);
}

std::string CSetMode::ValueText(int value) const {
    if (value < 0)
        return {};
    if (m_editable) {
        const int entry = EntryOfNumber(value);
        return entry < 0 ? hwc::Format("%u", static_cast<std::uint32_t>(value))
                         : Entries()[static_cast<std::size_t>(entry)];
    }
    const std::vector<std::string>& entries = Entries();
    if (static_cast<std::size_t>(value) >= entries.size())
        return "<Invalid>";
    return entries[static_cast<std::size_t>(value)];
}

void CSetMode::Refresh() {
    if (IsAttached())
        SetIndex(FieldValue());
}

void CSetMode::Apply() {
    if (!IsAttached())
        return;
    bool valid = false;
    WriteValue(GetIndex(valid, false));
    NotifyDocument(hwc::kHintChoiceWritten);
}

void CSetMode::OnAttached() {
    m_description = CompletedDescription(m_description, LabelBefore());
    m_editable = GetWnd()->Kind() == EControlKind::DropDown;
    // A list from the template is the combo box's own until the box goes away.
    if (m_listFromCode)
        FillControl();
    Refresh();
}

void CSetMode::OnControlDestroyed(CPageControl& control) {
    if (!m_listFromCode && &control == GetWnd())
        m_displayTexts = std::make_shared<const std::vector<std::string>>(control.Items());
    CSetCtrl::OnControlDestroyed(control);
}

void CSetMode::OnControlEvent(CPageControl& control, EControlEvent event) {
    switch (event) {
    case EControlEvent::SelectionChanged:
    case EControlEvent::FocusLost:
        Apply();
        break;
    case EControlEvent::TextChanged:
        if (m_editable)
            Apply();
        break;
    default:
        break;
    }
}

std::string CSetMode::GetSummaryText(bool withValue, std::uint32_t layoutFlags) const {
    if (!m_enabled)
        return {};
    if (!withValue)
        return m_description;
    // The summary only reads: no messages, and a detached binding answers from the register.
    int value = FieldValue();
    if (const CPageControl* control = GetWnd())
        value = m_editable ? TypedNumber(control->Text()).value_or(-1) : control->Selection();
    std::string valueText = ValueText(value);
    if (layoutFlags & hwc::SumFlag::QUOTED)
        valueText = '"' + valueText + '"';
    std::string label = m_description;
    std::string suffix;
    const std::size_t mark = m_description.find("##");
    if (mark != std::string::npos && mark > 0) {
        label = m_description.substr(0, mark);
        suffix = m_description.substr(mark + 2);
    }
    const std::string prefix = (layoutFlags & hwc::SumFlag::ALTERNATE) ? "" : label + ": ";
    return prefix + valueText + " " + suffix;
}

void CSetMode::SelfTest() {
    bool valid = false;
    const int remembered = GetIndex(valid, false);
    const std::uint32_t registerBefore = m_value ? *m_value : 0;
    // Typed numbers of an editable combo box may add entries; only the original ones are tried.
    const int count = IsAttached() ? static_cast<int>(GetWnd()->Items().size()) : 0;
    for (int i = 0; i < count; ++i) {
        SetIndex(i);
        Apply();
        const std::string registerText =
            m_value ? hwc::SelfTestRegisterText(hwc::FieldText(m_selfTestItem->szName),
                                                m_selfTestItem->dwFlags, *m_value)
                    : std::string(hwc::kCustomHandlerText);
        const std::string description =
            m_description.empty() ? std::string(hwc::kMissingDescription) : m_description;
        hwc::WriteSelfTestLine(hwc::Format("SM[%4d]; LBITEM[%02d]; %s; %s; %s; %s", GetCtrlId(), i,
                                           hwc::PadSelfTestColumn(registerText).c_str(),
                                           hwc::PadSelfTestColumn(ValueText(i)).c_str(),
                                           hwc::PadSelfTestColumn(description).c_str(), ""));
    }
    SetIndex(remembered);
    Apply();
    // A register value no entry stood for would come back as all ones; keep the original.
    if (m_value && !m_setter && *m_value != registerBefore) {
        *m_value = registerBefore;
        Refresh();
    }
}

bool CSetMode::ValidateControl(bool show) {
    bool valid = true;
    const int index = GetIndex(valid, show);
    if (!valid)
        return false;
    if (index >= 0)
        return true;
    if (show)
        hwc::ShowMessage("Selection is not valid");
    return false;
}

tBindingField CSetMode::Field() const {
    return {m_value, hwc::ShiftLeft(m_mask, m_shift), false, 0, 0, m_description};
}
