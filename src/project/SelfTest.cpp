#include "project/SelfTest.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

#include "base/FixedText.h"
#include "base/NumberScan.h"
#include "base/TextUtil.h"
#include "bindings/SetCtrl.h"
#include "model/ModuleBase.h"
#include "model/Page.h"
#include "project/LogFile.h"
#include "project/ProjDocBase.h"

namespace {

// The word `page` prints for each kind of control.
const char* KindWord(EControlKind kind) {
    switch (kind) {
    case EControlKind::CheckBox:
        return "checkbox";
    case EControlKind::RadioButton:
        return "radio";
    case EControlKind::DropList:
        return "droplist";
    case EControlKind::DropDown:
        return "dropdown";
    case EControlKind::Edit:
        return "edit";
    case EControlKind::ReadOnlyEdit:
        return "readonly";
    case EControlKind::Static:
        return "static";
    case EControlKind::Hyperlink:
        return "link";
    case EControlKind::UpDown:
        return "updown";
    case EControlKind::GroupBox:
        return "groupbox";
    case EControlKind::PushButton:
        return "button";
    case EControlKind::ListBox:
        return "listbox";
    case EControlKind::Placeholder:
        return "placeholder";
    case EControlKind::Graph:
        return "graph";
    }
    return "unknown";
}

// What the control shows: a box's mark and caption, a combo box's selected entry, else its text.
std::string ShownText(const CPageControl& control) {
    switch (control.Kind()) {
    case EControlKind::CheckBox:
    case EControlKind::RadioButton:
        return (control.Check() == 1 ? "[x] " : "[ ] ") + control.Text();
    case EControlKind::DropList:
    case EControlKind::DropDown: {
        const std::string* item = control.SelectedItem();
        return item ? *item : std::string();
    }
    case EControlKind::ListBox: {
        // The first rows and the selected one, marked, with columns apart by a blank; a long
        // list says how many rows it has.
        constexpr std::size_t kShownRows = 16;
        std::string text;
        const auto& items = control.Items();
        const auto selected = static_cast<std::size_t>(control.Selection());
        for (std::size_t row = 0; row < items.size(); ++row) {
            if (row >= kShownRows && row != selected)
                continue;
            text += text.empty() ? "" : " | ";
            if (row == selected)
                text += "> ";
            for (const char c : items[row])
                text += c == '\t' ? ' ' : c;
        }
        if (items.size() > kShownRows)
            text += " | (" + std::to_string(items.size()) + " rows)";
        return text;
    }
    default:
        return control.Text();
    }
}

// A sub-page is shown and enabled only as far as the placeholder that holds it is.
void Describe(const CPage& page, std::int64_t subPageNumber, bool shown, bool enabled,
              std::vector<std::string>& lines) {
    for (const auto& control : page.Controls()) {
        std::int64_t number = control->Id();
        if (number != kNoControlId && subPageNumber > 0)
            number += subPageNumber << CPage::kSubPageShift;
        const bool controlShown = shown && control->IsVisible();
        const bool controlEnabled = enabled && control->IsEnabled();
        lines.push_back(std::to_string(number) + '\t' + KindWord(control->Kind()) + '\t' +
                        (controlShown ? "shown" : "hidden") + ',' +
                        (controlEnabled ? "enabled" : "disabled") + '\t' + ShownText(*control));
        if (const CPage* subPage = control->SubPage())
            Describe(*subPage, control->Id(), controlShown, controlEnabled, lines);
    }
}

// Takes the text into a string register; true when the text differs from the old one.
bool StoreText(tPerCfgItem& item, std::string_view text) {
    const bool changed = hwc::FieldText(item.szValue).substr(0, 80) != text.substr(0, 80);
    hwc::CopyCut(item.szValue, text);
    item.dwValue = text.empty() ? 0 : 1;
    return changed;
}

// Takes the number into a numeric register; true when the stored value changed.
bool StoreNumber(tPerCfgItem& item, std::uint32_t value) {
    if (!(item.dwFlags & hwc::RegFlag::SIGNEDVALUE))
        value &= hwc::RegisterLimit(item.dwFlags);
    const bool changed = value != item.dwValue;
    item.dwValue = value;
    return changed;
}

void WriteLogLine(std::string_view line) {
    TheLogFile().Write(line, true);
}

// Sends the bindings' self-test lines to the log for as long as it lives.
class CLogSelfTestSink {
public:
    CLogSelfTestSink() { hwc::SetSelfTestSink(&WriteLogLine); }
    ~CLogSelfTestSink() { hwc::SetSelfTestSink(nullptr); }
    CLogSelfTestSink(const CLogSelfTestSink&) = delete;
    CLogSelfTestSink& operator=(const CLogSelfTestSink&) = delete;
};

} // namespace

