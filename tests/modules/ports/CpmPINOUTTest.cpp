#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "modules/ports/CpmGPIO.h"
#include "modules/ports/CpmPINOUT.h"
#include "modules/ports/PortQueries.h"
#include "modules/system/CpmSYS_FamE_FamF_FamD.h"
#include "modules/system/CpmSYS_V2.h"
#include "support/ModuleTestHost.h"

namespace {

using hwc::test::CModuleTestHost;
using hwc::test::kFamA;
using hwc::test::kFamE;
using hwc::test::kFamF;
using hwc::test::kFamG;
using hwc::test::kFamH;

// A port whose pins each list (owner, function) alternatives after "GPIO"; selection 0 is GPIO.
class CpmFakeGpio : public CModule, public hwc::IGpioPort {
    HWC_DECLARE_MODULE_CLASS(CpmFakeGpio, CModule)
public:
    static constexpr tPerCfgDef kTable[] = {{"PER_INIT", 0, hwc::RegFlag::DW16}};
    struct tPin {
        std::vector<std::pair<std::string, std::string>> functions;
        int selected = 0;
    };

    CpmFakeGpio(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, kTable, 1) {}

    void AddPinFunctions(const CModule& peripheral, CPinFuncContextMap& map) override {
        for (std::size_t pin = 0; pin < pins.size(); ++pin) {
            const auto& functions = pins[pin].functions;
            for (std::size_t k = 0; k < functions.size(); ++k) {
                if (functions[k].first != peripheral.InstanceName())
                    continue;
                const int index = static_cast<int>(k) + 1;
                map.AddPin(functions[k].second, {this, static_cast<int>(pin)}, index,
                           pins[pin].selected == index);
            }
        }
    }
    bool SelectPinFunction(int pin, int functionIndex) override {
        selections.emplace_back(pin, functionIndex);
        if (pin < 0 || pin >= static_cast<int>(pins.size()))
            return false;
        pins[pin].selected = functionIndex;
        const std::uint32_t bit = 1u << pin;
        Item(0).dwValue = functionIndex ? (Item(0).dwValue | bit) : (Item(0).dwValue & ~bit);
        return true;
    }
    std::vector<hwc::tPinName> PinNames() const override {
        std::vector<hwc::tPinName> names;
        for (std::size_t pin = 0; pin < pins.size(); ++pin) {
            const tPin& p = pins[pin];
            std::string description = "GPIO";
            for (const auto& function : p.functions)
                description += "/" + function.second;
            names.push_back({InstanceName() + std::to_string(pin),
                             p.selected ? p.functions[p.selected - 1].second : "GPIO",
                             description});
        }
        return names;
    }
    bool DescriptionMentions(std::string_view text) const override {
        return description.find(text) != std::string::npos;
    }
    const tPerCfgItem* PeripheralEnableRegister() const override { return &Item(0); }

    std::vector<tPin> pins;
    std::string description;
    std::vector<std::pair<int, int>> selections;
};

// A peripheral whose signals the ports carry.
class CpmFakePeripheral : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmFakePeripheral, CModule)
public:
    CpmFakePeripheral(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 0, descriptor, nullptr, 0) {}
};

// A page answering script calls from a table; a function missing from it fails, as one that
// is not in the page does.
class CFakePage final : public CHtmlModule::INavigator {
public:
    void LoadAddress(const std::string& address) override { loads.push_back(address); }
    void Redraw() override {}
    std::optional<std::string> CallScript(const std::string& function,
                                          const std::vector<std::string>& arguments) override {
        std::string call = function;
        for (const std::string& argument : arguments)
            call += "|" + argument;
        calls.push_back(call);
        if (failing.count(call))
            return std::nullopt;
        const auto answer = answers.find(function);
        if (answer == answers.end())
            return std::nullopt;
        return answer->second;
    }
    // The calls of one function since the last Clear, arguments joined with '|'.
    std::vector<std::string> Calls(const std::string& function) const {
        std::vector<std::string> found;
        for (const std::string& call : calls) {
            if (call == function || call.rfind(function + "|", 0) == 0)
                found.push_back(call);
        }
        return found;
    }
    void Clear() { calls.clear(); }

