#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "modules/analog/AnalogQueries.h"
#include "modules/analog/CpmADC.h"
#include "support/CrossbarStub.h"
#include "support/ModuleTestHost.h"

namespace {

namespace t = hwc::test;
using A = CpmADC;

// A clock module that publishes a chosen bus clock.
class CpmAdcClock : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmAdcClock, CModule)
public:
    CpmAdcClock(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    float PublishedBusClock() const override { return busMHz; }
    float busMHz = 0.0f;
};

// A crossbar whose outputs are named by a list; those in `configured` have a source.
class CpmAdcCrossbar : public CModule, public t::CCrossbarStub {
    HWC_DECLARE_MODULE_CLASS(CpmAdcCrossbar, CModule)
public:
    CpmAdcCrossbar(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    bool IsOutputConfigured(int output) const override { return configured.count(output) != 0; }
    int OutputMode(int) const override { return -1; }
    std::string OutputLabel(int output) const override {
        return std::to_string(output) + ". " + outputs.at(static_cast<std::size_t>(output)) + ".";
    }
    std::optional<hwc::tCrossbarField> OutputField(int output) const override {
        if (output < 0 || output >= static_cast<int>(outputs.size()))
            return std::nullopt;
        return hwc::tCrossbarField{"XBC0_INIT", 0, 6};
    }
    std::vector<std::string> outputs;
    std::set<int> configured;
};

// A document with a converter in the given groups (and a clock module unless the bus clock is
// negative); the module is written to the header and its page is open.
struct CAdcFixture {
    explicit CAdcFixture(std::set<int> groups, float busMHz = -1.0f) {
        host.groups = std::move(groups);
        if (busMHz >= 0.0f)
            host.Add<CpmAdcClock>("OCCS", "OCCS").busMHz = busMHz;
        adc = &host.Add<CpmADC>("ADC_A", "ADC", "", "INT:27,28,29:");
        host.BindAll();
        adc->SetSelected(true);
        adc->CreatePage();
        adc->OnInitialUpdate();
        Update();
    }
    CPageControl& Control(int id) { return *adc->Page()->FindControl(id); }
    std::string Text(int id) { return Control(id).Text(); }
    tPerCfgItem& Reg(int index) { return adc->Item(index); }
    // Puts a register value in and lets the page and the warnings follow, as a load does.
    void Load(int index, std::uint32_t value) {
        Reg(index).dwValue = value;
        Update();
    }
    void Update() {
        adc->RefreshControls();
        adc->Recalculate();
        adc->UpdateControlStates();
        adc->CheckWarnings();
    }
    std::string Warning(int id) { return host.Warning(*adc, id); }
    // Every text the page shows, sub-pages included.
    std::vector<std::string> Texts() {
        std::vector<std::string> texts;
        std::vector<CPage*> pages = {adc->Page()};
        for (std::size_t at = 0; at < pages.size(); ++at) {
            for (const auto& control : pages[at]->Controls()) {
                texts.push_back(control->Text());
                if (control->SubPage())
                    pages.push_back(control->SubPage());
            }
        }
        return texts;
    }

    t::CModuleTestHost host;
    CpmADC* adc = nullptr;
};

std::vector<std::string> Names(const CModuleBase& module) {
    std::vector<std::string> names;
    for (int i = 0; i < module.ItemCount(); ++i)
        names.push_back(module.Item(i).szName);
    return names;
}

// The group flags of each layout's processors, as the document sets them.
const std::set<int> kDefault = {t::kFamH, t::kFamK};
const std::set<int> kFamG = {t::kFamG};
const std::set<int> kFamJ = {t::kFamH, t::kFamJ};
const std::set<int> kFamB = {t::kFamH, t::kFamJ, t::kFamB};
const std::set<int> kFamC = {t::kFamH, t::kFamC};
const std::set<int> kFamE = {t::kFamE, 48};     // a 10 MHz part
const std::set<int> kFastFamE = {t::kFamE, 39}; // a 20 MHz part
const std::set<int> kFamF = {t::kFamF};
const std::set<int> kFamD = {t::kFamD};

} // namespace

