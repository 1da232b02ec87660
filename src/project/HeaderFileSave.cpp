#include "project/HeaderFileSave.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Messages.h"
#include "base/TextUtil.h"

namespace fs = std::filesystem;

namespace {

int WriteAllBytes(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return written < 0 ? errno : EIO;
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

int SyncFile(int fd) {
    return ::fsync(fd) == 0 ? 0 : errno;
}

int RenameFile(const char* from, const char* to) {
    return ::rename(from, to) == 0 ? 0 : errno;
}

// The whole content of an open file; 0 or the error number.
int ReadAllBytes(int fd, std::string& bytes) {
    char buffer[64 * 1024];
    while (true) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return errno;
        if (got == 0)
            return 0;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}

std::string FileNameOf(const std::string& path) {
    return fs::path(path).filename().string();
}

std::string FolderOf(const std::string& path) {
    const fs::path file(path);
    return file.has_parent_path() ? file.parent_path().string() : ".";
}

void ShowOpenError(const std::string& path) {
    hwc::ShowMessage(hwc::Format("Error openning destination file '%s'", FileNameOf(path).c_str()));
}

// A file counts as write-protected when its owner has no write permission. The mode bits decide,
// not access(): a process with administrator rights may write anything.
bool IsWriteProtected(const struct stat& status) {
    return (status.st_mode & S_IWUSR) == 0;
}

bool Confirm(const std::string& path, std::string_view question) {
    return hwc::ShowMessage(hwc::ReplaceAll(question, "%1", path), hwc::EButtons::OkCancel,
                            hwc::EAnswer::Ok) == hwc::EAnswer::Ok;
}

// Asks before the write-protected destination is overwritten; OK makes it writable, so that the
// new file is writable too. A symbolic link as the header is followed: its target is the file.
// False on Cancel or when the permission cannot be changed.
bool ConfirmDestinationOverwrite(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode) || !IsWriteProtected(status))
        return true;
    if (!Confirm(path, "Destination file '%1' is write-protected. Overwrite?"))
        return false;
    if (::chmod(path.c_str(), (status.st_mode & 07777) | S_IWUSR) == 0)
        return true;
    hwc::ShowMessage(hwc::FileErrorMessage("change the permissions of", path, errno));
    return false;
}

// Asks before a write-protected backup is replaced; false on Cancel. The backup is replaced by a
// new file, so its permissions need no change, and a symbolic link in its place is never looked
// through: it is simply replaced.
bool ConfirmBackupOverwrite(const std::string& backup) {
    struct stat status {};
    if (::lstat(backup.c_str(), &status) != 0 || !S_ISREG(status.st_mode) ||
        !IsWriteProtected(status))
        return true;
    return Confirm(backup, "Backup file '%1' is write-protected. Overwrite?");
}

// The file that is really replaced: for a symbolic link its target, so that the link stays.
std::string ReplacedFile(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
        return path;
    std::error_code error;
    const fs::path target = fs::weakly_canonical(path, error);
    return error ? path : target.string();
}

// A new, empty file in the folder that nobody else uses, with a short name of its own: the name
// of the file it stands in for may already be as long as a name can be. -1 when none can be made.
int CreateTemporaryIn(const std::string& folder, std::string& temporaryPath) {
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name =
            hwc::Format(".hwc-%ld-%u.tmp", static_cast<long>(::getpid()), ++serial);
        temporaryPath = (fs::path(folder) / name).string();
        const int fd = ::open(temporaryPath.c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Fills a new temporary file and closes it once the bytes are on disk; `like` (when given) lends
// its permissions and owner. 0 or the error number of the first failure.
int FillTemporary(int fd, std::string_view bytes, const struct stat* like,
                  const hwc::tSaveCalls& calls) {
    if (like != nullptr) {
        // Keeping the owner needs privileges a normal user lacks; the permissions are what matter.
        (void)::fchown(fd, like->st_uid, like->st_gid);
        ::fchmod(fd, like->st_mode & 07777);
    }
    int error = calls.write(fd, bytes);
    if (error == 0)
        error = calls.fsync(fd);
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error;
}

// Copies the file into a new file that then replaces the backup, so that a link in the backup's
// place is replaced rather than written through. False on any failure; the backup then stays.
bool WriteBackup(const std::string& file, const std::string& backup, const struct stat& like,
                 const hwc::tSaveCalls& calls) {
    const int source = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (source < 0)
        return false;
    // Sized to the file at once: a string grown while reading would hold up to twice its size
    // at the moment the whole project is in memory.
    std::string bytes;
    if (struct stat status {}; ::fstat(source, &status) == 0 && status.st_size > 0)
        bytes.reserve(static_cast<std::size_t>(status.st_size));
    const int readError = ReadAllBytes(source, bytes);
    ::close(source);
    if (readError != 0)
        return false;
    std::string temporary;
    const int fd = CreateTemporaryIn(FolderOf(backup), temporary);
    if (fd < 0)
        return false;
    if (FillTemporary(fd, bytes, &like, calls) == 0 &&
        calls.rename(temporary.c_str(), backup.c_str()) == 0)
        return true;
    ::unlink(temporary.c_str());
    return false;
}

// Makes a rename into the folder durable; a folder that cannot be synchronised is no error.
void SyncFolderOf(const std::string& path) {
    const int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

namespace hwc {

const tSaveCalls& SystemSaveCalls() {
    static constexpr tSaveCalls kCalls{WriteAllBytes, SyncFile, RenameFile};
    return kCalls;
}

} // namespace hwc

std::string BackupPathFor(const std::string& path) {
    const std::string backup = fs::path(path).replace_extension(".bak").string();
    return backup == path ? path + ".bak" : backup;
}

bool WriteHeaderFile(const std::string& path, std::string_view content, hwc::ELineEnding lineEnding,
                     const hwc::tSaveCalls& calls) {
    const std::string backup = BackupPathFor(path);
    if (!ConfirmBackupOverwrite(backup) || !ConfirmDestinationOverwrite(path))
        return false;

    const std::string target = ReplacedFile(path);
    struct stat previous {};
    const bool exists = ::stat(target.c_str(), &previous) == 0;
    // Only a regular file the user may write is replaced: a device or a folder is no header, and
    // renaming over a file the user may not write would bypass its protection.
    if (exists && (!S_ISREG(previous.st_mode) || ::access(target.c_str(), W_OK) != 0)) {
        ShowOpenError(path);
        return false;
    }

    // The new text is completely on disk before the backup or the file is touched, so that a
    // save that cannot go through changes nothing.
    std::string temporary;
    const int fd = CreateTemporaryIn(FolderOf(target), temporary);
    if (fd < 0) {
        ShowOpenError(path);
        return false;
    }
    int error = FillTemporary(fd, hwc::WithLineEnding(content, lineEnding),
                              exists ? &previous : nullptr, calls);
    if (error == 0 && exists && !WriteBackup(target, backup, previous, calls)) {
        ::unlink(temporary.c_str());
        hwc::ShowMessage("Can not create backup file. Operation aborted.");
        return false;
    }
    if (error == 0)
        error = calls.rename(temporary.c_str(), target.c_str());
    if (error != 0) {
        ::unlink(temporary.c_str());
        hwc::ShowMessage(hwc::FileErrorMessage("write", path, error));
        return false;
    }
    SyncFolderOf(target);
    if (exists && FolderOf(backup) != FolderOf(target))
        SyncFolderOf(backup);
    return true;
}
