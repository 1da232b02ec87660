#include "modules/analog/CpmDAC.h"

#include <vector>

#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "model/ModuleHost.h"
#include "modules/routing/RoutingQueries.h"

namespace {

using namespace hwc::RegFlag;

// The control registers are written even at their defaults: the DAC starts from them.
const tPerCfgDef kOlderRegisters[] = {
    {"CTRL_INIT", 0xF001, DW16 | NODEFAULT},
    {"DATA_INIT", 0, DW16},
    {"STEP_INIT", 0, DW16},
    {"MINVAL_INIT", 0, DW16},
    {"MAXVAL_INIT", 0xFFFF, DW16},
};
const tPerCfgDef kNewerRegisters[] = {
    {"CTRL_INIT", 0x1101, DW16 | NODEFAULT},
    {"DATA_INIT", 0, DW16},
    {"STEP_INIT", 0, DW16},
    {"MINVAL_INIT", 0, DW16},
    {"MAXVAL_INIT", 0xFFFF, DW16},
    {"CTRL1_INIT", 0x1D, DW16 | NODEFAULT},
    {"COMPARE_INIT", 0, DW16},
};
constexpr int kOlderCount = 5;
constexpr int kNewerCount = 6;
constexpr int kFamDCount = 7;

constexpr int kFamC = 106;

// CTRL fields.
constexpr int kPowerDownBit = 0;
constexpr int kFormatBit = 1;
constexpr int kSyncBit = 2;
constexpr int kAutoModeBit = 3;
constexpr int kWaveformLow = 4;
constexpr int kWaveformHigh = 5;
constexpr int kOutputDisableBit = 6;
constexpr int kDmaBit = 7;
constexpr int kSpeedLow = 8;
constexpr int kSpeedHigh = 9;
constexpr int kCompareModeLow = 10;
constexpr int kCompareModeHigh = 11;
constexpr int kGlitchFilterBit = 12;
constexpr int kOlderFilterLow = 13;
constexpr int kOlderFilterHigh = 15;
constexpr int kReloadBit = 14;
constexpr int kCompareOutputBit = 15;
// CTRL1 field of the newer groups.
constexpr int kFilterLow = 0;
constexpr int kFilterHigh = 5;

constexpr std::uint32_t kDataMask = 0xFFF;
constexpr int kLeftShift = 4;
constexpr std::uint32_t kRegisterMax = 0xFFFF;

// The crossbar outputs that feed SYNC_IN.
constexpr int kFamCSyncOutput = 8;
constexpr int kFirstSyncOutput = 15;
constexpr int kSecondSyncOutput = 14;

bool HostInGroup(int group) {
    const auto* groups = dynamic_cast<const CModule::IProcessorGroups*>(hwc::HostBeingOpened());
    return groups && groups->IsProcessorGroup(group);
}

bool HostIsNewer() {
    return HostInGroup(CModule::kFamE) || HostInGroup(CModule::kFamF) ||
           HostInGroup(CModule::kFamD);
}

std::uint32_t Field(std::uint32_t value, int low, int high) {
    const std::uint32_t width = static_cast<std::uint32_t>(high - low + 1);
    return (value >> low) & ((1u << width) - 1u);
}

// The entries of the page's lists, shared by the page and the summary.
std::vector<std::string> Waveforms() {
    return {"No count", "Count up (sawtooth)", "Count down (sawtooth)",
            "Count up and down (triangle)"};
}

std::vector<std::string> Speeds() {
    return {"Low speed", "Medium speed", "High speed", "High speed (alternate)"};
}

std::vector<std::string> Reloads() {
    return {"No Reload", "Reload Maximum, Minimum and Step values"};
}

std::vector<std::string> CompareModes() {
    return {"Disabled", "Set on match", "Toggle on match", "Pulse on match"};
}

using D = CpmDAC;

tLayoutItem ControlGroup() {
    return dlg::Group(
        "DAC Control",
        {dlg::CheckBox(D::kPowerDownId, "Keep DAC Powered Down"),
         dlg::Radio(D::kRightJustifiedId, "Data Registers Format: Right justified (bits 11:0)",
                    true),
         dlg::Radio(D::kLeftJustifiedId, "Data Registers Format: Left justified (bits 15:4)"),
         dlg::Radio(D::kSyncDisabledId, "SYNC_IN Input: Disabled. IP Bus Clock Triggers DAC.",
                    true),
         dlg::Radio(D::kSyncEnabledId, "SYNC_IN Input: Enabled. SYNC_IN Rising Edge Triggers DAC"),
         dlg::Label("", D::kSyncIndicatorId)});
}

tLayoutItem AutoGroup(bool newer) {
    const auto waveform =
        dlg::Row({dlg::Label("Waveform:"), dlg::DropList(D::kWaveformId, Waveforms())});
    if (!newer)
        return dlg::Group("Automatic Mode", {dlg::CheckBox(D::kAutoModeId, "Automatic Mode"),
                                             waveform, dlg::Label("", D::kAutoWarningId)});
    return dlg::Group("Automatic Mode",
                      {dlg::CheckBox(D::kAutoModeId, "Automatic Mode"), waveform,
                       dlg::Row({dlg::Label("Reload:", D::kReloadLabelId),
                                 dlg::DropList(D::kReloadId, Reloads())}),
                       dlg::Label("", D::kAutoWarningId), dlg::Label("", D::kReloadWarningId)});
}

tLayoutItem DataGroup(bool newer) {
    const auto row = [](const char* caption, int id) {
        return dlg::Row({dlg::Label(caption), dlg::Edit(id)});
    };
    if (!newer)
        return dlg::Group("Data Values (12 bits)",
                          {row("DATA:", D::kDataId), row("STEP:", D::kStepId),
                           row("MINVAL:", D::kMinimumId), row("MAXVAL:", D::kMaximumId)});
    return dlg::Group(
        "Data Values (12 bits)",
        {row("DATA:", D::kDataId), row("STEP:", D::kStepId), row("MINVAL:", D::kMinimumId),
         row("MAXVAL:", D::kMaximumId),
         dlg::Row({dlg::Label("COMPARE:", D::kCompareLabelId), dlg::Edit(D::kCompareId)})});
}

tLayoutItem FilterGroup(int countMax) {
    return dlg::Group(
        "Glitch Filter",
        {dlg::CheckBox(D::kGlitchFilterId, "Glitch Filter"),
         dlg::Row({dlg::Label("Filter Count [bus clocks]:"), dlg::Edit(D::kFilterCountId),
                   dlg::UpDown(D::kFilterCountSpinId, 0, countMax)}),
         dlg::Row({dlg::Label("Filter Width:"), dlg::ReadOnly(D::kFilterWidthId)})});
}

tLayoutItem OutputGroup() {
    return dlg::Group("Output",
                      {dlg::Row({dlg::Label("Speed:"), dlg::DropList(D::kSpeedId, Speeds())}),
                       dlg::Row({dlg::CheckBox(D::kOutputEnableId, "Output Enable"),
                                 dlg::CheckBox(D::kDmaId, "DMA Enable")}),
                       dlg::Label("", D::kDmaWarningId),
                       dlg::CheckBox(D::kCompareOutputId, "Compare Match Output"),
                       dlg::Row({dlg::Label("Compare Mode:", D::kCompareModeLabelId),
                                 dlg::DropList(D::kCompareModeId, CompareModes())})});
}

} // namespace

