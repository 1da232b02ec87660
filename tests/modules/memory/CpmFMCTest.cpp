#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "model/DialogTemplate.h"
#include "model/ModelTestSupport.h"
#include "modules/memory/CpmFMC.h"
#include "support/ModuleTestHost.h"
#include "support/ShownValue.h"

namespace {

using CHost = hwc::test::CModuleTestHost;
using C = CpmFMC;

const int kBankBoxes[] = {C::kSingleEntryBufferId, C::kInstructionPrefetchId, C::kDataPrefetchId,
                          C::kInstructionCacheId, C::kDataCacheId};

// A selected controller of the given groups, with the architecture file's module information.
struct CFixture {
    explicit CFixture(std::set<int> groups = {CModule::kFamD}, const std::string& info = {},
                      CAppcfgFile* header = nullptr) {
        host.groups = std::move(groups);
        fmc = &host.Add<C>("FMC", "FMC", info);
        host.BindAll();
        if (header)
            fmc->LoadFromHeader(header);
        fmc->SetSelected(true);
        fmc->CreatePage();
        fmc->OnInitialUpdate();
        fmc->UpdateControlStates();
    }
    CPageControl& Control(int id) { return *fmc->Page()->FindControl(id); }
    std::string Shown(int id) { return hwc::test::ShownValue(Control(id)); }
    void Load(std::uint32_t access, std::uint32_t bank) {
        fmc->Item(C::kAccessItem).dwValue = access;
        fmc->Item(C::kBank0Item).dwValue = bank;
        fmc->RefreshControls();
    }
    std::uint32_t Access() { return fmc->Item(C::kAccessItem).dwValue; }
    std::uint32_t Bank() { return fmc->Item(C::kBank0Item).dwValue; }
    std::string Written() {
        std::string text;
        EXPECT_TRUE(fmc->WriteHeaderText(text));
        return text;
    }

    CHost host;
    C* fmc = nullptr;
};

} // namespace

TEST(CpmFMC, DefaultsShowFullAccessEnabledBankAndUnlockedWays) {
    CFixture f;
    for (int m = 0; m < C::kMasterCount; ++m) {
        EXPECT_EQ(f.Shown(C::kAccessIds[m]), "Read &Write") << m;
        EXPECT_EQ(f.Shown(C::kPrefetchDisableIds[m]), "[ ]") << m;
    }
    for (int id : kBankBoxes)
        EXPECT_EQ(f.Shown(id), "[x]") << id;
    EXPECT_EQ(f.Shown(C::kReplacementId), "LRU across all 4 ways");
    // The default leaves every way unlocked: no box is checked.
    for (int id : C::kWayLockIds)
        EXPECT_EQ(f.Shown(id), "[ ]") << id;

    // Only the bank register is written at its default.
    const std::string text = f.Written();
    EXPECT_NE(text.find("FMC_PFB0CR_INIT"), std::string::npos) << text;
    EXPECT_NE(text.find("0x3002001FU"), std::string::npos) << text;
    EXPECT_EQ(text.find("FMC_PFAPR_INIT"), std::string::npos) << text;
}

TEST(CpmFMC, ArchitectureResetValueIsTheDefault) {
    CFixture f({CModule::kFamD}, "PFB0CR_RESET=0x3004001F");
    EXPECT_EQ(f.Bank(), 0x3004001Fu);
    EXPECT_EQ(f.fmc->Item(C::kBank0Item).dwDefault, 0x3004001Fu);
    EXPECT_NE(f.Written().find("0x3004001FU"), std::string::npos);

    // A value in the header still wins over the reset value.
    CAppcfgFile header;
    Define(header, "FMC_PFB0CR_INIT", "0x3002001BU");
    CFixture loaded({CModule::kFamD}, "PFB0CR_RESET=0x3004001F", &header);
    EXPECT_EQ(loaded.Bank(), 0x3002001Bu);
    EXPECT_EQ(loaded.Shown(C::kDataPrefetchId), "[ ]");
    EXPECT_EQ(loaded.Shown(C::kInstructionCacheId), "[x]");
}

TEST(CpmFMC, ChoicesWriteTheirFields) {
    CFixture f;
    f.fmc->Page()->UserSelect(f.Control(C::kAccessIds[2]), 1);
    EXPECT_EQ((f.Access() >> 4) & 3u, 1u);
    EXPECT_EQ(f.Access(), 0xF000DFu);
    f.fmc->Page()->UserSelect(f.Control(C::kAccessIds[0]), 0);
    EXPECT_EQ(f.Access(), 0xF000DCu);
    f.fmc->Page()->UserClick(f.Control(C::kPrefetchDisableIds[3]));
    EXPECT_EQ(f.Access(), 0xF800DCu);

    // Checking a way locks it: its bit is set.
    f.fmc->Page()->UserClick(f.Control(C::kWayLockIds[2]));
    EXPECT_EQ(f.Bank(), 0x3402001Fu);
    f.fmc->Page()->UserClick(f.Control(C::kWayLockIds[0]));
    EXPECT_EQ(f.Bank(), 0x3502001Fu);
    f.fmc->Page()->UserClick(f.Control(C::kWayLockIds[2]));
    EXPECT_EQ(f.Bank(), 0x3102001Fu);

    f.fmc->Page()->UserClick(f.Control(C::kDataPrefetchId));
    EXPECT_EQ(f.Bank(), 0x3102001Bu);
    f.fmc->Page()->UserSelect(f.Control(C::kReplacementId), 3);
    EXPECT_EQ(f.Bank(), 0x3102007Bu);
}

