#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "model/DialogTemplate.h"
#include "model/ModelTestSupport.h"
#include "modules/memory/CpmFLASHOPT.h"
#include "support/ModuleDefines.h"
#include "support/ModuleTestHost.h"
#include "support/ScriptedMessages.h"
#include "support/ShownValue.h"

namespace {

using CHost = hwc::test::CModuleTestHost;
using C = CpmFLASHOPT;

// A selected module of the given processor groups with its page open.
struct CFixture {
    explicit CFixture(std::set<int> groups = {CModule::kFamD}) {
        host.groups = std::move(groups);
        opt = &host.Add<C>("FLASHOPT", "FLASHOPT");
        host.BindAll();
        opt->SetSelected(true);
        Open();
    }
    void Open() {
        opt->CreatePage();
        opt->OnInitialUpdate();
        opt->UpdateControlStates();
    }
    CPageControl& Control(int id) { return *opt->Page()->FindControl(id); }
    std::string Shown(int id) { return hwc::test::ShownValue(Control(id)); }
    bool Enabled(int id) { return Control(id).IsEnabled(); }
    void Select(int id, int index) {
        opt->Page()->UserSelect(Control(id), index);
        opt->UpdateControlStates();
    }
    void Click(int id) {
        opt->Page()->UserClick(Control(id));
        opt->UpdateControlStates();
    }
    void Edit(int id, const std::string& text) { opt->Page()->UserEdit(Control(id), text); }
    // Loads register values as a re-opened project would and shows them.
    void Load(const std::map<int, std::uint32_t>& values) {
        for (const auto& [item, value] : values)
            opt->Item(item).dwValue = value;
        opt->RefreshControls();
        opt->UpdateControlStates();
    }
    std::uint32_t Value(int item) { return opt->Item(item).dwValue; }
    // The written defines: name -> value text.
    std::map<std::string, std::string> Defines() { return hwc::test::WrittenDefines(*opt); }

    CHost host;
    C* opt = nullptr;
};

const int kCanControls[] = {C::kCanTxIdId,   C::kCanRxIdId,    C::kClockSelectId,
                            C::kPropSegId,   C::kSpeedIndexId, C::kPrescalerId,
                            C::kPhaseSeg1Id, C::kPhaseSeg2Id,  C::kResyncJumpId};
const int kAppCrcControls[] = {C::kAppStartId, C::kAppLengthId, C::kAppCrcId};

} // namespace

TEST(CpmFLASHOPT, EveryDefineIsWrittenAtItsDefault) {
    // Bound and written alike on every processor that lists the module.
    for (const std::set<int>& groups :
         {std::set<int>{CModule::kFamE}, std::set<int>{CModule::kFamD}, std::set<int>{}}) {
        CFixture f(groups);
        const auto defines = f.Defines();
        ASSERT_EQ(defines.size(), 24u);
        EXPECT_EQ(defines.at("FLASHOPT_NV_FSEC_INIT"), "0xFEU");
        EXPECT_EQ(defines.at("FLASHOPT_BLDR_CAN_TX_ID_INIT"), "0x0123U");
        EXPECT_EQ(defines.at("FLASHOPT_BLDR_CAN_RX_ID_INIT"), "0x0321U");
        EXPECT_EQ(defines.at("FLASHOPT_NV_BACKKEY7_INIT"), "0xFFU");
        EXPECT_EQ(defines.at("FLASHOPT_NV_FPROT3_INIT"), "0xFFU");
        EXPECT_EQ(defines.at("FLASHOPT_BLDR_TOUT_INIT"), "0xFFFFU");
        for (const char* name : {"CRC_START_APP_INIT", "CRC_BYTE_COUNT_INIT", "CRC_EXP_VAL_INIT"})
            EXPECT_EQ(defines.at(std::string("FLASHOPT_") + name), "0xFFFFFFFFU") << name;
        // The page edits the registers it writes.
        f.Edit(C::kTimeoutId, "0x1F4");
        EXPECT_EQ(f.Value(C::kTimeoutItem), 0x1F4u);
    }
}

