#include "modules/routing/CpmEVTG.h"

#include <string>

#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "model/DisplayText.h"
#include "model/ModuleSubDlg.h"

using hwc::Format;

namespace {

using namespace hwc::RegFlag;

constexpr int kRegisterCount = CpmEVTG::kChannelCount * CpmEVTG::kItemsPerChannel;

// The register names of a channel after its letter, in table order.
constexpr const char* kChannelRegisters[CpmEVTG::kItemsPerChannel] = {
    "AOI0_BFT01", "AOI0_BFT23", "AOI1_BFT01", "AOI1_BFT23", "CTRL", "AOI0_FILT", "AOI1_FILT"};

const tPerCfgDef* RegisterTable() {
    static const std::array<std::string, kRegisterCount> names = [] {
        std::array<std::string, kRegisterCount> made;
        for (int channel = 0; channel < CpmEVTG::kChannelCount; ++channel) {
            for (int item = 0; item < CpmEVTG::kItemsPerChannel; ++item)
                made[static_cast<std::size_t>(CpmEVTG::ItemIndex(channel, item))] =
                    Format("%c_%s_INIT", 'A' + channel, kChannelRegisters[item]);
        }
        return made;
    }();
    static const std::array<tPerCfgDef, kRegisterCount> table = [] {
        std::array<tPerCfgDef, kRegisterCount> made{};
        for (std::size_t i = 0; i < names.size(); ++i)
            made[i] = {names[i].c_str(), 0, DW16};
        return made;
    }();
    return table.data();
}

// Register fields of a channel.
struct tBits {
    int low;
    int high;
};
constexpr tBits kOutputStageBits{0, 2};  // CTRL
constexpr tBits kInitialValueBits{4, 4}; // CTRL
constexpr int kFirstSyncBit = 8;         // CTRL, + input
constexpr tBits kFilterPeriodBits{0, 7}; // AOIn_FILT, in bus clocks; 0 turns the filter off
constexpr tBits kFilterCountBits{8, 10}; // AOIn_FILT
constexpr int kLatencyExtraSamples = 3;
constexpr int kLatencyExtraClocks = 2;

std::uint32_t FieldOf(std::uint32_t value, tBits bits) {
    const std::uint32_t width = static_cast<std::uint32_t>(bits.high - bits.low + 1);
    return (value >> bits.low) & ((1u << width) - 1u);
}

const std::vector<std::string>& OutputStageItems() {
    static const std::vector<std::string> items = {
        "Bypass", "Set-reset flip-flop", "Toggle flip-flop", "D flip-flop", "JK flip-flop",
        "Latch",  "Reserved (6)",        "Reserved (7)"};
    return items;
}

// What the two blocks do in each output stage.
constexpr const char* kStageRoles[] = {
    "Output A follows AOI0, output B follows AOI1.",
    "AOI0 sets the output, AOI1 resets it.",
    "AOI0 is the toggle input, AOI1 the clock.",
    "AOI0 is the data input, AOI1 the clock.",
    "AOI0 is the J input, AOI1 the K input.",
    "AOI0 is the data input, AOI1 the latch enable.",
};

std::optional<int> ChannelOfKey(const std::string& key) {
    if (key.size() != 1)
        return std::nullopt;
    const char letter = static_cast<char>(key[0] & ~0x20); // upper case
    if (letter < 'A' || letter >= 'A' + CpmEVTG::kChannelCount)
        return std::nullopt;
    return letter - 'A';
}

tLayoutItem NaturalWidth(tLayoutItem item) {
    // A sub-page's rows give their controls a fixed width; a column keeps its own.
    tLayoutItem column = dlg::Column({});
    column.children.push_back(std::move(item));
    return column;
}

} // namespace

// --- Logic blocks ---

CpmEVTG_EVENT_AOI_Dlg::CpmEVTG_EVENT_AOI_Dlg(CpmEVTG& module, int channel, int block)
    : m_module(module), m_channel(channel), m_block(block) {}

const CDialogTemplate& CpmEVTG_EVENT_AOI_Dlg::Template() {
    static const CDialogTemplate page = [] {
        tLayoutItem group = dlg::Group("AOI", {}, kGroupId);
        group.children.push_back(dlg::Label("Product terms, one per line (ORed):"));
        group.children.push_back(CAoiTermFields::Layout());
        group.children.push_back(
            dlg::Row({dlg::Label("Filter sample count:"),
                      dlg::DropList(kFilterCountId, {"0", "1", "2", "3", "4", "5", "6", "7"})}));
        group.children.push_back(
            dlg::Row({dlg::Label("Filter sample period:"), dlg::Edit(kFilterPeriodId)}));
        group.children.push_back(
            dlg::Row({dlg::Label("Filter latency:"), dlg::ReadOnly(kLatencyId)}));
        return CDialogTemplate(CpmEVTG_EVENT_Dlg::kFirstBlockPageId, {group});
    }();
    return page;
}

