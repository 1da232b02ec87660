#include "modules/memory/CpmSEMI.h"

#include <vector>

#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "model/DisplayText.h"
#include "model/ModuleSubDlg.h"

using hwc::Format;
using namespace hwc::semi;

namespace {

using namespace hwc::RegFlag;

// Bus control, then the base, option and timing registers of chip selects 0 to 7.
const tPerCfgDef kRegisters[] = {
    {"BCR_INIT", 0, DW16},    {"CSBAR0_INIT", 0, DW16}, {"CSBAR1_INIT", 0, DW16},
    {"CSBAR2_INIT", 0, DW16}, {"CSBAR3_INIT", 0, DW16}, {"CSBAR4_INIT", 0, DW16},
    {"CSBAR5_INIT", 0, DW16}, {"CSBAR6_INIT", 0, DW16}, {"CSBAR7_INIT", 0, DW16},
    {"CSOR0_INIT", 0, DW16},  {"CSOR1_INIT", 0, DW16},  {"CSOR2_INIT", 0, DW16},
    {"CSOR3_INIT", 0, DW16},  {"CSOR4_INIT", 0, DW16},  {"CSOR5_INIT", 0, DW16},
    {"CSOR6_INIT", 0, DW16},  {"CSOR7_INIT", 0, DW16},  {"CSTC0_INIT", 0, DW16},
    {"CSTC1_INIT", 0, DW16},  {"CSTC2_INIT", 0, DW16},  {"CSTC3_INIT", 0, DW16},
    {"CSTC4_INIT", 0, DW16},  {"CSTC5_INIT", 0, DW16},  {"CSTC6_INIT", 0, DW16},
    {"CSTC7_INIT", 0, DW16},
};
constexpr int kRegisterCount = static_cast<int>(std::size(kRegisters));
static_assert(kRegisterCount == 1 + 3 * kChipSelectCount);

const std::vector<std::string> kAccessTexts = {"Off", "Read only", "Write only", "Read and write"};
const std::vector<std::string> kSpaceTexts = {"Program space", "Data space"};
const std::vector<std::string> kCycleTexts = {"0 cycles", "1 cycle", "2 cycles", "3 cycles"};

// Every code of the 4-bit field has an entry, so that a reserved code a header holds is shown
// and written back as it is.
std::vector<std::string> SizeTexts() {
    std::vector<std::string> texts;
    for (std::uint32_t code = 0; code < 16; ++code) {
        const std::optional<std::uint32_t> words = BlockSizeWords(code);
        if (!words)
            texts.push_back(Format("Reserved (%u)", code));
        else if (*words >= 0x100000)
            texts.push_back(Format("%uM words", *words >> 20));
        else
            texts.push_back(Format("%uK words", *words >> 10));
    }
    return texts;
}

std::string AccessName(int access) {
    static const char* const kNames[] = {"off", "read only", "write only", "read and write"};
    return kNames[access & 3];
}

std::string SpaceName(bool dataSpace) {
    return dataSpace ? "data" : "program";
}

bool Reads(int access) {
    return access == kAccessRead || access == kAccessReadWrite;
}

bool Writes(int access) {
    return access == kAccessWrite || access == kAccessReadWrite;
}

} // namespace

// --- Chip select blocks ---

CpmSEMI_CSDlg::CpmSEMI_CSDlg(CpmSEMI& module, int chipSelect)
    : m_module(module), m_chipSelect(chipSelect),
      m_summary([this] { return m_module.ChipSelect(m_chipSelect).Enabled(); },
                [this] {
                    const tChipSelect cs = m_module.ChipSelect(m_chipSelect);
                    const std::uint32_t option =
                        m_module.Item(CpmSEMI::OptionItem(m_chipSelect)).dwValue;
                    return Format("Chip select %d: %s, %s space, %s, %u/%u read/write wait states",
                                  m_chipSelect, AccessName(cs.access).c_str(),
                                  SpaceName(cs.dataSpace).c_str(), RangeText(cs).c_str(),
                                  Field(option, kReadWaitLow, kReadWaitHigh),
                                  Field(option, kWriteWaitLow, kWriteWaitHigh));
                }) {}

