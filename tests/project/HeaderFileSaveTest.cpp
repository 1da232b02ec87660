// Saving one header file: the backup, the questions before write-protected files are overwritten,
// and a failed write that leaves the previous file whole.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "project/HeaderFileSave.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"
#include "support/Unprivileged.h"

namespace fs = std::filesystem;
using hwc::EAnswer;
using hwc::ELineEnding;

namespace {

class HeaderFileSave : public ::testing::Test {
protected:
    void SetUp() override {
        m_header = (m_folder / "appconfig.h").string();
        m_backup = (m_folder / "appconfig.bak").string();
    }

    static std::string Read(const std::string& path) { return ReadFileBytes(path); }
    static void Write(const std::string& path, const std::string& bytes) {
        WriteFileBytes(path, bytes);
    }
    static unsigned Mode(const std::string& path) {
        struct stat status {};
        EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
        return status.st_mode & 07777;
    }
    std::vector<std::string> FolderEntries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(m_folder.Path()))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    CTestFolder m_folder{"hwc-save"};
    std::string m_header;
    std::string m_backup;
};

int FailWithDiskFull(int fd, std::string_view bytes) {
    return ENOSPC;
}

// What the save's system calls did: the files synchronised, the renames, and the renames of a
// file that was not synchronised first. A rename to a path ending in `failRenameTo`, and every
// synchronisation while `fsyncError` is set, fail with those errors.
struct tCallLog {
    std::set<std::pair<dev_t, ino_t>> synced;
    int renames = 0;
    int unsyncedRenames = 0;
    std::string failRenameTo;
    int fsyncError = 0;
};
tCallLog g_calls;

int RecordingFsync(int fd) {
    if (g_calls.fsyncError != 0)
        return g_calls.fsyncError;
    struct stat status {};
    if (::fstat(fd, &status) == 0)
        g_calls.synced.insert({status.st_dev, status.st_ino});
    return ::fsync(fd) == 0 ? 0 : errno;
}

int RecordingRename(const char* from, const char* to) {
    ++g_calls.renames;
    struct stat status {};
    if (::stat(from, &status) != 0 || !g_calls.synced.contains({status.st_dev, status.st_ino}))
        ++g_calls.unsyncedRenames;
    if (!g_calls.failRenameTo.empty() && std::string_view(to).ends_with(g_calls.failRenameTo))
        return EBUSY;
    return ::rename(from, to) == 0 ? 0 : errno;
}

hwc::tSaveCalls RecordingCalls() {
    g_calls = {};
    hwc::tSaveCalls calls = hwc::SystemSaveCalls();
    calls.fsync = RecordingFsync;
    calls.rename = RecordingRename;
    return calls;
}

} // namespace

TEST_F(HeaderFileSave, NewFileGetsNoBackupAndTheGivenLineEnds) {
    CScriptedMessages messages;
    ASSERT_TRUE(WriteHeaderFile(m_header, "a\nb\n", ELineEnding::CRLF));
    EXPECT_EQ(Read(m_header), "a\r\nb\r\n");
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"appconfig.h"}));
    EXPECT_TRUE(messages.shown.empty());

    // A new file gets the permissions any newly created file gets.
    const std::string reference = (m_folder / "reference").string();
    Write(reference, "");
    EXPECT_EQ(Mode(m_header), Mode(reference));
}

TEST_F(HeaderFileSave, ExistingFileIsBackedUpAndKeepsItsPermissions) {
    CScriptedMessages messages;
    Write(m_header, "old\r\n");
    Write(m_backup, "older\r\n");
    ::chmod(m_header.c_str(), 0640);

    ASSERT_TRUE(WriteHeaderFile(m_header, "new\n", ELineEnding::LF));
    EXPECT_EQ(Read(m_header), "new\n");
    EXPECT_EQ(Read(m_backup), "old\r\n");
    EXPECT_EQ(Mode(m_header), 0640u);
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"appconfig.bak", "appconfig.h"}));
    EXPECT_TRUE(messages.shown.empty());

    // A header whose own extension is ".bak" is not its own backup.
    const std::string odd = (m_folder / "x.bak").string();
    Write(odd, "one\n");
    ASSERT_TRUE(WriteHeaderFile(odd, "two\n", ELineEnding::LF));
    EXPECT_EQ(Read(odd), "two\n");
    EXPECT_EQ(Read(odd + ".bak"), "one\n");
}

