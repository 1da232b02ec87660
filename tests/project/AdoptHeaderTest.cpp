// Adopting a hand-written header: what its first save does not carry over, the question that
// lists it, the original kept once as "NAME.orig", and refusals that leave every file as it was.

#include "project/AdoptHeader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "base/AppFilePath.h"
#include "base/TextFile.h"
#include "base/TextUtil.h"
#include "header/AppcfgFile.h"
#include "header/HeaderWriter.h"
#include "project/ProjDoc.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"
#include "support/Unprivileged.h"

namespace fs = std::filesystem;

namespace {

// --- What a first save leaves out, measured on texts alone ---

struct tReadHeader {
    hwc::CTextFile file;
    CAppcfgFile header;
    explicit tReadHeader(const std::string& text)
        : file(hwc::CTextFile::FromBytes(text, "appconfig.h")) {
        header.Read(file, false);
    }
};

// The lines of `original` that a save writing `body` as its generated part leaves out.
std::vector<tDroppedLine> Dropped(const std::string& original, const std::string& body) {
    tReadHeader before(original);
    tReadHeader after(BuildHeaderFileText(before.header, body, nullptr, "today"));
    return LinesNotCarriedOver(before.header, after.header);
}

std::string Listed(const std::vector<tDroppedLine>& lines) {
    std::string text;
    for (const tDroppedLine& line : lines)
        text += hwc::Format("%d: %s\n", line.line, line.text.c_str());
    return text;
}

TEST(AdoptHeaderLines, TextAmongAndAfterTheDefinitionsIsListedByLine) {
    const std::string original = "/* Board header. */\n"      // 1
                                 "#ifndef APPCONFIG_H\n"      // 2
                                 "#define APPCONFIG_H\n"      // 3
                                 "\n"                         // 4
                                 "#define A 1\n"              // 5
                                 "#include \"board.h\"\n"     // 6
                                 "\n"                         // 7
                                 "#if BOARD > 2\n"            // 8
                                 "#define B 2\n"              // 9
                                 "#endif\n"                   // 10
                                 "int helper(void);   \n"     // 11
                                 "#endif /* APPCONFIG_H */\n" // 12
                                 "/* after the guard */\n";   // 13
    EXPECT_EQ(Listed(Dropped(original, "#define A 1\n#define B 2\n")),
              "6: #include \"board.h\"\n"
              "8: #if BOARD > 2\n"
              "10: #endif\n"
              "11: int helper(void);\n"
              "12: /* APPCONFIG_H */\n"
              "13: /* after the guard */\n");
}

TEST(AdoptHeaderLines, DefinitionsAndTheirCommentsCountWhenTheSaveDropsThem) {
    const std::string original = "#define A 1 /* inline */\n" // 1
                                 "// about B\n"               // 2
                                 "#define B 2\n"              // 3
                                 "#define C 3 /* gone */\n"   // 4
                                 "#define A 4\n"              // 5: overrides line 1
                                 "#define /* odd */ D 5\n"    // 6
                                 "/* lead */ #define E 6\n";  // 7
    // The save writes A (its last value), B, D and E without comments, and C not at all (as a
    // module does with a default value): C's comment goes with it.
    const std::string body = "#define A 4\n#define B 2\n#define D 5\n#define E 6\n";
    EXPECT_EQ(Listed(Dropped(original, body)), "1: #define A 1 /* inline */\n"
                                               "2: // about B\n"
                                               "4: /* gone */\n"
                                               "6: /* odd */\n"
                                               "7: /* lead */\n");
    // Written back with their comments, only what nothing keeps remains.
    const std::string withComments = "#define A 4\n#define B 2 /* about B */\n"
                                     "#define C 3 /* gone */\n#define D 5\n#define E 6\n";
    EXPECT_EQ(Listed(Dropped(original, withComments)), "1: #define A 1 /* inline */\n"
                                                       "6: /* odd */\n"
                                                       "7: /* lead */\n");
}

TEST(AdoptHeaderLines, CommentKeptWithItsDefinitionIsNotListed) {
    const std::string original = "#define A 1\n"
                                 "/* a comment\n"
                                 "   over two lines */\n"
                                 "#define B 2 /* x */ // y\n"
                                 "#define C 3 // ends */ here\n";
    // The comments of B joined as the reader joins them; the writer breaks up the "*/" of C's.
    const std::string body = "#define A 1\n#define B 2 /* a comment\n   over two lines   x  y */\n"
                             "#define C 3 /* ends * / here */\n";
    EXPECT_EQ(Listed(Dropped(original, body)), "");
    // Without them, each line of the comment is listed.
    EXPECT_EQ(Listed(Dropped(original, "#define A 1\n#define B 2\n#define C 3\n")),
              "2: /* a comment\n"
              "3: over two lines */\n"
              "4: /* x */ // y\n"
              "5: // ends */ here\n");
}

TEST(AdoptHeaderLines, NothingForHeadersTheSaveKeepsWhole) {
    // Only definitions, in a guard whose "#endif" the save writes again.
    EXPECT_TRUE(Dropped("#ifndef G\n#define G\n#define A 1\n\n#define B 2\n#endif\n",
                        "#define A 1\n#define B 2\n")
                    .empty());
    // A comment above the first definition stays in the user's leading text.
    EXPECT_TRUE(Dropped("/* about A */\n#define A 1\n", "#define A 1\n").empty());
    // No definition: the whole file is the user's text.
    tReadHeader plain("/* nothing yet */\n#include \"x.h\"\n");
    EXPECT_EQ(plain.header.HandWrittenPart(), nullptr);
    // A header the program wrote.
    tReadHeader generated(BuildHeaderFileText(plain.header, "#define A 1\n", nullptr, "today") +
                          "#include \"late.h\"\n");
    EXPECT_EQ(generated.header.HandWrittenPart(), nullptr);
}

TEST(AdoptHeaderLines, LineNumbersOfCrlfFilesAndLongLines) {
    const std::string longText = "/* " + std::string(100, 'x') + " */";
    const std::string original =
        hwc::ReplaceAll("/* top */\n\n#define A 1\n" + longText + "\n#define B 2\n/* " +
                            std::string(65, 'y') + "\xC3\xA4 and more text */\n",
                        "\n", "\r\n");
    const std::vector<tDroppedLine> lines = Dropped(original, "#define A 1\n#define B 2\n");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].line, 4);
    EXPECT_EQ(lines[0].text, "/* " + std::string(66, 'x') + "...");
    EXPECT_EQ(lines[1].line, 6);
    // Cut before the two-byte character that would be split.
    EXPECT_EQ(lines[1].text, "/* " + std::string(65, 'y') + "...");
}