const CDialogTemplate& CpmSEMI_CSDlg::Template() {
    static const CDialogTemplate page(
        CpmSEMI::kFirstChipSelectPageId,
        {dlg::Group(
            "Chip select",
            {dlg::Row({dlg::Label("Access:"), dlg::DropList(kAccessId, kAccessTexts)}),
             dlg::Row({dlg::Label("Space:", kSpaceLabelId), dlg::DropList(kSpaceId, kSpaceTexts)}),
             dlg::Row({dlg::Label("Base (A23-A12):", kBaseLabelId), dlg::Edit(kBaseId)}),
             dlg::Row({dlg::Label("Size:", kSizeLabelId), dlg::DropList(kSizeId, SizeTexts())}),
             dlg::Row({dlg::Label("Range:", kRangeLabelId), dlg::ReadOnly(kRangeId)}),
             dlg::Row({dlg::CheckBox(kLowerByteId, "Lower byte"),
                       dlg::CheckBox(kUpperByteId, "Upper byte")}),
             dlg::Label("", kAlignWarningId), dlg::Label("", kOverlapWarningId)},
            kGroupId)});
    return page;
}

void CpmSEMI_CSDlg::Bind() {
    const int n = m_chipSelect;
    tPerCfgItem& base = m_module.Item(CpmSEMI::BaseItem(n));
    tPerCfgItem& option = m_module.Item(CpmSEMI::OptionItem(n));
    m_access.Bind(option, kAccessLow, kAccessHigh, 0, Format("Chip select %d access", n).c_str());
    m_space.Bind(option, kDataSpaceBit, kDataSpaceBit, 0,
                 Format("Chip select %d space", n).c_str());
    m_lowerByte.Bind(option, kLowerByteBit, false,
                     Format("Chip select %d lower byte enable", n).c_str());
    m_upperByte.Bind(option, kUpperByteBit, false,
                     Format("Chip select %d upper byte enable", n).c_str());
    m_base.Bind(base, kBaseLow, kBaseHigh, 0, Format("Chip select %d base", n).c_str(), true, 0, 0,
                true);
    m_size.Bind(base, kSizeCodeLow, kSizeCodeHigh, 0,
                Format("Chip select %d block size", n).c_str());
}

void CpmSEMI_CSDlg::Attach(CModuleSubDlg& page) {
    page.SetControlText(kGroupId, Format("Chip select %d", m_chipSelect));
    m_access.AttachTo(page, kAccessId);
    m_space.AttachTo(page, kSpaceId);
    m_base.AttachTo(page, kBaseId);
    m_size.AttachTo(page, kSizeId);
    m_lowerByte.AttachTo(page, kLowerByteId);
    m_upperByte.AttachTo(page, kUpperByteId);
    page.ShowControls({kAlignWarningId, kOverlapWarningId}, false);
}

void CpmSEMI_CSDlg::Refresh() {
    for (CSetCtrl* binding : std::initializer_list<CSetCtrl*>{&m_access, &m_space, &m_base, &m_size,
                                                              &m_lowerByte, &m_upperByte})
        binding->Refresh();
}

// --- Wait-state blocks ---

CpmSEMI_WSDlg::CpmSEMI_WSDlg(CpmSEMI& module, int chipSelect)
    : m_module(module), m_chipSelect(chipSelect) {}

const CDialogTemplate& CpmSEMI_WSDlg::Template() {
    static const CDialogTemplate page(
        CpmSEMI::kFirstWaitStatePageId,
        {dlg::Group(
            "Timing",
            {dlg::Row({dlg::Label("Read wait states:"), dlg::Edit(kReadWaitId),
                       dlg::UpDown(kReadWaitSpinId, 0, kWaitStateMax)}),
             dlg::Row({dlg::Label("Read access time:"), dlg::ReadOnly(kReadAccessId)}),
             dlg::Row({dlg::Label("Read setup:"), dlg::DropList(kReadSetupId, kCycleTexts)}),
             dlg::Row({dlg::Label("Read hold:"), dlg::DropList(kReadHoldId, kCycleTexts)}),
             dlg::Row({dlg::Label("Write wait states:"), dlg::Edit(kWriteWaitId),
                       dlg::UpDown(kWriteWaitSpinId, 0, kWaitStateMax)}),
             dlg::Row({dlg::Label("Write access time:"), dlg::ReadOnly(kWriteAccessId)}),
             dlg::Row({dlg::Label("Write setup:"), dlg::DropList(kWriteSetupId, kCycleTexts)}),
             dlg::Row({dlg::Label("Write hold:"), dlg::DropList(kWriteHoldId, kCycleTexts)})},
            kGroupId)});
    return page;
}