std::array<std::uint32_t, 2> CpmEVTG_EVENT_AOI_Dlg::Registers() const {
    const int first =
        CpmEVTG::ItemIndex(m_channel, m_block == 0 ? CpmEVTG::kAoi0Bft01 : CpmEVTG::kAoi1Bft01);
    return {m_module.Item(first).dwValue, m_module.Item(first + 1).dwValue};
}

void CpmEVTG_EVENT_AOI_Dlg::Bind() {
    const int first =
        CpmEVTG::ItemIndex(m_channel, m_block == 0 ? CpmEVTG::kAoi0Bft01 : CpmEVTG::kAoi1Bft01);
    const std::string caption = Format("Channel %c AOI%d", 'A' + m_channel, m_block);
    m_terms.Bind(m_module.Item(first), m_module.Item(first + 1),
                 [&](int term) { return Format("%s, product term %d", caption.c_str(), term); });
    tPerCfgItem& filter = m_module.Item(
        CpmEVTG::ItemIndex(m_channel, m_block == 0 ? CpmEVTG::kAoi0Filt : CpmEVTG::kAoi1Filt));
    const std::string count = caption + ", filter sample count";
    m_filterCount.Bind(filter, kFilterCountBits.low, kFilterCountBits.high, 0, count.c_str());
    m_filterCount.Enable(true);
    const std::string period = caption + ", filter sample period";
    m_filterPeriod.Bind(filter, kFilterPeriodBits.low, kFilterPeriodBits.high, 0, period.c_str(),
                        false, 0, 0, true);
    m_filterPeriod.Enable(true);
}

void CpmEVTG_EVENT_AOI_Dlg::Attach(CModuleSubDlg& page) {
    page.SetControlText(kGroupId, Format("AOI%d", m_block));
    m_terms.Attach(page);
    if (CPageControl* control = page.FindControl(kFilterCountId))
        m_filterCount.Attach(*control);
    if (CPageControl* control = page.FindControl(kFilterPeriodId))
        m_filterPeriod.Attach(*control);
    ShowLatency();
}

void CpmEVTG_EVENT_AOI_Dlg::Refresh() {
    m_terms.Refresh();
    m_filterCount.Refresh();
    m_filterPeriod.Refresh();
}

void CpmEVTG_EVENT_AOI_Dlg::ShowLatency() {
    const int id = CPage::SubPageControlId(
        CpmEVTG_EVENT_Dlg::kFirstBlockPageId + 2 * m_channel + m_block, kLatencyId);
    if (CPage* page = m_module.Page())
        page->SetControlText(id, m_module.LatencyText(m_channel, m_block));
}

// --- Channels ---

CpmEVTG_EVENT_Dlg::CpmEVTG_EVENT_Dlg(CpmEVTG& module, int channel)
    : m_module(module), m_channel(channel), m_summary([this] {
          const std::uint32_t ctrl =
              m_module.Item(CpmEVTG::ItemIndex(m_channel, CpmEVTG::kCtrl)).dwValue;
          return Format("Channel %c: AOI0 = %s, AOI1 = %s, %s, initial value %u", 'A' + m_channel,
                        hwc::AoiExpression(Block(0).Registers()).c_str(),
                        hwc::AoiExpression(Block(1).Registers()).c_str(),
                        OutputStageItems()[FieldOf(ctrl, kOutputStageBits)].c_str(),
                        FieldOf(ctrl, kInitialValueBits));
      }) {
    for (int block = 0; block < CpmEVTG::kBlockCount; ++block)
        m_blocks[static_cast<std::size_t>(block)] =
            std::make_unique<CpmEVTG_EVENT_AOI_Dlg>(module, channel, block);
    // Without module information the inputs are known by their letters alone.
    m_inputs.SetNames({}, hwc::kAoiInputCount);
}