TEST_F(HeaderFileSave, WriteProtectedBackupAsksFirst) {
    Write(m_header, "old\n");
    Write(m_backup, "older\n");
    ::chmod(m_backup.c_str(), 0444);
    {
        CScriptedMessages messages;
        messages.Answer(EAnswer::Cancel);
        EXPECT_FALSE(WriteHeaderFile(m_header, "new\n", ELineEnding::LF));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text,
                  "Backup file '" + m_backup + "' is write-protected. Overwrite?");
        EXPECT_EQ(messages.shown[0].buttons, hwc::EButtons::OkCancel);
        EXPECT_EQ(Read(m_header), "old\n");
        EXPECT_EQ(Read(m_backup), "older\n");
    }
    CScriptedMessages messages;
    messages.Answer(EAnswer::Ok);
    EXPECT_TRUE(WriteHeaderFile(m_header, "new\n", ELineEnding::LF));
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(Read(m_header), "new\n");
    EXPECT_EQ(Read(m_backup), "old\n");
    EXPECT_NE(Mode(m_backup) & S_IWUSR, 0u);
}

TEST_F(HeaderFileSave, WriteProtectedDestinationAsksFirst) {
    Write(m_header, "old\n");
    ::chmod(m_header.c_str(), 0444);
    {
        CScriptedMessages messages;
        messages.Answer(EAnswer::Cancel);
        EXPECT_FALSE(WriteHeaderFile(m_header, "new\n", ELineEnding::LF));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text,
                  "Destination file '" + m_header + "' is write-protected. Overwrite?");
        EXPECT_EQ(Read(m_header), "old\n");
        EXPECT_FALSE(fs::exists(m_backup));
    }
    CScriptedMessages messages;
    messages.Answer(EAnswer::Ok);
    EXPECT_TRUE(WriteHeaderFile(m_header, "new\n", ELineEnding::LF));
    EXPECT_EQ(Read(m_header), "new\n");
    EXPECT_EQ(Read(m_backup), "old\n");
    EXPECT_EQ(Mode(m_header), 0644u);
}

TEST_F(HeaderFileSave, FailedWriteLeavesThePreviousFileWhole) {
    Write(m_header, "old\n");
    Write(m_backup, "older\n");
    CScriptedMessages messages;
    hwc::tSaveCalls calls = hwc::SystemSaveCalls();
    calls.write = FailWithDiskFull;
    EXPECT_FALSE(WriteHeaderFile(m_header, "new\n", ELineEnding::LF, calls));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find(m_header), std::string::npos);
    EXPECT_NE(messages.shown[0].text.find(std::strerror(ENOSPC)), std::string::npos);
    EXPECT_EQ(Read(m_header), "old\n");
    // The new text could not be written, so the backup was not touched either.
    EXPECT_EQ(Read(m_backup), "older\n");
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"appconfig.bak", "appconfig.h"}));
}

TEST_F(HeaderFileSave, DestinationThatCannotBeCreatedOrIsNoFile) {
    CScriptedMessages messages;
    EXPECT_FALSE(
        WriteHeaderFile((m_folder / "missing" / "appconfig.h").string(), "x\n", ELineEnding::LF));
    fs::create_directory(m_header);
    EXPECT_FALSE(WriteHeaderFile(m_header, "x\n", ELineEnding::LF));
    EXPECT_TRUE(fs::is_directory(m_header));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[0].text, "Error openning destination file 'appconfig.h'");
    EXPECT_EQ(messages.shown[1].text, "Error openning destination file 'appconfig.h'");
    EXPECT_FALSE(fs::exists(m_backup));
}

TEST_F(HeaderFileSave, BackupThatCannotBeWrittenAbortsTheSave) {
    Write(m_header, "old\n");
    fs::create_directory(m_backup);
    CScriptedMessages messages;
    EXPECT_FALSE(WriteHeaderFile(m_header, "new\n", ELineEnding::LF));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Can not create backup file. Operation aborted.");
    EXPECT_EQ(Read(m_header), "old\n");
}

