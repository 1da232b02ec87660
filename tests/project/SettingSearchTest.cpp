// Finding a setting by its words, on the largest example project: what is found, in which order,
// with which value, and where choosing a result leads.

#include "project/SettingSearch.h"
#include "modules/timers/CpmPIT.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "InverterProject.h"
#include "project/ModuleTree.h"
#include "project/SelfTest.h"
#include "support/ExampleProject.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

// Records what a page asks of its renderer.
class CPageRecorder : public IPageObserver {
public:
    void OnControlChanged(CPageControl&) override {}
    void OnSubPageInserted(CPageControl&) override {}
    void OnFocusRequested(CPageControl& control) override { focused = &control; }
    void OnToolTip(CPageControl& control, const std::string& text, const std::string&) override {
        tipControl = &control;
        tipText = text;
    }
    CPageControl* focused = nullptr;
    CPageControl* tipControl = nullptr;
    std::string tipText;
};

class SettingSearch : public CInverterProjectTest {
protected:
    SettingSearch() : CInverterProjectTest("hwc-setting-search") {}
    void SetUp() override {
        CInverterProjectTest::SetUp();
        m_timer = m_document.FindModule("PIT0");
        ASSERT_TRUE(m_timer && m_timer->Page());
        m_search.Build(m_document.Tree());
    }
    void TearDown() override { m_search.Clear(); }

    std::vector<std::string> Texts(std::string_view query) const {
        std::vector<std::string> texts;
        for (const hwc::tSearchResult& result : m_search.Find(query))
            texts.push_back(result.Text());
        return texts;
    }
    // The first result that leads to the control of the module.
    static const hwc::tSearchResult* ResultFor(const std::vector<hwc::tSearchResult>& results,
                                               const CModuleBase* module,
                                               const CPageControl* control) {
        for (const hwc::tSearchResult& result : results) {
            if (result.module == module && result.control == control)
                return &result;
        }
        return nullptr;
    }
    CPageControl* TimerControl(int id) const {
        CPageControl* control = m_timer->FindControl(id);
        EXPECT_NE(control, nullptr) << id;
        return control;
    }
    // Each module's place in the module tree.
    std::map<const CModuleBase*, int> TreeOrder() {
        std::map<const CModuleBase*, int> order;
        m_document.Tree().ForEachItem([&order](CModuleTreeItem& item) {
            if (item.Module())
                order.emplace(item.Module(), static_cast<int>(order.size()));
        });
        return order;
    }

    CModuleBase* m_timer = nullptr;
    hwc::CSettingSearch m_search;
};

} // namespace

TEST_F(SettingSearch, FindsACaptionIgnoringCaseAndOuterBlanks) {
    const std::vector<std::string> expected{"PIT0: Clock Prescaler \xE2\x80\x94 / 64",
                                            "PIT1: Clock Prescaler \xE2\x80\x94 / 1"};
    EXPECT_EQ(Texts("Clock Prescaler"), expected);
    EXPECT_EQ(Texts("cLOCK pRESCALER"), expected);
    EXPECT_EQ(Texts("  clock prescaler\t"), expected);

    const auto results = m_search.Find("Clock Prescaler");
    ASSERT_FALSE(results.empty());
    EXPECT_EQ(results[0].module, m_timer);
    EXPECT_EQ(results[0].control, TimerControl(CpmPIT::kPrescalerId));
    EXPECT_EQ(results[0].controlId, CpmPIT::kPrescalerId);
    EXPECT_EQ(results[0].caption, "Clock Prescaler");
    EXPECT_EQ(results[0].value, "/ 64");
    EXPECT_EQ(results[0].matched, "");
}

TEST_F(SettingSearch, NothingIsFoundForEmptyBlankOrOddQueries) {
    std::size_t total = 99;
    EXPECT_TRUE(m_search.Find("", 10, &total).empty());
    EXPECT_EQ(total, 0u);
    EXPECT_TRUE(m_search.Find(" \t\n ").empty());
    EXPECT_TRUE(m_search.Find("no such setting anywhere").empty());
    // Bytes that are no text, and a query longer than any caption.
    EXPECT_TRUE(m_search.Find("\xFF\xFE\x80").empty());
    EXPECT_TRUE(m_search.Find(std::string("Clock\0Prescaler", 15)).empty());
    EXPECT_TRUE(m_search.Find(std::string(100000, 'e')).empty());
    // Column headings over a list name no setting.
    EXPECT_TRUE(m_search.Find("Quanta").empty());
    EXPECT_GT(m_search.EntryCount(), 1000u);
}

