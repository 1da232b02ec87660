#pragma once
// The cyclic converter with two sub-converters (A and B): clock divisor, scan mode, the sample
// list with each sample's channel, enable, limits, offset and zero-crossing detection, and on
// the newer processor groups (FamE, FamF, FamD) power-down, power modes, a second divisor and
// sample times. The page shows the converter clocks and the time a scan takes, and warns when
// a clock exceeds what the converter is specified for.

#include <array>
#include <cstdint>
#include <string>

#include "bindings/KeptChoice.h"
#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/analog/AnalogQueries.h"
#include "modules/framework/CModule.h"

class CpmADC : public CModule, public hwc::IAdcConverters {
    HWC_DECLARE_MODULE_CLASS(CpmADC, CModule)
public:
    // The page layouts: one per processor group, the first for the rest.
    enum class ELayout { Default, FamG, FamJ, FamB, FamC, Newer };

    static constexpr unsigned kTemplateId = 172;
    static constexpr unsigned kFamGTemplateId = 2035;
    static constexpr unsigned kFamJTemplateId = 2049;
    static constexpr unsigned kFamBTemplateId = 2070;
    static constexpr unsigned kFamCTemplateId = 2087;
    static constexpr unsigned kNewerTemplateId = 2090;

    static constexpr int kOlderSamples = 8;
    static constexpr int kNewerSamples = 16;
    static constexpr int kMaxSamples = kNewerSamples;
    // Samples whose zero-crossing detection ADZCC holds (two bits each).
    static constexpr int kZeroCrossingSamples = 8;

    // Page controls.
    static constexpr int kDivisorId = 1240;
    static constexpr int kDivisorBId = 1241;
    static constexpr int kScanModeId = 1242;
    static constexpr int kSyncId = 1243;
    static constexpr int kStopId = 1244;
    static constexpr int kSyncWarningId = 1245;
    static constexpr int kClockId = 1246;
    static constexpr int kClockBId = 1247;
    static constexpr int kTimeId = 1248;
    static constexpr int kCyclesId = 1249;
    static constexpr int kTimeBId = 1250;
    static constexpr int kCyclesBId = 1251;
    static constexpr int kEndOfScanIntId = 1252;
    static constexpr int kZeroCrossingIntId = 1253;
    static constexpr int kLowLimitIntId = 1254;
    static constexpr int kHighLimitIntId = 1255;
    static constexpr int kFirstDifferentialId = 1256; // + pair (4)
    static constexpr int kSimultaneousId = 1260;
    static constexpr int kPowerDownAId = 1261;
    static constexpr int kPowerDownBId = 1262;
    static constexpr int kPowerDownRefId = 1263;
    static constexpr int kAutoPowerDownId = 1264;
    static constexpr int kPowerUpDelayId = 1265;
    static constexpr int kPowerModeAId = 1266;
    static constexpr int kPowerModeBId = 1267;
    static constexpr int kSampleTimeAId = 1268;
    static constexpr int kSampleTimeBId = 1269;
    static constexpr int kClockWarningId = 1473;
    static constexpr int kClockAWarningId = 2132;
    static constexpr int kClockBWarningId = 2133;
    static constexpr int kModeAWarningId = 2134;
    static constexpr int kModeBWarningId = 2135;
    static constexpr int kUserVectorNoteId = 1955;
    static constexpr int kHeadingPlaceholderId = 512;
    // Each sample's row is a sub-page in the placeholder of that number; its controls are
    // addressed from the page as placeholder x 0x10000 + control.
    static constexpr int kSamplePageBase = 2400; // + sample
    static constexpr int kChannelLocalId = 1;
    static constexpr int kEnabledLocalId = 2;
    static constexpr int kZeroCrossingLocalId = 3;
    static constexpr int kLowLimitLocalId = 4;
    static constexpr int kHighLimitLocalId = 5;
    static constexpr int kOffsetLocalId = 6;
    static constexpr int SampleControlId(int sample, int local) {
        return ((kSamplePageBase + sample) << 16) | local;
    }

    // Register items in table order; the newer layout adds ADLST3-4 after ADLST2, so the
    // later registers are found by the functions below.
    static constexpr int kControl1Item = 0;
    static constexpr int kControl2Item = 1;
    static constexpr int kZeroCrossingItem = 2;
    static constexpr int kFirstListItem = 3;
    static constexpr int kOlderCount = 30;
    static constexpr int kNewerCount = 61;

    // Scan modes of ADCR1 bits 0..2; odd ones convert on both sub-converters at once.
    enum EScanMode {
        kOnceSequential,
        kOnceSimultaneous,
        kLoopSequential,
        kLoopSimultaneous,
        kTriggeredSequential,
        kTriggeredSimultaneous,
    };

    // The clock limits of the newer layout in MHz: the maximum and the limit of each power mode
    // (the last entry stands for every higher index).
    struct tClockLimits {
        float maximum = 0.0f;
        std::array<float, 4> byMode{};
        int modes = 1;
        // The limit of the power mode, an index beyond the table taken as its last entry.
        float ModeLimit(int mode) const;
    };

