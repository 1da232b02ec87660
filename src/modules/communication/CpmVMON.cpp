#include "modules/communication/CpmVMON.h"

#include <array>
#include <initializer_list>
#include <iterator>

#include "model/DialogTemplate.h"
#include "model/ModuleHost.h"
#include "model/Page.h"
#include "modules/interrupts/InterruptQueries.h"

namespace {

using namespace hwc::RegFlag;

constexpr std::uint32_t kOption = DW16 | USERDEFINE | DECVALUE;
constexpr std::uint32_t kFirst = kOption | NODEFAULT;

const tPerCfgDef kRegisters[] = {
    {"COMM_INTERFACE", 0, kFirst},
    {"LONG_INTR", 0, kFirst},
    {"SHORT_INTR", 0, kFirst},
    {"POLL_DRIVEN", 1, kFirst},
    {"COMM_BUFFER_SIZE", 0, kOption},
    {"COMM_RQUEUE_SIZE", 32, kOption},
    {"USE_READMEM", 1, kOption},
    {"USE_WRITEMEM", 1, kOption},
    {"USE_WRITEMEMMASK", 1, kOption},
    {"USE_READVAR", 0, kOption},
    {"USE_WRITEVAR", 0, kOption},
    {"USE_WRITEVARMASK", 0, kOption},
    {"USE_APPCMD", 0, kOption},
    {"APPCMD_BUFF_SIZE", 16, kOption},
    {"MAX_APPCMD_CALLS", 0, kOption},
    {"USE_SCOPE", 0, kOption},
    {"MAX_SCOPE_VARS", 8, kOption},
    {"USE_RECORDER", 0, kOption},
    {"MAX_REC_VARS", 8, kOption},
    {"REC_OWNBUFF", 0, kOption},
    {"REC_BUFF_SIZE", 256, kOption},
    {"REC_FARBUFF", 0, kOption},
    {"REC_TIMEBASE", 0, DW16 | USERDEFINE}, // written in hex: it carries the unit bits
    {"USE_TSA", 0, kOption},
    {"USE_TSA_INROM", 0, kOption},
    {"USE_TSA_SAFETY", 0, kOption},
};
static_assert(std::size(kRegisters) == CpmVMON::kItemCount);

constexpr int kFamK = 101;
constexpr int kFlag99 = 99;
constexpr int kFlag102 = 102;
constexpr int kFlag108 = 108;
constexpr int kEntry26 = 26;

constexpr const char* kRoutine = "VMON_Isr";
constexpr const char* kInterfaceCaption = "Communication Interface:";

const std::array<const char*, CpmVMON::kInterfaceCount> kInterfaceTexts = {
    "Not specified", "SCI_0", "SCI_1", "JTAG", "JTAG  (with TDF workaround)",
    "CAN",           "CAN_2", "SCI_2"};

enum class EListing { Listed, NotAvailable, LeftOut };

// The interrupt rows a driver running from interrupts needs of one interface's module.
struct tVectorSet {
    int position;
    const char* owner; // null: this module's own rows
    std::array<int, 3> rows;
    int rowCount;
};

// Marks a control that stays as it is (a list, a check box, a group box) as warning or not and
// hands the warning to the document; unlike the label warnings it never hides the control.
void MarkWarning(CModuleBase& module, int controlId, bool active, const std::string& text) {
    if (CPage* page = module.Page()) {
        if (CPageControl* control = page->FindControl(controlId))
            control->SetTextColour(active ? tColour{128, 0, 0} : tColour{0, 0, 0});
    }
    if (IModuleHost* host = module.Host())
        host->SetWarning(&module, controlId, active, active ? text.c_str() : "", nullptr);
}

} // namespace

CpmVMON::CpmVMON(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, kRegisters, kItemCount) {
    // FamG keeps no far recorder buffer.
    if (IsProcessorGroup(*this, kFamG))
        Item(kFarBufferItem).dwFlags |= DUMMYREG | NOSHOWLIST;
}

