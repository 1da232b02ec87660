#include "plugins/ConfigToolObj.h"

#include <algorithm>

#include "modules/framework/CHtmlModule.h"

namespace {

std::vector<CConfigToolObj*>& Objects() {
    static std::vector<CConfigToolObj*> objects;
    return objects;
}

} // namespace

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
    std::erase(m_sinks, sink);
}

EScriptStatus CConfigToolObj::AssignModule(const tScriptValue&, tScriptValue& result) {
    result = false;
    return EScriptStatus::kOk;
}

EScriptStatus CConfigToolObj::SetReg(const tScriptValue&, const tScriptValue&,
                                     tScriptValue& result) {
    result = false;
    return EScriptStatus::kOk;
}

EScriptStatus CConfigToolObj::GetReg(const tScriptValue&, tScriptValue& result) {
    result = std::monostate{};
    return EScriptStatus::kOk;
}

EScriptStatus CConfigToolObj::SetWarning(const tScriptValue&, const tScriptValue&,
                                         const tScriptValue&) {
    return EScriptStatus::kOk;
}

EScriptStatus CConfigToolObj::NavigatePage(const tScriptValue&, const tScriptValue&) {
    return EScriptStatus::kOk;
}

EScriptStatus CConfigToolObj::SetComment(const tScriptValue&) {
    return EScriptStatus::kOk;
}

const std::vector<CConfigToolObj*>& CConfigToolObj::LiveObjects() {
    return Objects();
}

void CConfigToolObj::FireRefreshAll(const CModuleBase&) {}
void CConfigToolObj::FireUpdateAll(const CModuleBase&) {}
void CConfigToolObj::FireCheckWarnings(const CModuleBase&) {}
std::int32_t CConfigToolObj::FireShowToolTip(const CModuleBase&, std::int32_t, const std::string&,
                                             const std::string&) {
    return 0;
}
void CConfigToolObj::FireGenerateComment(const CModuleBase&) {}
void CConfigToolObj::FireProjectClosing(const CModuleBase&) {}

void CConfigToolObj::ForgetModule(const CModuleBase& module) {
    for (CConfigToolObj* object : Objects()) {
        if (object->m_module == &module)
            object->m_module = nullptr;
    }
}
