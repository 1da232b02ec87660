#include "header/KeptComment.h"

#include "base/TextUtil.h"

namespace hwc {

std::string KeptCommentText(std::string_view comment) {
    if (comment.empty())
        return "/* */";
    std::string text = "/*";
    if (!IsSpace(comment.front()))
        text += ' ';
    text += ReplaceAll(comment, "*/", "* /");
    if (!IsSpace(comment.back()))
        text += ' ';
    text += "*/";
    return text;
}

bool LeavesQuoteOpen(std::string_view text) {
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char quote = text[at];
        if (quote != '"' && quote != '\'')
            continue;
        for (++at; at < text.size() && text[at] != quote; ++at) {
            if (text[at] == '\\')
                ++at;
        }
        if (at >= text.size())
            return true;
    }
    return false;
}

void AppendKeptComment(std::string& line, std::string_view comment) {
    // After an open quote the reader takes the rest of the line, comment and all, as the value:
    // the comment would change the value at the next save, so it is not written.
    if (LeavesQuoteOpen(line))
        return;
    if (line.size() < kKeptCommentColumn)
        line.append(kKeptCommentColumn - line.size(), ' ');
    line += ' ';
    line += KeptCommentText(comment);
}

} // namespace hwc
