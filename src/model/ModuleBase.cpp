#include "model/ModuleBase.h"

#include <algorithm>
#include <cassert>

#include "base/FixedText.h"
#include "base/NumberScan.h"
#include "base/TextUtil.h"
#include "header/HeaderWriter.h"

using namespace hwc;

namespace hwc {

std::string MakeDefineName(std::string_view prefix, std::string_view itemName,
                           std::string_view suffix) {
    std::string name;
    if (!itemName.empty() && itemName.front() == '-') {
        name = itemName.substr(1);
    } else {
        if (!prefix.empty()) {
            name = prefix;
            name += '_';
        }
        name += itemName;
    }
    if (!suffix.empty()) {
        name += '_';
        name += suffix;
    }
    return name;
}

} // namespace hwc

CModuleBase::CModuleBase(CModuleBase* parent, unsigned templateId,
                         const CModuleDescriptor* descriptor, const tPerCfgDef* table, int count)
    : m_parent(parent), m_host(HostBeingOpened()), m_templateId(templateId) {
    if (descriptor)
        m_descriptor = *descriptor;
    count = std::max(count, 0);
    // Sized to the table: thousands of modules must not each hold hundreds of unused items.
    m_capacity = count;
    m_items = std::make_unique<tPerCfgItem[]>(m_capacity); // value-initialised: all zero
    m_itemCount = count;
    if (descriptor && table)
        InitRegisters(nullptr, m_items.get(), count, InstanceName(), {}, table, true);
}

CModuleBase::~CModuleBase() = default;

tPerCfgItem& CModuleBase::Item(int index) {
    assert(index >= 0 && index < m_capacity);
    return m_items[index];
}

const tPerCfgItem& CModuleBase::Item(int index) const {
    assert(index >= 0 && index < m_capacity);
    return m_items[index];
}

void CModuleBase::SetItemCount(int count) {
    // An array that never held an item can be replaced: nothing can refer to one of its items.
    if (m_capacity == 0 && count > 0) {
        m_items = std::make_unique<tPerCfgItem[]>(count);
        m_capacity = count;
    }
    assert(count >= 0 && count <= m_capacity);
    m_itemCount = std::clamp(count, 0, m_capacity);
}

void CModuleBase::SetSelected(bool selected) {
    m_selected = selected;
}

bool CModuleBase::IsSelected() const {
    return HasOutput() ? m_selected : m_itemCount > 0;
}

bool CModuleBase::HasOutput() const {
    return m_itemCount > 0;
}

void CModuleBase::Recalculate() {}

void CModuleBase::UpdateControlStates() {}

bool CModuleBase::IsImportCompatible(const CModuleBase& other, bool& forbidden) const {
    forbidden = false;
    return other.IsKindOf(*GetRuntimeClass());
}

void CModuleBase::CheckWarnings() {}

void CModuleBase::BindControls(IModuleHost* host) {
    m_host = host;
    const std::string& related = m_descriptor.RelatedModule();
    if (!related.empty() && !EqualsNoCase(related, "NONE"))
        m_relatedModule = FindModule(m_host, related);

    for (int i = 0; i < m_itemCount; ++i) {
        tPerCfgItem& item = m_items[i];
        std::string_view name = FieldText(item.szName);
        if (StartsWith(name, "-"))
            name.remove_prefix(1);
        std::string key(name);
        if (EndsWith(key, "_INIT"))
            key.replace(key.size() - 5, 5, "_RESET");
        std::uint32_t reset = 0;
        if (GetModuleInfoNumber(key, reset)) {
            item.dwDefault = reset;
            item.dwValue = reset;
        }
    }
}

void CModuleBase::AfterLoad() {}

void CModuleBase::SetProcessor(std::string_view) {}


void CModuleBase::SetHeaderFile(CAppcfgFile* header) {
    m_headerFile = header;
}

bool CModuleBase::IsHeaderFile(const CAppcfgFile* header) const {
    return header == m_headerFile;
}

