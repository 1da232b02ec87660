#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "base/FixedText.h"
#include "base/TextUtil.h"
#include "header/AppcfgFile.h"
#include "model/DialogTemplate.h"
#include "modules/interrupts/CpmINTC.h"
#include "modules/interrupts/InterruptQueries.h"
#include "modules/timers/CpmPIT.h"
#include "support/ModuleTestHost.h"

using namespace hwc;

namespace {

using namespace hwc::test;

using CIntcHost = hwc::test::CModuleTestHost;

// A peripheral with two interrupt rows on its page.
class CpmRowTest : public CModule {
    HWC_DECLARE_MODULE_CLASS(CpmRowTest, CModule)
public:
    CpmRowTest(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModule(parent, 9000, descriptor, nullptr, 0) {}
    const CDialogTemplate* DialogTemplate() const override {
        static const CDialogTemplate page(9000, {dlg::Placeholder(kFirstHeadingPlaceholderId),
                                                 dlg::Placeholder(kFirstRowPlaceholderId),
                                                 dlg::Placeholder(kFirstRowPlaceholderId + 1)});
        return &page;
    }
};

// A controller (and optionally one peripheral with rows on the given vectors), bound, pages open.
struct CIntcFixture {
    explicit CIntcFixture(std::set<int> groups, const std::string& info = {},
                          const std::string& rows = {}, const std::string& instance = "INTC") {
        host.groups = std::move(groups);
        intc = &host.Add<CpmINTC>(instance, "INTC", info);
        if (!rows.empty())
            peripheral = &host.Add<CpmRowTest>("SCI_0", "SCI", "", "INT:" + rows + ":");
        for (auto& module : host.modules)
            module->BindControls(&host);
    }
    void Open() {
        for (auto& module : host.modules) {
            module->CreatePage();
            module->OnInitialUpdate();
        }
    }
    CPageControl* Row(int source, int control) {
        return intc->FindControl(((CpmINTC::kFirstSourceRowId + source) << CPage::kSubPageShift) |
                                 control);
    }
    CPageControl* PeripheralRow(int row, int control) {
        return peripheral->FindControl(
            ((CModule::kFirstRowPlaceholderId + row) << CPage::kSubPageShift) | control);
    }
    std::string Text(const tPerCfgItem& item) { return std::string(FieldText(item.szValue)); }
    void SetText(tPerCfgItem& item, const std::string& text) {
        CopyCut(item.szValue, text);
        item.dwValue = text.empty() ? 0 : 1;
    }
    std::string RowWarning(int source) {
        return host.Warning(((CpmINTC::kFirstSourceRowId + source) << CPage::kSubPageShift) |
                            CModule::kRowSourceId);
    }

