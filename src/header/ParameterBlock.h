#pragma once
// The tool's internal-parameter blocks inside a comment, matched by hand in linear time:
//   "[", optional white space, "PARAMETERS:", the module name (one or more non-blank
//   characters), optional white space, "]", the rest of that line and its line end;
//   then one or more whole lines, each holding an "=" after at least one other character,
//   with no carriage return after that "=" and a line end of its own.
// Of several blocks in one text only the first counts.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct tParameterBlockText {
    std::string module;
    std::string_view lines; // the "key=value" lines of the block, each with its line end
};

struct tParameterLine {
    std::string key;
    std::string value;
};

// The first block of the text, or nothing when the text holds none.
std::optional<tParameterBlockText> FindParameterBlockText(std::string_view text);

// The "key = value" pairs of a block's lines in order: the key is the text before "=" without
// the white space around it, the value the rest of the line, trimmed. A line whose key is empty
// or holds white space is dropped; a value never reaches into the next line.
std::vector<tParameterLine> ParameterLines(std::string_view lines);
