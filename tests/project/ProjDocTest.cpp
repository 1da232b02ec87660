// The project document end to end: finding and opening a project, refusing what cannot be opened
// without leaving anything behind, identifying the processor from the header, and the lock that
// keeps a second document away from an open project.

#include "project/ProjDoc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "base/AppFilePath.h"
#include "header/AppcfgFile.h"
#include "model/ModuleBase.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

const char* const kArchFolder = HWC_TEST_SOURCE_DIR "/data/arch";

bool HasLine(const std::string& text, const std::string& line) {
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

class ProjDocTest : public ::testing::Test {
protected:
    void SetUp() override { SetAppFolder(kArchFolder); }
    void TearDown() override { SetAppFolder(""); }

    // Writes a header below the test folder and returns its path.
    fs::path WriteProject(const fs::path& relative, const std::string& text) {
        const fs::path path = m_root / relative;
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::vector<fs::path> LockFiles() const {
        std::vector<fs::path> found;
        for (const auto& entry : fs::recursive_directory_iterator(m_root.Path())) {
            if (entry.path().extension() == ".lck")
                found.push_back(entry.path());
        }
        return found;
    }

    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> texts;
        for (const auto& shown : m_messages.shown)
            texts.push_back(shown.text);
        return texts;
    }

    void ExpectEmpty(const CProjDoc& document) const {
        EXPECT_TRUE(document.ProjectFilePath().empty());
        EXPECT_TRUE(document.Title().empty());
        EXPECT_TRUE(document.Modules().empty());
        EXPECT_FALSE(document.IsLoaded());
        EXPECT_TRUE(LockFiles().empty());
    }

    // Opens the header text as Board/appconfig.h, saves it and returns the bytes written.
    std::string OpenAndSave(CProjDoc& document, const std::string& text) {
        const fs::path path = WriteProject("Board/appconfig.h", text);
        EXPECT_TRUE(document.OpenProject(path.string()));
        EXPECT_TRUE(document.Save());
        return ReadFileBytes(path);
    }

    CScriptedMessages m_messages;
    CTestFolder m_root{"hwc-projdoc"};
};

} // namespace

// --- Opening ---

TEST_F(ProjDocTest, FolderOpensTheHeaderInApplicationConfigFirst) {
    const fs::path header =
        WriteProject("Motor/ApplicationConfig/appconfig.h", "#define K7Q3010\n");
    WriteProject("Motor/appconfig.h", "#define K7Q1030\n");

    CProjDoc document;
    ASSERT_TRUE(document.OpenProject((m_root / "Motor").string()));
    EXPECT_EQ(document.ProjectFilePath(), header.string());
    EXPECT_EQ(document.Processor().processorName, "K7Q3010");
    EXPECT_EQ(document.Title(), "Motor (appconfig.h)");
    EXPECT_EQ(document.ProjectFolder(), (m_root / "Motor").string());
    EXPECT_EQ(document.ConfigSubfolder(), "ApplicationConfig");
    EXPECT_TRUE(document.IsLoaded());
    EXPECT_FALSE(document.IsProjectModified());
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(ProjDocTest, FolderWithOnlyTheHeaderOpensIt) {
    const fs::path header = WriteProject("Pump/appconfig.h", "#define K7Q1030\n");

    CProjDoc document;
    ASSERT_TRUE(document.OpenProject((m_root / "Pump").string()));
    EXPECT_EQ(document.ProjectFilePath(), header.string());
    EXPECT_EQ(document.Title(), "Pump (appconfig.h)");
    EXPECT_EQ(document.ProjectFolder(), (m_root / "Pump").string());
    EXPECT_EQ(document.ConfigSubfolder(), "");
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(ProjDocTest, FolderWithoutHeaderIsReportedWithTheFileItWouldHold) {
    fs::create_directories(m_root / "Empty");

    CProjDoc document;
    EXPECT_FALSE(document.OpenProject((m_root / "Empty").string()));
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"File not found " +
                                                       (m_root / "Empty/appconfig.h").string()});
    ExpectEmpty(document);
}

