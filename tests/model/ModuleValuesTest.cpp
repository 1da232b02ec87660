#include <gtest/gtest.h>

#include <cstring>

#include "ModelTestSupport.h"
#include "base/FixedText.h"
#include "header/AppcfgFile.h"
#include "model/ModuleBase.h"
#include "support/ScriptedMessages.h"

using namespace hwc;

namespace {

// A parsed header whose internal parameter blocks are filled directly.
class CTestHeader : public CAppcfgFile {
public:
    CAppcfgEntry& Param(const std::string& module, const std::string& key,
                        const std::string& value) {
        CAppcfgEntry& entry = m_params[module].Obtain(key);
        entry.value = value;
        return entry;
    }
    CAppcfgEntry* GetParam(const std::string& module, const std::string& key) override {
        const auto block = m_params.find(module);
        return block == m_params.end() ? nullptr : block->second.Find(key);
    }

private:
    std::map<std::string, CAppcfgMap> m_params;
};

const std::vector<tPerCfgDef> kAdcTable = {
    {"ADCR1_INIT", 0x5005, RegFlag::DW16},
    {"ADCR2_INIT", 0x0002, RegFlag::DW16},
    {"ADLST1_INIT", 0x3210, RegFlag::DW16},
    {"ADSDIS_INIT", 0xF0, RegFlag::DW16},
};

// A module with one item of the given name, default, flags and value, selected.
CpmTableTest& OneItem(CFakeHost& host, const char* name, std::uint32_t dflt, std::uint32_t flags,
                      std::uint32_t value, const char* text = "", const char* instance = "ADC_A") {
    auto& module = host.Add<CpmTableTest>(MakeDescriptor(instance, "ADC"),
                                          std::vector<tPerCfgDef>{{name, dflt, flags}});
    module.Item(0).dwValue = value;
    CopyCut(module.Item(0).szValue, text);
    module.SetSelected(true);
    return module;
}

std::string HeaderText(const CModuleBase& module) {
    std::string text;
    module.GetHeaderText(text);
    return text;
}

} // namespace

// --- Loading ---

TEST(ModuleLoad, NumericValuesReadLikePercentIAndAreClaimed) {
    CFakeHost host;
    CScriptedMessages messages;
    CAppcfgFile header;
    CAppcfgEntry& r1 = Define(header, "ADC_A_ADCR1_INIT", "0x5006U", " first ");
    Define(header, "ADC_A_ADCR2_INIT", "12UL");
    Define(header, "ADC_A_ADLST1_INIT", "010");
    CAppcfgEntry& unrelated = Define(header, "ADC_B_ADCR1_INIT", "1");

    auto& adc = host.Add<CpmTableTest>(MakeDescriptor("ADC_A", "ADC"), kAdcTable);
    EXPECT_TRUE(adc.LoadFromHeader(&header));
    EXPECT_TRUE(adc.IsHeaderFile(&header));
    EXPECT_TRUE(adc.IsSelected());
    EXPECT_TRUE(messages.shown.empty());

    EXPECT_EQ(adc.Item(0).dwValue, 0x5006u);
    EXPECT_EQ(FieldText(adc.Item(0).szValue), "0x5006U");
    EXPECT_EQ(FieldText(adc.Item(0).szComment), " first ");
    EXPECT_EQ(adc.Item(1).dwValue, 12u);
    EXPECT_EQ(adc.Item(2).dwValue, 8u);
    EXPECT_EQ(adc.Item(3).dwValue, 0xF0u); // not in the header: default
    EXPECT_EQ(FieldText(adc.Item(3).szValue), "");
    EXPECT_TRUE(r1.IsClaimed());
    EXPECT_FALSE(unrelated.IsClaimed());
    EXPECT_FALSE(adc.IsModified());
    for (int i = 0; i < adc.ItemCount(); ++i)
        EXPECT_EQ(host.itemOwners[&adc.Item(i)], &adc);
}

