#include <gtest/gtest.h>

#include "ModelTestSupport.h"
#include "base/FixedText.h"
#include "model/ModuleBase.h"

using namespace hwc;

namespace {

const std::vector<tPerCfgDef> kAdcTable = {
    {"ADCR1_INIT", 0x5005, RegFlag::DW16},
    {"ADCR2_INIT", 0x0002, RegFlag::DW16},
    {"CLOCK_SOURCE", 0, RegFlag::DW8},
};

const std::vector<tPerCfgDef> kCopTable = {
    {"-COP_COPCTL_INIT", 0x302, RegFlag::DW16},
    {"-COP_COPTO_INIT", 0xFFF, RegFlag::DW16},
};

} // namespace

TEST(ModuleBase, ConstructionFillsAFixedZeroedArray) {
    CFakeHost host;
    auto& adc = host.Add<CpmTableTest>(MakeDescriptor("ADC_A", "ADC"), kAdcTable);
    EXPECT_EQ(adc.ItemCount(), 3);
    // The array is as large as the table, not more.
    EXPECT_EQ(adc.Capacity(), 3);
    EXPECT_EQ(adc.Host(), &host);
    EXPECT_EQ(FieldText(adc.Item(0).szName), "ADCR1_INIT");
    EXPECT_EQ(adc.Item(0).dwValue, 0x5005u);
    EXPECT_EQ(adc.Item(0).dwSaved, 0x5005u);

    // The count can change within the capacity; the items never move.
    tPerCfgItem* before = adc.Items();
    adc.SetItemCount(0);
    adc.SetItemCount(3);
    EXPECT_EQ(adc.ItemCount(), 3);
    EXPECT_EQ(adc.Items(), before);
    EXPECT_EQ(adc.Capacity(), 3);

    std::vector<tPerCfgDef> big(250, tPerCfgDef{"R_INIT", 1, RegFlag::DW8});
    auto& large = host.Add<CpmTableTest>(MakeDescriptor("BIG", "ADC"), big);
    EXPECT_EQ(large.Capacity(), 250);
    EXPECT_EQ(large.ItemCount(), 250);

    // Without a descriptor nothing is taken from a table.
    auto& bare = host.Add<CpmTableTest>(nullptr, nullptr);
    EXPECT_EQ(bare.ItemCount(), 0);
    EXPECT_EQ(bare.InstanceName(), "");
    EXPECT_EQ(bare.Capacity(), 0);

    // A module that chooses its table after construction gets its zeroed items the first time;
    // from then on they stay where they are.
    bare.SetItemCount(2);
    EXPECT_EQ(bare.Capacity(), 2);
    EXPECT_EQ(bare.Item(1).szName[0], '\0');
    EXPECT_EQ(bare.Item(1).dwFlags, 0u);
    tPerCfgItem* first = bare.Items();
    bare.SetItemCount(0);
    bare.SetItemCount(2);
    EXPECT_EQ(bare.Items(), first);
}

TEST(ModuleBase, SelectionDependsOnItems) {
    CFakeHost host;
    auto& empty = host.Add<CpmTableTest>(nullptr, nullptr);
    empty.SetSelected(true);
    EXPECT_FALSE(empty.IsSelected());
    std::string text = "summary";
    EXPECT_TRUE(empty.WriteHeaderText(text));
    EXPECT_EQ(text, "");

    auto& adc = host.Add<CpmTableTest>(MakeDescriptor("ADC_A", "ADC"), kAdcTable);
    EXPECT_FALSE(adc.IsSelected());
    adc.SetSelected(true);
    EXPECT_TRUE(adc.IsSelected());
}

TEST(ModuleBase, DefineNamesAndFindRegister) {
    CFakeHost host;
    auto& adc = host.Add<CpmTableTest>(MakeDescriptor("ADC_A", "ADC"), kAdcTable);
    auto& cop = host.Add<CpmTableTest>(MakeDescriptor("COP", "COP"), kCopTable);
    auto& other = host.Add<CpmOtherTest>(nullptr, nullptr);

    EXPECT_EQ(adc.GetDefineName(adc.Item(0)), "ADC_A_ADCR1_INIT");
    EXPECT_EQ(cop.GetDefineName(cop.Item(0)), "COP_COPCTL_INIT");

    // Within the module: by item name, by define name, and a '-' item by its define name.
    CModuleBase* owner = nullptr;
    EXPECT_EQ(adc.FindRegister("ADCR2_INIT"), &adc.Item(1));
    EXPECT_EQ(adc.FindRegister("ADC_A_ADCR2_INIT", &owner), &adc.Item(1));
    EXPECT_EQ(owner, &adc);
    EXPECT_EQ(cop.FindRegister("COP_COPCTL_INIT"), &cop.Item(0));
    EXPECT_EQ(cop.FindRegister("-COP_COPTO_INIT"), &cop.Item(1));

    // Without an owner out, other modules are not searched.
    EXPECT_EQ(other.FindRegister("ADC_A_ADCR1_INIT"), nullptr);
    // Through the prefix: ADC_A is found as the first two parts of the name.
    EXPECT_EQ(other.FindRegister("ADC_A_ADCR1_INIT", &owner), &adc.Item(0));
    EXPECT_EQ(owner, &adc);
    // Through the walk over every other module.
    EXPECT_EQ(other.FindRegister("COP_COPTO_INIT", &owner), &cop.Item(1));
    EXPECT_EQ(owner, &cop);
    EXPECT_EQ(other.FindRegister("CLOCK_SOURCE", &owner), &adc.Item(2));
    EXPECT_EQ(owner, &adc);

    EXPECT_EQ(other.FindRegister("NO_SUCH_INIT", &owner), nullptr);
    EXPECT_EQ(owner, nullptr);
    // An instance-name prefix alone does not match an item.
    EXPECT_EQ(adc.FindRegister("ADC_A"), nullptr);
    EXPECT_EQ(adc.FindRegister(""), nullptr);
}

