// Following links between module pages: which module shows, which control gets the tool-tip,
// what reaches the module's link handlers; hyperlink and up-down controls on a page.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/ExternalLink.h"
#include "model/ModuleBase.h"
#include "model/ModuleSubDlg.h"
#include "support/ScriptedMessages.h"

using namespace dlg;

namespace {

const CDialogTemplate kAdcPage(2100, {
    CheckBox(1001, "Enable converter"),
    Row({Label("Divider:"), Edit(1002), UpDown(1003, 0, 255)}),
    Link(1955, "(user vector information)"),
    Placeholder(500),
});

const CDialogTemplate kRowPage(2030, {
    CheckBox(2, "Interrupt enabled"),
    Label("", 7),
});

class CLinkHost final : public IModuleHost {
public:
    std::size_t ModuleCount() const override { return modules.size(); }
    CModuleBase* ModuleAt(std::size_t index) const override { return modules[index].get(); }
    bool GenerateComments() const override { return true; }
    bool GenerateDefaults() const override { return false; }
    bool KeepUserComments() const override { return false; }
    void RegisterItem(const tPerCfgItem&, CModuleBase&) override {}
    void SetWarning(CModuleBase* owner, int id, bool active, const char* message,
                    const char*) override {
        warnings.push_back(owner->InstanceName() + " " + std::to_string(id) +
                           (active ? " on " : " off ") + (message ? message : ""));
    }
    bool ShowModulePage(CModuleBase& module) override {
        shown.push_back(module.InstanceName());
        if (refuseShowing || !module.CreatePage())
            return false;
        for (const auto& other : modules) {
            if (other->Page())
                other->Page()->SetVisible(other.get() == &module);
        }
        return true;
    }

    std::vector<std::unique_ptr<CModuleBase>> modules;
    std::vector<std::string> shown;
    std::vector<std::string> warnings;
    bool refuseShowing = false;
};

// Records what a page asks of its renderer and what the module's link handlers receive.
class CpmLinkTest : public CModuleBase, public IPageObserver {
public:
    explicit CpmLinkTest(const CModuleDescriptor& descriptor)
        : CModuleBase(nullptr, 2100, &descriptor, nullptr, 0) {}
    const CDialogTemplate* DialogTemplate() const override { return &kAdcPage; }
    bool OnLinkCommand(CModuleBase* sender, const tModuleLink&, std::string_view query) override {
        commands.push_back(std::string(query) + " from " + (sender ? sender->InstanceName() : ""));
        return true;
    }
    void OnLinkParameters(CModuleBase*, const tModuleLink&,
                          const std::map<std::string, std::string>& parameters) override {
        this->parameters = parameters;
    }

    void OnControlChanged(CPageControl&) override {}
    void OnSubPageInserted(CPageControl&) override {}
    void OnFocusRequested(CPageControl& control) override { focused = control.Id(); }
    void OnToolTip(CPageControl& control, const std::string& text,
                   const std::string& title) override {
        tips.push_back(std::to_string(control.Id()) + " " + title + "|" + text);
    }

    std::vector<std::string> commands;
    std::map<std::string, std::string> parameters;
    std::vector<std::string> tips;
    int focused = 0;
};

struct LinkFollow : testing::Test {
    LinkFollow() {
        adc = &Add("ADC_A", "ADC");
        pwm = &Add("PWM_A", "PWM");
    }
    CpmLinkTest& Add(const std::string& instance, const std::string& typeKey) {
        descriptors.push_back(std::make_unique<CModuleDescriptor>(instance, typeKey));
        hwc::ScopedHostBeingOpened opening(&host);
        auto module = std::make_unique<CpmLinkTest>(*descriptors.back());
        CpmLinkTest& result = *module;
        host.modules.push_back(std::move(module));
        result.BindControls(&host);
        result.CreatePage();
        result.Page()->SetObserver(&result);
        return result;
    }

    CScriptedMessages messages;
    CLinkHost host;
    std::vector<std::unique_ptr<CModuleDescriptor>> descriptors;
    CpmLinkTest* adc = nullptr;
    CpmLinkTest* pwm = nullptr;
};

} // namespace

TEST_F(LinkFollow, ModuleLinkShowsTheTargetAndTipsTheControl) {
    pwm->FollowLink("hwc:ADC_A/ADC/1002?tiptext=Too%20fast&tiptitle=Divider", "ignored");
    EXPECT_EQ(host.shown, std::vector<std::string>{"ADC_A"});
    EXPECT_EQ(adc->tips, std::vector<std::string>{"1002 Divider|Too fast"});
    EXPECT_EQ(adc->focused, 1002);
    // The query goes to the target whole and as parameters, with the sender.
    EXPECT_EQ(adc->commands, std::vector<std::string>{"tiptext=Too fast&tiptitle=Divider from PWM_A"});
    EXPECT_EQ(adc->parameters.at("tiptitle"), "Divider");
}

TEST_F(LinkFollow, NoActivateLinkLeavesThePageShownAndOnlyRunsTheQuery) {
    pwm->FollowLink("hwcna:ADC_A/ADC/1002?FIXPINS", "extra");
    EXPECT_TRUE(host.shown.empty());
    EXPECT_TRUE(adc->tips.empty()); // the target page is hidden: no tool-tip
    EXPECT_EQ(adc->commands, std::vector<std::string>{"FIXPINS from PWM_A"});
}

