#pragma once
// The words a reader knows a page's setting by, shared by Find and the export: captions on one
// line, the label that heads a control and, for a choice list nobody labelled, its entries.

#include <cstdint>
#include <string>
#include <string_view>

class CModuleBase;
class CPageControl;
class ISummarySource;

namespace hwc {

// A text on one line: line ends and other control characters as blanks, doubled blanks folded,
// no blanks at the ends.
std::string OneLine(std::string_view raw);

// A caption as a person reads it: on one line, "&&" as "&", the summary's "##suffix" and
// trailing colons removed.
std::string ReadableCaption(std::string_view raw);

// The caption of `before`, the control just before a setting in dialog order, when it is a label
// that heads the setting; a label with tabs heads the columns of a list and names none of them.
std::string LabelCaption(const CPageControl* before);

// What names a choice list that has no label, description or caption of its own: its entries,
// which then say it all ("Count up / Count down"). Empty for any other control.
std::string EntriesCaption(const CPageControl& control);

// The wording flags the module's summary gives the binding; 0 when the summary leaves it out.
std::uint32_t SummaryWordingOf(const CModuleBase& module, const ISummarySource* binding);

} // namespace hwc
