#include "modules/system/DmaSettings.h"

#include <string>

#include "base/NumberScan.h"
#include "base/TextUtil.h"

namespace hwc {

namespace {

bool ParseSigned(std::uint32_t& value, const std::string& text, void*, int bits) {
    const std::string_view trimmed = Trim(text);
    const std::optional<ScannedInteger> number = ScanInteger(trimmed);
    if (!number || number->overflow || number->end != trimmed.size())
        return false;
    const std::int64_t lowest = -(std::int64_t{1} << (bits - 1));
    const std::int64_t highest = (std::int64_t{1} << bits) - 1;
    if (number->value < lowest || number->value > highest)
        return false;
    const std::uint64_t mask = (std::uint64_t{1} << bits) - 1;
    value = static_cast<std::uint32_t>(static_cast<std::uint64_t>(number->value) & mask);
    return true;
}

void FormatSigned(std::string& text, std::uint32_t value, void*, int bits) {
    text = std::to_string(SignedField(value, bits));
}

} // namespace

bool ReadDmaSourceLine(const std::vector<std::string>& fields, int maxRequest,
                       std::span<tDmaSources> channels) {
    if (fields.empty() || Trim(fields.front()) != "in")
        return false;
    if (fields.size() < 2)
        return true;
    const auto request = ReadExactU32(Trim(fields[1]));
    if (!request || *request > static_cast<std::uint32_t>(maxRequest))
        return true;
    const std::size_t index = *request;
    for (std::size_t channel = 0; channel < channels.size(); ++channel) {
        const std::size_t field = 2 + channel;
        if (field >= fields.size())
            break;
        const std::string source(Trim(fields[field]));
        if (source.empty())
            continue;
        tDmaSources& sources = channels[channel];
        if (sources.labels.size() <= index) {
            sources.labels.resize(index + 1);
            sources.modules.resize(index + 1);
        }
        if (ToLower(source) == "reserved") {
            sources.labels[index] = "Reserved";
            sources.modules[index] = "Reserved";
        } else if (const std::size_t colon = source.find(':'); colon != std::string::npos) {
            sources.modules[index] = Trim(std::string_view(source).substr(0, colon));
            sources.labels[index] = Trim(std::string_view(source).substr(colon + 1));
        } else {
            sources.labels[index] = source;
            sources.modules[index].clear();
        }
    }
    return true;
}

std::int64_t SignedField(std::uint32_t value, int bits) {
    if (bits <= 0 || bits > 32)
        return 0;
    const std::uint64_t mask = (std::uint64_t{1} << bits) - 1;
    const std::uint64_t field = value & mask;
    const std::uint64_t sign = std::uint64_t{1} << (bits - 1);
    return (field & sign) ? static_cast<std::int64_t>(field) - (std::int64_t{1} << bits)
                          : static_cast<std::int64_t>(field);
}

void UseSignedText(CSetValue& binding, int bits) {
    binding.SetTextHandlers(&ParseSigned, &FormatSigned, nullptr, bits);
}

tLayoutItem NaturalWidth(tLayoutItem item) {
    tLayoutItem column = dlg::Column({});
    column.children.push_back(std::move(item));
    return column;
}

tLayoutItem NaturalRow(std::initializer_list<tLayoutItem> items) {
    tLayoutItem row = dlg::Row({});
    for (const tLayoutItem& item : items)
        row.children.push_back(NaturalWidth(item));
    return row;
}

} // namespace hwc