const CDialogTemplate* CpmVMON::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId,
        {dlg::Row({dlg::Label(kInterfaceCaption, kInterfaceLabelId), dlg::DropList(kInterfaceId)}),
         dlg::Group("Interrupt Processing",
                    {dlg::Row({dlg::Radio(kLongId, "Long Interrupts", true),
                               dlg::Radio(kShortId, "Short Interrupts"),
                               dlg::Radio(kPollingId, "Polling Mode")})},
                    kProcessingGroupId),
         dlg::Group("Buffers",
                    {dlg::Row({dlg::Label("Communication I/O Buffer Size:"),
                               dlg::Edit(kBufferSizeId), dlg::UpDown(kBufferSizeSpinId, 6, 255)}),
                     dlg::Label("(set 0 for \"automatic\")"),
                     dlg::Row({dlg::Label("Short Int. Receive Queue Size:", kQueueSizeLabelId),
                               dlg::Edit(kQueueSizeId), dlg::UpDown(kQueueSizeSpinId, 2, 255)})}),
         dlg::Group(
             "Commands",
             {dlg::CheckBox(kReadMemId, "Enable \"Read Memory\" Command"),
              dlg::CheckBox(kWriteMemId, "Enable \"Write Memory\" Command"),
              dlg::CheckBox(kWriteMemMaskId, "Enable \"Write Memory with Mask\" Command"),
              dlg::CheckBox(kReadVarId, "Enable \"Read Variable\" Commands"),
              dlg::CheckBox(kWriteVarId, "Enable \"Write Variable\" Commands"),
              dlg::CheckBox(kWriteVarMaskId, "Enable \"Write Variable with Mask\" Commands")}),
         dlg::Group(
             "Application Commands",
             {dlg::CheckBox(kAppCmdId, "Enable Support for Application Commands"),
              dlg::Row({dlg::Label("App. Command Data I/O Buffer Size:", kAppCmdBufferLabelId),
                        dlg::Edit(kAppCmdBufferId), dlg::UpDown(kAppCmdBufferSpinId, 0, 255)}),
              dlg::Row({dlg::Label("Max. Number of Callback Handlers", kAppCmdCallsLabelId),
                        dlg::Edit(kAppCmdCallsId), dlg::UpDown(kAppCmdCallsSpinId, 0, 255)})}),
         dlg::Group("Scope",
                    {dlg::CheckBox(kScopeId, "Enable Scope Feature"),
                     dlg::Row({dlg::Label("Max. Number of Scope Variables:", kScopeVarsLabelId),
                               dlg::Edit(kScopeVarsId), dlg::UpDown(kScopeVarsSpinId, 2, 8)})}),
         dlg::Group(
             "Recorder",
             {dlg::CheckBox(kRecorderId, "Enable Recorder Feature"),
              dlg::Row({dlg::Label("Max. Number of Recorder Variables:", kRecVarsLabelId),
                        dlg::Edit(kRecVarsId), dlg::UpDown(kRecVarsSpinId, 2, 8)}),
              dlg::Row({dlg::Label("Recorder Timebase Information:", kTimebaseLabelId),
                        dlg::Edit(kTimebaseId),
                        dlg::DropList(kTimebaseUnitId, {"s", "ms", "us", "ns"})}),
              dlg::Radio(kUserBufferId, "Recorder Buffer Allocated by User", true),
              dlg::Radio(kDriverBufferId, "Buffer Allocated Internally by Driver"),
              dlg::Row({dlg::Label("Recorder Buffer Size (bytes):", kRecBufferSizeLabelId),
                        dlg::Edit(kRecBufferSizeId), dlg::UpDown(kRecBufferSizeSpinId, 8, 65535)}),
              dlg::CheckBox(kFarBufferId, "Put Buffer in Far External Memory (after 0x10000)")}),
         dlg::Group("TSA",
                    {dlg::CheckBox(kTsaId, "Enable TSA"),
                     dlg::CheckBox(kTsaSafetyId,
                                   "Enable TSA \"Safety\" (access to TSA-described memory only)"),
                     dlg::CheckBox(kTsaInRomId,
                                   "Declare TSA Descriptors as \"const\" (put to data flash)")})});
    return &page;
}