TEST(CpmADC, RegisterSetsAndTemplatesByLayout) {
    struct tCase {
        std::set<int> groups;
        A::ELayout layout;
        unsigned templateId;
    };
    const tCase cases[] = {
        {kDefault, A::ELayout::Default, A::kTemplateId},
        {kFamG, A::ELayout::FamG, A::kFamGTemplateId},
        {kFamJ, A::ELayout::FamJ, A::kFamJTemplateId},
        {kFamB, A::ELayout::FamB, A::kFamBTemplateId},
        {kFamC, A::ELayout::FamC, A::kFamCTemplateId},
        {kFamE, A::ELayout::Newer, A::kNewerTemplateId},
        {kFamF, A::ELayout::Newer, A::kNewerTemplateId},
        {kFamD, A::ELayout::Newer, A::kNewerTemplateId},
    };
    for (const tCase& c : cases) {
        CAdcFixture f(c.groups);
        EXPECT_EQ(f.adc->Layout(), c.layout);
        EXPECT_EQ(f.adc->TemplateId(), c.templateId);
        EXPECT_EQ(f.adc->Page()->TemplateId(), c.templateId);
        const std::vector<std::string> names = Names(*f.adc);
        ASSERT_EQ(names.front(), "ADCR1_INIT");
        EXPECT_TRUE(f.Reg(0).dwFlags & hwc::RegFlag::NODEFAULT);
        EXPECT_EQ(f.Reg(0).dwValue, 0x5005u);
        const bool newer = c.layout == A::ELayout::Newer;
        const int samples = newer ? 16 : 8;
        ASSERT_EQ(f.adc->ItemCount(), newer ? A::kNewerCount : A::kOlderCount);
        EXPECT_EQ(names[f.adc->DisableItem()], "ADSDIS_INIT");
        EXPECT_EQ(names[f.adc->LowLimitItem(samples - 1)],
                  "ADLLMT" + std::to_string(samples - 1) + "_INIT");
        EXPECT_EQ(names[f.adc->HighLimitItem(0)], "ADHLMT0_INIT");
        EXPECT_EQ(f.Reg(f.adc->HighLimitItem(0)).dwValue, 0x7FF8u);
        EXPECT_EQ(names[f.adc->OffsetItem(samples - 1)],
                  "ADOFS" + std::to_string(samples - 1) + "_INIT");
        // A sample row per sample, and no more.
        EXPECT_TRUE(
            f.adc->Page()->FindControl(A::SampleControlId(samples - 1, A::kChannelLocalId)));
        EXPECT_FALSE(f.adc->Page()->FindControl(A::SampleControlId(samples, A::kChannelLocalId)));
        EXPECT_EQ(f.Control(A::SampleControlId(0, A::kChannelLocalId)).Items().size(),
                  static_cast<std::size_t>(samples));
        EXPECT_EQ(f.Control(A::kDivisorId).Items().size(), newer ? 64u : 16u);
        EXPECT_EQ(f.adc->Page()->FindControl(A::kPowerDownAId) != nullptr, newer);
        EXPECT_EQ(f.adc->Page()->FindControl(A::kClockWarningId) != nullptr, !newer);
        if (newer) {
            EXPECT_EQ(std::vector<std::string>(names.begin() + 3, names.begin() + 8),
                      (std::vector<std::string>{"ADLST1_INIT", "ADLST2_INIT", "ADLST3_INIT",
                                                "ADLST4_INIT", "ADSDIS_INIT"}));
            EXPECT_EQ(std::vector<std::string>(names.end() - 5, names.end()),
                      (std::vector<std::string>{"ADPWR_INIT", "ADCAL_INIT", "ADPWR2_INIT",
                                                "ADCTRL3_INIT", "ADSCHLMTEN_INIT"}));
            EXPECT_EQ(f.Reg(f.adc->PowerItem()).dwValue, 0x01A7u);
        } else {
            EXPECT_EQ(f.adc->PowerItem(), -1);
            EXPECT_EQ(names.back(), "ADOFS7_INIT");
        }
    }
}