    std::map<std::string, std::string> answers = {
        {"GetActiveView", "3"}, {"SetCpuName", "true"},     {"SetGpioCheckbox", "true"},
        {"SetPinName", "true"}, {"SetPreliminary", "true"}, {"ShowView", "true"},
    };
    std::set<std::string> failing; // whole calls ("SetPinName|GPIO_A0|GPIO|GPIO/TXD") that fail
    std::vector<std::string> calls;
    std::vector<std::string> loads;
};

// A document with SCI_0 and SPI_0 on two ports: GPIO_A0 carries TXD of SCI_0 or MOSI of
// SPI_0, GPIO_A1 and GPIO_B0 both carry RXD of SCI_0.
struct CPinoutFixture {
    explicit CPinoutFixture(const std::string& info = "PAGE=/pages/pinout.htm\nCPUNAME=K7Q3010",
                            bool withPorts = true) {
        host.groups = {kFamG};
        pinout = &host.Add<CpmPINOUT>("PINOUT", "PINOUT", info);
        host.Add<CpmFakePeripheral>("SCI_0", "SCI");
        host.Add<CpmFakePeripheral>("SPI_0", "SPI");
        if (withPorts) {
            a = &host.Add<CpmFakeGpio>("GPIO_A", "GPIO");
            a->pins = {{{{"SCI_0", "TXD"}, {"SPI_0", "MOSI"}}}, {{{"SCI_0", "RXD"}}}};
            b = &host.Add<CpmFakeGpio>("GPIO_B", "GPIO");
            b->pins = {{{{"SCI_0", "RXD"}}}};
        }
        host.BindAll();
        page.answers["GetGpioCheckboxes"] =
            "GPIOXB_SCI_0__TXD, GPIOXB_SCI_0__RXD,GPIOXB_SPI_0__MOSI,GPIOXB_CAN_0__TXD,"
            "GPIOXB_SCI_0";
    }
    // The browser comes, loads the page and reports it loaded.
    void Show() {
        pinout->SetNavigator(&page);
        pinout->PageLoaded();
    }
    ~CPinoutFixture() { pinout->SetNavigator(nullptr); }

    CModuleTestHost host;
    CpmPINOUT* pinout = nullptr;
    CpmFakeGpio* a = nullptr;
    CpmFakeGpio* b = nullptr;
    CFakePage page;
};

TEST(CpmPINOUT, CheckboxIdentifiers) {
    using C = CpmPINOUT;
    auto parsed = C::ParseCheckbox("GPIOXB_SCI_0__TXD");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->instance, "SCI_0");
    EXPECT_EQ(parsed->function, "TXD");
    parsed = C::ParseCheckbox("GPIOXB_GPIO_A");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->instance, "GPIO_A");
    EXPECT_EQ(parsed->function, "");
    parsed = C::ParseCheckbox("GPIOXB_GPIO_A__");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->function, "");
    for (const char* bad : {"", "GPIOXB_", "GPIOXB___TXD", "gpioxb_SCI_0__TXD", "XB_SCI_0__TXD"})
        EXPECT_FALSE(C::ParseCheckbox(bad)) << bad;
}

TEST(CpmPINOUT, ModuleInformation) {
    CPinoutFixture f("PAGE=/pages/pinout.htm\nCPUNAME=K7Q3010\nPRELIMINARY=Yes");
    EXPECT_EQ(f.pinout->PageAddress(), "/pages/pinout.htm");
    EXPECT_EQ(f.pinout->CpuName(), "K7Q3010");
    EXPECT_TRUE(f.pinout->Preliminary());
    CPinoutFixture truth("PRELIMINARY=TRUE");
    EXPECT_TRUE(truth.pinout->Preliminary());
    EXPECT_EQ(truth.pinout->PageAddress(), "");
    for (const char* info : {"PRELIMINARY=no", "PRELIMINARY=1", "PRELIMINARY=", "CPUNAME=X"}) {
        CPinoutFixture other(info);
        EXPECT_FALSE(other.pinout->Preliminary()) << info;
    }
    // A relative page lies in the program's folder.
    CPinoutFixture relative("PAGE=pinout/K7Q3010.htm");
    EXPECT_NE(relative.pinout->PageAddress(), "pinout/K7Q3010.htm");
    EXPECT_TRUE(relative.pinout->PageAddress().ends_with("/pinout/K7Q3010.htm"));
}