TEST_F(ProjDocTest, HeaderWithoutKnownProcessorIsRefused) {
    const fs::path header = WriteProject("Odd/appconfig.h", "#define K7Q9999\n#define A 1\n");

    CProjDoc document;
    EXPECT_FALSE(document.OpenProject(header.string()));
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{
                                  "Processor unknown or not defined in project header file.\n"});
    ExpectEmpty(document);
}

TEST_F(ProjDocTest, ProcessorWithoutArchitectureFileIsRefused) {
    const fs::path header = WriteProject("Motor/appconfig.h", "#define K7Q3010\n");
    fs::create_directories(m_root / "bin");
    SetAppFolder((m_root / "bin").string());

    CProjDoc document;
    EXPECT_FALSE(document.OpenProject(header.string()));
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{
                                  "Architecture configuration file 'K7Q3010.cfg' not found\n"});
    ExpectEmpty(document);
}

TEST_F(ProjDocTest, FailedOpenAfterAnOpenProjectLeavesNeitherProjectNorLock) {
    const fs::path good = WriteProject("Good/appconfig.h", "#define K7Q3010\n");
    const fs::path bad = WriteProject("Bad/appconfig.h", "#define NOT_A_PROCESSOR\n");

    CProjDoc document;
    ASSERT_TRUE(document.OpenProject(good.string()));
    EXPECT_TRUE(fs::exists(m_root / "Good/appconfig.lck"));
    EXPECT_FALSE(document.OpenProject(bad.string()));
    EXPECT_EQ(m_messages.shown.size(), 1u);
    ExpectEmpty(document);
}

TEST_F(ProjDocTest, ModulesFollowTheTreeWithUserDefinitionsLast) {
    const fs::path header = WriteProject("Inverter/appconfig.h", "#define K7Q5110EVK\n");

    CProjDoc document;
    ASSERT_TRUE(document.OpenProject(header.string()));
    std::vector<CModuleBase*> inTree;
    document.Tree().ForEachItem([&](CModuleTreeItem& item) { inTree.push_back(item.Module()); });
    std::vector<CModuleBase*> listed;
    for (const auto& module : document.Modules())
        listed.push_back(module.get());

    ASSERT_GT(listed.size(), 10u);
    EXPECT_EQ(inTree, listed);
    EXPECT_EQ(listed.front()->InstanceName(), "Clocks");
    EXPECT_EQ(listed.back()->TypeKey(), "UNREC");
    const CModuleTreeItem& root = document.Tree().Root();
    const CModuleTreeItem& last = root.Child(root.ChildCount() - 1);
    EXPECT_EQ(last.Text(), "Unrecognized Definitions");
    EXPECT_EQ(last.Module(), listed.back());
}

// --- Processor identification ---

class ProcessorIdentification : public ProjDocTest {};

TEST_F(ProcessorIdentification, PrefixedClockNameWinsAndTheShortOneIsKept) {
    CProjDoc document;
    const std::string saved = OpenAndSave(document, "#define K7Q3010\n"
                                                    "#define EXTCLK 8000000L\n"
                                                    "#define APPCFG_EXTCLK 4000000L\n");
    EXPECT_FLOAT_EQ(document.Processor().extClockMHz, 4.0f);
    EXPECT_TRUE(document.Processor().prefixedClockNames);
    EXPECT_TRUE(HasLine(saved, "#define APPCFG_EXTCLK 4000000L")) << saved;
    // The short name is no processor macro any more, only the user's own definition.
    EXPECT_FALSE(HasLine(saved, "#define EXTCLK 8000000L")) << saved;
    CAppcfgFileReader reader;
    ASSERT_TRUE(reader.OpenAndRead(document.ProjectFilePath(), false, false));
    ASSERT_NE(reader.GetEntry("EXTCLK"), nullptr);
    EXPECT_EQ(reader.GetEntry("EXTCLK")->value, "8000000L");
}