TEST(CpmFMC, PageShowsGivenRegisterValues) {
    struct tCase {
        std::uint32_t access;
        std::uint32_t bank;
        const char* masters[4];
        const char* prefetch;  // disable boxes of masters 0 to 3
        const char* bankBoxes; // single entry, prefetches, caches
        const char* replacement;
        const char* ways;
    };
    const tCase cases[] = {
        {0x000000E4,
         0x0F000000,
         {"No Access", "Read Only", "WriteOnly", "Read &Write"},
         "----",
         "-----",
         "LRU across all 4 ways",
         "xxxx"},
        {0x000A001B,
         0x05000055,
         {"Read &Write", "WriteOnly", "Read Only", "No Access"},
         "-x-x",
         "x-x-x",
         "ways [0-1] for ifetches; ways[2-3] for data",
         "x-x-"},
        {0x00F00000,
         0x0A00002A,
         {"No Access", "No Access", "No Access", "No Access"},
         "----",
         "-x-x-",
         "Reserved",
         "-x-x"},
        {0xFFFFFFFF,
         0xFFFFFF7F,
         {"Read &Write", "Read &Write", "Read &Write", "Read &Write"},
         "xxxx",
         "xxxxx",
         "ways [0-2] for ifetches; way [3] for data",
         "xxxx"},
    };
    CFixture f;
    for (const tCase& c : cases) {
        f.Load(c.access, c.bank);
        for (int m = 0; m < 4; ++m) {
            EXPECT_EQ(f.Shown(C::kAccessIds[m]), c.masters[m]) << c.access;
            EXPECT_EQ(f.Shown(C::kPrefetchDisableIds[m]), c.prefetch[m] == 'x' ? "[x]" : "[ ]")
                << c.access << " master " << m;
            EXPECT_EQ(f.Shown(C::kWayLockIds[m]), c.ways[m] == 'x' ? "[x]" : "[ ]")
                << c.bank << " way " << m;
        }
        for (int b = 0; b < 5; ++b)
            EXPECT_EQ(f.Shown(kBankBoxes[b]), c.bankBoxes[b] == 'x' ? "[x]" : "[ ]")
                << c.bank << " box " << b;
        EXPECT_EQ(f.Shown(C::kReplacementId), c.replacement) << c.bank;
        EXPECT_EQ(f.fmc->ValidationProblem(), "") << c.bank;
    }
}

TEST(CpmFMC, ReservedReplacementCodesAreKept) {
    for (std::uint32_t code = 4; code <= 7; ++code) {
        CAppcfgFile header;
        const std::uint32_t bank = 0xC302001Fu | (code << 5);
        char text[16];
        std::snprintf(text, sizeof(text), "0x%08XU", bank);
        Define(header, "FMC_PFB0CR_INIT", text);
        CFixture f({CModule::kFamE}, "PFB0CR_RESET=0x3004001F", &header);
        EXPECT_EQ(f.Bank(), bank);
        EXPECT_EQ(f.Shown(C::kReplacementId), "") << code;
        // No selection is no refusal; the code and the reserved top bits are written back.
        EXPECT_EQ(f.fmc->ValidationProblem(), "") << code;
        f.fmc->ApplyControls();
        EXPECT_EQ(f.Bank(), bank) << code;
        // Ways 0 and 1 were locked by hand; locking way 2 keeps them.
        EXPECT_EQ(f.Shown(C::kWayLockIds[1]), "[x]");
        f.fmc->Page()->UserClick(f.Control(C::kWayLockIds[2]));
        EXPECT_EQ(f.Bank(), bank | (1u << 26)) << code;
        std::snprintf(text, sizeof(text), "0x%08XU", bank | (1u << 26));
        EXPECT_NE(f.Written().find(text), std::string::npos) << code;
        // Choosing an entry replaces the code.
        f.fmc->Page()->UserSelect(f.Control(C::kReplacementId), 0);
        EXPECT_EQ((f.Bank() >> 5) & 7u, 0u) << code;
    }
}

TEST(CpmFMC, SecondBankOnlyOnFamE) {
    CFixture famE({CModule::kFamE});
    EXPECT_TRUE(famE.Control(C::kBank1GroupId).IsVisible());
    EXPECT_TRUE(famE.Control(C::kBank1NoteId).IsVisible());
    for (const std::set<int>& groups :
         {std::set<int>{CModule::kFamD}, std::set<int>{CModule::kFamF}, std::set<int>{}}) {
        CFixture other(groups);
        EXPECT_FALSE(other.Control(C::kBank1GroupId).IsVisible());
        EXPECT_FALSE(other.Control(C::kBank1NoteId).IsVisible());
    }
}

TEST(CpmFMC, SummaryOrderAndWording) {
    CFixture f;
    f.fmc->Page()->UserClick(f.Control(C::kWayLockIds[3]));
    f.fmc->Page()->UserClick(f.Control(C::kPrefetchDisableIds[1]));
    std::string summary;
    f.fmc->GetSummary(summary);
    const char* order[] = {"Master 0 access protection: Read &Write",
                           "Master 3 access protection: Read &Write",
                           "Disable Master 0 prefetch: No",
                           "Disable Master 1 prefetch: Yes",
                           "Disable Master 3 prefetch: No",
                           "Enable Single Entry buffer: Yes",
                           "Enable data cache: Yes",
                           "Cache replacement algorithm: LRU across all 4 ways",
                           "Lock cache ways: way 0: No",
                           "way 3: Yes"};
    std::size_t at = 0;
    for (const char* entry : order) {
        const std::size_t found = summary.find(entry, at);
        ASSERT_NE(found, std::string::npos) << entry << "\n" << summary;
        at = found;
    }
}
