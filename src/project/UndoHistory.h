#pragma once
// The undo and redo history of a project. The whole configuration is the register values, the
// modules' selection for output and the project options, so a step is simply the set of those
// that one user action changed, before and after. The history compares the project with the
// state it last recorded whenever an action may have ended; restoring a step writes the values
// back, and the document then runs its update cycle so that every view follows.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "project/ProjectOptions.h"

class IModuleHost;

namespace hwc {

// One register item's value as a user can change it: the number, and the text of a text item.
struct tItemValue {
    std::uint32_t number = 0;
    std::string text;

    bool operator==(const tItemValue&) const = default;
};

struct tItemChange {
    std::size_t module = 0; // position in the document's module list
    int index = 0;          // the item
    tItemValue before;
    tItemValue after;
};

struct tSelectionChange {
    std::size_t module = 0;
    bool before = false;
    bool after = false;
};

struct tUndoStep {
    std::string name; // "PIT0: Clock Prescaler"
    std::vector<tItemChange> items;
    std::vector<tSelectionChange> selections;
    std::optional<tProjectOptions> optionsBefore;
    std::optional<tProjectOptions> optionsAfter;

    // The modules the step touches, each once, in list order.
    std::vector<std::size_t> Modules() const;
};

class CUndoHistory {
public:
    // Forgets every step; the project as it stands is the state later changes are measured from.
    void Reset(const IModuleHost& modules, const tProjectOptions& options);
    // A user action may have changed values; the next Commit records them as a step. A control
    // names the step with the register word and bits it edits (`valueWord`, `mask`), and does so
    // only when those bits changed: a control that merely stored its unchanged value as the
    // focus left it does not take the name. Otherwise the last name given without a word (an import, a reset)
    // names the step, and without any the step is named from what changed.
    void NoteUserAction(std::string name = {}, const std::uint32_t* valueWord = nullptr,
                        std::uint32_t mask = 0xFFFFFFFF);
    // Records what changed since the last recorded state as one step when a user action was
    // noted (the redo steps are then dropped). Changes nobody noted (a page working out its
    // derived values when first shown) only become the new starting point. True when a step
    // was recorded.
    bool Commit(const IModuleHost& modules, const tProjectOptions& options);
    // Writes the step's values back (before for undo, after for redo) and moves it to the other
    // list; null when there is nothing to take back (or to do again). The caller runs the update
    // cycle for the step's modules and then calls Settle.
    const tUndoStep* Undo(IModuleHost& modules, tProjectOptions& options);
    const tUndoStep* Redo(IModuleHost& modules, tProjectOptions& options);
    // After restoring: the project as it now stands is the recorded state, whatever the update
    // cycle worked out again, and no user action is pending.
    void Settle(const IModuleHost& modules, const tProjectOptions& options);

    bool CanUndo() const { return !m_undo.empty(); }
    bool CanRedo() const { return !m_redo.empty(); }
    // The name of the step Undo (Redo) would restore; empty when none.
    std::string UndoName() const { return m_undo.empty() ? std::string() : m_undo.back().name; }
    std::string RedoName() const { return m_redo.empty() ? std::string() : m_redo.back().name; }
    std::size_t UndoCount() const { return m_undo.size(); }
    std::size_t RedoCount() const { return m_redo.size(); }

private:
    struct tState {
        std::vector<std::vector<tItemValue>> items;
        std::vector<bool> selected;
        tProjectOptions options;
    };

    static tState Capture(const IModuleHost& modules, const tProjectOptions& options);
    // What differs from the recorded state, which then holds the project as it stands.
    tUndoStep TakeChanges(const IModuleHost& modules, const tProjectOptions& options);
    static void Apply(const tUndoStep& step, bool forward, IModuleHost& modules,
                      tProjectOptions& options);
    static std::string StepName(const tUndoStep& step, const IModuleHost& modules);
    // The name the notes give the step, or empty when none applies.
    std::string NotedName(const tUndoStep& step, const IModuleHost& modules) const;

    struct tNote {
        std::string name;
        const std::uint32_t* valueWord = nullptr;
        std::uint32_t mask = 0;
    };

    tState m_state;
    std::vector<tUndoStep> m_undo;
    std::vector<tUndoStep> m_redo;
    std::vector<tNote> m_notes;
    bool m_actionPending = false;
};

} // namespace hwc
