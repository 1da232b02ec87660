#include "model/ModuleLink.h"

#include <climits>
#include <vector>

#include "base/NumberScan.h"
#include "base/TextUtil.h"

namespace {

// Decodes "%XX" escapes. An escape without two hex digits, and "%00", which would put a NUL
// byte into a caption or a tool-tip, are kept as written.
std::string Unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            const int high = hwc::HexDigitValue(text[i + 1]);
            const int low = hwc::HexDigitValue(text[i + 2]);
            if (high >= 0 && low >= 0 && (high | low) != 0) {
                out += static_cast<char>(high * 16 + low);
                i += 2;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

// The length of the scheme at the start of the link (0 when it is no module link).
std::size_t SchemeLength(std::string_view link, bool& noActivate) {
    for (std::string_view scheme : {"hwc:", "hwcna:"}) {
        if (link.size() >= scheme.size() &&
            hwc::EqualsNoCase(link.substr(0, scheme.size()), scheme)) {
            noActivate = scheme.size() > 4;
            return scheme.size();
        }
    }
    return 0;
}

void ParseQuery(std::string_view rawQuery, std::map<std::string, std::string>& parameters) {
    for (const std::string& piece : hwc::Split(rawQuery, '&')) {
        const std::size_t equals = piece.find('=');
        const std::string_view rawKey = std::string_view(piece).substr(0, equals);
        std::string key = hwc::ToLower(hwc::Trim(Unescape(rawKey)));
        if (key.empty())
            continue;
        parameters[key] =
            equals == std::string::npos ? std::string() : Unescape(piece.substr(equals + 1));
    }
}

} // namespace

std::string LinkText(std::string_view instanceName, std::string_view typeKey,
                     std::string_view displayName, const char* text, std::uint32_t controlId,
                     const char* query, bool noActivate) {
    std::string link = noActivate ? "hwcna:" : "hwc:";
    link.append(instanceName).append("/").append(typeKey);
    if (controlId != 0)
        link.append("/").append(std::to_string(controlId));
    if (query != nullptr && *query != '\0')
        link.append("?").append(query);

    std::string_view shown = displayName.empty() ? instanceName : displayName;
    if (text != nullptr)
        shown = text;
    std::string anchor = "<A HREF=\"";
    anchor.append(link).append("\">").append(shown).append("</A>");
    return anchor;
}

tModuleLink ParseModuleLink(std::string_view link) {
    tModuleLink result;
    link = link.substr(0, kModuleLinkMax);
    std::size_t start = SchemeLength(link, result.noActivate);
    if (start == 0)
        return result;
    result.isModuleLink = true;
    while (start < link.size() && link[start] == '/')
        ++start;
    const std::string_view rest = link.substr(start);
    const std::size_t questionMark = rest.find('?');
    const std::vector<std::string> path = hwc::Split(rest.substr(0, questionMark), '/');
    result.instanceName = path[0];
    if (path.size() > 1)
        result.typeKey = path[1];
    if (path.size() > 2)
        result.controlReference = Unescape(path[2]);
    if (questionMark == std::string_view::npos)
        return result;
    const std::string_view rawQuery = rest.substr(questionMark + 1);
    result.query = Unescape(rawQuery);
    ParseQuery(rawQuery, result.parameters);
    return result;
}

int ControlIdOfReference(std::string_view reference) {
    if (reference.empty() || reference[0] < '0' || reference[0] > '9')
        return 0;
    const auto id = hwc::ReadLeadingU32(reference);
    // Sub-page ids from 0x8000 up fill the highest bit: such ids are kept as their bit pattern.
    // All bits set is no control at all.
    if (!id || *id == 0xFFFFFFFFu)
        return 0;
    return static_cast<int>(*id);
}

tAnchor SplitAnchor(std::string_view controlText) {
    const std::string upper = hwc::ToUpper(controlText);
    const std::size_t open = upper.find("<A HREF=\"");
    if (open == std::string::npos)
        return {std::string(controlText), std::string(controlText)};
    const std::size_t linkStart = open + 9;
    const std::size_t linkEnd = upper.find('"', linkStart);
    const std::size_t textStart = linkEnd == std::string::npos ? linkEnd : upper.find('>', linkEnd);
    if (textStart == std::string::npos)
        return {std::string(controlText), std::string(controlText)};
    const std::size_t textEnd = upper.find("</A>", textStart);
    tAnchor anchor;
    anchor.link = std::string(controlText.substr(linkStart, linkEnd - linkStart));
    anchor.text = std::string(controlText.substr(0, open));
    anchor.text += controlText.substr(textStart + 1, textEnd == std::string::npos
                                                         ? std::string_view::npos
                                                         : textEnd - textStart - 1);
    if (textEnd != std::string::npos)
        anchor.text += controlText.substr(textEnd + 4);
    return anchor;
}
