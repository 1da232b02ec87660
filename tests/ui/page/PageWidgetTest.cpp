// The page renderer on small templates: user actions reach the page as its events, model changes
// reach the widgets without coming back as events.

#include "ui/page/PageWidget.h"

#include "model/ModuleSubDlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>

#include <map>
#include <memory>
#include <vector>

namespace {

enum : int {
    kCheck = 100,
    kList = 101,
    kEdit = 102,
    kSpin = 103,
    kLabel = 104,
    kRadioA = 110,
    kRadioB = 111,
    kRadioC = 112,
    kRadioD = 113,
    kPlaceholder = 120,
    kCombo = 121,
    kDerived = 122,
    kLink = 123,
    kListBox = 124,
    kSubEdit = 7,
    kSubCheck = 8,
};

const CDialogTemplate& TestTemplate() {
    static const CDialogTemplate page(
        1,
        {dlg::Group("Options",
                    {dlg::CheckBox(kCheck, "Enable"),
                     dlg::Row({dlg::Label("Mode:"), dlg::DropList(kList, {"A", "B", "C"})}),
                     dlg::Row({dlg::Label("Value:"), dlg::Edit(kEdit), dlg::UpDown(kSpin, 0, 255)}),
                     dlg::Label("note", kLabel)}),
         dlg::Group("Radios", {dlg::Radio(kRadioA, "A", true), dlg::Radio(kRadioB, "B"),
                               dlg::Radio(kRadioC, "C", true), dlg::Radio(kRadioD, "D")}),
         dlg::Row({dlg::Label("Name:"), dlg::DropDown(kCombo, {"one", "two"})}),
         dlg::Row({dlg::Label("Rate:"), dlg::ReadOnly(kDerived, "1 kHz")}),
         dlg::Link(kLink, "see also"), dlg::ListBox(kListBox), dlg::Placeholder(kPlaceholder)});
    return page;
}

const CDialogTemplate& SubTemplate() {
    static const CDialogTemplate sub(
        2, {dlg::Row({dlg::Edit(kSubEdit), dlg::CheckBox(kSubCheck, "Sub")})});
    return sub;
}

// Records every event that reaches a control's handler, as a binding would see them.
class CEventLog final : public IControlHandler {
public:
    void OnControlEvent(CPageControl& control, EControlEvent event) override {
        events.push_back({control.Id(), event});
    }
    void OnControlDestroyed(CPageControl&) override {}
    int Count(int id, EControlEvent event) const {
        int count = 0;
        for (const auto& [eventId, kind] : events)
            count += eventId == id && kind == event;
        return count;
    }
    std::vector<std::pair<int, EControlEvent>> events;
};

class PageWidgetTest : public ::testing::Test {
protected:
    PageWidgetTest() : m_page(TestTemplate()) {
        for (const auto& control : m_page.Controls())
            control->SetHandler(&m_log);
        m_widget = std::make_unique<CPageWidget>(m_page);
        m_widget->resize(600, 700);
    }
    ~PageWidgetTest() override {
        m_widget.reset();
        for (CModuleSubDlg* sub : m_page.SubPages()) {
            for (const auto& control : sub->Controls())
                control->SetHandler(nullptr);
        }
    }

    template <class T> T* Widget(int id) {
        T* widget = qobject_cast<T*>(m_widget->WidgetFor(id));
        EXPECT_NE(widget, nullptr) << "control " << id;
        return widget;
    }
    CPageControl& Control(int id) { return *m_page.FindControl(id); }
    // Clicks a check box or radio button on its indicator, where a click always lands.
    void ClickButton(int id) {
        QWidget* button = m_widget->WidgetFor(id);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
    }
    void ShowActive() {
        m_widget->show();
        QApplication::setActiveWindow(m_widget.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_widget.get()));
    }

    CEventLog m_log;
    CPage m_page;
    std::unique_ptr<CPageWidget> m_widget;
};

TEST_F(PageWidgetTest, UserActionsBecomePageEvents) {
    ShowActive();
    ClickButton(kCheck);
    EXPECT_EQ(Control(kCheck).Check(), 1);
    EXPECT_EQ(m_log.Count(kCheck, EControlEvent::Clicked), 1);

    auto* list = Widget<QComboBox>(kList);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(Control(kList).Selection(), 0);
    EXPECT_EQ(m_log.Count(kList, EControlEvent::SelectionChanged), 1);

    auto* edit = Widget<QLineEdit>(kEdit);
    QTest::keyClicks(edit, "42");
    EXPECT_EQ(Control(kEdit).Text(), "42");
    EXPECT_EQ(m_log.Count(kEdit, EControlEvent::TextChanged), 2);

    // Typing into the editable combo is an edit; picking an entry a selection.
    auto* combo = Widget<QComboBox>(kCombo);
    QTest::keyClicks(combo->lineEdit(), "x");
    EXPECT_EQ(Control(kCombo).Text(), "x");
    EXPECT_EQ(m_log.Count(kCombo, EControlEvent::TextChanged), 1);

    Widget<QListWidget>(kListBox); // exists; entries come from the model
    Control(kListBox).SetItems({"p", "q"});
    Widget<QListWidget>(kListBox)->setCurrentRow(1);
    EXPECT_EQ(Control(kListBox).Selection(), 1);
}