    CIntcHost host;
    CpmINTC* intc = nullptr;
    CpmRowTest* peripheral = nullptr;
};

// The first source of the table whose flag word is exactly `flags`, or -1.
int FirstSourceWithFlags(const CpmINTC& intc, std::uint16_t flags) {
    for (int source = 0; source < intc.SourceCount(); ++source) {
        if (intc.SourceFlags(source) == flags)
            return source;
    }
    return -1;
}

} // namespace

TEST(CpmINTC, TablesAndTemplatesByProcessor) {
    struct tExpect {
        std::set<int> groups;
        int sources;
        unsigned templateId;
        int fixed;
    };
    const tExpect expectations[] = {
        {{kFamG, 2}, 64, 177, 4},
        {{kFamH, 5}, 78, 134, 5},
        {{kFamH, 6}, 82, 134, 5},
        {{kFamH, kFamK, 9}, 82, 134, 5},
        {{kFamH, kFamK, 102, 17}, 86, 134, 5},
        {{kFamH, 96, 97, 20}, 46, 134, 5},
        {{kFamH, 96, 100, 24}, 64, 134, 5},
        {{kFamH, kFamC, 108, 31}, 67, 134, 5},
        {{kFamA, 105}, 51, 101, 5},
        {{kFamE, 39}, 111, 134, 5},
        {{kFamF, 76}, 111, 134, 5},
        {{kFamD, 86}, 112, 134, 5},
    };
    for (const tExpect& expect : expectations) {
        CIntcFixture f(expect.groups);
        const std::string at = "group " + std::to_string(*expect.groups.rbegin());
        EXPECT_EQ(f.intc->SourceCount(), expect.sources) << at;
        EXPECT_EQ(f.intc->TemplateId(), expect.templateId) << at;
        EXPECT_EQ(f.intc->FixedCount(), expect.fixed) << at;
        EXPECT_EQ(f.intc->ItemCount(), expect.fixed + 2 * expect.sources) << at;
        for (int source = 0; source < expect.sources; ++source) {
            const std::string number = std::to_string(source) + ". ";
            EXPECT_EQ(std::string(f.intc->SourceDescription(source)).rfind(number, 0), 0u) << at;
            EXPECT_EQ(FieldText(f.intc->VectorItem(source).szName),
                      "-INT_VECTOR_ADDR_" + std::to_string(source));
            EXPECT_EQ(FieldText(f.intc->PriorityItem(source).szName),
                      "-INT_PRIORITY_LEVEL_" + std::to_string(source));
        }
        // Source 0 is the reset: its routine is fixed and named, neither register is written.
        EXPECT_EQ(f.Text(f.intc->VectorItem(0)), "Start") << at;
        EXPECT_TRUE(f.intc->VectorItem(0).dwFlags & RegFlag::DUMMYREG) << at;
        EXPECT_TRUE(f.intc->PriorityItem(0).dwFlags & RegFlag::DUMMYREG) << at;
        EXPECT_FALSE(f.intc->SourceFlags(expect.sources) != 0) << at; // outside the table
    }
    CIntcFixture famG({kFamG, 0});
    EXPECT_STREQ(famG.intc->SourceDescription(63), "63. Low Voltage Detector");
    EXPECT_STREQ(famG.intc->SourceDescription(1), "1. COP Reset");
    EXPECT_STREQ(famG.intc->SourceDescription(0), "0. External and Power-On Reset");
    // The peripheral vectors carry the names of the peripherals the architecture files give
    // them to.
    CIntcFixture famK({kFamH, kFamK, 12});
    EXPECT_STREQ(famK.intc->SourceDescription(27), "27. SCI 0 Transmitter Empty");
    EXPECT_STREQ(famK.intc->SourceDescription(30), "30. SCI 0 Receiver Full");
}

TEST(CpmINTC, FlagWordsDecideTheRegistersAndTheList) {
    CIntcFixture f({kFamH, kFamK, 12});
    f.Open();
    const int peripheral = FirstSourceWithFlags(*f.intc, 0xF0);
    const int core = FirstSourceWithFlags(*f.intc, 0x1D0);
    const int swi2 = FirstSourceWithFlags(*f.intc, 0x82);
    const int reserved = FirstSourceWithFlags(*f.intc, VectorFlag::RESERVED);
    ASSERT_GE(peripheral, 0);
    ASSERT_GE(core, 0);
    ASSERT_GE(swi2, 0);
    ASSERT_GE(reserved, 0);
    EXPECT_EQ(f.intc->PriorityTexts(peripheral),
              (std::vector<std::string>{"Disabled", "Level 0", "Level 1", "Level 2"}));
    EXPECT_EQ(f.intc->PriorityTexts(core),
              (std::vector<std::string>{"Disabled", "Level 1", "Level 2", "Level 3"}));
    EXPECT_EQ(
        f.intc->PriorityValues(core),
        (std::vector<std::string>{"INTC_DISABLED", "INTC_LEVEL1", "INTC_LEVEL2", "INTC_LEVEL3"}));

    // The fourth entry of a peripheral source writes level 2.
    CPageControl* list = f.Row(peripheral, CModule::kRowPriorityId);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Items().size(), 4u);
    EXPECT_TRUE(list->IsEnabled());
    list->Page().UserSelect(*list, 3);
    EXPECT_EQ(f.Text(f.intc->PriorityItem(peripheral)), "INTC_LEVEL2");
    EXPECT_EQ(f.intc->PriorityIndex(peripheral), 3);

    // A fixed level shows its one level in a disabled list and is not written.
    CPageControl* fixed = f.Row(swi2, CModule::kRowPriorityId);
    EXPECT_EQ(fixed->Items(), (std::vector<std::string>{"Level 2"}));
    EXPECT_EQ(fixed->Selection(), 0);
    EXPECT_FALSE(fixed->IsEnabled());
    EXPECT_TRUE(f.intc->PriorityItem(swi2).dwFlags & RegFlag::DUMMYREG);
    EXPECT_FALSE(f.intc->VectorItem(swi2).dwFlags & RegFlag::DUMMYREG);
    EXPECT_TRUE(f.Row(swi2, CModule::kRowIsrNameId)->IsEnabled());

    // The reset's routine is fixed: shown, not editable.
    EXPECT_EQ(f.Row(0, CModule::kRowIsrNameId)->Text(), "Start");
    EXPECT_FALSE(f.Row(0, CModule::kRowIsrNameId)->IsEnabled());
    EXPECT_EQ(f.Row(0, CModule::kRowSourceId)->Text(), "0. External and Power-On Reset");

    // Reserved sources get no row and write nothing.
    EXPECT_EQ(f.Row(reserved, CModule::kRowIsrNameId), nullptr);
    EXPECT_TRUE(f.intc->VectorItem(reserved).dwFlags & RegFlag::DUMMYREG);
    EXPECT_TRUE(f.intc->PriorityItem(reserved).dwFlags & RegFlag::DUMMYREG);

    // FamA sources have no priority: empty, disabled list, register not written.
    CIntcFixture famA({kFamA, 105}, "", "43", "WINTC");
    famA.Open();
    CPageControl* none = famA.Row(43, CModule::kRowPriorityId);
    ASSERT_NE(none, nullptr);
    EXPECT_TRUE(none->Items().empty());
    EXPECT_FALSE(none->IsEnabled());
    EXPECT_TRUE(famA.intc->PriorityItem(43).dwFlags & RegFlag::DUMMYREG);
}

