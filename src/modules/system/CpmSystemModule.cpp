#include "modules/system/CpmSystemModule.h"

#include <algorithm>
#include <cctype>

#include "base/TextUtil.h"
#include "bindings/SetBit.h"
#include "bindings/SetMode.h"
#include "bindings/SetValue.h"

using namespace hwc;

namespace hwc {

namespace {

constexpr int kOscillatorSource = 5; // "Oscillator (MSTR_OSC)" in a clock output's list
constexpr int kCrossbarInput = 1;    // "Crossbar" in an input selection
constexpr int kBitsPerRegister = 16;
// Kept narrow enough for the page pane of the smallest main window.
constexpr int kCheckBoxesPerRow = 3;
constexpr int kSelectViewsPerRow = 2;

const char* GroupCaption(ESystemGroup group) {
    switch (group) {
    case ESystemGroup::Operation:
        return "Operation";
    case ESystemGroup::ClockOutput:
        return "Clock outputs";
    case ESystemGroup::HighSpeedClock:
        return "Peripherals on the high-speed clock";
    case ESystemGroup::ClockEnable:
        return "Peripheral clock enable (PCE)";
    case ESystemGroup::StopDisable:
        return "Peripheral clock off in stop mode (SD)";
    case ESystemGroup::InputSelect:
        return "Input selections";
    case ESystemGroup::Miscellaneous:
        return "Clock input and boot";
    case ESystemGroup::Protection:
        return "Write protection";
    case ESystemGroup::Other:
        return "Other registers";
    }
    return "";
}

// The register name of a layout entry as a user knows it: "-SIM_GPSA_INIT" gives "GPSA".
std::string ShortRegisterName(const char* name) {
    std::string text = name;
    if (text.starts_with("-"))
        text.erase(0, 1);
    if (text.starts_with("SIM_"))
        text.erase(0, 4);
    if (text.ends_with("_INIT"))
        text.erase(text.size() - 5);
    return text;
}

tLayoutItem SettingControl(const tSystemSetting& setting, int id) {
    if (!setting.choices.empty())
        return dlg::Row({dlg::Label(setting.caption), dlg::DropList(id, setting.choices)});
    if (setting.low == setting.high)
        return dlg::CheckBox(id, setting.caption);
    return dlg::Row({dlg::Label(setting.caption), dlg::Edit(id)});
}

bool IsClockEnableFact(ESystemFact fact) {
    return fact == ESystemFact::ClockEnable || fact == ESystemFact::TimerEnable;
}

// Calls `visit` with every name of a '|'-separated list.
template <class Visit> void ForEachName(std::string_view list, Visit visit) {
    while (!list.empty()) {
        const std::size_t bar = list.find('|');
        const std::string_view name = list.substr(0, bar);
        if (!name.empty() && visit(name))
            return;
        if (bar == std::string_view::npos)
            break;
        list.remove_prefix(bar + 1);
    }
}

bool ListHas(std::string_view list, std::string_view name) {
    bool found = false;
    ForEachName(list, [&](std::string_view entry) { return found = entry == name; });
    return found;
}

} // namespace

const std::vector<std::string>& StopWaitChoices() {
    static const std::vector<std::string> choices = {"Enabled", "Disabled", "Permanently disabled"};
    return choices;
}

const std::vector<std::string>& ProtectionChoices() {
    static const std::vector<std::string> choices = {"Write Protection OFF", "Write Protection ON",
                                                     "Protection Permanently OFF",
                                                     "Protection Permanently ON"};
    return choices;
}

const std::vector<std::string>& ClockOutputChoices() {
    static const std::vector<std::string> choices = {
        "System clock (SYS_CLK)",      "IP bus clock",
        "High-speed peripheral clock", "ADC clock",
        "Relaxation oscillator",       "Oscillator (MSTR_OSC)",
        "Low-speed oscillator",        "PLL output / 2"};
    return choices;
}

bool OpeningProcessorGroup(int entry) {
    const auto* groups = dynamic_cast<const CModule::IProcessorGroups*>(HostBeingOpened());
    return groups && groups->IsProcessorGroup(entry);
}

void tSystemLayout::AddPeripheralBits(const std::vector<tPeripheralBit>& bits) {
    for (const tPeripheralBit& bit : bits) {
        if (clockEnableItem >= 0 && bit.bit < clockEnableCount * kBitsPerRegister) {
            settings.push_back({ESystemGroup::ClockEnable,
                                clockEnableItem + bit.bit / 16,
                                bit.bit % 16,
                                bit.bit % 16,
                                bit.caption,
                                {},
                                bit.instances,
                                bit.fact,
                                bit.which});
        }
    }
    for (const tPeripheralBit& bit : bits) {
        // The watchdog's bus clock has no stop-mode bit of its own.
        if (bit.fact == ESystemFact::CopBusClock)
            continue;
        if (stopDisableItem >= 0 && bit.bit < stopDisableCount * kBitsPerRegister) {
            settings.push_back({ESystemGroup::StopDisable,
                                stopDisableItem + bit.bit / 16,
                                bit.bit % 16,
                                bit.bit % 16,
                                bit.caption,
                                {},
                                bit.instances,
                                ESystemFact::None,
                                -1});
        }
    }
}

void tSystemLayout::Add(ESystemGroup group, int item, int low, int high, std::string caption,
                        std::vector<std::string> choices, std::string instances, ESystemFact fact,
                        int which) {
    settings.push_back({group, item, low, high, std::move(caption), std::move(choices),
                        std::move(instances), fact, which});
}

void tSystemLayout::AddOperation(int item) {
    Add(ESystemGroup::Operation, item, 0, 1, "STOP mode:", StopWaitChoices());
    Add(ESystemGroup::Operation, item, 2, 3, "WAIT mode:", StopWaitChoices());
    Add(ESystemGroup::Operation, item, 4, 4, "Enable OnCE");
}

void tSystemLayout::AddClockOutputs(int item, int outputs) {
    clockOutputItem = item;
    for (int output = 0; output < outputs; ++output) {
        const int low = output == 0 ? 0 : 6;
        const int disable = output == 0 ? 5 : 9;
        const std::string name = outputs == 1 ? "Clock output" : Format("Clock output %d", output);
        Add(ESystemGroup::ClockOutput, item, low, low + 2, name + " source:", ClockOutputChoices(),
            {}, ESystemFact::ClockSource, output);
        // The register holds a disable bit; the page asks the plain question.
        Add(ESystemGroup::ClockOutput, item, disable, disable, "Enable c" + name.substr(1), {}, {},
            ESystemFact::ClockDisable, output);
        settings.back().inverted = true;
    }
}

void tSystemLayout::AddProtection(int item) {
    Add(ESystemGroup::Protection, item, 0, 1, "Pin and peripheral selects:", ProtectionChoices());
    Add(ESystemGroup::Protection, item, 2, 3, "Peripheral clock enables:", ProtectionChoices());
    Add(ESystemGroup::Protection, item, 4, 5, "Power modes:", ProtectionChoices());
}

void tSystemLayout::AddValue(int item, const std::string& caption, ESystemGroup group) {
    Add(group, item, 0, 15, caption);
}

tSystemLayout Finished(tSystemLayout layout) {
    layout.BuildPage();
    return layout;
}

int tSystemLayout::ItemOf(std::string_view name) const {
    for (std::size_t i = 0; i < registers.size(); ++i) {
        if (name == registers[i].pszName)
            return static_cast<int>(i);
    }
    return -1;
}

void tSystemLayout::BuildPage() {
    tLayoutItem page = dlg::Column({});
    const auto addGroup = [&](ESystemGroup group) {
        tLayoutItem box = dlg::Group(GroupCaption(group), {});
        tLayoutItem settingsColumn = dlg::Column({});
        tLayoutItem checkRow = dlg::Row({});
        for (std::size_t i = 0; i < settings.size(); ++i) {
            const tSystemSetting& setting = settings[i];
            if (setting.group != group)
                continue;
            const int id = kFirstSettingId + static_cast<int>(i);
            const bool grid =
                group == ESystemGroup::ClockEnable || group == ESystemGroup::StopDisable;
            if (!grid) {
                settingsColumn.children.push_back(SettingControl(setting, id));
                continue;
            }
            checkRow.children.push_back(SettingControl(setting, id));
            if (checkRow.children.size() == kCheckBoxesPerRow) {
                settingsColumn.children.push_back(std::move(checkRow));
                checkRow = dlg::Row({});
            }
        }
        if (!checkRow.children.empty())
            settingsColumn.children.push_back(std::move(checkRow));
        // What the settings give is shown beside them.
        tLayoutItem derived = dlg::Column({});
        if (group == ESystemGroup::ClockOutput) {
            const auto outputs =
                std::count_if(settings.begin(), settings.end(), [](const tSystemSetting& s) {
                    return s.fact == ESystemFact::ClockSource;
                });
            int output = 0;
            for (const tSystemSetting& setting : settings) {
                if (setting.fact != ESystemFact::ClockSource)
                    continue;
                derived.children.push_back(dlg::Label(outputs == 1 ? std::string("Output:")
                                                                   : Format("Output %d:", output)));
                derived.children.push_back(dlg::ReadOnly(kFirstClockOutputViewId + output));
                ++output;
            }
        } else if (group == ESystemGroup::HighSpeedClock) {
            derived.children.push_back(dlg::Label("IP bus clock:"));
            derived.children.push_back(dlg::ReadOnly(kBusClockViewId));
            derived.children.push_back(dlg::Label("High-speed clock:"));
            derived.children.push_back(dlg::ReadOnly(kHighSpeedClockViewId));
        } else if (group == ESystemGroup::Miscellaneous && !miscNote.empty()) {
            settingsColumn.children.push_back(dlg::Label(miscNote, kSettingsNoteId));
        }
        if (settingsColumn.children.empty())
            return;
        if (derived.children.empty()) {
            box.children = std::move(settingsColumn.children);
        } else {
            tLayoutItem row = dlg::Row({});
            row.children.push_back(std::move(settingsColumn));
            row.children.push_back(std::move(derived));
            box.children.push_back(std::move(row));
        }
        page.children.push_back(std::move(box));
    };
    for (ESystemGroup group :
         {ESystemGroup::Operation, ESystemGroup::ClockOutput, ESystemGroup::HighSpeedClock,
          ESystemGroup::ClockEnable, ESystemGroup::StopDisable, ESystemGroup::InputSelect,
          ESystemGroup::Miscellaneous, ESystemGroup::Protection}) {
        addGroup(group);
    }
    if (selectCount > 0) {
        // The GPIO pages write these; the page only shows them.
        tLayoutItem box = dlg::Group("Peripheral selects (set on the GPIO pages)", {});
        tLayoutItem row = dlg::Row({});
        for (int i = 0; i < selectCount; ++i) {
            row.children.push_back(
                dlg::Label(ShortRegisterName(registers[selectItem + i].pszName) + ":"));
            row.children.push_back(dlg::ReadOnly(kFirstSelectViewId + i));
            if (row.children.size() == 2 * kSelectViewsPerRow) {
                box.children.push_back(std::move(row));
                row = dlg::Row({});
            }
        }
        if (!row.children.empty())
            box.children.push_back(std::move(row));
        page.children.push_back(std::move(box));
    }
    addGroup(ESystemGroup::Other);
    this->page =
        std::make_unique<CDialogTemplate>(templateId, std::initializer_list<tLayoutItem>{page});
}

} // namespace hwc

