#pragma once
// The whole configuration of an open project as one JSON document, for scripts and other tools:
// the processor, the clocks, and every module in tree order with its registers, settings,
// derived values and warnings, then the user definitions. docs/export.md describes every field.

#include <string>

class CProjDocBase;

namespace hwc {

// The number in the document's "format" field; it changes only when a field's meaning changes.
inline constexpr int kExportFormat = 1;

// Brings the pages' derived values and the warnings up to date (as showing each page and an
// idle pass would), then writes the document, ending with a line end. Registers are not changed
// by the export itself; the output depends only on the project, never on the date or the path
// the project was opened from.
std::string ExportProjectJson(CProjDocBase& document);

} // namespace hwc
