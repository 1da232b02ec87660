#include "project/RegistersList.h"

#include "base/FixedText.h"
#include "base/NumberScan.h"
#include "base/TextUtil.h"
#include "model/ModuleBase.h"
#include "model/RegisterItem.h"
#include "model/RegisterValue.h"
#include "project/ProjDocBase.h"
#include "project/SelfTest.h"

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

namespace {

// Writes a checked value straight into the register and runs its owner's update cycle, for
// registers that cannot be written by name (user defines).
void WriteDirectly(CProjDocBase& document, CModuleBase& owner, tPerCfgItem& item,
                   const tPerCfgItem& value) {
    const bool isText = (item.dwFlags & hwc::RegFlag::STRVALUE) != 0;
    if (isText ? hwc::FieldText(item.szValue) == hwc::FieldText(value.szValue)
               : item.dwValue == value.dwValue)
        return;
    if (isText)
        hwc::CopyCut(item.szValue, hwc::FieldText(value.szValue));
    item.dwValue = value.dwValue;
    document.UpdateAllViews(&owner, 10, nullptr);
    owner.RefreshControls();
    owner.Recalculate();
    owner.UpdateControlStates();
}

} // namespace

std::string RegisterRowValueText(const tPerCfgItem& item, bool decimal) {
    const bool ownFormat = (item.dwFlags & (hwc::RegFlag::STRVALUE | hwc::RegFlag::DECVALUE)) != 0;
    if (decimal && !ownFormat)
        return hwc::Format("%u", static_cast<unsigned>(item.dwValue));
    return FormatRegisterValue(item, false);
}

bool RegisterRowChanged(const tPerCfgItem& item) {
    if (item.dwValue != item.dwSaved)
        return true;
    return (item.dwFlags & hwc::RegFlag::STRVALUE) &&
           hwc::FieldText(item.szValue) != hwc::FieldText(item.szSaved);
}

bool StoreRegisterRow(CProjDocBase& document, const tRegisterRow& row, std::string_view typed,
                      std::string& message) {
    tPerCfgItem& item = *row.item;
    tPerCfgItem value = item;
    if (!ParseRegisterValue(hwc::Trim(typed), value, message))
        return false;
    CModuleBase& owner = *row.owner;
    const std::string name = owner.GetDefineName(item);
    CModuleBase* found = nullptr;
    const bool byName = !(item.dwFlags & hwc::RegFlag::USERDEFINE) && !document.Modules().empty() &&
                        document.Modules().front()->FindRegister(name, &found) == &item;
    if (!byName) {
        WriteDirectly(document, owner, item, value);
        return true;
    }
    const bool isText = (item.dwFlags & hwc::RegFlag::STRVALUE) != 0;
    const std::string text = isText ? std::string(hwc::FieldText(value.szValue))
                                    : hwc::Format("0x%X", value.dwValue);
    return hwc::SetRegisterFromText(document, name + "=" + text, message);
}

std::string RegisterAssignmentNote(CProjDocBase& document, std::string_view assignment) {
    const std::size_t equals = assignment.find('=');
    if (equals == std::string_view::npos || document.Modules().empty())
        return {};
    const std::string name(assignment.substr(0, equals));
    CModuleBase* owner = nullptr;
    const tPerCfgItem* item = document.Modules().front()->FindRegister(name, &owner);
    constexpr std::uint32_t kOwnRules =
        hwc::RegFlag::STRVALUE | hwc::RegFlag::SIGNEDVALUE | hwc::RegFlag::USERDEFINE;
    if (!item || !owner || (item->dwFlags & kOwnRules))
        return {};
    const std::string_view text = hwc::Trim(assignment.substr(equals + 1));
    const std::optional<std::uint32_t> number = hwc::ReadExactU32(text);
    const std::uint32_t limit = hwc::RegisterLimit(item->dwFlags);
    if (!number || (*number & ~limit) == 0)
        return {};
    return hwc::Format("%s: %.*s does not fit the register's %d bits; 0x%X is written.",
                       name.c_str(), static_cast<int>(text.size()), text.data(),
                       limit == 0xFF ? 8 : limit == 0xFFFF ? 16 : 32, *number & limit);
}
