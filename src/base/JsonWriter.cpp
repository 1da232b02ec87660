#include "base/JsonWriter.h"

#include <array>
#include <cassert>
#include <charconv>
#include <cmath>

namespace hwc {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendCodeUnitEscape(std::string& out, unsigned char byte) {
    out += "\\u00";
    out += kHexDigits[byte >> 4];
    out += kHexDigits[byte & 0xF];
}

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length of the well-formed UTF-8 sequence of two bytes or more at the start of `text`, or 0.
// The second byte's range excludes overlong forms, surrogates and code points above U+10FFFF.
std::size_t WellFormedSequenceLength(std::string_view text) {
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = at(0);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0; // below: overlong
        else if (lead == 0xED)
            high = 0x9F; // above: surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90; // below: overlong
        else if (lead == 0xF4)
            high = 0x8F; // above: beyond U+10FFFF
    } else {
        return 0;
    }
    if (text.size() < length || at(1) < low || at(1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (!IsContinuation(at(i)))
            return 0;
    }
    return length;
}

template <typename T> std::string ShortestNumber(T value) {
    if (!std::isfinite(value))
        return "null";
    std::array<char, 64> buffer{};
    const auto [end, error] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    assert(error == std::errc());
    return std::string(buffer.data(), end);
}

} // namespace

std::string JsonQuoted(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out += '"';
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x80) {
            switch (byte) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (byte < 0x20 || byte == 0x7F)
                    AppendCodeUnitEscape(out, byte);
                else
                    out += static_cast<char>(byte);
            }
            ++i;
            continue;
        }
        const std::size_t length = WellFormedSequenceLength(text.substr(i));
        if (length == 0) {
            // Not UTF-8: the byte stands for the code point of its value.
            AppendCodeUnitEscape(out, byte);
            ++i;
        } else {
            out.append(text.substr(i, length));
            i += length;
        }
    }
    out += '"';
    return out;
}

std::string JsonNumber(float value) {
    return ShortestNumber(value);
}

std::string JsonNumber(double value) {
    return ShortestNumber(value);
}

void CJsonWriter::Indent(std::size_t depth) {
    m_out += '\n';
    m_out.append(depth * 2, ' ');
}

void CJsonWriter::BeforeValue() {
    if (m_levels.empty()) {
        assert(!m_done && "a JSON text holds one value");
        return;
    }
    tLevel& level = m_levels.back();
    if (level.object) {
        assert(level.keyGiven && "an object member needs its key first");
        level.keyGiven = false;
        return; // Key() wrote the separator and the line break
    }
    if (!level.empty)
        m_out += ',';
    level.empty = false;
    Indent(m_levels.size());
}

void CJsonWriter::Key(std::string_view key) {
    assert(!m_levels.empty() && m_levels.back().object && "a key belongs inside an object");
    tLevel& level = m_levels.back();
    assert(!level.keyGiven && "a key needs its value before the next key");
    if (!level.empty)
        m_out += ',';
    level.empty = false;
    level.keyGiven = true;
    Indent(m_levels.size());
    m_out += JsonQuoted(key);
    m_out += ": ";
}

void CJsonWriter::Begin(bool object, char open) {
    BeforeValue();
    m_out += open;
    m_levels.push_back({object, true, false});
}

void CJsonWriter::End(bool object, char close) {
    assert(!m_levels.empty() && m_levels.back().object == object && "unbalanced JSON container");
    assert(!m_levels.back().keyGiven && "a key without its value");
    const bool empty = m_levels.back().empty;
    m_levels.pop_back();
    if (!empty)
        Indent(m_levels.size());
    m_out += close;
    if (m_levels.empty())
        m_done = true;
}

void CJsonWriter::BeginObject() {
    Begin(true, '{');
}

void CJsonWriter::EndObject() {
    End(true, '}');
}

void CJsonWriter::BeginArray() {
    Begin(false, '[');
}

void CJsonWriter::EndArray() {
    End(false, ']');
}

void CJsonWriter::String(std::string_view text) {
    BeforeValue();
    m_out += JsonQuoted(text);
    m_done = m_levels.empty();
}

void CJsonWriter::Number(std::int64_t value) {
    BeforeValue();
    m_out += std::to_string(value);
    m_done = m_levels.empty();
}

void CJsonWriter::Number(double value) {
    BeforeValue();
    m_out += JsonNumber(value);
    m_done = m_levels.empty();
}

void CJsonWriter::Number(float value) {
    BeforeValue();
    m_out += JsonNumber(value);
    m_done = m_levels.empty();
}

void CJsonWriter::Bool(bool value) {
    BeforeValue();
    m_out += value ? "true" : "false";
    m_done = m_levels.empty();
}

void CJsonWriter::Null() {
    BeforeValue();
    m_out += "null";
    m_done = m_levels.empty();
}

} // namespace hwc
