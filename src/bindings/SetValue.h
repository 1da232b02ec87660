#pragma once
// The edit-box binding for a numeric bit field: the typed text is read (hex with "0x", decimal,
// or the module's own format or parser), range-checked and written into the field with its
// offset and shift. Invalid text marks the edit box light red, with the reason as its tool-tip,
// and leaves the register at its last valid value.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "bindings/SetCtrl.h"

struct tPerCfgItem;

class CSetValue : public CSetCtrl {
public:
    using Setter = void (*)(std::uint32_t value, void* context, int parameter);
    using Getter = std::uint32_t (*)(void* context, int parameter);
    using Parser = bool (*)(std::uint32_t& value, const std::string& text, void* context,
                            int parameter);
    using Formatter = void (*)(std::string& text, std::uint32_t value, void* context,
                               int parameter);

    // The background of an edit box holding text that cannot be taken.
    static constexpr tColour kInvalidColour{255, 192, 192};

    // Binds bits lowBit..highBit of the item; a maximum of 0 means the largest field value.
    void Bind(tPerCfgItem& item, int lowBit, int highBit, int offset, const char* description,
              bool hex, std::uint32_t minimum, std::uint32_t maximum, bool zeroAllowed);
    // Module functions replace the register read and write; the description is kept when none
    // is given.
    void BindCustom(Setter setter, Getter getter, void* context, int parameter,
                    const char* description = nullptr);
    // Module functions replace the text reading and formatting (context and parameter are
    // shared with the custom setter and getter).
    void SetTextHandlers(Parser parser, Formatter formatter, void* context, int parameter);
    // An empty (or unreadable) text stands for `emptyValue`, which is shown as an empty text.
    void SetEmptyAllowed(bool allowed, std::uint32_t emptyValue = 0xFFFFFFFF);
    // The accepted values before the offset is added (Bind sets them too).
    void SetRange(std::uint32_t minimum, std::uint32_t maximum) {
        m_minimum = minimum;
        m_maximum = maximum;
    }
    // A printf-style format with one integer conversion, used to show and to read the value.
    void SetCustomFormat(std::string format) { m_customFormat = std::move(format); }

    std::uint32_t GetValue() const;
    void SetValue(std::uint32_t value);
    std::string FormatValue(std::uint32_t value) const;
    void ShowValue(std::uint32_t value);
    // Reads the edit text; `ok` is false when it is unreadable or out of range.
    std::uint32_t ParseText(bool& ok, bool showMessages) const;
    // The value the edit text stands for. With messages a valid value is also written, and a
    // value the field cannot hold exactly is offered rounded.
    std::uint32_t ValidateValue(bool& valid, bool showMessages);
    bool ValidateControl(bool show) override;
    // Switches the display between hex and decimal.
    void ToggleBase();

    const std::string& Description() const { return m_description; }
    std::uint32_t Mask() const { return m_mask; }
    int Shift() const { return m_shift; }
    std::uint32_t Minimum() const { return m_minimum; }
    std::uint32_t Maximum() const { return m_maximum; }
    bool IsHex() const { return m_hex; }

    void Refresh() override;
    void Apply() override;
    void SelfTest() override;
    std::string GetSummaryText(bool withValue, std::uint32_t layoutFlags) const override;
    tBindingField Field() const override;
    void OnControlEvent(CPageControl& control, EControlEvent event) override;

protected:
    void OnAttached() override;

private:
    // Why the control's text cannot be taken, or an empty text when it can; `value` receives
    // what the text stands for, `focus` whether a message about it also focuses the control.
    std::string TextProblem(std::uint32_t& value, bool& focus) const;
    // Why the value lies outside the accepted range, or an empty text.
    std::string RangeProblem(std::uint32_t value) const;
    // Shows the refusal and asks the renderer to focus the control.
    void Refuse(const std::string& message) const;
    bool RangeCheck(std::uint32_t value, bool showMessages) const;
    // Light red with the reason as tool-tip while the text cannot be taken; plain otherwise.
    void MarkValidity(CPageControl& control, bool valid);
    bool ReadText(std::string_view text, std::uint32_t& value) const;
    std::string BoundText(std::uint32_t bound) const;
    // The value and validity the control stands for, without messages and without writing.
    std::uint32_t CurrentValue(bool& valid) const;
    std::string_view ControlText() const;

    std::uint32_t* m_value = nullptr;
    std::string m_description;
    int m_shift = 0;
    int m_offset = 0;
    const tPerCfgItem* m_selfTestItem = nullptr; // the register a self-test line names
    Setter m_setter = nullptr;
    Getter m_getter = nullptr;
    Parser m_parser = nullptr;
    Formatter m_formatter = nullptr;
    void* m_context = nullptr;
    int m_parameter = 0;
    std::uint32_t m_mask = 0;
    std::uint32_t m_minimum = 0;
    std::uint32_t m_maximum = 0xFFFFFFFF;
    bool m_hex = true;
    bool m_emptyAllowed = false;
    bool m_zeroAllowed = false;
    std::uint32_t m_emptyValue = 0xFFFFFFFF;
    std::string m_customFormat;
};

namespace hwc {

// The document's hex/decimal command: the value binding of the page's focused control switches
// its display. False when the focus is on no value control.
bool ToggleFocusedValueBase(CPage& page);

} // namespace hwc
