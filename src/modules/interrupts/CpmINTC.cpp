#include "modules/interrupts/CpmINTC.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <utility>

#include "base/FixedText.h"
#include "base/NumberScan.h"
#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "model/ModuleSubDlg.h"

using namespace hwc;
using namespace hwc::RegFlag;

namespace {

namespace VF = hwc::VectorFlag;

// Processor entries and groups that choose a vector table besides the named families.
constexpr int kEntry5 = 5;
constexpr int kEntry6 = 6;
constexpr int kFlag97 = 97;
constexpr int kFamB = 100;
constexpr int kFlag102 = 102;
constexpr int kFamC = 106;
constexpr int kFlag107 = 107;

struct tVariant {
    CpmINTC::ELayout layout;
    EVectorTable table;
    unsigned templateId;
};

template <class IsGroup> tVariant ClassifyVariant(IsGroup isGroup) {
    using L = CpmINTC::ELayout;
    if (isGroup(CModule::kFamG))
        return {L::FamG, EVectorTable::FamG, CpmINTC::kFamGTemplateId};
    if (isGroup(CModule::kFamA))
        return {L::FamA, EVectorTable::FamA, CpmINTC::kFamATemplateId};
    if (isGroup(CModule::kFamE))
        return {L::New, EVectorTable::FamE, CpmINTC::kTemplateId};
    if (isGroup(CModule::kFamF))
        return {L::New, EVectorTable::FamF, CpmINTC::kTemplateId};
    if (isGroup(CModule::kFamD))
        return {L::New, EVectorTable::FamD, CpmINTC::kTemplateId};
    if (isGroup(kEntry5))
        return {L::Classic, EVectorTable::Entry5, CpmINTC::kTemplateId};
    if (isGroup(kEntry6))
        return {L::Classic, EVectorTable::Entry6, CpmINTC::kTemplateId};
    if (isGroup(kFlag102))
        return {L::Classic, EVectorTable::FamK102, CpmINTC::kTemplateId};
    if (isGroup(kFlag97))
        return {L::Classic, EVectorTable::Flag97, CpmINTC::kTemplateId};
    if (isGroup(kFamB))
        return {L::Classic, EVectorTable::FamB, CpmINTC::kTemplateId};
    if (isGroup(kFamC))
        return {L::Classic, EVectorTable::FamC, CpmINTC::kTemplateId};
    // FamK, and a document that does not name its processor.
    return {L::Classic, EVectorTable::FamK, CpmINTC::kTemplateId};
}

bool HostGroup(int entry) {
    const auto* groups = dynamic_cast<const CModule::IProcessorGroups*>(HostBeingOpened());
    return groups && groups->IsProcessorGroup(entry);
}

// The registers before the two items of every source.
const tPerCfgDef kFamGFixed[] = {
    {"-IRQA_ENABLED", 0, DW8 | DECVALUE},
    {"-IRQB_ENABLED", 0, DW8 | DECVALUE},
    {"-IRQA_TRIGGER", 0, DW8 | STRVALUE},
    {"-IRQB_TRIGGER", 0, DW8 | STRVALUE},
};
const tPerCfgDef kFastFixed[] = {
    {"ICTL_INIT", 0, DW16 | NODEFAULT}, {"FIM0_INIT", 0, DW16 | DECVALUE},
    {"FIM1_INIT", 0, DW16 | DECVALUE},  {"FIVA0_INIT", 0, DW8 | STRVALUE},
    {"FIVA1_INIT", 0, DW8 | STRVALUE},
};
const tPerCfgDef kFamAFixed[] = {
    {"ICSR_INIT", 0, DW16 | NODEFAULT},
    {"IAR0_INIT", 0, DW16},
    {"IAR1_INIT", 0, DW16},
    {"IAR2_INIT", 0, DW16},
    {"FASTINT_ENABLE", 0, DW8 | DECVALUE},
};

std::span<const tPerCfgDef> FixedRegisters(CpmINTC::ELayout layout) {
    switch (layout) {
    case CpmINTC::ELayout::FamG:
        return kFamGFixed;
    case CpmINTC::ELayout::FamA:
        return kFamAFixed;
    default:
        return kFastFixed;
    }
}

// Fixed items by position.
constexpr int kIrqAEnableItem = 0;
constexpr int kIrqBEnableItem = 1;
constexpr int kIrqATriggerItem = 2;
constexpr int kIrqBTriggerItem = 3;
constexpr int kControlItem = 0;
constexpr int kFirstFastNumberItem = 1;
constexpr int kFirstFastNameItem = 3;
constexpr int kFirstUserItem = 1; // IAR0 .. IAR2
constexpr int kFastEnableItem = 4;

// Register fields.
constexpr int kGlobalMaskBit = 5;
constexpr int kFastInterruptLow = 8;
constexpr int kFastInterruptHigh = 13;
constexpr int kUserFieldWidth = 6;
// The debug-port transfer interrupts among the FamA control bits.
constexpr int kEOnCETransmitEmptyBit = 1;
constexpr int kEOnCEReceiveFullBit = 0;

// The priority entries, in list order: flag bit, display text, register value.
struct tPriority {
    std::uint16_t flag;
    const char* text;
    const char* value;
};
constexpr tPriority kPriorities[] = {
    {VF::DISABLED, "Disabled", "INTC_DISABLED"}, {VF::LEVEL0, "Level 0", "INTC_LEVEL0"},
    {VF::LEVEL1, "Level 1", "INTC_LEVEL1"},      {VF::LEVEL2, "Level 2", "INTC_LEVEL2"},
    {VF::LEVEL3, "Level 3", "INTC_LEVEL3"},
};
constexpr std::uint16_t kAnyLevel = VF::LEVEL0 | VF::LEVEL1 | VF::LEVEL2 | VF::LEVEL3;
// FamG sources are only enabled or not.
constexpr const char* kEnabledText = "Enabled";
constexpr const char* kEnabledValue = "INTC_ENABLED";
constexpr const char* kDisabledValue = "INTC_DISABLED";

// The trigger modes of the external request pins (FamG writes them as symbols).
const std::vector<std::string> kTriggerTexts = {"Level sensitive", "Falling edge"};
const std::vector<std::string> kTriggerValues = {"ITCN_IRQ_LEVEL", "ITCN_IRQ_FALLING"};

// A valid user vector source lies between these, outside the core range.
constexpr int kFirstUserSource = 10;
constexpr int kFirstCoreGap = 34;
constexpr int kLastCoreGap = 39;

constexpr const char* kSourceRoutine0 = "Start";

std::uint32_t Field(std::uint32_t value, int low, int high) {
    const std::uint32_t width = static_cast<std::uint32_t>(high - low + 1);
    return (value >> low) & ((1u << width) - 1u);
}

// The description without its number and point: "SCI 0 Transmitter Empty".
std::string SourceName(const char* description) {
    std::string_view text(description);
    const std::size_t point = text.find(". ");
    if (point != std::string_view::npos)
        text.remove_prefix(point + 2);
    return std::string(text);
}

// The text of a string register; empty while the register is not given.
std::string_view ItemText(const tPerCfgItem& item) {
    return item.dwValue != 0 ? Trim(FieldText(item.szValue)) : std::string_view();
}

void SetItemText(tPerCfgItem& item, std::string_view text) {
    CopyCut(item.szValue, text);
    item.dwValue = text.empty() ? 0 : 1;
}

void TakeAsSaved(tPerCfgItem& item) {
    item.dwSaved = item.dwValue;
    std::memcpy(item.szSaved, item.szValue, sizeof(item.szSaved));
}

// --- Page templates ---

tLayoutItem Column(std::vector<tLayoutItem> children) {
    tLayoutItem column;
    column.type = tLayoutNode::EType::Column;
    column.children = std::move(children);
    return column;
}

tLayoutItem SourceRows(int count) {
    std::vector<tLayoutItem> rows;
    rows.push_back(dlg::Row(
        {dlg::Label("Interrupt Source"), dlg::Label("ISR Name:"), dlg::Label("Priority:")}));
    for (int source = 0; source < count; ++source)
        rows.push_back(dlg::Placeholder(CpmINTC::kFirstSourceRowId + source));
    tLayoutItem group = dlg::Group("Interrupt sources", {});
    group.children.push_back(Column(std::move(rows)));
    return group;
}

tLayoutItem FastInterruptRow(int n, int numberId, int nameId, int rangeId, int bothId) {
    return Column({dlg::Row({dlg::Label(Format("Fast interrupt %d:", n)), dlg::Edit(numberId),
                             dlg::Label("ISR Name:"), dlg::Edit(nameId)}),
                   dlg::Label("", rangeId), dlg::Label("", bothId)});
}

std::unique_ptr<CDialogTemplate> MakeTemplate(CpmINTC::ELayout layout, unsigned id, int count) {
    using L = CpmINTC::ELayout;
    const tLayoutItem mask =
        dlg::CheckBox(CpmINTC::kGlobalMaskId, "All maskable interrupts disabled");
    switch (layout) {
    case L::FamG:
        return std::make_unique<CDialogTemplate>(
            id, std::initializer_list<tLayoutItem>{
                    dlg::Group("Interrupt controller", {mask}),
                    dlg::Group(
                        "External interrupt requests",
                        {dlg::Row({dlg::CheckBox(CpmINTC::kIrqAEnableId, "IRQ A enabled"),
                                   dlg::Label("IRQ A trigger mode:", CpmINTC::kIrqATriggerLabelId),
                                   dlg::DropList(CpmINTC::kIrqATriggerId)}),
                         dlg::Row({dlg::CheckBox(CpmINTC::kIrqBEnableId, "IRQ B enabled"),
                                   dlg::Label("IRQ B trigger mode:", CpmINTC::kIrqBTriggerLabelId),
                                   dlg::DropList(CpmINTC::kIrqBTriggerId)})}),
                    SourceRows(count)});
    case L::FamA: {
        std::vector<tLayoutItem> users;
        for (int k = 0; k < CpmINTC::kUserVectorCount; ++k) {
            users.push_back(
                dlg::Row({dlg::Label(Format("USER%d interrupt:", k + 1)),
                          dlg::Edit(CpmINTC::kFirstUserNumberId + k), dlg::Label("ISR Name:"),
                          dlg::Edit(CpmINTC::kFirstUserNameId + k)}));
            users.push_back(dlg::Label("", CpmINTC::kFirstUserValidityId + k));
            users.push_back(dlg::Label("", CpmINTC::kFirstUserBothId + k));
            users.push_back(dlg::Label("", CpmINTC::kFirstUserRepeatedId + k));
        }
        tLayoutItem userGroup = dlg::Group("User vectors", {});
        userGroup.children.push_back(Column(std::move(users)));
        static constexpr const char* kEOnCE[CpmINTC::kEOnCECount] = {
            "Step counter", "Breakpoint unit", "Trace buffer", "Transmit register empty",
            "Receive register full"};
        std::vector<tLayoutItem> boxes;
        for (int i = 0; i < CpmINTC::kEOnCECount; ++i)
            boxes.push_back(dlg::CheckBox(CpmINTC::kFirstEOnCEId + i, kEOnCE[i]));
        tLayoutItem debugGroup = dlg::Group("JTAG/EOnCE Interrupts:", {});
        debugGroup.children.push_back(Column(std::move(boxes)));
        return std::make_unique<CDialogTemplate>(
            id,
            std::initializer_list<tLayoutItem>{
                dlg::Group("Interrupt controller",
                           {mask, dlg::CheckBox(CpmINTC::kFastEnableId, "Fast interrupt enable"),
                            dlg::Row({dlg::Label("Fast interrupt:"),
                                      dlg::Edit(CpmINTC::kFastInterruptId)})}),
                userGroup, debugGroup, SourceRows(count)});
    }
    case L::Classic:
    case L::New:
        break;
    }
    return std::make_unique<CDialogTemplate>(
        id,
        std::initializer_list<tLayoutItem>{
            dlg::Group("Interrupt controller",
                       {mask,
                        dlg::Row({dlg::Label("IRQ A trigger mode:", CpmINTC::kIrqATriggerLabelId),
                                  dlg::DropList(CpmINTC::kIrqAModeId,
                                                {"Level sensitive", "Falling edge"})}),
                        dlg::Row({dlg::Label("IRQ B trigger mode:", CpmINTC::kIrqBTriggerLabelId),
                                  dlg::DropList(CpmINTC::kIrqBModeId,
                                                {"Level sensitive", "Falling edge"})})}),
            dlg::Group("Fast interrupts",
                       {FastInterruptRow(0, CpmINTC::kFast0NumberId, CpmINTC::kFast0NameId,
                                         CpmINTC::kFast0RangeId, CpmINTC::kFast0BothId),
                        FastInterruptRow(1, CpmINTC::kFast1NumberId, CpmINTC::kFast1NameId,
                                         CpmINTC::kFast1RangeId, CpmINTC::kFast1BothId),
                        dlg::Label("", CpmINTC::kFastLevelId)}),
            SourceRows(count)});
}

// One template per layout and table size, kept for the life of the program as pages refer to it.
const CDialogTemplate& PageTemplate(CpmINTC::ELayout layout, unsigned id, int count) {
    static std::mutex mutex;
    static std::map<std::pair<unsigned, int>, std::unique_ptr<CDialogTemplate>> templates;
    const std::lock_guard<std::mutex> lock(mutex);
    auto& slot = templates[{id, count}];
    if (!slot)
        slot = MakeTemplate(layout, id, count);
    return *slot;
}

} // namespace

