// Plug-ins in a project: where description files are found, what a file that cannot be used, a
// duplicate or a device filter does, and how plug-in header files are read and written.

#include "project/ProjDoc.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/AppFilePath.h"
#include "base/TextUtil.h"
#include "model/ModuleBase.h"
#include "modules/framework/CHtmlModule.h"
#include "plugins/PluginFile.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"
#include "support/TextCount.h"

namespace fs = std::filesystem;

namespace {

// A description file of one plug-in with two registers; `extra` adds keys to its section.
std::string OnePlugin(const std::string& id, const std::string& extra = {}) {
    return "[hwc_plugins]\nplugin1=" + id + "\n\n[" + id + "]\nregisters=" + id +
           "_REGS\ntreepath=Drivers\\" + id + "\n" + extra + "\n[" + id +
           "_REGS]\nCTRL=0x10;DW16\nNAME=serial;STRVALUE\n";
}

class PluginLoading : public ::testing::Test {
protected:
    void SetUp() override {
        // The program's folder holds its own copy of the architecture file, so that plug-in
        // folders can be put beside it.
        fs::create_directories(m_program.Path());
        fs::copy_file(HWC_TEST_SOURCE_DIR "/data/arch/K7Q3010.cfg", m_program / "K7Q3010.cfg");
        SetAppFolder(m_program.Path().string());
        m_config = m_root / "Rig/ApplicationConfig";
        m_header = m_config / "appconfig.h";
        fs::create_directories(m_config);
        WriteFileBytes(m_header, "#define K7Q3010\n#define MY_OWN 1\n");
    }
    void TearDown() override { SetAppFolder(""); }

    void Put(const fs::path& path, const std::string& text) {
        fs::create_directories(path.parent_path());
        WriteFileBytes(path, text);
    }
    bool Open(CProjDoc& document) { return document.OpenProject(m_header.string()); }
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& shown : m_messages.shown)
            texts.push_back(shown.text);
        return texts;
    }
    // Selects the plug-in module for writing as a check mark in the tree does.
    static void Select(CProjDoc& document, const std::string& id) {
        document.FindModule(id)->SetSelected(true);
        document.Tree().RefreshStateImages();
    }

    CScopedEnvironment m_epoch{"SOURCE_DATE_EPOCH", "0"};
    CScriptedMessages m_messages;
    CTestFolder m_root{"hwc-plugins"};
    CTestFolder m_program{"hwc-plugins-program"};
    fs::path m_config;
    fs::path m_header;
};

