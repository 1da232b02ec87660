#include "project/RegistersList.h"

#include "base/FixedText.h"
#include "base/TextUtil.h"
#include "model/ModuleBase.h"
#include "model/RegisterItem.h"
#include "project/ProjDocBase.h"

namespace {

bool IsListed(CModuleBase& module, int index, const tPerCfgItem& item) {
    if (item.dwFlags & (hwc::RegFlag::NOSHOWLIST | hwc::RegFlag::NOVALUE))
        return false;
    return module.ShowInRegistersView(index, item);
}

std::vector<tRegisterRow> RowsOf(CModuleBase& module, const CProjDocBase& document) {
    std::vector<tRegisterRow> rows;
    std::vector<tRegisterRow> userDefines;
    auto add = [&](tRegisterRow row) {
        row.userDefine = (row.item->dwFlags & hwc::RegFlag::USERDEFINE) != 0;
        (row.userDefine ? userDefines : rows).push_back(row);
    };
    for (int i = 0; i < module.ItemCount(); ++i) {
        tPerCfgItem& item = module.Item(i);
        if (IsListed(module, i, item))
            add({&item, &module, false, false});
    }
    for (tPerCfgItem* item : module.ForeignItems()) {
        if (!IsListed(module, -1, *item))
            continue;
        CModuleBase* owner = document.ItemOwner(item);
        add({item, owner ? owner : &module, owner && owner != &module, false});
    }
    rows.insert(rows.end(), userDefines.begin(), userDefines.end());
    return rows;
}

} // namespace

std::vector<tRegisterRow> ListRegisters(CModuleBase& module, const CProjDocBase& document) {
    for (CModuleBase* current = &module; current; current = current->Parent()) {
        std::vector<tRegisterRow> rows = RowsOf(*current, document);
        if (!rows.empty())
            return rows;
    }
    return {};
}

std::string RegisterRowLabel(const tRegisterRow& row) {
    std::string_view name = hwc::FieldText(row.item->szName);
    if (hwc::EndsWith(name, "_INIT"))
        name.remove_suffix(5);
    std::string label;
    if (!name.empty() && name.front() == '-')
        label = std::string(name.substr(1));
    else if (row.borrowed)
        label = row.owner->InstanceName() + "_" + std::string(name);
    else
        label = std::string(name);
    const std::string_view note = hwc::FieldText(row.item->szNote);
    if (!note.empty())
        label += " " + std::string(note);
    return label + ":";
}
