// The page renderer on a real module page: the timer of the largest example project, its
// widgets driving the registers through the module's bindings.

#include "ui/page/PageWidget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "base/AppFilePath.h"
#include "model/ModuleSubDlg.h"
#include "modules/timers/CpmPIT.h"
#include "project/ProjDoc.h"
#include "project/SelfTest.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"
#include "ui/LayoutCheck.h"

namespace fs = std::filesystem;

namespace {

class ModulePageWidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppFolder(HWC_TEST_SOURCE_DIR "/data/arch");
        const fs::path project = m_folder / "inverter";
        fs::copy(HWC_TEST_SOURCE_DIR "/examples/K7Q5110-inverter", project,
                 fs::copy_options::recursive);
        ASSERT_TRUE(m_document.OpenProject(project.string()));
        for (const auto& module : m_document.Modules()) {
            if (module->InstanceName() == "PIT0")
                m_pit = module.get();
        }
        ASSERT_NE(m_pit, nullptr);
        ASSERT_TRUE(hwc::ShowModulePage(m_document, *m_pit));
        m_widget = std::make_unique<CPageWidget>(*m_pit->Page());
        // The page pane of the default window: 900 x 700 less the 220-pixel module tree.
        m_widget->resize(680, 640);
        m_widget->show();
        QApplication::setActiveWindow(m_widget.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_widget.get()));
    }
    void TearDown() override {
        m_widget.reset();
        SetAppFolder("");
    }

    template <class T> T* Widget(int id) {
        T* widget = qobject_cast<T*>(m_widget->WidgetFor(id));
        EXPECT_NE(widget, nullptr) << "control " << id;
        return widget;
    }
    std::uint32_t Register(const char* name) { return m_pit->FindRegister(name)->dwValue; }

    CTestFolder m_folder{"ui-page"};
    CScriptedMessages m_messages;
    CProjDoc m_document;
    CModuleBase* m_pit = nullptr;
    std::unique_ptr<CPageWidget> m_widget;
};

TEST_F(ModulePageWidgetTest, ControlsChangeTheirRegisters) {
    // The example's PIT0_CTRL_INIT 0x0033: counter enabled, prescaler / 64.
    ASSERT_EQ(Register("CTRL_INIT"), 0x0033u);
    auto* counter = Widget<QCheckBox>(CpmPIT::kCounterEnableId);
    ASSERT_TRUE(counter->isChecked());
    QTest::mouseClick(counter, Qt::LeftButton, {}, QPoint(6, counter->height() / 2));
    EXPECT_EQ(Register("CTRL_INIT") & 1u, 0u);

    auto* prescaler = Widget<QComboBox>(CpmPIT::kPrescalerId);
    EXPECT_EQ(prescaler->currentIndex(), 6);
    prescaler->setFocus();
    QTest::keyClick(prescaler, Qt::Key_Up);
    EXPECT_EQ((Register("CTRL_INIT") >> 3) & 0xFu, 5u);

    // The modulo is typed or stepped with the arrows; derived values stay read-only.
    EXPECT_TRUE(Widget<QLineEdit>(CpmPIT::kInterruptRateId)->isReadOnly());
    auto* modulo = Widget<QLineEdit>(CpmPIT::kModuloId);
    modulo->selectAll();
    QTest::keyClicks(modulo, "99");
    EXPECT_EQ(Register("MOD_INIT"), 99u);
    auto arrows = m_widget->WidgetFor(CpmPIT::kModuloSpinId)->findChildren<QToolButton*>();
    ASSERT_EQ(arrows.size(), 2);
    QTest::mouseClick(arrows[0], Qt::LeftButton);
    EXPECT_EQ(Register("MOD_INIT"), 100u);
    EXPECT_EQ(modulo->text(), "100");
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(ModulePageWidgetTest, InterruptRowsAndHiddenControlsAreDrawn) {
    // The slave-mode box belongs to the second timer only; the note link is never shown.
    EXPECT_FALSE(m_widget->WidgetFor(CpmPIT::kSlaveModeId)->isVisible());
    EXPECT_FALSE(m_widget->WidgetFor(CpmPIT::kUserVectorNoteId)->isVisible());
    // The interrupt row sub-page sits inside its placeholder.
    const CPage& page = *m_pit->Page();
    ASSERT_FALSE(page.SubPages().empty());
    const CPage* row = page.SubPages().back();
    QWidget* rowWidget = m_widget->WidgetFor(*row->Controls().front());
    ASSERT_NE(rowWidget, nullptr);
    EXPECT_TRUE(rowWidget->isVisible());
}

// At the default window size no visible control is squeezed below its minimum size or overlaps
// a sibling.
TEST_F(ModulePageWidgetTest, PageReadsCleanlyAtTheDefaultSize) {
    QTest::qWait(0);
    EXPECT_EQ(uitest::LayoutProblems(*m_widget), std::vector<std::string>{});
}

} // namespace
