#pragma once
// What the and-or-invert module and the event generator share: the coding of four product terms
// over inputs A to D in two 16-bit registers, the parameter lines that name a logic block's
// inputs and output, and the input rows whose crossbar output can be chosen from the logic page.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bindings/SetMode.h"
#include "modules/routing/CrossbarSourceChoice.h"
#include "model/DialogTemplate.h"
#include "model/Summary.h"
#include "modules/routing/RoutingQueries.h"

class CModuleBase;
class CPage;
struct tPerCfgItem;

namespace hwc {

inline constexpr int kAoiInputCount = 4;
inline constexpr int kAoiTermCount = 4;

// What a product term takes of an input: the field value of its two bits.
enum EAoiInputUse : int { kAoiFixed0 = 0, kAoiPlain = 1, kAoiInverted = 2, kAoiFixed1 = 3 };

// Where the field of a term's input lives: register 0 holds terms 0 and 1, register 1 terms 2
// and 3; the first term of a register sits in the upper byte, input A in its top two bits.
struct tAoiField {
    int reg = 0;
    int lowBit = 0;
};
constexpr tAoiField AoiField(int term, int input) {
    return {term / 2, (term % 2 == 0 ? 8 : 0) + 6 - 2 * input};
}

// The list entries of an input's field, entry = field value: "Fixed 0", "Input A",
// "Inverted A", "Fixed 1".
std::vector<std::string> AoiFieldItems(int input);
// The field value of the term's input in the pair of registers.
int AoiFieldValue(const std::array<std::uint32_t, 2>& registers, int term, int input);
// Whether some term takes the input plainly or inverted.
bool AoiInputUsed(const std::array<std::uint32_t, 2>& registers, int input);
// The logic as an expression of the input letters: "A & ~B | C"; "0" when every term holds a
// fixed 0, "1" when a term takes nothing but fixed 1s.
std::string AoiExpression(const std::array<std::uint32_t, 2>& registers);

// One parameter line of a logic block: blanks, tabs and double quotes removed, then split at
// commas into the block's key, its input names (split at colons, at most four, each cut to 31
// characters) and its output name (cut to 31 characters).
struct tLogicLine {
    std::string key;
    std::vector<std::string> inputs;
    std::string output;
};
// None for a line without a key.
std::optional<tLogicLine> ParseLogicLine(std::string_view line);

// A signal of another module written "INSTANCE.SIGNALn" (the AOI's "XBAR_B.XB_OUT3").
struct tSignalRef {
    std::string module;
    int number = 0;
};
// The module and number when the name has that form with the signal prefix and a decimal
// number; none otherwise.
std::optional<tSignalRef> ParseSignalRef(std::string_view name, std::string_view signalPrefix);

// The crossbar output a name refers to: the module answers as a crossbar and has that output.
// Any other name (no crossbar, an output beyond its last) is plain text.
std::optional<tSignalRef> CrossbarOutputRef(const CModuleBase& asker, std::string_view name);
// The crossbar input a name "INSTANCE.XB_INn" refers to, with the input's name; none otherwise.
std::optional<std::string> CrossbarInputText(const CModuleBase& asker, std::string_view name);

// A summary entry whose text a function gives.
class CTextSummary : public ISummarySource {
public:
    explicit CTextSummary(std::function<std::string()> text) : m_text(std::move(text)) {}
    bool IsActive() const override { return true; }
    std::string GetSummaryText(bool, std::uint32_t) const override { return m_text(); }

private:
    std::function<std::string()> m_text;
};

} // namespace hwc

// The sixteen input fields of four product terms held in two registers, with the page layout
// that shows them: a column per input, a line per term.
class CAoiTermFields {
public:
    static constexpr int kFirstFieldId = 1200;
    static constexpr int FieldId(int term, int input) {
        return kFirstFieldId + term * hwc::kAoiInputCount + input;
    }

    // Binds every field; `description` gives the summary and self-test text of a term's fields.
    void Bind(tPerCfgItem& terms01, tPerCfgItem& terms23,
              const std::function<std::string(int term)>& description);
    void Attach(CPage& page);
    void Refresh();
    CSetMode& Field(int term, int input) { return m_fields[Index(term, input)]; }

    // The layout: one column per input headed by its letter, its four term fields below.
    static tLayoutItem Layout();

private:
    static std::size_t Index(int term, int input) {
        return static_cast<std::size_t>(term * hwc::kAoiInputCount + input);
    }
    std::array<CSetMode, hwc::kAoiTermCount * hwc::kAoiInputCount> m_fields;
};

// The four inputs of a logic block: their names, the label that shows each, and for an input
// fed by a crossbar output the list that chooses the crossbar input driving it.
class CLogicInputs {
public:
    static constexpr int kFirstNameId = 1100;    // + input: the label showing the input
    static constexpr int kFirstSourceId = 1110;  // + input: the crossbar source list
    static constexpr int kFirstCaptionId = 1120; // + input: "Input A:" or "Input A, XBAR_B:"

    // The names from the parameter line (fewer than four leave the rest unnamed) and how many
    // inputs the block has.
    void SetNames(std::vector<std::string> names, int count);
    int Count() const { return m_count; }
    const std::string& Name(int input) const { return m_inputs[Index(input)].name; }

    // Resolves every name against the document's crossbars and binds the source lists of the
    // crossbar-fed inputs to the crossbar's field; the crossbar registers they edit are added to
    // `foreign` (the registers view lists them with the module's own).
    void Bind(CModuleBase& module, std::string_view block, std::vector<tPerCfgItem*>& foreign);
    void Attach(const CModuleBase& module, CPage& page);
    void Refresh();
    // The crossbar output feeding the input, once bound; none for a plain name.
    const std::optional<hwc::tSignalRef>& Crossbar(int input) const {
        return m_inputs[Index(input)].crossbar;
    }
    CSetCrossbarSource& Source(int input) { return m_inputs[Index(input)].source; }
    // What the input's label shows: the crossbar output's label, else the name, else "Input A".
    std::string LabelText(const CModuleBase& asker, int input) const;

    // Raises or clears each input's warning (shown at its label, `controlId` gives the label's
    // number in the document): with `checked`, an input within the count that some term uses
    // and whose crossbar output's source is not set up warns "<block>, input A is not
    // configured: (<why>)".
    void CheckWarnings(CModuleBase& module, bool checked, const std::array<bool, 4>& used,
                       std::string_view block, const std::function<int(int input)>& controlId);

    // One row per input: caption, label and source list.
    static std::vector<tLayoutItem> Layout();

private:
    struct tInput {
        std::string name;
        std::optional<hwc::tSignalRef> crossbar;
        CSetCrossbarSource source;
        bool bound = false;
    };
    static std::size_t Index(int input) { return static_cast<std::size_t>(input); }

    std::array<tInput, hwc::kAoiInputCount> m_inputs;
    int m_count = 0;
};