TEST(CpmINTC, ReservedSourcesOfSingleProcessors) {
    // FamC processors of flag 107 have no second timer: its four vectors are reserved.
    CIntcFixture small({kFamH, kFamC, 107, 27});
    CIntcFixture large({kFamH, kFamC, 108, 31});
    int reserved = 0;
    for (int source = 0; source < small.intc->SourceCount(); ++source) {
        if (small.intc->SourceFlags(source) != large.intc->SourceFlags(source)) {
            EXPECT_EQ(small.intc->SourceFlags(source), VectorFlag::RESERVED);
            EXPECT_NE(std::string(small.intc->SourceDescription(source)).find("QT B"),
                      std::string::npos);
            ++reserved;
        }
    }
    EXPECT_EQ(reserved, 4);
    // A FamE processor without the third serial interface has its vectors reserved.
    CIntcFixture fame({kFamE, 110, 34});
    CIntcFixture full({kFamE, 39});
    int differing = 0;
    for (int source = 0; source < full.intc->SourceCount(); ++source)
        differing += fame.intc->SourceFlags(source) != full.intc->SourceFlags(source);
    EXPECT_GT(differing, 4);
    EXPECT_EQ(FirstSourceWithFlags(*full.intc, VectorFlag::RESERVED) > 0, true);
}

TEST(CpmINTC, HiddenSourcesFromTheArchitectureFile) {
    CIntcFixture f({kFamH, kFamK, 12}, "DISSRC=10,12,word, 0x0E ,999,-1,\nIRQA=1\nIRQB=0");
    f.Open();
    for (int source : {10, 12, 14})
        EXPECT_TRUE(f.intc->SourceFlags(source) & VectorFlag::HIDDEN) << source;
    EXPECT_FALSE(f.intc->SourceFlags(11) & VectorFlag::HIDDEN);
    EXPECT_FALSE(f.intc->SourceFlags(13) & VectorFlag::HIDDEN);
    EXPECT_EQ(f.Row(10, CModule::kRowIsrNameId), nullptr);
    EXPECT_FALSE(f.intc->FindControl(CpmINTC::kFirstSourceRowId + 12)->IsVisible());
    EXPECT_NE(f.Row(11, CModule::kRowIsrNameId), nullptr);
    // The pins: IRQ B is absent, so its trigger mode is hidden.
    EXPECT_TRUE(f.intc->HasIrqPin('A'));
    EXPECT_FALSE(f.intc->HasIrqPin('B'));
    EXPECT_TRUE(f.intc->FindControl(CpmINTC::kIrqAModeId)->IsVisible());
    EXPECT_FALSE(f.intc->FindControl(CpmINTC::kIrqBModeId)->IsVisible());

    // Without the key there is no pin; on FamG its registers are not written.
    CIntcFixture famG({kFamG, 0}, "IRQA=1", "", "ITCN");
    EXPECT_FALSE(famG.intc->HasIrqPin('B'));
    EXPECT_TRUE(famG.intc->Item(1).dwFlags & RegFlag::DUMMYREG);
    EXPECT_TRUE(famG.intc->Item(3).dwFlags & RegFlag::DUMMYREG);
    EXPECT_FALSE(famG.intc->Item(0).dwFlags & RegFlag::DUMMYREG);
    EXPECT_FALSE(famG.intc->Item(2).dwFlags & RegFlag::DUMMYREG);
}

TEST(CpmINTC, FamGPriorityIsAPlainEnable) {
    CIntcFixture f({kFamG, 2}, "IRQA=1\nIRQB=1", "21", "ITCN");
    f.Open();
    const int source = 21;
    EXPECT_EQ(f.intc->PriorityTexts(source), (std::vector<std::string>{"Disabled", "Enabled"}));
    CPageControl* list = f.PeripheralRow(0, CModule::kRowPriorityId);
    ASSERT_NE(list, nullptr);
    list->Page().UserSelect(*list, 1);
    EXPECT_EQ(f.Text(f.intc->PriorityItem(source)), "INTC_ENABLED");
    // An enabled source without a routine, and a routine on a disabled source, are reported.
    f.intc->CheckWarnings();
    const std::string name = std::string(f.intc->SourceDescription(source)).substr(4);
    EXPECT_EQ(f.RowWarning(source),
              name + " Interrupt Priority is set but Interrupt Service Routine is not specified");
    list->Page().UserSelect(*list, 0);
    f.SetText(f.intc->VectorItem(source), "LscanISR");
    f.intc->CheckWarnings();
    EXPECT_EQ(f.RowWarning(source),
              name + " Interrupt Service Routine is specified but Interrupt Priority is not set");
    // The mask, the pins' enables and trigger modes.
    f.intc->Page()->UserClick(*f.intc->FindControl(CpmINTC::kGlobalMaskId));
    f.intc->Page()->UserClick(*f.intc->FindControl(CpmINTC::kIrqBEnableId));
    EXPECT_EQ(f.intc->Item(0).dwValue, 1u << 5);
    EXPECT_EQ(f.intc->Item(1).dwValue, 1u);
    CPageControl* trigger = f.intc->FindControl(CpmINTC::kIrqATriggerId);
    EXPECT_EQ(trigger->Items(), (std::vector<std::string>{"Level sensitive", "Falling edge"}));
    trigger->Page().UserSelect(*trigger, 1);
    EXPECT_EQ(f.Text(f.intc->Item(2)), "ITCN_IRQ_FALLING");
}

