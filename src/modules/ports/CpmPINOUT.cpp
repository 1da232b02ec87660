#include "modules/ports/CpmPINOUT.h"

#include <array>
#include <climits>

#include "base/AppFilePath.h"
#include "base/NumberScan.h"
#include "base/TextUtil.h"
#include "modules/ports/PortQueries.h"
#include "modules/system/SystemQueries.h"

namespace {

// The ports whose pins the page names, in port order.
constexpr std::array<const char*, 7> kPorts = {"GPIO_A", "GPIO_B", "GPIO_C", "GPIO_D",
                                               "GPIO_E", "GPIO_F", "GPIO_G"};
// The ports whose pin descriptions may name the clock-output select register.
constexpr std::array<const char*, 2> kClockOutputPorts = {"GPIO_A", "GPIO_B"};

// The processor groups whose pin functions the system module's select registers choose.
constexpr std::array<int, 3> kSystemSelectGroups = {CModule::kFamH, CModule::kFamE, CModule::kFamF};

// A pin's function list starts with the port function itself.
constexpr int kGpioFunctionIndex = 0;

// The integer a page function answered: a whole number, nothing else.
std::optional<int> ReadScriptInteger(const std::string& text) {
    const std::string_view trimmed = hwc::Trim(text);
    const auto number = hwc::ScanInteger(trimmed);
    if (!number || number->overflow || number->end != trimmed.size() || number->value < INT_MIN ||
        number->value > INT_MAX)
        return std::nullopt;
    return static_cast<int>(number->value);
}

// A boolean answer: what the page's functions return (or nothing at all).
bool IsScriptBoolean(const std::string& text) {
    const std::string_view trimmed = hwc::Trim(text);
    return trimmed.empty() || trimmed == "true" || trimmed == "false" || trimmed == "1" ||
           trimmed == "0";
}

} // namespace

CpmPINOUT::CpmPINOUT(CModuleBase* parent, const CModuleDescriptor* descriptor)
    : CHtmlModule(parent, 0, descriptor, nullptr, 0) {}

CpmPINOUT::~CpmPINOUT() {
    *m_alive = false;
}

void CpmPINOUT::BindControls(IModuleHost* host) {
    CHtmlModule::BindControls(host);
    // The document hands the module information over after creating the modules.
    GetModuleInfo("CPUNAME", m_cpuName);
    std::string preliminary;
    GetModuleInfo("PRELIMINARY", preliminary);
    m_preliminary = hwc::EqualsNoCase(preliminary, "yes") || hwc::EqualsNoCase(preliminary, "true");
    std::string page;
    GetModuleInfo("PAGE", page);
    SetPageAddress(page.empty() ? std::string() : AppFilePath(page));

    std::vector<tPerCfgItem*>& related = ForeignItems();
    related.clear();
    for (const char* port : kPorts) {
        const hwc::IGpioPort* gpio = hwc::FindGpioPort(*this, port);
        if (!gpio)
            continue;
        // The registers view edits the port's own item through this list.
        if (const tPerCfgItem* per = gpio->PeripheralEnableRegister())
            related.push_back(const_cast<tPerCfgItem*>(per));
    }
    bool selectsInSystem = false;
    for (int group : kSystemSelectGroups)
        selectsInSystem = selectsInSystem || IsProcessorGroup(*this, group);
    if (!selectsInSystem)
        return;
    hwc::ISystemIntegration* system = hwc::FindSystemModule(*this);
    if (!system)
        return;
    bool clockOutput = false;
    for (const char* port : kClockOutputPorts) {
        const hwc::IGpioPort* gpio = hwc::FindGpioPort(*this, port);
        clockOutput = clockOutput || (gpio && gpio->DescriptionMentions("CLKOSR"));
    }
    for (tPerCfgItem* item : system->PinSelectRegisters(clockOutput))
        related.push_back(item);
}

void CpmPINOUT::CheckWarnings() {
    CHtmlModule::CheckWarnings();
    RefreshPage();
}