// --- The module ---

CpmSystemModule::CpmSystemModule(CModuleBase* parent, const CModuleDescriptor* descriptor,
                                 const tSystemLayout& layout)
    : CModule(parent, layout.templateId, descriptor, layout.registers.data(),
              static_cast<int>(layout.registers.size())),
      m_layout(&layout) {
    for (const tSystemSetting& setting : layout.settings) {
        if (!setting.choices.empty())
            m_bindings.push_back(std::make_unique<CSetMode>());
        else if (setting.low == setting.high)
            m_bindings.push_back(std::make_unique<CSetBit>());
        else
            m_bindings.push_back(std::make_unique<CSetValue>());
    }
}

CpmSystemModule::~CpmSystemModule() = default;

void CpmSystemModule::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    ClearCommentItems();
    std::vector<COMMENTITEM> summary;
    for (std::size_t i = 0; i < m_layout->settings.size(); ++i) {
        const tSystemSetting& setting = m_layout->settings[i];
        // The summary names the setting: "Enable OnCE" is listed as "OnCE: Enable".
        std::string description = setting.caption;
        if (description.ends_with(":"))
            description.pop_back();
        if (description.starts_with("Enable ")) {
            description.erase(0, 7);
            description[0] =
                static_cast<char>(std::toupper(static_cast<unsigned char>(description[0])));
        }
        if (setting.group == ESystemGroup::ClockEnable)
            description += " clock";
        else if (setting.group == ESystemGroup::StopDisable)
            description += " clock off in stop mode";
        tPerCfgItem& item = Item(setting.item);
        CSetCtrl& binding = *m_bindings[i];
        if (auto* mode = dynamic_cast<CSetMode*>(&binding)) {
            mode->Bind(item, setting.low, setting.high, 0, description.c_str());
        } else if (auto* bit = dynamic_cast<CSetBit*>(&binding)) {
            bit->Bind(item, setting.low, setting.inverted, description.c_str());
        } else if (auto* value = dynamic_cast<CSetValue*>(&binding)) {
            value->Bind(item, setting.low, setting.high, 0, description.c_str(), true, 0, 0, true);
        }
        // The summary lists what this processor has (hidden settings stay out of it), without
        // the stop-mode bits, which would double its length.
        if (setting.group != ESystemGroup::StopDisable &&
            (setting.instances.empty() || AnyPresent(setting.instances)))
            summary.push_back({&binding, 0});
    }
    summary.push_back({nullptr, 0});
    AddCommentItems(summary);
}