std::uint32_t CpmDAC::StoredData(std::uint32_t value, bool leftJustified) {
    const std::uint32_t data = value & kDataMask;
    return leftJustified ? data << kLeftShift : data;
}

std::uint32_t CpmDAC::ShownData(std::uint32_t stored, bool leftJustified) {
    return (leftJustified ? stored >> kLeftShift : stored) & kDataMask;
}

std::uint32_t CpmDAC::StoredCompare(std::uint32_t value) {
    return value == 0 ? 0 : (value - 1u) & kRegisterMax;
}

std::uint32_t CpmDAC::ShownCompare(std::uint32_t stored) {
    return (stored & kRegisterMax) + 1u;
}

void CpmDAC::SetDataValue(std::uint32_t value, void* context, int item) {
    auto* dac = static_cast<CpmDAC*>(context);
    // A value the register already shows leaves it alone, so that applying an untouched page
    // keeps bits outside the format (MAXVAL's reset value 0xFFFF) instead of clearing them.
    if (GetDataValue(context, item) == (value & kDataMask))
        return;
    dac->Item(item).dwValue = StoredData(value, dac->IsLeftJustified());
}

std::uint32_t CpmDAC::GetDataValue(void* context, int item) {
    const auto* dac = static_cast<const CpmDAC*>(context);
    return ShownData(dac->Item(item).dwValue, dac->IsLeftJustified());
}

