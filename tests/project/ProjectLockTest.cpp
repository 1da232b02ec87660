// The project lock file: taking it, finding its holder (this process or another one), taking
// over a file its dead owner left behind, and deleting it on release.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "project/ProjectLock.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

// Another instance in a child process: it takes the project's lock and holds it until Finish()
// (or half a minute, should the test fail first), then dies without releasing it.
class CLockHolderProcess {
public:
    explicit CLockHolderProcess(const std::string& project) {
        int ready[2], finish[2];
        if (::pipe(ready) != 0 || ::pipe(finish) != 0)
            return;
        m_child = ::fork();
        if (m_child == 0) {
            ::close(ready[0]);
            ::close(finish[1]);
            ::alarm(30);
            CProjectLock lock;
            const char status = lock.Acquire(project, true) == 0 && lock.IsHeld() ? 'y' : 'n';
            (void)::write(ready[1], &status, 1);
            char ignored;
            (void)::read(finish[0], &ignored, 1);
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(finish[0]);
        m_finish = finish[1];
        char status = 0;
        m_holding = m_child > 0 && ::read(ready[0], &status, 1) == 1 && status == 'y';
        ::close(ready[0]);
    }
    ~CLockHolderProcess() { Finish(); }

    pid_t Pid() const { return m_child; }
    bool Holding() const { return m_holding; }
    // Lets the child die and waits for it; true when it ended.
    bool Finish() {
        if (m_finish >= 0)
            ::close(m_finish);
        m_finish = -1;
        if (m_child <= 0)
            return false;
        int exitStatus = 0;
        const bool ended = ::waitpid(m_child, &exitStatus, 0) == m_child;
        m_child = -1;
        return ended;
    }

private:
    pid_t m_child = -1;
    int m_finish = -1;
    bool m_holding = false;
};

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
    CLockHolderProcess holder(m_project);
    ASSERT_TRUE(holder.Holding());
    const pid_t child = holder.Pid();

    CProjectLock lock;
    EXPECT_EQ(lock.Acquire(m_project, true), child);
    EXPECT_FALSE(lock.IsHeld());
    EXPECT_EQ(lock.Acquire(m_project, false), child);

