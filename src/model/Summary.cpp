#include "model/Summary.h"

#include <iterator>

#include "base/TextUtil.h"
#include "header/HeaderWriter.h"

namespace hwc {
namespace {

struct tCheckBoxWording {
    const char* checked;
    const char* unchecked;
};

// Indexed by style (0 serves every style without a wording of its own); the shorter word of a
// pair is padded so that values line up.
constexpr tCheckBoxWording kCheckBoxWordings[] = {
    {"Enable ", "Disable"}, {"Enabled ", "Disabled"}, {"On ", "Off"},
    {"Yes", "No "},         {"True ", "False"},       {"1", "0"},
};
constexpr std::uint32_t kDescriptionOnlyStyle = 6;

// The binding's text with doubled separators folded and leading ':' and blanks removed.
std::string CleanedText(std::string_view raw) {
    std::string text = ReplaceAll(raw, ": : ", ": ");
    text = ReplaceAll(text, "::", ":");
    text = ReplaceAll(text, "&&", "&");
    const std::size_t start = text.find_first_not_of(": \t");
    return start == std::string::npos ? std::string() : text.substr(start);
}

// The summary lines below the dashes, built entry by entry.
class CSummaryBuilder {
public:
    void Add(const COMMENTITEM& item) {
        const std::uint32_t flags = item.flags;
        bool joined = (m_prevFlags & (SumFlag::CONTINUE_LINE | SumFlag::NO_SEPARATOR)) != 0;
        bool commaJoined = (m_prevFlags & SumFlag::CONTINUE_LINE) != 0;
        if (joined && (flags & SumFlag::NEW_LINE)) {
            m_out += '\n';
            m_prevFlags = 0;
            joined = commaJoined = false;
        }
        const char* indent = joined ? "" : (flags & SumFlag::INDENT8) ? "        " : "    ";
        const std::string separator = Separator(flags);

        std::string text;
        if (item.binding && item.binding->IsActive())
            text = CleanedText(item.binding->GetSummaryText(true, flags & SumFlag::WORDING_MASK));
        AlignUnderPreviousLabel(text);

        if (text.empty()) {
            // An inactive entry still ends a line that the entry before it continued.
            if (commaJoined && !(flags & SumFlag::CONTINUE_LINE)) {
                m_out += separator;
                m_prevFlags = flags;
            }
            return;
        }
        m_out += indent;
        m_out += text;
        m_out += separator;
        if (!commaJoined)
            m_prevLabel = m_lastLabel;
        m_prevFlags = flags;
    }

    const std::string& Lines() const { return m_out; }

private:
    static std::string Separator(std::uint32_t flags) {
        std::string separator = (flags & SumFlag::CONTINUE_LINE) ? ", " : "\n";
        if (flags & SumFlag::BREAK_AFTER)
            separator += '\n';
        else if (flags & SumFlag::NO_SEPARATOR)
            separator.clear();
        return separator;
    }

    // A label repeated from the entry above is replaced by blanks so that the value stands
    // under the previous value; after ", " the value follows directly.
    void AlignUnderPreviousLabel(std::string& text) {
        const std::size_t colon = text.find(": ");
        if (colon == std::string::npos || colon == 0)
            return;
        m_lastLabel = text.substr(0, colon);
        if (m_lastLabel != m_prevLabel)
            return;
        const std::string value = text.substr(colon + 2);
        text = EndsWith(m_out, ", ") ? value : std::string(colon + 2, ' ') + value;
    }

    std::string m_out;
    std::string m_prevLabel;
    std::string m_lastLabel;
    std::uint32_t m_prevFlags = 0;
};

} // namespace

std::string SummaryText(std::string_view title, const std::vector<COMMENTITEM>& items,
                        bool generateComments) {
    CSummaryBuilder builder;
    if (generateComments) {
        for (const COMMENTITEM& item : items)
            builder.Add(item);
    }
    return ModuleSectionHeader(title, builder.Lines(), generateComments);
}

std::vector<tSettingText> SummarySettings(const std::vector<COMMENTITEM>& items) {
    std::vector<tSettingText> settings;
    for (const COMMENTITEM& item : items) {
        if (!item.binding || !item.binding->IsActive())
            continue;
        const std::string text =
            CleanedText(item.binding->GetSummaryText(true, item.flags & SumFlag::WORDING_MASK));
        const std::string_view trimmed = TrimRight(text);
        if (trimmed.empty())
            continue;
        const std::size_t colon = trimmed.find(": ");
        if (colon == std::string_view::npos || colon == 0)
            settings.push_back({std::string(), std::string(trimmed)});
        else
            settings.push_back({std::string(trimmed.substr(0, colon)),
                                std::string(Trim(trimmed.substr(colon + 2)))});
    }
    return settings;
}

std::string CheckBoxSummaryWording(std::string_view description, bool checked,
                                   std::uint32_t layoutFlags) {
    if (layoutFlags == kDescriptionOnlyStyle)
        return checked ? std::string(description) : std::string();
    std::uint32_t style = layoutFlags & SumFlag::STYLE_MASK;
    if (style >= std::size(kCheckBoxWordings))
        style = 0;
    const tCheckBoxWording& wording = kCheckBoxWordings[style];
    return std::string(description) + ": " + (checked ? wording.checked : wording.unchecked);
}

} // namespace hwc
