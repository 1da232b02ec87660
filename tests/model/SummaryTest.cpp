#include <gtest/gtest.h>

#include <deque>

#include "ModelTestSupport.h"
#include "model/Summary.h"

using namespace hwc;

namespace {

const std::string kDashes(44, '-');

// A binding stand-in with a fixed text; remembers the flags it was asked with.
class CFakeSource final : public ISummarySource {
public:
    CFakeSource(std::string text, bool active = true) : m_text(std::move(text)), m_active(active) {}
    bool IsActive() const override { return m_active; }
    std::string GetSummaryText(bool withValue, std::uint32_t layoutFlags) const override {
        ++calls;
        lastFlags = layoutFlags;
        return withValue ? m_text : std::string();
    }
    mutable int calls = 0;
    mutable std::uint32_t lastFlags = 0;

private:
    std::string m_text;
    bool m_active;
};

// Builds summaries from (text, flags) pairs; an empty text stands for an inactive binding.
class SummaryTest : public ::testing::Test {
protected:
    std::string Lines(std::initializer_list<std::pair<std::string, std::uint32_t>> entries) {
        std::vector<COMMENTITEM> items;
        for (const auto& [text, flags] : entries) {
            CFakeSource& source = m_sources.emplace_back(text, !text.empty());
            items.push_back({&source, flags});
        }
        const std::string text = SummaryText("ADC_A", items, true);
        const std::string title = "    ADC_A Configuration\n" + kDashes;
        EXPECT_EQ(text.substr(0, title.size()), title);
        return text.size() > title.size() ? text.substr(title.size() + 1) : std::string();
    }

    std::deque<CFakeSource> m_sources;
};

} // namespace

TEST_F(SummaryTest, RepeatedLabelStandsUnderThePreviousValue) {
    EXPECT_EQ(Lines({{"Interrupt: Enabled ", 1}, {"Interrupt: Disabled", 1}}),
              "    Interrupt: Enabled \n" + std::string(4 + 11, ' ') + "Disabled");
    // Only the label of the entry just above counts.
    EXPECT_EQ(Lines({{"Mode: Fast", 0}, {"Clock: Bus", 0}, {"Mode: Slow", 0}}),
              "    Mode: Fast\n    Clock: Bus\n    Mode: Slow");
    // A text without a label leaves the last label in place.
    EXPECT_EQ(Lines({{"Mode: Fast", 0}, {"Calibrated", 0}, {"Mode: Slow", 0}}),
              "    Mode: Fast\n    Calibrated\n          Slow");
}

TEST_F(SummaryTest, ContinuedLinesAreJoinedWithComma) {
    EXPECT_EQ(Lines({{"Mode: Fast", 0x4000}, {"Clock: Bus", 0}, {"Pins: 4", 0}}),
              "    Mode: Fast, Clock: Bus\n    Pins: 4");
    // A repeated label after ", " is dropped without blanks.
    EXPECT_EQ(Lines({{"Mode: Fast", 0x4000}, {"Mode: Slow", 0}}), "    Mode: Fast, Slow");
    // An entry on a comma-joined line does not become the previous label.
    EXPECT_EQ(Lines({{"Int: On", 0x4000}, {"Mode: X", 0}, {"Int: Off", 0}}),
              "    Int: On, Mode: X\n         Off");
}

TEST_F(SummaryTest, InactiveEntries) {
    // Skipped where no line is continued; the flags of the entry before still apply.
    EXPECT_EQ(Lines({{"A: 1", 0x8000}, {"", 0x1000}, {"B: 2", 0}}), "    A: 1B: 2");
    // After a comma-joined line an inactive entry still ends the line...
    EXPECT_EQ(Lines({{"A: 1", 0x4000}, {"", 0}, {"C: 3", 0}}), "    A: 1, \n    C: 3");
    // ...unless it continues the line itself.
    EXPECT_EQ(Lines({{"A: 1", 0x4000}, {"", 0x4000}, {"C: 3", 0}}), "    A: 1, C: 3");
    // An inactive binding is not asked for its text; a missing binding counts as inactive.
    CFakeSource inactive("X: 1", false);
    CFakeSource active("Y: 2");
    EXPECT_EQ(SummaryText("T", {{&inactive, 0}, {nullptr, 0}, {&active, 0}}, true),
              "    T Configuration\n" + kDashes + "\n    Y: 2");
    EXPECT_EQ(inactive.calls, 0);
}

TEST_F(SummaryTest, LayoutBits) {
    // 0x2000 ends a joined line first; on a line of its own it changes nothing.
    EXPECT_EQ(Lines({{"A: 1", 0x8000}, {"B: 2", 0x2000}}), "    A: 1\n    B: 2");
    EXPECT_EQ(Lines({{"A: 1", 0x4000}, {"B: 2", 0x2000 | 0x1000}}), "    A: 1, \n        B: 2");
    EXPECT_EQ(Lines({{"A: 1", 0x2000}, {"B: 2", 0}}), "    A: 1\n    B: 2");
    // 0x1000 indents by 8, but a joined line gets no indent at all.
    EXPECT_EQ(Lines({{"A: 1", 0x1000 | 0x8000}, {"B: 2", 0x1000}}), "        A: 1B: 2");
    // 0x0400 adds a line break after the separator, also instead of no separator.
    EXPECT_EQ(Lines({{"A: 1", 0x0400}, {"B: 2", 0}}), "    A: 1\n\n    B: 2");
    EXPECT_EQ(Lines({{"A: 1", 0x0400 | 0x8000}, {"B: 2", 0}}), "    A: 1\n\nB: 2");
    EXPECT_EQ(Lines({{"A: 1", 0x0400 | 0x4000}, {"B: 2", 0}}), "    A: 1, \nB: 2");

    // The binding sees only the wording bits.
    Lines({{"A: 1", 0xFC00 | 0x0300 | 0x05 | 0x10000}});
    EXPECT_EQ(m_sources.back().lastFlags, 0x10305u);
}

