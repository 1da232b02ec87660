#include "modules/routing/AoiLogic.h"

#include <algorithm>
#include <bit>
#include <memory>

#include "base/NumberScan.h"
#include "base/TextUtil.h"
#include "model/ModuleBase.h"
#include "model/Page.h"
#include "model/RegisterItem.h"
#include "modules/framework/CModule.h"

namespace hwc {

namespace {

constexpr std::size_t kNameLimit = 31;

std::string CutName(std::string_view text) {
    return std::string(Trim(text).substr(0, kNameLimit));
}

char Letter(int input) {
    return static_cast<char>('A' + input);
}

// A decimal number of at most nine digits and nothing else.
std::optional<int> ReadDecimal(std::string_view text) {
    if (text.empty() || text.size() > 9)
        return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

std::vector<std::string> AoiFieldItems(int input) {
    const char letter = Letter(input);
    return {"Fixed 0", Format("Input %c", letter), Format("Inverted %c", letter), "Fixed 1"};
}

int AoiFieldValue(const std::array<std::uint32_t, 2>& registers, int term, int input) {
    const tAoiField field = AoiField(term, input);
    return static_cast<int>((registers[static_cast<std::size_t>(field.reg)] >> field.lowBit) & 3u);
}

bool AoiInputUsed(const std::array<std::uint32_t, 2>& registers, int input) {
    for (int term = 0; term < kAoiTermCount; ++term) {
        const int use = AoiFieldValue(registers, term, input);
        if (use == kAoiPlain || use == kAoiInverted)
            return true;
    }
    return false;
}

std::string AoiExpression(const std::array<std::uint32_t, 2>& registers) {
    std::vector<std::string> terms;
    for (int term = 0; term < kAoiTermCount; ++term) {
        std::vector<std::string> factors;
        bool zero = false;
        for (int input = 0; input < kAoiInputCount; ++input) {
            switch (AoiFieldValue(registers, term, input)) {
            case kAoiFixed0:
                zero = true;
                break;
            case kAoiPlain:
                factors.emplace_back(1, Letter(input));
                break;
            case kAoiInverted:
                factors.push_back(std::string("~") + Letter(input));
                break;
            default:
                break;
            }
        }
        if (zero)
            continue;
        // A term of fixed 1s alone makes the whole block 1.
        if (factors.empty())
            return "1";
        std::string text;
        for (const std::string& factor : factors)
            text += (text.empty() ? "" : " & ") + factor;
        terms.push_back(std::move(text));
    }
    if (terms.empty())
        return "0";
    std::string expression;
    for (const std::string& term : terms)
        expression += (expression.empty() ? "" : " | ") + term;
    return expression;
}

std::optional<tLogicLine> ParseLogicLine(std::string_view line) {
    std::string cleaned;
    for (char c : line) {
        if (c != ' ' && c != '\t' && c != '"' && c != '\r')
            cleaned += c;
    }
    const std::vector<std::string> fields = Split(cleaned, ',');
    if (fields.empty() || fields.front().empty())
        return std::nullopt;
    tLogicLine parsed;
    parsed.key = fields.front();
    if (fields.size() > 1 && !fields[1].empty()) {
        for (const std::string& name : Split(fields[1], ':')) {
            if (parsed.inputs.size() == static_cast<std::size_t>(kAoiInputCount))
                break;
            parsed.inputs.push_back(CutName(name));
        }
    }
    if (fields.size() > 2)
        parsed.output = CutName(fields[2]);
    return parsed;
}

std::optional<tSignalRef> ParseSignalRef(std::string_view name, std::string_view signalPrefix) {
    const std::size_t dot = name.find('.');
    if (dot == std::string_view::npos || dot == 0)
        return std::nullopt;
    const std::string_view signal = name.substr(dot + 1);
    if (!StartsWith(signal, signalPrefix))
        return std::nullopt;
    const std::optional<int> number = ReadDecimal(signal.substr(signalPrefix.size()));
    if (!number)
        return std::nullopt;
    return tSignalRef{std::string(name.substr(0, dot)), *number};
}

std::optional<tSignalRef> CrossbarOutputRef(const CModuleBase& asker, std::string_view name) {
    std::optional<tSignalRef> ref = ParseSignalRef(name, "XB_OUT");
    if (!ref || !CrossbarExists(asker, ref->module) ||
        !CrossbarOutputField(asker, ref->module, ref->number))
        return std::nullopt;
    return ref;
}

std::optional<std::string> CrossbarInputText(const CModuleBase& asker, std::string_view name) {
    const std::optional<tSignalRef> ref = ParseSignalRef(name, "XB_IN");
    if (!ref || !CrossbarExists(asker, ref->module))
        return std::nullopt;
    const std::vector<std::string> names = CrossbarInputNames(asker, ref->module);
    if (static_cast<std::size_t>(ref->number) >= names.size())
        return std::nullopt;
    return names[static_cast<std::size_t>(ref->number)];
}

} // namespace hwc

using hwc::Format;

// --- Term fields ---

void CAoiTermFields::Bind(tPerCfgItem& terms01, tPerCfgItem& terms23,
                          const std::function<std::string(int term)>& description) {
    for (int term = 0; term < hwc::kAoiTermCount; ++term) {
        const std::string text = description(term);
        for (int input = 0; input < hwc::kAoiInputCount; ++input) {
            const hwc::tAoiField field = hwc::AoiField(term, input);
            CSetMode& binding = Field(term, input);
            binding.Bind(field.reg == 0 ? terms01 : terms23, field.lowBit, field.lowBit + 1, 0,
                         text.c_str());
            binding.SetItems({}, hwc::AoiFieldItems(input));
            binding.Enable(true);
        }
    }
}

void CAoiTermFields::Attach(CPage& page) {
    for (int term = 0; term < hwc::kAoiTermCount; ++term) {
        for (int input = 0; input < hwc::kAoiInputCount; ++input) {
            if (CPageControl* control = page.FindControl(FieldId(term, input)))
                Field(term, input).Attach(*control);
        }
    }
}

void CAoiTermFields::Refresh() {
    for (CSetMode& field : m_fields)
        field.Refresh();
}

tLayoutItem CAoiTermFields::Layout() {
    // Columns keep their natural width, so that four lists fit beside each other.
    tLayoutItem grid = dlg::Row({});
    for (int input = 0; input < hwc::kAoiInputCount; ++input) {
        tLayoutItem column = dlg::Column({dlg::Label(Format("Input %c", 'A' + input))});
        for (int term = 0; term < hwc::kAoiTermCount; ++term)
            column.children.push_back(dlg::DropList(FieldId(term, input)));
        grid.children.push_back(std::move(column));
    }
    return grid;
}

// --- Inputs ---

void CLogicInputs::SetNames(std::vector<std::string> names, int count) {
    for (int input = 0; input < hwc::kAoiInputCount; ++input) {
        tInput& slot = m_inputs[Index(input)];
        slot.name = static_cast<std::size_t>(input) < names.size()
                        ? names[static_cast<std::size_t>(input)]
                        : std::string();
        slot.crossbar.reset();
        slot.bound = false;
    }
    m_count = std::clamp(count, 0, hwc::kAoiInputCount);
}

void CLogicInputs::Bind(CModuleBase& module, std::string_view block,
                        std::vector<tPerCfgItem*>& foreign) {
    // The inputs fed by one crossbar offer its input names, held once.
    std::string namesOf;
    std::shared_ptr<const std::vector<std::string>> names;
    for (int input = 0; input < hwc::kAoiInputCount; ++input) {
        tInput& slot = m_inputs[Index(input)];
        slot.crossbar = hwc::CrossbarOutputRef(module, slot.name);
        slot.bound = false;
        if (!slot.crossbar)
            continue;
        const std::optional<hwc::tCrossbarField> field =
            hwc::CrossbarOutputField(module, slot.crossbar->module, slot.crossbar->number);
        CModuleBase* crossbar = CModuleBase::FindModule(module.Host(), slot.crossbar->module);
        tPerCfgItem* item =
            crossbar && field ? crossbar->FindRegister(field->registerName) : nullptr;
        // A field the crossbar describes wrongly is not offered rather than written elsewhere.
        if (!item || field->lowBit < 0 || field->width < 1 || field->lowBit + field->width > 32)
            continue;
        const std::string description = Format(
            "%.*s, input %c source", static_cast<int>(block.size()), block.data(), 'A' + input);
        slot.source.Bind(*item, field->lowBit, field->lowBit + field->width - 1, 0,
                         description.c_str());
        if (!names || namesOf != slot.crossbar->module) {
            namesOf = slot.crossbar->module;
            names = std::make_shared<const std::vector<std::string>>(
                hwc::CrossbarInputNames(module, slot.crossbar->module));
        }
        slot.source.SetInputNames(names);
        slot.source.Enable(true);
        slot.bound = true;
        if (std::find(foreign.begin(), foreign.end(), item) == foreign.end())
            foreign.push_back(item);
    }
}

std::string CLogicInputs::LabelText(const CModuleBase& asker, int input) const {
    const tInput& slot = m_inputs[Index(input)];
    if (slot.crossbar)
        return hwc::CrossbarOutputLabel(asker, slot.crossbar->module, slot.crossbar->number);
    if (!slot.name.empty())
        return slot.name;
    return Format("Input %c", 'A' + input);
}

void CLogicInputs::Attach(const CModuleBase& module, CPage& page) {
    for (int input = 0; input < hwc::kAoiInputCount; ++input) {
        tInput& slot = m_inputs[Index(input)];
        page.SetControlText(kFirstCaptionId + input, slot.crossbar
                                                         ? Format("Input %c, %s:", 'A' + input,
                                                                  slot.crossbar->module.c_str())
                                                         : Format("Input %c:", 'A' + input));
        page.SetControlText(kFirstNameId + input, LabelText(module, input));
        // An input without a name shows its letter once.
        page.ShowControl(kFirstCaptionId + input, slot.crossbar || !slot.name.empty());
        CPageControl* list = page.FindControl(kFirstSourceId + input);
        if (!list)
            continue;
        list->Show(slot.bound);
        if (slot.bound)
            slot.source.Attach(*list);
    }
}

void CLogicInputs::Refresh() {
    for (tInput& slot : m_inputs) {
        if (slot.bound)
            slot.source.Refresh();
    }
}

void CLogicInputs::CheckWarnings(CModuleBase& module, bool checked, const std::array<bool, 4>& used,
                                 std::string_view block,
                                 const std::function<int(int input)>& controlId) {
    for (int input = 0; input < hwc::kAoiInputCount; ++input) {
        const tInput& slot = m_inputs[Index(input)];
        std::string message;
        if (checked && input < m_count && used[Index(input)] && slot.crossbar) {
            const hwc::tCrossbarSourceCheck check =
                hwc::CrossbarSourceCheck(module, slot.crossbar->module, slot.crossbar->number);
            if (!check.passes)
                message =
                    Format("%.*s, input %c is not configured: (%s)", static_cast<int>(block.size()),
                           block.data(), 'A' + input, check.message.c_str());
        }
        // The label keeps showing the input; the warning list takes the message.
        CModule::SetWarning(module, controlId(input), !message.empty(), LabelText(module, input),
                            message);
    }
}

std::vector<tLayoutItem> CLogicInputs::Layout() {
    std::vector<tLayoutItem> rows;
    for (int input = 0; input < hwc::kAoiInputCount; ++input) {
        rows.push_back(dlg::Row(
            {dlg::Label(Format("Input %c:", 'A' + input), kFirstCaptionId + input),
             dlg::Label("", kFirstNameId + input), dlg::DropList(kFirstSourceId + input)}));
    }
    return rows;
}