// A value that is no integer constant keeps the default and is left to the user definitions:
// its define is not claimed, and the module writes no line of its own for it until it is set.
TEST(ModuleLoad, UnreadableValuesKeepTheDefaultAndAreLeftToTheUserDefinitions) {
    CFakeHost host;
    host.generateDefaults = true;
    CScriptedMessages messages;
    CAppcfgFile header;
    CAppcfgEntry& fast = Define(header, "ADC_A_ADCR1_INIT", "FAST");
    Define(header, "ADC_A_ADCR2_INIT", "0x123456789U"); // does not fit 32 bits
    CAppcfgEntry& empty = Define(header, "ADC_A_ADSDIS_INIT", "");
    CAppcfgEntry& expression = Define(header, "ADC_A_ADLST1_INIT", "4 * ADC_PERIOD");

    auto& adc = host.Add<CpmTableTest>(MakeDescriptor("ADC_A", "ADC"), kAdcTable);
    EXPECT_FALSE(adc.LoadFromHeader(&header)); // nothing was read: not selected
    EXPECT_EQ(adc.Item(0).dwValue, 0x5005u);
    EXPECT_EQ(adc.Item(1).dwValue, 0x0002u);
    EXPECT_EQ(adc.Item(2).dwValue, 0x3210u);
    EXPECT_EQ(adc.Item(3).dwValue, 0xF0u);
    EXPECT_EQ(FieldText(adc.Item(0).szValue), "");
    EXPECT_FALSE(fast.IsClaimed());
    EXPECT_FALSE(empty.IsClaimed());
    EXPECT_FALSE(expression.IsClaimed());
    EXPECT_FALSE(adc.IsModified());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Invalid values found (ignoring):\n\n"
                                      "     #define ADC_A_ADCR1_INIT FAST\n"
                                      "     #define ADC_A_ADCR2_INIT 0x123456789U\n"
                                      "     #define ADC_A_ADLST1_INIT 4 * ADC_PERIOD\n"
                                      "     #define ADC_A_ADSDIS_INIT \n"
                                      "\nThe registers keep their defaults; the lines are kept as "
                                      "user definitions.");
    EXPECT_EQ(messages.shown[0].buttons, EButtons::Ok);
    ASSERT_EQ(adc.UnreadableValues().size(), 4u);
    EXPECT_EQ(adc.UnreadableValues()[2].index, 2);
    EXPECT_EQ(adc.UnreadableValues()[2].defineName, "ADC_A_ADLST1_INIT");
    EXPECT_EQ(adc.UnreadableValues()[2].text, "4 * ADC_PERIOD");

    // Even with every default written, the module leaves those defines to the user.
    adc.SetSelected(true);
    EXPECT_EQ(HeaderText(adc), "");
    EXPECT_TRUE(adc.LeavesDefineToUser(0));
    EXPECT_FALSE(adc.TakesBackDefine("ADC_A_ADCR1_INIT"));
    // Once set, the module writes the register and takes the define back.
    adc.Item(0).dwValue = 0x1234;
    EXPECT_FALSE(adc.LeavesDefineToUser(0));
    EXPECT_TRUE(adc.TakesBackDefine("ADC_A_ADCR1_INIT"));
    EXPECT_FALSE(adc.TakesBackDefine("ADC_A_ADCR2_INIT"));
    EXPECT_FALSE(adc.TakesBackDefine("ADC_B_ADCR1_INIT"));
    EXPECT_NE(HeaderText(adc).find("#define ADC_A_ADCR1_INIT"), std::string::npos);
    EXPECT_EQ(HeaderText(adc).find("ADC_A_ADCR2_INIT"), std::string::npos);

    // A header whose values read leaves nothing to the user on the next load.
    fast.value = "0x0001U";
    expression.value = "7";
    Define(header, "ADC_A_ADCR2_INIT", "3");
    empty.value = "0";
    messages.shown.clear();
    EXPECT_TRUE(adc.LoadFromHeader(&header));
    EXPECT_TRUE(adc.UnreadableValues().empty());
    EXPECT_TRUE(messages.shown.empty());
}

