#pragma once
// The questions the clock module and its readers ask one another (the system module's answers
// are in modules/system/SystemQueries.h). Each fact that lives in
// another module (or in the project document) is one small interface method, answered by that
// module when it exists; the free functions below find the answering module and fall back to
// the "absent" answer (0, or no warning) while it does not exist.

#include <cstdint>
#include <string>
#include <string_view>

class CModuleBase;

namespace hwc {

// The two clock frequencies the project document keeps (MHz), which the clock page edits.
class IProjectClocks {
public:
    virtual ~IProjectClocks() = default;
    virtual float ExternalClockMHz() const = 0;
    virtual void SetExternalClockMHz(float mhz) = 0;
    virtual float CrystalClockMHz() const = 0;
    virtual void SetCrystalClockMHz(float mhz) = 0;
};

// What the clock module ("OCCS") answers besides the bus clocks of every module.
class IClockGenerator {
public:
    virtual ~IClockGenerator() = default;
    // The crystal oscillator frequency in MHz, 0 on processors whose modules cannot use it.
    virtual float CrystalClockMHz() const = 0;
    // The frequency in MHz of the clock on the oscillator input (crystal or external clock,
    // before any divider), on every generation; 0 while no external oscillator runs.
    virtual float OscillatorInputClockMHz() const { return 0.0f; }
    // The oscillator states other modules test; false where the processor lacks the oscillator.
    virtual bool IsRelaxationOscillatorDisabled() const = 0;
    virtual bool IsLowSpeedOscillatorDisabled() const = 0;
    virtual bool IsCrystalOscillatorPoweredDown() const = 0;
};

// What the watchdog module ("COP") answers about its clock.
class IWatchdogClock {
public:
    virtual ~IWatchdogClock() = default;
    // The watchdog counts the crystal oscillator (its clock source list stands at index 1).
    virtual bool CountsCrystalOscillator() const = 0;
};

// The document's frequencies; without a document that keeps them, the clock macros of the
// module's header are read (and a change cannot be kept).
float ProjectExternalClockMHz(const CModuleBase& module);
float ProjectCrystalClockMHz(const CModuleBase& module);
void SetProjectExternalClockMHz(const CModuleBase& module, float mhz);
void SetProjectCrystalClockMHz(const CModuleBase& module, float mhz);

// The clock module of the document, or null.
const IClockGenerator* FindClockGenerator(const CModuleBase& asker);

// The clock module's oscillator input frequency (MHz); 0 without a clock module.
float OscillatorInputClockMHz(const CModuleBase& asker);

bool WatchdogCountsCrystal(const CModuleBase& asker);

} // namespace hwc
