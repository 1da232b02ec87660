// The automation object without a browser: argument conversion, every call on a plug-in
// module's registers and on the project's values, warnings, links, comments, and the events
// that reach the objects assigned to a module.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "base/ExternalLink.h"
#include "plugins/PluginTestHost.h"
#include "support/ScriptedMessages.h"

namespace {

using hwc::test::CNullNavigator;
using hwc::test::CPluginTestHost;
using hwc::test::CRecordingSink;

constexpr int kHintValueWritten = 10;

class ConfigToolObjTest : public ::testing::Test {
protected:
    ConfigToolObjTest()
        : a(host.AddPlugin("PLG", "DRV",
                           {{"CTRL", "0;DW16"},
                            {"BYTE", "0;DW8"},
                            {"WORD", "0"},
                            {"OFFSET", "-2;DW16|SIGNEDVALUE"},
                            {"LABEL", ";STRVALUE"},
                            {"TITLE", "hello;STRVALUE"},
                            {"GAIN", ";FLOATVALUE"},
                            {"-RAWNAME", "3;DW8"}})),
          b(host.AddPlugin("OTHER", "DRV2", {{"MODE", "7;DW8"}})) {
        Show(a);
    }
    ~ConfigToolObjTest() override {
        for (auto& module : host.modules)
            static_cast<CHtmlModule&>(*module).SetNavigator(nullptr);
    }
    // The module's page is shown: objects created now belong to it.
    void Show(CPluginModule& module) { module.SetNavigator(&navigator); }
    const tPerCfgItem& Item(const CModuleBase& module, const char* name) const {
        for (int i = 0; i < module.ItemCount(); ++i) {
            if (std::string_view(module.Item(i).szName) == name)
                return module.Item(i);
        }
        ADD_FAILURE() << name;
        return module.Item(0);
    }
    tScriptValue Get(CConfigToolObj& object, const tScriptValue& name) {
        tScriptValue result = 12345.0;
        EXPECT_EQ(object.GetReg(name, result), EScriptStatus::kOk);
        return result;
    }
    // SetReg's result; the status must be kOk.
    tScriptValue Set(CConfigToolObj& object, const tScriptValue& name, const tScriptValue& value) {
        tScriptValue result;
        EXPECT_EQ(object.SetReg(name, value, result), EScriptStatus::kOk);
        return result;
    }

    CPluginTestHost host;
    CPluginModule& a;
    CPluginModule& b;
    CNullNavigator navigator;
    std::vector<std::string> log;
};

TEST_F(ConfigToolObjTest, NewObjectsBelongToTheModuleShownLastAndListThemselves) {
    CConfigToolObj first;
    EXPECT_EQ(first.AssignedModule(), &a);
    Show(b);
    auto second = std::make_unique<CConfigToolObj>();
    CConfigToolObj third;
    EXPECT_EQ(second->AssignedModule(), &b);
    EXPECT_EQ(CConfigToolObj::LiveObjects(),
              (std::vector<CConfigToolObj*>{&first, second.get(), &third}));
    second.reset();
    EXPECT_EQ(CConfigToolObj::LiveObjects(), (std::vector<CConfigToolObj*>{&first, &third}));
}

TEST_F(ConfigToolObjTest, ObjectWithoutModuleDoesNothingAndSucceeds) {
    host.Remove(b);
    host.Remove(a); // no current web-page module any more
    CConfigToolObj object;
    ASSERT_EQ(object.AssignedModule(), nullptr);
    tScriptValue result = true;
    EXPECT_EQ(object.AssignModule(std::string("PLG"), result), EScriptStatus::kOk);
    EXPECT_EQ(result, tScriptValue(false));
    EXPECT_EQ(object.SetReg(std::string("CTRL"), 1.0, result), EScriptStatus::kOk);
    EXPECT_EQ(result, tScriptValue(false));
    EXPECT_EQ(object.GetReg(std::string("EXTCLK"), result), EScriptStatus::kOk);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(result));
    EXPECT_EQ(object.SetWarning(5.0, 1.0, {}), EScriptStatus::kOk);
    EXPECT_EQ(object.NavigatePage(std::string("hwc:PLG/DRV"), {}), EScriptStatus::kOk);
    EXPECT_EQ(object.SetComment(std::string("x")), EScriptStatus::kOk);
}