void CpmSystemModule::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    for (std::size_t i = 0; i < m_layout->settings.size(); ++i) {
        const int id = kFirstSettingId + static_cast<int>(i);
        CPageControl* control = page.FindControl(id);
        if (!control)
            continue;
        m_bindings[i]->Attach(*control);
        const std::string& instances = m_layout->settings[i].instances;
        // One check box per peripheral the processor has.
        page.ShowControl(id, instances.empty() || AnyPresent(instances));
    }
}

void CpmSystemModule::Recalculate() {
    CPage* page = Page();
    if (!page)
        return;
    const int used = PeripheralSelectRegisterCount();
    for (int i = 0; i < m_layout->selectCount; ++i) {
        if (CPageControl* view = page->FindControl(kFirstSelectViewId + i)) {
            const std::uint32_t value = Item(m_layout->selectItem + i).dwValue;
            view->SetText(i < used ? Format("0x%04X", value) : Format("0x%04X (unused)", value));
        }
    }
    const float bus = GetBusClock();
    const float highSpeed = GetOtherClock();
    ShowFrequency(kBusClockViewId, bus * 1000000.0, true, "n/a");
    ShowFrequency(kHighSpeedClockViewId, highSpeed * 1000000.0, true, "n/a");
    const auto* clock = dynamic_cast<const CModule*>(FindModule(Host(), "OCCS", "OCCS"));
    const float core = clock ? clock->PublishedCoreClock() : 0.0f;
    int output = 0;
    for (const tSystemSetting& setting : m_layout->settings) {
        if (setting.fact != ESystemFact::ClockSource)
            continue;
        const int id = kFirstClockOutputViewId + output++;
        const tSystemSetting* disable = FindFact(ESystemFact::ClockDisable, setting.which);
        if (disable && SettingBit(*disable)) {
            if (CPageControl* view = page->FindControl(id))
                view->SetText("OFF");
            continue;
        }
        float mhz = 0.0f;
        switch (SettingField(setting)) {
        case 0:
            mhz = core;
            break;
        case 1:
            mhz = bus;
            break;
        case 2:
            mhz = highSpeed;
            break;
        default:
            break;
        }
        // Sources the clock module does not publish have no figure here.
        ShowFrequency(id, mhz * 1000000.0, true, "n/a");
    }
}

