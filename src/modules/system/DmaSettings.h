#pragma once
// What the two DMA controllers' channel pages share: a list that keeps a stored code it does not
// offer (a reserved transfer size), signed address offsets typed as decimal numbers, the request
// sources of the module information and the layout of a channel page's lines.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "bindings/KeptChoice.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "model/DialogTemplate.h"

namespace hwc {

// The request sources of one channel, by request number, as the module information's "in" lines
// name them: the label shown and the module part ("SCI_0", alternatives joined by '|',
// "Reserved", or empty for a request that needs no other module).
struct tDmaSources {
    std::vector<std::string> labels;
    std::vector<std::string> modules;
};

// Reads one line of module information that was split at commas, tabs and quotes removed: an
// "in" line "in,request,source of channel 0,source of channel 1,..." stores each non-empty source
// for its channel. A request above `maxRequest` or no number leaves the lists alone. False when
// the line is no "in" line.
bool ReadDmaSourceLine(const std::vector<std::string>& fields, int maxRequest,
                       std::span<tDmaSources> channels);

// The low `bits` bits of the value as a two's-complement number.
std::int64_t SignedField(std::uint32_t value, int bits);

// Lets a value binding on a `bits`-wide field show signed decimal numbers ("-2") and read them
// as well as plain or hex numbers up to the field's width ("0xFFFE").
void UseSignedText(CSetValue& binding, int bits);

// A channel page is a sub-page, whose rows give each plain control one fixed column width; in a
// column of its own a control keeps the width its text needs.
tLayoutItem NaturalWidth(tLayoutItem item);
// One line of a channel page: the controls side by side, each as wide as it needs.
tLayoutItem NaturalRow(std::initializer_list<tLayoutItem> items);

} // namespace hwc
