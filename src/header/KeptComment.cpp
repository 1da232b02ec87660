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

void AppendKeptComment(std::string& line, std::string_view comment) {
    if (line.size() < kKeptCommentColumn)
        line.append(kKeptCommentColumn - line.size(), ' ');
    line += ' ';
    line += KeptCommentText(comment);
}

} // namespace hwc
