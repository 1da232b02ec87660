#include <gtest/gtest.h>

#include <set>
#include <string>

#include "model/DialogTemplate.h"
#include "modules/communication/CpmI2C.h"
#include "modules/communication/CpmI2C_FamA.h"
#include "modules/communication/CpmI2C_FamB.h"
#include "modules/system/CpmSYS_FamE_FamF_FamD.h"
#include "modules/system/CpmSYS_V2.h"
#include "support/ModuleTestHost.h"

namespace {

using namespace hwc::test;

// A clock module that publishes a bus clock and a fast peripheral clock.
class CI2cClockStub : public CModule {
    HWC_DECLARE_MODULE_CLASS(CI2cClockStub, CModule)
public:
    CI2cClockStub(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    float PublishedBusClock() const override { return busMHz; }
    float PublishedOtherClock() const override { return fastMHz; }
    float busMHz = 0.0f;
    float fastMHz = 0.0f;
};

// A document with one I2C controller (page open), a clock module unless the bus clock is
// negative, and optionally a system module.
template <class T> struct CI2cFixture {
    CI2cFixture(std::set<int> groups, const char* typeKey, float busMHz,
                const std::string& interrupts = "INT:41:", const char* instance = "I2C_0") {
        host.groups = std::move(groups);
        if (busMHz >= 0.0f) {
            clock = &host.Add<CI2cClockStub>("OCCS", "OCCS");
            clock->busMHz = busMHz;
            clock->fastMHz = 2.0f * busMHz;
        }
        i2c = &host.Add<T>(instance, typeKey, std::string(), interrupts);
    }
    // Adds a system module before the page opens.
    template <class S> S& AddSystem(const char* typeKey) { return host.Add<S>("SYS", typeKey); }
    T& Open() {
        host.BindAll();
        i2c->CreatePage();
        i2c->OnInitialUpdate();
        i2c->Recalculate();
        i2c->UpdateControlStates();
        return *i2c;
    }
    CPageControl& Control(int id) { return *i2c->Page()->FindControl(id); }
    std::string Text(int id) { return Control(id).Text(); }
    void Select(int id, int index) {
        i2c->Page()->UserSelect(Control(id), index);
        i2c->Recalculate();
    }
    void Edit(int id, const std::string& text) {
        i2c->Page()->UserEdit(Control(id), text);
        i2c->Recalculate();
    }
    void Click(int id) {
        i2c->Page()->UserClick(Control(id));
        i2c->Recalculate();
    }
    // Loads register values as a header would, then refreshes the page.
    void Load(int item, std::uint32_t value) {
        i2c->Item(item).dwValue = value;
        i2c->RefreshControls();
        i2c->Recalculate();
    }

    CModuleTestHost host;
    CI2cClockStub* clock = nullptr;
    T* i2c = nullptr;
};

using B = CpmI2CDividerBase;

// The peripheral clock register of the system modules: its I2C bits select the fast clock.
constexpr int kNewPcrItem = 33;
constexpr int kFamBPcrItem = 3;

} // namespace

// --- CpmI2C ---

TEST(CpmI2C, ResetDividerShowsItsTableValuesCountsAndTimes) {
    CI2cFixture<CpmI2C> f({kFamH, kFamJ, kFlag97}, "I2C", 60.0f);
    f.Open();
    EXPECT_EQ(f.Text(B::kInputClockId), "60 MHz");
    EXPECT_EQ(f.Control(B::kMultiplierId).Selection(), 0);
    EXPECT_EQ(f.Text(B::kSclTapId), "5");
    EXPECT_EQ(f.Text(B::kSdaTapId), "1");
    EXPECT_EQ(f.Text(B::kScl2StartId), "2");
    EXPECT_EQ(f.Text(B::kScl2StopId), "7");
    EXPECT_EQ(f.Text(B::kScl2TapId), "4");
    EXPECT_EQ(f.Text(B::kTap2TapId), "1");
    EXPECT_EQ(f.Text(B::kNfOffsetId), "0");
    // T = 1 x (5 - 1) = 4 is part of the divider and both holds.
    EXPECT_EQ(f.Text(B::kSclDividerId), "20");
    EXPECT_EQ(f.Text(B::kSdaHoldId), "7");
    EXPECT_EQ(f.Text(B::kStartHoldId), "6");
    EXPECT_EQ(f.Text(B::kStopHoldId), "11");
    EXPECT_EQ(f.Text(B::kBitRateId), "3 MHz");
    EXPECT_EQ(f.Text(B::kSclTimeId), "0.33333 us");
    EXPECT_EQ(f.Text(B::kStopHoldTimeId), "0.18333 us");
    // The filter is off: no glitch width.
    EXPECT_EQ(f.Text(CpmI2C::kFilterTimeId), "OFF");
}

TEST(CpmI2C, ChoicesWriteTheDividerAndTheFilterLengthensTheDivider) {
    CI2cFixture<CpmI2C> f({kFamH, kFamJ, kFlag97}, "I2C", 32.0f);
    f.Open();
    // Group 4 with tap 5: D = (14 + 16 x 9 + 2) x 2 = 320 clocks, 100 kHz at 32 MHz.
    f.Select(B::kGroupId, 4);
    f.Select(B::kTapId, 5);
    EXPECT_EQ(f.i2c->Item(CpmI2C::kFdivItem).dwValue, 0x25u);
    EXPECT_EQ(f.Text(B::kSclDividerId), "320");
    EXPECT_EQ(f.Text(B::kBitRateId), "100 kHz");
    EXPECT_EQ(f.Text(B::kSclTimeId), "10 us");
    f.Select(B::kMultiplierId, 2);
    EXPECT_EQ(f.i2c->Item(CpmI2C::kFdivItem).dwValue, 0xA5u);
    EXPECT_EQ(f.Text(B::kSclDividerId), "1280");
    EXPECT_EQ(f.Text(B::kBitRateId), "25 kHz");

    // Filter 3 clocks with group 3 (NfOffset 5, tap2tap 8), multiplier 1, tap 2: 112 + 8.
    f.Select(B::kMultiplierId, 0);
    f.Select(B::kGroupId, 3);
    f.Select(B::kTapId, 2);
    EXPECT_EQ(f.Text(B::kSclDividerId), "112");
    f.Select(CpmI2C::kNoiseFilterId, 3);
    EXPECT_EQ(f.i2c->Item(CpmI2C::kNfiltItem).dwValue, 3u);
    EXPECT_EQ(f.Text(B::kSclDividerId), "120");
    EXPECT_EQ(f.Text(B::kNfOffsetId), "5");
    EXPECT_EQ(f.Text(B::kSdaHoldId), "17");
    EXPECT_EQ(f.Text(CpmI2C::kFilterTimeId), "0.09375 us");
}

TEST(CpmI2C, ReservedMultiplierIsKeptAndGivesNoRate) {
    CI2cFixture<CpmI2C> f({kFamH, kFamJ, kFlag97}, "I2C", 60.0f);
    f.Open();
    f.Load(CpmI2C::kFdivItem, 0xDA); // multiplier code 3, group 3, tap 2
    EXPECT_EQ(f.Control(B::kMultiplierId).Selection(), -1);
    EXPECT_EQ(f.Control(B::kGroupId).Selection(), 3);
    EXPECT_EQ(f.Text(B::kSclDividerId), "0");
    EXPECT_EQ(f.Text(B::kSclTimeId), "OFF");
    EXPECT_EQ(f.Text(B::kBitRateId), "OFF");
    EXPECT_EQ(f.Text(B::kSclTapId), "7");
    // Saving asks nothing and writes the value back as loaded.
    EXPECT_TRUE(f.i2c->Validate(false));
    f.i2c->ApplyControls();
    EXPECT_EQ(f.i2c->Item(CpmI2C::kFdivItem).dwValue, 0xDAu);
    // Picking a multiplier replaces the code.
    f.Select(B::kMultiplierId, 1);
    EXPECT_EQ(f.i2c->Item(CpmI2C::kFdivItem).dwValue, 0x5Au);
    EXPECT_EQ(f.Text(B::kSclDividerId), "224");
}

TEST(CpmI2C, WithoutAClockCountsStayAndTimesAreOff) {
    CI2cFixture<CpmI2C> f({kFamH, kFamJ, kFlag97}, "I2C", -1.0f);
    f.Open();
    f.Select(CpmI2C::kNoiseFilterId, 5);
    EXPECT_EQ(f.Text(B::kInputClockId), "OFF");
    EXPECT_EQ(f.Text(B::kSclDividerId), "26"); // 20 + 1 x (0 + 6) / 1
    for (int id : {B::kSclTimeId, B::kBitRateId, B::kSdaHoldTimeId, B::kStartHoldTimeId,
                   B::kStopHoldTimeId, CpmI2C::kFilterTimeId})
        EXPECT_EQ(f.Text(id), "OFF") << id;
}

TEST(CpmI2C, EnablesAddressAndSummary) {
    CI2cFixture<CpmI2C> f({kFamH, kFamJ, kFlag97}, "I2C", 60.0f);
    f.Open();
    f.Click(CpmI2C::kEnableId);
    f.Click(CpmI2C::kInterruptEnableId);
    f.Edit(CpmI2C::kSlaveAddressId, "34");
    EXPECT_EQ(f.i2c->Item(CpmI2C::kCtrlItem).dwValue, 0xC0u);
    EXPECT_EQ(f.i2c->Item(CpmI2C::kAddrItem).dwValue, 34u << 1);
    // A 7-bit field: 128 is refused.
    f.i2c->Page()->UserEdit(f.Control(CpmI2C::kSlaveAddressId), "128");
    EXPECT_FALSE(f.i2c->Validate(false));
    EXPECT_EQ(f.i2c->Item(CpmI2C::kAddrItem).dwValue, 34u << 1);
    f.Edit(CpmI2C::kSlaveAddressId, "127");
    std::string summary;
    f.i2c->GetSummary(summary);
    const auto at = [&](const char* text) { return summary.find(text); };
    ASSERT_NE(at("I2C Module"), std::string::npos) << summary;
    EXPECT_LT(at("I2C Module"), at("Slave Address")) << summary;
    EXPECT_NE(at("Slave Address: 127"), std::string::npos) << summary;
    EXPECT_NE(at("2-7-4-1-0"), std::string::npos) << summary;
    EXPECT_NE(at("Filter Disabled"), std::string::npos) << summary;
}

TEST(CpmI2C, InterruptGroupOnlyWithAnInterrupt) {
    CI2cFixture<CpmI2C> with({kFamH, kFamJ, kFlag97}, "I2C", 60.0f);
    with.Open();
    EXPECT_EQ(with.i2c->InterruptRows().size(), 1u);
    EXPECT_TRUE(with.Control(B::kInterruptGroupId).IsVisible());
    EXPECT_FALSE(with.Control(B::kUserVectorNoteId).IsVisible());
    CI2cFixture<CpmI2C> without({kFamH, kFamJ, kFlag97}, "I2C", 60.0f, "");
    without.Open();
    EXPECT_FALSE(without.Control(B::kInterruptGroupId).IsVisible());
}

// --- CpmI2C_FamA ---

TEST(CpmI2C_FamA, RegistersAndPageByProcessorGroup) {
    struct tCase {
        std::set<int> groups;
        int count;
        unsigned templateId;
    };
    const tCase cases[] = {
        {{kFamA, 104}, 8, CpmI2C_FamA::kTemplateId},
        {{kFamH, kFamC, 28}, 9, CpmI2C_FamA::kTemplateId},
        {{kFamE, 40}, 10, CpmI2C_FamA::kExtendedTemplateId},
        {{kFamF, 60}, 10, CpmI2C_FamA::kExtendedTemplateId},
        {{kFamD, 86}, 10, CpmI2C_FamA::kExtendedTemplateId},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.count);
        CI2cFixture<CpmI2C_FamA> f(c.groups, "I2C_FamA", 60.0f);
        f.Open();
        EXPECT_EQ(f.i2c->ItemCount(), c.count);
        EXPECT_EQ(f.i2c->DialogTemplate()->Id(), c.templateId);
        EXPECT_EQ(std::string(f.i2c->Item(0).szName), "IICF_INIT");
        EXPECT_EQ(std::string(f.i2c->Item(c.count - 1).szName), c.count == 8   ? "IICSLTL_INIT"
                                                                : c.count == 9 ? "IICFILT_INIT"
                                                                               : "IICRA_INIT");
        EXPECT_EQ(f.Control(CpmI2C_FamA::kFilterId).IsVisible(), c.count > 8);
        // The table values but no NfOffset: the controller has no noise filter term.
        EXPECT_EQ(f.i2c->Page()->FindControl(B::kNfOffsetId), nullptr);
        EXPECT_EQ(f.Text(B::kSclDividerId), "20");
    }
}

