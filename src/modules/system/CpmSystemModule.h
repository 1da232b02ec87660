#pragma once
// What every system integration module shares: the register layout and page of a processor
// family described as tables (one row per setting: its register field, caption, choices, the
// modules it serves and the fact it answers), the bindings made from them, and the answers
// other modules ask of the system module (SystemQueries.h).

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "bindings/SetCtrl.h"
#include "model/DialogTemplate.h"
#include "modules/framework/CModule.h"
#include "modules/system/SystemQueries.h"

namespace hwc {

// Where a setting goes on the page, in page order.
enum class ESystemGroup : std::uint8_t {
    Operation,      // stop, wait, debug, power
    ClockOutput,    // clock outputs and their sources
    HighSpeedClock, // peripherals run from the high-speed clock
    ClockEnable,    // peripheral clock enables
    StopDisable,    // peripheral clocks off in stop mode
    InputSelect,    // input selections
    Miscellaneous,  // clock input, fast boot
    Protection,     // write protection
    Other,          // the remaining registers as plain values
};

// What other modules learn from a setting.
enum class ESystemFact : std::uint8_t {
    None,
    ClockEnable,      // the clock of the listed modules (a selected one warns while clear)
    TimerEnable,      // the same for timer channel `which`, which other modules ask about
    CopBusClock,      // the watchdog's bus clock
    ClockSource,      // a clock output's source list (its disable bit follows)
    ClockDisable,     // a clock output's disable bit
    SciClock,         // serial interface `which` (-1: every one) on the high-speed clock
    TimerClock,       // timer `which` ('A'..; -1: every one) on the high-speed clock
    PwmClock,         // PWM on the high-speed clock
    I2cClock,         // I2C controller `which` (-1: every one) on the fast clock
    I2cHalved,        // the I2C fast clock is divided by two
    SciRxd,           // serial interface `which` receives from the crossbar
    SecondClockInput, // the clock input selection stands at the second CLKIN
    FastBoot,         // fast boot mode
};

// One setting of a system page: a field of a register and how the page shows it. Without
// choices a one-bit field is a check box and a wider one a value edit (in hex).
struct tSystemSetting {
    ESystemGroup group = ESystemGroup::Other;
    int item = 0; // register position in the layout
    int low = 0;
    int high = 0;
    std::string caption;
    std::vector<std::string> choices;
    std::string instances; // '|'-separated modules it serves; shown while one exists
    ESystemFact fact = ESystemFact::None;
    int which = -1;
    bool inverted = false; // a check box that is checked while its bit is clear
};

// A bit of the clock-enable registers, numbered over them (bit / 16 is the register); the same
// bit of the stop-disable registers belongs to the same peripherals.
struct tPeripheralBit {
    int bit;
    const char* caption;
    const char* instances;
    ESystemFact fact = ESystemFact::ClockEnable;
    int which = -1;
};

// The register layout and page of one processor family.
struct tSystemLayout {
    unsigned templateId = 0;
    std::vector<tPerCfgDef> registers;
    int clockEnableItem = -1; // first clock-enable register
    int clockEnableCount = 0;
    int stopDisableItem = -1;
    int stopDisableCount = 0;
    int selectItem = -1; // first peripheral-select register
    int selectCount = 0;
    int clockOutputItem = -1;
    int miscItem = -1;               // miscellaneous control register
    bool i2cEitherSelection = false; // either I2C selection feeds every controller
    std::vector<tSystemSetting> settings;
    std::string miscNote; // shown beside the clock input settings
    std::unique_ptr<CDialogTemplate> page;

    // Adds the check boxes of the clock-enable and stop-disable registers.
    void AddPeripheralBits(const std::vector<tPeripheralBit>& bits);
    // Builds the page from the settings (after they are complete).
    void BuildPage();

