#include "modules/framework/CModule.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "base/NumberScan.h"
#include "base/TextUtil.h"
#include "model/DialogTemplate.h"
#include "model/ModuleSubDlg.h"
#include "model/Page.h"

using hwc::Format;

namespace {

// The interrupt rows and their headings, wide (with the source column) and narrow.
const CDialogTemplate& RowTemplate(bool wide) {
    static const CDialogTemplate wideRow(
        CModule::kWideRowTemplate,
        {dlg::Row({dlg::ReadOnly(CModule::kRowSourceId), dlg::Edit(CModule::kRowIsrNameId),
                   dlg::DropList(CModule::kRowPriorityId)})});
    static const CDialogTemplate narrowRow(
        CModule::kNarrowRowTemplate,
        {dlg::Row({dlg::Edit(CModule::kRowIsrNameId), dlg::DropList(CModule::kRowPriorityId)})});
    return wide ? wideRow : narrowRow;
}

const CDialogTemplate& HeadingTemplate(bool wide) {
    static const CDialogTemplate wideHeading(
        CModule::kWideHeadingTemplate,
        {dlg::Row(
            {dlg::Label("Interrupt Source"), dlg::Label("ISR Name:"), dlg::Label("Priority:")})});
    static const CDialogTemplate narrowHeading(
        CModule::kNarrowHeadingTemplate,
        {dlg::Row({dlg::Label("ISR Name:"), dlg::Label("Priority:")})});
    return wide ? wideHeading : narrowHeading;
}

int InstanceNumberOf(std::string_view instanceName) {
    if (instanceName.empty())
        return 0;
    const unsigned char last = static_cast<unsigned char>(instanceName.back());
    return std::isdigit(last) ? last - '0' : 0;
}

// Module kinds that may import only from a project of the same processor generation.
constexpr std::array<std::string_view, 3> kGenerationBoundTypeKeys = {"OCCS", "INTC", "SPI"};

bool IsGenerationBound(const CModuleBase& module) {
    return std::find(kGenerationBoundTypeKeys.begin(), kGenerationBoundTypeKeys.end(),
                     module.TypeKey()) != kGenerationBoundTypeKeys.end();
}

// The ports that can route signals: the architecture files name them "GPIO_A"; older
// projects and plug-ins "GPIOA".
constexpr std::string_view kGpioPortLetters = "ABCDEFG";

// The processor groups whose system module checks the other modules.
constexpr std::array<int, 5> kSystemCheckedGroups = {CModule::kFamH, CModule::kFamA, CModule::kFamE,
                                                     CModule::kFamF, CModule::kFamD};

} // namespace

namespace hwc {

std::vector<int> ParseInterruptVectors(std::string_view interruptList) {
    std::vector<int> vectors;
    const std::vector<std::string> parts = Split(interruptList, ':');
    if (parts.size() < 2)
        return vectors;
    for (const std::string& part : Split(parts[1], ',')) {
        if (const auto number = ReadLeadingU32(part))
            vectors.push_back(static_cast<int>(*number));
    }
    return vectors;
}

std::string CountWord(int count) {
    static constexpr std::array<const char*, 11> kWords = {
        "No", "One", "Two", "Three", "Four", "Five", "Six", "Seven", "Eight", "Nine", "Ten"};
    if (count >= 0 && count < static_cast<int>(kWords.size()))
        return kWords[count];
    return Format("%d", count);
}

} // namespace hwc

// --- Pin-function context map ---

CModule::CPinFuncContextInfo& CModule::CPinFuncContextMap::Obtain(const std::string& signal) {
    for (auto& [name, info] : m_entries) {
        if (name == signal)
            return *info;
    }
    m_entries.emplace_back(signal, std::make_unique<CPinFuncContextInfo>());
    return *m_entries.back().second;
}

void CModule::CPinFuncContextMap::Remove(const std::string& signal) {
    std::erase_if(m_entries, [&](const auto& entry) { return entry.first == signal; });
}

int CModule::CPinFuncContextMap::Missing() const {
    return static_cast<int>(std::count_if(m_entries.begin(), m_entries.end(), [](const auto& e) {
        return e.second->currentPins.empty();
    }));
}

int CModule::CPinFuncContextMap::Duplicated() const {
    return static_cast<int>(std::count_if(m_entries.begin(), m_entries.end(), [](const auto& e) {
        return e.second->currentPins.size() > 1;
    }));
}

void CModule::CPinFuncContextMap::AddPin(const std::string& signal, tPinRef pin, int functionIndex,
                                         bool current) {
    CPinFuncContextInfo& info = Obtain(signal);
    info.candidatePins.push_back(pin);
    info.functionIndex[pin] = functionIndex;
    if (current)
        info.currentPins.push_back(pin);
}

// --- Module ---