TEST(CpmADC, OlderClockAndItsLimitByGroup) {
    CAdcFixture f(kDefault, 30.0f);
    // IP/6 at 30 MHz: exactly the 5 MHz limit, no warning.
    f.Load(A::kControl2Item, 2);
    EXPECT_EQ(f.Text(A::kDivisorId), "IP/6");
    EXPECT_EQ(f.Text(A::kClockId), "5 MHz");
    EXPECT_EQ(f.Warning(A::kClockWarningId), "");
    EXPECT_EQ(f.Text(A::kClockWarningId), "should be < 5 MHz");
    // IP/4: 7.5 MHz shows the limit and lists the warning.
    f.Load(A::kControl2Item, 1);
    EXPECT_EQ(f.Text(A::kClockId), "7.5 MHz");
    EXPECT_EQ(f.Text(A::kClockWarningId), "max: 5.000 MHz");
    EXPECT_EQ(f.Warning(A::kClockWarningId),
              "ADC clock frequency exceeds maximum operating frequency (5.000 MHz)");
    // Cleared again, the caption comes back.
    f.Load(A::kControl2Item, 15);
    EXPECT_EQ(f.Text(A::kClockId), "0.9375 MHz");
    EXPECT_EQ(f.Warning(A::kClockWarningId), "");
    EXPECT_EQ(f.Text(A::kClockWarningId), "should be < 5 MHz");
    // Bits above the divisor field are no part of it.
    f.Load(A::kControl2Item, 0xFFF2);
    EXPECT_EQ(f.Text(A::kClockId), "5 MHz");
    // A module that is not written warns about nothing.
    f.Load(A::kControl2Item, 0);
    EXPECT_NE(f.Warning(A::kClockWarningId), "");
    f.adc->SetSelected(false);
    f.Update();
    EXPECT_EQ(f.Warning(A::kClockWarningId), "");

    // FamJ allows 16/3 MHz (rounded up), FamB 8 MHz; FamJ's FamB members take FamB's.
    CAdcFixture j(kFamJ, 32.0f);
    j.Load(A::kControl2Item, 2);
    EXPECT_EQ(j.Text(A::kClockId), "5.33333 MHz");
    EXPECT_EQ(j.Warning(A::kClockWarningId), "");
    EXPECT_EQ(j.Text(A::kClockWarningId), "should be < 5.333 MHz");
    j.Load(A::kControl2Item, 1);
    EXPECT_EQ(j.Text(A::kClockWarningId), "max: 5.333 MHz");
    CAdcFixture b(kFamB, 32.0f);
    b.Load(A::kControl2Item, 1);
    EXPECT_EQ(b.Text(A::kClockId), "8 MHz");
    EXPECT_EQ(b.Warning(A::kClockWarningId), "");
    b.Load(A::kControl2Item, 0);
    EXPECT_EQ(b.Warning(A::kClockWarningId),
              "ADC clock frequency exceeds maximum operating frequency (8.000 MHz)");
    CAdcFixture g(kFamG, 60.0f);
    EXPECT_FLOAT_EQ(g.adc->OlderMaximumMHz(), 5.0f);
    CAdcFixture c(kFamC, 60.0f);
    EXPECT_EQ(c.Text(A::kClockId), "10 MHz");
    EXPECT_EQ(c.Text(A::kClockWarningId), "max: 5.000 MHz");
}

