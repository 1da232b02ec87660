#include <gtest/gtest.h>

#include <string>

#include "modules/timers/CpmDEC.h"
#include "modules/timers/CpmENC.h"
#include "support/ModuleTestHost.h"

namespace {

using CHost = hwc::test::CModuleTestHost;

// A clock module that publishes a chosen bus clock.
class CpmDecClock : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmDecClock, CModule)
public:
    CpmDecClock(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    float PublishedBusClock() const override { return busMHz; }
    float busMHz = 0.0f;
};

// A document with a decoder module of class T, optionally a clock module, page open.
template <class T> struct CDecoderFixture {
    explicit CDecoderFixture(float busMHz, const char* instance, const char* key) {
        if (busMHz >= 0.0f)
            host.Add<CpmDecClock>("OCCS", "OCCS").busMHz = busMHz;
        module = &host.Add<T>(instance, key);
        host.BindAll();
        module->CreatePage();
        module->OnInitialUpdate();
        module->UpdateControlStates();
    }
    CPageControl& Control(int id) { return *module->Page()->FindControl(id); }
    std::string Text(int id) { return Control(id).Text(); }
    void Edit(int id, const std::string& text) {
        module->Page()->UserEdit(Control(id), text);
        module->Recalculate();
    }

    CHost host;
    T* module = nullptr;
};

using CDecFixture = CDecoderFixture<CpmDEC>;
using CEncFixture = CDecoderFixture<CpmENC>;

std::string Names(const CModuleBase& module) {
    std::string names;
    for (int i = 0; i < module.ItemCount(); ++i)
        names += module.GetDefineName(module.Item(i)) + " ";
    return names;
}

} // namespace

TEST(CpmDEC, RegistersAndHiddenInitValue) {
    CDecFixture f(60.0f, "DEC_0", "DEC");
    EXPECT_EQ(Names(*f.module),
              "DEC_0_DECCR_INIT DEC_0_WTR_INIT DEC_0_FIR_INIT DEC_0_UIR_INIT DEC_0_LIR_INIT "
              "DEC_0_IR32 ");
    const tPerCfgItem& hidden = f.module->Item(CpmDEC::kInitValueItem);
    EXPECT_TRUE(hidden.dwFlags & hwc::RegFlag::DUMMYREG);
    EXPECT_TRUE(hidden.dwFlags & hwc::RegFlag::NOSHOWLIST);
    EXPECT_TRUE(f.module->Item(CpmDEC::kControlItem).dwFlags & hwc::RegFlag::NODEFAULT);
}

TEST(CpmDEC, FilterAndWatchdogTimesAtTheBusClock) {
    CDecFixture f(60.0f, "DEC_0", "DEC");
    f.Edit(CpmDEC::kFilterId, "0");
    EXPECT_EQ(f.Text(CpmDEC::kFilterTimeId), "0.08333 us");
    f.Edit(CpmDEC::kFilterId, "255");
    EXPECT_EQ(f.Text(CpmDEC::kFilterTimeId), "17.08333 us"); // 1025 clocks
    // A timeout of 0 still waits one bus clock.
    f.module->Item(CpmDEC::kControlItem).dwValue = 1u << 2;
    f.module->RefreshControls();
    f.Edit(CpmDEC::kWatchdogTimeoutId, "0");
    EXPECT_EQ(f.Text(CpmDEC::kWatchdogTimeId), "0.01667 us");
    f.Edit(CpmDEC::kWatchdogTimeoutId, "65535");
    EXPECT_EQ(f.Text(CpmDEC::kWatchdogTimeId), "1.09227 ms");
    EXPECT_DOUBLE_EQ(CpmDEC::WatchdogTime(0xFFFF, 60e6), 65536.0 / 60e6);
    EXPECT_DOUBLE_EQ(CpmDEC::FilterTime(255, 60e6), 1025.0 / 60e6);
}

TEST(CpmDEC, NoClockShowsOff) {
    for (float bus : {-1.0f, 0.0f}) {
        CDecFixture f(bus, "DEC_1", "DEC");
        f.Edit(CpmDEC::kFilterId, "3");
        EXPECT_EQ(f.Text(CpmDEC::kFilterTimeId), "OFF");
        EXPECT_EQ(f.Text(CpmDEC::kWatchdogTimeId), "OFF");
    }
    EXPECT_EQ(CpmDEC::WatchdogTime(5, 0.0), 0.0);
}

