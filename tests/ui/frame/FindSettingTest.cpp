// The Find Setting window on the largest example: Ctrl+F, the list following the typing, the
// keys of the field, and a chosen result shown with the focus and a tool-tip on its control.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "model/ModuleBase.h"
#include "modules/timers/CpmPIT.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"
#include "ui/InverterWindow.h"
#include "ui/dialogs/FindSettingDlg.h"
#include "ui/frame/AppSettings.h"
#include "ui/frame/FrameCommands.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/PagePane.h"
#include "ui/page/PageWidget.h"

namespace fs = std::filesystem;
using namespace hwc::ui;

namespace {

const QString kDash = QString::fromUtf8(" \xE2\x80\x94 ");

class FindSettingTest : public CInverterWindowTest {
protected:
    FindSettingTest() : CInverterWindowTest("hwc-find") {}

    void SetUp() override {
        CInverterWindowTest::SetUp();
        m_timer = m_document.FindModule("PIT0");
        ASSERT_NE(m_timer, nullptr);
    }

    // Ctrl+F in the main window, and the window it opens.
    CFindSettingDlg* PressCtrlF() {
        QApplication::setActiveWindow(m_frame.get());
        QTest::keyClick(m_frame.get(), Qt::Key_F, Qt::ControlModifier);
        auto* find = m_frame->findChild<CFindSettingDlg*>();
        EXPECT_NE(find, nullptr);
        return find;
    }
    static void Type(CFindSettingDlg& find, const QString& text) {
        find.QueryField()->clear();
        QTest::keyClicks(find.QueryField(), text);
    }
    static QStringList Rows(const CFindSettingDlg& find) {
        QStringList rows;
        for (int i = 0; i < find.ResultList()->count(); ++i)
            rows << find.ResultList()->item(i)->text();
        return rows;
    }
    CPageWidget* TimerPage() const {
        return qobject_cast<CPageWidget*>(m_frame->PagePane()->ViewOf(m_timer));
    }

    CModuleBase* m_timer = nullptr;
};

} // namespace

