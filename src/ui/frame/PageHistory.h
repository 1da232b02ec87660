#pragma once
// The back/forward history of the module pages shown: a list with a current position. Showing a
// new page after going back cuts the forward part, so Forward leads only to pages left by Back.

#include <cstddef>
#include <vector>

class CModuleBase;

namespace hwc::ui {

class CPageHistory {
public:
    // Records a page shown; nothing while navigating through the history itself.
    void Record(CModuleBase* module);
    void Clear();

    bool CanGoBack() const { return m_position > 0; }
    bool CanGoForward() const;
    // Steps back (forward) and returns the module of the entry now current, or null when there
    // is nothing in that direction.
    CModuleBase* StepBack();
    CModuleBase* StepForward();
    // Undoes the last step when its page could not be shown.
    void UndoStep(int step) { m_position -= step; }

    // While a navigation shows a page, that page is not recorded again.
    class CNavigating {
    public:
        explicit CNavigating(CPageHistory& history) : m_history(history) {
            ++m_history.m_navigating;
        }
        ~CNavigating() { --m_history.m_navigating; }
        CNavigating(const CNavigating&) = delete;
        CNavigating& operator=(const CNavigating&) = delete;

    private:
        CPageHistory& m_history;
    };

    int Position() const { return m_position; }
    const std::vector<CModuleBase*>& Entries() const { return m_entries; }

private:
    std::vector<CModuleBase*> m_entries; // null: an entry cut by a later Record
    int m_position = -1;
    int m_navigating = 0;
};

} // namespace hwc::ui