void CpmSystemModule::CheckWarnings() {
    CModule::CheckWarnings();
    for (std::size_t i = 0; i < m_layout->settings.size(); ++i) {
        if (IsClockEnableFact(m_layout->settings[i].fact))
            UpdateClockWarning(i);
    }
}

void CpmSystemModule::CheckModule(CModule& module) {
    if (&module == this)
        return;
    for (std::size_t i = 0; i < m_layout->settings.size(); ++i) {
        const tSystemSetting& setting = m_layout->settings[i];
        if (IsClockEnableFact(setting.fact) && ListHas(setting.instances, module.InstanceName()))
            UpdateClockWarning(i);
    }
}

void CpmSystemModule::UpdateClockWarning(std::size_t index) {
    const tSystemSetting& setting = m_layout->settings[index];
    const int id = kFirstSettingId + static_cast<int>(index);
    // One warning per bit: it names the first selected module that needs the clock. While this
    // module is not written, the clock enables are left to the application and nothing is said.
    const CModuleBase* needing = nullptr;
    if (IsSelected() && !SettingBit(setting)) {
        ForEachName(setting.instances, [&](std::string_view name) {
            const CModuleBase* module = FindModule(Host(), name);
            if (module && module != this && module->IsSelected())
                needing = module;
            return needing != nullptr;
        });
    }
    const bool active = needing != nullptr;
    const std::string text =
        active ? Format(kClockNotEnabledFormat, needing->Title().c_str()) : std::string();
    if (CPage* page = Page()) {
        page->SetCtrlTextColor(id,
                               active ? std::optional<tColour>(tColour{128, 0, 0}) : std::nullopt);
    }
    if (IModuleHost* host = Host())
        host->SetWarning(this, id, active, text.c_str(), nullptr);
}

