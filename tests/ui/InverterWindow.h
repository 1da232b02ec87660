#pragma once
// Desktop tests on the main window: a copy of the largest example opened in a window of its own,
// with settings of its own, torn down with everything it touched.

#include <gtest/gtest.h>

#include <QString>

#include <filesystem>
#include <memory>
#include <string>

#include "base/AppFilePath.h"
#include "model/ModuleBase.h"
#include "support/ExampleProject.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"
#include "ui/frame/AppSettings.h"
#include "ui/frame/DesktopDoc.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/PagePane.h"
#include "ui/page/PageWidget.h"

class CInverterWindowTest : public ::testing::Test {
protected:
    explicit CInverterWindowTest(const char* folder) : m_folder(folder) {}

    void SetUp() override {
        hwc::ui::RedirectSettings(QString::fromStdString((m_folder / "settings.ini").string()));
        CopyExample("K7Q5110-inverter", m_folder / "inverter");
        m_header = m_folder / "inverter/ApplicationConfig/appconfig.h";
        m_frame = std::make_unique<CMainFrame>(m_document);
        m_frame->show();
        ASSERT_TRUE(m_frame->OpenProject(QString::fromStdString((m_folder / "inverter").string())));
    }
    void TearDown() override {
        m_frame.reset();
        hwc::ui::RedirectSettings(QString());
    }

    CModuleBase& Module(const char* name) {
        CModuleBase* module = m_document.FindModule(name);
        EXPECT_NE(module, nullptr) << name;
        return *module;
    }
    // Shows the module's page and returns its widget.
    CPageWidget& ShowPage(CModuleBase& module) {
        EXPECT_TRUE(m_frame->ShowModulePage(module));
        auto* view = qobject_cast<CPageWidget*>(m_frame->PagePane()->ViewOf(&module));
        EXPECT_NE(view, nullptr);
        return *view;
    }
    template <class Widget> Widget* ControlWidget(CPageWidget& page, int id) {
        auto* widget = qobject_cast<Widget*>(page.WidgetFor(id));
        EXPECT_NE(widget, nullptr) << id;
        return widget;
    }

    CScopedArchitectureFiles m_architecture;
    CScriptedMessages m_messages;
    CTestFolder m_folder;
    std::filesystem::path m_header; // the copy's appconfig.h
    CDesktopDoc m_document;
    std::unique_ptr<CMainFrame> m_frame;
};
