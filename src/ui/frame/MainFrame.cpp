#include "ui/frame/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMouseEvent>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <unordered_set>

#include "base/Messages.h"
#include "model/ModuleBase.h"
#include "project/ModuleReset.h"
#include "ui/bars/BarRegsView.h"
#include "ui/bars/BarWarnView.h"
#include "ui/bars/InfoView.h"
#include "ui/frame/AppIcon.h"
#include "ui/frame/AppSettings.h"
#include "ui/frame/FrameCommands.h"
#include "ui/frame/LeftTreeView.h"
#include "ui/frame/PagePane.h"
#include "ui/frame/UnselectedBanner.h"

using namespace hwc::ui;

namespace {

constexpr int kLeftColumnWidth = 220;
constexpr int kLeftColumnMinimum = 50;
// A tree pane fitted to long names takes at most this much, and leaves the page at least
// kPageRoom, which the widest pages need to show without scrolling sideways.
constexpr int kLeftColumnFitMaximum = 420;
constexpr int kPageRoom = 680;

} // namespace

CMainFrame::CMainFrame(CDesktopDoc& document, QWidget* parent)
    : QMainWindow(parent), m_document(document) {
    setObjectName("MainFrame");
    setWindowIcon(AppIcon());
    CreateClientArea();
    CreateCommands();
    CreateRecentMenu();
    CreateBars();
    m_document.SetPageHost(this);
    m_document.AddObserver(this);
    m_tree->SetTree(&m_document.Tree());
    restoreState(ReadBarLayout());
    UpdateTitleAndStatus();
    UpdateCommandStates();
}

CMainFrame::~CMainFrame() {
    // Widgets hidden while the window goes away must not reach this half-destroyed frame.
    for (QObject* sender : std::initializer_list<QObject*>{m_regsBar, m_warnBar, m_toolBar, m_tree})
        sender->disconnect(this);
    // The project goes with the window: pages and views forget their modules first.
    m_document.ClearProject();
    m_tree->SetTree(nullptr);
    m_document.RemoveObserver(this);
    m_document.SetPageHost(nullptr);
}

void CMainFrame::CreateClientArea() {
    m_outer = new QSplitter(Qt::Horizontal, this);
    m_outer->setObjectName("OuterSplitter");
    m_inner = new QSplitter(Qt::Vertical, m_outer);
    m_inner->setObjectName("InnerSplitter");
    m_info = new CInfoView(m_inner);
    m_info->SetDocument(&m_document);
    m_tree = new CLeftTreeView(m_inner);
    m_inner->addWidget(m_info);
    m_inner->addWidget(m_tree);
    m_inner->setStretchFactor(1, 1);
    m_inner->setMinimumWidth(kLeftColumnMinimum);
    // The page with the line that says when its module is not written to the header.
    auto* right = new QWidget(m_outer);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->setSpacing(0);
    m_banner = new CUnselectedBanner(right);
    m_pane = new CPagePane(right);
    rightLayout->addWidget(m_banner);
    rightLayout->addWidget(m_pane, 1);
    m_outer->addWidget(m_inner);
    m_outer->addWidget(right);
    m_outer->setStretchFactor(1, 1);
    m_outer->setCollapsible(0, false);
    m_outer->setSizes({kLeftColumnWidth, 680});
    setCentralWidget(m_outer);

    connect(m_tree, &CLeftTreeView::moduleSelected, this, &CMainFrame::OnModuleSelected);
    connect(m_tree, &CLeftTreeView::selectionRequested, this, &CMainFrame::OnSelectionRequested);
    connect(m_tree, &CLeftTreeView::checkToggled, this, &CMainFrame::OnCheckToggled);
    connect(m_tree, &CLeftTreeView::pageFocusRequested, m_pane, &CPagePane::FocusPage);
    connect(m_pane, &CPagePane::treeItemRequested, this, &CMainFrame::OnTreeItemRequested);
    connect(m_tree, &QWidget::customContextMenuRequested, this, &CMainFrame::OnTreeContextMenu);
    connect(m_banner, &CUnselectedBanner::includeRequested, this, [this] {
        if (CModuleBase* module = m_pane->CurrentModule())
            OnCheckToggled(module, true);
    });
    connect(m_outer, &QSplitter::splitterMoved, this,
            [this] { WriteTreeWidth(m_outer->sizes().value(0)); });
    // Esc in a page goes back to the tree, as Tab and Esc in the tree go into the page.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), m_pane);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this,
            [this] { m_tree->setFocus(Qt::ShortcutFocusReason); });

    for (QLabel*& indicator : m_indicators) {
        indicator = new QLabel(this);
        indicator->setMinimumWidth(60);
        statusBar()->addPermanentWidget(indicator);
    }
    // The warning count opens the warnings bar.
    m_indicators[1]->setCursor(Qt::PointingHandCursor);
    m_indicators[1]->setToolTip(QStringLiteral("Show the warnings"));
    m_indicators[1]->installEventFilter(this);
    setDockOptions(dockOptions() | QMainWindow::AllowNestedDocks);
}

