#include "project/AdoptHeader.h"

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <unordered_set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Messages.h"
#include "base/TextFile.h"
#include "base/TextUtil.h"
#include "header/AppcfgFile.h"
#include "project/HeaderFileSave.h"

namespace fs = std::filesystem;

namespace {

// A listed line longer than this is cut, so that the question stays readable.
constexpr std::size_t kShownWidth = 72;

// The definition's comment is carried over when the written header has the definition with a
// comment holding its text (the writer breaks up a "*/" in it).
bool CommentCarriedOver(const CAppcfgEntry* original, const CAppcfgEntry* written) {
    const std::string_view text = original ? hwc::Trim(original->comment) : std::string_view();
    if (text.empty())
        return true;
    if (!written)
        return false;
    return written->comment.find(text) != std::string::npos ||
           written->comment.find(hwc::ReplaceAll(text, "*/", "* /")) != std::string::npos;
}

// The text cut to the shown width, never inside a character of several bytes.
std::string Shortened(std::string_view text) {
    if (text.size() <= kShownWidth)
        return std::string(text);
    std::size_t cut = kShownWidth - 3;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return std::string(hwc::TrimRight(text.substr(0, cut))) + "...";
}

std::string FileName(const std::string& path) {
    return fs::path(path).filename().string();
}

// Reads every byte of the file; false with errno set when it cannot.
bool ReadBytes(const std::string& path, std::string& bytes, mode_t& mode) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return false;
    }
    mode = status.st_mode & 0777;
    char buffer[65536];
    while (true) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            const int error = errno;
            ::close(fd);
            errno = error;
            return false;
        }
        if (got == 0)
            break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return true;
}

// Writes the bytes to a new file (never one that exists, nor through a link); 0 or the error.
int WriteNewFile(const std::string& path, std::string_view bytes, mode_t mode) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0)
        return errno;
    int error = 0;
    while (!bytes.empty()) {
        const ssize_t put = ::write(fd, bytes.data(), bytes.size());
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            error = put < 0 ? errno : EIO;
            break;
        }
        bytes.remove_prefix(static_cast<std::size_t>(put));
    }
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0)
        ::unlink(path.c_str());
    return error;
}

// Whether the save target is the file the header was read from.
bool IsFileReadFrom(const std::string& target, const CAppcfgFile& header) {
    if (header.Path().empty())
        return false;
    std::error_code error;
    return fs::equivalent(target, header.Path(), error);
}

} // namespace

std::vector<tDroppedLine> LinesNotCarriedOver(const CAppcfgFile& original,
                                              const CAppcfgFile& written) {
    const tHandWrittenPart* part = original.HandWrittenPart();
    if (!part)
        return {};
    const std::string& text = part->text;
    std::vector<bool> carried(text.size(), false);
    const auto mark = [&](const tTextSpan& span, bool value) {
        const std::size_t end = std::min(span.end, text.size());
        for (std::size_t i = span.begin; i < end; ++i)
            carried[i] = value;
    };
    // Every definition is read (a module, the processor or the user definitions take it, a
    // module perhaps under its current name or as a default it leaves out), but a name defined
    // twice keeps only its last value: the earlier definitions go.
    std::unordered_set<std::string_view> later;
    for (auto it = part->definitions.rbegin(); it != part->definitions.rend(); ++it) {
        if (!later.insert(it->name).second)
            continue;
        mark(it->span, true);
        for (const tTextSpan& comment : it->passedOver)
            mark(comment, false);
        const CAppcfgEntry* kept = written.Definitions().Find(it->name);
        const bool commentKept = CommentCarriedOver(original.Definitions().Find(it->name), kept);
        for (const tTextSpan& comment : it->comments)
            mark(comment, commentKept);
    }
    if (part->guardEndif)
        mark(*part->guardEndif, true);

    std::vector<tDroppedLine> lines;
    int number = part->firstLine;
    std::size_t lineStart = 0;
    while (lineStart < text.size()) {
        std::size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string::npos)
            lineEnd = text.size();
        std::string dropped;
        bool gap = false;
        for (std::size_t i = lineStart; i < lineEnd; ++i) {
            if (carried[i]) {
                gap = !dropped.empty();
                continue;
            }
            if (gap)
                dropped += ' ';
            gap = false;
            // A lone carriage return or a tab would upset the list's layout.
            dropped += text[i] == '\r' || text[i] == '\t' ? ' ' : text[i];
        }
        const std::string_view shown = hwc::Trim(dropped);
        if (!shown.empty())
            lines.push_back({number, Shortened(shown)});
        lineStart = lineEnd + 1;
        ++number;
    }
    return lines;
}

