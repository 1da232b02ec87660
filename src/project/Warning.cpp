#include "project/Warning.h"

#include "base/TextUtil.h"

namespace hwc {

std::string StripMarkup(std::string_view message) {
    std::string text;
    text.reserve(message.size());
    std::size_t pos = 0;
    while (pos < message.size()) {
        const std::size_t open = message.find('<', pos);
        if (open == std::string_view::npos) {
            text.append(message.substr(pos));
            break;
        }
        text.append(message.substr(pos, open - pos));
        const std::size_t close = message.find('>', open);
        if (close == std::string_view::npos)
            break;
        pos = close + 1;
    }
    return text;
}

std::string FirstLinkTarget(std::string_view message) {
    const std::size_t tag = message.find("<A");
    if (tag == std::string_view::npos)
        return {};
    const std::size_t tagEnd = message.find('>', tag);
    const std::string_view tagText =
        message.substr(tag, tagEnd == std::string_view::npos ? std::string_view::npos : tagEnd - tag);
    std::size_t pos = tagText.find("HREF");
    if (pos == std::string_view::npos)
        return {};
    pos = tagText.find('=', pos);
    if (pos == std::string_view::npos)
        return {};
    ++pos;
    while (pos < tagText.size() && IsSpace(tagText[pos]))
        ++pos;
    if (pos < tagText.size() && tagText[pos] == '"') {
        const std::size_t end = tagText.find('"', pos + 1);
        return std::string(tagText.substr(pos + 1, end == std::string_view::npos
                                                       ? std::string_view::npos
                                                       : end - pos - 1));
    }
    std::size_t end = pos;
    while (end < tagText.size() && !IsSpace(tagText[end]))
        ++end;
    return std::string(tagText.substr(pos, end - pos));
}

std::string WarningListText(std::string_view text) {
    std::string plain = StripMarkup(text);
    std::string_view rest = plain;
    if (rest.size() >= 8 && EqualsNoCase(rest.substr(0, 8), "Warning:"))
        rest.remove_prefix(8);
    else if (rest.size() >= 6 && EqualsNoCase(rest.substr(0, 6), "Error:"))
        rest.remove_prefix(6);
    return std::string(TrimLeft(rest));
}

} // namespace hwc

const CWarning* CWarningList::Set(CModuleBase* owner, int id, bool active, const char* message,
                                  const char* detail) {
    auto found = m_warnings.begin();
    while (found != m_warnings.end() && !((*found)->owner == owner && (*found)->id == id))
        ++found;

    if (!active) {
        if (found != m_warnings.end())
            m_warnings.erase(found);
        return nullptr;
    }
    if (found == m_warnings.end()) {
        m_warnings.push_back(std::make_unique<CWarning>());
        found = std::prev(m_warnings.end());
    }
    CWarning& warning = **found;
    warning.owner = owner;
    warning.id = id;
    warning.text = hwc::WarningListText(detail ? detail : (message ? message : ""));
    warning.linkTarget = message ? hwc::FirstLinkTarget(message) : std::string();
    return &warning;
}

void CWarningList::RemoveOwner(const CModuleBase* owner) {
    std::erase_if(m_warnings, [owner](const auto& warning) { return warning->owner == owner; });
}
