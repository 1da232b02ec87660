#include <gtest/gtest.h>

#include <string>

#include "model/Page.h"
#include "modules/memory/CpmSEMI.h"
#include "modules/memory/SemiChipSelect.h"
#include "support/ModuleTestHost.h"

using namespace hwc::semi;

namespace {

using CSemiHost = hwc::test::CModuleTestHost;

// A clock module that publishes a chosen bus clock.
class CpmBusClockStub : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmBusClockStub, CModule)
public:
    static constexpr tPerCfgDef kTable[] = {{"PLLCR_INIT", 0, hwc::RegFlag::DW16}};
    CpmBusClockStub(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, kTable, 1) {}
    float PublishedBusClock() const override { return busMHz; }
    float busMHz = 0.0f;
};

// Register values of a chip select: base field (address bits 23..12) and size code; option
// register with access, space and wait states.
std::uint32_t BaseRegister(std::uint32_t baseField, std::uint32_t sizeCode) {
    return (baseField << kBaseLow) | sizeCode;
}
std::uint32_t OptionRegister(int access, bool dataSpace, std::uint32_t readWait = 0,
                             std::uint32_t writeWait = 0) {
    return static_cast<std::uint32_t>(access) | (dataSpace ? 1u << kDataSpaceBit : 0u) |
           (readWait << kReadWaitLow) | (writeWait << kWriteWaitLow);
}
tChipSelect Cs(std::uint32_t baseField, std::uint32_t sizeCode, int access = kAccessReadWrite,
               bool dataSpace = true) {
    return DecodeChipSelect(BaseRegister(baseField, sizeCode), OptionRegister(access, dataSpace));
}

// A document with the interface (and, with a bus clock, a clock module), page open.
struct CSemiFixture {
    explicit CSemiFixture(float busMHz = -1.0f) {
        if (busMHz >= 0.0f)
            host.Add<CpmBusClockStub>("OCCS", "OCCS").busMHz = busMHz;
        semi = &host.Add<CpmSEMI>("SEMI", "SEMI");
        host.BindAll();
        semi->CreatePage();
        semi->OnInitialUpdate();
    }
    void SetChipSelect(int n, std::uint32_t base, std::uint32_t option, std::uint32_t timing = 0) {
        semi->Item(CpmSEMI::BaseItem(n)).dwValue = base;
        semi->Item(CpmSEMI::OptionItem(n)).dwValue = option;
        semi->Item(CpmSEMI::TimingItem(n)).dwValue = timing;
    }
    void Update() {
        semi->RefreshControls();
        semi->Recalculate();
        semi->CheckWarnings();
    }
    CPageControl& Control(int id) { return *semi->Page()->FindControl(id); }
    std::string Text(int id) { return Control(id).Text(); }
    std::string CsText(int n, int id) { return Text(CpmSEMI::ChipSelectControlId(n, id)); }
    std::string WsText(int n, int id) { return Text(CpmSEMI::WaitStateControlId(n, id)); }
    std::string AlignWarning(int n) {
        return host.Warning(*semi, CpmSEMI::ChipSelectControlId(n, CpmSEMI_CSDlg::kAlignWarningId));
    }
    std::string OverlapWarning(int n) {
        return host.Warning(*semi,
                            CpmSEMI::ChipSelectControlId(n, CpmSEMI_CSDlg::kOverlapWarningId));
    }

    CSemiHost host;
    CpmSEMI* semi = nullptr;
};

} // namespace

TEST(SemiChipSelect, BlockSizesDoubleFrom4KWordsAndTheTopCodesAreReserved) {
    EXPECT_EQ(BlockSizeWords(0), 0x1000u);
    EXPECT_EQ(BlockSizeWords(1), 0x2000u);
    EXPECT_EQ(BlockSizeWords(4), 0x10000u);
    EXPECT_EQ(BlockSizeWords(12), 0x1000000u);
    for (std::uint32_t code : {13u, 14u, 15u, 16u, 0xFFFFFFFFu})
        EXPECT_FALSE(BlockSizeWords(code).has_value()) << code;
}

