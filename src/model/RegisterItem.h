#pragma once
// Register items: one per register initialisation value or configuration define of a module,
// with the flags that say how the value is written, read and shown.

#include <cstdint>
#include <string_view>
#include <type_traits>

// One register item. A plain record: items live by value in a module's fixed array, and
// bindings, views and the automation interface keep direct references to them.
struct tPerCfgItem {
    char szName[80]; // name after the module prefix; a leading '-' means no prefix
    std::uint32_t dwDefault;
    std::uint32_t dwValue; // for STRVALUE and NOVALUE items: 1 when present, 0 when not
    char szValue[80];      // string value; after loading, the raw value text of the define
    std::uint32_t dwSaved; // dwValue as last loaded or saved
    char szSaved[80];      // szValue as last loaded or saved
    char szComment[256];   // comment that followed the define in the loaded header
    char szNote[16];       // short annotation shown after the define name
    std::uint32_t dwFlags; // RegFlag bits
};

static_assert(std::is_standard_layout_v<tPerCfgItem>);
static_assert(std::is_trivially_copyable_v<tPerCfgItem>);

// One entry of a module's static definition table. The name may carry a note after the first
// blank or '~', e.g. "ADCR1_INIT~A1".
struct tPerCfgDef {
    const char* pszName;
    std::uint32_t dwDefault;
    std::uint32_t dwFlags;
};

namespace hwc {

namespace RegFlag {
inline constexpr std::uint32_t DW8 = 0x1;
inline constexpr std::uint32_t DW16 = 0x2;
inline constexpr std::uint32_t DW32 = 0x4;
inline constexpr std::uint32_t WIDTH_MASK = 0x7;
inline constexpr std::uint32_t NODEFAULT = 0x10;    // written even when equal to the default
inline constexpr std::uint32_t NONCRITICAL = 0x20;  // changes neither count nor modify
inline constexpr std::uint32_t NOVALUE = 0x40;      // bare define: present or absent
inline constexpr std::uint32_t STRVALUE = 0x80;     // the value is the text szValue
inline constexpr std::uint32_t QUOTEDVALUE = 0x100; // string in double quotes
inline constexpr std::uint32_t SIGNEDVALUE = 0x100; // numeric: not masked to the width
inline constexpr std::uint32_t DECVALUE = 0x200;    // written as signed decimal
inline constexpr std::uint32_t INTERNAL = 0x1000;   // kept in the internal parameter block
inline constexpr std::uint32_t NOIMPORT = 0x2000;
inline constexpr std::uint32_t DUMMYREG = 0x4000; // placeholder: never written or compared
inline constexpr std::uint32_t NOSHOWLIST = 0x8000;
inline constexpr std::uint32_t NOEDITLIST = 0x10000;
inline constexpr std::uint32_t FLOAT = 0x20000;      // string value must be a floating-point number
inline constexpr std::uint32_t FLOATVALUE = 0x20080; // FLOAT together with STRVALUE
inline constexpr std::uint32_t USERDEFINE = 0x40000; // a user define, not a hardware register
} // namespace RegFlag

// The width code of the flags: exactly 1, 2 or 4 select 8, 16 or 32 bits; any other code is
// treated as described by the functions below.
inline std::uint32_t RegisterWidth(std::uint32_t flags) {
    return flags & RegFlag::WIDTH_MASK;
}

// The largest value a numeric register of these flags accepts.
inline std::uint32_t RegisterLimit(std::uint32_t flags) {
    switch (RegisterWidth(flags)) {
    case 1:
        return 0xFF;
    case 2:
        return 0xFFFF;
    default:
        return 0xFFFFFFFF;
    }
}

// Hex digits shown for the register in self-test lines.
inline int RegisterHexDigits(std::uint32_t flags) {
    switch (RegisterWidth(flags)) {
    case 1:
        return 2;
    case 4:
        return 8;
    default:
        return 4;
    }
}

// The flag bits of one register keyword as used in plug-in register lists, 0 when unknown.
std::uint32_t RegisterFlagFromKeyword(std::string_view keyword);

// The flags of a '|'-separated keyword list; each word is trimmed, unknown words add nothing.
std::uint32_t RegisterFlagsFromKeywords(std::string_view keywords);

// Fills name, note, default and flags of an item from a definition-table entry: the name is cut
// at the first white space or '~' and the rest, after white space, becomes the note.
void SetItemDefinition(tPerCfgItem& item, const tPerCfgDef& definition);

} // namespace hwc
