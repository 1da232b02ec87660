#pragma once
// The lock file that keeps a second running instance from working on the same project. The
// owner's process id stands in "<name>.lck" beside the project file, and the owner holds an
// exclusive advisory lock on it for as long as the project is open; a file nobody holds any
// more (its owner crashed) is simply taken over.

#include <string>
#include <sys/types.h>

class CProjectLock {
public:
    CProjectLock() = default;
    ~CProjectLock() { Release(); }
    CProjectLock(const CProjectLock&) = delete;
    CProjectLock& operator=(const CProjectLock&) = delete;

    // The project path with its extension replaced by ".lck" (".lck" appended when the project
    // file has that extension itself, so that the lock never overwrites the project).
    static std::string LockPathFor(const std::string& projectPath);

    // With `create`, tries to take the lock of the project: on success a lock held before is
    // released and 0 is returned. Otherwise, and without `create`, returns the process id of the
    // instance that holds the project (this process's own id when it is this instance), or 0
    // when nobody holds it or the lock file does not name a process.
    pid_t Acquire(const std::string& projectPath, bool create);

    // Closes and deletes the lock file held; nothing when none is held.
    void Release();

    bool IsHeld() const { return m_fd >= 0; }
    // The lock file held, empty when none.
    const std::string& LockPath() const { return m_lockPath; }

private:
    int m_fd = -1;
    std::string m_lockPath;
};