TEST(CpmADC, NewerClocksDivisorZeroAndLimits) {
    CAdcFixture f(kFamE, 40.0f);
    const int power2 = f.adc->Power2Item();
    // Index 0 divides as index 1 does, on A and on B's own divisor.
    f.Load(A::kControl2Item, 0);
    f.Load(power2, 0x0000);
    EXPECT_EQ(f.Text(A::kClockId), "20 MHz");
    EXPECT_EQ(f.Text(A::kClockBId), "20 MHz");
    f.Load(A::kControl2Item, 1);
    f.Load(power2, 0x0100);
    EXPECT_EQ(f.Text(A::kClockId), "20 MHz");
    EXPECT_EQ(f.Text(A::kClockBId), "20 MHz");
    EXPECT_EQ(f.Text(A::kDivisorId), "IP/2");
    // Six bits of divisor: index 63 is IP/64.
    f.Load(A::kControl2Item, 63);
    EXPECT_EQ(f.Text(A::kDivisorId), "IP/64");
    EXPECT_EQ(f.Text(A::kClockId), "0.625 MHz");

    // A 10 MHz FamE part: A above the maximum, in triggered simultaneous mode.
    f.Load(A::kControl2Item, 2); // 13.3 MHz
    f.Load(power2, 0x0203);      // B the same; power modes A 3, B 0
    EXPECT_EQ(f.Warning(A::kClockAWarningId),
              "ADCA clock frequency exceeds maximum operating frequency (10.000 MHz)");
    EXPECT_EQ(f.Text(A::kClockAWarningId), "max: 10.000 MHz");
    EXPECT_EQ(f.Warning(A::kClockBWarningId),
              "ADCB clock frequency exceeds maximum operating frequency (10.000 MHz)");
    // Above the maximum the power-mode warning stands back.
    EXPECT_EQ(f.Warning(A::kModeAWarningId), "");
    // B converting with A, or a sequential scan, leaves B's maximum alone.
    f.Load(A::kControl2Item, 2 | 0x40);
    EXPECT_EQ(f.Warning(A::kClockBWarningId), "");
    f.Load(A::kControl2Item, 2);
    f.Load(A::kControl1Item, 0x5004);
    EXPECT_EQ(f.Warning(A::kClockBWarningId), "");
    EXPECT_FALSE(f.Control(A::kClockBWarningId).IsVisible());
    EXPECT_NE(f.Warning(A::kClockAWarningId), "");

    // 8 MHz: below the maximum; mode 0 allows 5, mode 1 allows 10.
    f.Load(A::kControl2Item, 4);
    f.Load(power2, 0x0400);
    EXPECT_EQ(f.Text(A::kClockId), "8 MHz");
    EXPECT_EQ(f.Warning(A::kClockAWarningId), "");
    EXPECT_EQ(f.Warning(A::kModeAWarningId),
              "ADCA clock frequency exceeds maximum operating frequency in selected power mode");
    EXPECT_EQ(f.Text(A::kModeAWarningId), "max in power mode 0: 5.000 MHz");
    EXPECT_EQ(f.Warning(A::kModeBWarningId),
              "ADCB clock frequency exceeds maximum operating frequency in selected power mode");
    f.Load(power2, 0x0405); // A mode 1, B mode 1
    EXPECT_EQ(f.Warning(A::kModeAWarningId), "");
    EXPECT_EQ(f.Warning(A::kModeBWarningId), "");
    EXPECT_FALSE(f.Control(A::kModeAWarningId).IsVisible());
    EXPECT_EQ(f.Text(A::kPowerModeAId), "1: up to 10 MHz");

    // The 20 MHz parts of FamE.
    CAdcFixture fast(kFastFamE, 40.0f);
    fast.Load(A::kControl2Item, 1);
    fast.Load(fast.adc->Power2Item(), 0x010F);
    EXPECT_EQ(fast.Text(A::kClockId), "20 MHz");
    EXPECT_EQ(fast.Warning(A::kClockAWarningId), "");
    EXPECT_EQ(fast.Warning(A::kModeAWarningId), "");
    fast.Load(fast.adc->Power2Item(), 0x010A); // mode 2: 15 MHz
    EXPECT_EQ(fast.Text(A::kModeAWarningId), "max in power mode 2: 15.000 MHz");

    // FamF and FamD know one mode: whatever the field holds, its limit is the maximum.
    CAdcFixture famF(kFamF, 40.0f);
    famF.Load(A::kControl2Item, 3); // 10 MHz
    famF.Load(famF.adc->Power2Item(), 0x0300);
    EXPECT_EQ(famF.adc->PowerMode('A'), 0);
    EXPECT_TRUE(famF.host.Active().empty());
    EXPECT_FALSE(famF.Control(A::kPowerModeAId).IsVisible());
    famF.Load(A::kControl2Item, 2);
    EXPECT_NE(famF.Warning(A::kClockAWarningId), "");
    EXPECT_EQ(famF.Warning(A::kModeAWarningId), "");
    CAdcFixture famD(kFamD, 100.0f);
    famD.Load(A::kControl2Item, 3);
    famD.Load(famD.adc->Power2Item(), 0x0300);
    EXPECT_EQ(famD.Text(A::kClockId), "25 MHz");
    EXPECT_TRUE(famD.host.Active().empty());
}

