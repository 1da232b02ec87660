// The clock module's page at work: attaching the settings, the derived clocks and their
// warnings, which controls apply, and the document frequencies the edits exchange.

#include "base/TextUtil.h"
#include "modules/clocks/CpmOCCS.h"
#include "modules/clocks/CpmOCCSTables.h"
#include "modules/interrupts/InterruptQueries.h"
#include "modules/system/SystemQueries.h"

using namespace hwc;

namespace {

constexpr const char* kFixedMultiplierText = "24 (fixed)";
constexpr const char* kTrimText =
    "Internal relaxation oscillator may be trimmed by 40% in time-domain (approx 5.7 to 13.3 MHz).";

// The MSTR_OSC lists that FamD and FamF processors name differently.
const std::vector<std::string> kFamDSources = {"8MHz clock from 48MHz/6", "Crystal oscillator",
                                               "CLKIN", "RC Oscillator 200 kHz",
                                               "RC Oscillator 48MHz"};

void ReplaceInItems(CPage& page, int id, const std::string& from, const std::string& to) {
    CPageControl* list = page.FindControl(id);
    if (!list)
        return;
    std::vector<std::string> items = list->Items();
    for (std::string& item : items)
        item = ReplaceAll(item, from, to);
    list->SetItems(std::move(items));
}

} // namespace

// --- Page creation ---

void CpmOCCS::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    AdjustListTexts(page);
    page.SetSpinRange(kLossOfReferencePeriodSpinId, 0, 15);
    page.SetSpinRange(kMultiplierSpinId, 1, 128);
    page.SetSpinRange(kTrimSpinId, 1, m_family.famG ? 255 : 1023);
    if (!m_family.NewGeneration())
        page.SetSpinRange(kCopDivisorSpinId, 1, m_family.famG ? 4096 : 65536);
    if (m_family.Third()) {
        page.SetSpinRange(kTemperatureTrimSpinId, 0, 15);
        page.SetSpinRange(kLowSpeedTrimSpinId, 0, 511);
    }
    for (auto& [binding, id] : m_bound) {
        if (CPageControl* control = page.FindControl(id))
            binding->Attach(*control);
    }
    FillDocumentEdits(page);
}

void CpmOCCS::AdjustListTexts(CPage& page) {
    if (m_family.famD) {
        if (CPageControl* list = page.FindControl(kMasterSourceId))
            list->SetItems(kFamDSources);
        page.SetControlText(kRelaxationEnableId, "Enable Internal 48MHz Oscillator");
    }
    if (m_family.famF || m_family.famD) {
        ReplaceInItems(page, kMasterSourceId, "32 kHz", "200 kHz");
        page.SetControlText(kLowSpeedEnableId, "Enable internal 200 kHz Oscillator");
    }
    if (m_family.NewGeneration())
        return;
    // The first generation divides by 8 at most, FamJ by 32.
    if (CPageControl* list = page.FindControl(kPostscalerId)) {
        std::vector<std::string> items = list->Items();
        items.resize(std::min<std::size_t>(items.size(), m_family.famJ ? 6 : 4));
        list->SetItems(std::move(items));
    }
    if (m_family.famJ) {
        if (CPageControl* list = page.FindControl(kPrescalerId)) {
            list->SetItems({"not used"});
            list->SetSelection(0);
        }
    }
}

void CpmOCCS::FillDocumentEdits(CPage& page) {
    const float crystal =
        CrystalEditIsCrystal() ? ProjectCrystalClockMHz(*this) : ProjectExternalClockMHz(*this);
    page.SetControlText(kCrystalFrequencyId, FrequencyEditText(crystal));
    page.SetControlText(kClkinFrequencyId, FrequencyEditText(ProjectExternalClockMHz(*this)));
}

void CpmOCCS::OnPageCommand(CPageControl& control, EControlEvent event) {
    if (event == EControlEvent::TextChanged) {
        const float mhz = ReadFrequencyText(control.Text());
        bool documentValue = true;
        if (control.Id() == kCrystalFrequencyId && CrystalEditIsCrystal())
            SetProjectCrystalClockMHz(*this, mhz);
        else if (control.Id() == kCrystalFrequencyId || control.Id() == kClkinFrequencyId)
            SetProjectExternalClockMHz(*this, mhz);
        else
            documentValue = false;
        // The other modules' clocks follow in the next warnings pass.
        if (documentValue && Host())
            Host()->UpdateAllViews(this, kHintValueWritten, nullptr);
    }
    UpdateControlStates();
}

// --- Derived clocks ---

void CpmOCCS::AfterLoad() {
    CModule::AfterLoad();
    Recalculate();
}