TEST(CpmFLASHOPT, SecurityListsNameMeaningAndRawValue) {
    struct tCase {
        std::uint32_t fsec;
        const char* key;
        const char* erase;
        const char* factory;
        const char* secure;
    };
    const tCase cases[] = {
        {0xFE, "Disabled (3)", "Enabled (3)", "Granted (3)", "Unsecure (2)"},
        {0x00, "Disabled (0)", "Enabled (0)", "Granted (0)", "Secure (0)"},
        {0x96, "Enabled (2)", "Enabled (1)", "Denied (1)", "Unsecure (2)"},
        {0x69, "Disabled (1)", "Disabled (2)", "Denied (2)", "Secure (1)"},
        {0xFF, "Disabled (3)", "Enabled (3)", "Granted (3)", "Secure (3)"},
    };
    CFixture f;
    for (const tCase& c : cases) {
        f.Load({{C::kSecurityItem, c.fsec}});
        EXPECT_EQ(f.Shown(C::kBackKeyModeId), c.key) << c.fsec;
        EXPECT_EQ(f.Shown(C::kMassEraseId), c.erase) << c.fsec;
        EXPECT_EQ(f.Shown(C::kFactoryAccessId), c.factory) << c.fsec;
        EXPECT_EQ(f.Shown(C::kSecureFlashId), c.secure) << c.fsec;
    }
    // Each choice writes its own two bits and nothing else.
    f.Load({{C::kSecurityItem, 0xFE}});
    f.Select(C::kBackKeyModeId, 2);
    EXPECT_EQ(f.Value(C::kSecurityItem), 0xBEu);
    f.Select(C::kSecureFlashId, 0);
    EXPECT_EQ(f.Value(C::kSecurityItem), 0xBCu);
    f.Select(C::kFactoryAccessId, 1);
    EXPECT_EQ(f.Value(C::kSecurityItem), 0xB4u);
    f.Select(C::kMassEraseId, 2);
    EXPECT_EQ(f.Value(C::kSecurityItem), 0xA4u);
}

TEST(CpmFLASHOPT, PageShowsHexPlusOneAndCheckMarks) {
    CFixture f;
    // Defaults: every CAN field at its largest value, shown one higher where offset.
    EXPECT_EQ(f.Shown(C::kPrescalerId), "256");
    EXPECT_EQ(f.Shown(C::kPropSegId), "8");
    EXPECT_EQ(f.Shown(C::kPhaseSeg1Id), "8");
    EXPECT_EQ(f.Shown(C::kPhaseSeg2Id), "8");
    EXPECT_EQ(f.Shown(C::kResyncJumpId), "4");
    EXPECT_EQ(f.Shown(C::kSpeedIndexId), "15");
    EXPECT_EQ(f.Shown(C::kClockSelectId), "Peripheral clock");
    EXPECT_EQ(f.Shown(C::kCanTxIdId), "0x123");
    EXPECT_EQ(f.Shown(C::kAppCrcId), "0xFFFFFFFF");

    f.Load({{C::kBackKey0Item + 3, 0x5A},
            {C::kProtection0Item + 1, 0x0F},
            {C::kOptionItem, 0xF7},
            {C::kPeripheralsItem, 0x09},
            {C::kIicAddressItem, 0x10},
            {C::kTimeoutItem, 0x01F4},
            {C::kCan1ConfigItem, 0x0025},
            {C::kCan2ConfigItem, 0x0479},
            {C::kCanRxIdItem, 0x7FF},
            {C::kAppStartItem, 0x8000},
            {C::kAppLengthItem, 0x0}});
    EXPECT_EQ(f.Shown(C::kBackKeyIds[3]), "0x5A");
    EXPECT_EQ(f.Shown(C::kProtectionIds[1]), "0xF");
    EXPECT_EQ(f.Shown(C::kBootFromRomId), "[x]");
    EXPECT_EQ(f.Shown(C::kUartId), "[x]");
    EXPECT_EQ(f.Shown(C::kIicId), "[ ]");
    EXPECT_EQ(f.Shown(C::kCanId), "[x]");
    EXPECT_EQ(f.Shown(C::kIicAddressId), "0x10");
    EXPECT_EQ(f.Shown(C::kTimeoutId), "0x1F4");
    EXPECT_EQ(f.Shown(C::kSpeedIndexId), "5");
    EXPECT_EQ(f.Shown(C::kPropSegId), "3");
    EXPECT_EQ(f.Shown(C::kClockSelectId), "Crystal oscillator");
    EXPECT_EQ(f.Shown(C::kPrescalerId), "5");
    EXPECT_EQ(f.Shown(C::kPhaseSeg1Id), "4");
    EXPECT_EQ(f.Shown(C::kPhaseSeg2Id), "7");
    EXPECT_EQ(f.Shown(C::kResyncJumpId), "2");
    EXPECT_EQ(f.Shown(C::kCanRxIdId), "0x7FF");
    EXPECT_EQ(f.Shown(C::kAppStartId), "0x8000");
    EXPECT_EQ(f.Shown(C::kAppLengthId), "0x0");

    // Bits without a control keep their values when a neighbour changes.
    f.Click(C::kBootFromRomId);
    EXPECT_EQ(f.Value(C::kOptionItem), 0x77u);
    f.Click(C::kIicId);
    EXPECT_EQ(f.Value(C::kPeripheralsItem), 0x0Bu);
    f.Select(C::kClockSelectId, 1);
    EXPECT_EQ(f.Value(C::kCan1ConfigItem), 0x00A5u);
}

