#include "modules/routing/CpmXBAR.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <mutex>
#include <utility>

#include "base/FixedText.h"
#include "base/NumberScan.h"
#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "model/ModuleSubDlg.h"

using hwc::Format;

namespace {

using namespace hwc::RegFlag;

// Processor group beyond those CModule names.
constexpr int kFamC = 106;

constexpr int kNarrowField = 5;
constexpr int kWideField = 6;
constexpr int kOddOutputShift = 8;

// Control-block bits of the even output; the odd output's are 8 higher.
constexpr int kDmaEnableBit = 0;
constexpr int kInterruptEnableBit = 1;
constexpr int kEdgeLow = 2;
constexpr int kEdgeHigh = 3;

constexpr const char* kCrossbarB = "XBAR_B";
constexpr const char* kWideCrossbar = "XBAR_A";

// A module-information field with its blanks, tabs, double quotes and line-end characters
// removed.
std::string Compact(std::string_view text) {
    std::string compact;
    compact.reserve(text.size());
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '"' && c != '\r')
            compact += c;
    }
    return compact;
}

// A whole field read as C reads "%i"; none for anything else.
std::optional<long long> WholeNumber(std::string_view text) {
    const auto number = hwc::ScanInteger(text);
    if (!number || number->overflow || number->end != text.size())
        return std::nullopt;
    return number->value;
}

std::string Cut(std::string text) {
    if (text.size() > CpmXBAR::kMaxNameLength)
        text.resize(CpmXBAR::kMaxNameLength);
    return text;
}

// The optional number that closes an "out" or "in" line; 0 when missing or unreadable.
int TrailingNumber(const std::vector<std::string>& fields, std::size_t at) {
    if (fields.size() <= at)
        return 0;
    const auto number = WholeNumber(fields[at]);
    return number && *number >= INT32_MIN && *number <= INT32_MAX ? static_cast<int>(*number) : 0;
}

std::unique_ptr<CDialogTemplate> MakePageTemplate(bool controlBlock, int outputs) {
    tLayoutItem page = dlg::Column({});
    if (outputs == 0) {
        page.children.push_back(dlg::Label(
            "This crossbar has no outputs on this processor: there is nothing to set up.",
            CpmXBAR::kNoOutputsId));
    } else {
        if (controlBlock) {
            tLayoutItem block = dlg::Group("Interrupt and DMA requests of outputs 0 to 3", {});
            for (int output = 0; output < CpmXBAR::kControlOutputs; ++output) {
                block.children.push_back(dlg::Row(
                    {dlg::Label("", CpmXBAR::kControlLabelId + output),
                     dlg::CheckBox(CpmXBAR::kDmaEnableId + output, "Enable DMA"),
                     dlg::CheckBox(CpmXBAR::kInterruptEnableId + output,
                                   Format("Enable Interrupt Out%d", output)),
                     dlg::Label("Edge Detection:"),
                     dlg::DropList(CpmXBAR::kEdgeId + output,
                                   {"Never", "Rising Edge", "Falling Edge", "Rising&Falling"})}));
            }
            page.children.push_back(std::move(block));
        }
        tLayoutItem table = dlg::Group("Outputs and their inputs", {});
        table.children.push_back(dlg::Label("Crossbar Table here", CpmXBAR::kTablePlaceholderId));
        for (int output = 0; output < outputs; ++output)
            table.children.push_back(dlg::Placeholder(CpmXBAR::kOutputPageBase + output));
        page.children.push_back(std::move(table));
    }
    page.children.push_back(dlg::Link(CModule::kPinStatusId, ""));
    page.children.push_back(dlg::Placeholder(CpmXBAR::kHeadingPlaceholderId));
    page.children.push_back(dlg::Placeholder(CModule::kFirstRowPlaceholderId));
    return std::make_unique<CDialogTemplate>(CpmXBAR::kTemplateId,
                                             std::initializer_list<tLayoutItem>{page});
}

