#include "plugins/ConfigToolObj.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "base/FixedText.h"
#include "base/NumberScan.h"
#include "bindings/SetCtrl.h"
#include "model/ModuleBase.h"
#include "modules/clocks/ClockQueries.h"
#include "modules/framework/CHtmlModule.h"

namespace {

constexpr const char* kDefaultWarningText = "Unspecified Warning";
// A string register keeps this many characters.
constexpr std::size_t kTextLimit = 79;

std::vector<CConfigToolObj*>& Objects() {
    static std::vector<CConfigToolObj*> objects;
    return objects;
}

bool IsLive(const CConfigToolObj* object) {
    const auto& objects = Objects();
    return std::find(objects.begin(), objects.end(), object) != objects.end();
}

// The decimal text of a number: integers in full ("3000000000"), others in the fewest digits
// that read back as the number ("2.5", "0.1").
std::string NumberText(double number) {
    if (std::trunc(number) == number && std::fabs(number) < 1e18)
        return std::to_string(static_cast<std::int64_t>(number));
    char buffer[512];
    auto result = std::to_chars(buffer, buffer + sizeof(buffer), number, std::chars_format::fixed);
    if (result.ec != std::errc())
        result = std::to_chars(buffer, buffer + sizeof(buffer), number);
    return std::string(buffer, result.ptr);
}

// A text argument: texts as they are, numbers as their decimal text, booleans as 1 or 0.
std::optional<std::string> AsText(const tScriptValue& value) {
    if (const auto* text = std::get_if<std::string>(&value))
        return *text;
    if (const auto* number = std::get_if<double>(&value)) {
        if (!std::isfinite(*number))
            return std::nullopt;
        return NumberText(*number);
    }
    if (const auto* flag = std::get_if<bool>(&value))
        return std::string(*flag ? "1" : "0");
    return std::nullopt;
}

// A numeric argument as a 32-bit register value: an integral number from -2^31 to 2^32-1
// (negative ones in two's complement), a boolean as 1 or 0, or a text read like C's "%i".
std::optional<std::uint32_t> AsNumber(const tScriptValue& value) {
    if (const auto* number = std::get_if<double>(&value)) {
        if (!std::isfinite(*number) || std::trunc(*number) != *number || *number < -2147483648.0 ||
            *number > 4294967295.0)
            return std::nullopt;
        return static_cast<std::uint32_t>(static_cast<std::int64_t>(*number));
    }
    if (const auto* flag = std::get_if<bool>(&value))
        return *flag ? 1u : 0u;
    if (const auto* text = std::get_if<std::string>(&value))
        return hwc::ReadLeadingU32(*text);
    return std::nullopt;
}

bool IsMissing(const tScriptValue& value) {
    return std::holds_alternative<std::monostate>(value);
}

// A project frequency as the page expects it: the megahertz the document keeps, without the
// digits its single precision adds ("3.6864", not "3.686399936676025").
double FrequencyResult(float mhz) {
    char buffer[32];
    const auto written = std::to_chars(buffer, buffer + sizeof(buffer), mhz);
    double result = 0.0;
    std::from_chars(buffer, written.ptr, result);
    return result;
}

// Calls one event on every sink of every object assigned to the module. A handler may create or
// destroy objects and connect or disconnect sinks: only those still there are called.
template <class Call> void Fire(const CModuleBase& module, Call call) {
    for (CConfigToolObj* object : std::vector(Objects())) {
        if (!IsLive(object) || object->AssignedModule() != &module)
            continue;
        if (!call(*object))
            return;
    }
}

} // namespace

// Lets the event helpers reach an object's sinks.
struct CConfigToolObjSinks {
    template <class Call> static bool Each(CConfigToolObj& object, Call call) {
        for (IConfigToolEvents* sink : std::vector(object.m_sinks)) {
            if (!IsLive(&object))
                return true;
            if (std::find(object.m_sinks.begin(), object.m_sinks.end(), sink) ==
                object.m_sinks.end())
                continue;
            if (!call(*sink))
                return false;
        }
        return true;
    }
    // An event without arguments and answer, to every sink of every object of the module.
    static void FireToAll(const CModuleBase& module, void (IConfigToolEvents::*event)()) {
        Fire(module, [event](CConfigToolObj& object) {
            return Each(object, [event](IConfigToolEvents& sink) {
                (sink.*event)();
                return true;
            });
        });
    }
};

