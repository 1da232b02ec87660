#include "ui/frame/StartupProbe.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "model/ModuleBase.h"
#include "project/ProjDocBase.h"
#include "ui/dialogs/FindSettingDlg.h"
#include "ui/frame/FrameCommands.h"
#include "ui/frame/MainFrame.h"

namespace hwc::ui {

namespace {

// The main window with the windows it holds open (the Find window) painted where they stand,
// each with a thin frame, as the window system would show them over it.
QPixmap PictureOf(CMainFrame& frame) {
    QPixmap picture = frame.grab();
    QPainter painter(&picture);
    for (QDialog* dialog : frame.findChildren<QDialog*>()) {
        if (!dialog->isVisible())
            continue;
        const QPoint at = dialog->geometry().topLeft() - frame.geometry().topLeft();
        painter.fillRect(QRect(at + QPoint(4, 4), dialog->size()), QColor(0, 0, 0, 60));
        painter.drawPixmap(at, dialog->grab());
        painter.setPen(QColor(90, 90, 90));
        painter.drawRect(QRect(at, dialog->size()).adjusted(-1, -1, 0, 0));
    }
    return picture;
}

} // namespace

bool StartupProbeRequested() {
    return std::getenv("HWC_EXIT_WHEN_SHOWN") || std::getenv("HWC_SCREENSHOT");
}

void RunStartupProbe(CMainFrame& frame, CProjDocBase& document) {
    if (const char* name = std::getenv("HWC_SHOW_MODULE")) {
        if (CModuleBase* module = document.FindModule(name))
            document.ShowModulePage(*module);
        else
            std::fprintf(stderr, "hwc: No module named %s\n", name);
    }
    // HWC_FIND_QUERY opens the Find window with that query typed.
    if (const char* query = std::getenv("HWC_FIND_QUERY"); query && *query) {
        if (QAction* find = frame.Action(kCmdFindSetting))
            find->trigger();
        if (auto* dialog = frame.findChild<CFindSettingDlg*>())
            dialog->QueryField()->setText(QString::fromLocal8Bit(query));
    }
    // A picture waits for the page to lay itself out and paint; a timing run ends at once.
    const int delay = std::getenv("HWC_SCREENSHOT") ? 200 : 0;
    QTimer::singleShot(delay, &frame, [&frame] {
        if (const char* file = std::getenv("HWC_SCREENSHOT")) {
            if (!PictureOf(frame).save(QString::fromLocal8Bit(file), "PNG"))
                std::fprintf(stderr, "hwc: Cannot write the picture %s\n", file);
        }
        QApplication::quit();
    });
}

} // namespace hwc::ui