CModule::CModule(CModuleBase* parent, unsigned templateId, const CModuleDescriptor* descriptor,
                 const tPerCfgDef* table, int count)
    : CModuleBase(parent, templateId, descriptor, table, count),
      m_instanceNumber(InstanceNumberOf(InstanceName())) {
    for (int vector : hwc::ParseInterruptVectors(Descriptor().InterruptList()))
        m_interruptRows.push_back(CInterruptRow{vector});
}

bool CModule::IsProcessorGroup(const CModuleBase& module, int entry) {
    const auto* groups = dynamic_cast<const IProcessorGroups*>(module.Host());
    return groups && groups->IsProcessorGroup(entry);
}

CModule* CModule::FindInterruptController() const {
    const char* name = IsProcessorGroup(*this, kFamA)   ? "WINTC"
                       : IsProcessorGroup(*this, kFamG) ? "ITCN"
                                                        : "INTC";
    return dynamic_cast<CModule*>(FindModule(Host(), name, "INTC"));
}

void CModule::BindControls(IModuleHost* host) {
    CModuleBase::BindControls(host);
    CModule* controller = FindInterruptController();
    if (!controller)
        return;
    for (CInterruptRow& row : m_interruptRows) {
        row.controller = controller;
        controller->AttachInterruptRow(row);
    }
}

void CModule::AttachControls(CPage& page) {
    CModuleBase::AttachControls(page);
    m_pinStatusPresent = page.FindControl(kPinStatusId) != nullptr;
    PlaceInterruptRows(page);
}

const CDialogTemplate& CModule::InterruptRowTemplate(bool wide) {
    return RowTemplate(wide);
}

void CModule::PlaceInterruptRows(CPage& page) {
    const bool wide = WideInterruptRows();
    for (std::size_t i = 0; i < m_interruptRows.size(); ++i) {
        CInterruptRow& interruptRow = m_interruptRows[i];
        PlaceInterruptRow(page, kFirstRowPlaceholderId + static_cast<int>(i), interruptRow, wide);
    }
    for (int id = kFirstHeadingPlaceholderId; id <= kLastHeadingPlaceholderId; ++id)
        page.StackSubPage(id, HeadingTemplate(wide));
}

void CModule::PlaceInterruptRow(CPage& page, int placeholderId, CInterruptRow& row, bool wide) {
    CPage* rowPage = page.StackSubPage(placeholderId, RowTemplate(wide));
    if (!rowPage)
        return;
    row.page = rowPage;
    // The controller binds the row's controls to the registers of its vector.
    if (row.controller)
        row.controller->AttachInterruptRowPage(row);
}

bool CModule::IsImportCompatible(const CModuleBase& other, bool& forbidden) const {
    if (!CModuleBase::IsImportCompatible(other, forbidden))
        return false;
    if (!IsGenerationBound(*this))
        return true;
    for (int group : {kFamG, kFamH}) {
        if (IsProcessorGroup(*this, group) != IsProcessorGroup(other, group)) {
            forbidden = true;
            return false;
        }
    }
    // Each generation of these modules has a page (and register layout) of its own; the two
    // families above do not tell every generation apart.
    if (TemplateId() != other.TemplateId()) {
        forbidden = true;
        return false;
    }
    return true;
}

void CModule::CheckSystem() {
    const bool checked = std::any_of(kSystemCheckedGroups.begin(), kSystemCheckedGroups.end(),
                                     [&](int group) { return IsProcessorGroup(*this, group); });
    if (!checked)
        return;
    if (auto* system = dynamic_cast<CModule*>(FindModule(Host(), "SYS")))
        system->CheckModule(*this);
}

void CModule::CheckWarnings() {
    if (m_pinStatusPresent)
        UpdatePinStatus();
    CheckSystem();
    Recalculate();
}

bool CModule::OnLinkCommand(CModuleBase* sender, const tModuleLink& link, std::string_view query) {
    if (query != kFixPinsQuery)
        return false;
    FixPins();
    UpdatePinStatus();
    return true;
}

float CModule::GetBusClock() const {
    const auto* clock = dynamic_cast<const CModule*>(FindModule(Host(), "OCCS", "OCCS"));
    return clock ? clock->PublishedBusClock() : 0.0f;
}

float CModule::GetOtherClock() const {
    const auto* clock = dynamic_cast<const CModule*>(FindModule(Host(), "OCCS", "OCCS"));
    return clock ? clock->PublishedOtherClock() : 0.0f;
}

void CModule::SetWarning(CModuleBase& module, int controlId, bool isWarning,
                         const std::string& shownText, const std::string& warningText) {
    if (CPage* page = module.Page()) {
        if (CPageControl* control = page->FindControl(controlId)) {
            if (!shownText.empty())
                control->SetText(shownText);
            control->Show(isWarning || !shownText.empty());
            control->SetTextColour(isWarning ? tColour{128, 0, 0} : tColour{0, 0, 0});
        }
    }
    // A raised warning always has a text in the list: the shown one when no other is given.
    const std::string& listed = warningText.empty() ? shownText : warningText;
    if (IModuleHost* host = module.Host())
        host->SetWarning(&module, controlId, isWarning, listed.c_str(), nullptr);
}