void CpmDAC::SetCompareValue(std::uint32_t value, void* context, int item) {
    static_cast<CpmDAC*>(context)->Item(item).dwValue = StoredCompare(value);
}

std::uint32_t CpmDAC::GetCompareValue(void* context, int item) {
    return ShownCompare(static_cast<const CpmDAC*>(context)->Item(item).dwValue);
}

CpmDAC::CpmDAC(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, HostIsNewer() ? kNewerTemplateId : kTemplateId, descriptor, nullptr, 0) {
    const bool newer = HostIsNewer();
    const int count = HostInGroup(kFamD) ? kFamDCount : newer ? kNewerCount : kOlderCount;
    SetItemCount(count);
    InitRegisters(nullptr, Items(), count, InstanceName(), {},
                  newer ? kNewerRegisters : kOlderRegisters, true);
    AddCommentItems({{&m_powerDown, 0},
                     {&m_leftJustified, 0},
                     {&m_syncEnabled, 0},
                     {&m_autoMode, 0},
                     {&m_waveform, 0},
                     {&m_data, 0},
                     {&m_step, 0},
                     {&m_minimum, 0},
                     {&m_maximum, 0},
                     {&m_glitchFilter, 0},
                     {&m_filterCount, 0}});
    if (newer)
        AddCommentItems({{&m_speed, 0}, {&m_outputEnable, 0}, {&m_dma, 0}});
    if (count == kFamDCount)
        AddCommentItems(
            {{&m_reload, 0}, {&m_compareOutput, 0}, {&m_compareMode, 0}, {&m_compare, 0}});
}

const CDialogTemplate* CpmDAC::DialogTemplate() const {
    static const CDialogTemplate older(
        kTemplateId, {ControlGroup(), AutoGroup(false), DataGroup(false), FilterGroup(7)});
    static const CDialogTemplate newer(
        kNewerTemplateId,
        {ControlGroup(), AutoGroup(true), DataGroup(true), FilterGroup(63), OutputGroup()});
    return TemplateId() == kNewerTemplateId ? &newer : &older;
}

bool CpmDAC::IsNewer() const {
    return ItemCount() >= kNewerCount;
}

bool CpmDAC::IsFamD() const {
    return ItemCount() == kFamDCount;
}

bool CpmDAC::IsLeftJustified() const {
    return (Item(kCtrlItem).dwValue >> kFormatBit) & 1u;
}

int CpmDAC::DacIndex() const {
    if (IsProcessorGroup(*this, kFamF) || IsProcessorGroup(*this, kFamD)) {
        const std::string& name = InstanceName();
        return !name.empty() && name.back() == 'B' ? 1 : 0;
    }
    return InstanceNumber();
}

void CpmDAC::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    page.SetSpinRange(kFilterCountSpinId, 0, IsNewer() ? 63 : 7);
    m_powerDown.AttachTo(page, kPowerDownId);
    m_rightJustified.AttachTo(page, kRightJustifiedId);
    m_leftJustified.AttachTo(page, kLeftJustifiedId);
    m_syncDisabled.AttachTo(page, kSyncDisabledId);
    m_syncEnabled.AttachTo(page, kSyncEnabledId);
    m_autoMode.AttachTo(page, kAutoModeId);
    m_waveform.AttachTo(page, kWaveformId);
    m_data.AttachTo(page, kDataId);
    m_step.AttachTo(page, kStepId);
    m_minimum.AttachTo(page, kMinimumId);
    m_maximum.AttachTo(page, kMaximumId);
    m_glitchFilter.AttachTo(page, kGlitchFilterId);
    m_filterCount.AttachTo(page, kFilterCountId);
    if (!IsNewer())
        return;
    m_speed.AttachTo(page, kSpeedId);
    m_outputEnable.AttachTo(page, kOutputEnableId);
    m_dma.AttachTo(page, kDmaId);
    if (!IsFamD())
        return;
    m_reload.AttachTo(page, kReloadId);
    m_compare.AttachTo(page, kCompareId);
    m_compareOutput.AttachTo(page, kCompareOutputId);
    m_compareMode.AttachTo(page, kCompareModeId);
}

