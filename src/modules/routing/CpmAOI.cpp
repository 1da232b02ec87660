#include "modules/routing/CpmAOI.h"

#include "base/NumberScan.h"
#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "model/ModuleSubDlg.h"

using hwc::Format;

namespace {

using namespace hwc::RegFlag;

// Two registers per event: terms 0 and 1, then terms 2 and 3.
const tPerCfgDef kRegisters[] = {
    {"BFCRT010_INIT", 0, DW16}, {"BFCRT230_INIT", 0, DW16}, {"BFCRT011_INIT", 0, DW16},
    {"BFCRT231_INIT", 0, DW16}, {"BFCRT012_INIT", 0, DW16}, {"BFCRT232_INIT", 0, DW16},
    {"BFCRT013_INIT", 0, DW16}, {"BFCRT233_INIT", 0, DW16},
};
constexpr int kRegisterCount = static_cast<int>(std::size(kRegisters));

// The event number of a parameter line: a whole "%i" number from 0 to 3.
std::optional<int> EventIndex(const std::string& key) {
    const std::optional<hwc::ScannedInteger> number = hwc::ScanInteger(key);
    if (!number || number->overflow || number->end != key.size() || number->value < 0 ||
        number->value >= CpmAOI::kEventCount)
        return std::nullopt;
    return static_cast<int>(number->value);
}

std::string EventCaption(int event) {
    return Format("AOI Event %d", event);
}

} // namespace

// --- Event pages ---

CpmAOI_Dlg::CpmAOI_Dlg(CpmAOI& module, int event)
    : m_module(module), m_event(event), m_summary([this] {
          return Format("Event %d = %s", m_event, hwc::AoiExpression(Registers()).c_str());
      }) {}

void CpmAOI_Dlg::SetLine(const hwc::tLogicLine& line) {
    m_inputs.SetNames(line.inputs, static_cast<int>(line.inputs.size()));
    m_output = line.output;
}

const CDialogTemplate& CpmAOI_Dlg::Template() {
    static const CDialogTemplate page = [] {
        tLayoutItem group = dlg::Group("AOI EVENT", {}, kGroupId);
        for (tLayoutItem& row : CLogicInputs::Layout())
            group.children.push_back(std::move(row));
        group.children.push_back(dlg::Label("Product terms, one per line (ORed):"));
        group.children.push_back(CAoiTermFields::Layout());
        group.children.push_back(dlg::Label("", kOutputId));
        return CDialogTemplate(CpmAOI::kFirstEventPageId, {group});
    }();
    return page;
}

std::array<std::uint32_t, 2> CpmAOI_Dlg::Registers() const {
    return {m_module.Item(2 * m_event).dwValue, m_module.Item(2 * m_event + 1).dwValue};
}

void CpmAOI_Dlg::Bind() {
    const std::string caption = EventCaption(m_event);
    m_terms.Bind(m_module.Item(2 * m_event), m_module.Item(2 * m_event + 1),
                 [&](int term) { return Format("%s, product term %d", caption.c_str(), term); });
    m_inputs.Bind(m_module, caption, m_module.ForeignItems());
}

std::string CpmAOI_Dlg::OutputText() const {
    if (const std::optional<std::string> input = hwc::CrossbarInputText(m_module, m_output))
        return Format("%s (%s)", input->c_str(), m_output.c_str());
    return m_output;
}

void CpmAOI_Dlg::Attach(CModuleSubDlg& page) {
    page.SetControlText(kGroupId, Format("AOI EVENT%d", m_event));
    // The crossbar may have built its registers after this module bound its own.
    m_inputs.Bind(m_module, EventCaption(m_event), m_module.ForeignItems());
    m_inputs.Attach(m_module, page);
    m_terms.Attach(page);
    page.SetControlText(kOutputId, "Output: " + OutputText());
    page.ShowControl(kOutputId, !m_output.empty());
}

void CpmAOI_Dlg::Refresh() {
    m_inputs.Refresh();
    m_terms.Refresh();
}

