#pragma once
// Update hints the page operations send to the document's views.

namespace hwc {

inline constexpr int kHintControlsRefreshed = 20; // a page's controls were read from its items
inline constexpr int kHintControlsApplied = 21;   // a page's controls were written to its items
inline constexpr int kHintSubPageRefreshed = 22;  // the same for one sub-page (object: it)
inline constexpr int kHintSubPageApplied = 23;
// Code (a wizard) selected a module for output and wrote its registers (object: the module).
inline constexpr int kHintModuleSelected = 25;

} // namespace hwc
