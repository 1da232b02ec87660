#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "model/DialogTemplate.h"
#include "model/ModelTestSupport.h"
#include "support/ModuleTestHost.h"
#include "modules/framework/CModule.h"

namespace {

using CGroupHost = hwc::test::CModuleTestHost;

// A peripheral whose page has two row placeholders, one heading placeholder and a pin status.
class CpmPeriphTest : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmPeriphTest, CModule)
public:
    CpmPeriphTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 300, descriptor, nullptr, 0) {}
    const CDialogTemplate* DialogTemplate() const override {
        static const CDialogTemplate page(300,
                                          {dlg::Placeholder(510), dlg::Placeholder(500),
                                           dlg::Placeholder(501), dlg::Link(kPinStatusId, "")});
        return &page;
    }
    bool IsPinFunctionUsed(const std::string& signal) const override {
        return unused.count(signal) == 0;
    }
    std::set<std::string> unused;
};

// An interrupt controller that counts the rows given to it.
class CpmIntcTest : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmIntcTest, CModule)
public:
    CpmIntcTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    void AttachInterruptRow(CInterruptRow&) override { ++attached; }
    int attached = 0;
};

// A GPIO port whose pins carry the signals listed in `pins` (signal, function index, current).
class CpmGpioTest : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmGpioTest, CModule)
public:
    struct tPin {
        std::string signal;
        int function;
        bool current;
    };
    CpmGpioTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
    void AddPinFunctions(const CModule&, CPinFuncContextMap& map) override {
        for (std::size_t i = 0; i < pins.size(); ++i)
            map.AddPin(pins[i].signal, {this, static_cast<int>(i)}, pins[i].function,
                       pins[i].current);
    }
    bool SelectPinFunction(int pin, int function) override {
        selections.push_back({pin, function});
        pins[pin].current = true;
        return true;
    }
    std::vector<tPin> pins;
    std::vector<std::pair<int, int>> selections;
};

CModuleDescriptor WithVectors(const std::string& instance, const std::string& typeKey,
                              const std::string& interruptList) {
    CModuleDescriptor descriptor(instance, typeKey);
    descriptor.SetField(CModuleDescriptor::kInterruptList, interruptList);
    return descriptor;
}

std::string PinLink(const std::string& signal, int pin) {
    return LinkText("GPIOA", "GPIO", "GPIOA", signal.c_str(), ((0xE900u + pin) << 16) | 1001u,
                    nullptr, false);
}

} // namespace

TEST(CModule, InstanceNumberIsTheTrailingDigit) {
    CGroupHost host;
    EXPECT_EQ(host.Add<CpmPeriphTest>(CModuleDescriptor("TMR3", "TMR")).InstanceNumber(), 3);
    EXPECT_EQ(host.Add<CpmPeriphTest>(CModuleDescriptor("SCI", "SCI")).InstanceNumber(), 0);
    EXPECT_EQ(host.Add<CpmPeriphTest>(CModuleDescriptor("", "")).InstanceNumber(), 0);
}

TEST(CModule, InterruptVectorsComeFromTheSecondField) {
    using hwc::ParseInterruptVectors;
    EXPECT_EQ(ParseInterruptVectors("ADC:0x2A, 43,052:rest"), (std::vector<int>{42, 43, 42}));
    EXPECT_EQ(ParseInterruptVectors("ADC:7"), (std::vector<int>{7}));
    // Unreadable parts are skipped; malformed lists give what can be read.
    EXPECT_EQ(ParseInterruptVectors("ADC:1,,x,2U,:9"), (std::vector<int>{1, 2}));
    EXPECT_TRUE(ParseInterruptVectors("").empty());
    EXPECT_TRUE(ParseInterruptVectors("no colon 12").empty());
    EXPECT_TRUE(ParseInterruptVectors(":::").empty());
    static const char kBinary[] = "A:\0,\xff,99999999999999999999";
    EXPECT_TRUE(ParseInterruptVectors(std::string(kBinary, sizeof kBinary - 1)).empty());
    EXPECT_EQ(ParseInterruptVectors("A:" + std::string(1 << 20, ',') + "5").size(), 1u);
}

