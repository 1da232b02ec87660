#pragma once
// What the architecture file (or a plug-in description) says about one module instance.

#include <array>
#include <map>
#include <string>
#include <string_view>

class CModuleDescriptor {
public:
    enum EField {
        kInstanceName, // define prefix and first element of module links
        kTypeKey,      // module type; second element of module links
        kRelatedModule,
        kInterruptList,
        kDescription,
        kDisplayName,
        kHelpReference,
        kFieldCount
    };

    CModuleDescriptor() = default;
    CModuleDescriptor(std::string_view instanceName, std::string_view typeKey);

    const std::string& Field(EField field) const { return m_fields[field]; }
    void SetField(EField field, std::string_view text) { m_fields[field] = std::string(text); }

    const std::string& InstanceName() const { return m_fields[kInstanceName]; }
    const std::string& TypeKey() const { return m_fields[kTypeKey]; }
    const std::string& RelatedModule() const { return m_fields[kRelatedModule]; }
    const std::string& InterruptList() const { return m_fields[kInterruptList]; }
    const std::string& Description() const { return m_fields[kDescription]; }
    const std::string& DisplayName() const { return m_fields[kDisplayName]; }
    const std::string& HelpReference() const { return m_fields[kHelpReference]; }
    // The display name, or the instance name when there is none.
    const std::string& Title() const;

    // The module-info text; its '\n'-separated lines are split at the first '=' into trimmed
    // keys and values, later lines replacing earlier keys. Lines without '=' are skipped.
    void SetModuleInfo(std::string_view text);
    const std::string& ModuleInfoText() const { return m_moduleInfoText; }
    const std::map<std::string, std::string, std::less<>>& ModuleInfo() const {
        return m_moduleInfo;
    }
    const std::string* FindModuleInfo(std::string_view key) const;

private:
    std::array<std::string, kFieldCount> m_fields;
    std::string m_moduleInfoText;
    std::map<std::string, std::string, std::less<>> m_moduleInfo;
};
