// hwc: the desktop program.

#include <QApplication>

#include "ui/frame/AppIcon.h"
#include "ui/frame/ThisApp.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    application.setWindowIcon(hwc::ui::AppIcon());
    CThisApp theApp;
    if (!theApp.Start(argc, argv))
        return theApp.ExitCode();
    return theApp.Exit(application.exec());
}