const CDialogTemplate& CpmEVTG_EVENT_Dlg::Template(int channel) {
    static const std::array<std::unique_ptr<CDialogTemplate>, CpmEVTG::kChannelCount> pages = [] {
        std::array<std::unique_ptr<CDialogTemplate>, CpmEVTG::kChannelCount> made;
        for (int c = 0; c < CpmEVTG::kChannelCount; ++c) {
            tLayoutItem group = dlg::Group("Channel", {}, kGroupId);
            for (tLayoutItem& row : CLogicInputs::Layout())
                group.children.push_back(std::move(row));
            for (int block = 0; block < CpmEVTG::kBlockCount; ++block)
                group.children.push_back(dlg::Placeholder(kFirstBlockPageId + 2 * c + block));
            group.children.push_back(dlg::Row(
                {dlg::Label("Output stage:"), dlg::DropList(kOutputStageId, OutputStageItems())}));
            group.children.push_back(dlg::Label("", kStageRoleId));
            group.children.push_back(dlg::Row(
                {dlg::Label("Initial value:"), dlg::DropList(kInitialValueId, {"0", "1"})}));
            tLayoutItem sync = dlg::Row({dlg::Label("Synchronise inputs:")});
            for (int input = 0; input < hwc::kAoiInputCount; ++input)
                sync.children.push_back(
                    NaturalWidth(dlg::CheckBox(kFirstSyncId + input, Format("%c", 'A' + input))));
            group.children.push_back(std::move(sync));
            made[static_cast<std::size_t>(c)] = std::make_unique<CDialogTemplate>(
                static_cast<unsigned>(CpmEVTG::kFirstChannelPageId + c),
                std::initializer_list<tLayoutItem>{group});
        }
        return made;
    }();
    return *pages[static_cast<std::size_t>(channel)];
}

std::string CpmEVTG_EVENT_Dlg::Caption() const {
    return Format("EVTG Channel %c", 'A' + m_channel);
}

void CpmEVTG_EVENT_Dlg::SetLine(const hwc::tLogicLine& line) {
    m_inputs.SetNames(line.inputs, static_cast<int>(line.inputs.size()));
}

void CpmEVTG_EVENT_Dlg::Bind() {
    for (auto& block : m_blocks)
        block->Bind();
    tPerCfgItem& ctrl = m_module.Item(CpmEVTG::ItemIndex(m_channel, CpmEVTG::kCtrl));
    const std::string caption = Format("Channel %c", 'A' + m_channel);
    const std::string stage = caption + ", output stage";
    m_outputStage.Bind(ctrl, kOutputStageBits.low, kOutputStageBits.high, 0, stage.c_str());
    m_outputStage.SetItems({}, OutputStageItems());
    m_outputStage.Enable(true);
    const std::string initial = caption + ", initial value";
    m_initialValue.Bind(ctrl, kInitialValueBits.low, kInitialValueBits.high, 0, initial.c_str());
    m_initialValue.SetItems({}, std::vector<std::string>{"0", "1"});
    m_initialValue.Enable(true);
    for (int input = 0; input < hwc::kAoiInputCount; ++input) {
        const std::string sync = Format("%s, synchronise input %c", caption.c_str(), 'A' + input);
        Sync(input).Bind(ctrl, kFirstSyncBit + input, false, sync.c_str());
        Sync(input).Enable(true);
    }
    m_inputs.Bind(m_module, Caption(), m_module.ForeignItems());
}

void CpmEVTG_EVENT_Dlg::Attach(CModuleSubDlg& page) {
    page.SetControlText(kGroupId, Format("Channel %c", 'A' + m_channel));
    // The crossbar may have built its registers after this module bound its own.
    m_inputs.Bind(m_module, Caption(), m_module.ForeignItems());
    m_inputs.Attach(m_module, page);
    if (CPageControl* control = page.FindControl(kOutputStageId))
        m_outputStage.Attach(*control);
    if (CPageControl* control = page.FindControl(kInitialValueId))
        m_initialValue.Attach(*control);
    for (int input = 0; input < hwc::kAoiInputCount; ++input) {
        if (CPageControl* control = page.FindControl(kFirstSyncId + input))
            Sync(input).Attach(*control);
    }
    for (int block = 0; block < CpmEVTG::kBlockCount; ++block) {
        if (CModuleSubDlg* placed = page.StackSubPage(kFirstBlockPageId + 2 * m_channel + block,
                                                      CpmEVTG_EVENT_AOI_Dlg::Template()))
            Block(block).Attach(*placed);
    }
    UpdateState();
}

void CpmEVTG_EVENT_Dlg::Refresh() {
    m_inputs.Refresh();
    m_outputStage.Refresh();
    m_initialValue.Refresh();
    for (CSetBit& sync : m_sync)
        sync.Refresh();
    for (auto& block : m_blocks)
        block->Refresh();
}

void CpmEVTG_EVENT_Dlg::UpdateState() {
    for (auto& block : m_blocks)
        block->ShowLatency();
}

