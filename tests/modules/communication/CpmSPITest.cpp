#include <gtest/gtest.h>

#include <set>
#include <string>

#include "model/Page.h"
#include "modules/communication/CpmSPI.h"
#include "modules/communication/SpiVmonTestSupport.h"
#include "support/ModuleTestHost.h"

namespace {

using namespace hwc::test;
using namespace hwc::test::spivmon;
using hwc::RegFlag::DUMMYREG;
using hwc::RegFlag::NODEFAULT;
using hwc::RegFlag::NOSHOWLIST;

constexpr int kRxVector = 20;
constexpr int kTxVector = 21;

// A document with an SPI (rows on vectors 20 and 21), a clock module when a bus clock is given
// and an interrupt controller when asked for; the page is open.
struct CSpiFixture {
    explicit CSpiFixture(std::set<int> groups, float busMHz = -1.0f, bool controller = false,
                         const std::string& instance = "SPI_1") {
        host.groups = std::move(groups);
        if (busMHz >= 0.0f)
            host.Add<CpmSerialClockFake>("OCCS", "OCCS").busMHz = busMHz;
        if (controller) {
            const bool famA = host.groups.count(kFamA) != 0;
            claims = &host.Add<CpmClaimsFake>(famA ? "WINTC" : "INTC", "INTC");
        }
        spi = &host.Add<CpmSPI>(instance, "SPI", "", "INT:20,21:");
        host.BindAll();
        spi->CreatePage();
        spi->OnInitialUpdate();
        Refresh();
    }
    void Refresh() {
        spi->Recalculate();
        spi->UpdateControlStates();
        spi->CheckWarnings();
    }
    CPageControl& Control(int id) { return *spi->Page()->FindControl(id); }
    std::string Text(int id) { return Control(id).Text(); }
    void Select(int id, int index) {
        spi->Page()->UserSelect(Control(id), index);
        Refresh();
    }
    void Click(int id) {
        spi->Page()->UserClick(Control(id));
        Refresh();
    }
    std::uint32_t Value(int item) { return spi->Item(item).dwValue; }

    CModuleTestHost host;
    CpmSPI* spi = nullptr;
    CpmClaimsFake* claims = nullptr;
};

constexpr const char* k16384 = "Maximum divisor value is 16384; this option will have no effect.";

} // namespace

TEST(CpmSPI, FourBitIndexSplitsOverBothRegistersAndCapsAt16384) {
    CSpiFixture f({kFamE}, 60.0f);
    EXPECT_EQ(f.spi->TemplateId(), CpmSPI::kNewestTemplateId);
    ASSERT_EQ(f.Control(CpmSPI::kDivisorId).Items().size(), 16u);
    EXPECT_EQ(f.Control(CpmSPI::kDivisorId).Items().back(), "/ 65536");
    // Index 11: low bits 3 in SPSCR 13..15, top bit in SPDSCR bit 4; other bits kept.
    f.Select(CpmSPI::kDivisorId, 11);
    EXPECT_EQ(f.Value(CpmSPI::kStatusControlItem), (0x6140u & ~0xE000u) | (3u << 13));
    EXPECT_EQ(f.Value(CpmSPI::kDataItem), 0xFu | (1u << 4));
    f.Click(CpmSPI::kDoubleDivisorId);
    EXPECT_EQ(f.spi->Divisor().value, 8192u);
    EXPECT_FALSE(f.host.Warns(CpmSPI::kDoubleDivisorId));
    EXPECT_EQ(f.Text(CpmSPI::kBitRateId), "7.32422 kHz");
    // Index 13 doubled is 32768: the warning stands and the rate uses 16384.
    f.Select(CpmSPI::kDivisorId, 13);
    EXPECT_EQ(f.spi->DivisorIndex(), 13);
    EXPECT_EQ(f.spi->Divisor().value, 16384u);
    EXPECT_TRUE(f.spi->Divisor().limited);
    EXPECT_EQ(f.host.Warning(CpmSPI::kDoubleDivisorId), k16384);
    EXPECT_EQ(f.Text(CpmSPI::kBitRateId), "3.66211 kHz");
    // Index 12 doubled is exactly the limit: no warning.
    f.Select(CpmSPI::kDivisorId, 12);
    EXPECT_EQ(f.spi->Divisor().value, 16384u);
    EXPECT_FALSE(f.host.Warns(CpmSPI::kDoubleDivisorId));
    // Without the doubling index 13 is 16384 and needs no cap.
    f.Select(CpmSPI::kDivisorId, 13);
    f.Click(CpmSPI::kDoubleDivisorId);
    EXPECT_FALSE(f.host.Warns(CpmSPI::kDoubleDivisorId));
    // A cleared warning leaves the check box and the driver's label in place.
    EXPECT_TRUE(f.Control(CpmSPI::kDoubleDivisorId).IsVisible());
    EXPECT_TRUE(f.Control(CpmSPI::kDriverModeLabelId).IsVisible());
    // The index reads back from a loaded header.
    f.spi->Item(CpmSPI::kStatusControlItem).dwValue = 7u << 13;
    f.spi->Item(CpmSPI::kDataItem).dwValue = 1u << 4;
    f.spi->RefreshControls();
    EXPECT_EQ(f.Control(CpmSPI::kDivisorId).Selection(), 15);
}

