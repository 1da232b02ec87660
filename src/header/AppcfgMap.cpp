#include "header/AppcfgFile.h"

CAppcfgEntry* CAppcfgMap::Find(const std::string& name) {
    const auto it = m_entries.find(name);
    return it == m_entries.end() ? nullptr : it->second.get();
}

const CAppcfgEntry* CAppcfgMap::Find(const std::string& name) const {
    const auto it = m_entries.find(name);
    return it == m_entries.end() ? nullptr : it->second.get();
}

CAppcfgEntry& CAppcfgMap::Obtain(const std::string& name) {
    auto& slot = m_entries[name];
    if (!slot) {
        slot = std::make_unique<CAppcfgEntry>();
        slot->name = name;
        m_order.push_back(slot.get());
    }
    return *slot;
}
