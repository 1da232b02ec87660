#include "project/ProjectDescription.h"

#include <algorithm>
#include <climits>
#include <map>
#include <utility>

#include "base/TextUtil.h"
#include "model/ModuleBase.h"
#include "modules/framework/CpmUNREC.h"
#include "project/ProjDocBase.h"

namespace hwc {

namespace {

// A clock macro's value as the header writes it: the kept text, else the frequency in whole
// hertz (single-precision product, truncated) with "L"; nothing when neither is there.
std::string ClockText(const std::string& kept, float megahertz) {
    if (!kept.empty())
        return kept;
    if (!(megahertz > 0.0f))
        return {};
    const float hertz = megahertz * 1000000.0f;
    const long long whole = hertz < 9.0e18f ? static_cast<long long>(hertz) : LLONG_MAX;
    return Format("%lldL", whole);
}

std::vector<tDescribedValue> ProcessorMacros(const CProjDocBase::tProcessorData& processor) {
    std::vector<tDescribedValue> macros;
    auto add = [&macros](const char* name, std::string value) {
        if (!value.empty())
            macros.push_back({name, std::move(value), {}});
    };
    add("APPCFG_PARTNUM", processor.partNumber);
    add("APPCFG_MASKNUM", processor.maskNumber);
    add("APPCFG_PACKAGE", processor.package);
    const bool prefixed = processor.prefixedClockNames;
    add(prefixed ? "APPCFG_EXTCLK" : "EXTCLK",
        ClockText(processor.KeptExtClockText(), processor.extClockMHz));
    add(prefixed ? "APPCFG_EXTAL" : "EXTAL",
        ClockText(processor.KeptCrystalText(), processor.crystalMHz));
    return macros;
}

// "NAME=value\n" lines of a kept parameter block.
void AddParameterLines(const std::string& block, const std::string& lines,
                       std::vector<tDescribedValue>& values) {
    for (const std::string& line : Split(lines, '\n')) {
        if (line.empty())
            continue;
        const std::size_t equals = line.find('=');
        values.push_back({line.substr(0, equals),
                          equals == std::string::npos ? std::string() : line.substr(equals + 1),
                          block});
    }
}

// What the user-definitions module writes: the definitions no module has taken back, then the
// parameter blocks of modules the project does not have.
std::vector<tDescribedValue> UserDefinitionValues(const CpmUNREC& module,
                                                  const CProjDocBase& document) {
    std::vector<tDescribedValue> values;
    for (const tUnrecRecord& record : module.Records()) {
        bool takenBack = false;
        for (const auto& other : document.Modules())
            takenBack = takenBack || other->TakesBackDefine(record.name);
        if (!takenBack)
            values.push_back({record.name, record.value, {}});
    }
    for (const tUnrecParameters& parameters : module.Parameters())
        AddParameterLines(parameters.module, parameters.lines, values);
    return values;
}

tModuleDescription DescribeModule(CModuleBase& module, const CProjDocBase& document) {
    tModuleDescription described;
    described.instance = module.InstanceName();
    described.typeKey = module.TypeKey();
    described.title = module.Title();
    if (const auto* keeper = dynamic_cast<const CpmUNREC*>(&module)) {
        described.values = UserDefinitionValues(*keeper, document);
        return described;
    }
    // Some modules rebuild their summary entries while the summary is taken, so the entries
    // are read after it.
    module.GetSummary(described.summary);
    described.settings = SummarySettings(module.CommentItems());
    for (const tWrittenDefine& written : module.WrittenDefines()) {
        described.values.push_back({written.name, written.value,
                                    written.internal ? module.InstanceName() : std::string()});
    }
    return described;
}

std::string ValueKey(const tDescribedValue& value) {
    return value.parameterBlock.empty() ? value.name : value.parameterBlock + ": " + value.name;
}

void AppendValueLine(std::string& text, const tDescribedValue& value) {
    text += "    ";
    if (value.value == "#undef")
        text += "#undef " + ValueKey(value);
    else if (value.value.empty())
        text += ValueKey(value);
    else
        text += ValueKey(value) + " = " + value.value;
    text += '\n';
}

std::string ProcessorText(const tProjectDescription& description) {
    if (description.processorName.empty())
        return description.processorDefine.empty() ? "unknown" : description.processorDefine;
    return description.processorName;
}

// A key for each entry that matches it with its counterpart on the other side: the key and its
// occurrence among entries of the same key.
template <typename Entry, typename KeyOf>
std::vector<std::pair<std::string, int>> OccurrenceKeys(const std::vector<Entry>& entries,
                                                        KeyOf keyOf) {
    std::map<std::string, int> counts;
    std::vector<std::pair<std::string, int>> keys;
    keys.reserve(entries.size());
    for (const Entry& entry : entries) {
        std::string key = keyOf(entry);
        const int occurrence = counts[key]++;
        keys.emplace_back(std::move(key), occurrence);
    }
    return keys;
}

// Pairs the entries of two lists by key and occurrence of the key: `visit` gets A's entries in
// order, each with its counterpart in B (null when B has none), then those only B has (with null
// for A).
template <typename Entry, typename KeyOf, typename Visit>
void MatchEntries(const std::vector<Entry>& a, const std::vector<Entry>& b, KeyOf keyOf,
                  Visit visit) {
    // Mostly both sides list the same keys in the same order: then places pair them.
    bool samePlaces = a.size() == b.size();
    for (std::size_t i = 0; samePlaces && i < a.size(); ++i)
        samePlaces = keyOf(a[i]) == keyOf(b[i]);
    if (samePlaces) {
        for (std::size_t i = 0; i < a.size(); ++i)
            visit(&a[i], &b[i]);
        return;
    }
    const auto keysA = OccurrenceKeys(a, keyOf);
    const auto keysB = OccurrenceKeys(b, keyOf);
    std::map<std::pair<std::string, int>, std::size_t> indexB;
    for (std::size_t i = 0; i < keysB.size(); ++i)
        indexB.emplace(keysB[i], i);
    std::vector<bool> matched(b.size(), false);
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto found = indexB.find(keysA[i]);
        if (found == indexB.end()) {
            visit(&a[i], nullptr);
            continue;
        }
        matched[found->second] = true;
        visit(&a[i], &b[found->second]);
    }
    for (std::size_t i = 0; i < b.size(); ++i) {
        if (!matched[i])
            visit(nullptr, &b[i]);
    }
}

std::string ShownValue(const tDescribedValue* value) {
    if (!value)
        return "(not written)";
    return value->value.empty() ? "(defined)" : value->value;
}

std::string ShownSetting(const tSettingText* setting) {
    return setting ? setting->value : "(none)";
}

// "INSTANCE (title)", or the instance alone when the title is the same.
std::string NameWithTitle(const tModuleDescription& module) {
    return module.title == module.instance ? module.instance
                                           : module.instance + " (" + module.title + ")";
}

void DiffModules(const tModuleDescription& a, const tModuleDescription& b, const std::string& name,
                 std::vector<std::string>& lines) {
    // Unlabelled entries share the empty label, so they match by position among themselves.
    MatchEntries(
        a.settings, b.settings, [](const tSettingText& s) { return s.label; },
        [&](const tSettingText* left, const tSettingText* right) {
            if (left && right && left->value == right->value)
                return;
            const tSettingText& any = left ? *left : *right;
            lines.push_back(name + ": " + (any.label.empty() ? "" : any.label + ": ") +
                            ShownSetting(left) + " -> " + ShownSetting(right));
        });
    MatchEntries(a.values, b.values, ValueKey,
                 [&](const tDescribedValue* left, const tDescribedValue* right) {
                     if (left && right && left->value == right->value)
                         return;
                     lines.push_back(name + ": " + ValueKey(left ? *left : *right) + ": " +
                                     ShownValue(left) + " -> " + ShownValue(right));
                 });
}

} // namespace

