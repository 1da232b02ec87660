#pragma once
// What the two comparator kinds share: the delay their input filter adds to the output, and the
// warning about an input taken from another module that is not enabled.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CModuleBase;

namespace hwc {

// One entry of a comparator's input list: its text and the module whose output it carries
// (empty for a device pin or a source inside the comparator).
struct tComparatorInput {
    const char* text;
    const char* source;
};

// The texts of an input list, as the page's list shows them.
std::vector<std::string> ComparatorInputTexts(const std::vector<tComparatorInput>& inputs);
// The entries of a filter sample-count list: "Filter disabled", "1 sample", "2 samples" ...
// "7 samples".
std::vector<std::string> ComparatorFilterCounts();

// The delay in seconds that the input filter adds, with `count` the sample-count code and
// `period` the sampling period in bus clocks; 0 without a bus clock. Windowing alone delays by
// one bus clock while the filter is off, else by count x period + 2 clocks; with neither mode
// the filter is off (0) when count or period is 0, two clocks for a count of 1 and
// count x period + 1 clocks otherwise; sampling mode adds nothing.
double ComparatorFilterDelay(bool windowing, bool sampling, std::uint32_t count,
                             std::uint32_t period, double busHz);

// The warning for a comparator input fed by `source`, or an empty text while the source is
// enabled, does not exist or is empty. The DAC and the reference DACs have texts of their own.
std::string ComparatorSourceWarning(const CModuleBase& comparator, std::string_view source);

} // namespace hwc