TEST_F(SettingSearch, ListEntriesAndRegistersLeadToTheirSetting) {
    // An entry of the prescaler's list: found after every caption, saying what matched.
    const auto entries = m_search.Find("/ 128");
    const hwc::tSearchResult* entry =
        ResultFor(entries, m_timer, TimerControl(CpmPIT::kPrescalerId));
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->matched, "Entry: / 128");
    EXPECT_EQ(entry->value, "/ 64");

    // A register leads to every setting that writes it, in dialog order; the slave mode the
    // processor lacks is hidden.
    const auto registers = m_search.Find("pit0_ctrl_init");
    std::vector<int> ids;
    for (const hwc::tSearchResult& result : registers) {
        EXPECT_EQ(result.module, m_timer) << result.Text();
        ids.push_back(result.controlId);
    }
    EXPECT_EQ(ids, (std::vector<int>{CpmPIT::kCounterEnableId, CpmPIT::kInterruptEnableId,
                                     CpmPIT::kClockSourceId, CpmPIT::kPrescalerId}));
    ASSERT_FALSE(registers.empty());
    EXPECT_EQ(registers[0].matched, "Register: PIT0_CTRL_INIT bit 0");

    const auto whole = m_search.Find("PIT0_MOD_INIT");
    ASSERT_EQ(whole.size(), 1u);
    EXPECT_EQ(whole[0].Text(), "PIT0: Modulo Value \xE2\x80\x94 29999");
    EXPECT_EQ(whole[0].matched, "Register: PIT0_MOD_INIT");
}

TEST_F(SettingSearch, AChoiceListWithoutLabelIsNamedByItsEntries) {
    // The quad timer's count direction is a list beside others, with no label of its own.
    CModuleBase* timer = m_document.FindModule("QT_A0");
    ASSERT_NE(timer, nullptr);
    const auto results = m_search.Find("count down");
    const auto found = std::find_if(results.begin(), results.end(),
                                    [&](const auto& result) { return result.module == timer; });
    ASSERT_NE(found, results.end());
    EXPECT_EQ(found->caption, "Count up / Count down");
    EXPECT_EQ(found->matched, "");
}

TEST_F(SettingSearch, BestMatchesFirstThenTreeAndDialogOrder) {
    std::size_t total = 0;
    const auto results = m_search.Find("prescaler", 1000, &total);
    ASSERT_EQ(results.size(), total);
    ASSERT_GT(total, 10u);
    // Rank by rank: captions starting with the word, then with a word starting with it, then
    // list entries.
    auto rank = [](const hwc::tSearchResult& result) {
        if (!result.matched.empty())
            return 3;
        const std::string lower = [&] {
            std::string text = result.caption;
            std::transform(text.begin(), text.end(), text.begin(), ::tolower);
            return text;
        }();
        if (lower.rfind("prescaler", 0) == 0)
            return 0;
        return lower.find(" prescaler") != std::string::npos ? 1 : 2;
    };
    const std::map<const CModuleBase*, int> order = TreeOrder();
    for (std::size_t i = 1; i < results.size(); ++i) {
        const int before = rank(results[i - 1]);
        const int now = rank(results[i]);
        ASSERT_LE(before, now) << results[i - 1].Text() << " / " << results[i].Text();
        if (before == now) {
            EXPECT_LE(order.at(results[i - 1].module), order.at(results[i].module))
                << results[i - 1].Text() << " / " << results[i].Text();
        }
    }
    EXPECT_EQ(rank(results.front()), 0);
    EXPECT_NE(ResultFor(results, m_timer, TimerControl(CpmPIT::kPrescalerId)), nullptr);

    // The limit cuts the list, not the count.
    const auto first = m_search.Find("prescaler", 3, &total);
    ASSERT_EQ(first.size(), 3u);
    EXPECT_EQ(total, results.size());
    for (std::size_t i = 0; i < first.size(); ++i)
        EXPECT_EQ(first[i].Text(), results[i].Text());
    EXPECT_TRUE(m_search.Find("prescaler", 0, &total).empty());
    EXPECT_EQ(total, results.size());
}