    // Common parts of the families' pages.
    // Stop and wait mode and the debug interface (CONROL layout).
    void AddOperation(int item);
    // One or two clock outputs: a source list and a disable bit each.
    void AddClockOutputs(int item, int outputs);
    // Write protection of the system registers (as on the clock page).
    void AddProtection(int item);
    // A whole register as a value.
    void AddValue(int item, const std::string& caption, ESystemGroup group = ESystemGroup::Other);
    // A check box or list on one field.
    void Add(ESystemGroup group, int item, int low, int high, std::string caption,
             std::vector<std::string> choices = {}, std::string instances = {},
             ESystemFact fact = ESystemFact::None, int which = -1);
    // The position of the register with that name, -1 when the layout has none.
    int ItemOf(std::string_view name) const;
};

// The layout with its page built: each class keeps one per variant in a function-local static.
tSystemLayout Finished(tSystemLayout layout);

// Page controls: settings are numbered in table order from kFirstSettingId.
inline constexpr int kFirstSettingId = 3000;
inline constexpr int kFirstSelectViewId = 3900; // peripheral-select registers, read only
inline constexpr int kBusClockViewId = 3950;
inline constexpr int kHighSpeedClockViewId = 3951;
inline constexpr int kFirstClockOutputViewId = 3952; // one per clock output
inline constexpr int kSettingsNoteId = 3960;

// The choices of the common fields.
const std::vector<std::string>& StopWaitChoices();
const std::vector<std::string>& ProtectionChoices();
const std::vector<std::string>& ClockOutputChoices();

// Whether the processor of the document being opened belongs to the group.
bool OpeningProcessorGroup(int entry);

} // namespace hwc

class CpmSystemModule : public CModule, public hwc::ISystemIntegration {
    HWC_DECLARE_ABSTRACT_MODULE_CLASS(CpmSystemModule, CModule)
public:
    // The text of the clock-enable warning raised for a selected module.
    static constexpr const char* kClockNotEnabledFormat =
        "%s clock is not enabled in SYS module (PCE).";

    const hwc::tSystemLayout& Layout() const { return *m_layout; }
    const CDialogTemplate* DialogTemplate() const override { return m_layout->page.get(); }
    void BindControls(IModuleHost* host) override;
    void Recalculate() override;
    void CheckWarnings() override;
    void CheckModule(CModule& module) override;

    // The page control of the first setting that answers the fact (for `which`), 0 when none.
    int ControlOf(hwc::ESystemFact fact, int which = -1) const;
    // The control of the clock-enable bit that serves the module instance, 0 when none.
    int ClockEnableControlOf(std::string_view instance) const;

    // --- ISystemIntegration ---
    bool ClockOutputSelectsOscillator() const override;
    bool SelectsSecondClockInput() const override;
    std::uint32_t PeripheralClockControl(std::string_view peripheral) const override;
    bool SciHighSpeedClock(int instance) const override;
    bool SciRxdFromCrossbar(int instance) const override;
    bool TimerHighSpeedClock(char timer) const override;
    bool I2cFastClock(int instance, bool& halved) const override;
    std::optional<bool> CopBusClockEnabled() const override;
    std::optional<bool> TimerEnabled(int number) const override;
    std::optional<bool> MiscBit(int bit) const override;
    tPerCfgItem* MiscControlRegister() override;
    bool PeripheralSelectBit(int bit) const override;
    void SetPeripheralSelectBit(int bit, bool set) override;
    bool ClockOutputSelectBit(int bit) const override;
    void SetClockOutputSelectBit(int bit, bool set) override;
    int PeripheralSelectRegisterCount() const override;
    std::vector<tPerCfgItem*> PinSelectRegisters(bool withClockOutput) override;

protected:
    CpmSystemModule(CModuleBase* parent, const CModuleDescriptor* descriptor,
                    const hwc::tSystemLayout& layout);
    ~CpmSystemModule() override;

    void AttachControls(CPage& page) override;

private:
    // Whether one of the '|'-separated module instances exists in the document.
    bool AnyPresent(const std::string& instances) const;
    bool SettingBit(const hwc::tSystemSetting& setting) const;
    std::uint32_t SettingField(const hwc::tSystemSetting& setting) const;
    const hwc::tSystemSetting* FindFact(hwc::ESystemFact fact, int which) const;
    // Raises or clears the warning of one clock-enable bit from the modules it serves.
    void UpdateClockWarning(std::size_t index);
    // The position of a bit of a register group, or null beyond it.
    tPerCfgItem* GroupBit(int first, int count, int bit, std::uint32_t& mask);

    const hwc::tSystemLayout* m_layout;
    std::vector<std::unique_ptr<CSetCtrl>> m_bindings; // one per setting, in table order
};