TEST_F(PluginLoading, DescriptionFilesAreReadOnlyInsideHwcFolders) {
    Put(m_config / "direct.ini", OnePlugin("DIRECT"));
    Put(m_config / "Drivers.HWC/serial.INI", OnePlugin("SER"));
    Put(m_config / "Drivers.HWC/inner.hwc/deep.ini", OnePlugin("DEEP"));
    Put(m_config / "Drivers.HWC/plain/hidden.ini", OnePlugin("PLAIN"));
    Put(m_config / "file.hwc", OnePlugin("FILE"));
    Put(m_config / "Drivers.HWC/notes.txt", OnePlugin("TEXT"));
    // The project folder above the configuration folder is not searched.
    Put(m_root / "Rig/Above.hwc/above.ini", OnePlugin("ABOVE"));
    Put(m_program / "Tools.hwc/tool.ini", OnePlugin("TOOL"));
    Put(m_program / "tool.ini", OnePlugin("BESIDE"));

    CProjDoc document;
    ASSERT_TRUE(Open(document));
    EXPECT_TRUE(Messages().empty()) << Messages().front();
    for (const char* found : {"SER", "DEEP", "TOOL"})
        EXPECT_NE(document.FindModule(found), nullptr) << found;
    for (const char* ignored : {"DIRECT", "PLAIN", "FILE", "TEXT", "ABOVE", "BESIDE"})
        EXPECT_EQ(document.FindModule(ignored), nullptr) << ignored;
    // Beside the program first, then beside the project file; nested folders before the files.
    ASSERT_EQ(document.PluginFiles().size(), 3u);
    EXPECT_EQ(fs::path(document.PluginFiles()[0]->Path()).filename(), "tool.ini");
    EXPECT_EQ(fs::path(document.PluginFiles()[1]->Path()).filename(), "deep.ini");
    EXPECT_EQ(fs::path(document.PluginFiles()[2]->Path()).filename(), "serial.INI");

    // The module hangs below Software Modules at its tree path, in folders of the plug-in type.
    CModuleTreeItem* item = document.Tree().FindItem(document.FindModule("SER"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->Text(), "SER");
    ASSERT_NE(item->Parent(), nullptr);
    EXPECT_EQ(item->Parent()->Text(), "Drivers");
    ASSERT_NE(item->Parent()->Module(), nullptr);
    EXPECT_EQ(item->Parent()->Module()->TypeKey(), "PLUGINS");
    ASSERT_NE(item->Parent()->Parent(), nullptr);
    EXPECT_EQ(item->Parent()->Parent()->Text(), "Software Modules");
}

TEST_F(PluginLoading, AProjectBesideTheProgramSearchesItsFolderOnce) {
    fs::copy_file(m_program / "K7Q3010.cfg", m_config / "K7Q3010.cfg");
    SetAppFolder(m_config.string() + "/");
    Put(m_config / "a.hwc/one.ini", OnePlugin("SER"));

    CProjDoc document;
    ASSERT_TRUE(Open(document));
    EXPECT_TRUE(Messages().empty()) << Messages().front();
    EXPECT_EQ(document.PluginFiles().size(), 1u);
    EXPECT_NE(document.FindModule("SER"), nullptr);
    // What a plug-in page asks for as the processor's define.
    EXPECT_EQ(document.ProcessorDefineName(), "K7Q3010");
    document.ClearProject();
    EXPECT_EQ(document.ProcessorDefineName(), "");
}

TEST_F(PluginLoading, FilesThatCannotBeUsedAreReportedAndTheProjectStillSaves) {
    Put(m_config / "a.hwc/1-no-list.ini", "[SER]\nclass=SER\n");
    Put(m_config / "a.hwc/2-missing.ini", "[hwc_plugins]\nplugin1=NOWHERE\nplugin2=GONE\n");
    Put(m_config / "a.hwc/3-filter.ini",
        "[hwc_plugins]\nplugin1=BAD\nplugin2=GOOD\n[BAD]\ndevicefilter=K7Q(\n[GOOD]\n");
    Put(m_config / "a.hwc/4-binary.ini", std::string("\0\x01\x02[", 4));

    CProjDoc document;
    ASSERT_TRUE(Open(document));
    EXPECT_EQ(Messages(), (std::vector<std::string>{"Error loading plugin file 1-no-list.ini",
                                                    "Error loading plugin file 2-missing.ini",
                                                    "Error loading plugin file 3-filter.ini",
                                                    "Error loading plugin file 4-binary.ini"}));
    EXPECT_EQ(document.FindModule("BAD"), nullptr);
    EXPECT_NE(document.FindModule("GOOD"), nullptr);
    ASSERT_TRUE(document.Save());
    EXPECT_NE(ReadFileBytes(m_header).find("#define   MY_OWN"), std::string::npos);
}

TEST_F(PluginLoading, APluginFoundTwiceLoadsOnceAndWritesEachDefineOnce) {
    const std::string plugin = OnePlugin("SER", "headerfile=serial.h\n");
    Put(m_program / "Drivers.hwc/serial.ini", plugin);
    Put(m_config / "Drivers.hwc/serial.ini", plugin);
    Put(m_config / "serial.h", "#define SER_CTRL 0x22\n");
    Put(m_header, "#define K7Q3010\n#define SER_CTRL 0x33\n");

    CProjDoc document;
    ASSERT_TRUE(Open(document));
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"Duplicate Plugin Module will not be loaded: SER"}));
    std::size_t plugins = 0;
    for (const auto& module : document.Modules())
        plugins += module->InstanceName() == "SER" ? 1 : 0;
    EXPECT_EQ(plugins, 1u);
    EXPECT_EQ(document.FindModule("SER")->Item(0).dwValue, 0x22u);
    ASSERT_TRUE(document.Save());
    const std::string own = ReadFileBytes(m_config / "serial.h");
    EXPECT_EQ(CountOf(own, "SER_CTRL"), 1u) << own;
    // The project header's define of the same name is the user's own and stays there.
    const std::string main = ReadFileBytes(m_header);
    EXPECT_EQ(CountOf(main, "SER_CTRL"), 1u) << main;
    EXPECT_NE(main.find("User definitions"), std::string::npos);
}