void CpmDAC::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& ctrl = Item(kCtrlItem);
    m_powerDown.Bind(ctrl, kPowerDownBit, false, "");
    m_rightJustified.Bind(ctrl, kFormatBit, true, "");
    m_leftJustified.Bind(ctrl, kFormatBit, false, "");
    m_syncDisabled.Bind(ctrl, kSyncBit, true, "");
    m_syncEnabled.Bind(ctrl, kSyncBit, false, "");
    m_autoMode.Bind(ctrl, kAutoModeBit, false, "");
    m_waveform.Bind(ctrl, kWaveformLow, kWaveformHigh, 0, "Waveform");
    m_waveform.SetItems({}, Waveforms());
    // The data values are 12-bit numbers placed by the data format; larger entries are masked.
    const struct {
        CSetValue& binding;
        int item;
        const char* description;
    } values[] = {{m_data, kDataItem, "DATA"},
                  {m_step, kStepItem, "STEP"},
                  {m_minimum, kMinimumItem, "MINVAL"},
                  {m_maximum, kMaximumItem, "MAXVAL"}};
    for (const auto& value : values) {
        value.binding.Bind(Item(value.item), 0, 15, 0, value.description, true, 0, kRegisterMax,
                           true);
        value.binding.BindCustom(&SetDataValue, &GetDataValue, this, value.item);
    }
    m_glitchFilter.Bind(ctrl, kGlitchFilterBit, false, "");
    if (!IsNewer()) {
        m_filterCount.Bind(ctrl, kOlderFilterLow, kOlderFilterHigh, 0, "Filter count", false, 0, 0,
                           true);
        return;
    }
    m_filterCount.Bind(Item(kCtrl1Item), kFilterLow, kFilterHigh, 0, "Filter count", false, 0, 0,
                       true);
    m_speed.Bind(ctrl, kSpeedLow, kSpeedHigh, 0, "Speed");
    m_speed.SetItems({}, Speeds());
    m_outputEnable.Bind(ctrl, kOutputDisableBit, true, "");
    m_dma.Bind(ctrl, kDmaBit, false, "");
    if (!IsFamD())
        return;
    m_reload.Bind(ctrl, kReloadBit, kReloadBit, 0, "Reload");
    m_reload.SetItems({}, Reloads());
    m_compareOutput.Bind(ctrl, kCompareOutputBit, false, "");
    m_compareMode.Bind(ctrl, kCompareModeLow, kCompareModeHigh, 0, "Compare Mode");
    m_compareMode.SetItems({}, CompareModes());
    m_compare.Bind(Item(kCompareItem), 0, 15, 0, "COMPARE", false, 0, kRegisterMax + 1u, true);
    m_compare.BindCustom(&SetCompareValue, &GetCompareValue, this, kCompareItem);
}

double CpmDAC::FilterWidth() const {
    const std::uint32_t ctrl = Item(kCtrlItem).dwValue;
    const double busHz = static_cast<double>(GetBusClock()) * 1000000.0;
    if (!((ctrl >> kGlitchFilterBit) & 1u) || !(busHz > 0.0))
        return 0.0;
    const std::uint32_t count = IsNewer() ? Field(Item(kCtrl1Item).dwValue, kFilterLow, kFilterHigh)
                                          : Field(ctrl, kOlderFilterLow, kOlderFilterHigh);
    return static_cast<double>(count) / busHz;
}

void CpmDAC::Recalculate() {
    ShowTime(kFilterWidthId, FilterWidth(), true, "OFF");
}

