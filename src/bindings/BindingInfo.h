#pragma once
// What a setting control stands for, in words: its description, the register and bits it
// edits, and the range of a value field; and, the other way round, which settings own which
// bits of a register. The desktop shows these as tool-tips and in the registers bar.

#include <cstdint>
#include <string>
#include <vector>

class CModuleBase;
class CSetCtrl;
struct tPerCfgItem;

namespace hwc {

// "bit 3", "bits 3..6", or the bits one by one for a mask with gaps ("bits 1, 4, 7"); empty for
// no bits.
std::string BitRangeText(std::uint32_t mask);

// The register the binding edits, among the module's own registers and those it borrows, or
// null (a custom handler, or a register of no module).
const tPerCfgItem* BindingRegister(const CSetCtrl& binding, const CModuleBase& module);

// "PIT0_CTRL_INIT bits 3..6"; the register name alone when the binding edits all of it; empty
// when it edits no register.
std::string BindingRegisterText(const CSetCtrl& binding, const CModuleBase& module);

// The tool-tip of a bound control, one line each: the description, the register and bits, and
// for a value field "Range: 0 to 255". Empty when there is nothing to say.
std::string BindingToolTip(const CSetCtrl& binding, const CModuleBase& module);

// One bit field of a register and the setting that owns it.
struct tRegisterField {
    std::uint32_t mask = 0;
    std::string setting; // the binding's description, or its control's number when it has none
};

// The bit fields of the register owned by the module's settings (its page and sub-pages), in
// the order of their lowest bit.
std::vector<tRegisterField> RegisterFields(const CModuleBase& module, const tPerCfgItem& item);

} // namespace hwc
