#pragma once
// Check boxes and radio buttons bound to one bit of a register, or to a pair of module
// functions that read and write the checked state.

#include <cstdint>
#include <string>

#include "bindings/SetCtrl.h"

struct tPerCfgItem;

class CSetBit : public CSetCtrl {
public:
    // Module functions that replace the register bit; `context` and `parameter` are the values
    // given to BindCustom.
    using Setter = void (*)(bool checked, void* context, int parameter);
    using Getter = bool (*)(void* context, int parameter);

    // Binds bit `bit` (taken modulo 32) of the item's value; inverted boxes are checked while the
    // bit is clear. A null description keeps the current one.
    void Bind(tPerCfgItem& item, int bit, bool inverted, const char* description = nullptr);
    // Binds the module's own functions; the binding counts as bound only with both of them.
    void BindCustom(Setter setter, Getter getter, void* context, int parameter,
                    const char* description = nullptr);

    // 0 or 1 (2 for an indeterminate box): the control's state when attached, otherwise the
    // register's; 0 when not bound.
    int IsChecked() const;
    bool IsBound() const { return m_value || (m_setter && m_getter); }
    const std::string& Description() const { return m_description; }

    void Refresh() override;
    void Apply() override;
    void SelfTest() override;
    std::string GetSummaryText(bool withValue, std::uint32_t layoutFlags) const override;
    tBindingField Field() const override;
    void OnControlEvent(CPageControl& control, EControlEvent event) override;

protected:
    void OnAttached() override;

private:
    // The state the register (or the custom getter) holds.
    bool RegisterState() const;
    // Writes a state into the register (or through the custom setter).
    void WriteState(bool checked);
    // Puts a state on the control when attached, otherwise into the register.
    void SetState(int state);
    // Lets every other radio button of the clicked one's group apply its new state first.
    void ApplyRadioGroup(CPageControl& clicked);
    void WriteSelfTestLine();

    std::uint32_t* m_value = nullptr;
    std::string m_description;
    std::uint32_t m_mask = 0;
    bool m_inverted = false;
    const tPerCfgItem* m_selfTestItem = nullptr; // the register a self-test line names
    Setter m_setter = nullptr;
    Getter m_getter = nullptr;
    void* m_context = nullptr;
    int m_parameter = 0;
};