void CpmSEMI_WSDlg::Bind() {
    const int n = m_chipSelect;
    tPerCfgItem& option = m_module.Item(CpmSEMI::OptionItem(n));
    tPerCfgItem& timing = m_module.Item(CpmSEMI::TimingItem(n));
    m_readWait.Bind(option, kReadWaitLow, kReadWaitHigh, 0,
                    Format("Chip select %d read wait states", n).c_str(), false, 0, kWaitStateMax,
                    true);
    m_writeWait.Bind(option, kWriteWaitLow, kWriteWaitHigh, 0,
                     Format("Chip select %d write wait states", n).c_str(), false, 0, kWaitStateMax,
                     true);
    m_readSetup.Bind(timing, kReadSetupLow, kReadSetupHigh, 0,
                     Format("Chip select %d read setup", n).c_str());
    m_readHold.Bind(timing, kReadHoldLow, kReadHoldHigh, 0,
                    Format("Chip select %d read hold", n).c_str());
    m_writeSetup.Bind(timing, kWriteSetupLow, kWriteSetupHigh, 0,
                      Format("Chip select %d write setup", n).c_str());
    m_writeHold.Bind(timing, kWriteHoldLow, kWriteHoldHigh, 0,
                     Format("Chip select %d write hold", n).c_str());
}

void CpmSEMI_WSDlg::Attach(CModuleSubDlg& page) {
    page.SetControlText(kGroupId, Format("Chip select %d timing", m_chipSelect));
    page.SetSpinRange(kReadWaitSpinId, 0, kWaitStateMax);
    page.SetSpinRange(kWriteWaitSpinId, 0, kWaitStateMax);
    m_readWait.AttachTo(page, kReadWaitId);
    m_writeWait.AttachTo(page, kWriteWaitId);
    m_readSetup.AttachTo(page, kReadSetupId);
    m_readHold.AttachTo(page, kReadHoldId);
    m_writeSetup.AttachTo(page, kWriteSetupId);
    m_writeHold.AttachTo(page, kWriteHoldId);
}

void CpmSEMI_WSDlg::Refresh() {
    for (CSetCtrl* binding : std::initializer_list<CSetCtrl*>{
             &m_readWait, &m_writeWait, &m_readSetup, &m_readHold, &m_writeSetup, &m_writeHold})
        binding->Refresh();
}

// --- Module ---

CpmSEMI::CpmSEMI(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, kRegisters, kRegisterCount) {
    for (int n = 0; n < kChipSelectCount; ++n) {
        m_chipSelects[static_cast<std::size_t>(n)] = std::make_unique<CpmSEMI_CSDlg>(*this, n);
        m_waitStates[static_cast<std::size_t>(n)] = std::make_unique<CpmSEMI_WSDlg>(*this, n);
    }
    AddCommentItems({{&m_driveIdle, 0}, {&m_defaultReadWait, 0}, {&m_defaultWriteWait, 0}});
    for (auto& dialog : m_chipSelects)
        AddCommentItems({{&dialog->Summary(), 0}});
}

CpmSEMI::~CpmSEMI() = default;

