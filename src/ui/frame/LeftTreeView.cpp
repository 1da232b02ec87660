#include "ui/frame/LeftTreeView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyle>

#include <algorithm>

#include "model/ModuleBase.h"
#include "ui/frame/AppIcon.h"

namespace {

// Widget items keep their tree item here.
constexpr int kTreeItemRole = Qt::UserRole + 1;
// Whether the item carries the warning badge.
constexpr int kWarnedRole = Qt::UserRole + 2;

bool HasCheckBox(int stateImage) {
    return stateImage == hwc::kStateUnchecked || stateImage == hwc::kStateChecked;
}

// The item's picture with a warning sign over its lower right half; the sign alone when the
// item has no picture.
QIcon WithWarningBadge(const QIcon& base, const QStyle& style, int size) {
    const QIcon warning = style.standardIcon(QStyle::SP_MessageBoxWarning);
    if (base.isNull())
        return warning;
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    base.paint(&painter, pixmap.rect());
    const int badge = size * 5 / 8;
    warning.paint(&painter, QRect(size - badge, size - badge, badge, badge));
    painter.end();
    return QIcon(pixmap);
}

} // namespace

CLeftTreeView::CLeftTreeView(QWidget* parent) : QTreeWidget(parent) {
    setObjectName("ModuleTree");
    setContextMenuPolicy(Qt::CustomContextMenu);
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    header()->setStretchLastSection(true);
    connect(this, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* current, QTreeWidgetItem*) { OnCurrentItemChanged(current); });
    connect(this, &QTreeWidget::itemChanged, this,
            [this](QTreeWidgetItem* item, int) { OnItemChanged(item); });
    connect(this, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* item) { OnExpandedChanged(item, true); });
    connect(this, &QTreeWidget::itemCollapsed, this,
            [this](QTreeWidgetItem* item) { OnExpandedChanged(item, false); });
}

CLeftTreeView::~CLeftTreeView() {
    SetTree(nullptr);
}

void CLeftTreeView::SetTree(CModuleTree* tree) {
    if (m_tree)
        m_tree->SetObserver(nullptr);
    OnTreeCleared();
    m_tree = tree;
    if (!m_tree)
        return;
    m_tree->SetObserver(this);
    m_tree->ForEachItem([this](CModuleTreeItem& item) { OnItemInserted(item); });
    m_tree->ForEachItem([this](CModuleTreeItem& item) { OnItemChanged(item); });
    OnSelectionChanged(nullptr, m_tree->SelectedItem());
}

QTreeWidgetItem* CLeftTreeView::WidgetItem(const CModuleTreeItem* item) const {
    const auto found = m_widgetItems.find(item);
    return found == m_widgetItems.end() ? nullptr : found->second;
}

CModuleTreeItem* CLeftTreeView::TreeItem(const QTreeWidgetItem* widgetItem) const {
    if (!widgetItem)
        return nullptr;
    return static_cast<CModuleTreeItem*>(widgetItem->data(0, kTreeItemRole).value<void*>());
}

QTreeWidgetItem* CLeftTreeView::WidgetItemOf(const CModuleBase* module) const {
    return m_tree ? WidgetItem(m_tree->FindItem(module)) : nullptr;
}

void CLeftTreeView::SyncCurrentItem() {
    ++m_syncing;
    QTreeWidgetItem* item = m_tree ? WidgetItem(m_tree->SelectedItem()) : nullptr;
    if (item)
        setCurrentItem(item);
    else
        setCurrentItem(nullptr);
    --m_syncing;
}

void CLeftTreeView::OnTreeCleared() {
    ++m_syncing;
    clear();
    m_widgetItems.clear();
    --m_syncing;
}

void CLeftTreeView::OnItemInserted(CModuleTreeItem& item) {
    ++m_syncing;
    auto* widgetItem = new QTreeWidgetItem(QStringList(QString::fromStdString(item.Text())));
    widgetItem->setData(0, kTreeItemRole, QVariant::fromValue(static_cast<void*>(&item)));
    // A narrow pane cuts long names; the whole text shows when the pointer rests on it.
    widgetItem->setToolTip(0, QString::fromStdString(item.Text()));
    QTreeWidgetItem* parent = WidgetItem(item.Parent());
    if (parent)
        parent->addChild(widgetItem);
    else
        addTopLevelItem(widgetItem);
    m_widgetItems[&item] = widgetItem;
    ApplyState(*widgetItem, item);
    --m_syncing;
}

