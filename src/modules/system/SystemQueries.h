#pragma once
// What the system integration module ("SYS") and the power management module ("PMC") answer
// to the other modules. Each free function finds the answering module by instance name and
// gives the "absent" answer while it does not exist, is of another class, or its register
// layout lacks the fact (a layout without the setting answers as if it were clear).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CModuleBase;
struct tPerCfgItem;

namespace hwc {

class ISystemIntegration {
public:
    virtual ~ISystemIntegration() = default;

    // --- Clocks ---
    // One of the clock outputs is enabled and selects the oscillator (FamA, selection 5).
    virtual bool ClockOutputSelectsOscillator() const = 0;
    // The clock input selection stands at the second CLKIN input.
    virtual bool SelectsSecondClockInput() const = 0;
    // The page control that selects the high-speed clock of a peripheral ("PWM", "Timer",
    // "SCI", "IIC"), as a link target; 0 when the page has none.
    virtual std::uint32_t PeripheralClockControl(std::string_view peripheral) const = 0;
    // The serial interface `instance` runs from the high-speed peripheral clock.
    virtual bool SciHighSpeedClock(int instance) const = 0;
    // The receive data input of serial interface `instance` comes from the crossbar (FamF).
    virtual bool SciRxdFromCrossbar(int instance) const = 0;
    // Timer `timer` ('A', 'B', ...) runs from the high-speed peripheral clock.
    virtual bool TimerHighSpeedClock(char timer) const = 0;
    // I2C controller `instance` runs from the fast peripheral clock; `halved` tells whether it
    // is divided by two on the way.
    virtual bool I2cFastClock(int instance, bool& halved) const = 0;

    // --- Peripheral clock enables (no value while the layout has no such bit) ---
    // The watchdog's bus clock is enabled.
    virtual std::optional<bool> CopBusClockEnabled() const = 0;
    // Timer `number` is enabled (the delay block's "Timer %d" triggers).
    virtual std::optional<bool> TimerEnabled(int number) const = 0;

    // --- Miscellaneous control register ---
    // A bit of it; no value while the layout has none.
    virtual std::optional<bool> MiscBit(int bit) const = 0;
    // The register itself, for a page of another module that binds one of its bits; null
    // while the layout has none.
    virtual tPerCfgItem* MiscControlRegister() = 0;

    // --- Pin multiplexing (GPIO modules, pin-out view) ---
    // Peripheral-select bit n: bit n % 16 of the n / 16-th peripheral-select register. Bits
    // beyond the layout or beyond PeripheralSelectRegisterCount read clear and are not written.
    virtual bool PeripheralSelectBit(int bit) const = 0;
    virtual void SetPeripheralSelectBit(int bit, bool set) = 0;
    // A bit of the clock-output select register.
    virtual bool ClockOutputSelectBit(int bit) const = 0;
    virtual void SetClockOutputSelectBit(int bit, bool set) = 0;
    // The number of peripheral-select registers in use ("GPSCNT", 1 when absent or unreadable).
    virtual int PeripheralSelectRegisterCount() const = 0;
    // The peripheral-select registers in use and, with `withClockOutput`, the clock-output
    // select register after them: those of the layout only, for the registers view of the
    // pin-out page. None unless the module has them.
    virtual std::vector<tPerCfgItem*> PinSelectRegisters(bool withClockOutput) { return {}; }
};

// What the power management module answers.
class IPowerManagement {
public:
    virtual ~IPowerManagement() = default;
    // The 1 kHz low-power oscillator is enabled (from the page while it exists).
    virtual bool LowPowerOscillatorEnabled() const = 0;
};

// The system module of the asker's document, or null (also when "SYS" is of another class).
ISystemIntegration* FindSystemModule(const CModuleBase& asker);
// The power management module of the asker's document, or null.
const IPowerManagement* FindPowerManagement(const CModuleBase& asker);

bool SystemClockOutputSelectsOscillator(const CModuleBase& asker);
bool SystemSelectsSecondClockInput(const CModuleBase& asker);
// A link to the system module's clock selection of the peripheral, or the bare name while the
// system module cannot point to one.
std::string SystemPeripheralClockLink(const CModuleBase& asker, std::string_view peripheral);
bool SystemSciHighSpeedClock(const CModuleBase& asker, int instance);
bool SystemSciRxdFromCrossbar(const CModuleBase& asker, int instance);
bool SystemTimerHighSpeedClock(const CModuleBase& asker, char timer);
bool SystemI2cFastClock(const CModuleBase& asker, int instance, bool& halved);
// `absent` while there is no system module to ask.
bool SystemCopBusClockEnabled(const CModuleBase& asker, bool absent);
bool SystemTimerEnabled(const CModuleBase& asker, int number, bool absent);

// Bits of the system module's miscellaneous control register the clock module reads.
inline constexpr int kSecondClockInputBit = 0;
inline constexpr int kFastBootBit = 2;
inline constexpr int kHighSpeedOscillatorEnableBit = 6;
// Whether the bit of the system module's register is set; `absent` while it has none.
bool SystemMiscBit(const CModuleBase& asker, int bit, bool absent);
// The system module's miscellaneous control register, or null while there is none.
tPerCfgItem* SystemMiscControlRegister(const CModuleBase& asker);

// The 1 kHz oscillator of the power management module; `absent` without one.
bool PowerLowPowerOscillatorEnabled(const CModuleBase& asker, bool absent);

} // namespace hwc