std::vector<CpmVMON::tInterfaceEntry> CpmVMON::InterfaceEntries() const {
    const auto in = [&](std::initializer_list<int> groups) {
        for (int group : groups) {
            if (IsProcessorGroup(*this, group))
                return true;
        }
        return false;
    };
    const bool debugPort = in({kFamH, kFamA, kFamE, kFamF, kFamD});
    const auto moduleRule = [&](const char* instance, bool elseNotAvailable) {
        if (FindModule(Host(), instance))
            return EListing::Listed;
        return elseNotAvailable ? EListing::NotAvailable : EListing::LeftOut;
    };
    const std::array<EListing, kInterfaceCount> listing = {
        EListing::Listed,
        EListing::Listed,
        moduleRule("SCI_1", debugPort),
        debugPort ? EListing::Listed : EListing::LeftOut,
        debugPort ? EListing::Listed : EListing::LeftOut,
        in({kFamK, kFamE, kFamF, kFamD, kFlag99, kFlag108}) ? EListing::Listed
                                                            : EListing::NotAvailable,
        in({kFlag102}) ? EListing::Listed : EListing::NotAvailable,
        moduleRule("SCI_2", in({kFamH, 43, 44, 45, 46, 50, 51, 52, 53})),
    };
    std::vector<tInterfaceEntry> entries;
    for (int i = 0; i < kInterfaceCount; ++i) {
        const std::size_t at = static_cast<std::size_t>(i);
        if (listing[at] == EListing::LeftOut)
            continue;
        const bool available = listing[at] == EListing::Listed;
        entries.push_back(
            {i, std::string(kInterfaceTexts[at]) + (available ? "" : kNotAvailableSuffix),
             available});
    }
    return entries;
}

const CpmVMON::tInterfaceEntry*
CpmVMON::SelectedInterface(const std::vector<tInterfaceEntry>& entries) const {
    const std::uint32_t shown = Item(kInterfaceItem).dwValue & 0xFu;
    return shown < entries.size() ? &entries[shown] : nullptr;
}

bool CpmVMON::IsInterruptDriven() const {
    return Bit(kLongItem) || Bit(kShortItem);
}

void CpmVMON::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    page.SetSpinRange(kBufferSizeSpinId, 6, 255);
    page.SetSpinRange(kQueueSizeSpinId, 2, 255);
    page.SetSpinRange(kAppCmdBufferSpinId, 0, 255);
    page.SetSpinRange(kAppCmdCallsSpinId, 0, 255);
    page.SetSpinRange(kScopeVarsSpinId, 2, 8);
    page.SetSpinRange(kRecVarsSpinId, 2, 8);
    page.SetSpinRange(kRecBufferSizeSpinId, 8, 65535);
    // Only FamH keeps a far recorder buffer; FamG has no such option at all.
    page.ShowControl(kFarBufferId, IsProcessorGroup(*this, kFamH));
    const std::pair<CSetCtrl*, int> bindings[] = {{&m_interface, kInterfaceId},
                                                  {&m_long, kLongId},
                                                  {&m_short, kShortId},
                                                  {&m_polling, kPollingId},
                                                  {&m_bufferSize, kBufferSizeId},
                                                  {&m_queueSize, kQueueSizeId},
                                                  {&m_readMem, kReadMemId},
                                                  {&m_writeMem, kWriteMemId},
                                                  {&m_writeMemMask, kWriteMemMaskId},
                                                  {&m_readVar, kReadVarId},
                                                  {&m_writeVar, kWriteVarId},
                                                  {&m_writeVarMask, kWriteVarMaskId},
                                                  {&m_appCmd, kAppCmdId},
                                                  {&m_appCmdBuffer, kAppCmdBufferId},
                                                  {&m_appCmdCalls, kAppCmdCallsId},
                                                  {&m_scope, kScopeId},
                                                  {&m_scopeVars, kScopeVarsId},
                                                  {&m_recorder, kRecorderId},
                                                  {&m_recVars, kRecVarsId},
                                                  {&m_timebase, kTimebaseId},
                                                  {&m_timebaseUnit, kTimebaseUnitId},
                                                  {&m_userBuffer, kUserBufferId},
                                                  {&m_driverBuffer, kDriverBufferId},
                                                  {&m_recBufferSize, kRecBufferSizeId},
                                                  {&m_farBuffer, kFarBufferId},
                                                  {&m_tsa, kTsaId},
                                                  {&m_tsaSafety, kTsaSafetyId},
                                                  {&m_tsaInRom, kTsaInRomId}};
    for (const auto& [binding, id] : bindings) {
        if (CPageControl* control = page.FindControl(id))
            binding->Attach(*control);
    }
}