TEST(CpmI2C_FamA, TenBitSlaveAddressSpansTwoRegisters) {
    CI2cFixture<CpmI2C_FamA> f({kFamE, 40}, "I2C_FamA", 60.0f);
    f.Open();
    f.Click(CpmI2C_FamA::kGeneralCallId); // IICC2 bit 7 stays through address changes
    f.Edit(CpmI2C_FamA::kSlaveAddressId, "300");
    EXPECT_EQ(f.i2c->Item(CpmI2C_FamA::kIica1Item).dwValue, (300u & 0x7F) << 1);
    EXPECT_EQ(f.i2c->Item(CpmI2C_FamA::kIicc2Item).dwValue, 0x80u | (300u >> 7));
    EXPECT_EQ(f.i2c->SlaveAddressValue(), 300u);
    f.Edit(CpmI2C_FamA::kSlaveAddressId, "1023");
    EXPECT_EQ(f.i2c->Item(CpmI2C_FamA::kIica1Item).dwValue, 0xFEu);
    EXPECT_EQ(f.i2c->Item(CpmI2C_FamA::kIicc2Item).dwValue, 0x87u);
    f.i2c->Page()->UserEdit(f.Control(CpmI2C_FamA::kSlaveAddressId), "1024");
    EXPECT_FALSE(f.i2c->Validate(false));
    EXPECT_EQ(f.i2c->SlaveAddressValue(), 1023u);
    // A header value with the upper bits shows as one number.
    f.Load(CpmI2C_FamA::kIicc2Item, 0x41);
    f.Load(CpmI2C_FamA::kIica1Item, 0x10);
    EXPECT_EQ(f.Text(CpmI2C_FamA::kSlaveAddressId), "136");
}