TEST(AdoptHeaderQuestion, ListsTwentyLinesThenCountsTheRest) {
    std::vector<tDroppedLine> lines;
    for (int i = 1; i <= 22; ++i)
        lines.push_back({i * 2, "text " + std::to_string(i)});
    const std::string question = AdoptQuestion("/p/appconfig.h", lines, false);
    EXPECT_NE(question.find("appconfig.h was not written by this program."), std::string::npos);
    EXPECT_NE(question.find("line 40: text 20\nand 2 more lines\n"), std::string::npos);
    EXPECT_EQ(question.find("text 21"), std::string::npos);
    EXPECT_NE(question.find("The original is kept unchanged as appconfig.h.orig."),
              std::string::npos);
    EXPECT_TRUE(hwc::EndsWith(question, "Save anyway?"));

    lines.resize(21);
    const std::string existing = AdoptQuestion("/p/appconfig.h", lines, true);
    EXPECT_NE(existing.find("and 1 more line\n"), std::string::npos);
    EXPECT_NE(existing.find("appconfig.h.orig already exists and is left as it is, so the "
                            "original is kept only in appconfig.bak, until the next save."),
              std::string::npos);
}

// --- The save of an open project ---

// A hand-written header: an "#include" among the definitions, a define comment, and text after
// the guard's "#endif".
const std::string kHandWritten = "/* Rig header written by hand. */\n"   // 1
                                 "#ifndef APPCONFIG_H\n"                 // 2
                                 "#define APPCONFIG_H\n"                 // 3
                                 "\n"                                    // 4
                                 "#define K7Q3010\n"                     // 5
                                 "#define MY_BAUD 115200UL\n"            // 6
                                 "#include \"board.h\"\n"                // 7
                                 "#define MY_PINS 4   /* four pins */\n" // 8
                                 "#endif /* APPCONFIG_H */\n"            // 9
                                 "/* Kept after the guard. */\n";        // 10

class AdoptHeaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_header = m_root / "appconfig.h";
        m_original = m_root / "appconfig.h.orig";
        WriteFileBytes(m_header, kHandWritten);
        SetAppFolder(HWC_TEST_SOURCE_DIR "/data/arch");
    }
    void TearDown() override { SetAppFolder(""); }

    // Opens the project and saves it, answering the questions as scripted.
    bool OpenAndSave(const std::vector<hwc::EAnswer>& answers, bool keepComments = true) {
        CProjDoc document;
        if (!document.OpenProject(m_header.string()))
            return false;
        CProjDocBase::tOptions options = document.Options();
        options.keepUserComments = keepComments;
        document.SetOptions(options);
        for (hwc::EAnswer answer : answers)
            m_messages.Answer(answer);
        return document.Save();
    }

    CScopedEnvironment m_epoch{"SOURCE_DATE_EPOCH", "0"};
    CScriptedMessages m_messages;
    CTestFolder m_root{"hwc-adopt"};
    fs::path m_header;
    fs::path m_original;
};

TEST_F(AdoptHeaderTest, YesKeepsTheOriginalAndTheNextSaveAsksNothing) {
    ASSERT_TRUE(OpenAndSave({hwc::EAnswer::Yes}));
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].buttons, hwc::EButtons::YesNo);
    EXPECT_EQ(m_messages.shown[0].text,
              "appconfig.h was not written by this program. Saving replaces everything from its "
              "first definition on with generated text, which keeps the definitions but not the "
              "following text:\n\n"
              "line 7: #include \"board.h\"\n"
              "line 9: /* APPCONFIG_H */\n"
              "line 10: /* Kept after the guard. */\n"
              "\nThe original is kept unchanged as appconfig.h.orig.\n\nSave anyway?");
    EXPECT_EQ(ReadFileBytes(m_original), kHandWritten);
    const std::string saved = ReadFileBytes(m_header);
    EXPECT_NE(saved.find("MY_PINS"), std::string::npos);
    EXPECT_NE(saved.find("/* four pins */"), std::string::npos);

    // The header now has a generated part: no question, and the original stays.
    m_messages.shown.clear();
    ASSERT_TRUE(OpenAndSave({}));
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_EQ(ReadFileBytes(m_original), kHandWritten);
    EXPECT_EQ(ReadFileBytes(m_header), saved);
}

TEST_F(AdoptHeaderTest, SecondSaveOfTheSameDocumentAsksNothing) {
    CProjDoc document;
    ASSERT_TRUE(document.OpenProject(m_header.string()));
    m_messages.Answer(hwc::EAnswer::Yes);
    ASSERT_TRUE(document.Save());
    ASSERT_EQ(m_messages.shown.size(), 1u);
    ASSERT_TRUE(document.Save());
    EXPECT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(ReadFileBytes(m_original), kHandWritten);
}

TEST_F(AdoptHeaderTest, DroppedDefineCommentIsListedWhenCommentsAreNotKept) {
    ASSERT_TRUE(OpenAndSave({hwc::EAnswer::Yes}, false));
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_NE(m_messages.shown[0].text.find("line 7: #include \"board.h\"\n"
                                            "line 8: /* four pins */\n"
                                            "line 9: /* APPCONFIG_H */\n"),
              std::string::npos);
}

