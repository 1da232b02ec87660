#pragma once
// The right-hand pane of the main window: the page of the module selected in the tree. A
// module's page widgets are made the first time its page is shown and kept (hidden) afterwards;
// before any selection, and for a module without a page, an empty view stands in. Plug-ins that
// ask to be loaded early get their page when the first module of a project is shown.

#include <QStackedWidget>

#include <unordered_map>

class CGroupPage;
class CModuleBase;
class CModuleTreeItem;

class CPagePane : public QStackedWidget {
    Q_OBJECT
public:
    explicit CPagePane(QWidget* parent = nullptr);

    // Shows the module's page (null: the empty view); the page model of the module left is
    // marked hidden, the new one shown and refreshed from the registers. A module without a
    // page whose tree item has children (a group) shows links to them instead.
    void ShowModule(CModuleBase* module, const CModuleTreeItem* treeItem = nullptr);
    // Forgets every page widget (the project is being cleared).
    void Forget();

    CModuleBase* CurrentModule() const { return m_module; }
    // The widget showing the module's page, or null before it was first shown.
    QWidget* ViewOf(const CModuleBase* module) const;
    QWidget* EmptyView() const { return m_empty; }
    // The links page of the group item shown, or null.
    CGroupPage* ShownGroupPage() const;
    // Gives the keyboard focus to the first control of the page shown that takes it.
    void FocusPage();

signals:
    // A link of a group's page was clicked.
    void treeItemRequested(const CModuleTreeItem* item);

private:
    QWidget* MakeView(CModuleBase& module);
    QWidget* GroupView(const CModuleTreeItem& group);
    // Makes and loads the pages of the shown module's project whose plug-ins load them early.
    void LoadEarlyPages(const CModuleBase& shown);

    QWidget* m_empty = nullptr;
    CModuleBase* m_module = nullptr;
    const CModuleTreeItem* m_treeItem = nullptr;
    bool m_earlyPagesLoaded = false;
    std::unordered_map<const CModuleBase*, QWidget*> m_views;
    std::unordered_map<const CModuleTreeItem*, CGroupPage*> m_groups;
};
