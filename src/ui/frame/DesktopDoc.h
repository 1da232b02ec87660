#pragma once
// The project document of the desktop program: its output options come from the user's
// settings, and module pages are shown and committed by the main window.

#include "project/ProjDoc.h"

// What the document asks of the window that shows its pages.
class IPageHost {
public:
    virtual ~IPageHost() = default;
    // Shows the module's page (selecting it in the tree); false when the page being left keeps
    // an invalid value.
    virtual bool ShowModulePage(CModuleBase& module) = 0;
    // Commits the page shown: its bindings check and store their values; false keeps the
    // project from being saved or closed.
    virtual bool CommitDisplayedPage() = 0;
};

class CDesktopDoc : public CProjDoc {
public:
    // The desktop program keeps a history of the user's changes.
    CDesktopDoc() { EnableUndo(); }

    void SetPageHost(IPageHost* host) { m_pageHost = host; }

    bool ShowModulePage(CModuleBase& module) override;
    // The base's page showing, for the window that carries it out.
    bool ShowModulePageInModel(CModuleBase& module) { return CProjDoc::ShowModulePage(module); }
    // Commits the page shown (public for the window's closing and saving commands).
    bool CommitPage() { return CommitDisplayedPage(); }

protected:
    void LoadOptions() override;
    void ActivateHolder(long holder) override;
    bool CommitDisplayedPage() override;
    // While a dialog is open (a wizard, a question), its changes belong to one step.
    bool IsUndoStepHeld() const override;

private:
    IPageHost* m_pageHost = nullptr;
};