TEST_F(SummaryTest, TextCleanUp) {
    EXPECT_EQ(Lines({{"::Mode: : Fast && Slow", 0}}), "    Mode: Fast & Slow");
    EXPECT_EQ(Lines({{" \t: Source::Bus", 0}, {": : ", 0}, {"Next: 1", 0}}),
              "    Source:Bus\n    Next: 1");
    // Trailing white space of the whole summary goes; text that would end the comment is broken.
    EXPECT_EQ(Lines({{"Path: a*/b  ", 0x0400}}), "    Path: a* /b");
}

TEST(Summary, WithoutCommentsOnlyTitleAndDashes) {
    CFakeSource source("Mode: Fast");
    EXPECT_EQ(SummaryText("PWM A", {{&source, 0}}, false), "    PWM A Configuration\n" + kDashes);
    EXPECT_EQ(source.calls, 0);
    EXPECT_EQ(SummaryText("PWM A", {}, true), "    PWM A Configuration\n" + kDashes);
}

TEST(Summary, CheckBoxWording) {
    const struct {
        std::uint32_t flags;
        const char* checked;
        const char* unchecked;
    } kCases[] = {
        {1, "Irq: Enabled ", "Irq: Disabled"},
        {2, "Irq: On ", "Irq: Off"},
        {3, "Irq: Yes", "Irq: No "},
        {4, "Irq: True ", "Irq: False"},
        {5, "Irq: 1", "Irq: 0"},
        {6, "Irq", ""},
        {0, "Irq: Enable ", "Irq: Disable"},
        {0x7F, "Irq: Enable ", "Irq: Disable"},
        {0x106, "Irq: Enable ", "Irq: Disable"},
        {0x101, "Irq: Enabled ", "Irq: Disabled"},
    };
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.flags);
        EXPECT_EQ(CheckBoxSummaryWording("Irq", true, c.flags), c.checked);
        EXPECT_EQ(CheckBoxSummaryWording("Irq", false, c.flags), c.unchecked);
    }
}

TEST(Summary, ModuleSummaryUsesItsCommentItems) {
    CFakeHost host;
    auto& adc = host.Add<CpmTableTest>(MakeDescriptor("ADC_A", "ADC"), std::vector<tPerCfgDef>{});
    const std::string title = "    ADC_A Configuration\n" + kDashes;
    std::string text = "/*.\n";
    adc.GetSummary(text);
    EXPECT_EQ(text, "/*.\n" + title);

    CFakeSource mode("Mode: Fast"), clock("Clock: Bus"), unused("Unused: 1");
    adc.AddCommentItems({{&mode, 0x4000}, {&clock, 0}, {nullptr, 0}, {&unused, 0}});
    ASSERT_EQ(adc.CommentItems().size(), 2u);
    text.clear();
    adc.GetSummary(text);
    EXPECT_EQ(text, title + "\n    Mode: Fast, Clock: Bus");

    host.generateComments = false;
    text.clear();
    adc.GetSummary(text);
    EXPECT_EQ(text, title);

    adc.ClearCommentItems();
    EXPECT_TRUE(adc.CommentItems().empty());
}

TEST(SummarySettings, KeepEveryLabelAndLeaveOutInactiveAndEmptyEntries) {
    CFakeSource first("Interrupt: Enabled ");
    CFakeSource repeated("Interrupt: Disabled");
    CFakeSource inactive("Mode: Fast", false);
    CFakeSource empty("   ");
    CFakeSource unlabelled("::Calibrated");
    CFakeSource leadingColon(": value only");
    const std::vector<COMMENTITEM> items = {{&first, SumFlag::CONTINUE_LINE},
                                            {&repeated, 0},
                                            {&inactive, 0},
                                            {&empty, 0},
                                            {&unlabelled, 0},
                                            {&leadingColon, 0}};
    const std::vector<tSettingText> settings = SummarySettings(items);
    ASSERT_EQ(settings.size(), 4u);
    EXPECT_EQ(settings[0].label, "Interrupt");
    EXPECT_EQ(settings[0].value, "Enabled");
    EXPECT_EQ(settings[1].label, "Interrupt");
    EXPECT_EQ(settings[1].value, "Disabled");
    EXPECT_EQ(settings[2].label, "");
    EXPECT_EQ(settings[2].value, "Calibrated");
    EXPECT_EQ(settings[3].label, "");
    EXPECT_EQ(settings[3].value, "value only");
    EXPECT_EQ(inactive.calls, 0);
}
