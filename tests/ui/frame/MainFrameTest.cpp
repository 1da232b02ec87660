// The main window on a real project: every module page, edits made through the page widgets,
// the tree's check marks, the page history, saving and closing.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "model/ModuleBase.h"
#include "modules/framework/CpmUNREC.h"
#include "modules/timers/CpmPIT.h"
#include "project/ProgramVersion.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"
#include "ui/InverterWindow.h"
#include "ui/bars/BarRegsView.h"
#include "ui/bars/RegisterRowWidget.h"
#include "ui/dialogs/AboutDialog.h"
#include "ui/frame/AppSettings.h"
#include "ui/frame/FrameCommands.h"
#include "ui/frame/GroupPage.h"
#include "ui/frame/LeftTreeView.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/PagePane.h"
#include "ui/frame/UnselectedBanner.h"
#include "ui/frame/WindowPlacement.h"
#include "ui/page/PageWidget.h"

namespace fs = std::filesystem;
using namespace hwc::ui;

namespace {

// Records the tree's update hints.
class CHintRecorder : public hwc::IDocumentObserver {
public:
    void OnDocumentUpdate(int hint, CModuleBase* sender, const void* object) override {
        if (hint == hwc::kHintPageLeft || hint == hwc::kHintModuleSelected ||
            hint == hwc::kHintModuleChecked)
            hints.push_back({hint, static_cast<const CModuleBase*>(object)});
    }
    struct tHint {
        int hint;
        const CModuleBase* module;
    };
    std::vector<tHint> hints;
};

class MainFrameTest : public CInverterWindowTest {
protected:
    MainFrameTest() : CInverterWindowTest("hwc-frame") {}

    void SetUp() override {
        m_original = ReadFileBytes(HWC_TEST_SOURCE_DIR
                                   "/examples/K7Q5110-inverter/ApplicationConfig/appconfig.h");
        CInverterWindowTest::SetUp();
        m_document.AddObserver(&m_hints);
    }
    void TearDown() override {
        m_document.RemoveObserver(&m_hints);
        CInverterWindowTest::TearDown();
    }

