#pragma once
// The clock generation module: oscillators, PLL, dividers and the choice of the system clock,
// the clocks they give (input, VCO, core, IP bus, high-speed), the limits of the processor
// family, and the clocks every other module reads from it.

#include <utility>
#include <vector>

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/framework/CModule.h"
#include "modules/clocks/ClockQueries.h"
#include "modules/clocks/CpmOCCSClocks.h"

class CpmOCCS : public CModule, public hwc::IClockGenerator {
    HWC_DECLARE_MODULE_CLASS(CpmOCCS, CModule)
public:
    // Page templates by generation.
    static constexpr unsigned kFirstTemplateId = 132;
    static constexpr unsigned kSecondTemplateId = 2053;
    static constexpr unsigned kThirdTemplateId = 2081;

    // Oscillators.
    static constexpr int kRelaxationEnableId = 1721;
    static constexpr int kRelaxationModeId = 1722;
    static constexpr int kRelaxationUsedId = 1720; // first generation "Used"/"Not used"
    static constexpr int kTrimId = 113;
    static constexpr int kTrimSpinId = 1130;
    static constexpr int kFactoryTrimId = 1387;
    static constexpr int kRetrimClockId = 116;
    static constexpr int kRetrimLabelId = 1951;
    static constexpr int kRetrimUnitId = 1952;
    static constexpr int kTrimWarningId = 1719;
    static constexpr int kTemperatureTrimId = 2204;
    static constexpr int kTemperatureTrimSpinId = 2214;
    static constexpr int kTemperatureFactoryTrimId = 2200;
    static constexpr int kLowSpeedEnableId = 2202;
    static constexpr int kLowSpeedTrimId = 2203;
    static constexpr int kLowSpeedTrimSpinId = 2213;
    static constexpr int kLowSpeedFactoryTrimId = 2201;
    static constexpr int kCrystalPowerDownId = 2205;
    static constexpr int kCrystalEnableId = 1723;
    static constexpr int kCrystalPowerId = 1724;
    static constexpr int kCrystalRangeId = 1725;
    static constexpr int kOscillatorPowerId = 1727; // first generation
    static constexpr int kExternalClockPinId = 1173;
    static constexpr int kExternalClockPinLabelId = 1175;
    static constexpr int kCrystalFrequencyLabelId = 1953;
    static constexpr int kCrystalFrequencyId = 1068;
    static constexpr int kDivideBy2Id = 1959;
    // Master oscillator and input clock.
    static constexpr int kMasterSourceId = 1726;
    static constexpr int kMasterSourceWarningId = 1884;
    static constexpr int kClkinLabelId = 1915;
    static constexpr int kClkinFrequencyId = 1914;
    static constexpr int kClkinUnitId = 1916;
    static constexpr int kInputFrequencyLabelId = 2452;
    static constexpr int kInputFrequencyId = 1073;
    // PLL.
    static constexpr int kEnablePllId = 1031;
    static constexpr int kLockDetectorId = 1026;
    static constexpr int kPrescalerId = 1160;
    static constexpr int kMultiplierId = 111;
    static constexpr int kMultiplierSpinId = 1110;
    static constexpr int kVcoFrequencyId = 109;
    static constexpr int kVcoWarningId = 1463;
    static constexpr int kLockModeId = 1170;
    static constexpr int kLossOfReferenceInterruptId = 1024;
    static constexpr int kLossOfLock0Id = 1172;
    static constexpr int kLossOfLock1Id = 1174;
    static constexpr int kLossOfReferencePeriodId = 112;
    static constexpr int kLossOfReferencePeriodSpinId = 1120;
    static constexpr int kLossOfReferenceTimeId = 117;
    // Dividers, system clock and results.
    static constexpr int kPostscalerId = 1162;
    static constexpr int kSystemSourceId = 1164;
    static constexpr int kPwm2xSourceId = 2042;
    static constexpr int kPwm2xLabelId = 2043;
    static constexpr int kPwmNanoEdgeLabelId = 2316;
    static constexpr int kPwmNanoEdgeId = 2315;
    static constexpr int kCoreFrequencyId = 107;
    static constexpr int kCoreWarningId = 1470;
    static constexpr int kHighSpeedFrequencyId = 114;
    static constexpr int kHighSpeedLabelId = 1475;
    static constexpr int kHighSpeedWarningId = 1474;
    // Write protection.
    static constexpr int kProtectClockId = 1644;
    static constexpr int kProtectOscillatorId = 1645;
    static constexpr int kProtectPllId = 1646;
    static constexpr int kProtectionGroupId = 1647;
    // The note on the clock interrupt's user vector (FamA).
    static constexpr int kUserVectorNoteId = 1955;
    // Watchdog of the first generation.
    static constexpr int kWatchdogGroupId = 1100;
    static constexpr int kCopEnableId = 1101;
    static constexpr int kCopStopId = 1102;
    static constexpr int kCopWaitId = 1103;
    static constexpr int kCopWriteProtectId = 1104;
    static constexpr int kCopDivisorId = 1105;
    static constexpr int kCopLossOfClockId = 1106;
    static constexpr int kCopRelaxationId = 1107;
    static constexpr int kCopDivisorSpinId = 1108;
    static constexpr int kCopTimeoutId = 115;