TEST(CpmI2C_FamA, SevenBitAddressOf128OrMoreWarns) {
    for (const std::set<int>& groups : {std::set<int>{kFamA, 104}, std::set<int>{kFamF, 60}}) {
        CI2cFixture<CpmI2C_FamA> f(groups, "I2C_FamA", 60.0f);
        f.Open();
        const auto check = [&] {
            f.i2c->CheckWarnings();
            return f.host.Warning(*f.i2c, CpmI2C_FamA::kSlaveAddressLabelId);
        };
        f.Edit(CpmI2C_FamA::kSlaveAddressId, "127");
        EXPECT_EQ(check(), "");
        f.Edit(CpmI2C_FamA::kSlaveAddressId, "128");
        EXPECT_EQ(check(), CpmI2C_FamA::kAddressWarning);
        EXPECT_EQ(f.Text(CpmI2C_FamA::kSlaveAddressLabelId), "Slave Address:");
        f.Click(CpmI2C_FamA::kTenBitId);
        EXPECT_EQ(f.i2c->Item(CpmI2C_FamA::kIicc2Item).dwValue, 0x41u);
        EXPECT_EQ(check(), "");
        f.Click(CpmI2C_FamA::kTenBitId);
        EXPECT_NE(check(), "");
        f.Edit(CpmI2C_FamA::kSlaveAddressId, "5");
        EXPECT_EQ(check(), "");
    }
}