TEST(CpmDEC, InitValueIsTheTwoHalvesAndSurvivesReloading) {
    CDecFixture f(60.0f, "DEC_0", "DEC");
    // As read from a header: UIR and LIR carry the value, the hidden item is not in it.
    f.module->Item(CpmDEC::kUpperInitItem).dwValue = 0x1234;
    f.module->Item(CpmDEC::kLowerInitItem).dwValue = 0xABCD;
    f.module->AfterLoad();
    EXPECT_EQ(f.module->Item(CpmDEC::kInitValueItem).dwValue, 0x1234ABCDu);
    f.module->RefreshControls();
    EXPECT_EQ(f.module->InitValueField().GetValue(), 0x1234ABCDu);
    // Refreshing or recomputing leaves the halves alone.
    f.module->Recalculate();
    EXPECT_EQ(f.module->Item(CpmDEC::kUpperInitItem).dwValue, 0x1234u);
    EXPECT_EQ(f.module->Item(CpmDEC::kLowerInitItem).dwValue, 0xABCDu);
    // A typed value is split into the two registers.
    f.Edit(CpmDEC::kInitValueId, "0xFFFF0001");
    EXPECT_EQ(f.module->Item(CpmDEC::kUpperInitItem).dwValue, 0xFFFFu);
    EXPECT_EQ(f.module->Item(CpmDEC::kLowerInitItem).dwValue, 0x0001u);
    EXPECT_EQ(f.module->Item(CpmDEC::kInitValueItem).dwValue, 0xFFFF0001u);
    // A register set from outside (a plug-in) is followed by the hidden mirror.
    f.module->Item(CpmDEC::kUpperInitItem).dwValue = 0x0002;
    f.module->Recalculate();
    EXPECT_EQ(f.module->Item(CpmDEC::kInitValueItem).dwValue, 0x00020001u);
    std::string text;
    f.module->GetHeaderText(text);
    EXPECT_EQ(text.find("IR32"), std::string::npos) << text;
    EXPECT_NE(text.find("DEC_0_UIR_INIT"), std::string::npos) << text;
}

TEST(CpmDEC, ControlsFollowTheirEnables) {
    CDecFixture f(60.0f, "DEC_0", "DEC");
    EXPECT_FALSE(f.Control(CpmDEC::kHomeEdgeId).IsEnabled());
    EXPECT_FALSE(f.Control(CpmDEC::kIndexEdgeId).IsEnabled());
    EXPECT_FALSE(f.Control(CpmDEC::kWatchdogTimeoutId).IsEnabled());
    EXPECT_FALSE(f.Control(CpmDEC::kWatchdogInterruptId).IsEnabled());
    EXPECT_TRUE(f.Control(CpmDEC::kHomeInterruptId).IsEnabled());
    CPage& page = *f.module->Page();
    page.UserClick(f.Control(CpmDEC::kHomeEnableId));
    EXPECT_TRUE(f.Control(CpmDEC::kHomeEdgeId).IsEnabled());
    EXPECT_FALSE(f.Control(CpmDEC::kIndexEdgeId).IsEnabled());
    page.UserClick(f.Control(CpmDEC::kIndexEnableId));
    EXPECT_TRUE(f.Control(CpmDEC::kIndexEdgeId).IsEnabled());
    page.UserClick(f.Control(CpmDEC::kWatchdogEnableId));
    EXPECT_TRUE(f.Control(CpmDEC::kWatchdogTimeoutId).IsEnabled());
    EXPECT_TRUE(f.Control(CpmDEC::kWatchdogInterruptId).IsEnabled());
    EXPECT_EQ(f.module->Item(CpmDEC::kControlItem).dwValue, (1u << 13) | (1u << 6) | (1u << 2));
    page.UserClick(f.Control(CpmDEC::kWatchdogEnableId));
    EXPECT_FALSE(f.Control(CpmDEC::kWatchdogTimeoutId).IsEnabled());
}

