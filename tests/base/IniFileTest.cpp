#include "base/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

using namespace hwc;
using namespace std::string_literals;

namespace {

class IniFileTest : public ::testing::Test {
protected:
    std::string PathOf(const char* name) const { return (m_dir / name).string(); }
    std::string WriteFile(const char* name, const std::string& bytes) const {
        std::ofstream(PathOf(name), std::ios::binary) << bytes;
        return PathOf(name);
    }
    std::string ReadFile(const std::string& path) const {
        std::ostringstream out;
        out << std::ifstream(path, std::ios::binary).rdbuf();
        return out.str();
    }

    CTestFolder m_dir{"hwc_ini"};
};

std::string Written(const CIniFile& ini) {
    std::string out;
    ini.Write(out);
    return out;
}

void ReadText(CIniFile& ini, const std::string& text) {
    CTextFile file = CTextFile::FromBytes(text);
    ASSERT_TRUE(ini.Read(file));
}

} // namespace

TEST(IniFile, ParsesEntriesAndIgnoresEverythingElse) {
    const std::string text = "stray=before any section\n"
                             "  [Plugin]  \n"
                             "   name   =   spaced value  \n"
                             "a=b=c\n"
                             "two words=x\n"
                             ";a=b\n"
                             "q = \"quoted\" \n"
                             "# comment\n"
                             "lone=cr\r=inside\r\n"
                             "nul=x\0y\n"s;
    CIniFile ini;
    ReadText(ini, text);
    ASSERT_EQ(ini.Sections().size(), 1u);
    const CIniFileSection& s = *ini.Sections()[0];
    EXPECT_EQ(s.Name(), "Plugin");
    EXPECT_EQ(s.Keys(), (std::vector<std::string>{"name", "a", ";a", "q", "lone", "nul"}));
    EXPECT_EQ(s.Get("name"), "spaced value");
    EXPECT_EQ(s.Get("a"), "b=c");
    EXPECT_EQ(s.Get(";a"), "b");
    EXPECT_EQ(s.Get("q"), "\"quoted\"");
    EXPECT_EQ(s.Get("lone"), "cr\r=inside");
    EXPECT_EQ(s.Get("nul"), "x\0y"s);
    EXPECT_EQ(s.Get("missing"), "");
    EXPECT_FALSE(s.Has("stray"));
}

TEST(IniFile, SectionsKeepFileOrderAndTheFirstOfANameWins) {
    CIniFile ini;
    ReadText(ini, "[b]\nk=1\n[B]\nk=2\n[b]\nk=3\nj=4\n[a]\n");
    ASSERT_EQ(ini.Sections().size(), 3u);
    EXPECT_EQ(ini.Sections()[0]->Name(), "b");
    EXPECT_EQ(ini.Sections()[1]->Name(), "B");
    EXPECT_EQ(ini.Sections()[2]->Name(), "a");
    EXPECT_EQ(ini.FindSection("b")->Get("k"), "1");
    EXPECT_FALSE(ini.FindSection("b")->Has("j"));
    EXPECT_EQ(ini.FindSection("B")->Get("k"), "2");
    EXPECT_EQ(ini.FindSection("A"), nullptr);
}

TEST(IniFile, KeySetTwiceKeepsItsFirstPlaceAndLastValue) {
    CIniFile ini;
    ReadText(ini, "[s]\nx=1\ny=2\nx=3\n");
    CIniFileSection& s = *ini.FindSection("s");
    s.Set("z", "4");
    s.Set("y", "5");
    std::string walked;
    std::string key, value;
    for (auto pos = s.FirstPosition(); pos != CIniFileSection::kEndPosition;) {
        s.GetNext(pos, key, value);
        walked += key + "=" + value + ";";
    }
    EXPECT_EQ(walked, "x=3;y=5;z=4;");
    EXPECT_EQ(CIniFileSection("e").FirstPosition(), CIniFileSection::kEndPosition);
}

