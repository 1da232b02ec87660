#pragma once
// The register layouts of the clock module: one definition table per processor family, with
// the adjustments single processors need applied to a copy.

#include <vector>

#include "model/RegisterItem.h"
#include "modules/clocks/CpmOCCSClocks.h"

namespace hwc {

// Positions of the registers; every layout keeps them at the same place.
enum EOccsItem : int {
    kOccsControl = 0,    // PLLCR or CTRL
    kOccsDivide = 1,     // PLLDB or DIVBY
    kOccsOscillator = 2, // OSCTL, IOSCTL or OSCTL1
    kOccsProtection = 3, // PROT (a placeholder on some layouts)
    kOccsLockMode = 4,
    kOccsFactoryTrim = 5,
    kOccsRetrimClock = 6,
    kOccsWatchdogControl = 7,
    kOccsWatchdogTimeout = 8,
    kOccsClockOutput = 9, // CLKOSR on the first layout, a placeholder on the others
    kOccsOscillator2 = 10,
    kOccsTemperatureTrim = 11,
    kOccsLowSpeedTrim = 12,
};

// The processor's table, adjusted; its number of entries is the module's item count.
std::vector<tPerCfgDef> OccsRegisterTable(const tClockFamily& family);

} // namespace hwc
