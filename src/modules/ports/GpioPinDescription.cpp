#include "modules/ports/GpioPinDescription.h"

#include <algorithm>
#include <limits>

#include "base/NumberScan.h"
#include "base/TextUtil.h"

namespace hwc {

namespace {

// Bit numbers beyond any register the system module could have; kept so that the function
// they belong to stays unselectable rather than unconditional.
constexpr std::uint32_t kLargestSelectBit = 0xFFFF;

std::string Cleaned(std::string_view line) {
    std::string text;
    text.reserve(line.size());
    for (char c : line) {
        if (c != ' ' && c != '\t' && c != '"' && c != '\r')
            text += c;
    }
    return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

// The selectors a function entry names: peripheral-select bits and clock-output bits.
struct tSelectors {
    std::vector<int> select;
    std::vector<int> clockOutput;
};

tSelectors ReadSelectors(std::string_view text) {
    tSelectors selectors;
    for (const std::string& part : Split(text, ';')) {
        std::vector<int>* into = nullptr;
        std::string_view number;
        if (StartsWithNoCase(part, "CLKOSR")) {
            into = &selectors.clockOutput;
            number = std::string_view(part).substr(6);
        } else if (StartsWithNoCase(part, "GPS")) {
            into = &selectors.select;
            number = std::string_view(part).substr(3);
        } else {
            continue; // an unknown selector names nothing to write
        }
        const std::optional<std::uint32_t> bit = ReadLeadingU32(number);
        if (!bit)
            continue;
        const int value = static_cast<int>(std::min(*bit, kLargestSelectBit));
        if (std::find(into->begin(), into->end(), value) == into->end())
            into->push_back(value);
    }
    return selectors;
}

// Adds a function entry to the pin; false when the entry is ignored.
bool AddFunction(tGpioPin& pin, std::string_view entry) {
    std::string_view selectorText;
    const std::size_t colon = entry.find(':');
    if (colon != std::string_view::npos) {
        selectorText = entry.substr(0, colon);
        entry.remove_prefix(colon + 1);
    }
    const std::size_t point = entry.find('.');
    if (point == std::string_view::npos || point == 0 || point + 1 == entry.size())
        return false;
    tGpioFunction function;
    for (const std::string& owner : Split(entry.substr(0, point), '|')) {
        if (owner.empty())
            continue;
        if (function.owners.size() == kGpioMaxOwners)
            break;
        function.owners.push_back(owner);
    }
    if (function.owners.empty())
        return false;
    function.name = std::string(entry.substr(point + 1, kGpioMaxNameLength));

    const tSelectors selectors = ReadSelectors(selectorText);
    // The slots the function takes; a fourth distinct bit on the pin drops the function.
    std::array<int, kGpioMaxSelectSlots> slots = pin.selectBits;
    for (int bit : selectors.select) {
        auto taken = std::find(slots.begin(), slots.end(), bit);
        if (taken == slots.end())
            taken = std::find(slots.begin(), slots.end(), -1);
        if (taken == slots.end())
            return false;
        *taken = bit;
        function.condition |=
            tGpioPin::SetBitOfSlot(static_cast<std::size_t>(taken - slots.begin()));
    }
    int clockOutput = pin.clockOutputBit;
    for (int bit : selectors.clockOutput) {
        if (clockOutput != -1 && clockOutput != bit)
            return false;
        clockOutput = bit;
        function.condition |= GpioCond::kSetClockOut;
    }
    pin.selectBits = slots;
    pin.clockOutputBit = clockOutput;
    pin.functions.push_back(std::move(function));
    return true;
}

// Every function that does not name a slot the pin uses requires that slot's bit clear.
void AddClearConditions(tGpioPin& pin) {
    for (tGpioFunction& function : pin.functions) {
        for (std::size_t slot = 0; slot < kGpioMaxSelectSlots; ++slot) {
            if (pin.selectBits[slot] != -1 && !(function.condition & tGpioPin::SetBitOfSlot(slot)))
                function.condition |= tGpioPin::ClearBitOfSlot(slot);
        }
        if (pin.clockOutputBit != -1 && !(function.condition & GpioCond::kSetClockOut))
            function.condition |= GpioCond::kClearClockOut;
    }
}

} // namespace

std::uint32_t tGpioPin::SetBitOfSlot(std::size_t slot) {
    static constexpr std::uint32_t kBits[] = {GpioCond::kSetA, GpioCond::kSetB, GpioCond::kSetC};
    return slot < std::size(kBits) ? kBits[slot] : 0;
}

std::uint32_t tGpioPin::ClearBitOfSlot(std::size_t slot) {
    static constexpr std::uint32_t kBits[] = {GpioCond::kClearA, GpioCond::kClearB,
                                              GpioCond::kClearC};
    return slot < std::size(kBits) ? kBits[slot] : 0;
}

std::optional<tGpioPin> ParseGpioPinLine(std::string_view line) {
    const std::string text = Cleaned(line);
    const std::vector<std::string> items = Split(text, ',');
    std::string first = items.front();
    if (first.empty() || first.find('=') != std::string::npos)
        return std::nullopt;
    // The mark goes before the number is read: its leading "c" would extend a hex number.
    const std::size_t mark = ToLower(first).find("checkall");
    if (mark != std::string::npos)
        first.erase(mark);
    const std::optional<std::uint32_t> number = ReadLeadingU32(first);
    if (!number || *number >= static_cast<std::uint32_t>(kGpioPinCount))
        return std::nullopt;
    tGpioPin pin;
    pin.pin = static_cast<int>(*number);
    pin.checkAll = mark != std::string::npos;
    for (std::size_t i = 1; i < items.size(); ++i) {
        if (pin.functions.size() == kGpioMaxFunctions)
            break;
        AddFunction(pin, items[i]);
    }
    if (pin.functions.empty())
        pin.functions.push_back(tGpioFunction{kGpioVoidFunction, {}, 0});
    AddClearConditions(pin);
    return pin;
}

tGpioPinTable ParseGpioPins(std::string_view moduleInfoText) {
    tGpioPinTable pins;
    for (const std::string& line : Split(moduleInfoText, '\n')) {
        std::optional<tGpioPin> pin = ParseGpioPinLine(line);
        if (!pin || pins[static_cast<std::size_t>(pin->pin)])
            continue;
        const std::size_t index = static_cast<std::size_t>(pin->pin);
        pins[index] = std::move(pin);
    }
    return pins;
}

} // namespace hwc