    void TypeInto(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    bool HasWarningOf(const CModuleBase& module) const {
        for (const auto& warning : m_document.Warnings().Items()) {
            if (warning->owner == &module)
                return true;
        }
        return false;
    }
    std::string Summary(const CModuleBase& module) const {
        std::string text;
        module.GetSummary(text);
        return text;
    }
    fs::path LockPath() const { return m_header.parent_path() / "appconfig.lck"; }

    CHintRecorder m_hints;
    std::string m_original;
};

} // namespace

TEST_F(MainFrameTest, EveryModulePageCanBeShownFromTheTree) {
    std::vector<CModuleBase*> modules;
    m_document.Tree().ForEachItem([&](CModuleTreeItem& item) { modules.push_back(item.Module()); });
    ASSERT_GT(modules.size(), 10u);
    // The first view is the first module in the tree that has a page, not a folder.
    CModuleBase* firstWithPage = nullptr;
    for (CModuleBase* module : modules) {
        if (!firstWithPage && module && module->Page())
            firstWithPage = module;
    }
    ASSERT_NE(firstWithPage, nullptr);
    EXPECT_EQ(m_frame->PagePane()->CurrentModule(), firstWithPage);
    EXPECT_EQ(m_frame->History().Entries().size(), 1u);
    EXPECT_EQ(m_frame->windowTitle().toStdString(),
              "inverter (appconfig.h)[*] - K7Q400R/EX Hexaform");

    CModuleBase* previous = m_frame->PagePane()->CurrentModule();
    for (CModuleBase* module : modules) {
        ASSERT_TRUE(m_frame->ShowModulePage(*module)) << module->InstanceName();
        EXPECT_EQ(m_frame->PagePane()->CurrentModule(), module);
        EXPECT_EQ(m_frame->TreeView()->TreeItem(m_frame->TreeView()->currentItem())->Module(),
                  module);
        QWidget* view = m_frame->PagePane()->ViewOf(module);
        if (module->Page()) {
            ASSERT_NE(view, nullptr) << module->InstanceName();
            EXPECT_EQ(m_frame->PagePane()->currentWidget(), view);
            EXPECT_TRUE(module->Page()->IsVisible());
        }
        if (module != previous) {
            ASSERT_GE(m_hints.hints.size(), 2u);
            EXPECT_EQ(m_hints.hints[m_hints.hints.size() - 2].hint, hwc::kHintPageLeft);
            EXPECT_EQ(m_hints.hints[m_hints.hints.size() - 2].module, previous);
            EXPECT_EQ(m_hints.hints.back().hint, hwc::kHintModuleSelected);
            EXPECT_EQ(m_hints.hints.back().module, module);
        }
        previous = module;
    }
    EXPECT_TRUE(m_messages.shown.empty());

    // Clicking an item in the tree widget shows its page too.
    CModuleBase& timer = Module("PIT1");
    m_frame->TreeView()->setCurrentItem(m_frame->TreeView()->WidgetItemOf(&timer));
    EXPECT_EQ(m_frame->PagePane()->CurrentModule(), &timer);

    // Tab in the tree moves into the page; the focus-tree command brings it back.
    QApplication::setActiveWindow(m_frame.get());
    m_frame->TreeView()->setFocus();
    QTest::keyClick(m_frame->TreeView(), Qt::Key_Tab);
    EXPECT_TRUE(m_frame->PagePane()->ViewOf(&timer)->isAncestorOf(QApplication::focusWidget()));
    m_frame->Action(kCmdFocusTree)->trigger();
    EXPECT_EQ(QApplication::focusWidget(), m_frame->TreeView());
}

TEST_F(MainFrameTest, EditsThroughPageWidgetsReachRegistersSummaryAndWarnings) {
    CModuleBase& timer = Module("PIT0");
    CPageWidget& page = ShowPage(timer);
    tPerCfgItem* control = timer.FindRegister("PIT0_CTRL_INIT");
    tPerCfgItem* modulo = timer.FindRegister("PIT0_MOD_INIT");
    ASSERT_TRUE(control && modulo);

    const std::uint32_t before = control->dwValue;
    const std::string summaryBefore = Summary(timer);
    QCheckBox* enable = ControlWidget<QCheckBox>(page, CpmPIT::kCounterEnableId);
    enable->setFocus();
    QTest::keyClick(enable, Qt::Key_Space);
    EXPECT_EQ(control->dwValue, before ^ 1u);
    EXPECT_NE(Summary(timer), summaryBefore);

    // The slow oscillator as clock source is not running in this project: a warning stands
    // until the bus clock is chosen again.
    QComboBox* source = ControlWidget<QComboBox>(page, CpmPIT::kClockSourceId);
    source->setFocus();
    QTest::keyClick(source, Qt::Key_End);
    EXPECT_EQ((control->dwValue >> 8) & 3u, 3u);
    m_document.IdleUpdate();
    EXPECT_TRUE(HasWarningOf(timer));
    QTest::keyClick(source, Qt::Key_Home);
    EXPECT_EQ((control->dwValue >> 8) & 3u, 0u);
    m_document.IdleUpdate();
    EXPECT_FALSE(HasWarningOf(timer));

    TypeInto(ControlWidget<QLineEdit>(page, CpmPIT::kModuloId), "999");
    EXPECT_EQ(modulo->dwValue, 999u);
    EXPECT_NE(Summary(timer).find("999"), std::string::npos);
}

TEST_F(MainFrameTest, InvalidPageKeepsTheSelection) {
    CModuleBase& timer = Module("PIT0");
    CPageWidget& page = ShowPage(timer);
    TypeInto(ControlWidget<QLineEdit>(page, CpmPIT::kModuloId), "99999999");
    const std::size_t entries = m_frame->History().Entries().size();

    m_frame->TreeView()->setCurrentItem(m_frame->TreeView()->WidgetItemOf(&Module("PIT1")));
    EXPECT_EQ(m_frame->PagePane()->CurrentModule(), &timer);
    EXPECT_FALSE(m_messages.shown.empty());
    QCoreApplication::processEvents();
    EXPECT_EQ(m_frame->TreeView()->TreeItem(m_frame->TreeView()->currentItem())->Module(), &timer);
    EXPECT_EQ(m_document.Tree().SelectedModule(), &timer);
    EXPECT_EQ(m_frame->History().Entries().size(), entries);
}

TEST_F(MainFrameTest, CheckMarkSelectsTheModuleForWriting) {
    CModuleBase& timer = Module("PIT1");
    ASSERT_TRUE(timer.IsSelected());
    QTreeWidgetItem* item = m_frame->TreeView()->WidgetItemOf(&timer);
    item->setCheckState(0, Qt::Unchecked);
    EXPECT_FALSE(timer.IsSelected());
    EXPECT_EQ(m_document.Tree().FindItem(&timer)->StateImage(), hwc::kStateUnchecked);
    ASSERT_FALSE(m_hints.hints.empty());
    EXPECT_EQ(m_hints.hints.back().hint, hwc::kHintModuleChecked);
    EXPECT_EQ(m_hints.hints.back().module, &timer);
    item->setCheckState(0, Qt::Checked);
    EXPECT_TRUE(timer.IsSelected());
    EXPECT_EQ(m_document.Tree().FindItem(&timer)->StateImage(), hwc::kStateChecked);
}

TEST_F(MainFrameTest, BackAndForwardFollowThePagesShown) {
    QAction* back = m_frame->Action(kCmdHistoryBack);
    QAction* forward = m_frame->Action(kCmdHistoryForward);
    CModuleBase* first = m_frame->PagePane()->CurrentModule();
    EXPECT_FALSE(back->isEnabled());
    ShowPage(Module("PIT0"));
    ShowPage(Module("PIT1"));
    EXPECT_TRUE(back->isEnabled());
    EXPECT_FALSE(forward->isEnabled());

    back->trigger();
    EXPECT_EQ(m_frame->PagePane()->CurrentModule(), &Module("PIT0"));
    back->trigger();
    EXPECT_EQ(m_frame->PagePane()->CurrentModule(), first);
    EXPECT_FALSE(back->isEnabled());
    EXPECT_TRUE(forward->isEnabled());
    forward->trigger();
    EXPECT_EQ(m_frame->PagePane()->CurrentModule(), &Module("PIT0"));

    // A new page after going back leaves nothing to go forward to.
    ShowPage(Module("OCCS"));
    EXPECT_FALSE(forward->isEnabled());
    back->trigger();
    EXPECT_EQ(m_frame->PagePane()->CurrentModule(), &Module("PIT0"));
}

TEST_F(MainFrameTest, SaveWritesTheChangedHeader) {
    CPageWidget& page = ShowPage(Module("PIT0"));
    TypeInto(ControlWidget<QLineEdit>(page, CpmPIT::kModuloId), "999");
    EXPECT_TRUE(m_frame->isWindowModified() || m_document.IsProjectModified());
    m_frame->Action(kCmdSave)->trigger();
    const std::string saved = ReadFileBytes(m_header);
    EXPECT_NE(saved, m_original);
    EXPECT_NE(saved.find("0x03E7U"), std::string::npos);
    EXPECT_FALSE(m_document.IsProjectModified());
    EXPECT_TRUE(fs::exists(m_header.parent_path() / "appconfig.bak"));
}

// After a save the status bar names the file written, or counts the warnings that stand.
TEST_F(MainFrameTest, SaveSaysWhatItWroteInTheStatusBar) {
    auto expected = [this] {
        const std::size_t count = m_document.Warnings().Items().size();
        if (count == 0)
            return QStringLiteral("Saved appconfig.h");
        return QStringLiteral("Saved with %1 warning%2").arg(count).arg(count == 1 ? "" : "s");
    };
    EXPECT_TRUE(m_frame->statusBar()->currentMessage().isEmpty());
    m_frame->Action(kCmdSave)->trigger();
    EXPECT_EQ(m_frame->statusBar()->currentMessage(), expected());

    // The slow oscillator as the timer's clock source raises a warning before the next save.
    CPageWidget& page = ShowPage(Module("PIT0"));
    QComboBox* source = ControlWidget<QComboBox>(page, CpmPIT::kClockSourceId);
    source->setFocus();
    QTest::keyClick(source, Qt::Key_End);
    m_frame->Action(kCmdSave)->trigger();
    ASSERT_TRUE(HasWarningOf(Module("PIT0")));
    EXPECT_TRUE(m_frame->statusBar()->currentMessage().startsWith("Saved with "));
    EXPECT_EQ(m_frame->statusBar()->currentMessage(), expected());

    // A failed save says nothing of the kind.
    m_frame->statusBar()->clearMessage();
    fs::permissions(m_header.parent_path(), fs::perms::owner_write, fs::perm_options::remove);
    m_messages.Answer(hwc::EAnswer::No);
    const bool saved = m_frame->SaveProject();
    fs::permissions(m_header.parent_path(), fs::perms::owner_write, fs::perm_options::add);
    if (!saved) {
        EXPECT_TRUE(m_frame->statusBar()->currentMessage().isEmpty());
    }
}

TEST_F(MainFrameTest, FirstViewIsThePageLastShownForThisProject) {
    CModuleBase& timer = Module("PIT1");
    ShowPage(timer);
    m_frame.reset();
    m_frame = std::make_unique<CMainFrame>(m_document);
    m_frame->show();
    ASSERT_TRUE(m_frame->OpenProject(QString::fromStdString((m_folder / "inverter").string())));
    EXPECT_EQ(m_frame->PagePane()->CurrentModule(), &Module("PIT1"));
    EXPECT_EQ(m_document.Tree().SelectedModule(), &Module("PIT1"));
    EXPECT_FALSE(m_frame->Action(kCmdHistoryBack)->isEnabled());

    // Another project has its own; a stored name the project lacks gives the default.
    fs::copy(HWC_TEST_SOURCE_DIR "/examples/K7Q2430-digital-psu", m_folder / "psu",
             fs::copy_options::recursive);
    WriteLastPage(QString::fromStdString((m_folder / "psu/ApplicationConfig/appconfig.h").string()),
                  "NO_SUCH_MODULE");
    ASSERT_TRUE(m_frame->OpenProject(QString::fromStdString((m_folder / "psu").string())));
    CModuleBase* shown = m_frame->PagePane()->CurrentModule();
    ASSERT_NE(shown, nullptr);
    EXPECT_NE(shown->Page(), nullptr);
    EXPECT_EQ(ReadLastPage(QString::fromStdString(
                  (m_folder / "inverter/ApplicationConfig/appconfig.h").string())),
              "PIT1");
}

TEST_F(MainFrameTest, GroupPageListsItsChildrenAsLinks) {
    CModuleTreeItem* group = nullptr;
    m_document.Tree().ForEachItem([&group](CModuleTreeItem& item) {
        if (!group && item.ChildCount() > 1 && (!item.Module() || !item.Module()->Page()))
            group = &item;
    });
    ASSERT_NE(group, nullptr);
    m_frame->TreeView()->setCurrentItem(m_frame->TreeView()->WidgetItem(group));
    CGroupPage* page = m_frame->PagePane()->ShownGroupPage();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(&page->Group(), group);
    EXPECT_EQ(static_cast<std::size_t>(page->LinkCount()), group->ChildCount());
    QStringList texts;
    for (QLabel* label : page->findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.join('\n').contains(QString::fromStdString(group->Child(1).Text())));

    // Following a link shows the child as a click in the tree would; bad indexes do nothing.
    page->FollowChild(static_cast<int>(group->ChildCount()));
    page->FollowChild(-1);
    EXPECT_EQ(m_frame->PagePane()->ShownGroupPage(), page);
    page->FollowChild(1);
    EXPECT_EQ(m_document.Tree().SelectedItem(), &group->Child(1));
    if (group->Child(1).Module()) {
        EXPECT_EQ(m_frame->PagePane()->CurrentModule(), group->Child(1).Module());
    }
}

TEST_F(MainFrameTest, SaveCopyLeavesTheProjectWhereItIs) {
    const fs::path copy = m_folder / "copy.h";
    ASSERT_TRUE(m_frame->SaveProjectAs(QString::fromStdString(copy.string()), true));
    EXPECT_TRUE(fs::exists(copy));
    EXPECT_FALSE(fs::exists(m_folder / "copy.lck"));
    EXPECT_EQ(fs::path(m_document.ProjectFilePath()), m_header);
    EXPECT_TRUE(fs::exists(LockPath()));
}

TEST_F(MainFrameTest, ClosingAsksAboutChangesAndReleasesTheLock) {
    CPageWidget& page = ShowPage(Module("PIT0"));
    TypeInto(ControlWidget<QLineEdit>(page, CpmPIT::kModuloId), "999");
    ASSERT_TRUE(fs::exists(LockPath()));

    m_messages.Answer(hwc::EAnswer::Cancel);
    EXPECT_FALSE(m_frame->close());
    ASSERT_FALSE(m_messages.shown.empty());
    EXPECT_EQ(m_messages.shown.back().text, "Save changes to inverter (appconfig.h)?");
    EXPECT_TRUE(fs::exists(LockPath()));

    m_messages.Answer(hwc::EAnswer::No);
    EXPECT_TRUE(m_frame->close());
    EXPECT_FALSE(fs::exists(LockPath()));
    EXPECT_EQ(ReadFileBytes(m_header), m_original);
    EXPECT_FALSE(ReadWindowPlacement().isEmpty());
}

TEST_F(MainFrameTest, PlacementOfWrongLengthIsIgnored) {
    tWindowPlacement stored;
    stored.normal = QRect(30, 40, 700, 500);
    Settings().setValue("WindowPos/LastWndPlacement", EncodePlacement(stored).left(40));
    m_frame->PlaceWindow(kShowNormal);
    const int width = m_frame->screen()->availableGeometry().width();
    EXPECT_EQ(m_frame->size(), width <= 800 ? QSize(800, 570) : QSize(900, 700));

    WriteWindowPlacement(EncodePlacement(stored));
    m_frame->PlaceWindow(kShowNormal);
    EXPECT_EQ(m_frame->geometry(), stored.normal);

    // Saved at another scale factor: larger than the screen, the window is fitted to it.
    const QRect available = m_frame->screen()->availableGeometry();
    stored.normal = QRect(available.topLeft() + QPoint(20, 20), available.size() * 2);
    WriteWindowPlacement(EncodePlacement(stored));
    m_frame->PlaceWindow(kShowNormal);
    EXPECT_TRUE(available.contains(m_frame->geometry())) << m_frame->geometry().width();
}

TEST_F(MainFrameTest, BarsStartHiddenAndToggleFromTheViewMenu) {
    EXPECT_TRUE(m_frame->RegistersBar()->isHidden());
    EXPECT_TRUE(m_frame->WarningsBar()->isHidden());
    EXPECT_EQ(m_frame->RegistersBar()->windowTitle(), "Registers View ");
    QAction* registers = m_frame->Action(kCmdToggleRegistersBar);
    EXPECT_EQ(registers->shortcut(), QKeySequence("Ctrl+R"));
    registers->trigger();
    EXPECT_FALSE(m_frame->RegistersBar()->isHidden());
    EXPECT_TRUE(registers->isChecked());
    m_frame->Action(kCmdFocusWarnings)->trigger();
    EXPECT_FALSE(m_frame->WarningsBar()->isHidden());
    EXPECT_TRUE(m_frame->Action(kCmdToggleWarningsBar)->isChecked());
}

TEST_F(MainFrameTest, AnotherProjectReplacesPagesThatWereShown) {
    // Widgets of the first project's pages exist, with an edit focused, when the next opens.
    CPageWidget& timer = ShowPage(Module("PIT0"));
    ControlWidget<QLineEdit>(timer, CpmPIT::kModuloId)->setFocus();
    ShowPage(Module("OCCS"));
    fs::copy(HWC_TEST_SOURCE_DIR "/examples/K7Q2430-digital-psu", m_folder / "psu",
             fs::copy_options::recursive);
    ASSERT_TRUE(m_frame->OpenProject(QString::fromStdString((m_folder / "psu").string())));
    QApplication::processEvents();
    EXPECT_FALSE(fs::exists(LockPath()));

    CPageWidget& next = ShowPage(Module("PIT0"));
    QCheckBox* enable = ControlWidget<QCheckBox>(next, CpmPIT::kCounterEnableId);
    ASSERT_NE(enable, nullptr);
    const std::uint32_t before = Module("PIT0").Item(0).dwValue;
    QTest::mouseClick(enable, Qt::LeftButton, {}, QPoint(6, enable->height() / 2));
    EXPECT_NE(Module("PIT0").Item(0).dwValue, before);
}

TEST_F(MainFrameTest, SaveAsMovesTheProjectAndKeepsWorking) {
    ShowPage(Module("PIT0"));
    const fs::path copy = m_folder / "renamed.h";
    ASSERT_TRUE(m_frame->SaveProjectAs(QString::fromStdString(copy.string()), false));
    QApplication::processEvents();
    EXPECT_TRUE(fs::exists(copy));
    EXPECT_EQ(m_document.ProjectFilePath(), copy.string());
    EXPECT_FALSE(fs::exists(LockPath()));
    EXPECT_TRUE(fs::exists(m_folder / "renamed.lck"));
    CPageWidget& timer = ShowPage(Module("PIT0"));
    EXPECT_NE(ControlWidget<QLineEdit>(timer, CpmPIT::kModuloId), nullptr);
}

// Unticking the user definitions and saving asks before their lines go; No removes them, and a
// project opened without any user definition asks nothing.
TEST_F(MainFrameTest, SavingWithoutTheUserDefinitionsAsksFirst) {
    CModuleBase& unrec = Module("UNREC");
    ASSERT_TRUE(unrec.IsSelected());
    m_frame->TreeView()->WidgetItemOf(&unrec)->setCheckState(0, Qt::Unchecked);

    m_messages.Answer(hwc::EAnswer::Cancel);
    m_frame->Action(kCmdSave)->trigger();
    ASSERT_FALSE(m_messages.shown.empty());
    const auto& records = dynamic_cast<CpmUNREC&>(unrec).Records();
    ASSERT_GT(records.size(), 1u);
    const std::string count = std::to_string(records.size()) + " user definitions";
    EXPECT_NE(m_messages.shown.back().text.find(count), std::string::npos)
        << m_messages.shown.back().text;
    EXPECT_EQ(ReadFileBytes(m_header), m_original);

    m_messages.Answer(hwc::EAnswer::No);
    m_frame->Action(kCmdSave)->trigger();
    EXPECT_EQ(ReadFileBytes(m_header).find("User definitions"), std::string::npos);
}

// Reset Module to Default asks first; Yes puts the module's registers back to their defaults
// and the page follows.
TEST_F(MainFrameTest, ResetModuleAsksThenRestoresTheDefaults) {
    CModuleBase& timer = Module("PIT0");
    CPageWidget& page = ShowPage(timer);
    tPerCfgItem* modulo = timer.FindRegister("PIT0_MOD_INIT");
    ASSERT_NE(modulo, nullptr);
    TypeInto(ControlWidget<QLineEdit>(page, CpmPIT::kModuloId), "999");
    ASSERT_EQ(modulo->dwValue, 999u);
    QAction* reset = m_frame->Action(kCmdResetModule);
    m_frame->Action(kCmdFocusTree)->trigger();
    EXPECT_TRUE(reset->isEnabled());

    m_messages.Answer(hwc::EAnswer::No);
    reset->trigger();
    ASSERT_FALSE(m_messages.shown.empty());
    EXPECT_NE(m_messages.shown.back().text.find("Reset every register of " + timer.Title()),
              std::string::npos);
    EXPECT_EQ(modulo->dwValue, 999u);

    m_messages.Answer(hwc::EAnswer::Yes);
    reset->trigger();
    EXPECT_EQ(modulo->dwValue, modulo->dwDefault);
    EXPECT_NE(ControlWidget<QLineEdit>(page, CpmPIT::kModuloId)->text(), "999");
    EXPECT_TRUE(m_frame->statusBar()->currentMessage().startsWith("Reset "));
    // Nothing left to reset: the question comes, the status says so.
    EXPECT_FALSE(m_frame->ResetModule(timer));
}

TEST_F(MainFrameTest, TreeContextMenuActsOnTheModuleUnderThePointer) {
    CModuleBase& timer = Module("PIT1");
    std::unique_ptr<QMenu> menu(m_frame->CreateTreeMenu(timer));
    QStringList texts;
    std::map<QString, QAction*> actions;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator())
            continue;
        texts << action->text();
        actions[action->text()] = action;
    }
    EXPECT_EQ(texts, (QStringList{"Exclude from the Header", "Show Registers",
                                  "Reset Module to Default...", "Open Manual Chapter"}));
    EXPECT_EQ(actions["Open Manual Chapter"]->isEnabled(),
              !timer.Descriptor().HelpReference().empty());

    actions["Exclude from the Header"]->trigger();
    EXPECT_FALSE(timer.IsSelected());
    actions["Show Registers"]->trigger();
    EXPECT_EQ(m_frame->PagePane()->CurrentModule(), &timer);
    EXPECT_FALSE(m_frame->RegistersBar()->isHidden());

    // Built again, the entry offers to include it; reset asks first.
    menu.reset(m_frame->CreateTreeMenu(timer));
    QAction* include = menu->actions().front();
    EXPECT_EQ(include->text(), "Include in the Header");
    include->trigger();
    EXPECT_TRUE(timer.IsSelected());
    timer.FindRegister("PIT1_MOD_INIT")->dwValue = 77;
    menu.reset(m_frame->CreateTreeMenu(timer));
    m_messages.Answer(hwc::EAnswer::Yes);
    menu->actions()[2]->trigger();
    EXPECT_EQ(timer.FindRegister("PIT1_MOD_INIT")->dwValue,
              timer.FindRegister("PIT1_MOD_INIT")->dwDefault);
}