TEST(CpmPINOUT, CheckboxStatesFromThePinContexts) {
    CPinoutFixture f;
    // Nothing selected: every check box of an existing module is 0.
    EXPECT_EQ(f.pinout->CheckboxState("GPIOXB_SCI_0__TXD"), 0);
    EXPECT_EQ(f.pinout->CheckboxState("GPIOXB_SCI_0__RXD"), 0);
    // A function no pin offers has no contexts: 0.
    EXPECT_EQ(f.pinout->CheckboxState("GPIOXB_SCI_0__CTS"), 0);
    // Absent modules and identifiers of another form have no state.
    EXPECT_FALSE(f.pinout->CheckboxState("GPIOXB_CAN_0__TXD"));
    EXPECT_FALSE(f.pinout->CheckboxState("SCI_0__TXD"));

    // RXD on one of its two pins: 2; on both: 1.
    f.b->pins[0].selected = 1;
    EXPECT_EQ(f.pinout->CheckboxState("GPIOXB_SCI_0__RXD"), 2);
    f.a->pins[1].selected = 1;
    EXPECT_EQ(f.pinout->CheckboxState("GPIOXB_SCI_0__RXD"), 1);
    // Without a function the module's signals count together: three pins, two in use.
    EXPECT_EQ(f.pinout->CheckboxState("GPIOXB_SCI_0"), 2);
    f.a->pins[0].selected = 1;
    EXPECT_EQ(f.pinout->CheckboxState("GPIOXB_SCI_0"), 1);
    EXPECT_EQ(f.pinout->CheckboxState("GPIOXB_SPI_0__MOSI"), 0);
}

TEST(CpmPINOUT, RelatedRegistersByProcessorGroup) {
    // The ports' peripheral-enable registers, then the system module's select registers in use
    // and its clock-output register when a port description names it.
    struct tCase {
        const char* what;
        std::set<int> groups;
        bool newSystem;
        std::string systemInfo;
        std::string portDescription;
        std::vector<std::string> expected; // after the two PER registers
    };
    const std::vector<tCase> cases = {
        {"FamE, one select register", {kFamE}, true, "", "", {"-SIM_GPSAL_INIT"}},
        {"FamF, three and the clock output",
         {kFamF},
         true,
         "GPSCNT=3",
         "5, GPS3;CLKOSR2:SCI_0.TXD",
         {"-SIM_GPSAL_INIT", "-SIM_GPSAH_INIT", "-SIM_GPSBL_INIT", "-SIM_CLKOSR_INIT"}},
        {"FamE, count beyond the layout", {kFamE}, true, "GPSCNT=99", "", {}},
        {"FamE, unreadable count", {kFamE}, true, "GPSCNT=many", "", {"-SIM_GPSAL_INIT"}},
        // Entry 6 has five registers, entry 5 one: no select register at all.
        {"FamH entry 6", {kFamH, 6}, false, "GPSCNT=2", "CLKOSR", {"-SIM_CLKOSR_INIT"}},
        {"FamH entry 5", {kFamH, 5}, false, "GPSCNT=2", "CLKOSR", {}},
        {"FamH, two of two", {kFamH}, false, "GPSCNT=2", "", {"-SIM_GPSA_INIT", "-SIM_GPSB_INIT"}},
        // Other groups route pins without the system module.
        {"FamA", {kFamA}, true, "GPSCNT=2", "CLKOSR", {}},
    };
    for (const tCase& c : cases) {
        SCOPED_TRACE(c.what);
        CModuleTestHost host;
        host.groups = c.groups;
        auto& pinout = host.Add<CpmPINOUT>("PINOUT", "PINOUT");
        auto& a = host.Add<CpmFakeGpio>("GPIO_A", "GPIO");
        host.Add<CpmFakeGpio>("GPIOX", "GPIO"); // not a port the page names
        auto& c2 = host.Add<CpmFakeGpio>("GPIO_C", "GPIO");
        a.description = c.portDescription;
        if (c.newSystem)
            host.Add<CpmSYS_FamE_FamF_FamD>("SYS", "SYS_FamE_FamF_FamD", c.systemInfo);
        else
            host.Add<CpmSYS_V2_Classic>("SYS", "SYS_V2_Classic", c.systemInfo);
        host.BindAll();
        std::vector<tPerCfgItem*> expected = {&a.Item(0), &c2.Item(0)};
        CModuleBase* sys = CModuleBase::FindModule(&host, "SYS");
        for (const std::string& name : c.expected)
            expected.push_back(sys->FindRegister(name));
        if (c.systemInfo == "GPSCNT=99") // every one of the fourteen
            for (int i = 0; i < 14; ++i)
                expected.push_back(&sys->Item(5 + i));
        EXPECT_EQ(pinout.ForeignItems(), expected);
        // Binding again does not list them twice.
        pinout.BindControls(&host);
        EXPECT_EQ(pinout.ForeignItems().size(), expected.size());
    }
    // No ports and no system module: nothing.
    CModuleTestHost empty;
    empty.groups = {kFamE};
    auto& pinout = empty.Add<CpmPINOUT>("PINOUT", "PINOUT");
    empty.BindAll();
    EXPECT_TRUE(pinout.ForeignItems().empty());
}