TEST(CpmADC, PowerModeIndexAboveTheTableIsCapped) {
    A::tClockLimits limits;
    limits.maximum = 15.0f;
    limits.byMode = {5.0f, 12.0f, 15.0f};
    limits.modes = 3;
    EXPECT_FLOAT_EQ(limits.ModeLimit(0), 5.0f);
    EXPECT_FLOAT_EQ(limits.ModeLimit(2), 15.0f);
    EXPECT_FLOAT_EQ(limits.ModeLimit(3), 15.0f);
    EXPECT_FLOAT_EQ(limits.ModeLimit(1000), 15.0f);
    EXPECT_FLOAT_EQ(limits.ModeLimit(-1), 5.0f);
    CAdcFixture famE(kFamE);
    EXPECT_EQ(famE.adc->NewerLimits().modes, 4);
    EXPECT_FLOAT_EQ(famE.adc->NewerLimits().ModeLimit(7), 20.0f);
    EXPECT_EQ(famE.Control(A::kPowerModeAId).Items().size(), 4u);
    CAdcFixture famD(kFamD);
    EXPECT_FLOAT_EQ(famD.adc->NewerLimits().ModeLimit(3), 25.0f);
}

TEST(CpmADC, ScanCyclesAndTimes) {
    // FamF, eight samples in a sequential scan, S = 2: (2 + 6) x 7 + 2 + 8.
    CAdcFixture famF(kFamF, 40.0f);
    famF.Load(A::kControl2Item, 3); // 10 MHz
    famF.Load(A::kControl1Item, 0x0000);
    famF.Load(famF.adc->DisableItem(), 0xFF00);
    EXPECT_DOUBLE_EQ(famF.adc->ScanCycles('A'), 66.0);
    EXPECT_EQ(famF.Text(A::kCyclesId), "66 cycles");
    EXPECT_EQ(famF.Text(A::kTimeId), "6.6 us");
    EXPECT_EQ(famF.Text(A::kCyclesBId), "0 cycles");
    EXPECT_EQ(famF.Text(A::kTimeBId), "OFF");
    // Sequential scans stop at the first disabled sample.
    famF.Load(famF.adc->DisableItem(), 0x0004);
    EXPECT_EQ(famF.adc->ScanSamples('A'), 2);
    EXPECT_DOUBLE_EQ(famF.adc->ScanCycles('A'), 18.0);
    // One sample: S + 8.
    famF.Load(famF.adc->DisableItem(), 0xFFFE);
    EXPECT_DOUBLE_EQ(famF.adc->ScanCycles('A'), 10.0);
    // Simultaneous: 0-7 on A, 8-15 on B.
    famF.Load(A::kControl1Item, 0x0001);
    famF.Load(famF.adc->DisableItem(), 0xF0F0);
    EXPECT_EQ(famF.adc->ScanSamples('A'), 4);
    EXPECT_EQ(famF.adc->ScanSamples('B'), 4);
    EXPECT_DOUBLE_EQ(famF.adc->ScanCycles('B'), 34.0);

    // Older: S = 2 with 6.5 and 4; samples 0-3 on A, 4-7 on B.
    CAdcFixture older(kDefault, 30.0f); // IP/6: 5 MHz
    older.Load(A::kControl1Item, 0x0005);
    EXPECT_DOUBLE_EQ(older.adc->ScanCycles('A'), 26.5);
    EXPECT_EQ(older.Text(A::kCyclesId), "26.5 cycles");
    EXPECT_EQ(older.Text(A::kTimeId), "5.3 us");
    older.Load(older.adc->DisableItem(), 0x00E0);
    EXPECT_EQ(older.Text(A::kCyclesBId), "8.5 cycles");
    EXPECT_EQ(older.Text(A::kTimeBId), "1.7 us");
    // Sequential: everything up to the first disabled sample on A, nothing on B.
    older.Load(A::kControl1Item, 0x0004);
    older.Load(older.adc->DisableItem(), 0x0000);
    EXPECT_DOUBLE_EQ(older.adc->ScanCycles('A'), 6.0 * 7 + 8.5);
    EXPECT_DOUBLE_EQ(older.adc->ScanCycles('B'), 0.0);

    // FamE takes each converter's sample-time field; B takes A's while converting with A.
    CAdcFixture famE(kFamE, 40.0f);
    const int control3 = famE.adc->Control3Item();
    famE.Load(A::kControl1Item, 0x0001);
    famE.Load(famE.adc->DisableItem(), 0xFEFE); // one sample each
    famE.Load(control3, (5 << 3) | 3);
    EXPECT_DOUBLE_EQ(famE.adc->ScanCycles('A'), 9.5);
    EXPECT_DOUBLE_EQ(famE.adc->ScanCycles('B'), 11.5);
    EXPECT_TRUE(famE.Control(A::kSampleTimeBId).IsEnabled());
    famE.Load(A::kControl2Item, 0x0042);
    EXPECT_DOUBLE_EQ(famE.adc->ScanCycles('B'), 9.5);
    EXPECT_FALSE(famE.Control(A::kSampleTimeBId).IsEnabled());
    // FamD keeps S = 2 whatever the field holds.
    CAdcFixture famD(kFamD, 100.0f);
    famD.Load(famD.adc->Control3Item(), 0x3F);
    famD.Load(famD.adc->DisableItem(), 0xFFFE);
    famD.Load(A::kControl1Item, 0x0000);
    EXPECT_DOUBLE_EQ(famD.adc->ScanCycles('A'), 10.0);
    EXPECT_FALSE(famD.Control(A::kSampleTimeAId).IsVisible());
}

