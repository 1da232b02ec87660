#pragma once
// The user's own comment written back after a definition line in the header.

#include <cstddef>
#include <string>
#include <string_view>

namespace hwc {

// Column at which a kept comment starts (the line is filled with blanks up to it).
inline constexpr std::size_t kKeptCommentColumn = 50;

// The comment as a C block comment. The reader keeps the text between the delimiters with its
// own blanks, so a blank is added only on a side that has no white space: a load/save cycle then
// gives the same line. A "*/" inside the text is broken up so that it cannot end the comment.
std::string KeptCommentText(std::string_view comment);

// Whether a quote of the text is not closed before its end (a backslash escapes the next
// character inside quotes).
bool LeavesQuoteOpen(std::string_view text);

// Fills the line with blanks to the comment column and appends a blank and the comment; nothing
// when the line leaves a quote open, as the reader would then take the comment into the value.
void AppendKeptComment(std::string& line, std::string_view comment);

} // namespace hwc