TEST_F(PageWidgetTest, FocusMovesAreReportedAsGainedAndLost) {
    ShowActive();
    Widget<QLineEdit>(kEdit)->setFocus();
    EXPECT_EQ(m_page.Focused(), &Control(kEdit));
    Widget<QComboBox>(kCombo)->setFocus();
    EXPECT_EQ(m_log.Count(kEdit, EControlEvent::FocusLost), 1);
    EXPECT_EQ(m_page.Focused(), &Control(kCombo));
}

TEST_F(PageWidgetTest, ModelChangesReachWidgetsWithoutEvents) {
    Control(kCheck).SetCheck(2);
    Control(kList).SetSelection(2);
    Control(kEdit).SetText("0x10");
    Control(kLabel).SetText("Clock source is not available");
    Control(kCombo).SetItems({"x", "y", "z"});
    Control(kCombo).SetSelection(1);
    Control(kRadioB).SetCheck(1);
    EXPECT_TRUE(m_log.events.empty());

    EXPECT_EQ(Widget<QCheckBox>(kCheck)->checkState(), Qt::PartiallyChecked);
    EXPECT_EQ(Widget<QComboBox>(kList)->currentIndex(), 2);
    EXPECT_EQ(Widget<QLineEdit>(kEdit)->text(), "0x10");
    EXPECT_EQ(Widget<QLabel>(kLabel)->text(), "Clock source is not available");
    EXPECT_EQ(Widget<QComboBox>(kCombo)->count(), 3);
    EXPECT_EQ(Widget<QComboBox>(kCombo)->currentText(), "y");
    EXPECT_TRUE(Widget<QRadioButton>(kRadioB)->isChecked());
    EXPECT_TRUE(Widget<QLineEdit>(kDerived)->isReadOnly());
    EXPECT_EQ(Widget<QLineEdit>(kDerived)->text(), "1 kHz");
}

