#pragma once
// Tests that work on an example project: a copy of it in the test's own folder, opened with the
// source tree's architecture files.

#include <filesystem>
#include <string_view>

#include "base/AppFilePath.h"

// Points the program's companion files at the source tree's architecture files while it lives.
class CScopedArchitectureFiles {
public:
    CScopedArchitectureFiles() { SetAppFolder(HWC_TEST_SOURCE_DIR "/data/arch"); }
    ~CScopedArchitectureFiles() { SetAppFolder(""); }
    CScopedArchitectureFiles(const CScopedArchitectureFiles&) = delete;
    CScopedArchitectureFiles& operator=(const CScopedArchitectureFiles&) = delete;
};

// Copies an example project (a folder of examples/) to `to`, which does not exist yet.
inline void CopyExample(std::string_view example, const std::filesystem::path& to) {
    std::filesystem::copy(std::filesystem::path(HWC_TEST_SOURCE_DIR "/examples") / example, to,
                          std::filesystem::copy_options::recursive);
}