const CDialogTemplate* CpmSEMI::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId,
        {dlg::Group("Bus control",
                    {dlg::CheckBox(kDriveIdleId, "Drive the bus while idle"),
                     dlg::Label("Outside every enabled chip select:"),
                     dlg::Row({dlg::Label("Read wait states:"), dlg::Edit(kDefaultReadWaitId),
                               dlg::UpDown(kDefaultReadWaitSpinId, 0, kWaitStateMax),
                               dlg::ReadOnly(kDefaultReadAccessId)}),
                     dlg::Row({dlg::Label("Write wait states:"), dlg::Edit(kDefaultWriteWaitId),
                               dlg::UpDown(kDefaultWriteWaitSpinId, 0, kWaitStateMax),
                               dlg::ReadOnly(kDefaultWriteAccessId)})}),
         dlg::Placeholder(kFirstChipSelectPageId),
         dlg::Placeholder(kFirstChipSelectPageId + 1),
         dlg::Placeholder(kFirstChipSelectPageId + 2),
         dlg::Placeholder(kFirstChipSelectPageId + 3),
         dlg::Placeholder(kFirstChipSelectPageId + 4),
         dlg::Placeholder(kFirstChipSelectPageId + 5),
         dlg::Placeholder(kFirstChipSelectPageId + 6),
         dlg::Placeholder(kFirstChipSelectPageId + 7),
         dlg::Label("Timing of the enabled chip selects:"),
         dlg::Label("No chip select is enabled.", kNoWaitStatesId),
         dlg::Placeholder(kFirstWaitStatePageId),
         dlg::Placeholder(kFirstWaitStatePageId + 1),
         dlg::Placeholder(kFirstWaitStatePageId + 2),
         dlg::Placeholder(kFirstWaitStatePageId + 3),
         dlg::Placeholder(kFirstWaitStatePageId + 4),
         dlg::Placeholder(kFirstWaitStatePageId + 5),
         dlg::Placeholder(kFirstWaitStatePageId + 6),
         dlg::Placeholder(kFirstWaitStatePageId + 7),
         dlg::Link(kPinStatusId, "")});
    return &page;
}

void CpmSEMI::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    tPerCfgItem& bcr = Item(kBcrItem);
    m_driveIdle.Bind(bcr, kBcrDriveIdleBit, false, "Bus driven while idle");
    m_defaultReadWait.Bind(bcr, kBcrReadWaitLow, kBcrReadWaitHigh, 0, "Default read wait states",
                           false, 0, kWaitStateMax, true);
    m_defaultWriteWait.Bind(bcr, kBcrWriteWaitLow, kBcrWriteWaitHigh, 0,
                            "Default write wait states", false, 0, kWaitStateMax, true);
    for (int n = 0; n < kChipSelectCount; ++n) {
        ChipSelectDialog(n).Bind();
        WaitStateDialog(n).Bind();
    }
}

void CpmSEMI::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    page.SetSpinRange(kDefaultReadWaitSpinId, 0, kWaitStateMax);
    page.SetSpinRange(kDefaultWriteWaitSpinId, 0, kWaitStateMax);
    m_driveIdle.AttachTo(page, kDriveIdleId);
    m_defaultReadWait.AttachTo(page, kDefaultReadWaitId);
    m_defaultWriteWait.AttachTo(page, kDefaultWriteWaitId);
    for (int n = 0; n < kChipSelectCount; ++n) {
        if (CModuleSubDlg* placed =
                page.StackSubPage(kFirstChipSelectPageId + n, CpmSEMI_CSDlg::Template()))
            ChipSelectDialog(n).Attach(*placed);
        if (CModuleSubDlg* placed =
                page.StackSubPage(kFirstWaitStatePageId + n, CpmSEMI_WSDlg::Template()))
            WaitStateDialog(n).Attach(*placed);
    }
}

tChipSelect CpmSEMI::ChipSelect(int chipSelect) const {
    return DecodeChipSelect(Item(BaseItem(chipSelect)).dwValue,
                            Item(OptionItem(chipSelect)).dwValue);
}

std::string CpmSEMI::AccessTimeText(std::uint32_t cycles) const {
    const double busMHz = GetBusClock();
    if (busMHz <= 0.0)
        return "??";
    const double ns = cycles * 1000.0 / busMHz;
    const std::string time = ns < 10000.0 ? Format("%.4g ns", ns) : TimeText(ns * 1e-9, true, "??");
    return Format("%s (%u %s)", time.c_str(), cycles, cycles == 1 ? "cycle" : "cycles");
}

