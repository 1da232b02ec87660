#include "header/TextFileParser.h"

#include <algorithm>
#include <cassert>

#include "base/TextUtil.h"

namespace {

constexpr int kEof = hwc::CTextFile::kEof;

bool IsSeparator(int ch) {
    return ch >= 0 && hwc::IsSpace(static_cast<char>(ch));
}

// Appends the run of characters from the file's position up to the first one `isStop` accepts
// (or the end) to `out` in one step, and moves past it.
template <typename IsStop>
void TakeRun(hwc::CTextFile& file, std::string& out, IsStop isStop) {
    const std::string_view text = file.Text();
    const std::size_t from = file.Tell();
    std::size_t end = from;
    while (end < text.size() && !isStop(static_cast<unsigned char>(text[end])))
        ++end;
    if (end > from) {
        out.append(text.data() + from, end - from);
        file.Seek(end);
    }
}

} // namespace

CTextFileParser::CTextFileParser(hwc::CTextFile& file) : m_file(file) {
    m_token.reserve(512);
    m_whiteSpace.reserve(80);
    AddQuotes("\"");
    AddQuotes("'");
}

void CTextFileParser::AddQuotes(std::string_view opener, std::string_view closer, int comment,
                                int tag) {
    if (opener.empty())
        return;
    CQuotesInfo info{std::string(opener), std::string(closer.empty() ? opener : closer), comment,
                     tag};
    // Replacing in place keeps the pointers to the kind (current, pending) valid.
    bool replaced = false;
    for (auto& kind : m_kinds) {
        if (kind->opener == opener) {
            *kind = std::move(info);
            replaced = true;
            break;
        }
    }
    if (!replaced)
        m_kinds.push_back(std::make_unique<CQuotesInfo>(std::move(info)));

    m_longestOpener = 0;
    m_endsOpener.fill(false);
    for (const auto& kind : m_kinds) {
        m_longestOpener = std::max(m_longestOpener, kind->opener.size());
        m_endsOpener[static_cast<unsigned char>(kind->opener.back())] = true;
    }
    m_plainStops = m_endsOpener;
    m_plainStops[static_cast<unsigned char>('\\')] = true;
    for (int ch = 0; ch < 256; ++ch) {
        if (IsSeparator(ch))
            m_plainStops[static_cast<std::size_t>(ch)] = true;
    }
}

void CTextFileParser::SetStringRules(bool endAtLineEnd, bool backslashEscapes) {
    for (auto& kind : m_kinds) {
        if (kind->opener == "\"" || kind->opener == "'") {
            kind->endsAtLineEnd = endAtLineEnd;
            kind->escapes = backslashEscapes;
        }
    }
}

int CTextFileParser::GetChar() {
    const int ch = m_pushCount > 0 ? m_pushBack[--m_pushCount] : m_file.GetChar();
    if (ch == '\n')
        ++m_lineNumber;
    return ch;
}

void CTextFileParser::PushBack(int ch) {
    if (ch == kEof)
        return;
    assert(m_pushCount < m_pushBack.size());
    if (m_pushCount >= m_pushBack.size())
        return;
    if (ch == '\n')
        --m_lineNumber;
    m_pushBack[m_pushCount++] = ch;
}

int CTextFileParser::PeekChar(std::size_t ahead) const {
    if (ahead < m_pushCount)
        return m_pushBack[m_pushCount - 1 - ahead];
    const std::string_view text = m_file.Text();
    const std::size_t at = m_file.Tell() + (ahead - m_pushCount);
    return at < text.size() ? static_cast<unsigned char>(text[at]) : kEof;
}

std::size_t CTextFileParser::ContinuationAhead() const {
    if (!m_continuation)
        return 0;
    for (std::size_t ahead = 0;; ++ahead) {
        const int ch = PeekChar(ahead);
        if (ch == '\n')
            return ahead + 1;
        if (ch != ' ' && ch != '\t')
            return 0;
    }
}

