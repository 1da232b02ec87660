#include "base/JsonWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <iconv.h>
#include <limits>
#include <optional>
#include <random>
#include <string>

using namespace hwc;

namespace {

// Reads a JSON string literal back into the bytes it was made of: a \u00XX escape of 0x80 to
// 0xFF stands for one byte that was not UTF-8, every other escape for its code point in UTF-8,
// raw bytes for themselves. Nullopt when the literal is not one a strict reader would accept
// (raw control characters, unknown escapes, text after the closing quote).
std::optional<std::string> ReadBackBytes(std::string_view literal) {
    if (literal.size() < 2 || literal.front() != '"' || literal.back() != '"')
        return std::nullopt;
    std::string bytes;
    for (std::size_t i = 1; i + 1 < literal.size(); ++i) {
        const auto c = static_cast<unsigned char>(literal[i]);
        if (c < 0x20 || c == '"')
            return std::nullopt;
        if (c != '\\') {
            bytes += static_cast<char>(c);
            continue;
        }
        if (++i + 1 >= literal.size())
            return std::nullopt;
        switch (literal[i]) {
        case '"':
        case '\\':
        case '/':
            bytes += literal[i];
            break;
        case 'b':
            bytes += '\b';
            break;
        case 'f':
            bytes += '\f';
            break;
        case 'n':
            bytes += '\n';
            break;
        case 'r':
            bytes += '\r';
            break;
        case 't':
            bytes += '\t';
            break;
        case 'u': {
            if (i + 5 >= literal.size())
                return std::nullopt;
            const unsigned long code =
                std::stoul(std::string(literal.substr(i + 1, 4)), nullptr, 16);
            if (code > 0xFF)
                return std::nullopt; // the writer never needs more
            bytes += static_cast<char>(code);
            i += 4;
            break;
        }
        default:
            return std::nullopt;
        }
    }
    return bytes;
}

// Whether the C library's converter takes the text as UTF-8 (it refuses overlong forms,
// surrogates and code points above U+10FFFF).
bool IsValidUtf8(const std::string& text) {
    iconv_t converter = iconv_open("UTF-32LE", "UTF-8");
    EXPECT_NE(converter, reinterpret_cast<iconv_t>(-1));
    std::string input = text;
    std::string output(text.size() * 4 + 4, '\0');
    char* in = input.data();
    std::size_t inLeft = input.size();
    char* out = output.data();
    std::size_t outLeft = output.size();
    const std::size_t result = iconv(converter, &in, &inLeft, &out, &outLeft);
    iconv_close(converter);
    return result != static_cast<std::size_t>(-1) && inLeft == 0;
}

} // namespace

TEST(JsonQuoted, EscapesQuotesBackslashesAndEveryControlCharacter) {
    EXPECT_EQ(JsonQuoted(""), "\"\"");
    EXPECT_EQ(JsonQuoted("a\"b\\c/d"), "\"a\\\"b\\\\c/d\"");
    EXPECT_EQ(JsonQuoted("\b\f\n\r\t"), "\"\\b\\f\\n\\r\\t\"");
    EXPECT_EQ(JsonQuoted(std::string("\0\x01\x1F\x7F", 4)), "\"\\u0000\\u0001\\u001F\\u007F\"");
    // The printable neighbours of the control ranges stay as they are.
    EXPECT_EQ(JsonQuoted(" ~"), "\" ~\"");
    for (int c = 0; c < 0x20; ++c) {
        const std::string literal = JsonQuoted(std::string(1, static_cast<char>(c)));
        EXPECT_EQ(literal[1], '\\') << c;
        EXPECT_EQ(ReadBackBytes(literal), std::string(1, static_cast<char>(c))) << c;
    }
}

TEST(JsonQuoted, KeepsWellFormedUtf8AtEveryBoundary) {
    for (const char* text : {
             "\xC2\x80",          // U+0080, the first two-byte form
             "\xDF\xBF",          // U+07FF
             "\xE0\xA0\x80",      // U+0800, the first three-byte form
             "\xED\x9F\xBF",      // U+D7FF, just below the surrogates
             "\xEE\x80\x80",      // U+E000, just above them
             "\xEF\xBF\xBF",      // U+FFFF
             "\xF0\x90\x80\x80",  // U+10000, the first four-byte form
             "\xF4\x8F\xBF\xBF",  // U+10FFFF, the last code point
             "Gr\xC3\xBC\xC3\x9F" // "Gruess" with umlaut and sharp s
         }) {
        EXPECT_EQ(JsonQuoted(text), std::string("\"") + text + "\"") << text;
    }
}

