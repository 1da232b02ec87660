#include "ui/frame/DesktopDoc.h"

#include "base/Messages.h"
#include "ui/frame/AppSettings.h"
#include "ui/frame/InstanceServer.h"

bool CDesktopDoc::ShowModulePage(CModuleBase& module) {
    if (!m_pageHost)
        return CProjDoc::ShowModulePage(module);
    return m_pageHost->ShowModulePage(module);
}

void CDesktopDoc::ActivateHolder(long holder) {
    // During start-up the holder comes forward without a question.
    const bool interactive = RunFlags().interactive;
    if (interactive && hwc::ShowMessage(kAlreadyOpenQuestion, hwc::EButtons::YesNo,
                                        hwc::EAnswer::Yes) != hwc::EAnswer::Yes)
        return;
    // A holder without a window (a headless run) cannot come forward: the question says why
    // the project is refused, unless it was just asked.
    if (!hwc::ui::ActivateInstance(holder) && !interactive)
        CProjDoc::ActivateHolder(holder);
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