TEST_F(ProcessorIdentification, ShortClockNamesAreReadInMegahertzAndWrittenBack) {
    CProjDoc document;
    const std::string saved = OpenAndSave(document, "#define K7Q3010\n"
                                                    "#define EXTCLK 8000000L\n"
                                                    "#define EXTAL 3686400L\n");
    EXPECT_FLOAT_EQ(document.Processor().extClockMHz, 8.0f);
    EXPECT_FLOAT_EQ(document.Processor().crystalMHz, 3.6864f);
    EXPECT_FALSE(document.Processor().prefixedClockNames);
    EXPECT_TRUE(HasLine(saved, "#define EXTCLK 8000000L")) << saved;
    EXPECT_TRUE(HasLine(saved, "#define EXTAL 3686400L")) << saved;
    EXPECT_EQ(saved.find("APPCFG_EXT"), std::string::npos) << saved;
}

TEST_F(ProcessorIdentification, DefaultsAreGeneratedUnlessTheHeaderSaysOmitted) {
    struct Case {
        const char* line;
        bool generateDefaults;
    };
    for (const Case& c : {Case{"", true}, Case{"#define APPCFG_DFLTS_OMITTED 1\n", false},
                          Case{"#define APPCFG_DFLTS_OMITTED 0\n", true}}) {
        SCOPED_TRACE(c.line);
        CProjDoc document;
        const std::string saved = OpenAndSave(document, std::string("#define K7Q3010\n") + c.line);
        EXPECT_EQ(document.GenerateDefaults(), c.generateDefaults);
        EXPECT_EQ(HasLine(saved, "#define APPCFG_DFLTS_OMITTED 1"), !c.generateDefaults) << saved;
        EXPECT_FALSE(HasLine(saved, "#define APPCFG_DFLTS_OMITTED 0")) << saved;
    }
}