TEST(JsonQuoted, WritesEveryByteOutsideWellFormedUtf8AsItsCodePoint) {
    struct tCase {
        std::string input;
        std::string expected;
    };
    const tCase cases[] = {
        {"\x80", "\\u0080"}, // a lone continuation byte
        {"\xBF", "\\u00BF"},
        {"\xC0\x80", "\\u00C0\\u0080"},                       // overlong NUL
        {"\xC1\xBF", "\\u00C1\\u00BF"},                       // overlong two-byte form
        {"\xE0\x9F\xBF", "\\u00E0\\u009F\\u00BF"},            // overlong three-byte form
        {"\xF0\x8F\xBF\xBF", "\\u00F0\\u008F\\u00BF\\u00BF"}, // overlong four-byte form
        {"\xED\xA0\x80", "\\u00ED\\u00A0\\u0080"},            // U+D800, a surrogate
        {"\xED\xBF\xBF", "\\u00ED\\u00BF\\u00BF"},            // U+DFFF
        {"\xF4\x90\x80\x80", "\\u00F4\\u0090\\u0080\\u0080"}, // U+110000
        {"\xF5\x80\x80\x80", "\\u00F5\\u0080\\u0080\\u0080"}, // lead bytes that never occur
        {"\xFE\xFF", "\\u00FE\\u00FF"},
        {"\xC3", "\\u00C3"}, // truncated at the end
        {"\xE2\x82", "\\u00E2\\u0082"},
        {"\xF0\x9F\x98", "\\u00F0\\u009F\\u0098"},
        {"\xC3"
         "A",
         "\\u00C3A"}, // cut short by plain text
        {"\xE2\x82"
         "A\xE2\x82\xAC",
         "\\u00E2\\u0082A\xE2\x82\xAC"},     // then a good euro sign
        {"\xC3\xC3\xA9", "\\u00C3\xC3\xA9"}, // a lead byte before a good pair
        {"\xE9t\xE9", "\\u00E9t\\u00E9"},    // a Latin-1 text
    };
    for (const tCase& c : cases) {
        const std::string literal = JsonQuoted(c.input);
        EXPECT_EQ(literal, "\"" + c.expected + "\"") << c.expected;
        EXPECT_TRUE(IsValidUtf8(literal)) << c.expected;
        EXPECT_EQ(ReadBackBytes(literal), c.input) << c.expected;
    }
}

TEST(JsonQuoted, AnyBytesGiveValidUtf8ThatReadsBackToThem) {
    // The checker itself refuses what the writer must never let through.
    for (const char* bad : {"\x80", "\xC0\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xE2\x82"})
        ASSERT_FALSE(IsValidUtf8(bad)) << bad;
    // Every single byte, every pair, then random texts biased towards the bytes of UTF-8.
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            const std::string input = {static_cast<char>(a), static_cast<char>(b)};
            const std::string literal = JsonQuoted(input);
            ASSERT_TRUE(IsValidUtf8(literal)) << a << ' ' << b;
            ASSERT_EQ(ReadBackBytes(literal), input) << a << ' ' << b;
        }
    }
    std::mt19937 random(22);
    const unsigned char alphabet[] = {0x00, 0x1F, 0x22, 0x41, 0x5C, 0x7F, 0x80, 0x8F,
                                      0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xC2, 0xDF, 0xE0,
                                      0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFF};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof(alphabet) - 1);
    std::uniform_int_distribution<std::size_t> length(0, 12);
    for (int round = 0; round < 20000; ++round) {
        std::string input(length(random), '\0');
        for (char& c : input)
            c = static_cast<char>(alphabet[pick(random)]);
        const std::string literal = JsonQuoted(input);
        ASSERT_TRUE(IsValidUtf8(literal)) << round;
        ASSERT_EQ(ReadBackBytes(literal), input) << round;
    }
}

TEST(JsonNumber, GivesTheShortestTextAndNullForWhatJsonCannotHold) {
    EXPECT_EQ(JsonNumber(8.0f), "8");
    EXPECT_EQ(JsonNumber(0.1f), "0.1"); // not the double nearest to the float
    EXPECT_EQ(JsonNumber(62.5f), "62.5");
    EXPECT_EQ(JsonNumber(-0.25), "-0.25");
    EXPECT_EQ(JsonNumber(1e21), "1e+21");
    EXPECT_EQ(JsonNumber(std::numeric_limits<double>::quiet_NaN()), "null");
    EXPECT_EQ(JsonNumber(std::numeric_limits<float>::infinity()), "null");
    EXPECT_EQ(JsonNumber(-std::numeric_limits<double>::infinity()), "null");
}

TEST(JsonWriter, PrettyPrintsNestedValuesWithTwoBlanksPerLevel) {
    std::string out;
    CJsonWriter json(out);
    EXPECT_FALSE(json.IsComplete());
    json.BeginObject();
    json.Member("format", 1);
    json.Member("name", "a\tb");
    json.Key("list");
    json.BeginArray();
    json.Number(std::int64_t{-4294967296});
    json.Number(std::uint32_t{0xFFFFFFFF});
    json.Bool(true);
    json.Null();
    json.BeginObject();
    json.Member("x", false);
    json.EndObject();
    json.EndArray();
    json.Key("empty object");
    json.BeginObject();
    json.EndObject();
    json.Key("empty array");
    json.BeginArray();
    json.EndArray();
    json.Member("mhz", 7.5f);
    EXPECT_FALSE(json.IsComplete());
    json.EndObject();
    EXPECT_TRUE(json.IsComplete());
    EXPECT_EQ(out, "{\n"
                   "  \"format\": 1,\n"
                   "  \"name\": \"a\\tb\",\n"
                   "  \"list\": [\n"
                   "    -4294967296,\n"
                   "    4294967295,\n"
                   "    true,\n"
                   "    null,\n"
                   "    {\n"
                   "      \"x\": false\n"
                   "    }\n"
                   "  ],\n"
                   "  \"empty object\": {},\n"
                   "  \"empty array\": [],\n"
                   "  \"mhz\": 7.5\n"
                   "}");
}

TEST(JsonWriter, KeysAreEscapedAndALoneValueIsAWholeText) {
    std::string out = "prefix ";
    {
        CJsonWriter json(out);
        json.BeginObject();
        json.Member(std::string("k\"\x01\xFF", 4), std::string_view("v"));
        json.EndObject();
    }
    EXPECT_EQ(out, "prefix {\n  \"k\\\"\\u0001\\u00FF\": \"v\"\n}");

    std::string scalar;
    CJsonWriter json(scalar);
    json.Number(std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(json.IsComplete());
    EXPECT_EQ(scalar, "null");
}
