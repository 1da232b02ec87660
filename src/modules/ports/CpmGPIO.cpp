#include "modules/ports/CpmGPIO.h"

#include <algorithm>

#include <map>
#include <mutex>

#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "model/ModuleHost.h"
#include "model/ModuleSubDlg.h"
#include "model/Summary.h"
#include "modules/interrupts/InterruptQueries.h"
#include "modules/system/SystemQueries.h"

using hwc::Format;

namespace {

using namespace hwc::RegFlag;

const tPerCfgDef kRegisters[] = {
    {"PUR_INIT", 0xFF, DW16}, {"DDR_INIT", 0, DW16},      {"PER_INIT", 0xFF, DW16 | NODEFAULT},
    {"IENR_INIT", 0, DW16},   {"IPOLR_INIT", 0, DW16},    {"DR_INIT", 0, DW16},
    {"PPMODE_INIT", 0, DW16}, {"DRIVE_INIT", 0, DW16},    {"IFE_INIT", 0xFFFF, DW16},
    {"SLEW_INIT", 0, DW16},   {"PUS_INIT", 0xFFFF, DW16},
};

constexpr const char* kGpioFunction = "GPIO";
// Each pin's summary starts a line with its function and continues it with its interrupt.
constexpr std::uint32_t kSummaryFunctionFlags =
    hwc::SumFlag::NEW_LINE | hwc::SumFlag::CONTINUE_LINE;
constexpr std::uint32_t kSummaryInterruptFlags = hwc::SumFlag::CONTINUE_LINE;

// Module-info numbers that give the port's reset values on the processor.
struct tResetKey {
    const char* key;
    int item;
};
constexpr tResetKey kResetKeys[] = {
    {"PER", CpmGPIO::kPer}, {"PUR", CpmGPIO::kPur}, {"PPMODE", CpmGPIO::kPpmode}};

bool InGroup(const CModuleBase& module, int group) {
    return CModule::IsProcessorGroup(module, group);
}

// Processor groups the port tells apart beyond those CModule names.
constexpr int kFamJ = 96;
constexpr int kFamC = 106;

bool IsNewestGroup(const CModuleBase& module) {
    return InGroup(module, CModule::kFamE) || InGroup(module, CModule::kFamF) ||
           InGroup(module, CModule::kFamD);
}

int RegisterCount(const CModuleBase& module) {
    if (InGroup(module, CModule::kFamG))
        return 6;
    if (InGroup(module, CModule::kFamA))
        return 10;
    if (IsNewestGroup(module))
        return 11;
    if (InGroup(module, kFamJ) || InGroup(module, kFamC))
        return 8;
    return 7;
}

CpmGPIO::EVariant VariantOf(const CModuleBase& module) {
    if (InGroup(module, CModule::kFamG))
        return CpmGPIO::EVariant::V1;
    if (InGroup(module, CModule::kFamA))
        return CpmGPIO::EVariant::FamA;
    if (IsNewestGroup(module))
        return CpmGPIO::EVariant::FamE;
    return CpmGPIO::EVariant::V2;
}

// The page of the port: a row per pin, the interrupt row and the port's indicators.
std::unique_ptr<CDialogTemplate> MakePageTemplate(bool pinStatus) {
    tLayoutItem pins = dlg::Group("Pins", {});
    for (int pin = 0; pin < hwc::kGpioPinCount; ++pin)
        pins.children.push_back(dlg::Placeholder(CModule::kPinSubPageBase + pin));
    tLayoutItem page = dlg::Column({});
    page.children.push_back(std::move(pins));
    page.children.push_back(dlg::Label("", CpmGPIO::kInterruptCountWarningId));
    if (pinStatus)
        page.children.push_back(dlg::Link(CModule::kPinStatusId, ""));
    page.children.push_back(dlg::Link(CpmGPIO::kUserVectorNoteId, "(user vector information)"));
    page.children.push_back(dlg::Placeholder(CpmGPIO::kHeadingPlaceholderId));
    page.children.push_back(dlg::Placeholder(CModule::kFirstRowPlaceholderId));
    return std::make_unique<CDialogTemplate>(CpmGPIO::kTemplateId,
                                             std::initializer_list<tLayoutItem>{page});
}

const CDialogTemplate& PageTemplate(bool pinStatus) {
    static const std::unique_ptr<CDialogTemplate> withStatus = MakePageTemplate(true);
    static const std::unique_ptr<CDialogTemplate> without = MakePageTemplate(false);
    return pinStatus ? *withStatus : *without;
}

tLayoutItem Choice(const char* caption, int id, std::vector<std::string> items) {
    tLayoutItem pair = dlg::Row({});
    pair.children.push_back(dlg::Label(caption));
    pair.children.push_back(dlg::DropList(id, std::move(items)));
    return pair;
}

// A pin's frame: its function, then one setting a line (the interrupt check box beside its
// polarity), read top to bottom, so that the table columns of a row fit the page pane; then the
// pin's warnings.
std::unique_ptr<CDialogTemplate>
MakePinTemplate(int pin, const std::vector<CpmGPIO_PinDlg::tExtra>& extras) {
    using D = CpmGPIO_PinDlg;
    tLayoutItem column = dlg::Column({});
    column.children.push_back(
        dlg::Row({dlg::Label(Format("Pin %2d: Function", pin)), dlg::DropList(D::kFunctionId)}));
    column.children.push_back(Choice("Direction", D::kDirectionId, {"Input", "Output"}));
    column.children.push_back(Choice("PullUp", D::kPullUpId, {"Disabled", "Enabled"}));
    column.children.push_back(Choice("Init.Value", D::kInitValueId, {"0", "1"}));
    tLayoutItem interrupt = dlg::Row({dlg::CheckBox(D::kInterruptId, "Interrupt")});
    interrupt.children.push_back(
        Choice("Int.Polarity", D::kPolarityId, {"Active high", "Active low"}));
    column.children.push_back(std::move(interrupt));
    for (const CpmGPIO_PinDlg::tExtra& extra : extras)
        column.children.push_back(Choice(extra.caption, extra.id, {extra.off, extra.on}));
    column.children.push_back(dlg::Label("", D::kInterruptWarningId));
    column.children.push_back(dlg::Label("", D::kSameFunctionWarningId));
    // A frame around each pin keeps its lines apart from the next pin's.
    tLayoutItem frame = dlg::Group("", {});
    frame.children = std::move(column.children);
    return std::make_unique<CDialogTemplate>(CModule::kPinSubPageBase + pin,
                                             std::initializer_list<tLayoutItem>{frame});
}

// One template per pin and set of newer settings, kept for the life of the program as pages
// refer to it.
const CDialogTemplate& PinTemplate(int pin, const std::vector<CpmGPIO_PinDlg::tExtra>& extras) {
    static std::mutex mutex;
    static std::map<std::pair<int, std::vector<int>>, std::unique_ptr<CDialogTemplate>> templates;
    std::vector<int> ids;
    for (const CpmGPIO_PinDlg::tExtra& extra : extras)
        ids.push_back(extra.id);
    const std::lock_guard<std::mutex> lock(mutex);
    auto& slot = templates[{pin, ids}];
    if (!slot)
        slot = MakePinTemplate(pin, extras);
    return *slot;
}

const CpmGPIO_PinDlg::tExtra kOutputMode = {CpmGPIO_PinDlg::kOutputModeId, "Output-Mode",
                                            CpmGPIO::kPpmode, "Open drain", "Push-pull"};
const CpmGPIO_PinDlg::tExtra kDriveMode = {CpmGPIO_PinDlg::kDriveModeId, "Drive-Mode",
                                           CpmGPIO::kDrive, "Low", "High"};
const CpmGPIO_PinDlg::tExtra kInputFilter = {CpmGPIO_PinDlg::kInputFilterId, "Input Filter",
                                             CpmGPIO::kIfe, "Disabled", "Enabled"};
const CpmGPIO_PinDlg::tExtra kSlewRate = {CpmGPIO_PinDlg::kSlewRateId, "Slew Rate Control",
                                          CpmGPIO::kSlew, "Disabled", "Enabled"};
const CpmGPIO_PinDlg::tExtra kPullType = {CpmGPIO_PinDlg::kPullTypeId, "Pull Resistor Type",
                                          CpmGPIO::kPus, "Pull-down", "Pull-up"};

} // namespace

