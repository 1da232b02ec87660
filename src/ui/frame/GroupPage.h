#pragma once
// The page of a group in the module tree: its name and one link per item below it, so a
// folder selected in the tree leads somewhere instead of showing a blank pane.

#include <QScrollArea>

class CModuleTreeItem;

class CGroupPage : public QScrollArea {
    Q_OBJECT
public:
    CGroupPage(const CModuleTreeItem& group, QWidget* parent = nullptr);

    const CModuleTreeItem& Group() const { return m_group; }
    // The number of links shown (for tests).
    int LinkCount() const { return m_links; }
    // Follows the link of the child at that position, as a click on it would.
    void FollowChild(int index);

signals:
    // A link was clicked: the child item should be shown.
    void childActivated(const CModuleTreeItem* child);

private:
    const CModuleTreeItem& m_group;
    int m_links = 0;
};
