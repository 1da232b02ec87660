#include <gtest/gtest.h>

#include <string>

#include "model/DialogTemplate.h"
#include "model/ModelTestSupport.h"
#include "modules/analog/AnalogQueries.h"
#include "modules/analog/CpmADC_FamE.h"
#include "support/ModuleTestHost.h"

namespace {

using CHost = hwc::test::CModuleTestHost;
using C = CpmADC_FamE;

// A clock module that publishes a chosen bus clock.
class CpmSar16Clock : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmSar16Clock, CModule)
public:
    CpmSar16Clock(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    float PublishedBusClock() const override { return busMHz; }
    float busMHz = 0.0f;
};

struct CFixture {
    explicit CFixture(float busMHz = 50.0f) {
        host.groups = {CModule::kFamE};
        if (busMHz > 0.0f)
            host.Add<CpmSar16Clock>("OCCS", "OCCS").busMHz = busMHz;
        adc = &host.Add<C>("ADC16", "ADC_FamE", "", "INT:54:");
        host.BindAll();
        adc->SetSelected(true);
        adc->CreatePage();
        adc->OnInitialUpdate();
        adc->UpdateControlStates();
    }
    CPageControl& Control(int id) { return *adc->Page()->FindControl(id); }
    std::string Text(int id) { return Control(id).Text(); }
    void Select(int id, int index) {
        adc->Page()->UserSelect(Control(id), index);
        adc->Recalculate();
        adc->UpdateControlStates();
    }
    void Click(int id) {
        adc->Page()->UserClick(Control(id));
        adc->Recalculate();
        adc->UpdateControlStates();
    }
    void Edit(int id, const std::string& text) {
        adc->Page()->UserEdit(Control(id), text);
        adc->Recalculate();
    }
    std::uint32_t Value(int item) { return adc->Item(item).dwValue; }

    CHost host;
    C* adc = nullptr;
};

} // namespace

TEST(CpmADC_FamE, DefineNamesTakeTheInstanceNameOnce) {
    CFixture f;
    ASSERT_EQ(f.adc->ItemCount(), 16);
    const char* names[] = {"SC1A", "SC1B", "CFG1", "CFG2", "CV1",  "CV2",  "SC2",  "SC3",
                           "OFS",  "PG",   "MG",   "CLP4", "CLP3", "CLP2", "CLP1", "CLP0"};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(f.adc->GetDefineName(f.adc->Item(i)), std::string("ADC16_") + names[i] + "_INIT");

    // The header's defines are read back under the same names and written once.
    CAppcfgFile header;
    Define(header, "ADC16_SC1A_INIT", "0x0045");
    Define(header, "ADC16_CLP0_INIT", "0x0011");
    Define(header, "ADC16_ADC16_CFG1_INIT", "0x00FF");
    CHost host;
    C& adc = host.Add<C>("ADC16", "ADC_FamE");
    host.BindAll();
    EXPECT_TRUE(adc.LoadFromHeader(&header));
    EXPECT_EQ(adc.Item(C::kSc1aItem).dwValue, 0x45u);
    EXPECT_EQ(adc.Item(C::kClp0Item).dwValue, 0x11u);
    EXPECT_EQ(adc.Item(C::kCfg1Item).dwValue, 0u);
    std::string text;
    ASSERT_TRUE(adc.WriteHeaderText(text));
    EXPECT_NE(text.find("ADC16_SC1A_INIT"), std::string::npos) << text;
    EXPECT_NE(text.find("ADC16_CLP0_INIT"), std::string::npos) << text;
    EXPECT_EQ(text.find("ADC16_ADC16"), std::string::npos) << text;
}