TEST_F(PageWidgetTest, VisibilityEnabledStateAndColoursFollowTheModel) {
    m_widget->show();
    m_page.ShowControl(kCheck, false);
    m_page.EnableControl(kList, false);
    EXPECT_FALSE(Widget<QCheckBox>(kCheck)->isVisible());
    EXPECT_FALSE(Widget<QComboBox>(kList)->isEnabled());
    m_page.ShowControl(kCheck, true);
    EXPECT_TRUE(Widget<QCheckBox>(kCheck)->isVisible());

    // A row's caption goes and comes back with the row's only setting.
    QLabel* caption = nullptr;
    for (QLabel* label : m_widget->findChildren<QLabel*>()) {
        if (label->text() == "Rate:")
            caption = label;
    }
    ASSERT_NE(caption, nullptr);
    m_page.ShowControl(kDerived, false);
    EXPECT_FALSE(caption->isVisible());
    m_page.ShowControl(kDerived, true);
    EXPECT_TRUE(caption->isVisible());

    // A disabled buddy takes its arrows with it.
    auto* arrows = m_widget->WidgetFor(kSpin);
    m_page.EnableControl(kEdit, false);
    EXPECT_FALSE(arrows->isEnabled());
    m_page.EnableControl(kEdit, true);
    EXPECT_TRUE(arrows->isEnabled());

    const tColour red{255, 0, 0};
    m_page.SetCtrlTextColor(kLabel, red);
    m_page.SetCtrlBkColor(kEdit, tColour{255, 255, 0});
    EXPECT_EQ(Widget<QLabel>(kLabel)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_EQ(Widget<QLineEdit>(kEdit)->palette().color(QPalette::Base), QColor(255, 255, 0));
    // Disabled controls show no colours; removing a colour restores the usual one.
    m_page.EnableControl(kLabel, false);
    EXPECT_NE(Widget<QLabel>(kLabel)->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    m_page.SetCtrlBkColor(kEdit, std::nullopt);
    EXPECT_NE(Widget<QLineEdit>(kEdit)->palette().color(QPalette::Base), QColor(255, 255, 0));
}

TEST_F(PageWidgetTest, RewritingTheTypedTextKeepsTheCursor) {
    ShowActive();
    auto* edit = Widget<QLineEdit>(kEdit);
    edit->setFocus();
    QTest::keyClicks(edit, "1234");
    edit->setCursorPosition(2);
    Control(kEdit).SetText("1234");
    EXPECT_EQ(edit->cursorPosition(), 2);
    Control(kEdit).SetText("1");
    EXPECT_EQ(edit->text(), "1");
    EXPECT_EQ(edit->cursorPosition(), 1);
}

TEST_F(PageWidgetTest, RadioGroupsAreTheModelsNotTheWidgets) {
    ShowActive();
    ClickButton(kRadioA);
    ClickButton(kRadioC);
    // Two groups in one box: the second click leaves the first group alone.
    EXPECT_TRUE(Widget<QRadioButton>(kRadioA)->isChecked());
    EXPECT_TRUE(Widget<QRadioButton>(kRadioC)->isChecked());
    ClickButton(kRadioD);
    EXPECT_FALSE(Widget<QRadioButton>(kRadioC)->isChecked());
    EXPECT_EQ(Control(kRadioC).Check(), 0);
    // Clicking a checked radio button keeps it checked.
    ClickButton(kRadioD);
    EXPECT_TRUE(Widget<QRadioButton>(kRadioD)->isChecked());
}

TEST_F(PageWidgetTest, SubPageInsertedLaterIsDrawnInPlace) {
    ShowActive();
    EXPECT_EQ(m_widget->WidgetFor(kSubEdit), nullptr);
    auto sub = std::make_unique<CModuleSubDlg>(SubTemplate(), &m_page);
    CPage* subPage = sub.get();
    ASSERT_TRUE(m_page.InsertSubPage(kPlaceholder, std::move(sub)));
    for (const auto& control : subPage->Controls())
        control->SetHandler(&m_log);

    auto* edit = qobject_cast<QLineEdit*>(m_widget->WidgetFor(kSubEdit));
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(m_widget->WidgetFor(kPlaceholder)->isAncestorOf(edit));
    EXPECT_EQ(m_widget->WidgetFor((kPlaceholder << CPage::kSubPageShift) + kSubCheck),
              m_widget->WidgetFor(kSubCheck));
    QTest::qWait(0);
    EXPECT_TRUE(edit->isVisible());

    // The sub-page's controls follow their page and sit in the tab chain after the list box.
    subPage->SetControlText(kSubEdit, "isr");
    EXPECT_EQ(edit->text(), "isr");
    QTest::keyClicks(edit, "2");
    EXPECT_EQ(m_log.Count(kSubEdit, EControlEvent::TextChanged), 1);
    auto* list = Widget<QListWidget>(kListBox);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Tab);
    EXPECT_TRUE(edit->hasFocus());
}

TEST_F(PageWidgetTest, UpDownArrowsAndKeysStepTheBuddy) {
    ShowActive();
    Control(kEdit).SetText("0x0010");
    auto buttons = m_widget->WidgetFor(kSpin)->findChildren<QToolButton*>();
    ASSERT_EQ(buttons.size(), 2);
    QTest::mouseClick(buttons[0], Qt::LeftButton);
    EXPECT_EQ(Control(kEdit).Text(), "0x0011");
    EXPECT_EQ(Widget<QLineEdit>(kEdit)->text(), "0x0011");
    EXPECT_EQ(m_log.Count(kEdit, EControlEvent::TextChanged), 1);

    Control(kEdit).SetText("7");
    auto* edit = Widget<QLineEdit>(kEdit);
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Down);
    EXPECT_EQ(Control(kEdit).Text(), "6");
    QTest::mouseClick(buttons[1], Qt::LeftButton);
    EXPECT_EQ(Control(kEdit).Text(), "5");
    // The range ends the steps.
    Control(kEdit).SetText("255");
    QTest::keyClick(edit, Qt::Key_Up);
    EXPECT_EQ(Control(kEdit).Text(), "255");
}

