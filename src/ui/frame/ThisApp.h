#pragma once
// The desktop program's start-up, idle work and exit: reads the command line, opens the project
// in the main window behind the splash window, places the window, and runs the document's
// deferred work whenever the event loop is woken.

#include <memory>

#include "app/CommandLine.h"
#include "ui/frame/DesktopDoc.h"

class CMainFrame;
class CSplashDlg;

namespace hwc::ui {
class CInstanceServer;
class CQtIdleWaker;
class CQtMessageHandler;
class CQtModalPageRunner;
} // namespace hwc::ui

class CThisAppBase {
public:
    CThisAppBase();
    virtual ~CThisAppBase();
    CThisAppBase(const CThisAppBase&) = delete;
    CThisAppBase& operator=(const CThisAppBase&) = delete;

    // Runs the start-up; false ends the program at once (with ExitCode()).
    virtual bool Start(int argc, const char* const* argv);
    // The idle pass: the program becomes interactive, the splash window closes, and the
    // document runs its deferred work.
    virtual void Idle();
    // The program's exit code, given the event loop's.
    virtual int Exit(int loopResult);

    int ExitCode() const { return m_exitCode; }
    bool IsInteractive() const { return m_document.RunFlags().interactive; }
    const CMyCommandLineInfo& CommandLine() const { return m_commandLine; }
    CDesktopDoc& Document() { return m_document; }
    CMainFrame* MainFrame() const { return m_frame.get(); }
    CSplashDlg* Splash() const { return m_splash.get(); }

private:
    CMyCommandLineInfo m_commandLine;
    CDesktopDoc m_document;
    std::unique_ptr<hwc::ui::CQtMessageHandler> m_messages;
    std::unique_ptr<hwc::ui::CQtIdleWaker> m_waker;
    std::unique_ptr<hwc::ui::CQtModalPageRunner> m_modalPages;
    std::unique_ptr<CSplashDlg> m_splash;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<hwc::ui::CInstanceServer> m_instanceServer;
    int m_exitCode = 1;
};

// The program's application object; it adds nothing to the base.
class CThisApp final : public CThisAppBase {};