TEST(CpmFLASHOPT, EnableRulesFollowKeyModeBootAndPeripherals) {
    CFixture f;
    // Defaults: the key is disabled (3), boot from ROM and every peripheral are on.
    for (int id : C::kBackKeyIds)
        EXPECT_FALSE(f.Enabled(id)) << id;
    for (int id : kCanControls)
        EXPECT_TRUE(f.Enabled(id)) << id;
    EXPECT_TRUE(f.Enabled(C::kIicAddressId));

    f.Select(C::kBackKeyModeId, 2);
    for (int id : C::kBackKeyIds)
        EXPECT_TRUE(f.Enabled(id)) << id;
    f.Select(C::kBackKeyModeId, 3);
    EXPECT_EQ(f.Value(C::kSecurityItem) >> 6, 3u);
    for (int id : C::kBackKeyIds)
        EXPECT_FALSE(f.Enabled(id)) << id;
    f.Select(C::kBackKeyModeId, 0);
    EXPECT_FALSE(f.Enabled(C::kBackKeyIds[0]));

    // Without boot from ROM only the flash field itself stays editable.
    f.Click(C::kBootFromRomId);
    EXPECT_EQ(f.Value(C::kOptionItem), 0x7Fu);
    for (int id : {C::kUartId, C::kIicId, C::kCanId, C::kIicAddressId, C::kTimeoutId})
        EXPECT_FALSE(f.Enabled(id)) << id;
    for (int id : kCanControls)
        EXPECT_FALSE(f.Enabled(id)) << id;
    for (int id : kAppCrcControls)
        EXPECT_FALSE(f.Enabled(id)) << id;
    for (int id : C::kProtectionIds)
        EXPECT_TRUE(f.Enabled(id)) << id;
    for (int id : {C::kBackKeyModeId, C::kMassEraseId, C::kFactoryAccessId, C::kSecureFlashId,
                   C::kBootFromRomId})
        EXPECT_TRUE(f.Enabled(id)) << id;

    // The checksum follows boot alone, not the CAN interface.
    f.Click(C::kBootFromRomId);
    f.Click(C::kCanId);
    for (int id : kCanControls)
        EXPECT_FALSE(f.Enabled(id)) << id;
    for (int id : kAppCrcControls)
        EXPECT_TRUE(f.Enabled(id)) << id;
    EXPECT_TRUE(f.Enabled(C::kIicAddressId));
    f.Click(C::kIicId);
    EXPECT_FALSE(f.Enabled(C::kIicAddressId));
    EXPECT_TRUE(f.Enabled(C::kTimeoutId));
    EXPECT_EQ(f.Value(C::kPeripheralsItem), 0xF5u);

    // Loaded values decide the states as clicks do.
    f.Load({{C::kSecurityItem, 0x80}, {C::kOptionItem, 0x80}, {C::kPeripheralsItem, 0x02}});
    EXPECT_TRUE(f.Enabled(C::kBackKeyIds[7]));
    EXPECT_TRUE(f.Enabled(C::kIicAddressId));
    EXPECT_FALSE(f.Enabled(C::kCanTxIdId));
}

