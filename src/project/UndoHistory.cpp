#include "project/UndoHistory.h"

#include <algorithm>
#include <cassert>

#include "base/FixedText.h"
#include "model/ModuleBase.h"

namespace hwc {
namespace {

// Old steps beyond this many are forgotten, so that a long session cannot grow without bound.
constexpr std::size_t kMaxSteps = 1000;

tItemValue ValueOf(const tPerCfgItem& item) {
    tItemValue value{item.dwValue, {}};
    // Only text items keep a text a user can change; the others' text is what was read.
    if (item.dwFlags & RegFlag::STRVALUE)
        value.text = FieldText(item.szValue);
    return value;
}

// Whether the item still has the recorded value; compared in place, as the idle pass asks it of
// every item after every change.
bool Holds(const tPerCfgItem& item, const tItemValue& value) {
    return item.dwValue == value.number &&
           (!(item.dwFlags & RegFlag::STRVALUE) || FieldText(item.szValue) == value.text);
}

void Restore(tPerCfgItem& item, const tItemValue& value) {
    item.dwValue = value.number;
    if (item.dwFlags & RegFlag::STRVALUE)
        CopyCut(item.szValue, value.text);
}

} // namespace

std::vector<std::size_t> tUndoStep::Modules() const {
    std::vector<std::size_t> modules;
    for (const tItemChange& change : items)
        modules.push_back(change.module);
    for (const tSelectionChange& change : selections)
        modules.push_back(change.module);
    std::sort(modules.begin(), modules.end());
    modules.erase(std::unique(modules.begin(), modules.end()), modules.end());
    return modules;
}

void CUndoHistory::Reset(const IModuleHost& modules, const tProjectOptions& options) {
    m_undo.clear();
    m_redo.clear();
    m_notes.clear();
    m_actionPending = false;
    m_state = Capture(modules, options);
}

void CUndoHistory::NoteUserAction(std::string name, const std::uint32_t* valueWord,
                                  std::uint32_t mask) {
    m_actionPending = true;
    if (!name.empty())
        m_notes.push_back({std::move(name), valueWord, mask});
}

bool CUndoHistory::Commit(const IModuleHost& modules, const tProjectOptions& options) {
    const bool noted = m_actionPending;
    m_actionPending = false;
    // A module list that changed under the history (it never should while a project is open)
    // cannot be compared item by item: start again from here.
    if (modules.ModuleCount() != m_state.items.size()) {
        m_undo.clear();
        m_redo.clear();
        m_notes.clear();
        m_state = Capture(modules, options);
        return false;
    }
    tUndoStep step = TakeChanges(modules, options);
    const std::string name = noted ? NotedName(step, modules) : std::string();
    m_notes.clear();
    if (!noted || (step.items.empty() && step.selections.empty() && !step.optionsBefore))
        return false;
    step.name = name.empty() ? StepName(step, modules) : name;
    m_redo.clear();
    m_undo.push_back(std::move(step));
    if (m_undo.size() > kMaxSteps)
        m_undo.erase(m_undo.begin());
    return true;
}

const tUndoStep* CUndoHistory::Undo(IModuleHost& modules, tProjectOptions& options) {
    if (m_undo.empty())
        return nullptr;
    m_redo.push_back(std::move(m_undo.back()));
    m_undo.pop_back();
    Apply(m_redo.back(), false, modules, options);
    return &m_redo.back();
}

const tUndoStep* CUndoHistory::Redo(IModuleHost& modules, tProjectOptions& options) {
    if (m_redo.empty())
        return nullptr;
    m_undo.push_back(std::move(m_redo.back()));
    m_redo.pop_back();
    Apply(m_undo.back(), true, modules, options);
    return &m_undo.back();
}

void CUndoHistory::Settle(const IModuleHost& modules, const tProjectOptions& options) {
    if (modules.ModuleCount() == m_state.items.size())
        TakeChanges(modules, options);
    else
        m_state = Capture(modules, options);
    m_notes.clear();
    m_actionPending = false;
}

CUndoHistory::tState CUndoHistory::Capture(const IModuleHost& modules,
                                           const tProjectOptions& options) {
    tState state;
    state.options = options;
    const std::size_t count = modules.ModuleCount();
    state.items.resize(count);
    state.selected.resize(count);
    for (std::size_t m = 0; m < count; ++m) {
        const CModuleBase& module = *modules.ModuleAt(m);
        state.selected[m] = module.IsSelected();
        std::vector<tItemValue>& values = state.items[m];
        values.reserve(static_cast<std::size_t>(module.ItemCount()));
        for (int i = 0; i < module.ItemCount(); ++i)
            values.push_back(ValueOf(module.Item(i)));
    }
    return state;
}

tUndoStep CUndoHistory::TakeChanges(const IModuleHost& modules, const tProjectOptions& options) {
    tUndoStep step;
    for (std::size_t m = 0; m < m_state.items.size(); ++m) {
        const CModuleBase& module = *modules.ModuleAt(m);
        std::vector<tItemValue>& recorded = m_state.items[m];
        const auto count = static_cast<std::size_t>(module.ItemCount());
        // A module that changed its number of items is compared over the items both have.
        const std::size_t common = std::min(recorded.size(), count);
        for (std::size_t i = 0; i < common; ++i) {
            const tPerCfgItem& item = module.Item(static_cast<int>(i));
            if (Holds(item, recorded[i]))
                continue;
            tItemValue now = ValueOf(item);
            step.items.push_back({m, static_cast<int>(i), std::move(recorded[i]), now});
            recorded[i] = std::move(now);
        }
        recorded.resize(common);
        for (std::size_t i = common; i < count; ++i)
            recorded.push_back(ValueOf(module.Item(static_cast<int>(i))));
        const bool selected = module.IsSelected();
        if (selected != m_state.selected[m]) {
            step.selections.push_back({m, m_state.selected[m], selected});
            m_state.selected[m] = selected;
        }
    }
    if (!(options == m_state.options)) {
        step.optionsBefore = m_state.options;
        step.optionsAfter = options;
        m_state.options = options;
    }
    return step;
}

void CUndoHistory::Apply(const tUndoStep& step, bool forward, IModuleHost& modules,
                         tProjectOptions& options) {
    for (const tItemChange& change : step.items) {
        if (change.module >= modules.ModuleCount())
            continue;
        CModuleBase& module = *modules.ModuleAt(change.module);
        if (change.index < module.ItemCount())
            Restore(module.Item(change.index), forward ? change.after : change.before);
    }
    for (const tSelectionChange& change : step.selections) {
        if (change.module < modules.ModuleCount())
            modules.ModuleAt(change.module)->SetSelected(forward ? change.after : change.before);
    }
    if (step.optionsBefore)
        options = forward ? *step.optionsAfter : *step.optionsBefore;
}

std::string CUndoHistory::NotedName(const tUndoStep& step, const IModuleHost& modules) const {
    for (const tNote& note : m_notes) {
        if (!note.valueWord)
            continue;
        for (const tItemChange& change : step.items) {
            const CModuleBase& module = *modules.ModuleAt(change.module);
            const bool bitsChanged =
                ((change.before.number ^ change.after.number) & note.mask) != 0 ||
                change.before.text != change.after.text;
            if (change.index < module.ItemCount() &&
                &module.Item(change.index).dwValue == note.valueWord && bitsChanged)
                return note.name;
        }
    }
    for (auto note = m_notes.rbegin(); note != m_notes.rend(); ++note) {
        if (!note->valueWord)
            return note->name;
    }
    return {};
}

std::string CUndoHistory::StepName(const tUndoStep& step, const IModuleHost& modules) {
    const std::vector<std::size_t> touched = step.Modules();
    if (touched.empty())
        return "Options";
    if (touched.size() > 1)
        return "Changes in " + std::to_string(touched.size()) + " modules";
    const CModuleBase& module = *modules.ModuleAt(touched.front());
    if (step.items.size() == 1 && step.selections.empty())
        return module.InstanceName() + ": " + module.GetDefineName(module.Item(step.items[0].index));
    if (step.items.empty() && step.selections.size() == 1)
        return (step.selections[0].after ? "Write " : "Leave Out ") + module.InstanceName();
    return module.InstanceName() + " Settings";
}

} // namespace hwc