// --- Settings ---

bool CpmSystemModule::AnyPresent(const std::string& instances) const {
    bool present = false;
    ForEachName(instances, [&](std::string_view name) {
        return present = FindModule(Host(), name) != nullptr;
    });
    return present;
}

std::uint32_t CpmSystemModule::SettingField(const tSystemSetting& setting) const {
    const int width = setting.high - setting.low + 1;
    const std::uint32_t mask = width >= 32 ? 0xFFFFFFFFu : ((1u << width) - 1u);
    return (Item(setting.item).dwValue >> setting.low) & mask;
}

bool CpmSystemModule::SettingBit(const tSystemSetting& setting) const {
    return SettingField(setting) != 0;
}

const tSystemSetting* CpmSystemModule::FindFact(ESystemFact fact, int which) const {
    for (const tSystemSetting& setting : m_layout->settings) {
        if (setting.fact == fact && (setting.which == -1 || setting.which == which))
            return &setting;
    }
    return nullptr;
}

int CpmSystemModule::ControlOf(ESystemFact fact, int which) const {
    const tSystemSetting* setting = FindFact(fact, which);
    if (!setting)
        return 0;
    return kFirstSettingId + static_cast<int>(setting - m_layout->settings.data());
}

int CpmSystemModule::ClockEnableControlOf(std::string_view instance) const {
    for (std::size_t i = 0; i < m_layout->settings.size(); ++i) {
        const tSystemSetting& setting = m_layout->settings[i];
        if (IsClockEnableFact(setting.fact) && ListHas(setting.instances, instance))
            return kFirstSettingId + static_cast<int>(i);
    }
    return 0;
}

// --- Answers ---

bool CpmSystemModule::ClockOutputSelectsOscillator() const {
    for (const tSystemSetting& setting : m_layout->settings) {
        if (setting.fact != ESystemFact::ClockSource || SettingField(setting) != kOscillatorSource)
            continue;
        const tSystemSetting* disable = FindFact(ESystemFact::ClockDisable, setting.which);
        if (!disable || !SettingBit(*disable))
            return true;
    }
    return false;
}

bool CpmSystemModule::SelectsSecondClockInput() const {
    const tSystemSetting* setting = FindFact(ESystemFact::SecondClockInput, -1);
    return setting && SettingBit(*setting);
}

std::uint32_t CpmSystemModule::PeripheralClockControl(std::string_view peripheral) const {
    ESystemFact fact = ESystemFact::None;
    if (peripheral == "PWM")
        fact = ESystemFact::PwmClock;
    else if (peripheral == "Timer")
        fact = ESystemFact::TimerClock;
    else if (peripheral == "SCI")
        fact = ESystemFact::SciClock;
    else if (peripheral == "IIC")
        fact = ESystemFact::I2cClock;
    else
        return 0;
    for (std::size_t i = 0; i < m_layout->settings.size(); ++i) {
        const tSystemSetting& setting = m_layout->settings[i];
        if (setting.fact == fact && (setting.instances.empty() || AnyPresent(setting.instances)))
            return static_cast<std::uint32_t>(kFirstSettingId + static_cast<int>(i));
    }
    return 0;
}

bool CpmSystemModule::SciHighSpeedClock(int instance) const {
    const tSystemSetting* setting = FindFact(ESystemFact::SciClock, instance);
    return setting && SettingBit(*setting);
}

bool CpmSystemModule::SciRxdFromCrossbar(int instance) const {
    const tSystemSetting* setting = FindFact(ESystemFact::SciRxd, instance);
    return setting && SettingField(*setting) == kCrossbarInput;
}

bool CpmSystemModule::TimerHighSpeedClock(char timer) const {
    const tSystemSetting* setting = FindFact(ESystemFact::TimerClock, timer);
    return setting && SettingBit(*setting);
}