// --- Pin rows ---

CpmGPIO_PinDlg::CpmGPIO_PinDlg(CpmGPIO& port, const hwc::tGpioPin& pin)
    : m_port(port), m_pin(pin) {}

std::vector<CpmGPIO_PinDlg::tExtra> CpmGPIO_PinDlgV2::Extras() const {
    std::vector<tExtra> extras = {kOutputMode};
    if (m_port.HasItem(CpmGPIO::kDrive))
        extras.push_back(kDriveMode);
    return extras;
}

std::vector<CpmGPIO_PinDlg::tExtra> CpmGPIO_PinDlgFamA::Extras() const {
    return {kOutputMode, kDriveMode, kInputFilter, kSlewRate};
}

std::vector<CpmGPIO_PinDlg::tExtra> CpmGPIO_PinDlgFamE::Extras() const {
    return {kOutputMode, kDriveMode, kSlewRate, kPullType};
}

const CDialogTemplate& CpmGPIO_PinDlg::Template() const {
    return PinTemplate(Pin(), Extras());
}

void CpmGPIO_PinDlg::WriteFunction(int value, void* context, int pin) {
    static_cast<CpmGPIO*>(context)->WriteFunction(pin, value);
}

int CpmGPIO_PinDlg::ReadFunction(void* context, int pin) {
    return static_cast<CpmGPIO*>(context)->CurrentFunction(pin);
}

