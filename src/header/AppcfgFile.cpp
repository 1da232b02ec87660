#include "header/AppcfgFile.h"

#include <filesystem>

#include "base/Messages.h"
#include "header/ParameterBlock.h"

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
    const auto it = m_blockIndex.find(module);
    return it == m_blockIndex.end() ? nullptr : it->second;
}

void CAppcfgFile::ParseParameters(const std::string& commentText) {
    const std::optional<tParameterBlockText> block = FindParameterBlockText(commentText);
    if (!block)
        return; // an ordinary comment
    CAppcfgMap*& parameters = m_blockIndex[block->module];
    if (!parameters) {
        m_parameterBlocks.emplace_back(block->module, std::make_unique<CAppcfgMap>());
        parameters = m_parameterBlocks.back().second.get();
    }
    for (tParameterLine& line : ParameterLines(block->lines))
        parameters->Obtain(line.key).value = std::move(line.value);
}

CAppcfgFileReader::CAppcfgFileReader(const std::vector<tNamePair>& aliases) {
    m_aliases.reserve(2 * aliases.size());
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