TEST(CpmI2C_FamA, FastClockFromTheSystemModule) {
    // FamF: each controller has its selection, and the clock may be halved.
    {
        CI2cFixture<CpmI2C_FamA> f({kFamF, 60}, "I2C_FamA", 50.0f, "INT:42:", "I2C_1");
        CpmSystemModule& sys = f.AddSystem<CpmSYS_FamE_FamF_FamD>("SYS_FamE_FamF_FamD");
        f.Open();
        EXPECT_EQ(f.Text(B::kInputClockId), "50 MHz");
        tPerCfgItem& pcr = sys.Item(kNewPcrItem);
        pcr.dwValue = 1u << 5; // controller 0 only
        f.i2c->Recalculate();
        EXPECT_EQ(f.Text(B::kInputClockId), "50 MHz");
        pcr.dwValue = 1u << 6;
        f.i2c->Recalculate();
        EXPECT_EQ(f.Text(B::kInputClockId), "100 MHz");
        EXPECT_EQ(f.Text(B::kBitRateId), "5 MHz");
        pcr.dwValue |= 1u << 7;
        f.i2c->Recalculate();
        EXPECT_EQ(f.Text(B::kInputClockId), "50 MHz");
    }
    // FamD: either selection feeds both controllers.
    {
        CI2cFixture<CpmI2C_FamA> f({kFamD, 86}, "I2C_FamA", 50.0f, "INT:42:", "I2C_1");
        CpmSystemModule& sys = f.AddSystem<CpmSYS_FamE_FamF_FamD>("SYS_FamE_FamF_FamD");
        f.Open();
        sys.Item(kNewPcrItem).dwValue = 1u << 5;
        f.i2c->Recalculate();
        EXPECT_EQ(f.Text(B::kInputClockId), "100 MHz");
    }
}