void CpmGPIO_PinDlg::Bind() {
    const int pin = Pin();
    std::vector<std::string> functions = {kGpioFunction};
    for (const hwc::tGpioFunction& function : m_pin.functions)
        functions.push_back(function.name);
    const std::string functionText = Format("Pin %2d: Function", pin);
    m_function.BindCustom(&CpmGPIO_PinDlg::WriteFunction, &CpmGPIO_PinDlg::ReadFunction, &m_port,
                          pin, functionText.c_str());
    m_function.SetItems({}, std::move(functions));

    auto bindList = [&](CSetMode& binding, int item, const char* caption, const char* off,
                        const char* on) {
        binding.Bind(m_port.Item(item), pin, pin, 0, caption);
        binding.SetItems({}, std::vector<std::string>{off, on});
        binding.Enable(true);
    };
    bindList(m_direction, CpmGPIO::kDdr, "Direction", "Input", "Output");
    bindList(m_pullUp, CpmGPIO::kPur, "PullUp", "Disabled", "Enabled");
    bindList(m_initValue, CpmGPIO::kDr, "Init.Value", "0", "1");
    bindList(m_polarity, CpmGPIO::kIpolr, "Int.Polarity", "Active high", "Active low");
    m_interrupt.Bind(m_port.Item(CpmGPIO::kIenr), pin, false, "Interrupt");
    m_interrupt.Enable(true);
    m_function.Enable(true);

    m_extras.clear();
    for (const tExtra& extra : Extras()) {
        if (!m_port.HasItem(extra.item))
            continue;
        auto binding = std::make_unique<CSetMode>();
        bindList(*binding, extra.item, extra.caption, extra.off, extra.on);
        m_extras.emplace_back(extra.id, std::move(binding));
    }
}

CSetMode* CpmGPIO_PinDlg::Extra(int controlId) {
    for (auto& [id, binding] : m_extras) {
        if (id == controlId)
            return binding.get();
    }
    return nullptr;
}

void CpmGPIO_PinDlg::Attach(CModuleSubDlg& page) {
    m_function.AttachTo(page, kFunctionId);
    m_direction.AttachTo(page, kDirectionId);
    m_pullUp.AttachTo(page, kPullUpId);
    m_initValue.AttachTo(page, kInitValueId);
    m_interrupt.AttachTo(page, kInterruptId);
    m_polarity.AttachTo(page, kPolarityId);
    for (auto& [id, binding] : m_extras)
        (*binding).AttachTo(page, id);
    page.ShowControl(kInterruptWarningId, false);
    page.ShowControl(kSameFunctionWarningId, false);
}

