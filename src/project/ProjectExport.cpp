#include "project/ProjectExport.h"

#include <bit>
#include <filesystem>
#include <set>
#include <string_view>
#include <vector>

#include "base/FixedText.h"
#include "base/JsonWriter.h"
#include "base/TextUtil.h"
#include "bindings/BindingInfo.h"
#include "bindings/SetCtrl.h"
#include "header/AppcfgFile.h"
#include "model/ModuleBase.h"
#include "model/Page.h"
#include "model/RegisterItem.h"
#include "model/RegisterValue.h"
#include "modules/clocks/ClockQueries.h"
#include "modules/framework/CModule.h"
#include "modules/framework/CpmUNREC.h"
#include "project/ModuleTree.h"
#include "project/ProcessorTable.h"
#include "project/ProjDocBase.h"
#include "project/SettingText.h"
#include "project/Warning.h"

namespace fs = std::filesystem;

namespace hwc {

namespace {

// The label just before a control in dialog order, when it heads the control.
std::string LabelBefore(const CPage& page, const CPageControl& control) {
    return LabelCaption(page.ControlBefore(control));
}

// What the control shows: a box's check state, a combo box's selected entry, else its text.
std::string ShownValue(const CPageControl& control) {
    switch (control.Kind()) {
    case EControlKind::CheckBox:
    case EControlKind::RadioButton:
        return control.Check() == 1 ? "checked" : "unchecked";
    case EControlKind::DropList:
    case EControlKind::DropDown:
    case EControlKind::ListBox:
        if (const std::string* item = control.SelectedItem())
            return *item;
        return control.Kind() == EControlKind::DropDown ? control.Text() : std::string();
    default:
        return control.Text();
    }
}

// The value of a setting in words, as the configuration summary words it; what the control
// shows for a setting the summary leaves out (a disabled binding says nothing there).
std::string SettingValue(const CModuleBase& module, const CSetCtrl& binding,
                         const CPageControl& control) {
    const std::uint32_t flags = SummaryWordingOf(module, &binding);
    const std::string full = binding.GetSummaryText(true, flags);
    if (full.empty())
        return ShownValue(control);
    const std::string description = binding.GetSummaryText(false, flags);
    // A check box the summary names only while it is checked says nothing more than its state.
    if (full == description)
        return ShownValue(control);
    std::string_view value = full;
    if (!description.empty() && StartsWith(value, description + ": "))
        value.remove_prefix(description.size() + 2);
    else if (const std::size_t colon = value.find(": ");
             colon != std::string_view::npos && StartsWith(description, value.substr(0, colon)))
        value.remove_prefix(colon + 2); // a description with a unit after "##"
    std::string text(Trim(value));
    for (char& c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return text;
}

// A macro's value text without the quotes of a C string literal.
std::string Unquoted(std::string_view text) {
    text = Trim(text);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"')
        text = text.substr(1, text.size() - 2);
    return std::string(text);
}

// The width of a numeric register in bits; 0 for texts and bare defines.
int RegisterBits(const tPerCfgItem& item) {
    if (item.dwFlags & (RegFlag::STRVALUE | RegFlag::NOVALUE))
        return 0;
    return std::bit_width(RegisterLimit(item.dwFlags));
}

// The value text as the header writes it: the string (quoted when the register wants quotes)
// or the number with its suffix; empty for a bare define or an empty text.
std::string HeaderValueText(const tPerCfgItem& item) {
    if (item.dwFlags & RegFlag::NOVALUE)
        return {};
    if ((item.dwFlags & RegFlag::STRVALUE) && item.dwValue == 0)
        return {};
    return WrittenValueText(item);
}

class CExporter {
public:
    CExporter(CProjDocBase& document, std::string& out) : m_document(document), m_json(out) {}

    void Write() {
        m_json.BeginObject();
        m_json.Member("format", kExportFormat);
        WriteProject();
        WriteProcessor();
        WriteClocks();
        WriteOptions();
        WriteModules();
        WriteUserDefinitions();
        m_json.EndObject();
    }

private:
    void WriteProject() {
        m_json.Key("project");
        m_json.BeginObject();
        m_json.Member("name", m_document.ProjectName());
        // Relative to the project folder, so that the output does not depend on where it lies.
        const std::string file = fs::path(m_document.ProjectFilePath()).filename().string();
        const std::string subfolder = m_document.ConfigSubfolder();
        m_json.Member("file", subfolder.empty() ? file : subfolder + "/" + file);
        m_json.EndObject();
    }

    void WriteProcessor() {
        const CProjDocBase::tProcessorData& processor = m_document.Processor();
        m_json.Key("processor");
        m_json.BeginObject();
        m_json.Member("define", m_document.ProcessorDefineName());
        m_json.Member("name", processor.processorName);
        m_json.Key("families");
        m_json.BeginArray();
        for (const std::string& family :
             Split(ProcessorFamilyNames(processor.processorName), ' ')) {
            if (!family.empty())
                m_json.String(family);
        }
        m_json.EndArray();
        m_json.Member("partNumber", Unquoted(processor.partNumber));
        m_json.Member("maskNumber", Unquoted(processor.maskNumber));
        m_json.Member("package", Unquoted(processor.package));
        m_json.EndObject();
    }

    void WriteClocks() {
        const CProjDocBase::tProcessorData& processor = m_document.Processor();
        m_json.Key("clocks");
        m_json.BeginObject();
        m_json.Member("externalClockMHz", processor.extClockMHz);
        m_json.Member("crystalMHz", processor.crystalMHz);
        m_json.Key("generator");
        const auto* clock = dynamic_cast<const CModule*>(m_document.FindModule("OCCS", "OCCS"));
        if (!clock) {
            m_json.Null();
        } else {
            m_json.BeginObject();
            m_json.Member("instance", clock->InstanceName());
            m_json.Member("coreMHz", clock->PublishedCoreClock());
            m_json.Member("busMHz", clock->PublishedBusClock());
            m_json.Member("highSpeedMHz", clock->PublishedOtherClock());
            if (const auto* generator = dynamic_cast<const IClockGenerator*>(clock)) {
                m_json.Member("oscillatorInputMHz", generator->OscillatorInputClockMHz());
                m_json.Member("crystalOscillatorMHz", generator->CrystalClockMHz());
            }
            m_json.EndObject();
        }
        m_json.EndObject();
    }

    // The file name of the header the module's section is written to.
    std::string HeaderFileName(const CModuleBase& module) const {
        const std::string& path =
            module.HeaderFile() ? module.HeaderFile()->Path() : m_document.ProjectFilePath();
        return fs::path(path).filename().string();
    }

    void WriteOptions() {
        const CProjDocBase::tOptions& options = m_document.Options();
        m_json.Key("options");
        m_json.BeginObject();
        m_json.Member("generateComments", options.generateComments);
        m_json.Member("generateDefaults", options.generateDefaults);
        m_json.Member("keepUserComments", options.keepUserComments);
        m_json.EndObject();
    }

    // Tree order first (each module once), then the modules the tree does not show.
    void WriteModules() {
        m_json.Key("modules");
        m_json.BeginArray();
        for (const auto& [module, item] : m_document.Tree().ModulesInOrder(m_document.Modules())) {
            if (!item) {
                WriteModule(*module, nullptr);
                continue;
            }
            std::vector<std::string> path;
            for (const CModuleTreeItem* above = item->Parent(); above; above = above->Parent())
                path.insert(path.begin(), above->Text());
            WriteModule(*module, &path);
        }
        m_json.EndArray();
    }

    void WriteModule(CModuleBase& module, const std::vector<std::string>* path) {
        m_json.BeginObject();
        m_json.Member("instance", module.InstanceName());
        m_json.Member("type", module.TypeKey());
        m_json.Member("title", module.Title());
        m_json.Key("treePath");
        if (path) {
            m_json.BeginArray();
            for (const std::string& text : *path)
                m_json.String(text);
            m_json.EndArray();
        } else {
            m_json.Null();
        }
        m_json.Member("selected", module.IsSelected());
        m_json.Member("header", HeaderFileName(module));
        WriteRegisters(module);
        WriteSettings(module);
        WriteDerivedValues(module);
        WriteWarnings(module);
        m_json.EndObject();
    }

    void WriteRegisters(const CModuleBase& module) {
        std::set<int> writtenItems;
        if (module.IsSelected()) {
            for (const tWrittenDefine& define : module.WrittenDefines())
                writtenItems.insert(define.index);
        }
        m_json.Key("registers");
        m_json.BeginArray();
        for (int i = 0; i < module.ItemCount(); ++i) {
            const tPerCfgItem& item = module.Item(i);
            if (item.dwFlags & RegFlag::DUMMYREG)
                continue; // a placeholder: never written, never compared
            WriteRegister(module, item, writtenItems.count(i) > 0);
        }
        m_json.EndArray();
    }

    void WriteRegister(const CModuleBase& module, const tPerCfgItem& item, bool written) {
        const std::uint32_t flags = item.dwFlags;
        const bool text = (flags & RegFlag::STRVALUE) != 0;
        const bool bare = (flags & RegFlag::NOVALUE) != 0;
        m_json.BeginObject();
        m_json.Member("name", module.GetDefineName(item));
        m_json.Key("value");
        if (text)
            m_json.String(item.dwValue == 0 ? std::string_view() : FieldText(item.szValue));
        else if (!bare && (flags & RegFlag::DECVALUE))
            m_json.Number(std::int64_t{static_cast<std::int32_t>(item.dwValue)});
        else
            m_json.Number(item.dwValue);
        m_json.Member("text", HeaderValueText(item));
        m_json.Key("bits");
        if (const int bits = RegisterBits(item))
            m_json.Number(bits);
        else
            m_json.Null();
        m_json.Key("default");
        if (text)
            m_json.Null();
        else if (!bare && (flags & RegFlag::DECVALUE))
            m_json.Number(std::int64_t{static_cast<std::int32_t>(item.dwDefault)});
        else
            m_json.Number(item.dwDefault);
        m_json.Key("flags");
        m_json.BeginArray();
        const auto word = [&](bool set, const char* name) {
            if (set)
                m_json.String(name);
        };
        word(text, "text");
        word(text && (flags & RegFlag::QUOTEDVALUE), "quoted");
        word(text && (flags & RegFlag::FLOAT) == RegFlag::FLOAT, "float");
        word(bare, "bare");
        word(!text && !bare && (flags & RegFlag::SIGNEDVALUE), "signed");
        word(!text && !bare && (flags & RegFlag::DECVALUE), "decimal");
        word(flags & RegFlag::NODEFAULT, "nodefault");
        word(flags & RegFlag::NONCRITICAL, "noncritical");
        word(flags & RegFlag::INTERNAL, "internal");
        word(flags & RegFlag::USERDEFINE, "userdefine");
        word(item.dwValue != item.dwDefault, "changed");
        word(written, "written");
        m_json.EndArray();
        m_json.Member("comment", Trim(FieldText(item.szComment)));
        m_json.EndObject();
    }

    // Walks the page and its sub-pages in dialog order; a control of a sub-page is numbered as
    // `hwc-batch page` numbers it, and is shown only as far as its placeholders are.
    template <typename Visit>
    static void WalkPage(const CPage& page, std::int64_t subPageNumber, bool shown, Visit& visit) {
        for (const auto& control : page.Controls()) {
            std::int64_t number = control->Id();
            if (number != kNoControlId && subPageNumber > 0)
                number += subPageNumber << CPage::kSubPageShift;
            const bool controlShown = shown && control->IsVisible();
            visit(page, *control, number, controlShown);
            if (const CPage* subPage = control->SubPage())
                WalkPage(*subPage, control->Id(), controlShown, visit);
        }
    }

    void WriteSettings(const CModuleBase& module) {
        m_json.Key("settings");
        m_json.BeginArray();
        if (const CPage* page = module.Page()) {
            auto visit = [&](const CPage& holder, const CPageControl& control, std::int64_t number,
                             bool shown) {
                const auto* binding = dynamic_cast<const CSetCtrl*>(control.Handler());
                if (!binding || binding->GetWnd() != &control)
                    return;
                std::string caption = ReadableCaption(binding->Field().description);
                if (caption.empty() && (control.Kind() == EControlKind::CheckBox ||
                                        control.Kind() == EControlKind::RadioButton))
                    caption = ReadableCaption(control.Text());
                if (caption.empty())
                    caption = LabelBefore(holder, control);
                if (caption.empty())
                    caption = EntriesCaption(control);
                m_json.BeginObject();
                m_json.Member("control", number);
                m_json.Member("caption", caption);
                m_json.Member("value", SettingValue(module, *binding, control));
                m_json.Member("register", BindingRegisterText(*binding, module));
                m_json.Member("active", binding->IsActive());
                m_json.Member("shown", shown);
                m_json.EndObject();
            };
            WalkPage(*page, 0, true, visit);
        }
        m_json.EndArray();
    }

    void WriteDerivedValues(const CModuleBase& module) {
        m_json.Key("derivedValues");
        m_json.BeginArray();
        if (const CPage* page = module.Page()) {
            auto visit = [&](const CPage& holder, const CPageControl& control, std::int64_t number,
                             bool shown) {
                // A read-only field no setting writes shows what the module computed.
                if (control.Kind() != EControlKind::ReadOnlyEdit ||
                    dynamic_cast<const CSetCtrl*>(control.Handler()))
                    return;
                m_json.BeginObject();
                m_json.Member("control", number);
                m_json.Member("caption", LabelBefore(holder, control));
                m_json.Member("text", control.Text());
                m_json.Member("shown", shown);
                m_json.EndObject();
            };
            WalkPage(*page, 0, true, visit);
        }
        m_json.EndArray();
    }

    void WriteWarnings(const CModuleBase& module) {
        m_json.Key("warnings");
        m_json.BeginArray();
        for (const auto& warning : m_document.Warnings().Items()) {
            if (warning->owner != &module)
                continue;
            // What the page shows at the warning's control: a short form of the message, or
            // the caption of the setting it is about.
            std::string detail;
            if (const CPageControl* indicator = module.FindControl(warning->id))
                detail = ReadableCaption(WarningListText(indicator->Text()));
            if (detail == warning->text)
                detail.clear();
            m_json.BeginObject();
            m_json.Member("id", warning->id);
            m_json.Member("message", warning->text);
            m_json.Member("detail", detail);
            m_json.EndObject();
        }
        m_json.EndArray();
    }

    // Every kept definition of every header file, in module-list order and file order.
    void WriteUserDefinitions() {
        m_json.Key("userDefinitions");
        m_json.BeginArray();
        for (const auto& module : m_document.Modules()) {
            const auto* keeper = dynamic_cast<const CpmUNREC*>(module.get());
            if (!keeper)
                continue;
            const std::string header = HeaderFileName(*keeper);
            for (const tUnrecRecord& record : keeper->Records()) {
                m_json.BeginObject();
                m_json.Member("name", record.name);
                m_json.Member("value", record.value);
                m_json.Member("comment", Trim(record.comment));
                m_json.Member("header", header);
                m_json.EndObject();
            }
        }
        m_json.EndArray();
    }

    CProjDocBase& m_document;
    CJsonWriter m_json;
};

} // namespace

std::string ExportProjectJson(CProjDocBase& document) {
    // Derived values follow the registers only once a page has been refreshed; pages not shown
    // yet would otherwise export what they held when they were made.
    for (const auto& module : document.Modules()) {
        if (module->Page()) {
            module->OnInitialUpdate();
            module->UpdateControlStates();
        }
    }
    document.CheckAllWarnings();
    std::string out;
    CExporter(document, out).Write();
    out += '\n';
    return out;
}

} // namespace hwc
