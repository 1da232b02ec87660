#include <gtest/gtest.h>

#include <string>

#include "base/TextUtil.h"
#include "modules/system/CpmEDMA.h"
#include "support/ModuleTestHost.h"

namespace {

using D = CpmEDMA_Dlg;
using M = CpmEDMA;

struct CEdmaFixture {
    explicit CEdmaFixture(const std::string& info = {},
                          const std::string& interrupts = "INT:92,93,94,95,96:") {
        host.groups = {CModule::kFamD};
        edma = &host.Add<CpmEDMA>("EDMA", "EDMA", info, interrupts);
        edma->SetSelected(true);
        host.BindAll();
    }
    void Open() {
        edma->CreatePage();
        edma->OnInitialUpdate();
    }
    std::uint32_t& Reg(int item) { return edma->Item(item).dwValue; }
    std::uint32_t& Tcd(int channel, M::ETcdItem item) { return Reg(M::TcdItem(channel, item)); }
    std::string Warning(int channel, int id) {
        return host.Warning(*edma, edma->ChannelDialog(channel).PageControlId(id));
    }
    CPageControl* Control(int channel, int id) {
        return edma->FindControl(edma->ChannelDialog(channel).PageControlId(id));
    }
    // A running channel moving 16-bit words: 16 bytes a minor loop, 8 minor loops.
    void Words(int channel) {
        Reg(M::kErqItem) |= 1u << channel;
        Tcd(channel, M::kAttr) = 0x0101;
        Tcd(channel, M::kSoff) = 2;
        Tcd(channel, M::kDoff) = 2;
        Tcd(channel, M::kNbytes) = 16;
        Tcd(channel, M::kCiter) = 8;
        Tcd(channel, M::kBiter) = 8;
    }

    hwc::test::CModuleTestHost host;
    CpmEDMA* edma = nullptr;
};

} // namespace

TEST(CpmEDMA, FiftySixRegistersWithTheirWidths) {
    CEdmaFixture f;
    ASSERT_EQ(f.edma->ItemCount(), 56);
    const char* head[] = {"CR_INIT", "ERQ_INIT", "EEI_INIT", "EARS_INIT"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_STREQ(f.edma->Item(i).szName, head[i]);
        EXPECT_EQ(f.edma->Item(i).dwFlags & 0x7u, hwc::RegFlag::DW32);
    }
    for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(f.edma->Item(M::PriorityItem(n)).szName, hwc::Format("DCHPRI%d_INIT", n));
        EXPECT_EQ(f.edma->Item(M::PriorityItem(n)).dwFlags & 0x7u, hwc::RegFlag::DW8);
        EXPECT_EQ(f.edma->Item(M::PriorityItem(n)).dwValue, static_cast<std::uint32_t>(3 - n));
    }
    const std::pair<const char*, std::uint32_t> tcd[] = {
        {"SARDR", hwc::RegFlag::DW32},    {"SOFF", hwc::RegFlag::DW16},
        {"ATTR", hwc::RegFlag::DW16},     {"NBYTES_MLOFFNO", hwc::RegFlag::DW32},
        {"SLAST", hwc::RegFlag::DW32},    {"DARDR", hwc::RegFlag::DW32},
        {"DOFF", hwc::RegFlag::DW16},     {"CITER_ELINKNO", hwc::RegFlag::DW16},
        {"DLASTSGA", hwc::RegFlag::DW32}, {"CSR", hwc::RegFlag::DW16},
        {"CH_MUX", hwc::RegFlag::DW8},    {"BITER_ELINKNO", hwc::RegFlag::DW16}};
    for (int n = 0; n < 4; ++n) {
        for (int k = 0; k < M::kTcdItemCount; ++k) {
            const tPerCfgItem& item = f.edma->Item(M::TcdItem(n, static_cast<M::ETcdItem>(k)));
            EXPECT_EQ(item.szName, hwc::Format("TCD%d_%s_INIT", n, tcd[k].first));
            EXPECT_EQ(item.dwFlags & 0x7u, tcd[k].second) << item.szName;
        }
    }
    // Out of reset nothing is to be warned about.
    f.edma->CheckWarnings();
    EXPECT_TRUE(f.host.warnings.empty());
}

