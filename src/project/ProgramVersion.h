#pragma once
// The program's own version: the four numbers every saved header carries in its version macro.

#include <array>
#include <string>

namespace hwc {

// Major, minor, patch and build number.
std::array<int, 4> ProgramVersion();
// "1.2.3.4".
std::string ProgramVersionText();
// The value of the version macro as the header writer writes it: "0x01020304L".
std::string ProgramVersionMacroValue();

} // namespace hwc
