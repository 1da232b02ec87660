#pragma once
// Adopting a header the program did not write: its first save replaces everything from the first
// definition on with the generated part, which carries over the definitions but not the text
// among and after them. Before that save the user is told what goes, and the original is kept
// beside the header as "NAME.orig".

#include <string>
#include <utility>
#include <vector>

class CAppcfgFile;

// A line of the original with text the saved header no longer holds.
struct tDroppedLine {
    int line = 0;     // counted from 1
    std::string text; // what of the line goes, shortened when long
};

// At most this many lines are listed in the question; the rest are counted.
inline constexpr std::size_t kListedDroppedLines = 20;

// The lines of `original` (read from a file without generated part) whose text, or part of it,
// the save does not carry over, in file order: everything but the definitions (of a name defined
// twice, the last), their comments when `written` (the text the save writes, read back) has them
// with the definition, and the guard's "#endif".
std::vector<tDroppedLine> LinesNotCarriedOver(const CAppcfgFile& original,
                                              const CAppcfgFile& written);

// The path the original of a header is kept at: the header's path with ".orig" appended.
std::string OriginalCopyPath(const std::string& headerPath);

// The question asked before such a save: the file, the lines that go (at most
// kListedDroppedLines, then how many more), and where the original stays.
std::string AdoptQuestion(const std::string& headerPath, const std::vector<tDroppedLine>& lines,
                          bool originalCopyExists);

// Copies the file byte for byte to OriginalCopyPath, never replacing a file there. False, with a
// message, when the copy cannot be made; nothing half-written is left behind.
bool KeepOriginalCopy(const std::string& headerPath);

// Called by a save with every header and the text it is about to get, before anything is
// written; the main header's text goes to `mainPath`. For each file read without generated part
// that the save overwrites, that still has none on disk and of which something would not be
// carried over: asks (Yes/No) whether to go on, then keeps its original. False: nothing may be
// written.
bool AdoptHandWrittenHeaders(const std::vector<std::pair<CAppcfgFile*, std::string>>& texts,
                             const CAppcfgFile* mainHeader, const std::string& mainPath);