TEST(CpmEDMA, BytesPerMajorLoop) {
    CEdmaFixture f;
    f.Open();
    f.Words(0);
    f.edma->Recalculate();
    EXPECT_EQ(f.Control(0, D::kMajorLoopBytesId)->Text(), "128 bytes");
    // The largest counts do not overflow.
    f.Tcd(1, M::kNbytes) = 0xFFFFFFFFu;
    f.Tcd(1, M::kBiter) = 0x7FFF;
    EXPECT_EQ(f.edma->MajorLoopBytes(1), 0xFFFFFFFFull * 0x7FFF);
    // A minor-loop channel link leaves nine bits to the count.
    f.Tcd(1, M::kBiter) = 0x8000 | (1u << 9) | 5;
    EXPECT_EQ(f.edma->MajorLoopCount(1), 5u);
    // With minor loop mapping the offset-enable bits narrow NBYTES to 30 or 10 bits.
    f.Reg(M::kCrItem) = 1u << 7;
    f.Tcd(1, M::kNbytes) = 0x3FFFFC00u | 0x24;
    EXPECT_EQ(f.edma->MinorLoopBytes(1), 0x3FFFFC24u);
    f.Tcd(1, M::kNbytes) = 0x80000000u | (0x123u << 10) | 0x24;
    EXPECT_EQ(f.edma->MinorLoopBytes(1), 0x24u);
    f.Reg(M::kCrItem) = 0;
    EXPECT_EQ(f.edma->MinorLoopBytes(1), 0x80000000u | (0x123u << 10) | 0x24);
}

TEST(CpmEDMA, MajorLoopCountsMustAgree) {
    CEdmaFixture f;
    f.Words(2);
    f.Tcd(2, M::kBiter) = 9;
    f.edma->CheckWarnings();
    EXPECT_EQ(f.Warning(2, D::kIterationWarningId),
              "The beginning major loop count (BITER 0x0009) of channel 2 differs from its "
              "current count (CITER 0x0008)");
    // The link bits count too.
    f.Tcd(2, M::kBiter) = 0x8008;
    f.edma->CheckWarnings();
    EXPECT_NE(f.Warning(2, D::kIterationWarningId), "");
    f.Tcd(2, M::kBiter) = 8;
    f.edma->CheckWarnings();
    EXPECT_EQ(f.Warning(2, D::kIterationWarningId), "");
}

TEST(CpmEDMA, MinorLoopByteCount) {
    CEdmaFixture f;
    f.Words(0);
    f.Tcd(0, M::kNbytes) = 0;
    f.edma->CheckWarnings();
    EXPECT_EQ(f.Warning(0, D::kByteCountWarningId),
              "The minor loop byte count (NBYTES) of channel 0 is 0");
    // A channel that never runs may keep a zero count; a software start runs it.
    f.Reg(M::kErqItem) = 0;
    f.edma->CheckWarnings();
    EXPECT_EQ(f.Warning(0, D::kByteCountWarningId), "");
    f.Tcd(0, M::kCsr) = 1;
    f.edma->CheckWarnings();
    EXPECT_NE(f.Warning(0, D::kByteCountWarningId), "");
    // 16-bit source, 32-bit destination: every minor loop moves whole longwords.
    f.Tcd(0, M::kAttr) = 0x0102;
    f.Tcd(0, M::kNbytes) = 6;
    f.edma->CheckWarnings();
    EXPECT_EQ(f.Warning(0, D::kByteCountWarningId),
              "The minor loop byte count (NBYTES) of channel 0 (6) is not a multiple of the "
              "transfer size (4 bytes)");
    f.Tcd(0, M::kNbytes) = 8;
    f.edma->CheckWarnings();
    EXPECT_EQ(f.Warning(0, D::kByteCountWarningId), "");
    // 32-byte bursts.
    f.Tcd(0, M::kAttr) = 0x0505;
    f.edma->CheckWarnings();
    EXPECT_NE(f.Warning(0, D::kByteCountWarningId).find("(32 bytes)"), std::string::npos);
}

