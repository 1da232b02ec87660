#include "modules/framework/CpmUNREC.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/TextFile.h"
#include "header/AppcfgFile.h"
#include "model/ModelTestSupport.h"
#include "support/ScriptedMessages.h"

using namespace hwc;

namespace {

const std::string kHeading = "\n\n/*.\n    User definitions\n    ----------------- \n.*/\n";

// A line of the block: the name filled to 40 characters, a blank and the value.
std::string Line(const std::string& name, const std::string& value) {
    const std::string start = "#define   " + name;
    return start + std::string(start.size() < 40 ? 40 - start.size() : 0, ' ') + " " + value;
}

} // namespace

// Every unclaimed definition is the user's: none is dropped, however many there are.
TEST(CpmUNREC, TakesEveryUnclaimedDefinitionInFileOrder) {
    CFakeHost host;
    CAppcfgFile header;
    for (int i = 0; i < 1001; ++i)
        Define(header, "USER_" + std::to_string(1000 - i), std::to_string(i));

    auto& unrec = host.Add<CpmUNREC>(nullptr, nullptr);
    EXPECT_TRUE(unrec.LoadFromHeader(&header));
    ASSERT_EQ(unrec.Records().size(), 1001u);
    EXPECT_EQ(unrec.Records().front().name, "USER_1000");
    EXPECT_EQ(unrec.Records().back().name, "USER_0");
    EXPECT_EQ(unrec.Records().back().value, "1000");
    EXPECT_TRUE(header.GetEntry("USER_0")->IsClaimed());
    std::string text;
    ASSERT_TRUE(unrec.WriteHeaderText(text));
    EXPECT_NE(text.find(Line("USER_1", "999") + "\n"), std::string::npos);
    EXPECT_NE(text.find(Line("USER_0", "1000") + "\n"), std::string::npos);
}

TEST(CpmUNREC, LeavesDefinitionsThatAModuleClaimed) {
    CFakeHost host;
    CAppcfgFile header;
    Define(header, "MY_FIRST", "1");
    Define(header, "ADC_A_ADCR1_INIT", "0x1234U");
    Define(header, "MY_SECOND", "2");

    auto& adc = host.Add<CpmTableTest>(MakeDescriptor("ADC_A", "ADC"),
                                       std::vector<tPerCfgDef>{{"ADCR1_INIT", 0, RegFlag::DW16}});
    ASSERT_TRUE(adc.LoadFromHeader(&header));
    auto& unrec = host.Add<CpmUNREC>(nullptr, nullptr);
    unrec.LoadFromHeader(&header);
    EXPECT_EQ(unrec.ListBoxLines(),
              (std::vector<std::string>{"#define MY_FIRST 1", "#define MY_SECOND 2"}));

    // What it took is claimed, so a second reader of the same header gets nothing.
    auto& again = host.Add<CpmUNREC>(nullptr, nullptr);
    EXPECT_FALSE(again.LoadFromHeader(&header));
    EXPECT_TRUE(again.Records().empty());
}

TEST(CpmUNREC, WritesTheUserDefinitionsBlock) {
    CFakeHost host;
    CAppcfgFile header;
    Define(header, "USER_ONE", "\"text\"", " mine ");
    Define(header, "USER_TWO", "2");
    Define(header, "USER_THREE", "3", "closes */ early");
    auto& unrec = host.Add<CpmUNREC>(nullptr, nullptr);
    unrec.LoadFromHeader(&header);

    const std::string plain = kHeading + Line("USER_ONE", "\"text\"") + "\n" +
                              Line("USER_TWO", "2") + "\n" + Line("USER_THREE", "3") + "\n";
    std::string text = "/*.\n    UNREC Configuration\n.*/\n";
    ASSERT_TRUE(unrec.WriteHeaderText(text));
    EXPECT_EQ(text, plain);

    host.keepUserComments = true;
    ASSERT_TRUE(unrec.WriteHeaderText(text));
    // Kept comments start after column 50, as after register defines.
    auto toColumn50 = [](std::string line) { return line + std::string(50 - line.size(), ' '); };
    EXPECT_EQ(text, kHeading + toColumn50(Line("USER_ONE", "\"text\"")) + " /* mine */\n" +
                        Line("USER_TWO", "2") + "\n" + toColumn50(Line("USER_THREE", "3")) +
                        " /* closes * / early */\n");
}