TEST(CModule, InterruptRowsReplaceTheirPlaceholders) {
    CGroupHost host;
    auto& two = host.Add<CpmPeriphTest>(WithVectors("SPI0", "SPI", "SPI0:20,21"));
    auto& none = host.Add<CpmPeriphTest>(WithVectors("SPI1", "SPI", ""));
    auto& three = host.Add<CpmPeriphTest>(WithVectors("SPI2", "SPI", "SPI2:1,2,3"));
    for (CModuleBase* module : {static_cast<CModuleBase*>(&two), static_cast<CModuleBase*>(&none),
                                static_cast<CModuleBase*>(&three)})
        ASSERT_TRUE(module->CreatePage());

    ASSERT_EQ(two.InterruptRows().size(), 2u);
    EXPECT_EQ(two.InterruptRows()[1].vector, 21);
    for (int i = 0; i < 2; ++i) {
        CPage* row = two.Page()->FindControl(500 + i)->SubPage();
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(row, two.InterruptRows()[i].page);
        EXPECT_EQ(row->TemplateId(), CModule::kWideRowTemplate);
        EXPECT_TRUE(row->IsVisible());
    }
    CPage* heading = two.Page()->FindControl(510)->SubPage();
    ASSERT_NE(heading, nullptr);
    EXPECT_EQ(heading->TemplateId(), CModule::kWideHeadingTemplate);
    EXPECT_NE(heading->FindControlByText("ISR Name:"), nullptr);
    EXPECT_TRUE(two.HasPinStatus());

    EXPECT_TRUE(none.InterruptRows().empty());
    EXPECT_EQ(none.Page()->FindControl(500)->SubPage(), nullptr);

    // A vector without its placeholder has no row on the page.
    EXPECT_EQ(three.InterruptRows()[2].page, nullptr);
}

TEST(CModule, InterruptControllerFollowsTheProcessorGroup) {
    CGroupHost host;
    auto& module = host.Add<CpmPeriphTest>(WithVectors("TMR0", "TMR", "TMR0:3,4"));
    auto& wintc = host.Add<CpmIntcTest>(CModuleDescriptor("WINTC", "INTC"));
    ASSERT_TRUE(module.CreatePage());

    // No controller of the expected name: rows stay unattached but still show.
    host.BindAll();
    EXPECT_EQ(module.FindInterruptController(), nullptr);
    EXPECT_EQ(module.InterruptRows()[0].controller, nullptr);
    EXPECT_EQ(wintc.attached, 0);
    EXPECT_NE(module.Page()->FindControl(500)->SubPage(), nullptr);

    host.groups = {CModule::kFamA};
    host.BindAll();
    EXPECT_EQ(module.InterruptRows()[1].controller, &wintc);
    EXPECT_EQ(wintc.attached, 2);

    CGroupHost famG;
    auto& other = famG.Add<CpmPeriphTest>(WithVectors("TMR0", "TMR", "TMR0:3"));
    famG.Add<CpmIntcTest>(CModuleDescriptor("INTC", "INTC"));
    auto& itcn = famG.Add<CpmIntcTest>(CModuleDescriptor("ITCN", "INTC"));
    famG.groups = {CModule::kFamG};
    EXPECT_EQ(other.FindInterruptController(), &itcn);
}

TEST(CModule, PinStatusWithoutGpioModules) {
    CGroupHost host;
    auto& module = host.Add<CpmPeriphTest>(CModuleDescriptor("SCI0", "SCI"));
    ASSERT_TRUE(module.CreatePage());
    host.BindAll();

    EXPECT_FALSE(module.OnLinkCommand(nullptr, tModuleLink{}, "OTHER"));
    EXPECT_TRUE(module.OnLinkCommand(nullptr, tModuleLink{}, "FIXPINS"));
    EXPECT_FALSE(module.Page()->FindControl(CModule::kPinStatusId)->IsVisible());
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_FALSE(host.calls[0].active);
    EXPECT_EQ(module.GetBusClock(), 0.0f);
}

