// The pin-out view of the K7Q3010 example in the main window, with the package page shipped
// beside the executables: the page shows the pin functions of the project, and a click on a
// check box moves a pin function into the port's registers.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWebEngineView>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "base/AppFilePath.h"
#include "model/ModuleBase.h"
#include "modules/ports/CpmPINOUT.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"
#include "ui/frame/AppSettings.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/PagePane.h"
#include "ui/web/HtmlPage.h"

namespace fs = std::filesystem;

namespace {

// Runs the event loop as the program's own loop does, until the condition holds or the time is
// up.
template <class Condition> bool WaitFor(Condition condition, int milliseconds = 15000) {
    QElapsedTimer timer;
    timer.start();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (condition() || timer.elapsed() >= milliseconds)
            loop.quit();
    });
    poll.start(10);
    if (!condition())
        loop.exec();
    return condition();
}

QString Script(QWebEngineView& view, const QString& code) {
    // An answer that comes after the wait has given up must not write into this frame.
    const auto answer = std::make_shared<std::optional<QString>>();
    view.page()->runJavaScript(code,
                               [answer](const QVariant& value) { *answer = value.toString(); });
    WaitFor([&] { return answer->has_value(); });
    return answer->value_or(QString());
}

} // namespace

TEST(PinoutPage, ShowsAndMovesThePinFunctionsOfTheExample) {
    SetAppFolder(HWC_TEST_SOURCE_DIR "/data/arch/");
    CTestFolder folder{"hwc-pinout-page"};
    hwc::ui::RedirectSettings(QString::fromStdString((folder / "settings.ini").string()));
    CScriptedMessages messages;
    fs::copy(HWC_TEST_SOURCE_DIR "/examples/K7Q3010-motor-drive", folder / "project",
             fs::copy_options::recursive);

    CDesktopDoc document;
    auto frame = std::make_unique<CMainFrame>(document);
    frame->resize(900, 700);
    frame->show();
    ASSERT_TRUE(frame->OpenProject(QString::fromStdString((folder / "project").string())));
    auto* pinout = dynamic_cast<CpmPINOUT*>(CModuleBase::FindModule(&document, "PINOUT"));
    CModuleBase* portC = CModuleBase::FindModule(&document, "GPIO_C");
    if (!pinout || !portC)
        GTEST_SKIP() << "the pin-out view or the GPIO port is not registered in this build";
    // The architecture file names the page relative to the program, whose folder holds the
    // pages beside the architecture files; here they are apart in the source tree.
    EXPECT_TRUE(pinout->PageAddress().ends_with("/pinout/K7Q3010-LQFP32.htm"));
    pinout->SetPageAddress(HWC_TEST_SOURCE_DIR "/data/pinout/K7Q3010-LQFP32.htm");

    ASSERT_TRUE(frame->ShowModulePage(*pinout));
    auto* page = qobject_cast<CHtmlPage*>(frame->PagePane()->ViewOf(pinout));
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(WaitFor([&] { return page->View() && page->DocumentComplete(); }));
    QWebEngineView& view = *page->View();
    const QString extal = "document.getElementById('GPIOXB_OCCS__EXTAL').checked";
    if (!WaitFor([&] { return Script(view, "String(" + extal + ")") == "true"; }))
        GTEST_SKIP() << "the web engine cannot run pages in this environment";

    // The project's crystal pins and the processor name are shown.
    EXPECT_EQ(Script(view, "document.getElementById('cpu').textContent"), "K7Q3010, 32-pin LQFP");
    EXPECT_EQ(Script(view, "labels['GPIO_C0'].textContent"), "7 EXTAL (GPIO_C0)");
    EXPECT_EQ(Script(view, "labels['GPIO_C6'].textContent"), "15 GPIO_C6");

    // Clicking the checked EXTAL takes it off its pin: the port's register and the page follow.
    tPerCfgItem* per = portC->FindRegister("PER_INIT");
    ASSERT_NE(per, nullptr);
    ASSERT_EQ(per->dwValue & 0x1u, 0x1u);
    const std::uint32_t before = per->dwValue;
    const QString click = "document.getElementById('GPIOXB_OCCS__EXTAL').click(); 'ok'";
    view.page()->runJavaScript(click);
    ASSERT_TRUE(WaitFor([&] { return per->dwValue == (before & ~0x1u); }));
    EXPECT_TRUE(WaitFor([&] {
        return Script(view, "labels['GPIO_C0'].textContent") == "7 GPIO_C0" &&
               Script(view, "String(" + extal + ")") == "false";
    }));
    // A second click puts it back on its first pin.
    view.page()->runJavaScript(click);
    ASSERT_TRUE(WaitFor([&] { return per->dwValue == before; }));
    EXPECT_TRUE(WaitFor([&] {
        return Script(view, "labels['GPIO_C0'].textContent") == "7 EXTAL (GPIO_C0)" &&
               Script(view, "String(" + extal + ")") == "true";
    }));

    frame.reset();
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front().text;
    hwc::ui::RedirectSettings(QString());
    SetAppFolder("");
}