void CpmGPIO_PinDlg::UpdateState() {
    const bool gpio = !m_port.PinBit(CpmGPIO::kPer, Pin());
    // The registers may have been written elsewhere (the system module's select bits, a reset).
    for (CSetCtrl* binding : std::initializer_list<CSetCtrl*>{
             &m_function, &m_direction, &m_pullUp, &m_initValue, &m_interrupt, &m_polarity})
        binding->Refresh();
    for (auto& [id, binding] : m_extras)
        binding->Refresh();
    // A peripheral drives the pin: its GPIO direction, value and interrupt do not apply.
    for (CSetCtrl* binding :
         std::initializer_list<CSetCtrl*>{&m_direction, &m_initValue, &m_interrupt, &m_polarity})
        binding->Enable(gpio);
}

void CpmGPIO_PinDlg::AddCommentItems(std::vector<COMMENTITEM>& items) {
    const int pin = Pin();
    const bool gpio = !m_port.PinBit(CpmGPIO::kPer, pin);
    items.push_back({&m_function, kSummaryFunctionFlags});
    if (gpio)
        items.push_back({&m_direction, 0});
    if (gpio && m_port.PinBit(CpmGPIO::kDdr, pin))
        items.push_back({&m_initValue, 0});
    else
        items.push_back({&m_pullUp, 0});
    if (gpio) {
        items.push_back({&m_interrupt, kSummaryInterruptFlags});
        items.push_back({&m_polarity, 0});
    }
}

// --- Port ---

CpmGPIO::CpmGPIO(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, nullptr, 0) {
    m_variant = VariantOf(*this);
    const int count = RegisterCount(*this);
    std::vector<tPerCfgDef> table(std::begin(kRegisters), std::begin(kRegisters) + count);
    if (m_variant == EVariant::FamE) {
        table[kIfe].dwFlags |= DUMMYREG | NOSHOWLIST;
        table[kSlew].pszName = "SRE_INIT";
    }
    SetItemCount(count);
    InitRegisters(nullptr, Items(), count, InstanceName(), {}, table.data(), true);
}

CpmGPIO::~CpmGPIO() = default;

const CDialogTemplate* CpmGPIO::DialogTemplate() const {
    const bool pinStatus = IsNewestGroup(*this) || InGroup(*this, kFamC);
    return &PageTemplate(pinStatus);
}

CpmGPIO_PinDlg* CpmGPIO::PinDialog(int pin) const {
    if (pin < 0 || pin >= hwc::kGpioPinCount)
        return nullptr;
    return m_pinDialogs[static_cast<std::size_t>(pin)].get();
}

bool CpmGPIO::PinBit(int item, int pin) const {
    if (!HasItem(item) || pin < 0 || pin >= hwc::kGpioPinCount)
        return false;
    return (Item(item).dwValue >> pin) & 1u;
}

std::string CpmGPIO::PinText(int pin) const {
    return Format("%s%d", InstanceName().c_str(), pin);
}

int CpmGPIO::PinControlId(int pin, int controlId) {
    return CPage::SubPageControlId(kPinSubPageBase + pin, controlId);
}

// The architecture file's module information arrives after construction: the reset values of
// the port and its pin descriptions.
void CpmGPIO::ReadModuleInfo() {
    for (const tResetKey& reset : kResetKeys) {
        std::uint32_t value = 0;
        if (HasItem(reset.item) && GetModuleInfoNumber(reset.key, value)) {
            Item(reset.item).dwDefault = value;
            Item(reset.item).dwValue = value;
        }
    }

    // The pin rows are made once: a page may already hold their bindings.
    if (m_pinsRead)
        return;
    m_pinsRead = true;
    m_pins = hwc::ParseGpioPins(Descriptor().ModuleInfoText());
    for (const auto& pin : m_pins) {
        if (!pin)
            continue;
        std::unique_ptr<CpmGPIO_PinDlg> dialog;
        switch (m_variant) {
        case EVariant::V1:
            dialog = std::make_unique<CpmGPIO_PinDlgV1>(*this, *pin);
            break;
        case EVariant::FamA:
            dialog = std::make_unique<CpmGPIO_PinDlgFamA>(*this, *pin);
            break;
        case EVariant::FamE:
            dialog = std::make_unique<CpmGPIO_PinDlgFamE>(*this, *pin);
            break;
        case EVariant::V2:
            dialog = std::make_unique<CpmGPIO_PinDlgV2>(*this, *pin);
            break;
        }
        m_pinDialogs[static_cast<std::size_t>(pin->pin)] = std::move(dialog);
    }
}