TEST_F(SettingSearch, ValuesFollowThePageAndLabelsGiveTheirControlsValue) {
    CPageControl* prescaler = TimerControl(CpmPIT::kPrescalerId);
    const auto& items = prescaler->Items();
    const auto at = std::find(items.begin(), items.end(), "/ 128");
    ASSERT_NE(at, items.end());
    m_timer->Page()->UserSelect(*prescaler, static_cast<int>(at - items.begin()));
    EXPECT_EQ(Texts("Clock Prescaler").front(), "PIT0: Clock Prescaler \xE2\x80\x94 / 128");

    // A derived value is named by its label; its value shows once the page has worked it out.
    ASSERT_TRUE(hwc::ShowModulePage(m_document, *m_timer));
    const auto derived = m_search.Find("Roll Over Time");
    const hwc::tSearchResult* time =
        ResultFor(derived, m_timer, TimerControl(CpmPIT::kRollOverTimeId));
    ASSERT_NE(time, nullptr);
    EXPECT_EQ(time->caption, "Roll Over Time");
    EXPECT_EQ(time->value, TimerControl(CpmPIT::kRollOverTimeId)->Text());
    EXPECT_FALSE(time->value.empty());

    // A check box is worded as the header's summary words it.
    const auto box = m_search.Find("Counter Enable");
    ASSERT_NE(ResultFor(box, m_timer, TimerControl(CpmPIT::kCounterEnableId)), nullptr);
    EXPECT_EQ(ResultFor(box, m_timer, TimerControl(CpmPIT::kCounterEnableId))->value, "Enable");
}

TEST_F(SettingSearch, ADisabledBoxSaysWhatItShows) {
    CModuleBase* port = m_document.FindModule("GPIO_A");
    ASSERT_NE(port, nullptr);
    ASSERT_TRUE(hwc::ShowModulePage(m_document, *port));
    const auto results = m_search.Find("GPIO_A_IENR_INIT");
    const auto pin = std::find_if(results.begin(), results.end(), [](const auto& result) {
        return result.matched == "Register: GPIO_A_IENR_INIT bit 0";
    });
    ASSERT_NE(pin, results.end());
    ASSERT_EQ(pin->control->Kind(), EControlKind::CheckBox);
    // The pin serves another function here, so its interrupt box is disabled.
    EXPECT_FALSE(pin->control->IsEnabled());
    EXPECT_EQ(pin->value, pin->control->Check() == 1 ? "checked" : "not checked");
}

TEST_F(SettingSearch, SettingsOfTheSameNameAreToldApart) {
    const CModuleBase* port = m_document.FindModule("GPIO_A");
    ASSERT_NE(port, nullptr);
    std::vector<std::string> captions;
    for (const hwc::tSearchResult& result : m_search.Find("Direction", 1000)) {
        if (result.module == port)
            captions.push_back(result.caption);
    }
    ASSERT_GT(captions.size(), 2u);
    EXPECT_EQ(captions[0], "Direction (GPIO_A_DDR_INIT bit 0)");
    EXPECT_EQ(captions[1], "Direction (GPIO_A_DDR_INIT bit 1)");
    std::sort(captions.begin(), captions.end());
    EXPECT_EQ(std::adjacent_find(captions.begin(), captions.end()), captions.end());
}

TEST_F(SettingSearch, HiddenControlsAreNotFound) {
    // The timer's page was never shown, yet what its processor lacks is not offered.
    EXPECT_EQ(ResultFor(m_search.Find("Slave Mode"), m_timer, TimerControl(CpmPIT::kSlaveModeId)),
              nullptr);

    // A result whose control the page hides by the time it is chosen is not shown.
    hwc::tSearchResult result;
    result.module = m_timer;
    result.control = TimerControl(CpmPIT::kSlaveModeId);
    EXPECT_EQ(hwc::ShowSearchResult(result), hwc::EShowResult::ControlHidden);
    EXPECT_FALSE(hwc::IsControlShown(*result.control));
}