TEST(CpmADC_FamE, SettingsWriteTheirFieldsAndShowTheirTexts) {
    CFixture f;
    EXPECT_EQ(f.Text(C::kChannelAId), "Module disabled");
    f.Select(C::kChannelAId, 3);
    f.Click(C::kDifferentialAId);
    f.Click(C::kInterruptAId);
    EXPECT_EQ(f.Value(C::kSc1aItem), 0x63u);
    f.Select(C::kResolutionId, 3);
    EXPECT_EQ(f.Value(C::kCfg1Item), 3u << 2);
    f.Select(C::kResolutionId, 1);
    EXPECT_EQ(f.Value(C::kCfg1Item), 2u << 2);
    EXPECT_EQ(f.Text(C::kResolutionId), "10-bit (11-bit differential)");

    EXPECT_FALSE(f.Control(C::kLongSampleTimeId).IsEnabled());
    f.Click(C::kLongSampleId);
    EXPECT_TRUE(f.Control(C::kLongSampleTimeId).IsEnabled());
    f.Select(C::kLongSampleTimeId, 2);
    f.Click(C::kHighSpeedId);
    f.Select(C::kMuxSelectId, 1);
    EXPECT_EQ(f.Value(C::kCfg2Item), 0x10u | 0x04u | 2u);

    EXPECT_FALSE(f.Control(C::kAveragesId).IsEnabled());
    f.Click(C::kAveragingId);
    f.Select(C::kAveragesId, 3);
    f.Click(C::kContinuousId);
    EXPECT_EQ(f.Value(C::kSc3Item), 0x08u | 0x04u | 3u);
    EXPECT_EQ(f.Text(C::kAveragesId), "32 samples");

    EXPECT_FALSE(f.Control(C::kCompareValue1Id).IsEnabled());
    f.Click(C::kCompareEnableId);
    EXPECT_TRUE(f.Control(C::kCompareValue1Id).IsEnabled());
    EXPECT_FALSE(f.Control(C::kCompareValue2Id).IsEnabled());
    f.Click(C::kCompareRangeId);
    EXPECT_TRUE(f.Control(C::kCompareValue2Id).IsEnabled());
    f.Select(C::kTriggerId, 1);
    f.Select(C::kReferenceId, 1);
    EXPECT_EQ(f.Value(C::kSc2Item), 0x40u | 0x20u | 0x08u | 1u);
}

TEST(CpmADC_FamE, ValuesAreCheckedAgainstTheirFields) {
    CFixture f;
    EXPECT_EQ(f.Text(C::kOffsetId), "0x4");
    EXPECT_EQ(f.Text(C::kPlusGainId), "0x8200");
    f.Edit(C::kCompareValue1Id, "0xFFFF");
    EXPECT_EQ(f.Value(C::kCv1Item), 0xFFFFu);
    f.Edit(C::kCompareValue1Id, "0x10000");
    EXPECT_EQ(f.Value(C::kCv1Item), 0xFFFFu);
    f.Edit(C::kCompareValue2Id, "12O");
    EXPECT_EQ(f.Value(C::kCv2Item), 0u);
    // CLP4 holds 10 bits, CLP0 six.
    f.Edit(C::kFirstCalibrationId, "0x3FF");
    EXPECT_EQ(f.Value(C::kClp4Item), 0x3FFu);
    f.Edit(C::kFirstCalibrationId, "0x400");
    EXPECT_EQ(f.Value(C::kClp4Item), 0x3FFu);
    f.Edit(C::kFirstCalibrationId + 4, "0x3F");
    EXPECT_EQ(f.Value(C::kClp0Item), 0x3Fu);
    f.Edit(C::kFirstCalibrationId + 4, "0x40");
    EXPECT_EQ(f.Value(C::kClp0Item), 0x3Fu);
}

