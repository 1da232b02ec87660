// The project lock file: taking it, finding its holder (this process or another one), taking
// over a file its dead owner left behind, and deleting it on release.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

#include "project/ProjectLock.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

class ProjectLock : public ::testing::Test {
protected:
    void SetUp() override {
        m_project = (m_folder / "appconfig.h").string();
        m_lockFile = (m_folder / "appconfig.lck").string();
    }

    static std::string Read(const std::string& path) { return ReadFileBytes(path); }
    static void Write(const std::string& path, const std::string& bytes) {
        WriteFileBytes(path, bytes);
    }
    static std::string OwnLine() { return std::to_string(::getpid()) + "\n"; }

    CScriptedMessages m_messages;
    CTestFolder m_folder{"hwc-lock"};
    std::string m_project;
    std::string m_lockFile;
};

} // namespace

TEST_F(ProjectLock, LockPathBesideTheProject) {
    EXPECT_EQ(CProjectLock::LockPathFor("dir/appconfig.h"), "dir/appconfig.lck");
    EXPECT_EQ(CProjectLock::LockPathFor("dir.v2/appconfig"), "dir.v2/appconfig.lck");
    EXPECT_EQ(CProjectLock::LockPathFor("/p/a.b.h"), "/p/a.b.lck");
    // A project named like a lock file must not be overwritten by its own lock.
    EXPECT_EQ(CProjectLock::LockPathFor("dir/odd.lck"), "dir/odd.lck.lck");
}

TEST_F(ProjectLock, OwnLockIsFoundByASecondOpenOfTheSameProcess) {
    CProjectLock owner;
    EXPECT_EQ(owner.Acquire(m_project, true), 0);
    EXPECT_TRUE(owner.IsHeld());
    EXPECT_EQ(owner.LockPath(), m_lockFile);
    EXPECT_EQ(Read(m_lockFile), OwnLine());

    CProjectLock other;
    EXPECT_EQ(other.Acquire(m_project, true), ::getpid());
    EXPECT_FALSE(other.IsHeld());
    EXPECT_EQ(other.Acquire(m_project, false), ::getpid());
    // The owner saving to its own path finds itself.
    EXPECT_EQ(owner.Acquire(m_project, true), ::getpid());
    EXPECT_TRUE(owner.IsHeld());

    owner.Release();
    EXPECT_FALSE(owner.IsHeld());
    EXPECT_FALSE(fs::exists(m_lockFile));
    EXPECT_EQ(other.Acquire(m_project, false), 0);
    EXPECT_EQ(other.Acquire(m_project, true), 0);
    EXPECT_TRUE(other.IsHeld());
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(ProjectLock, AnotherProcessHoldsItUntilItDies) {
    int ready[2], finish[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(finish), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The other instance: takes the lock, reports, and dies without releasing it once the
        // test closes its end of the pipe (or after half a minute, should the test fail first).
        ::close(ready[0]);
        ::close(finish[1]);
        ::alarm(30);
        CProjectLock lock;
        const char status = lock.Acquire(m_project, true) == 0 && lock.IsHeld() ? 'y' : 'n';
        (void)::write(ready[1], &status, 1);
        char ignored;
        (void)::read(finish[0], &ignored, 1);
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(finish[0]);
    char status = 0;
    ASSERT_EQ(::read(ready[0], &status, 1), 1);
    ASSERT_EQ(status, 'y');

    CProjectLock lock;
    EXPECT_EQ(lock.Acquire(m_project, true), child);
    EXPECT_FALSE(lock.IsHeld());
    EXPECT_EQ(lock.Acquire(m_project, false), child);

    ::close(finish[1]);
    int exitStatus = 0;
    ASSERT_EQ(::waitpid(child, &exitStatus, 0), child);
    ::close(ready[0]);

    // Its lock file stays behind, naming a dead process that holds nothing: taken over.
    ASSERT_EQ(Read(m_lockFile), std::to_string(child) + "\n");
    EXPECT_EQ(lock.Acquire(m_project, false), 0);
    EXPECT_EQ(lock.Acquire(m_project, true), 0);
    EXPECT_TRUE(lock.IsHeld());
    EXPECT_EQ(Read(m_lockFile), OwnLine());
}

TEST_F(ProjectLock, StaleFileIsTakenOverAndRewritten) {
    Write(m_lockFile, "2147483646\nleft over from an older version\n");
    CProjectLock lock;
    EXPECT_EQ(lock.Acquire(m_project, true), 0);
    EXPECT_TRUE(lock.IsHeld());
    EXPECT_EQ(Read(m_lockFile), OwnLine());
}

TEST_F(ProjectLock, FirstLineDecidesTheHolder) {
    CProjectLock owner;
    ASSERT_EQ(owner.Acquire(m_project, true), 0);
    CProjectLock other;

    Write(m_lockFile, "not a process\n" + OwnLine());
    EXPECT_EQ(other.Acquire(m_project, false), 0);
    EXPECT_EQ(other.Acquire(m_project, true), 0);
    EXPECT_FALSE(other.IsHeld()); // nobody named, but the lock itself is still taken

    char hex[32];
    std::snprintf(hex, sizeof hex, "  0x%lx\n", static_cast<long>(::getpid()));
    Write(m_lockFile, hex);
    EXPECT_EQ(other.Acquire(m_project, false), ::getpid());

    Write(m_lockFile, std::string(100000, '7'));
    EXPECT_EQ(other.Acquire(m_project, false), 0);
    Write(m_lockFile, std::string("\0\n", 2));
    EXPECT_EQ(other.Acquire(m_project, false), 0);
}

TEST_F(ProjectLock, TakingAnotherProjectReleasesTheFirst) {
    const std::string second = (m_folder / "other.h").string();
    CProjectLock lock;
    ASSERT_EQ(lock.Acquire(m_project, true), 0);
    ASSERT_EQ(lock.Acquire(second, true), 0);
    EXPECT_FALSE(fs::exists(m_lockFile));
    EXPECT_EQ(Read((m_folder / "other.lck").string()), OwnLine());
    EXPECT_EQ(lock.LockPath(), (m_folder / "other.lck").string());
}

TEST_F(ProjectLock, ReleaseDeletesOnlyItsOwnFile) {
    CProjectLock lock;
    ASSERT_EQ(lock.Acquire(m_project, true), 0);
    fs::remove(m_lockFile);
    Write(m_lockFile, "someone else's\n");
    lock.Release();
    EXPECT_EQ(Read(m_lockFile), "someone else's\n");

    // Without a lock file, or where none can be created, nobody holds the project.
    fs::remove(m_lockFile);
    EXPECT_EQ(lock.Acquire(m_project, false), 0);
    EXPECT_FALSE(fs::exists(m_lockFile));
    EXPECT_EQ(lock.Acquire((m_folder / "missing" / "appconfig.h").string(), true), 0);
    EXPECT_FALSE(lock.IsHeld());
}