void CpmAOI_Dlg::CheckInputs() {
    const bool checked = CModule::IsProcessorGroup(m_module, CModule::kFamE) ||
                         CModule::IsProcessorGroup(m_module, CModule::kFamF);
    std::array<bool, 4> used{};
    for (int input = 0; input < hwc::kAoiInputCount; ++input)
        used[static_cast<std::size_t>(input)] = hwc::AoiInputUsed(Registers(), input);
    const int event = m_event;
    m_inputs.CheckWarnings(m_module, checked, used, EventCaption(event),
                           [event](int input) { return CpmAOI::InputLabelId(event, input); });
}

// --- Module ---

CpmAOI::CpmAOI(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, kRegisters, kRegisterCount) {}

CpmAOI::~CpmAOI() = default;

const CDialogTemplate* CpmAOI::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId,
        {dlg::Label("Each event is the OR of four product terms, each term the AND of its inputs."),
         dlg::Label("No logic event is described for this processor.", kNoEventsId),
         dlg::Placeholder(kFirstEventPageId), dlg::Placeholder(kFirstEventPageId + 1),
         dlg::Placeholder(kFirstEventPageId + 2), dlg::Placeholder(kFirstEventPageId + 3)});
    return &page;
}

CpmAOI_Dlg* CpmAOI::EventDialog(int event) const {
    if (event < 0 || event >= kEventCount)
        return nullptr;
    return m_events[static_cast<std::size_t>(event)].get();
}

int CpmAOI::InputLabelId(int event, int input) {
    return CPage::SubPageControlId(kFirstEventPageId + event, CLogicInputs::kFirstNameId + input);
}

// The architecture file's module information arrives after construction. The events are made
// once: a page may already hold their bindings.
void CpmAOI::ReadParameters() {
    if (m_parametersRead)
        return;
    m_parametersRead = true;
    std::array<std::optional<hwc::tLogicLine>, kEventCount> lines;
    for (const std::string& text : hwc::Split(Descriptor().ModuleInfoText(), '\n')) {
        std::optional<hwc::tLogicLine> line = hwc::ParseLogicLine(text);
        if (!line)
            continue;
        // A repeated event takes its last line.
        if (const std::optional<int> event = EventIndex(line->key))
            lines[static_cast<std::size_t>(*event)] = std::move(line);
    }
    for (int event = 0; event < kEventCount; ++event) {
        const auto& line = lines[static_cast<std::size_t>(event)];
        if (!line)
            continue;
        auto dialog = std::make_unique<CpmAOI_Dlg>(*this, event);
        dialog->SetLine(*line);
        m_events[static_cast<std::size_t>(event)] = std::move(dialog);
    }
}

void CpmAOI::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    ReadParameters();
    ForeignItems().clear();
    ClearCommentItems();
    for (auto& dialog : m_events) {
        if (!dialog)
            continue;
        dialog->Bind();
        AddCommentItems({{&dialog->Summary(), 0}});
    }
}

void CpmAOI::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    bool any = false;
    for (int event = 0; event < kEventCount; ++event) {
        CpmAOI_Dlg* dialog = EventDialog(event);
        // Events the processor lacks leave no gap in the page.
        page.ShowControl(kFirstEventPageId + event, dialog != nullptr);
        if (!dialog)
            continue;
        any = true;
        if (CModuleSubDlg* placed =
                page.StackSubPage(kFirstEventPageId + event, CpmAOI_Dlg::Template()))
            dialog->Attach(*placed);
    }
    page.ShowControl(kNoEventsId, !any);
}

void CpmAOI::UpdateControlStates() {
    // The crossbar's page edits the same selections.
    for (auto& dialog : m_events) {
        if (dialog)
            dialog->Refresh();
    }
}

void CpmAOI::CheckWarnings() {
    for (auto& dialog : m_events) {
        if (dialog)
            dialog->CheckInputs();
    }
    CModule::CheckWarnings();
}