    ASSERT_TRUE(holder.Finish());

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

// --- The project's identity ---

namespace {

class ProjectIdentity : public ProjectLock {
protected:
    void SetUp() override {
        ProjectLock::SetUp();
        Write(m_project, "#define K7Q3010\n");
    }
    void TearDown() override { CProjectLock::SetOpenedHookForTesting(nullptr); }
};

} // namespace

TEST_F(ProjectIdentity, EveryNameOfAHeldProjectFindsItHeld) {
    CProjectLock owner;
    ASSERT_EQ(owner.Acquire(m_project, true), 0);

    // A symbolic link to the file, one to its folder, and a second name of the same file.
    const CTestFolder elsewhere("hwc-lock-elsewhere");
    const std::string alias = (elsewhere / "alias.h").string();
    fs::create_symlink(m_project, alias);
    const std::string viaFolder = (elsewhere / "folder" / "appconfig.h").string();
    fs::create_directory_symlink(m_folder.Path(), elsewhere / "folder");
    const std::string hardLink = (m_folder / "second.h").string();
    fs::create_hard_link(m_project, hardLink);

    for (const std::string& name : {alias, viaFolder, hardLink}) {
        CProjectLock other;
        EXPECT_EQ(other.Acquire(name, true), ::getpid()) << name;
        EXPECT_FALSE(other.IsHeld()) << name;
        EXPECT_EQ(other.Acquire(name, false), ::getpid()) << name;
        EXPECT_TRUE(owner.Guards(name)) << name;
    }
    // No lock file is left beside a name that was refused.
    EXPECT_FALSE(fs::exists(m_folder / "second.lck"));
    EXPECT_FALSE(fs::exists(elsewhere / "alias.lck"));
    EXPECT_FALSE(owner.Guards((m_folder / "another.h").string()));
    EXPECT_EQ(Read(m_lockFile), OwnLine());

    // Once released, any name may take it, and the lock lies beside the real file.
    owner.Release();
    CProjectLock other;
    EXPECT_EQ(other.Acquire(alias, true), 0);
    EXPECT_EQ(other.LockPath(), m_lockFile);
    EXPECT_EQ(Read(m_lockFile), OwnLine());
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(ProjectIdentity, SecondNameHeldByAnotherProcess) {
    CLockHolderProcess other(m_project);
    ASSERT_TRUE(other.Holding());
    const pid_t child = other.Pid();

    const std::string hardLink = (m_folder / "second.h").string();
    fs::create_hard_link(m_project, hardLink);
    CProjectLock lock;
    const pid_t holder = lock.Acquire(hardLink, true);
    EXPECT_FALSE(lock.IsHeld());
    // The system names the holder; where it cannot, the project is refused all the same.
    EXPECT_TRUE(holder == child || (holder == CProjectLock::kRefused &&
                                    lock.Problem().find(hardLink) != std::string::npos))
        << holder;
    EXPECT_EQ(lock.Acquire(hardLink, false), holder);

    ASSERT_TRUE(other.Finish());
    EXPECT_EQ(lock.Acquire(hardLink, true), 0);
    EXPECT_TRUE(lock.IsHeld());
}

TEST_F(ProjectIdentity, LockFileThatIsALinkOrNoFileRefusesTheProject) {
    const CTestFolder outside("hwc-lock-outside");
    const std::string victim = (outside / "victim").string();
    Write(victim, "precious\n");
    fs::create_symlink(victim, m_lockFile);
    CProjectLock lock;
    EXPECT_EQ(lock.Acquire(m_project, true), CProjectLock::kRefused);
    EXPECT_FALSE(lock.IsHeld());
    EXPECT_EQ(lock.Problem(), "The lock file '" + m_lockFile +
                                  "' is a link or not a file, so the project cannot be locked. "
                                  "Remove it to open the project.");
    EXPECT_EQ(lock.Acquire(m_project, false), CProjectLock::kRefused);
    EXPECT_EQ(Read(victim), "precious\n");

    // A link to nowhere creates nothing where it points.
    fs::remove(m_lockFile);
    fs::create_symlink(outside / "planted", m_lockFile);
    EXPECT_EQ(lock.Acquire(m_project, true), CProjectLock::kRefused);
    EXPECT_FALSE(fs::exists(outside / "planted"));

    // A folder or a pipe in its place: refused, and nothing waits for a reader.
    fs::remove(m_lockFile);
    fs::create_directory(m_lockFile);
    EXPECT_EQ(lock.Acquire(m_project, true), CProjectLock::kRefused);
    EXPECT_EQ(lock.Acquire(m_project, false), CProjectLock::kRefused);
    fs::remove(m_lockFile);
    ASSERT_EQ(::mkfifo(m_lockFile.c_str(), 0600), 0);
    EXPECT_EQ(lock.Acquire(m_project, true), CProjectLock::kRefused);
    EXPECT_EQ(lock.Acquire(m_project, false), CProjectLock::kRefused);

    // A lock file name too long for the folder is refused with the reason.
    const std::string longName = (m_folder / (std::string(253, 'n') + ".h")).string();
    Write(longName, "");
    EXPECT_EQ(lock.Acquire(longName, true), CProjectLock::kRefused);
    EXPECT_NE(lock.Problem().find(std::strerror(ENAMETOOLONG)), std::string::npos);
    EXPECT_TRUE(m_messages.shown.empty());
}

namespace {

// The other instance of the race tests: it takes the project while this one is between opening
// and locking a file.
CProjectLock* g_rival = nullptr;
std::string g_rivalProject;
std::string g_raceOn;

// The owner releases its lock (deleting the file) and another instance takes it anew.
void RivalTakesOver(const std::string& path) {
    if (path != g_raceOn)
        return;
    CProjectLock::SetOpenedHookForTesting(nullptr);
    ::unlink(path.c_str());
    g_rival->Acquire(g_rivalProject, true);
}

// Someone puts a link in place of the lock file.
void LinkReplacesLockFile(const std::string& path) {
    if (path != g_raceOn)
        return;
    CProjectLock::SetOpenedHookForTesting(nullptr);
    ::unlink(path.c_str());
    (void)::symlink("/dev/null", path.c_str());
}

// A save replaces the project file.
void SaveReplacesProjectFile(const std::string& path) {
    if (path != g_raceOn)
        return;
    CProjectLock::SetOpenedHookForTesting(nullptr);
    const std::string fresh = path + ".new";
    WriteFileBytes(fresh, "saved\n");
    ::rename(fresh.c_str(), path.c_str());
}

} // namespace

TEST_F(ProjectIdentity, FileReplacedBetweenOpeningAndLockingIsNotTakenForTheLock) {
    {
        // The lock file: the rival holds the new one, and this instance sees it held. (The
        // project file does not exist yet, so the lock file alone decides.)
        const std::string project = (m_folder / "new.h").string();
        const std::string lockFile = (m_folder / "new.lck").string();
        CProjectLock rival;
        g_rival = &rival;
        g_rivalProject = project;
        g_raceOn = lockFile;
        Write(lockFile, "2147483646\n"); // a stale file nobody holds
        CProjectLock::SetOpenedHookForTesting(RivalTakesOver);
        CProjectLock lock;
        EXPECT_EQ(lock.Acquire(project, true), ::getpid());
        EXPECT_FALSE(lock.IsHeld());
        EXPECT_TRUE(rival.IsHeld());
        EXPECT_EQ(Read(lockFile), OwnLine());
    }
    {
        // A link put in its place is not locked through.
        g_raceOn = m_lockFile;
        CProjectLock::SetOpenedHookForTesting(LinkReplacesLockFile);
        CProjectLock lock;
        EXPECT_EQ(lock.Acquire(m_project, true), CProjectLock::kRefused);
        EXPECT_FALSE(lock.IsHeld());
        fs::remove(m_lockFile);
    }
    {
        // The project file: the lock holds the file that has the name now, so that a second name
        // of the saved file is held too.
        g_raceOn = m_project;
        CProjectLock::SetOpenedHookForTesting(SaveReplacesProjectFile);
        CProjectLock lock;
        ASSERT_EQ(lock.Acquire(m_project, true), 0);
        ASSERT_EQ(Read(m_project), "saved\n");
        const std::string hardLink = (m_folder / "second.h").string();
        fs::create_hard_link(m_project, hardLink);
        CProjectLock other;
        EXPECT_EQ(other.Acquire(hardLink, true), ::getpid());
        EXPECT_FALSE(other.IsHeld());
    }
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(ProjectIdentity, LockFollowsTheFileASaveWrote) {
    CProjectLock owner;
    ASSERT_EQ(owner.Acquire(m_project, true), 0);
    const std::string fresh = m_project + ".new";
    Write(fresh, "saved\n");
    ASSERT_EQ(::rename(fresh.c_str(), m_project.c_str()), 0);
    const std::string hardLink = (m_folder / "second.h").string();
    fs::create_hard_link(m_project, hardLink);

    CProjectLock other;
    EXPECT_EQ(other.Acquire(hardLink, false), 0);
    owner.FollowProjectFile();
    EXPECT_EQ(other.Acquire(hardLink, false), ::getpid());
    EXPECT_EQ(other.Acquire(hardLink, true), ::getpid());
    EXPECT_TRUE(owner.Guards(hardLink));
    owner.FollowProjectFile(); // the same file again changes nothing
    EXPECT_EQ(other.Acquire(hardLink, true), ::getpid());

    owner.Release();
    EXPECT_EQ(other.Acquire(hardLink, true), 0);
}