// --- Check boxes ---

std::optional<CpmPINOUT::tCheckbox> CpmPINOUT::ParseCheckbox(const std::string& elementId) {
    const std::string_view prefix = kCheckboxPrefix;
    if (elementId.size() <= prefix.size() || elementId.compare(0, prefix.size(), prefix) != 0)
        return std::nullopt;
    const std::string rest = elementId.substr(prefix.size());
    const std::size_t separator = rest.find(kCheckboxSeparator);
    tCheckbox checkbox;
    checkbox.instance = rest.substr(0, separator);
    if (separator != std::string::npos)
        checkbox.function = rest.substr(separator + std::string_view(kCheckboxSeparator).size());
    if (checkbox.instance.empty())
        return std::nullopt;
    return checkbox;
}

namespace {

// The pin-function contexts of a module's signal (every signal of the module when the
// function is empty), from every GPIO port of the document.
struct tContexts {
    std::vector<std::pair<std::string, const CModule::CPinFuncContextInfo*>> signals;
    CModule::CPinFuncContextMap map;
};

void CollectContexts(const CModuleBase& asker, const CModule& module, const std::string& function,
                     tContexts& contexts) {
    for (CModule* gpio : hwc::FindGpioModules(asker))
        gpio->AddPinFunctions(module, contexts.map);
    for (const auto& [signal, info] : contexts.map.Entries()) {
        if (function.empty() || signal == function)
            contexts.signals.emplace_back(signal, info.get());
    }
}

} // namespace

std::optional<int> CpmPINOUT::CheckboxState(const std::string& elementId) const {
    const auto checkbox = ParseCheckbox(elementId);
    if (!checkbox)
        return std::nullopt;
    const auto* module = dynamic_cast<const CModule*>(FindModule(Host(), checkbox->instance));
    if (!module)
        return std::nullopt;
    tContexts contexts;
    CollectContexts(*this, *module, checkbox->function, contexts);
    std::size_t candidates = 0;
    std::size_t inUse = 0;
    for (const auto& [signal, info] : contexts.signals) {
        candidates += info->candidatePins.size();
        inUse += info->currentPins.size();
    }
    if (inUse == 0)
        return kNoneInUse;
    return inUse >= candidates ? kAllInUse : kSomeInUse;
}

bool CpmPINOUT::ToggleCheckbox(const std::string& elementId) {
    const auto state = CheckboxState(elementId);
    if (!state)
        return false;
    const tCheckbox checkbox = *ParseCheckbox(elementId);
    auto* module = dynamic_cast<CModule*>(FindModule(Host(), checkbox.instance));
    tContexts contexts;
    CollectContexts(*this, *module, checkbox.function, contexts);
    // The port writes its registers and tells the document, as a choice on its page does.
    const auto select = [](const CModule::tPinRef& pin, int functionIndex) {
        if (!pin.gpio)
            return;
        pin.gpio->CreatePage();
        pin.gpio->SelectPinFunction(pin.pin, functionIndex);
    };
    for (const auto& [signal, info] : contexts.signals) {
        if (*state == kNoneInUse) {
            if (info->candidatePins.empty())
                continue;
            const CModule::tPinRef& pin = info->candidatePins.front();
            const auto index = info->functionIndex.find(pin);
            if (index != info->functionIndex.end())
                select(pin, index->second);
        } else {
            for (const CModule::tPinRef& pin : info->currentPins)
                select(pin, kGpioFunctionIndex);
        }
    }
    return true;
}

// --- The page ---

void CpmPINOUT::Navigate(const std::string& address) {
    if (m_pageLoaded && Navigator()) {
        if (const auto view = CallScript("GetActiveView"))
            m_viewToRestore = ReadScriptInteger(*view);
    }
    m_pageLoaded = false;
    CHtmlModule::Navigate(address);
}

bool CpmPINOUT::CallBoolean(const std::string& function,
                            const std::vector<std::string>& arguments) {
    const auto result = CallScript(function, arguments);
    return result && IsScriptBoolean(*result);
}