// One page template per layout, kept for the life of the program as pages refer to it.
const CDialogTemplate& PageTemplate(bool controlBlock, int outputs) {
    static std::mutex mutex;
    static std::map<std::pair<bool, int>, std::unique_ptr<CDialogTemplate>> templates;
    const std::lock_guard<std::mutex> lock(mutex);
    auto& slot = templates[{controlBlock, outputs}];
    if (!slot)
        slot = MakePageTemplate(controlBlock, outputs);
    return *slot;
}

// "XB_IN3" or "XB_OUT12": the number after the prefix, when the rest is digits only.
std::optional<int> SignalNumber(std::string_view signal, std::string_view prefix) {
    if (!hwc::StartsWith(signal, prefix))
        return std::nullopt;
    signal.remove_prefix(prefix.size());
    if (signal.empty() || signal.size() > 4 ||
        !std::all_of(signal.begin(), signal.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    return std::stoi(std::string(signal));
}

} // namespace

// --- Output selection list ---

const CDialogTemplate& CpmXBAR_OutDlg::Template() {
    static const CDialogTemplate page(
        CpmXBAR::kTemplateId + 1, {dlg::Row({dlg::Link(kLabelId, ""), dlg::DropList(kSelectionId)}),
                                   dlg::Label("", kWarningId)});
    return page;
}

// --- Module ---

CpmXBAR::CpmXBAR(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, nullptr, 0) {}

CpmXBAR::~CpmXBAR() = default;

int CpmXBAR::FieldWidth() const {
    if (IsProcessorGroup(*this, kFamD))
        return kWideField;
    if ((IsProcessorGroup(*this, kFamE) || IsProcessorGroup(*this, kFamF)) &&
        InstanceName() == kWideCrossbar)
        return kWideField;
    return kNarrowField;
}

hwc::xbar::ESourceTable CpmXBAR::SourceTable() const {
    if (IsProcessorGroup(*this, kFamC))
        return hwc::xbar::ESourceTable::ByPosition;
    if (IsProcessorGroup(*this, kFamE) || IsProcessorGroup(*this, kFamF) ||
        IsProcessorGroup(*this, kFamD))
        return hwc::xbar::ESourceTable::ByName;
    return hwc::xbar::ESourceTable::None;
}

int CpmXBAR::OutputControlId(int output, int controlId) {
    return CPage::SubPageControlId(kOutputPageBase + output, controlId);
}

// The module information arrives after construction. The outputs are read once: a page may
// already hold the bindings of their lists.
void CpmXBAR::ReadModuleInfo() {
    if (m_infoRead)
        return;
    m_infoRead = true;
    for (const std::string& line : hwc::Split(Descriptor().ModuleInfoText(), '\n')) {
        const std::vector<std::string> fields = hwc::Split(Compact(line), ',');
        const std::string& kind = fields.front();
        if (kind == "cfg") {
            for (std::size_t i = 1; i < fields.size(); ++i) {
                m_showCfg = m_showCfg || fields[i] == "showCfg";
                m_showSel = m_showSel || fields[i] == "showSel";
            }
        } else if (kind == "out") {
            if (fields.size() < 3 || fields[2].empty() || OutputCount() >= kMaxOutputs)
                continue;
            const auto index = WholeNumber(fields[1]);
            if (!index || *index < 0 || *index >= kMaxOutputs)
                continue;
            const int number = static_cast<int>(*index);
            m_outputs.push_back({number, Cut(Format("%d. %s", number, fields[2].c_str())),
                                 TrailingNumber(fields, 3)});
        } else if (kind == "in") {
            if (fields.size() < 2 || fields[1].empty() ||
                static_cast<int>(m_inputs.size()) >= kMaxInputs)
                continue;
            m_inputs.push_back({Cut(fields[1]), TrailingNumber(fields, 2)});
        }
    }
    for (std::size_t output = 0; output < m_outputs.size(); ++output)
        m_outputDialogs.push_back(std::make_unique<CpmXBAR_OutDlg>());
}

// One selection register per two outputs, then the control block; the values the registers
// held before (by name) are kept.
void CpmXBAR::BuildRegisters(IModuleHost* host) {
    std::map<std::string, tPerCfgItem, std::less<>> previous;
    for (int i = 0; i < ItemCount(); ++i)
        previous.emplace(std::string(hwc::FieldText(Item(i).szName)), Item(i));

    std::vector<std::string> names;
    const char* pattern = m_showSel ? "SEL%d_INIT" : "XBC%d_INIT";
    for (int reg = 0; reg < (OutputCount() + 1) / 2; ++reg)
        names.push_back(Format(pattern, reg));
    // Without outputs the control block has nothing to serve: no registers at all.
    if (m_showCfg && OutputCount() > 0) {
        names.push_back("CTRL0_INIT");
        names.push_back("CTRL1_INIT");
    }
    const int wanted = static_cast<int>(names.size());
    SetItemCount(Capacity() == 0 ? wanted : std::min(wanted, Capacity()));
    for (int i = 0; i < ItemCount(); ++i) {
        tPerCfgItem& item = Item(i);
        hwc::SetItemDefinition(item, {names[static_cast<std::size_t>(i)].c_str(), 0, DW16});
        item.dwValue = item.dwDefault;
        item.dwSaved = item.dwDefault;
        item.szValue[0] = item.szSaved[0] = item.szComment[0] = '\0';
    }
    // The module information's reset values, and the interrupt rows.
    CModule::BindControls(host);
    for (int i = 0; i < ItemCount(); ++i) {
        tPerCfgItem& item = Item(i);
        const auto kept = previous.find(hwc::FieldText(item.szName));
        if (kept == previous.end())
            continue;
        item.dwValue = kept->second.dwValue;
        item.dwSaved = kept->second.dwSaved;
        std::copy(std::begin(kept->second.szValue), std::end(kept->second.szValue), item.szValue);
        std::copy(std::begin(kept->second.szSaved), std::end(kept->second.szSaved), item.szSaved);
        std::copy(std::begin(kept->second.szComment), std::end(kept->second.szComment),
                  item.szComment);
    }
}

void CpmXBAR::BindControls(IModuleHost* host) {
    ReadModuleInfo();
    BuildRegisters(host);

    m_sources.clear();
    const hwc::xbar::ESourceTable table = SourceTable();
    for (std::size_t input = 0; input < m_inputs.size(); ++input)
        m_sources.push_back(
            hwc::xbar::SourceOf(table, static_cast<int>(input), m_inputs[input].name));

    const auto offered = std::make_shared<const std::vector<std::string>>(InputNames());
    const int width = FieldWidth();
    const int selectionRegisters = (OutputCount() + 1) / 2;
    for (int output = 0; output < OutputCount(); ++output) {
        const int reg = output / 2;
        if (reg >= ItemCount())
            break;
        const int lowBit = (output % 2) * kOddOutputShift;
        CSetCrossbarSource& selection =
            m_outputDialogs[static_cast<std::size_t>(output)]->Selection();
        selection.Bind(Item(reg), lowBit, lowBit + width - 1, 0,
                       m_outputs[static_cast<std::size_t>(output)].label.c_str());
        selection.SetInputNames(offered);
    }
    if (HasControlBlock() && selectionRegisters + 1 < ItemCount()) {
        for (int output = 0; output < kControlOutputs; ++output) {
            tPerCfgItem& control = Item(selectionRegisters + output / 2);
            const int shift = (output % 2) * kOddOutputShift;
            const std::size_t at = static_cast<std::size_t>(output);
            m_dmaEnable[at].Bind(control, kDmaEnableBit + shift, false,
                                 Format("Enable DMA Out%d", output).c_str());
            m_interruptEnable[at].Bind(control, kInterruptEnableBit + shift, false,
                                       Format("Enable Interrupt Out%d", output).c_str());
            m_edge[at].Bind(control, kEdgeLow + shift, kEdgeHigh + shift, 0,
                            Format("Edge Detection Out%d", output).c_str());
        }
    }
    RebuildCommentItems();
}

const CDialogTemplate* CpmXBAR::DialogTemplate() const {
    const_cast<CpmXBAR*>(this)->ReadModuleInfo();
    return &PageTemplate(HasControlBlock(), OutputCount());
}

void CpmXBAR::AttachControls(CPage& page) {
    page.ShowControl(kHeadingPlaceholderId, !InterruptRows().empty());
    CModule::AttachControls(page);
    page.ShowControl(kTablePlaceholderId, false);
    for (int output = 0; output < OutputCount(); ++output) {
        CModuleSubDlg* placed =
            page.StackSubPage(kOutputPageBase + output, CpmXBAR_OutDlg::Template());
        if (!placed)
            continue;
        const std::string& label = m_outputs[static_cast<std::size_t>(output)].label;
        const int listId = OutputControlId(output, CpmXBAR_OutDlg::kSelectionId);
        placed->SetControlText(CpmXBAR_OutDlg::kLabelId,
                               LinkText(InstanceName(), TypeKey(), Title(), label.c_str(),
                                        static_cast<std::uint32_t>(listId), nullptr, false));
        placed->ShowControl(CpmXBAR_OutDlg::kWarningId, false);
        if (CPageControl* list = placed->FindControl(CpmXBAR_OutDlg::kSelectionId))
            m_outputDialogs[static_cast<std::size_t>(output)]->Selection().Attach(*list);
    }
    if (!HasControlBlock())
        return;
    for (int output = 0; output < kControlOutputs; ++output) {
        const std::size_t at = static_cast<std::size_t>(output);
        const bool present = IsOutput(output);
        page.ShowControls({kControlLabelId + output, kDmaEnableId + output,
                           kInterruptEnableId + output, kEdgeId + output},
                          present);
        if (!present)
            continue;
        page.SetControlText(kControlLabelId + output, m_outputs[at].label + ":");
        if (CPageControl* control = page.FindControl(kDmaEnableId + output))
            m_dmaEnable[at].Attach(*control);
        if (CPageControl* control = page.FindControl(kInterruptEnableId + output))
            m_interruptEnable[at].Attach(*control);
        if (CPageControl* control = page.FindControl(kEdgeId + output))
            m_edge[at].Attach(*control);
    }
}

CSetCrossbarSource* CpmXBAR::Selection(int output) {
    if (!IsOutput(output) || static_cast<std::size_t>(output) >= m_outputDialogs.size())
        return nullptr;
    return &m_outputDialogs[static_cast<std::size_t>(output)]->Selection();
}

int CpmXBAR::SelectedInput(int output) const {
    const int reg = output / 2;
    if (reg >= ItemCount())
        return 0;
    const int width = FieldWidth();
    return static_cast<int>((Item(reg).dwValue >> ((output % 2) * kOddOutputShift)) &
                            ((1u << width) - 1u));
}

void CpmXBAR::RebuildCommentItems() {
    std::vector<COMMENTITEM> items;
    if (HasControlBlock()) {
        const int selectionRegisters = (OutputCount() + 1) / 2;
        for (int output = 0; output < kControlOutputs && IsOutput(output); ++output) {
            // An output's requests are listed once any of them is set up.
            const std::uint32_t control = Item(selectionRegisters + output / 2).dwValue;
            const int shift = (output % 2) * kOddOutputShift;
            if (((control >> shift) & ((2u << kEdgeHigh) - 1u)) == 0)
                continue;
            const std::size_t at = static_cast<std::size_t>(output);
            items.push_back({&m_dmaEnable[at], 0});
            items.push_back({&m_interruptEnable[at], 0});
            items.push_back({&m_edge[at], 0});
        }
    }
    // The routed outputs: those that select anything but the first input.
    for (int output = 0; output < OutputCount(); ++output) {
        if (SelectedInput(output) != 0)
            items.push_back({&m_outputDialogs[static_cast<std::size_t>(output)]->Selection(), 0});
    }
    ClearCommentItems();
    AddCommentItems(items);
}

void CpmXBAR::GetSummary(std::string& text) const {
    // The routed outputs change with the selections: the entries are rebuilt before reading.
    const_cast<CpmXBAR*>(this)->RebuildCommentItems();
    CModule::GetSummary(text);
}

void CpmXBAR::CheckWarnings() {
    CModule::CheckWarnings();
    for (int output = 0; output < OutputCount(); ++output) {
        const hwc::tCrossbarSourceCheck check = CheckOutputSource(output);
        const std::string text =
            check.passes ? std::string()
                         : Format("Cross Bar output \"%s\" has selected %s",
                                  m_outputs[static_cast<std::size_t>(output)].label.c_str(),
                                  check.message.c_str());
        SetWarning(*this, OutputControlId(output, CpmXBAR_OutDlg::kWarningId), !check.passes, text,
                   text);
    }
}

// --- What the crossbar answers ---

bool CpmXBAR::IsOutputConfigured(int output) const {
    return CheckOutputSource(output).passes;
}

int CpmXBAR::OutputMode(int output) const {
    return IsOutput(output) ? SelectedInput(output) : -1;
}

hwc::tCrossbarSourceCheck CpmXBAR::CheckOutputSource(int output) const {
    if (!IsOutput(output))
        return {};
    const int input = SelectedInput(output);
    if (input < 0 || static_cast<std::size_t>(input) >= m_sources.size() ||
        !m_sources[static_cast<std::size_t>(input)])
        return {};
    const auto problem = hwc::xbar::CheckSource(*this, *m_sources[static_cast<std::size_t>(input)]);
    if (!problem)
        return {};
    return {false, *problem};
}

bool CpmXBAR::IsSignalInUse(std::string_view signal) const {
    int input = -1;
    const std::size_t slash = signal.find('/');
    if (slash != std::string_view::npos) {
        const auto first = SignalNumber(signal.substr(0, slash), "XB_IN");
        const auto second = SignalNumber(signal.substr(slash + 1), "XB_IN");
        if (!first || !second)
            return false;
        // On crossbar B of FamE and FamF the pin feeds the second of the two inputs.
        const bool secondCounts = InstanceName() == kCrossbarB && (IsProcessorGroup(*this, kFamE) ||
                                                                   IsProcessorGroup(*this, kFamF));
        input = secondCounts ? *second : *first;
    } else if (const auto number = SignalNumber(signal, "XB_IN")) {
        input = *number;
    } else if (const auto output = SignalNumber(signal, "XB_OUT")) {
        return IsOutput(*output) && SelectedInput(*output) != 0;
    } else {
        return false;
    }
    for (int output = 0; output < OutputCount(); ++output) {
        if (SelectedInput(output) == input)
            return true;
    }
    return false;
}

bool CpmXBAR::IsPinFunctionUsed(const std::string& signal) const {
    const std::string_view first = std::string_view(signal).substr(0, signal.find('/'));
    const bool crossbarSignal =
        SignalNumber(signal, "XB_OUT").has_value() || SignalNumber(first, "XB_IN").has_value();
    return crossbarSignal ? IsSignalInUse(signal) : CModule::IsPinFunctionUsed(signal);
}

std::string CpmXBAR::OutputLabel(int output) const {
    if (!IsOutput(output))
        return Format("Crossbar output %d.", output);
    return m_outputs[static_cast<std::size_t>(output)].label + ".";
}

std::optional<hwc::tCrossbarField> CpmXBAR::OutputField(int output) const {
    if (!IsOutput(output) || output / 2 >= ItemCount())
        return std::nullopt;
    return hwc::tCrossbarField{std::string(hwc::FieldText(Item(output / 2).szName)),
                               (output % 2) * kOddOutputShift, FieldWidth()};
}

std::vector<std::string> CpmXBAR::InputNames() const {
    // A field of w bits holds inputs 0 to 2^w - 1; later ones would be stored as others.
    const std::size_t fits = std::size_t{1} << FieldWidth();
    std::vector<std::string> names;
    for (std::size_t input = 0; input < m_inputs.size() && input < fits; ++input)
        names.push_back(m_inputs[input].name);
    return names;
}
