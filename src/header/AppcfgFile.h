#pragma once
// The parsed configuration header: the user's text before and after the generated part, every
// #define found and every internal-parameter block found in the tool's comments.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "base/TextFile.h"

class CTextFileParser;

// One definition or internal parameter.
struct CAppcfgEntry {
    static constexpr std::uint32_t kClaimed = 0x1;

    std::string name;    // macro name, or parameter key
    std::string value;   // rest of the #define line, or the text after "="
    std::string comment; // comments gathered for a definition; empty for parameters
    std::uint32_t flags = 0;

    bool IsClaimed() const { return (flags & kClaimed) != 0; }
    void Claim() { flags |= kClaimed; }
};

// Entries by exact name. Besides the hash lookup it keeps the order in which names first
// appeared, so that whatever is written back from it comes out in file order.
class CAppcfgMap {
public:
    CAppcfgEntry* Find(const std::string& name);
    const CAppcfgEntry* Find(const std::string& name) const;
    // The entry for the name, created (and appended to the file order) when absent.
    CAppcfgEntry& Obtain(const std::string& name);

    const std::vector<CAppcfgEntry*>& InFileOrder() const { return m_order; }
    std::size_t size() const { return m_order.size(); }
    bool empty() const { return m_order.empty(); }

private:
    std::unordered_map<std::string, std::unique_ptr<CAppcfgEntry>> m_entries;
    std::vector<CAppcfgEntry*> m_order;
};

// A stretch of a text: the offsets of its first character and of the one after it.
struct tTextSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// A header the program did not write (it has no generated part) from its first definition on:
// the first save replaces that stretch with the generated part and carries over only the
// definitions, their comments when the save keeps them, and the guard's "#endif".
struct tHandWrittenPart {
    struct tDefinition {
        std::string name;
        tTextSpan span;                    // from the "#" to the end of the definition
        std::vector<tTextSpan> comments;   // the comments it keeps (the one on the line above too)
        std::vector<tTextSpan> passedOver; // comments within it that nothing keeps
    };
    std::string text;  // the file's text (line ends converted) from that line on
    int firstLine = 1; // the number of the first line of `text`
    // In file order, spans relative to `text`; a comment above the first one is left out, it
    // stays in the leading text.
    std::vector<tDefinition> definitions;
    std::optional<tTextSpan> guardEndif; // the directive closing the guard
};

class CAppcfgFile {
public:
    CAppcfgFile() = default;
    virtual ~CAppcfgFile();
    CAppcfgFile(const CAppcfgFile&) = delete;
    CAppcfgFile& operator=(const CAppcfgFile&) = delete;

    // Parses the whole file. On failure the message is shown when reportErrors is set and kept
    // in LastError(); what was read so far stays.
    bool Read(hwc::CTextFile& file, bool reportErrors);
    // Opens the path and reads it; with createIfMissing an absent file is created empty.
    bool OpenAndRead(const std::string& path, bool createIfMissing, bool reportErrors);

    // The definition of that macro name, or null.
    virtual CAppcfgEntry* GetEntry(const std::string& name);
    // The parameter `key` of the internal-parameter block of `module`, or null.
    virtual CAppcfgEntry* GetParam(const std::string& module, const std::string& key);

    CAppcfgMap& Definitions() { return m_definitions; }
    const CAppcfgMap& Definitions() const { return m_definitions; }
    // Parameter blocks by module name, in the order the modules first appeared.
    const std::vector<std::pair<std::string, std::unique_ptr<CAppcfgMap>>>&
    ParameterBlocks() const {
        return m_parameterBlocks;
    }
    CAppcfgMap* FindParameterBlock(const std::string& module);

    const std::string& Path() const { return m_path; }
    const std::string& LeadingText() const { return m_leadingText; }
    const std::string& TrailingText() const { return m_trailingText; }
    // The line ends the file was read with; a new file gets LF.
    hwc::ELineEnding LineEnding() const { return m_lineEnding; }
    const std::string& LastError() const { return m_lastError; }
    // The part of a header without generated part that a save replaces; null for a header with
    // a generated part, and for one without definitions (a save keeps all of it).
    const tHandWrittenPart* HandWrittenPart() const { return m_handWritten.get(); }

protected:
    // Takes the first "[PARAMETERS:name]" block of a comment's text into the parameter blocks.
    void ParseParameters(const std::string& commentText);

private:
    struct ReadState;
    // The steps of Read, one per kind of token that matters.
    void TakeComment(CTextFileParser& parser, const std::string& text, ReadState& state);
    void TakeDirective(CTextFileParser& parser, const std::string& directive, ReadState& state);
    void TakeDefinition(CTextFileParser& parser, ReadState& state);
    bool NextOnLine(CTextFileParser& parser, std::string& token, ReadState& state);
    void Define(CAppcfgEntry entry);
    void EndLeadingPart(CTextFileParser& parser, std::size_t upTo, ReadState& state);
    void FinishAtEndOfFile(CTextFileParser& parser, ReadState& state);
    void KeepHandWrittenPart(ReadState& state);

    CAppcfgMap m_definitions;
    std::vector<std::pair<std::string, std::unique_ptr<CAppcfgMap>>> m_parameterBlocks;
    std::unordered_map<std::string, CAppcfgMap*> m_blockIndex; // the blocks by module name
    std::string m_path;
    std::string m_leadingText;
    std::string m_trailingText;
    std::string m_lastError;
    std::unique_ptr<tHandWrittenPart> m_handWritten;
    hwc::ELineEnding m_lineEnding = hwc::ELineEnding::LF;
};

struct tNamePair {
    std::string first;
    std::string second;
};

// A header reader that also finds a definition under its alias name: every pair is entered in
// both directions, and a name that is absent is looked up once more under its alias.
class CAppcfgFileReader : public CAppcfgFile {
public:
    explicit CAppcfgFileReader(const std::vector<tNamePair>& aliases = {});
    CAppcfgEntry* GetEntry(const std::string& name) override;

private:
    std::unordered_map<std::string, std::string> m_aliases;
};