TEST(CpmSPI, DivisorLimitsByGroup) {
    CSpiFixture famA({kFamA}, 60.0f);
    EXPECT_EQ(famA.spi->TemplateId(), CpmSPI::kQueuedTemplateId);
    famA.Select(CpmSPI::kDivisorId, 11);
    famA.Click(CpmSPI::kDoubleDivisorId);
    EXPECT_EQ(famA.spi->Divisor().value, 4096u);
    EXPECT_EQ(famA.host.Warning(CpmSPI::kDoubleDivisorId),
              "Maximum divisor value is 4096; this option will have no effect.");
    famA.Select(CpmSPI::kDivisorId, 10);
    EXPECT_FALSE(famA.host.Warns(CpmSPI::kDoubleDivisorId));

    // FamB doubles a three-bit index and has no cap.
    CSpiFixture famB({kFamB}, 60.0f);
    ASSERT_EQ(famB.Control(CpmSPI::kDivisorId).Items().size(), 8u);
    famB.Select(CpmSPI::kDivisorId, 7);
    famB.Click(CpmSPI::kDoubleDivisorId);
    EXPECT_EQ(famB.spi->Divisor().value, 512u);
    EXPECT_FALSE(famB.host.Warns(CpmSPI::kDoubleDivisorId));
    EXPECT_EQ(famB.Value(CpmSPI::kDataItem) & (1u << 4), 0u);

    // FamC caps at 16384 like the newest groups.
    CSpiFixture famC({kFamH, kFamC}, 60.0f);
    famC.Select(CpmSPI::kDivisorId, 14);
    famC.Click(CpmSPI::kDoubleDivisorId);
    EXPECT_EQ(famC.host.Warning(CpmSPI::kDoubleDivisorId), k16384);

    // The older groups have neither doubling nor cap: the SPDSCR bit means nothing there.
    CSpiFixture older({kFamH, kFamK}, 60.0f);
    EXPECT_EQ(older.spi->TemplateId(), CpmSPI::kBasicTemplateId);
    EXPECT_EQ(older.spi->Page()->FindControl(CpmSPI::kDoubleDivisorId), nullptr);
    older.spi->Item(CpmSPI::kDataItem).dwValue |= 1u << 12;
    older.Select(CpmSPI::kDivisorId, 7);
    EXPECT_EQ(older.spi->Divisor().value, 256u);
    EXPECT_EQ(older.Text(CpmSPI::kBitRateId), "234.375 kHz");
}