TEST_F(HeaderFileSave, SymbolicLinkStaysALink) {
    const std::string real = (m_folder / "real.h").string();
    Write(real, "old\n");
    fs::create_symlink("real.h", m_header);
    CScriptedMessages messages;
    ASSERT_TRUE(WriteHeaderFile(m_header, "new\n", ELineEnding::LF));
    EXPECT_TRUE(fs::is_symlink(m_header));
    EXPECT_EQ(Read(real), "new\n");
    EXPECT_EQ(Read(m_backup), "old\n");
}

TEST_F(HeaderFileSave, FolderWithoutWritePermission) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permission bits do not stop an administrator";
    Write(m_header, "old\n");
    Write(m_backup, "older\n");
    ::chmod(m_folder.Path().c_str(), 0555);
    CScriptedMessages messages;
    EXPECT_FALSE(WriteHeaderFile(m_header, "new\n", ELineEnding::LF));
    ::chmod(m_folder.Path().c_str(), 0755);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(Read(m_header), "old\n");
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"appconfig.bak", "appconfig.h"}));
}

TEST_F(HeaderFileSave, EveryFileIsOnDiskBeforeItIsRenamedIntoPlace) {
    Write(m_header, "old\n");
    CScriptedMessages messages;
    ASSERT_TRUE(WriteHeaderFile(m_header, "new\n", ELineEnding::LF, RecordingCalls()));
    EXPECT_EQ(g_calls.renames, 2); // the backup, then the header
    EXPECT_EQ(g_calls.unsyncedRenames, 0);
    EXPECT_EQ(Read(m_header), "new\n");
    EXPECT_EQ(Read(m_backup), "old\n");
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(HeaderFileSave, FailedSyncOrRenameChangesNothing) {
    Write(m_header, "old\n");
    Write(m_backup, "older\n");
    const std::vector<std::string> before = FolderEntries();
    {
        CScriptedMessages messages;
        const hwc::tSaveCalls calls = RecordingCalls();
        g_calls.fsyncError = EIO;
        EXPECT_FALSE(WriteHeaderFile(m_header, "new\n", ELineEnding::LF, calls));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_NE(messages.shown[0].text.find(std::strerror(EIO)), std::string::npos);
        EXPECT_EQ(g_calls.renames, 0);
        EXPECT_EQ(Read(m_header), "old\n");
        EXPECT_EQ(Read(m_backup), "older\n");
        EXPECT_EQ(FolderEntries(), before);
    }
    {
        // The backup cannot be put in place: the save stops before the header.
        CScriptedMessages messages;
        const hwc::tSaveCalls calls = RecordingCalls();
        g_calls.failRenameTo = "appconfig.bak";
        EXPECT_FALSE(WriteHeaderFile(m_header, "new\n", ELineEnding::LF, calls));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(messages.shown[0].text, "Can not create backup file. Operation aborted.");
        EXPECT_EQ(Read(m_header), "old\n");
        EXPECT_EQ(Read(m_backup), "older\n");
        EXPECT_EQ(FolderEntries(), before);
    }
    {
        // The header cannot be replaced: the backup holds the file as it still is.
        CScriptedMessages messages;
        const hwc::tSaveCalls calls = RecordingCalls();
        g_calls.failRenameTo = "appconfig.h";
        EXPECT_FALSE(WriteHeaderFile(m_header, "new\n", ELineEnding::LF, calls));
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_NE(messages.shown[0].text.find(m_header), std::string::npos);
        EXPECT_NE(messages.shown[0].text.find(std::strerror(EBUSY)), std::string::npos);
        EXPECT_EQ(Read(m_header), "old\n");
        EXPECT_EQ(Read(m_backup), "old\n");
        EXPECT_EQ(FolderEntries(), before);
    }
    {
        // Nor a file that did not exist yet.
        CScriptedMessages messages;
        const hwc::tSaveCalls calls = RecordingCalls();
        g_calls.failRenameTo = "new.h";
        EXPECT_FALSE(WriteHeaderFile((m_folder / "new.h").string(), "x\n", ELineEnding::LF, calls));
        EXPECT_EQ(messages.shown.size(), 1u);
        EXPECT_EQ(FolderEntries(), before);
    }
}

TEST_F(HeaderFileSave, LinkAsBackupIsReplacedNeverWrittenThrough) {
    const CTestFolder outside("hwc-outside");
    const std::string victim = (outside / "victim").string();
    Write(victim, "secret\n");
    ::chmod(victim.c_str(), 0444);
    Write(m_header, "old\n");
    fs::create_symlink(victim, m_backup);

    CScriptedMessages messages;
    ASSERT_TRUE(WriteHeaderFile(m_header, "new\n", ELineEnding::LF));
    EXPECT_TRUE(messages.shown.empty()); // no question about the link's target
    EXPECT_FALSE(fs::is_symlink(m_backup));
    EXPECT_EQ(Read(m_backup), "old\n");
    EXPECT_EQ(Read(victim), "secret\n");
    EXPECT_EQ(Mode(victim), 0444u);

    // A link to nowhere creates nothing where it points.
    fs::remove(m_backup);
    fs::create_symlink(outside / "planted", m_backup);
    ASSERT_TRUE(WriteHeaderFile(m_header, "newer\n", ELineEnding::LF));
    EXPECT_FALSE(fs::exists(outside / "planted"));
    EXPECT_EQ(Read(m_backup), "new\n");
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"appconfig.bak", "appconfig.h"}));
}

