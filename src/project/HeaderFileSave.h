#pragma once
// Putting one header file on disk: a backup of the previous version first, a question before a
// write-protected file is overwritten, and a replacement that never leaves a half-written file.

#include <string>
#include <string_view>

#include "base/TextFile.h"

namespace hwc {
// Writes all bytes to an open file descriptor; returns 0, or the error number of the failure.
using FileBytesWriter = int (*)(int fd, std::string_view bytes);
} // namespace hwc

// The backup of a header: the path with its extension replaced by ".bak" (".bak" appended when
// the header itself has that extension, so that the backup never is the file it backs up).
std::string BackupPathFor(const std::string& path);

// Writes the header text (with "\n" line ends, converted to `lineEnding`) to `path`, after
// copying the previous file to its backup. The new text goes to a temporary file beside it that
// replaces the file only once it is completely on disk, keeping the file's permissions. Every
// failure is shown to the user and gives false; the previous file then stays as it was.
// `writer` replaces the plain write of the bytes (tests use it to make writing fail).
bool WriteHeaderFile(const std::string& path, std::string_view content, hwc::ELineEnding lineEnding,
                     hwc::FileBytesWriter writer = nullptr);