void CpmDAC::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    const bool famD = IsFamD();
    page->ShowControls({kReloadId, kReloadLabelId, kCompareId, kCompareLabelId, kCompareOutputId,
                        kCompareModeId, kCompareModeLabelId},
                       famD);
    const std::uint32_t ctrl = Item(kCtrlItem).dwValue;
    page->EnableControls({kFilterCountId, kFilterCountSpinId}, (ctrl >> kGlitchFilterBit) & 1u);
    page->EnableControl(kWaveformId, (ctrl >> kAutoModeBit) & 1u);
}

std::string CpmDAC::SyncCrossbar() const {
    if (IsProcessorGroup(*this, kFamC))
        return "XBAR";
    if (IsNewer())
        return "XBAR_A";
    return {};
}

int CpmDAC::SyncOutput() const {
    if (IsProcessorGroup(*this, kFamC))
        return kFamCSyncOutput;
    if (IsProcessorGroup(*this, kFamF) || IsProcessorGroup(*this, kFamD))
        return DacIndex() == 0 ? kFirstSyncOutput : kSecondSyncOutput;
    return kFirstSyncOutput;
}

void CpmDAC::CheckSync(bool powerDown, bool sync) {
    const std::string crossbar = SyncCrossbar();
    if (crossbar.empty() || !hwc::CrossbarExists(*this, crossbar)) {
        SetWarning(*this, kSyncIndicatorId, false, {}, {});
        return;
    }
    const int output = SyncOutput();
    // An output left at its first input (the constant low level) or with a source that is not
    // set up gives no edges.
    const bool configured = hwc::CrossbarOutputMode(*this, crossbar, output) != 0 &&
                            hwc::CrossbarOutputConfigured(*this, crossbar, output);
    if (configured || powerDown || !sync) {
        const std::string label = hwc::CrossbarOutputLabel(*this, crossbar, output);
        SetWarning(*this, kSyncIndicatorId, false,
                   hwc::Format("Sync Input (see %s )", label.c_str()), {});
        return;
    }
    const std::string link = hwc::CrossbarLink(*this, crossbar);
    const std::string name = IsProcessorGroup(*this, kFamF) || IsProcessorGroup(*this, kFamD)
                                 ? hwc::Format("DAC_%c", DacIndex() == 0 ? 'A' : 'B')
                                 : std::string("DAC");
    SetWarning(*this, kSyncIndicatorId, true,
               hwc::Format("Sync Input ( %s OUT%d not configured)", crossbar.c_str(), output),
               hwc::Format("%s Sync input is not set in %s", name.c_str(), link.c_str()));
}

void CpmDAC::OnPageCommand(CPageControl& control, EControlEvent event) {
    CModule::OnPageCommand(control, event);
    UpdateControlStates();
}

void CpmDAC::CheckWarnings() {
    const std::uint32_t ctrl = Item(kCtrlItem).dwValue;
    const bool powerDown = (ctrl >> kPowerDownBit) & 1u;
    const bool sync = (ctrl >> kSyncBit) & 1u;
    const bool autoMode = (ctrl >> kAutoModeBit) & 1u;
    CheckSync(powerDown, sync);
    // Only the newer groups have the DMA request.
    const bool dma = IsNewer() && ((ctrl >> kDmaBit) & 1u);
    const bool dmaWarning = !powerDown && dma && !sync;
    SetWarning(*this, kDmaWarningId, dmaWarning, dmaWarning ? kDmaWarning : "", kDmaWarning);
    const bool autoWarning = !powerDown && autoMode && !sync;
    SetWarning(*this, kAutoWarningId, autoWarning, autoWarning ? kAutoWarning : "", kAutoWarning);
    if (IsFamD()) {
        const bool noReload = !((ctrl >> kReloadBit) & 1u);
        const bool reloadWarning = !powerDown && autoMode && noReload;
        SetWarning(*this, kReloadWarningId, reloadWarning, reloadWarning ? kReloadWarning : "",
                   kReloadWarning);
    }
    CModule::CheckWarnings();
}

bool CpmDAC::IsModuleEnabled() const {
    return !((Item(kCtrlItem).dwValue >> kPowerDownBit) & 1u);
}