TEST(SemiChipSelect, DecodedRanges) {
    struct tCase {
        std::uint32_t baseField, sizeCode;
        const char* range;
    };
    const tCase cases[] = {
        {0x000, 0, "0x000000 - 0x000FFF"},
        {0x010, 3, "0x010000 - 0x017FFF"},
        {0x001, 0, "0x001000 - 0x001FFF"},
        {0xFFF, 0, "0xFFF000 - 0xFFFFFF"},
        {0x000, 12, "0x000000 - 0xFFFFFF"},
        {0x800, 11, "0x800000 - 0xFFFFFF"},
        // A misaligned block that would run past the 24-bit space ends with it.
        {0xFFF, 12, "0xFFF000 - 0xFFFFFF"},
        {0x801, 11, "0x801000 - 0xFFFFFF"},
        {0x010, 13, "??"},
        {0x010, 15, "??"},
    };
    for (const tCase& c : cases)
        EXPECT_EQ(RangeText(Cs(c.baseField, c.sizeCode)), c.range)
            << c.baseField << "/" << c.sizeCode;
    // Bits beyond the fields do not leak into them.
    const tChipSelect cs = DecodeChipSelect(0xFFFF, 0xFFFF);
    EXPECT_EQ(cs.base, 0xFFF000u);
    EXPECT_EQ(cs.access, kAccessReadWrite);
    EXPECT_TRUE(cs.dataSpace);
    EXPECT_FALSE(cs.sizeWords.has_value());
}

TEST(SemiChipSelect, AlignmentAtExactMultiples) {
    EXPECT_TRUE(Cs(0x008, 3).Aligned());  // 0x8000 on 32 K words
    EXPECT_FALSE(Cs(0x009, 3).Aligned()); // 0x9000
    EXPECT_FALSE(Cs(0x00C, 3).Aligned()); // 0xC000: a multiple of half the size only
    EXPECT_TRUE(Cs(0x010, 3).Aligned());
    EXPECT_TRUE(Cs(0xFFF, 0).Aligned());   // 4 K blocks fit everywhere
    EXPECT_TRUE(Cs(0x800, 11).Aligned());  // 8 M words at 8 M
    EXPECT_FALSE(Cs(0x400, 11).Aligned()); // ... not at 4 M
    EXPECT_TRUE(Cs(0x000, 12).Aligned());
    EXPECT_FALSE(Cs(0x001, 12).Aligned());
    EXPECT_TRUE(Cs(0x001, 14).Aligned()); // a reserved size has nothing to compare with
}

TEST(SemiChipSelect, OverlapNeedsOneSharedWordInOneSpace) {
    const tChipSelect low = Cs(0x000, 4);  // 0x000000 - 0x00FFFF
    const tChipSelect next = Cs(0x010, 4); // 0x010000 - 0x01FFFF: touching
    EXPECT_FALSE(Overlap(low, next));
    EXPECT_FALSE(Overlap(next, low));
    const tChipSelect lastWord = Cs(0x00F, 0); // 0x00F000 - 0x00FFFF: inside the first
    EXPECT_TRUE(Overlap(low, lastWord));
    EXPECT_TRUE(Overlap(lastWord, low));
    EXPECT_FALSE(Overlap(lastWord, next));
    // One block holding another.
    EXPECT_TRUE(Overlap(Cs(0x000, 12), Cs(0x123, 0)));
    EXPECT_TRUE(Overlap(low, low));
    // Different spaces, a disabled chip select or a reserved size never overlap.
    EXPECT_FALSE(Overlap(low, Cs(0x000, 4, kAccessRead, false)));
    EXPECT_FALSE(Overlap(low, Cs(0x000, 4, kAccessOff)));
    EXPECT_FALSE(Overlap(Cs(0x000, 4, kAccessOff), low));
    EXPECT_FALSE(Overlap(low, Cs(0x000, 13)));
    // Read-only and write-only chip selects of one space still share the addresses.
    EXPECT_TRUE(Overlap(Cs(0x000, 4, kAccessRead), Cs(0x008, 0, kAccessWrite)));
}

TEST(SemiChipSelect, AccessCycles) {
    EXPECT_EQ(AccessCycles(0, 0, 0), 1u);
    EXPECT_EQ(AccessCycles(31, 3, 3), 38u);
}

