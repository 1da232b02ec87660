// Headless runs on an open project: the self-test log, a module page as the page command prints
// it, and writing registers by name with the owner's update cycle.

#include "project/SelfTest.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/AppFilePath.h"
#include "bindings/SetBit.h"
#include "bindings/SetCtrl.h"
#include "bindings/SetValue.h"
#include "model/DialogTemplate.h"
#include "model/ModuleBase.h"
#include "model/ModuleSubDlg.h"
#include "project/LogFile.h"
#include "project/ProjDoc.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;
using namespace dlg;

namespace {

const char* const kArchFolder = HWC_TEST_SOURCE_DIR "/data/arch";

enum { kEnable = 10, kModulo = 11, kRate = 13, kRow = 145, kRowMode = 3, kRowNote = 4 };

// clang-format off
const CDialogTemplate kTimerPage(9101, {
    CheckBox(kEnable, "Enable counter"),
    Row({Label("Modulo:"), Edit(kModulo)}),
    Row({Label("Interrupt rate:"), ReadOnly(kRate, "1 kHz")}),
    Placeholder(kRow),
});

const CDialogTemplate kRowPage(9102, {
    DropList(kRowMode, {"Off", "On"}),
    Label("Row note", kRowNote),
});
// clang-format on

const CDialogTemplate kLabelsOnlyPage(9103, {Label("Nothing to set here")});

const tPerCfgDef kTimerRegisters[] = {
    {"CTRL_INIT", 0x0000, hwc::RegFlag::DW16},
    {"MOD_INIT", 0x00FF, hwc::RegFlag::DW16},
    {"OFFSET_INIT", 0, hwc::RegFlag::DW16 | hwc::RegFlag::SIGNEDVALUE},
    {"NAME", 0, hwc::RegFlag::STRVALUE | hwc::RegFlag::NONCRITICAL},
    {"SCALE", 0, hwc::RegFlag::FLOATVALUE | hwc::RegFlag::NONCRITICAL},
    {"-USER_MACRO", 0, hwc::RegFlag::USERDEFINE | hwc::RegFlag::NONCRITICAL},
};

// A module with a check box and a value edit box, and a sub-page whose controls it enables.
class CpmSelfTestTimer : public CModuleBase {
    HWC_DECLARE_MODULE_CLASS(CpmSelfTestTimer, CModuleBase)
public:
    CpmSelfTestTimer(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModuleBase(parent, 9101, descriptor, kTimerRegisters, 6) {
        m_enable.Bind(Item(0), 0, false);
        m_modulo.Bind(Item(1), 0, 15, 0, nullptr, false, 1, 0, false);
    }
    const CDialogTemplate* DialogTemplate() const override { return &kTimerPage; }
    void Recalculate() override { ++recalculations; }
    void UpdateControlStates() override {
        if (CPage* page = Page())
            page->EnableControl(kModulo, Item(0).dwValue & 1);
    }

    int recalculations = 0;

protected:
    void AttachControls(CPage& page) override {
        m_enable.Attach(*page.FindControl(kEnable));
        m_modulo.Attach(*page.FindControl(kModulo));
        page.InsertSubPage(kRow, std::make_unique<CModuleSubDlg>(kRowPage));
        page.FindControl(kRowMode)->SetSelection(1);
        page.ShowControl(kRowNote, false);
    }

private:
    CSetBit m_enable;
    CSetValue m_modulo;
};

// A module whose page has no setting controls.
class CpmSelfTestLabels : public CModuleBase {
    HWC_DECLARE_MODULE_CLASS(CpmSelfTestLabels, CModuleBase)
public:
    CpmSelfTestLabels(CModuleBase* parent, const CModuleDescriptor* descriptor)
        : CModuleBase(parent, 9103, descriptor, nullptr, 0) {}
    const CDialogTemplate* DialogTemplate() const override { return &kLabelsOnlyPage; }
};

// The product's document with the interval timers and the clock module played by the above.
class CSelfTestDoc : public CProjDoc {
public:
    int reprocessRequests = 0;

protected:
    void OnReprocessRequested() override { ++reprocessRequests; }
    const CRuntimeClass* ModuleClassFor(std::string_view typeKey) const override {
        if (typeKey == "PIT")
            return &CpmSelfTestTimer::kRuntimeClass;
        if (typeKey == "OCCS")
            return &CpmSelfTestLabels::kRuntimeClass;
        return CProjDoc::ModuleClassFor(typeKey);
    }
};

struct CHintRecorder : hwc::IDocumentObserver {
    std::vector<int> hints;
    void OnDocumentUpdate(int hint, CModuleBase*, const void*) override { hints.push_back(hint); }
};

std::vector<std::string> ReadLines(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// The index of the first line equal to `text` at or after `from`, or -1.
int FindLine(const std::vector<std::string>& lines, const std::string& text, std::size_t from = 0) {
    for (std::size_t i = from; i < lines.size(); ++i) {
        if (lines[i] == text)
            return static_cast<int>(i);
    }
    return -1;
}

class SelfTestRun : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppFolder(kArchFolder);
        m_header = m_root / "Motor/ApplicationConfig/appconfig.h";
        fs::create_directories(m_header.parent_path());
        std::ofstream(m_header, std::ios::binary) << "#define K7Q3010\n"
                                                     "#define PIT0_CTRL_INIT 0x0001U\n"
                                                     "#define PIT0_MOD_INIT 0x0100U\n";
        ASSERT_TRUE(m_document.OpenProject(m_header.string()));
        m_timer = dynamic_cast<CpmSelfTestTimer*>(m_document.FindModule("PIT0"));
        ASSERT_NE(m_timer, nullptr);
    }
    void TearDown() override { SetAppFolder(""); }

