#pragma once
// An in-memory model of an INI-style text file: named sections of key=value lines, kept in file
// order so that a loaded file is written back in the order it was read.

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/TextFile.h"

// One "[name]" section: its entries by exact key, and the keys in the order they were first set.
class CIniFileSection {
public:
    // A walking position over the keys; kEndPosition when there is no further key.
    using Position = std::size_t;
    static constexpr Position kEndPosition = 0;

    explicit CIniFileSection(std::string name = {}) : m_name(std::move(name)) {}

    // Reads the next section from the file's current position; false when no section header
    // remains. A second header is left unread for the next section's Read.
    bool Read(hwc::CTextFile& file);
    // Appends the header line and one "key=value" line per key, in key order.
    void Write(std::string& out) const;

    const std::string& Name() const { return m_name; }
    // The value of the key, or an empty text when the key is absent.
    const std::string& Get(const std::string& key) const;
    bool Has(const std::string& key) const { return m_values.count(key) != 0; }
    // A new key goes to the end of the key order; an existing one keeps its place.
    void Set(const std::string& key, const std::string& value);

    const std::vector<std::string>& Keys() const { return m_keyOrder; }
    Position FirstPosition() const { return m_keyOrder.empty() ? kEndPosition : 1; }
    // The key and value at the position; the position moves on to the next key.
    void GetNext(Position& pos, std::string& key, std::string& value) const;

private:
    std::string m_name;
    std::unordered_map<std::string, std::string> m_values;
    std::vector<std::string> m_keyOrder;
};

// The whole file: the sections in file order, each name at most once (the first one read wins).
class CIniFile {
public:
    using SectionList = std::vector<std::unique_ptr<CIniFileSection>>;

    CIniFile() = default;
    virtual ~CIniFile() = default;
    CIniFile(const CIniFile&) = delete;
    CIniFile& operator=(const CIniFile&) = delete;

    // Deletes every section.
    virtual void Clear();
    // Replaces the content with the file's; a file error is shown when reportErrors is set.
    virtual bool Load(const std::string& path, bool reportErrors);
    // Adds every section of the file from its current position; takes over its path.
    virtual bool Read(hwc::CTextFile& file);
    // Writes to the path last loaded or set; false when there is none.
    virtual bool Save(bool reportErrors);
    // Creates or truncates the file at the path and writes the content to it.
    virtual bool SaveAs(const std::string& path, bool reportErrors);
    // Appends the leading text and every section, each followed by an empty line.
    virtual bool Write(std::string& out) const;
    // The section of that name; when absent and create is set, a new empty one.
    virtual CIniFileSection* FindSection(const std::string& name, bool create = false);
    // A new empty section appended to the file, or null when the name is taken.
    virtual CIniFileSection* CreateSection(const std::string& name);
    // Takes the section over and returns true, or returns false and leaves it with the caller
    // when a section of that name exists already.
    virtual bool AddSection(std::unique_ptr<CIniFileSection>& section);
    // Unlinks one of this file's sections and hands it back (deleted when the caller drops it);
    // null when the section does not belong to this file.
    virtual std::unique_ptr<CIniFileSection> RemoveSection(const CIniFileSection* section);
    virtual std::unique_ptr<CIniFileSection> RemoveSection(const std::string& name);

    const std::string& Path() const { return m_path; }
    void SetPath(std::string path) { m_path = std::move(path); }
    // Text written before the first section; Load empties it.
    const std::string& LeadingText() const { return m_leadingText; }
    void SetLeadingText(std::string text) { m_leadingText = std::move(text); }
    // The line ends of the file last read; a saved file keeps them.
    hwc::ELineEnding LineEnding() const { return m_lineEnding; }

    const SectionList& Sections() const { return m_sections; }

private:
    std::string m_path;
    std::string m_leadingText;
    hwc::ELineEnding m_lineEnding = hwc::ELineEnding::LF;
    SectionList m_sections;
    std::unordered_map<std::string, CIniFileSection*> m_index;
};
