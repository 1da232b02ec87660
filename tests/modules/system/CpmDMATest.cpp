#include <gtest/gtest.h>

#include <string>

#include "base/TextUtil.h"
#include "model/ModuleSubDlg.h"
#include "modules/system/CpmDMA.h"
#include "support/ModuleTestHost.h"

namespace {

using CDmaHost = hwc::test::CModuleTestHost;
using D = CpmDMA_Dlg;

// A peripheral that can feed a request: it is written to the header when selected.
class CpmDmaSourceTest : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmDmaSourceTest, CModule)
public:
    static constexpr tPerCfgDef kTable[] = {{"CTRL_INIT", 0, hwc::RegFlag::DW16}};
    CpmDmaSourceTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, kTable, 1) {}
};

// The shape of the shipped module information, with a few lines nobody would ship.
const std::string kInfo = "0,INT:87\n"
                          "1,INT:88\n"
                          "2,INT:0\n"
                          "\t\"3\",\"INT:150\"\n"
                          "4,INT:91\n"
                          "in,0,Reserved,Reserved,reserved,RESERVED\n"
                          "in,1,SCI_0:SCI0 Rx,SCI_0:SCI0 Tx,SCI_1:SCI1 Rx,SCI_1:SCI1 Tx\n"
                          "in,3,SCI_2:SCI2 Rx,SCI_0:SCI0 Rx,SPI_0:SPI0 Rx,SPI_0:SPI0 Tx\n"
                          "in,11,A|B|C|D|E|F:six alternatives,DAC|DAC_A:DAC watermark\n"
                          "in,15,Always enabled,Always enabled,Always enabled,Always enabled\n"
                          "in,16,SCI_0:past the field,,,\n"
                          "in,17,SCI_0:too high,SCI_0:too high\n"
                          "in,x,SCI_0:no number\n"
                          "garbage line\n";

struct CDmaFixture {
    explicit CDmaFixture(const std::string& info = kInfo) {
        host.groups = {CModule::kFamE};
        dma = &host.Add<CpmDMA>("DMA", "DMA", info);
        dma->SetSelected(true);
    }
    CpmDmaSourceTest& AddSource(const std::string& name, bool selected) {
        auto& source = host.Add<CpmDmaSourceTest>(name, "SRC");
        source.SetSelected(selected);
        return source;
    }
    void Bind() { host.BindAll(); }
    void Open() {
        dma->CreatePage();
        dma->OnInitialUpdate();
    }
    std::uint32_t& Reg(int item) { return dma->Item(item).dwValue; }
    // Sets channel n's control register and request, then runs the checks.
    void Configure(int channel, std::uint32_t dcr, int request, std::uint32_t count) {
        Reg(CpmDMA::DcrItem(channel)) = dcr;
        const int low = (3 - channel) * 8;
        Reg(CpmDMA::kReqcItem) = (Reg(CpmDMA::kReqcItem) & ~(0xFu << low)) |
                                 (static_cast<std::uint32_t>(request) << low);
        Reg(CpmDMA::DsrBcrItem(channel)) = count;
        dma->CheckWarnings();
    }
    std::string Warning(int channel, int id) {
        return host.Warning(*dma, dma->ChannelDialog(channel)->PageControlId(id));
    }
    CPageControl* Control(int channel, int id) {
        return dma->FindControl(dma->ChannelDialog(channel)->PageControlId(id));
    }

    CDmaHost host;
    CpmDMA* dma = nullptr;
};

constexpr std::uint32_t kEnable = 1u << 30;
constexpr std::uint32_t kWordSource = 2u << 20;
constexpr std::uint32_t kReservedSource = 3u << 20;

} // namespace

