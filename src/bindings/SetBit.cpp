#include "bindings/SetBit.h"

#include "base/FixedText.h"
#include "base/TextUtil.h"
#include "model/RegisterItem.h"

namespace {
constexpr int kIndeterminate = 2;
} // namespace

void CSetBit::Bind(tPerCfgItem& item, int bit, bool inverted, const char* description) {
    m_value = &item.dwValue;
    if (description)
        m_description = description;
    m_setter = nullptr;
    m_getter = nullptr;
    m_inverted = inverted;
    m_selfTestItem = &item;
    m_mask = std::uint32_t{1} << (static_cast<unsigned>(bit) % 32);
    Refresh();
}

void CSetBit::BindCustom(Setter setter, Getter getter, void* context, int parameter,
                         const char* description) {
    m_setter = setter;
    m_getter = getter;
    m_context = context;
    m_parameter = parameter;
    m_description = description ? description : "";
    Refresh();
}

int CSetBit::IsChecked() const {
    if (!IsBound())
        return 0;
    if (IsAttached())
        return GetWnd()->Check();
    return RegisterState() ? 1 : 0;
}

bool CSetBit::RegisterState() const {
    if (m_getter)
        return m_getter(m_context, m_parameter);
    if (!m_value)
        return false;
    return ((*m_value & m_mask) != 0) != m_inverted;
}

void CSetBit::WriteState(bool checked) {
    if (m_setter) {
        m_setter(checked, m_context, m_parameter);
        return;
    }
    if (!m_value)
        return;
    *m_value &= ~m_mask;
    if (checked != m_inverted)
        *m_value |= m_mask;
}

void CSetBit::SetState(int state) {
    if (IsAttached())
        GetWnd()->SetCheck(state);
    else if (state != kIndeterminate)
        WriteState(state != 0);
}

void CSetBit::Refresh() {
    if (IsAttached())
        GetWnd()->SetCheck(RegisterState() ? 1 : 0);
}

void CSetBit::Apply() {
    if (!IsAttached())
        return;
    const int state = GetWnd()->Check();
    if (state == kIndeterminate)
        return;
    WriteState(state != 0);
    NotifyDocument(hwc::kHintBitWritten);
}

void CSetBit::ApplyRadioGroup(CPageControl& clicked) {
    for (CPageControl* other : clicked.Page().RadioGroupOf(clicked)) {
        if (other == &clicked || !other->Handler())
            continue;
        other->Handler()->OnControlEvent(*other, EControlEvent::FocusLost);
    }
}

void CSetBit::OnControlEvent(CPageControl& control, EControlEvent event) {
    if (event == EControlEvent::Clicked) {
        if (control.Kind() == EControlKind::RadioButton)
            ApplyRadioGroup(control);
        Apply();
        return;
    }
    CSetCtrl::OnControlEvent(control, event);
}

void CSetBit::OnAttached() {
    m_description = CompletedDescription(m_description, GetWnd()->Text());
    Refresh();
}

void CSetBit::WriteSelfTestLine() {
    const std::string registerText =
        m_value ? hwc::SelfTestRegisterText(hwc::FieldText(m_selfTestItem->szName),
                                            m_selfTestItem->dwFlags, *m_value)
                : hwc::kCustomHandlerText;
    const std::string caption = IsAttached() ? GetWnd()->Text() : std::string();
    const std::string description =
        m_description.empty() ? std::string(hwc::kMissingDescription) : m_description;
    hwc::WriteSelfTestLine(hwc::Format(
        "SB[%4d]; CHKBOX_%s; %s; %s; %s", GetCtrlId(), IsChecked() == 1 ? "ON " : "OFF",
        hwc::PadSelfTestColumn(registerText).c_str(), hwc::PadSelfTestColumn(caption).c_str(),
        hwc::PadSelfTestColumn(description).c_str()));
}

void CSetBit::SelfTest() {
    const int remembered = IsChecked();
    for (int state : {0, 1}) {
        SetState(state);
        Apply();
        WriteSelfTestLine();
    }
    SetState(remembered);
    Apply();
}

std::string CSetBit::GetSummaryText(bool withValue, std::uint32_t layoutFlags) const {
    if (!m_enabled)
        return {};
    if (!withValue)
        return m_description;
    // An indeterminate box leaves its register alone, so the summary describes the register.
    const int state = IsChecked();
    const bool checked = state == kIndeterminate ? RegisterState() : state == 1;
    return hwc::CheckBoxSummaryWording(m_description, checked, layoutFlags);
}

tBindingField CSetBit::Field() const {
    return {m_value, m_mask, false, 0, 0, m_description};
}
