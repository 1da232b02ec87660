// The undo history on its own: what makes a step, how it is named, and what restoring it writes.

#include "project/UndoHistory.h"

#include <gtest/gtest.h>

#include "base/FixedText.h"
#include "support/ModuleTestHost.h"

namespace {

using hwc::CUndoHistory;
using hwc::test::CModuleTestHost;

class CpmUndoTest : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmUndoTest, CModule)
public:
    static constexpr tPerCfgDef kTable[] = {
        {"CTRL_INIT", 0, hwc::RegFlag::DW16},
        {"MOD_INIT", 0xFFFF, hwc::RegFlag::DW16},
        {"NAME", 1, hwc::RegFlag::STRVALUE | hwc::RegFlag::QUOTEDVALUE},
    };
    CpmUndoTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, kTable, 3) {}
};

class UndoHistory : public ::testing::Test {
protected:
    UndoHistory() {
        timer = &host.Add<CpmUndoTest>("PIT0", "PIT");
        other = &host.Add<CpmUndoTest>("PIT1", "PIT");
        history.Reset(host, options);
    }
    bool Commit() { return history.Commit(host, options); }

    CModuleTestHost host;
    CModuleBase* timer = nullptr;
    CModuleBase* other = nullptr;
    tProjectOptions options;
    CUndoHistory history;
};

} // namespace

TEST_F(UndoHistory, OnlyNotedActionsMakeSteps) {
    // A page working out a derived value when shown is nobody's action: it becomes the new
    // starting point, and undoing a later step does not take it back.
    timer->Item(1).dwValue = 0x100;
    EXPECT_FALSE(Commit());
    EXPECT_FALSE(history.CanUndo());

    history.NoteUserAction("PIT0: Clock Prescaler");
    timer->Item(0).dwValue = 0x30;
    EXPECT_TRUE(Commit());
    EXPECT_EQ(history.UndoName(), "PIT0: Clock Prescaler");

    // A noted action that changed nothing makes no step.
    history.NoteUserAction("PIT0: Clock Prescaler");
    EXPECT_FALSE(Commit());
    EXPECT_EQ(history.UndoCount(), 1u);

    ASSERT_NE(history.Undo(host, options), nullptr);
    EXPECT_EQ(timer->Item(0).dwValue, 0u);
    EXPECT_EQ(timer->Item(1).dwValue, 0x100u);
    EXPECT_EQ(history.RedoName(), "PIT0: Clock Prescaler");
    EXPECT_EQ(history.Undo(host, options), nullptr);
}

TEST_F(UndoHistory, AControlNamesTheStepOnlyWhenItsRegisterChanged) {
    // The control left behind stores its unchanged value as the focus moves on: the control
    // whose register did change names the step, whatever the order.
    history.NoteUserAction("PIT0: Counter Enable", &timer->Item(0).dwValue);
    history.NoteUserAction("PIT0: Clock Prescaler", &timer->Item(1).dwValue);
    timer->Item(1).dwValue = 5;
    ASSERT_TRUE(Commit());
    EXPECT_EQ(history.UndoName(), "PIT0: Clock Prescaler");

    // Names given without a register: the last one.
    history.NoteUserAction("PIT0: Counter Enable", &timer->Item(0).dwValue);
    history.NoteUserAction("Reset PIT0");
    history.NoteUserAction();
    history.NoteUserAction("Import PIT0");
    timer->Item(1).dwValue = 6;
    ASSERT_TRUE(Commit());
    EXPECT_EQ(history.UndoName(), "Import PIT0");

    // Two controls on the bits of one register: the one whose bits changed.
    history.NoteUserAction("PIT0: Counter Enable", &timer->Item(0).dwValue, 0x1);
    history.NoteUserAction("PIT0: Clock Prescaler", &timer->Item(0).dwValue, 0x1E);
    timer->Item(0).dwValue ^= 0x6;
    ASSERT_TRUE(Commit());
    EXPECT_EQ(history.UndoName(), "PIT0: Clock Prescaler");

    // Notes do not outlive their step.
    history.NoteUserAction();
    timer->Item(1).dwValue = 7;
    ASSERT_TRUE(Commit());
    EXPECT_EQ(history.UndoName(), "PIT0: PIT0_MOD_INIT");
}