TEST(CpmINTC, RowPriorityChecksOnFamH) {
    CIntcFixture f({kFamH, kFamK, 12});
    const int source = FirstSourceWithFlags(*f.intc, 0xF0);
    const std::string name =
        std::string(f.intc->SourceDescription(source))
            .substr(std::string(f.intc->SourceDescription(source)).find(". ") + 2);
    f.intc->CheckWarnings();
    EXPECT_TRUE(f.host.Active().empty());

    // Empty counts as "Disabled".
    f.SetText(f.intc->VectorItem(source), "MyISR");
    f.intc->CheckWarnings();
    EXPECT_EQ(f.RowWarning(source),
              name + " Interrupt Service Routine is specified but Interrupt Priority is not set");
    f.SetText(f.intc->PriorityItem(source), "INTC_DISABLED");
    f.intc->CheckWarnings();
    EXPECT_NE(f.RowWarning(source), "");
    f.SetText(f.intc->PriorityItem(source), "INTC_LEVEL1");
    f.intc->CheckWarnings();
    EXPECT_EQ(f.RowWarning(source), "");
    f.SetText(f.intc->VectorItem(source), "");
    f.intc->CheckWarnings();
    EXPECT_EQ(f.RowWarning(source),
              name + " Interrupt Priority is set but Interrupt Service Routine is not specified");
    // A fast interrupt needs no standard routine.
    f.intc->Item(1).dwValue = static_cast<std::uint32_t>(source);
    f.intc->CheckWarnings();
    EXPECT_EQ(f.RowWarning(source), "");
    // Fixed and hidden sources are not checked.
    const int swi2 = FirstSourceWithFlags(*f.intc, 0x82);
    f.SetText(f.intc->VectorItem(swi2), "Swi2ISR");
    f.intc->CheckWarnings();
    EXPECT_EQ(f.RowWarning(swi2), "");

    // The newer groups do not check the rows.
    CIntcFixture famE({kFamE, 39});
    const int other = FirstSourceWithFlags(*famE.intc, 0xF0);
    famE.SetText(famE.intc->VectorItem(other), "MyISR");
    famE.intc->CheckWarnings();
    EXPECT_TRUE(famE.host.Active().empty());
}

TEST(CpmINTC, FastInterruptChecks) {
    CIntcFixture f({kFamH, kFamK, 12});
    f.Open();
    const int source = FirstSourceWithFlags(*f.intc, 0xF0);
    const int core = FirstSourceWithFlags(*f.intc, 0x1D0);
    // Both numbers 0 (unused): nothing to report.
    f.intc->CheckWarnings();
    EXPECT_TRUE(f.host.Active().empty()) << f.host.Active().begin()->second;

    // Out of range: only that warning, whatever else is set.
    f.intc->Item(1).dwValue = 82;
    f.SetText(f.intc->Item(3), "FastISR");
    f.intc->Item(2).dwValue = 0xFFFF; // -1 in 16 bits
    f.intc->CheckWarnings();
    EXPECT_EQ(f.host.Active(),
              (std::map<int, std::string>{
                  {CpmINTC::kFast0RangeId, "Fast interrupt 0 number is out of range"},
                  {CpmINTC::kFast1RangeId, "Fast interrupt 1 number is out of range"}}));
    EXPECT_TRUE(f.intc->FindControl(CpmINTC::kFast0RangeId)->IsVisible());
    f.intc->Item(2).dwValue = 0;
    f.intc->Item(1).dwValue = 81;
    f.intc->CheckWarnings();
    EXPECT_EQ(f.host.Warning(CpmINTC::kFast0RangeId), "");
    EXPECT_FALSE(f.intc->FindControl(CpmINTC::kFast0RangeId)->IsVisible());

    // A standard routine beside the fast one; a source not at peripheral level 2.
    f.intc->Item(1).dwValue = static_cast<std::uint32_t>(source);
    f.SetText(f.intc->VectorItem(source), "StandardISR");
    f.SetText(f.intc->PriorityItem(source), "INTC_LEVEL1");
    f.intc->CheckWarnings();
    EXPECT_EQ(f.host.Warning(CpmINTC::kFast0BothId),
              "Fast interrupt 0 has assigned both standard ISR and fast ISR. The fast ISR will be "
              "used.");
    EXPECT_EQ(f.host.Warning(CpmINTC::kFastLevelId),
              "Interrupt source " + std::to_string(source) +
                  " can not be used as fast interrupt. Only peripheral interrupt sources "
                  "configured for priority level 2 can be set as fast.");
    f.SetText(f.intc->PriorityItem(source), "INTC_LEVEL2");
    f.SetText(f.intc->VectorItem(source), "");
    // The second fast interrupt on a core source is reported (the first is fine now).
    f.intc->Item(2).dwValue = static_cast<std::uint32_t>(core);
    f.SetText(f.intc->PriorityItem(core), "INTC_LEVEL2");
    f.intc->CheckWarnings();
    EXPECT_EQ(f.host.Warning(CpmINTC::kFast0BothId), "");
    EXPECT_EQ(f.host.Warning(CpmINTC::kFastLevelId)
                  .rfind("Interrupt source " + std::to_string(core) + " can not", 0),
              0u);
    f.intc->Item(2).dwValue = 0;
    f.intc->CheckWarnings();
    EXPECT_EQ(f.host.Warning(CpmINTC::kFastLevelId), "");
}

TEST(CpmINTC, UserVectorsOfFamA) {
    CIntcFixture f({kFamA, 105}, "", "", "WINTC");
    f.Open();
    ASSERT_EQ(f.intc->SourceCount(), 51);
    auto setUser = [&](int k, int source) {
        tPerCfgItem& iar = f.intc->Item(1 + (k - 1) / 2);
        const int shift = ((k - 1) % 2) * 8;
        iar.dwValue =
            (iar.dwValue & ~(0x3Fu << shift)) | (static_cast<std::uint32_t>(source) << shift);
    };
    // Every user vector at 0: unassigned, no warning at all.
    f.intc->CheckWarnings();
    EXPECT_TRUE(f.host.Active().empty()) << f.host.Active().begin()->second;

    setUser(1, 35); // among the core sources
    setUser(2, 40); // valid, but without a name
    setUser(3, 9);  // below the first valid source
    setUser(4, 45); // the user vectors themselves
    setUser(5, 44); // the last valid one, named
    f.SetText(f.intc->VectorItem(49), "User5ISR");
    f.intc->CheckWarnings();
    EXPECT_EQ(
        f.host.Active(),
        (std::map<int, std::string>{
            {CpmINTC::kFirstUserValidityId, "USER1 interrupt source number is not valid"},
            {CpmINTC::kFirstUserValidityId + 1, "USER2 interrupt service routine must have a name"},
            {CpmINTC::kFirstUserValidityId + 2, "USER3 interrupt source number is not valid"},
            {CpmINTC::kFirstUserValidityId + 3, "USER4 interrupt source number is not valid"}}));
    EXPECT_EQ(f.intc->UserVectorOf(44)->number, 5);
    EXPECT_EQ(f.intc->UserVectorOf(44)->routine, "User5ISR");
    EXPECT_FALSE(f.intc->UserVectorOf(0));
    EXPECT_FALSE(f.intc->UserVectorOf(43));

    // With the fast interrupt on, USER6 speaks of the fast interrupt.
    for (int k = 1; k <= 4; ++k)
        setUser(k, 0);
    f.intc->Page()->UserClick(*f.intc->FindControl(CpmINTC::kFastEnableId));
    EXPECT_EQ(f.intc->Item(4).dwValue, 1u);
    setUser(6, 36);
    f.intc->CheckWarnings();
    EXPECT_EQ(f.host.Warning(CpmINTC::kFirstUserValidityId + 5),
              "Fast (USER6) interrupt source number is not valid");
    setUser(6, 43);
    f.intc->CheckWarnings();
    EXPECT_EQ(f.host.Warning(CpmINTC::kFirstUserValidityId + 5),
              "Fast (USER6) interrupt service routine must have a name");

    // A standard routine beside the user one, and a source in two user vectors.
    f.SetText(f.intc->VectorItem(50), "FastISR");
    f.SetText(f.intc->VectorItem(43), "Pit0ISR");
    setUser(2, 43);
    f.SetText(f.intc->VectorItem(46), "User2ISR");
    f.intc->CheckWarnings();
    EXPECT_EQ(f.host.Warning(CpmINTC::kFirstUserValidityId + 5), "");
    EXPECT_EQ(f.host.Warning(CpmINTC::kFirstUserBothId + 1),
              "Interrupt source 43 has assigned both standard ISR and USER2 ISR. The USER ISR "
              "will be used.");
    EXPECT_EQ(f.host.Warning(CpmINTC::kFirstUserRepeatedId + 5),
              "Interrupt source 43 is assigned to more than one USER interrupt.");
    EXPECT_EQ(f.host.Warning(CpmINTC::kFirstUserRepeatedId + 1), "");

    // The page edits the fields: USER2 is IAR0 bits 8..13, its name the vector of source 46.
    CPageControl* number = f.intc->FindControl(CpmINTC::kFirstUserNumberId + 1);
    number->Page().UserEdit(*number, "44");
    EXPECT_EQ((f.intc->Item(1).dwValue >> 8) & 0x3F, 44u);
    f.intc->RefreshControls();
    EXPECT_EQ(f.intc->FindControl(CpmINTC::kFirstUserNameId + 1)->Text(), "User2ISR");
    CPageControl* user6 = f.intc->FindControl(CpmINTC::kFirstUserNumberId + 5);
    user6->Page().UserEdit(*user6, "12");
    EXPECT_EQ((f.intc->Item(3).dwValue >> 8) & 0x3F, 12u);
}