void CpmOCCS::Recalculate() {
    const tClockSettings settings = Settings();
    const tClockResult result = ComputeClocks(m_family, settings);
    const bool changed = !m_published || result.core != m_coreClock || result.bus != m_busClock ||
                         result.highSpeed != m_highSpeedClock;
    m_coreClock = result.core;
    m_busClock = result.bus;
    m_highSpeedClock = result.highSpeed;
    m_published = true;
    ShowClocks(result);
    SetClockWarnings(result, settings);
    // Pages that show clocks refresh; only a change is worth telling them.
    if (changed && Page() && Host())
        Host()->UpdateAllViews(this, kHintClocksChanged, this);
}

void CpmOCCS::ShowClocks(const tClockResult& r) {
    ShowFrequency(kInputFrequencyId, r.fin * 1000000.0f, true, nullptr);
    ShowFrequency(kCoreFrequencyId, r.sys * 1000000.0f, true, nullptr);
    ShowFrequency(kVcoFrequencyId, r.vco * 1000000.0f, true, nullptr);
    ShowFrequency(kHighSpeedFrequencyId, r.hs * 1000000.0f, true, nullptr);
    if (m_family.famF)
        ShowFrequency(kPwmNanoEdgeId, r.pwmNanoEdge * 1000000.0f, true, nullptr);
    if (!m_family.famA && !m_family.famC) {
        const float period = r.watchdogRate != 0.0f ? 1.0f / r.watchdogRate : 0.0f;
        ShowTime(kCopTimeoutId, period, true, nullptr);
    }
    ShowTime(kLossOfReferenceTimeId, r.lossOfReferenceTime, true, nullptr);
}

void CpmOCCS::SetClockWarnings(const tClockResult& r, const tClockSettings& s) {
    if (m_family.NewGeneration())
        SetControlWarning(kClkinFrequencyId, r.clkinActive,
                          Format("Maximum input clock frequency is %d MHz", r.clkinLimit));
    if (!m_family.famD)
        SetWarning(*this, kTrimWarningId, r.trimActive, {}, kTrimText);

    SetWarning(*this, kCoreWarningId, r.coreActive,
               r.coreActive ? Format("(max. %d MHz)", r.maxCore) : std::string(), CoreLimitText(r));

    const std::string pllInputText =
        r.pllInput.applies
            ? Format("PLL input frequency should be kept between %d and %d MHz on this device",
                     r.pllInput.low, r.pllInput.high)
            : std::string();
    SetWarning(*this, kInputFrequencyLabelId, r.pllInput.active, "Input frequency", pllInputText);

    SetWarning(*this, kVcoWarningId, r.vcoRange.active,
               r.vcoRange.active ? Format("(%d...%d MHz)", r.vcoRange.low, r.vcoRange.high)
                                 : std::string(),
               Format("PLL output frequency should be kept between %d and %d MHz on this device",
                      r.vcoRange.low, r.vcoRange.high));

    if (!r.highSpeedLimit.applies) {
        SetWarning(*this, kHighSpeedWarningId, false, {}, {});
        return;
    }
    const std::string indicator = r.highSpeedLimit.active
                                      ? Format("(max. %d MHz)", r.highSpeedLimit.high)
                                      : HighSpeedPeripherals(m_family, [this](const char* name) {
                                            return SystemPeripheralClockLink(*this, name);
                                        });
    SetWarning(*this, kHighSpeedWarningId, r.highSpeedLimit.active, indicator,
               Format("Current operating high speed system frequency exceeds the maximum which "
                      "is %d MHz",
                      r.highSpeedLimit.high));
}

void CpmOCCS::SetControlWarning(int controlId, bool active, const std::string& text) {
    if (CPage* page = Page())
        page->SetCtrlTextColor(controlId,
                               active ? std::optional<tColour>(tColour{128, 0, 0}) : std::nullopt);
    if (IModuleHost* host = Host())
        host->SetWarning(this, controlId, active, text.c_str(), nullptr);
}

// --- Warnings about the oscillator choice ---

void CpmOCCS::CheckWarnings() {
    CModule::CheckWarnings();
    if (!m_family.NewGeneration())
        return;
    const int source = MasterSource();
    std::string text;
    if (!IsRelaxationOscillatorEnabled() && source == kRelaxationSource)
        text = "Internal relaxation oscillator is not enabled (and is selected as MSTR_OSC).";
    if (m_family.Third()) {
        if (IsLowSpeedOscillatorDisabled() && source == kLowSpeedSource)
            text = Format("Internal relaxation oscillator %d kHz is not enabled (and is selected "
                          "as MSTR_OSC).",
                          m_family.famE ? 32 : 200);
        SetControlWarning(kCrystalEnableId, !IsCrystalOscillatorEnabled(),
                          "Do not use direct clock on EXTAL mode, it's not supported.");
        if (IsCrystalOscillatorPoweredDown() && source == kCrystalSource)
            text = "Crystal oscillator is powered down (and is selected as MSTR_OSC).";
    }
    SetWarning(*this, kMasterSourceWarningId, !text.empty(), {}, text);
}

// --- Control states ---

