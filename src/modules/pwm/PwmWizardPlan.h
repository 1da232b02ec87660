#pragma once
// What the PWM wizards compute before they write anything: the prescaler, period, edge and
// dead-time values of a sub-module for a wanted frequency, alignment, duty and dead time, each
// refused with a message the user can act on; and the writing of such a plan into the
// registers of a sub-module and of the common module, found by their define names.

#include <cstdint>
#include <string>
#include <string_view>

class CModuleBase;
struct tPerCfgItem;

namespace hwc::pwm {

enum class EWizardAlignment { Edge = 0, Centre = 1, PhaseShift = 2 };

// The period of all sub-modules a wizard fills.
struct tPwmTiming {
    int exponent = 0;            // prescaler 2^exponent
    long long counts = 0;        // VAL1 - INIT + 1
    int init = 0;                // signed
    int val1 = 0;                // signed
    double frequencyHz = 0.0;    // achieved
    std::uint32_t deadCount = 0; // dead-time counter clocks (bus clocks)
    double deadNs = 0.0;         // achieved
};

// The edges of one sub-module's outputs, signed.
struct tPwmEdges {
    int val2 = 0, val3 = 0;          // output A on and off
    int val4 = 0, val5 = 0;          // output B on and off
    double dutyA = 0.0, dutyB = 0.0; // achieved, percent
};

// Reads a number the user typed ("20000", " 12.5 "); false for anything else.
bool ReadNumber(std::string_view text, double& value);

// The prescaler and period for `frequencyHz` on a `busHz` clock, with the dead time of
// `deadNs`: the smallest prescaler whose counts fit the 16-bit edge registers, an even
// count in centre alignment. Empty on success, else why the values cannot be used.
std::string PlanTiming(double busHz, double frequencyHz, EWizardAlignment alignment, double deadNs,
                       tPwmTiming& timing);

// The edges of a sub-module with duty A and B (percent) and, in phase-shift alignment, the
// shift in degrees of both outputs from the start of the period. In a complementary pair
// output B follows A. Empty on success, else why the values cannot be used.
std::string PlanEdges(const tPwmTiming& timing, EWizardAlignment alignment, double dutyA,
                      double dutyB, double phaseDegrees, bool complementary, tPwmEdges& edges);

// Largest dead-time count of the sub-module's dead-time registers.
inline constexpr std::uint32_t kDeadCountMax = 0x7FF;

// Register fields the wizards write.
inline constexpr int kPrescalerLow = 4, kPrescalerHigh = 6;     // CTRL
inline constexpr int kClockSelectLow = 0, kClockSelectHigh = 1; // CTRL2: 0 bus, 2 sub-module 0
inline constexpr int kReloadSelectBit = 2;                      // CTRL2: reload from master
inline constexpr int kInitSelectLow = 8, kInitSelectHigh = 9;   // CTRL2: 2 master sync
inline constexpr int kIndependentBit = 13;                      // CTRL2
inline constexpr int kLoadOkLow = 0, kRunLow = 8;               // MCTRL, a bit per sub-module
inline constexpr int kOutputALow = 8, kOutputBLow = 4;          // OUTEN, a bit per sub-module
inline constexpr std::uint32_t kClockFromSubmodule0 = 2;
inline constexpr std::uint32_t kInitFromMasterSync = 2;

// The register of a module by its short name ("INIT_INIT", "MCTRL_INIT"): the item whose
// define is the instance name followed by the short name, or whose name ends with it; null
// when the module has none.
tPerCfgItem* FindRegisterByShortName(CModuleBase& module, std::string_view shortName);
// Bits low..high of an item's value.
std::uint32_t GetField(const tPerCfgItem& item, int low, int high);
void SetField(tPerCfgItem& item, int low, int high, std::uint32_t value);

// Role of a sub-module in the clocking of its group.
enum class ESubmoduleRole { Own, Master, Slave };

// Writes timing, edges and pair mode into a sub-module's registers: CTRL prescaler, CTRL2
// (clock, reload and init source for the role; pair mode), INIT, VAL0 (0), VAL1, VAL2-VAL5 and
// both dead times. A role of Own keeps the sub-module's clock and sync choices.
void WriteSubmodule(CModuleBase& submodule, const tPwmTiming& timing, const tPwmEdges& edges,
                    bool complementary, ESubmoduleRole role);

// The sub-module `index` of the common module's group ("PWM_A" -> "PWM_A_0"), or null.
CModuleBase* FindSubmodule(const CModuleBase& asker, std::string_view common, int index);

} // namespace hwc::pwm