TEST_F(PluginLoading, APluginNamedLikeAProcessorModuleIsADuplicate) {
    Put(m_config / "a.hwc/timer.ini", "[hwc_plugins]\nplugin1=PIT0\nplugin2=SER\n[PIT0]\n[SER]\n");
    // A folder link back to its parent is searched once.
    fs::create_directory_symlink("..", m_config / "a.hwc/loop.hwc");

    CProjDoc document;
    ASSERT_TRUE(Open(document));
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"Duplicate Plugin Module will not be loaded: PIT0"}));
    EXPECT_EQ(document.FindModule("PIT0")->TypeKey(), "PIT");
    EXPECT_NE(document.FindModule("SER"), nullptr);
    EXPECT_EQ(document.PluginFiles().size(), 1u);
}

TEST_F(PluginLoading, AFilterThatDoesNotMatchLoadsNothingAndOpensNoHeader) {
    Put(m_config / "a.hwc/other.ini",
        OnePlugin("OTHER", "devicefilter=^K7Q4\nheaderfile=other.h\n"));
    Put(m_config / "a.hwc/this.ini", OnePlugin("THIS", "devicefilter=Q30\n"));

    CProjDoc document;
    ASSERT_TRUE(Open(document));
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(document.FindModule("OTHER"), nullptr);
    EXPECT_NE(document.FindModule("THIS"), nullptr);
    EXPECT_TRUE(document.PluginHeaders().empty());
    ASSERT_TRUE(document.Save());
    EXPECT_FALSE(fs::exists(m_config / "other.h"));
}

