#include "bindings/SetValue.h"

#include <cstdio>

#include "base/FixedText.h"
#include "base/Messages.h"
#include "base/TextUtil.h"
#include "bindings/FieldBits.h"
#include "model/RegisterItem.h"

namespace {

// The digit's value, or a value too large for any base for a character that is no digit.
int DigitValue(char c) {
    const int value = hwc::HexDigitValue(c);
    return value < 0 ? 99 : value;
}

// A whole text that is one number in the base: blanks, an optional plus sign, digits and
// nothing after them. A minus sign is not read (the binding refuses negative text before), and
// more than 32 bits is unreadable.
bool ReadWholeNumber(std::string_view text, unsigned base, std::uint32_t& value) {
    std::size_t i = 0;
    while (i < text.size() && hwc::IsSpace(text[i]))
        ++i;
    if (i < text.size() && text[i] == '+')
        ++i;
    if (i == text.size())
        return false;
    std::uint64_t number = 0;
    for (; i < text.size(); ++i) {
        const int digit = DigitValue(text[i]);
        if (digit >= static_cast<int>(base))
            return false;
        number = number * base + static_cast<unsigned>(digit);
        if (number > 0xFFFFFFFFu)
            return false;
    }
    value = static_cast<std::uint32_t>(number);
    return true;
}

// The conversion letter of a format that holds exactly one integer conversion (and "%%"
// otherwise), or 0. Only such formats are used with a value, so a module's format cannot ask
// for arguments that are not there.
char SingleIntegerConversion(std::string_view format) {
    char conversion = 0;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%')
            continue;
        ++i;
        if (i < format.size() && format[i] == '%')
            continue;
        while (i < format.size() &&
               std::string_view("-+ #0123456789").find(format[i]) != std::string_view::npos)
            ++i;
        if (i == format.size() ||
            std::string_view("diuxXo").find(format[i]) == std::string_view::npos)
            return 0;
        if (conversion)
            return 0;
        conversion = format[i];
    }
    return conversion;
}

} // namespace

void CSetValue::Bind(tPerCfgItem& item, int lowBit, int highBit, int offset,
                     const char* description, bool hex, std::uint32_t minimum,
                     std::uint32_t maximum, bool zeroAllowed) {
    m_value = &item.dwValue;
    m_description = description ? std::string(description) : std::string();
    m_selfTestItem = &item;
    const hwc::FieldBits field = hwc::FieldFromBits(lowBit, highBit);
    m_mask = field.mask;
    m_shift = field.shift;
    m_hex = hex;
    m_minimum = minimum;
    m_zeroAllowed = zeroAllowed;
    m_maximum = maximum != 0 ? maximum : m_mask;
    m_offset = offset;
    Refresh();
}

void CSetValue::BindCustom(Setter setter, Getter getter, void* context, int parameter,
                           const char* description) {
    m_setter = setter;
    m_getter = getter;
    m_context = context;
    m_parameter = parameter;
    if (description)
        m_description = std::string(description);
    Refresh();
}

void CSetValue::SetTextHandlers(Parser parser, Formatter formatter, void* context, int parameter) {
    m_parser = parser;
    m_formatter = formatter;
    m_context = context;
    m_parameter = parameter;
}

void CSetValue::SetEmptyAllowed(bool allowed, std::uint32_t emptyValue) {
    m_emptyAllowed = allowed;
    m_emptyValue = emptyValue;
}

std::uint32_t CSetValue::GetValue() const {
    if (m_getter)
        return m_getter(m_context, m_parameter);
    if (!m_value)
        return 0;
    return static_cast<std::uint32_t>(m_offset) + (m_mask & hwc::ShiftRight(*m_value, m_shift));
}

void CSetValue::SetValue(std::uint32_t value) {
    if (m_setter) {
        m_setter(value, m_context, m_parameter);
        return;
    }
    if (!m_value)
        return;
    const std::uint32_t field = (value - static_cast<std::uint32_t>(m_offset)) & m_mask;
    *m_value = (*m_value & ~hwc::ShiftLeft(m_mask, m_shift)) | hwc::ShiftLeft(field, m_shift);
}

std::string CSetValue::FormatValue(std::uint32_t value) const {
    if (m_formatter) {
        std::string text;
        m_formatter(text, value, m_context, m_parameter);
        return text;
    }
    if (m_emptyAllowed && value == m_emptyValue)
        return {};
    if (!m_customFormat.empty() && SingleIntegerConversion(m_customFormat))
        return hwc::Format(m_customFormat.c_str(), value);
    return m_hex ? hwc::Format("0x%X", value) : hwc::Format("%u", value);
}

void CSetValue::ShowValue(std::uint32_t value) {
    if (CPageControl* control = GetWnd())
        control->SetText(FormatValue(value));
}

std::string_view CSetValue::ControlText() const {
    return GetWnd() ? std::string_view(GetWnd()->Text()) : std::string_view();
}

