#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "modules/memory/CpmFTFL.h"
#include "support/ModuleDefines.h"
#include "support/ModuleTestHost.h"

namespace {

using CHost = hwc::test::CModuleTestHost;
using F = CpmFTFL;

// A selected flash module of the given group with its page open; `info` holds the
// architecture file's module information.
struct CFtflFixture {
    explicit CFtflFixture(int group, const std::string& info = {}) {
        host.groups = {group};
        ftfl = &host.Add<F>("FTFL", "FTFL", info, "INT:19,20:");
        host.BindAll();
        ftfl->SetSelected(true);
        ftfl->CreatePage();
        ftfl->OnInitialUpdate();
        ftfl->UpdateControlStates();
    }
    CPageControl* Find(int id) { return ftfl->Page()->FindControl(id); }
    CPageControl& Control(int id) { return *Find(id); }
    bool Checked(int id) { return Control(id).Check() == 1; }
    void Click(int id) {
        ftfl->Page()->UserClick(Control(id));
        ftfl->Recalculate();
        ftfl->CheckWarnings();
    }
    void Load(int item, std::uint32_t value) {
        ftfl->Item(item).dwValue = value;
        ftfl->RefreshControls();
        ftfl->Recalculate();
        ftfl->CheckWarnings();
    }
    std::vector<std::string> Names() { return hwc::test::DefineNames(*ftfl); }
    std::string Summary() { return Control(F::kProtectedSummaryId).Text(); }

    CHost host;
    F* ftfl = nullptr;
};

} // namespace

TEST(CpmFTFL, RegisterSetPerGroup) {
    const std::vector<std::string> common = {"FTFL_FCNFG_INIT", "FTFL_FPROT0_INIT",
                                             "FTFL_FPROT1_INIT", "FTFL_FPROT2_INIT",
                                             "FTFL_FPROT3_INIT"};
    CFtflFixture famE(CModule::kFamE);
    std::vector<std::string> expected = common;
    expected.insert(expected.end(), {"FTFL_FEPROT_INIT", "FTFL_FDPROT_INIT"});
    EXPECT_EQ(famE.Names(), expected);
    EXPECT_NE(famE.Find(F::kFirstEepromRegionId + 7), nullptr);
    EXPECT_EQ(famE.Find(F::kForceSingleId), nullptr);

    CFtflFixture famF(CModule::kFamF);
    EXPECT_EQ(famF.Names(), common);
    EXPECT_EQ(famF.Find(F::kFirstEepromRegionId), nullptr);
    EXPECT_EQ(famF.Find(F::kSingleFaultId), nullptr);

    CFtflFixture famD(CModule::kFamD);
    expected = common;
    expected.push_back("FTFL_FERCNFG_INIT");
    EXPECT_EQ(famD.Names(), expected);
    EXPECT_EQ(famD.Find(F::kFirstDataRegionId), nullptr);
    EXPECT_NE(famD.Find(F::kForceDoubleId), nullptr);

    // Out of reset nothing is protected and no interrupt is on.
    for (CFtflFixture* f : {&famE, &famF, &famD}) {
        EXPECT_EQ(f->ftfl->Item(F::kConfigItem).dwValue, 0u);
        for (int i = 1; i <= 4; ++i)
            EXPECT_EQ(f->ftfl->Item(i).dwValue, 0xFFu);
        EXPECT_EQ(f->Summary(), "0 of 32 regions protected");
        EXPECT_EQ(f->ftfl->InterruptRows().size(), 2u);
    }
}