TEST_F(MainFrameTest, UnselectedModuleShowsALineThatIncludesIt) {
    CModuleBase& timer = Module("PIT1");
    ShowPage(timer);
    CUnselectedBanner* banner = m_frame->UnselectedBanner();
    EXPECT_TRUE(banner->isHidden());
    m_frame->TreeView()->WidgetItemOf(&timer)->setCheckState(0, Qt::Unchecked);
    EXPECT_FALSE(banner->isHidden());
    EXPECT_EQ(banner->Label()->text(), "This module is not written to the header.");

    // Another module's page has no such line; back on this one it is there again.
    ShowPage(Module("PIT0"));
    EXPECT_TRUE(banner->isHidden());
    ShowPage(timer);
    EXPECT_FALSE(banner->isHidden());
    banner->Button()->click();
    EXPECT_TRUE(timer.IsSelected());
    EXPECT_EQ(m_document.Tree().FindItem(&timer)->StateImage(), hwc::kStateChecked);
    EXPECT_TRUE(banner->isHidden());
}

TEST_F(MainFrameTest, TreeMarksModulesWithWarningsAndTheCountOpensTheBar) {
    CModuleBase& timer = Module("PIT0");
    CPageWidget& page = ShowPage(timer);
    m_document.IdleUpdate();
    QTreeWidgetItem* item = m_frame->TreeView()->WidgetItemOf(&timer);
    EXPECT_FALSE(m_frame->TreeView()->HasWarningMark(item));
    QComboBox* source = ControlWidget<QComboBox>(page, CpmPIT::kClockSourceId);
    source->setFocus();
    QTest::keyClick(source, Qt::Key_End);
    m_document.IdleUpdate();
    ASSERT_TRUE(HasWarningOf(timer));
    EXPECT_TRUE(m_frame->TreeView()->HasWarningMark(item));
    EXPECT_FALSE(item->icon(0).isNull());
    EXPECT_TRUE(item->toolTip(0).endsWith("This module has warnings."));
    QTest::keyClick(source, Qt::Key_Home);
    m_document.IdleUpdate();
    EXPECT_FALSE(m_frame->TreeView()->HasWarningMark(item));

    ASSERT_TRUE(m_frame->WarningsBar()->isHidden());
    QTest::mouseClick(m_frame->StatusIndicator(1), Qt::LeftButton);
    EXPECT_FALSE(m_frame->WarningsBar()->isHidden());
}