TEST(CpmDMA, SeventeenLongwordRegistersInChannelOrder) {
    CDmaFixture f;
    ASSERT_EQ(f.dma->ItemCount(), 17);
    EXPECT_STREQ(f.dma->Item(0).szName, "REQC_INIT");
    const char* names[] = {"SAR%d_INIT", "DAR%d_INIT", "DSR_BCR%d_INIT", "DCR%d_INIT"};
    for (int channel = 0; channel < 4; ++channel) {
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(f.dma->Item(1 + 4 * channel + k).szName, hwc::Format(names[k], channel));
    }
    for (int i = 0; i < 17; ++i) {
        EXPECT_EQ(f.dma->Item(i).dwFlags & hwc::RegFlag::DW32, hwc::RegFlag::DW32) << i;
        EXPECT_EQ(f.dma->Item(i).dwValue, 0u) << i;
    }
}

TEST(CpmDMA, ChannelLinesAndTheirVectors) {
    std::array<hwc::tDmaSources, 4> sources;
    const CpmDMA::tChannels channels = CpmDMA::ParseModuleInfo(kInfo, &sources);
    EXPECT_TRUE(channels[0].exists);
    EXPECT_EQ(channels[0].vector, 87);
    EXPECT_EQ(channels[1].vector, 88);
    // A vector outside 1..149 leaves the channel without interrupt; tabs and quotes go.
    EXPECT_TRUE(channels[2].exists);
    EXPECT_EQ(channels[2].vector, 0);
    EXPECT_TRUE(channels[3].exists);
    EXPECT_EQ(channels[3].vector, 0);

    const CpmDMA::tChannels edges =
        CpmDMA::ParseModuleInfo("0,INT:1\n1,INT:149\n1,INT:12\n2\n-1,INT:5\n3x,INT:5\n", nullptr);
    EXPECT_EQ(edges[0].vector, 1);
    // A channel named twice keeps the later vector.
    EXPECT_EQ(edges[1].vector, 12);
    EXPECT_TRUE(edges[2].exists);
    EXPECT_EQ(edges[2].vector, 0);
    EXPECT_FALSE(edges[3].exists);

    EXPECT_FALSE(CpmDMA::ParseModuleInfo("4,INT:5", nullptr)[0].exists);
    for (const auto& channel : CpmDMA::ParseModuleInfo("", nullptr))
        EXPECT_FALSE(channel.exists);
}

TEST(CpmDMA, RequestLines) {
    CDmaFixture f;
    f.Bind();
    EXPECT_EQ(f.dma->SourceLabel(1, 3), "SCI0 Rx");
    EXPECT_EQ(f.dma->SourceModule(1, 3), "SCI_0");
    // "Reserved" in any letter case is both label and module.
    for (int channel = 0; channel < 4; ++channel) {
        EXPECT_EQ(f.dma->SourceLabel(channel, 0), "Reserved");
        EXPECT_EQ(f.dma->SourceModule(channel, 0), "Reserved");
    }
    // Without a colon there is no module part.
    EXPECT_EQ(f.dma->SourceLabel(2, 15), "Always enabled");
    EXPECT_EQ(f.dma->SourceModule(2, 15), "");
    EXPECT_EQ(f.dma->SourceModule(1, 11), "DAC|DAC_A");
    // Request 16 is read, 17 and unreadable numbers are not; empty sources store nothing.
    EXPECT_EQ(f.dma->SourceLabel(0, 16), "past the field");
    EXPECT_EQ(f.dma->SourceLabel(1, 16), "");
    EXPECT_EQ(f.dma->SourceLabel(0, 17), "");
    EXPECT_EQ(f.dma->SourceModule(1, 17), "");
    EXPECT_EQ(f.dma->SourceModule(-1, 1), "");
    EXPECT_EQ(f.dma->SourceModule(4, 1), "");
    EXPECT_EQ(f.dma->SourceModule(0, -1), "");
}

TEST(CpmDMA, SourceListOffersTheSixteenStorableRequests) {
    CDmaFixture f;
    f.Bind();
    f.Open();
    CPageControl* list = f.Control(1, D::kSourceId);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->Items().size(), 16u);
    EXPECT_EQ(list->Items()[3], "Req  3: SCI0 Rx");
    EXPECT_EQ(list->Items()[15], "Req 15: Always enabled");
    EXPECT_EQ(list->Items()[2], "Req  2: ");
    // Channel 1's request field is REQC bits 16..19.
    f.dma->Page()->UserSelect(*list, 15);
    EXPECT_EQ(f.Reg(CpmDMA::kReqcItem), 0xFu << 16);
}