TEST(CModule, PinStatusReportsMissingSignalsAndFixPinsRoutesThem) {
    CGroupHost host;
    auto& module = host.Add<CpmPeriphTest>(CModuleDescriptor("SCI0", "SCI"));
    auto& gpio = host.Add<CpmGpioTest>(CModuleDescriptor("GPIOA", "GPIO"));
    gpio.pins = {{"TXD0", 2, true}, {"RXD0", 1, false}};
    ASSERT_TRUE(module.CreatePage());
    host.BindAll();

    module.UpdatePinStatus();
    CPageControl& status = *module.Page()->FindControl(CModule::kPinStatusId);
    const std::string missing =
        "One module signal (out of two) is not available on any device pin. See " +
        PinLink("RXD0", 1);
    EXPECT_EQ(status.Text(), missing + ".");
    EXPECT_TRUE(status.IsVisible());
    EXPECT_EQ(status.TextColour(), (tColour{128, 0, 0}));
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_TRUE(host.calls[0].active);
    EXPECT_EQ(host.calls[0].message, missing);

    EXPECT_TRUE(module.OnLinkCommand(nullptr, tModuleLink{}, "FIXPINS"));
    EXPECT_EQ(gpio.selections, (std::vector<std::pair<int, int>>{{1, 1}}));
    EXPECT_EQ(status.Text(), "Both module pins are configured properly in " + PinLink("TXD0", 0) +
                                 " and " + PinLink("RXD0", 1) + ".");
    EXPECT_EQ(status.TextColour(), (tColour{0, 0, 0}));
    EXPECT_FALSE(host.calls.back().active);

    // Repairing again changes nothing.
    EXPECT_TRUE(module.OnLinkCommand(nullptr, tModuleLink{}, "FIXPINS"));
    EXPECT_EQ(gpio.selections.size(), 1u);
}

TEST(CModule, PinStatusCountsAndDuplicates) {
    CGroupHost host;
    auto& module = host.Add<CpmPeriphTest>(CModuleDescriptor("PWM0", "PWM"));
    auto& gpio = host.Add<CpmGpioTest>(CModuleDescriptor("GPIOA", "GPIO"));
    ASSERT_TRUE(module.CreatePage());
    host.BindAll();
    CPageControl& status = *module.Page()->FindControl(CModule::kPinStatusId);

    gpio.pins = {{"A", 0, false}, {"B", 0, false}, {"C", 0, false}};
    module.UpdatePinStatus();
    EXPECT_TRUE(status.Text().starts_with("Three module pins (out of three) are not available"));

    gpio.pins.clear();
    for (int i = 0; i < 12; ++i)
        gpio.pins.push_back({"S" + std::to_string(i), 0, true});
    gpio.pins.push_back({"S0", 0, true});
    module.UpdatePinStatus();
    EXPECT_TRUE(status.Text().starts_with("All 12 module pins are configured properly in "));
    EXPECT_TRUE(
        status.Text().ends_with(". Be aware that there are pins with duplicated functionality in " +
                                PinLink("S0", 0) + " and " + PinLink("S0", 12) + "."));

    // Signals the module does not use count for nothing: the line is cleared.
    gpio.pins = {{"A", 0, false}};
    module.unused = {"A"};
    module.UpdatePinStatus();
    EXPECT_FALSE(status.IsVisible());
    EXPECT_FALSE(host.calls.back().active);
}

TEST(CModule, GenerationBoundModulesImportOnlyWithinTheirGeneration) {
    CGroupHost famG;
    CGroupHost other;
    famG.groups = {CModule::kFamG};
    auto& spiG = famG.Add<CpmPeriphTest>(CModuleDescriptor("SPI0", "SPI"));
    auto& spi = other.Add<CpmPeriphTest>(CModuleDescriptor("SPI0", "SPI"));
    auto& tmrG = famG.Add<CpmPeriphTest>(CModuleDescriptor("TMR0", "TMR"));
    auto& tmr = other.Add<CpmPeriphTest>(CModuleDescriptor("TMR0", "TMR"));
    auto& intc = other.Add<CpmIntcTest>(CModuleDescriptor("INTC", "INTC"));
    famG.BindAll();
    other.BindAll();

    bool forbidden = false;
    EXPECT_FALSE(spi.IsImportCompatible(spiG, forbidden));
    EXPECT_TRUE(forbidden);
    EXPECT_FALSE(spiG.IsImportCompatible(spi, forbidden));
    EXPECT_TRUE(forbidden);
    EXPECT_TRUE(tmr.IsImportCompatible(tmrG, forbidden));
    EXPECT_FALSE(forbidden);
    EXPECT_TRUE(spi.IsImportCompatible(tmr, forbidden));
    EXPECT_FALSE(tmr.IsImportCompatible(intc, forbidden));

    other.groups = {CModule::kFamG, CModule::kFamD};
    EXPECT_TRUE(spi.IsImportCompatible(spiG, forbidden));
    EXPECT_FALSE(forbidden);
}
