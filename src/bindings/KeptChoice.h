#pragma once
// A list whose register field may hold a code the list does not offer (a reserved code, a
// source another part of the family has): such a value shows no selection, counts as valid and
// is written back as it was loaded, until the user picks an entry. The list's positions are
// the field's values (no translation table).

#include "bindings/SetMode.h"

namespace hwc {

class CKeptChoice : public CSetMode {
public:
    bool ValidateControl(bool show) override;
    void Apply() override;

private:
    // No selection while the field holds a code beyond the entries; a listed code without a
    // selection stays invalid.
    bool KeepsValue() const;
};

} // namespace hwc