bool CSetValue::ReadText(std::string_view text, std::uint32_t& value) const {
    if (m_parser)
        return m_parser(value, std::string(text), m_context, m_parameter);
    if (m_customFormat.empty()) {
        if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
            return ReadWholeNumber(text.substr(2), 16, value);
        return ReadWholeNumber(text, 10, value);
    }
    const char conversion = SingleIntegerConversion(m_customFormat);
    // The C reader stops at a NUL byte, so a text holding one cannot be read exactly.
    if (!conversion || text.find('\0') != std::string_view::npos)
        return false;
    const std::string format = m_customFormat + "%c";
    const std::string zeroEnded(text);
    char after = 0;
    if (conversion == 'd' || conversion == 'i') {
        int number = 0;
        if (std::sscanf(zeroEnded.c_str(), format.c_str(), &number, &after) != 1)
            return false;
        value = static_cast<std::uint32_t>(number);
        return true;
    }
    unsigned number = 0;
    if (std::sscanf(zeroEnded.c_str(), format.c_str(), &number, &after) != 1)
        return false;
    value = number;
    return true;
}

std::string CSetValue::TextProblem(std::uint32_t& value, bool& focus) const {
    const std::string_view text = hwc::Trim(ControlText());
    focus = true;
    if (!m_parser && !text.empty() && text.front() == '-')
        return "Entered value must not be negative.";
    if (!ReadText(text, value)) {
        focus = false;
        return "Invalid value entered!";
    }
    return RangeProblem(value);
}

std::uint32_t CSetValue::ParseText(bool& ok, bool showMessages) const {
    std::uint32_t value = 0;
    bool focus = false;
    const std::string problem = TextProblem(value, focus);
    ok = problem.empty();
    if (!ok && showMessages) {
        if (focus)
            Refuse(problem);
        else
            hwc::ShowMessage(problem);
    }
    return value;
}

std::string CSetValue::BoundText(std::uint32_t bound) const {
    return m_hex ? hwc::Format("0x%x", bound) : hwc::Format("%d", static_cast<int>(bound));
}

std::string CSetValue::RangeProblem(std::uint32_t value) const {
    const std::uint32_t low = static_cast<std::uint32_t>(m_offset) + m_minimum;
    const std::uint32_t high = static_cast<std::uint32_t>(m_offset) + m_maximum;
    if (value < low && !(value == 0 && m_zeroAllowed))
        return "Entered value must be greater than " + BoundText(low - 1);
    if (value > high)
        return "Entered value must be lower than " + BoundText(high + 1);
    return {};
}

void CSetValue::Refuse(const std::string& message) const {
    hwc::ShowMessage(message);
    CPageControl* control = GetWnd();
    if (control && control->Page().Observer())
        control->Page().Observer()->OnFocusRequested(*control);
}

bool CSetValue::RangeCheck(std::uint32_t value, bool showMessages) const {
    const std::string problem = RangeProblem(value);
    if (problem.empty())
        return true;
    if (showMessages)
        Refuse(problem);
    return false;
}

std::uint32_t CSetValue::ValidateValue(bool& valid, bool showMessages) {
    if (!IsAttached()) {
        const std::uint32_t value = GetValue();
        valid = RangeCheck(value, showMessages);
        return value;
    }
    // An empty text is the empty value where one is allowed: nothing to complain about.
    if (m_emptyAllowed && hwc::Trim(ControlText()).empty()) {
        valid = true;
        return m_emptyValue;
    }
    bool ok = false;
    const std::uint32_t value = ParseText(ok, showMessages);
    if (ok && showMessages) {
        const std::uint32_t previousWord = m_value ? *m_value : 0;
        const std::uint32_t previousValue = GetValue();
        SetValue(value);
        const std::uint32_t held = GetValue();
        if (held != value) {
            const std::string question =
                hwc::Format("The value of '%s' (%s) is not valid and should be rounded.The nearest "
                            "acceptable value is '%s'.\n\nAccept?",
                            GetSummaryText(false, 0).c_str(), FormatValue(value).c_str(),
                            FormatValue(held).c_str());
            if (hwc::ShowMessage(question, hwc::EButtons::YesNo, hwc::EAnswer::Yes) ==
                hwc::EAnswer::Yes) {
                Refresh();
            } else {
                // Declined: the register goes back to what it held before the attempt.
                if (m_value && !m_setter)
                    *m_value = previousWord;
                else
                    SetValue(previousValue);
                ok = false;
            }
        }
    }
    if (ok) {
        valid = true;
        return value;
    }
    valid = m_emptyAllowed;
    return m_emptyAllowed ? m_emptyValue : value;
}

