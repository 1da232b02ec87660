#include "project/ModuleReset.h"

#include "model/ModuleBase.h"
#include "project/ProjDocBase.h"

namespace {

// Registers whose value a reset leaves alone: texts have no default text, user defines are not
// hardware registers, and placeholders are never written.
constexpr std::uint32_t kKeptFlags =
    hwc::RegFlag::STRVALUE | hwc::RegFlag::USERDEFINE | hwc::RegFlag::DUMMYREG;

bool Resets(const tPerCfgItem& item) {
    return (item.dwFlags & kKeptFlags) == 0;
}

} // namespace

bool CanResetModule(const CModuleBase& module) {
    for (int i = 0; i < module.ItemCount(); ++i) {
        if (Resets(module.Item(i)))
            return true;
    }
    return false;
}

int ResetModuleToDefaults(CProjDocBase& document, CModuleBase& module) {
    int changed = 0;
    for (int i = 0; i < module.ItemCount(); ++i) {
        tPerCfgItem& item = module.Item(i);
        if (!Resets(item) || item.dwValue == item.dwDefault)
            continue;
        item.dwValue = item.dwDefault;
        ++changed;
    }
    if (changed == 0)
        return 0;
    document.NoteUserAction("Reset " + module.InstanceName() + " to Default");
    document.UpdateAllViews(&module, 10, nullptr);
    module.RefreshControls();
    module.Recalculate();
    module.UpdateControlStates();
    document.RequestWarnings();
    return changed;
}

std::string ResetModuleQuestion(const CModuleBase& module) {
    return "Reset every register of " + module.Title() +
           " to its default value?\n\nThe module's settings go back to the values the processor "
           "has after a reset. Your other modules are not changed, and the file changes only "
           "when you save.";
}
