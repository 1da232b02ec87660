#pragma once
// The "Find Setting" window: a search field over every module page of the project and the list
// of settings found, updated as one types. Choosing a result shows its module's page with the
// focus and a tool-tip on the control. Modeless, one per main window; the index and the search
// are the core's.

#include <QDialog>

#include <vector>

#include "project/DocumentObserver.h"
#include "project/SettingSearch.h"

class CProjDocBase;
class QLabel;
class QLineEdit;
class QListWidget;

class CFindSettingDlg : public QDialog, public hwc::IDocumentObserver {
    Q_OBJECT
public:
    // `mainWindow` gets the focus back when a result is chosen, and places the window at first.
    CFindSettingDlg(CProjDocBase& document, QWidget* mainWindow);
    ~CFindSettingDlg() override;

    // The menu command: shows the window in front with the query selected, so typing replaces
    // it.
    void Open();
    // Shows the result of that row of the list; false when nothing was shown.
    bool Choose(int row);

    // --- Parts (for tests) ---
    QLineEdit* QueryField() const { return m_query; }
    QListWidget* ResultList() const { return m_list; }
    QLabel* StatusText() const { return m_status; }
    const std::vector<hwc::tSearchResult>& Results() const { return m_results; }

    // hwc::IDocumentObserver
    void OnDocumentUpdate(int hint, CModuleBase* sender, const void* object) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Runs the query again and fills the list, keeping the chosen setting chosen.
    void Search();
    void UpdateStatus();

    CProjDocBase& m_document;
    QWidget* m_mainWindow;
    hwc::CSettingSearch m_search;
    std::vector<hwc::tSearchResult> m_results;
    std::size_t m_total = 0;
    bool m_placed = false;
    bool m_refreshPending = false;
    QLineEdit* m_query = nullptr;
    QListWidget* m_list = nullptr;
    QLabel* m_status = nullptr;
};
