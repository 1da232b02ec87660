#pragma once
// A small streaming JSON writer: objects, arrays, strings, numbers, booleans and null, appended
// to a text as they are given, pretty-printed with two blanks per level so that the same values
// always give the same bytes. Strings take any bytes: the output is valid UTF-8 JSON whatever
// the input holds.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace hwc {

// The JSON string literal of a text, quotes included. '"' and '\\' are escaped, control
// characters (below 0x20, and 0x7F) become \b \f \n \r \t or \u00XX, well-formed UTF-8 is kept as
// it is, and every byte that is not part of a well-formed UTF-8 sequence (a stray continuation
// byte, a truncated or overlong sequence, a surrogate, a code point above U+10FFFF, 0xC0, 0xC1,
// 0xF5 to 0xFF) is written as the code point of its value (\u00XX).
std::string JsonQuoted(std::string_view text);

// The shortest text that reads back as the same float; null for NaN and the infinities, which
// JSON cannot hold.
std::string JsonNumber(float value);
std::string JsonNumber(double value);

class CJsonWriter {
public:
    // Appends to `out`, which must outlive the writer.
    explicit CJsonWriter(std::string& out) : m_out(out) {}

    void BeginObject();
    void EndObject();
    void BeginArray();
    void EndArray();
    // The name of the next member; only inside an object, before each value.
    void Key(std::string_view key);

    void String(std::string_view text);
    void Number(std::int64_t value);
    void Number(int value) { Number(std::int64_t{value}); }
    void Number(std::uint32_t value) { Number(std::int64_t{value}); }
    void Number(double value);
    void Number(float value);
    void Bool(bool value);
    void Null();

    // A member: the key and its value at once.
    void Member(std::string_view key, std::string_view text) {
        Key(key);
        String(text);
    }
    void Member(std::string_view key, const char* text) { Member(key, std::string_view(text)); }
    void Member(std::string_view key, const std::string& text) {
        Member(key, std::string_view(text));
    }
    void Member(std::string_view key, std::int64_t value) {
        Key(key);
        Number(value);
    }
    void Member(std::string_view key, int value) { Member(key, std::int64_t{value}); }
    void Member(std::string_view key, std::uint32_t value) { Member(key, std::int64_t{value}); }
    void Member(std::string_view key, double value) {
        Key(key);
        Number(value);
    }
    void Member(std::string_view key, float value) {
        Key(key);
        Number(value);
    }
    void Member(std::string_view key, bool value) {
        Key(key);
        Bool(value);
    }

    // Whether one whole value has been written and every object and array is closed.
    bool IsComplete() const { return m_done && m_levels.empty(); }

private:
    struct tLevel {
        bool object = false;
        bool empty = true;
        bool keyGiven = false; // an object's key waits for its value
    };

    // What comes before a value: the separator and line break inside a container.
    void BeforeValue();
    void Begin(bool object, char open);
    void End(bool object, char close);
    void Indent(std::size_t depth);

    std::string& m_out;
    std::vector<tLevel> m_levels;
    bool m_done = false;
};

} // namespace hwc