void CTextFileParser::TakeContinuation(std::size_t length, std::string& text) {
    for (std::size_t i = 0; i < length; ++i)
        text.push_back(static_cast<char>(GetChar()));
}

std::size_t CTextFileParser::ConsumedOffset() const {
    const std::size_t pos = m_file.Tell();
    return pos > m_pushCount ? pos - m_pushCount : 0;
}

bool CTextFileParser::GetNextToken(std::string& token, bool sameLineOnly, bool skipComments) {
    token.clear();
    if (m_lineNumber == 0) {
        m_lineNumber = 1;
        sameLineOnly = false;
    }
    while (true) {
        if (m_pending) {
            m_whiteSpace.clear();
        } else if (!SkipWhiteSpace(sameLineOnly)) {
            m_kind = nullptr;
            m_token.clear();
            return false;
        }
        ReadToken();
        if (skipComments && IsComment())
            continue;
        token = m_token;
        return true;
    }
}

bool CTextFileParser::SkipWhiteSpace(bool sameLineOnly) {
    m_whiteSpace.clear();
    while (true) {
        // Blanks within a line need no decision one by one.
        if (m_pushCount == 0)
            TakeRun(m_file, m_whiteSpace, [](unsigned char c) { return c != ' ' && c != '\t'; });
        const int ch = GetChar();
        if (ch == kEof)
            return false;
        if (ch == '\\') {
            if (const std::size_t length = ContinuationAhead()) {
                m_whiteSpace.push_back('\\');
                TakeContinuation(length, m_whiteSpace);
                continue;
            }
        }
        if (!IsSeparator(ch) || (sameLineOnly && ch == '\n')) {
            PushBack(ch);
            return !IsSeparator(ch);
        }
        m_whiteSpace.push_back(static_cast<char>(ch));
        if (ch == '\n')
            m_lineStart = ConsumedOffset();
    }
}

void CTextFileParser::ReadToken() {
    m_kind = m_pending;
    m_pending = nullptr;
    m_token.clear();
    m_closed = false;
    m_tokenLineStart = m_lineStart;
    const std::size_t here = ConsumedOffset();
    const std::size_t openerSize = m_kind ? m_kind->opener.size() : 0;
    m_tokenOffset = here > openerSize ? here - openerSize : 0;

    while (true) {
        // Runs of characters that can neither end the token nor start anything are taken in one
        // step: in a stretch past the point where a longer opener could still be forming, those
        // that are no backslash, no line end and not the closer's last character; outside one,
        // those that are no separator, no backslash and end no opener.
        if (m_pushCount == 0) {
            if (!m_kind) {
                TakeRun(m_file, m_token, [this](unsigned char c) { return m_plainStops[c]; });
            } else if (m_kind->opener.size() + m_token.size() >= m_longestOpener) {
                const char last = m_kind->closer.back();
                TakeRun(m_file, m_token, [last](unsigned char c) {
                    return c == '\\' || c == '\n' || c == static_cast<unsigned char>(last);
                });
            }
        }
        const int ch = GetChar();
        if (ch == kEof)
            return;
        if (!m_kind && IsSeparator(ch)) {
            PushBack(ch);
            return;
        }
        if (ch == '\\') {
            if (const std::size_t length = ContinuationAhead()) {
                if (!m_kind && !m_token.empty()) {
                    // The joined lines are white space between this token and the next.
                    PushBack(ch);
                    return;
                }
                m_token.push_back('\\');
                TakeContinuation(length, m_token);
                continue;
            }
            if (m_kind && m_kind->escapes) {
                m_token.push_back('\\');
                const int escaped = GetChar();
                if (escaped != kEof)
                    m_token.push_back(static_cast<char>(escaped));
                continue;
            }
        }
        if (m_kind && m_kind->endsAtLineEnd && ch == '\n') {
            PushBack(ch);
            return;
        }
        m_token.push_back(static_cast<char>(ch));

        if (m_kind) {
            // An opener that continues a shorter one ("/*." after "/*") switches to its kind.
            if (m_kind->opener.size() + m_token.size() <= m_longestOpener) {
                m_scratch.assign(m_kind->opener).append(m_token);
                const CQuotesInfo* longer = FindKind(m_scratch);
                if (longer && longer != m_kind) {
                    m_kind = longer;
                    m_token.clear();
                    continue;
                }
            }
            if (hwc::EndsWith(m_token, m_kind->closer)) {
                m_token.resize(m_token.size() - m_kind->closer.size());
                m_closed = true;
                // A closer ending in a line end leaves that line end unread, so that the line
                // still ends for the next token.
                if (m_kind->closer.back() == '\n')
                    PushBack('\n');
                return;
            }
            continue;
        }

        const CQuotesInfo* opened = OpenerEndingText();
        if (!opened)
            continue;
        if (m_token.size() > opened->opener.size()) {
            // The text before the opener is a token of its own; the stretch comes next.
            m_token.resize(m_token.size() - opened->opener.size());
            m_pending = opened;
            return;
        }
        m_kind = opened;
        m_token.clear();
    }
}