void CpmGPIO::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    ReadModuleInfo();
    for (auto& dialog : m_pinDialogs) {
        if (dialog)
            dialog->Bind();
    }
    RebuildCommentItems();
}

void CpmGPIO::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    for (int pin = 0; pin < hwc::kGpioPinCount; ++pin) {
        CpmGPIO_PinDlg* dialog = PinDialog(pin);
        // A pin the port does not have leaves no gap in the page.
        page.ShowControl(kPinSubPageBase + pin, dialog != nullptr);
        if (!dialog)
            continue;
        if (CModuleSubDlg* placed =
                page.StackSubPage(kPinSubPageBase + dialog->Pin(), dialog->Template()))
            dialog->Attach(*placed);
    }
    page.ShowControl(kInterruptCountWarningId, false);
    page.ShowControl(kUserVectorNoteId, false);
}

// --- Function selection ---

int CpmGPIO::CurrentFunction(int pin) const {
    const CpmGPIO_PinDlg* dialog = PinDialog(pin);
    if (!dialog)
        return -1;
    if (!PinBit(kPer, pin))
        return 0;
    const hwc::tGpioPin& description = dialog->Description();
    const hwc::ISystemIntegration* system = hwc::FindSystemModule(*this);
    for (std::size_t k = 0; k < description.functions.size(); ++k) {
        const int function = static_cast<int>(k) + 1;
        if (!CanSelectFunction(pin, function))
            continue;
        const std::uint32_t condition = description.functions[k].condition;
        bool met = true;
        for (std::size_t slot = 0; slot < hwc::kGpioMaxSelectSlots && met; ++slot) {
            const int bit = description.selectBits[slot];
            if (bit < 0)
                continue;
            // Without a system module the select registers stand at their reset value.
            const bool set = system && system->PeripheralSelectBit(bit);
            if ((condition & hwc::tGpioPin::SetBitOfSlot(slot)) && !set)
                met = false;
            if ((condition & hwc::tGpioPin::ClearBitOfSlot(slot)) && set)
                met = false;
        }
        if (met && description.clockOutputBit >= 0) {
            const bool set = system && system->ClockOutputSelectBit(description.clockOutputBit);
            if ((condition & hwc::GpioCond::kSetClockOut) && !set)
                met = false;
            if ((condition & hwc::GpioCond::kClearClockOut) && set)
                met = false;
        }
        if (met)
            return function;
    }
    return -1;
}

bool CpmGPIO::CanSelectFunction(int pin, int function) const {
    const CpmGPIO_PinDlg* dialog = PinDialog(pin);
    if (!dialog || function < 0)
        return false;
    if (function == 0)
        return true;
    const hwc::tGpioPin& description = dialog->Description();
    if (static_cast<std::size_t>(function) > description.functions.size())
        return false;
    const std::uint32_t condition = description.functions[function - 1].condition;
    const std::uint32_t setBits = hwc::GpioCond::kSetA | hwc::GpioCond::kSetB |
                                  hwc::GpioCond::kSetC | hwc::GpioCond::kSetClockOut;
    if (!(condition & setBits))
        return true;
    const hwc::ISystemIntegration* system = hwc::FindSystemModule(*this);
    if (!system)
        return false;
    // A select bit of a register the system module lacks can never be set.
    const int registers = system->PeripheralSelectRegisterCount();
    for (std::size_t slot = 0; slot < hwc::kGpioMaxSelectSlots; ++slot) {
        if ((condition & hwc::tGpioPin::SetBitOfSlot(slot)) &&
            description.selectBits[slot] / 16 >= registers)
            return false;
    }
    return true;
}