namespace hwc {

bool ShowModulePage(CProjDocBase& document, CModuleBase& module) {
    CModuleBase* previous = document.Tree().SelectedModule();
    if (previous == &module && module.Page() && module.Page()->IsVisible())
        return true;
    document.Tree().SelectModule(&module);
    if (!module.CreatePage())
        return false;
    if (previous && previous != &module && previous->Page())
        previous->Page()->SetVisible(false);
    module.Page()->SetVisible(true);
    module.OnInitialUpdate();
    module.UpdateControlStates();
    return true;
}

std::vector<std::string> DescribePageControls(const CPage& page) {
    std::vector<std::string> lines;
    Describe(page, 0, true, true, lines);
    return lines;
}

bool SetRegisterFromText(CProjDocBase& document, std::string_view assignment,
                         std::string& message) {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string_view::npos || equals == 0) {
        message = "Expected NAME=VALUE, got \"" + std::string(assignment) + "\".";
        return false;
    }
    const std::string name(assignment.substr(0, equals));
    const std::string_view text = assignment.substr(equals + 1);
    CModuleBase* owner = nullptr;
    tPerCfgItem* item = nullptr;
    if (!document.Modules().empty())
        item = document.Modules().front()->FindRegister(name, &owner);
    if (!item || !owner || (item->dwFlags & RegFlag::USERDEFINE)) {
        message = "No register named " + name + " in this project.";
        return false;
    }

    bool changed = false;
    if (item->dwFlags & RegFlag::STRVALUE) {
        // Anything but a number in a floating-point register would break the generated header.
        const bool isFloat = (item->dwFlags & RegFlag::FLOAT) == RegFlag::FLOAT;
        if (isFloat && !text.empty() && !ReadExactDouble(text)) {
            message = name + " needs a floating-point number, not \"" + std::string(text) + "\".";
            return false;
        }
        changed = StoreText(*item, text);
    } else {
        const std::optional<std::uint32_t> number = ReadExactU32(text);
        if (!number) {
            message = "The value \"" + std::string(text) + "\" for " + name + " is not a number.";
            return false;
        }
        changed = StoreNumber(*item, *number);
    }
    if (!changed)
        return true;
    document.UpdateAllViews(owner, hwc::kHintValueWritten, nullptr);
    owner->RefreshControls();
    owner->Recalculate();
    owner->UpdateControlStates();
    return true;
}

// The register values of every module, taken before a module's controls are driven.
using tValueSnapshot = std::vector<std::vector<std::pair<std::uint32_t, std::string>>>;

tValueSnapshot TakeValues(CProjDocBase& document) {
    tValueSnapshot snapshot;
    snapshot.reserve(document.Modules().size());
    for (const auto& module : document.Modules()) {
        auto& values = snapshot.emplace_back();
        values.reserve(module->ItemCount());
        for (int i = 0; i < module->ItemCount(); ++i)
            values.emplace_back(module->Item(i).dwValue,
                                std::string(FieldText(module->Item(i).szValue)));
    }
    return snapshot;
}

// Puts back what a module's self-test changed, in that module or in another one (a pin's
// function list writes the system module's select bits), so the run leaves the project as it
// found it.
void RestoreValues(CProjDocBase& document, const tValueSnapshot& snapshot) {
    std::size_t index = 0;
    for (const auto& module : document.Modules()) {
        if (index >= snapshot.size())
            break;
        const auto& values = snapshot[index++];
        bool changed = false;
        for (int i = 0; i < module->ItemCount() && i < static_cast<int>(values.size()); ++i) {
            tPerCfgItem& item = module->Item(i);
            if (item.dwValue == values[i].first && FieldText(item.szValue) == values[i].second)
                continue;
            item.dwValue = values[i].first;
            CopyCut(item.szValue, values[i].second);
            changed = true;
        }
        if (!changed)
            continue;
        module->RefreshControls();
        module->Recalculate();
        module->UpdateControlStates();
    }
}

} // namespace hwc

bool RunSelfTest(CProjDocBase& document) {
    const std::string folder = document.ProjectFolder();
    CLogFile& log = TheLogFile();
    if (!log.Open((std::filesystem::path(folder) / hwc::kSelfTestLogName).string(), folder))
        return false;
    {
        CLogSelfTestSink sink;
        std::set<std::string> testedTypes;
        for (const auto& module : document.Modules()) {
            if (!testedTypes.insert(module->TypeKey()).second)
                continue;
            hwc::ShowModulePage(document, *module);
            const std::string title = hwc::Format("Module: %s (%s)", module->TypeKey().c_str(),
                                                  module->InstanceName().c_str());
            log.Write(title, true);
            log.Write(std::string(title.size(), '-'), true);
            const hwc::tValueSnapshot before = hwc::TakeValues(document);
            module->SelfTest();
            hwc::RestoreValues(document, before);
            log.Write("\n", true);
        }
    }
    // Nothing else of the run writes to the self-test log.
    log.Close();
    return !log.Failed();
}

bool CProjDocBase::ShowModulePage(CModuleBase& module) {
    CModuleBase* previous = m_tree.SelectedModule();
    if (previous && previous != &module && previous->Page() && previous->Page()->IsVisible() &&
        !previous->Validate(true))
        return false;
    return hwc::ShowModulePage(*this, module);
}