TEST_F(PluginLoading, PluginsSharingAHeaderWriteIntoOneFileWithTheUsersText) {
    Put(m_config / "a.hwc/two.ini", "[hwc_plugins]\nplugin1=SER\nplugin2=CANDRV\n"
                                    "[SER]\nregisters=R\nheaderfile=include\\Drivers.h\n"
                                    "[CANDRV]\nregisters=R\nheaderfile=INCLUDE/drivers.h\n"
                                    "[R]\nCTRL=0x10;DW16\n");
    Put(m_config / "include/Drivers.h", "/* The team's driver settings. */\n"
                                        "#ifndef DRIVERS_H\n#define DRIVERS_H\n"
                                        "#define SER_CTRL 0x21\n"
                                        "#define TEAM_OWN 7 /* kept */\n"
                                        "#endif\n");

    CProjDoc document;
    ASSERT_TRUE(Open(document));
    EXPECT_TRUE(Messages().empty()) << Messages().front();
    ASSERT_EQ(document.PluginHeaders().size(), 1u);
    EXPECT_TRUE(document.FindModule("SER")->IsSelected());
    Select(document, "CANDRV");
    // The hand-written header is taken over once the user agrees.
    m_messages.Answer(hwc::EAnswer::Yes);
    ASSERT_TRUE(document.Save()) << (Messages().empty() ? "" : Messages().back());
    EXPECT_FALSE(fs::exists(m_config / "INCLUDE"));

    const std::string text = ReadFileBytes(m_config / "include/Drivers.h");
    EXPECT_EQ(text.rfind("/* The team's driver settings. */\n#ifndef DRIVERS_H\n", 0), 0u) << text;
    EXPECT_NE(text.find("File generated by"), std::string::npos);
    EXPECT_EQ(text.find("K7Q3010"), std::string::npos) << text;
    EXPECT_EQ(text.find("APPCFG_"), std::string::npos) << text;
    const std::size_t ser = text.find("#define SER_CTRL");
    const std::size_t can = text.find("#define CANDRV_CTRL");
    const std::size_t own = text.find("TEAM_OWN");
    const std::size_t end = text.find("End of autogenerated code");
    ASSERT_NE(ser, std::string::npos) << text;
    ASSERT_NE(can, std::string::npos) << text;
    ASSERT_NE(own, std::string::npos) << text;
    EXPECT_LT(ser, can);
    EXPECT_LT(can, text.find("User definitions"));
    EXPECT_LT(own, end);
    EXPECT_NE(text.find("0x0021"), std::string::npos) << text;
    EXPECT_NE(text.find("0x0010"), std::string::npos) << text;
    EXPECT_TRUE(hwc::EndsWith(text, "..*/\n\n#endif\n")) << text;
    // Nothing of the plug-ins goes into the project header.
    const std::string main = ReadFileBytes(m_header);
    EXPECT_EQ(main.find("SER_CTRL"), std::string::npos) << main;
    EXPECT_EQ(main.find("TEAM_OWN"), std::string::npos) << main;

    // Text the user adds after the generated part is kept by the next save.
    WriteFileBytes(m_config / "include/Drivers.h", text + "/* after */\n");
    document.ClearProject();
    CProjDoc again;
    ASSERT_TRUE(Open(again));
    ASSERT_TRUE(again.Save());
    const std::string resaved = ReadFileBytes(m_config / "include/Drivers.h");
    EXPECT_EQ(resaved, text + "/* after */\n");
}

TEST_F(PluginLoading, ReprocessingTwiceGivesTheSameBytesInEveryFile) {
    Put(m_program / "a.hwc/one.ini", OnePlugin("SER", "headerfile=..\\drivers.h\n"));
    Put(m_config / "b.hwc/two.ini", OnePlugin("CANDRV"));
    Put(m_root / "Rig/drivers.h", "#define SER_CTRL 3\n#define SER_NAME fast\n#define KEEP 1\n");
    Put(m_header, "#define K7Q3010\n#define CANDRV_CTRL 0xFFFF\n");

    auto reprocess = [&] {
        CProjDoc document;
        tRunFlags flags;
        flags.reprocess = true;
        document.SetRunFlags(flags);
        ASSERT_TRUE(Open(document));
        ASSERT_TRUE(document.Save());
    };
    reprocess();
    const std::string drivers = ReadFileBytes(m_root / "Rig/drivers.h");
    const std::string main = ReadFileBytes(m_header);
    reprocess();
    EXPECT_EQ(ReadFileBytes(m_root / "Rig/drivers.h"), drivers);
    EXPECT_EQ(ReadFileBytes(m_header), main);
    EXPECT_NE(drivers.find("Software Module Configuration"), std::string::npos) << drivers;
    EXPECT_NE(drivers.find("SER_NAME"), std::string::npos) << drivers;
    EXPECT_NE(drivers.find("KEEP"), std::string::npos) << drivers;
    EXPECT_NE(main.find("CANDRV_CTRL"), std::string::npos) << main;
    EXPECT_TRUE(Messages().empty()) << Messages().front();
}

