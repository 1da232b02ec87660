// The main window's project commands: opening, saving, the lock held by another instance, and
// the window placement.

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
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
    AfterOpen();
    return true;
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