// Names reaching the value column get one blank; long texts are written back whole.
TEST(CpmUNREC, LongNamesAreNotFilledAndLongTextsAreKept) {
    CFakeHost host;
    CAppcfgFile header;
    const std::string thirty(30, 'N');
    const std::string tooLong(100, 'V');
    Define(header, thirty, "1");
    Define(header, std::string(29, 'M'), tooLong, std::string(300, 'c'));
    Define(header, std::string(90, 'L'), "x");
    auto& unrec = host.Add<CpmUNREC>(nullptr, nullptr);
    unrec.LoadFromHeader(&header);

    ASSERT_EQ(unrec.Records().size(), 3u);
    EXPECT_EQ(unrec.Records()[1].value, tooLong);
    EXPECT_EQ(unrec.Records()[1].comment.size(), 300u);
    std::string text;
    unrec.WriteHeaderText(text);
    EXPECT_EQ(text, kHeading + "#define   " + thirty + " 1\n" + "#define   " +
                        std::string(29, 'M') + "  " + tooLong + "\n" + "#define   " +
                        std::string(90, 'L') + " x\n");
}

TEST(CpmUNREC, SelectionFollowsTheRecords) {
    CFakeHost host;
    CAppcfgFile empty;
    auto& none = host.Add<CpmUNREC>(nullptr, nullptr);
    EXPECT_FALSE(none.LoadFromHeader(&empty));
    EXPECT_FALSE(none.IsSelected());
    EXPECT_FALSE(none.SelectedAtSave());
    EXPECT_FALSE(none.IsModified());
    std::string text = "section";
    EXPECT_TRUE(none.WriteHeaderText(text));
    EXPECT_EQ(text, "");

    CAppcfgFile header;
    Define(header, "USER_ONE", "1");
    auto& unrec = host.Add<CpmUNREC>(nullptr, nullptr);
    ASSERT_TRUE(unrec.LoadFromHeader(&header));
    EXPECT_TRUE(unrec.HasOutput());
    EXPECT_TRUE(unrec.IsSelected());
    EXPECT_TRUE(unrec.SelectedAtSave());
    EXPECT_FALSE(unrec.IsModified());

    // Unticked in the tree: modified, and nothing is written once the user agrees.
    unrec.SetSelected(false);
    EXPECT_TRUE(unrec.IsModified());
    CScriptedMessages messages;
    messages.Answer(EAnswer::No);
    text = "section";
    EXPECT_TRUE(unrec.WriteHeaderText(text));
    EXPECT_EQ(text, "");
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_FALSE(unrec.MarkSaved());
    EXPECT_FALSE(unrec.IsModified());
}

TEST(CpmUNREC, KeepsItsDescriptorAndReadsItsRememberedHeader) {
    CFakeHost host;
    auto& unnamed = host.Add<CpmUNREC>(nullptr, nullptr);
    EXPECT_EQ(unnamed.InstanceName(), "UNREC");
    EXPECT_EQ(unnamed.TypeKey(), "UNREC");
    EXPECT_EQ(unnamed.TemplateId(), 27301u);
    EXPECT_EQ(unnamed.ItemCount(), 0);

    const CModuleDescriptor named("EXTRA", "UNREC");
    auto& given = host.Add<CpmUNREC>(nullptr, &named);
    EXPECT_EQ(given.InstanceName(), "EXTRA");

    CAppcfgFile first;
    CAppcfgFile second;
    Define(first, "FROM_FIRST", "1");
    Define(second, "FROM_SECOND", "2");
    given.SetHeaderFile(&first);
    given.LoadFromHeader(&second);
    EXPECT_EQ(given.HeaderFile(), &first);
    EXPECT_EQ(given.ListBoxLines(), std::vector<std::string>{"#define FROM_FIRST 1"});
    EXPECT_FALSE(second.GetEntry("FROM_SECOND")->IsClaimed());

    auto& without = host.Add<CpmUNREC>(nullptr, nullptr);
    EXPECT_FALSE(without.LoadFromHeader(nullptr));
}