TEST(CpmINTC, DebugPortInterruptEnables) {
    CIntcFixture f({kFamA, 104}, "", "", "WINTC");
    f.Open();
    EXPECT_FALSE(f.intc->DebugPortInterruptsEnabled());
    // The boxes run from bit 4 down to bit 0: the last two are transmit empty and receive full.
    f.intc->Page()->UserClick(*f.intc->FindControl(CpmINTC::kFirstEOnCEId + 3));
    EXPECT_EQ(f.intc->Item(0).dwValue, 1u << 1);
    EXPECT_FALSE(f.intc->DebugPortInterruptsEnabled());
    f.intc->Page()->UserClick(*f.intc->FindControl(CpmINTC::kFirstEOnCEId + 4));
    EXPECT_TRUE(f.intc->DebugPortInterruptsEnabled());
    EXPECT_TRUE(DebugPortInterruptsEnabled(*f.intc));
    CIntcFixture other({kFamH, kFamK, 12});
    other.intc->Item(0).dwValue = 0x3;
    EXPECT_FALSE(other.intc->DebugPortInterruptsEnabled());
}

TEST(CpmINTC, ClaimsPerDocument) {
    CIntcFixture f({kFamH, kFamK, 12}, "", "27,28");
    CpmRowTest& other = f.host.Add<CpmRowTest>("SCI_1", "SCI", "", "INT:27:");
    other.BindControls(&f.host);
    f.Open();
    CpmINTC& intc = *f.intc;
    CPageControl* edit = f.PeripheralRow(0, CModule::kRowIsrNameId);
    ASSERT_NE(edit, nullptr);
    edit->Page().UserEdit(*edit, "MyOwnISR");
    edit->Page().UserFocus(nullptr);
    edit->Page().Dispatch(*edit, EControlEvent::FocusLost);
    EXPECT_EQ(intc.RoutineName(27), "MyOwnISR");

    EXPECT_TRUE(ClaimInterruptVector(*f.peripheral, 27, "Sci0TxEmptyISR", true));
    EXPECT_EQ(intc.VectorOwner(27), f.peripheral);
    EXPECT_EQ(intc.RoutineName(27), "Sci0TxEmptyISR");
    // Every row of the source shows the name and may not edit it.
    EXPECT_EQ(edit->Text(), "Sci0TxEmptyISR");
    EXPECT_FALSE(edit->IsEnabled());
    EXPECT_EQ(f.Row(27, CModule::kRowIsrNameId)->Text(), "Sci0TxEmptyISR");
    EXPECT_FALSE(f.Row(27, CModule::kRowIsrNameId)->IsEnabled());
    EXPECT_TRUE(f.Row(28, CModule::kRowIsrNameId)->IsEnabled());
    // The owner may claim again; nobody else may claim or release.
    EXPECT_TRUE(intc.ClaimVector(f.peripheral, 27, "Sci0TxEmptyISR", true));
    EXPECT_FALSE(intc.ClaimVector(&other, 27, "OtherISR", true));
    EXPECT_FALSE(intc.ClaimVector(&other, 27, "", false));
    EXPECT_EQ(intc.RoutineName(27), "Sci0TxEmptyISR");
    // Release gives the user's name back and the edit again.
    EXPECT_TRUE(intc.ClaimVector(f.peripheral, 27, "", false));
    EXPECT_EQ(intc.VectorOwner(27), nullptr);
    EXPECT_EQ(intc.RoutineName(27), "MyOwnISR");
    EXPECT_EQ(edit->Text(), "MyOwnISR");
    EXPECT_TRUE(edit->IsEnabled());
    EXPECT_FALSE(intc.ClaimVector(f.peripheral, 27, "", false));
    // Sources outside the table and fixed routines cannot be claimed.
    EXPECT_FALSE(intc.ClaimVector(f.peripheral, 82, "X", true));
    EXPECT_FALSE(intc.ClaimVector(f.peripheral, -1, "X", true));
    EXPECT_FALSE(intc.ClaimVector(f.peripheral, 0, "X", true));
    EXPECT_FALSE(intc.ClaimVector(nullptr, 28, "X", true));
    EXPECT_TRUE(intc.ClaimVector(&other, 28, "OtherISR", true));
    // A driver's routine read back from the header is the driver's, not the user's: releasing
    // the claim made on opening clears it.
    EXPECT_TRUE(intc.ClaimVector(&other, 28, "", false));
    tPerCfgItem& vector = intc.VectorItem(28);
    vector.dwValue = 1;
    hwc::CopyCut(vector.szValue, "OtherISR");
    ASSERT_EQ(intc.RoutineName(28), "OtherISR");
    EXPECT_TRUE(intc.ClaimVector(&other, 28, " OtherISR ", true));
    EXPECT_TRUE(intc.ClaimVector(&other, 28, "", false));
    EXPECT_EQ(intc.RoutineName(28), "");

    // A new document starts with no owners.
    CIntcFixture next({kFamH, kFamK, 12}, "", "27");
    EXPECT_EQ(next.intc->VectorOwner(28), nullptr);
    EXPECT_TRUE(ClaimInterruptVector(*next.peripheral, 28, "NextISR", true));
}