TEST_F(MainFrameTest, TreePaneFitsTheNamesAndRemembersItsWidth) {
    // In a wide window the pane shows the longest name whole, up to 420 pixels, and leaves the
    // page 680.
    m_frame->resize(1400, 1000);
    m_frame->PlaceWindow(kShowMaximized);
    m_frame->showNormal();
    m_frame->resize(1400, 1000);
    ASSERT_TRUE(m_frame->OpenProject(QString::fromStdString((m_folder / "inverter").string())));
    QSplitter* outer = m_frame->OuterSplitter();
    const int total = outer->sizes().value(0) + outer->sizes().value(1);
    const int fitted = outer->sizes().value(0);
    EXPECT_GE(fitted, 220);
    EXPECT_LE(fitted, std::max(220, std::min(420, total - 680)));
    EXPECT_GE(fitted, std::min({m_frame->TreeView()->WidthForAllNames(), 420, total - 680}));
    EXPECT_GT(m_frame->TreeView()->WidthForAllNames(), 220);
    QTreeWidgetItem* item = m_frame->TreeView()->WidgetItemOf(&Module("PIT0"));
    EXPECT_EQ(item->toolTip(0), item->text(0));

    outer->setSizes({233, total - 233});
    EXPECT_TRUE(m_frame->close());
    EXPECT_EQ(ReadTreeWidth(), 233);
    m_frame = std::make_unique<CMainFrame>(m_document);
    m_frame->resize(1200, 800);
    m_frame->show();
    ASSERT_TRUE(m_frame->OpenProject(QString::fromStdString((m_folder / "inverter").string())));
    EXPECT_EQ(m_frame->OuterSplitter()->sizes().value(0), 233);
}