TEST_F(ProcessorIdentification, LegacyPartIsOpenedAndSavedAsItsSuccessor) {
    CProjDoc document;
    const std::string saved = OpenAndSave(document, "#define K7Q2050\n");
    EXPECT_EQ(document.Processor().processorName, "K7Q2020");
    // The groups belong to the successor too.
    EXPECT_TRUE(document.IsProcessorGroup(6));
    EXPECT_TRUE(document.IsProcessorGroup(hwc::ProcessorFamily::FamH));
    EXPECT_TRUE(HasLine(saved, "#define K7Q2020")) << saved;
    EXPECT_EQ(saved.find("K7Q2050"), std::string::npos) << saved;
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(ProcessorIdentification, EvaluationBoardOpensItsProcessorAndKeepsItsMacro) {
    CProjDoc document;
    const std::string saved = OpenAndSave(document, "#define K7Q5110EVK\n");
    EXPECT_EQ(document.Processor().processorName, "K7Q5110");
    EXPECT_NE(document.FindModule("QT_B", "QTALL"), nullptr); // from K7Q5110.cfg
    EXPECT_TRUE(document.IsProcessorGroup(86));
    EXPECT_TRUE(document.IsProcessorGroup(hwc::ProcessorFamily::FamD));
    EXPECT_TRUE(HasLine(saved, "#define K7Q5110EVK")) << saved;
    EXPECT_FALSE(HasLine(saved, "#define K7Q5110")) << saved;
}

namespace {

// A document whose only processor macro carries a package suffix after the part name.
class CSuffixDoc : public CProjDoc {
protected:
    std::span<const tProcessorDefine> ProcessorDefineRows() const override {
        static const tProcessorDefine kRows[] = {{"K7Q4250VLH", ""}};
        return kRows;
    }
};

} // namespace

TEST_F(ProcessorIdentification, PackageSuffixStillBelongsToThePartAndItsGroups) {
    fs::create_directories(m_root / "bin");
    fs::copy_file(fs::path(kArchFolder) / "K7Q4250.cfg", m_root / "bin/K7Q4250VLH.cfg");
    SetAppFolder((m_root / "bin").string());
    const fs::path header = WriteProject("Fan/appconfig.h", "#define K7Q4250VLH\n");

    CSuffixDoc document;
    ASSERT_TRUE(document.OpenProject(header.string()));
    EXPECT_EQ(document.Processor().processorName, "K7Q4250VLH");
    EXPECT_TRUE(document.IsProcessorGroup(65));
    EXPECT_TRUE(document.IsProcessorGroup(115));
    EXPECT_TRUE(document.IsProcessorGroup(hwc::ProcessorFamily::FamF));
    EXPECT_FALSE(document.IsProcessorGroup(64));
    EXPECT_FALSE(document.IsProcessorGroup(hwc::ProcessorFamily::FamD));
}

TEST_F(ProcessorIdentification, MaskNumberIsTakenAndWrittenBackAsRead) {
    CProjDoc document;
    const std::string saved = OpenAndSave(document, "#define K7Q3010\n"
                                                    "#define APPCFG_MASKNUM 2N40C\n"
                                                    "#define APPCFG_PARTNUM \"K7Q3010VLF\"\n"
                                                    "#define APPCFG_PACKAGE LQFP64\n");
    EXPECT_EQ(document.Processor().maskNumber, "2N40C");
    EXPECT_EQ(document.Processor().partNumber, "\"K7Q3010VLF\"");
    EXPECT_EQ(document.Processor().package, "LQFP64");
    // The user's macro survives the save, before the part number as the other macros stand.
    EXPECT_TRUE(HasLine(saved, "#define APPCFG_MASKNUM  2N40C")) << saved;
    EXPECT_LT(saved.find("APPCFG_MASKNUM"), saved.find("APPCFG_PARTNUM")) << saved;
    EXPECT_TRUE(HasLine(saved, "#define APPCFG_PARTNUM  \"K7Q3010VLF\"")) << saved;
    EXPECT_TRUE(HasLine(saved, "#define APPCFG_PACKAGE  LQFP64")) << saved;
}

// --- Lock ---

class DocumentLock : public ProjDocTest {
protected:
    void SetUp() override {
        ProjDocTest::SetUp();
        m_header = WriteProject("Motor/ApplicationConfig/appconfig.h", "#define K7Q3010\n");
        m_lockFile = m_root / "Motor/ApplicationConfig/appconfig.lck";
    }
    static std::string OwnLine() { return std::to_string(::getpid()) + "\n"; }

    fs::path m_header;
    fs::path m_lockFile;
};

TEST_F(DocumentLock, LockFileHoldsThePidUntilTheProjectIsCleared) {
    CProjDoc document;
    ASSERT_TRUE(document.OpenProject(m_header.string()));
    EXPECT_EQ(ReadFileBytes(m_lockFile), OwnLine());
    // Opening the own project again keeps it locked.
    ASSERT_TRUE(document.OpenProject(m_header.string()));
    EXPECT_EQ(ReadFileBytes(m_lockFile), OwnLine());
    EXPECT_TRUE(m_messages.shown.empty());
    document.ClearProject();
    EXPECT_FALSE(fs::exists(m_lockFile));
}

TEST_F(DocumentLock, SecondDocumentOfTheSameProcessIsRefused) {
    CProjDoc first;
    ASSERT_TRUE(first.OpenProject(m_header.string()));

    CProjDoc second;
    EXPECT_FALSE(second.OpenProject((m_root / "Motor").string()));
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text,
              "This project file is already open in other application. Do you want to activate "
              "it?");
    EXPECT_EQ(m_messages.shown[0].buttons, hwc::EButtons::YesNo);
    EXPECT_TRUE(second.ProjectFilePath().empty());
    EXPECT_TRUE(second.Modules().empty());
    // The refusal leaves the owner's lock alone.
    EXPECT_EQ(ReadFileBytes(m_lockFile), OwnLine());
    EXPECT_EQ(first.ProjectFilePath(), m_header.string());
}

