#include "ui/frame/PageHistory.h"

#include <algorithm>

namespace hwc::ui {

void CPageHistory::Record(CModuleBase* module) {
    if (m_navigating > 0 || !module)
        return;
    m_position = std::min(m_position, static_cast<int>(m_entries.size()) - 1);
    const std::size_t next = static_cast<std::size_t>(m_position + 1);
    if (next < m_entries.size())
        m_entries[next] = module;
    else
        m_entries.push_back(module);
    ++m_position;
    if (next + 1 < m_entries.size())
        m_entries[next + 1] = nullptr;
}

void CPageHistory::Clear() {
    m_entries.clear();
    m_position = -1;
}

bool CPageHistory::CanGoForward() const {
    const std::size_t next = static_cast<std::size_t>(m_position + 1);
    return next < m_entries.size() && m_entries[next] != nullptr;
}

CModuleBase* CPageHistory::StepBack() {
    if (!CanGoBack())
        return nullptr;
    --m_position;
    return m_entries[static_cast<std::size_t>(m_position)];
}

CModuleBase* CPageHistory::StepForward() {
    if (!CanGoForward())
        return nullptr;
    ++m_position;
    return m_entries[static_cast<std::size_t>(m_position)];
}

} // namespace hwc::ui
