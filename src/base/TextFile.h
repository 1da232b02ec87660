#pragma once
// Text files as the readers and writers of this program see them: read whole into memory as
// bytes, a carriage return before a line feed dropped, and the line-end convention remembered so
// that a file is written back with the line ends it came with.

#include <cstddef>
#include <string>
#include <string_view>

#include "base/Status.h"

namespace hwc {

enum class ELineEnding { LF, CRLF };

class CTextFile {
public:
    static constexpr int kEof = -1;
    // Files larger than this are refused rather than read: no header or plug-in file comes near.
    static constexpr std::size_t kMaxSize = 256u * 1024u * 1024u;

    CTextFile() = default;

    // A file read from disk; on failure the result carries the message for the user.
    Status Load(const std::string& path);
    // A file whose bytes are given directly (tests, fuzzing, text already in memory).
    static CTextFile FromBytes(std::string_view bytes, std::string path = {});

    const std::string& Path() const { return m_path; }
    // CRLF when the first line end of the file was a carriage return and line feed.
    ELineEnding LineEnding() const { return m_lineEnding; }
    // The whole text after line-end conversion.
    std::string_view Text() const { return m_text; }

    // The next byte (0..255), or kEof at the end.
    int GetChar() { return m_pos < m_text.size() ? static_cast<unsigned char>(m_text[m_pos++]) : kEof; }
    std::size_t Tell() const { return m_pos; }
    void Seek(std::size_t pos) { m_pos = pos < m_text.size() ? pos : m_text.size(); }
    bool AtEnd() const { return m_pos >= m_text.size(); }
    // The rest of the current line without its "\n"; false when already at the end.
    bool ReadLine(std::string& line);

private:
    void SetBytes(std::string_view bytes);
    // Drops the carriage return of every CRLF pair in the text, noting the convention.
    void ConvertLineEnds();

    std::string m_path;
    std::string m_text;
    std::size_t m_pos = 0;
    ELineEnding m_lineEnding = ELineEnding::LF;
};

// Text with "\n" line ends converted to the given convention.
std::string WithLineEnding(std::string_view text, ELineEnding lineEnding);

// Creates or truncates the file and writes the text with the given line ends.
Status WriteTextFile(const std::string& path, std::string_view text,
                     ELineEnding lineEnding = ELineEnding::LF);

// Appends the text to the file, creating it when missing; never truncates.
Status AppendTextFile(const std::string& path, std::string_view text);

// The message shown when a file operation fails: what was attempted, the path and the reason.
std::string FileErrorMessage(std::string_view action, const std::string& path, int errorNumber);

} // namespace hwc