TEST(IniFile, ManagesSectionsByNameAndOwnership) {
    CIniFile ini;
    ini.SetLeadingText("; generated");
    CIniFileSection* first = ini.FindSection("one", true);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(ini.FindSection("one", true), first);
    EXPECT_EQ(ini.CreateSection("one"), nullptr);
    first->Set("k", "");
    ini.CreateSection("two");

    auto duplicate = std::make_unique<CIniFileSection>("two");
    EXPECT_FALSE(ini.AddSection(duplicate));
    EXPECT_NE(duplicate, nullptr); // still the caller's
    EXPECT_EQ(Written(ini), "; generated\n[one]\nk=\n\n[two]\n\n");

    CIniFileSection stranger("one");
    EXPECT_EQ(ini.RemoveSection(&stranger), nullptr);
    EXPECT_EQ(ini.RemoveSection(nullptr), nullptr);
    EXPECT_EQ(ini.RemoveSection("three"), nullptr);
    EXPECT_EQ(ini.RemoveSection(first).get(), first);
    EXPECT_NE(ini.RemoveSection("two"), nullptr);
    EXPECT_TRUE(ini.Sections().empty());
    EXPECT_TRUE(ini.AddSection(duplicate)); // the name is free again
    EXPECT_EQ(duplicate, nullptr);
}

TEST_F(IniFileTest, SaveAfterLoadDropsCommentsAndKeepsOrderAndLineEnds) {
    const std::string path = WriteFile("plugin.ini", "; header comment\r\n"
                                                     "[Zeta]\r\n"
                                                     "b = 2 ; not a comment\r\n"
                                                     "\r\n"
                                                     "# another\r\n"
                                                     "a=1\r\n"
                                                     "[Alpha]\r\n"
                                                     "c=3");
    CScriptedMessages messages;
    CIniFile ini;
    ASSERT_TRUE(ini.Load(path, true));
    EXPECT_EQ(ini.Path(), path);
    ASSERT_TRUE(ini.Save(true));
    EXPECT_EQ(ReadFile(path), "[Zeta]\r\nb=2 ; not a comment\r\na=1\r\n\r\n[Alpha]\r\nc=3\r\n\r\n");

    // Loading again replaces the content instead of adding to it.
    WriteFile("plugin.ini", "[Zeta]\nb=changed\n");
    ASSERT_TRUE(ini.Load(path, true));
    ASSERT_EQ(ini.Sections().size(), 1u);
    EXPECT_EQ(ini.FindSection("Zeta")->Get("b"), "changed");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(IniFileTest, FileWithoutSectionsLoadsEmpty) {
    CIniFile ini;
    ASSERT_TRUE(ini.Load(WriteFile("flat.ini", "a=1\nb=2\n"), true));
    EXPECT_TRUE(ini.Sections().empty());
    EXPECT_EQ(Written(ini), "");
    EXPECT_TRUE(ini.Load(WriteFile("empty.ini", ""), true));
}

TEST_F(IniFileTest, FileErrorsAreReportedOnlyWhenAskedAndFail) {
    CScriptedMessages messages;
    CIniFile ini;
    EXPECT_FALSE(ini.Save(true)); // no path yet: nothing to report
    EXPECT_FALSE(ini.Load(PathOf("missing.ini"), false));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(ini.Load(PathOf("missing.ini"), true));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("missing.ini"), std::string::npos);
    EXPECT_FALSE(ini.SaveAs(PathOf("no/such/folder.ini"), true));
    EXPECT_EQ(messages.shown.size(), 2u);
}

TEST(IniFile, MegabyteLinesAreReadWhole) {
    const std::string big(1 << 20, 'v');
    CIniFile ini;
    ReadText(ini, big + "\n[" + big + "]\nkey = " + big + "  \n" + big + "\n[s]\n");
    ASSERT_EQ(ini.Sections().size(), 2u);
    EXPECT_EQ(ini.Sections()[0]->Name(), big);
    EXPECT_EQ(ini.Sections()[0]->Get("key"), big);
    EXPECT_EQ(ini.Sections()[0]->Keys().size(), 1u);
}