TEST(CpmADC_FamE, ConversionCyclesByResolutionInputSampleAndAveraging) {
    CFixture f;
    // Single-ended 8-bit: 3 + 17.
    EXPECT_EQ(f.adc->ConversionCycles(), 20);
    f.Select(C::kResolutionId, 3);
    EXPECT_EQ(f.adc->ConversionCycles(), 28);
    f.Click(C::kDifferentialAId);
    EXPECT_EQ(f.adc->ConversionCycles(), 37);
    f.Click(C::kLongSampleId); // +20
    EXPECT_EQ(f.adc->ConversionCycles(), 57);
    f.Select(C::kLongSampleTimeId, 3); // +2
    f.Click(C::kHighSpeedId);          // +2
    EXPECT_EQ(f.adc->ConversionCycles(), 41);
    f.Click(C::kAveragingId); // 4 results
    EXPECT_EQ(f.adc->ConversionCycles(), 3 + 4 * 38);
    f.Select(C::kAveragesId, 3);
    EXPECT_EQ(f.adc->ConversionCycles(), 3 + 32 * 38);
    // Conversion B's input does not count.
    f.Click(C::kDifferentialBId);
    EXPECT_EQ(f.adc->ConversionCycles(), 3 + 32 * 38);
}

TEST(CpmADC_FamE, ClockConversionTimeAndLimitByResolution) {
    CFixture f(50.0f);
    f.adc->Recalculate();
    EXPECT_EQ(f.Text(C::kClockId), "50 MHz");
    EXPECT_EQ(f.host.Warning(C::kClockLimitId),
              "ADC clock frequency exceeds maximum operating frequency (18.000 MHz)");
    f.Select(C::kClockDivideId, 2);
    EXPECT_EQ(f.Text(C::kClockId), "12.5 MHz");
    EXPECT_FALSE(f.host.Warns(C::kClockLimitId));
    EXPECT_EQ(f.Text(C::kClockLimitId), "should be < 18 MHz");
    // 16-bit conversions need a slower clock.
    f.Select(C::kResolutionId, 3);
    EXPECT_EQ(f.Text(C::kClockLimitId), "max: 12.000 MHz");
    f.Select(C::kInputClockId, 1);
    EXPECT_EQ(f.Text(C::kClockId), "6.25 MHz");
    EXPECT_FALSE(f.host.Warns(C::kClockLimitId));
    // 28 cycles at 6.25 MHz and 5 bus cycles at 50 MHz.
    EXPECT_EQ(f.Text(C::kConversionTimeId), "4.58 us");
    // The asynchronous clock by power and speed settings.
    f.Select(C::kClockDivideId, 0);
    f.Select(C::kInputClockId, 3);
    EXPECT_EQ(f.Text(C::kClockId), "4 MHz");
    f.Click(C::kHighSpeedId);
    EXPECT_EQ(f.Text(C::kClockId), "6.2 MHz");
    f.Click(C::kLowPowerId);
    EXPECT_EQ(f.Text(C::kClockId), "5.2 MHz");
    f.Click(C::kHighSpeedId);
    EXPECT_EQ(f.Text(C::kClockId), "2.4 MHz");
    EXPECT_FLOAT_EQ(hwc::SarConverterInputClock(*f.adc, "ADC16"), 2.4f);
    EXPECT_EQ(hwc::SarConverterDivisorField(*f.adc, "ADC16", -1), 0);
}

TEST(CpmADC_FamE, WithoutAClockModuleTimesAreUnknown) {
    CFixture f(0.0f);
    f.adc->Recalculate();
    EXPECT_EQ(f.Text(C::kClockId), "??");
    EXPECT_EQ(f.Text(C::kConversionTimeId), "??");
    f.Select(C::kInputClockId, 2);
    EXPECT_EQ(f.Text(C::kClockId), "??");
    EXPECT_EQ(f.Text(C::kConversionTimeId), "??");
    EXPECT_FALSE(f.host.Warns(C::kClockLimitId));
}

TEST(CpmADC_FamE, UnwrittenConverterRaisesNoClockWarning) {
    CFixture f(50.0f);
    f.adc->SetSelected(false);
    f.adc->Recalculate();
    EXPECT_FALSE(f.host.Warns(C::kClockLimitId));
    f.adc->SetSelected(true);
    f.adc->Recalculate();
    EXPECT_TRUE(f.host.Warns(C::kClockLimitId));
}