TEST(CpmSEMI, RegisterSetAndNames) {
    CSemiFixture f;
    ASSERT_EQ(f.semi->ItemCount(), 25);
    EXPECT_STREQ(f.semi->Item(0).szName, "BCR_INIT");
    EXPECT_STREQ(f.semi->Item(CpmSEMI::BaseItem(0)).szName, "CSBAR0_INIT");
    EXPECT_STREQ(f.semi->Item(CpmSEMI::BaseItem(7)).szName, "CSBAR7_INIT");
    EXPECT_STREQ(f.semi->Item(CpmSEMI::OptionItem(0)).szName, "CSOR0_INIT");
    EXPECT_STREQ(f.semi->Item(CpmSEMI::OptionItem(7)).szName, "CSOR7_INIT");
    EXPECT_STREQ(f.semi->Item(CpmSEMI::TimingItem(0)).szName, "CSTC0_INIT");
    EXPECT_STREQ(f.semi->Item(CpmSEMI::TimingItem(7)).szName, "CSTC7_INIT");
    EXPECT_EQ(f.semi->GetDefineName(f.semi->Item(CpmSEMI::BaseItem(3))), "SEMI_CSBAR3_INIT");
}

TEST(CpmSEMI, PageShowsFieldsAndRanges) {
    CSemiFixture f(100.0f);
    f.SetChipSelect(0, BaseRegister(0x010, 3),
                    OptionRegister(kAccessReadWrite, true, 2, 1) | (1u << kLowerByteBit) |
                        (1u << kUpperByteBit));
    f.SetChipSelect(1, BaseRegister(0x020, 0), OptionRegister(kAccessWrite, true, 5, 4),
                    (1u << kWriteSetupLow) | (2u << kWriteHoldLow));
    f.SetChipSelect(2, BaseRegister(0x030, 14), OptionRegister(kAccessRead, false));
    f.Update();
    EXPECT_EQ(f.CsText(0, CpmSEMI_CSDlg::kGroupId), "Chip select 0");
    EXPECT_EQ(f.Control(CpmSEMI::ChipSelectControlId(0, CpmSEMI_CSDlg::kAccessId)).Selection(), 3);
    EXPECT_EQ(f.Control(CpmSEMI::ChipSelectControlId(0, CpmSEMI_CSDlg::kSpaceId)).Selection(), 1);
    EXPECT_EQ(f.Control(CpmSEMI::ChipSelectControlId(0, CpmSEMI_CSDlg::kSizeId)).Selection(), 3);
    EXPECT_EQ(f.CsText(0, CpmSEMI_CSDlg::kSizeId), "32K words");
    EXPECT_EQ(f.Control(CpmSEMI::ChipSelectControlId(0, CpmSEMI_CSDlg::kLowerByteId)).Check(), 1);
    EXPECT_EQ(f.CsText(0, CpmSEMI_CSDlg::kRangeId), "0x010000 - 0x017FFF");
    EXPECT_EQ(f.CsText(1, CpmSEMI_CSDlg::kRangeId), "0x020000 - 0x020FFF");
    // A reserved size code is shown as such and kept.
    EXPECT_EQ(f.CsText(2, CpmSEMI_CSDlg::kSizeId), "Reserved (14)");
    EXPECT_EQ(f.CsText(2, CpmSEMI_CSDlg::kRangeId), "??");
    f.semi->ApplyControls();
    EXPECT_EQ(f.semi->Item(CpmSEMI::BaseItem(2)).dwValue, BaseRegister(0x030, 14));

    // Access times at 100 MHz: one cycle, the wait states and setup and hold.
    EXPECT_EQ(f.WsText(0, CpmSEMI_WSDlg::kReadAccessId), "30 ns (3 cycles)");
    EXPECT_EQ(f.WsText(0, CpmSEMI_WSDlg::kWriteAccessId), "20 ns (2 cycles)");
    EXPECT_EQ(f.WsText(1, CpmSEMI_WSDlg::kWriteAccessId), "80 ns (8 cycles)");
    EXPECT_EQ(f.WsText(1, CpmSEMI_WSDlg::kWriteWaitId), "4");
    EXPECT_EQ(f.Text(CpmSEMI::kDefaultReadAccessId), "10 ns (1 cycle)");

    // Only enabled chip selects show their timing; reading and writing rows follow the access.
    CPage& page = *f.semi->Page();
    EXPECT_TRUE(page.FindControl(CpmSEMI::kFirstWaitStatePageId + 1)->IsVisible());
    EXPECT_FALSE(page.FindControl(CpmSEMI::kFirstWaitStatePageId + 3)->IsVisible());
    EXPECT_FALSE(f.Control(CpmSEMI::WaitStateControlId(1, CpmSEMI_WSDlg::kReadWaitId)).IsEnabled());
    EXPECT_TRUE(f.Control(CpmSEMI::WaitStateControlId(1, CpmSEMI_WSDlg::kWriteHoldId)).IsEnabled());
    EXPECT_TRUE(f.Control(CpmSEMI::WaitStateControlId(2, CpmSEMI_WSDlg::kReadHoldId)).IsEnabled());
    EXPECT_FALSE(f.Control(CpmSEMI::kNoWaitStatesId).IsVisible());
    // A chip select that is off shows its access choice only.
    EXPECT_TRUE(f.Control(CpmSEMI::ChipSelectControlId(3, CpmSEMI_CSDlg::kAccessId)).IsVisible());
    EXPECT_FALSE(f.Control(CpmSEMI::ChipSelectControlId(3, CpmSEMI_CSDlg::kBaseId)).IsVisible());
    EXPECT_FALSE(f.Control(CpmSEMI::ChipSelectControlId(3, CpmSEMI_CSDlg::kRangeId)).IsVisible());
    EXPECT_TRUE(f.Control(CpmSEMI::ChipSelectControlId(2, CpmSEMI_CSDlg::kRangeId)).IsVisible());
    // Switching it on through the page shows the rest and its timing.
    page.UserSelect(f.Control(CpmSEMI::ChipSelectControlId(3, CpmSEMI_CSDlg::kAccessId)), 1);
    f.semi->UpdateControlStates();
    EXPECT_EQ(f.semi->Item(CpmSEMI::OptionItem(3)).dwValue, 1u);
    EXPECT_TRUE(f.Control(CpmSEMI::ChipSelectControlId(3, CpmSEMI_CSDlg::kBaseId)).IsVisible());
    EXPECT_TRUE(page.FindControl(CpmSEMI::kFirstWaitStatePageId + 3)->IsVisible());
}