TEST_F(MainFrameTest, EscapeInAPageGoesBackToTheTree) {
    CPageWidget& page = ShowPage(Module("PIT0"));
    QApplication::setActiveWindow(m_frame.get());
    QLineEdit* edit = ControlWidget<QLineEdit>(page, CpmPIT::kModuloId);
    edit->setFocus();
    ASSERT_TRUE(edit->hasFocus());
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), m_frame->TreeView());
    QCheckBox* enable = ControlWidget<QCheckBox>(page, CpmPIT::kCounterEnableId);
    enable->setFocus();
    QTest::keyClick(enable, Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), m_frame->TreeView());
}

TEST_F(MainFrameTest, HexDecWithoutAValueFieldSwitchesTheRegistersBar) {
    ShowPage(Module("PIT0"));
    m_frame->Action(kCmdFocusTree)->trigger();
    ASSERT_FALSE(m_frame->RegistersView()->ShowsDecimal());
    m_frame->Action(kCmdToggleHexDec)->trigger();
    EXPECT_TRUE(m_frame->RegistersView()->ShowsDecimal());
    EXPECT_FALSE(m_frame->RegistersBar()->isHidden());
    EXPECT_EQ(m_frame->statusBar()->currentMessage(), "Registers bar: values in decimal");
    m_frame->Action(kCmdToggleHexDec)->trigger();
    EXPECT_FALSE(m_frame->RegistersView()->ShowsDecimal());
    EXPECT_EQ(m_frame->statusBar()->currentMessage(), "Registers bar: values in hexadecimal");
}