TEST(CpmEDMA, OffsetsKeepAccessesAligned) {
    CEdmaFixture f;
    f.Words(1);
    f.Tcd(1, M::kSoff) = 0xFFFD; // -3
    f.Tcd(1, M::kDoff) = 0xFFFE; // -2
    f.edma->CheckWarnings();
    EXPECT_EQ(f.Warning(1, D::kSourceOffsetWarningId),
              "The source offset of channel 1 (-3) is not a multiple of the source transfer "
              "size (2 bytes)");
    EXPECT_EQ(f.Warning(1, D::kDestinationOffsetWarningId), "");
    f.Tcd(1, M::kSoff) = 0xFFFC;
    f.Tcd(1, M::kDoff) = 1;
    f.edma->CheckWarnings();
    EXPECT_EQ(f.Warning(1, D::kSourceOffsetWarningId), "");
    EXPECT_EQ(f.Warning(1, D::kDestinationOffsetWarningId),
              "The destination offset of channel 1 (1) is not a multiple of the destination "
              "transfer size (2 bytes)");
    f.Tcd(1, M::kDoff) = 0;
    f.edma->CheckWarnings();
    EXPECT_EQ(f.Warning(1, D::kDestinationOffsetWarningId), "");
}

TEST(CpmEDMA, ReservedSizeCodes) {
    CEdmaFixture f;
    f.Words(3);
    for (std::uint32_t code : {3u, 6u, 7u}) {
        f.Tcd(3, M::kAttr) = code << 8 | 1;
        f.Tcd(3, M::kSoff) = 3;
        f.Tcd(3, M::kNbytes) = 3;
        f.edma->CheckWarnings();
        EXPECT_EQ(f.Warning(3, D::kSizeWarningId), "Channel 3 uses a reserved transfer size code")
            << code;
        // A reserved size has nothing to be a multiple of.
        EXPECT_EQ(f.Warning(3, D::kSourceOffsetWarningId), "") << code;
        EXPECT_EQ(f.Warning(3, D::kByteCountWarningId), "") << code;
    }
    f.Tcd(3, M::kAttr) = 0x0103;
    f.edma->CheckWarnings();
    EXPECT_NE(f.Warning(3, D::kSizeWarningId), "");
    f.Tcd(3, M::kAttr) = 0x0101;
    f.Tcd(3, M::kSoff) = 2;
    f.Tcd(3, M::kNbytes) = 4;
    f.edma->CheckWarnings();
    EXPECT_EQ(f.Warning(3, D::kSizeWarningId), "");

    // The size list shows no selection for a reserved code, and the page keeps it.
    f.Tcd(3, M::kAttr) = 0x0601;
    f.Open();
    CPageControl* size = f.Control(3, D::kSourceSizeId);
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(size->Selection(), -1);
    EXPECT_TRUE(f.edma->Validate(false));
    f.edma->ApplyControls();
    EXPECT_EQ(f.Tcd(3, M::kAttr), 0x0601u);
    // Entries stand for codes 0, 1, 2, 4 and 5.
    f.edma->Page()->UserSelect(*size, 3);
    EXPECT_EQ(f.Tcd(3, M::kAttr), 0x0401u);
}

TEST(CpmEDMA, EnabledChannelsNeedTheirOwnPriority) {
    CEdmaFixture f;
    f.Words(0);
    f.Words(1);
    f.Reg(M::PriorityItem(1)) = 3 | (1u << 7);
    f.edma->CheckWarnings();
    EXPECT_EQ(f.Warning(0, D::kPriorityWarningId),
              "DMA channel 0 is enabled with priority 3, as is channel 1");
    EXPECT_EQ(f.Warning(1, D::kPriorityWarningId),
              "DMA channel 1 is enabled with priority 3, as is channel 0");
    // Round-robin arbitration does not use the priorities.
    f.Reg(M::kCrItem) = 1u << 2;
    f.edma->CheckWarnings();
    EXPECT_EQ(f.Warning(0, D::kPriorityWarningId), "");
    f.Reg(M::kCrItem) = 0;
    f.Reg(M::kErqItem) = 1;
    f.edma->CheckWarnings();
    EXPECT_EQ(f.Warning(0, D::kPriorityWarningId), "");
    f.Reg(M::kErqItem) = 3;
    f.Reg(M::PriorityItem(1)) = 2;
    f.edma->CheckWarnings();
    EXPECT_EQ(f.Warning(1, D::kPriorityWarningId), "");
}

