#include "model/RegisterItem.h"

#include "base/FixedText.h"
#include "base/TextUtil.h"

namespace hwc {
namespace {

struct KeywordFlag {
    std::string_view keyword;
    std::uint32_t flags;
};

constexpr KeywordFlag kKeywordFlags[] = {
    {"DW8", RegFlag::DW8},
    {"DW16", RegFlag::DW16},
    {"DW32", RegFlag::DW32},
    {"NODEFAULT", RegFlag::NODEFAULT},
    {"NONCRITICAL", RegFlag::NONCRITICAL},
    {"NOVALUE", RegFlag::NOVALUE},
    {"STRVALUE", RegFlag::STRVALUE},
    {"QUOTEDVALUE", RegFlag::QUOTEDVALUE},
    {"DECVALUE", RegFlag::DECVALUE},
    {"SIGNEDVALUE", RegFlag::SIGNEDVALUE},
    {"INTERNAL", RegFlag::INTERNAL},
    {"NOIMPORT", RegFlag::NOIMPORT},
    {"DUMMYREG", RegFlag::DUMMYREG},
    {"NOSHOWLIST", RegFlag::NOSHOWLIST},
    {"NOEDITLIST", RegFlag::NOEDITLIST},
    {"FLOATVALUE", RegFlag::FLOATVALUE},
};

bool IsNoteSeparator(char c) {
    return IsSpace(c) || c == '~';
}

} // namespace

std::uint32_t RegisterFlagFromKeyword(std::string_view keyword) {
    for (const auto& entry : kKeywordFlags) {
        if (entry.keyword == keyword)
            return entry.flags;
    }
    return 0;
}

std::uint32_t RegisterFlagsFromKeywords(std::string_view keywords) {
    std::uint32_t flags = 0;
    for (const auto& word : Split(keywords, '|'))
        flags |= RegisterFlagFromKeyword(Trim(word));
    return flags;
}

void SetItemDefinition(tPerCfgItem& item, const tPerCfgDef& definition) {
    std::string_view text = definition.pszName ? definition.pszName : "";
    text = text.substr(0, sizeof(item.szName) - 1);
    std::size_t cut = 0;
    while (cut < text.size() && !IsNoteSeparator(text[cut]))
        ++cut;
    CopyCut(item.szName, text.substr(0, cut));
    std::string_view note = cut < text.size() ? TrimLeft(text.substr(cut + 1)) : std::string_view();
    CopyCut(item.szNote, note);
    item.dwDefault = definition.dwDefault;
    item.dwFlags = definition.dwFlags;
}

} // namespace hwc