bool CpmSystemModule::I2cFastClock(int instance, bool& halved) const {
    halved = false;
    if (m_layout->i2cEitherSelection) {
        return std::any_of(m_layout->settings.begin(), m_layout->settings.end(),
                           [&](const tSystemSetting& setting) {
                               return setting.fact == ESystemFact::I2cClock && SettingBit(setting);
                           });
    }
    const tSystemSetting* setting = FindFact(ESystemFact::I2cClock, instance);
    if (!setting || !SettingBit(*setting))
        return false;
    const tSystemSetting* divide = FindFact(ESystemFact::I2cHalved, instance);
    halved = divide && SettingBit(*divide);
    return true;
}

std::optional<bool> CpmSystemModule::CopBusClockEnabled() const {
    const tSystemSetting* setting = FindFact(ESystemFact::CopBusClock, -1);
    if (!setting)
        return std::nullopt;
    return SettingBit(*setting);
}

std::optional<bool> CpmSystemModule::TimerEnabled(int number) const {
    for (const tSystemSetting& setting : m_layout->settings) {
        if (setting.fact == ESystemFact::TimerEnable && setting.which == number)
            return SettingBit(setting);
    }
    return std::nullopt;
}

std::optional<bool> CpmSystemModule::MiscBit(int bit) const {
    if (m_layout->miscItem < 0 || bit < 0 || bit >= kBitsPerRegister)
        return std::nullopt;
    return ((Item(m_layout->miscItem).dwValue >> bit) & 1u) != 0;
}

tPerCfgItem* CpmSystemModule::MiscControlRegister() {
    return m_layout->miscItem >= 0 ? &Item(m_layout->miscItem) : nullptr;
}

tPerCfgItem* CpmSystemModule::GroupBit(int first, int count, int bit, std::uint32_t& mask) {
    if (first < 0 || bit < 0 || bit >= count * kBitsPerRegister)
        return nullptr;
    mask = 1u << (bit % kBitsPerRegister);
    return &Item(first + bit / kBitsPerRegister);
}

bool CpmSystemModule::PeripheralSelectBit(int bit) const {
    std::uint32_t mask = 0;
    const tPerCfgItem* item = const_cast<CpmSystemModule*>(this)->GroupBit(
        m_layout->selectItem, PeripheralSelectRegisterCount(), bit, mask);
    return item && (item->dwValue & mask) != 0;
}

void CpmSystemModule::SetPeripheralSelectBit(int bit, bool set) {
    std::uint32_t mask = 0;
    if (tPerCfgItem* item =
            GroupBit(m_layout->selectItem, PeripheralSelectRegisterCount(), bit, mask))
        item->dwValue = set ? (item->dwValue | mask) : (item->dwValue & ~mask);
}

bool CpmSystemModule::ClockOutputSelectBit(int bit) const {
    std::uint32_t mask = 0;
    const tPerCfgItem* item =
        const_cast<CpmSystemModule*>(this)->GroupBit(m_layout->clockOutputItem, 1, bit, mask);
    return item && (item->dwValue & mask) != 0;
}

void CpmSystemModule::SetClockOutputSelectBit(int bit, bool set) {
    std::uint32_t mask = 0;
    if (tPerCfgItem* item = GroupBit(m_layout->clockOutputItem, 1, bit, mask))
        item->dwValue = set ? (item->dwValue | mask) : (item->dwValue & ~mask);
}

int CpmSystemModule::PeripheralSelectRegisterCount() const {
    if (m_layout->selectCount <= 0)
        return 0;
    std::uint32_t count = 1;
    // A number the architecture file cannot give counts as one register.
    if (!GetModuleInfoNumber("GPSCNT", count))
        count = 1;
    return static_cast<int>(std::min<std::uint32_t>(count, m_layout->selectCount));
}

std::vector<tPerCfgItem*> CpmSystemModule::PinSelectRegisters(bool withClockOutput) {
    std::vector<tPerCfgItem*> registers;
    const int count = PeripheralSelectRegisterCount();
    for (int i = 0; i < count && m_layout->selectItem + i < ItemCount(); ++i)
        registers.push_back(&Item(m_layout->selectItem + i));
    if (withClockOutput && m_layout->clockOutputItem >= 0 &&
        m_layout->clockOutputItem < ItemCount())
        registers.push_back(&Item(m_layout->clockOutputItem));
    return registers;
}