TEST_F(AdoptHeaderTest, NoOrTheDefaultAnswerWritesNothing) {
    for (const bool scripted : {true, false}) {
        m_messages.shown.clear();
        // Without a scripted answer the question's default (No) is taken, as hwc-batch does.
        EXPECT_FALSE(
            OpenAndSave(scripted ? std::vector{hwc::EAnswer::No} : std::vector<hwc::EAnswer>{}));
        EXPECT_EQ(m_messages.shown.size(), 1u);
        EXPECT_EQ(ReadFileBytes(m_header), kHandWritten);
        EXPECT_FALSE(fs::exists(m_original));
        EXPECT_FALSE(fs::exists(m_root / "appconfig.bak"));
    }
}

TEST_F(AdoptHeaderTest, AnExistingOriginalIsNeverReplaced) {
    WriteFileBytes(m_original, "an earlier original\n");
    ASSERT_TRUE(OpenAndSave({hwc::EAnswer::Yes}));
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_NE(m_messages.shown[0].text.find("appconfig.h.orig already exists"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(m_original), "an earlier original\n");
    EXPECT_EQ(ReadFileBytes(m_root / "appconfig.bak"), kHandWritten);

    // Nor a link there, nor through it.
    fs::remove(m_original);
    fs::create_symlink(m_root / "elsewhere", m_original);
    WriteFileBytes(m_header, kHandWritten);
    m_messages.shown.clear();
    ASSERT_TRUE(OpenAndSave({hwc::EAnswer::Yes}));
    EXPECT_TRUE(fs::is_symlink(m_original));
    EXPECT_FALSE(fs::exists(m_root / "elsewhere"));
}

TEST_F(AdoptHeaderTest, HeaderOfOnlyDefinitionsAsksNothingAndKeepsNoCopy) {
    const std::string onlyDefines =
        "/* Rig */\n#ifndef G\n#define G\n#define K7Q3010\n\n#define MY_BAUD 115200UL\n#endif\n";
    WriteFileBytes(m_header, onlyDefines);
    ASSERT_TRUE(OpenAndSave({}));
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_FALSE(fs::exists(m_original));
    EXPECT_EQ(ReadFileBytes(m_root / "appconfig.bak"), onlyDefines);
}

TEST_F(AdoptHeaderTest, SavingElsewhereLeavesTheOriginalAlone) {
    CProjDoc document;
    ASSERT_TRUE(document.OpenProject(m_header.string()));
    const fs::path copy = m_root / "copy.h";
    WriteFileBytes(copy, "old copy\n");
    ASSERT_TRUE(document.SaveAs(copy.string(), true));
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_FALSE(fs::exists(m_original));
    EXPECT_FALSE(fs::exists(m_root / "copy.h.orig"));
    EXPECT_EQ(ReadFileBytes(m_header), kHandWritten);
}

TEST_F(AdoptHeaderTest, ReadOnlyFolderSaysSoAndLosesNothing) {
    const std::string folder = m_root.Path().string();
    if (RunsAsRoot() && ::chown(folder.c_str(), UnprivilegedUser(), UnprivilegedGroup()) != 0)
        GTEST_SKIP() << "cannot hand " << folder << " to the unprivileged user";
    ::chmod(m_header.c_str(), 0666);
    const std::string header = m_header.string();
    const std::string original = m_original.string();
    EXPECT_TRUE(RunUnprivileged([&] {
        CScriptedMessages messages;
        messages.Answer(hwc::EAnswer::Yes);
        CProjDoc document;
        if (!document.OpenProject(header) || ::chmod(folder.c_str(), 0555) != 0)
            return false;
        const bool saved = document.Save();
        ::chmod(folder.c_str(), 0755);
        return !saved && messages.shown.size() == 2 &&
               messages.shown[1].text.find("Cannot create the file \"" + original + "\"") == 0 &&
               messages.shown[1].text.find("nothing is saved") != std::string::npos &&
               !fs::exists(original);
    }));
    EXPECT_EQ(ReadFileBytes(m_header), kHandWritten);
    EXPECT_FALSE(fs::exists(m_original));
}

} // namespace