TEST(CpmFLASHOPT, TypedValuesAreCheckedAgainstTheirBounds) {
    CScriptedMessages messages;
    CFixture f;
    struct tCase {
        int id;
        const char* text;
        const char* problem; // empty when taken
    };
    const tCase cases[] = {
        {C::kPrescalerId, "0", "Prescaler: Entered value must be greater than 0"},
        {C::kPrescalerId, "257", "Prescaler: Entered value must be lower than 257"},
        {C::kSpeedIndexId, "16", "Speed Index: Entered value must be lower than 16"},
        {C::kPropSegId, "0", "PROP_SEG: Entered value must be greater than 0"},
        {C::kPropSegId, "9", "PROP_SEG: Entered value must be lower than 9"},
        {C::kPhaseSeg1Id, "9", "PHASE_SEG1: Entered value must be lower than 9"},
        {C::kPhaseSeg2Id, "0", "PHASE_SEG2: Entered value must be greater than 0"},
        {C::kResyncJumpId, "5", "RJW: Entered value must be lower than 5"},
        {C::kResyncJumpId, "0", "RJW: Entered value must be greater than 0"},
        {C::kBackKeyIds[0], "0x100", "BackKey0: Entered value must be lower than 0x100"},
        {C::kIicAddressId, "256", "IIC Address: Entered value must be lower than 0x100"},
        {C::kTimeoutId, "0x10000", "Timeout: Entered value must be lower than 0x10000"},
        {C::kAppStartId, "0x100000000", "App Start Address: Invalid value entered!"},
        {C::kAppCrcId, "-1", "App Crc: Entered value must not be negative."},
        {C::kCanTxIdId, "abc", "Can TX ID: Invalid value entered!"},
    };
    f.Select(C::kBackKeyModeId, 2);
    for (const tCase& c : cases) {
        const std::uint32_t before[] = {f.Value(C::kCan1ConfigItem), f.Value(C::kCan2ConfigItem)};
        f.Edit(c.id, c.text);
        EXPECT_EQ(f.opt->ValidationProblem(), c.problem) << c.text;
        // A refused text leaves the registers alone.
        EXPECT_EQ(f.Value(C::kCan1ConfigItem), before[0]) << c.text;
        EXPECT_EQ(f.Value(C::kCan2ConfigItem), before[1]) << c.text;
        f.opt->RefreshControls();
        EXPECT_EQ(f.opt->ValidationProblem(), "") << c.text;
    }

    // The largest values land in the top of each field.
    f.Load({{C::kCan1ConfigItem, 0}, {C::kCan2ConfigItem, 0}});
    f.Edit(C::kPrescalerId, "256");
    EXPECT_EQ(f.Value(C::kCan2ConfigItem), 0xFF00u);
    f.Edit(C::kPrescalerId, "1");
    EXPECT_EQ(f.Value(C::kCan2ConfigItem), 0u);
    f.Edit(C::kPhaseSeg1Id, "8");
    f.Edit(C::kPhaseSeg2Id, "1");
    f.Edit(C::kResyncJumpId, "4");
    EXPECT_EQ(f.Value(C::kCan2ConfigItem), 0x00E3u);
    f.Edit(C::kSpeedIndexId, "15");
    f.Edit(C::kPropSegId, "8");
    EXPECT_EQ(f.Value(C::kCan1ConfigItem), 0x007Fu);
    f.Edit(C::kSpeedIndexId, "0");
    EXPECT_EQ(f.Value(C::kCan1ConfigItem), 0x0070u);
    f.Edit(C::kAppLengthId, "0xFFFFFFFF");
    EXPECT_EQ(f.Value(C::kAppLengthItem), 0xFFFFFFFFu);
    EXPECT_EQ(f.opt->ValidationProblem(), "");
}

