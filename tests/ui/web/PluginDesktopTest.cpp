// The example plug-in in the desktop program: beside a project's header it adds its module, whose
// page writes a register, moves the tool to another module's page and writes its comment at a
// save.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include <QElapsedTimer>
#include <QTreeWidget>
#include <QWebEngineView>

#include "base/AppFilePath.h"
#include "model/ModuleBase.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"
#include "ui/bars/BarWarnView.h"
#include "ui/frame/AppSettings.h"
#include "ui/frame/DesktopDoc.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/PagePane.h"
#include "ui/web/ConfigToolChannel.h"
#include "ui/web/HtmlPage.h"
#include "ui/web/WebPageWait.h"

namespace fs = std::filesystem;

namespace {

QString Script(CHtmlPage& page, const QString& code) {
    return RunPageScript(*page.View()->page(), code);
}

TEST(PluginDesktopTest, TheExamplePluginWorksBesideAProject) {
    CTestFolder folder{"hwc-plugin-desktop"};
    SetAppFolder(HWC_TEST_SOURCE_DIR "/data/arch/");
    hwc::ui::RedirectSettings(QString::fromStdString((folder / "settings.ini").string()));
    CScriptedMessages messages;
    const fs::path project = folder / "sensor";
    fs::copy(HWC_TEST_SOURCE_DIR "/examples/K7Q2320-sensor-node", project,
             fs::copy_options::recursive);
    fs::copy(HWC_TEST_SOURCE_DIR "/examples/plugins/ApplicationConfig/demo-driver.hwc",
             project / "ApplicationConfig/demo-driver.hwc", fs::copy_options::recursive);

    CDesktopDoc document;
    auto frame = std::make_unique<CMainFrame>(document);
    frame->show();
    ASSERT_TRUE(frame->OpenProject(QString::fromStdString(project.string())));
    CModuleBase* driver = document.FindModule("DEMO_DRV");
    ASSERT_NE(driver, nullptr);
    ASSERT_TRUE(frame->ShowModulePage(*driver));
    auto* page = qobject_cast<CHtmlPage*>(frame->PagePane()->ViewOf(driver));
    ASSERT_NE(page, nullptr);
    if (!WaitFor([&] { return page->View() && page->DocumentComplete(); }))
        GTEST_SKIP() << "the web engine cannot load pages in this environment";
    ASSERT_TRUE(WaitFor([&] {
        return page->ScriptObjectGate()->Channel() &&
               page->ScriptObjectGate()->Channel()->PageAttached() &&
               Script(*page, "document.getElementById('processor').textContent") != "?";
    }));
    EXPECT_EQ(Script(*page, "document.getElementById('processor').textContent"), "K7Q2320");

    // The user picks a rate on the page: the register takes it.
    Script(*page, "var e = document.getElementById('baud'); e.value = '57600';"
                  "e.dispatchEvent(new Event('change')); 'ok'");
    EXPECT_TRUE(WaitFor([&] { return driver->FindRegister("BAUD_RATE")->dwValue == 57600u; }));

    // Saving includes the module (the question is answered yes) and asks the page for its
    // comment; the definitions go to the plug-in's own header.
    messages.Answer(hwc::EAnswer::Yes);
    ASSERT_TRUE(frame->SaveProject());
    const std::string own = ReadFileBytes(project / "ApplicationConfig/demo_driver.h");
    EXPECT_NE(own.find("#define DEMO_DRV_BAUD_RATE                57600"), std::string::npos)
        << own;
    EXPECT_NE(own.find("    Demo serial driver enabled on port \"demo\"\n    57600 baud"),
              std::string::npos)
        << own;
    EXPECT_EQ(ReadFileBytes(project / "ApplicationConfig/appconfig.h").find("DEMO_DRV_"),
              std::string::npos);

    // A rate the page warns about: the warning's detail, asked for in the warnings bar, is the
    // page's to show.
    Script(*page, "document.getElementById('rxint').checked = false;"
                  "var f = document.getElementById('baud'); f.value = '230400';"
                  "f.dispatchEvent(new Event('change')); 'ok'");
    CBarWarnView* warnings = frame->WarningsView();
    int row = -1;
    ASSERT_TRUE(WaitFor([&] {
        document.CheckAllWarnings();
        warnings->RebuildIfPending();
        for (int i = 0; i < warnings->List()->topLevelItemCount(); ++i) {
            const CWarning* warning = warnings->WarningAt(i);
            if (warning && warning->owner == driver)
                row = i;
        }
        return row >= 0;
    }));
    warnings->List()->clearSelection();
    warnings->List()->topLevelItem(row)->setSelected(true);
    ASSERT_TRUE(warnings->ActivateSelection());
    EXPECT_TRUE(WaitFor([&] {
        return Script(*page, "document.getElementById('warning').textContent")
            .startsWith("Warning detail: Demo driver: rates above 115200 baud");
    }));

    // The page's button moves the tool to the timer's page.
    CModuleBase* timer = document.FindModule("PIT0");
    ASSERT_NE(timer, nullptr);
    Script(*page, "document.getElementById('timer').click(); 'ok'");
    EXPECT_TRUE(WaitFor([&] { return frame->PagePane()->CurrentModule() == timer; }));

    frame.reset();
    hwc::ui::RedirectSettings(QString());
    SetAppFolder("");
}

} // namespace