    fs::path LogPath() const { return m_root / "Motor" / hwc::kSelfTestLogName; }

    CTestFolder m_root{"hwc-selftest"};
    CScriptedMessages m_messages;
    fs::path m_header;
    CSelfTestDoc m_document;
    CpmSelfTestTimer* m_timer = nullptr;
};

} // namespace

TEST_F(SelfTestRun, LogsOneBlockPerTypeAndAppendsSessions) {
    RunSelfTest(m_document);
    RunSelfTest(m_document);
    const std::vector<std::string> lines = ReadLines(LogPath());
    const std::string folder = (m_root / "Motor").string();
    const std::string session = "New Session Started for project " + folder;

    const int first = FindLine(lines, session);
    ASSERT_EQ(first, 0);
    EXPECT_EQ(lines[1], std::string(session.size(), '-'));
    const int second = FindLine(lines, session, 1);
    ASSERT_GT(second, 0);
    // Both sessions are the same, and only the first of the two timers is tested.
    EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + second),
              std::vector<std::string>(lines.begin() + second, lines.end()));
    EXPECT_EQ(FindLine(lines, "Module: PIT (PIT1)"), -1);

    // A page without setting controls: header, dashes and two empty lines.
    const int labels = FindLine(lines, "Module: OCCS (OCCS)");
    ASSERT_GT(labels, 0);
    ASSERT_LT(labels + 4, second);
    EXPECT_EQ(lines[labels + 1], std::string(19, '-'));
    EXPECT_EQ(lines[labels + 2], "");
    EXPECT_EQ(lines[labels + 3], "");
    EXPECT_EQ(lines[labels + 4].rfind("Module: ", 0), 0u);

    // The bindings' lines stand between the timer's header and its empty lines.
    const int timer = FindLine(lines, "Module: PIT (PIT0)");
    ASSERT_GT(timer, 0);
    EXPECT_EQ(lines[timer + 1], std::string(18, '-'));
    int bits = 0;
    int values = 0;
    std::size_t i = timer + 2;
    for (; i < lines.size() && !lines[i].empty(); ++i) {
        bits += lines[i].rfind("SB[", 0) == 0;
        values += lines[i].rfind("ED[", 0) == 0;
    }
    EXPECT_EQ(bits, 2);
    EXPECT_GT(values, 0);
    EXPECT_EQ(bits + values, static_cast<int>(i) - timer - 2);
    ASSERT_LT(i + 1, lines.size());
    EXPECT_EQ(lines[i + 1], "");

    // The controls put their registers back; the run ends on the last tested page.
    EXPECT_EQ(m_timer->Item(0).dwValue, 1u);
    EXPECT_EQ(m_timer->Item(1).dwValue, 0x100u);
    EXPECT_FALSE(m_document.IsProjectModified());
    ASSERT_NE(m_document.Tree().SelectedModule(), nullptr);
    EXPECT_EQ(m_document.Tree().SelectedModule()->TypeKey(), "UNREC");

    // Self-test lines written after the run no longer reach the log.
    hwc::WriteSelfTestLine("stray line");
    EXPECT_EQ(ReadLines(LogPath()).size(), lines.size());
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(SelfTestRun, OpeningWithTheRunFlagsTestsOnceAndSkipsReprocessing) {
    const std::string session = "New Session Started for project " + (m_root / "Motor").string();
    tRunFlags flags;
    flags.selfTest = true;
    flags.reprocess = true;
    m_document.SetRunFlags(flags);
    ASSERT_TRUE(m_document.OpenProject(m_header.string()));
    EXPECT_EQ(FindLine(ReadLines(LogPath()), session), 0);
    EXPECT_FALSE(m_document.RunFlags().selfTest);
    EXPECT_EQ(m_document.reprocessRequests, 0);

    // The next open of the run does not test again, but asks for Save & Exit every time.
    ASSERT_TRUE(m_document.OpenProject(m_header.string()));
    ASSERT_TRUE(m_document.OpenProject(m_header.string()));
    EXPECT_EQ(FindLine(ReadLines(LogPath()), session, 1), -1);
    EXPECT_EQ(m_document.reprocessRequests, 2);
}

