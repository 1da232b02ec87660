#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include <QApplication>
#include <QPdfBookmarkModel>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTreeView>

#include "base/AppFilePath.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"
#include "ui/docs/DocLauncher.h"
#include "ui/docs/PdfViewer.h"

namespace {

using hwc::ui::ParseDocLocation;
using hwc::ui::SplitDocReference;

QString Path(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

// Runs with the shipped manuals as the help folder, a recording default opener, and no viewer
// left open afterwards.
class DocLauncherTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAppFolder(std::string(HWC_TEST_SOURCE_DIR) + "/data");
        hwc::ui::SetDefaultOpener([this](const QString& path) {
            opened.push_back(path);
            return openerWorks;
        });
    }
    void TearDown() override {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (qobject_cast<CPdfViewer*>(window))
                delete window;
        }
        hwc::ui::SetDefaultOpener(nullptr);
        SetAppFolder({});
    }

    static CPdfViewer* OpenViewer(const QString& file) {
        return CPdfViewer::FindOpen(hwc::ui::HelpFilePath(file));
    }

    CScriptedMessages messages;
    std::vector<QString> opened;
    bool openerWorks = true;
};

TEST(DocReferenceTest, SplitsFileAndLocation) {
    EXPECT_EQ(SplitDocReference(" K7Q0800RM.pdf # OCCS ").file, "K7Q0800RM.pdf");
    EXPECT_EQ(SplitDocReference(" K7Q0800RM.pdf # OCCS ").location, "OCCS");
    EXPECT_EQ(SplitDocReference("a.pdf#12#ignored").location, "12");
    EXPECT_EQ(SplitDocReference("a.pdf#").location, "");
    EXPECT_EQ(SplitDocReference("a.pdf").location, "");
    EXPECT_EQ(SplitDocReference("#OCCS").file, "");

    EXPECT_EQ(ParseDocLocation("12").page, 12);
    EXPECT_EQ(ParseDocLocation("7abc").page, 7);
    EXPECT_TRUE(ParseDocLocation("7abc").destination.isEmpty());
    EXPECT_EQ(ParseDocLocation("OCCS").page, 0);
    EXPECT_EQ(ParseDocLocation("OCCS").destination, "OCCS");
    EXPECT_EQ(ParseDocLocation("").page, 0);
    EXPECT_TRUE(ParseDocLocation("").destination.isEmpty());
    // Page 0 stands for the first page; endless digits do not overflow.
    EXPECT_EQ(ParseDocLocation("0").page, 1);
    EXPECT_GT(ParseDocLocation("99999999999999999999").page, 0);
}

TEST_F(DocLauncherTest, MissingFilesGiveTheirMessages) {
    EXPECT_FALSE(hwc::ui::OpenModuleDocumentation(nullptr, " # OCCS"));
    EXPECT_TRUE(messages.shown.empty());

    const QString missing = hwc::ui::HelpFilePath("NoSuchManual.pdf");
    EXPECT_FALSE(hwc::ui::OpenModuleDocumentation(nullptr, "NoSuchManual.pdf#12"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, "Documentation file not found: \n" + missing.toStdString());

    EXPECT_FALSE(hwc::ui::OpenManual(nullptr, missing, 3, {}, true));
    ASSERT_EQ(messages.shown.size(), 2u);
    EXPECT_EQ(messages.shown[1].text,
              "Could not find PDF file in this location:\n" + missing.toStdString());

    EXPECT_FALSE(hwc::ui::OpenManual(nullptr, missing, 0, {}, false));
    EXPECT_EQ(messages.shown.size(), 2u);
    EXPECT_TRUE(opened.empty());
}

TEST_F(DocLauncherTest, AFileThatIsNoPdfIsReported) {
    CTestFolder folder("hwc-docs");
    const auto notPdf = folder / "broken.pdf";
    std::ofstream(notPdf) << "%PDF-1.4\nthis is not a document\n";

    EXPECT_FALSE(hwc::ui::OpenHelpDocument(nullptr, Path(notPdf), "3", true));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind("Can not open file " + notPdf.string() + ".\n", 0), 0u)
        << messages.shown[0].text;
    EXPECT_FALSE(CPdfViewer::FindOpen(Path(notPdf)));
}

TEST_F(DocLauncherTest, ModuleReferencesOpenAtTheirPageOrDestination) {
    ASSERT_TRUE(hwc::ui::OpenModuleDocumentation(nullptr, "ConfigTool.pdf#3"));
    CPdfViewer* tool = OpenViewer("ConfigTool.pdf");
    ASSERT_TRUE(tool);
    EXPECT_EQ(tool->CurrentPage(), 2);

    // The same file again reuses its window; a page past the end shows the last page.
    ASSERT_TRUE(hwc::ui::OpenModuleDocumentation(nullptr, "ConfigTool.pdf#999"));
    EXPECT_EQ(OpenViewer("ConfigTool.pdf"), tool);
    EXPECT_EQ(tool->CurrentPage(), tool->PageCount() - 1);

    ASSERT_TRUE(hwc::ui::OpenModuleDocumentation(nullptr, "ConfigTool.pdf#MainWindow"));
    EXPECT_EQ(tool->CurrentPage(), hwc::ui::FindOutlinePage(*tool->Outline(), "MainWindow"));
    EXPECT_GT(tool->CurrentPage(), 0);

    ASSERT_TRUE(hwc::ui::OpenModuleDocumentation(nullptr, "K7Q0800RM.pdf#OCCS"));
    CPdfViewer* chip = OpenViewer("K7Q0800RM.pdf");
    ASSERT_TRUE(chip);
    EXPECT_NE(chip, tool);
    const int occs = chip->CurrentPage();
    EXPECT_GT(occs, 0);
    // An unknown destination keeps the viewer where it is and is not an error.
    EXPECT_TRUE(hwc::ui::OpenModuleDocumentation(nullptr, "K7Q0800RM.pdf#NOSUCH"));
    EXPECT_EQ(chip->CurrentPage(), occs);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(opened.empty());
}

