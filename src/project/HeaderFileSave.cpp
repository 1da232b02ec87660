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

std::string FileNameOf(const std::string& path) {
    return fs::path(path).filename().string();
}

void ShowOpenError(const std::string& path) {
    hwc::ShowMessage(hwc::Format("Error openning destination file '%s'", FileNameOf(path).c_str()));
}

// A file counts as write-protected when its owner has no write permission. The mode bits decide,
// not access(): a process with administrator rights may write anything.
bool IsWriteProtected(const struct stat& status) {
    return (status.st_mode & S_IWUSR) == 0;
}

// Asks before a write-protected file is overwritten; OK makes it writable. False on Cancel or
// when the permission cannot be changed.
bool ConfirmOverwrite(const std::string& path, std::string_view question) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !IsWriteProtected(status))
        return true;
    if (hwc::ShowMessage(hwc::ReplaceAll(question, "%1", path), hwc::EButtons::OkCancel,
                         hwc::EAnswer::Ok) != hwc::EAnswer::Ok)
        return false;
    if (::chmod(path.c_str(), (status.st_mode & 07777) | S_IWUSR) == 0)
        return true;
    hwc::ShowMessage(hwc::FileErrorMessage("change the permissions of", path, errno));
    return false;
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

// A new, empty file beside the target that nobody else uses; -1 when none can be created.
int CreateTemporaryBeside(const std::string& target, std::string& temporaryPath) {
    const fs::path targetPath(target);
    const fs::path folder = targetPath.has_parent_path() ? targetPath.parent_path() : fs::path(".");
    static unsigned serial = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = hwc::Format(".%s.%ld-%u.tmp", targetPath.filename().c_str(),
                                             static_cast<long>(::getpid()), ++serial);
        temporaryPath = (folder / name).string();
        const int fd = ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Makes a rename into the folder durable; a folder that cannot be synchronised is no error.
void SyncFolderOf(const std::string& path) {
    const fs::path file(path);
    const std::string folder = file.has_parent_path() ? file.parent_path().string() : ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// Writes the bytes to a temporary file and renames it over the target once they are on disk.
// `previous` is the target's status when it exists: its permissions and owner are kept.
bool ReplaceFile(const std::string& path, const std::string& target, std::string_view bytes,
                 const struct stat* previous, hwc::FileBytesWriter writer) {
    std::string temporary;
    const int fd = CreateTemporaryBeside(target, temporary);
    if (fd < 0) {
        ShowOpenError(path);
        return false;
    }
    if (previous != nullptr) {
        // Keeping the owner needs privileges a normal user lacks; the permissions are what matter.
        (void)::fchown(fd, previous->st_uid, previous->st_gid);
        ::fchmod(fd, previous->st_mode & 07777);
    }
    int error = (writer != nullptr ? writer : WriteAllBytes)(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        hwc::ShowMessage(hwc::FileErrorMessage("write", path, error));
        return false;
    }
    SyncFolderOf(target);
    return true;
}

} // namespace

std::string BackupPathFor(const std::string& path) {
    const std::string backup = fs::path(path).replace_extension(".bak").string();
    return backup == path ? path + ".bak" : backup;
}

bool WriteHeaderFile(const std::string& path, std::string_view content, hwc::ELineEnding lineEnding,
                     hwc::FileBytesWriter writer) {
    const std::string backup = BackupPathFor(path);
    if (!ConfirmOverwrite(backup, "Backup file '%1' is write-protected. Overwrite?"))
        return false;
    if (!ConfirmOverwrite(path, "Destination file '%1' is write-protected. Overwrite?"))
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
    if (exists) {
        std::error_code error;
        fs::copy_file(target, backup, fs::copy_options::overwrite_existing, error);
        if (error) {
            hwc::ShowMessage("Can not create backup file. Operation aborted.");
            return false;
        }
    }
    return ReplaceFile(path, target, hwc::WithLineEnding(content, lineEnding),
                       exists ? &previous : nullptr, writer);
}
