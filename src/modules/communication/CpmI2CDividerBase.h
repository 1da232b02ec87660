#pragma once
// What the two I2C controllers with a frequency-divider register share: the multiplier,
// prescaler-group and tap-point lists, the table values they select, and the bus timing they
// give (SCL divider, SDA hold, start and stop hold in clocks and in time, and the bit rate).

#include <cstdint>

#include "bindings/KeptChoice.h"
#include "bindings/SetMode.h"
#include "model/DialogTemplate.h"
#include "modules/communication/I2cTiming.h"
#include "modules/framework/CModule.h"

class CpmI2CDividerBase : public CModule {
    HWC_DECLARE_ABSTRACT_MODULE_CLASS(CpmI2CDividerBase, CModule)
public:
    // Page controls of the divider and the timing.
    static constexpr int kMultiplierId = 2201;
    static constexpr int kGroupId = 2202;
    static constexpr int kTapId = 2203;
    static constexpr int kSclTapId = 2204;
    static constexpr int kSdaTapId = 2205;
    static constexpr int kScl2StartId = 2206;
    static constexpr int kScl2StopId = 2207;
    static constexpr int kScl2TapId = 2208;
    static constexpr int kTap2TapId = 2209;
    static constexpr int kNfOffsetId = 2210;
    static constexpr int kNfOffsetLabelId = 2211;
    static constexpr int kInputClockId = 2212;
    static constexpr int kSclDividerId = 2213;
    static constexpr int kSclTimeId = 2214;
    static constexpr int kBitRateId = 2215;
    static constexpr int kSdaHoldId = 2216;
    static constexpr int kSdaHoldTimeId = 2217;
    static constexpr int kStartHoldId = 2218;
    static constexpr int kStartHoldTimeId = 2219;
    static constexpr int kStopHoldId = 2220;
    static constexpr int kStopHoldTimeId = 2221;
    // Interrupt row and the user-vector note (FamA).
    static constexpr int kUserVectorNoteId = 1955;
    static constexpr int kIsrNameLabelId = 1895;
    static constexpr int kHeadingPlaceholderId = 512;
    static constexpr int kInterruptGroupId = 2229;

    // The timing the divider register (and the noise filter, where there is one) gives now.
    hwc::tI2cTiming Timing() const;
    // The controller's input clock in Hz; 0 without a clock module.
    virtual double InputClockHz() const;

    hwc::CKeptChoice& Multiplier() { return m_multiplier; }
    CSetMode& Group() { return m_group; }
    CSetMode& Tap() { return m_tap; }

protected:
    CpmI2CDividerBase(CModuleBase* parent, unsigned templateId, const CModuleDescriptor* descriptor,
                      const tPerCfgDef* table, int count);

    // The register that holds the divider fields.
    virtual int DividerItem() const = 0;
    // The noise filter setting in clocks that lengthens the SCL period; 0 where there is none.
    virtual std::uint32_t NoiseFilterClocks() const { return 0; }

    // Binds the three lists to the divider register.
    void BindDivider();
    void AttachDivider(CPage& page);
    // Shows the input clock, the table values, the counts, the times and the bit rate.
    void ShowTiming();
    // Hides the interrupt group without an interrupt; on FamA hides the row's priority and
    // notes a user vector.
    void UpdateInterruptStates();

    // Page parts, top down: the divider choices with what they select (further rows may be
    // appended to its children), then the timing.
    static tLayoutItem DividerGroup(bool withNfOffset);
    static tLayoutItem TimingGroup();
    static tLayoutItem InterruptGroup();
    // On FamA the interrupt row has no heading: its label stands in for it.
    void PlaceInterruptHeading(CPage& page);

    hwc::CKeptChoice m_multiplier;
    CSetMode m_group;
    CSetMode m_tap;
};