TEST_F(UndoHistory, UnnamedStepsAreNamedFromWhatChanged) {
    const auto step = [&](auto change) {
        history.NoteUserAction();
        change();
        EXPECT_TRUE(Commit());
        return history.UndoName();
    };
    EXPECT_EQ(step([&] { timer->Item(1).dwValue = 9; }), "PIT0: PIT0_MOD_INIT");
    EXPECT_EQ(step([&] {
                  timer->Item(0).dwValue = 1;
                  timer->Item(1).dwValue = 2;
              }),
              "PIT0 Settings");
    EXPECT_EQ(step([&] {
                  timer->Item(0).dwValue = 7;
                  other->Item(0).dwValue = 7;
              }),
              "Changes in 2 modules");
    ASSERT_FALSE(other->IsSelected());
    EXPECT_EQ(step([&] { other->SetSelected(true); }), "Write PIT1");
    EXPECT_EQ(step([&] { other->SetSelected(false); }), "Leave Out PIT1");
    EXPECT_EQ(step([&] { options.generateDefaults = true; }), "Options");
}

TEST_F(UndoHistory, UndoAndRedoRestoreNumbersTextsSelectionAndOptions) {
    const bool wasSelected = other->IsSelected();
    history.NoteUserAction("everything");
    timer->Item(0).dwValue = 0x8003;
    hwc::CopyCut(timer->Item(2).szValue, "renamed");
    other->SetSelected(!wasSelected);
    options.generateComments = false;
    ASSERT_TRUE(Commit());

    ASSERT_NE(history.Undo(host, options), nullptr);
    EXPECT_EQ(timer->Item(0).dwValue, 0u);
    EXPECT_STREQ(timer->Item(2).szValue, "");
    EXPECT_EQ(other->IsSelected(), wasSelected);
    EXPECT_TRUE(options.generateComments);
    // What the undo wrote is no new action.
    history.Settle(host, options);
    EXPECT_FALSE(Commit());
    EXPECT_TRUE(history.CanRedo());

    const hwc::tUndoStep* redone = history.Redo(host, options);
    ASSERT_NE(redone, nullptr);
    EXPECT_EQ(redone->Modules(), (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(timer->Item(0).dwValue, 0x8003u);
    EXPECT_STREQ(timer->Item(2).szValue, "renamed");
    EXPECT_EQ(other->IsSelected(), !wasSelected);
    EXPECT_FALSE(options.generateComments);
    EXPECT_FALSE(history.CanRedo());
}

TEST_F(UndoHistory, ANewStepDropsTheStepsUndone) {
    for (std::uint32_t value : {1u, 2u, 3u}) {
        history.NoteUserAction();
        timer->Item(1).dwValue = value;
        ASSERT_TRUE(Commit());
    }
    history.Undo(host, options);
    history.Undo(host, options);
    history.Settle(host, options);
    EXPECT_EQ(timer->Item(1).dwValue, 1u);
    EXPECT_EQ(history.RedoCount(), 2u);

    history.NoteUserAction();
    timer->Item(1).dwValue = 42;
    ASSERT_TRUE(Commit());
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.UndoCount(), 2u);
    history.Undo(host, options);
    EXPECT_EQ(timer->Item(1).dwValue, 1u);
}

TEST_F(UndoHistory, ResetForgetsEveryStep) {
    history.NoteUserAction();
    timer->Item(1).dwValue = 1;
    ASSERT_TRUE(Commit());
    history.Undo(host, options);
    history.Reset(host, options);
    EXPECT_FALSE(history.CanUndo());
    EXPECT_FALSE(history.CanRedo());
    EXPECT_EQ(history.UndoName(), "");
}

TEST_F(UndoHistory, AModuleListThatChangedStartsOver) {
    history.NoteUserAction();
    timer->Item(1).dwValue = 1;
    ASSERT_TRUE(Commit());
    host.Add<CpmUndoTest>("PIT2", "PIT");
    history.NoteUserAction();
    timer->Item(1).dwValue = 2;
    EXPECT_FALSE(Commit());
    EXPECT_FALSE(history.CanUndo());
}

TEST_F(UndoHistory, AShrunkItemListIsRestoredWhereItemsRemain) {
    history.NoteUserAction();
    timer->Item(2).dwValue = 0;
    timer->Item(0).dwValue = 3;
    ASSERT_TRUE(Commit());
    timer->SetItemCount(1);
    history.Settle(host, options);
    ASSERT_NE(history.Undo(host, options), nullptr);
    EXPECT_EQ(timer->Item(0).dwValue, 0u);
}