TEST(CpmI2C_FamA, SmbusTimeoutAndRangeAddress) {
    CI2cFixture<CpmI2C_FamA> f({kFamE, 40}, "I2C_FamA", 64.0f);
    f.Open();
    EXPECT_EQ(f.Text(CpmI2C_FamA::kTimeoutTimeId), "OFF");
    f.Edit(CpmI2C_FamA::kTimeoutId, "1000");
    EXPECT_EQ(f.i2c->Item(CpmI2C_FamA::kIicslthItem).dwValue, 0x03u);
    EXPECT_EQ(f.i2c->Item(CpmI2C_FamA::kIicsltlItem).dwValue, 0xE8u);
    EXPECT_EQ(f.Text(CpmI2C_FamA::kTimeoutTimeId), "1 ms"); // 1000 x 64 / 64 MHz
    f.Select(CpmI2C_FamA::kTimeoutClockId, 1);
    EXPECT_EQ(f.i2c->Item(CpmI2C_FamA::kIicsmbItem).dwValue, 0x10u);
    EXPECT_EQ(f.Text(CpmI2C_FamA::kTimeoutTimeId), "15.625 us");
    f.Edit(CpmI2C_FamA::kTimeoutId, "65535");
    EXPECT_EQ(f.i2c->LowTimeoutValue(), 65535u);
    f.i2c->Page()->UserEdit(f.Control(CpmI2C_FamA::kTimeoutId), "65536");
    EXPECT_FALSE(f.i2c->Validate(false));

    f.Click(CpmI2C_FamA::kRangeEnableId);
    f.Edit(CpmI2C_FamA::kRangeAddressId, "100");
    EXPECT_EQ(f.i2c->Item(CpmI2C_FamA::kIicc2Item).dwValue, 0x08u);
    EXPECT_EQ(f.i2c->Item(CpmI2C_FamA::kIicraItem).dwValue, 200u);
    f.Edit(CpmI2C_FamA::kSmbusAddressId, "8");
    EXPECT_EQ(f.i2c->Item(CpmI2C_FamA::kIica2Item).dwValue, 16u);
}

TEST(CpmI2C_FamA, UserVectorNoteOnFamA) {
    CI2cFixture<CpmI2C_FamA> famA({kFamA, 104}, "I2C_FamA", 60.0f, "INT:24:");
    famA.Open();
    // No interrupt controller: no user vector to note.
    EXPECT_FALSE(famA.Control(B::kUserVectorNoteId).IsVisible());
    EXPECT_TRUE(famA.Control(B::kIsrNameLabelId).IsVisible());
    CI2cFixture<CpmI2C_FamA> famE({kFamE, 40}, "I2C_FamA", 60.0f);
    famE.Open();
    EXPECT_FALSE(famE.Control(B::kIsrNameLabelId).IsVisible());
}

