#include "model/RegisterValue.h"

#include <cstdint>

#include "base/FixedText.h"
#include "base/NumberScan.h"
#include "base/TextUtil.h"

using namespace hwc;

namespace {

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool ReadsAsOneFloat(std::string_view text) {
    if (!ReadExactDouble(text))
        return false;
    // The exact reading leaves no trailing blanks, so the last character is the last non-blank.
    return !text.empty() && !IsLetter(text.back());
}

} // namespace

std::string FormatRegisterValue(const tPerCfgItem& item, bool withSuffix) {
    if (item.dwFlags & RegFlag::STRVALUE)
        return std::string(FieldText(item.szValue));
    if (item.dwFlags & RegFlag::DECVALUE)
        return Format("%d", static_cast<std::int32_t>(item.dwValue));
    const char* format = nullptr;
    switch (RegisterWidth(item.dwFlags)) {
    case 2:
        format = withSuffix ? "0x%04XU" : "0x%04X";
        break;
    case 4:
        format = withSuffix ? "0x%08XU" : "0x%08X";
        break;
    default:
        format = withSuffix ? "0x%02XU" : "0x%02X";
        break;
    }
    return Format(format, item.dwValue);
}

std::string WrittenValueText(const tPerCfgItem& item) {
    if (!(item.dwFlags & RegFlag::STRVALUE))
        return FormatRegisterValue(item, true);
    const std::string_view value = FieldText(item.szValue);
    if (item.dwFlags & RegFlag::QUOTEDVALUE)
        return "\"" + std::string(value) + "\"";
    return std::string(value);
}

bool ParseRegisterValue(std::string_view text, tPerCfgItem& item, std::string& message) {
    if (item.dwFlags & RegFlag::STRVALUE) {
        if ((item.dwFlags & RegFlag::FLOAT) && !ReadsAsOneFloat(text)) {
            message = "This value must be a floating point number";
            return false;
        }
        CopyCut(item.szValue, text);
        item.dwValue = 1;
        return true;
    }
    const std::uint32_t limit = RegisterLimit(item.dwFlags);
    const auto number = ReadExactU32(text);
    if (!number || (*number & ~limit) != 0) {
        message = Format("This register value must be a number between 0 and 0x%x", limit);
        return false;
    }
    item.dwValue = *number;
    return true;
}

bool IsFalseWord(std::string_view text) {
    if (!text.empty() && (text[0] == '0' || text[0] == 'N' || text[0] == 'n'))
        return true;
    return EqualsNoCase(text, "false");
}

bool IsTrueWord(std::string_view text) {
    if (!text.empty() && (text[0] == '1' || text[0] == 'Y' || text[0] == 'y'))
        return true;
    return EqualsNoCase(text, "true");
}