    // The update hint that tells the pages showing clocks to refresh.
    static constexpr int kHintClocksChanged = 26;

    CpmOCCS(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const hwc::tClockFamily& Family() const { return m_family; }

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    // Every module reads the published clocks, so they are computed as soon as the values are
    // loaded, not first when this page is shown.
    void AfterLoad() override;
    void UpdateControlStates() override;
    void CheckWarnings() override;
    void OnPageCommand(CPageControl& control, EControlEvent event) override;
    bool IsPinFunctionUsed(const std::string& signal) const override;

    // The published clocks (MHz) of the latest Recalculate.
    float PublishedBusClock() const override { return m_busClock; }
    float PublishedOtherClock() const override { return m_highSpeedClock; }
    float PublishedCoreClock() const override { return m_coreClock; }
    float CoreClock() const { return m_coreClock; }

    // What other modules ask of the clock module.
    float CrystalClockMHz() const override;
    float OscillatorInputClockMHz() const override;
    bool IsRelaxationOscillatorDisabled() const override;
    bool IsLowSpeedOscillatorDisabled() const override;
    bool IsCrystalOscillatorPoweredDown() const override;

    // The settings the computation reads, taken from the registers and the page.
    hwc::tClockSettings Settings() const;
    // The MSTR_OSC source the registers select (new generation).
    int MasterSource() const;
    bool IsCrystalOscillatorEnabled() const;
    bool IsRelaxationOscillatorEnabled() const;

protected:
    void AttachControls(CPage& page) override;

private:
    CpmOCCS(CModuleBase* parent, const CModuleDescriptor* descriptor,
            const hwc::tClockFamily& family);

    // The template of a generation (CpmOCCSPages.cpp).
    static const CDialogTemplate& PageTemplate(hwc::EClockGeneration generation);
    void AddSummaryItems();
    void BindFirstGeneration();
    void BindOscillators();
    void FillDocumentEdits(CPage& page);
    void AdjustListTexts(CPage& page);
    void ShowClocks(const hwc::tClockResult& result);
    void SetClockWarnings(const hwc::tClockResult& result, const hwc::tClockSettings& settings);
    // Marks a setting control itself as warning (its colour) and keeps the document's list;
    // the control stays visible.
    void SetControlWarning(int controlId, bool active, const std::string& text);
    void UpdatePllStates(CPage& page, const hwc::tClockSettings& settings);
    void UpdateOscillatorStates(CPage& page);
    bool ItemBit(int item, int bit) const;
    std::uint32_t ItemField(int item, int low, int high) const;
    bool Has(int item) const { return item < ItemCount(); }

    static int MasterSourceGetter(void* context, int parameter);
    static void MasterSourceSetter(int value, void* context, int parameter);

    // The crystal edit holds the crystal frequency (else the external clock frequency).
    bool CrystalEditIsCrystal() const { return m_family.NewGeneration() || m_family.entry105; }
    // Notes a bound setting and the page control it is attached to.
    void Bound(CSetCtrl& binding, int controlId) { m_bound.emplace_back(&binding, controlId); }

    hwc::tClockFamily m_family;
    std::vector<std::pair<CSetCtrl*, int>> m_bound;
    float m_coreClock = 0.0f;
    float m_busClock = 0.0f;
    float m_highSpeedClock = 0.0f;
    bool m_published = false;

    CSetBit m_relaxationEnable;
    CSetMode m_relaxationMode;
    CSetMode m_relaxationUsed;
    CSetValue m_trim;
    CSetBit m_factoryTrim;
    CSetValue m_retrimClock;
    CSetValue m_temperatureTrim;
    CSetBit m_temperatureFactoryTrim;
    CSetBit m_lowSpeedEnable;
    CSetValue m_lowSpeedTrim;
    CSetBit m_lowSpeedFactoryTrim;
    CSetBit m_crystalPowerDown;
    CSetBit m_crystalEnable;
    CSetMode m_crystalPower;
    CSetMode m_crystalRange;
    CSetMode m_oscillatorPower;
    CSetMode m_externalClockPin;
    CSetBit m_divideBy2;
    CSetMode m_masterSource;
    CSetBit m_enablePll;
    CSetBit m_lockDetector;
    CSetMode m_prescaler;
    CSetValue m_multiplier;
    CSetMode m_lockMode;
    CSetBit m_lossOfReferenceInterrupt;
    CSetMode m_lossOfLock0;
    CSetMode m_lossOfLock1;
    CSetValue m_lossOfReferencePeriod;
    CSetMode m_postscaler;
    CSetMode m_systemSource;
    CSetMode m_pwm2xSource;
    CSetMode m_protectClock;
    CSetMode m_protectOscillator;
    CSetMode m_protectPll;
    CSetBit m_copEnable;
    CSetBit m_copStop;
    CSetBit m_copWait;
    CSetBit m_copWriteProtect;
    CSetBit m_copLossOfClock;
    CSetBit m_copRelaxation;
    CSetValue m_copDivisor;
};
