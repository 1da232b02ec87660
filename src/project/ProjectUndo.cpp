// The document's side of undo and redo: when a user action ends, and how a restored step
// reaches the pages and views.

#include "bindings/SetCtrl.h"
#include "model/ModuleBase.h"
#include "model/ModuleSubDlg.h"
#include "model/PageHints.h"
#include "project/ProjDocBase.h"

namespace {

// The binding among the page's (and its sub-pages') bindings that is `object`, or null.
const CSetCtrl* FindBinding(const CPage& page, const void* object) {
    for (IBinding* binding : page.Bindings()) {
        const auto* control = dynamic_cast<const CSetCtrl*>(binding);
        if (control && static_cast<const void*>(control) == object)
            return control;
    }
    for (const CModuleSubDlg* subPage : page.SubPages()) {
        if (const CSetCtrl* found = FindBinding(*subPage, object))
            return found;
    }
    return nullptr;
}

} // namespace

void CProjDocBase::EnableUndo() {
    if (m_history)
        return;
    m_history = std::make_unique<hwc::CUndoHistory>();
    m_history->Reset(*this, m_options);
}

void CProjDocBase::NoteUserAction(std::string name) {
    if (m_history && !m_restoring)
        m_history->NoteUserAction(std::move(name));
}

void CProjDocBase::CommitUndoStep() {
    if (m_history && !m_restoring && !IsUndoStepHeld())
        m_history->Commit(*this, m_options);
}

bool CProjDocBase::Undo() {
    return RestoreStep(false);
}

bool CProjDocBase::Redo() {
    return RestoreStep(true);
}

bool CProjDocBase::RestoreStep(bool forward) {
    if (!m_history || !m_loaded)
        return false;
    // As when leaving the page: an invalid value keeps its page, and a valid one being typed
    // is stored first and becomes a step of its own.
    if (!CommitDisplayedPage())
        return false;
    m_history->Commit(*this, m_options);
    m_restoring = true;
    const hwc::tUndoStep* step =
        forward ? m_history->Redo(*this, m_options) : m_history->Undo(*this, m_options);
    if (step) {
        if (!step->selections.empty())
            m_tree.RefreshStateImages();
        for (std::size_t index : step->Modules()) {
            CModuleBase& module = *m_modules[index];
            if (!module.RefreshControls())
                Notify(hwc::kHintControlsRefreshed, &module, &module);
            module.Recalculate();
            if (!step->selections.empty())
                Notify(hwc::kHintModuleSelected, &module, &module);
        }
        RequestWarnings();
    }
    m_history->Settle(*this, m_options);
    m_restoring = false;
    return step != nullptr;
}

void CProjDocBase::NoteChange(CModuleBase* sender, int hint, const void* object) {
    if (!m_history || m_restoring)
        return;
    const CSetCtrl* binding = nullptr;
    if (sender && object && hint >= 10 && hint <= 12 && sender->Page())
        binding = FindBinding(*sender->Page(), object);
    if (!binding) {
        m_history->NoteUserAction();
        return;
    }
    const tBindingField field = binding->Field();
    m_history->NoteUserAction(
        field.description.empty() ? std::string() : sender->InstanceName() + ": " + field.description,
        field.value, field.mask);
}