std::string CModuleBase::GetDefineName(const tPerCfgItem& item) const {
    return MakeDefineName(InstanceName(), FieldText(item.szName));
}

bool CModuleBase::ShowInRegistersView(int, const tPerCfgItem&) const {
    return true;
}

tPerCfgItem* CModuleBase::FindOwnRegister(std::string_view name) {
    const std::string& instance = InstanceName();
    std::string_view shortName;
    bool hasShortName = false;
    if (!instance.empty() && StartsWith(name, instance)) {
        // The instance name and the '_' after it.
        shortName = name.substr(std::min(name.size(), instance.size() + 1));
        hasShortName = true;
    }
    for (int i = 0; i < m_itemCount; ++i) {
        const std::string_view itemName = FieldText(m_items[i].szName);
        if (itemName == name || (hasShortName && itemName == shortName))
            return &m_items[i];
        if (StartsWith(itemName, "-") && itemName.substr(1) == name)
            return &m_items[i];
    }
    return nullptr;
}

tPerCfgItem* CModuleBase::FindRegister(std::string_view name, CModuleBase** owner) {
    if (owner)
        *owner = this;
    if (tPerCfgItem* item = FindOwnRegister(name))
        return item;
    if (!owner)
        return nullptr;

    if (!StartsWith(name, "-")) {
        // The name may start with the instance name of the module it belongs to, which can
        // itself contain up to two '_'.
        const std::vector<std::string> parts = Split(name, '_');
        std::string candidate;
        for (std::size_t j = 0; j < 3 && j < parts.size(); ++j) {
            if (j > 0)
                candidate += '_';
            candidate += parts[j];
            CModuleBase* module = FindModule(m_host, candidate);
            if (!module)
                continue;
            if (tPerCfgItem* item = module->FindOwnRegister(name)) {
                *owner = module;
                return item;
            }
        }
    }

    if (m_host) {
        for (std::size_t i = 0; i < m_host->ModuleCount(); ++i) {
            CModuleBase* module = m_host->ModuleAt(i);
            if (!module || module == this)
                continue;
            if (tPerCfgItem* item = module->FindOwnRegister(name)) {
                *owner = module;
                return item;
            }
        }
    }
    *owner = nullptr;
    return nullptr;
}

CModuleBase* CModuleBase::FindModule(const IModuleHost* host, std::string_view instanceName,
                                     std::string_view typeKey) {
    if (!host)
        return nullptr;
    for (std::size_t i = 0; i < host->ModuleCount(); ++i) {
        CModuleBase* module = host->ModuleAt(i);
        if (!module || module->InstanceName() != instanceName)
            continue;
        if (typeKey.empty() || module->TypeKey() == typeKey)
            return module;
    }
    return nullptr;
}

bool CModuleBase::GetModuleInfo(std::string_view key, std::string& text) const {
    const std::string* value = m_descriptor.FindModuleInfo(key);
    if (!value) {
        text.clear();
        return false;
    }
    text = *value;
    return true;
}

bool CModuleBase::GetModuleInfoNumber(std::string_view key, std::uint32_t& number) const {
    const std::string* value = m_descriptor.FindModuleInfo(key);
    if (!value)
        return false;
    const auto read = ReadLeadingU32(*value);
    if (!read)
        return false;
    number = *read;
    return true;
}

void CModuleBase::GetSummary(std::string& text) const {
    text += SummaryText(Title(), m_commentItems, m_host && m_host->GenerateComments());
}

void CModuleBase::AddCommentItems(std::initializer_list<COMMENTITEM> items) {
    AddCommentItems(std::vector<COMMENTITEM>(items));
}

void CModuleBase::AddCommentItems(const std::vector<COMMENTITEM>& items) {
    for (const COMMENTITEM& item : items) {
        if (!item.binding)
            break;
        m_commentItems.push_back(item);
    }
}
