#pragma once
// Scratch state for tests: a fresh folder of the running test, and an environment variable set
// for a while. Both put things back as they found them when they go out of scope.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <system_error>

#include <unistd.h>

// An empty folder below the system's temporary folder, named after the prefix, this process and
// the running test, so that tests running side by side never share one. Removed with everything
// in it on destruction, including parts a test left write-protected.
class CTestFolder {
public:
    explicit CTestFolder(std::string_view prefix)
        : m_path(std::filesystem::temp_directory_path() / FolderName(prefix)) {
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~CTestFolder() {
        namespace fs = std::filesystem;
        std::error_code ignored;
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ignored);
        for (fs::recursive_directory_iterator it(m_path, ignored), end; it != end;
             it.increment(ignored)) {
            if (it->symlink_status(ignored).type() == fs::file_type::directory)
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
        fs::remove_all(m_path, ignored);
    }
    CTestFolder(const CTestFolder&) = delete;
    CTestFolder& operator=(const CTestFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::filesystem::path& relative) const {
        return m_path / relative;
    }

private:
    static std::string FolderName(std::string_view prefix) {
        std::string name = std::string(prefix) + "-" + std::to_string(::getpid());
        if (const auto* test = ::testing::UnitTest::GetInstance()->current_test_info())
            name += std::string("-") + test->test_suite_name() + "." + test->name();
        // Parameterised tests have a slash in their names.
        std::replace(name.begin(), name.end(), '/', '_');
        return name;
    }

    std::filesystem::path m_path;
};

// Sets an environment variable (or removes it, given nullptr) and restores the value it had, or
// its absence, on destruction.
class CScopedEnvironment {
public:
    CScopedEnvironment(const char* name, const char* value) : m_name(name) {
        if (const char* previous = std::getenv(name))
            m_saved = previous;
        Set(value);
    }
    ~CScopedEnvironment() { Set(m_saved ? m_saved->c_str() : nullptr); }
    CScopedEnvironment(const CScopedEnvironment&) = delete;
    CScopedEnvironment& operator=(const CScopedEnvironment&) = delete;

    // Changes the value again for the rest of the lifetime; nullptr removes the variable.
    void Set(const char* value) {
        if (value)
            ::setenv(m_name.c_str(), value, 1);
        else
            ::unsetenv(m_name.c_str());
    }

private:
    std::string m_name;
    std::optional<std::string> m_saved;
};

// The whole content of a file as bytes (empty when it cannot be read).
inline std::string ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// Creates or replaces a file with exactly these bytes.
inline void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}