TEST(CpmSEMI, AccessTimesNeedTheClockModule) {
    CSemiFixture f;
    f.SetChipSelect(0, BaseRegister(0, 0), OptionRegister(kAccessReadWrite, true, 3, 3));
    f.Update();
    EXPECT_EQ(f.WsText(0, CpmSEMI_WSDlg::kReadAccessId), "??");
    EXPECT_EQ(f.WsText(0, CpmSEMI_WSDlg::kWriteAccessId), "??");
    EXPECT_EQ(f.Text(CpmSEMI::kDefaultReadAccessId), "??");
    // A clock module that publishes no bus clock is no better.
    CSemiFixture zero(0.0f);
    zero.Update();
    EXPECT_EQ(zero.Text(CpmSEMI::kDefaultWriteAccessId), "??");
    // The longest access at an uneven clock.
    CSemiFixture slow(60.0f);
    slow.semi->Item(CpmSEMI::kBcrItem).dwValue = 31u << kBcrWriteWaitLow;
    slow.Update();
    EXPECT_EQ(slow.Text(CpmSEMI::kDefaultWriteAccessId), "533.3 ns (32 cycles)");
}

TEST(CpmSEMI, TypedWaitStatesAreRangeChecked) {
    CSemiFixture f(100.0f);
    f.SetChipSelect(0, 0, OptionRegister(kAccessReadWrite, true));
    f.Update();
    CPage& page = *f.semi->Page();
    CPageControl& wait = f.Control(CpmSEMI::WaitStateControlId(0, CpmSEMI_WSDlg::kReadWaitId));
    page.UserEdit(wait, "31");
    EXPECT_EQ(Field(f.semi->Item(CpmSEMI::OptionItem(0)).dwValue, kReadWaitLow, kReadWaitHigh),
              31u);
    page.UserEdit(wait, "32");
    EXPECT_EQ(Field(f.semi->Item(CpmSEMI::OptionItem(0)).dwValue, kReadWaitLow, kReadWaitHigh),
              31u);
    EXPECT_FALSE(f.semi->ValidationProblem().empty());
    // The write field next to it is untouched.
    EXPECT_EQ(Field(f.semi->Item(CpmSEMI::OptionItem(0)).dwValue, kWriteWaitLow, kWriteWaitHigh),
              0u);
}