tProjectDescription DescribeProject(CProjDocBase& document) {
    tProjectDescription description;
    const CProjDocBase::tProcessorData& processor = document.Processor();
    description.processorName = processor.processorName;
    description.processorDefine = document.ProcessorDefineName();
    description.macros = ProcessorMacros(processor);
    description.defaultsWritten = document.GenerateDefaults();

    // The summaries are described as a header with comments has them.
    const CProjDocBase::tOptions options = document.Options();
    CProjDocBase::tOptions withComments = options;
    withComments.generateComments = true;
    document.SetOptions(withComments);
    for (const auto& ordered : document.Tree().ModulesInOrder(document.Modules())) {
        if (ordered.first->IsSelected())
            description.modules.push_back(DescribeModule(*ordered.first, document));
    }
    document.SetOptions(options);
    return description;
}

std::string DescribeText(const tProjectDescription& description) {
    std::string text = "Processor: " + ProcessorText(description);
    if (!description.processorName.empty() && !description.processorDefine.empty() &&
        description.processorDefine != description.processorName)
        text += " (" + description.processorDefine + ")";
    text += '\n';
    for (const tDescribedValue& macro : description.macros)
        text += macro.name + " = " + macro.value + '\n';
    text += description.defaultsWritten ? "Registers at their defaults: written\n"
                                        : "Registers at their defaults: omitted\n";
    for (const tModuleDescription& module : description.modules) {
        text += '\n';
        text += module.instance + " (" + module.typeKey + ")";
        if (module.title != module.instance)
            text += ": " + module.title;
        text += '\n';
        if (!module.summary.empty()) {
            text += module.summary;
            text += '\n';
        }
        for (const tDescribedValue& value : module.values)
            AppendValueLine(text, value);
    }
    return text;
}

