#include "header/ParameterBlock.h"

#include "base/TextUtil.h"

namespace {

constexpr std::string_view kKeyword = "PARAMETERS:";
constexpr std::size_t kNone = std::string_view::npos;

// The searches of one text, remembering what they found, so that a text holding thousands of
// block openers is still read in one pass: every query below moves forward through the text.
class CBlockSearch {
public:
    explicit CBlockSearch(std::string_view text) : m_text(text) {}

    // The first line feed or carriage return at or after `from`.
    std::size_t TerminatorFrom(std::size_t from) {
        if (from >= m_scanFrom && from <= m_scanEnd)
            return m_scanEnd;
        m_scanFrom = from;
        m_scanEnd = m_text.find_first_of("\n\r", from);
        return m_scanEnd;
    }

    // Where the parameter line starting at `at` ends (after its line feed), or kNone.
    std::size_t ParameterLineEnd(std::size_t at) const {
        if (at >= m_text.size() || m_text[at] == '=' || m_text[at] == '\n')
            return kNone;
        const std::size_t equals = m_text.find_first_of("=\n", at);
        if (equals == kNone || m_text[equals] != '=')
            return kNone;
        const std::size_t end = m_text.find_first_of("\n\r", equals + 1);
        return end == kNone || m_text[end] != '\n' ? kNone : end + 1;
    }

    // After a "]" that ends just before `from`: the start of the block's lines when the rest of
    // the line ends in a line feed and at least one parameter line follows, else kNone.
    std::size_t LinesAfter(std::size_t from) {
        const std::size_t end = TerminatorFrom(from);
        if (end == kNone || m_text[end] != '\n')
            return kNone;
        if (end != m_checkedEnd) {
            m_checkedEnd = end;
            m_checkedLines = ParameterLineEnd(end + 1) == kNone ? kNone : end + 1;
        }
        return m_checkedLines;
    }

private:
    std::string_view m_text;
    std::size_t m_scanFrom = kNone;
    std::size_t m_scanEnd = kNone;
    std::size_t m_checkedEnd = kNone;
    std::size_t m_checkedLines = kNone;
};

// What a run of non-blank characters after "PARAMETERS:" allows, the same for every opener
// whose module name starts inside the run.
struct tNameRun {
    std::size_t end = 0;               // first white space after the run (or the text's end)
    std::size_t lastBracket = kNone;   // the last "]" inside the run
    std::size_t linesAfterRun = kNone; // block lines when that "]" closes the opener
    std::size_t linesAfterGap = kNone; // block lines when a "]" after white space closes it
};

tNameRun ExamineRun(std::string_view text, std::size_t from, CBlockSearch& search) {
    tNameRun run;
    run.end = from;
    while (run.end < text.size() && !hwc::IsSpace(text[run.end])) {
        if (text[run.end] == ']')
            run.lastBracket = run.end;
        ++run.end;
    }
    // Asked in text order, so that the searches only move forward.
    if (run.lastBracket != kNone)
        run.linesAfterRun = search.LinesAfter(run.end);
    std::size_t next = run.end;
    while (next < text.size() && hwc::IsSpace(text[next]))
        ++next;
    if (next < text.size() && text[next] == ']')
        run.linesAfterGap = search.LinesAfter(next + 1);
    return run;
}

} // namespace

std::optional<tParameterBlockText> FindParameterBlockText(std::string_view text) {
    CBlockSearch search(text);
    tNameRun run;
    bool haveRun = false;
    for (std::size_t at = text.find(kKeyword); at != kNone; at = text.find(kKeyword, at + 1)) {
        std::size_t before = at;
        while (before > 0 && hwc::IsSpace(text[before - 1]))
            --before;
        if (before == 0 || text[before - 1] != '[')
            continue;
        const std::size_t name = at + kKeyword.size();
        if (name >= text.size() || hwc::IsSpace(text[name]))
            continue;
        // Openers inside one run of non-blank characters share what follows the run.
        if (!haveRun || name >= run.end) {
            run = ExamineRun(text, name, search);
            haveRun = true;
        }
        // The longest module name wins: the whole run closed after white space, else the run
        // up to its last "]".
        std::size_t nameEnd = kNone;
        std::size_t lines = kNone;
        if (run.linesAfterGap != kNone) {
            nameEnd = run.end;
            lines = run.linesAfterGap;
        } else if (run.linesAfterRun != kNone && run.lastBracket > name) {
            nameEnd = run.lastBracket;
            lines = run.linesAfterRun;
        }
        if (lines == kNone)
            continue;
        std::size_t end = lines;
        for (std::size_t next = search.ParameterLineEnd(end); next != kNone;
             next = search.ParameterLineEnd(end))
            end = next;
        return tParameterBlockText{std::string(text.substr(name, nameEnd - name)),
                                   text.substr(lines, end - lines)};
    }
    return std::nullopt;
}

std::vector<tParameterLine> ParameterLines(std::string_view lines) {
    std::vector<tParameterLine> result;
    std::size_t start = 0;
    while (start < lines.size()) {
        std::size_t end = lines.find_first_of("\n\r", start);
        if (end == kNone)
            end = lines.size();
        const std::string_view line = lines.substr(start, end - start);
        start = end + 1;

        const std::size_t equals = line.find('=');
        if (equals == kNone)
            continue;
        const std::string_view key = hwc::Trim(line.substr(0, equals));
        bool blank = key.empty();
        for (char c : key)
            blank = blank || hwc::IsSpace(c);
        if (blank)
            continue;
        result.push_back({std::string(key), std::string(hwc::Trim(line.substr(equals + 1)))});
    }
    return result;
}
