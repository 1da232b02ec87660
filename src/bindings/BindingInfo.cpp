#include "bindings/BindingInfo.h"

#include <algorithm>
#include <bit>

#include "base/TextUtil.h"
#include "bindings/SetCtrl.h"
#include "model/ModuleBase.h"
#include "model/ModuleSubDlg.h"
#include "model/RegisterItem.h"

namespace hwc {

namespace {

// The bits a register of these flags has.
std::uint32_t WidthMask(std::uint32_t flags) {
    return RegisterLimit(flags);
}

const tPerCfgItem* ItemOfValue(const CModuleBase& module, const std::uint32_t* value) {
    for (int i = 0; i < module.ItemCount(); ++i) {
        if (&module.Item(i).dwValue == value)
            return &module.Item(i);
    }
    for (const tPerCfgItem* item : module.ForeignItems()) {
        if (&item->dwValue == value)
            return item;
    }
    return nullptr;
}

void CollectBindings(const CPage& page, std::vector<const CSetCtrl*>& bindings) {
    for (IBinding* binding : page.Bindings()) {
        if (const auto* control = dynamic_cast<const CSetCtrl*>(binding))
            bindings.push_back(control);
    }
    for (const CModuleSubDlg* sub : page.SubPages())
        CollectBindings(*sub, bindings);
}

} // namespace

std::string BitRangeText(std::uint32_t mask) {
    if (mask == 0)
        return {};
    const int low = std::countr_zero(mask);
    const int high = 31 - std::countl_zero(mask);
    if (low == high)
        return Format("bit %d", low);
    const std::uint32_t span = (0xFFFFFFFFu >> (31 - high)) & (0xFFFFFFFFu << low);
    if (mask == span)
        return Format("bits %d..%d", low, high);
    std::string text = "bits ";
    for (int bit = low; bit <= high; ++bit) {
        if (!(mask & (1u << bit)))
            continue;
        if (text.size() > 5)
            text += ", ";
        text += std::to_string(bit);
    }
    return text;
}

const tPerCfgItem* BindingRegister(const CSetCtrl& binding, const CModuleBase& module) {
    const tBindingField field = binding.Field();
    return field.value ? ItemOfValue(module, field.value) : nullptr;
}

std::string BindingRegisterText(const CSetCtrl& binding, const CModuleBase& module) {
    const tPerCfgItem* item = BindingRegister(binding, module);
    if (!item)
        return {};
    const std::string name = module.GetDefineName(*item);
    const std::uint32_t width = WidthMask(item->dwFlags);
    const std::uint32_t mask = binding.Field().mask & width;
    if (mask == 0 || mask == width)
        return name;
    return name + " " + BitRangeText(mask);
}

std::string BindingToolTip(const CSetCtrl& binding, const CModuleBase& module) {
    const tBindingField field = binding.Field();
    std::vector<std::string> lines;
    if (!field.description.empty())
        lines.push_back(field.description);
    if (std::string reg = BindingRegisterText(binding, module); !reg.empty())
        lines.push_back(std::move(reg));
    if (field.hasRange && field.value)
        lines.push_back(Format("Range: %u to %u", static_cast<unsigned>(field.minimum),
                               static_cast<unsigned>(field.maximum)));
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "\n") + line;
    return text;
}

std::vector<tRegisterField> RegisterFields(const CModuleBase& module, const tPerCfgItem& item) {
    std::vector<tRegisterField> fields;
    if (!module.Page())
        return fields;
    std::vector<const CSetCtrl*> bindings;
    CollectBindings(*module.Page(), bindings);
    const std::uint32_t width = WidthMask(item.dwFlags);
    for (const CSetCtrl* binding : bindings) {
        const tBindingField field = binding->Field();
        if (field.value != &item.dwValue || (field.mask & width) == 0)
            continue;
        std::string setting = field.description;
        if (setting.empty() && binding->GetWnd())
            setting = "control " + std::to_string(binding->GetWnd()->Id());
        fields.push_back({field.mask & width, std::move(setting)});
    }
    std::stable_sort(fields.begin(), fields.end(), [](const auto& a, const auto& b) {
        return std::countr_zero(a.mask) < std::countr_zero(b.mask);
    });
    return fields;
}

} // namespace hwc