TEST_F(DocLauncherTest, WithoutLocationTheDefaultProgramIsPreferred) {
    const QString manual = hwc::ui::HelpFilePath("ConfigTool.pdf");
    ASSERT_TRUE(hwc::ui::ToolManualExists());
    EXPECT_TRUE(hwc::ui::OpenToolManual(nullptr));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], manual);
    EXPECT_FALSE(OpenViewer("ConfigTool.pdf"));

    openerWorks = false;
    EXPECT_TRUE(hwc::ui::OpenManual(nullptr, manual, 0, {}, true));
    ASSERT_TRUE(OpenViewer("ConfigTool.pdf"));
    EXPECT_EQ(OpenViewer("ConfigTool.pdf")->CurrentPage(), 0);

    EXPECT_TRUE(hwc::ui::OpenManual(nullptr, manual, 0, " Options ", true));
    EXPECT_EQ(OpenViewer("ConfigTool.pdf")->CurrentPage(),
              hwc::ui::FindOutlinePage(*OpenViewer("ConfigTool.pdf")->Outline(), "Options"));
    EXPECT_EQ(opened.size(), 2u);
}

TEST_F(DocLauncherTest, PluginHelpOpensByKind) {
    CTestFolder folder("hwc-plugin-help");
    const auto upperPdf = folder / "PLUGIN.PDF";
    std::filesystem::copy_file(hwc::ui::HelpFilePath("ConfigTool.pdf").toStdString(), upperPdf);
    const auto page = folder / "page.htm";
    std::ofstream(page) << "<html></html>";

    EXPECT_TRUE(hwc::ui::OpenPluginHelp(nullptr, Path(upperPdf), 2, {}));
    ASSERT_TRUE(CPdfViewer::FindOpen(Path(upperPdf)));
    EXPECT_EQ(CPdfViewer::FindOpen(Path(upperPdf))->CurrentPage(), 1);

    EXPECT_TRUE(hwc::ui::OpenPluginHelp(nullptr, Path(page), 0, {}));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(opened[0].endsWith("page.htm"));

    // A help path that does not exist falls back to the module's reference.
    EXPECT_FALSE(hwc::ui::OpenPluginHelp(nullptr, Path(folder / "gone.pdf"), 0, "Gone.pdf"));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text.rfind("Documentation file not found: \n", 0), 0u);
}

} // namespace

// The viewer: a click on an outline entry goes there, the current chapter is marked, Esc and
// Ctrl+W close it, a default program that fails is reported, and it fits the screen.
TEST_F(DocLauncherTest, ViewerOutlineKeysAndFailures) {
    ASSERT_TRUE(hwc::ui::OpenModuleDocumentation(nullptr, "K7Q0800RM.pdf#OCCS"));
    QPointer<CPdfViewer> viewer = OpenViewer("K7Q0800RM.pdf");
    ASSERT_TRUE(viewer);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_LE(viewer->width(), screen.width());
    EXPECT_LE(viewer->height(), screen.height());
    const QPdfBookmarkModel& outline = *viewer->Outline();
    ASSERT_GT(outline.rowCount(), 1);
    const QModelIndex occs = viewer->CurrentOutlineEntry();
    ASSERT_TRUE(occs.isValid());
    EXPECT_EQ(occs.data(int(QPdfBookmarkModel::Role::Page)).toInt(), viewer->CurrentPage());
    EXPECT_EQ(viewer->OutlineView()->currentIndex(), occs);

    // Going to a page marks the chapter it belongs to.
    viewer->GoToPage(0);
    const QModelIndex first = viewer->CurrentOutlineEntry();
    if (first.isValid()) {
        EXPECT_LE(first.data(int(QPdfBookmarkModel::Role::Page)).toInt(), 0);
    }

    // One click on an entry goes to its page.
    viewer->show();
    QTreeView* view = viewer->OutlineView();
    QTest::qWait(0);
    const QModelIndex target = outline.index(outline.rowCount() - 1, 0);
    view->scrollTo(target);
    const QRect rect = view->visualRect(target);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    EXPECT_EQ(viewer->CurrentPage(), target.data(int(QPdfBookmarkModel::Role::Page)).toInt());

    // The default program failing is said, not swallowed.
    openerWorks = false;
    EXPECT_FALSE(viewer->OpenWithDefaultProgram());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_NE(messages.shown[0].text.find("Could not open"), std::string::npos);

    // Esc closes the viewer (it deletes itself); Ctrl+W the next one.
    viewer->activateWindow();
    QApplication::setActiveWindow(viewer);
    QTest::keyClick(viewer, Qt::Key_Escape);
    QTest::qWait(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(viewer.isNull());
    ASSERT_TRUE(hwc::ui::OpenModuleDocumentation(nullptr, "K7Q0800RM.pdf#OCCS"));
    viewer = OpenViewer("K7Q0800RM.pdf");
    ASSERT_TRUE(viewer);
    viewer->show();
    QApplication::setActiveWindow(viewer);
    QTest::keyClick(viewer, Qt::Key_W, Qt::ControlModifier);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(viewer.isNull());
}