TEST(ModuleLoad, OversizedAndBinaryEntryTextsAreCutToTheFields) {
    CFakeHost host;
    CScriptedMessages messages;
    CAppcfgFile header;
    Define(header, "ADC_A_ADCR1_INIT", "0x12" + std::string(1 << 20, 'U'),
           std::string(1 << 20, 'c'));
    Define(header, "ADC_A_ADCR2_INIT", std::string("\0\x01\xff", 3));
    auto& adc = host.Add<CpmTableTest>(MakeDescriptor("ADC_A", "ADC"), kAdcTable);
    EXPECT_TRUE(adc.LoadFromHeader(&header));
    EXPECT_EQ(adc.Item(0).dwValue, 0x12u);
    EXPECT_EQ(FieldText(adc.Item(0).szValue).size(), 79u);
    EXPECT_EQ(FieldText(adc.Item(0).szComment).size(), 255u);
    EXPECT_EQ(adc.Item(1).dwValue, 0x0002u);
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST(ModuleLoad, StringBareAndPrefixFreeItems) {
    CFakeHost host;
    CScriptedMessages messages;
    CAppcfgFile header;
    Define(header, "COP_COPCTL_INIT", "0x0302U");
    Define(header, "SYS_NAME", "");
    Define(header, "SYS_QUOTED", "\"hello world\"");
    Define(header, "SYS_HALF", "\"open");
    Define(header, "SYS_ONE", "\"");
    Define(header, "SYS_PLAIN", "\"kept\"");
    Define(header, "SYS_FLAG", "");
    const std::vector<tPerCfgDef> table = {
        {"-COP_COPCTL_INIT", 0, RegFlag::DW16},
        {"NAME", 0, RegFlag::STRVALUE},
        {"QUOTED", 0, RegFlag::STRVALUE | RegFlag::QUOTEDVALUE},
        {"HALF", 0, RegFlag::STRVALUE | RegFlag::QUOTEDVALUE},
        {"ONE", 0, RegFlag::STRVALUE | RegFlag::QUOTEDVALUE},
        {"PLAIN", 0, RegFlag::STRVALUE},
        {"FLAG", 0, RegFlag::NOVALUE},
        {"ABSENT", 0, RegFlag::NOVALUE},
    };
    auto& sys = host.Add<CpmTableTest>(MakeDescriptor("SYS", "SYS"), table);
    sys.LoadFromHeader(&header);
    EXPECT_EQ(sys.Item(0).dwValue, 0x302u);
    EXPECT_EQ(sys.Item(1).dwValue, 1u);
    EXPECT_EQ(FieldText(sys.Item(1).szValue), "");
    EXPECT_EQ(FieldText(sys.Item(2).szValue), "hello world");
    EXPECT_EQ(FieldText(sys.Item(3).szValue), "\"open");
    EXPECT_EQ(FieldText(sys.Item(4).szValue), "\"");
    EXPECT_EQ(FieldText(sys.Item(5).szValue), "\"kept\"");
    EXPECT_EQ(sys.Item(6).dwValue, 1u);
    EXPECT_EQ(sys.Item(7).dwValue, 0u);
    EXPECT_TRUE(messages.shown.empty());
}

TEST(ModuleLoad, InternalItemsComeFromTheParameterBlock) {
    CFakeHost host;
    CTestHeader header;
    CAppcfgEntry& period = header.Param("QT_A0", "PERIOD_US", "1000");
    header.Param("QT_A0", "LABEL", "\"main\"");
    Define(header, "QT_A0_PERIOD_US", "5"); // a define of the same name is not the parameter
    const std::vector<tPerCfgDef> table = {
        {"PERIOD_US", 0, RegFlag::INTERNAL | RegFlag::DECVALUE},
        {"LABEL", 0, RegFlag::INTERNAL | RegFlag::STRVALUE | RegFlag::QUOTEDVALUE},
    };
    auto& qt = host.Add<CpmTableTest>(MakeDescriptor("QT_A0", "QT"), table);
    EXPECT_TRUE(qt.LoadFromHeader(&header));
    EXPECT_EQ(qt.Item(0).dwValue, 1000u);
    EXPECT_EQ(FieldText(qt.Item(1).szValue), "main");
    EXPECT_TRUE(period.IsClaimed());
    EXPECT_FALSE(header.GetEntry("QT_A0_PERIOD_US")->IsClaimed());
}

TEST(ModuleLoad, NothingFoundLeavesTheModuleUnselected) {
    CFakeHost host;
    CAppcfgFile header;
    Define(header, "OTHER_INIT", "1");
    auto& adc = host.Add<CpmTableTest>(MakeDescriptor("ADC_A", "ADC"), kAdcTable);
    adc.SetSelected(true);
    EXPECT_FALSE(adc.LoadFromHeader(&header));
    EXPECT_FALSE(adc.IsSelected());
    EXPECT_FALSE(adc.SelectedAtSave());
    EXPECT_FALSE(adc.IsModified());
}

TEST(ModuleLoad, TheFirstRememberedHeaderIsUsed) {
    CFakeHost host;
    CAppcfgFile own;
    CAppcfgFile main;
    Define(own, "ADC_A_ADCR1_INIT", "1");
    Define(main, "ADC_A_ADCR1_INIT", "2");
    auto& adc = host.Add<CpmTableTest>(MakeDescriptor("ADC_A", "ADC"), kAdcTable);
    adc.SetHeaderFile(&own);
    adc.LoadFromHeader(&main);
    EXPECT_EQ(adc.Item(0).dwValue, 1u);
    EXPECT_TRUE(adc.IsHeaderFile(&own));
    EXPECT_FALSE(adc.IsHeaderFile(&main));
}

TEST(ModuleLoad, LegacyNamesAreFoundThroughTheReadersAliases) {
    CFakeHost host;
    CAppcfgFileReader header(std::vector<tNamePair>{{"ADC_A_CONTROL_REG1", "ADC_A_ADCR1_INIT"}});
    CAppcfgEntry& legacy = Define(header, "ADC_A_CONTROL_REG1", "0x1111");
    auto& adc = host.Add<CpmTableTest>(MakeDescriptor("ADC_A", "ADC"), kAdcTable);
    adc.LoadFromHeader(&header);
    EXPECT_EQ(adc.Item(0).dwValue, 0x1111u);
    EXPECT_TRUE(legacy.IsClaimed());
    // Written back under the current name.
    EXPECT_EQ(HeaderText(adc), "#define ADC_A_ADCR1_INIT                  0x1111U\n");
}

TEST(ModuleLoad, InitRegistersWithSuffixAndWithoutReset) {
    CScriptedMessages messages;
    CAppcfgFile header;
    Define(header, "PWM_A_VAL_INIT_1", "0x10");
    Define(header, "-X", "3");
    tPerCfgItem items[2]{};
    const tPerCfgDef table[] = {{"VAL_INIT", 0, RegFlag::DW16}, {"OTHER", 5, RegFlag::DW16}};
    CModuleBase::InitRegisters(nullptr, items, 2, "PWM_A", "", table, true);
    items[1].dwValue = 9;
    CopyCut(items[1].szValue, "kept");
    EXPECT_EQ(CModuleBase::InitRegisters(&header, items, 2, "PWM_A", "1", table, false), 1);
    EXPECT_EQ(items[0].dwValue, 0x10u);
    EXPECT_EQ(items[1].dwValue, 9u);
    EXPECT_EQ(items[1].dwSaved, 9u);
    EXPECT_EQ(FieldText(items[1].szSaved), "kept");
}

TEST(ModuleLoad, RegistersTheProcessorLacksLeaveTheirDefinesToTheUser) {
    CAppcfgFile header;
    CAppcfgEntry& lacking = Define(header, "OCCS_PROT_INIT", "0x15");
    tPerCfgItem items[1]{};
    const tPerCfgDef table[] = {{"PROT_INIT", 0, RegFlag::DW16 | RegFlag::DUMMYREG}};
    // Not found, not claimed: the user definitions write the line back unchanged.
    EXPECT_EQ(CModuleBase::InitRegisters(&header, items, 1, "OCCS", "", table, true), 0);
    EXPECT_FALSE(lacking.IsClaimed());
    EXPECT_EQ(items[0].dwValue, 0u);
}

// --- Header text ---

TEST(ModuleHeaderText, ValuesStartAtColumn42UnlessTheNameIsLong) {
    CFakeHost host;
    EXPECT_EQ(HeaderText(OneItem(host, "ADCR1_INIT", 0, RegFlag::DW16, 0x1234)),
              "#define ADC_A_ADCR1_INIT                  0x1234U\n");
    // "#define " and the name: 39 characters get one blank of padding, 40 and more none.
    EXPECT_EQ(HeaderText(OneItem(host, "-ABCDEFGHIJKLMNOPQRSTUVWXYZABCDE", 0, RegFlag::DW8, 1)),
              "#define ABCDEFGHIJKLMNOPQRSTUVWXYZABCDE   0x01U\n");
    EXPECT_EQ(HeaderText(OneItem(host, "-ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEF", 0, RegFlag::DW8, 1)),
              "#define ABCDEFGHIJKLMNOPQRSTUVWXYZABCDEF  0x01U\n");
    EXPECT_EQ(HeaderText(OneItem(host, "-A_VERY_LONG_MACRO_NAME_OF_FORTY_FOUR_CHARS", 0,
                                 RegFlag::DW32, 0x12)),
              "#define A_VERY_LONG_MACRO_NAME_OF_FORTY_FOUR_CHARS  0x00000012U\n");
}

TEST(ModuleHeaderText, FormatsByWidthAndKind) {
    CFakeHost host;
    EXPECT_EQ(HeaderText(OneItem(host, "R", 0, RegFlag::DW8, 0xAB)),
              "#define ADC_A_R                           0xABU\n");
    EXPECT_EQ(HeaderText(OneItem(host, "R", 0, RegFlag::DW32, 0xAB)),
              "#define ADC_A_R                           0x000000ABU\n");
    EXPECT_EQ(HeaderText(OneItem(host, "R", 0, RegFlag::DW8 | RegFlag::DW16, 0xAB)),
              "#define ADC_A_R                           0xABU\n");
    EXPECT_EQ(HeaderText(OneItem(host, "R", 0, RegFlag::DECVALUE | RegFlag::DW32, 0xFFFFFFFF)),
              "#define ADC_A_R                           -1\n");
    EXPECT_EQ(HeaderText(OneItem(host, "S", 0, RegFlag::STRVALUE, 1, "a b")),
              "#define ADC_A_S                           a b\n");
    EXPECT_EQ(HeaderText(OneItem(host, "S", 0, RegFlag::STRVALUE, 1, "")),
              "#define ADC_A_S                           \n");
    EXPECT_EQ(HeaderText(OneItem(host, "S", 0, RegFlag::STRVALUE | RegFlag::QUOTEDVALUE, 1, "")),
              "#define ADC_A_S                           \"\"\n");
    EXPECT_EQ(HeaderText(OneItem(host, "S", 0, RegFlag::STRVALUE | RegFlag::QUOTEDVALUE, 1, "x")),
              "#define ADC_A_S                           \"x\"\n");
    EXPECT_EQ(HeaderText(OneItem(host, "S", 1, RegFlag::STRVALUE | RegFlag::NODEFAULT, 0, "x")),
              "");
    EXPECT_EQ(HeaderText(OneItem(host, "F", 0, RegFlag::NOVALUE, 1)), "#define ADC_A_F\n");
    EXPECT_EQ(HeaderText(OneItem(host, "D", 0, RegFlag::DUMMYREG | RegFlag::DW8, 7)), "");
}

TEST(ModuleHeaderText, DefaultsAndUndefsFollowTheOptions) {
    CFakeHost host;
    auto& same = OneItem(host, "R", 5, RegFlag::DW8, 5);
    auto& fixed = OneItem(host, "R", 5, RegFlag::DW8 | RegFlag::NODEFAULT, 5);
    auto& bare = OneItem(host, "F", 1, RegFlag::NOVALUE, 0);
    auto& bareDefault = OneItem(host, "F", 0, RegFlag::NOVALUE, 0);
    std::string text;
    EXPECT_EQ(same.GetHeaderText(text), 0);
    EXPECT_EQ(text, "");
    EXPECT_EQ(HeaderText(fixed), "#define ADC_A_R                           0x05U\n");
    text.clear();
    EXPECT_EQ(bare.GetHeaderText(text), 1); // changed from its default, yet no line
    EXPECT_EQ(text, "");
    EXPECT_EQ(HeaderText(bareDefault), "");

    host.generateDefaults = true;
    EXPECT_EQ(HeaderText(same), "#define ADC_A_R                           0x05U\n");
    EXPECT_EQ(HeaderText(bare), "#undef ADC_A_F\n");
    EXPECT_EQ(HeaderText(bareDefault), "#undef ADC_A_F\n");
}

TEST(ModuleHeaderText, CountsChangedCriticalItemsOnly) {
    CFakeHost host;
    const std::vector<tPerCfgDef> table = {
        {"A", 0, RegFlag::DW8},
        {"B", 0, RegFlag::DW8 | RegFlag::NONCRITICAL},
        {"C", 0, RegFlag::DW8 | RegFlag::DUMMYREG},
        {"D", 0, RegFlag::DW8 | RegFlag::INTERNAL},
        {"E", 0, RegFlag::DW8},
    };
    auto& module = host.Add<CpmTableTest>(MakeDescriptor("M", "M"), table);
    for (int i = 0; i < 4; ++i)
        module.Item(i).dwValue = 1;
    std::string text;
    EXPECT_EQ(module.GetHeaderText(text), 1);
    EXPECT_EQ(text, "/*. Internal HWC parameters, do not edit!\n"
                    "    [PARAMETERS:M]\n"
                    "    D=0x01U\n"
                    ".*/\n"
                    "#define M_A                               0x01U\n"
                    "#define M_B                               0x01U\n");
}

TEST(ModuleHeaderText, InternalBlockComesFirstByteForByte) {
    CFakeHost host;
    const std::vector<tPerCfgDef> table = {
        {"CTRL_INIT", 0, RegFlag::DW16},
        {"PERIOD_US", 0, RegFlag::INTERNAL | RegFlag::DECVALUE},
        {"LABEL", 0, RegFlag::INTERNAL | RegFlag::STRVALUE | RegFlag::QUOTEDVALUE},
        {"EMPTY", 0, RegFlag::INTERNAL | RegFlag::STRVALUE | RegFlag::QUOTEDVALUE},
        {"MASK", 0, RegFlag::INTERNAL | RegFlag::DW32},
        {"GONE", 0, RegFlag::INTERNAL | RegFlag::DUMMYREG},
    };
    auto& qt = host.Add<CpmTableTest>(MakeDescriptor("QT_A0", "QT"), table);
    qt.Item(0).dwValue = 0x3026;
    qt.Item(1).dwValue = 1000;
    qt.Item(2).dwValue = 1;
    CopyCut(qt.Item(2).szValue, "main");
    CopyCut(qt.Item(3).szValue, "ignored while absent");
    std::string text = "/*.\nsummary\n.*/\n";
    qt.SetSelected(true);
    EXPECT_TRUE(qt.WriteHeaderText(text));
    EXPECT_EQ(text, "/*.\nsummary\n.*/\n"
                    "/*. Internal HWC parameters, do not edit!\n"
                    "    [PARAMETERS:QT_A0]\n"
                    "    PERIOD_US=1000\n"
                    "    LABEL=\"main\"\n"
                    "    EMPTY=\n"
                    "    MASK=0x00000000U\n"
                    ".*/\n"
                    "#define QT_A0_CTRL_INIT                   0x3026U\n");
}

TEST(ModuleHeaderText, KeptCommentsStartAtColumn50AndSurviveReloading) {
    CFakeHost host;
    auto& module = OneItem(host, "ADCR1_INIT", 0, RegFlag::DW16, 0x1234);
    CopyCut(module.Item(0).szComment, " note ");
    EXPECT_EQ(HeaderText(module), "#define ADC_A_ADCR1_INIT                  0x1234U\n");
    host.keepUserComments = true;
    const std::string line = HeaderText(module);
    EXPECT_EQ(line, "#define ADC_A_ADCR1_INIT                  0x1234U  /* note */\n");
    EXPECT_EQ(line.find("/*"), 51u);

    // Past column 50 the comment follows after one blank.
    auto& longName =
        OneItem(host, "-A_VERY_LONG_MACRO_NAME_OF_FORTY_FOUR_CHARS", 0, RegFlag::DW32, 1);
    CopyCut(longName.Item(0).szComment, "x");
    EXPECT_EQ(HeaderText(longName),
              "#define A_VERY_LONG_MACRO_NAME_OF_FORTY_FOUR_CHARS  0x00000001U /* x */\n");
}

// --- Writing with the selection rule ---

TEST(ModuleWriteHeaderText, UnselectedModuleWithChangesAsks) {
    CFakeHost host;
    CModuleDescriptor descriptor = MakeDescriptor("ADC_A", "ADC");
    descriptor.SetField(CModuleDescriptor::kDisplayName, "Converter A");
    const std::string question =
        "Warning: Module Converter A - ADC is not selected to be written into the configuration "
        "file. Any changes in this module will be lost!\n\nDo you want to keep changes in this "
        "module?\n\nYes includes the module and writes it into the file; No leaves it out and "
        "its changes are lost; Cancel stops saving.";
    for (EAnswer answer : {EAnswer::Yes, EAnswer::No, EAnswer::Cancel}) {
        CScriptedMessages messages;
        messages.Answer(answer);
        auto& adc = host.Add<CpmTableTest>(descriptor, kAdcTable);
        adc.Item(0).dwValue = 0x1234;
        std::string text = "summary\n";
        const bool written = adc.WriteHeaderText(text);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, question);
        EXPECT_EQ(messages.shown[0].buttons, EButtons::YesNoCancel);
        switch (answer) {
        case EAnswer::Yes:
            EXPECT_TRUE(written);
            EXPECT_TRUE(adc.IsSelected());
            EXPECT_EQ(text, "summary\n#define ADC_A_ADCR1_INIT                  0x1234U\n");
            break;
        case EAnswer::No:
            EXPECT_TRUE(written);
            EXPECT_FALSE(adc.IsSelected());
            EXPECT_EQ(text, "");
            break;
        default:
            EXPECT_FALSE(written);
            EXPECT_FALSE(adc.IsSelected());
            break;
        }
    }
}

