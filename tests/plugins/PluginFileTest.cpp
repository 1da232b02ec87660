// Description files: the plug-in list, every key's default, flag words and default values of
// register sets, help and page addresses, device filters.

#include <gtest/gtest.h>

#include <fstream>

#include "plugins/PluginFile.h"
#include "support/TestFolder.h"

namespace {

using hwc::RegFlag::DW16;
using hwc::RegFlag::DW32;
using hwc::RegFlag::DW8;

class PluginFileTest : public ::testing::Test {
protected:
    // Writes the text as a description file in a "drivers.hwc" folder and loads it.
    bool Load(const std::string& text) {
        const auto folder = m_folder / "drivers.hwc";
        std::filesystem::create_directories(folder);
        m_path = (folder / "plugins.ini").string();
        std::ofstream(m_path, std::ios::binary) << text;
        return m_file.Load(m_path);
    }
    const CPluginInfo& Plugin(std::size_t index) const { return *m_file.Plugins().at(index); }
    std::string Folder() const { return (m_folder / "drivers.hwc").string(); }

    CTestFolder m_folder{"hwc-plugin-file"};
    std::string m_path;
    CPluginFile m_file;
};

TEST_F(PluginFileTest, FilesWithoutPluginsLoadNothing) {
    EXPECT_FALSE(Load(""));
    EXPECT_FALSE(Load("[other]\nplugin1=A\n[A]\nclass=X\n"));
    // Only sections that do not exist are named.
    EXPECT_FALSE(Load("[hwc_plugins]\nplugin1=Missing\nplugin2=Gone\n"));
    EXPECT_TRUE(m_file.Plugins().empty());
    EXPECT_FALSE(m_file.Load((m_folder / "absent.ini").string()));
    EXPECT_EQ(m_file.Path(), (m_folder / "absent.ini").string());
}

TEST_F(PluginFileTest, ListStopsAtTheFirstMissingOrEmptyNumber) {
    ASSERT_TRUE(Load("[hwc_plugins]\nplugin1=A\nplugin3=C\n[A]\n[C]\n"));
    ASSERT_EQ(m_file.Plugins().size(), 1u);
    EXPECT_EQ(Plugin(0).id, "A");

    ASSERT_TRUE(Load("[hwc_plugins]\nplugin1=A\nplugin2=\nplugin3=C\n[A]\n[C]\n"));
    EXPECT_EQ(m_file.Plugins().size(), 1u);

    // A missing section is skipped; the list goes on; a second Load starts afresh.
    ASSERT_TRUE(Load("[hwc_plugins]\nplugin1=Nope\nplugin2=B\nplugin3=A\n[A]\n[B]\n"));
    ASSERT_EQ(m_file.Plugins().size(), 2u);
    EXPECT_EQ(Plugin(0).id, "B");
    EXPECT_EQ(Plugin(1).id, "A");
    EXPECT_EQ(Plugin(0).owner, &m_file);
}

TEST_F(PluginFileTest, SectionWithoutKeysTakesEveryDefault) {
    ASSERT_TRUE(Load("[hwc_plugins]\nplugin1=Logger\n[Logger]\n"));
    const CPluginInfo& info = Plugin(0);
    EXPECT_EQ(info.className, "Logger");
    EXPECT_EQ(info.name, "Logger Plugin");
    EXPECT_EQ(info.treePath, "Logger Plugin");
    EXPECT_EQ(info.helpFile, ".pdf");
    EXPECT_EQ(info.mainDoc, "");
    EXPECT_EQ(info.PageAddress(), "");
    EXPECT_EQ(info.registers, nullptr);
    EXPECT_FALSE(info.earlyLoad);
    EXPECT_FALSE(info.externalApp);
    EXPECT_EQ(info.deviceFilter, "");
    EXPECT_EQ(info.headerFile, "");
}

TEST_F(PluginFileTest, NamesFollowTreePathRegistersAndPage) {
    ASSERT_TRUE(Load("[hwc_plugins]\nplugin1=A\nplugin2=B\nplugin3=C\nplugin4=D\n"
                     "[A]\ntreepath=Drivers\\Serial\nmaindoc=page.htm\n"
                     "[B]\nregisters=BREGS\ntreepath=Flat\nmaindoc=docs\\v1.2\\index\n"
                     "[C]\nclass=Cls\nregisters=BREGS\nname=Shown\nhelpfile=manual.pdf#12\n"
                     "[D]\nhelpfile=guide.pdf#x12\n"));
    EXPECT_EQ(Plugin(0).name, "Serial");
    EXPECT_EQ(Plugin(0).treePath, "Drivers\\Serial");
    EXPECT_EQ(Plugin(0).className, "A");
    EXPECT_EQ(Plugin(0).helpFile, "page.pdf");
    EXPECT_EQ(Plugin(0).PageAddress(), "file://" + Folder() + "/page.htm");

    EXPECT_EQ(Plugin(1).className, "BREGS");
    EXPECT_EQ(Plugin(1).name, "Flat");
    // A dot in a folder name is no extension.
    EXPECT_EQ(Plugin(1).helpFile, "docs\\v1.2\\index.pdf");
    EXPECT_EQ(Plugin(1).PageAddress(), "file://" + Folder() + "/docs/v1.2/index");
    int page = -1;
    EXPECT_EQ(Plugin(1).HelpDocument(&page), Folder() + "/docs/v1.2/index.pdf");
    EXPECT_EQ(page, 0);

    EXPECT_EQ(Plugin(2).className, "Cls");
    EXPECT_EQ(Plugin(2).name, "Shown");
    EXPECT_EQ(Plugin(2).treePath, "Shown");
    EXPECT_EQ(Plugin(2).HelpDocument(&page), Folder() + "/manual.pdf");
    EXPECT_EQ(page, 12);
    // Plug-ins naming the same register set share it.
    EXPECT_EQ(Plugin(2).registers, Plugin(1).registers);
    EXPECT_EQ(Plugin(2).registers, m_file.RegisterSet("BREGS"));

    // A page part that is no number gives page 0; the document path needs no page pointer.
    EXPECT_EQ(Plugin(3).HelpDocument(&page), Folder() + "/guide.pdf");
    EXPECT_EQ(page, 0);
    EXPECT_EQ(Plugin(3).HelpDocument(), Folder() + "/guide.pdf");
}

TEST_F(PluginFileTest, BooleansTakeTheirFirstCharacterOrTrue) {
    ASSERT_TRUE(Load("[hwc_plugins]\nplugin1=A\nplugin2=B\nplugin3=C\n"
                     "[A]\nearlyload=1\nexternalapp=yes\n"
                     "[B]\nearlyload=TrUe\nexternalapp=trueish\n"
                     "[C]\nearlyload=0\nexternalapp=N\n"));
    EXPECT_TRUE(Plugin(0).earlyLoad);
    EXPECT_TRUE(Plugin(0).externalApp);
    EXPECT_TRUE(Plugin(1).earlyLoad);
    EXPECT_FALSE(Plugin(1).externalApp);
    EXPECT_FALSE(Plugin(2).earlyLoad);
    EXPECT_FALSE(Plugin(2).externalApp);
    for (const char* yes : {"1", "10", "Y", "y", "yes", "TRUE", "true"})
        EXPECT_TRUE(hwc::PluginFlag(yes)) << yes;
    for (const char* no : {"", "0", "n", "on", " true", "true ", "t", "2"})
        EXPECT_FALSE(hwc::PluginFlag(no)) << no;
}

TEST_F(PluginFileTest, RegisterRowsTakeFlagsAndDefaults) {
    ASSERT_TRUE(
        Load("[hwc_plugins]\nplugin1=A\n[A]\nregisters=REGS\n"
             "[REGS]\n"
             "CTRL=0x10;DW16|NODEFAULT\n"
             "BLANK=0x10 ;DW16\n"
             "PLAIN=5\n"
             "OCT=010;DW8\n"
             "NEG=-1;SIGNEDVALUE\n"
             "JUNK=12abc; DW8 | BOGUS |dw16| NOIMPORT \n"
             "WIDE=0x1FFFFFFFF\n"
             "-RAW=;NOVALUE|DW8|DW16\n"
             "ALL=0;NONCRITICAL|QUOTEDVALUE|DECVALUE|INTERNAL|DUMMYREG|NOSHOWLIST|NOEDITLIST\n"));
    const CPluginRegs& regs = *Plugin(0).registers;
    ASSERT_EQ(regs.Count(), 9);
    const tPerCfgDef* rows = regs.Table();
    EXPECT_STREQ(rows[0].pszName, "CTRL");
    EXPECT_EQ(rows[0].dwDefault, 0x10u);
    EXPECT_EQ(rows[0].dwFlags, 0x12u);
    EXPECT_EQ(rows[1].dwDefault, 0u) << "a blank before the semicolon";
    EXPECT_EQ(rows[1].dwFlags, DW16);
    EXPECT_EQ(rows[2].dwDefault, 5u);
    EXPECT_EQ(rows[2].dwFlags, DW32);
    EXPECT_EQ(rows[3].dwDefault, 8u);
    EXPECT_EQ(rows[3].dwFlags, DW8);
    EXPECT_EQ(rows[4].dwDefault, 0xFFFFFFFFu);
    EXPECT_EQ(rows[4].dwFlags, 0x100u | DW32);
    EXPECT_EQ(rows[5].dwDefault, 0u);
    EXPECT_EQ(rows[5].dwFlags, DW8 | 0x2000u) << "words are trimmed and compared exactly";
    EXPECT_EQ(rows[6].dwDefault, 0u) << "more than 32 bits";
    EXPECT_STREQ(rows[7].pszName, "-RAW");
    EXPECT_EQ(rows[7].dwFlags, 0x40u | DW8 | DW16);
    EXPECT_EQ(rows[8].dwFlags,
              0x20u | 0x100u | 0x200u | 0x1000u | 0x4000u | 0x8000u | 0x10000u | DW32);
}

TEST_F(PluginFileTest, StringRowsKeepTheirDefaultText) {
    ASSERT_TRUE(Load("[hwc_plugins]\nplugin1=A\n[A]\nregisters=REGS\n"
                     "[REGS]\n"
                     "NAME=uart driver ;STRVALUE\n"
                     "EMPTY=;STRVALUE|DW8\n"
                     "RATE=1.5;FLOATVALUE\n"
                     "NUM=7\n"));
    const CPluginRegs& regs = *Plugin(0).registers;
    const tPerCfgDef* rows = regs.Table();
    // A default text makes the row present from the start, written whatever defaults do.
    EXPECT_EQ(regs.DefaultText("NAME"), "uart driver ");
    EXPECT_EQ(rows[0].dwDefault, 1u);
    EXPECT_EQ(rows[0].dwFlags, 0x80u | 0x10u | DW32);
    EXPECT_EQ(regs.DefaultText("EMPTY"), "");
    EXPECT_EQ(rows[1].dwDefault, 0u);
    EXPECT_EQ(rows[1].dwFlags, 0x80u | DW8);
    EXPECT_EQ(regs.DefaultText("RATE"), "1.5");
    EXPECT_EQ(rows[2].dwFlags, 0x20080u | 0x10u | DW32);
    EXPECT_EQ(regs.DefaultText("NUM"), "");
    EXPECT_EQ(regs.DefaultText("UNKNOWN"), "");
}

TEST_F(PluginFileTest, MissingRegisterSectionGivesAnEmptySet) {
    ASSERT_TRUE(Load("[hwc_plugins]\nplugin1=A\n[A]\nregisters=NOWHERE\n"));
    ASSERT_NE(Plugin(0).registers, nullptr);
    EXPECT_EQ(Plugin(0).registers->Count(), 0);
    EXPECT_EQ(Plugin(0).registers->Table(), nullptr);
    CPluginRegs empty;
    empty.Build(nullptr);
    EXPECT_EQ(empty.Count(), 0);
}

TEST_F(PluginFileTest, DeviceFilterMatchesAnywhereAndReportsBadPatterns) {
    ASSERT_TRUE(Load("[hwc_plugins]\nplugin1=A\nplugin2=B\nplugin3=C\nplugin4=D\n"
                     "[A]\n[B]\ndevicefilter=Q40\n[C]\ndevicefilter=^K7Q(4|5\n"
                     "[D]\ndevicefilter=^k7q\n"));
    using E = CPluginInfo::EFilterMatch;
    EXPECT_EQ(Plugin(0).MatchesProcessor("anything"), E::kMatch);
    EXPECT_EQ(Plugin(1).MatchesProcessor("K7Q400R"), E::kMatch);
    EXPECT_EQ(Plugin(1).MatchesProcessor("K7Q500"), E::kNoMatch);
    EXPECT_EQ(Plugin(2).MatchesProcessor("K7Q400R"), E::kInvalid);
    EXPECT_EQ(Plugin(3).MatchesProcessor("K7Q400R"), E::kNoMatch) << "case counts";
    EXPECT_EQ(Plugin(3).MatchesProcessor("k7q400r"), E::kMatch);
}

TEST_F(PluginFileTest, AbsoluteAndBackslashPaths) {
    ASSERT_TRUE(Load("[hwc_plugins]\nplugin1=A\n[A]\nmaindoc=/srv/pages/a.html\n"
                     "helpfile=sub\\help.pdf#3\n"));
    EXPECT_EQ(Plugin(0).PageAddress(), "file:///srv/pages/a.html");
    int page = 0;
    EXPECT_EQ(Plugin(0).HelpDocument(&page), Folder() + "/sub/help.pdf");
    EXPECT_EQ(page, 3);
    EXPECT_EQ(m_file.Folder(), Folder());
}

} // namespace