TEST(CpmADC, NoClockModuleAndNoSamplesShowNoInfinity) {
    for (const std::set<int>& groups : {kDefault, kFamE, kFamD}) {
        CAdcFixture f(groups);
        EXPECT_EQ(f.Text(A::kClockId), "??");
        EXPECT_EQ(f.Text(A::kTimeId), "??");
        EXPECT_DOUBLE_EQ(f.adc->ScanSeconds('A'), 0.0);
        f.Load(f.adc->DisableItem(), 0xFFFF);
        EXPECT_EQ(f.Text(A::kCyclesId), "0 cycles");
        EXPECT_EQ(f.Text(A::kTimeId), "OFF");
        for (const std::string& text : f.Texts()) {
            EXPECT_EQ(text.find("inf"), std::string::npos) << text;
            EXPECT_EQ(text.find("nan"), std::string::npos) << text;
        }
        // No clock is below every limit.
        EXPECT_TRUE(f.host.Active().empty());
    }
    CAdcFixture clocked(kFamE, 40.0f);
    clocked.Load(clocked.adc->DisableItem(), 0xFFFF);
    EXPECT_EQ(clocked.Text(A::kTimeId), "OFF");
    EXPECT_EQ(clocked.Text(A::kTimeBId), "OFF");
}

TEST(CpmADC, SampleRowsWriteTheirFields) {
    CAdcFixture f(kFamE, 40.0f);
    CPage& page = *f.adc->Page();
    // Sample 5's channel is the second nibble of ADLST2; the list offers sixteen inputs.
    page.UserSelect(f.Control(A::SampleControlId(5, A::kChannelLocalId)), 9);
    EXPECT_EQ(f.Reg(A::kFirstListItem + 1).dwValue, 0x7694u);
    EXPECT_EQ(f.Text(A::SampleControlId(5, A::kChannelLocalId)), "ANB1");
    EXPECT_EQ(f.adc->SampleChannel(5), 9);
    // A set ADSDIS bit disables the sample: the box shows it cleared.
    page.UserClick(f.Control(A::SampleControlId(12, A::kEnabledLocalId)));
    EXPECT_EQ(f.Reg(f.adc->DisableItem()).dwValue, 1u << 12);
    EXPECT_FALSE(f.adc->IsSampleEnabled(12));
    f.Load(f.adc->DisableItem(), 0x0001);
    EXPECT_EQ(f.Control(A::SampleControlId(0, A::kEnabledLocalId)).Check(), 0);
    EXPECT_EQ(f.Control(A::SampleControlId(1, A::kEnabledLocalId)).Check(), 1);
    // Limits and offsets are 12-bit values at bits 3..14; beyond 4095 the entry is refused.
    page.UserEdit(f.Control(A::SampleControlId(3, A::kLowLimitLocalId)), "100");
    EXPECT_EQ(f.Reg(f.adc->LowLimitItem(3)).dwValue, 800u);
    page.UserEdit(f.Control(A::SampleControlId(3, A::kLowLimitLocalId)), "4096");
    EXPECT_EQ(f.Reg(f.adc->LowLimitItem(3)).dwValue, 800u);
    page.UserEdit(f.Control(A::SampleControlId(15, A::kOffsetLocalId)), "4095");
    EXPECT_EQ(f.Reg(f.adc->OffsetItem(15)).dwValue, 0x7FF8u);
    f.Load(f.adc->HighLimitItem(7), 0x7000);
    EXPECT_EQ(f.Text(A::SampleControlId(7, A::kHighLimitLocalId)), "3584");
    // Zero crossing: two bits a sample in ADZCC, for samples 0 to 7 only.
    page.UserSelect(f.Control(A::SampleControlId(7, A::kZeroCrossingLocalId)), 3);
    EXPECT_EQ(f.Reg(A::kZeroCrossingItem).dwValue, 0xC000u);
    EXPECT_TRUE(f.Control(A::SampleControlId(7, A::kZeroCrossingLocalId)).IsVisible());
    EXPECT_FALSE(f.Control(A::SampleControlId(8, A::kZeroCrossingLocalId)).IsVisible());

    // The older converters have eight inputs: three bits of each nibble.
    CAdcFixture older(kFamC, 40.0f);
    older.Load(A::kFirstListItem, 0x000F);
    EXPECT_EQ(older.adc->SampleChannel(0), 7);
    EXPECT_EQ(older.Text(A::SampleControlId(0, A::kChannelLocalId)), "ANB3");
    older.adc->Page()->UserSelect(older.Control(A::SampleControlId(1, A::kChannelLocalId)), 4);
    EXPECT_EQ(older.Reg(A::kFirstListItem).dwValue, 0x004Fu);
}