TEST(CpmFTFL, RegionBoxesMapLowestRegionToFprot3Bit0) {
    CFtflFixture f(CModule::kFamF);
    struct tCase {
        int region;
        int item;
        std::uint32_t value; // the register after checking only this region
    };
    const tCase cases[] = {
        {0, 4, 0xFE},  {7, 4, 0x7F},  {8, 3, 0xFE},  {15, 3, 0x7F},
        {16, 2, 0xFE}, {23, 2, 0x7F}, {24, 1, 0xFE}, {31, 1, 0x7F},
    };
    for (const tCase& c : cases) {
        f.Click(F::kFirstRegionId + c.region);
        EXPECT_EQ(f.ftfl->Item(c.item).dwValue, c.value) << c.region;
        EXPECT_EQ(f.Summary(), "1 of 32 regions protected") << c.region;
        f.Click(F::kFirstRegionId + c.region);
        EXPECT_EQ(f.ftfl->Item(c.item).dwValue, 0xFFu) << c.region;
    }
    // Loaded values: cleared bits show checked boxes.
    f.Load(1, 0x00);
    f.Load(4, 0xF0);
    EXPECT_TRUE(f.Checked(F::kFirstRegionId + 0));
    EXPECT_TRUE(f.Checked(F::kFirstRegionId + 3));
    EXPECT_FALSE(f.Checked(F::kFirstRegionId + 4));
    EXPECT_FALSE(f.Checked(F::kFirstRegionId + 23));
    EXPECT_TRUE(f.Checked(F::kFirstRegionId + 24));
    EXPECT_TRUE(f.Checked(F::kFirstRegionId + 31));
    EXPECT_EQ(f.Summary(), "12 of 32 regions protected");
    // A hand-edited value wider than the register: extra bits are kept and protect nothing.
    f.Load(2, 0x1FF);
    f.Click(F::kFirstRegionId + 16);
    EXPECT_EQ(f.ftfl->Item(2).dwValue, 0x1FEu);
    EXPECT_EQ(f.Summary(), "13 of 32 regions protected");
    f.Load(1, 0);
    f.Load(2, 0);
    f.Load(3, 0);
    f.Load(4, 0);
    EXPECT_EQ(f.Summary(), "32 of 32 regions protected");
}

TEST(CpmFTFL, ProtectedSizeNeedsAUsableFlashSize) {
    struct tCase {
        const char* info;
        const char* summary; // with FPROT3 = 0xF0: four regions protected
    };
    const tCase cases[] = {
        {"", "4 of 32 regions protected"},
        {"FLASH_SIZE=0x40000", "4 of 32 regions protected (32 KB of 256 KB)"},
        {"FLASH_SIZE=131072", "4 of 32 regions protected (16 KB of 128 KB)"},
        {"FLASH_SIZE=0x10020", "4 of 32 regions protected (8196 bytes of 65568 bytes)"},
        {"FLASH_SIZE=0xFFFFFFE0", "4 of 32 regions protected (536870908 bytes of 4294967264 "
                                  "bytes)"},
        // Broken values are ignored: the count alone.
        {"FLASH_SIZE=0", "4 of 32 regions protected"},
        {"FLASH_SIZE=1000", "4 of 32 regions protected"},
        {"FLASH_SIZE=256K", "4 of 32 regions protected"},
        {"FLASH_SIZE=", "4 of 32 regions protected"},
        {"FLASH_SIZE=0x100000000", "4 of 32 regions protected"},
        {"FLASH_SIZE=-4096", "4 of 32 regions protected"},
    };
    for (const tCase& c : cases) {
        CFtflFixture f(CModule::kFamE, c.info);
        f.Load(4, 0xF0);
        EXPECT_EQ(f.Summary(), c.summary) << c.info;
    }
    CFtflFixture f(CModule::kFamE, "FLASH_SIZE=0x40000");
    f.Load(1, 0);
    f.Load(2, 0);
    f.Load(3, 0);
    f.Load(4, 0);
    EXPECT_EQ(f.Summary(), "32 of 32 regions protected (256 KB of 256 KB)");
}

