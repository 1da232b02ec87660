#include "model/Page.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/ModuleSubDlg.h"

using namespace dlg;

namespace {

const CDialogTemplate kTimerPage(2045, {
    Group("Clock", {
        Row({Label("Clock source:"), DropList(1901, {"Bus clock", "Crystal"})}),
        Row({Label("Modulo:"), Edit(1902), UpDown(1903, 0, 65535)}),
    }),
    Row({Radio(1910, "Up", true), Radio(1911, "Down"), Radio(1912, "Up/Down")}),
    Row({Radio(1920, "Once", true), Radio(1921, "Repeat")}),
    CheckBox(1930, "Enable counter"),
    Placeholder(145),
});

const CDialogTemplate kInterruptRow(2030, {
    CheckBox(2, "Interrupt enabled"),
    DropList(3, {"Level 0", "Level 1"}),
});

// Records events in the order handlers see them.
struct CEventLog : IControlHandler, IPageCommandHandler {
    std::vector<std::string> events;
    void OnControlEvent(CPageControl& control, EControlEvent event) override {
        events.push_back("binding " + std::to_string(control.Id()) + " " + Name(event));
    }
    void OnControlDestroyed(CPageControl& control) override {
        events.push_back("gone " + std::to_string(control.Id()));
    }
    void OnPageCommand(CPageControl& control, EControlEvent event) override {
        events.push_back("module " + std::to_string(control.Id()) + " " + Name(event));
    }
    static std::string Name(EControlEvent event) {
        switch (event) {
        case EControlEvent::Clicked:
            return "click";
        case EControlEvent::SelectionChanged:
            return "select";
        case EControlEvent::TextChanged:
            return "edit";
        case EControlEvent::FocusGained:
            return "focus";
        case EControlEvent::FocusLost:
            return "blur";
        }
        return "?";
    }
};

} // namespace

TEST(DialogTemplate, DialogOrderFollowsTheLayout) {
    std::vector<int> ids;
    for (const tControlDef& control : kTimerPage.Controls())
        ids.push_back(control.id);
    EXPECT_EQ(ids, (std::vector<int>{-1, -1, 1901, -1, 1902, 1903, 1910, 1911, 1912, 1920, 1921,
                                     1930, 145}));
    EXPECT_EQ(kTimerPage.Controls()[0].kind, EControlKind::GroupBox);
    EXPECT_EQ(kTimerPage.Controls()[0].caption, "Clock");
    // The layout keeps the grouping for renderers: the group holds two rows.
    const tLayoutNode& group = kTimerPage.Layout().children[0];
    EXPECT_EQ(group.type, tLayoutNode::EType::Group);
    EXPECT_EQ(group.children.size(), 2u);
    EXPECT_EQ(kTimerPage.FindControl(1903)->high, 65535);
}

TEST(Page, FindsControlsInSubPagesByIdAndByCaption) {
    CPage page(kTimerPage);
    EXPECT_EQ(page.FindControl(145 * 0x10000 + 2), nullptr);
    ASSERT_TRUE(page.InsertSubPage(145, std::make_unique<CModuleSubDlg>(kInterruptRow)));
    EXPECT_FALSE(page.InsertSubPage(1930, std::make_unique<CModuleSubDlg>(kInterruptRow)));

    CPageControl* inner = page.FindControl(145 * 0x10000 + 2);
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(inner->Text(), "Interrupt enabled");
    EXPECT_EQ(&inner->Page(), page.FindControl(145)->SubPage());
    // Without the sub-page prefix the own controls come first, then the sub-pages'.
    EXPECT_EQ(page.FindControl(2), inner);
    EXPECT_EQ(page.FindControlByText("Interrupt enabled"), inner);
    EXPECT_EQ(page.FindControlByText("Repeat")->Id(), 1921);
    EXPECT_EQ(page.FindControlByText("No such caption"), nullptr);
    EXPECT_EQ(page.FindControl(kNoControlId), nullptr);
}

TEST(Page, StackedSubPagesAreShownAndTakeOnlyFreePlaceholders) {
    CPage page(kTimerPage);
    CModuleSubDlg* row = page.StackSubPage(145, kInterruptRow);
    ASSERT_NE(row, nullptr);
    EXPECT_TRUE(row->IsVisible());
    EXPECT_EQ(page.FindControl(145)->SubPage(), row);
    // The placeholder is taken; a control that is no placeholder takes nothing.
    EXPECT_EQ(page.StackSubPage(145, kInterruptRow), nullptr);
    EXPECT_EQ(page.StackSubPage(1930, kInterruptRow), nullptr);
}

TEST(Page, SubPagesFrom0x8000UpAreFoundThroughTheirHighBitIds) {
    // A GPIO port's pin rows sit in place of placeholders 0xE900 + pin, so their control ids
    // have the highest bit set.
    const CDialogTemplate port(144, {Placeholder(0xE903)});
    CPage page(port);
    ASSERT_TRUE(page.InsertSubPage(0xE903, std::make_unique<CModuleSubDlg>(kInterruptRow)));
    const int id = static_cast<int>((0xE903u << CPage::kSubPageShift) | 3u);
    CPageControl* list = page.FindControl(id);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Items().size(), 2u);
    EXPECT_EQ(page.FindControl(static_cast<int>((0xE904u << CPage::kSubPageShift) | 3u)), nullptr);
    EXPECT_TRUE(CPage::IsSubPageControlId(id));
    EXPECT_FALSE(CPage::IsSubPageControlId(kNoControlId));
    page.SetCtrlTextColor(id, tColour{128, 0, 0});
    EXPECT_FALSE(list->TextColour().has_value());
}