TEST(CpmSPI, FamGUsesItsTwoBitDivisor) {
    CSpiFixture f({kFamG}, 60.0f);
    EXPECT_EQ(f.spi->TemplateId(), CpmSPI::kBasicTemplateId);
    EXPECT_EQ(f.Control(CpmSPI::kDivisorId).Items(),
              (std::vector<std::string>{"/ 2", "/ 8", "/ 16", "/ 32"}));
    f.Select(CpmSPI::kDivisorId, 3);
    EXPECT_EQ(f.Value(CpmSPI::kStatusControlItem), 3u << 6);
    EXPECT_EQ(f.Text(CpmSPI::kBitRateId), "1.875 MHz");
    f.Select(CpmSPI::kDivisorId, 1);
    EXPECT_EQ(f.Text(CpmSPI::kBitRateId), "7.5 MHz");
}

TEST(CpmSPI, NoClockShowsTheZeroTexts) {
    CSpiFixture f({kFamE});
    f.spi->Item(CpmSPI::kDelayItem).dwValue = 100;
    f.Refresh();
    EXPECT_EQ(f.Text(CpmSPI::kBitRateId), "invalid");
    EXPECT_EQ(f.Text(CpmSPI::kDelayTimeId), "0");
    CSpiFixture zero({kFamG}, 0.0f);
    EXPECT_EQ(zero.Text(CpmSPI::kBitRateId), "invalid");
}

TEST(CpmSPI, RegistersAndDelayByGroup) {
    struct tCase {
        std::set<int> groups;
        bool queues, control2;
    };
    const tCase cases[] = {{{kFamB, kFamH}, true, false}, {{kFamC, kFamH}, true, false},
                           {{kFamA}, false, false},       {{kFamE}, true, true},
                           {{kFamF}, true, true},         {{kFamD}, true, true},
                           {{kFamG}, false, false},       {{kFamH, kFamK}, false, false}};
    for (const tCase& c : cases) {
        CSpiFixture f(c.groups, 60.0f);
        const std::uint32_t hidden = DUMMYREG | NOSHOWLIST;
        const auto isHidden = [&](int item) {
            return (f.spi->Item(item).dwFlags & hidden) == hidden;
        };
        EXPECT_EQ(isHidden(CpmSPI::kFifoItem), !c.queues) << *c.groups.begin();
        EXPECT_EQ(isHidden(CpmSPI::kDelayItem), !c.queues) << *c.groups.begin();
        EXPECT_EQ(isHidden(CpmSPI::kControl2Item), !c.control2) << *c.groups.begin();
        // The delay time shows wherever the delay register exists.
        CPageControl* time = f.spi->Page()->FindControl(CpmSPI::kDelayTimeId);
        if (!c.queues) {
            EXPECT_TRUE(time == nullptr || !time->IsVisible()) << *c.groups.begin();
            continue;
        }
        f.spi->Page()->UserEdit(f.Control(CpmSPI::kDelayId), "8191");
        f.Refresh();
        EXPECT_EQ(f.Value(CpmSPI::kDelayItem), 8191u);
        EXPECT_EQ(f.Text(CpmSPI::kDelayTimeId), "0.13652 ms") << *c.groups.begin();
        f.spi->Page()->UserEdit(f.Control(CpmSPI::kDelayId), "60");
        f.Refresh();
        EXPECT_EQ(f.Text(CpmSPI::kDelayTimeId), "1 us");
    }
    CSpiFixture famG({kFamG});
    EXPECT_EQ(std::string(famG.spi->Item(CpmSPI::kDataItem).szName), "SPDSR_INIT");
    EXPECT_TRUE(famG.spi->Item(CpmSPI::kStatusControlItem).dwFlags & NODEFAULT);
    EXPECT_EQ(famG.Value(CpmSPI::kStatusControlItem), 0u);
    CSpiFixture famE({kFamE});
    EXPECT_EQ(std::string(famE.spi->Item(CpmSPI::kDataItem).szName), "SPDSCR_INIT");
    EXPECT_EQ(famE.Value(CpmSPI::kStatusControlItem), 0x6140u);
    EXPECT_FALSE(famE.spi->Item(CpmSPI::kStatusControlItem).dwFlags & NODEFAULT);
}