TEST(ModuleWriteHeaderText, NoQuestionWithoutCriticalChanges) {
    CFakeHost host;
    CScriptedMessages messages;
    const std::vector<tPerCfgDef> table = {{"A", 0, RegFlag::DW8 | RegFlag::NONCRITICAL}};
    auto& module = host.Add<CpmTableTest>(MakeDescriptor("ADC", "ADC"), table);
    module.Item(0).dwValue = 3;
    std::string text = "summary\n";
    EXPECT_TRUE(module.WriteHeaderText(text));
    EXPECT_EQ(text, "");
    EXPECT_TRUE(messages.shown.empty());

    // Title and type key equal: no " - " part.
    module.Item(0).dwFlags = RegFlag::DW8;
    messages.Answer(EAnswer::No);
    EXPECT_TRUE(module.WriteHeaderText(text));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind("Warning: Module ADC is not selected", 0), 0u);
}

// --- Modified state ---

TEST(ModuleModified, OnlyCriticalItemsAndTheSelectionCount) {
    CFakeHost host;
    const std::vector<tPerCfgDef> table = {
        {"A", 0, RegFlag::DW8},
        {"B", 0, RegFlag::DW8 | RegFlag::NONCRITICAL},
        {"C", 0, RegFlag::DW8 | RegFlag::DUMMYREG},
        {"S", 0, RegFlag::STRVALUE},
    };
    auto& module = host.Add<CpmTableTest>(MakeDescriptor("M", "M"), table);
    module.SetSelected(true);
    EXPECT_TRUE(module.MarkSaved());
    EXPECT_FALSE(module.IsModified());

    module.Item(1).dwValue = 9;
    CopyCut(module.Item(1).szValue, "x");
    module.Item(2).dwValue = 9;
    EXPECT_FALSE(module.IsModified());

    module.Item(0).dwValue = 1;
    EXPECT_TRUE(module.IsModified());
    module.MarkSaved();
    EXPECT_FALSE(module.IsModified());

    // A string change counts even when the number stays.
    CopyCut(module.Item(3).szValue, "new");
    EXPECT_TRUE(module.IsModified());
    module.MarkSaved();

    module.SetSelected(false);
    EXPECT_TRUE(module.IsModified());
    EXPECT_FALSE(module.MarkSaved());
    EXPECT_FALSE(module.IsModified());
    module.SetSelected(true);
    EXPECT_TRUE(module.IsModified());
}

