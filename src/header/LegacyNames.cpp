#include "header/LegacyNames.h"

#include <string_view>

#include "base/TextUtil.h"

namespace {

// One row: a legacy name pattern, the current name pattern, and the instances of each
// placeholder (lower-case x, n or m) as "x=A-E n=0,1": ranges of letters or numbers, or lists.
struct LegacyRow {
    const char* legacy;
    const char* current;
    const char* instances;
};

constexpr LegacyRow kRows[] = {
    {"ADC_x_CONTROL_REGn", "ADC_x_ADCRn_INIT", "x=A,B n=1,2"},
    {"ADC_x_ZERO_CROSS_CONTROL_REG", "ADC_x_ADZCC_INIT", "x=A,B"},
    {"ADC_x_CHANNEL_LIST_REGn", "ADC_x_ADLSTn_INIT", "x=A,B n=1,2"},
    {"ADC_x_SAMPLE_DISABLE_REG", "ADC_x_ADSDIS_INIT", "x=A,B"},
    {"ADC_x_STATUS_REG", "ADC_x_ADSTAT_INIT", "x=A,B"},
    {"ADC_x_LIMIT_STATUS_REG", "ADC_x_ADLSTAT_INIT", "x=A,B"},
    {"ADC_x_ZERO_CROSS_STATUS_REG", "ADC_x_ADZCSTAT_INIT", "x=A,B"},
    {"ADC_x_LOW_LIMIT_REGn", "ADC_x_ADLLMTn_INIT", "x=A,B n=0-7"},
    {"ADC_x_HIGH_LIMIT_REGn", "ADC_x_ADHLMTn_INIT", "x=A,B n=0-7"},
    {"ADC_x_OFFSET_REGn", "ADC_x_ADOFSn_INIT", "x=A,B n=0-7"},
    {"COP_CONTROL_REG", "COP_COPCTL_INIT", ""},
    {"COP_TIMEOUT_REG", "COP_COPTO_INIT", ""},
    {"DEC_n_CONTROL_REG", "DEC_n_DECCR_INIT", "n=0,1"},
    {"DEC_n_WATCHDOG_TIMEOUT_REG", "DEC_n_WTR_INIT", "n=0,1"},
    {"DEC_n_FILTER_INTERVAL_REG", "DEC_n_FIR_INIT", "n=0,1"},
    {"DEC_n_UPPER_INIT_REG", "DEC_n_UIR_INIT", "n=0,1"},
    {"DEC_n_LOWER_INIT_REG", "DEC_n_LIR_INIT", "n=0,1"},
    {"GPIO_x_PULLUP_ENABLE_REG", "GPIO_x_PUR_INIT", "x=A-E"},
    {"GPIO_x_DATA_DIRECTION_REG", "GPIO_x_DDR_INIT", "x=A-E"},
    {"GPIO_x_PERIPHERAL_ENABLE_REG", "GPIO_x_PER_INIT", "x=A-E"},
    {"GPIO_x_INTERRUPT_ENABLE_REG", "GPIO_x_IENR_INIT", "x=A-E"},
    {"GPIO_x_INTERRUPT_POLARITY_REG", "GPIO_x_IPOLR_INIT", "x=A-E"},
    {"GPIO_x_PUSHPULL_MODE_REG", "GPIO_x_PPMODE_INIT", "x=A-E"},
    {"ITCN_INT_PRIORITY_n", "INT_PRIORITY_LEVEL_n", "n=10-63"},
    {"OCCS_CONTROL_REG", "OCCS_PLLCR_INIT", ""},
    {"OCCS_DIVIDE_BY_REG", "OCCS_PLLDB_INIT", ""},
    {"OCCS_CLKO_SELECT_REG", "OCCS_CLKOSR_INIT", ""},
    {"OCCS_INTERNAL_OSC_REG", "OCCS_IOSCTL_INIT", ""},
    {"PWM_x_CONTROL_REG", "PWM_x_PMCTL_INIT", "x=A,B"},
    {"PWM_x_FAULT_CONTROL_REG", "PWM_x_PMFCTL_INIT", "x=A,B"},
    {"PWM_x_FAULT_STATUS_REG", "PWM_x_PMFSA_INIT", "x=A,B"},
    {"PWM_x_OUTPUT_CONTROL_REG", "PWM_x_PMOUT_INIT", "x=A,B"},
    {"PWM_x_COUNTER_MODULO_REG", "PWM_x_PWMCM_INIT", "x=A,B"},
    {"PWM_x_DEAD_TIME_REG", "PWM_x_PMDEADTM_INIT", "x=A,B"},
    {"PWM_x_DISABLE_MAPPING_n_REG", "PWM_x_PMDISMAPn_INIT", "x=A,B n=1,2"},
    {"PWM_x_CONFIG_REG", "PWM_x_PMCFG_INIT", "x=A,B"},
    {"PWM_x_CHANNEL_CONTROL_REG", "PWM_x_PMCCR_INIT", "x=A,B"},
    {"QT_xn_CONTROL_REG", "QT_xn_CTRL_INIT", "x=A-D n=0-3"},
    {"QT_xn_STATUS_CONTROL_REG", "QT_xn_SCR_INIT", "x=A-D n=0-3"},
    {"QT_xn_COMPARE_REGm", "QT_xn_CMPm_INIT", "x=A-D n=0-3 m=1,2"},
    {"QT_xn_LOAD_REG", "QT_xn_LOAD_INIT", "x=A-D n=0-3"},
    {"QT_xn_COUNTER_REG", "QT_xn_CNTR_INIT", "x=A-D n=0-3"},
    {"SCI_n_BAUD_RATE_REG", "SCI_n_SCIBR_INIT", "n=0,1"},
    {"SCI_n_CONTROL_REG", "SCI_n_SCICR_INIT", "n=0,1"},
    {"SPI_n_STATUS_CONTROL_REG", "SPI_n_SPSCR_INIT", "n=0,1"},
    {"SPI_n_DATA_SIZE_REG", "SPI_n_SPDSCR_INIT", "n=0,1"},
    // The current name is spelt this way in the modules' register tables.
    {"SYS_CONTROL_REG", "SIM_CONROL_INIT", ""},
    {"SYS_BASEREG_n", "SEMI_CSBARn_INIT", "n=0-7"},
    {"SYS_OPTIONREG_n", "SEMI_CSORn_INIT", "n=0-7"},
    {"SYS_BUS_CONTROL_REG", "BCR_INIT", ""},
};

struct Placeholder {
    char name;
    std::vector<std::string> values;
};

// "A-E" or "0-7" gives every letter or number of the range; "1,2" the listed values.
std::vector<std::string> ExpandValues(std::string_view range) {
    std::vector<std::string> values;
    const std::size_t dash = range.find('-');
    if (dash == std::string_view::npos) {
        for (const std::string& value : hwc::Split(range, ','))
            values.push_back(value);
        return values;
    }
    const std::string_view from = range.substr(0, dash);
    const std::string_view to = range.substr(dash + 1);
    if (from.size() == 1 && to.size() == 1 && !(from[0] >= '0' && from[0] <= '9')) {
        for (char c = from[0]; c <= to[0]; ++c)
            values.emplace_back(1, c);
        return values;
    }
    for (int n = std::stoi(std::string(from)); n <= std::stoi(std::string(to)); ++n)
        values.push_back(std::to_string(n));
    return values;
}

std::vector<Placeholder> ParseInstances(std::string_view instances) {
    std::vector<Placeholder> placeholders;
    for (const std::string& part : hwc::Split(instances, ' ')) {
        if (part.size() > 2 && part[1] == '=')
            placeholders.push_back({part[0], ExpandValues(std::string_view(part).substr(2))});
    }
    return placeholders;
}

std::string Substitute(std::string_view pattern, const std::vector<Placeholder>& placeholders,
                       const std::vector<std::size_t>& choice) {
    std::string name;
    for (const char c : pattern) {
        bool replaced = false;
        for (std::size_t i = 0; i < placeholders.size(); ++i) {
            if (placeholders[i].name == c) {
                name += placeholders[i].values[choice[i]];
                replaced = true;
            }
        }
        if (!replaced)
            name += c;
    }
    return name;
}

// Every combination of the row's placeholder values, the first placeholder varying slowest.
void ExpandRow(const LegacyRow& row, std::vector<tNamePair>& pairs) {
    const std::vector<Placeholder> placeholders = ParseInstances(row.instances);
    std::vector<std::size_t> choice(placeholders.size(), 0);
    while (true) {
        pairs.push_back({Substitute(row.legacy, placeholders, choice),
                         Substitute(row.current, placeholders, choice)});
        std::size_t i = placeholders.size();
        while (i > 0 && ++choice[i - 1] == placeholders[i - 1].values.size())
            choice[--i] = 0;
        if (i == 0)
            return;
    }
}

} // namespace

const std::vector<tNamePair>& LegacyRegisterNames() {
    static const std::vector<tNamePair> pairs = [] {
        std::vector<tNamePair> all;
        for (const LegacyRow& row : kRows)
            ExpandRow(row, all);
        return all;
    }();
    return pairs;
}