CConfigToolObj::CConfigToolObj() : m_module(CHtmlModule::Current()) {
    Objects().push_back(this);
}

CConfigToolObj::~CConfigToolObj() {
    std::erase(Objects(), this);
}

CModuleBase* CConfigToolObj::AssignedModule() const {
    return m_module;
}

void CConfigToolObj::Connect(IConfigToolEvents* sink) {
    if (sink)
        m_sinks.push_back(sink);
}

void CConfigToolObj::Disconnect(IConfigToolEvents* sink) {
    const auto it = std::find(m_sinks.begin(), m_sinks.end(), sink);
    if (it != m_sinks.end())
        m_sinks.erase(it);
}

EScriptStatus CConfigToolObj::AssignModule(const tScriptValue& prefix, tScriptValue& result) {
    result = false;
    const std::optional<std::string> name = AsText(prefix);
    if (!name)
        return EScriptStatus::kInvalidArgument;
    if (!m_module)
        return EScriptStatus::kOk;
    CModuleBase* found = CModuleBase::FindModule(m_module->Host(), *name);
    if (!found)
        return EScriptStatus::kOk;
    m_module = found;
    result = true;
    found->RefreshControls();
    return EScriptStatus::kOk;
}

EScriptStatus CConfigToolObj::SetReg(const tScriptValue& name, const tScriptValue& value,
                                     tScriptValue& result) {
    result = false;
    const std::optional<std::string> registerName = AsText(name);
    if (!registerName)
        return EScriptStatus::kInvalidArgument;
    if (!m_module)
        return EScriptStatus::kOk;
    CModuleBase* owner = nullptr;
    tPerCfgItem* item = m_module->FindRegister(*registerName, &owner);
    if (!item)
        return EScriptStatus::kOk;
    // A value left out counts as false.
    const tScriptValue& given = IsMissing(value) ? tScriptValue(false) : value;

    bool changed = false;
    if (item->dwFlags & hwc::RegFlag::STRVALUE) {
        const std::optional<std::string> text = AsText(given);
        if (!text)
            return EScriptStatus::kInvalidArgument;
        // A line end would end the define in the middle of its value.
        if (text->find_first_of("\r\n") != std::string::npos)
            return EScriptStatus::kOk;
        // Anything but a number in a floating-point register would break the generated header.
        const bool isFloat = (item->dwFlags & hwc::RegFlag::FLOAT) == hwc::RegFlag::FLOAT;
        if (isFloat && !text->empty() && !hwc::ReadExactDouble(*text))
            return EScriptStatus::kOk;
        // What is kept is compared, so that a long text written twice is no change.
        const std::uint32_t present = text->empty() ? 0 : 1;
        changed = hwc::FieldText(item->szValue) != std::string_view(*text).substr(0, kTextLimit) ||
                  item->dwValue != present;
        hwc::CopyCut(item->szValue, *text);
        item->dwValue = present;
    } else {
        std::optional<std::uint32_t> number = AsNumber(given);
        if (!number)
            return EScriptStatus::kInvalidArgument;
        // A signed register keeps all 32 bits; the others keep what their width holds.
        if (!(item->dwFlags & hwc::RegFlag::SIGNEDVALUE))
            *number &= hwc::RegisterLimit(item->dwFlags);
        changed = *number != item->dwValue;
        item->dwValue = *number;
    }
    result = true;
    if (!changed)
        return EScriptStatus::kOk;
    if (IModuleHost* host = m_module->Host())
        host->UpdateAllViews(m_module, hwc::kHintValueWritten, nullptr);
    // Another module's page shows the new value at once; the writing page has it already.
    if (owner && owner != m_module)
        owner->RefreshControls();
    return EScriptStatus::kOk;
}