TEST(Page, RadioGroupsRunFromTheGroupStart) {
    CPage page(kTimerPage);
    auto ids = [&](int id) {
        std::vector<int> out;
        for (CPageControl* c : page.RadioGroupOf(*page.FindControl(id)))
            out.push_back(c->Id());
        return out;
    };
    EXPECT_EQ(ids(1911), (std::vector<int>{1910, 1911, 1912}));
    EXPECT_EQ(ids(1920), (std::vector<int>{1920, 1921}));
    EXPECT_TRUE(ids(1930).empty());

    page.UserClick(*page.FindControl(1911));
    page.UserClick(*page.FindControl(1921));
    EXPECT_EQ(page.FindControl(1911)->Check(), 1);
    page.UserClick(*page.FindControl(1912));
    EXPECT_EQ(page.FindControl(1911)->Check(), 0);
    EXPECT_EQ(page.FindControl(1912)->Check(), 1);
    EXPECT_EQ(page.FindControl(1921)->Check(), 1);
}

TEST(Page, EventsReachTheBindingBeforeTheModule) {
    CEventLog log; // outlives the page, which tells it when its control goes
    CPage page(kTimerPage);
    page.InsertSubPage(145, std::make_unique<CModuleSubDlg>(kInterruptRow));
    page.SetCommandHandler(&log);
    CPageControl& box = *page.FindControl(1930);
    box.SetHandler(&log);

    page.UserClick(box);
    EXPECT_EQ(box.Check(), 1);
    page.UserSelect(*page.FindControl(1901), 1);
    EXPECT_EQ(page.FindControl(1901)->Text(), "Crystal");
    // A control inside the sub-page reaches the command handler of the page that holds it.
    page.UserFocus(page.FindControl(145 * 0x10000 + 3));
    page.UserFocus(&box);
    EXPECT_EQ(log.events, (std::vector<std::string>{"binding 1930 click", "module 1930 click",
                                                    "module 1901 select", "module 3 focus",
                                                    "module 3 blur", "binding 1930 focus",
                                                    "module 1930 focus"}));
    EXPECT_EQ(page.Focused(), &box);
}

TEST(Page, UtilitiesIgnoreMissingControlsAndSubPageColours) {
    CPage page(kTimerPage);
    page.InsertSubPage(145, std::make_unique<CModuleSubDlg>(kInterruptRow));
    page.EnableControls({1901, 1902, 4711}, false);
    EXPECT_FALSE(page.FindControl(1901)->IsEnabled());
    page.ShowControls({1930, 4711}, false);
    EXPECT_FALSE(page.FindControl(1930)->IsVisible());
    page.SetControlText(4711, "nothing");
    page.SetSpinRange(1903, 1, 10);
    EXPECT_EQ(page.FindControl(1903)->Low(), 1);

    const tColour red{255, 192, 192};
    page.SetCtrlBkColor(1902, red);
    EXPECT_EQ(page.FindControl(1902)->BackColour(), red);
    page.SetCtrlBkColor(1902, std::nullopt);
    EXPECT_FALSE(page.FindControl(1902)->BackColour().has_value());
    // Ids of sub-page controls are never coloured from the page.
    page.SetCtrlBkColor(145 * 0x10000 + 3, red);
    EXPECT_FALSE(page.FindControl(145 * 0x10000 + 3)->BackColour().has_value());
}

TEST(Page, ComboSelectionOutOfRangeClearsIt) {
    CPage page(kTimerPage);
    CPageControl& combo = *page.FindControl(1901);
    combo.SetSelection(1);
    combo.SetSelection(7);
    EXPECT_EQ(combo.Selection(), -1);
    EXPECT_EQ(combo.Text(), "");
    EXPECT_EQ(combo.AddItem("External"), 2);
}

TEST(Page, SharedEntriesAreShownWithoutACopyAndNeverChanged) {
    CPage page(kTimerPage);
    CPageControl& first = *page.FindControl(1901);
    CPageControl& second = *page.FindControl(1902);
    const auto names = std::make_shared<const std::vector<std::string>>(
        std::vector<std::string>{"XB_IN0", "XB_IN1"});
    first.ShareItems(names);
    second.ShareItems(names);
    EXPECT_EQ(&first.Items(), names.get());
    EXPECT_EQ(&second.Items(), names.get());

    // Adding or replacing entries gives the control a list of its own.
    EXPECT_EQ(first.AddItem("(input 7)"), 2);
    EXPECT_EQ(first.Items().size(), 3u);
    second.SetItems({"Bus"});
    EXPECT_EQ(*names, (std::vector<std::string>{"XB_IN0", "XB_IN1"}));

    // A list of its own is changed in place, so a reference to it stays good.
    const std::vector<std::string>& own = first.Items();
    first.SetItems({"A", "B", "C", "D"});
    EXPECT_EQ(&own, &first.Items());
    EXPECT_EQ(first.AddItem("E"), 4);
    EXPECT_EQ(&own, &first.Items());

    first.ShareItems(nullptr);
    EXPECT_TRUE(first.Items().empty());
}

TEST(Page, PlaceholdersSharingANumberAreFilledInTurn) {
    const CDialogTemplate headings(1, {Placeholder(510), Label("between"), Placeholder(510)});
    CPage page(headings);
    EXPECT_TRUE(page.InsertSubPage(510, std::make_unique<CModuleSubDlg>(kInterruptRow)));
    EXPECT_TRUE(page.InsertSubPage(510, std::make_unique<CModuleSubDlg>(kInterruptRow)));
    EXPECT_FALSE(page.InsertSubPage(510, std::make_unique<CModuleSubDlg>(kInterruptRow)));
    EXPECT_NE(page.Controls()[0]->SubPage(), nullptr);
    EXPECT_NE(page.Controls()[2]->SubPage(), nullptr);
}