TEST_F(ConfigToolObjTest, SetRegMasksToTheWidthExceptSignedRegisters) {
    CConfigToolObj object;
    EXPECT_EQ(Set(object, std::string("CTRL"), 74565.0), tScriptValue(true));
    EXPECT_EQ(Item(a, "CTRL").dwValue, 9029u);
    EXPECT_EQ(Set(object, std::string("OFFSET"), 74565.0), tScriptValue(true));
    EXPECT_EQ(Item(a, "OFFSET").dwValue, 74565u);
    EXPECT_EQ(Set(object, std::string("BYTE"), 0x1FF.0p0), tScriptValue(true));
    EXPECT_EQ(Item(a, "BYTE").dwValue, 0xFFu);
    // Negative integers wrap into 32 bits, then the width applies.
    EXPECT_EQ(Set(object, std::string("WORD"), -1.0), tScriptValue(true));
    EXPECT_EQ(Item(a, "WORD").dwValue, 0xFFFFFFFFu);
    EXPECT_EQ(Set(object, std::string("CTRL"), -2147483648.0), tScriptValue(true));
    EXPECT_EQ(Item(a, "CTRL").dwValue, 0u);
    EXPECT_EQ(Set(object, std::string("WORD"), 4294967295.0), tScriptValue(true));
    EXPECT_EQ(Item(a, "WORD").dwValue, 0xFFFFFFFFu);
}

TEST_F(ConfigToolObjTest, SetRegConvertsTextsBooleansAndMissingValues) {
    CConfigToolObj object;
    EXPECT_EQ(Set(object, std::string("WORD"), std::string("0x10")), tScriptValue(true));
    EXPECT_EQ(Item(a, "WORD").dwValue, 16u);
    EXPECT_EQ(Set(object, std::string("WORD"), std::string("  017 and more")), tScriptValue(true));
    EXPECT_EQ(Item(a, "WORD").dwValue, 15u);
    EXPECT_EQ(Set(object, std::string("WORD"), true), tScriptValue(true));
    EXPECT_EQ(Item(a, "WORD").dwValue, 1u);
    // A value left out is false.
    EXPECT_EQ(Set(object, std::string("WORD"), {}), tScriptValue(true));
    EXPECT_EQ(Item(a, "WORD").dwValue, 0u);
    // The name with or without the module's prefix, a number as a name, a name without prefix.
    EXPECT_EQ(Set(object, std::string("PLG_CTRL"), 3.0), tScriptValue(true));
    EXPECT_EQ(Item(a, "CTRL").dwValue, 3u);
    EXPECT_EQ(Set(object, std::string("RAWNAME"), 9.0), tScriptValue(true));
    EXPECT_EQ(Item(a, "-RAWNAME").dwValue, 9u);
    EXPECT_EQ(Set(object, 12.0, 1.0), tScriptValue(false));
    EXPECT_EQ(Set(object, std::string("NOSUCH"), 1.0), tScriptValue(false));
}

TEST_F(ConfigToolObjTest, UnconvertibleArgumentsChangeNothing) {
    CConfigToolObj object;
    Set(object, std::string("CTRL"), 5.0);
    host.updates.clear();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const tScriptValue& bad :
         {tScriptValue(1.5), tScriptValue(nan), tScriptValue(inf), tScriptValue(4294967296.0),
          tScriptValue(-2147483649.0), tScriptValue(std::string("abc")),
          tScriptValue(std::string())}) {
        tScriptValue result = true;
        EXPECT_EQ(object.SetReg(std::string("CTRL"), bad, result), EScriptStatus::kInvalidArgument);
        EXPECT_EQ(result, tScriptValue(false));
        EXPECT_EQ(Item(a, "CTRL").dwValue, 5u);
    }
    tScriptValue result;
    EXPECT_EQ(object.SetReg({}, 1.0, result), EScriptStatus::kInvalidArgument);
    EXPECT_EQ(object.SetReg(nan, 1.0, result), EScriptStatus::kInvalidArgument);
    EXPECT_EQ(object.GetReg({}, result), EScriptStatus::kInvalidArgument);
    EXPECT_TRUE(std::holds_alternative<std::monostate>(result));
    EXPECT_EQ(object.AssignModule({}, result), EScriptStatus::kInvalidArgument);
    EXPECT_EQ(object.AssignedModule(), &a);
    EXPECT_EQ(object.SetWarning({}, 1.0, {}), EScriptStatus::kInvalidArgument);
    EXPECT_EQ(object.SetWarning(5.0, std::string("x"), {}), EScriptStatus::kInvalidArgument);
    EXPECT_EQ(object.SetWarning(5.0, 1.0, inf), EScriptStatus::kInvalidArgument);
    EXPECT_EQ(object.NavigatePage({}, {}), EScriptStatus::kInvalidArgument);
    EXPECT_EQ(object.SetComment(nan), EScriptStatus::kInvalidArgument);
    EXPECT_TRUE(host.warnings.empty());
    EXPECT_TRUE(host.shownPages.empty());
    EXPECT_TRUE(host.updates.empty());
}