void CpmEVTG_EVENT_Dlg::CheckWarnings() {
    const bool checked = CModule::IsProcessorGroup(m_module, CModule::kFamE) ||
                         CModule::IsProcessorGroup(m_module, CModule::kFamF);
    // The inputs feed both blocks: one that either block takes is in use.
    std::array<bool, 4> used{};
    for (int input = 0; input < hwc::kAoiInputCount; ++input) {
        for (auto& block : m_blocks)
            used[static_cast<std::size_t>(input)] = used[static_cast<std::size_t>(input)] ||
                                                    hwc::AoiInputUsed(block->Registers(), input);
    }
    const int channel = m_channel;
    m_inputs.CheckWarnings(m_module, checked, used, Caption(),
                           [channel](int input) { return CpmEVTG::InputLabelId(channel, input); });

    const int stage = m_module.OutputStage(m_channel);
    const bool reserved = stage >= CpmEVTG::kFirstReservedStage;
    const std::string role = reserved ? std::string() : kStageRoles[stage];
    const std::string warning =
        reserved ? Format("%s: output stage %d is reserved; the channel gives no output",
                          Caption().c_str(), stage)
                 : std::string();
    CModule::SetWarning(m_module, CpmEVTG::StageNoteId(m_channel), reserved,
                        reserved ? warning : role, warning);
}

// --- Module ---

CpmEVTG::CpmEVTG(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, kTemplateId, descriptor, RegisterTable(), kRegisterCount) {
    for (int channel = 0; channel < kChannelCount; ++channel)
        m_channels[static_cast<std::size_t>(channel)] =
            std::make_unique<CpmEVTG_EVENT_Dlg>(*this, channel);
}

CpmEVTG::~CpmEVTG() = default;

const CDialogTemplate* CpmEVTG::DialogTemplate() const {
    static const CDialogTemplate page(
        kTemplateId,
        {dlg::Label("Each channel combines two logic blocks of its inputs A to D."),
         dlg::Placeholder(kFirstChannelPageId), dlg::Placeholder(kFirstChannelPageId + 1),
         dlg::Placeholder(kFirstChannelPageId + 2), dlg::Placeholder(kFirstChannelPageId + 3)});
    return &page;
}

int CpmEVTG::InputLabelId(int channel, int input) {
    return CPage::SubPageControlId(kFirstChannelPageId + channel,
                                   CLogicInputs::kFirstNameId + input);
}

int CpmEVTG::StageNoteId(int channel) {
    return CPage::SubPageControlId(kFirstChannelPageId + channel, CpmEVTG_EVENT_Dlg::kStageRoleId);
}

int CpmEVTG::OutputStage(int channel) const {
    return static_cast<int>(FieldOf(Item(ItemIndex(channel, kCtrl)).dwValue, kOutputStageBits));
}

std::string CpmEVTG::LatencyText(int channel, int block) const {
    const std::uint32_t filter =
        Item(ItemIndex(channel, block == 0 ? kAoi0Filt : kAoi1Filt)).dwValue;
    const std::uint32_t period = FieldOf(filter, kFilterPeriodBits);
    if (period == 0)
        return "OFF";
    const std::uint32_t count = FieldOf(filter, kFilterCountBits);
    const double clocks = (count + kLatencyExtraSamples) * period + kLatencyExtraClocks;
    const double busHz = static_cast<double>(GetBusClock()) * 1000000.0;
    return TimeText(busHz > 0.0 ? clocks / busHz : 0.0, true, "??");
}

// The architecture file's module information arrives after construction: the input names of
// each channel, read once as a page may already show them.
void CpmEVTG::ReadParameters() {
    if (m_parametersRead)
        return;
    m_parametersRead = true;
    for (const std::string& text : hwc::Split(Descriptor().ModuleInfoText(), '\n')) {
        const std::optional<hwc::tLogicLine> line = hwc::ParseLogicLine(text);
        if (!line)
            continue;
        if (const std::optional<int> channel = ChannelOfKey(line->key))
            ChannelDialog(*channel).SetLine(*line);
    }
}

void CpmEVTG::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    ReadParameters();
    ForeignItems().clear();
    ClearCommentItems();
    for (auto& channel : m_channels) {
        channel->Bind();
        AddCommentItems({{&channel->Summary(), 0}});
    }
}

void CpmEVTG::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    for (int channel = 0; channel < kChannelCount; ++channel) {
        if (CModuleSubDlg* placed = page.StackSubPage(kFirstChannelPageId + channel,
                                                      CpmEVTG_EVENT_Dlg::Template(channel)))
            ChannelDialog(channel).Attach(*placed);
    }
}

void CpmEVTG::Recalculate() {
    for (auto& channel : m_channels)
        channel->UpdateState();
}

void CpmEVTG::UpdateControlStates() {
    for (auto& channel : m_channels)
        channel->Refresh();
}

void CpmEVTG::CheckWarnings() {
    for (auto& channel : m_channels)
        channel->CheckWarnings();
    CModule::CheckWarnings();
}