TEST(CpmADC, ReservedScanModeIsKeptAndCountsByItsParity) {
    CAdcFixture f(kDefault, 30.0f);
    f.Load(A::kControl1Item, 0x5007);
    EXPECT_EQ(f.Control(A::kScanModeId).Selection(), -1);
    EXPECT_TRUE(f.adc->ValidationProblem().empty());
    f.adc->ApplyControls();
    EXPECT_EQ(f.Reg(A::kControl1Item).dwValue, 0x5007u);
    EXPECT_TRUE(f.adc->IsSimultaneousScan());
    f.adc->Page()->UserSelect(f.Control(A::kScanModeId), 2);
    EXPECT_EQ(f.Reg(A::kControl1Item).dwValue, 0x5002u);
}

TEST(CpmADC, AnswersPowerAndPins) {
    CAdcFixture newer(kFamD);
    // ADPWR resets with both converters powered down.
    EXPECT_FALSE(hwc::AdcConverterPowered(*newer.adc, "ADC_A", 'A', true));
    EXPECT_FALSE(hwc::AdcConverterPowered(*newer.adc, "ADC_A", 'B', true));
    newer.Load(newer.adc->PowerItem(), 0x01A5);
    EXPECT_TRUE(hwc::AdcConverterPowered(*newer.adc, "ADC_A", 'B', false));
    EXPECT_FALSE(hwc::AdcConverterPowered(*newer.adc, "ADC_A", 'A', true));
    newer.adc->Page()->UserClick(newer.Control(A::kPowerDownAId));
    EXPECT_TRUE(newer.adc->IsConverterPowered('A'));
    CAdcFixture older(kFamC);
    EXPECT_TRUE(older.adc->IsConverterPowered('A'));
    EXPECT_TRUE(older.adc->IsConverterPowered('B'));

    // An input's pin is used while an enabled sample converts it.
    EXPECT_TRUE(older.adc->IsPinFunctionUsed("ANA0"));
    EXPECT_TRUE(older.adc->IsPinFunctionUsed("anb3"));
    EXPECT_FALSE(older.adc->IsPinFunctionUsed("ANB4"));
    older.Load(older.adc->DisableItem(), 0x00F0);
    EXPECT_FALSE(older.adc->IsPinFunctionUsed("ANB0"));
    EXPECT_TRUE(newer.adc->IsPinFunctionUsed("ANB7"));
    EXPECT_FALSE(newer.adc->IsPinFunctionUsed("ANC0"));
}

