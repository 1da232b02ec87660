#pragma once
// The configuration summary that heads a module's block in the header: one line (or part of a
// line) per summary entry, each produced by a setting binding.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What a setting binding offers the summary.
class ISummarySource {
public:
    virtual ~ISummarySource() = default;
    // The binding takes part in the summary: always active, or enabled, and its control enabled
    // and shown.
    virtual bool IsActive() const = 0;
    // The binding's summary text; the description alone without `withValue`. `layoutFlags` holds
    // only the wording bits (hwc::SumFlag::WORDING_MASK).
    virtual std::string GetSummaryText(bool withValue, std::uint32_t layoutFlags) const = 0;
};

// One summary entry: a binding and how its text is laid out.
struct COMMENTITEM {
    ISummarySource* binding;
    std::uint32_t flags; // hwc::SumFlag bits
};

namespace hwc {

namespace SumFlag {
inline constexpr std::uint32_t STYLE_MASK = 0x00FF;    // wording style for the binding
inline constexpr std::uint32_t QUOTED = 0x0100;        // value in double quotes
inline constexpr std::uint32_t ALTERNATE = 0x0200;     // mode: no label; hex value: no "0x"
inline constexpr std::uint32_t BREAK_AFTER = 0x0400;   // a line break after the separator
inline constexpr std::uint32_t INDENT8 = 0x1000;       // indent by 8 blanks instead of 4
inline constexpr std::uint32_t NEW_LINE = 0x2000;      // end a continued line before this entry
inline constexpr std::uint32_t CONTINUE_LINE = 0x4000; // ", " after this entry, not a line end
inline constexpr std::uint32_t NO_SEPARATOR = 0x8000;  // nothing after this entry
inline constexpr std::uint32_t LAYOUT_MASK = 0xFC00;   // layout bits the binding never sees
inline constexpr std::uint32_t WORDING_MASK = ~LAYOUT_MASK;
} // namespace SumFlag

// The summary of a module titled `title`: the title line and the dashes, then, with
// `generateComments`, the entries' texts; trailing white space removed. Safe inside a comment.
std::string SummaryText(std::string_view title, const std::vector<COMMENTITEM>& items,
                        bool generateComments);

// One entry of a summary in words, with its label even where the summary lines it up under the
// label above: "Clock Prescaler" and "/ 8". An entry without a label has only a value.
struct tSettingText {
    std::string label;
    std::string value;
};

// The active entries of a summary, in order, whatever the comment option (empty texts left out).
std::vector<tSettingText> SummarySettings(const std::vector<COMMENTITEM>& items);

// The summary text of a check box: `description`, ": " and the wording of the style in the low
// byte of `layoutFlags` (flags of exactly 6: the description alone when checked, else empty).
std::string CheckBoxSummaryWording(std::string_view description, bool checked,
                                   std::uint32_t layoutFlags);

} // namespace hwc
