#pragma once
// What a page control shows as its value, as module tests compare it: a box's mark, a list's
// chosen entry (empty without one), otherwise its text.

#include <cstddef>
#include <string>

#include "model/Page.h"

namespace hwc::test {

inline std::string ShownValue(const CPageControl& control) {
    switch (control.Kind()) {
    case EControlKind::CheckBox:
        return control.Check() == 1 ? "[x]" : "[ ]";
    case EControlKind::DropList: {
        const int at = control.Selection();
        return at < 0 ? std::string() : control.Items()[static_cast<std::size_t>(at)];
    }
    default:
        return control.Text();
    }
}

} // namespace hwc::test