TEST(CpmEDMA, ControllerLeftOutOfTheHeaderRaisesNothing) {
    CEdmaFixture f;
    f.Words(0);
    f.Words(1);
    f.Reg(M::PriorityItem(1)) = 3;
    f.Tcd(0, M::kNbytes) = 0;
    f.Tcd(0, M::kBiter) = 1;
    f.Tcd(1, M::kAttr) = 0x0303;
    f.edma->CheckWarnings();
    EXPECT_EQ(f.host.warnings.size(), 5u);
    f.edma->SetSelected(false);
    f.edma->CheckWarnings();
    EXPECT_TRUE(f.host.warnings.empty());
}

TEST(CpmEDMA, SignedOffsetsOnThePage) {
    CEdmaFixture f;
    f.Tcd(0, M::kSoff) = 0xFFFE;
    f.Tcd(0, M::kSlast) = 0xFFFFFFF0u;
    f.Open();
    CPage& page = *f.edma->Page();
    EXPECT_EQ(f.Control(0, D::kSourceOffsetId)->Text(), "-2");
    EXPECT_EQ(f.Control(0, D::kSourceLastId)->Text(), "-16");
    page.UserEdit(*f.Control(0, D::kSourceOffsetId), "-4");
    page.UserEdit(*f.Control(0, D::kDestinationOffsetId), "0x8000");
    page.UserEdit(*f.Control(0, D::kDestinationLastId), "-2147483648");
    f.edma->ApplyControls();
    EXPECT_EQ(f.Tcd(0, M::kSoff), 0xFFFCu);
    EXPECT_EQ(f.Tcd(0, M::kDoff), 0x8000u);
    EXPECT_EQ(f.Tcd(0, M::kDlastsga), 0x80000000u);
    // Beyond the field's width the text is refused and the register kept.
    for (const char* text : {"-32769", "65536", "0x10000", "4 bytes", ""}) {
        page.UserEdit(*f.Control(0, D::kSourceOffsetId), text);
        EXPECT_FALSE(f.edma->Validate(false)) << text;
        f.edma->ApplyControls();
        EXPECT_EQ(f.Tcd(0, M::kSoff), 0xFFFCu) << text;
    }
}

TEST(CpmEDMA, RequestSourcesFromTheModuleInformation) {
    CEdmaFixture plain;
    plain.Open();
    CPageControl* list = plain.Control(2, D::kRequestSourceId);
    ASSERT_EQ(list->Items().size(), 64u);
    EXPECT_EQ(list->Items()[5], "Req  5");
    EXPECT_EQ(list->Items()[63], "Req 63");
    plain.edma->Page()->UserSelect(*list, 63);
    EXPECT_EQ(plain.Tcd(2, M::kChMux), 63u);

    CEdmaFixture named("in,5,SCI_0:SCI0 Rx,SCI_0:SCI0 Tx\nin,64,SCI_0:too high\n"
                       "in,63,,,,\"Always enabled\"\n");
    named.Open();
    EXPECT_EQ(named.Control(0, D::kRequestSourceId)->Items()[5], "Req  5: SCI0 Rx");
    EXPECT_EQ(named.Control(1, D::kRequestSourceId)->Items()[5], "Req  5: SCI0 Tx");
    EXPECT_EQ(named.Control(2, D::kRequestSourceId)->Items()[5], "Req  5");
    EXPECT_EQ(named.Control(3, D::kRequestSourceId)->Items()[63], "Req 63: Always enabled");
    EXPECT_EQ(named.Control(0, D::kRequestSourceId)->Items().size(), 64u);
}

TEST(CpmEDMA, InterruptRowsPerChannelAndForErrors) {
    CEdmaFixture f;
    f.Open();
    CPage& page = *f.edma->Page();
    for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(f.edma->ChannelInterruptRow(n).vector, 92 + n);
        CPageControl* holder = page.FindControl(M::kFirstChannelPageId + n);
        ASSERT_NE(holder->SubPage(), nullptr);
        EXPECT_NE(holder->SubPage()->FindControl(CModule::kFirstRowPlaceholderId)->SubPage(),
                  nullptr);
    }
    EXPECT_TRUE(page.FindControl(M::kErrorGroupId)->IsVisible());
    EXPECT_NE(page.FindControl(M::kErrorRowPlaceholderId)->SubPage(), nullptr);

    CEdmaFixture noError({}, "INT:92,93:");
    noError.Open();
    EXPECT_FALSE(noError.edma->Page()->FindControl(M::kErrorGroupId)->IsVisible());
    EXPECT_EQ(noError.edma->ChannelInterruptRow(2).vector, 0);
    CPageControl* row = noError.Control(2, CModule::kFirstRowPlaceholderId);
    ASSERT_NE(row, nullptr);
    EXPECT_FALSE(row->IsVisible());
    EXPECT_EQ(row->SubPage(), nullptr);
}