TEST(CpmENC, RegistersAndDefaults) {
    CEncFixture f(60.0f, "ENC", "ENC");
    EXPECT_EQ(Names(*f.module),
              "ENC_CTRL_INIT ENC_FILT_INIT ENC_WTR_INIT ENC_UINIT_INIT ENC_LINIT_INIT "
              "ENC_TST_INIT ENC_CTRL2_INIT ENC_UMOD_INIT ENC_LMOD_INIT ENC_UCOMP_INIT "
              "ENC_LCOMP_INIT ");
    EXPECT_EQ(f.module->Item(CpmENC::kUcompItem).dwValue, 0xFFFFu);
    EXPECT_EQ(f.module->Item(CpmENC::kLcompItem).dwValue, 0xFFFFu);
    EXPECT_EQ(f.module->Item(CpmENC::kCtrlItem).dwValue, 0u);
}

TEST(CpmENC, TimesAtTheBusClock) {
    CEncFixture f(60.0f, "ENC", "ENC");
    f.Edit(CpmENC::kWatchdogTimeoutId, "0");
    EXPECT_EQ(f.Text(CpmENC::kWatchdogTimeId), "0.01667 us");
    f.Edit(CpmENC::kWatchdogTimeoutId, "59999");
    EXPECT_EQ(f.Text(CpmENC::kWatchdogTimeId), "1 ms");
    f.Edit(CpmENC::kFilterPeriodId, "0");
    EXPECT_EQ(f.Text(CpmENC::kFilterTimeId), "OFF");
    f.Edit(CpmENC::kFilterPeriodId, "255");
    EXPECT_EQ(f.Text(CpmENC::kFilterTimeId), "4.25 us");
    EXPECT_EQ(f.module->Item(CpmENC::kFiltItem).dwValue, 255u);
    f.module->Item(CpmENC::kTstItem).dwValue = 1u << 14;
    f.module->RefreshControls();
    f.module->UpdateControlStates();
    f.Edit(CpmENC::kTestPeriodId, "31");
    EXPECT_EQ(f.module->Item(CpmENC::kTstItem).dwValue, (1u << 14) | (31u << 8));
    EXPECT_EQ(f.Text(CpmENC::kTestTimeId), "0.51667 us");
    f.Edit(CpmENC::kTestPeriodId, "0");
    EXPECT_EQ(f.Text(CpmENC::kTestTimeId), "OFF");
    // Out of the field's range: refused, the register keeps its value.
    f.Edit(CpmENC::kTestPeriodId, "32");
    EXPECT_EQ(f.module->Item(CpmENC::kTstItem).dwValue, 1u << 14);
}

TEST(CpmENC, NoClockShowsOffInsteadOfInfinity) {
    for (float bus : {-1.0f, 0.0f}) {
        CEncFixture f(bus, "ENC", "ENC");
        f.module->Item(CpmENC::kFiltItem).dwValue = 5;
        f.module->Item(CpmENC::kTstItem).dwValue = 3u << 8;
        f.module->Recalculate();
        for (int id : {CpmENC::kWatchdogTimeId, CpmENC::kFilterTimeId, CpmENC::kTestTimeId})
            EXPECT_EQ(f.Text(id), "OFF") << id;
    }
    EXPECT_EQ(CpmENC::ClockTime(10, 0.0), 0.0);
}

TEST(CpmENC, FilterCountAndEnables) {
    CEncFixture f(60.0f, "ENC", "ENC");
    CPage& page = *f.module->Page();
    page.UserSelect(f.Control(CpmENC::kFilterCountId), 7);
    EXPECT_EQ(f.module->Item(CpmENC::kFiltItem).dwValue, 7u << 8);
    EXPECT_FALSE(f.Control(CpmENC::kWatchdogTimeoutId).IsEnabled());
    EXPECT_FALSE(f.Control(CpmENC::kTestPeriodId).IsEnabled());
    page.UserClick(f.Control(CpmENC::kWatchdogEnableId));
    page.UserClick(f.Control(CpmENC::kTestModuleEnableId));
    EXPECT_TRUE(f.Control(CpmENC::kWatchdogTimeoutId).IsEnabled());
    EXPECT_TRUE(f.Control(CpmENC::kTestPeriodId).IsEnabled());
    EXPECT_EQ(f.module->Item(CpmENC::kCtrlItem).dwValue, 1u << 2);
    EXPECT_EQ(f.module->Item(CpmENC::kTstItem).dwValue, 1u << 14);
    // Hex position values take the whole 16 bits.
    f.Edit(CpmENC::kLowerModulusId, "0xFFFF");
    EXPECT_EQ(f.module->Item(CpmENC::kLmodItem).dwValue, 0xFFFFu);
}