// --- Import ---

namespace {

const std::vector<tPerCfgDef> kLongTable = {
    {"A", 0, RegFlag::DW8},
    {"B", 0, RegFlag::DW8},
    {"C", 0, RegFlag::DW8 | RegFlag::NOIMPORT},
    {"D", 0, RegFlag::DW8 | RegFlag::DUMMYREG},
    {"E", 0, RegFlag::STRVALUE},
    {"F", 0, RegFlag::DW8},
};

const std::vector<tPerCfgDef> kShortTable = {
    {"A", 0, RegFlag::DW8}, {"X", 0, RegFlag::DW8},      {"C", 0, RegFlag::DW8},
    {"D", 0, RegFlag::DW8}, {"E", 0, RegFlag::STRVALUE},
};

struct ImportPair {
    CpmTableTest* destination;
    CpmTableTest* source;
};

ImportPair MakeImportPair(CFakeHost& host) {
    auto& destination = host.Add<CpmTableTest>(MakeDescriptor("T0", "QT"), kLongTable);
    auto& source = host.Add<CpmTableTest>(MakeDescriptor("T1", "QT"), kShortTable);
    for (int i = 0; i < source.ItemCount(); ++i)
        source.Item(i).dwValue = 10 + i;
    CopyCut(source.Item(4).szValue, "text");
    return {&destination, &source};
}

} // namespace

