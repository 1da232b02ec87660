#include "project/ProgramVersion.h"

#include "base/TextUtil.h"

namespace hwc {

std::array<int, 4> ProgramVersion() {
    return {HWC_VERSION_MAJOR, HWC_VERSION_MINOR, HWC_VERSION_PATCH, HWC_VERSION_TWEAK};
}

std::string ProgramVersionText() {
    const std::array<int, 4> v = ProgramVersion();
    return Format("%d.%d.%d.%d", v[0], v[1], v[2], v[3]);
}

std::string ProgramVersionMacroValue() {
    // Each number takes one byte of the macro; the header writer limits it to 0xFF.
    std::array<int, 4> v = ProgramVersion();
    for (int& number : v)
        number = number > 0xFF ? 0xFF : number;
    return Format("0x%02x%02x%02x%02xL", v[0], v[1], v[2], v[3]);
}

} // namespace hwc
