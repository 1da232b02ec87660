#include "header/TextFileParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using hwc::CTextFile;

namespace {

// The parser set up as the header reader uses it.
void AddHeaderKinds(CTextFileParser& parser) {
    parser.AddQuotes("/*", "*/", 1);
    parser.AddQuotes("//", "\n", 1);
    parser.AddQuotes("/*.", ".*/", 1);
}

struct Token {
    std::string text;
    std::string opener;
    bool operator==(const Token&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Token& token) {
    return out << "{\"" << token.text << "\", \"" << token.opener << "\"}";
}

std::vector<Token> AllTokens(std::string_view bytes, bool skipComments = false) {
    CTextFile file = CTextFile::FromBytes(bytes);
    CTextFileParser parser(file);
    AddHeaderKinds(parser);
    std::vector<Token> tokens;
    std::string token;
    while (parser.GetNextToken(token, false, skipComments))
        tokens.push_back({token, std::string(parser.GetQuotesOpener())});
    return tokens;
}

} // namespace

TEST(TextFileParser, SplitsCommentsAndStringsFromPlainTokens) {
    EXPECT_EQ(AllTokens("a/*b*/c"), (std::vector<Token>{{"a", ""}, {"b", "/*"}, {"c", ""}}));
    // The "." right after "/*" makes it the tool's own comment kind.
    EXPECT_EQ(AllTokens("/*.x.*/ /**/"), (std::vector<Token>{{"x", "/*."}, {"", "/*"}}));
    EXPECT_EQ(AllTokens("x\"a b\"'c'"), (std::vector<Token>{{"x", ""}, {"a b", "\""}, {"c", "'"}}));
    EXPECT_EQ(AllTokens("a /* c */ b // d\n", true), (std::vector<Token>{{"a", ""}, {"b", ""}}));
    // A lone carriage return separates tokens like any other white space.
    EXPECT_EQ(AllTokens("a\rb\t\v\fc"), (std::vector<Token>{{"a", ""}, {"b", ""}, {"c", ""}}));
}

TEST(TextFileParser, FullTokenAndPrecedingWhiteSpace) {
    CTextFile file = CTextFile::FromBytes("x  \"a b\"\n\t/*.c.*/ 'open");
    CTextFileParser parser(file);
    AddHeaderKinds(parser);
    std::string token, full;

    ASSERT_TRUE(parser.GetNextToken(token, false, false));
    EXPECT_FALSE(parser.HasQuotes());
    parser.GetFullToken(full);
    EXPECT_EQ(full, "x");

    ASSERT_TRUE(parser.GetNextToken(token, false, false));
    EXPECT_EQ(token, "a b");
    EXPECT_TRUE(parser.HasQuotes());
    EXPECT_FALSE(parser.IsComment());
    EXPECT_EQ(parser.GetPrecedingWhiteSpace(), "  ");
    parser.GetFullToken(full);
    EXPECT_EQ(full, "\"a b\"");
    EXPECT_EQ(parser.GetFullTokenLength(), 5u);

    ASSERT_TRUE(parser.GetNextToken(token, false, false));
    EXPECT_EQ(parser.GetPrecedingWhiteSpace(), "\n\t");
    parser.GetFullToken(full);
    EXPECT_EQ(full, "/*.c.*/");
    EXPECT_TRUE(parser.IsComment());

    // A stretch cut off by the end of the file gives its text; no closer is invented.
    ASSERT_TRUE(parser.GetNextToken(token, false, false));
    EXPECT_EQ(token, "open");
    parser.GetFullToken(full);
    EXPECT_EQ(full, "'open");
    EXPECT_EQ(parser.GetFullTokenLength(), 5u);
    EXPECT_FALSE(parser.GetNextToken(token, false, false));
}

TEST(TextFileParser, SameLineOnlyStopsAtTheLineEndAndKeepsTheLineNumber) {
    CTextFile file = CTextFile::FromBytes("a // note\n\nb");
    CTextFileParser parser(file);
    AddHeaderKinds(parser);
    std::string token;
    EXPECT_EQ(parser.GetLineNumber(), 0);
    // The very first call ignores sameLineOnly.
    ASSERT_TRUE(parser.GetNextToken(token, true, false));
    EXPECT_EQ(token, "a");
    ASSERT_TRUE(parser.GetNextToken(token, true, false));
    EXPECT_EQ(token, " note");
    EXPECT_TRUE(parser.IsComment());
    std::string full;
    parser.GetFullToken(full);
    EXPECT_EQ(full, "// note\n");
    EXPECT_EQ(parser.GetLineNumber(), 1);

    EXPECT_FALSE(parser.GetNextToken(token, true, false));
    EXPECT_FALSE(parser.GetNextToken(token, true, true));
    EXPECT_EQ(parser.GetLineNumber(), 1);
    ASSERT_TRUE(parser.GetNextToken(token, false, false));
    EXPECT_EQ(token, "b");
    EXPECT_EQ(parser.GetLineNumber(), 3);
    EXPECT_FALSE(parser.GetNextToken(token, false, false));
}

TEST(TextFileParser, RecordsWhatWasConsumed) {
    CTextFile file = CTextFile::FromBytes("abc def\nghi");
    CTextFileParser parser(file);
    parser.StartRecording(true);
    std::string token;
    ASSERT_TRUE(parser.GetNextToken(token, false, false));
    // The blank that ended the token was read ahead, not consumed.
    EXPECT_EQ(parser.StopRecording(), "abc");

    parser.StartRecording(false);
    ASSERT_TRUE(parser.GetNextToken(token, false, false));
    std::string rest;
    ASSERT_TRUE(parser.ReadRestOfFile(rest));
    EXPECT_EQ(rest, "ghi\n");
    EXPECT_EQ(parser.StopRecording(), "abc def\nghi\n");
    EXPECT_FALSE(parser.GetNextToken(token, false, false));
}

TEST(TextFileParser, ReadLineTakesTheRestOfTheLine) {
    CTextFile file = CTextFile::FromBytes("#ifndef G rest of line\nnext\nx // c\ny");
    CTextFileParser parser(file);
    AddHeaderKinds(parser);
    std::string token, line;
    ASSERT_TRUE(parser.GetNextToken(token, false, false));
    ASSERT_TRUE(parser.GetNextToken(token, true, true));
    EXPECT_EQ(token, "G");
    ASSERT_TRUE(parser.ReadLine(line));
    EXPECT_EQ(line, " rest of line");
    EXPECT_EQ(parser.GetLineNumber(), 2);
    ASSERT_TRUE(parser.GetNextToken(token, false, false));
    EXPECT_EQ(token, "next");

    // A line end left unread by a line comment ends the line at once.
    ASSERT_TRUE(parser.GetNextToken(token, false, false));
    ASSERT_TRUE(parser.GetNextToken(token, true, false));
    ASSERT_TRUE(parser.ReadLine(line));
    EXPECT_EQ(line, "");
    EXPECT_EQ(parser.GetLineNumber(), 4);
    ASSERT_TRUE(parser.GetNextToken(token, true, false));
    EXPECT_EQ(token, "y");

    // An opener right after the last token is taken as text: nothing stays pending.
    CTextFile glued = CTextFile::FromBytes("G// guard\nnext");
    CTextFileParser second(glued);
    AddHeaderKinds(second);
    ASSERT_TRUE(second.GetNextToken(token, false, false));
    ASSERT_TRUE(second.ReadLine(line));
    EXPECT_EQ(line, "// guard");
    ASSERT_TRUE(second.GetNextToken(token, false, false));
    EXPECT_EQ(token, "next");
    EXPECT_FALSE(second.HasQuotes());
}

TEST(TextFileParser, CallerKindsTagsAndReplacement) {
    CTextFile file = CTextFile::FromBytes("# note\nOCCS { a=1\n b=2 } x#y\n");
    CTextFileParser parser(file);
    parser.AddQuotes("#", "\n", 1);
    parser.AddQuotes("{", "}", 0, 1);
    std::string token;
    ASSERT_TRUE(parser.GetNextToken(token, false, true));
    EXPECT_EQ(token, "OCCS");
    EXPECT_EQ(parser.GetQuotesTag(), 0);
    ASSERT_TRUE(parser.GetNextToken(token, false, true));
    EXPECT_EQ(token, " a=1\n b=2 ");
    EXPECT_EQ(parser.GetQuotesTag(), 1);
    ASSERT_TRUE(parser.GetNextToken(token, false, true));
    EXPECT_EQ(token, "x");
    EXPECT_FALSE(parser.GetNextToken(token, false, true));

    // Adding a kind with an existing opener replaces it: "#" is no longer a comment.
    CTextFile again = CTextFile::FromBytes("#a#");
    CTextFileParser other(again);
    other.AddQuotes("#", "\n", 1);
    other.AddQuotes("#", "", 0, 7);
    ASSERT_TRUE(other.GetNextToken(token, false, true));
    EXPECT_EQ(token, "a");
    EXPECT_EQ(other.GetQuotesTag(), 7);
}

TEST(TextFileParser, TokenOffsetsKeepMultiLineCommentsWhole) {
    const std::string text = "one\n  /* a\nb */ #define X\nlast";
    CTextFile file = CTextFile::FromBytes(text);
    CTextFileParser parser(file);
    AddHeaderKinds(parser);
    std::string token;
    ASSERT_TRUE(parser.GetNextToken(token, false, false));
    ASSERT_TRUE(parser.GetNextToken(token, false, false));
    EXPECT_EQ(parser.GetTokenOffset(), text.find("/*"));
    EXPECT_EQ(parser.GetTokenLineStart(), 4u);
    ASSERT_TRUE(parser.GetNextToken(token, false, false));
    EXPECT_EQ(token, "#define");
    EXPECT_EQ(parser.GetTokenOffset(), text.find("#define"));
    // The comment's line, not the line the comment ends on.
    EXPECT_EQ(parser.GetTokenLineStart(), 4u);
    ASSERT_TRUE(parser.GetNextToken(token, false, false));
    ASSERT_TRUE(parser.GetNextToken(token, false, false));
    EXPECT_EQ(parser.GetTokenLineStart(), text.find("last"));

    // A stretch that starts right after a token begins at its opener.
    CTextFile glued = CTextFile::FromBytes("ab/*.c.*/");
    CTextFileParser second(glued);
    AddHeaderKinds(second);
    ASSERT_TRUE(second.GetNextToken(token, false, false));
    ASSERT_TRUE(second.GetNextToken(token, false, false));
    EXPECT_EQ(token, "c");
    EXPECT_EQ(second.GetTokenOffset(), 2u);
}

TEST(TextFileParser, HostileBytesNeitherEndNorBreakTheText) {
    // A NUL byte is an ordinary character: it neither ends the file nor separates tokens.
    EXPECT_EQ(
        AllTokens(std::string("a\0b c /*\0*/ d", 13)),
        (std::vector<Token>{
            {std::string("a\0b", 3), ""}, {"c", ""}, {std::string(1, '\0'), "/*"}, {"d", ""}}));
    EXPECT_EQ(AllTokens("\xff\xfe \xc3( /* \xe2\x82 */"),
              (std::vector<Token>{{"\xff\xfe", ""}, {"\xc3(", ""}, {" \xe2\x82 ", "/*"}}));
    EXPECT_EQ(AllTokens("x /* never closed\n\n"),
              (std::vector<Token>{{"x", ""}, {" never closed\n\n", "/*"}}));
    EXPECT_EQ(AllTokens("x \"never closed"),
              (std::vector<Token>{{"x", ""}, {"never closed", "\""}}));
    EXPECT_EQ(AllTokens("x/*"), (std::vector<Token>{{"x", ""}, {"", "/*"}}));
}

TEST(TextFileParser, MegabyteLinesAreReadWhole) {
    const std::string big(2 * 1024 * 1024, 'v');
    const std::string text = "a " + big + " /*" + big + "*/\n" + big;
    CTextFile file = CTextFile::FromBytes(text);
    CTextFileParser parser(file);
    AddHeaderKinds(parser);
    parser.StartRecording(true);
    std::string token;
    std::vector<std::size_t> sizes;
    while (parser.GetNextToken(token, false, false))
        sizes.push_back(token.size());
    EXPECT_EQ(sizes, (std::vector<std::size_t>{1, big.size(), big.size(), big.size()}));
    EXPECT_EQ(parser.StopRecording(), text);
}

namespace {

// The parser as the header reader sets it up: C strings and joined lines.
std::vector<Token> CTokens(std::string_view bytes, std::vector<std::string>* spaces = nullptr) {
    CTextFile file = CTextFile::FromBytes(bytes);
    CTextFileParser parser(file);
    AddHeaderKinds(parser);
    parser.SetStringRules(true, true);
    parser.SetLineContinuation(true);
    std::vector<Token> tokens;
    std::string token;
    while (parser.GetNextToken(token, false, false)) {
        parser.GetFullToken(token);
        tokens.push_back({token, std::string(parser.GetQuotesOpener())});
        if (spaces)
            spaces->push_back(parser.GetPrecedingWhiteSpace());
    }
    return tokens;
}

} // namespace

TEST(TextFileParser, StringsEndAtTheLineEndAndKnowEscapes) {
    EXPECT_EQ(CTokens("'\\'' \"a\\\"b\" x"),
              (std::vector<Token>{{"'\\''", "'"}, {"\"a\\\"b\"", "\""}, {"x", ""}}));
    // An unclosed quote stops at its line end, which stays unread.
    EXPECT_EQ(CTokens("Bob's inverter\nnext \"open\n"),
              (std::vector<Token>{{"Bob", ""}, {"'s inverter", "'"}, {"next", ""}, {"\"open", "\""}}));
    // Comments know no escapes; an escape at the end of the file ends the string.
    EXPECT_EQ(CTokens("/* \\*/ '\\"), (std::vector<Token>{{"/* \\*/", "/*"}, {"'\\", "'"}}));

    // Without the rules (the architecture file reader) a quote runs on over lines.
    EXPECT_EQ(AllTokens("'a\nb' c"), (std::vector<Token>{{"a\nb", "'"}, {"c", ""}}));
}

TEST(TextFileParser, LineContinuationJoinsLines) {
    std::vector<std::string> spaces;
    EXPECT_EQ(CTokens("a \\\n  b\\ \t\nc", &spaces),
              (std::vector<Token>{{"a", ""}, {"b", ""}, {"c", ""}}));
    EXPECT_EQ(spaces, (std::vector<std::string>{"", " \\\n  ", "\\ \t\n"}));
    // It continues a line comment and a string; a backslash before other text is text.
    EXPECT_EQ(CTokens("// one \\\ntwo\n\"x\\\ny\" a\\b \\c"),
              (std::vector<Token>{{"// one \\\ntwo\n", "//"},
                                  {"\"x\\\ny\"", "\""},
                                  {"a\\b", ""},
                                  {"\\c", ""}}));

    // A joined line is no line end for sameLineOnly, and the line number counts it.
    CTextFile file = CTextFile::FromBytes("a \\\nb\nc");
    CTextFileParser parser(file);
    parser.SetLineContinuation(true);
    std::string token;
    ASSERT_TRUE(parser.GetNextToken(token, true, false));
    ASSERT_TRUE(parser.GetNextToken(token, true, false));
    EXPECT_EQ(token, "b");
    EXPECT_EQ(parser.GetLineNumber(), 2);
    EXPECT_EQ(parser.GetTokenLineStart(), 0u);
    EXPECT_FALSE(parser.GetNextToken(token, true, false));
    ASSERT_TRUE(parser.GetNextToken(token, false, false));
    EXPECT_EQ(parser.GetTokenLineStart(), 6u);

    // Off by default: the backslash is a token of its own.
    EXPECT_EQ(AllTokens("a \\\nb"), (std::vector<Token>{{"a", ""}, {"\\", ""}, {"b", ""}}));
}

TEST(TextFileParser, CharactersThatCouldStartOrEndAStretchInsideLongText) {
    // Closer and opener characters alone, in the middle of long comments and tokens, neither end
    // nor open anything; the real closer right after them still does.
    const std::string run(300, 'r');
    EXPECT_EQ(AllTokens("/*" + run + "*" + run + "/ " + run + "**/x"),
              (std::vector<Token>{{run + "*" + run + "/ " + run + "*", "/*"}, {"x", ""}}));
    EXPECT_EQ(AllTokens(run + "*/" + run + "/" + run + "/*c*/"),
              (std::vector<Token>{{run + "*/" + run + "/" + run, ""}, {"c", "/*"}}));
    EXPECT_EQ(AllTokens("/*" + run + ".*" + run + ".*/"),
              (std::vector<Token>{{run + ".*" + run + ".", "/*"}}));
    EXPECT_EQ(AllTokens("/*." + run + "*/" + run + ".*/"),
              (std::vector<Token>{{run + "*/" + run, "/*."}}));
    EXPECT_EQ(AllTokens("// " + run + "*/ \\ x\ny"),
              (std::vector<Token>{{" " + run + "*/ \\ x", "//"}, {"y", ""}}));
    // Line numbers still count the line ends inside and between long stretches.
    CTextFile file = CTextFile::FromBytes("/*" + run + "\n" + run + "\n*/\t \t" + run + "\nz");
    CTextFileParser parser(file);
    AddHeaderKinds(parser);
    std::string token;
    ASSERT_TRUE(parser.GetNextToken(token, false, false));
    EXPECT_EQ(parser.GetLineNumber(), 3);
    ASSERT_TRUE(parser.GetNextToken(token, true, false));
    EXPECT_EQ(token, run);
    EXPECT_EQ(parser.GetPrecedingWhiteSpace(), "\t \t");
    EXPECT_FALSE(parser.GetNextToken(token, true, false));
    ASSERT_TRUE(parser.GetNextToken(token, false, false));
    EXPECT_EQ(token, "z");
    EXPECT_EQ(parser.GetLineNumber(), 4);
}

TEST(TextFileParser, EscapesAndJoinedLinesInsideLongStrings) {
    const std::string run(200, 's');
    // An escaped quote does not end the string; a joined line keeps it open; the line end does.
    EXPECT_EQ(CTokens("\"" + run + "\\\"" + run + "\\  \n" + run + "\" x"),
              (std::vector<Token>{{"\"" + run + "\\\"" + run + "\\  \n" + run + "\"", "\""},
                                  {"x", ""}}));
    EXPECT_EQ(CTokens("\"" + run + "\nnext"),
              (std::vector<Token>{{"\"" + run, "\""}, {"next", ""}}));
    // A backslash inside a long plain token stays in it; one before the line end joins.
    EXPECT_EQ(CTokens(run + "\\" + run + " " + run + "\\\n" + run),
              (std::vector<Token>{{run + "\\" + run, ""}, {run, ""}, {run, ""}}));
}
