#include "modules/communication/CpmI2CDividerBase.h"

#include "base/TextUtil.h"
#include "modules/interrupts/InterruptQueries.h"

namespace {

using B = CpmI2CDividerBase;

// A label with a read-only field, twice on one row.
tLayoutItem ValuePair(const char* first, int firstId, const char* second, int secondId,
                      int secondLabelId = kNoControlId) {
    return dlg::Row({dlg::Label(first), dlg::ReadOnly(firstId), dlg::Label(second, secondLabelId),
                     dlg::ReadOnly(secondId)});
}

// A clock count with the time it takes.
tLayoutItem CountRow(const char* caption, int countId, int timeId) {
    return ValuePair(caption, countId, "Time:", timeId);
}

} // namespace

CpmI2CDividerBase::CpmI2CDividerBase(CModuleBase* parent, unsigned templateId,
                                     const CModuleDescriptor* descriptor, const tPerCfgDef* table,
                                     int count)
    : CModule(parent, templateId, descriptor, table, count) {}

tLayoutItem CpmI2CDividerBase::DividerGroup(bool withNfOffset) {
    tLayoutItem group =
        dlg::Group("Bit rate divider",
                   {dlg::Row({dlg::Label("Input clock:"), dlg::ReadOnly(B::kInputClockId)}),
                    dlg::Row({dlg::Label("Multiplier factor:"),
                              dlg::DropList(B::kMultiplierId, hwc::I2cMultiplierTexts())}),
                    dlg::Row({dlg::Label("Prescaler divider group:"),
                              dlg::DropList(B::kGroupId, hwc::I2cGroupTexts())}),
                    dlg::Row({dlg::Label("Shift register tap point:"),
                              dlg::DropList(B::kTapId, hwc::I2cTapTexts())}),
                    ValuePair("SCL Tap", B::kSclTapId, "SDA Tap", B::kSdaTapId),
                    ValuePair("scl2start", B::kScl2StartId, "scl2stop", B::kScl2StopId),
                    ValuePair("scl2tap", B::kScl2TapId, "tap2tap", B::kTap2TapId)});
    if (withNfOffset)
        group.children.push_back(
            dlg::Row({dlg::Label("NfOffset", B::kNfOffsetLabelId), dlg::ReadOnly(B::kNfOffsetId)}));
    return group;
}

tLayoutItem CpmI2CDividerBase::TimingGroup() {
    return dlg::Group("Bus timing (input clock cycles)",
                      {CountRow("SCL divider:", B::kSclDividerId, B::kSclTimeId),
                       dlg::Row({dlg::Label("Frequency:"), dlg::ReadOnly(B::kBitRateId)}),
                       CountRow("SDA hold:", B::kSdaHoldId, B::kSdaHoldTimeId),
                       CountRow("SCL start hold:", B::kStartHoldId, B::kStartHoldTimeId),
                       CountRow("SCL stop hold:", B::kStopHoldId, B::kStopHoldTimeId)});
}

tLayoutItem CpmI2CDividerBase::InterruptGroup() {
    return dlg::Group("I2C Interrupt",
                      {dlg::Link(B::kUserVectorNoteId, "(user vector information)"),
                       dlg::Placeholder(B::kHeadingPlaceholderId),
                       dlg::Row({dlg::Label("ISR Name:", B::kIsrNameLabelId),
                                 dlg::Placeholder(B::kFirstRowPlaceholderId)})},
                      B::kInterruptGroupId);
}

void CpmI2CDividerBase::PlaceInterruptHeading(CPage& page) {
    const bool famA = IsProcessorGroup(*this, kFamA);
    page.ShowControl(kHeadingPlaceholderId, !famA);
    page.ShowControl(kIsrNameLabelId, famA);
}

hwc::tI2cTiming CpmI2CDividerBase::Timing() const {
    return hwc::I2cDividerTiming(Item(DividerItem()).dwValue, NoiseFilterClocks());
}

double CpmI2CDividerBase::InputClockHz() const {
    return static_cast<double>(GetBusClock()) * 1000000.0;
}

void CpmI2CDividerBase::BindDivider() {
    tPerCfgItem& divider = Item(DividerItem());
    m_multiplier.Bind(divider, hwc::kI2cMultiplierLow, hwc::kI2cMultiplierHigh, 0, "");
    m_group.Bind(divider, hwc::kI2cGroupLow, hwc::kI2cGroupHigh, 0, "");
    m_tap.Bind(divider, hwc::kI2cTapLow, hwc::kI2cTapHigh, 0, "");
}

void CpmI2CDividerBase::AttachDivider(CPage& page) {
    m_multiplier.AttachTo(page, kMultiplierId);
    m_group.AttachTo(page, kGroupId);
    m_tap.AttachTo(page, kTapId);
}

void CpmI2CDividerBase::ShowTiming() {
    const hwc::tI2cTiming timing = Timing();
    const double hz = InputClockHz();
    ShowFrequency(kInputClockId, hz, true, nullptr);
    if (CPage* page = Page()) {
        const auto number = [&](int id, int value) {
            page->SetControlText(id, hwc::Format("%d", value));
        };
        number(kSclTapId, timing.tap.scl);
        number(kSdaTapId, timing.tap.sda);
        number(kScl2StartId, timing.group.scl2start);
        number(kScl2StopId, timing.group.scl2stop);
        number(kScl2TapId, timing.group.scl2tap);
        number(kTap2TapId, timing.group.tap2tap);
        number(kNfOffsetId, timing.group.nfOffset);
        number(kSclDividerId, timing.sclDivider);
        number(kSdaHoldId, timing.sdaHold);
        number(kStartHoldId, timing.startHold);
        number(kStopHoldId, timing.stopHold);
    }
    ShowTime(kSclTimeId, hwc::I2cCountTime(timing.sclDivider, hz), true, nullptr);
    ShowFrequency(kBitRateId, hwc::I2cCountRate(timing.sclDivider, hz), true, nullptr);
    ShowTime(kSdaHoldTimeId, hwc::I2cCountTime(timing.sdaHold, hz), true, nullptr);
    ShowTime(kStartHoldTimeId, hwc::I2cCountTime(timing.startHold, hz), true, nullptr);
    ShowTime(kStopHoldTimeId, hwc::I2cCountTime(timing.stopHold, hz), true, nullptr);
}

void CpmI2CDividerBase::UpdateInterruptStates() {
    CPage* page = Page();
    if (!page)
        return;
    page->ShowControl(kUserVectorNoteId, false);
    if (InterruptRows().empty()) {
        // Without an interrupt there is no row to name or to note.
        page->ShowControls(
            {kInterruptGroupId, kHeadingPlaceholderId, kIsrNameLabelId, kFirstRowPlaceholderId},
            false);
        return;
    }
    if (IsProcessorGroup(*this, kFamA)) {
        if (CPage* row = InterruptRows().front().page)
            row->ShowControl(kRowPriorityId, false);
        // The interrupt may be routed through a user vector of the controller.
        hwc::ShowUserVectorNote(*this, kUserVectorNoteId, InterruptRows().front().vector);
    }
}
