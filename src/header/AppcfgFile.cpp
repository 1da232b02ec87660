#include "header/AppcfgFile.h"

#include <filesystem>
#include <regex>

#include "base/Messages.h"
#include "base/Regex.h"
#include "base/TextUtil.h"

struct CAppcfgFile::Patterns {
    // "[PARAMETERS:module]" and the "key=value" lines right below it.
    std::regex block =
        hwc::MakeRegex("\\[\\s*PARAMETERS\\:(\\S+)\\s*\\].*\\n((^[^=\\n]+\\=.*\\n)+)", true);
    std::regex line = hwc::MakeRegex("^\\s*([^\\= \\t]+)\\s*\\=\\s*(.*?)\\s*$", true);
};

CAppcfgFile::CAppcfgFile() {
    // Compiling the patterns costs far more than reading a small header; they never change.
    static const Patterns patterns;
    m_patterns = &patterns;
}

CAppcfgFile::~CAppcfgFile() = default;

bool CAppcfgFile::OpenAndRead(const std::string& path, bool createIfMissing, bool reportErrors) {
    hwc::CTextFile file;
    hwc::Status status = file.Load(path);
    std::error_code error;
    if (!status && createIfMissing && !std::filesystem::exists(path, error)) {
        // Appending creates the file without ever truncating one that appeared meanwhile.
        status = hwc::AppendTextFile(path, "");
        if (status)
            status = file.Load(path);
    }
    if (!status) {
        m_path = path;
        m_lastError = status.message();
        if (reportErrors)
            hwc::ShowMessage(m_lastError);
        return false;
    }
    return Read(file, reportErrors);
}

CAppcfgEntry* CAppcfgFile::GetEntry(const std::string& name) {
    return m_definitions.Find(name);
}

CAppcfgEntry* CAppcfgFile::GetParam(const std::string& module, const std::string& key) {
    CAppcfgMap* block = FindParameterBlock(module);
    return block ? block->Find(key) : nullptr;
}

CAppcfgMap* CAppcfgFile::FindParameterBlock(const std::string& module) {
    for (auto& [name, block] : m_parameterBlocks) {
        if (name == module)
            return block.get();
    }
    return nullptr;
}

namespace {

// Where a block pattern match can begin at the earliest: the first "[" that white space and
// "PARAMETERS:" follow. Searching from there finds the same first match as searching the whole
// text, without running the pattern over long comments.
std::size_t FirstBlockCandidate(const std::string& text) {
    static constexpr std::string_view kKeyword = "PARAMETERS:";
    for (std::size_t at = text.find(kKeyword); at != std::string::npos;
         at = text.find(kKeyword, at + 1)) {
        std::size_t before = at;
        while (before > 0 && hwc::IsSpace(text[before - 1]))
            --before;
        if (before > 0 && text[before - 1] == '[')
            return before - 1;
    }
    return std::string::npos;
}

} // namespace

void CAppcfgFile::ParseParameters(const std::string& commentText) {
    const std::size_t from = FirstBlockCandidate(commentText);
    if (from == std::string::npos)
        return; // an ordinary comment
    const auto flags =
        from > 0 ? std::regex_constants::match_prev_avail : std::regex_constants::match_default;
    std::smatch block;
    if (!std::regex_search(commentText.begin() + static_cast<std::ptrdiff_t>(from),
                           commentText.end(), block, m_patterns->block, flags))
        return;
    const std::string module = block[1].str();
    CAppcfgMap* parameters = FindParameterBlock(module);
    if (!parameters) {
        m_parameterBlocks.emplace_back(module, std::make_unique<CAppcfgMap>());
        parameters = m_parameterBlocks.back().second.get();
    }
    const std::string lines = block[2].str();
    for (std::sregex_iterator it(lines.begin(), lines.end(), m_patterns->line), end; it != end;
         ++it) {
        CAppcfgEntry& entry = parameters->Obtain((*it)[1].str());
        entry.value = (*it)[2].str();
    }
}

CAppcfgFileReader::CAppcfgFileReader(const std::vector<tNamePair>& aliases) {
    for (const tNamePair& pair : aliases) {
        m_aliases[pair.first] = pair.second;
        m_aliases[pair.second] = pair.first;
    }
}

CAppcfgEntry* CAppcfgFileReader::GetEntry(const std::string& name) {
    if (CAppcfgEntry* entry = CAppcfgFile::GetEntry(name))
        return entry;
    const auto alias = m_aliases.find(name);
    return alias == m_aliases.end() ? nullptr : CAppcfgFile::GetEntry(alias->second);
}