    CpmADC(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void UpdateControlStates() override;
    void CheckWarnings() override;
    bool IsPinFunctionUsed(const std::string& signal) const override;
    // Converter 'A' or 'B' is powered: on the newer layout its power-down bit is clear; the
    // older converters power up with each scan.
    bool IsConverterPowered(char converter) const override;

    ELayout Layout() const { return m_layout; }
    bool IsNewer() const { return m_layout == ELayout::Newer; }
    int SampleCount() const { return IsNewer() ? kNewerSamples : kOlderSamples; }

    // Item indexes of the registers after the sample lists.
    int DisableItem() const { return kFirstListItem + (IsNewer() ? 4 : 2); }
    int LowLimitItem(int sample) const { return DisableItem() + 1 + sample; }
    int HighLimitItem(int sample) const { return LowLimitItem(SampleCount()) + sample; }
    int OffsetItem(int sample) const { return HighLimitItem(SampleCount()) + sample; }
    // Newer layout only: -1 on the older ones.
    int PowerItem() const { return IsNewer() ? OffsetItem(kNewerSamples) : -1; }
    int CalibrationItem() const { return IsNewer() ? PowerItem() + 1 : -1; }
    int Power2Item() const { return IsNewer() ? PowerItem() + 2 : -1; }
    int Control3Item() const { return IsNewer() ? PowerItem() + 3 : -1; }
    int LimitEnableItem() const { return IsNewer() ? PowerItem() + 4 : -1; }

    int ScanMode() const;
    bool IsSimultaneousScan() const { return (ScanMode() & 1) != 0; }
    bool IsSampleEnabled(int sample) const;
    int SampleChannel(int sample) const;
    // The divisor index of sub-converter A (or B: its own divisor on the newer layout).
    int DivisorIndex(char converter) const;
    // The converter clock in MHz (0 without a clock module).
    float ClockMHz(char converter) const;
    // The maximum clock of the older layouts in MHz.
    float OlderMaximumMHz() const;
    tClockLimits NewerLimits() const;
    // The sub-converter's power mode index as the limits read it (0 on FamF and FamD).
    int PowerMode(char converter) const;
    // The sample time setting S of the sub-converter.
    int SampleTime(char converter) const;
    // The samples a scan converts on the sub-converter.
    int ScanSamples(char converter) const;
    // Converter clock cycles of one scan on the sub-converter.
    double ScanCycles(char converter) const;
    // The time of one scan in seconds; 0 without a clock or without samples.
    double ScanSeconds(char converter) const;

    CSetMode& Divisor() { return m_divisor; }
    CSetMode& DivisorB() { return m_divisorB; }
    CSetMode& ScanModeList() { return m_scanMode; }
    CSetMode& Channel(int sample) { return m_channel[sample]; }
    CSetBit& Enabled(int sample) { return m_enabled[sample]; }
    CSetValue& LowLimit(int sample) { return m_lowLimit[sample]; }
    CSetValue& HighLimit(int sample) { return m_highLimit[sample]; }
    CSetValue& Offset(int sample) { return m_offset[sample]; }
    CSetMode& ZeroCrossing(int sample) { return m_zeroCrossing[sample]; }
    CSetMode& PowerModeList(char converter) {
        return converter == 'B' ? m_powerModeB : m_powerModeA;
    }

protected:
    void AttachControls(CPage& page) override;

private:
    std::uint32_t RegisterValue(int index) const {
        return index >= 0 && index < ItemCount() ? Item(index).dwValue : 0;
    }
    void CheckOlderClock();
    void CheckNewerClocks();
    void CheckSyncSource();

    ELayout m_layout;
    CSetMode m_divisor;
    CSetMode m_divisorB;
    // Codes 6 and 7 are reserved: a header holding one keeps it.
    hwc::CKeptChoice m_scanMode;
    CSetBit m_sync;
    CSetBit m_stop;
    CSetBit m_endOfScanInt;
    CSetBit m_zeroCrossingInt;
    CSetBit m_lowLimitInt;
    CSetBit m_highLimitInt;
    std::array<CSetBit, 4> m_differential;
    CSetBit m_simultaneous;
    CSetBit m_powerDownA;
    CSetBit m_powerDownB;
    CSetBit m_powerDownRef;
    CSetBit m_autoPowerDown;
    CSetValue m_powerUpDelay;
    CSetMode m_powerModeA;
    CSetMode m_powerModeB;
    CSetMode m_sampleTimeA;
    CSetMode m_sampleTimeB;
    std::array<CSetMode, kMaxSamples> m_channel;
    std::array<CSetBit, kMaxSamples> m_enabled;
    std::array<CSetMode, kZeroCrossingSamples> m_zeroCrossing;
    std::array<CSetValue, kMaxSamples> m_lowLimit;
    std::array<CSetValue, kMaxSamples> m_highLimit;
    std::array<CSetValue, kMaxSamples> m_offset;
};