const CQuotesInfo* CTextFileParser::FindKind(std::string_view opener) const {
    for (const auto& kind : m_kinds) {
        if (kind->opener == opener)
            return kind.get();
    }
    return nullptr;
}

const CQuotesInfo* CTextFileParser::OpenerEndingText() const {
    if (m_token.empty() || !m_endsOpener[static_cast<unsigned char>(m_token.back())])
        return nullptr;
    const std::string_view text = m_token;
    const std::size_t longest = std::min(m_longestOpener, text.size());
    for (std::size_t length = 1; length <= longest; ++length) {
        if (const CQuotesInfo* kind = FindKind(text.substr(text.size() - length)))
            return kind;
    }
    return nullptr;
}

void CTextFileParser::GetFullToken(std::string& full) const {
    full.clear();
    full.reserve(GetFullTokenLength());
    if (m_kind)
        full.append(m_kind->opener);
    full.append(m_token);
    if (m_kind && m_closed)
        full.append(m_kind->closer);
}

std::size_t CTextFileParser::GetFullTokenLength() const {
    if (!m_kind)
        return m_token.size();
    return m_kind->opener.size() + m_token.size() + (m_closed ? m_kind->closer.size() : 0);
}

bool CTextFileParser::ReadLine(std::string& line) {
    line.clear();
    // An opener that ended the last token belongs to the rest of the line, not to a next token.
    if (m_pending) {
        line = m_pending->opener;
        m_pending = nullptr;
    }
    while (true) {
        const int ch = GetChar();
        if (ch == kEof)
            return true;
        if (ch == '\n') {
            m_lineStart = ConsumedOffset();
            return true;
        }
        line.push_back(static_cast<char>(ch));
        if (m_pushCount == 0)
            TakeRun(m_file, line, [](unsigned char c) { return c == '\n'; });
    }
}

bool CTextFileParser::ReadRestOfFile(std::string& text) {
    // Characters read ahead were taken from the file already; they are dropped, not returned.
    m_pushCount = 0;
    m_pending = nullptr;
    FlushRecording();
    const std::string_view all = m_file.Text();
    text.assign(all.substr(std::min(m_file.Tell(), all.size())));
    if (!text.empty() && text.back() != '\n')
        text.push_back('\n');
    m_file.Seek(all.size());
    if (m_recording) {
        m_recorded.append(text);
        m_recordFrom = all.size();
    }
    return true;
}

void CTextFileParser::StartRecording(bool reset) {
    if (reset)
        m_recorded.clear();
    m_recording = true;
    m_recordFrom = ConsumedOffset();
}

std::string CTextFileParser::StopRecording() {
    FlushRecording();
    m_recording = false;
    return m_recorded;
}

void CTextFileParser::FlushRecording() {
    if (!m_recording)
        return;
    const std::size_t upTo = ConsumedOffset();
    if (upTo > m_recordFrom)
        m_recorded.append(m_file.Text().substr(m_recordFrom, upTo - m_recordFrom));
    m_recordFrom = std::max(m_recordFrom, upTo);
}