TEST_F(ConfigToolObjTest, OnlyAChangeUpdatesTheViews) {
    CConfigToolObj object;
    EXPECT_EQ(Set(object, std::string("CTRL"), 0.0), tScriptValue(true));
    EXPECT_EQ(Set(object, std::string("CTRL"), 0x10000.0p0), tScriptValue(true)) << "masks to 0";
    EXPECT_TRUE(host.updates.empty());
    EXPECT_EQ(Set(object, std::string("CTRL"), 1.0), tScriptValue(true));
    ASSERT_EQ(host.updates.size(), 1u);
    EXPECT_EQ(host.updates[0], (std::pair<CModuleBase*, int>(&a, kHintValueWritten)));
}

TEST_F(ConfigToolObjTest, WritingAnotherModulesRegisterRefreshesThatModule) {
    CConfigToolObj object;
    CConfigToolObj other;
    ASSERT_TRUE(std::get<bool>([&] {
        tScriptValue r;
        other.AssignModule(std::string("OTHER"), r);
        return r;
    }()));
    CRecordingSink sink(log, "b");
    other.Connect(&sink);
    EXPECT_EQ(Set(object, std::string("OTHER_MODE"), 9.0), tScriptValue(true));
    EXPECT_EQ(Item(b, "MODE").dwValue, 9u);
    EXPECT_EQ(host.updates.back(), (std::pair<CModuleBase*, int>(&a, kHintValueWritten)));
    EXPECT_EQ(log, (std::vector<std::string>{"b:refresh"}));
}

TEST_F(ConfigToolObjTest, StringRegistersTakeTextsCutTo79Characters) {
    CConfigToolObj object;
    EXPECT_EQ(Set(object, std::string("LABEL"), std::string("uart0")), tScriptValue(true));
    EXPECT_STREQ(Item(a, "LABEL").szValue, "uart0");
    EXPECT_EQ(Item(a, "LABEL").dwValue, 1u);
    EXPECT_EQ(Get(object, std::string("LABEL")), tScriptValue(std::string("uart0")));
    // A number is its decimal text.
    EXPECT_EQ(Set(object, std::string("LABEL"), -2.5), tScriptValue(true));
    EXPECT_STREQ(Item(a, "LABEL").szValue, "-2.5");
    EXPECT_EQ(Set(object, std::string("LABEL"), 3000000000.0), tScriptValue(true));
    EXPECT_STREQ(Item(a, "LABEL").szValue, "3000000000");
    Set(object, std::string("LABEL"), 0.1);
    EXPECT_STREQ(Item(a, "LABEL").szValue, "0.1");
    Set(object, std::string("LABEL"), 1e20);
    EXPECT_STREQ(Item(a, "LABEL").szValue, "100000000000000000000");
    Set(object, std::string("LABEL"), false);
    EXPECT_STREQ(Item(a, "LABEL").szValue, "0");

    const std::string longText(100, 'x');
    EXPECT_EQ(Set(object, std::string("LABEL"), longText), tScriptValue(true));
    EXPECT_EQ(std::string(Item(a, "LABEL").szValue), longText.substr(0, 79));
    host.updates.clear();
    // Equal in the first 80 characters: no change.
    EXPECT_EQ(Set(object, std::string("LABEL"), std::string(120, 'x')), tScriptValue(true));
    EXPECT_TRUE(host.updates.empty());

    EXPECT_EQ(Set(object, std::string("LABEL"), std::string()), tScriptValue(true));
    EXPECT_EQ(Item(a, "LABEL").dwValue, 0u);
    EXPECT_EQ(Get(object, std::string("LABEL")), tScriptValue(std::string()));
    EXPECT_EQ(host.updates.size(), 1u);
}

TEST_F(ConfigToolObjTest, TextsThatWouldBreakTheHeaderAreRefused) {
    CConfigToolObj object;
    Set(object, std::string("LABEL"), std::string("kept"));
    Set(object, std::string("GAIN"), std::string("1.25"));
    host.updates.clear();
    for (const char* text : {"two\nlines", "cr\r", "\n"})
        EXPECT_EQ(Set(object, std::string("LABEL"), std::string(text)), tScriptValue(false));
    EXPECT_STREQ(Item(a, "LABEL").szValue, "kept");
    EXPECT_EQ(Set(object, std::string("GAIN"), std::string("fast")), tScriptValue(false));
    EXPECT_STREQ(Item(a, "GAIN").szValue, "1.25");
    EXPECT_TRUE(host.updates.empty());
    EXPECT_EQ(Set(object, std::string("GAIN"), 2.0), tScriptValue(true));
    EXPECT_STREQ(Item(a, "GAIN").szValue, "2");
}