bool CpmGPIO::WriteFunction(int pin, int function) {
    if (!CanSelectFunction(pin, function))
        return false;
    std::uint32_t& per = Item(kPer).dwValue;
    if (function == 0) {
        per &= ~(1u << pin);
        return true;
    }
    per |= 1u << pin;
    const hwc::tGpioPin& description = PinDialog(pin)->Description();
    const std::uint32_t condition = description.functions[function - 1].condition;
    hwc::ISystemIntegration* system = hwc::FindSystemModule(*this);
    if (!system)
        return true;
    for (std::size_t slot = 0; slot < hwc::kGpioMaxSelectSlots; ++slot) {
        const int bit = description.selectBits[slot];
        if (bit < 0)
            continue;
        if (condition & hwc::tGpioPin::SetBitOfSlot(slot))
            system->SetPeripheralSelectBit(bit, true);
        else if (condition & hwc::tGpioPin::ClearBitOfSlot(slot))
            system->SetPeripheralSelectBit(bit, false);
    }
    if (description.clockOutputBit >= 0) {
        if (condition & hwc::GpioCond::kSetClockOut)
            system->SetClockOutputSelectBit(description.clockOutputBit, true);
        else if (condition & hwc::GpioCond::kClearClockOut)
            system->SetClockOutputSelectBit(description.clockOutputBit, false);
    }
    return true;
}

// --- Pin contexts ---

void CpmGPIO::AddPinFunctions(const CModule& peripheral, CPinFuncContextMap& map) {
    for (const auto& dialog : m_pinDialogs) {
        if (!dialog)
            continue;
        const int pin = dialog->Pin();
        const int current = CurrentFunction(pin);
        if (&peripheral == this) {
            map.AddPin(PinText(pin), {this, pin}, 0, current == 0);
            continue;
        }
        const auto& functions = dialog->Description().functions;
        for (std::size_t k = 0; k < functions.size(); ++k) {
            const int function = static_cast<int>(k) + 1;
            // Instance names are unique in a document, so the name tells the owner.
            const auto& owners = functions[k].owners;
            const bool owned =
                std::find(owners.begin(), owners.end(), peripheral.InstanceName()) != owners.end();
            // A function the system module cannot select is no way to route the signal.
            if (owned && CanSelectFunction(pin, function))
                map.AddPin(functions[k].name, {this, pin}, function, current == function);
        }
    }
}

bool CpmGPIO::SelectPinFunction(int pin, int functionIndex) {
    CpmGPIO_PinDlg* dialog = PinDialog(pin);
    if (!dialog || !CanSelectFunction(pin, functionIndex))
        return false;
    CSetPinFunction& binding = dialog->Function();
    if (CPageControl* control = binding.GetWnd()) {
        control->SetSelection(functionIndex);
        binding.Apply();
    } else {
        WriteFunction(pin, functionIndex);
        if (Host())
            Host()->UpdateAllViews(this, hwc::kHintChoiceWritten, nullptr);
    }
    UpdateControlStates();
    return CurrentFunction(pin) == functionIndex;
}

bool CpmGPIO::IsPinFunctionUsed(const std::string& signal) const {
    for (const auto& dialog : m_pinDialogs) {
        if (dialog && PinText(dialog->Pin()) == signal)
            return PinBit(kIenr, dialog->Pin()) || PinBit(kDdr, dialog->Pin());
    }
    return true;
}

// --- States and warnings ---

void CpmGPIO::RebuildCommentItems() {
    std::vector<COMMENTITEM> items;
    for (auto& dialog : m_pinDialogs) {
        if (dialog)
            dialog->AddCommentItems(items);
    }
    ClearCommentItems();
    AddCommentItems(items);
}

void CpmGPIO::UpdateControlStates() {
    for (auto& dialog : m_pinDialogs) {
        if (dialog)
            dialog->UpdateState();
    }
    RebuildCommentItems();
    if (!Page())
        return;
    Page()->ShowControl(kUserVectorNoteId, false);
    if (InGroup(*this, kFamA) && !InterruptRows().empty())
        hwc::ShowUserVectorNote(*this, kUserVectorNoteId, InterruptRows().front().vector);
}

bool CpmGPIO::WriteHeaderText(std::string& text) {
    for (auto& dialog : m_pinDialogs) {
        if (dialog)
            dialog->UpdateState();
    }
    RebuildCommentItems();
    return CModule::WriteHeaderText(text);
}