TEST(CpmPINOUT, LoadedPageGetsNamesStatesAndProcessor) {
    CPinoutFixture f("PAGE=/p.htm\nCPUNAME=K7Q3010\nPRELIMINARY=yes");
    f.a->pins[0].selected = 2; // MOSI
    f.Show();
    EXPECT_EQ(f.page.loads, std::vector<std::string>{"/p.htm"});
    EXPECT_EQ(f.page.Calls("SetCpuName"), std::vector<std::string>{"SetCpuName|K7Q3010"});
    EXPECT_EQ(f.page.Calls("SetPreliminary"), std::vector<std::string>{"SetPreliminary|1"});
    EXPECT_EQ(f.page.Calls("SetPinName"),
              (std::vector<std::string>{"SetPinName|GPIO_A0|MOSI|GPIO/TXD/MOSI",
                                        "SetPinName|GPIO_A1|GPIO|GPIO/RXD",
                                        "SetPinName|GPIO_B0|GPIO|GPIO/RXD"}));
    // The absent CAN_0 is skipped.
    EXPECT_EQ(f.page.Calls("SetGpioCheckbox"),
              (std::vector<std::string>{
                  "SetGpioCheckbox|GPIOXB_SCI_0__TXD|0", "SetGpioCheckbox|GPIOXB_SCI_0__RXD|0",
                  "SetGpioCheckbox|GPIOXB_SPI_0__MOSI|1", "SetGpioCheckbox|GPIOXB_SCI_0|0"}));
    EXPECT_EQ(f.page.Calls("GetGpioCheckboxes").size(), 1u);
    // No view to restore on the first load.
    EXPECT_TRUE(f.page.Calls("ShowView").empty());

    // The list is fetched once; a refresh without changes sends nothing.
    f.page.Clear();
    f.pinout->CheckWarnings();
    EXPECT_EQ(f.page.calls, std::vector<std::string>{});
    // A change sends what it changed.
    f.b->pins[0].selected = 1;
    f.pinout->CheckWarnings();
    EXPECT_EQ(f.page.calls, (std::vector<std::string>{"SetPinName|GPIO_B0|RXD|GPIO/RXD",
                                                      "SetGpioCheckbox|GPIOXB_SCI_0__RXD|2",
                                                      "SetGpioCheckbox|GPIOXB_SCI_0|2"}));
}

TEST(CpmPINOUT, ReloadRestoresTheShownView) {
    CPinoutFixture f;
    f.Show();
    EXPECT_TRUE(f.page.Calls("SetPreliminary").empty());
    f.page.Clear();
    f.pinout->Navigate("/p.htm");
    EXPECT_EQ(f.page.Calls("GetActiveView").size(), 1u);
    f.pinout->PageLoaded();
    EXPECT_EQ(f.page.Calls("ShowView"), std::vector<std::string>{"ShowView|3"});
    // A new document gets everything again, its check box list included.
    EXPECT_EQ(f.page.Calls("SetPinName").size(), 3u);
    EXPECT_EQ(f.page.Calls("GetGpioCheckboxes").size(), 1u);

    // A view that is no number is not restored.
    f.page.answers["GetActiveView"] = "3a";
    f.page.Clear();
    f.pinout->Navigate("/p.htm");
    f.pinout->PageLoaded();
    EXPECT_TRUE(f.page.Calls("ShowView").empty());
}

