// Every page of every example project, shown in the main window at its default size: nothing
// is reported, and every page reads cleanly.

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/AppFilePath.h"
#include "model/ModuleBase.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"
#include "ui/LayoutCheck.h"
#include "ui/frame/AppSettings.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/PagePane.h"
#include "ui/page/PageWidget.h"

namespace fs = std::filesystem;

TEST(EveryExample, EveryPageShowsCleanlyAtTheDefaultSize) {
    SetAppFolder(HWC_TEST_SOURCE_DIR "/data/arch/");
    CTestFolder folder{"hwc-every-example"};
    hwc::ui::RedirectSettings(QString::fromStdString((folder / "settings.ini").string()));
    CScriptedMessages messages;

    for (const auto& entry : fs::directory_iterator(HWC_TEST_SOURCE_DIR "/examples")) {
        // Folders that hold no project are not examples.
        if (!fs::exists(entry.path() / "ApplicationConfig/appconfig.h"))
            continue;
        const std::string name = entry.path().filename().string();
        SCOPED_TRACE(name);
        fs::copy(entry.path(), folder / name, fs::copy_options::recursive);
        CDesktopDoc document;
        auto frame = std::make_unique<CMainFrame>(document);
        frame->resize(900, 700);
        frame->show();
        // A run at another scale (QT_SCALE_FACTOR) checks the pages at that scale indeed.
        if (const QByteArray scale = qgetenv("QT_SCALE_FACTOR"); !scale.isEmpty()) {
            EXPECT_DOUBLE_EQ(frame->devicePixelRatio(), scale.toDouble());
        }
        ASSERT_TRUE(frame->OpenProject(QString::fromStdString((folder / name).string())));
        document.IdleUpdate();

        std::vector<CModuleBase*> modules;
        document.Tree().ForEachItem([&](CModuleTreeItem& item) { modules.push_back(item.Module()); });
        for (CModuleBase* module : modules) {
            if (!module || !module->Page())
                continue;
            ASSERT_TRUE(frame->ShowModulePage(*module)) << module->InstanceName();
            // The page settles its layout (combo boxes sized to entries filled in late) before
            // it is judged, however busy the machine is.
            for (int pass = 0; pass < 3; ++pass) {
                QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
                QTest::qWait(20);
            }
            auto* view = qobject_cast<CPageWidget*>(frame->PagePane()->ViewOf(module));
            ASSERT_NE(view, nullptr) << module->InstanceName();
            EXPECT_EQ(uitest::LayoutProblems(*view), std::vector<std::string>{})
                << module->InstanceName();
        }
        frame.reset();
    }
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front().text;
    hwc::ui::RedirectSettings(QString());
    SetAppFolder("");
}
