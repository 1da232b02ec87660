#pragma once
// The commands of the headless program. Each returns the process exit status.

#include <string>

struct tBatchOptions {
    bool ifChanged = false; // reprocess: write nothing when only the banner date would change
    bool werror = false;    // check: exit 3 when any warning stands
};

int RunReprocess(const std::string& path, const tBatchOptions& options);
int RunCheck(const std::string& path, const tBatchOptions& options);
int RunRegisters(const std::string& path, const std::string& instance);
int RunProcessors();
int RunHeader(const std::string& path);