// --- CpmI2C_FamB ---

namespace {
using FB = CpmI2C_FamB;
const std::set<int> kFamBGroups = {kFamH, kFamJ, kFamB, 24};
} // namespace

TEST(CpmI2C_FamB, DefaultCountsGiveStandardAndFastRates) {
    CI2cFixture<CpmI2C_FamB> f(kFamBGroups, "I2C_FamB", 32.0f, "INT:37:");
    f.Open();
    EXPECT_EQ(f.Text(FB::kStandardIds.highRegister), "155");
    EXPECT_EQ(f.Text(FB::kStandardIds.highCount), "163");
    EXPECT_EQ(f.Text(FB::kStandardIds.lowCount), "157");
    EXPECT_EQ(f.Text(FB::kStandardIds.rate), "100.000 kb/s");
    EXPECT_EQ(f.Text(FB::kStandardIds.lowTime), "4.90625 us");
    EXPECT_EQ(f.Text(FB::kFastIds.highCount), "43");
    EXPECT_EQ(f.Text(FB::kFastIds.lowCount), "37");
    EXPECT_EQ(f.Text(FB::kFastIds.rate), "400.000 kb/s");
    EXPECT_EQ(f.Control(FB::kSpeedId).Selection(), 1); // CTRL 0x24: fast
    EXPECT_EQ(f.Text(FB::kSlaveAddressId), "0x55");
    // General call (bit 11) is among the sources enabled at reset.
    EXPECT_EQ(f.i2c->Source(11).IsChecked(), 1);
    EXPECT_EQ(f.i2c->Source(8).IsChecked(), 0);
}

TEST(CpmI2C_FamB, CountsBelowTheFloorCountAsTheFloor) {
    CI2cFixture<CpmI2C_FamB> f(kFamBGroups, "I2C_FamB", 32.0f, "INT:37:");
    f.Open();
    f.Load(FB::kSslcntItem, 3);
    EXPECT_EQ(f.Text(FB::kStandardIds.lowCount), "9");
    f.Load(FB::kSshcntItem, 0);
    EXPECT_EQ(f.Text(FB::kStandardIds.highCount), "14");
    EXPECT_EQ(f.Text(FB::kStandardIds.rate), "1.391 Mb/s"); // 32 MHz / 23
    // Typed values below the limits are refused; the limits themselves are taken.
    f.i2c->Page()->UserEdit(f.Control(FB::kFastIds.lowRegister), "7");
    EXPECT_FALSE(f.i2c->Validate(false));
    f.Edit(FB::kFastIds.lowRegister, "8");
    f.Edit(FB::kStandardIds.lowRegister, "8");
    f.Edit(FB::kStandardIds.highRegister, "6");
    EXPECT_TRUE(f.i2c->Validate(false));
    EXPECT_EQ(f.i2c->Item(FB::kFslcntItem).dwValue, 8u);
    EXPECT_EQ(f.Text(FB::kFastIds.lowCount), "9");
    f.i2c->Page()->UserEdit(f.Control(FB::kFastIds.highRegister), "5");
    EXPECT_FALSE(f.i2c->Validate(false));
}

TEST(CpmI2C_FamB, WithoutAClockTimesAndRatesAreInvalid) {
    CI2cFixture<CpmI2C_FamB> f(kFamBGroups, "I2C_FamB", -1.0f, "INT:37:");
    f.Open();
    EXPECT_EQ(f.Text(FB::kInputClockId), "Invalid");
    EXPECT_EQ(f.Text(FB::kStandardIds.highCount), "163");
    for (const FB::tSpeedIds& ids : {FB::kStandardIds, FB::kFastIds}) {
        EXPECT_EQ(f.Text(ids.highTime), "Invalid");
        EXPECT_EQ(f.Text(ids.lowTime), "Invalid");
        EXPECT_EQ(f.Text(ids.rate), "Invalid");
    }
}

