// The recent-projects list: kept in the settings, newest first, at most eight, each once; the
// File menu's entries open through the same path rules as Open; a missing project is dropped.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>

#include <filesystem>
#include <memory>

#include "base/AppFilePath.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"
#include "ui/frame/AppSettings.h"
#include "ui/frame/FrameCommands.h"
#include "ui/frame/MainFrame.h"

namespace fs = std::filesystem;
using namespace hwc::ui;

namespace {

class RecentProjectsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppFolder(HWC_TEST_SOURCE_DIR "/data/arch/");
        RedirectSettings(QString::fromStdString((m_folder / "settings.ini").string()));
    }
    void TearDown() override {
        m_frame.reset();
        RedirectSettings(QString());
        SetAppFolder("");
    }

    // A copy of the smallest example under that name; returns its folder.
    QString CopyProject(const char* name) {
        fs::copy(HWC_TEST_SOURCE_DIR "/examples/K7Q3010-motor-drive", m_folder / name,
                 fs::copy_options::recursive);
        return QString::fromStdString((m_folder / name).string());
    }
    static QString HeaderOf(const QString& folder) {
        return folder + "/ApplicationConfig/appconfig.h";
    }
    void MakeFrame() {
        m_frame = std::make_unique<CMainFrame>(m_document);
        m_frame->show();
    }
    QMenu* FileMenu() const { return m_frame->menuBar()->actions().value(0)->menu(); }
    // The File menu as it is about to show: the list is read again then.
    QStringList MenuEntries() const {
        emit FileMenu()->aboutToShow();
        QStringList texts;
        for (QAction* action : m_frame->RecentMenu()->actions())
            texts << action->text();
        return texts;
    }

    CTestFolder m_folder{"hwc-recent"};
    CScriptedMessages m_messages;
    CDesktopDoc m_document;
    std::unique_ptr<CMainFrame> m_frame;
};

} // namespace

TEST_F(RecentProjectsTest, TheListKeepsEightNewestFirstEachOnce) {
    EXPECT_TRUE(ReadRecentProjects().isEmpty());
    for (int i = 1; i <= 10; ++i)
        AddRecentProject(QStringLiteral("/projects/p%1/appconfig.h").arg(i));
    QStringList expected;
    for (int i = 10; i >= 3; --i)
        expected << QStringLiteral("/projects/p%1/appconfig.h").arg(i);
    EXPECT_EQ(ReadRecentProjects(), expected);
    EXPECT_EQ(ReadRecentProjects().size(), kRecentProjectsMax);

    // Listed again, however spelt: moved to the top, not added twice.
    AddRecentProject("/projects/x/../p5//appconfig.h");
    EXPECT_EQ(ReadRecentProjects().value(0), "/projects/p5/appconfig.h");
    EXPECT_EQ(ReadRecentProjects().size(), kRecentProjectsMax);
    EXPECT_EQ(ReadRecentProjects().count("/projects/p5/appconfig.h"), 1);

    RemoveRecentProject("/projects/p5/appconfig.h");
    EXPECT_FALSE(ReadRecentProjects().contains("/projects/p5/appconfig.h"));
    EXPECT_EQ(ReadRecentProjects().size(), kRecentProjectsMax - 1);
    AddRecentProject("   ");
    EXPECT_EQ(ReadRecentProjects().size(), kRecentProjectsMax - 1);
}

TEST_F(RecentProjectsTest, AStoredListWrittenByHandIsCleanedWhenRead) {
    QSettings& settings = Settings();
    // One entry reads back as a plain text.
    settings.setValue("RecentProjects/List", "/one/appconfig.h");
    EXPECT_EQ(ReadRecentProjects(), QStringList{"/one/appconfig.h"});
    // Blanks and repeats are dropped, the list cut to eight.
    QStringList stored{"", "/a.h", "  ", "/a.h"};
    for (int i = 0; i < 12; ++i)
        stored << QStringLiteral("/b%1.h").arg(i);
    settings.setValue("RecentProjects/List", stored);
    const QStringList read = ReadRecentProjects();
    ASSERT_EQ(read.size(), kRecentProjectsMax);
    EXPECT_EQ(read.value(0), "/a.h");
    EXPECT_EQ(read.value(1), "/b0.h");
    // Something that is no list at all gives none.
    settings.setValue("RecentProjects/List", 42);
    EXPECT_TRUE(ReadRecentProjects().isEmpty());
}