void CpmPINOUT::OnPageLoaded() {
    const std::shared_ptr<bool> alive = m_alive;
    // A new document: it shows nothing the module sent before, and may have other check boxes.
    m_pageLoaded = true;
    m_sentPins.clear();
    m_sentStates.clear();
    m_checkboxes.clear();
    m_checkboxesFetched = false;
    if (!m_cpuName.empty())
        CallBoolean("SetCpuName", {m_cpuName});
    if (!*alive)
        return;
    if (m_preliminary)
        CallBoolean("SetPreliminary", {"1"});
    if (!*alive)
        return;
    RefreshPage(true);
    if (!*alive || !m_viewToRestore)
        return;
    const int view = *m_viewToRestore;
    m_viewToRestore.reset();
    CallBoolean("ShowView", {hwc::Format("%d", view)});
}

bool CpmPINOUT::OnElementActivated(const std::string& elementId) {
    if (!ParseCheckbox(elementId))
        return false;
    // A check box of a module the processor lacks changes nothing and sends nothing.
    if (!ToggleCheckbox(elementId))
        return true;
    RefreshPage(true);
    return true;
}

void CpmPINOUT::RefreshPage(bool all) {
    if (!m_pageLoaded || !Navigator())
        return;
    if (m_refreshing) {
        // A call of the running refresh is waiting for the page: it sends this one afterwards.
        m_refreshPending = true;
        m_refreshAllPending = m_refreshAllPending || all;
        return;
    }
    const std::shared_ptr<bool> alive = m_alive;
    m_refreshing = true;
    // Each pass sends what an interrupting refresh asked for; a page that keeps failing is
    // not retried here but at the next refresh.
    for (int pass = 0; pass < 3; ++pass) {
        m_refreshPending = false;
        m_refreshAllPending = false;
        if (!SendPins(all) || !SendCheckboxes(all))
            return;
        if (!m_refreshPending)
            break;
        all = m_refreshAllPending;
    }
    m_refreshing = false;
}

bool CpmPINOUT::SendPins(bool all) {
    const std::shared_ptr<bool> alive = m_alive;
    for (const char* port : kPorts) {
        const hwc::IGpioPort* gpio = hwc::FindGpioPort(*this, port);
        if (!gpio)
            continue;
        for (const hwc::tPinName& pin : gpio->PinNames()) {
            const std::pair<std::string, std::string> shown{pin.name, pin.description};
            const auto sent = m_sentPins.find(pin.pin);
            if (!all && sent != m_sentPins.end() && sent->second == shown)
                continue;
            const bool ok = CallBoolean("SetPinName", {pin.pin, pin.name, pin.description});
            if (!*alive)
                return false;
            if (ok)
                m_sentPins[pin.pin] = shown;
            else
                m_sentPins.erase(pin.pin);
        }
    }
    return true;
}

bool CpmPINOUT::SendCheckboxes(bool all) {
    const std::shared_ptr<bool> alive = m_alive;
    if (!m_checkboxesFetched) {
        m_checkboxesFetched = true;
        const auto list = CallScript("GetGpioCheckboxes");
        if (!*alive)
            return false;
        if (list) {
            for (const std::string& id : hwc::Split(*list, ',')) {
                const std::string trimmed(hwc::Trim(id));
                if (!trimmed.empty())
                    m_checkboxes.push_back(trimmed);
            }
        }
    }
    for (const std::string& id : std::vector(m_checkboxes)) {
        const auto state = CheckboxState(id);
        if (!state)
            continue;
        const auto sent = m_sentStates.find(id);
        if (!all && sent != m_sentStates.end() && sent->second == *state)
            continue;
        const bool ok = CallBoolean("SetGpioCheckbox", {id, hwc::Format("%d", *state)});
        if (!*alive)
            return false;
        if (ok)
            m_sentStates[id] = *state;
        else
            m_sentStates.erase(id);
    }
    return true;
}