TEST(CpmFTFL, InterruptEnablesAndSmallRegions) {
    CFtflFixture f(CModule::kFamE);
    f.Click(F::kCommandCompleteId);
    EXPECT_EQ(f.ftfl->Item(F::kConfigItem).dwValue, 0x80u);
    f.Click(F::kReadCollisionId);
    EXPECT_EQ(f.ftfl->Item(F::kConfigItem).dwValue, 0xC0u);
    f.Click(F::kFirstEepromRegionId);
    f.Click(F::kFirstDataRegionId + 7);
    EXPECT_EQ(f.ftfl->Item(F::kEepromProtectionItem).dwValue, 0xFEu);
    EXPECT_EQ(f.ftfl->Item(F::kDataProtectionItem).dwValue, 0x7Fu);
    // The program flash count is not touched by the small regions.
    EXPECT_EQ(f.Summary(), "0 of 32 regions protected");
    // Loaded: reserved configuration bits stay as they are.
    f.Load(F::kConfigItem, 0x45);
    EXPECT_TRUE(f.Checked(F::kReadCollisionId));
    EXPECT_FALSE(f.Checked(F::kCommandCompleteId));
    f.Click(F::kCommandCompleteId);
    EXPECT_EQ(f.ftfl->Item(F::kConfigItem).dwValue, 0xC5u);
}

TEST(CpmFTFL, ForcedFaultsWarnWhileSet) {
    CFtflFixture f(CModule::kFamD);
    f.Click(F::kSingleFaultId);
    f.Click(F::kDoubleFaultId);
    EXPECT_EQ(f.ftfl->Item(F::kErrorConfigItem).dwValue, 0x03u);
    EXPECT_EQ(f.host.Warning(*f.ftfl, F::kForceWarningId), "");
    f.Click(F::kForceSingleId);
    EXPECT_EQ(f.ftfl->Item(F::kErrorConfigItem).dwValue, 0x13u);
    EXPECT_EQ(f.host.Warning(*f.ftfl, F::kForceWarningId), F::kForceWarning);
    f.Click(F::kForceSingleId);
    EXPECT_EQ(f.host.Warning(*f.ftfl, F::kForceWarningId), "");
    f.Click(F::kForceDoubleId);
    EXPECT_EQ(f.ftfl->Item(F::kErrorConfigItem).dwValue, 0x23u);
    EXPECT_EQ(f.host.Warning(*f.ftfl, F::kForceWarningId), F::kForceWarning);
    // A module that is not written reaches no device.
    f.ftfl->SetSelected(false);
    f.ftfl->CheckWarnings();
    EXPECT_EQ(f.host.Warning(*f.ftfl, F::kForceWarningId), "");
    // A loaded value with both force bits warns as well.
    f.ftfl->SetSelected(true);
    f.Load(F::kErrorConfigItem, 0x30);
    EXPECT_TRUE(f.Checked(F::kForceSingleId));
    EXPECT_TRUE(f.Checked(F::kForceDoubleId));
    EXPECT_EQ(f.host.Warning(*f.ftfl, F::kForceWarningId), F::kForceWarning);
}

TEST(CpmFTFL, SummaryListsTheProtectedRegionsOnOneLine) {
    CFtflFixture f(CModule::kFamE);
    f.Load(4, 0xF5);                      // regions 1 and 3
    f.Load(1, 0x7F);                      // region 31
    f.Load(F::kDataProtectionItem, 0x7E); // data flash regions 0 and 7
    f.Load(F::kConfigItem, 0x80);
    // The lines after the dashes of the section header.
    auto lines = [&f] {
        std::string text;
        f.ftfl->GetSummary(text);
        const std::size_t dashes = text.find("-\n");
        return dashes == std::string::npos ? text : text.substr(dashes + 2);
    };
    EXPECT_EQ(lines(), "    Command complete interrupt: Yes\n"
                       "    Read collision error interrupt: No \n"
                       "    Protected program flash regions: 1, 3, 31\n"
                       "    Protected data flash regions: 0, 7");
    // Nothing protected gives no line; only the last region still ends its line.
    f.Load(4, 0xFF);
    f.Load(1, 0xFF);
    f.Load(F::kDataProtectionItem, 0xFF);
    f.Load(F::kEepromProtectionItem, 0x7F);
    EXPECT_EQ(lines(), "    Command complete interrupt: Yes\n"
                       "    Read collision error interrupt: No \n"
                       "    Protected EEPROM regions: 7");
}