TEST(AboutBox, ShowsVersionBuildDateAndQt) {
    const QString text = hwc::ui::AboutText();
    EXPECT_TRUE(text.contains(QString::fromStdString(hwc::ProgramVersionText())));
    EXPECT_TRUE(text.contains(QString::fromStdString(hwc::ProgramVersionMacroValue())));
    // The date the about box was compiled on, which may be a day before this test's.
    EXPECT_TRUE(text.contains(QRegularExpression("Built [A-Z][a-z]{2} [ 123]\\d \\d{4}")));
    EXPECT_TRUE(text.contains(QString::fromLatin1(qVersion())));
}

// Every bound control says what it stands for: description, register and bits, a value field's
// range; a refused value's reason comes first.
TEST_F(MainFrameTest, BoundControlsCarryTheirRegisterInTheirToolTip) {
    CPageWidget& page = ShowPage(Module("PIT0"));
    const QString source = page.WidgetFor(CpmPIT::kClockSourceId)->toolTip();
    EXPECT_TRUE(source.contains("PIT0_CTRL_INIT bits 8..9")) << source.toStdString();
    EXPECT_FALSE(source.contains("Range"));
    EXPECT_TRUE(
        page.WidgetFor(CpmPIT::kCounterEnableId)->toolTip().contains("PIT0_CTRL_INIT bit 0"));
    QLineEdit* modulo = ControlWidget<QLineEdit>(page, CpmPIT::kModuloId);
    EXPECT_TRUE(modulo->toolTip().contains("PIT0_MOD_INIT"));
    EXPECT_TRUE(modulo->toolTip().contains("Range: "));

    TypeInto(modulo, "99999999");
    EXPECT_TRUE(modulo->toolTip().contains("PIT0_MOD_INIT"));
    EXPECT_FALSE(modulo->toolTip().startsWith("PIT0_MOD_INIT")) << modulo->toolTip().toStdString();
    TypeInto(modulo, "5");
}