// --- String list binding ---

void CSetSymbol::BindSymbol(tPerCfgItem& item, const char* description) {
    m_symbolItem = &item;
    Bind(item, false, description);
}

void CSetSymbol::Apply() {
    CSetEnum::Apply();
    const CPageControl* control = GetWnd();
    if (m_symbolItem && control && control->Selection() >= 0 &&
        static_cast<std::size_t>(control->Selection()) < ValueTexts().size())
        m_symbolItem->dwValue = 1;
}

// --- Interrupt row ---

CpmINTC_IntDlg::CpmINTC_IntDlg(CpmINTC& controller, CPage& rowPage, int source)
    : m_controller(controller), m_page(rowPage), m_source(source) {}

void CpmINTC_IntDlg::Attach() {
    const std::string name = SourceName(m_controller.SourceDescription(m_source));
    m_page.SetControlText(CModule::kRowSourceId, m_controller.SourceDescription(m_source));
    m_name.Bind(&m_controller.VectorItem(m_source), (name + " ISR name").c_str());
    if (CPageControl* edit = m_page.FindControl(CModule::kRowIsrNameId))
        m_name.Attach(*edit);
    m_priority.BindSymbol(m_controller.PriorityItem(m_source), (name + " priority").c_str());
    m_priority.SetItems(m_controller.PriorityTexts(m_source),
                        m_controller.PriorityValues(m_source));
    if (CPageControl* list = m_page.FindControl(CModule::kRowPriorityId))
        m_priority.Attach(*list);
    UpdateState(true);
}