TEST(CpmINTC, RowsOfOtherModulesBindToTheVector) {
    CIntcFixture f({kFamH, kFamK, 12}, "", "27,200");
    f.Open();
    CPageControl* source = f.PeripheralRow(0, CModule::kRowSourceId);
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->Text(), "27. SCI 0 Transmitter Empty");
    CPageControl* priority = f.PeripheralRow(0, CModule::kRowPriorityId);
    priority->Page().UserSelect(*priority, 2);
    EXPECT_EQ(f.Text(f.intc->PriorityItem(27)), "INTC_LEVEL1");
    CPageControl* name = f.PeripheralRow(0, CModule::kRowIsrNameId);
    name->Page().UserEdit(*name, "  TxISR ");
    name->Page().Dispatch(*name, EControlEvent::FocusLost);
    EXPECT_EQ(f.intc->RoutineName(27), "TxISR");
    // A vector outside the table keeps a plain row bound to nothing.
    CPageControl* plain = f.PeripheralRow(1, CModule::kRowIsrNameId);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->Handler(), nullptr);
    // A name being typed in the controller's row survives its state updates until applied.
    CPageControl* own = f.Row(28, CModule::kRowIsrNameId);
    f.intc->Page()->UserFocus(own);
    f.intc->Page()->UserEdit(*own, "HalfTyp");
    f.intc->UpdateControlStates();
    EXPECT_EQ(own->Text(), "HalfTyp");
    f.intc->Page()->UserFocus(nullptr);
    EXPECT_EQ(f.intc->RoutineName(28), "HalfTyp");
    // The controller's own row of that source shows the same register.
    f.intc->RefreshControls();
    EXPECT_EQ(f.Row(27, CModule::kRowIsrNameId)->Text(), "TxISR");
    EXPECT_EQ(f.Row(27, CModule::kRowPriorityId)->Selection(), 2);
}

TEST(CpmINTC, HeaderValuesLoadAndWriteBack) {
    CIntcFixture f({kFamH, kFamK, 12});
    CAppcfgFile header;
    auto define = [&](const std::string& name, const std::string& value) {
        CAppcfgEntry& entry = header.Definitions().Obtain(name);
        entry.value = value;
    };
    define("INT_VECTOR_ADDR_27", "Sci0TxISR");
    define("INT_PRIORITY_LEVEL_27", "INTC_LEVEL1");
    define("INT_PRIORITY_LEVEL_28", "INTC_LEVEL7"); // not offered
    define("INT_VECTOR_ADDR_0", "NotMine");         // the reset's routine is fixed
    define("INTC_ICTL_INIT", "0x0020U");
    define("INTC_FIM0_INIT", "27");
    define("INTC_FIVA0_INIT", "FastISR");
    ASSERT_TRUE(f.intc->LoadFromHeader(&header));
    EXPECT_FALSE(header.GetEntry("INT_VECTOR_ADDR_0")->IsClaimed());
    EXPECT_EQ(f.intc->RoutineName(27), "Sci0TxISR");
    EXPECT_EQ(f.intc->RoutineName(0), "Start");
    f.Open();
    EXPECT_TRUE(f.intc->FindControl(CpmINTC::kGlobalMaskId)->Check());
    EXPECT_EQ(f.intc->FindControl(CpmINTC::kFast0NumberId)->Text(), "27");
    EXPECT_EQ(f.intc->FindControl(CpmINTC::kFast0NameId)->Text(), "FastISR");
    EXPECT_EQ(f.Row(27, CModule::kRowPriorityId)->Selection(), 2);
    // A priority that is not offered selects nothing and is written back as it was.
    EXPECT_EQ(f.Row(28, CModule::kRowPriorityId)->Selection(), -1);
    f.intc->ApplyControls();
    std::string text;
    ASSERT_TRUE(f.intc->WriteHeaderText(text));
    for (const char* line :
         {"#define INTC_ICTL_INIT", "#define INTC_FIM0_INIT                    27\n",
          "#define INTC_FIVA0_INIT                   FastISR\n",
          "#define INT_VECTOR_ADDR_27                Sci0TxISR\n",
          "#define INT_PRIORITY_LEVEL_27             INTC_LEVEL1\n",
          "#define INT_PRIORITY_LEVEL_28             INTC_LEVEL7\n"})
        EXPECT_NE(text.find(line), std::string::npos) << line << "\n" << text;
    EXPECT_EQ(text.find("INT_VECTOR_ADDR_0 "), std::string::npos) << text;
    // The registers view lists the routine names that are given.
    EXPECT_TRUE(f.intc->ShowInRegistersView(0, f.intc->VectorItem(27)));
    EXPECT_FALSE(f.intc->ShowInRegistersView(0, f.intc->VectorItem(28)));
    EXPECT_TRUE(f.intc->ShowInRegistersView(0, f.intc->Item(0)));
    EXPECT_EQ(text.find("INT_VECTOR_ADDR_28"), std::string::npos) << text;
}