TEST(CpmEDMA, PageBindsControllerAndDescriptorBits) {
    CEdmaFixture f;
    f.Open();
    CPage& page = *f.edma->Page();
    page.UserClick(*page.FindControl(M::kMinorLoopMappingId));
    page.UserClick(*page.FindControl(M::kHaltOnErrorId));
    page.UserClick(*f.Control(3, D::kEnableRequestId));
    page.UserClick(*f.Control(3, D::kErrorInterruptId));
    page.UserClick(*f.Control(2, D::kAsyncRequestId));
    page.UserSelect(*f.Control(1, D::kPriorityId), 0);
    page.UserClick(*f.Control(1, D::kPreemptableId));
    page.UserClick(*f.Control(0, D::kMajorInterruptId));
    page.UserClick(*f.Control(0, D::kMajorLinkId));
    f.edma->UpdateControlStates();
    EXPECT_TRUE(f.Control(0, D::kMajorLinkChannelId)->IsEnabled());
    EXPECT_FALSE(f.Control(1, D::kMajorLinkChannelId)->IsEnabled());
    page.UserSelect(*f.Control(0, D::kMajorLinkChannelId), 2);
    page.UserSelect(*f.Control(0, D::kDestinationModuloId), 31);
    f.edma->ApplyControls();
    EXPECT_EQ(f.Reg(M::kCrItem), (1u << 7) | (1u << 4));
    EXPECT_EQ(f.Reg(M::kErqItem), 1u << 3);
    EXPECT_EQ(f.Reg(M::kEeiItem), 1u << 3);
    EXPECT_EQ(f.Reg(M::kEarsItem), 1u << 2);
    EXPECT_EQ(f.Reg(M::PriorityItem(1)), 0x80u);
    EXPECT_EQ(f.Tcd(0, M::kCsr), (1u << 1) | (1u << 5) | (2u << 8));
    EXPECT_EQ(f.Tcd(0, M::kAttr), 31u << 3);
}

TEST(CpmEDMA, SummaryDetailsRunningChannelsOnly) {
    CEdmaFixture f;
    f.Words(1);
    f.Open();
    std::string text;
    f.edma->GetSummary(text);
    EXPECT_NE(text.find("DMA Channel 0: Disable"), std::string::npos) << text;
    EXPECT_NE(text.find("DMA Channel 1: Enable"), std::string::npos) << text;
    EXPECT_NE(text.find("Minor loop bytes: 16"), std::string::npos) << text;
    EXPECT_EQ(text.find("Source size: 8-bit"), std::string::npos) << text;
}

TEST(CpmEDMA, BitsOutsideEveryFieldAreKept) {
    CEdmaFixture f;
    f.Reg(M::kCrItem) = 0xFFFFFF6Bu;
    f.Reg(M::PriorityItem(0)) = 0x33;
    f.Tcd(0, M::kChMux) = 0xC5;
    f.Tcd(0, M::kCsr) = 0xFCC0;
    f.Tcd(0, M::kCiter) = 0x8201;
    f.Tcd(0, M::kBiter) = 0x8201;
    f.Tcd(0, M::kNbytes) = 0xC0000000u | (0x5u << 10) | 4;
    f.Open();
    f.edma->ApplyControls();
    EXPECT_EQ(f.Reg(M::kCrItem), 0xFFFFFF6Bu);
    EXPECT_EQ(f.Reg(M::PriorityItem(0)), 0x33u);
    EXPECT_EQ(f.Tcd(0, M::kChMux), 0xC5u);
    EXPECT_EQ(f.Tcd(0, M::kCsr), 0xFCC0u);
    EXPECT_EQ(f.Tcd(0, M::kCiter), 0x8201u);
    EXPECT_EQ(f.Tcd(0, M::kNbytes), 0xC0000000u | (0x5u << 10) | 4);
}
