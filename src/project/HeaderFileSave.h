#pragma once
// Putting one header file on disk: a backup of the previous version first, a question before a
// write-protected file is overwritten, and a replacement that never leaves a half-written file.

#include <string>
#include <string_view>

#include "base/TextFile.h"

namespace hwc {

// Writes all bytes to an open file descriptor; returns 0, or the error number of the failure.
using FileBytesWriter = int (*)(int fd, std::string_view bytes);

// The system calls a header save makes, replaceable so that tests can make each of them fail.
// Each returns 0, or the error number of the failure.
struct tSaveCalls {
    FileBytesWriter write;
    int (*fsync)(int fd);
    int (*rename)(const char* from, const char* to);
};

// The calls that really write, synchronise and rename.
const tSaveCalls& SystemSaveCalls();

} // namespace hwc

// The backup of a header: the path with its extension replaced by ".bak" (".bak" appended when
// the header itself has that extension, so that the backup never is the file it backs up).
std::string BackupPathFor(const std::string& path);

// Writes the header text (with "\n" line ends, converted to `lineEnding`) to `path`, after
// copying the previous file to its backup. The new text first goes completely to disk in a
// temporary file beside the file; only then is the backup made and the temporary file renamed
// over the file, keeping the file's permissions. A symbolic link as the header is kept and its
// target replaced; a link as the backup is replaced itself, never written through. Every failure
// is shown to the user and gives false; the previous file then stays as it was, and a failure
// before the backup leaves the backup alone too.
bool WriteHeaderFile(const std::string& path, std::string_view content, hwc::ELineEnding lineEnding,
                     const hwc::tSaveCalls& calls = hwc::SystemSaveCalls());