TEST(CpmSEMI, MisalignmentWarnsOnlyForEnabledChipSelects) {
    CSemiFixture f;
    f.SetChipSelect(0, BaseRegister(0x008, 3), OptionRegister(kAccessReadWrite, true));
    f.SetChipSelect(1, BaseRegister(0x028, 4), OptionRegister(kAccessRead, false));
    f.SetChipSelect(2, BaseRegister(0x009, 3), OptionRegister(kAccessOff, true));
    f.Update();
    EXPECT_EQ(f.AlignWarning(0), "");
    EXPECT_EQ(f.AlignWarning(1),
              "Chip select 1: base 0x028000 is not a multiple of its block size (0x010000 words).");
    EXPECT_EQ(f.AlignWarning(2), "");
    EXPECT_TRUE(
        f.Control(CpmSEMI::ChipSelectControlId(1, CpmSEMI_CSDlg::kAlignWarningId)).IsVisible());
    // Aligning it clears the warning and hides its line.
    f.SetChipSelect(1, BaseRegister(0x020, 4), OptionRegister(kAccessRead, false));
    f.Update();
    EXPECT_EQ(f.AlignWarning(1), "");
    EXPECT_FALSE(
        f.Control(CpmSEMI::ChipSelectControlId(1, CpmSEMI_CSDlg::kAlignWarningId)).IsVisible());
    // A warning, never a refusal.
    EXPECT_EQ(f.semi->ValidationProblem(), "");
}

TEST(CpmSEMI, OverlapWarnsOnTheLaterChipSelect) {
    CSemiFixture f;
    f.SetChipSelect(0, BaseRegister(0x000, 4), OptionRegister(kAccessReadWrite, true));
    f.SetChipSelect(1, BaseRegister(0x010, 4), OptionRegister(kAccessReadWrite, true));
    f.SetChipSelect(2, BaseRegister(0x000, 4), OptionRegister(kAccessRead, false));
    f.Update();
    // Touching blocks and blocks of another space do not warn.
    for (int n = 0; n < 8; ++n)
        EXPECT_EQ(f.OverlapWarning(n), "") << n;

    f.SetChipSelect(3, BaseRegister(0x01F, 0), OptionRegister(kAccessWrite, true));
    f.Update();
    EXPECT_EQ(f.OverlapWarning(3), "Chip select 3 (0x01F000 - 0x01FFFF) overlaps chip select 1 "
                                   "(0x010000 - 0x01FFFF) in data space.");
    EXPECT_EQ(f.OverlapWarning(1), "");
    // Disabling the earlier one clears it.
    f.SetChipSelect(1, BaseRegister(0x010, 4), OptionRegister(kAccessOff, true));
    f.Update();
    EXPECT_EQ(f.OverlapWarning(3), "");
}

TEST(CpmSEMI, PinsFollowTheEnabledChipSelects) {
    CSemiFixture f;
    EXPECT_FALSE(f.semi->IsPinFunctionUsed("CS0"));
    EXPECT_FALSE(f.semi->IsPinFunctionUsed("A0"));
    f.SetChipSelect(1, 0, OptionRegister(kAccessRead, false));
    EXPECT_FALSE(f.semi->IsPinFunctionUsed("CS0"));
    EXPECT_TRUE(f.semi->IsPinFunctionUsed("CS1"));
    EXPECT_TRUE(f.semi->IsPinFunctionUsed("A15"));
    EXPECT_FALSE(f.semi->IsPinFunctionUsed("CS8"));
    EXPECT_FALSE(f.semi->IsPinFunctionUsed("CS"));
    f.SetChipSelect(7, 0, OptionRegister(kAccessWrite, false));
    EXPECT_TRUE(f.semi->IsPinFunctionUsed("CS7"));
}

TEST(CpmSEMI, SummaryListsBusControlAndEnabledChipSelects) {
    CSemiFixture f;
    f.semi->Item(CpmSEMI::kBcrItem).dwValue = (1u << kBcrDriveIdleBit) | 4u;
    f.SetChipSelect(0, BaseRegister(0x010, 3), OptionRegister(kAccessReadWrite, true, 2, 1));
    f.Update();
    std::string summary;
    f.semi->GetSummary(summary);
    EXPECT_NE(summary.find("Chip select 0: read and write, data space, 0x010000 - 0x017FFF, "
                           "2/1 read/write wait states"),
              std::string::npos)
        << summary;
    EXPECT_EQ(summary.find("Chip select 1"), std::string::npos) << summary;
}