TEST(CpmI2C_FamB, SlaveRadioPairsWriteOneBitEach) {
    CI2cFixture<CpmI2C_FamB> f(kFamBGroups, "I2C_FamB", 32.0f, "INT:37:");
    f.Open();
    tPerCfgItem& ctrl = f.i2c->Item(FB::kCtrlItem);
    EXPECT_EQ(f.Control(FB::kSlaveEnabledId).Check(), 1);
    EXPECT_EQ(f.Control(FB::kSevenBitSlaveId).Check(), 1);
    f.Click(FB::kSlaveDisabledId);
    EXPECT_EQ(ctrl.dwValue, 0x64u);
    f.Click(FB::kTenBitSlaveId);
    EXPECT_EQ(ctrl.dwValue, 0x6Cu);
    EXPECT_EQ(f.Control(FB::kSevenBitSlaveId).Check(), 0);
    f.Click(FB::kSlaveEnabledId);
    f.Click(FB::kSevenBitSlaveId);
    EXPECT_EQ(ctrl.dwValue, 0x24u);
    f.Click(FB::kMasterId);
    f.Click(FB::kRestartId);
    EXPECT_EQ(ctrl.dwValue, 0x05u);
}

TEST(CpmI2C_FamB, SpeedCodesTheListLacksAreKept) {
    CI2cFixture<CpmI2C_FamB> f(kFamBGroups, "I2C_FamB", 32.0f, "INT:37:");
    f.Open();
    tPerCfgItem& ctrl = f.i2c->Item(FB::kCtrlItem);
    f.Select(FB::kSpeedId, 0);
    EXPECT_EQ(ctrl.dwValue, 0x22u);
    for (std::uint32_t code : {0u, 3u}) {
        f.Load(FB::kCtrlItem, 0x20u | (code << 1));
        EXPECT_EQ(f.Control(FB::kSpeedId).Selection(), -1) << code;
        EXPECT_TRUE(f.i2c->Validate(false)) << code;
        f.i2c->ApplyControls();
        EXPECT_EQ(ctrl.dwValue, 0x20u | (code << 1)) << code;
    }
    f.Select(FB::kSpeedId, 1);
    EXPECT_EQ(ctrl.dwValue, 0x24u);
}

TEST(CpmI2C_FamB, FastClockFromTheSystemModule) {
    CI2cFixture<CpmI2C_FamB> f(kFamBGroups, "I2C_FamB", 32.0f, "INT:37:");
    CpmSystemModule& sys = f.AddSystem<CpmSYS_V2_FamB>("SYS_V2_FamB");
    f.Open();
    EXPECT_EQ(f.Text(FB::kFastIds.rate), "400.000 kb/s");
    sys.Item(kFamBPcrItem).dwValue = 1u << 3;
    f.i2c->Recalculate();
    EXPECT_EQ(f.Text(FB::kInputClockId), "64 MHz");
    EXPECT_EQ(f.Text(FB::kFastIds.rate), "0.800 Mb/s"); // above 500 kHz in M units
}

TEST(CpmI2C_FamB, AddressThresholdsAndSources) {
    CI2cFixture<CpmI2C_FamB> f(kFamBGroups, "I2C_FamB", 32.0f, "INT:37:");
    f.Open();
    f.Click(FB::kEnableId);
    EXPECT_EQ(f.i2c->Item(FB::kEnblItem).dwValue, 1u);
    f.Edit(FB::kSlaveAddressId, "0x3FF");
    EXPECT_EQ(f.i2c->Item(FB::kSarItem).dwValue, 0x3FFu);
    f.i2c->Page()->UserEdit(f.Control(FB::kSlaveAddressId), "0x400");
    EXPECT_FALSE(f.i2c->Validate(false));
    f.Edit(FB::kSlaveAddressId, "0x12");
    f.Edit(FB::kRxThresholdId, "7");
    EXPECT_EQ(f.i2c->Item(FB::kRxftItem).dwValue, 7u);
    f.Click(FB::kFirstSourceId + 11);
    f.Click(FB::kFirstSourceId + 10);
    EXPECT_EQ(f.i2c->Item(FB::kIenblItem).dwValue, 0x4FFu);
    // The count registers are untouched by the source boxes.
    EXPECT_EQ(f.i2c->Item(FB::kFslcntItem).dwValue, 0x24u);
}