TEST_F(SettingSearch, ChoosingAResultShowsThePageWithATipAtTheControl) {
    CPageRecorder recorder;
    m_timer->Page()->SetObserver(&recorder);
    const auto results = m_search.Find("Clock Prescaler");
    ASSERT_FALSE(results.empty());
    EXPECT_EQ(hwc::ShowSearchResult(results[0]), hwc::EShowResult::Shown);
    EXPECT_EQ(m_document.Tree().SelectedModule(), m_timer);
    EXPECT_TRUE(m_timer->Page()->IsVisible());
    EXPECT_EQ(recorder.tipControl, TimerControl(CpmPIT::kPrescalerId));
    EXPECT_EQ(recorder.tipText, "PIT0: Clock Prescaler");
    m_timer->Page()->SetObserver(nullptr);

    // A control of a repeated block that no number reaches gets its tip all the same.
    bool sawUnnumbered = false;
    for (const hwc::tSearchResult& result : m_search.Find("ISR name", 1000)) {
        if (result.controlId == 0 && !sawUnnumbered) {
            sawUnnumbered = true;
            CPage* page = result.module->Page();
            page->SetObserver(&recorder);
            EXPECT_EQ(hwc::ShowSearchResult(result), hwc::EShowResult::Shown) << result.Text();
            EXPECT_EQ(recorder.tipControl, result.control) << result.Text();
            page->SetObserver(nullptr);
        }
        // Every number given reaches exactly the result's control.
        if (result.controlId != 0) {
            EXPECT_EQ(result.module->FindControl(result.controlId), result.control)
                << result.Text();
        }
    }
    EXPECT_TRUE(sawUnnumbered);
}

TEST_F(SettingSearch, APageThatKeepsAnInvalidValueIsNotLeft) {
    ASSERT_TRUE(hwc::ShowModulePage(m_document, *m_timer));
    m_timer->Page()->UserEdit(*TimerControl(CpmPIT::kModuloId), "not a number");
    const auto results = m_search.Find("PIT1_MOD_INIT");
    ASSERT_EQ(results.size(), 1u);
    EXPECT_EQ(hwc::ShowSearchResult(results[0]), hwc::EShowResult::PageRefused);
    EXPECT_EQ(m_document.Tree().SelectedModule(), m_timer);
    EXPECT_FALSE(m_messages.shown.empty());
}

TEST_F(SettingSearch, ClearingForgetsTheProject) {
    EXPECT_TRUE(m_search.IsBuilt());
    m_search.Clear();
    EXPECT_FALSE(m_search.IsBuilt());
    EXPECT_EQ(m_search.EntryCount(), 0u);
    EXPECT_TRUE(m_search.Find("Clock Prescaler").empty());
    // A tree without modules gives an empty index, built.
    m_document.ClearProject();
    m_search.Build(m_document.Tree());
    EXPECT_TRUE(m_search.IsBuilt());
    EXPECT_EQ(m_search.EntryCount(), 0u);
}

// Every example project: every result leads to a control its number reaches (or to one no
// number reaches, then shown directly), and the first result of a broad query can be shown.
class SettingSearchExamples : public ::testing::TestWithParam<std::string> {};

TEST_P(SettingSearchExamples, EveryResultLeadsToItsControl) {
    CScopedArchitectureFiles architecture;
    CScriptedMessages messages;
    CTestFolder folder("hwc-setting-search-examples");
    const fs::path project = folder / "project";
    CopyExample(GetParam(), project);
    CProjDoc document;
    ASSERT_TRUE(document.OpenProject(project.string()));
    hwc::CSettingSearch search;
    search.Build(document.Tree());
    EXPECT_GT(search.EntryCount(), 10u);
    std::size_t total = 0;
    const auto results = search.Find("e", 100000, &total);
    EXPECT_EQ(results.size(), total);
    EXPECT_GT(total, 10u);
    for (const hwc::tSearchResult& result : results) {
        ASSERT_TRUE(result.module && result.control);
        EXPECT_FALSE(result.caption.empty());
        if (result.controlId != 0) {
            EXPECT_EQ(result.module->FindControl(result.controlId), result.control)
                << GetParam() << ": " << result.Text();
        }
    }
    ASSERT_FALSE(results.empty());
    EXPECT_NE(hwc::ShowSearchResult(results.front()), hwc::EShowResult::PageRefused);
    EXPECT_TRUE(messages.shown.empty()) << messages.shown.front().text;
    search.Clear();
}

INSTANTIATE_TEST_SUITE_P(, SettingSearchExamples,
                         ::testing::Values("K7Q0820-battery-charger", "K7Q1030-pump-control",
                                           "K7Q2020-power-supply", "K7Q2150-servo-drive",
                                           "K7Q2200-operator-panel", "K7Q2320-sensor-node",
                                           "K7Q2430-digital-psu", "K7Q2620-hvac-fan",
                                           "K7Q3010-motor-drive", "K7Q3320-solar-inverter",
                                           "K7Q4250-bldc-fan", "plugins"),
                         [](const auto& info) {
                             std::string name = info.param;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });
