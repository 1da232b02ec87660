// The module base driving its page: creation with the bindings attached, the page-wide refresh,
// apply, validation and self-test, derived-value texts and warnings.

#include <gtest/gtest.h>

#include "BindingFixture.h"
#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"
#include "model/DialogTemplate.h"
#include "support/ScriptedMessages.h"

using namespace dlg;
using bindtest::CHintHost;

namespace {

enum { kEnable = 10, kModulo = 11, kPrescaler = 12, kRate = 13, kWarning = 14, kRow = 145 };

const CDialogTemplate kTimerPage(2045, {
    CheckBox(kEnable, "Enable counter"),
    Row({Label("Modulo:"), Edit(kModulo)}),
    Row({Label("Prescaler:"), DropList(kPrescaler, {"/ 1", "/ 2", "/ 4"})}),
    Row({Label("Interrupt rate:"), ReadOnly(kRate)}),
    Label("Clock source is off", kWarning),
    Placeholder(kRow),
});

const tPerCfgDef kRegisters[] = {
    {"CTRL_INIT", 0x0000, hwc::RegFlag::DW16},
    {"MOD_INIT", 0xFFFF, hwc::RegFlag::DW16},
};

class CTimer : public CModuleBase {
public:
    explicit CTimer(const CModuleDescriptor& descriptor)
        : CModuleBase(nullptr, 2045, &descriptor, kRegisters, 2) {
        m_enable.Bind(Item(0), 0, false);
        m_modulo.Bind(Item(1), 0, 15, 0, nullptr, false, 1, 0, false);
        m_prescaler.Bind(Item(0), 4, 5, 0);
    }
    const CDialogTemplate* DialogTemplate() const override { return &kTimerPage; }

    CSetBit m_enable;
    CSetValue m_modulo;
    CSetMode m_prescaler;

protected:
    void AttachControls(CPage& page) override {
        m_enable.Attach(*page.FindControl(kEnable));
        m_modulo.Attach(*page.FindControl(kModulo));
        m_prescaler.Attach(*page.FindControl(kPrescaler));
    }
};

struct CTimerFixture {
    CTimerFixture() : descriptor("PIT0", "PIT") {
        hwc::ScopedHostBeingOpened opening(&host);
        timer = std::make_unique<CTimer>(descriptor);
    }
    CModuleDescriptor descriptor;
    CHintHost host;
    std::unique_ptr<CTimer> timer;
};

} // namespace

TEST(ModulePage, CreatingThePageAttachesTheBindingsAndShowsTheRegisters) {
    CTimerFixture f;
    CTimer& timer = *f.timer;
    timer.Item(0).dwValue = 0x21; // enabled, prescaler "/ 4"
    EXPECT_EQ(timer.Page(), nullptr);
    EXPECT_FALSE(timer.RefreshControls());

    ASSERT_TRUE(timer.CreatePage());
    ASSERT_TRUE(timer.CreatePage()); // once only
    CPage& page = *timer.Page();
    EXPECT_EQ(page.Module(), &timer);
    EXPECT_EQ(page.Bindings().size(), 3u);
    EXPECT_EQ(page.FindControl(kEnable)->Check(), 1);
    EXPECT_EQ(page.FindControl(kModulo)->Text(), "65535");
    EXPECT_EQ(page.FindControl(kPrescaler)->Selection(), 2);

    // Registers changed behind the page's back reach it with a refresh (hint 20).
    timer.Item(1).dwValue = 1000;
    f.host.hints.clear();
    ASSERT_TRUE(timer.RefreshControls());
    EXPECT_EQ(page.FindControl(kModulo)->Text(), "1000");
    ASSERT_EQ(f.host.hints.size(), 1u);
    EXPECT_EQ(f.host.hints[0].first, 20);
}