TEST(CpmPINOUT, FailedCallsAreSentAgainAtTheNextRefresh) {
    CPinoutFixture f;
    f.page.failing = {"SetPinName|GPIO_A1|GPIO|GPIO/RXD", "SetGpioCheckbox|GPIOXB_SCI_0__TXD|0"};
    f.Show();
    f.page.Clear();
    f.pinout->CheckWarnings();
    EXPECT_EQ(f.page.calls, (std::vector<std::string>{"SetPinName|GPIO_A1|GPIO|GPIO/RXD",
                                                      "SetGpioCheckbox|GPIOXB_SCI_0__TXD|0"}));
    f.page.failing.clear();
    f.page.Clear();
    f.pinout->CheckWarnings();
    EXPECT_EQ(f.page.calls.size(), 2u);
    f.page.Clear();
    f.pinout->CheckWarnings();
    EXPECT_TRUE(f.page.calls.empty());

    // An answer of another type is a failure too.
    f.page.answers["SetPinName"] = "pin";
    f.b->pins[0].selected = 1;
    f.pinout->CheckWarnings();
    f.page.answers["SetPinName"] = "false";
    f.page.Clear();
    f.pinout->CheckWarnings();
    EXPECT_EQ(f.page.Calls("SetPinName"),
              std::vector<std::string>{"SetPinName|GPIO_B0|RXD|GPIO/RXD"});
}

TEST(CpmPINOUT, NothingIsSentWithoutAPageOrItsFunctions) {
    // Without a browser (a headless run) nor before a page has loaded.
    CPinoutFixture headless;
    headless.pinout->CheckWarnings();
    EXPECT_FALSE(headless.pinout->ToggleCheckbox("GPIOXB_CAN_0__TXD"));
    EXPECT_TRUE(headless.pinout->ToggleCheckbox("GPIOXB_SCI_0__TXD"));
    EXPECT_EQ(headless.a->pins[0].selected, 1);
    CPinoutFixture unloaded;
    unloaded.pinout->SetNavigator(&unloaded.page);
    unloaded.pinout->CheckWarnings();
    EXPECT_TRUE(unloaded.page.calls.empty());

    // Without a page address nothing loads and nothing is called.
    CPinoutFixture noPage("CPUNAME=K7Q3010");
    noPage.pinout->SetNavigator(&noPage.page);
    noPage.pinout->CheckWarnings();
    EXPECT_TRUE(noPage.page.loads.empty());
    EXPECT_TRUE(noPage.page.calls.empty());

    // A page without the functions: the check box list is asked once, nothing else follows.
    CPinoutFixture bare;
    bare.page.answers.clear();
    bare.Show();
    EXPECT_EQ(bare.page.Calls("GetGpioCheckboxes").size(), 1u);
    EXPECT_TRUE(bare.page.Calls("SetGpioCheckbox").empty());
    bare.page.Clear();
    bare.pinout->CheckWarnings();
    EXPECT_TRUE(bare.page.Calls("GetGpioCheckboxes").empty());
    EXPECT_EQ(bare.page.Calls("SetPinName").size(), 3u);
    EXPECT_TRUE(bare.host.warnings.empty());
}

