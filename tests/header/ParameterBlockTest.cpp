// The internal-parameter block grammar: the cases it is defined by, and the same answers as the
// regular expressions that describe it, on many small texts made of the characters that matter.

#include "header/ParameterBlock.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <string>
#include <vector>

#include "base/Regex.h"

namespace {

std::string Describe(const std::optional<tParameterBlockText>& block) {
    return block ? block->module + "|" + std::string(block->lines) : "<none>";
}

std::string Describe(const std::vector<tParameterLine>& lines) {
    std::string text;
    for (const tParameterLine& line : lines)
        text += "{" + line.key + "=" + line.value + "}";
    return text;
}

std::string Block(std::string_view text) {
    return Describe(FindParameterBlockText(text));
}

std::string Lines(std::string_view text) {
    return Describe(ParameterLines(text));
}

} // namespace

TEST(ParameterBlock, OpenerAndModuleName) {
    EXPECT_EQ(Block("[PARAMETERS:ADC_A]\nX=1\nY = 2 \nno equals\nZ=3\n"), "ADC_A|X=1\nY = 2 \n");
    EXPECT_EQ(Block("text [ \n PARAMETERS:M \t] rest\nk=v\n"), "M|k=v\n");
    // The longest name that still closes: after white space, else at the last "]" of the run.
    EXPECT_EQ(Block("[PARAMETERS:a]b]\nk=v\n"), "a]b|k=v\n");
    EXPECT_EQ(Block("[PARAMETERS:a]b] \n]\nk=v\n"), "a]b]|k=v\n");
    EXPECT_EQ(Block("[PARAMETERS:a\n]\nk=v\n"), "a|k=v\n");
    // Nothing to name, no "]", nothing after the opener's line: no block.
    EXPECT_EQ(Block("[PARAMETERS: ]\nk=v\n"), "<none>");
    EXPECT_EQ(Block("[PARAMETERS:]\nk=v\n"), "<none>");
    EXPECT_EQ(Block("[PARAMETERS:M\nk=v\n"), "<none>");
    EXPECT_EQ(Block("[PARAMETERS:M]"), "<none>");
    EXPECT_EQ(Block("PARAMETERS:M]\nk=v\n"), "<none>");
    EXPECT_EQ(Block("[parameters:M]\nk=v\n"), "<none>");
    // The first opener that has lines wins; an earlier one without lines does not count.
    EXPECT_EQ(Block("[PARAMETERS:A]\nnone\n[PARAMETERS:B]\nk=v\n"), "B|k=v\n");
    EXPECT_EQ(Block("[PARAMETERS:[PARAMETERS:B]\nk=v\n"), "[PARAMETERS:B|k=v\n");
}

TEST(ParameterBlock, WhichLinesBelongToTheBlock) {
    // A line starting with "=", a line without "=", a last line without its line end, and a
    // carriage return after the "=" all end the block.
    EXPECT_EQ(Block("[PARAMETERS:M]\na=1\n=2\nb=3\n"), "M|a=1\n");
    EXPECT_EQ(Block("[PARAMETERS:M]\na=1\nb=3"), "M|a=1\n");
    EXPECT_EQ(Block("[PARAMETERS:M]\na=1\nb=3\r\nc=4\n"), "M|a=1\n");
    EXPECT_EQ(Block("[PARAMETERS:M] x\ry\nk=v\n"), "<none>");
    EXPECT_EQ(Block("[PARAMETERS:M]\n\na=1\n"), "<none>");
    EXPECT_EQ(Block("[PARAMETERS:M]\n a b = 1 = 2\n"), "M| a b = 1 = 2\n");
}

TEST(ParameterBlock, KeysAndValues) {
    EXPECT_EQ(Lines("X=1\n  Y = 2 \nwith blank=3\nQ=\nW=a=b\n"), "{X=1}{Y=2}{Q=}{W=a=b}");
    // An empty value stays on its line: the next parameter is not taken for it.
    EXPECT_EQ(Lines("    A=\n    B=5\n    C=\n"), "{A=}{B=5}{C=}");
    EXPECT_EQ(Lines("\tK\t=\tv  w\t\n"), "{K=v  w}");
    EXPECT_EQ(Lines(" =1\n"), "");
}

// Random texts over the characters that matter, compared with the regular expressions the
// grammar is written in. The line pattern is compared in the form that keeps a value on its line
// (the plain form lets an empty value take the next line, see KeysAndValues).
TEST(ParameterBlock, AgreesWithTheRegularExpressions) {
    const std::regex block =
        hwc::MakeRegex("\\[\\s*PARAMETERS\\:(\\S+)\\s*\\].*\\n((^[^=\\n]+\\=.*\\n)+)", true);
    const std::regex line =
        hwc::MakeRegex("^[ \\t]*([^= \\t\\n]+)[ \\t]*\\=[ \\t]*(.*?)[ \\t]*$", true);
    const std::vector<std::string> blockPieces = {"[", "]", "PARAMETERS:", " ", "\n", "\r", "=",
                                                  "a", "b", "\t"};
    const std::vector<std::string> linePieces = {"a", "b", " ", "\t", "=", "\n"};
    std::mt19937 random(20240101);
    auto make = [&](const std::vector<std::string>& pieces, int count) {
        std::string text;
        for (int i = 0; i < count; ++i)
            text += pieces[random() % pieces.size()];
        return text;
    };
    for (int round = 0; round < 20000; ++round) {
        const std::string text = make(blockPieces, 4 + static_cast<int>(random() % 24));
        std::smatch match;
        const std::string expected =
            std::regex_search(text, match, block) ? match[1].str() + "|" + match[2].str()
                                                  : "<none>";
        ASSERT_EQ(Block(text), expected) << "text: " << testing::PrintToString(text);
    }
    for (int round = 0; round < 20000; ++round) {
        const std::string text = make(linePieces, static_cast<int>(random() % 20));
        std::string expected;
        for (std::sregex_iterator it(text.begin(), text.end(), line), end; it != end; ++it)
            expected += "{" + (*it)[1].str() + "=" + (*it)[2].str() + "}";
        ASSERT_EQ(Lines(text), expected) << "text: " << testing::PrintToString(text);
    }
}