// The registers bar: the whole name in a tool-tip, and for the register being looked at the
// bit fields with the settings that own them.
TEST_F(MainFrameTest, RegistersBarShowsBitFieldsOfTheRegisterLookedAt) {
    ShowPage(Module("PIT0"));
    m_frame->Action(kCmdToggleRegistersBar)->trigger();
    QApplication::setActiveWindow(m_frame.get());
    CBarRegsView* bar = m_frame->RegistersView();
    hwc::ui::CRegisterRowWidget* control = nullptr;
    for (hwc::ui::CRegisterRowWidget* row : bar->Rows()) {
        if (row->NameLabel()->text().startsWith("CTRL"))
            control = row;
    }
    ASSERT_NE(control, nullptr);
    const QString tip = control->NameLabel()->toolTip();
    EXPECT_TRUE(tip.startsWith("PIT0_CTRL_INIT")) << tip.toStdString();
    EXPECT_TRUE(tip.contains("\nbit 0: ")) << tip.toStdString();
    EXPECT_TRUE(tip.contains("\nbits 8..9: ")) << tip.toStdString();

    EXPECT_TRUE(bar->FieldsLabel()->isHidden());
    control->Edit()->setFocus();
    EXPECT_FALSE(bar->FieldsLabel()->isHidden());
    EXPECT_EQ(bar->FieldsLabel()->text(), tip);
    // Another module: the panel no longer speaks of the first one's registers.
    ShowPage(Module("PIT1"));
    EXPECT_TRUE(bar->FieldsLabel()->isHidden() || !bar->FieldsLabel()->text().contains("PIT0_"))
        << bar->FieldsLabel()->text().toStdString();
}