void CpmSEMI::Recalculate() {
    CPage* page = Page();
    if (!page)
        return;
    const std::uint32_t bcr = Item(kBcrItem).dwValue;
    page->SetControlText(
        kDefaultReadAccessId,
        AccessTimeText(AccessCycles(Field(bcr, kBcrReadWaitLow, kBcrReadWaitHigh), 0, 0)));
    page->SetControlText(
        kDefaultWriteAccessId,
        AccessTimeText(AccessCycles(Field(bcr, kBcrWriteWaitLow, kBcrWriteWaitHigh), 0, 0)));
    for (int n = 0; n < kChipSelectCount; ++n) {
        page->SetControlText(ChipSelectControlId(n, CpmSEMI_CSDlg::kRangeId),
                             RangeText(ChipSelect(n)));
        const std::uint32_t option = Item(OptionItem(n)).dwValue;
        const std::uint32_t timing = Item(TimingItem(n)).dwValue;
        page->SetControlText(
            WaitStateControlId(n, CpmSEMI_WSDlg::kReadAccessId),
            AccessTimeText(AccessCycles(Field(option, kReadWaitLow, kReadWaitHigh),
                                        Field(timing, kReadSetupLow, kReadSetupHigh),
                                        Field(timing, kReadHoldLow, kReadHoldHigh))));
        page->SetControlText(
            WaitStateControlId(n, CpmSEMI_WSDlg::kWriteAccessId),
            AccessTimeText(AccessCycles(Field(option, kWriteWaitLow, kWriteWaitHigh),
                                        Field(timing, kWriteSetupLow, kWriteSetupHigh),
                                        Field(timing, kWriteHoldLow, kWriteHoldHigh))));
    }
}

void CpmSEMI::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    bool any = false;
    for (int n = 0; n < kChipSelectCount; ++n) {
        const int access = ChipSelect(n).access;
        any = any || access != kAccessOff;
        // A chip select that is off shows only its access choice, and no timing block.
        for (int control : CpmSEMI_CSDlg::kEnabledOnlyIds)
            page->ShowControl(ChipSelectControlId(n, control), access != kAccessOff);
        page->ShowControl(kFirstWaitStatePageId + n, access != kAccessOff);
        auto id = [n](int control) { return WaitStateControlId(n, control); };
        page->EnableControls({id(CpmSEMI_WSDlg::kReadWaitId), id(CpmSEMI_WSDlg::kReadWaitSpinId),
                              id(CpmSEMI_WSDlg::kReadSetupId), id(CpmSEMI_WSDlg::kReadHoldId)},
                             Reads(access));
        page->EnableControls({id(CpmSEMI_WSDlg::kWriteWaitId), id(CpmSEMI_WSDlg::kWriteWaitSpinId),
                              id(CpmSEMI_WSDlg::kWriteSetupId), id(CpmSEMI_WSDlg::kWriteHoldId)},
                             Writes(access));
    }
    page->ShowControl(kNoWaitStatesId, !any);
}

void CpmSEMI::CheckWarnings() {
    for (int n = 0; n < kChipSelectCount; ++n) {
        const tChipSelect cs = ChipSelect(n);
        const bool misaligned = cs.Enabled() && !cs.Aligned();
        const std::string alignText =
            misaligned ? Format("Chip select %d: base 0x%06X is not a multiple of its block size "
                                "(0x%06X words).",
                                n, cs.base, cs.sizeWords.value_or(0))
                       : std::string();
        SetWarning(*this, ChipSelectControlId(n, CpmSEMI_CSDlg::kAlignWarningId), misaligned,
                   alignText, alignText);
        // The later of two overlapping chip selects carries the warning, naming the first.
        std::string overlapText;
        for (int m = 0; m < n && overlapText.empty(); ++m) {
            const tChipSelect other = ChipSelect(m);
            if (Overlap(cs, other))
                overlapText =
                    Format("Chip select %d (%s) overlaps chip select %d (%s) in %s space.", n,
                           RangeText(cs).c_str(), m, RangeText(other).c_str(),
                           SpaceName(cs.dataSpace).c_str());
        }
        SetWarning(*this, ChipSelectControlId(n, CpmSEMI_CSDlg::kOverlapWarningId),
                   !overlapText.empty(), overlapText, overlapText);
    }
    CModule::CheckWarnings();
}

bool CpmSEMI::IsPinFunctionUsed(const std::string& signal) const {
    bool any = false;
    for (int n = 0; n < kChipSelectCount; ++n)
        any = any || ChipSelect(n).Enabled();
    if (signal.size() == 3 && signal.compare(0, 2, "CS") == 0 && signal[2] >= '0' &&
        signal[2] < '0' + kChipSelectCount)
        return ChipSelect(signal[2] - '0').Enabled();
    // A chip select signal the interface does not have is never driven.
    if (signal.compare(0, 2, "CS") == 0)
        return false;
    return any;
}
