#include "project/ProjectLock.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <utility>

#include "base/Messages.h"
#include "base/NumberScan.h"
#include "base/TextFile.h"
#include "base/TextUtil.h"

namespace {

// Opening flags shared by owner and readers: a link or a device in place of the lock file is
// never followed or waited on.
constexpr int kOpenFlags = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;

// Attempts when a file is released, deleted or replaced between its opening and its locking.
constexpr int kAttempts = 3;

CProjectLock::OpenedHook g_openedHook = nullptr;

void AfterOpening(const std::string& path) {
    if (g_openedHook != nullptr)
        g_openedHook(path);
}

using tFileId = std::pair<dev_t, ino_t>;

// The project files this process holds locked, so that a second lock taken by this process finds
// itself as the holder of another name of the same file.
std::set<tFileId>& HeldProjectFiles() {
    static std::set<tFileId> held;
    return held;
}

bool IdOf(int fd, tFileId& id) {
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return false;
    id = {status.st_dev, status.st_ino};
    return true;
}

// The path with every symbolic link resolved, so that all names of a project lead to one lock
// file; the path as given when it cannot be resolved.
std::string ResolvedPath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error)
        return path;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(absolute, error);
    return error ? absolute.lexically_normal().string() : resolved.string();
}

// Reasons the lock file cannot be created that also keep anyone else from creating it: the folder
// is missing or nobody of this kind may write it. Nobody can save there either.
bool NobodyCanCreate(int error) {
    return error == ENOENT || error == ENOTDIR || error == EACCES || error == EPERM ||
           error == EROFS;
}

std::string NoFileProblem(const std::string& lockPath) {
    return hwc::Format("The lock file '%s' is a link or not a file, so the project cannot be "
                       "locked. Remove it to open the project.",
                       lockPath.c_str());
}

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
// deletes the file, a save replaces the project file, and a lock taken on a file that no longer
// has the name would guard nothing.
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

// The process the system lists as holding a whole-file lock on the file, or 0 when it lists none.
pid_t ListedLockHolder(const tFileId& id) {
    const std::string file = hwc::Format("%02x:%02x:%llu", major(id.first), minor(id.first),
                                         static_cast<unsigned long long>(id.second));
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        // "1: FLOCK  ADVISORY  WRITE 1234 08:01:5678 0 EOF"; waiting locks have "->" as kind.
        std::istringstream fields(line);
        std::string number, kind, advisory, mode, where;
        long pid = 0;
        if (!(fields >> number >> kind >> advisory >> mode >> pid >> where) || kind != "FLOCK")
            continue;
        if (where == file && pid > 0)
            return static_cast<pid_t>(pid);
    }
    return 0;
}

} // namespace

std::string CProjectLock::LockPathFor(const std::string& projectPath) {
    const std::string lockPath =
        std::filesystem::path(projectPath).replace_extension(".lck").string();
    return lockPath == projectPath ? projectPath + ".lck" : lockPath;
}

void CProjectLock::SetOpenedHookForTesting(OpenedHook hook) {
    g_openedHook = hook;
}

pid_t CProjectLock::Acquire(const std::string& projectPath, bool create) {
    m_problem.clear();
    const std::string projectFile = ResolvedPath(projectPath);
    const std::string lockPath = LockPathFor(projectFile);
    for (int attempt = 0; create && attempt < kAttempts; ++attempt) {
        const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | kOpenFlags, 0644);
        if (fd < 0 && errno == ELOOP)
            return Refuse(NoFileProblem(lockPath));
        if (fd < 0 && NobodyCanCreate(errno))
            break;
        if (fd < 0)
            return Refuse(hwc::FileErrorMessage("create", lockPath, errno));
        if (!IsRegularFile(fd)) {
            ::close(fd);
            return Refuse(NoFileProblem(lockPath));
        }
        AfterOpening(lockPath);
        const int locked = TryLock(fd, LOCK_EX);
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
        // The owner may have released (and deleted) the file between our opening and locking
        // it, or someone may have put another file in its place: that lock would guard nothing.
        if (!IsStillNamed(fd, lockPath)) {
            ::close(fd);
            continue;
        }
        tLockedFile file;
        if (const pid_t holder = LockProjectFile(projectFile, file)) {
            // The project is held under another name: no lock file stays behind for it here.
            if (IsStillNamed(fd, lockPath))
                ::unlink(lockPath.c_str());
            ::close(fd);
            return holder;
        }
        WriteOwner(fd);
        Release();
        m_fd = fd;
        m_lockPath = lockPath;
        m_projectFile = projectFile;
        TakeProjectFile(file);
        return 0;
    }
    return Inspect(projectFile, lockPath);
}

