// The registers bar on an opened project: which rows a module gets and how they are named,
// values following the page and the update cycle, and typed values going into the registers.

#include "ui/bars/BarRegsView.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QTest>

#include "base/FixedText.h"
#include "model/ModuleBase.h"
#include "model/Page.h"
#include "project/SelfTest.h"
#include "ui/bars/BarsTestProject.h"
#include "ui/bars/RegisterRowWidget.h"

using namespace barstest;
using hwc::ui::CRegisterRowWidget;

namespace {

const QColor kDarkRed(192, 0, 0);

QStringList Labels(const CBarRegsView& view) {
    QStringList labels;
    for (const CRegisterRowWidget* row : view.Rows())
        labels << row->NameLabel()->text();
    return labels;
}

CRegisterRowWidget* RowNamed(const CBarRegsView& view, const QString& label) {
    for (CRegisterRowWidget* row : view.Rows())
        if (row->NameLabel()->text() == label)
            return row;
    ADD_FAILURE() << "no row " << label.toStdString();
    return nullptr;
}

QString Hex4(std::uint32_t value) {
    return QString::asprintf("0x%04X", value);
}

QColor ValueColour(const CRegisterRowWidget& row) {
    return row.Edit()->palette().color(QPalette::Text);
}

// The control that follows the label in dialog order.
const CPageControl* ControlAfter(const CPage& page, const std::string& label) {
    const auto& controls = page.Controls();
    for (std::size_t i = 0; i + 1 < controls.size(); ++i)
        if (controls[i]->Text() == label)
            return controls[i + 1].get();
    return nullptr;
}

// Types the text into the row's value edit and presses Enter.
void Enter(CRegisterRowWidget& row, const QString& text) {
    row.Edit()->setFocus();
    row.Edit()->selectAll();
    QTest::keyClicks(row.Edit(), text);
    QTest::keyClick(row.Edit(), Qt::Key_Return);
}

class BarRegsViewTest : public BarsProjectTest {};

} // namespace

TEST_F(BarRegsViewTest, SelectedModuleListsItsRegistersWithBorrowedAndUserDefinesApart) {
    CBarsDoc& document = Open();
    CBarRegsView view;
    view.SetDocument(&document);
    EXPECT_TRUE(view.ShowsNoRegistersText());

    CModuleBase& timer = Module("PIT0");
    Select(timer);
    EXPECT_EQ(Labels(view), (QStringList{"CTRL:", "MOD:"}));
    EXPECT_EQ(view.Rows()[0]->Edit()->text(), Hex4(timer.Item(0).dwValue));
    EXPECT_EQ(view.Rows()[1]->Edit()->text(), Hex4(timer.Item(1).dwValue));
    EXPECT_FALSE(view.ShowsNoRegistersText());

    // Hidden registers are left out, a dash drops the prefix and the note follows the name;
    // the borrowed register carries its owner's name, the user define comes last.
    Select(*Clock());
    EXPECT_EQ(
        Labels(view),
        (QStringList{"CTRL:", "REQUIRED_LOCK_MODE:", "TRIM lo:", "PIT0_MOD:", "CLOCK_NOTE:"}));
    EXPECT_EQ(RowNamed(view, "CTRL:")->Edit()->objectName(), "value1000");
    EXPECT_EQ(RowNamed(view, "REQUIRED_LOCK_MODE:")->Edit()->text(), "0x20");
    EXPECT_TRUE(RowNamed(view, "TRIM lo:")->Edit()->isReadOnly());
    EXPECT_EQ(RowNamed(view, "CLOCK_NOTE:")->Edit()->text(), "0");

    // The same module selected again keeps its rows; a cleared project leaves none.
    CRegisterRowWidget* first = view.Rows().front();
    Select(*Clock());
    EXPECT_EQ(view.Rows().front(), first);
    document.ClearProject();
    EXPECT_TRUE(view.Rows().isEmpty());
    EXPECT_TRUE(view.ShowsNoRegistersText());
}

TEST_F(BarRegsViewTest, ModuleWithoutRowsShowsItsParentsRegisters) {
    CBarsDoc& document = Open();
    CBarRegsView view;
    view.SetDocument(&document);
    // The interval timers hang below the "Timers" group, which has no registers either.
    CModuleBase& timer = Module("PIT1");
    for (int i = 0; i < timer.ItemCount(); ++i)
        timer.Item(i).dwFlags |= hwc::RegFlag::NOSHOWLIST;
    Select(timer);
    EXPECT_TRUE(view.ShowsNoRegistersText());

    // Once the group has a register, the timer shows it.
    CModuleBase* group = timer.Parent();
    ASSERT_NE(group, nullptr);
    group->SetItemCount(1);
    hwc::CopyCut(group->Item(0).szName, "GROUP_INIT");
    group->Item(0).dwFlags = hwc::RegFlag::DW16;
    Select(Module("PIT0"));
    Select(timer);
    EXPECT_EQ(Labels(view), QStringList{"GROUP:"});
    EXPECT_EQ(view.Rows().front()->Row().owner, group);
}