TEST_F(ConfigToolObjTest, GetRegGivesTextsSignedAndUnsignedNumbers) {
    CConfigToolObj object;
    EXPECT_EQ(Get(object, std::string("LABEL")), tScriptValue(std::string()))
        << "an unset string register is an empty text";
    EXPECT_EQ(Get(object, std::string("TITLE")), tScriptValue(std::string("hello")));
    EXPECT_EQ(Get(object, std::string("OFFSET")), tScriptValue(-2.0));
    Set(object, std::string("WORD"), -1.0);
    EXPECT_EQ(Get(object, std::string("PLG_WORD")), tScriptValue(4294967295.0));
    EXPECT_EQ(Get(object, std::string("OTHER_MODE")), tScriptValue(7.0));
    EXPECT_EQ(Get(object, std::string("NOSUCH")), tScriptValue());
    EXPECT_EQ(Get(object, 5.0), tScriptValue());
}

TEST_F(ConfigToolObjTest, GetRegGivesTheProjectsClocksAndProcessor) {
    CConfigToolObj object;
    for (const char* name : {"EXTCLK", "APPCFG_EXTCLK", "EXTAL", "APPCFG_EXTAL"})
        EXPECT_EQ(Get(object, std::string(name)), tScriptValue(0.0)) << name;
    EXPECT_EQ(Get(object, std::string("APPCFGID")), tScriptValue()) << "no processor known";
    EXPECT_EQ(Get(object, std::string("extclk")), tScriptValue()) << "names compare exactly";
    host.external = 3.6864f;
    host.crystal = 8.0f;
    host.processorDefine = "K7Q400R";
    EXPECT_EQ(Get(object, std::string("APPCFG_EXTCLK")), tScriptValue(3.6864));
    EXPECT_EQ(Get(object, std::string("EXTAL")), tScriptValue(8.0));
    EXPECT_EQ(Get(object, std::string("APPCFGID")), tScriptValue(std::string("K7Q400R")));
}

TEST_F(ConfigToolObjTest, SetWarningRaisesAndClearsTheModulesWarning) {
    CConfigToolObj object;
    EXPECT_EQ(object.SetWarning(5.0, 1.0, {}), EScriptStatus::kOk);
    EXPECT_EQ(host.Warning(a, 5), "Unspecified Warning");
    EXPECT_EQ(object.SetWarning(std::string("6"), true, std::string("Baud rate too high")),
              EScriptStatus::kOk);
    EXPECT_EQ(host.Warning(a, 6), "Baud rate too high");
    EXPECT_EQ(object.SetWarning(5.0, 0.0, {}), EScriptStatus::kOk);
    EXPECT_EQ(host.Warning(a, 5), "(none)");
    // A set flag left out clears.
    EXPECT_EQ(object.SetWarning(6.0, {}, {}), EScriptStatus::kOk);
    EXPECT_EQ(host.Warning(a, 6), "(none)");
}

TEST_F(ConfigToolObjTest, NavigatePageFollowsModuleAndExternalLinks) {
    CConfigToolObj object;
    EXPECT_EQ(object.NavigatePage(std::string("hwc:OTHER/DRV2"), std::string("tip")),
              EScriptStatus::kOk);
    EXPECT_EQ(host.shownPages, (std::vector<CModuleBase*>{&b}));
    std::vector<std::string> opened;
    const auto previous = hwc::SetExternalLinkOpener([&](const std::string& link) {
        opened.push_back(link);
        return true;
    });
    EXPECT_EQ(object.NavigatePage(std::string("https://example.org/doc"), {}), EScriptStatus::kOk);
    hwc::SetExternalLinkOpener(previous);
    EXPECT_EQ(opened, (std::vector<std::string>{"https://example.org/doc"}));
}

TEST_F(ConfigToolObjTest, SetCommentGoesToTheModulesComment) {
    CConfigToolObj object;
    EXPECT_EQ(object.SetComment(std::string("Baud 115200\nParity none")), EScriptStatus::kOk);
    EXPECT_EQ(a.CommentText(), "Baud 115200\nParity none");
    EXPECT_EQ(object.SetComment({}), EScriptStatus::kOk);
    EXPECT_EQ(a.CommentText(), "");
}

