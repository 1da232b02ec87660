#pragma once
// The module tree pane: the document's module tree drawn as a tree widget. Modules with
// registers carry a check box (selected for writing); groups show a folder picture. The view
// only mirrors the tree model and reports what the user does; the main window decides.

#include <QTreeWidget>

#include <unordered_map>
#include <unordered_set>

#include "project/ModuleTree.h"

class CModuleBase;

class CLeftTreeView : public QTreeWidget, public IModuleTreeObserver {
    Q_OBJECT
public:
    explicit CLeftTreeView(QWidget* parent = nullptr);
    ~CLeftTreeView() override;

    // Mirrors the tree from now on (null: none); items already in it are drawn at once.
    void SetTree(CModuleTree* tree);

    // The widget item drawing the tree item (null when there is none) and the other way round.
    QTreeWidgetItem* WidgetItem(const CModuleTreeItem* item) const;
    CModuleTreeItem* TreeItem(const QTreeWidgetItem* widgetItem) const;
    QTreeWidgetItem* WidgetItemOf(const CModuleBase* module) const;
    // Makes the widget's current item the tree's selected item again (after a refused change).
    void SyncCurrentItem();
    // Marks the items of these modules as having warnings (a badge on the item's picture);
    // all other items lose the mark.
    void SetWarningModules(const std::unordered_set<const CModuleBase*>& modules);
    bool HasWarningMark(const QTreeWidgetItem* widgetItem) const;
    // The width that shows every item's text whole (indentation, check box and picture
    // included), whether its branch is expanded or not.
    int WidthForAllNames() const;

    // IModuleTreeObserver
    void OnTreeCleared() override;
    void OnItemInserted(CModuleTreeItem& item) override;
    void OnItemChanged(CModuleTreeItem& item) override;
    void OnSelectionChanged(CModuleTreeItem* previous, CModuleTreeItem* current) override;

signals:
    // The user moved the selection to the module's item.
    void selectionRequested(CModuleBase* module);
    // The tree's selection moved (from the user or the program).
    void moduleSelected(CModuleBase* previous, CModuleBase* current);
    // The user clicked a module's check box.
    void checkToggled(CModuleBase* module, bool checked);
    // Tab or Esc: the page of the selected module should take the focus.
    void pageFocusRequested();

protected:
    bool event(QEvent* event) override;

private:
    void ApplyState(QTreeWidgetItem& widgetItem, const CModuleTreeItem& item);
    void OnCurrentItemChanged(QTreeWidgetItem* current);
    void OnItemChanged(QTreeWidgetItem* widgetItem);
    void OnExpandedChanged(QTreeWidgetItem* widgetItem, bool expanded);

    CModuleTree* m_tree = nullptr;
    std::unordered_map<const CModuleTreeItem*, QTreeWidgetItem*> m_widgetItems;
    std::unordered_set<const CModuleBase*> m_warned;
    int m_syncing = 0; // above 0 while the view copies the model
};