// Parameters of a module the project does not have are the user's too: they are kept and
// written back in a block the reader takes again.
TEST(CpmUNREC, KeepsInternalParametersNobodyClaimed) {
    CFakeHost host;
    CTextFile file = CTextFile::FromBytes("/*. Internal HWC parameters, do not edit!\n"
                                          "    [PARAMETERS:QT_A0]\n"
                                          "    PERIOD_US=1000\n"
                                          "    MODE=2\n"
                                          ".*/\n"
                                          "#define USER 1\n");
    CAppcfgFile header;
    ASSERT_TRUE(header.Read(file, false));
    header.GetParam("QT_A0", "MODE")->Claim();

    auto& unrec = host.Add<CpmUNREC>(nullptr, nullptr);
    ASSERT_TRUE(unrec.LoadFromHeader(&header));
    std::string text;
    ASSERT_TRUE(unrec.WriteHeaderText(text));
    const std::string block = "/*. Internal HWC parameters, do not edit!\n"
                              "    [PARAMETERS:QT_A0]\n"
                              "    PERIOD_US=1000\n"
                              ".*/\n";
    EXPECT_EQ(text, kHeading + Line("USER", "1") + "\n" + block);

    CTextFile written = CTextFile::FromBytes(text);
    CAppcfgFile again;
    ASSERT_TRUE(again.Read(written, false));
    ASSERT_NE(again.GetParam("QT_A0", "PERIOD_US"), nullptr);
    EXPECT_EQ(again.GetParam("QT_A0", "PERIOD_US")->value, "1000");
    EXPECT_EQ(again.GetParam("QT_A0", "MODE"), nullptr);
}

TEST(CpmUNREC, PageListsTheKeptDefinitions) {
    CFakeHost host;
    CAppcfgFile header;
    Define(header, "MY_BAUD", "115200UL");
    Define(header, "MY_NAME", "\"board\"");
    auto& unrec = host.Add<CpmUNREC>(nullptr, nullptr);
    unrec.LoadFromHeader(&header);
    ASSERT_TRUE(unrec.CreatePage());
    const CPageControl* list = unrec.Page()->FindControl(CpmUNREC::kListId);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Items(), (std::vector<std::string>{"#define MY_BAUD 115200UL",
                                                       "#define MY_NAME \"board\""}));
}

// Unticking the module must not drop the user's definitions unasked: the question names how many
// go, Yes keeps them (the module is selected again), Cancel stops the save.
TEST(CpmUNREC, AsksBeforeAnUnselectedModuleDropsItsDefinitions) {
    CFakeHost host;
    CAppcfgFile header;
    Define(header, "USER_ONE", "1");
    Define(header, "USER_TWO", "2");
    auto& unrec = host.Add<CpmUNREC>(nullptr, nullptr);
    ASSERT_TRUE(unrec.LoadFromHeader(&header));
    unrec.SetSelected(false);

    CScriptedMessages messages;
    messages.Answer(EAnswer::Cancel);
    std::string text = "section";
    EXPECT_FALSE(unrec.WriteHeaderText(text));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].buttons, EButtons::YesNoCancel);
    EXPECT_NE(messages.shown[0].text.find("2 user definitions will be removed"), std::string::npos);
    EXPECT_FALSE(unrec.IsSelected());

    messages.Answer(EAnswer::Yes);
    ASSERT_TRUE(unrec.WriteHeaderText(text));
    EXPECT_TRUE(unrec.IsSelected());
    EXPECT_EQ(text, kHeading + Line("USER_ONE", "1") + "\n" + Line("USER_TWO", "2") + "\n");

    // Nothing to lose: no question.
    CpmUNREC& empty = host.Add<CpmUNREC>(nullptr, nullptr);
    empty.SetSelected(false);
    EXPECT_TRUE(empty.WriteHeaderText(text));
    EXPECT_EQ(text, "");
    EXPECT_EQ(messages.shown.size(), 2u);
}