void CMainFrame::CreateBars() {
    m_regsView = new CBarRegsView;
    m_regsView->SetDocument(&m_document);
    m_regsBar = new QDockWidget(QStringLiteral("Registers View "), this);
    m_regsBar->setObjectName("RegistersBar");
    m_regsBar->setAllowedAreas(Qt::AllDockWidgetAreas);
    m_regsBar->setWidget(m_regsView);
    m_regsView->resize(m_regsView->sizeHint().width() +
                           style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 10,
                       300);
    addDockWidget(Qt::RightDockWidgetArea, m_regsBar);
    m_regsBar->hide();

    m_warnView = new CBarWarnView;
    m_warnView->SetDocument(&m_document);
    m_warnBar = new QDockWidget(QStringLiteral("Warnings View "), this);
    m_warnBar->setObjectName("WarningsBar");
    m_warnBar->setAllowedAreas(Qt::AllDockWidgetAreas);
    m_warnBar->setWidget(m_warnView);
    m_warnView->resize(200, m_warnView->sizeHint().height() + 10);
    addDockWidget(Qt::BottomDockWidgetArea, m_warnBar);
    m_warnBar->hide();
    connect(m_warnView, &CBarWarnView::focusReturned, m_pane, &CPagePane::FocusPage);

    // The View menu's check marks follow the bars however they were shown or hidden.
    connect(m_regsBar, &QDockWidget::visibilityChanged, this, [this] { UpdateCommandStates(); });
    connect(m_warnBar, &QDockWidget::visibilityChanged, this, [this] { UpdateCommandStates(); });
}

QLabel* CMainFrame::StatusIndicator(int index) const {
    return index >= 0 && index < 3 ? m_indicators[index] : nullptr;
}

// --- Pages ---

bool CMainFrame::ShowModulePage(CModuleBase& module) {
    CModuleBase* shown = m_pane->CurrentModule();
    if (shown == &module) {
        m_document.Tree().SelectModule(&module);
        return true;
    }
    if (shown && shown->Page() && !shown->Validate(true))
        return false;
    if (!m_document.Tree().SelectModule(&module))
        OnModuleSelected(shown, &module);
    return true;
}

bool CMainFrame::CommitDisplayedPage() {
    // Moving the focus away and back lets the control being edited hand over its text.
    QWidget* focused = QApplication::focusWidget();
    if (focused && m_pane->isAncestorOf(focused)) {
        m_tree->setFocus(Qt::OtherFocusReason);
        focused->setFocus(Qt::OtherFocusReason);
    }
    CModuleBase* module = m_pane->CurrentModule();
    if (!module || !module->Page())
        return true;
    if (!module->Validate(true))
        return false;
    module->ApplyControls();
    return true;
}

void CMainFrame::OnModuleSelected(CModuleBase* previous, CModuleBase* current) {
    CModuleTreeItem* item = m_document.Tree().SelectedItem();
    m_pane->ShowModule(current, item && item->Module() == current ? item : nullptr);
    if (current && !m_opening && m_document.IsLoaded())
        WriteLastPage(QString::fromStdString(m_document.ProjectFilePath()),
                      QString::fromStdString(current->InstanceName()));
    if (previous)
        m_document.UpdateAllViews(previous, hwc::kHintPageLeft, previous);
    if (current)
        m_document.UpdateAllViews(current, hwc::kHintModuleSelected, current);
    m_history.Record(current);
    UpdateBanner();
    UpdateCommandStates();
    UpdateTitleAndStatus();
}

void CMainFrame::UpdateBanner() {
    CModuleBase* module = m_pane->CurrentModule();
    const CModuleTreeItem* item = module ? m_document.Tree().FindItem(module) : nullptr;
    m_banner->setVisible(item && item->StateImage() == hwc::kStateUnchecked);
}

void CMainFrame::UpdateWarningMarks() {
    std::unordered_set<const CModuleBase*> warned;
    for (const auto& warning : m_document.Warnings().Items()) {
        if (warning->owner)
            warned.insert(warning->owner);
    }
    m_tree->SetWarningModules(warned);
}

void CMainFrame::FitTreePane() {
    // The splitter takes its share of the window as it is now, so the widths given stay exact.
    if (layout())
        layout()->activate();
    int total = 0;
    for (int size : m_outer->sizes())
        total += size;
    if (total <= 0)
        total = m_outer->width();
    int tree = ReadTreeWidth();
    if (tree <= 0) {
        const int limit = std::min(kLeftColumnFitMaximum, total - kPageRoom);
        tree = std::clamp(m_tree->WidthForAllNames(), kLeftColumnWidth,
                          std::max(kLeftColumnWidth, limit));
    }
    tree = std::clamp(tree, kLeftColumnMinimum, std::max(kLeftColumnMinimum, total - 100));
    m_outer->setSizes({tree, std::max(100, total - tree)});
}

