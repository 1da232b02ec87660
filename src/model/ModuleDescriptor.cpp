#include "model/ModuleDescriptor.h"

#include "base/TextUtil.h"

using namespace hwc;

CModuleDescriptor::CModuleDescriptor(std::string_view instanceName, std::string_view typeKey) {
    SetField(kInstanceName, instanceName);
    SetField(kTypeKey, typeKey);
}

const std::string& CModuleDescriptor::Title() const {
    return DisplayName().empty() ? InstanceName() : DisplayName();
}

void CModuleDescriptor::SetModuleInfo(std::string_view text) {
    m_moduleInfoText = std::string(text);
    m_moduleInfo.clear();
    for (const auto& line : Split(text, '\n')) {
        const auto equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string_view lineView(line);
        m_moduleInfo.insert_or_assign(std::string(Trim(lineView.substr(0, equals))),
                                      std::string(Trim(lineView.substr(equals + 1))));
    }
}

const std::string* CModuleDescriptor::FindModuleInfo(std::string_view key) const {
    const auto found = m_moduleInfo.find(key);
    return found == m_moduleInfo.end() ? nullptr : &found->second;
}