TEST_F(DocumentLock, StaleLockFileIsTakenOver) {
    // Nobody holds the file, even though the process it names is alive.
    std::ofstream(m_lockFile, std::ios::binary) << "1\n";

    CProjDoc document;
    ASSERT_TRUE(document.OpenProject(m_header.string()));
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_EQ(ReadFileBytes(m_lockFile), OwnLine());
}

TEST_F(DocumentLock, SavingToTheOwnPathWorksWhileTheLockIsHeld) {
    CProjDoc document;
    ASSERT_TRUE(document.OpenProject(m_header.string()));
    EXPECT_TRUE(document.Save());
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_EQ(ReadFileBytes(m_lockFile), OwnLine());
    EXPECT_TRUE(document.Save());
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(DocumentLock, OpeningAnotherProjectMovesTheLock) {
    const fs::path other = WriteProject("Pump/appconfig.h", "#define K7Q1030\n");

    CProjDoc document;
    ASSERT_TRUE(document.OpenProject(m_header.string()));
    ASSERT_TRUE(document.OpenProject(other.string()));
    EXPECT_FALSE(fs::exists(m_lockFile));
    EXPECT_EQ(ReadFileBytes(m_root / "Pump/appconfig.lck"), OwnLine());

    // The first project is free again for another document.
    CProjDoc second;
    EXPECT_TRUE(second.OpenProject(m_header.string()));
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(DocumentLock, AnotherNameOfAnOpenProjectIsRefused) {
    CProjDoc first;
    ASSERT_TRUE(first.OpenProject(m_header.string()));
    const fs::path hardLink = m_root / "Motor/ApplicationConfig/copy.h";
    fs::create_hard_link(m_header, hardLink);
    const fs::path alias = m_root / "alias.h";
    fs::create_symlink(m_header, alias);

    for (const fs::path& name : {hardLink, alias}) {
        CProjDoc second;
        m_messages.shown.clear();
        EXPECT_FALSE(second.OpenProject(name.string())) << name;
        ASSERT_EQ(m_messages.shown.size(), 1u) << name;
        EXPECT_EQ(m_messages.shown[0].buttons, hwc::EButtons::YesNo);
        EXPECT_TRUE(second.Modules().empty());
    }
    EXPECT_EQ(LockFiles(), std::vector<fs::path>{m_lockFile});

    // The document that holds the project may use another of its names, and after its save a
    // new second name of the saved file is held too.
    m_messages.shown.clear();
    EXPECT_TRUE(first.CheckAlreadyOpen(alias.string()));
    ASSERT_TRUE(first.Save());
    const fs::path afterSave = m_root / "Motor/ApplicationConfig/after.h";
    fs::create_hard_link(m_header, afterSave);
    CProjDoc third;
    EXPECT_FALSE(third.OpenProject(afterSave.string()));
    EXPECT_EQ(m_messages.shown.size(), 1u);
}

TEST_F(DocumentLock, LockFileThatIsALinkKeepsTheProjectClosed) {
    const fs::path outside = m_root / "outside.txt";
    std::ofstream(outside, std::ios::binary) << "precious\n";
    fs::create_symlink(outside, m_lockFile);
    CProjDoc document;
    EXPECT_FALSE(document.OpenProject(m_header.string()));
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text,
              "The lock file '" + m_lockFile.string() +
                  "' is a link or not a file, so the project cannot be locked. Remove it to open "
                  "the project.");
    EXPECT_TRUE(document.ProjectFilePath().empty());
    EXPECT_EQ(ReadFileBytes(outside), "precious\n");
    EXPECT_TRUE(fs::is_symlink(m_lockFile));
}
