// Reading a configuration header: the user's text before and after the generated part, every
// #define, and the internal-parameter blocks in the tool's comments.

#include <optional>

#include "base/TextUtil.h"
#include "header/AppcfgFile.h"
#include "header/TextFileParser.h"

namespace {

constexpr std::string_view kBlockComment = "/*";
constexpr std::string_view kLineComment = "//";
constexpr std::string_view kToolComment = "/*.";

// The guard name an empty file gets: "__" and the file name upper-cased, dots made underscores.
std::string DefaultGuardName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return "__" + hwc::ReplaceAll(hwc::ToUpper(name), ".", "_");
}

} // namespace

struct CAppcfgFile::ReadState {
    std::size_t start = 0; // file offset where reading (and recording) began
    bool inLeadingPart = true;
    bool guardDefined = false; // the guard's own #define was seen in the leading part
    std::string guardName;
    std::string lastComment;
    int lastCommentLine = 0;
    // Start of the line of the last "#endif" seen after the guard's #define in the leading part.
    std::optional<std::size_t> endifLineStart;
};

bool CAppcfgFile::Read(hwc::CTextFile& file, bool reportErrors) {
    m_path = file.Path();
    m_lineEnding = file.LineEnding();
    m_lastError.clear();

    CTextFileParser parser(file);
    parser.AddQuotes(kBlockComment, "*/", 1);
    parser.AddQuotes(kLineComment, "\n", 1);
    parser.AddQuotes(kToolComment, ".*/", 1);
    parser.StartRecording(true);

    ReadState state;
    state.start = file.Tell();
    std::string token;
    bool endMarker = false;
    while (!endMarker && parser.GetNextToken(token, false, false)) {
        if (parser.IsComment()) {
            endMarker = TakeComment(parser, token, state);
        } else if (parser.HasQuotes()) {
            continue; // a quoted "#define" is text, not a directive
        } else if (token == "#define") {
            TakeDefinition(parser, state);
        } else if (token == "#ifndef" && state.inLeadingPart) {
            TakeGuard(parser, state);
        } else if (token == "#endif" && state.inLeadingPart && state.guardDefined) {
            state.endifLineStart = parser.GetTokenLineStart();
        }
    }
    if (state.inLeadingPart)
        FinishAtEndOfFile(parser, state);

    m_leadingText = std::string(hwc::Trim(m_leadingText));
    m_trailingText = std::string(hwc::Trim(m_trailingText));
    if (m_leadingText.empty() && m_trailingText.empty()) {
        const std::string guard = DefaultGuardName(m_path);
        m_leadingText = hwc::Format("#ifndef %s\n#define %s\n", guard.c_str(), guard.c_str());
        m_trailingText = hwc::Format("\n#endif /* %s */", guard.c_str());
    }
    m_trailingText += "\n";
    return true;
}

// Returns true when the comment is the end-of-generated-code marker and reading is done.
bool CAppcfgFile::TakeComment(CTextFileParser& parser, const std::string& text, ReadState& state) {
    ParseParameters(text);
    if (parser.GetQuotesOpener() != kToolComment) {
        state.lastComment = text;
        state.lastCommentLine = parser.GetLineNumber();
        return false;
    }
    const bool isEndMarker = hwc::EndsWith(text, ".");
    if (state.inLeadingPart)
        EndLeadingPart(parser, parser.GetTokenOffset(), state);
    if (isEndMarker)
        parser.ReadRestOfFile(m_trailingText);
    return isEndMarker;
}

void CAppcfgFile::TakeGuard(CTextFileParser& parser, ReadState& state) {
    parser.GetNextToken(state.guardName, true, true);
    std::string rest;
    parser.ReadLine(rest);
}

void CAppcfgFile::TakeDefinition(CTextFileParser& parser, ReadState& state) {
    const int defineLine = parser.GetLineNumber();
    const std::size_t lineStart = parser.GetTokenLineStart();
    std::string name;
    if (!parser.GetNextToken(name, true, true) || name.empty())
        return;

    std::string value;
    std::string comment;
    std::string piece;
    bool first = true;
    while (parser.GetNextToken(piece, true, false)) {
        if (parser.IsComment()) {
            comment += piece;
            continue;
        }
        if (!first)
            value += parser.GetPrecedingWhiteSpace();
        if (parser.HasQuotes())
            parser.GetFullToken(piece);
        value += piece;
        first = false;
    }

    if (!state.lastComment.empty() && defineLine == state.lastCommentLine + 1)
        comment = state.lastComment + " " + comment;
    if (state.inLeadingPart) {
        if (name != state.guardName) {
            EndLeadingPart(parser, lineStart, state);
        } else {
            m_trailingText = "#endif"; // provisional, until an end marker says otherwise
            state.guardDefined = true;
        }
    }
    state.guardName.clear();
    if (state.inLeadingPart)
        return;
    CAppcfgEntry& entry = m_definitions.Obtain(name);
    entry.value = std::move(value);
    entry.comment = std::move(comment);
}

// The leading text is everything read before the given file offset.
void CAppcfgFile::EndLeadingPart(CTextFileParser& parser, std::size_t upTo, ReadState& state) {
    const std::string recorded = parser.StopRecording();
    const std::size_t length = upTo > state.start ? upTo - state.start : 0;
    m_leadingText = recorded.substr(0, std::min(length, recorded.size()));
    state.inLeadingPart = false;
}

// A file without generated part and without definitions is all the user's: it stays whole, and
// the generated part goes before the guard's closing "#endif" when there is one.
void CAppcfgFile::FinishAtEndOfFile(CTextFileParser& parser, ReadState& state) {
    const std::string recorded = parser.StopRecording();
    state.inLeadingPart = false;
    if (state.endifLineStart && *state.endifLineStart >= state.start &&
        *state.endifLineStart - state.start <= recorded.size()) {
        const std::size_t split = *state.endifLineStart - state.start;
        m_leadingText = recorded.substr(0, split);
        m_trailingText = recorded.substr(split);
        return;
    }
    m_leadingText = recorded;
}