TEST_F(SelfTestRun, ShownPageListsItsControlsInDialogOrder) {
    ASSERT_TRUE(hwc::ShowModulePage(m_document, *m_timer));
    EXPECT_EQ(m_document.Tree().SelectedModule(), m_timer);
    EXPECT_TRUE(m_timer->Page()->IsVisible());
    const std::vector<std::string> expected = {
        "10\tcheckbox\tshown,enabled\t[x] Enable counter",
        "-1\tstatic\tshown,enabled\tModulo:",
        "11\tedit\tshown,enabled\t256",
        "-1\tstatic\tshown,enabled\tInterrupt rate:",
        "13\treadonly\tshown,enabled\t1 kHz",
        "145\tplaceholder\tshown,enabled\t",
        "9502723\tdroplist\tshown,enabled\tOn",
        "9502724\tstatic\thidden,enabled\tRow note",
    };
    EXPECT_EQ(hwc::DescribePageControls(*m_timer->Page()), expected);

    // Showing another page hides this one; a cleared enable bit disables the value box.
    CModuleBase* clock = m_document.FindModule("OCCS");
    ASSERT_NE(clock, nullptr);
    ASSERT_TRUE(hwc::ShowModulePage(m_document, *clock));
    EXPECT_FALSE(m_timer->Page()->IsVisible());
    m_timer->Item(0).dwValue = 0;
    ASSERT_TRUE(hwc::ShowModulePage(m_document, *m_timer));
    const std::vector<std::string> lines = hwc::DescribePageControls(*m_timer->Page());
    EXPECT_EQ(lines[0], "10\tcheckbox\tshown,enabled\t[ ] Enable counter");
    EXPECT_EQ(lines[2], "11\tedit\tshown,disabled\t256");

    // Modules without a page (folder nodes) cannot be shown.
    CModuleBase* folder = nullptr;
    for (const auto& module : m_document.Modules()) {
        if (module->TypeKey() == "VOID")
            folder = module.get();
    }
    ASSERT_NE(folder, nullptr);
    EXPECT_FALSE(hwc::ShowModulePage(m_document, *folder));
}

TEST_F(SelfTestRun, SetRegisterMasksNumbersAndRunsTheUpdateCycle) {
    CHintRecorder views;
    m_document.AddObserver(&views);
    std::string message;
    ASSERT_TRUE(hwc::SetRegisterFromText(m_document, "PIT0_MOD_INIT=74565", message));
    EXPECT_EQ(m_timer->Item(1).dwValue, 0x2345u);
    EXPECT_EQ(m_timer->Page()->FindControl(kModulo)->Text(), "9029");
    ASSERT_FALSE(views.hints.empty());
    EXPECT_EQ(views.hints.front(), 10);
    EXPECT_GT(m_timer->recalculations, 0);

    // Equal values change nothing and tell nobody.
    views.hints.clear();
    ASSERT_TRUE(hwc::SetRegisterFromText(m_document, "PIT0_MOD_INIT=0x2345", message));
    EXPECT_TRUE(views.hints.empty());

    // Signed registers keep all 32 bits; the other timer is found by its prefix too.
    ASSERT_TRUE(hwc::SetRegisterFromText(m_document, "PIT1_OFFSET_INIT=-2", message));
    auto* other = dynamic_cast<CpmSelfTestTimer*>(m_document.FindModule("PIT1"));
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->Item(2).dwValue, 0xFFFFFFFEu);

    // Texts are taken as given and cut to fit; an empty text marks the register absent.
    ASSERT_TRUE(
        hwc::SetRegisterFromText(m_document, "PIT0_NAME=" + std::string(100, 'n'), message));
    EXPECT_EQ(std::string(m_timer->Item(3).szValue), std::string(79, 'n'));
    EXPECT_EQ(m_timer->Item(3).dwValue, 1u);
    ASSERT_TRUE(hwc::SetRegisterFromText(m_document, "PIT0_NAME=", message));
    EXPECT_EQ(m_timer->Item(3).dwValue, 0u);
    ASSERT_TRUE(hwc::SetRegisterFromText(m_document, "PIT0_SCALE=2.5", message));
    EXPECT_EQ(std::string(m_timer->Item(4).szValue), "2.5");
    m_document.RemoveObserver(&views);
}

