#include "project/ProjectLock.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Messages.h"
#include "base/NumberScan.h"
#include "base/TextFile.h"
#include "base/TextUtil.h"

namespace {

// Opening flags shared by owner and readers: a link or a device in place of the lock file is
// never followed or waited on.
constexpr int kOpenFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;

// Tries to lock `mode` without waiting: 1 locked, 0 someone else holds it, -1 the file system
// cannot lock at all.
int TryLock(int fd, int mode) {
    while (::flock(fd, mode | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        return errno == EWOULDBLOCK ? 0 : -1;
    }
    return 1;
}

bool IsRegularFile(int fd) {
    struct stat status {};
    return ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
}

// True when the descriptor still is the file of that name: an owner that releases its lock
// deletes the file, and a lock taken on the deleted file would guard nothing.
bool IsStillNamed(int fd, const std::string& path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::lstat(path.c_str(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

// Replaces the content by the process id line without ever leaving the file empty.
void WriteOwner(int fd) {
    const std::string line = hwc::Format("%ld\n", static_cast<long>(::getpid()));
    if (::pwrite(fd, line.data(), line.size(), 0) == static_cast<ssize_t>(line.size()))
        (void)::ftruncate(fd, static_cast<off_t>(line.size()));
}

// The process id on the first line of the lock file ("%i" rules), or 0.
pid_t ReadOwner(int fd) {
    char buffer[64];
    const ssize_t got = ::pread(fd, buffer, sizeof buffer, 0);
    if (got <= 0)
        return 0;
    std::string_view line(buffer, static_cast<std::size_t>(got));
    line = line.substr(0, line.find('\n'));
    const auto number = hwc::ScanInteger(line);
    if (!number || number->overflow || number->value <= 0 || number->value > 0x7FFFFFFF)
        return 0;
    return static_cast<pid_t>(number->value);
}

bool ProcessExists(pid_t pid) {
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

// Where files cannot be locked, the process a lock file names holds it while that process lives.
pid_t LiveOwner(int fd) {
    const pid_t owner = ReadOwner(fd);
    return owner != 0 && (owner == ::getpid() || ProcessExists(owner)) ? owner : 0;
}

// Who holds the lock file: the process it names while its lock is held, else nobody.
pid_t HolderOf(const std::string& lockPath) {
    const int fd = ::open(lockPath.c_str(), O_RDONLY | kOpenFlags);
    if (fd < 0)
        return 0;
    pid_t holder = 0;
    if (IsRegularFile(fd)) {
        const int locked = TryLock(fd, LOCK_SH);
        if (locked == 0) {
            holder = ReadOwner(fd);
        } else if (locked < 0) {
            holder = LiveOwner(fd);
        }
    }
    ::close(fd);
    return holder;
}

} // namespace

std::string CProjectLock::LockPathFor(const std::string& projectPath) {
    const std::string lockPath =
        std::filesystem::path(projectPath).replace_extension(".lck").string();
    return lockPath == projectPath ? projectPath + ".lck" : lockPath;
}

pid_t CProjectLock::Acquire(const std::string& projectPath, bool create) {
    const std::string lockPath = LockPathFor(projectPath);
    // A few attempts: an owner may delete the file between our opening and our locking it.
    for (int attempt = 0; create && attempt < 3; ++attempt) {
        const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | kOpenFlags, 0644);
        if (fd < 0)
            break;
        const int locked = IsRegularFile(fd) ? TryLock(fd, LOCK_EX) : 0;
        if (locked == 0) {
            ::close(fd);
            break;
        }
        if (locked < 0) {
            if (const pid_t owner = LiveOwner(fd)) {
                ::close(fd);
                return owner;
            }
        }
        if (!IsStillNamed(fd, lockPath)) {
            ::close(fd);
            continue;
        }
        WriteOwner(fd);
        Release();
        m_fd = fd;
        m_lockPath = lockPath;
        return 0;
    }
    return HolderOf(lockPath);
}

void CProjectLock::Release() {
    if (m_fd < 0)
        return;
    if (IsStillNamed(m_fd, m_lockPath))
        ::unlink(m_lockPath.c_str());
    if (::close(m_fd) != 0)
        hwc::ShowMessage(hwc::FileErrorMessage("close", m_lockPath, errno));
    m_fd = -1;
    m_lockPath.clear();
}
