#include "base/IniFile.h"

#include <algorithm>
#include <cassert>
#include <regex>

#include "base/Messages.h"
#include "base/Regex.h"

namespace {

// "[name]" alone on its line; the name runs up to the first closing bracket.
const std::regex& SectionHeaderPattern() {
    static const std::regex pattern = hwc::MakeRegex(R"(^\s*\[([^\]\n]+)]\s*$)", false);
    return pattern;
}

// "key = value": the key is the shortest run without white space before an equals sign, the
// value the rest of the line without surrounding white space. The value may hold any character
// of the line, a lone carriage return included, so that every entry read is written back as a
// line that reads the same.
const std::regex& EntryPattern() {
    static const std::regex pattern = hwc::MakeRegex(R"(^\s*(\S+?)\s*=\s*([^\n]*?)\s*$)", false);
    return pattern;
}

} // namespace

bool CIniFileSection::Read(hwc::CTextFile& file) {
    bool inSection = false;
    std::string line;
    std::smatch match;
    while (true) {
        const std::size_t lineStart = file.Tell();
        if (!file.ReadLine(line))
            return inSection;
        // The cheap character tests only spare the matcher lines that cannot match anyway.
        if (line.find('[') != std::string::npos &&
            std::regex_match(line, match, SectionHeaderPattern())) {
            if (inSection) {
                file.Seek(lineStart);
                return true;
            }
            m_name = match[1].str();
            inSection = true;
            continue;
        }
        if (inSection && line.find('=') != std::string::npos &&
            std::regex_match(line, match, EntryPattern()))
            Set(match[1].str(), match[2].str());
    }
}

void CIniFileSection::Write(std::string& out) const {
    out += '[';
    out += m_name;
    out += "]\n";
    for (const std::string& key : m_keyOrder) {
        out += key;
        out += '=';
        out += Get(key);
        out += '\n';
    }
}

const std::string& CIniFileSection::Get(const std::string& key) const {
    static const std::string kNone;
    const auto it = m_values.find(key);
    return it == m_values.end() ? kNone : it->second;
}

void CIniFileSection::Set(const std::string& key, const std::string& value) {
    if (m_values.insert_or_assign(key, value).second)
        m_keyOrder.push_back(key);
}

void CIniFileSection::GetNext(Position& pos, std::string& key, std::string& value) const {
    assert(pos != kEndPosition && pos <= m_keyOrder.size());
    if (pos == kEndPosition || pos > m_keyOrder.size()) {
        key.clear();
        value.clear();
        pos = kEndPosition;
        return;
    }
    key = m_keyOrder[pos - 1];
    value = Get(key);
    pos = pos < m_keyOrder.size() ? pos + 1 : kEndPosition;
}

void CIniFile::Clear() {
    m_index.clear();
    m_sections.clear();
}

bool CIniFile::Load(const std::string& path, bool reportErrors) {
    m_path = path;
    m_leadingText.clear();
    Clear();
    hwc::CTextFile file;
    const hwc::Status status = file.Load(path);
    if (!status) {
        if (reportErrors)
            hwc::ShowMessage(status.message());
        return false;
    }
    return Read(file);
}

bool CIniFile::Read(hwc::CTextFile& file) {
    m_lineEnding = file.LineEnding();
    while (true) {
        auto section = std::make_unique<CIniFileSection>();
        if (!section->Read(file))
            break;
        // The first section of a name wins; a later one is dropped with its entries.
        AddSection(section);
    }
    m_path = file.Path();
    return true;
}

bool CIniFile::Save(bool reportErrors) {
    if (m_path.empty())
        return false;
    return SaveAs(m_path, reportErrors);
}

bool CIniFile::SaveAs(const std::string& path, bool reportErrors) {
    std::string text;
    Write(text);
    const hwc::Status status = hwc::WriteTextFile(path, text, m_lineEnding);
    if (!status) {
        if (reportErrors)
            hwc::ShowMessage(status.message());
        return false;
    }
    return true;
}

bool CIniFile::Write(std::string& out) const {
    out += m_leadingText;
    if (!m_leadingText.empty())
        out += '\n';
    for (const auto& section : m_sections) {
        section->Write(out);
        out += '\n';
    }
    return true;
}

CIniFileSection* CIniFile::FindSection(const std::string& name, bool create) {
    const auto it = m_index.find(name);
    if (it != m_index.end())
        return it->second;
    return create ? CreateSection(name) : nullptr;
}

CIniFileSection* CIniFile::CreateSection(const std::string& name) {
    auto section = std::make_unique<CIniFileSection>(name);
    CIniFileSection* created = section.get();
    return AddSection(section) ? created : nullptr;
}

bool CIniFile::AddSection(std::unique_ptr<CIniFileSection>& section) {
    if (!section || m_index.count(section->Name()) != 0)
        return false;
    m_index.emplace(section->Name(), section.get());
    m_sections.push_back(std::move(section));
    return true;
}

std::unique_ptr<CIniFileSection> CIniFile::RemoveSection(const CIniFileSection* section) {
    if (section == nullptr)
        return nullptr;
    const auto it = std::find_if(m_sections.begin(), m_sections.end(),
                                 [section](const auto& held) { return held.get() == section; });
    if (it == m_sections.end())
        return nullptr;
    std::unique_ptr<CIniFileSection> removed = std::move(*it);
    m_sections.erase(it);
    m_index.erase(removed->Name());
    return removed;
}

std::unique_ptr<CIniFileSection> CIniFile::RemoveSection(const std::string& name) {
    const auto it = m_index.find(name);
    return it == m_index.end() ? nullptr : RemoveSection(it->second);
}
