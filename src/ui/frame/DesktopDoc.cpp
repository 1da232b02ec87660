#include "ui/frame/DesktopDoc.h"

#include <cstdio>

#include <QApplication>

#include "base/Messages.h"
#include "ui/frame/AppSettings.h"
#include "ui/frame/InstanceServer.h"

bool CDesktopDoc::ShowModulePage(CModuleBase& module) {
    if (!m_pageHost)
        return CProjDoc::ShowModulePage(module);
    return m_pageHost->ShowModulePage(module);
}

void CDesktopDoc::ActivateHolder(long holder) {
    const std::string instance = hwc::ui::DescribeInstance(holder).toStdString();
    const std::string held = "This project is open in another instance, " + instance + ".";
    // From the command line the holder comes forward without a question; File > Open asks.
    const bool interactive = RunFlags().interactive;
    if (interactive && hwc::ShowMessage(kAlreadyOpenQuestion, hwc::EButtons::YesNo,
                                        hwc::EAnswer::Yes) != hwc::EAnswer::Yes)
        return;
    if (hwc::ui::ActivateInstance(holder)) {
        if (!interactive)
            std::fprintf(stderr, "hwc: %s Its window was brought forward.\n", held.c_str());
        return;
    }
    const std::string failed = held + " Its window could not be brought forward (it may run "
                                      "without one). Close the project there to open it here.";
    std::fprintf(stderr, "hwc: %s\n", failed.c_str());
    hwc::ShowMessage(failed);
}

void CDesktopDoc::LoadOptions() {
    const tOptions stored = hwc::ui::ReadOutputOptions();
    m_options.generateComments = stored.generateComments;
    m_options.generateDefaults = stored.generateDefaults;
    m_options.keepUserComments = stored.keepUserComments;
}

bool CDesktopDoc::CommitDisplayedPage() {
    return m_pageHost ? m_pageHost->CommitDisplayedPage() : true;
}

bool CDesktopDoc::IsUndoStepHeld() const {
    return QApplication::activeModalWidget() != nullptr;
}