void CpmVMON::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    m_interface.Bind(Item(kInterfaceItem), 0, 3, 0, "");
    std::vector<std::string> texts;
    for (const tInterfaceEntry& entry : InterfaceEntries())
        texts.push_back(entry.text);
    m_interface.SetItems({}, std::move(texts));
    m_long.Bind(Item(kLongItem), 0, false, "");
    m_short.Bind(Item(kShortItem), 0, false, "");
    m_polling.Bind(Item(kPollItem), 0, false, "");
    m_bufferSize.Bind(Item(kBufferSizeItem), 0, 7, 0, "", false, 6, 255, true);
    m_queueSize.Bind(Item(kQueueSizeItem), 0, 7, 0, "", false, 2, 255, true);
    m_readMem.Bind(Item(kReadMemItem), 0, false, "");
    m_writeMem.Bind(Item(kWriteMemItem), 0, false, "");
    m_writeMemMask.Bind(Item(kWriteMemMaskItem), 0, false, "");
    m_readVar.Bind(Item(kReadVarItem), 0, false, "");
    m_writeVar.Bind(Item(kWriteVarItem), 0, false, "");
    m_writeVarMask.Bind(Item(kWriteVarMaskItem), 0, false, "");
    m_appCmd.Bind(Item(kAppCmdItem), 0, false, "");
    m_appCmdBuffer.Bind(Item(kAppCmdBufferItem), 0, 7, 0, "", false, 0, 255, false);
    m_appCmdCalls.Bind(Item(kAppCmdCallsItem), 0, 7, 0, "", false, 0, 255, false);
    m_scope.Bind(Item(kScopeItem), 0, false, "");
    m_scopeVars.Bind(Item(kScopeVarsItem), 0, 7, 0, "", false, 2, 8, false);
    m_recorder.Bind(Item(kRecorderItem), 0, false, "");
    m_recVars.Bind(Item(kRecVarsItem), 0, 7, 0, "", false, 2, 8, false);
    m_timebase.Bind(Item(kTimebaseItem), 0, 13, 0, "", false, 0, 0, true);
    m_timebaseUnit.Bind(Item(kTimebaseItem), 14, 15, 0, "");
    m_userBuffer.Bind(Item(kOwnBufferItem), 0, false, "");
    m_driverBuffer.Bind(Item(kOwnBufferItem), 0, true, "");
    m_recBufferSize.Bind(Item(kRecBufferSizeItem), 0, 15, 0, "", false, 8, 65535, true);
    m_farBuffer.Bind(Item(kFarBufferItem), 0, false, "");
    m_tsa.Bind(Item(kTsaItem), 0, false, "");
    m_tsaSafety.Bind(Item(kTsaSafetyItem), 0, false, "");
    m_tsaInRom.Bind(Item(kTsaInRomItem), 0, false, "");
}

void CpmVMON::ClaimVectors() {
    m_claimRefused = false;
    // Without an interrupt controller nothing is assigned and nothing is refused.
    if (!hwc::FindInterruptControllerOf(*this))
        return;
    const auto in = [&](std::initializer_list<int> groups) {
        for (int group : groups) {
            if (IsProcessorGroup(*this, group))
                return true;
        }
        return false;
    };
    const bool famA = IsProcessorGroup(*this, kFamA);
    const std::array<int, 3> sciRows =
        famA ? std::array<int, 3>{0, 1, 0} : std::array<int, 3>{0, 2, 3};
    const int sciCount = famA ? 2 : 3;
    const struct {
        tVectorSet set;
        bool applies;
    } sets[] = {
        {{kSci0, "SCI_0", sciRows, sciCount}, true},
        {{kSci1, "SCI_1", sciRows, sciCount}, true},
        {{kSci2, "SCI_2", sciRows, sciCount}, true},
        {{kJtag, nullptr, {0, 1, 0}, 2}, in({kFamH, kFamA, kFamE, kFamF, kFamD})},
        {{kCan, "LSCAN", {0, 1, 2}, 3}, in({kFamF, kFlag108, kEntry26})},
        {{kCan, "YCAN", {1, 2, 3}, 3}, in({kFamK, kFamE, kFamD})},
        {{kCan2, "YCAN2", {1, 2, 3}, 3}, in({kFamK, kFamE, kFamD})},
    };
    // The register holds the position as shown; the vectors follow the entry it shows.
    const std::vector<tInterfaceEntry> entries = InterfaceEntries();
    const tInterfaceEntry* selected = SelectedInterface(entries);
    const int chosen = selected && selected->available ? selected->fullPosition : -1;
    const bool driven = IsInterruptDriven();
    for (const auto& [set, applies] : sets) {
        if (!applies)
            continue;
        const auto* owner =
            set.owner ? dynamic_cast<const CModule*>(FindModule(Host(), set.owner)) : this;
        if (!owner)
            continue;
        const bool claim =
            driven && (chosen == set.position || (set.position == kJtag && chosen == kJtagTdf));
        const std::vector<CInterruptRow>& rows = owner->InterruptRows();
        for (int i = 0; i < set.rowCount; ++i) {
            const std::size_t row = static_cast<std::size_t>(set.rows[static_cast<std::size_t>(i)]);
            // A row the owner lacks is skipped.
            if (row >= rows.size())
                continue;
            const bool done = hwc::ClaimInterruptVector(*this, rows[row].vector, kRoutine, claim);
            if (claim && !done)
                m_claimRefused = true;
        }
    }
}