std::string OriginalCopyPath(const std::string& headerPath) {
    return headerPath + ".orig";
}

std::string AdoptQuestion(const std::string& headerPath, const std::vector<tDroppedLine>& lines,
                          bool originalCopyExists) {
    const std::string name = FileName(headerPath);
    std::string text = name +
                       " was not written by this program. Saving replaces everything from its "
                       "first definition on with generated text, which keeps the definitions but "
                       "not the following text:\n\n";
    const std::size_t listed = std::min(lines.size(), kListedDroppedLines);
    for (std::size_t i = 0; i < listed; ++i)
        text += hwc::Format("line %d: %s\n", lines[i].line, lines[i].text.c_str());
    if (lines.size() > listed) {
        const std::size_t more = lines.size() - listed;
        text += hwc::Format("and %zu more line%s\n", more, more == 1 ? "" : "s");
    }
    const std::string copy = FileName(OriginalCopyPath(headerPath));
    if (originalCopyExists) {
        text += "\n" + copy + " already exists and is left as it is, so the original is kept " +
                "only in " + FileName(BackupPathFor(headerPath)) + ", until the next save.";
    } else {
        text += "\nThe original is kept unchanged as " + copy + ".";
    }
    text += "\n\nSave anyway?";
    return text;
}

bool KeepOriginalCopy(const std::string& headerPath) {
    const std::string copy = OriginalCopyPath(headerPath);
    std::string bytes;
    mode_t mode = 0644;
    errno = 0;
    if (!ReadBytes(headerPath, bytes, mode)) {
        hwc::ShowMessage(hwc::FileErrorMessage("read", headerPath, errno) +
                         " Its original cannot be kept, so nothing is saved.");
        return false;
    }
    if (const int error = WriteNewFile(copy, bytes, mode | S_IRUSR | S_IWUSR); error != 0) {
        hwc::ShowMessage(hwc::FileErrorMessage("create", copy, error) + " The original of " +
                         FileName(headerPath) + " cannot be kept there, so nothing is saved.");
        return false;
    }
    return true;
}

bool AdoptHandWrittenHeaders(const std::vector<std::pair<CAppcfgFile*, std::string>>& texts,
                             const CAppcfgFile* mainHeader, const std::string& mainPath) {
    std::vector<std::string> toKeep;
    for (const auto& [header, text] : texts) {
        if (!header || !header->HandWrittenPart())
            continue;
        const std::string& target = header == mainHeader ? mainPath : header->Path();
        // Written somewhere else, the original stays where it is.
        if (!IsFileReadFrom(target, *header))
            continue;
        // The file as it is now: a save since it was read has given it a generated part.
        hwc::CTextFile file;
        if (const hwc::Status status = file.Load(target); !status) {
            hwc::ShowMessage(status.message() +
                             " Its original cannot be kept, so nothing is saved.");
            return false;
        }
        CAppcfgFile onDisk;
        onDisk.Read(file, false);
        if (!onDisk.HandWrittenPart())
            continue;
        hwc::CTextFile newFile = hwc::CTextFile::FromBytes(text, target);
        CAppcfgFile written;
        written.Read(newFile, false);
        const std::vector<tDroppedLine> dropped = LinesNotCarriedOver(onDisk, written);
        // All of it goes over (only the layout of the definitions changes): nothing to ask or keep.
        if (dropped.empty())
            continue;
        std::error_code error;
        const fs::file_type copyType = fs::symlink_status(OriginalCopyPath(target), error).type();
        const bool copyExists =
            copyType != fs::file_type::not_found && copyType != fs::file_type::none;
        if (hwc::ShowMessage(AdoptQuestion(target, dropped, copyExists), hwc::EButtons::YesNo,
                             hwc::EAnswer::No) != hwc::EAnswer::Yes)
            return false;
        if (!copyExists)
            toKeep.push_back(target);
    }
    for (const std::string& path : toKeep) {
        if (!KeepOriginalCopy(path))
            return false;
    }
    return true;
}