TEST_F(PageWidgetTest, WheelOverAComboScrollsThePageInstead) {
    m_widget->resize(300, 120);
    ShowActive();
    auto* list = Widget<QComboBox>(kList);
    list->setCurrentIndex(1);
    QWheelEvent wheel(QPointF(5, 5), list->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(list, &wheel);
    EXPECT_EQ(list->currentIndex(), 1);
    EXPECT_GT(m_widget->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(m_log.events.empty() || m_log.Count(kList, EControlEvent::SelectionChanged) == 0);
}

TEST_F(PageWidgetTest, ToolTipScrollsTheControlIntoViewAndFocusesIt) {
    m_widget->resize(300, 240);
    ShowActive();
    ASSERT_EQ(m_widget->verticalScrollBar()->value(), 0);
    m_page.ShowToolTip(Control(kListBox), "Pick one", "Hint");

    QWidget* list = m_widget->WidgetFor(kListBox);
    const QRect inView(list->mapTo(m_widget->viewport(), QPoint(0, 0)), list->size());
    EXPECT_GT(m_widget->verticalScrollBar()->value(), 0);
    EXPECT_GE(inView.top(), 0);
    EXPECT_LE(inView.bottom(), m_widget->viewport()->height());
    EXPECT_TRUE(list->hasFocus());
    EXPECT_EQ(m_page.Focused(), &Control(kListBox));
    ASSERT_NE(m_widget->OpenBalloon(), nullptr);

    // A click closes the balloon; a label the tip is about takes the focus itself, though Tab
    // passes it by.
    QTest::mouseClick(list, Qt::LeftButton);
    QTest::qWait(0);
    EXPECT_EQ(m_widget->OpenBalloon(), nullptr);
    m_page.ShowToolTip(Control(kLabel), "Warning", "");
    EXPECT_TRUE(m_widget->WidgetFor(kLabel)->hasFocus());
    EXPECT_EQ(m_page.Focused(), &Control(kLabel));
    m_widget->verticalScrollBar()->setValue(0);
    QTest::qWait(0);
    EXPECT_EQ(m_widget->OpenBalloon(), nullptr);
}

TEST_F(PageWidgetTest, ToolTipFocusesReadOnlyFieldsAndPassesHiddenOnesOn) {
    ShowActive();
    auto* derived = Widget<QLineEdit>(kDerived);
    m_page.ShowToolTip(Control(kDerived), "Too fast", "Warning detail");
    EXPECT_TRUE(derived->hasFocus());
    EXPECT_EQ(m_page.Focused(), &Control(kDerived));
    EXPECT_TRUE(derived->isReadOnly());

    // A hidden or disabled control cannot hold the focus: the next one Tab reaches takes it.
    Control(kLabel).Show(false);
    m_page.ShowToolTip(Control(kLabel), "Warning", "");
    EXPECT_EQ(m_page.Focused(), &Control(kRadioA));
    Control(kDerived).Enable(false);
    m_page.ShowToolTip(Control(kDerived), "Too fast", "");
    EXPECT_EQ(m_page.Focused(), &Control(kLink));
}

TEST_F(PageWidgetTest, ScrollingBringsInTheLeastNeeded) {
    m_widget->resize(300, 150);
    ShowActive();
    QScrollBar* bar = m_widget->verticalScrollBar();
    m_widget->ScrollToControl(kListBox);
    const int atList = bar->value();
    // Already visible: nothing moves.
    m_widget->ScrollToControl(kListBox);
    EXPECT_EQ(bar->value(), atList);
    // Above the view: its top edge comes to the top of the view.
    m_widget->ScrollToControl(kCheck);
    QWidget* check = m_widget->WidgetFor(kCheck);
    EXPECT_EQ(check->mapTo(m_widget->viewport(), QPoint(0, 0)).y(), 0);
}

TEST_F(PageWidgetTest, LongLinkTextWrapsInsteadOfWideningThePage) {
    m_widget->resize(320, 700);
    ShowActive();
    Control(kLink).SetText("All six module pins are configured properly in <a href=\"GPIO_A\">GPIO_A"
                           "</a> and <a href=\"GPIO_B\">GPIO_B</a> and <a href=\"GPIO_C\">GPIO_C"
                           "</a>.");
    QApplication::processEvents();
    EXPECT_TRUE(Widget<QLabel>(kLink)->wordWrap());
    EXPECT_FALSE(m_widget->horizontalScrollBar()->isVisible());
    // A short link stays on one line.
    Control(kLink).SetText("see also");
    EXPECT_FALSE(Widget<QLabel>(kLink)->wordWrap());
}

TEST_F(PageWidgetTest, DestroyingTheWidgetLeavesThePageAlone) {
    ShowActive();
    Widget<QLineEdit>(kEdit)->setFocus();
    m_log.events.clear();
    m_widget.reset();
    EXPECT_EQ(m_page.Observer(), nullptr);
    // Changes after the widget is gone reach no widget.
    m_page.SetControlText(kEdit, "later");
    EXPECT_EQ(m_log.Count(kEdit, EControlEvent::TextChanged), 0);
}

} // namespace