TEST_F(ConfigToolObjTest, AssignModuleMovesTheObjectsEvents) {
    CConfigToolObj object;
    CRecordingSink sink(log, "page");
    object.Connect(&sink);
    tScriptValue result;
    EXPECT_EQ(object.AssignModule(std::string("NOSUCH"), result), EScriptStatus::kOk);
    EXPECT_EQ(result, tScriptValue(false));
    EXPECT_EQ(object.AssignedModule(), &a);

    EXPECT_EQ(object.AssignModule(std::string("OTHER"), result), EScriptStatus::kOk);
    EXPECT_EQ(result, tScriptValue(true));
    EXPECT_EQ(object.AssignedModule(), &b);
    EXPECT_EQ(log, (std::vector<std::string>{"page:refresh"}));
    a.RefreshControls();
    a.ApplyControls();
    EXPECT_EQ(log.size(), 1u) << "the first module's events no longer come";
    b.ApplyControls();
    EXPECT_EQ(log.back(), "page:update");
    // Its registers are now the ones without prefix.
    EXPECT_EQ(Get(object, std::string("MODE")), tScriptValue(7.0));
}

TEST_F(ConfigToolObjTest, EventsGoToObjectsInListThenConnectionOrder) {
    CConfigToolObj first;
    CConfigToolObj second;
    CRecordingSink s1(log, "1"), s2(log, "2"), s3(log, "3");
    second.Connect(&s3);
    first.Connect(&s1);
    first.Connect(&s2);
    first.Connect(nullptr);
    CConfigToolObj::FireCheckWarnings(a);
    EXPECT_EQ(log, (std::vector<std::string>{"1:check", "2:check", "3:check"}));
    log.clear();
    first.Disconnect(&s1);
    first.Disconnect(&s3); // not connected there: nothing happens
    CConfigToolObj::FireGenerateComment(a);
    CConfigToolObj::FireGenerateComment(b);
    EXPECT_EQ(log, (std::vector<std::string>{"2:comment", "3:comment"}));
}

TEST_F(ConfigToolObjTest, ToolTipIsAskedUntilAPageAnswers) {
    CConfigToolObj first;
    CConfigToolObj second;
    CRecordingSink s1(log, "1"), s2(log, "2"), s3(log, "3");
    first.Connect(&s1);
    first.Connect(&s2);
    second.Connect(&s3);
    EXPECT_EQ(CConfigToolObj::FireShowToolTip(a, 7, "text", "title"), 0);
    EXPECT_EQ(log.size(), 3u);
    log.clear();
    s2.tipAnswer = -4;
    EXPECT_EQ(a.ShowWarningDetail(7, "Too fast"), -4);
    EXPECT_EQ(log, (std::vector<std::string>{"1:tip 7 Too fast / Warning detail",
                                             "2:tip 7 Too fast / Warning detail"}));
}

TEST_F(ConfigToolObjTest, HandlersMayDropObjectsAndSinksWhileAnEventRuns) {
    auto first = std::make_unique<CConfigToolObj>();
    auto second = std::make_unique<CConfigToolObj>();
    CRecordingSink s1(log, "1"), s2(log, "2"), s3(log, "3");
    first->Connect(&s1);
    first->Connect(&s2);
    second->Connect(&s3);
    // The first handler disconnects the next one and destroys the other object.
    s1.onUpdate = [&] {
        first->Disconnect(&s2);
        second.reset();
    };
    CConfigToolObj::FireUpdateAll(a);
    EXPECT_EQ(log, (std::vector<std::string>{"1:update"}));
    // An object created during an event is not asked in that round.
    log.clear();
    std::unique_ptr<CConfigToolObj> late;
    s1.onRefresh = [&] {
        if (!late) {
            late = std::make_unique<CConfigToolObj>();
            late->Connect(&s3);
        }
    };
    CConfigToolObj::FireRefreshAll(a);
    EXPECT_EQ(log, (std::vector<std::string>{"1:refresh"}));
}

TEST_F(ConfigToolObjTest, ObjectsForgetTheirModuleWhenItCloses) {
    CConfigToolObj object;
    CRecordingSink sink(log, "page");
    object.Connect(&sink);
    // A page that still calls during its closing event finds its registers.
    tScriptValue during;
    sink.onClosing = [&] { object.GetReg(std::string("CTRL"), during); };
    a.SetNavigator(nullptr);
    host.Remove(a);
    EXPECT_EQ(log, (std::vector<std::string>{"page:closing"}));
    EXPECT_EQ(during, tScriptValue(0.0));
    EXPECT_EQ(object.AssignedModule(), nullptr);
    EXPECT_EQ(CHtmlModule::Current(), nullptr);
    tScriptValue result = true;
    EXPECT_EQ(object.SetReg(std::string("CTRL"), 1.0, result), EScriptStatus::kOk);
    EXPECT_EQ(result, tScriptValue(false));
}

} // namespace