TEST(ModuleImport, CopiesTheCommonItemsAndSkipsDifferentNamesSilently) {
    CFakeHost host;
    CScriptedMessages messages;
    auto [destination, source] = MakeImportPair(host);
    EXPECT_TRUE(destination->ImportFrom(*source, nullptr, false));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(destination->Item(0).dwValue, 10u);
    EXPECT_EQ(destination->Item(1).dwValue, 0u); // B vs X
    EXPECT_EQ(destination->Item(2).dwValue, 0u); // NOIMPORT
    EXPECT_EQ(destination->Item(3).dwValue, 0u); // DUMMYREG
    EXPECT_EQ(destination->Item(4).dwValue, 14u);
    EXPECT_EQ(FieldText(destination->Item(4).szValue), "text");
    EXPECT_EQ(destination->Item(5).dwValue, 0u); // beyond the source
    EXPECT_EQ(destination->recalculations, 1);
}

TEST(ModuleImport, DifferentNamesAskWhenAsked) {
    const std::string question =
        "The register names do not match! The T0_B register value will set to value of the T1_X "
        "register from the source project\n\nDo you want this to happen?";
    {
        CFakeHost host;
        CScriptedMessages messages;
        messages.Answer(EAnswer::Yes);
        auto [destination, source] = MakeImportPair(host);
        EXPECT_TRUE(destination->ImportFrom(*source, nullptr, true));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, question);
        EXPECT_EQ(destination->Item(1).dwValue, 11u);
    }
    {
        CFakeHost host;
        CScriptedMessages messages; // unscripted: the default button, No
        auto [destination, source] = MakeImportPair(host);
        EXPECT_TRUE(destination->ImportFrom(*source, nullptr, true));
        EXPECT_EQ(destination->Item(0).dwValue, 10u);
        EXPECT_EQ(destination->Item(1).dwValue, 0u);
    }
    {
        CFakeHost host;
        CScriptedMessages messages;
        messages.Answer(EAnswer::Cancel);
        auto [destination, source] = MakeImportPair(host);
        EXPECT_FALSE(destination->ImportFrom(*source, nullptr, true));
        EXPECT_EQ(destination->Item(0).dwValue, 0u); // nothing at all copied
        EXPECT_EQ(destination->recalculations, 0);
    }
}