TEST(ModulePage, ApplyWritesEveryControlAndTellsTheViews) {
    CTimerFixture f;
    CTimer& timer = *f.timer;
    timer.CreatePage();
    CPage& page = *timer.Page();
    page.FindControl(kEnable)->SetCheck(1);
    page.FindControl(kModulo)->SetText("59999");
    page.FindControl(kPrescaler)->SetSelection(1);
    f.host.hints.clear();

    ASSERT_TRUE(timer.ApplyControls());
    EXPECT_EQ(timer.Item(0).dwValue, 0x11u);
    EXPECT_EQ(timer.Item(1).dwValue, 59999u);
    ASSERT_FALSE(f.host.hints.empty());
    EXPECT_EQ(f.host.hints.back().first, 21);
}

TEST(ModulePage, ValidationStopsAtTheFirstInvalidVisibleControl) {
    CTimerFixture f;
    CTimer& timer = *f.timer;
    EXPECT_TRUE(timer.Validate(false)); // creates the page, which shows valid registers
    CPage& page = *timer.Page();

    page.FindControl(kModulo)->SetText("12z");
    EXPECT_FALSE(timer.Validate(false));
    {
        CScriptedMessages messages;
        EXPECT_FALSE(timer.Validate(true));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, "Invalid value entered!");
    }
    // A hidden control is not checked.
    page.FindControl(kModulo)->Show(false);
    EXPECT_TRUE(timer.Validate(false));

    // A list without a choice cannot be saved.
    page.FindControl(kPrescaler)->SetSelection(-1);
    CScriptedMessages messages;
    EXPECT_FALSE(timer.Validate(true));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Selection is not valid");
}

TEST(ModulePage, SelfTestWalksTheBindingsInDialogOrder) {
    CTimerFixture f;
    CTimer& timer = *f.timer;
    timer.CreatePage();
    bindtest::CLineCollector lines;
    timer.SelfTest();
    ASSERT_FALSE(lines.Lines().empty());
    EXPECT_EQ(lines.Lines().front().substr(0, 8), "SB[  10]");
    EXPECT_EQ(lines.Lines().back().substr(0, 8), "SM[  12]");
    // Every control shows its register again afterwards.
    EXPECT_EQ(timer.Item(0).dwValue, 0u);
    EXPECT_EQ(timer.Item(1).dwValue, 0xFFFFu);
}

TEST(ModulePage, WarningsShowTheIndicatorAndReachTheDocument) {
    struct CWarningHost : CHintHost {
        void SetWarning(CModuleBase*, int id, bool active, const char*, const char*) override {
            calls.push_back({id, active});
        }
        std::vector<std::pair<int, bool>> calls;
    };
    CModuleDescriptor descriptor("PIT0", "PIT");
    CWarningHost host;
    std::unique_ptr<CTimer> timer;
    {
        hwc::ScopedHostBeingOpened opening(&host);
        timer = std::make_unique<CTimer>(descriptor);
    }
    timer->SetWarning(kWarning, true, "Clock source is not available", nullptr); // no page yet
    timer->CreatePage();
    CPageControl& indicator = *timer->Page()->FindControl(kWarning);
    timer->SetWarning(kWarning, true, "Clock source is not available - see OCCS.", nullptr);
    EXPECT_TRUE(indicator.IsVisible());
    EXPECT_EQ(indicator.Text(), "Clock source is not available - see OCCS.");
    timer->SetWarning(kWarning, false, nullptr, nullptr);
    EXPECT_FALSE(indicator.IsVisible());
    EXPECT_EQ(host.calls, (std::vector<std::pair<int, bool>>{{kWarning, true}, {kWarning, true},
                                                             {kWarning, false}}));
}

TEST(ModulePage, DerivedValuesGoToTheControlAndTheOutText) {
    CTimerFixture f;
    CTimer& timer = *f.timer;
    std::string text;
    timer.ShowFrequency(kRate, 1000.0, true, "??", nullptr, &text); // no page: only the text
    EXPECT_EQ(text, "1 kHz");
    timer.CreatePage();
    timer.ShowFrequency(kRate, 0.0, true, "??");
    EXPECT_EQ(timer.Page()->FindControl(kRate)->Text(), "??");
    timer.ShowTime(kRate, 0.001, true, nullptr);
    EXPECT_EQ(timer.Page()->FindControl(kRate)->Text(), "1 ms");
}
