#pragma once
// The main window: the module page on the right, the information view above the module tree on
// the left, the tool bar, the status bar and the two docking bars (registers, warnings). It
// shows the document's module pages with a back/forward history, carries the menu commands, and
// remembers its placement and bar layout between runs.

#include <QMainWindow>

#include <map>
#include <string>

#include "project/DocumentObserver.h"
#include "ui/frame/DesktopDoc.h"
#include "ui/frame/PageHistory.h"

class CBarRegsView;
class CBarWarnView;
class CInfoView;
class CLeftTreeView;
class CModuleTreeItem;
class CPagePane;
class CUnselectedBanner;
class QMenu;
class QAction;
class QDockWidget;
class QLabel;
class QLineEdit;
class QSplitter;
class QToolBar;

class CMainFrame : public QMainWindow, public IPageHost, public hwc::IDocumentObserver {
    Q_OBJECT
public:
    explicit CMainFrame(CDesktopDoc& document, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CDesktopDoc& Document() const { return m_document; }

    // --- Project ---

    // Opens a project (header file, folder, or the current folder for an empty path). A project
    // held by another instance is not opened: that instance is brought forward instead (after
    // asking, once the program is interactive). Runs the self-test or schedules Save & Exit when
    // the run flags ask for it.
    bool OpenProject(const QString& path);
    // Asks for a project until one opens; false when the user gives up (the window then closes).
    bool PromptForProject();
    // Saves to the project file.
    bool SaveProject();
    // Saves to another path: the project moves there, or (copy) stays where it is.
    bool SaveProjectAs(const QString& path, bool copy);
    // Saves and, when that succeeded, closes without asking. In a re-process run a failed save
    // closes too, with exit code 1.
    void SaveAndExit();
    // Commits the page, then asks about unsaved changes; false when the project must stay open.
    bool CanCloseProject();
    // The exit code the program should end with (1 after a failed re-process save).
    int ExitCode() const { return m_exitCode; }
    // Opens a project of the recent-projects list as Open does; a project that no longer
    // exists is dropped from the list, with a message saying so.
    bool OpenRecentProject(const QString& path);
    // The File menu's list of recent projects (disabled while it is empty).
    QMenu* RecentMenu() const { return m_recentMenu; }

    // --- Placement ---

    // Applies the stored placement (show state combined with the launch request), or the
    // default size for the screen when none of full length is stored; then shows the window.
    void PlaceWindow(int launchShowState);
    void SavePlacement() const;
    // Brings the window to the front (another instance asked for this project).
    void Activate();

    // --- Pages ---

    // IPageHost: selects the module in the tree, which shows its page; false when the page
    // being left keeps an invalid value.
    bool ShowModulePage(CModuleBase& module) override;
    bool CommitDisplayedPage() override;
    void GoBack();
    void GoForward();
    const hwc::ui::CPageHistory& History() const { return m_history; }

    // --- Parts (for the application and tests) ---

    QAction* Action(int commandId) const;
    CLeftTreeView* TreeView() const { return m_tree; }
    CPagePane* PagePane() const { return m_pane; }
    CInfoView* InfoView() const { return m_info; }
    CBarRegsView* RegistersView() const { return m_regsView; }
    CBarWarnView* WarningsView() const { return m_warnView; }
    QDockWidget* RegistersBar() const { return m_regsBar; }
    QDockWidget* WarningsBar() const { return m_warnBar; }
    QLabel* StatusIndicator(int index) const;
    CUnselectedBanner* UnselectedBanner() const { return m_banner; }
    QSplitter* OuterSplitter() const { return m_outer; }

    // The module tree's context menu for the module (the caller owns it): include or exclude
    // it, show its registers, reset it, open its manual chapter.
    QMenu* CreateTreeMenu(CModuleBase& module);
    // Asks, then sets the module's registers back to their defaults; false when the user
    // declined or nothing changed.
    bool ResetModule(CModuleBase& module);
    // Hex/Dec: the value field being edited switches its base; without one the registers bar
    // does, and the status bar says so.
    void ToggleHexDec();

    // hwc::IDocumentObserver
    void OnDocumentUpdate(int hint, CModuleBase* sender, const void* object) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateClientArea();
    void CreateBars();
    void CreateCommands();
    void OnCommand(int commandId);
    void UpdateCommandStates();
    // The Undo and Redo commands' names and states from the document's history.
    void UpdateUndoCommands();
    // Undo (or Redo): a text field with the focus takes back its own typing first; otherwise
    // the document's last step.
    void UndoRedo(bool redo);
    // The editable text field that has the focus (a combo box's included), or null.
    static QLineEdit* FocusedTextEdit();
    void UpdateTitleAndStatus();
    // The tree's selection moved: show the page, tell the views, record the history.
    void OnModuleSelected(CModuleBase* previous, CModuleBase* current);
    void OnSelectionRequested(CModuleBase* module);
    void OnCheckToggled(CModuleBase* module, bool checked);
    // False when another running instance holds the project file; that instance is brought
    // forward (after asking once the program is interactive).
    void AfterOpen();
    // Shows the page last shown for this project, else the first module in the tree that has
    // a page; the history starts from it.
    void ShowFirstPage();
    // A link on a group's page: selects the item as a click in the tree would.
    void OnTreeItemRequested(const CModuleTreeItem* item);
    void OpenCommand();
    // Tells in the status bar what a successful save wrote (a copy: at copyPath).
    void AfterSave(bool saved, const std::string& copyPath = std::string());
    void SaveAsCommand(bool copy);
    // The recent-projects submenu of the File menu, and its entries from the stored list.
    void CreateRecentMenu();
    void UpdateRecentMenu();
    // Puts the open project at the top of the recent-projects list.
    void RememberRecentProject();
    void EditCommand(const char* slot);
    void ShowHelp(int commandId);
    // The badge on tree items of modules with warnings follows the document's list.
    void UpdateWarningMarks();
    // The line above the page says whether the module shown is written to the header.
    void UpdateBanner();
    // The tree pane takes its remembered width, else the width of the project's names within
    // reason.
    void FitTreePane();
    void OnTreeContextMenu(const QPoint& position);

    CDesktopDoc& m_document;
    hwc::ui::CPageHistory m_history;
    CLeftTreeView* m_tree = nullptr;
    CPagePane* m_pane = nullptr;
    CUnselectedBanner* m_banner = nullptr;
    CInfoView* m_info = nullptr;
    QSplitter* m_outer = nullptr;
    QSplitter* m_inner = nullptr;
    QToolBar* m_toolBar = nullptr;
    CBarRegsView* m_regsView = nullptr;
    CBarWarnView* m_warnView = nullptr;
    QDockWidget* m_regsBar = nullptr;
    QDockWidget* m_warnBar = nullptr;
    QLabel* m_indicators[3] = {};
    std::map<int, QAction*> m_actions;
    QMenu* m_recentMenu = nullptr;
    bool m_closing = false; // the next close does not ask
    bool m_opening = false; // a project is being opened: its first selection is not remembered
    int m_exitCode = 0;
};