pid_t CProjectLock::Inspect(const std::string& projectFile, const std::string& lockPath) {
    const int fd = ::open(lockPath.c_str(), O_RDONLY | kOpenFlags);
    if (fd < 0 && errno == ELOOP)
        return Refuse(NoFileProblem(lockPath));
    if (fd >= 0) {
        const bool regular = IsRegularFile(fd);
        pid_t holder = 0;
        if (regular) {
            const int locked = TryLock(fd, LOCK_SH);
            if (locked == 0)
                holder = ReadOwner(fd);
            else if (locked < 0)
                holder = LiveOwner(fd);
        }
        ::close(fd);
        if (!regular)
            return Refuse(NoFileProblem(lockPath));
        if (holder != 0)
            return holder;
    }
    // Nobody holds the lock file: the project file may still be held under another name.
    const int file = ::open(projectFile.c_str(), O_RDONLY | kOpenFlags);
    if (file < 0)
        return 0;
    pid_t holder = 0;
    if (IsRegularFile(file) && TryLock(file, LOCK_SH) == 0)
        holder = HolderOfProjectFile(file, projectFile);
    ::close(file);
    return holder;
}

pid_t CProjectLock::LockProjectFile(const std::string& projectFile, tLockedFile& locked) {
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        // No file yet (a save to a new path) or one this user may not read: nothing to lock.
        const int fd = ::open(projectFile.c_str(), O_RDONLY | kOpenFlags);
        if (fd < 0)
            return 0;
        tFileId id;
        if (!IsRegularFile(fd) || !IdOf(fd, id)) {
            ::close(fd);
            return 0;
        }
        AfterOpening(projectFile);
        const int result = TryLock(fd, LOCK_EX);
        if (result == 0) {
            const pid_t holder = HolderOfProjectFile(fd, projectFile);
            ::close(fd);
            return holder;
        }
        // Where files cannot be locked, the lock file alone guards the project.
        if (result < 0) {
            ::close(fd);
            return 0;
        }
        // A save may have replaced the file between our opening and locking it.
        if (!IsStillNamed(fd, projectFile)) {
            ::close(fd);
            continue;
        }
        locked = {fd, id.first, id.second};
        return 0;
    }
    return 0;
}

pid_t CProjectLock::HolderOfProjectFile(int fd, const std::string& projectFile) {
    tFileId id;
    if (IdOf(fd, id)) {
        if (HeldProjectFiles().contains(id))
            return ::getpid();
        if (const pid_t listed = ListedLockHolder(id))
            return listed;
    }
    return Refuse(hwc::Format("The project file '%s' is already open in another application "
                              "under another name.",
                              projectFile.c_str()));
}

pid_t CProjectLock::Refuse(std::string problem) {
    m_problem = std::move(problem);
    return kRefused;
}

void CProjectLock::TakeProjectFile(const tLockedFile& file) {
    if (file.fd < 0)
        return;
    m_fileFd = file.fd;
    m_device = file.device;
    m_inode = file.inode;
    HeldProjectFiles().insert({m_device, m_inode});
}

void CProjectLock::ReleaseProjectFile() {
    if (m_fileFd < 0)
        return;
    HeldProjectFiles().erase({m_device, m_inode});
    ::close(m_fileFd);
    m_fileFd = -1;
}

void CProjectLock::FollowProjectFile() {
    if (m_fd < 0)
        return;
    struct stat status {};
    if (::stat(m_projectFile.c_str(), &status) != 0)
        return;
    if (m_fileFd >= 0 && status.st_dev == m_device && status.st_ino == m_inode)
        return;
    tLockedFile file;
    const std::string problem = m_problem;
    // Someone who took the new file first keeps it; this lock still guards the lock file.
    if (LockProjectFile(m_projectFile, file) != 0 || file.fd < 0) {
        m_problem = problem;
        return;
    }
    ReleaseProjectFile();
    TakeProjectFile(file);
}

bool CProjectLock::Guards(const std::string& projectPath) const {
    if (m_fd < 0)
        return false;
    const std::string projectFile = ResolvedPath(projectPath);
    if (LockPathFor(projectFile) == m_lockPath)
        return true;
    struct stat status {};
    return m_fileFd >= 0 && ::stat(projectFile.c_str(), &status) == 0 &&
           status.st_dev == m_device && status.st_ino == m_inode;
}

void CProjectLock::Release() {
    if (m_fd < 0)
        return;
    ReleaseProjectFile();
    if (IsStillNamed(m_fd, m_lockPath))
        ::unlink(m_lockPath.c_str());
    if (::close(m_fd) != 0)
        hwc::ShowMessage(hwc::FileErrorMessage("close", m_lockPath, errno));
    m_fd = -1;
    m_lockPath.clear();
    m_projectFile.clear();
}