TEST(CpmPINOUT, ActivatingACheckboxTogglesItsPins) {
    CPinoutFixture f;
    f.Show();
    f.page.Clear();
    // State 0: the function goes to its first candidate pin.
    EXPECT_TRUE(f.pinout->ElementActivated("GPIOXB_SCI_0__RXD"));
    EXPECT_EQ(f.a->selections, (std::vector<std::pair<int, int>>{{1, 1}}));
    EXPECT_TRUE(f.b->selections.empty());
    EXPECT_EQ(f.a->Item(0).dwValue, 0x2u);
    // The names and states are sent again, all of them.
    EXPECT_EQ(f.page.Calls("SetPinName").size(), 3u);
    EXPECT_EQ(f.page.Calls("SetGpioCheckbox"),
              (std::vector<std::string>{
                  "SetGpioCheckbox|GPIOXB_SCI_0__TXD|0", "SetGpioCheckbox|GPIOXB_SCI_0__RXD|2",
                  "SetGpioCheckbox|GPIOXB_SPI_0__MOSI|0", "SetGpioCheckbox|GPIOXB_SCI_0|2"}));

    // State 2 (and 1): every pin carrying it goes back to GPIO.
    f.b->pins[0].selected = 1;
    f.a->selections.clear();
    EXPECT_TRUE(f.pinout->ElementActivated("GPIOXB_SCI_0__RXD"));
    EXPECT_EQ(f.a->selections, (std::vector<std::pair<int, int>>{{1, 0}}));
    EXPECT_EQ(f.b->selections, (std::vector<std::pair<int, int>>{{0, 0}}));
    EXPECT_EQ(f.pinout->CheckboxState("GPIOXB_SCI_0__RXD"), 0);
    EXPECT_EQ(f.a->Item(0).dwValue, 0u);

    // A pin carrying another function gives it up for the selected one.
    f.a->pins[0].selected = 2;
    EXPECT_TRUE(f.pinout->ElementActivated("GPIOXB_SCI_0__TXD"));
    EXPECT_EQ(f.a->pins[0].selected, 1);
    EXPECT_EQ(f.pinout->CheckboxState("GPIOXB_SPI_0__MOSI"), 0);

    // The whole module at once.
    EXPECT_TRUE(f.pinout->ElementActivated("GPIOXB_SCI_0"));
    EXPECT_EQ(f.pinout->CheckboxState("GPIOXB_SCI_0"), 0);
    EXPECT_TRUE(f.pinout->ElementActivated("GPIOXB_SCI_0"));
    EXPECT_EQ(f.pinout->CheckboxState("GPIOXB_SCI_0__TXD"), 1);
    EXPECT_EQ(f.pinout->CheckboxState("GPIOXB_SCI_0__RXD"), 2);
}

TEST(CpmPINOUT, OtherElementsAndAbsentModulesChangeNothing) {
    CPinoutFixture f;
    f.Show();
    f.page.Clear();
    EXPECT_FALSE(f.pinout->ElementActivated("SomeButton"));
    EXPECT_FALSE(f.pinout->ElementActivated(""));
    // Handled, but nothing to toggle and nothing sent.
    EXPECT_TRUE(f.pinout->ElementActivated("GPIOXB_CAN_0__TXD"));
    EXPECT_TRUE(f.page.calls.empty());
    EXPECT_TRUE(f.a->selections.empty());
    // A function no pin offers: nothing selected, the page still hears the states again.
    EXPECT_TRUE(f.pinout->ElementActivated("GPIOXB_SCI_0__CTS"));
    EXPECT_TRUE(f.a->selections.empty());
    EXPECT_TRUE(f.b->selections.empty());
    EXPECT_EQ(f.page.Calls("SetGpioCheckbox").size(), 4u);
}

