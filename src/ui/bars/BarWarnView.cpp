#include "ui/bars/BarWarnView.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

#include "base/IdleWake.h"
#include "model/ModuleBase.h"
#include "plugins/PluginModule.h"
#include "project/ProjDoc.h"

namespace {

constexpr int kOwnerRole = Qt::UserRole;
constexpr int kIdRole = Qt::UserRole + 1;

// Hints after which the module settings may have changed, so the warnings must be checked.
bool IsSettingsHint(int hint) {
    return hint == 3 || hint == 5 || hint == 6 || (hint >= 10 && hint <= 12) ||
           (hint >= 20 && hint <= 23);
}

// A warning is known by its module and its indicator control; rows keep that key rather than
// the record, which the document may have deleted since the last rebuild.
using tWarningKey = std::pair<const CModuleBase*, int>;

tWarningKey KeyOf(const QTreeWidgetItem& item) {
    return {reinterpret_cast<const CModuleBase*>(item.data(0, kOwnerRole).value<quintptr>()),
            item.data(0, kIdRole).toInt()};
}

// The list keeps the module column in view: a row is brought into view at its first column,
// whichever cell was clicked, since the wide text column would otherwise push the module
// column out to the left.
class CWarningRowList final : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;
    void scrollTo(const QModelIndex& index, ScrollHint hint) override {
        QTreeWidget::scrollTo(index.siblingAtColumn(0), hint);
    }
};

} // namespace

CBarWarnView::CBarWarnView(QWidget* parent) : QWidget(parent) {
    setWindowTitle("Warnings View");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_list = new CWarningRowList(this);
    m_list->setObjectName("warningsList");
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({"Module", "Warning text"});
    m_list->setColumnWidth(0, 100);
    m_list->setColumnWidth(1, 1400);
    m_list->setRootIsDecorated(false);
    m_list->setAllColumnsShowFocus(true);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setUniformRowHeights(true);
    m_list->installEventFilter(this);
    layout->addWidget(m_list, 1);

    m_showAll = new QCheckBox("Show warnings even for non-included modules", this);
    layout->addWidget(m_showAll);

    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { ActivateSelection(); });
    connect(m_showAll, &QCheckBox::clicked, this, [this] { RequestRebuild(); });
}

CBarWarnView::~CBarWarnView() = default;

void CBarWarnView::SetDocument(CProjDoc* document) {
    m_document.Set(document);
    Rebuild();
}

void CBarWarnView::FocusList() {
    m_list->setFocus(Qt::ShortcutFocusReason);
    if (!m_list->currentItem() && m_list->topLevelItemCount() > 0)
        m_list->setCurrentItem(m_list->topLevelItem(0));
}

void CBarWarnView::OnDocumentUpdate(int hint, CModuleBase* /*sender*/, const void* /*object*/) {
    if (hint == hwc::kHintIdle) {
        RebuildIfPending();
    } else if (IsSettingsHint(hint)) {
        if (m_document)
            m_document->RequestWarnings();
    } else if (hint == hwc::kHintWarningChanged) {
        RequestRebuild();
    } else if (hint == hwc::kHintProjectCleared) {
        m_list->clear();
    }
}

const CWarning* CBarWarnView::WarningAt(int row) const {
    const QTreeWidgetItem* item = m_list->topLevelItem(row);
    if (!item || !m_document)
        return nullptr;
    const tWarningKey key = KeyOf(*item);
    for (const auto& warning : m_document->Warnings().Items())
        if (warning->owner == key.first && warning->id == key.second)
            return warning.get();
    return nullptr;
}

bool CBarWarnView::ActivateSelection() {
    const QList<QTreeWidgetItem*> selected = m_list->selectedItems();
    if (selected.size() != 1 || !m_document)
        return false;
    const CWarning* warning = WarningAt(m_list->indexOfTopLevelItem(selected.front()));
    if (!warning || !warning->owner)
        return false;
    // Showing the page may run a warnings pass that replaces the record: keep what is needed.
    CModuleBase& owner = *warning->owner;
    const int id = warning->id;
    const std::string text = warning->text;
    if (!m_document->ShowModulePage(owner))
        return false;
    // A plug-in's page shows the detail of its own warnings; the tool shows nothing for them.
    if (owner.IsKindOf(CPluginModule::kRuntimeClass))
        static_cast<CPluginModule&>(owner).ShowWarningDetail(id, text);
    else
        owner.ShowToolTip(id, text, "Warning detail");
    return true;
}

void CBarWarnView::RebuildIfPending() {
    if (m_pending)
        Rebuild();
}

void CBarWarnView::RequestRebuild() {
    m_pending = true;
    hwc::WakeIdle();
}

void CBarWarnView::Rebuild() {
    m_pending = false;
    const bool showAll = m_showAll->isChecked();

    std::vector<tWarningKey> selectedKeys;
    for (const QTreeWidgetItem* item : m_list->selectedItems())
        selectedKeys.push_back(KeyOf(*item));
    int lastVisible = m_list->topLevelItemCount() - 1;
    if (const QModelIndex bottom = m_list->indexAt(QPoint(1, m_list->viewport()->height() - 1));
        bottom.isValid())
        lastVisible = bottom.row();

    m_list->setUpdatesEnabled(false);
    m_list->clear();
    QTreeWidgetItem* firstSelected = nullptr;
    if (m_document) {
        for (const auto& warning : m_document->Warnings().Items()) {
            CModuleBase* owner = warning->owner;
            if (!owner || (!showAll && !owner->IsSelected()))
                continue;
            auto* item = new QTreeWidgetItem(m_list);
            item->setText(0, QString::fromStdString(owner->Title()));
            item->setText(1, QString::fromStdString(warning->text));
            item->setData(0, kOwnerRole, QVariant::fromValue(reinterpret_cast<quintptr>(owner)));
            item->setData(0, kIdRole, warning->id);
            const tWarningKey key{owner, warning->id};
            if (std::find(selectedKeys.begin(), selectedKeys.end(), key) == selectedKeys.end())
                continue;
            item->setSelected(true);
            if (!firstSelected)
                firstSelected = item;
        }
    }
    // The first re-selected row takes the focus; without one, the first row.
    QTreeWidgetItem* focus = firstSelected;
    if (!focus && m_list->topLevelItemCount() > 0) {
        focus = m_list->topLevelItem(0);
        focus->setSelected(true);
    }
    if (focus)
        m_list->setCurrentItem(focus, 0, QItemSelectionModel::NoUpdate);
    const int count = m_list->topLevelItemCount();
    if (count > 0)
        m_list->scrollToItem(m_list->topLevelItem(std::clamp(lastVisible, 0, count - 1)));
    m_list->setUpdatesEnabled(true);
}

bool CBarWarnView::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_list || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        ActivateSelection();
        return true;
    case Qt::Key_Escape:
        emit focusReturned();
        return true;
    case Qt::Key_Tab:
        m_showAll->setFocus(Qt::TabFocusReason);
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}