std::vector<std::string> DiffProjects(const tProjectDescription& a, const tProjectDescription& b) {
    std::vector<std::string> lines;
    if (a.processorName != b.processorName || a.processorDefine != b.processorDefine)
        lines.push_back("Processors differ: " + ProcessorText(a) + " / " + ProcessorText(b));
    MatchEntries(
        a.macros, b.macros, [](const tDescribedValue& v) { return v.name; },
        [&](const tDescribedValue* left, const tDescribedValue* right) {
            if (left && right && left->value == right->value)
                return;
            lines.push_back((left ? left : right)->name + ": " + ShownValue(left) + " -> " +
                            ShownValue(right));
        });
    if (a.defaultsWritten != b.defaultsWritten)
        lines.push_back(std::string("Registers at their defaults: ") +
                        (a.defaultsWritten ? "written -> omitted" : "omitted -> written"));

    // Modules in A's order, each compared with its namesake in B, then those only B has. An
    // instance name that some project gives more than one module (the user definitions of the
    // project header and of plug-in headers) is told apart by title.
    std::map<std::string, int> sharing;
    for (const auto* side : {&a.modules, &b.modules}) {
        std::map<std::string, int> counts;
        for (const tModuleDescription& module : *side) {
            int& most = sharing[module.instance];
            most = std::max(most, ++counts[module.instance]);
        }
    }
    const auto shared = [&sharing](const tModuleDescription& module) {
        return sharing[module.instance] > 1;
    };
    MatchEntries(
        a.modules, b.modules,
        [&](const tModuleDescription& m) {
            return shared(m) ? m.instance + '\n' + m.title : m.instance;
        },
        [&](const tModuleDescription* left, const tModuleDescription* right) {
            if (!right)
                lines.push_back("Only in A: " + NameWithTitle(*left));
            else if (!left)
                lines.push_back("Only in B: " + NameWithTitle(*right));
            else
                DiffModules(*left, *right, shared(*left) ? NameWithTitle(*left) : left->instance,
                            lines);
        });
    return lines;
}

} // namespace hwc
