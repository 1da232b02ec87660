#pragma once
// Module links: "hwc:" (or "hwcna:", which leaves the shown page alone) followed by
// instance/typekey/control and an optional "?key=value&..." query. The information view,
// warnings and pin states use them to jump to a control of a module page.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

// Links are read up to this many characters; the rest is ignored.
inline constexpr std::size_t kModuleLinkMax = 1024;

// The parts of a link as the framework uses them.
struct tModuleLink {
    bool isModuleLink = false;    // "hwc:" or "hwcna:"; any other link is opened by the desktop
    bool noActivate = false;      // "hwcna:": the page shown does not change
    std::string instanceName;     // as written in the link, to find the module
    std::string typeKey;          // as written in the link
    std::string controlReference; // unescaped: a control id, or the caption of a control
    std::string query;            // unescaped text after the first '?'
    std::map<std::string, std::string> parameters; // query keys lower-cased and trimmed
};

// An anchor "<A HREF=\"link\">text</A>" for a module link to a control (none when controlId is
// 0). The text defaults to the display name, or the instance name when that is empty; an empty
// query adds no '?'.
std::string LinkText(std::string_view instanceName, std::string_view typeKey,
                     std::string_view displayName, const char* text, std::uint32_t controlId,
                     const char* query, bool noActivate);

// Splits a link into its parts. Slashes after the scheme are skipped. The control reference
// and each query key and value are unescaped after splitting, so "%26", "%3D" and "%2F" stay
// inside the part they belong to; malformed escapes and "%00" are kept as written.
tModuleLink ParseModuleLink(std::string_view link);

// The control id a reference names when it begins with a digit (read as C reads "%i"; a
// sub-page control is sub-page id * 0x10000 + control id). 0 when it does not begin with a
// digit, meaning "find the control by its caption", and also for "0" and for numbers that are
// no control id (beyond 32 bits, or all bits set). Ids above INT_MAX come back as the int of
// the same bits, as sub-pages from 0x8000 up give them.
int ControlIdOfReference(std::string_view reference);

// The address and the shown text of a control text that holds an anchor
// "<A HREF=\"link\">text</A>" (the case of the tags does not matter). A text without an anchor
// is its own address and shown text.
struct tAnchor {
    std::string link;
    std::string text;
};
tAnchor SplitAnchor(std::string_view controlText);