void CSetValue::ToggleBase() {
    CPageControl* control = GetWnd();
    if (!control)
        return;
    const std::string_view text = hwc::TrimLeft(control->Text());
    m_hex = !(text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'));
    std::uint32_t value = 0;
    if (ReadText(hwc::Trim(text), value))
        ShowValue(value);
    else if (m_emptyAllowed)
        ShowValue(m_emptyValue);
}

void CSetValue::Refresh() {
    CPageControl* control = GetWnd();
    if (!control)
        return;
    ShowValue(GetValue());
    bool valid = false;
    CurrentValue(valid);
    MarkValidity(*control, valid);
}

void CSetValue::Apply() {
    CPageControl* control = GetWnd();
    if (!control)
        return;
    bool valid = false;
    const std::uint32_t value = ValidateValue(valid, false);
    if (valid) {
        SetValue(value);
        NotifyDocument(hwc::kHintValueWritten);
    }
    MarkValidity(*control, valid);
}

void CSetValue::MarkValidity(CPageControl& control, bool valid) {
    std::string reason;
    if (!valid) {
        std::uint32_t value = 0;
        bool focus = false;
        reason = TextProblem(value, focus);
    }
    control.Page().SetCtrlBkColor(control.Id(),
                                  valid ? std::nullopt : std::optional<tColour>(kInvalidColour));
    control.SetToolTip(std::move(reason));
}

void CSetValue::OnAttached() {
    m_description = CompletedDescription(m_description, LabelBefore());
    Refresh();
}

void CSetValue::OnControlEvent(CPageControl& control, EControlEvent event) {
    if (event == EControlEvent::TextChanged || event == EControlEvent::FocusLost)
        Apply();
}

std::uint32_t CSetValue::CurrentValue(bool& valid) const {
    if (!IsAttached()) {
        valid = true;
        return GetValue();
    }
    if (m_emptyAllowed && hwc::Trim(ControlText()).empty()) {
        valid = true;
        return m_emptyValue;
    }
    bool ok = false;
    const std::uint32_t value = ParseText(ok, false);
    valid = ok || m_emptyAllowed;
    return ok || !m_emptyAllowed ? value : m_emptyValue;
}

std::string CSetValue::GetSummaryText(bool withValue, std::uint32_t layoutFlags) const {
    if (!m_enabled)
        return {};
    if (!withValue)
        return m_description;
    bool valid = false;
    const std::uint32_t value = CurrentValue(valid);
    std::string valueText;
    if ((layoutFlags & hwc::SumFlag::STYLE_MASK) == 2)
        valueText = hwc::Format((layoutFlags & hwc::SumFlag::ALTERNATE) ? "%x" : "0x%x", value);
    else
        valueText = FormatValue(value);
    if (layoutFlags & hwc::SumFlag::QUOTED)
        valueText = '"' + valueText + '"';
    std::string label = m_description;
    std::string unit;
    const std::size_t mark = m_description.find("##");
    if (mark != std::string::npos && mark > 0) {
        label = m_description.substr(0, mark);
        unit = " " + m_description.substr(mark + 2);
    }
    return label.empty() ? valueText + unit : label + ": " + valueText + unit;
}

void CSetValue::SelfTest() {
    bool valid = false;
    std::uint32_t remembered = CurrentValue(valid);
    if (!valid)
        remembered = GetValue();
    const std::uint32_t n = m_maximum - m_minimum + 1;
    const std::uint32_t steps = n < 50 ? n : 50;
    const std::uint32_t base = static_cast<std::uint32_t>(m_offset) + m_minimum;
    for (std::uint32_t i = 0; i < steps; ++i) {
        const std::uint32_t testValue =
            n <= 50
                ? base + i
                : base + static_cast<std::uint32_t>(std::uint64_t{m_maximum - m_minimum} * i / 50);
        if (IsAttached())
            ShowValue(testValue);
        else
            SetValue(testValue);
        Apply();
        bool currentValid = false;
        const std::uint32_t current = CurrentValue(currentValid);
        const std::string registerText =
            m_value ? hwc::SelfTestRegisterText(hwc::FieldText(m_selfTestItem->szName),
                                                m_selfTestItem->dwFlags, *m_value)
                    : std::string(hwc::kCustomHandlerText);
        const std::string description =
            m_description.empty() ? std::string(hwc::kMissingDescription) : m_description;
        hwc::WriteSelfTestLine(
            hwc::Format("ED[%4d]; 0x%08x; %s; %s; %s; %s", GetCtrlId(), current,
                        hwc::PadSelfTestColumn(registerText).c_str(),
                        hwc::PadSelfTestColumn(hwc::Format("Test Value %u", testValue)).c_str(),
                        hwc::PadSelfTestColumn(description).c_str(), ""));
    }
    if (IsAttached())
        ShowValue(remembered);
    else
        SetValue(remembered);
    Apply();
}

bool CSetValue::ValidateControl(bool show) {
    bool valid = true;
    ValidateValue(valid, show);
    return valid;
}

namespace hwc {

bool ToggleFocusedValueBase(CPage& page) {
    CPageControl* focused = page.Focused();
    auto* value = focused ? dynamic_cast<CSetValue*>(focused->Handler()) : nullptr;
    if (!value)
        return false;
    value->ToggleBase();
    return true;
}

} // namespace hwc

tBindingField CSetValue::Field() const {
    return {m_value, hwc::ShiftLeft(m_mask, m_shift), true, m_minimum, m_maximum, m_description};
}