TEST(CpmADC, SyncInputNeedsItsCrossbarOutput) {
    t::CModuleTestHost host;
    host.groups = kFamF;
    auto& crossbar = host.Add<CpmAdcCrossbar>("XBAR_A", "XBAR");
    crossbar.outputs = {"DAC_SYNC", "PWM_A0_EXTA", "ADCA_TRIG", "ADCB_TRIG"};
    auto& adc = host.Add<CpmADC>("ADC_A", "ADC");
    host.BindAll();
    adc.SetSelected(true);
    adc.Item(A::kControl1Item).dwValue = 0x5005; // sync on
    adc.CheckWarnings();
    EXPECT_EQ(host.Warning(adc, A::kSyncWarningId).rfind("2. ADCA_TRIG. is not configured", 0), 0u)
        << host.Warning(adc, A::kSyncWarningId);
    crossbar.configured = {2};
    adc.CheckWarnings();
    EXPECT_EQ(host.Warning(adc, A::kSyncWarningId), "");
    crossbar.configured.clear();
    adc.Item(A::kControl1Item).dwValue = 0x4005; // sync off
    adc.CheckWarnings();
    EXPECT_EQ(host.Warning(adc, A::kSyncWarningId), "");
    // A crossbar without the output, or none at all, raises nothing.
    adc.Item(A::kControl1Item).dwValue = 0x5005;
    crossbar.outputs = {"DAC_SYNC"};
    adc.CheckWarnings();
    EXPECT_EQ(host.Warning(adc, A::kSyncWarningId), "");
    CAdcFixture alone(kFamF, 40.0f);
    alone.Load(A::kControl1Item, 0x5005);
    EXPECT_EQ(alone.Warning(A::kSyncWarningId), "");
}
