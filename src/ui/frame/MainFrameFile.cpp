// The main window's project commands: opening, saving, the lock held by another instance, and
// the window placement.

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

#include <filesystem>
#include <system_error>

#include <unistd.h>

#include "base/Messages.h"
#include "project/ProjectLock.h"
#include "project/ProjectPath.h"
#include "ui/frame/AppSettings.h"
#include "ui/frame/FrameCommands.h"
#include "ui/frame/InstanceServer.h"
#include "ui/frame/LeftTreeView.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/WindowPlacement.h"

using namespace hwc::ui;
namespace fs = std::filesystem;

namespace {

constexpr char kHeaderFilter[] = "Header Files (*.h)";

// Shows a wait cursor for as long as it lives.
class CWaitCursor {
public:
    CWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CWaitCursor() { QApplication::restoreOverrideCursor(); }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};

// What the status bar says after a save: the file written, or how many warnings stand.
QString SavedMessage(const std::string& path, std::size_t warnings) {
    if (warnings == 0)
        return QStringLiteral("Saved %1")
            .arg(QString::fromStdString(fs::path(path).filename().string()));
    return QStringLiteral("Saved with %1 warning%2").arg(warnings).arg(warnings == 1 ? "" : "s");
}

// A recent project's menu text: "&1 inverter (/home/me/inverter/ApplicationConfig/appconfig.h)",
// the project named as the title bar names it, a long path shortened in its middle.
QString RecentEntryText(int number, const QString& path) {
    constexpr int kPathShown = 70;
    QFileInfo file(path);
    QString folder = file.dir().dirName();
    if (folder == QLatin1String("ApplicationConfig"))
        folder = QFileInfo(file.dir().absolutePath()).dir().dirName();
    QString shown = QDir::toNativeSeparators(path);
    if (shown.size() > kPathShown)
        shown = shown.left(kPathShown / 2 - 1) + QChar(0x2026) + shown.right(kPathShown / 2);
    QString text =
        QStringLiteral("%1 (%2)").arg(folder.isEmpty() ? file.fileName() : folder, shown);
    // An ampersand of a name is shown as one, not taken as the entry's key.
    text.replace('&', QStringLiteral("&&"));
    return QStringLiteral("&%1 ").arg(number) + text;
}

} // namespace

// --- Opening ---

bool CMainFrame::OpenProject(const QString& path) {
    {
        CWaitCursor wait;
        m_opening = true;
        const bool opened = m_document.OpenProject(path.toStdString());
        m_opening = false;
        if (!opened)
            return false;
    }
    RememberRecentProject();
    AfterOpen();
    return true;
}

// --- Recent projects ---

void CMainFrame::CreateRecentMenu() {
    m_recentMenu = new QMenu(QStringLiteral("Recent &Projects"), this);
    m_recentMenu->setObjectName("RecentProjectsMenu");
    // Below Open in the File menu; the list is read again each time the menu opens, since
    // another instance may have changed it.
    QAction* open = Action(kCmdOpen);
    for (QAction* top : menuBar()->actions()) {
        QMenu* file = top->menu();
        if (!file || !open || !file->actions().contains(open))
            continue;
        const QList<QAction*> entries = file->actions();
        const qsizetype at = entries.indexOf(open);
        file->insertMenu(entries.value(at + 1), m_recentMenu);
        connect(file, &QMenu::aboutToShow, this, &CMainFrame::UpdateRecentMenu);
        break;
    }
    UpdateRecentMenu();
}

void CMainFrame::UpdateRecentMenu() {
    m_recentMenu->clear();
    const QStringList paths = ReadRecentProjects();
    for (int i = 0; i < paths.size(); ++i) {
        QAction* entry = m_recentMenu->addAction(RecentEntryText(i + 1, paths[i]));
        entry->setData(paths[i]);
        entry->setStatusTip(QStringLiteral("Open %1").arg(QDir::toNativeSeparators(paths[i])));
        connect(entry, &QAction::triggered, this,
                [this, path = paths[i]] { OpenRecentProject(path); });
    }
    m_recentMenu->setEnabled(!paths.isEmpty());
}

void CMainFrame::RememberRecentProject() {
    // Runs that save or test and exit leave the user's list alone.
    const auto& flags = m_document.RunFlags();
    if (flags.reprocess || flags.selfTest || m_document.ProjectFilePath().empty())
        return;
    AddRecentProject(QString::fromStdString(m_document.ProjectFilePath()));
    UpdateRecentMenu();
}

bool CMainFrame::OpenRecentProject(const QString& path) {
    if (!QFileInfo::exists(path)) {
        RemoveRecentProject(path);
        UpdateRecentMenu();
        hwc::ShowMessage("The project " + QDir::toNativeSeparators(path).toStdString() +
                         " no longer exists. It has been removed from the recent projects.");
        return false;
    }
    if (!CanCloseProject())
        return false;
    if (OpenProject(path))
        return true;
    // An open that failed before the old project was cleared leaves that project in place.
    if (!m_document.IsLoaded())
        PromptForProject();
    return false;
}