TEST_F(FindSettingTest, CtrlFFindsThePrescalerAndEnterShowsItsControl) {
    EXPECT_EQ(m_frame->Action(kCmdFindSetting)->text(), "&Find Setting...");
    EXPECT_TRUE(m_frame->Action(kCmdFindSetting)->isEnabled());
    CFindSettingDlg* find = PressCtrlF();
    ASSERT_NE(find, nullptr);
    EXPECT_TRUE(find->isVisible());
    EXPECT_FALSE(find->isModal());
    EXPECT_EQ(find->focusWidget(), find->QueryField());

    Type(*find, "Clock Prescaler");
    const QStringList rows = Rows(*find);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0], "PIT0: Clock Prescaler" + kDash + "/ 64");
    EXPECT_EQ(rows[1], "PIT1: Clock Prescaler" + kDash + "/ 1");
    EXPECT_EQ(find->ResultList()->currentRow(), 0);
    EXPECT_EQ(find->StatusText()->text(), "2 settings.");

    QTest::keyClick(find->QueryField(), Qt::Key_Return);
    EXPECT_EQ(m_frame->PagePane()->CurrentModule(), m_timer);
    CPageWidget* page = TimerPage();
    ASSERT_NE(page, nullptr);
    QWidget* prescaler = page->WidgetFor(CpmPIT::kPrescalerId);
    ASSERT_NE(prescaler, nullptr);
    EXPECT_EQ(m_frame->focusWidget(), prescaler);
    EXPECT_NE(page->OpenBalloon(), nullptr);
    // The window stays for another choice.
    EXPECT_TRUE(find->isVisible());
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(FindSettingTest, TypingNarrowsTheListAndArrowsMoveThroughIt) {
    CFindSettingDlg* find = PressCtrlF();
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(find->ResultList()->count(), 0);

    QTest::keyClicks(find->QueryField(), "pre");
    const int wide = find->ResultList()->count();
    QTest::keyClicks(find->QueryField(), "scaler");
    const int narrower = find->ResultList()->count();
    Type(*find, "clock prescaler");
    const int narrowest = find->ResultList()->count();
    EXPECT_GT(wide, narrower);
    EXPECT_GT(narrower, narrowest);
    EXPECT_EQ(narrowest, 2);
    for (const QString& row : Rows(*find))
        EXPECT_TRUE(row.contains("Clock Prescaler", Qt::CaseInsensitive)) << row.toStdString();

    // A short query lists only the first results, and says so.
    Type(*find, "e");
    EXPECT_EQ(find->ResultList()->count(), 200);
    EXPECT_TRUE(find->StatusText()->text().startsWith("The first 200 of "))
        << find->StatusText()->text().toStdString();

    Type(*find, "prescaler");
    ASSERT_GT(find->ResultList()->count(), 3);
    QTest::keyClick(find->QueryField(), Qt::Key_Down);
    QTest::keyClick(find->QueryField(), Qt::Key_Down);
    EXPECT_EQ(find->ResultList()->currentRow(), 2);
    QTest::keyClick(find->QueryField(), Qt::Key_Up);
    EXPECT_EQ(find->ResultList()->currentRow(), 1);
    EXPECT_EQ(find->focusWidget(), find->QueryField());
    // The field keeps its text while the arrows move the list.
    EXPECT_EQ(find->QueryField()->text(), "prescaler");

    Type(*find, "no setting is called this");
    EXPECT_EQ(find->ResultList()->count(), 0);
    EXPECT_EQ(find->StatusText()->text(), "No setting matches.");
    QTest::keyClick(find->QueryField(), Qt::Key_Return);
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(FindSettingTest, DoubleClickChoosesEscCloseAndCtrlFReopensTheSameWindow) {
    CFindSettingDlg* find = PressCtrlF();
    ASSERT_NE(find, nullptr);
    Type(*find, "PIT0_MOD_INIT");
    ASSERT_EQ(find->ResultList()->count(), 1);
    QListWidget* list = find->ResultList();
    const QRect row = list->visualItemRect(list->item(0));
    // A double-click as the window system delivers it: a click, then the second press.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    QMouseEvent second(QEvent::MouseButtonDblClick, QPointF(row.center()),
                       list->viewport()->mapToGlobal(QPointF(row.center())), Qt::LeftButton,
                       Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(list->viewport(), &second);
    EXPECT_EQ(m_frame->PagePane()->CurrentModule(), m_timer);

    QApplication::setActiveWindow(find);
    find->QueryField()->setFocus();
    QTest::keyClick(find->QueryField(), Qt::Key_Escape);
    EXPECT_FALSE(find->isVisible());

    EXPECT_EQ(PressCtrlF(), find);
    EXPECT_EQ(m_frame->findChildren<CFindSettingDlg*>().size(), 1);
    EXPECT_TRUE(find->isVisible());
    // The last query is kept and selected, so typing replaces it.
    EXPECT_EQ(find->QueryField()->selectedText(), "PIT0_MOD_INIT");
}

TEST_F(FindSettingTest, TheListFollowsValuesAndForgetsAClosedProject) {
    CFindSettingDlg* find = PressCtrlF();
    ASSERT_NE(find, nullptr);
    Type(*find, "Clock Prescaler");
    ASSERT_EQ(find->ResultList()->count(), 2);

    // A change made on the page shows in the list once the changes are over.
    CPageControl* prescaler = m_timer->FindControl(CpmPIT::kPrescalerId);
    ASSERT_NE(prescaler, nullptr);
    const auto& items = prescaler->Items();
    const auto at = std::find(items.begin(), items.end(), "/ 128");
    ASSERT_NE(at, items.end());
    m_timer->Page()->UserSelect(*prescaler, static_cast<int>(at - items.begin()));
    QCoreApplication::processEvents();
    EXPECT_EQ(find->ResultList()->item(0)->text(), "PIT0: Clock Prescaler" + kDash + "/ 128");

    m_document.ClearProject();
    EXPECT_EQ(find->ResultList()->count(), 0);
    EXPECT_TRUE(find->Results().empty());
    EXPECT_FALSE(find->Choose(0));
    // Opened again, the project is indexed again.
    ASSERT_TRUE(m_frame->OpenProject(QString::fromStdString((m_folder / "inverter").string())));
    Type(*find, "Clock Prescaler");
    EXPECT_EQ(find->ResultList()->count(), 2);
}

TEST_F(FindSettingTest, AControlThePageHidesIsNotShownAndSaysWhy) {
    CFindSettingDlg* find = PressCtrlF();
    ASSERT_NE(find, nullptr);
    // What the processor lacks is not offered, although the timer's page was never shown.
    Type(*find, "Slave Mode");
    EXPECT_EQ(Rows(*find).indexOf(QRegularExpression("^PIT0: .*")), -1);

    // A setting the page hides after it was found is not shown when chosen; the list says why
    // and drops it.
    const QRegularExpression counterEnable("^PIT0: Counter Enable.*");
    Type(*find, "Counter Enable");
    const int row = static_cast<int>(Rows(*find).indexOf(counterEnable));
    ASSERT_GE(row, 0);
    m_timer->Page()->ShowControl(CpmPIT::kCounterEnableId, false);
    EXPECT_FALSE(find->Choose(row));
    EXPECT_TRUE(find->StatusText()->text().contains("is not shown"))
        << find->StatusText()->text().toStdString();
    EXPECT_EQ(m_frame->PagePane()->CurrentModule(), m_timer);
    EXPECT_EQ(Rows(*find).indexOf(counterEnable), -1);
    EXPECT_TRUE(m_messages.shown.empty());
}
