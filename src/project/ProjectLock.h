#pragma once
// The lock file that keeps a second running instance from working on the same project. The
// owner's process id stands in "<name>.lck" beside the project file, and the owner holds an
// exclusive advisory lock on it for as long as the project is open; a file nobody holds any
// more (its owner crashed) is simply taken over.
//
// A project is one file, whatever it is called: the lock file lies beside the file its path
// resolves to (symbolic links followed), and the owner locks the project file itself as well, so
// that a second name of the same file (a hard link) finds the project held too.

#include <string>
#include <sys/types.h>

class CProjectLock {
public:
    // What Acquire gives when the project must not be used although no holder is known: the
    // lock file is a link or no file, or another name of the project is held; Problem() says why.
    static constexpr pid_t kRefused = -1;

    CProjectLock() = default;
    ~CProjectLock() { Release(); }
    CProjectLock(const CProjectLock&) = delete;
    CProjectLock& operator=(const CProjectLock&) = delete;

    // The project path with its extension replaced by ".lck" (".lck" appended when the project
    // file has that extension itself, so that the lock never overwrites the project).
    static std::string LockPathFor(const std::string& projectPath);

    // With `create`, tries to take the lock of the project: on success a lock held before is
    // released and 0 is returned. Otherwise, and without `create`, returns the process id of the
    // instance that holds the project (this process's own id when it is this instance), 0 when
    // nobody holds it or the lock file does not name a process, or kRefused.
    pid_t Acquire(const std::string& projectPath, bool create);

    // Closes and deletes the lock file held; nothing when none is held.
    void Release();

    // After a save replaced the project file: the new file is locked in place of the old one.
    void FollowProjectFile();

    bool IsHeld() const { return m_fd >= 0; }
    // The lock file held, empty when none.
    const std::string& LockPath() const { return m_lockPath; }
    // True when the lock held guards the project at that path: under the same lock file, or as
    // the same file under another name.
    bool Guards(const std::string& projectPath) const;
    // Why the last Acquire gave kRefused.
    const std::string& Problem() const { return m_problem; }

    // Tests only: a function called between opening a lock file and locking it, where another
    // instance may release, delete or replace the file. Null removes it.
    using OpenedHook = void (*)(const std::string& lockPath);
    static void SetOpenedHookForTesting(OpenedHook hook);

private:
    struct tLockedFile {
        int fd = -1;
        dev_t device = 0;
        ino_t inode = 0;
    };

    // Locks the project file itself into `locked`; 0 when locked or when there is nothing to
    // lock (no file yet, or a file system without locks), else its holder (or kRefused).
    pid_t LockProjectFile(const std::string& projectFile, tLockedFile& locked);
    // Who holds the project file that the open descriptor could not lock: this process, the
    // process the system lists, or kRefused.
    pid_t HolderOfProjectFile(int fd, const std::string& projectFile);
    // The holder of a project whose lock was not taken: the lock file's owner, else the holder
    // of the project file under another name.
    pid_t Inspect(const std::string& projectFile, const std::string& lockPath);
    pid_t Refuse(std::string problem);
    void TakeProjectFile(const tLockedFile& file);
    void ReleaseProjectFile();

    int m_fd = -1;
    std::string m_lockPath;
    int m_fileFd = -1;
    std::string m_projectFile;
    dev_t m_device = 0;
    ino_t m_inode = 0;
    std::string m_problem;
};
