#include "ui/frame/DesktopDoc.h"

#include "ui/frame/AppSettings.h"

bool CDesktopDoc::ShowModulePage(CModuleBase& module) {
    if (!m_pageHost)
        return CProjDoc::ShowModulePage(module);
    return m_pageHost->ShowModulePage(module);
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