TEST_F(HeaderFileSave, LongestNamesAndABackupNameTooLong) {
    CScriptedMessages messages;
    // 252 characters: the header and its backup still fit a name.
    const std::string longest = (m_folder / (std::string(250, 'a') + ".h")).string();
    ASSERT_TRUE(WriteHeaderFile(longest, "first\n", ELineEnding::LF));
    ASSERT_TRUE(WriteHeaderFile(longest, "second\n", ELineEnding::LF));
    EXPECT_EQ(Read(longest), "second\n");
    EXPECT_EQ(Read(BackupPathFor(longest)), "first\n");
    EXPECT_TRUE(messages.shown.empty());

    // 255 characters: the file exists, but its backup's name would be too long. Nothing changes.
    const std::string full = (m_folder / (std::string(253, 'b') + ".h")).string();
    Write(full, "old\n");
    const std::vector<std::string> before = FolderEntries();
    EXPECT_FALSE(WriteHeaderFile(full, "new\n", ELineEnding::LF));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Can not create backup file. Operation aborted.");
    EXPECT_EQ(Read(full), "old\n");
    EXPECT_EQ(FolderEntries(), before);
}

TEST_F(HeaderFileSave, WithoutAdministratorRights) {
    // The folder lets anyone in; the header belongs to this user and only its owner may write.
    Write(m_header, "old\n");
    ::chmod(m_header.c_str(), 0644);
    ::chmod(m_folder.Path().c_str(), 0777);
    const std::string project = m_header;
    const auto entries = [this] { return FolderEntries(); };
    const std::vector<std::string> before = entries();
    const std::string folder = m_folder.Path().string();
    if (!RunUnprivileged([&] { return ::access(folder.c_str(), R_OK | W_OK | X_OK) == 0; }))
        GTEST_SKIP() << "the unprivileged user cannot reach " << folder;

    if (RunsAsRoot()) {
        // Another user may create files beside the header, but may not replace it.
        EXPECT_TRUE(RunUnprivileged([&] {
            CScriptedMessages messages;
            return !WriteHeaderFile(project, "new\n", ELineEnding::LF) &&
                   messages.shown.size() == 1 &&
                   messages.shown[0].text == "Error openning destination file 'appconfig.h'" &&
                   entries() == before;
        }));
        EXPECT_EQ(Read(m_header), "old\n");
    }

    // A header anyone may write in a folder nobody but its owner may write: the temporary file
    // cannot be made beside it.
    ::chmod(m_folder.Path().c_str(), 0555);
    ::chmod(m_header.c_str(), 0666);
    EXPECT_TRUE(RunUnprivileged([&] {
        CScriptedMessages messages;
        return !WriteHeaderFile(project, "new\n", ELineEnding::LF) && messages.shown.size() == 1 &&
               entries() == before;
    }));
    ::chmod(m_folder.Path().c_str(), 0755);
    EXPECT_EQ(Read(m_header), "old\n");
}