void CMainFrame::AfterOpen() {
    FitTreePane();
    ShowFirstPage();
    m_tree->setFocus(Qt::OtherFocusReason);
    UpdateTitleAndStatus();
    UpdateCommandStates();
    // The document ran the self-test of a self-test run already; a re-process run saves and
    // exits once the event loop runs.
    if (m_document.RunFlags().reprocess)
        QTimer::singleShot(0, this, &CMainFrame::SaveAndExit);
}

bool CMainFrame::PromptForProject() {
    for (;;) {
        const QString path =
            QFileDialog::getOpenFileName(this, QStringLiteral("Open"), QString(), kHeaderFilter);
        if (!path.isEmpty()) {
            if (OpenProject(path))
                return true;
            continue;
        }
        if (hwc::ShowMessage("Can not live with uninitialized document.\n\nTerminate Application?",
                             hwc::EButtons::YesNo, hwc::EAnswer::No) == hwc::EAnswer::Yes) {
            m_closing = true;
            QTimer::singleShot(0, this, &QWidget::close);
            return false;
        }
    }
}

void CMainFrame::OpenCommand() {
    const QString path =
        QFileDialog::getOpenFileName(this, QStringLiteral("Open"), QString(), kHeaderFilter);
    if (path.isEmpty() || !CanCloseProject())
        return;
    // An open that failed before the old project was cleared leaves that project in place.
    if (!OpenProject(path) && !m_document.IsLoaded())
        PromptForProject();
}

// --- Saving ---

bool CMainFrame::SaveProject() {
    if (!m_document.IsLoaded())
        return false;
    bool saved = false;
    {
        CWaitCursor wait;
        saved = m_document.Save();
    }
    AfterSave(saved);
    return saved;
}

bool CMainFrame::SaveProjectAs(const QString& path, bool copy) {
    if (!m_document.IsLoaded() || path.isEmpty())
        return false;
    bool saved = false;
    {
        CWaitCursor wait;
        saved = m_document.SaveAs(path.toStdString(), copy);
    }
    AfterSave(saved, copy ? path.toStdString() : std::string());
    // The project now lives at the new path; a copy is not the project.
    if (saved && !copy)
        RememberRecentProject();
    return saved;
}

void CMainFrame::AfterSave(bool saved, const std::string& copyPath) {
    if (saved) {
        m_document.CheckAllWarnings();
        const std::string& path = copyPath.empty() ? m_document.ProjectFilePath() : copyPath;
        statusBar()->showMessage(SavedMessage(path, m_document.Warnings().Items().size()));
    }
    UpdateTitleAndStatus();
}

void CMainFrame::SaveAsCommand(bool copy) {
    QFileDialog dialog(this, copy ? QStringLiteral("Save Copy As") : QStringLiteral("Save As"),
                       QString::fromStdString(m_document.ProjectFilePath()), kHeaderFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix("h");
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    SaveProjectAs(dialog.selectedFiles().front(), copy);
}

void CMainFrame::SaveAndExit() {
    const bool saved = SaveProject();
    if (saved || m_document.RunFlags().reprocess) {
        if (!saved)
            m_exitCode = 1;
        m_closing = true;
        close();
    }
}

// --- Placement ---

void CMainFrame::PlaceWindow(int launchShowState) {
    const std::optional<tWindowPlacement> stored = DecodePlacement(ReadWindowPlacement());
    if (stored) {
        const QScreen* screen = QGuiApplication::screenAt(stored->normal.center());
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        setGeometry(screen ? ClampToArea(stored->normal, screen->availableGeometry())
                           : stored->normal);
        if (ResolveShowState(stored->showState, launchShowState) == kShowMaximized)
            showMaximized();
        else
            showNormal();
    } else {
        const QScreen* screen = QGuiApplication::primaryScreen();
        const int width = screen ? screen->availableGeometry().width() : 1024;
        setGeometry(DefaultGeometry(width, geometry().topLeft()));
        if (launchShowState == kShowMaximized)
            showMaximized();
        else
            showNormal();
    }
    if (m_document.IsLoaded())
        FitTreePane();
    raise();
    activateWindow();
}

void CMainFrame::SavePlacement() const {
    tWindowPlacement placement;
    placement.showState = isMaximized()   ? kShowMaximized
                          : isMinimized() ? kShowMinimized
                                          : kShowNormal;
    placement.normal = normalGeometry().isValid() ? normalGeometry() : geometry();
    WriteWindowPlacement(EncodePlacement(placement));
}