EScriptStatus CConfigToolObj::GetReg(const tScriptValue& name, tScriptValue& result) {
    result = std::monostate{};
    const std::optional<std::string> registerName = AsText(name);
    if (!registerName)
        return EScriptStatus::kInvalidArgument;
    if (!m_module)
        return EScriptStatus::kOk;
    CModuleBase* owner = nullptr;
    if (const tPerCfgItem* item = m_module->FindRegister(*registerName, &owner)) {
        if (item->dwFlags & hwc::RegFlag::STRVALUE)
            result =
                item->dwValue != 0 ? std::string(hwc::FieldText(item->szValue)) : std::string();
        else if (item->dwFlags & hwc::RegFlag::SIGNEDVALUE)
            result = static_cast<double>(static_cast<std::int32_t>(item->dwValue));
        else
            result = static_cast<double>(item->dwValue);
        return EScriptStatus::kOk;
    }
    // Names of the project's own values.
    if (*registerName == "EXTCLK" || *registerName == "APPCFG_EXTCLK") {
        result = FrequencyResult(hwc::ProjectExternalClockMHz(*m_module));
    } else if (*registerName == "EXTAL" || *registerName == "APPCFG_EXTAL") {
        result = FrequencyResult(hwc::ProjectCrystalClockMHz(*m_module));
    } else if (*registerName == "APPCFGID") {
        if (IModuleHost* host = m_module->Host()) {
            std::string define = host->ProcessorDefineName();
            if (!define.empty())
                result = std::move(define);
        }
    }
    return EScriptStatus::kOk;
}

EScriptStatus CConfigToolObj::SetWarning(const tScriptValue& id, const tScriptValue& set,
                                         const tScriptValue& text) {
    const std::optional<std::uint32_t> warningId = AsNumber(id);
    const std::optional<std::uint32_t> active = IsMissing(set) ? 0u : AsNumber(set);
    const std::optional<std::string> message =
        IsMissing(text) ? std::string(kDefaultWarningText) : AsText(text);
    if (!warningId || !active || !message)
        return EScriptStatus::kInvalidArgument;
    if (!m_module)
        return EScriptStatus::kOk;
    // A page control of that number shows only while its warning is raised.
    const bool raised = *active != 0;
    m_module->SetWarning(static_cast<int>(*warningId), raised, raised ? message->c_str() : "");
    return EScriptStatus::kOk;
}

EScriptStatus CConfigToolObj::NavigatePage(const tScriptValue& url, const tScriptValue& tipText) {
    const std::optional<std::string> address = AsText(url);
    const std::optional<std::string> tip = IsMissing(tipText) ? std::string() : AsText(tipText);
    if (!address || !tip)
        return EScriptStatus::kInvalidArgument;
    if (m_module)
        m_module->FollowLink(*address, *tip);
    return EScriptStatus::kOk;
}

EScriptStatus CConfigToolObj::SetComment(const tScriptValue& comment) {
    const std::optional<std::string> text = IsMissing(comment) ? std::string() : AsText(comment);
    if (!text)
        return EScriptStatus::kInvalidArgument;
    if (auto* htmlModule = dynamic_cast<CHtmlModule*>(m_module))
        htmlModule->SetCommentText(*text);
    return EScriptStatus::kOk;
}

const std::vector<CConfigToolObj*>& CConfigToolObj::LiveObjects() {
    return Objects();
}

void CConfigToolObj::FireRefreshAll(const CModuleBase& module) {
    CConfigToolObjSinks::FireToAll(module, &IConfigToolEvents::OnRefreshAll);
}

void CConfigToolObj::FireUpdateAll(const CModuleBase& module) {
    CConfigToolObjSinks::FireToAll(module, &IConfigToolEvents::OnUpdateAll);
}

void CConfigToolObj::FireCheckWarnings(const CModuleBase& module) {
    CConfigToolObjSinks::FireToAll(module, &IConfigToolEvents::OnCheckWarnings);
}

std::int32_t CConfigToolObj::FireShowToolTip(const CModuleBase& module, std::int32_t tipId,
                                             const std::string& text, const std::string& title) {
    // The first handler that shows something ends the asking.
    std::int32_t answer = 0;
    Fire(module, [&](CConfigToolObj& object) {
        return CConfigToolObjSinks::Each(object, [&](IConfigToolEvents& sink) {
            answer = sink.OnShowToolTip(tipId, text, title);
            return answer == 0;
        });
    });
    return answer;
}

void CConfigToolObj::FireGenerateComment(const CModuleBase& module) {
    CConfigToolObjSinks::FireToAll(module, &IConfigToolEvents::OnGenerateComment);
}

void CConfigToolObj::FireProjectClosing(const CModuleBase& module) {
    CConfigToolObjSinks::FireToAll(module, &IConfigToolEvents::OnProjectClosing);
}

void CConfigToolObj::ForgetModule(const CModuleBase& module) {
    for (CConfigToolObj* object : Objects()) {
        if (object->m_module == &module)
            object->m_module = nullptr;
    }
}
