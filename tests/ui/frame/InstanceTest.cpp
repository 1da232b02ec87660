// One instance per project: the activation socket, and a project held by another process.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>

#include <filesystem>
#include <fstream>

#include "base/AppFilePath.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"
#include "ui/frame/AppSettings.h"
#include "ui/frame/InstanceServer.h"
#include "ui/frame/MainFrame.h"

namespace fs = std::filesystem;
using namespace hwc::ui;

TEST(InstanceServer, AnotherInstanceCanAskForActivation) {
    // A process that does not exist is named by its number alone.
    EXPECT_EQ(DescribeInstance(0x7ffffffe), QStringLiteral("process 2147483646"));
    int activations = 0;
    CInstanceServer server;
    ASSERT_TRUE(server.Listen([&activations] { ++activations; }));
    ASSERT_TRUE(ActivateInstance(QCoreApplication::applicationPid()));
    const QDeadlineTimer deadline(3000);
    while (activations == 0 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(activations, 1);
    // Nobody listens for a process that does not run this program.
    EXPECT_FALSE(ActivateInstance(0x7ffffffe, 200));
}

TEST(InstanceLock, ProjectHeldElsewhereIsNotOpened) {
    CTestFolder folder("hwc-frame-lock");
    SetAppFolder(HWC_TEST_SOURCE_DIR "/data/arch/");
    RedirectSettings(QString::fromStdString((folder / "settings.ini").string()));
    fs::copy(HWC_TEST_SOURCE_DIR "/examples/K7Q5110-inverter", folder / "inverter",
             fs::copy_options::recursive);
    const fs::path lock = folder / "inverter/ApplicationConfig/appconfig.lck";

    // Another process holds the lock file, which names a process without a window.
    QProcess holder;
    holder.start("flock", {"--no-fork", QString::fromStdString(lock.string()), "sleep", "30"});
    ASSERT_TRUE(holder.waitForStarted());
    std::ofstream(lock) << holder.processId() << "\n";
    const QDeadlineTimer deadline(3000);
    while (!deadline.hasExpired() && ::system(("flock -n " + lock.string() + " true").c_str()) == 0)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);

    CScriptedMessages messages;
    CDesktopDoc document;
    tRunFlags flags;
    flags.interactive = true;
    document.SetRunFlags(flags);
    CMainFrame frame(document);
    messages.Answer(hwc::EAnswer::No);
    EXPECT_FALSE(frame.OpenProject(QString::fromStdString((folder / "inverter").string())));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "This project file is already open in other application. "
                                      "Do you want to activate it?");
    EXPECT_FALSE(document.IsLoaded());

    // Started on it from the command line: the holder cannot come forward (it has no window),
    // so the message box and standard error name it.
    messages.shown.clear();
    flags.interactive = false;
    document.SetRunFlags(flags);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(frame.OpenProject(QString::fromStdString((folder / "inverter").string())));
    const std::string error = testing::internal::GetCapturedStderr();
    const std::string named =
        "open in another instance, process " + std::to_string(holder.processId());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find(named), std::string::npos) << messages.shown[0].text;
    EXPECT_NE(messages.shown[0].text.find("could not be brought forward"), std::string::npos);
    EXPECT_NE(error.find("hwc: This project is " + named), std::string::npos) << error;
    EXPECT_EQ(DescribeInstance(holder.processId()),
              QStringLiteral("process %1 (sleep)").arg(holder.processId()));

    holder.kill();
    holder.waitForFinished();
    RedirectSettings(QString());
    SetAppFolder("");
}
