// The plug-in module: what it takes from its description, its string defaults, the events it
// sends its page, the comment it keeps through a run without page, and whom it imports from.

#include <gtest/gtest.h>

#include <fstream>

#include "base/FixedText.h"
#include "header/AppcfgFile.h"
#include "plugins/PluginTestHost.h"
#include "support/TestFolder.h"

namespace {

using hwc::test::CNullNavigator;
using hwc::test::CPluginTestHost;
using hwc::test::CRecordingSink;

// The module's section as a save writes it: the comment block, then the defines.
std::string Section(const CModuleBase& module) {
    std::string text = "/*.\n";
    module.GetSummary(text);
    text += "\n.*/\n";
    module.GetHeaderText(text);
    return text;
}

TEST(PluginModuleTest, TakesNamesPageAndModeFromItsDescription) {
    CPluginTestHost host;
    CPluginModule& module = host.AddPlugin("LOG", "LOGGER", {{"LEVEL", "2;DW8"}});
    EXPECT_STREQ(module.GetRuntimeClass()->name, "CPluginModule");
    EXPECT_TRUE(module.IsKindOf(CHtmlModule::kRuntimeClass));
    EXPECT_EQ(module.InstanceName(), "LOG");
    EXPECT_EQ(module.TypeKey(), "LOGGER");
    EXPECT_EQ(module.Descriptor().Description(), "LOG driver");
    EXPECT_EQ(module.Descriptor().HelpReference(), "help.pdf#4");
    EXPECT_EQ(module.Descriptor().DisplayName(), "");
    EXPECT_EQ(module.Title(), "LOG");
    EXPECT_EQ(module.PageAddress(), "file://page.htm");
    EXPECT_TRUE(module.PluginMode());
    EXPECT_FALSE(module.EarlyLoad());
    EXPECT_FALSE(module.ExternalApp());
    EXPECT_EQ(&module.Info(), host.infos.back().get());
    ASSERT_EQ(module.ItemCount(), 1);
    EXPECT_EQ(module.Item(0).dwValue, 2u);
    EXPECT_EQ(module.Host(), &host);

    host.infos.back()->earlyLoad = true;
    host.infos.back()->externalApp = true;
    CPluginModule flagged(*host.infos.back());
    EXPECT_TRUE(flagged.EarlyLoad());
    EXPECT_TRUE(flagged.ExternalApp());

    CPluginModule& bare = host.AddPlugin("BARE", "BARE", {}, "");
    EXPECT_EQ(bare.ItemCount(), 0);
    EXPECT_EQ(bare.PageAddress(), "");
}

TEST(PluginModuleTest, StringRegistersStartWithTheirDefaultText) {
    CPluginTestHost host;
    const std::string longText(90, 'a');
    CPluginModule& module = host.AddPlugin(
        "LOG", "LOGGER",
        {{"NAME", "uart log;STRVALUE"}, {"LONG", longText + ";STRVALUE"}, {"NONE", ";STRVALUE"}});
    EXPECT_STREQ(module.Item(0).szValue, "uart log");
    EXPECT_STREQ(module.Item(0).szSaved, "uart log");
    EXPECT_EQ(module.Item(0).dwValue, 1u);
    EXPECT_EQ(std::string(module.Item(1).szValue), longText.substr(0, 79));
    EXPECT_EQ(module.Item(2).dwValue, 0u);
    EXPECT_FALSE(module.IsModified());

    // Written even when defaults are left out, so that a new text is never lost.
    host.generateDefaults = false;
    std::string text;
    module.GetHeaderText(text);
    EXPECT_NE(text.find("#define LOG_NAME"), std::string::npos) << text;
    EXPECT_NE(text.find("uart log"), std::string::npos);
    EXPECT_EQ(text.find("LOG_NONE"), std::string::npos);
}

TEST(PluginModuleTest, TellsItsPageWhenItRefreshesStoresChecksAndSaves) {
    CPluginTestHost host;
    CPluginModule& module = host.AddPlugin("LOG", "LOGGER", {{"LEVEL", "2;DW8"}});
    CNullNavigator navigator;
    module.SetNavigator(&navigator);
    EXPECT_EQ(navigator.loaded, (std::vector<std::string>{"file://page.htm"}));
    std::vector<std::string> log;
    CConfigToolObj object;
    CRecordingSink sink(log, "page");
    object.Connect(&sink);

    module.PageLoaded();
    EXPECT_TRUE(module.RefreshControls());
    EXPECT_TRUE(module.ApplyControls());
    module.CheckWarnings();
    EXPECT_EQ(log, (std::vector<std::string>{"page:refresh", "page:refresh", "page:update",
                                             "page:check"}));

    // The page sets the comment while the summary is being built, and it is written at once.
    sink.onComment = [&] { object.SetComment(std::string("Level two")); };
    std::string summary;
    module.GetSummary(summary);
    EXPECT_EQ(summary, hwc::HtmlModuleCommentBlock("LOG", "Level two"));
    module.SetNavigator(nullptr);
}

TEST(PluginModuleTest, SaysGoodbyeBeforeItGoes) {
    CPluginTestHost host;
    CPluginModule& module = host.AddPlugin("LOG", "LOGGER", {{"LEVEL", "2;DW8"}});
    CNullNavigator navigator;
    module.SetNavigator(&navigator);
    std::vector<std::string> log;
    CConfigToolObj object;
    CRecordingSink sink(log, "page");
    object.Connect(&sink);
    module.SetNavigator(nullptr);
    host.Remove(module);
    EXPECT_EQ(log, (std::vector<std::string>{"page:closing"}));
    EXPECT_EQ(object.AssignedModule(), nullptr);
}

TEST(PluginModuleTest, ImportsOnlyFromTheSamePluginClass) {
    CPluginTestHost host;
    CPluginModule& first = host.AddPlugin("LOG0", "LOGGER", {{"LEVEL", "2;DW8"}});
    CPluginModule& second = host.AddPlugin("LOG1", "LOGGER", {{"LEVEL", "5;DW8"}});
    CPluginModule& other = host.AddPlugin("NET", "NETDRV", {{"LEVEL", "7;DW8"}});
    bool forbidden = true;
    EXPECT_TRUE(first.IsImportCompatible(second, forbidden));
    EXPECT_FALSE(forbidden);
    EXPECT_FALSE(first.IsImportCompatible(other, forbidden));
    EXPECT_FALSE(forbidden);
    EXPECT_TRUE(first.ImportFrom(second, nullptr, false));
    EXPECT_EQ(first.Item(0).dwValue, 5u);
}

class PluginCommentTest : public ::testing::Test {
protected:
    // Reads the text as the plug-in's header file and loads the module from it.
    bool LoadFrom(CPluginModule& module, const std::string& text) {
        const std::string path = (m_folder / "plugin.h").string();
        std::ofstream(path, std::ios::binary) << text;
        m_reader = std::make_unique<CAppcfgFileReader>();
        EXPECT_TRUE(m_reader->OpenAndRead(path, false, false));
        module.SetHeaderFile(m_reader.get());
        return module.LoadFromHeader(m_reader.get());
    }

