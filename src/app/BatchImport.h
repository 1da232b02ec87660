#pragma once
// The headless import of module settings from another project (or from the same one).

#include <string>
#include <vector>

#include "app/BatchCommands.h"

// arguments: SOURCE, DEST, then INSTANCE or INSTANCE=SOURCE_INSTANCE for each destination
// module; without any, every module of DEST whose namesake in SOURCE is written there.
int RunImport(const std::vector<std::string>& arguments, const tBatchOptions& options);
