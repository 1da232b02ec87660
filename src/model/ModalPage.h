#pragma once
// A page the user answers as a whole, such as a wizard: its controls are a toolkit-free page
// built from a dialog template and bound to values its owner keeps, and it ends with Apply or
// Cancel. Nothing is written before Apply, and Apply is refused (with the owner's message)
// while the values cannot be used. The desktop runs such a page as a modal dialog through the
// installed runner; a run without one (headless, tests that install none) cancels it.

#include <memory>
#include <string>
#include <vector>

#include "model/Page.h"

class CModalPage : public IPageCommandHandler {
public:
    enum class EResult { Apply, Cancel };

    CModalPage(const CDialogTemplate& dialogTemplate, std::string title);
    ~CModalPage() override;
    CModalPage(const CModalPage&) = delete;
    CModalPage& operator=(const CModalPage&) = delete;

    CPage& Page() { return *m_page; }
    const std::string& Title() const { return m_title; }

    // Binds a control (a sub-page's as sub-page id x 0x10000 + id) to a value of the owner: an
    // edit field to its text, a combo box to the chosen position, a check box to its state.
    // The control shows the value at once and writes it back whenever the user changes it.
    void BindText(int controlId, std::string& value);
    void BindChoice(int controlId, int& value);
    void BindCheck(int controlId, bool& value);
    // Shows every bound value in its control again.
    void RefreshControls();

    // The user's Apply: true when the owner took the values (and wrote them); false keeps the
    // page open after the owner said why.
    bool Apply();
    // The answer so far: Apply once Apply succeeded, else Cancel.
    EResult Result() const { return m_applied ? EResult::Apply : EResult::Cancel; }

    void OnPageCommand(CPageControl& control, EControlEvent event) override;

protected:
    // Checks the bound values and writes them; false (after a message) refuses them.
    virtual bool OnApply() = 0;
    // A bound value changed: the owner recomputes what the page shows.
    virtual void OnValuesChanged() {}

private:
    class CValueBinding;

    void Bind(int controlId, std::unique_ptr<CValueBinding> binding);

    std::string m_title;
    // The bindings outlive the page, whose controls tell them when they go.
    std::vector<std::unique_ptr<CValueBinding>> m_bindings;
    std::unique_ptr<CPage> m_page;
    bool m_applied = false;
};

namespace hwc {

// Runs modal pages: the desktop shows a dialog and returns once the user closed it.
class IModalPageRunner {
public:
    virtual ~IModalPageRunner() = default;
    virtual CModalPage::EResult Run(CModalPage& page) = 0;
};

// Installs the runner every modal page goes to; returns the previous one. Null restores the
// default, which cancels every page.
IModalPageRunner* SetModalPageRunner(IModalPageRunner* runner);
// Runs the page with the installed runner; Apply only when the page accepted its values.
CModalPage::EResult RunModalPage(CModalPage& page);

// Installs a runner for the lifetime of the scope.
class ScopedModalPageRunner {
public:
    explicit ScopedModalPageRunner(IModalPageRunner& runner)
        : m_previous(SetModalPageRunner(&runner)) {}
    ~ScopedModalPageRunner() { SetModalPageRunner(m_previous); }
    ScopedModalPageRunner(const ScopedModalPageRunner&) = delete;
    ScopedModalPageRunner& operator=(const ScopedModalPageRunner&) = delete;

private:
    IModalPageRunner* m_previous;
};

} // namespace hwc