TEST_F(PluginLoading, AnUnreadablePluginHeaderIsReportedAndLeftAlone) {
    Put(m_config / "a.hwc/one.ini", OnePlugin("SER", "headerfile=held.h\n"));
    fs::create_directories(m_config / "held.h");

    CProjDoc document;
    ASSERT_TRUE(Open(document));
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_NE(Messages()[0].find("held.h"), std::string::npos) << Messages()[0];
    CModuleBase* module = document.FindModule("SER");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->Item(0).dwValue, 0x10u);
    Select(document, "SER");
    EXPECT_FALSE(document.Save());
    ASSERT_EQ(m_messages.shown.size(), 2u);
    EXPECT_EQ(Messages()[1], "The plug-in header " + (m_config / "held.h").string() +
                                 " is not written: it could not be read when the project was "
                                 "opened.");
    EXPECT_TRUE(fs::is_directory(m_config / "held.h"));
    // The project header is written all the same.
    EXPECT_NE(ReadFileBytes(m_header).find("File generated by"), std::string::npos);
}

TEST_F(PluginLoading, AHeaderFileNamingTheProjectFileWritesIntoTheProjectHeader) {
    Put(m_config / "a.hwc/one.ini",
        OnePlugin("SER", "headerfile=.\\APPCONFIG.H\\..\\appconfig.h\n"));
    Put(m_header, "#define K7Q3010\n#define SER_CTRL 0x44\n");

    CProjDoc document;
    ASSERT_TRUE(Open(document));
    EXPECT_TRUE(document.PluginHeaders().empty());
    ASSERT_TRUE(document.Save());
    const std::string main = ReadFileBytes(m_header);
    EXPECT_EQ(CountOf(main, "SER_CTRL"), 1u) << main;
    EXPECT_NE(main.find("0x0044"), std::string::npos) << main;
}

TEST_F(PluginLoading, AWebPageCommentCannotEndItsBlock) {
    Put(m_config / "a.hwc/one.ini", OnePlugin("SER"));
    Put(m_header, "#define K7Q3010\n#define SER_CTRL 0x44\n");
    {
        CProjDoc document;
        ASSERT_TRUE(Open(document));
        auto* module = dynamic_cast<CHtmlModule*>(document.FindModule("SER"));
        ASSERT_NE(module, nullptr);
        module->SetCommentText("rate */ #define BROKEN 1 /* rest");
        ASSERT_TRUE(document.Save());
    }
    const std::string main = ReadFileBytes(m_header);
    EXPECT_NE(main.find("    rate * / #define BROKEN 1 /* rest\n"), std::string::npos) << main;
    CProjDoc again;
    ASSERT_TRUE(Open(again));
    EXPECT_EQ(again.MainHeader().GetEntry("BROKEN"), nullptr);
    ASSERT_NE(again.FindModule("SER"), nullptr);
    EXPECT_EQ(again.FindModule("SER")->Item(0).dwValue, 0x44u);
}

TEST_F(PluginLoading, AnImportSourceReportsNothingAndCreatesNoFile) {
    Put(m_config / "a.hwc/bad.ini", "[nothing]\n");
    Put(m_config / "a.hwc/one.ini", OnePlugin("SER", "headerfile=new.h\n"));
    Put(m_config / "b.hwc/one.ini", OnePlugin("SER"));

    CProjDoc document;
    document.SetBatchMode(nullptr);
    ASSERT_TRUE(Open(document));
    EXPECT_TRUE(Messages().empty()) << Messages().front();
    EXPECT_NE(document.FindModule("SER"), nullptr);
    EXPECT_FALSE(fs::exists(m_config / "new.h"));
}

TEST_F(PluginLoading, ReopeningForgetsThePluginsOfTheLastOpen) {
    Put(m_config / "a.hwc/one.ini", OnePlugin("SER", "headerfile=serial.h\n"));
    CProjDoc document;
    ASSERT_TRUE(Open(document));
    ASSERT_EQ(document.PluginFiles().size(), 1u);
    EXPECT_TRUE(fs::exists(m_config / "serial.h"));
    ASSERT_TRUE(Open(document));
    EXPECT_TRUE(Messages().empty()) << Messages().front();
    EXPECT_EQ(document.PluginFiles().size(), 1u);
    EXPECT_EQ(document.PluginHeaders().size(), 1u);
}

} // namespace