void CMainFrame::ShowFirstPage() {
    CModuleTree& tree = m_document.Tree();
    const QString stored = ReadLastPage(QString::fromStdString(m_document.ProjectFilePath()));
    CModuleBase* first = stored.isEmpty() ? nullptr : m_document.FindModule(stored.toStdString());
    if (first && !tree.FindItem(first))
        first = nullptr;
    if (!first) {
        tree.ForEachItem([&first](CModuleTreeItem& item) {
            if (!first && item.Module() && item.Module()->Page())
                first = item.Module();
        });
    }
    if (!first)
        return;
    ShowModulePage(*first);
    m_history.Clear();
    m_history.Record(m_pane->CurrentModule());
    UpdateCommandStates();
}

void CMainFrame::OnTreeItemRequested(const CModuleTreeItem* item) {
    if (!item)
        return;
    if (item->Module()) {
        ShowModulePage(*item->Module());
        return;
    }
    if (QTreeWidgetItem* widgetItem = m_tree->WidgetItem(item))
        m_tree->setCurrentItem(widgetItem);
}

void CMainFrame::OnSelectionRequested(CModuleBase* module) {
    if (module && ShowModulePage(*module))
        return;
    // Refused: the tree goes back to the module still shown once the click is handled.
    QTimer::singleShot(0, m_tree, &CLeftTreeView::SyncCurrentItem);
}

void CMainFrame::OnCheckToggled(CModuleBase* module, bool checked) {
    m_document.NoteUserAction();
    module->SetSelected(checked);
    m_document.Tree().RefreshStateImages();
    m_document.UpdateAllViews(module, hwc::kHintModuleChecked, module);
    m_document.RequestWarnings();
    UpdateBanner();
}

void CMainFrame::GoBack() {
    CModuleBase* module = m_history.StepBack();
    if (!module)
        return;
    CPageHistory::CNavigating navigating(m_history);
    if (!ShowModulePage(*module))
        m_history.UndoStep(-1);
    UpdateCommandStates();
}

void CMainFrame::GoForward() {
    CModuleBase* module = m_history.StepForward();
    if (!module)
        return;
    CPageHistory::CNavigating navigating(m_history);
    if (!ShowModulePage(*module))
        m_history.UndoStep(1);
    UpdateCommandStates();
}

// --- Document updates ---

void CMainFrame::OnDocumentUpdate(int hint, CModuleBase* sender, const void* object) {
    if (hint == hwc::kHintProjectCleared) {
        m_pane->Forget();
        m_history.Clear();
        UpdateCommandStates();
        return;
    }
    if (hint == hwc::kHintIdle) {
        UpdateWarningMarks();
        UpdateTitleAndStatus();
        UpdateCommandStates();
    }
}

void CMainFrame::UpdateTitleAndStatus() {
    const std::string title = m_document.Title();
    const QString appTitle = QStringLiteral("K7Q400R/EX Hexaform");
    setWindowTitle(title.empty() ? appTitle : QString::fromStdString(title) + "[*] - " + appTitle);
    const bool loaded = m_document.IsLoaded();
    setWindowModified(loaded && m_document.IsProjectModified());

    CModuleBase* module = m_pane->CurrentModule();
    m_indicators[0]->setText(module ? QString::fromStdString(module->Title()) : QString());
    const std::size_t warnings = m_document.Warnings().Items().size();
    m_indicators[1]->setText(loaded ? QStringLiteral("Warnings: %1").arg(warnings) : QString());
    m_indicators[2]->setText(isWindowModified() ? QStringLiteral("Modified") : QString());
}

// --- Closing ---

bool CMainFrame::CanCloseProject() {
    if (!m_document.IsLoaded())
        return true;
    if (!m_document.CommitPage())
        return false;
    if (!m_document.IsProjectModified())
        return true;
    const std::string question = "Save changes to " + m_document.Title() + "?";
    switch (hwc::ShowMessage(question, hwc::EButtons::YesNoCancel, hwc::EAnswer::Yes)) {
    case hwc::EAnswer::Yes:
        return SaveProject();
    case hwc::EAnswer::No:
        return true;
    default:
        return false;
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!m_closing && !CanCloseProject()) {
        event->ignore();
        return;
    }
    SavePlacement();
    WriteBarLayout(saveState());
    WriteTreeWidth(m_outer->sizes().value(0));
    m_document.ClearProject();
    event->accept();
}

void CMainFrame::Activate() {
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_indicators[1] && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        OnCommand(hwc::ui::kCmdFocusWarnings);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
