#include "bindings/KeptChoice.h"

#include "model/Page.h"

namespace hwc {

bool CKeptChoice::KeepsValue() const {
    const CPageControl* control = GetWnd();
    const tBindingField field = Field();
    if (!control || !field.value || control->Selection() >= 0)
        return false;
    const std::uint32_t value = (*field.value & field.mask) >> Shift();
    return value >= control->Items().size();
}

bool CKeptChoice::ValidateControl(bool show) {
    return KeepsValue() || CSetMode::ValidateControl(show);
}

void CKeptChoice::Apply() {
    if (!KeepsValue())
        CSetMode::Apply();
}

} // namespace hwc