TEST(CpmDMA, ChannelPagesStackWithTheirInterruptRows) {
    CDmaFixture f;
    f.Bind();
    f.Open();
    CPage& page = *f.dma->Page();
    for (int channel = 0; channel < 4; ++channel) {
        CPageControl* holder = page.FindControl(CpmDMA::kFirstChannelPageId + channel);
        ASSERT_NE(holder, nullptr);
        EXPECT_TRUE(holder->IsVisible()) << channel;
        ASSERT_NE(holder->SubPage(), nullptr) << channel;
        // Only channels with a vector carry the interrupt row and its heading.
        CPageControl* row = holder->SubPage()->FindControl(CModule::kFirstRowPlaceholderId);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row->SubPage() != nullptr, channel < 2) << channel;
        EXPECT_EQ(row->IsVisible(), channel < 2) << channel;
    }
    EXPECT_EQ(f.dma->ChannelInterruptRow(1).vector, 88);
    EXPECT_FALSE(page.FindControl(CpmDMA::kNoChannelsId)->IsVisible());
    EXPECT_NE(page.FindControlByText("DMA channel 3"), nullptr);
}

TEST(CpmDMA, NoChannelsGivesANoteAndNoPages) {
    CDmaFixture f("in,1,SCI_0:SCI0 Rx\n4,INT:5\n");
    f.Bind();
    f.Open();
    CPage& page = *f.dma->Page();
    EXPECT_TRUE(page.FindControl(CpmDMA::kNoChannelsId)->IsVisible());
    for (int channel = 0; channel < 4; ++channel) {
        EXPECT_EQ(f.dma->ChannelDialog(channel), nullptr);
        EXPECT_FALSE(page.FindControl(CpmDMA::kFirstChannelPageId + channel)->IsVisible());
    }
    f.dma->CheckWarnings();
    EXPECT_TRUE(f.host.warnings.empty());
    EXPECT_EQ(f.dma->ItemCount(), 17);
}

TEST(CpmDMA, EnabledChannelNeedsAValidSource) {
    CDmaFixture f;
    f.AddSource("SCI_0", true);
    f.Bind();
    f.Configure(0, kEnable, 0, 4);
    EXPECT_EQ(f.Warning(0, D::kSourceWarningId),
              "Channel 0 is enabled but no valid channel source is selected");
    // A reserved source is not looked up as a module.
    EXPECT_EQ(f.Warning(0, D::kSourceStateId), "");
    f.Configure(0, kEnable, 1, 4);
    EXPECT_EQ(f.Warning(0, D::kSourceWarningId), "");
    f.Configure(0, 0, 0, 4);
    EXPECT_EQ(f.Warning(0, D::kSourceWarningId), "");
}

TEST(CpmDMA, SourceModuleMustBeWrittenToTheHeader) {
    CDmaFixture f;
    f.Bind();
    f.Configure(1, kEnable, 3, 4);
    EXPECT_EQ(f.Warning(1, D::kSourceStateId),
              "The source for channel 1 (SCI_0) is not configured or is not available");
    // A source the processor has but the program cannot set up yet is not judged.
    f.host.withoutClass = {"SCI_0"};
    f.dma->CheckWarnings();
    EXPECT_EQ(f.Warning(1, D::kSourceStateId), "");

    CDmaFixture g;
    CpmDmaSourceTest& sci = g.AddSource("SCI_0", false);
    g.Bind();
    g.Configure(1, kEnable, 3, 4);
    const std::string warning = g.Warning(1, D::kSourceStateId);
    EXPECT_EQ(warning.rfind("The source for channel 1 (SCI_0) is not configured or is not "
                            "available. See <A HREF=",
                            0),
              0u)
        << warning;
    EXPECT_NE(warning.find(">SCI_0</A>."), std::string::npos) << warning;
    sci.SetSelected(true);
    g.dma->CheckWarnings();
    EXPECT_EQ(g.Warning(1, D::kSourceStateId), "");
    // A disabled request checks nothing.
    sci.SetSelected(false);
    g.Configure(1, 0, 3, 4);
    EXPECT_EQ(g.Warning(1, D::kSourceStateId), "");
}