// --- Pin status ---

std::vector<CModule*> CModule::GpioModules(const CModuleBase& asker) {
    std::vector<CModule*> ports;
    for (char letter : kGpioPortLetters) {
        for (const char* pattern : {"GPIO_%c", "GPIO%c"}) {
            auto* port =
                dynamic_cast<CModule*>(FindModule(asker.Host(), Format(pattern, letter), "GPIO"));
            if (port && std::find(ports.begin(), ports.end(), port) == ports.end())
                ports.push_back(port);
        }
    }
    return ports;
}

void CModule::BuildPinMap(CPinFuncContextMap& map, bool filter) const {
    for (CModule* gpio : GpioModules(*this))
        gpio->AddPinFunctions(*this, map);
    if (!filter)
        return;
    std::vector<std::string> unused;
    for (const auto& [signal, info] : map.Entries()) {
        if (!IsPinFunctionUsed(signal))
            unused.push_back(signal);
    }
    for (const std::string& signal : unused)
        map.Remove(signal);
}

std::string CModule::PinList(const CPinFuncContextMap& map, EPinListKind kind) const {
    std::vector<std::string> links;
    auto add = [&](const std::string& signal, const tPinRef& pin) {
        if (!pin.gpio)
            return;
        const int controlId =
            CPage::SubPageControlId(kPinSubPageBase + pin.pin, kPinFunctionControlId);
        std::string link = LinkText(pin.gpio->InstanceName(), pin.gpio->TypeKey(),
                                    pin.gpio->Title(), signal.c_str(), controlId, nullptr, false);
        if (std::find(links.begin(), links.end(), link) == links.end())
            links.push_back(std::move(link));
    };
    for (const auto& [signal, info] : map.Entries()) {
        if (kind == EPinListKind::Missing && !info->currentPins.empty())
            continue;
        if (kind == EPinListKind::Duplicated && info->currentPins.size() < 2)
            continue;
        for (const tPinRef& pin : info->currentPins)
            add(signal, pin);
        for (const tPinRef& pin : info->candidatePins)
            add(signal, pin);
    }
    std::string text;
    for (const std::string& link : links) {
        if (!text.empty())
            text += " and ";
        text += link;
    }
    return text;
}

void CModule::UpdatePinStatus() {
    CPinFuncContextMap map;
    BuildPinMap(map, true);
    const int total = map.Total();
    const int missing = map.Missing();
    const int duplicated = map.Duplicated();
    if (total == 0) {
        SetWarning(*this, kPinStatusId, false, {}, {});
        return;
    }
    const std::string totalWord = hwc::ToLower(hwc::CountWord(total));
    std::string text;
    if (missing > 0) {
        const std::string list = PinList(map, EPinListKind::Missing);
        if (missing != 1) {
            text = Format("%s module pins (out of %s) are not available on any device pin. See %s",
                          hwc::CountWord(missing).c_str(), totalWord.c_str(), list.c_str());
        } else if (total == 1) {
            text = Format("The module signal (%s) is not available on any device pin. See %s",
                          map.Entries().front().first.c_str(), list.c_str());
        } else {
            text =
                Format("One module signal (out of %s) is not available on any device pin. See %s",
                       totalWord.c_str(), list.c_str());
        }
    } else {
        const std::string list = PinList(map, EPinListKind::All);
        if (total == 1)
            text = Format("The module pin is configured properly in %s", list.c_str());
        else if (total == 2)
            text = Format("Both module pins are configured properly in %s", list.c_str());
        else
            text = Format("All %s module pins are configured properly in %s", totalWord.c_str(),
                          list.c_str());
    }
    const std::string tail =
        duplicated > 0
            ? Format(". Be aware that there are pins with duplicated functionality in %s.",
                     PinList(map, EPinListKind::Duplicated).c_str())
            : std::string(".");
    SetWarning(*this, kPinStatusId, missing > 0, text + tail, text);
}

void CModule::FixPins() {
    CPinFuncContextMap map;
    BuildPinMap(map, false);
    for (const auto& [signal, info] : map.Entries()) {
        if (!info->currentPins.empty() || info->candidatePins.empty())
            continue;
        const tPinRef& pin = info->candidatePins.front();
        if (!pin.gpio)
            continue;
        const auto index = info->functionIndex.find(pin);
        if (index == info->functionIndex.end())
            continue;
        pin.gpio->CreatePage();
        pin.gpio->SelectPinFunction(pin.pin, index->second);
    }
}