TEST(CpmSPI, FrameSettingsAndFifoWatermarks) {
    CSpiFixture f({kFamE}, 60.0f);
    // SPDSCR 0xF is a 16-bit word: shown plus one.
    EXPECT_EQ(f.Text(CpmSPI::kDataSizeId), "16");
    f.spi->Page()->UserEdit(f.Control(CpmSPI::kDataSizeId), "8");
    EXPECT_EQ(f.Value(CpmSPI::kDataItem) & 0xFu, 7u);
    f.spi->Page()->UserEdit(f.Control(CpmSPI::kDataSizeId), "17");
    EXPECT_EQ(f.Value(CpmSPI::kDataItem) & 0xFu, 7u);
    f.spi->Page()->UserEdit(f.Control(CpmSPI::kDataSizeId), "0");
    EXPECT_EQ(f.Value(CpmSPI::kDataItem) & 0xFu, 7u);
    f.spi->Page()->UserEdit(f.Control(CpmSPI::kDataSizeId), "1");
    EXPECT_EQ(f.Value(CpmSPI::kDataItem) & 0xFu, 0u);
    // Master, polarity, phase and shift order in their SPSCR bits.
    EXPECT_EQ(f.Control(CpmSPI::kMasterId).Selection(), 1);
    f.Select(CpmSPI::kMasterId, 0);
    f.Select(CpmSPI::kPolarityId, 1);
    f.Select(CpmSPI::kShiftOrderId, 1);
    EXPECT_EQ(f.Value(CpmSPI::kStatusControlItem), 0x6000u | (1u << 12) | (1u << 7) | (1u << 6));
    // The watermarks follow the queue enable.
    EXPECT_FALSE(f.Control(CpmSPI::kTxWatermarkId).IsEnabled());
    f.Click(CpmSPI::kFifoEnableId);
    EXPECT_TRUE(f.Control(CpmSPI::kTxWatermarkId).IsEnabled());
    EXPECT_TRUE(f.Control(CpmSPI::kRxWatermarkId).IsEnabled());
    f.Select(CpmSPI::kTxWatermarkId, 3);
    f.Select(CpmSPI::kRxWatermarkId, 2);
    EXPECT_EQ(f.Value(CpmSPI::kFifoItem), 1u | (3u << 8) | (2u << 4));

    // FamA shares the page but has no queues to show.
    CSpiFixture famA({kFamA}, 60.0f);
    EXPECT_FALSE(famA.Control(CpmSPI::kFifoEnableId).IsVisible());
    for (int id : {CpmSPI::kQueueGroupId, CpmSPI::kTxWatermarkLabelId, CpmSPI::kDelayId,
                   CpmSPI::kDelayLabelId, CpmSPI::kDelayTimeId})
        EXPECT_FALSE(famA.Control(id).IsVisible()) << id;
}

TEST(CpmSPI, DriverClaimsItsRoutinesWhileEnabled) {
    CSpiFixture f({kFamE}, 60.0f, true, "SPI_1");
    EXPECT_TRUE(f.claims->names.empty());
    EXPECT_FALSE(f.Control(CpmSPI::kRxCharHookId).IsEnabled());
    f.Select(CpmSPI::kDriverModeId, 1);
    EXPECT_EQ(f.Value(CpmSPI::kModeItem), 1u);
    EXPECT_EQ(f.claims->Name(kRxVector), "Spi1RxFullISR");
    EXPECT_EQ(f.claims->Name(kTxVector), "Spi1TxEmptyISR");
    EXPECT_EQ(f.claims->VectorOwner(kRxVector), f.spi);
    EXPECT_TRUE(f.Control(CpmSPI::kRxCharHookId).IsEnabled());
    EXPECT_FALSE(f.host.Warns(CpmSPI::kDriverModeLabelId));
    f.Select(CpmSPI::kDriverModeId, 0);
    EXPECT_TRUE(f.claims->names.empty());

    // Another owner of a vector refuses the claim; going back to Disabled clears the warning.
    f.claims->refused.insert(kTxVector);
    f.Select(CpmSPI::kDriverModeId, 1);
    EXPECT_EQ(f.host.Warning(CpmSPI::kDriverModeLabelId),
              "Could not set interrupt vectors required by this mode");
    f.Select(CpmSPI::kDriverModeId, 0);
    EXPECT_FALSE(f.host.Warns(CpmSPI::kDriverModeLabelId));
    EXPECT_EQ(f.Text(CpmSPI::kDriverModeLabelId), "Mode of operation:");
    EXPECT_TRUE(f.Control(CpmSPI::kDriverModeLabelId).IsVisible());

    // A mode value the list lacks is kept and still runs the driver.
    f.claims->refused.clear();
    f.spi->Item(CpmSPI::kModeItem).dwValue = 3;
    f.spi->RefreshControls();
    f.Refresh();
    EXPECT_EQ(f.Control(CpmSPI::kDriverModeId).Selection(), -1);
    EXPECT_EQ(f.Value(CpmSPI::kModeItem), 3u);
    EXPECT_EQ(f.claims->Name(kRxVector), "Spi1RxFullISR");
}

