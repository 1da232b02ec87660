#include "app/CommandLine.h"

#include <filesystem>
#include <system_error>

#include "base/TextUtil.h"

void CMyCommandLineInfo::ParseParam(std::string_view word, bool isFlag, bool isLast) {
    if (!isFlag) {
        if (m_fileName.empty() && !word.empty()) {
            m_fileName = word;
            m_shellCommand = EShellCommand::FileOpen;
        }
        return;
    }
    if (hwc::EqualsNoCase(word, "selftest"))
        m_selfTest = true;
    else if (hwc::EqualsNoCase(word, "reprocess"))
        m_reprocess = true;
    else if (hwc::EqualsNoCase(word, "Embedding"))
        m_runEmbedded = true;
    else if (hwc::EqualsNoCase(word, "Automation"))
        m_runAutomated = true;
    // Every other flag, the server registration flags included, is accepted without effect:
    // registration happens on every start anyway.
}

bool IsCommandLineFlag(std::string_view word) {
    if (word.empty())
        return false;
    if (word.front() == '-')
        return true;
    if (word.front() != '/')
        return false;
    if (word.find('/', 1) != std::string_view::npos)
        return false;
    std::error_code error;
    return !std::filesystem::exists(std::filesystem::path(word), error);
}

void ParseCommandLine(int argc, const char* const* argv, CMyCommandLineInfo& info) {
    for (int i = 1; i < argc; ++i) {
        if (argv[i] == nullptr)
            continue;
        const std::string_view word = argv[i];
        const bool isFlag = IsCommandLineFlag(word);
        info.ParseParam(isFlag ? word.substr(1) : word, isFlag, i == argc - 1);
    }
}
