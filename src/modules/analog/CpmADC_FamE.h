#pragma once
// The 16-bit successive-approximation converter of FamE: channel, differential input and
// interrupt of its two conversion registers; resolution, clock source and divide, sample time,
// hardware trigger, compare values, averaging, DMA; offset, gain and calibration values; with
// the converter clock and conversion time they give.

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "modules/analog/CpmSarConverterBase.h"

class CpmADC_FamE : public CpmSarConverterBase {
    HWC_DECLARE_MODULE_CLASS(CpmADC_FamE, CpmSarConverterBase)
public:
    static constexpr unsigned kTemplateId = 2085;

    // Page controls.
    static constexpr int kChannelAId = 2701;
    static constexpr int kDifferentialAId = 2702;
    static constexpr int kInterruptAId = 2703;
    static constexpr int kChannelBId = 2704;
    static constexpr int kDifferentialBId = 2705;
    static constexpr int kInterruptBId = 2706;
    static constexpr int kInputClockId = 2710;
    static constexpr int kClockDivideId = 2711;
    static constexpr int kResolutionId = 2712;
    static constexpr int kLowPowerId = 2713;
    static constexpr int kHighSpeedId = 2714;
    static constexpr int kAsyncClockOutputId = 2715;
    static constexpr int kMuxSelectId = 2716;
    static constexpr int kLongSampleId = 2717;
    static constexpr int kLongSampleTimeId = 2718;
    static constexpr int kTriggerId = 2720;
    static constexpr int kReferenceId = 2721;
    static constexpr int kDmaEnableId = 2722;
    static constexpr int kContinuousId = 2723;
    static constexpr int kAveragingId = 2724;
    static constexpr int kAveragesId = 2725;
    static constexpr int kCompareEnableId = 2730;
    static constexpr int kCompareGreaterId = 2731;
    static constexpr int kCompareRangeId = 2732;
    static constexpr int kCompareValue1Id = 2733;
    static constexpr int kCompareValue2Id = 2734;
    static constexpr int kOffsetId = 2740;
    static constexpr int kPlusGainId = 2741;
    static constexpr int kMinusGainId = 2742;
    static constexpr int kFirstCalibrationId = 2743; // CLP4, then CLP3 ... CLP0

    // Register items in table order.
    enum EItem {
        kSc1aItem,
        kSc1bItem,
        kCfg1Item,
        kCfg2Item,
        kCv1Item,
        kCv2Item,
        kSc2Item,
        kSc3Item,
        kOfsItem,
        kPgItem,
        kMgItem,
        kClp4Item,
        kClp3Item,
        kClp2Item,
        kClp1Item,
        kClp0Item,
        kItemCount
    };
    static constexpr int kCalibrationCount = 5;

    // The highest converter clock in MHz: in 16-bit mode, and at the lower resolutions.
    static constexpr float kMaxClock16BitMHz = 12.0f;
    static constexpr float kMaxClockMHz = 18.0f;

    CpmADC_FamE(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void UpdateControlStates() override;

    // ADC clock cycles of one result of conversion A, averaging included.
    int ConversionCycles() const override;
    float MaxClockMHz() const override;

    float InputClockMHz() const override;
    int ClockDivisorField() const override;

    CSetMode& InputClock() { return m_inputClock; }
    CSetMode& ClockDivide() { return m_clockDivide; }
    CSetMode& Resolution() { return m_resolution; }
    CSetValue& CompareValue(int index) { return m_compareValues[index]; }
    CSetValue& Offset() { return m_offset; }
    CSetValue& Calibration(int index) { return m_calibration[index]; }

protected:
    void AttachControls(CPage& page) override;

private:
    struct tConversion {
        CSetMode channel;
        CSetBit differential;
        CSetBit interrupt;
    };

    tConversion m_conversions[2];
    CSetMode m_inputClock;
    CSetMode m_clockDivide;
    CSetMode m_resolution;
    CSetBit m_lowPower;
    CSetBit m_highSpeed;
    CSetBit m_asyncClockOutput;
    CSetMode m_muxSelect;
    CSetBit m_longSample;
    CSetMode m_longSampleTime;
    CSetMode m_trigger;
    CSetMode m_reference;
    CSetBit m_dmaEnable;
    CSetBit m_continuous;
    CSetBit m_averaging;
    CSetMode m_averages;
    CSetBit m_compareEnable;
    CSetMode m_compareGreater;
    CSetBit m_compareRange;
    CSetValue m_compareValues[2];
    CSetValue m_offset;
    CSetValue m_plusGain;
    CSetValue m_minusGain;
    CSetValue m_calibration[kCalibrationCount];
};
