// The external memory interface inside a real project: chip select registers under their legacy
// names load into the module and are written back under the current names, and the pin status
// names the chip select pins of the enabled chip selects.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "base/AppFilePath.h"
#include "model/ModuleBase.h"
#include "modules/framework/CModule.h"
#include "project/ProjDoc.h"
#include "support/BoardProjectTest.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

class SemiProjectTest : public CBoardProjectTest {
protected:
    SemiProjectTest() : CBoardProjectTest("hwc-semi") {}

    // The module with its page made and its warnings checked, as the desktop shows it.
    static CModuleBase* ShownSemi(CProjDoc& document) {
        CModuleBase* semi = CModuleBase::FindModule(&document, "SEMI", "SEMI");
        if (!semi)
            return nullptr;
        semi->CreatePage();
        semi->OnInitialUpdate();
        document.CheckAllWarnings();
        return semi;
    }
    static std::string WarningsOf(const CProjDoc& document, const CModuleBase* owner) {
        std::string texts;
        for (const auto& warning : document.Warnings().Items()) {
            if (warning->owner == owner)
                texts += warning->text + "\n";
        }
        return texts;
    }
};

} // namespace

TEST_F(SemiProjectTest, LegacyChipSelectNamesAreWrittenWithTheCurrentOnes) {
    const fs::path header = WriteHeader("#define K7Q2200\n"
                                        "#define APPCFG_DFLTS_OMITTED 1\n"
                                        "#define SYS_BASEREG_0 0x0103\n"
                                        "#define SYS_OPTIONREG_0 0x0057\n"
                                        "#define SYS_BASEREG_7 0x0FF0\n"
                                        "#define SYS_OPTIONREG_7 0x0001\n");
    {
        CProjDoc document;
        ASSERT_TRUE(document.OpenProject(Board().string()));
        CModuleBase* semi = CModuleBase::FindModule(&document, "SEMI", "SEMI");
        ASSERT_TRUE(semi);
        EXPECT_EQ(semi->ItemCount(), 25);
        EXPECT_TRUE(semi->IsSelected());
        EXPECT_EQ(semi->FindRegister("SEMI_CSBAR0_INIT")->dwValue, 0x0103u);
        EXPECT_EQ(semi->FindRegister("SEMI_CSOR0_INIT")->dwValue, 0x0057u);
        EXPECT_EQ(semi->FindRegister("SEMI_CSBAR7_INIT")->dwValue, 0x0FF0u);
        EXPECT_EQ(semi->FindRegister("SEMI_CSOR7_INIT")->dwValue, 0x0001u);
        ASSERT_TRUE(document.Save());
    }
    const std::string saved = Read(header);
    for (const char* line :
         {"SEMI_CSBAR0_INIT", "SEMI_CSOR0_INIT", "SEMI_CSBAR7_INIT", "SEMI_CSOR7_INIT"})
        EXPECT_NE(saved.find(line), std::string::npos) << line << "\n" << saved;
    EXPECT_EQ(saved.find("SYS_BASEREG"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("SYS_OPTIONREG"), std::string::npos) << saved;
    EXPECT_NE(saved.find("0x0103U"), std::string::npos) << saved;

    // A second round reads the current names and writes the same bytes.
    {
        CProjDoc document;
        ASSERT_TRUE(document.OpenProject(Board().string()));
        ASSERT_TRUE(document.Save());
    }
    EXPECT_EQ(Read(header), saved);
}

TEST_F(SemiProjectTest, PinStatusNamesTheEnabledChipSelects) {
    // Chip select 1 enabled, its pin (port F, pin 13) left to the port.
    WriteHeader("#define K7Q2200\n"
                "#define APPCFG_DFLTS_OMITTED 1\n"
                "#define SEMI_CSBAR1_INIT 0x0100\n"
                "#define SEMI_CSOR1_INIT 0x0003\n");
    CProjDoc document;
    ASSERT_TRUE(document.OpenProject(Board().string()));
    CModuleBase* semi = ShownSemi(document);
    ASSERT_TRUE(semi);
    const std::string warnings = WarningsOf(document, semi);
    EXPECT_NE(warnings.find("The module signal (CS1) is not available on any device pin"),
              std::string::npos)
        << warnings;
    EXPECT_EQ(warnings.find("CS0"), std::string::npos) << warnings;
}

TEST_F(SemiProjectTest, HandEditedValuesAreKeptAndOnlyWarn) {
    // A bus control value wider than its register, reserved option and timing bits, a reserved
    // block size, a misaligned block and a value that is no number.
    const fs::path header = WriteHeader("#define K7Q2200\n"
                                        "#define APPCFG_DFLTS_OMITTED 1\n"
                                        "#define SEMI_BCR_INIT 0x12345\n"
                                        "#define SEMI_CSBAR0_INIT 0x001E\n"
                                        "#define SEMI_CSOR0_INIT 0x8057\n"
                                        "#define SEMI_CSTC0_INIT 0xFF00\n"
                                        "#define SEMI_CSBAR1_INIT 0xFFFC\n"
                                        "#define SEMI_CSOR1_INIT 0x0003\n"
                                        "#define SEMI_CSBAR2_INIT (RAM_BASE | 4)\n");
    {
        CProjDoc document;
        ASSERT_TRUE(document.OpenProject(Board().string()));
        CModuleBase* semi = ShownSemi(document);
        ASSERT_TRUE(semi);
        EXPECT_EQ(semi->ValidationProblem(), "");
        const std::string warnings = WarningsOf(document, semi);
        EXPECT_NE(warnings.find("Chip select 1: base 0xFFF000 is not a multiple of its block "
                                "size (0x1000000 words)."),
                  std::string::npos)
            << warnings;
        ASSERT_TRUE(document.Save());
    }
    const std::string saved = Read(header);
    for (const char* line :
         {"SEMI_BCR_INIT                     0x12345U", "SEMI_CSBAR0_INIT                  0x001EU",
          "SEMI_CSOR0_INIT                   0x8057U", "SEMI_CSTC0_INIT                   0xFF00U",
          "SEMI_CSBAR1_INIT                  0xFFFCU",
          "SEMI_CSBAR2_INIT               (RAM_BASE | 4)"})
        EXPECT_NE(saved.find(line), std::string::npos) << line << "\n" << saved;
    {
        CProjDoc document;
        ASSERT_TRUE(document.OpenProject(Board().string()));
        ASSERT_TRUE(document.Save());
    }
    EXPECT_EQ(Read(header), saved);
}
