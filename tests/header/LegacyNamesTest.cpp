#include "header/LegacyNames.h"

#include <gtest/gtest.h>

#include <set>

namespace {

std::string CurrentNameOf(const std::string& legacy) {
    for (const tNamePair& pair : LegacyRegisterNames()) {
        if (pair.first == legacy)
            return pair.second;
    }
    return {};
}

} // namespace

TEST(LegacyNames, HoldsEveryPairOnceWithTheExpandedInstances) {
    const auto& pairs = LegacyRegisterNames();
    EXPECT_EQ(pairs.size(), 308u);
    std::set<std::string> legacy, current;
    for (const tNamePair& pair : pairs) {
        legacy.insert(pair.first);
        current.insert(pair.second);
    }
    EXPECT_EQ(legacy.size(), 308u);
    EXPECT_EQ(current.size(), 308u);

    EXPECT_EQ(pairs.front().first, "ADC_A_CONTROL_REG1");
    EXPECT_EQ(pairs.front().second, "ADC_A_ADCR1_INIT");
    EXPECT_EQ(pairs.back().first, "SYS_BUS_CONTROL_REG");
    EXPECT_EQ(pairs.back().second, "BCR_INIT");

    EXPECT_EQ(CurrentNameOf("ADC_B_OFFSET_REG7"), "ADC_B_ADOFS7_INIT");
    EXPECT_EQ(CurrentNameOf("GPIO_E_PUSHPULL_MODE_REG"), "GPIO_E_PPMODE_INIT");
    EXPECT_EQ(CurrentNameOf("ITCN_INT_PRIORITY_10"), "INT_PRIORITY_LEVEL_10");
    EXPECT_EQ(CurrentNameOf("ITCN_INT_PRIORITY_63"), "INT_PRIORITY_LEVEL_63");
    EXPECT_EQ(CurrentNameOf("ITCN_INT_PRIORITY_9"), "");
    EXPECT_EQ(CurrentNameOf("QT_D3_COMPARE_REG2"), "QT_D3_CMP2_INIT");
    EXPECT_EQ(CurrentNameOf("PWM_B_DISABLE_MAPPING_2_REG"), "PWM_B_PMDISMAP2_INIT");
    EXPECT_EQ(CurrentNameOf("SYS_CONTROL_REG"), "SIM_CONROL_INIT");
    EXPECT_EQ(CurrentNameOf("SYS_OPTIONREG_7"), "SEMI_CSOR7_INIT");
    EXPECT_EQ(CurrentNameOf("COP_TIMEOUT_REG"), "COP_COPTO_INIT");
}
