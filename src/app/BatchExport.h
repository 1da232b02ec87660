#pragma once
// The headless export of a whole configuration in a machine-readable form.

#include <string>

#include "app/BatchCommands.h"

// Prints the project at `path` in the format of the options (JSON) to standard output; exit 0,
// or 2 when the project cannot be opened (the message is the one check gives) or the output
// cannot be written.
int RunExport(const std::string& path, const tBatchOptions& options);