TEST(CpmSPI, RoutineNamesWithoutControllerOrDigit) {
    CSpiFixture f({kFamE}, 60.0f, false, "SPI");
    EXPECT_EQ(f.spi->RoutineName(0), "Spi0RxFullISR");
    EXPECT_EQ(f.spi->RoutineName(1), "Spi0TxEmptyISR");
    EXPECT_EQ(f.spi->RoutineName(2), "");
    EXPECT_EQ(f.spi->RoutineName(-1), "");
    // Without a controller nothing is assigned and nothing refused.
    f.Select(CpmSPI::kDriverModeId, 1);
    EXPECT_FALSE(f.spi->VectorClaimRefused());
    EXPECT_FALSE(f.host.Warns(CpmSPI::kDriverModeLabelId));
}

TEST(CpmSPI, FamALinksShowUserVectors) {
    CSpiFixture f({kFamA}, 60.0f, true);
    EXPECT_FALSE(f.Control(CpmSPI::kRxUserVectorId).IsVisible());
    f.claims->userVectors[kTxVector] = hwc::tUserVector{3, "SpiTxISR"};
    f.Refresh();
    EXPECT_FALSE(f.Control(CpmSPI::kRxUserVectorId).IsVisible());
    EXPECT_TRUE(f.Control(CpmSPI::kTxUserVectorId).IsVisible());
    EXPECT_NE(f.Text(CpmSPI::kTxUserVectorId).find("See USER3 (SpiTxISR) in WINTC module."),
              std::string::npos);
    // Elsewhere the links stay hidden.
    CSpiFixture famE({kFamE}, 60.0f, true);
    famE.claims->userVectors[kTxVector] = hwc::tUserVector{3, "SpiTxISR"};
    famE.Refresh();
    EXPECT_FALSE(famE.Control(CpmSPI::kTxUserVectorId).IsVisible());
}

TEST(CpmSPI, SummaryNamesTheSettings) {
    CSpiFixture f({kFamE}, 60.0f);
    f.Select(CpmSPI::kDivisorId, 9);
    std::string summary;
    f.spi->GetSummary(summary);
    for (const char* text :
         {"Mode: Master", "Divisor: / 1024", "Data size (bits): 16", "Driver mode: Disabled"})
        EXPECT_NE(summary.find(text), std::string::npos) << text << "\n" << summary;
}

TEST(CpmSPI, PinsAreUsedOnlyWhileEnabled) {
    CSpiFixture famE({kFamE});
    EXPECT_FALSE(famE.spi->IsPinFunctionUsed("MOSI"));
    famE.Click(CpmSPI::kEnableId);
    EXPECT_EQ(famE.Value(CpmSPI::kStatusControlItem), 0x6140u | (1u << 5));
    EXPECT_TRUE(famE.spi->IsPinFunctionUsed("MOSI"));
    CSpiFixture famG({kFamG});
    famG.Click(CpmSPI::kEnableId);
    EXPECT_EQ(famG.Value(CpmSPI::kStatusControlItem), 1u << 10);
    EXPECT_TRUE(famG.spi->IsPinFunctionUsed("SS"));
}