void CpmGPIO::GetSummary(std::string& text) const {
    // The summary entries follow each pin's state: rebuilt before they are read.
    const_cast<CpmGPIO*>(this)->RebuildCommentItems();
    CModule::GetSummary(text);
}

void CpmGPIO::CheckWarnings() {
    CModule::CheckWarnings();
    int interrupts = 0;
    for (const auto& dialog : m_pinDialogs) {
        if (!dialog)
            continue;
        const int pin = dialog->Pin();
        const bool gpio = !PinBit(kPer, pin);
        const bool interrupt = PinBit(kIenr, pin);
        if (interrupt)
            ++interrupts;
        const bool misuse = gpio && interrupt && PinBit(kDdr, pin);
        const std::string text =
            misuse ? Format("GPIO pin #%d must be in GPIO-Input mode when using the interrupt", pin)
                   : std::string();
        SetPinWarning(pin, CpmGPIO_PinDlg::kInterruptWarningId, misuse, text, text);
        if (InGroup(*this, kFamA))
            CheckSameFunction(pin);
    }
    if (InGroup(*this, kFamG)) {
        const bool several = interrupts > 1;
        const std::string text =
            several ? "More than one GPIO Interrupt pin selected (see chip errata)" : "";
        SetWarning(*this, kInterruptCountWarningId, several, text, text);
    }
}

void CpmGPIO::SetPinWarning(int pin, int controlId, bool active, const std::string& shown,
                            const std::string& text) {
    SetWarning(*this, PinControlId(pin, controlId), active, shown, text);
}

void CpmGPIO::CheckSameFunction(int pin) {
    const int current = CurrentFunction(pin);
    std::string other;
    if (current > 0) {
        const hwc::tGpioFunction& function =
            PinDialog(pin)->Description().functions[static_cast<std::size_t>(current - 1)];
        for (const std::string& ownerName : function.owners) {
            const auto* owner = dynamic_cast<const CModule*>(FindModule(Host(), ownerName));
            if (!owner)
                continue;
            CPinFuncContextMap map;
            owner->BuildPinMap(map, false);
            for (const auto& [signal, info] : map.Entries()) {
                if (signal != function.name)
                    continue;
                for (const tPinRef& ref : info->currentPins) {
                    if (other.empty() && !(ref.gpio == this && ref.pin == pin) && ref.gpio)
                        other = Format("%s%d", ref.gpio->InstanceName().c_str(), ref.pin);
                }
            }
            if (!other.empty())
                break;
        }
    }
    const bool same = !other.empty();
    const std::string shown =
        same ? Format("The same function is configured also on %s", other.c_str()) : "";
    const std::string text = same ? Format("The %s is configured for the same function as %s",
                                           PinText(pin).c_str(), other.c_str())
                                  : "";
    SetPinWarning(pin, CpmGPIO_PinDlg::kSameFunctionWarningId, same, shown, text);
}

// --- What the pin-out view asks ---

std::vector<hwc::tPinName> CpmGPIO::PinNames() const {
    std::vector<hwc::tPinName> names;
    for (const auto& dialog : m_pinDialogs) {
        if (!dialog)
            continue;
        const int pin = dialog->Pin();
        const auto& functions = dialog->Description().functions;
        hwc::tPinName name;
        name.pin = PinText(pin);
        const int current = CurrentFunction(pin);
        if (current == 0)
            name.name = kGpioFunction;
        else if (current > 0)
            name.name = functions[static_cast<std::size_t>(current - 1)].name;
        name.description = kGpioFunction;
        for (const hwc::tGpioFunction& function : functions)
            name.description += ", " + function.name;
        names.push_back(std::move(name));
    }
    return names;
}

bool CpmGPIO::DescriptionMentions(std::string_view text) const {
    if (text.empty())
        return false;
    for (const std::string& line : hwc::Split(Descriptor().ModuleInfoText(), '\n')) {
        if (hwc::ParseGpioPinLine(line) && line.find(text) != std::string::npos)
            return true;
    }
    return false;
}

const tPerCfgItem* CpmGPIO::PeripheralEnableRegister() const {
    return HasItem(kPer) ? &Item(kPer) : nullptr;
}
