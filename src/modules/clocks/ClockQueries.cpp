#include "modules/clocks/ClockQueries.h"

#include "base/NumberScan.h"
#include "header/AppcfgFile.h"
#include "model/ModuleBase.h"

namespace hwc {

namespace {

IProjectClocks* ProjectClocksOf(const CModuleBase& module) {
    return dynamic_cast<IProjectClocks*>(module.Host());
}

// A clock macro of the module's header ("8000000L", in Hz) in MHz; 0 when it has none.
float HeaderClockMHz(const CModuleBase& module, const char* name, const char* shortName) {
    CAppcfgFile* header = module.HeaderFile();
    if (!header)
        return 0.0f;
    const CAppcfgEntry* entry = header->GetEntry(name);
    if (!entry)
        entry = header->GetEntry(shortName);
    if (!entry)
        return 0.0f;
    return static_cast<float>(ReadLeadingDouble(entry->value).value_or(0.0) / 1000000.0);
}

template <class T> const T* Answering(const CModuleBase& asker, std::string_view instanceName) {
    return dynamic_cast<const T*>(CModuleBase::FindModule(asker.Host(), instanceName));
}

} // namespace

float ProjectExternalClockMHz(const CModuleBase& module) {
    if (const IProjectClocks* clocks = ProjectClocksOf(module))
        return clocks->ExternalClockMHz();
    return HeaderClockMHz(module, "APPCFG_EXTCLK", "EXTCLK");
}

float ProjectCrystalClockMHz(const CModuleBase& module) {
    if (const IProjectClocks* clocks = ProjectClocksOf(module))
        return clocks->CrystalClockMHz();
    return HeaderClockMHz(module, "APPCFG_EXTAL", "EXTAL");
}

void SetProjectExternalClockMHz(const CModuleBase& module, float mhz) {
    if (IProjectClocks* clocks = ProjectClocksOf(module))
        clocks->SetExternalClockMHz(mhz);
}

void SetProjectCrystalClockMHz(const CModuleBase& module, float mhz) {
    if (IProjectClocks* clocks = ProjectClocksOf(module))
        clocks->SetCrystalClockMHz(mhz);
}

const IClockGenerator* FindClockGenerator(const CModuleBase& asker) {
    return dynamic_cast<const IClockGenerator*>(
        CModuleBase::FindModule(asker.Host(), "OCCS", "OCCS"));
}

float OscillatorInputClockMHz(const CModuleBase& asker) {
    const IClockGenerator* clock = FindClockGenerator(asker);
    return clock ? clock->OscillatorInputClockMHz() : 0.0f;
}

bool WatchdogCountsCrystal(const CModuleBase& asker) {
    const auto* watchdog = Answering<IWatchdogClock>(asker, "COP");
    return watchdog && watchdog->CountsCrystalOscillator();
}

} // namespace hwc
