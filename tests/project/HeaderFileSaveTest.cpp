// Saving one header file: the backup, the questions before write-protected files are overwritten,
// and a failed write that leaves the previous file whole.

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

#include "project/HeaderFileSave.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"

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
    CScriptedMessages messages;
    EXPECT_FALSE(WriteHeaderFile(m_header, "new\n", ELineEnding::LF, FailWithDiskFull));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find(m_header), std::string::npos);
    EXPECT_NE(messages.shown[0].text.find(std::strerror(ENOSPC)), std::string::npos);
    EXPECT_EQ(Read(m_header), "old\n");
    EXPECT_EQ(Read(m_backup), "old\n");
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