TEST_F(SelfTestRun, SetRegisterRefusesWhatItCannotWrite) {
    struct tCase {
        std::string assignment;
        std::string message;
    };
    const tCase cases[] = {
        {"NOPE_INIT=1", "No register named NOPE_INIT in this project."},
        {"USER_MACRO=1", "No register named USER_MACRO in this project."},
        {"PIT0_MOD_INIT=12z", "The value \"12z\" for PIT0_MOD_INIT is not a number."},
        {"PIT0_MOD_INIT=", "The value \"\" for PIT0_MOD_INIT is not a number."},
        {"PIT0_MOD_INIT=0x100000000",
         "The value \"0x100000000\" for PIT0_MOD_INIT is not a number."},
        {"PIT0_SCALE=fast", "PIT0_SCALE needs a floating-point number, not \"fast\"."},
        {"PIT0_MOD_INIT", "Expected NAME=VALUE, got \"PIT0_MOD_INIT\"."},
        {"=5", "Expected NAME=VALUE, got \"=5\"."},
    };
    for (const tCase& c : cases) {
        std::string message;
        EXPECT_FALSE(hwc::SetRegisterFromText(m_document, c.assignment, message)) << c.assignment;
        EXPECT_EQ(message, c.message);
    }
    EXPECT_EQ(m_timer->Item(1).dwValue, 0x100u);
    EXPECT_FALSE(m_document.IsProjectModified());
}

TEST_F(SelfTestRun, LogThatCannotBeWrittenStopsTheRunWithOneMessage) {
    fs::create_directory(LogPath());
    EXPECT_FALSE(RunSelfTest(m_document));
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_NE(m_messages.shown[0].text.find(hwc::kSelfTestLogName), std::string::npos);
    EXPECT_TRUE(TheLogFile().Failed());
    EXPECT_FALSE(TheLogFile().IsOpen());
    fs::remove(LogPath());

    EXPECT_TRUE(RunSelfTest(m_document));
    EXPECT_FALSE(TheLogFile().Failed());
    EXPECT_EQ(m_messages.shown.size(), 1u);
}

TEST(PageDescription, ListBoxShowsEveryRowWithTheSelectionMarked) {
    const CDialogTemplate dialog(77, {dlg::ListBox(5), dlg::ListBox(6)});
    CPage page(dialog);
    CPageControl& rows = *page.FindControl(5);
    rows.SetItems({"15\t8\t1", "12\t10\t2", "10\t12\t3"});
    rows.SetSelection(1);
    const std::vector<std::string> lines = hwc::DescribePageControls(page);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "5\tlistbox\tshown,enabled\t15 8 1 | > 12 10 2 | 10 12 3");
    EXPECT_EQ(lines[1], "6\tlistbox\tshown,enabled\t");

    // A long list shows its first sixteen rows, the selected one and how many there are.
    std::vector<std::string> many;
    for (int row = 0; row < 40; ++row)
        many.push_back(std::to_string(row));
    rows.SetItems(many);
    rows.SetSelection(30);
    EXPECT_EQ(
        hwc::DescribePageControls(page)[0],
        "5\tlistbox\tshown,enabled\t0 | 1 | 2 | 3 | 4 | 5 | 6 | 7 | 8 | 9 | 10 | 11 | 12 | 13 | "
        "14 | 15 | > 30 | (40 rows)");
}

TEST(PageDescription, SubPageFollowsItsPlaceholder) {
    const CDialogTemplate dialog(78, {dlg::Placeholder(7)});
    const CDialogTemplate filter(79, {dlg::Edit(3)});
    CPage page(dialog);
    ASSERT_NE(page.StackSubPage(7, filter), nullptr);
    const std::string inner = std::to_string((7 << CPage::kSubPageShift) + 3) + "\tedit\t";
    EXPECT_EQ(hwc::DescribePageControls(page).back(), inner + "shown,enabled\t");

    page.FindControl(7)->Enable(false);
    EXPECT_EQ(hwc::DescribePageControls(page).back(), inner + "shown,disabled\t");
    page.FindControl(7)->Show(false);
    EXPECT_EQ(hwc::DescribePageControls(page).back(), inner + "hidden,disabled\t");
}