TEST(CpmDMA, AlternativesAndRequestsWithoutModule) {
    CDmaFixture f;
    f.AddSource("F", true);
    CpmDmaSourceTest& e = f.AddSource("E", false);
    CpmDmaSourceTest& dacA = f.AddSource("DAC_A", true);
    f.Bind();
    // Only the first five alternatives are looked up: F does not count.
    f.Configure(0, kEnable, 11, 4);
    EXPECT_NE(f.Warning(0, D::kSourceStateId).find("(A|B|C|D|E|F)"), std::string::npos);
    e.SetSelected(true);
    f.dma->CheckWarnings();
    EXPECT_EQ(f.Warning(0, D::kSourceStateId), "");
    // Any one written alternative will do.
    f.Configure(1, kEnable, 11, 4);
    EXPECT_EQ(f.Warning(1, D::kSourceStateId), "");
    dacA.SetSelected(false);
    f.dma->CheckWarnings();
    EXPECT_NE(f.Warning(1, D::kSourceStateId), "");
    // An always-enabled request names no module and is no fault.
    f.Configure(2, kEnable, 15, 4);
    EXPECT_EQ(f.Warning(2, D::kSourceStateId), "");
    EXPECT_EQ(f.Warning(2, D::kSourceWarningId), "");
}

TEST(CpmDMA, ByteCountFitsTheSourceSize) {
    CDmaFixture f;
    f.AddSource("SCI_0", true);
    f.Bind();
    f.Configure(0, kEnable | kWordSource, 1, 7);
    EXPECT_EQ(f.Warning(0, D::kByteCountWarningId),
              "The number of transferred bytes should be multiple of 2 in selected transfer mode");
    f.Configure(0, kEnable | kWordSource, 1, 8);
    EXPECT_EQ(f.Warning(0, D::kByteCountWarningId), "");
    f.Configure(0, kEnable, 1, 8);
    EXPECT_EQ(f.Warning(0, D::kByteCountWarningId), "");
    f.Configure(0, kEnable, 1, 6);
    EXPECT_EQ(f.Warning(0, D::kByteCountWarningId),
              "The number of transferred bytes should be multiple of 4 in selected transfer mode");
    f.Configure(0, kEnable | (1u << 20), 1, 7);
    EXPECT_EQ(f.Warning(0, D::kByteCountWarningId), "");
    f.Configure(0, kEnable, 1, 0);
    EXPECT_EQ(f.Warning(0, D::kByteCountWarningId),
              "The number of transferred bytes should be nonzero");
    // Bits above the 24-bit count are no part of it.
    f.Configure(0, kEnable, 1, 0x01000000);
    EXPECT_EQ(f.Warning(0, D::kByteCountWarningId),
              "The number of transferred bytes should be nonzero");
    f.Configure(0, 0, 1, 0);
    EXPECT_EQ(f.Warning(0, D::kByteCountWarningId), "");
}

TEST(CpmDMA, ControllerLeftOutOfTheHeaderRaisesNothing) {
    CDmaFixture f;
    f.Bind();
    f.Configure(1, kEnable | kWordSource, 0, 7);
    EXPECT_EQ(f.host.warnings.size(), 2u);
    f.dma->SetSelected(false);
    f.dma->CheckWarnings();
    EXPECT_TRUE(f.host.warnings.empty());
}