TEST(CpmINTC, UserVectorNoteOnTheTimerPage) {
    CIntcHost host;
    host.groups = {kFamA, 105};
    CpmINTC& intc = host.Add<CpmINTC>("WINTC", "INTC");
    CpmPIT& pit = host.Add<CpmPIT>("PIT0", "PIT", "", "INT:43:");
    for (auto& module : host.modules)
        module->BindControls(&host);
    for (auto& module : host.modules) {
        module->CreatePage();
        module->OnInitialUpdate();
    }
    pit.UpdateControlStates();
    CPageControl* note = pit.FindControl(CpmPIT::kUserVectorNoteId);
    EXPECT_FALSE(note->IsVisible());
    intc.Item(2).dwValue = 43u << 8; // USER4
    CopyCut(intc.VectorItem(48).szValue, "TimerISR");
    intc.VectorItem(48).dwValue = 1;
    pit.UpdateControlStates();
    EXPECT_TRUE(note->IsVisible());
    EXPECT_NE(note->Text().find("NOTE: defined as USER4 (TimerISR) in WINTC module."),
              std::string::npos)
        << note->Text();
    // Elsewhere there are no user vectors.
    CIntcHost other;
    other.groups = {kFamH, kFamK, 12};
    other.Add<CpmINTC>("INTC", "INTC");
    CpmPIT& timer = other.Add<CpmPIT>("PIT0", "PIT", "", "INT:43:");
    for (auto& module : other.modules)
        module->BindControls(&other);
    timer.CreatePage();
    timer.UpdateControlStates();
    EXPECT_FALSE(timer.FindControl(CpmPIT::kUserVectorNoteId)->IsVisible());
}

// Every architecture file gives its peripherals vectors that the processor's table names after
// them: the tables and the files come from the same vector plans and must not drift apart.
TEST(CpmINTC, TablesAgreeWithTheArchitectureFiles) {
    namespace fs = std::filesystem;
    fs::path folder = fs::path(__FILE__).parent_path() / "../../../data/arch";
    if (const char* data = std::getenv("HWC_TEST_DATA"); data && !fs::exists(folder))
        folder = fs::path(data) / "../../data/arch";
    if (!fs::exists(folder))
        GTEST_SKIP() << "no architecture files at " << folder;
    // Group flags by processor table range, as far as the controller tests them.
    const std::map<int, std::pair<int, int>> ranges = {
        {94, {0, 4}},    {95, {5, 33}},   {97, {19, 22}},    {100, {23, 26}},
        {101, {7, 18}},  {102, {16, 18}}, {103, {104, 105}}, {106, {27, 33}},
        {107, {27, 29}}, {109, {34, 53}}, {113, {54, 80}},   {116, {81, 93}}};
    const std::regex entryLine(R"(processor table entry (\d+))");
    const std::regex moduleLine(R"(^\s*(\w+)\s+(\w+)\s+\w+\s+INT:([0-9,]+):)");
    int files = 0;
    int vectors = 0;
    for (const auto& file : fs::directory_iterator(folder)) {
        if (file.path().extension() != ".cfg")
            continue;
        std::ifstream in(file.path());
        std::string line;
        std::getline(in, line);
        std::smatch match;
        ASSERT_TRUE(std::regex_search(line, match, entryLine)) << file.path();
        const int entry = std::stoi(match[1]);
        std::set<int> groups = {entry};
        for (const auto& [flag, range] : ranges) {
            if (entry >= range.first && entry <= range.second)
                groups.insert(flag);
        }
        CIntcFixture f(groups);
        ++files;
        while (std::getline(in, line) && line != ".END_TREE_LIST") {
            if (!std::regex_search(line, match, moduleLine))
                continue;
            const std::string instance = match[1];
            std::string shown = instance;
            std::replace(shown.begin(), shown.end(), '_', ' ');
            for (const std::string& part : Split(match[3].str(), ',')) {
                const int vector = std::stoi(part);
                ++vectors;
                const std::string at = file.path().filename().string() + " " + instance;
                ASSERT_LT(vector, f.intc->SourceCount()) << at;
                EXPECT_NE(f.intc->SourceFlags(vector), VectorFlag::RESERVED) << at;
                const std::string description = f.intc->SourceDescription(vector);
                if (match[2] != "VMON") {
                    EXPECT_NE(description.find(" " + shown + " "), std::string::npos)
                        << at << ": " << description;
                }
            }
        }
    }
    EXPECT_EQ(files, 96);
    EXPECT_GT(vectors, 96 * 20);
}
