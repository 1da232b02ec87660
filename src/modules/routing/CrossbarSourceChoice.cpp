#include "modules/routing/CrossbarSourceChoice.h"

#include <bit>

#include "base/TextUtil.h"
#include "model/RegisterItem.h"

using hwc::Format;

void CSetCrossbarSource::SetInputNames(std::shared_ptr<const std::vector<std::string>> names) {
    m_names = names ? std::move(names) : std::make_shared<const std::vector<std::string>>();
    m_extra = -2; // the entries are set again at the next refresh
    Refresh();
}

void CSetCrossbarSource::MatchEntries() {
    const tBindingField field = Field();
    if (!field.value || field.mask == 0)
        return;
    const int value = static_cast<int>((*field.value & field.mask) >> std::countr_zero(field.mask));
    static const std::vector<std::string> kNoNames;
    const std::vector<std::string>& names = m_names ? *m_names : kNoNames;
    const int extra = static_cast<std::size_t>(value) < names.size() ? -1 : value;
    if (extra == m_extra)
        return;
    m_extra = extra;
    if (extra < 0) {
        SetItems({}, m_names);
        return;
    }
    // The list maps its positions to the inputs and, last, the value it found.
    std::vector<int> table;
    for (std::size_t i = 0; i < names.size(); ++i)
        table.push_back(static_cast<int>(i));
    table.push_back(extra);
    std::vector<std::string> entries = names;
    entries.push_back(Format("(input %d)", extra));
    SetItems(table, std::move(entries));
}

void CSetCrossbarSource::Refresh() {
    MatchEntries();
    CSetMode::Refresh();
}
