#pragma once
// Splits a text file into tokens: runs of non-blank characters, or the contents of quoted and
// commented stretches whose delimiters the caller defines. Keeps the white space before each
// token, counts lines, and can record the raw text consumed so that a reader can keep the
// user's own text byte for byte.

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/TextFile.h"

// One kind of quoted or commented stretch.
struct CQuotesInfo {
    std::string opener;
    std::string closer; // one ending in "\n" ends the stretch at a line end and leaves it unread
    int comment = 0;    // non-zero: the stretch is a comment
    int tag = 0;        // chosen by the caller, returned by GetQuotesTag
    bool endsAtLineEnd = false; // an unescaped line end ends the stretch unclosed, left unread
    bool escapes = false;       // a backslash takes the character after it as text

    bool IsComment() const { return comment != 0; }
};

class CTextFileParser {
public:
    // The parser reads from the file's current position; the file must outlive the parser.
    explicit CTextFileParser(hwc::CTextFile& file);
    CTextFileParser(const CTextFileParser&) = delete;
    CTextFileParser& operator=(const CTextFileParser&) = delete;

    // Adds a kind of stretch; an empty closer means the opener closes it too. A kind with the
    // same opener is replaced. An empty opener is refused.
    void AddQuotes(std::string_view opener, std::string_view closer = {}, int comment = 0,
                   int tag = 0);
    // How the built-in double- and single-quoted strings end: at the line end (so a stray quote
    // cannot swallow the lines below it), and whether a backslash escapes the next character.
    void SetStringRules(bool endAtLineEnd, bool backslashEscapes);
    // A backslash followed by nothing but blanks up to the line end (or the end of the file)
    // joins the next line to this one, as the C preprocessor does: the pair is white space
    // between tokens and ends neither a line, a line comment nor a string.
    void SetLineContinuation(bool on) { m_continuation = on; }

    // Reads the next token into `token`. With sameLineOnly it returns false at the end of the
    // current line and leaves the line end unread (ignored on the very first call). With
    // skipComments comment tokens are read and dropped. False at the end of the file.
    bool GetNextToken(std::string& token, bool sameLineOnly, bool skipComments);

    // What the current token came from.
    bool HasQuotes() const { return m_kind != nullptr; }
    bool IsComment() const { return m_kind != nullptr && m_kind->IsComment(); }
    int GetQuotesTag() const { return m_kind ? m_kind->tag : 0; }
    std::string_view GetQuotesOpener() const {
        return m_kind ? m_kind->opener : std::string_view();
    }

    // The current token with its opener and, when the file held it, its closer.
    void GetFullToken(std::string& full) const;
    std::size_t GetFullTokenLength() const;
    // The white space consumed right before the current token, line ends included.
    const std::string& GetPrecedingWhiteSpace() const { return m_whiteSpace; }

    // File offset (in the text after line-end conversion) where the current token's opener or
    // first character stands.
    std::size_t GetTokenOffset() const { return m_tokenOffset; }
    // File offset of the start of the line on which the current token stands. Line ends inside
    // comments and quoted stretches do not start a line here, so a comment that began on an
    // earlier line and ends just before the token is never cut in half.
    std::size_t GetTokenLineStart() const { return m_tokenLineStart; }

    // The rest of the current line without its line end, which is consumed. An opener that
    // ended the last token is part of it (no stretch is left pending).
    bool ReadLine(std::string& line);
    // Every remaining line of the file, each followed by "\n"; characters read ahead and not yet
    // consumed, and a pending opener, are not included. The line number is left alone.
    bool ReadRestOfFile(std::string& text);

    // Switches recording of the consumed text on; with reset the earlier recording is dropped.
    void StartRecording(bool reset);
    // Switches recording off and returns the text consumed while it was on, without the
    // characters read ahead and not yet consumed.
    std::string StopRecording();

    // 0 before the first token, then the number of the line being read (from 1).
    int GetLineNumber() const { return m_lineNumber; }

private:
    int GetChar();
    void PushBack(int ch);
    // The character `ahead` places after the next one to be read, without reading it.
    int PeekChar(std::size_t ahead) const;
    // After a backslash just read: the number of characters (blanks and the line end) that
    // make it a line continuation, or 0 when it is none.
    std::size_t ContinuationAhead() const;
    // Reads the characters ContinuationAhead counted and appends them to `text`.
    void TakeContinuation(std::size_t length, std::string& text);
    // Offset of the next character that will be consumed, read-ahead included.
    std::size_t ConsumedOffset() const;
    // Skips white space; returns false when it stopped at the end of the file or (sameLineOnly)
    // at a line end.
    bool SkipWhiteSpace(bool sameLineOnly);
    void ReadToken();
    const CQuotesInfo* FindKind(std::string_view opener) const;
    const CQuotesInfo* OpenerEndingText() const;
    void FlushRecording();

    hwc::CTextFile& m_file;
    std::array<int, 16> m_pushBack{};
    std::size_t m_pushCount = 0;
    int m_lineNumber = 0;

    std::vector<std::unique_ptr<CQuotesInfo>> m_kinds;
    std::size_t m_longestOpener = 0;
    std::array<bool, 256> m_endsOpener{}; // characters that end some opener
    std::array<bool, 256> m_plainStops{}; // characters an unquoted token is not simply extended by
    const CQuotesInfo* m_pending = nullptr;
    bool m_continuation = false;

    std::string m_token;
    std::string m_whiteSpace;
    std::string m_scratch;
    const CQuotesInfo* m_kind = nullptr;
    bool m_closed = false;
    std::size_t m_tokenOffset = 0;
    std::size_t m_tokenLineStart = 0;
    std::size_t m_lineStart = 0; // offset after the last line end consumed outside a token

    bool m_recording = false;
    std::size_t m_recordFrom = 0;
    std::string m_recorded;
};