void CpmINTC_IntDlg::UpdateState(bool force) {
    const std::uint16_t flags = m_controller.SourceFlags(m_source);
    // A name being typed stays until the edit is left, unless a claim has just replaced it.
    const CPage* outer = &m_page;
    while (outer->Parent())
        outer = outer->Parent();
    if (force || !m_name.GetWnd() || outer->Focused() != m_name.GetWnd())
        m_name.Refresh();
    m_priority.Refresh();
    const bool owned = m_controller.VectorOwner(m_source) != nullptr;
    m_page.EnableControl(CModule::kRowIsrNameId, !(flags & VF::FIXED_NAME) && !owned);
    m_page.EnableControl(CModule::kRowPriorityId, !(flags & (VF::FIXED_LEVEL | VF::NO_LEVEL)));
}

// --- Controller ---

CpmINTC::CpmINTC(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CModule(parent, ClassifyVariant(HostGroup).templateId, descriptor, nullptr, 0) {
    const tVariant variant = ClassifyVariant(HostGroup);
    m_layout = variant.layout;
    m_template = variant.templateId;
    m_table = VectorTable(variant.table);
    InitSources();
    AddCommentItems({{&m_globalMask, 0}});
    if (m_layout == ELayout::FamG)
        AddCommentItems({{&m_irqEnable[0], 0}, {&m_irqEnable[1], 0}});
    if (m_layout == ELayout::Classic)
        AddCommentItems({{&m_irqMode[0], 0}, {&m_irqMode[1], 0}});
    if (m_layout == ELayout::Classic || m_layout == ELayout::New)
        AddCommentItems({{&m_fastNumber[0], 0},
                         {&m_fastName[0], 0},
                         {&m_fastNumber[1], 0},
                         {&m_fastName[1], 0}});
    if (m_layout == ELayout::FamA) {
        AddCommentItems({{&m_fastEnable, 0}});
        for (int k = 0; k < kUserVectorCount; ++k)
            AddCommentItems({{&m_userNumber[k], 0}, {&m_userName[k], 0}});
    }
}

void CpmINTC::InitSources() {
    m_flags.clear();
    for (const tVectorEntry& entry : m_table)
        m_flags.push_back(entry.flags);
    // Sources of peripherals that single processors lack are reserved there.
    auto reserve = [this](std::span<const std::uint8_t> sources) {
        for (std::uint8_t source : sources) {
            if (source < m_flags.size())
                m_flags[source] = VF::RESERVED;
        }
    };
    if (HostGroup(kFamC) && HostGroup(kFlag107))
        reserve(FamC107ReservedSources());
    if (HostGroup(kFamE) || HostGroup(kFamF)) {
        for (const tReservedSources& rule : ReservedSourcesByProcessor()) {
            if (HostGroup(rule.entry))
                reserve(rule.sources);
        }
    }

    const std::span<const tPerCfgDef> fixed = FixedRegisters(m_layout);
    m_fixedCount = static_cast<int>(fixed.size());
    std::vector<std::string> names;
    std::vector<tPerCfgDef> table(fixed.begin(), fixed.end());
    names.reserve(2 * m_flags.size());
    for (std::size_t source = 0; source < m_flags.size(); ++source) {
        names.push_back(Format("-INT_VECTOR_ADDR_%zu", source));
        names.push_back(Format("-INT_PRIORITY_LEVEL_%zu", source));
    }
    for (std::size_t source = 0; source < m_flags.size(); ++source) {
        const std::uint16_t flags = m_flags[source];
        const std::uint32_t vectorFlags =
            DW8 | STRVALUE | ((flags & VF::FIXED_NAME) ? DUMMYREG | NOSHOWLIST : 0);
        const std::uint32_t levelFlags =
            DW8 | STRVALUE | NOSHOWLIST |
            ((flags & (VF::FIXED_LEVEL | VF::NO_LEVEL)) ? DUMMYREG : 0);
        table.push_back({names[2 * source].c_str(), 0, vectorFlags});
        table.push_back({names[2 * source + 1].c_str(), 0, levelFlags});
    }
    const int count = static_cast<int>(table.size());
    SetItemCount(count);
    InitRegisters(nullptr, Items(), count, InstanceName(), {}, table.data(), true);

    // What is fixed shows its fixed value: the reset routine, the one level offered.
    if (!m_flags.empty() && (m_flags[0] & VF::FIXED_NAME)) {
        SetItemText(VectorItem(0), kSourceRoutine0);
        TakeAsSaved(VectorItem(0));
    }
    for (int source = 0; source < SourceCount(); ++source) {
        if (!(m_flags[source] & VF::FIXED_LEVEL) || (m_flags[source] & VF::NO_LEVEL))
            continue;
        const std::vector<std::string> values = PriorityValues(source);
        if (values.size() == 1) {
            SetItemText(PriorityItem(source), values.front());
            TakeAsSaved(PriorityItem(source));
        }
    }
    m_sourceRows.clear();
    for (int source = 0; source < SourceCount(); ++source)
        m_sourceRows.push_back(CInterruptRow{source, nullptr, this});
}

std::uint16_t CpmINTC::SourceFlags(int source) const {
    return IsValidSource(source) ? m_flags[static_cast<std::size_t>(source)] : 0;
}

const char* CpmINTC::SourceDescription(int source) const {
    return IsValidSource(source) ? m_table[static_cast<std::size_t>(source)].description : "";
}

std::string CpmINTC::RoutineName(int source) const {
    if (!IsValidSource(source))
        return {};
    return std::string(ItemText(VectorItem(source)));
}

std::vector<std::string> CpmINTC::PriorityTexts(int source) const {
    const std::uint16_t flags = SourceFlags(source);
    std::vector<std::string> texts;
    if (flags & VF::NO_LEVEL)
        return texts;
    if (m_layout == ELayout::FamG) {
        if (flags & VF::DISABLED)
            texts.emplace_back(kPriorities[0].text);
        if (flags & kAnyLevel)
            texts.emplace_back(kEnabledText);
        return texts;
    }
    for (const tPriority& priority : kPriorities) {
        if (flags & priority.flag)
            texts.emplace_back(priority.text);
    }
    return texts;
}

std::vector<std::string> CpmINTC::PriorityValues(int source) const {
    const std::uint16_t flags = SourceFlags(source);
    std::vector<std::string> values;
    if (flags & VF::NO_LEVEL)
        return values;
    if (m_layout == ELayout::FamG) {
        if (flags & VF::DISABLED)
            values.emplace_back(kPriorities[0].value);
        if (flags & kAnyLevel)
            values.emplace_back(kEnabledValue);
        return values;
    }
    for (const tPriority& priority : kPriorities) {
        if (flags & priority.flag)
            values.emplace_back(priority.value);
    }
    return values;
}

int CpmINTC::PriorityIndex(int source) const {
    if (!IsValidSource(source))
        return -1;
    const std::string_view value = ItemText(PriorityItem(source));
    if (value.empty())
        return -1;
    const std::vector<std::string> values = PriorityValues(source);
    const auto at = std::find(values.begin(), values.end(), value);
    return at == values.end() ? -1 : static_cast<int>(at - values.begin());
}

int CpmINTC::FastInterruptNumber(int n) const {
    if (m_layout != ELayout::Classic && m_layout != ELayout::New)
        return 0;
    // The register is written as a signed decimal: a 16-bit value with its top bit set is
    // negative, and so is a negative number read into the 32 bits.
    std::int64_t value = static_cast<std::int32_t>(Item(kFirstFastNumberItem + n).dwValue);
    if (value >= 0x8000 && value <= 0xFFFF)
        value -= 0x10000;
    return static_cast<int>(std::clamp<std::int64_t>(value, -0x8000, 0x7FFFFFFF));
}

int CpmINTC::UserVectorSource(int k) const {
    if (m_layout != ELayout::FamA || k < 1 || k > kUserVectorCount)
        return 0;
    const int low = ((k - 1) % 2) * 8;
    return static_cast<int>(
        Field(Item(kFirstUserItem + (k - 1) / 2).dwValue, low, low + kUserFieldWidth - 1));
}

bool CpmINTC::IsValidUserSource(int number) const {
    return number >= kFirstUserSource && number < SourceCount() - kUserVectorCount &&
           !(number >= kFirstCoreGap && number <= kLastCoreGap);
}

// --- Bindings ---

void CpmINTC::BindControls(IModuleHost* host) {
    CModule::BindControls(host);
    ReadModuleInfo();
    m_globalMask.Bind(Item(kControlItem), kGlobalMaskBit, false, "");
    const int sources = SourceCount();
    switch (m_layout) {
    case ELayout::FamG:
        m_irqEnable[0].Bind(Item(kIrqAEnableItem), 0, false, "");
        m_irqEnable[1].Bind(Item(kIrqBEnableItem), 0, false, "");
        m_irqTrigger[0].SetItems(kTriggerTexts, kTriggerValues);
        m_irqTrigger[0].BindSymbol(Item(kIrqATriggerItem), "IRQ A trigger mode");
        m_irqTrigger[1].SetItems(kTriggerTexts, kTriggerValues);
        m_irqTrigger[1].BindSymbol(Item(kIrqBTriggerItem), "IRQ B trigger mode");
        break;
    case ELayout::Classic:
    case ELayout::New: {
        if (m_layout == ELayout::Classic) {
            m_irqMode[0].Bind(Item(kControlItem), 0, 0, 0, "IRQ A trigger mode");
            m_irqMode[1].Bind(Item(kControlItem), 1, 1, 0, "IRQ B trigger mode");
        }
        const int high = m_layout == ELayout::New ? 6 : 7;
        const std::uint32_t maximum = sources > 0 ? static_cast<std::uint32_t>(sources - 1) : 0;
        for (int n = 0; n < 2; ++n) {
            m_fastNumber[n].Bind(Item(kFirstFastNumberItem + n), 0, high, 0,
                                 Format("Fast interrupt %d", n).c_str(), false, 0, maximum, true);
            m_fastName[n].Bind(&Item(kFirstFastNameItem + n),
                               Format("Fast interrupt %d ISR name", n).c_str());
        }
        break;
    }
    case ELayout::FamA: {
        m_fastEnable.Bind(Item(kFastEnableItem), 0, false, "");
        m_fastInterrupt.Bind(Item(kControlItem), kFastInterruptLow, kFastInterruptHigh, 0,
                             "Fast interrupt", false, 0, 0, true);
        const std::uint32_t maximum = sources > 7 ? static_cast<std::uint32_t>(sources - 7) : 0;
        for (int k = 0; k < kUserVectorCount; ++k) {
            const int low = (k % 2) * 8;
            m_userNumber[k].Bind(Item(kFirstUserItem + k / 2), low, low + kUserFieldWidth - 1, 0,
                                 Format("USER%d interrupt", k + 1).c_str(), false, 0, maximum,
                                 true);
            const int vector = sources - kUserVectorCount + k;
            if (IsValidSource(vector))
                m_userName[k].Bind(&VectorItem(vector),
                                   Format("USER%d interrupt ISR name", k + 1).c_str());
        }
        for (int i = 0; i < kEOnCECount; ++i)
            m_eonce[i].Bind(Item(kControlItem), kEOnCECount - 1 - i, false, "");
        break;
    }
    }
}

void CpmINTC::ReadModuleInfo() {
    std::string text;
    if (GetModuleInfo("DISSRC", text))
        HideSourceList(text);
    // A pin exists when the architecture file names it with a value other than 0.
    std::uint32_t value = 0;
    m_hasIrqA = GetModuleInfoNumber("IRQA", value) && value != 0;
    value = 0;
    m_hasIrqB = GetModuleInfoNumber("IRQB", value) && value != 0;
    if (m_layout != ELayout::FamG)
        return;
    // A missing pin's registers are not written. The IRQA enable register also holds the
    // global mask, so it stays.
    const std::uint32_t hidden = DUMMYREG | NOSHOWLIST;
    if (!m_hasIrqA)
        Item(kIrqATriggerItem).dwFlags |= hidden;
    if (!m_hasIrqB) {
        Item(kIrqBEnableItem).dwFlags |= hidden;
        Item(kIrqBTriggerItem).dwFlags |= hidden;
    }
}

void CpmINTC::HideSourceList(const std::string& list) {
    for (const std::string& part : Split(list, ',')) {
        const auto number = ScanInteger(part);
        if (!number || number->overflow || number->value < 0 || number->value >= SourceCount())
            continue;
        m_flags[static_cast<std::size_t>(number->value)] |= VF::HIDDEN;
    }
}

// --- Page ---

const CDialogTemplate* CpmINTC::DialogTemplate() const {
    return &PageTemplate(m_layout, m_template, SourceCount());
}

void CpmINTC::AttachControls(CPage& page) {
    CModule::AttachControls(page);
    const CDialogTemplate& rowTemplate = InterruptRowTemplate(true);
    for (CInterruptRow& row : m_sourceRows) {
        const int placeholder = kFirstSourceRowId + row.vector;
        if (SourceFlags(row.vector) & VF::HIDDEN) {
            page.ShowControl(placeholder, false);
            continue;
        }
        auto dialog = std::make_unique<CModuleSubDlg>(rowTemplate, &page);
        dialog->SetVisible(true);
        CPage* rowPage = dialog.get();
        if (!page.InsertSubPage(placeholder, std::move(dialog)))
            continue;
        row.page = rowPage;
        AttachInterruptRowPage(row);
    }

    m_globalMask.AttachTo(page, kGlobalMaskId);
    switch (m_layout) {
    case ELayout::FamG:
        m_irqEnable[0].AttachTo(page, kIrqAEnableId);
        m_irqEnable[1].AttachTo(page, kIrqBEnableId);
        m_irqTrigger[0].AttachTo(page, kIrqATriggerId);
        m_irqTrigger[1].AttachTo(page, kIrqBTriggerId);
        break;
    case ELayout::Classic:
    case ELayout::New:
        if (m_layout == ELayout::Classic) {
            m_irqMode[0].AttachTo(page, kIrqAModeId);
            m_irqMode[1].AttachTo(page, kIrqBModeId);
        }
        m_fastNumber[0].AttachTo(page, kFast0NumberId);
        m_fastName[0].AttachTo(page, kFast0NameId);
        m_fastNumber[1].AttachTo(page, kFast1NumberId);
        m_fastName[1].AttachTo(page, kFast1NameId);
        break;
    case ELayout::FamA:
        m_fastEnable.AttachTo(page, kFastEnableId);
        m_fastInterrupt.AttachTo(page, kFastInterruptId);
        for (int k = 0; k < kUserVectorCount; ++k) {
            m_userNumber[k].AttachTo(page, kFirstUserNumberId + k);
            m_userName[k].AttachTo(page, kFirstUserNameId + k);
        }
        for (int i = 0; i < kEOnCECount; ++i)
            m_eonce[i].AttachTo(page, kFirstEOnCEId + i);
        break;
    }
    UpdateControlStates();
}

void CpmINTC::UpdateControlStates() {
    CPage* page = Page();
    if (!page)
        return;
    if (m_layout == ELayout::FamG) {
        page->ShowControls({kIrqAEnableId, kIrqATriggerId, kIrqATriggerLabelId}, m_hasIrqA);
        page->ShowControls({kIrqBEnableId, kIrqBTriggerId, kIrqBTriggerLabelId}, m_hasIrqB);
    } else if (m_layout == ELayout::Classic) {
        page->ShowControls({kIrqAModeId, kIrqATriggerLabelId}, m_hasIrqA);
        page->ShowControls({kIrqBModeId, kIrqBTriggerLabelId}, m_hasIrqB);
    } else {
        page->ShowControls({kIrqAModeId, kIrqATriggerLabelId, kIrqBModeId, kIrqBTriggerLabelId},
                           false);
    }
    for (CInterruptRow& row : m_sourceRows) {
        if (CpmINTC_IntDlg* dialog = RowDialog(row))
            dialog->UpdateState();
    }
}

bool CpmINTC::ShowInRegistersView(int index, const tPerCfgItem& item) const {
    if ((item.dwFlags & STRVALUE) && ItemText(item).empty())
        return false;
    return CModule::ShowInRegistersView(index, item);
}

// --- Rows of every module ---

void CpmINTC::AttachInterruptRow(CInterruptRow& row) {
    // The row's page may already exist when the document binds its modules again.
    if (row.page)
        AttachInterruptRowPage(row);
}

void CpmINTC::AttachInterruptRowPage(CInterruptRow& row) {
    // A vector outside the table keeps a plain row: there is no register to bind it to.
    if (!row.page || !IsValidSource(row.vector))
        return;
    auto& dialog = m_rowDialogs[row.page];
    dialog = std::make_unique<CpmINTC_IntDlg>(*this, *row.page, row.vector);
    dialog->Attach();
}

CpmINTC_IntDlg* CpmINTC::RowDialog(const CInterruptRow& row) const {
    if (!row.page)
        return nullptr;
    const auto found = m_rowDialogs.find(row.page);
    return found != m_rowDialogs.end() ? found->second.get() : nullptr;
}

void CpmINTC::UpdateRowsOf(int source) {
    auto update = [this, source](const CInterruptRow& row) {
        if (row.vector != source)
            return;
        if (CpmINTC_IntDlg* dialog = RowDialog(row))
            dialog->UpdateState(true);
    };
    for (const CInterruptRow& row : m_sourceRows)
        update(row);
    IModuleHost* host = Host();
    if (!host)
        return;
    for (std::size_t i = 0; i < host->ModuleCount(); ++i) {
        const auto* module = dynamic_cast<const CModule*>(host->ModuleAt(i));
        if (!module || module == this)
            continue;
        for (const CInterruptRow& row : module->InterruptRows()) {
            if (row.controller == this)
                update(row);
        }
    }
}

// --- Services ---

bool CpmINTC::ClaimVector(const CModuleBase* owner, int source, const std::string& routine,
                          bool claim) {
    if (!owner || !IsValidSource(source) || (SourceFlags(source) & VF::FIXED_NAME))
        return false;
    const auto found = m_claims.find(source);
    const CModuleBase* current = found != m_claims.end() ? found->second.owner : nullptr;
    if (claim) {
        if (current && current != owner)
            return false;
        tClaim& entry = m_claims[source];
        // A vector that already holds the claimed routine got it from this driver in an earlier
        // session (through the saved header): releasing it must clear it, not keep it.
        if (!current) {
            const std::string held = RoutineName(source);
            entry = {owner, held == Trim(routine) ? std::string() : held};
        }
        SetItemText(VectorItem(source), Trim(routine));
    } else {
        if (current != owner)
            return false;
        SetItemText(VectorItem(source), found->second.keptName);
        m_claims.erase(found);
    }
    UpdateRowsOf(source);
    return true;
}

const CModuleBase* CpmINTC::VectorOwner(int source) const {
    const auto found = m_claims.find(source);
    return found != m_claims.end() ? found->second.owner : nullptr;
}

std::optional<tUserVector> CpmINTC::UserVectorOf(int source) const {
    // Source 0 is what an unassigned user vector holds, never a user vector's source.
    if (m_layout != ELayout::FamA || source <= 0)
        return std::nullopt;
    for (int k = 1; k <= kUserVectorCount; ++k) {
        if (UserVectorSource(k) == source)
            return tUserVector{k, RoutineName(SourceCount() - kUserVectorCount + k - 1)};
    }
    return std::nullopt;
}

bool CpmINTC::DebugPortInterruptsEnabled() const {
    if (m_layout != ELayout::FamA)
        return false;
    const std::uint32_t control = Item(kControlItem).dwValue;
    return ((control >> kEOnCETransmitEmptyBit) & 1u) && ((control >> kEOnCEReceiveFullBit) & 1u);
}

// --- Warnings ---

void CpmINTC::CheckWarnings() {
    CModule::CheckWarnings();
    switch (m_layout) {
    case ELayout::FamG:
        CheckRowPriorities();
        break;
    case ELayout::Classic:
        CheckFastInterrupts();
        // Entry 5, 6 and the FamK, FamJ, FamB, FamC tables all belong to FamH.
        CheckRowPriorities();
        break;
    case ELayout::New:
        CheckFastInterrupts();
        break;
    case ELayout::FamA:
        CheckUserVectors();
        break;
    }
}

void CpmINTC::SetIndicator(int controlId, bool active, const std::string& text) {
    SetWarning(*this, controlId, active, active ? text : std::string(), text);
}

void CpmINTC::SetRowWarning(int source, bool active, const std::string& text) {
    const int controlId = ((kFirstSourceRowId + source) << CPage::kSubPageShift) | kRowSourceId;
    if (CPageControl* control = FindControl(controlId))
        control->SetTextColour(active ? tColour{128, 0, 0} : tColour{0, 0, 0});
    if (IModuleHost* host = Host())
        host->SetWarning(this, controlId, active, text.c_str(), nullptr);
}

void CpmINTC::CheckFastInterrupts() {
    static constexpr int kRangeIds[2] = {kFast0RangeId, kFast1RangeId};
    static constexpr int kBothIds[2] = {kFast0BothId, kFast1BothId};
    constexpr std::uint16_t kLevel2Peripheral = VF::DISABLED | VF::LEVEL0 | VF::LEVEL2;
    int unusable = -1;
    for (int n = 0; n < 2; ++n) {
        const int number = FastInterruptNumber(n);
        const bool outOfRange = number < 0 || number >= SourceCount();
        SetIndicator(kRangeIds[n], outOfRange,
                     Format("Fast interrupt %d number is out of range", n));
        // Source 0 is what an unused fast interrupt holds: nothing to check against it.
        const bool used = !outOfRange && number != 0;
        const bool both =
            used && !ItemText(Item(kFirstFastNameItem + n)).empty() && !RoutineName(number).empty();
        SetIndicator(kBothIds[n], both,
                     Format("Fast interrupt %d has assigned both standard ISR and fast ISR. The "
                            "fast ISR will be used.",
                            n));
        if (!used || unusable >= 0)
            continue;
        const bool level2 = (SourceFlags(number) & kLevel2Peripheral) == kLevel2Peripheral &&
                            PriorityIndex(number) == 3;
        if (!level2)
            unusable = number;
    }
    SetIndicator(kFastLevelId, unusable >= 0,
                 Format("Interrupt source %d can not be used as fast interrupt. Only peripheral "
                        "interrupt sources configured for priority level 2 can be set as fast.",
                        unusable));
}

void CpmINTC::CheckUserVectors() {
    const bool fast = (Item(kFastEnableItem).dwValue & 1u) != 0;
    int numbers[kUserVectorCount] = {};
    for (int k = 1; k <= kUserVectorCount; ++k) {
        const int number = UserVectorSource(k);
        numbers[k - 1] = number;
        const bool fastUser = fast && k == kUserVectorCount;
        // 0 leaves the user vector unassigned.
        const bool invalid = number != 0 && !IsValidUserSource(number);
        const bool unnamed = number != 0 && !invalid &&
                             RoutineName(SourceCount() - kUserVectorCount + k - 1).empty();
        std::string text;
        if (invalid)
            text = fastUser ? "Fast (USER6) interrupt source number is not valid"
                            : Format("USER%d interrupt source number is not valid", k);
        else if (unnamed)
            text = fastUser ? "Fast (USER6) interrupt service routine must have a name"
                            : Format("USER%d interrupt service routine must have a name", k);
        SetIndicator(kFirstUserValidityId + k - 1, invalid || unnamed, text);

        const bool assigned = number != 0 && !invalid;
        SetIndicator(kFirstUserBothId + k - 1, assigned && !RoutineName(number).empty(),
                     Format("Interrupt source %d has assigned both standard ISR and USER%d ISR. "
                            "The USER ISR will be used.",
                            number, k));
        const bool repeated =
            assigned && std::find(numbers, numbers + k - 1, number) != numbers + k - 1;
        SetIndicator(
            kFirstUserRepeatedId + k - 1, repeated,
            Format("Interrupt source %d is assigned to more than one USER interrupt.", number));
    }
}

void CpmINTC::CheckRowPriorities() {
    const bool famH = m_layout == ELayout::Classic;
    for (int source = 0; source < SourceCount(); ++source) {
        const std::uint16_t flags = SourceFlags(source);
        if ((flags & VF::HIDDEN) || !(flags & VF::DISABLED) ||
            (flags & (VF::FIXED_LEVEL | VF::NO_LEVEL)))
            continue;
        const std::string name = SourceName(SourceDescription(source));
        const bool routine = !RoutineName(source).empty();
        const std::string_view value = ItemText(PriorityItem(source));
        const bool disabled = value.empty() || value == kDisabledValue;
        const bool fast = famH && source != 0 &&
                          (FastInterruptNumber(0) == source || FastInterruptNumber(1) == source);
        if (routine && disabled) {
            SetRowWarning(source, true,
                          name + " Interrupt Service Routine is specified but Interrupt Priority "
                                 "is not set");
        } else if (!disabled && !routine && !fast) {
            SetRowWarning(source, true,
                          name + " Interrupt Priority is set but Interrupt Service Routine is not "
                                 "specified");
        } else {
            SetRowWarning(source, false, {});
        }
    }
}