TEST(CpmDMA, ReservedSourceSizeIsKeptAndNotDividedBy) {
    CDmaFixture f;
    f.AddSource("SCI_0", true);
    f.Bind();
    f.Configure(0, kEnable | kReservedSource, 1, 7);
    EXPECT_EQ(f.Warning(0, D::kByteCountWarningId), "");
    f.Configure(0, kEnable | kReservedSource, 1, 0);
    EXPECT_EQ(f.Warning(0, D::kByteCountWarningId),
              "The number of transferred bytes should be nonzero");
    f.Open();
    CPageControl* size = f.Control(0, D::kSourceSizeId);
    ASSERT_NE(size, nullptr);
    EXPECT_EQ(size->Selection(), -1);
    EXPECT_TRUE(f.dma->Validate(false));
    f.dma->ApplyControls();
    EXPECT_EQ(f.Reg(CpmDMA::DcrItem(0)) & (3u << 20), kReservedSource);
    // Picking a size replaces the reserved code.
    f.dma->Page()->UserSelect(*size, 2);
    EXPECT_EQ(f.Reg(CpmDMA::DcrItem(0)) & (3u << 20), kWordSource);
}

TEST(CpmDMA, PageBindsTheControlRegisterFields) {
    CDmaFixture f;
    f.Bind();
    f.Open();
    CPage& page = *f.dma->Page();
    page.UserClick(*f.Control(2, D::kEnableRequestId));
    page.UserClick(*f.Control(2, D::kInterruptId));
    page.UserSelect(*f.Control(2, D::kDestinationSizeId), 1);
    page.UserSelect(*f.Control(2, D::kSourceBufferId), 15);
    page.UserSelect(*f.Control(2, D::kLinkModeId), 1);
    page.UserSelect(*f.Control(2, D::kLinkChannel1Id), 3);
    page.UserEdit(*f.Control(2, D::kByteCountId), "16777215");
    page.UserEdit(*f.Control(2, D::kSourceAddressId), "0xFFFFFFFF");
    f.dma->ApplyControls();
    EXPECT_EQ(f.Reg(CpmDMA::DcrItem(2)),
              (1u << 31) | (1u << 30) | (1u << 17) | (15u << 12) | (1u << 4) | (3u << 2));
    EXPECT_EQ(f.Reg(CpmDMA::DsrBcrItem(2)), 0xFFFFFFu);
    EXPECT_EQ(f.Reg(CpmDMA::SarItem(2)), 0xFFFFFFFFu);
    EXPECT_EQ(f.Reg(CpmDMA::DcrItem(1)), 0u);
    f.dma->UpdateControlStates();
    EXPECT_TRUE(f.Control(2, D::kLinkChannel2Id)->IsEnabled());
    EXPECT_FALSE(f.Control(1, D::kLinkChannel1Id)->IsEnabled());
}

TEST(CpmDMA, SummaryDetailsEnabledChannelsOnly) {
    CDmaFixture f;
    f.Bind();
    f.Configure(1, kEnable | kWordSource, 3, 64);
    f.Open();
    std::string text;
    f.dma->GetSummary(text);
    EXPECT_NE(text.find("DMA Channel 0: Disable"), std::string::npos) << text;
    EXPECT_NE(text.find("DMA Channel 1: Enable"), std::string::npos) << text;
    EXPECT_NE(text.find("Req  3: SCI0 Rx"), std::string::npos) << text;
    EXPECT_NE(text.find("Bytes to transfer: 64"), std::string::npos) << text;
    EXPECT_EQ(text.find("Req  0: Reserved"), std::string::npos) << text;
}

TEST(CpmDMA, BitsOutsideEveryFieldAreKept) {
    CDmaFixture f;
    f.Bind();
    // DCR bits 6, 16 and 23..27, REQC bits beside the request fields, DSR_BCR status bits.
    f.Reg(CpmDMA::DcrItem(0)) = 0x0F810040;
    f.Reg(CpmDMA::kReqcItem) = 0xF0F0F0F0;
    f.Reg(CpmDMA::DsrBcrItem(0)) = 0xFF000010;
    f.Open();
    f.dma->ApplyControls();
    EXPECT_EQ(f.Reg(CpmDMA::DcrItem(0)), 0x0F810040u);
    EXPECT_EQ(f.Reg(CpmDMA::kReqcItem), 0xF0F0F0F0u);
    EXPECT_EQ(f.Reg(CpmDMA::DsrBcrItem(0)), 0xFF000010u);
}