TEST_F(LinkFollow, ControlZeroRunsOnlyTheQuery) {
    pwm->FollowLink("hwc:ADC_A/ADC/0?go=1", "extra");
    EXPECT_TRUE(adc->tips.empty());
    EXPECT_EQ(adc->commands.size(), 1u);
}

TEST_F(LinkFollow, CaptionReferenceFindsAControlInsideASubPage) {
    adc->Page()->InsertSubPage(500, std::make_unique<CModuleSubDlg>(kRowPage));
    pwm->FollowLink("hwc:ADC_A/ADC/Interrupt%20enabled", "PWM_A: note");
    EXPECT_EQ(adc->tips, std::vector<std::string>{"2 |PWM_A: note"});
    // By number, the same control is sub-page 500 x 65536 + 2.
    adc->FollowLink("hwc:ADC_A/ADC/32768002", "again");
    EXPECT_EQ(adc->tips.back(), "2 |again");
}

TEST_F(LinkFollow, UnknownTargetsAndRefusedPagesDoNothing) {
    pwm->FollowLink("hwc:ADC_B/ADC/1002", "x");
    pwm->FollowLink("hwc:ADC_A/PWM/1002", "x");
    EXPECT_TRUE(host.shown.empty());
    host.refuseShowing = true;
    pwm->FollowLink("hwc:ADC_A/ADC/1002?q=1", "x");
    EXPECT_TRUE(adc->tips.empty());
    EXPECT_TRUE(adc->commands.empty());
    pwm->FollowLink("hwc:ADC_A/ADC/Nothing%20so%20called", "x");
    EXPECT_TRUE(adc->tips.empty());
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(LinkFollow, OtherLinksGoToTheDesktopOrFailWithAMessage) {
    adc->FollowLink("https://example.invalid/manual", "x");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Can not open link \"https://example.invalid/manual\"");

    std::vector<std::string> opened;
    hwc::ExternalLinkOpener previous = hwc::SetExternalLinkOpener([&](const std::string& link) {
        opened.push_back(link);
        return true;
    });
    adc->FollowLink("file:///tmp/x.pdf", "x");
    hwc::SetExternalLinkOpener(previous);
    EXPECT_EQ(opened, std::vector<std::string>{"file:///tmp/x.pdf"});
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST_F(LinkFollow, HyperlinkControlFollowsItsAnchor) {
    CPageControl& note = *pwm->Page()->FindControl(1955);
    note.SetText("NOTE: defined as " +
                 LinkText("ADC_A", "ADC", "", "USER3 (isrAdc)", 1001, nullptr, false) +
                 " in WINTC module.");
    pwm->Page()->UserFollowLink(note);
    EXPECT_EQ(host.shown, std::vector<std::string>{"ADC_A"});
    EXPECT_EQ(adc->tips, std::vector<std::string>{
                             "1001 |PWM_A: NOTE: defined as USER3 (isrAdc) in WINTC module."});
}

TEST(SplitAnchor, TagsInAnyCaseAndTextWithoutAnchor) {
    const tAnchor anchor = SplitAnchor("see <a href=\"hwc:X/Y/1\">here</a>!");
    EXPECT_EQ(anchor.link, "hwc:X/Y/1");
    EXPECT_EQ(anchor.text, "see here!");
    const tAnchor plain = SplitAnchor("https://example.invalid");
    EXPECT_EQ(plain.link, "https://example.invalid");
    EXPECT_EQ(plain.text, plain.link);
    // An anchor that never closes its address is no anchor.
    EXPECT_EQ(SplitAnchor("<A HREF=\"broken").link, "<A HREF=\"broken");
}

TEST_F(LinkFollow, UpDownStepsItsBuddyAsTyped) {
    CPage& page = *adc->Page();
    CPageControl& buddy = *page.FindControl(1002);
    buddy.SetText("0x0010");
    page.UserSpin(*page.FindControl(1003), 1);
    EXPECT_EQ(buddy.Text(), "0x0011");
    buddy.SetText("7");
    page.UserSpin(*page.FindControl(1003), -8);
    EXPECT_EQ(buddy.Text(), "0");
    // A disabled buddy does not change; a control that is no up-down steps nothing.
    buddy.Enable(false);
    page.UserSpin(*page.FindControl(1003), 1);
    EXPECT_EQ(buddy.Text(), "0");
    buddy.Enable(true);
    page.UserSpin(buddy, 1);
    EXPECT_EQ(buddy.Text(), "0");
}

TEST_F(LinkFollow, SubPageWarningsNameTheControlThroughTheSubPage) {
    adc->Page()->InsertSubPage(500, std::make_unique<CModuleSubDlg>(kRowPage));
    CModuleSubDlg& row = *adc->Page()->SubPages().at(0);
    EXPECT_EQ(row.SubPageId(), 500);
    EXPECT_EQ(row.Module(), adc);
    row.SetWarning(7, true, "Vector taken twice");
    EXPECT_EQ(host.warnings, std::vector<std::string>{"ADC_A 32768007 on Vector taken twice"});
    EXPECT_TRUE(row.FindControl(7)->IsVisible());
    EXPECT_EQ(row.FindControl(7)->Text(), "Vector taken twice");
    row.ShowFrequency(7, 8000000, true, nullptr);
    EXPECT_EQ(row.FindControl(7)->Text(), "8 MHz");
}
