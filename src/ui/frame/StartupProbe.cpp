#include "ui/frame/StartupProbe.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "model/ModuleBase.h"
#include "project/ProjDocBase.h"
#include "ui/frame/MainFrame.h"

namespace hwc::ui {

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
    // A picture waits for the page to lay itself out and paint; a timing run ends at once.
    const int delay = std::getenv("HWC_SCREENSHOT") ? 200 : 0;
    QTimer::singleShot(delay, &frame, [&frame] {
        if (const char* file = std::getenv("HWC_SCREENSHOT")) {
            if (!frame.grab().save(QString::fromLocal8Bit(file), "PNG"))
                std::fprintf(stderr, "hwc: Cannot write the picture %s\n", file);
        }
        QApplication::quit();
    });
}

} // namespace hwc::ui