TEST_F(RecentProjectsTest, OpeningAndSavingAsFillTheMenu) {
    MakeFrame();
    // Nothing opened yet: the submenu is there, disabled.
    EXPECT_TRUE(MenuEntries().isEmpty());
    EXPECT_FALSE(m_frame->RecentMenu()->isEnabled());
    EXPECT_TRUE(FileMenu()->actions().contains(m_frame->RecentMenu()->menuAction()));

    const QString first = CopyProject("first");
    const QString second = CopyProject("second & more");
    ASSERT_TRUE(m_frame->OpenProject(first));
    ASSERT_TRUE(m_frame->OpenProject(HeaderOf(second)));
    // A folder and its header are one project, listed by its header.
    EXPECT_EQ(ReadRecentProjects(), (QStringList{HeaderOf(second), HeaderOf(first)}));
    const QStringList entries = MenuEntries();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_TRUE(entries[0].startsWith("&1 second && more (")) << entries[0].toStdString();
    EXPECT_TRUE(entries[1].startsWith("&2 first (")) << entries[1].toStdString();
    EXPECT_TRUE(entries[1].endsWith("appconfig.h)")) << entries[1].toStdString();
    EXPECT_TRUE(m_frame->RecentMenu()->isEnabled());

    // Save As moves the project, Save Copy As does not.
    const QString moved = QString::fromStdString((m_folder / "moved.h").string());
    const QString copy = QString::fromStdString((m_folder / "copy.h").string());
    ASSERT_TRUE(m_frame->SaveProjectAs(copy, true));
    EXPECT_EQ(ReadRecentProjects().value(0), HeaderOf(second));
    ASSERT_TRUE(m_frame->SaveProjectAs(moved, false));
    EXPECT_EQ(ReadRecentProjects(), (QStringList{moved, HeaderOf(second), HeaderOf(first)}));
    EXPECT_TRUE(MenuEntries().value(0).startsWith("&1 "));

    // An entry opens its project.
    emit FileMenu()->aboutToShow();
    m_frame->RecentMenu()->actions().value(2)->trigger();
    EXPECT_EQ(m_document.ProjectFilePath(), HeaderOf(first).toStdString());
    EXPECT_EQ(ReadRecentProjects().value(0), HeaderOf(first));
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(RecentProjectsTest, AMissingProjectIsDroppedWithAMessage) {
    const QString kept = CopyProject("kept");
    const QString gone = CopyProject("gone");
    MakeFrame();
    ASSERT_TRUE(m_frame->OpenProject(gone));
    ASSERT_TRUE(m_frame->OpenProject(kept));
    ASSERT_EQ(MenuEntries().size(), 2);
    fs::remove_all(gone.toStdString());

    emit FileMenu()->aboutToShow();
    m_frame->RecentMenu()->actions().value(1)->trigger();
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, "The project " + HeaderOf(gone).toStdString() +
                                            " no longer exists. It has been removed from the "
                                            "recent projects.");
    EXPECT_EQ(ReadRecentProjects(), QStringList{HeaderOf(kept)});
    EXPECT_EQ(MenuEntries().size(), 1);
    // The open project stays open.
    EXPECT_EQ(m_document.ProjectFilePath(), HeaderOf(kept).toStdString());
    EXPECT_TRUE(m_document.IsLoaded());

    // The last one gone too: the submenu is disabled.
    m_frame->OpenRecentProject(QString::fromStdString((m_folder / "never.h").string()));
    RemoveRecentProject(HeaderOf(kept));
    EXPECT_TRUE(MenuEntries().isEmpty());
    EXPECT_FALSE(m_frame->RecentMenu()->isEnabled());
}

TEST_F(RecentProjectsTest, RunsThatSaveOrTestAndExitLeaveTheListAlone) {
    const QString project = CopyProject("batch");
    tRunFlags flags;
    flags.reprocess = true;
    m_document.SetRunFlags(flags);
    MakeFrame();
    ASSERT_TRUE(m_frame->OpenProject(project));
    EXPECT_TRUE(ReadRecentProjects().isEmpty());
}
