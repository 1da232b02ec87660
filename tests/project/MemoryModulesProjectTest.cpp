// The CRC generator, the flash memory module and the core platform control inside real
// projects: the register sets the architecture files of each processor group give them, and
// hand-edited values (wider than a field, reserved bits, codes without a list entry) kept
// through a save and a second round.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/AppFilePath.h"
#include "model/ModuleBase.h"
#include "project/ProjDoc.h"
#include "support/BoardProjectTest.h"
#include "support/ModuleDefines.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

class MemoryModulesProjectTest : public CBoardProjectTest {
protected:
    MemoryModulesProjectTest() : CBoardProjectTest("hwc-memory") {}

    static std::vector<std::string> Names(const CModuleBase* module) {
        return module ? hwc::test::DefineNames(*module) : std::vector<std::string>{};
    }
};

} // namespace

TEST_F(MemoryModulesProjectTest, RegisterSetsOfEachGroup) {
    struct tCase {
        const char* processor;
        std::vector<std::string> ftfl;
        std::vector<std::string> mcm;
        std::vector<std::string> crc;
    };
    const std::vector<std::string> flash = {"FTFL_FCNFG_INIT", "FTFL_FPROT0_INIT",
                                            "FTFL_FPROT1_INIT", "FTFL_FPROT2_INIT",
                                            "FTFL_FPROT3_INIT"};
    const std::vector<std::string> platform = {"MCM_CPCR_INIT",  "MCM_CFIER_INIT",
                                               "MCM_RPCR_INIT",  "MCM_UFLASHBAR_INIT",
                                               "MCM_CPCR2_INIT", "MCM_SRPOSP_INIT"};
    auto with = [](std::vector<std::string> names, std::vector<std::string> more) {
        names.insert(names.end(), more.begin(), more.end());
        return names;
    };
    const tCase cases[] = {
        {"K7Q3320",
         with(flash, {"FTFL_FEPROT_INIT", "FTFL_FDPROT_INIT"}),
         platform,
         {"CRC_GPOLY_INIT", "CRC_CTRL_INIT"}},
        {"K7Q4250", flash, platform, {"CRC_CRCH_INIT", "CRC_CRCL_INIT"}},
        {"K7Q5170",
         with(flash, {"FTFL_FERCNFG_INIT"}),
         with(platform, {"MCM_UBROMBAR_INIT"}),
         {"CRC_GPOLY_INIT", "CRC_CTRL_INIT"}},
    };
    for (const tCase& c : cases) {
        WriteHeader(std::string("#define ") + c.processor + "\n");
        CProjDoc document;
        ASSERT_TRUE(document.OpenProject(Board().string())) << c.processor;
        EXPECT_EQ(Names(CModuleBase::FindModule(&document, "FTFL")), c.ftfl) << c.processor;
        EXPECT_EQ(Names(CModuleBase::FindModule(&document, "MCM")), c.mcm) << c.processor;
        EXPECT_EQ(Names(CModuleBase::FindModule(&document, "CRC")), c.crc) << c.processor;
    }
}

TEST_F(MemoryModulesProjectTest, HandEditedValuesAreKept) {
    const fs::path header = WriteHeader("#define K7Q5170\n"
                                        "#define FTFL_FCNFG_INIT 0x3FU\n"
                                        "#define FTFL_FPROT3_INIT 0x1F0U\n"
                                        "#define FTFL_FERCNFG_INIT 0xFFU\n"
                                        "#define MCM_CPCR_INIT 0x80030300U\n"
                                        "#define MCM_UFLASHBAR_INIT 0xFF012ABCU\n"
                                        "#define MCM_CPCR2_INIT 0xFFFFFFFFU\n"
                                        "#define CRC_GPOLY_INIT 0x04C11DB7U\n"
                                        "#define CRC_CTRL_INIT 0x0F00FFFFU\n");
    {
        CProjDoc document;
        ASSERT_TRUE(document.OpenProject(Board().string()));
        CModuleBase* ftfl = CModuleBase::FindModule(&document, "FTFL");
        ASSERT_TRUE(ftfl);
        EXPECT_TRUE(ftfl->IsSelected());
        EXPECT_EQ(ftfl->FindRegister("FTFL_FPROT3_INIT")->dwValue, 0x1F0u);
        // Opening each page shows the values without changing them.
        for (const char* name : {"FTFL", "MCM", "CRC"}) {
            CModuleBase* module = CModuleBase::FindModule(&document, name);
            ASSERT_TRUE(module) << name;
            ASSERT_TRUE(module->CreatePage()) << name;
            module->OnInitialUpdate();
            module->UpdateControlStates();
            EXPECT_EQ(module->ValidationProblem(), "") << name;
        }
        ASSERT_TRUE(document.Save());
    }
    const std::string saved = Read(header);
    for (const char* line :
         {"FTFL_FCNFG_INIT                   0x3FU", "FTFL_FPROT3_INIT                  0x1F0U",
          "FTFL_FERCNFG_INIT                 0xFFU",
          "MCM_CPCR_INIT                     0x80030300U",
          "MCM_UFLASHBAR_INIT                0xFF012ABCU",
          "MCM_CPCR2_INIT                    0xFFFFFFFFU",
          "CRC_GPOLY_INIT                    0x04C11DB7U",
          "CRC_CTRL_INIT                     0x0F00FFFFU"})
        EXPECT_NE(saved.find(line), std::string::npos) << line << "\n" << saved;
    {
        CProjDoc document;
        ASSERT_TRUE(document.OpenProject(Board().string()));
        ASSERT_TRUE(document.Save());
    }
    EXPECT_EQ(Read(header), saved);
}