    CTestFolder m_folder{"hwc-plugin-comment"};
    std::unique_ptr<CAppcfgFileReader> m_reader;
    CPluginTestHost host;
};

TEST_F(PluginCommentTest, ARunWithoutPageWritesTheCommentItReadBack) {
    CPluginModule& writer = host.AddPlugin("LOG", "LOGGER", {{"LEVEL", "2;DW8"}});
    writer.SetCommentText("  Level: 3\r\n\n    indented line\rlast * / line  ");
    writer.Item(0).dwValue = 3;
    const std::string other = "/*.\n" + hwc::HtmlModuleCommentBlock("LOGX", "not this one") +
                              "\n.*/\n#define LOGX_LEVEL 1\n\n";
    const std::string saved =
        "#ifndef PLUGIN_H\n#define PLUGIN_H\n" + other + Section(writer) + "#endif\n";

    CPluginModule& reader = host.AddPlugin("LOG", "LOGGER", {{"LEVEL", "2;DW8"}});
    EXPECT_TRUE(LoadFrom(reader, saved));
    EXPECT_EQ(reader.Item(0).dwValue, 3u);
    EXPECT_EQ(reader.CommentText(), "Level: 3\n\n    indented line\nlast * / line");
    EXPECT_EQ(Section(reader), Section(writer));
}

TEST_F(PluginCommentTest, SectionWithoutCommentOrWithoutBlockKeepsNone) {
    CPluginModule& module = host.AddPlugin("LOG", "LOGGER", {{"LEVEL", "2;DW8"}});
    module.SetCommentText("before");
    EXPECT_TRUE(LoadFrom(module, "/*.\n" + hwc::HtmlModuleCommentBlock("LOG", "") +
                                     "\n.*/\n#define LOG_LEVEL 4\n"));
    EXPECT_EQ(module.CommentText(), "");
    module.SetCommentText("kept");
    EXPECT_FALSE(LoadFrom(module, "#define OTHER 1\n"));
    EXPECT_EQ(module.CommentText(), "kept");
}

TEST_F(PluginCommentTest, AnEmptiedDefaultTextStaysEmpty) {
    CPluginModule& writer = host.AddPlugin("LOG", "LOGGER", {{"NAME", "uart log;STRVALUE"}});
    writer.SetSelected(true);
    writer.Item(0).dwValue = 0;
    std::string text = "/*.\n";
    writer.GetSummary(text);
    text += "\n.*/\n";
    ASSERT_TRUE(writer.WriteHeaderText(text));
    EXPECT_EQ(writer.Item(0).dwValue, 0u);
    CPluginModule& reader = host.AddPlugin("LOG", "LOGGER", {{"NAME", "uart log;STRVALUE"}});
    EXPECT_TRUE(LoadFrom(reader, text));
    EXPECT_EQ(hwc::FieldText(reader.Item(0).szValue), "");
    // Read back, it is written the same way.
    reader.SetSelected(true);
    std::string again = "/*.\n";
    reader.GetSummary(again);
    again += "\n.*/\n";
    ASSERT_TRUE(reader.WriteHeaderText(again));
    EXPECT_EQ(again, text);
}

TEST(PluginCommentText, FindsOnlyAWholeSectionOfThatTitle) {
    const std::string block = hwc::HtmlModuleCommentBlock("LOG", "one\ntwo");
    EXPECT_EQ(hwc::FindHtmlModuleComment("/*.\n" + block + "\n.*/\n", "LOG"), "one\ntwo");
    EXPECT_EQ(hwc::FindHtmlModuleComment("/*.\n" + block + "\n.*/\n", "LOG2"), std::nullopt);
    EXPECT_EQ(hwc::FindHtmlModuleComment("/*.\n" + block, "LOG"), std::nullopt) << "unclosed";
    EXPECT_EQ(hwc::FindHtmlModuleComment("", "LOG"), std::nullopt);
    // A line of more dashes is another kind of block; the next one of the title counts.
    const std::string longer = "/*.\n" + hwc::HtmlModuleCommentBlock("LOG", {}) + "--\n.*/\n";
    EXPECT_EQ(hwc::FindHtmlModuleComment(longer, "LOG"), std::nullopt);
    EXPECT_EQ(hwc::FindHtmlModuleComment(longer + "/*.\n" + block + "\n.*/\n", "LOG"), "one\ntwo");
    // Lines indented by less than four blanks (trimmed by an editor) still read.
    EXPECT_EQ(hwc::FindHtmlModuleComment(
                  "/*.\n" + hwc::HtmlModuleCommentBlock("LOG", {}) + "\n  a\n\n    b\n.*/", "LOG"),
              "a\n\nb");
}

} // namespace