void CLeftTreeView::OnItemChanged(CModuleTreeItem& item) {
    QTreeWidgetItem* widgetItem = WidgetItem(&item);
    if (!widgetItem)
        return;
    ++m_syncing;
    ApplyState(*widgetItem, item);
    widgetItem->setExpanded(item.IsExpanded());
    --m_syncing;
}

void CLeftTreeView::OnSelectionChanged(CModuleTreeItem* previous, CModuleTreeItem* current) {
    SyncCurrentItem();
    emit moduleSelected(previous ? previous->Module() : nullptr,
                        current ? current->Module() : nullptr);
}

void CLeftTreeView::ApplyState(QTreeWidgetItem& widgetItem, const CModuleTreeItem& item) {
    const int state = item.StateImage();
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    QIcon icon;
    if (HasCheckBox(state)) {
        widgetItem.setFlags(flags | Qt::ItemIsUserCheckable);
        widgetItem.setCheckState(0, state == hwc::kStateChecked ? Qt::Checked : Qt::Unchecked);
    } else {
        widgetItem.setFlags(flags);
        widgetItem.setData(0, Qt::CheckStateRole, QVariant());
        icon = hwc::ui::GroupIcon(state);
    }
    const bool warned = item.Module() && m_warned.count(item.Module()) > 0;
    widgetItem.setData(0, kWarnedRole, warned);
    if (warned)
        icon = WithWarningBadge(icon, *style(), iconSize().isValid() ? iconSize().height() : 16);
    widgetItem.setIcon(0, icon);
    const QString text = QString::fromStdString(item.Text());
    widgetItem.setToolTip(0, warned ? text + QStringLiteral("\nThis module has warnings.") : text);
}

void CLeftTreeView::SetWarningModules(const std::unordered_set<const CModuleBase*>& modules) {
    if (modules == m_warned)
        return;
    m_warned = modules;
    ++m_syncing;
    for (const auto& [item, widgetItem] : m_widgetItems)
        ApplyState(*widgetItem, *item);
    --m_syncing;
}

bool CLeftTreeView::HasWarningMark(const QTreeWidgetItem* widgetItem) const {
    return widgetItem && widgetItem->data(0, kWarnedRole).toBool();
}

int CLeftTreeView::WidthForAllNames() const {
    const int picture = iconSize().isValid() ? iconSize().width() : 16;
    const int checkBox = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this);
    int widest = 0;
    for (const auto& [item, widgetItem] : m_widgetItems) {
        int depth = 1; // the top level has its branch indicator too
        for (const QTreeWidgetItem* up = widgetItem->parent(); up; up = up->parent())
            ++depth;
        const int text = fontMetrics().horizontalAdvance(widgetItem->text(0));
        widest = std::max(widest, depth * indentation() + picture + checkBox + text);
    }
    const int frame = 2 * frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    return widest + frame + 16;
}

void CLeftTreeView::OnCurrentItemChanged(QTreeWidgetItem* current) {
    if (m_syncing > 0 || !m_tree)
        return;
    CModuleTreeItem* item = TreeItem(current);
    if (!item || item == m_tree->SelectedItem())
        return;
    if (item->Module())
        emit selectionRequested(item->Module());
    else
        m_tree->SelectItem(item);
}

void CLeftTreeView::OnItemChanged(QTreeWidgetItem* widgetItem) {
    if (m_syncing > 0)
        return;
    const CModuleTreeItem* item = TreeItem(widgetItem);
    if (!item || !item->Module() || !HasCheckBox(item->StateImage()))
        return;
    const bool checked = widgetItem->checkState(0) == Qt::Checked;
    if (checked == (item->StateImage() == hwc::kStateChecked))
        return;
    emit checkToggled(item->Module(), checked);
}

void CLeftTreeView::OnExpandedChanged(QTreeWidgetItem* widgetItem, bool expanded) {
    if (m_syncing > 0 || !m_tree)
        return;
    if (CModuleTreeItem* item = TreeItem(widgetItem))
        m_tree->SetExpanded(*item, expanded);
}

bool CLeftTreeView::event(QEvent* event) {
    // Tab would otherwise move along the window's focus chain before the view sees it.
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Escape) &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            emit pageFocusRequested();
            return true;
        }
    }
    return QTreeWidget::event(event);
}
