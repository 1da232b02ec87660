#include "ui/dialogs/FindSettingDlg.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "model/ModuleBase.h"
#include "project/ProjDocBase.h"

using hwc::kHintProjectCleared;

namespace {

QString FromCore(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

CFindSettingDlg::CFindSettingDlg(CProjDocBase& document, QWidget* mainWindow)
    : QDialog(mainWindow), m_document(document), m_mainWindow(mainWindow) {
    setObjectName("FindSettingDlg");
    setWindowTitle(tr("Find Setting"));
    setModal(false);

    m_query = new QLineEdit;
    m_query->setPlaceholderText(tr("Setting, list entry or register name"));
    m_query->setClearButtonEnabled(true);
    m_query->installEventFilter(this);
    auto* label = new QLabel(tr("&Find:"));
    label->setBuddy(m_query);
    auto* queryRow = new QHBoxLayout;
    queryRow->addWidget(label);
    queryRow->addWidget(m_query, 1);

    m_list = new QListWidget;
    m_list->setUniformItemSizes(true);
    m_status = new QLabel;
    m_status->setTextFormat(Qt::PlainText);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(queryRow);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_status);
    resize(440, 320);

    connect(m_query, &QLineEdit::textChanged, this, &CFindSettingDlg::Search);
    connect(m_query, &QLineEdit::returnPressed, this,
            [this] { Choose(m_list->currentRow() >= 0 ? m_list->currentRow() : 0); });
    // Enter in the list is caught with the field's keys; a double-click chooses as well.
    m_list->installEventFilter(this);
    connect(m_list, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { Choose(m_list->row(item)); });
    connect(m_list, &QListWidget::currentRowChanged, this, [this] { UpdateStatus(); });
    m_document.AddObserver(this);
}

CFindSettingDlg::~CFindSettingDlg() {
    m_document.RemoveObserver(this);
}

void CFindSettingDlg::Open() {
    if (!m_placed && m_mainWindow) {
        // Near the bottom right of the main window: pages put their settings at the top left.
        const QRect frame = m_mainWindow->frameGeometry();
        move(std::max(frame.left(), frame.right() - width() - 24),
             std::max(frame.top(), frame.bottom() - height() - 48));
        m_placed = true;
    }
    Search();
    show();
    raise();
    activateWindow();
    m_query->setFocus(Qt::ShortcutFocusReason);
    m_query->selectAll();
}

void CFindSettingDlg::Search() {
    m_refreshPending = false;
    if (!m_search.IsBuilt() && m_document.IsLoaded())
        m_search.Build(m_document.Tree());

    // The setting chosen before stays chosen when it is still found.
    const hwc::tSearchResult* chosen = nullptr;
    if (const int row = m_list->currentRow(); row >= 0 && row < static_cast<int>(m_results.size()))
        chosen = &m_results[static_cast<std::size_t>(row)];
    const CPageControl* chosenControl = chosen ? chosen->control : nullptr;

    std::vector<hwc::tSearchResult> results =
        m_search.Find(m_query->text().toStdString(), hwc::CSettingSearch::kDefaultLimit, &m_total);
    int current = results.empty() ? -1 : 0;
    for (std::size_t i = 0; i < results.size() && chosenControl; ++i) {
        if (results[i].control == chosenControl)
            current = static_cast<int>(i);
    }
    m_results = std::move(results);

    m_list->setUpdatesEnabled(false);
    m_list->clear();
    for (const hwc::tSearchResult& result : m_results) {
        auto* item = new QListWidgetItem(FromCore(result.Text()), m_list);
        if (!result.matched.empty())
            item->setToolTip(tr("Found in %1").arg(FromCore(result.matched)));
    }
    m_list->setCurrentRow(current);
    m_list->setUpdatesEnabled(true);
    UpdateStatus();
}

void CFindSettingDlg::UpdateStatus() {
    if (m_query->text().trimmed().isEmpty()) {
        m_status->setText(m_document.IsLoaded() ? tr("Type a part of a setting's name.")
                                                : tr("No project is open."));
        return;
    }
    if (m_results.empty()) {
        m_status->setText(tr("No setting matches."));
        return;
    }
    QString text = m_total > m_results.size()
                       ? tr("The first %1 of %2 settings; type more to narrow the list.")
                             .arg(m_results.size())
                             .arg(m_total)
                       : (m_total == 1 ? tr("1 setting.") : tr("%1 settings.").arg(m_total));
    const int row = m_list->currentRow();
    if (row >= 0 && row < static_cast<int>(m_results.size()) &&
        !m_results[static_cast<std::size_t>(row)].matched.empty())
        text += ' ' +
                tr("Found in %1.").arg(FromCore(m_results[static_cast<std::size_t>(row)].matched));
    m_status->setText(text);
}

bool CFindSettingDlg::Choose(int row) {
    if (row < 0 || row >= static_cast<int>(m_results.size()))
        return false;
    const hwc::tSearchResult result = m_results[static_cast<std::size_t>(row)];
    // The main window takes the focus first, so that the control keeps it and its tool-tip.
    if (m_mainWindow)
        m_mainWindow->activateWindow();
    switch (hwc::ShowSearchResult(result)) {
    case hwc::EShowResult::Shown:
        return true;
    case hwc::EShowResult::ControlHidden:
        // The page now shown hides it: the list drops it, and says why it went.
        Search();
        m_status->setText(tr("%1: %2 is not shown with the page's current settings.")
                              .arg(FromCore(result.module->Title()), FromCore(result.caption)));
        return false;
    case hwc::EShowResult::PageRefused:
        // The page being left has said why; the window stays for another try.
        activateWindow();
        return false;
    }
    return false;
}

void CFindSettingDlg::OnDocumentUpdate(int hint, CModuleBase*, const void*) {
    if (hint == kHintProjectCleared) {
        // The results and the index refer to modules that are going away.
        m_search.Clear();
        m_results.clear();
        m_total = 0;
        m_list->clear();
        UpdateStatus();
        return;
    }
    // Values change: the list shows them again once the burst of changes is over.
    if (isVisible() && !m_refreshPending && !m_query->text().trimmed().isEmpty()) {
        m_refreshPending = true;
        QTimer::singleShot(0, this, [this] {
            if (m_refreshPending)
                Search();
        });
    }
}

bool CFindSettingDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Choose(m_list->currentRow());
            return true;
        }
    }
    // Up and down in the field move through the results, as in the list itself.
    if (watched == m_query && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            QCoreApplication::sendEvent(m_list, event);
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
