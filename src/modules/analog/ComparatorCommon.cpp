#include "modules/analog/ComparatorCommon.h"

#include "base/TextUtil.h"
#include "model/ModuleBase.h"
#include "modules/analog/AnalogQueries.h"
#include "modules/framework/ModuleQueries.h"

namespace hwc {

std::vector<std::string> ComparatorInputTexts(const std::vector<tComparatorInput>& inputs) {
    std::vector<std::string> texts;
    for (const tComparatorInput& input : inputs)
        texts.emplace_back(input.text);
    return texts;
}

std::vector<std::string> ComparatorFilterCounts() {
    std::vector<std::string> items = {"Filter disabled", "1 sample"};
    for (int n = 2; n <= 7; ++n)
        items.push_back(Format("%d samples", n));
    return items;
}

double ComparatorFilterDelay(bool windowing, bool sampling, std::uint32_t count,
                             std::uint32_t period, double busHz) {
    // A bus clock of 0 (no clock module) gives no time rather than an infinite one.
    if (!(busHz > 0.0))
        return 0.0;
    const double clock = 1.0 / busHz;
    const double samples = static_cast<double>(count) * static_cast<double>(period);
    if (sampling)
        return 0.0;
    if (windowing)
        return count == 0 || period == 0 ? clock : (samples + 2.0) * clock;
    if (count == 0 || period == 0)
        return 0.0;
    if (count == 1)
        return 2.0 * clock;
    return (samples + 1.0) * clock;
}

std::string ComparatorSourceWarning(const CModuleBase& comparator, std::string_view source) {
    if (source.empty() || !CModuleBase::FindModule(comparator.Host(), source))
        return {};
    const std::string name = comparator.InstanceName();
    const std::string from(source);
    const bool reference = source.starts_with("VREF_");
    const bool converter = reference || source == "DAC" || source.starts_with("DAC_");
    const bool enabled = converter ? AnalogOutputEnabled(comparator, source, true)
                                   : ModuleEnabled(comparator, source, true);
    if (enabled)
        return {};
    if (source == "DAC")
        return Format("%s module is using DAC module output and DAC module is not enabled.",
                      name.c_str());
    if (reference)
        return Format("%s module is using %s module output and %s module is not enabled.",
                      name.c_str(), from.c_str(), from.c_str());
    return Format("%s module is using %s module output but %s module is not enabled.", name.c_str(),
                  from.c_str(), from.c_str());
}

} // namespace hwc
