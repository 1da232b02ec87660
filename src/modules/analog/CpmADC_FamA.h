#pragma once
// The successive-approximation converter of FamA: the channel and conversion-complete interrupt
// of its two conversion registers, hardware trigger, compare function and DMA, and the clock,
// sample time and resolution, with the converter clock and conversion time they give. Its input
// clock and divisor clock the gain amplifier in front of it.

#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "modules/analog/CpmSarConverterBase.h"

class CpmADC_FamA : public CpmSarConverterBase {
    HWC_DECLARE_MODULE_CLASS(CpmADC_FamA, CpmSarConverterBase)
public:
    static constexpr unsigned kTemplateId = 2059;

    // Page controls.
    static constexpr int kChannelAId = 2601;
    static constexpr int kInterruptAId = 2602;
    static constexpr int kChannelBId = 2603;
    static constexpr int kInterruptBId = 2604;
    static constexpr int kTriggerId = 2610;
    static constexpr int kCompareEnableId = 2611;
    static constexpr int kCompareGreaterId = 2612;
    static constexpr int kCompareRangeId = 2613;
    static constexpr int kDmaEnableId = 2614;
    static constexpr int kInputClockId = 2620;
    static constexpr int kClockDivideId = 2621;
    static constexpr int kResolutionId = 2622;
    static constexpr int kLowPowerId = 2623;
    static constexpr int kLongSampleId = 2624;

    // Register items in table order.
    static constexpr int kSc1aItem = 0;
    static constexpr int kSc1bItem = 1;
    static constexpr int kSc2Item = 2;
    static constexpr int kCfgItem = 3;

    // The asynchronous clock of the converter in MHz, by its low-power setting.
    static constexpr float kAsyncClockMHz = 3.3f;
    static constexpr float kAsyncLowPowerClockMHz = 2.0f;
    // The highest converter clock in MHz, by its low-power setting.
    static constexpr float kMaxClockMHz = 8.0f;
    static constexpr float kMaxLowPowerClockMHz = 4.0f;

    CpmADC_FamA(CModuleBase* parent, const CModuleDescriptor* descriptor);

    const CDialogTemplate* DialogTemplate() const override;
    void BindControls(IModuleHost* host) override;
    void UpdateControlStates() override;

    // ADC clock cycles of one conversion, before the bus cycles of its start.
    int ConversionCycles() const override;
    // The limit the converter clock is checked against.
    float MaxClockMHz() const override;

    float InputClockMHz() const override;
    int ClockDivisorField() const override;

    CSetMode& Channel(int conversion) { return conversion == 0 ? m_channelA : m_channelB; }
    CSetMode& InputClock() { return m_inputClock; }
    CSetMode& ClockDivide() { return m_clockDivide; }
    CSetMode& Resolution() { return m_resolution; }
    CSetBit& LowPower() { return m_lowPower; }
    CSetBit& LongSample() { return m_longSample; }

protected:
    void AttachControls(CPage& page) override;

private:
    CSetMode m_channelA;
    CSetBit m_interruptA;
    CSetMode m_channelB;
    CSetBit m_interruptB;
    CSetMode m_trigger;
    CSetBit m_compareEnable;
    CSetMode m_compareGreater;
    CSetBit m_compareRange;
    CSetBit m_dmaEnable;
    CSetMode m_inputClock;
    CSetMode m_clockDivide;
    CSetMode m_resolution;
    CSetBit m_lowPower;
    CSetBit m_longSample;
};