TEST(ModuleImport, IndexListsLimitTheCopy) {
    CFakeHost host;
    CScriptedMessages messages;
    auto [destination, source] = MakeImportPair(host);
    const std::vector<int> none;
    EXPECT_FALSE(destination->ImportFrom(*source, &none, true));
    const std::vector<int> some = {4, -1, 5, 99, 2};
    EXPECT_TRUE(destination->ImportFrom(*source, &some, true));
    EXPECT_EQ(destination->Item(0).dwValue, 0u);
    EXPECT_EQ(destination->Item(4).dwValue, 14u);
    EXPECT_EQ(destination->Item(2).dwValue, 0u);
    const std::vector<int> skipped = {2, 3};
    EXPECT_FALSE(destination->ImportFrom(*source, &skipped, true));
    EXPECT_TRUE(messages.shown.empty());
}

TEST(ModuleImport, DifferentlyNamedValuesAreCutToTheDestinationWidth) {
    using namespace hwc::RegFlag;
    CFakeHost host;
    CScriptedMessages messages;
    const std::vector<tPerCfgDef> wide = {{"A", 0, DW32}, {"B", 0, DW32}, {"C", 0, DW32},
                                          {"D", 0, DW32}, {"E", 0, DW32}};
    const std::vector<tPerCfgDef> narrow = {{"A", 0, DW16},
                                            {"X", 0, DW8},
                                            {"Y", 0, DW16},
                                            {"Z", 0, DW8 | SIGNEDVALUE},
                                            {"W", 0, DW8 | NOVALUE}};
    auto& destination = host.Add<CpmTableTest>(MakeDescriptor("T0", "QT"), narrow);
    auto& source = host.Add<CpmTableTest>(MakeDescriptor("T1", "QT"), wide);
    for (int i = 0; i < source.ItemCount(); ++i)
        source.Item(i).dwValue = 0x12345u;
    for (int i = 1; i < source.ItemCount(); ++i)
        messages.Answer(EAnswer::Yes);
    EXPECT_TRUE(destination.ImportFrom(source, nullptr, true));
    EXPECT_EQ(messages.shown.size(), 4u);
    // The same name keeps the value as the source holds it, however wide.
    EXPECT_EQ(destination.Item(0).dwValue, 0x12345u);
    EXPECT_EQ(destination.Item(1).dwValue, 0x45u);
    EXPECT_EQ(destination.Item(2).dwValue, 0x2345u);
    EXPECT_EQ(destination.Item(3).dwValue, 0x12345u); // signed values are never cut
    EXPECT_EQ(destination.Item(4).dwValue, 0x12345u); // no number: nothing to cut
}

TEST(ModuleImport, ASourceOfAnotherClassGivesNothing) {
    CFakeHost host;
    CScriptedMessages messages;
    auto& destination = host.Add<CpmTableTest>(MakeDescriptor("T0", "QT"), kLongTable);
    auto& other = host.Add<CpmOtherTest>(nullptr, nullptr);
    other.SetItemCount(3);
    other.Item(0).dwValue = 7;
    EXPECT_FALSE(destination.ImportFrom(other, nullptr, true));
    EXPECT_EQ(destination.Item(0).dwValue, 0u);
    EXPECT_EQ(destination.recalculations, 0);
    EXPECT_TRUE(messages.shown.empty());
}