TEST(CpmFLASHOPT, HandEditedWideValuesAreKept) {
    CAppcfgFile header;
    Define(header, "FLASHOPT_NV_FSEC_INIT", "0x1FEU");
    Define(header, "FLASHOPT_BLDR_CAN1_CFG_INIT", "0x3FFFFU");
    Define(header, "FLASHOPT_NV_BACKKEY2_INIT", "0x1A5U");
    CHost host;
    host.groups = {CModule::kFamE};
    C& opt = host.Add<C>("FLASHOPT", "FLASHOPT");
    host.BindAll();
    ASSERT_TRUE(opt.LoadFromHeader(&header));
    opt.CreatePage();
    opt.OnInitialUpdate();
    opt.UpdateControlStates();
    CPage& page = *opt.Page();
    EXPECT_EQ(page.FindControl(C::kBackKeyIds[2])->Text(), "0xA5");
    EXPECT_EQ(page.FindControl(C::kPropSegId)->Text(), "8");
    // Nothing is refused, and a choice elsewhere keeps the bits beyond the field.
    EXPECT_EQ(opt.ValidationProblem(), "");
    page.UserSelect(*page.FindControl(C::kBackKeyModeId), 2);
    EXPECT_EQ(opt.Item(C::kSecurityItem).dwValue, 0x1BEu);
    page.UserEdit(*page.FindControl(C::kSpeedIndexId), "3");
    EXPECT_EQ(opt.Item(C::kCan1ConfigItem).dwValue, 0x3FFF3u);
    std::string text;
    ASSERT_TRUE(opt.WriteHeaderText(text));
    EXPECT_NE(text.find("0x1BEU"), std::string::npos) << text;
    EXPECT_NE(text.find("0x3FFF3U"), std::string::npos) << text;
    EXPECT_NE(text.find("0x1A5U"), std::string::npos) << text;
}

TEST(CpmFLASHOPT, SummaryInOrderWithoutSpeedIndex) {
    CFixture f;
    f.Select(C::kBackKeyModeId, 2);
    f.Load({{C::kOptionItem, 0x80}, {C::kPeripheralsItem, 0x0A}});
    std::string summary;
    f.opt->GetSummary(summary);
    const char* order[] = {"Back Door Key: Enabled (2)",
                           "Back Door Key 0: 0xFF",
                           "Back Door Key 7: 0xFF",
                           "FPROT0: 0xFF",
                           "FPROT3: 0xFF",
                           "FTFE Mass Erase: Enabled (3)",
                           "Secure Flash: Unsecure (2)",
                           "Factory Access: Granted (3)",
                           "Enable Boot From Rom: Yes",
                           "Enable UART0: No",
                           "Enable IIC0: Yes",
                           "Enable CAN0: Yes",
                           "IIC Slave Address: 0xFF",
                           "Bootloader Timeout [ms]: 0xFFFF",
                           "CAN TX ID: 0x123",
                           "CAN RX ID: 0x321",
                           "Application Start Address: 0xFFFFFFFF",
                           "Application Length: 0xFFFFFFFF",
                           "Expected CRC of Application: 0xFFFFFFFF",
                           "Clk Sel: Peripheral clock",
                           "Prescaler Divide Factor: 256",
                           "Propagation Segment (PROP_SEG): 8",
                           "Phase Buffer Segment 1 (PHASE_SEG1): 8",
                           "Phase Buffer Segment 2 (PHASE_SEG2): 8",
                           "Re-Synchronization Jump Width (RJW): 4"};
    std::size_t at = 0;
    for (const char* entry : order) {
        const std::size_t found = summary.find(entry, at);
        ASSERT_NE(found, std::string::npos) << entry << "\n" << summary;
        at = found;
    }
    EXPECT_EQ(summary.find("Speed Index"), std::string::npos) << summary;
}