void CpmOCCS::UpdateControlStates() {
    if (CPage* page = Page()) {
        const tClockSettings settings = Settings();
        UpdatePllStates(*page, settings);
        UpdateOscillatorStates(*page);
        // On FamA the clock interrupt may be routed through a user vector of the controller.
        if (m_family.famA && !InterruptRows().empty())
            ShowUserVectorNote(*this, kUserVectorNoteId, InterruptRows().front().vector);
        else
            page->ShowControl(kUserVectorNoteId, false);
    }
    Recalculate();
}

void CpmOCCS::UpdatePllStates(CPage& page, const tClockSettings& s) {
    const bool pllClock = s.systemSource == 1;
    if (pllClock) {
        if (CPageControl* box = page.FindControl(kEnablePllId))
            box->SetCheck(1);
        if (CPageControl* box = page.FindControl(kLockDetectorId))
            box->SetCheck(1);
    } else {
        // Forced states end with the PLL choice: the registers show again.
        m_enablePll.Refresh();
        m_lockDetector.Refresh();
    }
    page.EnableControl(kEnablePllId, !pllClock);
    page.EnableControl(kLockDetectorId, s.pllEnabled && !pllClock);
    const bool fixed = HasFixedMultiplier(m_family);
    page.EnableControl(kMultiplierId, s.pllEnabled && !fixed);
    page.EnableControl(kMultiplierSpinId, s.pllEnabled && !fixed);
    if (fixed)
        page.SetControlText(kMultiplierId, kFixedMultiplierText);
    if (m_family.NewGeneration()) {
        page.EnableControl(kPostscalerId, true);
    } else {
        page.EnableControl(kPostscalerId, s.pllEnabled);
        page.EnableControl(kPrescalerId, !m_family.famJ);
    }
    const bool protection =
        Has(kOccsProtection) && !(Item(kOccsProtection).dwFlags & RegFlag::DUMMYREG);
    page.ShowControls({kProtectionGroupId, kProtectClockId, kProtectOscillatorId, kProtectPllId},
                      protection);
    const bool pwm2x = m_family.famF;
    page.ShowControls({kPwm2xLabelId, kPwm2xSourceId, kPwmNanoEdgeLabelId, kPwmNanoEdgeId}, pwm2x);
    const bool highSpeed = m_family.famJ || m_family.NewGeneration();
    page.ShowControls({kHighSpeedLabelId, kHighSpeedFrequencyId}, highSpeed);
    // Only the first generation's watchdog lives on this page; FamB has two more settings.
    page.ShowControls({kCopLossOfClockId, kCopRelaxationId}, m_family.famB);
    page.ShowControls({kExternalClockPinLabelId, kExternalClockPinId}, m_family.famB);
}

void CpmOCCS::UpdateOscillatorStates(CPage& page) {
    const bool relaxationEnabled = IsRelaxationOscillatorEnabled();
    const bool factoryTrim = ItemBit(kOccsFactoryTrim, 0);
    const bool trims = m_family.relaxation;
    page.EnableControls({kTrimId, kTrimSpinId}, trims && relaxationEnabled && !factoryTrim);
    page.EnableControls({kFactoryTrimId}, trims);
    page.EnableControls({kRetrimLabelId, kRetrimClockId, kRetrimUnitId}, trims && factoryTrim);
    page.ShowControls(
        {kTrimId, kTrimSpinId, kFactoryTrimId, kRetrimLabelId, kRetrimClockId, kRetrimUnitId},
        trims);
    if (!m_family.NewGeneration())
        return;
    if (m_family.famD && !m_relaxationEnable.IsBound())
        page.EnableControl(kRelaxationEnableId, false);
    const bool crystal = IsCrystalOscillatorEnabled();
    page.EnableControls({kCrystalPowerId, kCrystalRangeId, kCrystalFrequencyId}, crystal);
    page.ShowControl(kCrystalRangeId, m_family.famA);
    page.ShowControl(kDivideBy2Id, m_family.famC || m_family.famE);
    page.SetControlText(kCrystalFrequencyLabelId, crystal ? "Crystal oscillator frequency:"
                                                          : "Direct clock frequency (XTAL):");
    page.EnableControls({kClkinLabelId, kClkinFrequencyId, kClkinUnitId},
                        MasterSource() == kClkinSource);
    if (!m_family.Third())
        return;
    // FamD keeps no factory temperature trim.
    page.ShowControl(kTemperatureFactoryTrimId, !m_family.famD);
    page.EnableControls({kTemperatureTrimId, kTemperatureTrimSpinId},
                        trims && relaxationEnabled && !ItemBit(kOccsTemperatureTrim, 0));
    const bool lowSpeedEnabled = !IsLowSpeedOscillatorDisabled();
    page.EnableControls({kLowSpeedTrimId, kLowSpeedTrimSpinId},
                        lowSpeedEnabled && !ItemBit(kOccsLowSpeedTrim, 0));
}