void CpmVMON::UpdateControlStates() {
    if (CPage* page = Page()) {
        page->EnableControls({kQueueSizeId, kQueueSizeSpinId, kQueueSizeLabelId}, Bit(kShortItem));
        page->EnableControls({kAppCmdBufferId, kAppCmdBufferSpinId, kAppCmdCallsId,
                              kAppCmdCallsSpinId, kAppCmdBufferLabelId, kAppCmdCallsLabelId},
                             Bit(kAppCmdItem));
        page->EnableControls({kScopeVarsId, kScopeVarsSpinId, kScopeVarsLabelId}, Bit(kScopeItem));
        page->EnableControls({kTsaSafetyId, kTsaInRomId}, Bit(kTsaItem));
        const bool recorder = Bit(kRecorderItem);
        page->EnableControls({kRecVarsId, kRecVarsSpinId, kTimebaseId, kTimebaseUnitId,
                              kUserBufferId, kDriverBufferId, kRecVarsLabelId, kTimebaseLabelId,
                              kRecBufferSizeLabelId, kRecBufferSizeId, kRecBufferSizeSpinId,
                              kFarBufferId},
                             recorder);
        if (recorder) {
            const bool internal = !Bit(kOwnBufferItem);
            page->EnableControls(
                {kRecBufferSizeId, kRecBufferSizeSpinId, kRecBufferSizeLabelId, kFarBufferId},
                internal);
        }
    }
    ClaimVectors();
}

void CpmVMON::CheckWarnings() {
    CModule::CheckWarnings();
    // A cleared warning gives the label its caption back.
    SetWarning(*this, kInterfaceLabelId, m_claimRefused, kInterfaceCaption,
               m_claimRefused ? "Could not set interrupt vectors required by this interface"
                              : std::string());
    const std::vector<tInterfaceEntry> entries = InterfaceEntries();
    const tInterfaceEntry* selected = SelectedInterface(entries);
    const bool unavailable = selected && !selected->available;
    MarkWarning(*this, kInterfaceId, unavailable,
                unavailable ? "The selected communication interface is not available on this "
                              "processor"
                            : std::string());
    const int modes = int(Bit(kLongItem)) + int(Bit(kShortItem)) + int(Bit(kPollItem));
    MarkWarning(*this, kLongId, modes != 1,
                modes != 1 ? "Select exactly one of Long Interrupts, Short Interrupts and "
                             "Polling Mode"
                           : std::string());
    bool eonce = false;
    if (IsProcessorGroup(*this, kFamA) && IsInterruptDriven() && selected &&
        (selected->fullPosition == kJtag || selected->fullPosition == kJtagTdf)) {
        const auto* controller =
            dynamic_cast<const hwc::IInterruptController*>(FindModule(Host(), "WINTC", "INTC"));
        eonce = controller && !controller->DebugPortInterruptsEnabled();
    }
    MarkWarning(*this, kProcessingGroupId, eonce,
                eonce ? "EOnCE Transmit Register Empty and Receive Register Full interrupts must "
                        "be enabled in WINTC module."
                      : std::string());
}
