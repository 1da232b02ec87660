#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "model/DisplayText.h"

TEST(DisplayText, FrequencyPicksTheUnitAboveFiveHundred) {
    EXPECT_EQ(FrequencyText(8000000, true), "8 MHz");
    EXPECT_EQ(FrequencyText(500, true), "500 Hz");
    EXPECT_EQ(FrequencyText(501, true), "0.501 kHz");
    EXPECT_EQ(FrequencyText(500000, true), "500 kHz");
    EXPECT_EQ(FrequencyText(500001, true), "0.5 MHz"); // five decimals, zeros trimmed
    EXPECT_EQ(FrequencyText(1234.5678, true), "1.23457 kHz");
    EXPECT_EQ(FrequencyText(8000000, false), "8000000 Hz");
}

TEST(DisplayText, TimePicksSecondsMillisecondsOrMicroseconds) {
    EXPECT_EQ(TimeText(0.00002, true), "20 us");
    EXPECT_EQ(TimeText(0.75, true), "0.75 sec");
    EXPECT_EQ(TimeText(0.5, true), "500 ms");
    EXPECT_EQ(TimeText(0.0001, true), "100 us");
    EXPECT_EQ(TimeText(0.00015, true), "0.15 ms");
    EXPECT_EQ(TimeText(0.002, false), "0.002 sec");
}

TEST(DisplayText, ZeroShowsTheZeroTextOrOff) {
    EXPECT_EQ(FrequencyText(0, true), "OFF");
    EXPECT_EQ(FrequencyText(-0.0, true, "??"), "??");
    EXPECT_EQ(TimeText(0, true, "n/a", "%.3f V"), "n/a");
    EXPECT_EQ(TimeText(0, false, ""), "");
}

TEST(DisplayText, NegativeValuesKeepTheBaseUnit) {
    EXPECT_EQ(FrequencyText(-8000000, true), "-8000000 Hz");
    EXPECT_EQ(TimeText(-0.002, true), "-0.002 sec");
}

TEST(DisplayText, FormatGetsTheValueThenUnitAndSuffix) {
    EXPECT_EQ(FrequencyText(1234567, true, nullptr, "%.3f%s%s"), "1.235 MHz");
    EXPECT_EQ(FrequencyText(100000, true, nullptr, "%.3f %sb/s"), "100.000  kb/s");
    EXPECT_EQ(FrequencyText(9600, false, "OFF", "%.0f bps"), "9600 bps");
    EXPECT_EQ(TimeText(50, false, nullptr, "%.1f %%"), "50.0 %");
    EXPECT_EQ(TimeText(0.75, true, nullptr, "%5.2lf%s"), " 0.75 sec");
}

TEST(DisplayText, FormatsThatWantOtherArgumentsAreNotUsed) {
    for (const char* format :
         {"%s", "%d", "%n", "%f%d", "%f%s%s%s", "%Lf", "%*f", "%1$f", "%99999f", "%.1f%ls", "%"}) {
        EXPECT_EQ(FrequencyText(8000000, true, nullptr, format), "8 MHz") << format;
    }
}

TEST(DisplayText, TextIsCutToTwentyNineCharacters) {
    const std::string huge = FrequencyText(1e40, true);
    EXPECT_EQ(huge.size(), kDisplayTextMax);
    EXPECT_EQ(huge.substr(0, 5), "10000");
    EXPECT_EQ(FrequencyText(1e300, true, nullptr, "%.999f%s%s").size(), kDisplayTextMax);
    EXPECT_EQ(FrequencyText(0, true, std::string(40, 'z').c_str()), std::string(29, 'z'));
    // A two-byte character that would straddle the cut is left out whole.
    const std::string zero = std::string(28, 'x') + "\xC2\xB5s";
    EXPECT_EQ(TimeText(0, true, zero.c_str()), std::string(28, 'x'));
}

TEST(DisplayText, NumbersUseAPointWhateverTheProcessLocale) {
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr &&
        std::setlocale(LC_NUMERIC, "de_DE.utf8") == nullptr)
        GTEST_SKIP() << "German locale not installed";
    const std::string frequency = FrequencyText(1500, true);
    const std::string time = TimeText(0.75, true, nullptr, "%.3f%s");
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_EQ(frequency, "1.5 kHz");
    EXPECT_EQ(time, "0.750 sec");
}
