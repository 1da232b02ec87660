#include "ui/frame/ThisApp.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>

#include "base/ExternalLink.h"
#include "base/IdleWake.h"
#include "base/Messages.h"
#include "model/ModalPage.h"
#include "ui/dialogs/ModalPageDialog.h"
#include "ui/frame/InstanceServer.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/QtIdleWaker.h"
#include "ui/frame/QtMessageHandler.h"
#include "ui/frame/SplashWindow.h"
#include "ui/frame/StartupProbe.h"
#include "ui/frame/WindowPlacement.h"

CThisAppBase::CThisAppBase()
    : m_messages(std::make_unique<hwc::ui::CQtMessageHandler>()),
      m_waker(std::make_unique<hwc::ui::CQtIdleWaker>([this] { Idle(); })),
      m_modalPages(std::make_unique<hwc::ui::CQtModalPageRunner>()) {
    hwc::SetMessageHandler(m_messages.get());
    hwc::SetIdleWaker(m_waker.get());
    hwc::SetModalPageRunner(m_modalPages.get());
    hwc::SetExternalLinkOpener([](const std::string& link) {
        return QDesktopServices::openUrl(QUrl::fromUserInput(QString::fromStdString(link)));
    });
}

CThisAppBase::~CThisAppBase() {
    // The window goes first: it clears the project while the handlers still exist.
    m_frame.reset();
    m_splash.reset();
    hwc::SetExternalLinkOpener(nullptr);
    hwc::SetModalPageRunner(nullptr);
    hwc::SetIdleWaker(nullptr);
    hwc::SetMessageHandler(nullptr);
}

bool CThisAppBase::Start(int argc, const char* const* argv) {
    m_exitCode = 1;
    QCoreApplication::setOrganizationName("Velmora");
    QCoreApplication::setApplicationName("HWC K7Q400R");
    ParseCommandLine(argc, argv, m_commandLine);
    if (m_commandLine.m_runEmbedded || m_commandLine.m_runAutomated) {
        hwc::ShowMessage("Please run the HWC application first!");
        return false;
    }

    m_instanceServer = std::make_unique<hwc::ui::CInstanceServer>();
    m_frame = std::make_unique<CMainFrame>(m_document);
    m_messages->SetParentWindow(m_frame.get());
    m_instanceServer->Listen([this] {
        if (m_frame)
            m_frame->Activate();
    });

    // Both switches: only the self-test runs, and the program stays open.
    tRunFlags flags;
    flags.selfTest = m_commandLine.m_selfTest;
    flags.reprocess = m_commandLine.m_reprocess && !m_commandLine.m_selfTest;
    m_document.SetRunFlags(flags);

    m_splash = std::make_unique<CSplashDlg>();
    m_splash->Show();
    m_document.SetProgressSink(m_splash.get());
    m_commandLine.m_shellCommand = CMyCommandLineInfo::EShellCommand::FileOpen;
    if (!m_frame->OpenProject(QString::fromStdString(m_commandLine.m_fileName))) {
        m_document.SetProgressSink(nullptr);
        m_splash.reset();
        return false;
    }
    m_frame->PlaceWindow(hwc::ui::kShowNormal);
    m_frame->repaint();
    // The first idle pass follows as soon as the event loop runs.
    hwc::WakeIdle();
    m_exitCode = 0;
    return true;
}

void CThisAppBase::Idle() {
    tRunFlags flags = m_document.RunFlags();
    if (!flags.interactive) {
        flags.interactive = true;
        m_document.SetRunFlags(flags);
    }
    const bool first = m_splash && m_splash->isVisible();
    if (first) {
        // Later opens (File > Open) run without the splash window.
        m_document.SetProgressSink(nullptr);
        m_splash->close();
        if (m_frame)
            m_frame->repaint();
    }
    m_document.IdleUpdate();
    if (first && m_frame && hwc::ui::StartupProbeRequested())
        hwc::ui::RunStartupProbe(*m_frame, m_document);
}

int CThisAppBase::Exit(int loopResult) {
    if (m_frame && m_frame->ExitCode() != 0)
        return m_frame->ExitCode();
    return loopResult;
}