TEST(CpmPINOUT, RealPortsMoveFunctionsThroughTheSystemSelects) {
    // A FamE port as the architecture files describe it: the second function of a pin is chosen
    // by a peripheral-select bit of the system module.
    CModuleTestHost host;
    host.groups = {kFamE};
    auto& pinout = host.Add<CpmPINOUT>("PINOUT", "PINOUT", "PAGE=/p.htm");
    auto& sys = host.Add<CpmSYS_FamE_FamF_FamD>("SYS", "SYS_FamE_FamF_FamD", "GPSCNT=2");
    host.Add<CpmFakePeripheral>("QT_A0", "QT");
    host.Add<CpmFakePeripheral>("HSCMP_A", "HSCMP");
    auto& port = host.Add<CpmGPIO>("GPIO_C", "GPIO",
                                   "PER=0x0004\n2, QT_A0.TA0, GPS18:HSCMP_A.CMPA_O\n"
                                   "3, HSCMP_A.CMPA_O\n");
    host.BindAll();
    const tPerCfgItem* per = port.PeripheralEnableRegister();
    ASSERT_NE(per, nullptr);
    tPerCfgItem* selects = sys.FindRegister("-SIM_GPSAH_INIT");
    EXPECT_EQ(pinout.ForeignItems(),
              (std::vector<tPerCfgItem*>{const_cast<tPerCfgItem*>(per),
                                         sys.FindRegister("-SIM_GPSAL_INIT"), selects}));
    CFakePage page;
    page.answers["GetGpioCheckboxes"] = "GPIOXB_QT_A0__TA0,GPIOXB_HSCMP_A__CMPA_O";
    pinout.SetNavigator(&page);
    pinout.PageLoaded();
    EXPECT_EQ(page.Calls("SetPinName").front(), "SetPinName|GPIO_C2|TA0|GPIO, TA0, CMPA_O");
    EXPECT_EQ(page.Calls("SetGpioCheckbox"),
              (std::vector<std::string>{"SetGpioCheckbox|GPIOXB_QT_A0__TA0|1",
                                        "SetGpioCheckbox|GPIOXB_HSCMP_A__CMPA_O|0"}));

    // The comparator output goes to its first pin, which then leaves the timer.
    page.Clear();
    pinout.ElementActivated("GPIOXB_HSCMP_A__CMPA_O");
    EXPECT_EQ(per->dwValue, 0x0004u);
    EXPECT_EQ(selects->dwValue, 0x0004u);
    EXPECT_EQ(page.Calls("SetGpioCheckbox"),
              (std::vector<std::string>{"SetGpioCheckbox|GPIOXB_QT_A0__TA0|0",
                                        "SetGpioCheckbox|GPIOXB_HSCMP_A__CMPA_O|2"}));
    // Off again: the pin becomes a GPIO, its select bit stays as it was.
    pinout.ElementActivated("GPIOXB_HSCMP_A__CMPA_O");
    EXPECT_EQ(per->dwValue, 0u);
    EXPECT_EQ(pinout.CheckboxState("GPIOXB_HSCMP_A__CMPA_O"), 0);
    EXPECT_EQ(pinout.CheckboxState("GPIOXB_QT_A0__TA0"), 0);
    pinout.SetNavigator(nullptr);
}

// A page whose SetPinName makes the document refresh again while it is being called, as the
// event loop of a waiting call can.
class CReentrantPage final : public CHtmlModule::INavigator {
public:
    void LoadAddress(const std::string&) override {}
    void Redraw() override {}
    std::optional<std::string> CallScript(const std::string& function,
                                          const std::vector<std::string>& arguments) override {
        calls.push_back(function + (arguments.empty() ? "" : "|" + arguments[0]));
        if (function == "SetPinName" && reenter) {
            const std::function<void()> once = std::move(reenter);
            reenter = nullptr;
            once();
        }
        return function == "GetGpioCheckboxes" ? "GPIOXB_SCI_0__TXD" : "true";
    }
    std::function<void()> reenter; // runs during the next SetPinName call only
    std::vector<std::string> calls;
};

TEST(CpmPINOUT, ARefreshDuringACallRunsAfterIt) {
    CPinoutFixture f;
    CReentrantPage page;
    f.pinout->SetNavigator(&page);
    f.pinout->PageLoaded();
    page.calls.clear();
    // A click while the first pin name is being sent: the toggle happens, the resend follows
    // the running refresh instead of interleaving with it.
    page.reenter = [&] { f.pinout->ElementActivated("GPIOXB_SCI_0__TXD"); };
    f.b->pins[0].selected = 1;
    f.pinout->CheckWarnings();
    EXPECT_EQ(f.a->pins[0].selected, 1);
    const std::vector<std::string> expected = {
        "SetPinName|GPIO_B0", // the change, during which the click comes
        "SetGpioCheckbox|GPIOXB_SCI_0__TXD",
        "SetPinName|GPIO_A0", // then everything again for the click
        "SetPinName|GPIO_A1",
        "SetPinName|GPIO_B0",
        "SetGpioCheckbox|GPIOXB_SCI_0__TXD",
    };
    EXPECT_EQ(page.calls, expected);
    f.pinout->SetNavigator(nullptr);
}

} // namespace