TEST(ModuleBase, FindModuleIsFirstMatchByNameAndOptionalType) {
    CFakeHost host;
    auto& first = host.Add<CpmTableTest>(MakeDescriptor("TMR", "QT"), kAdcTable);
    auto& second = host.Add<CpmTableTest>(MakeDescriptor("TMR", "PIT"), kAdcTable);
    EXPECT_EQ(CModuleBase::FindModule(&host, "TMR"), &first);
    EXPECT_EQ(CModuleBase::FindModule(&host, "TMR", "PIT"), &second);
    EXPECT_EQ(CModuleBase::FindModule(&host, "tmr"), nullptr);
    EXPECT_EQ(CModuleBase::FindModule(&host, "TMR", "pit"), nullptr);
    EXPECT_EQ(CModuleBase::FindModule(nullptr, "TMR"), nullptr);
}

TEST(ModuleBase, BindControlsTakesResetValuesAndTheRelatedModule) {
    CFakeHost host;
    CModuleDescriptor descriptor = MakeDescriptor(
        "ADC_A", "ADC",
        "ADCR1_RESET = 0x1234\nADCR2_INIT=7\nCLOCK_SOURCE=0x3\nnot a pair\n ADCR1_RESET=0x4321 ");
    descriptor.SetField(CModuleDescriptor::kRelatedModule, "OCCS");
    auto& adc = host.Add<CpmTableTest>(descriptor, kAdcTable);
    host.Add<CpmOtherTest>(nullptr, nullptr);
    auto& occsNamed = host.Add<CpmTableTest>(MakeDescriptor("OCCS", "OCCS"), kCopTable);

    adc.BindControls(&host);
    EXPECT_EQ(adc.RelatedModule(), &occsNamed);
    // The later line wins; an "_INIT" item looks up "_RESET", any other its own name.
    EXPECT_EQ(adc.Item(0).dwDefault, 0x4321u);
    EXPECT_EQ(adc.Item(0).dwValue, 0x4321u);
    EXPECT_EQ(adc.Item(1).dwDefault, 0x0002u);
    EXPECT_EQ(adc.Item(2).dwValue, 3u);

    std::uint32_t number = 0;
    std::string text = "stale";
    EXPECT_TRUE(adc.GetModuleInfoNumber("CLOCK_SOURCE", number));
    EXPECT_EQ(number, 3u);
    EXPECT_FALSE(adc.GetModuleInfo("MISSING", text));
    EXPECT_EQ(text, "");
    EXPECT_TRUE(adc.GetModuleInfo("ADCR2_INIT", text));
    EXPECT_EQ(text, "7");

    CModuleDescriptor none = MakeDescriptor("COP", "COP", "COPCTL_RESET=zz");
    none.SetField(CModuleDescriptor::kRelatedModule, "none");
    auto& cop = host.Add<CpmTableTest>(none, kCopTable);
    cop.BindControls(&host);
    EXPECT_EQ(cop.RelatedModule(), nullptr);
    EXPECT_FALSE(cop.GetModuleInfoNumber("COPCTL_RESET", number));
}

TEST(ModuleBase, ClassRecordsDecideImportCompatibility) {
    CFakeHost host;
    auto& base = host.Add<CpmTableTest>(MakeDescriptor("T0", "QT"), kAdcTable);
    auto& derived = host.Add<CpmDerivedTest>(MakeDescriptor("T1", "QT"), kAdcTable);
    auto& other = host.Add<CpmOtherTest>(nullptr, nullptr);

    bool forbidden = true;
    EXPECT_TRUE(base.IsImportCompatible(derived, forbidden));
    EXPECT_FALSE(forbidden);
    EXPECT_TRUE(base.IsImportCompatible(base, forbidden));
    EXPECT_FALSE(derived.IsImportCompatible(base, forbidden));
    EXPECT_FALSE(base.IsImportCompatible(other, forbidden));

    EXPECT_TRUE(derived.IsKindOf(CModuleBase::kRuntimeClass));
    EXPECT_STREQ(derived.GetRuntimeClass()->name, "CpmDerivedTest");

    // Creation by class name.
    const CRuntimeClass* classes[] = {&CpmTableTest::kRuntimeClass, &CpmOtherTest::kRuntimeClass,
                                      &CModuleBase::kRuntimeClass};
    const CRuntimeClass* found = FindRuntimeClass(classes, "CpmOtherTest");
    ASSERT_NE(found, nullptr);
    const CModuleDescriptor descriptor = MakeDescriptor("X", "OTHER");
    std::unique_ptr<CModuleBase> created(found->CreateObject(&base, &descriptor));
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->GetRuntimeClass(), &CpmOtherTest::kRuntimeClass);
    EXPECT_EQ(created->InstanceName(), "X");
    EXPECT_EQ(created->Parent(), &base);
    EXPECT_EQ(FindRuntimeClass(classes, "CModuleBase")->CreateObject(nullptr, nullptr), nullptr);
    EXPECT_EQ(FindRuntimeClass(classes, "cpmothertest"), nullptr);
}