TEST_F(BarRegsViewTest, PageChangesShowInDarkRedUntilSaved) {
    CBarsDoc& document = Open();
    CBarRegsView view;
    view.SetDocument(&document);
    CModuleBase& timer = Module("PIT0");
    ASSERT_TRUE(document.ShowModulePage(timer));
    Select(timer);
    CRegisterRowWidget* ctrl = view.Rows()[0];
    EXPECT_EQ(ValueColour(*ctrl), QColor(Qt::black));
    const std::uint32_t toggled = timer.Item(0).dwValue ^ 1u;

    CPageControl* enable = timer.Page()->FindControlByText("Counter Enable");
    ASSERT_NE(enable, nullptr);
    timer.Page()->UserClick(*enable);
    EXPECT_EQ(ctrl->Edit()->text(), Hex4(toggled));
    EXPECT_EQ(ValueColour(*ctrl), kDarkRed);

    // Back to the loaded value is black again; saving makes the new value the reference.
    timer.Page()->UserClick(*enable);
    EXPECT_EQ(ValueColour(*ctrl), QColor(Qt::black));
    timer.Page()->UserClick(*enable);
    ASSERT_TRUE(document.SaveProject(document.ProjectFilePath()));
    document.IdleUpdate();
    EXPECT_EQ(ctrl->Edit()->text(), Hex4(toggled));
    EXPECT_EQ(ValueColour(*ctrl), QColor(Qt::black));

    // Decimal display shows hexadecimal registers as plain numbers.
    view.ToggleHexDec();
    EXPECT_EQ(ctrl->Edit()->text(), QString::number(toggled));
    view.ToggleHexDec();
    EXPECT_EQ(ctrl->Edit()->text(), Hex4(toggled));
}

TEST_F(BarRegsViewTest, EnterStoresValidValuesAndRefusesOthersWithTheirMessage) {
    CBarsDoc& document = Open();
    CBarRegsView view;
    view.SetDocument(&document);
    view.show();
    CpmBarsClock& clock = *Clock();
    Select(clock);
    CRegisterRowWidget* lockMode = RowNamed(view, "REQUIRED_LOCK_MODE:");

    Enter(*lockMode, "0x1FF");
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, "This register value must be a number between 0 and 0xff");
    EXPECT_EQ(clock.Item(1).dwValue, 0x20u);

    Enter(*lockMode, "0x1F");
    EXPECT_EQ(clock.Item(1).dwValue, 0x1Fu);
    EXPECT_EQ(lockMode->Edit()->text(), "0x1F");
    EXPECT_EQ(ValueColour(*lockMode), kDarkRed);

    // A borrowed register is written in its owner, whose page follows; Escape drops typing.
    CModuleBase& timer = Module("PIT0");
    ASSERT_TRUE(timer.CreatePage());
    CRegisterRowWidget* modulo = RowNamed(view, "PIT0_MOD:");
    Enter(*modulo, "100");
    EXPECT_EQ(timer.FindRegister("MOD_INIT")->dwValue, 100u);
    EXPECT_EQ(modulo->Edit()->text(), "0x0064");
    const CPageControl* moduloEdit = ControlAfter(*timer.Page(), "Modulo Value:");
    ASSERT_NE(moduloEdit, nullptr);
    EXPECT_EQ(moduloEdit->Text(), "100");
    modulo->Edit()->setFocus();
    QTest::keyClicks(modulo->Edit(), "77");
    QTest::keyClick(modulo->Edit(), Qt::Key_Escape);
    EXPECT_EQ(modulo->Edit()->text(), "0x0064");

    // User defines are written although the headless command does not reach them.
    Enter(*RowNamed(view, "CLOCK_NOTE:"), "-3");
    EXPECT_EQ(static_cast<std::int32_t>(clock.Item(4).dwValue), -3);
    EXPECT_EQ(m_messages.shown.size(), 1u);

    // Read-only rows take nothing.
    CRegisterRowWidget* trim = RowNamed(view, "TRIM lo:");
    EXPECT_FALSE(trim->Store(document));
}

TEST_F(BarRegsViewTest, ArrowKeysMoveBetweenRowsAndTypingSurvivesRefreshes) {
    CBarsDoc& document = Open();
    CBarRegsView view;
    view.SetDocument(&document);
    view.show();
    view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
    Select(*Clock());
    QLineEdit* first = view.Rows()[0]->Edit();
    QLineEdit* second = view.Rows()[1]->Edit();
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Down);
    EXPECT_TRUE(second->hasFocus());
    QTest::keyClick(second, Qt::Key_Up);
    EXPECT_TRUE(first->hasFocus());
    QTest::keyClick(first, Qt::Key_Up);
    EXPECT_TRUE(first->hasFocus());

    first->selectAll();
    QTest::keyClicks(first, "0x12");
    document.IdleUpdate();
    EXPECT_EQ(first->text(), "0x12");

    // A value written elsewhere shows once the update cycle reports it.
    std::string message;
    ASSERT_TRUE(hwc::SetRegisterFromText(document, "OCCS_REQUIRED_LOCK_MODE=0x07", message));
    EXPECT_EQ(second->text(), "0x07");
}
