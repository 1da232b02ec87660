#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include <QPdfBookmarkModel>
#include <QPdfDocument>

#include "ui/docs/PdfViewer.h"

namespace {

const std::filesystem::path kDataFolder = std::filesystem::path(HWC_TEST_SOURCE_DIR) / "data";

// Manual file -> destinations named by the help references of the architecture files.
std::map<std::string, std::set<std::string>> ReferencedDestinations() {
    std::map<std::string, std::set<std::string>> manuals;
    const std::regex reference("\"([A-Za-z0-9_]+\\.pdf)#([^\"#]*)\"");
    for (const auto& entry : std::filesystem::directory_iterator(kDataFolder / "arch")) {
        if (entry.path().extension() != ".cfg")
            continue;
        std::ifstream file(entry.path());
        std::stringstream text;
        text << file.rdbuf();
        const std::string content = text.str();
        for (std::sregex_iterator it(content.begin(), content.end(), reference), end; it != end;
             ++it)
            manuals[(*it)[1]].insert((*it)[2]);
    }
    return manuals;
}

TEST(ManualFilesTest, ToolManualOpensWithItsChapters) {
    QPdfDocument document;
    ASSERT_EQ(document.load(QString::fromStdString((kDataFolder / "help/ConfigTool.pdf").string())),
              QPdfDocument::Error::None);
    EXPECT_GE(document.pageCount(), 8);
    EXPECT_TRUE(document.getAllText(0).text().contains("User Guide"));

    QPdfBookmarkModel outline;
    outline.setDocument(&document);
    int previous = 0;
    for (const char* chapter : {"Introduction", "MainWindow", "ModulePages", "Bars", "Options",
                                "Manuals", "CommandLine"}) {
        const int page = hwc::ui::FindOutlinePage(outline, chapter);
        EXPECT_GT(page, previous) << chapter;
        previous = page;
    }
    EXPECT_TRUE(document.getAllText(previous).text().contains("/reprocess"));
    EXPECT_EQ(hwc::ui::FindOutlinePage(outline, "NoSuchChapter"), -1);
}

TEST(ManualFilesTest, EveryModuleReferenceHasItsManualAndDestination) {
    const auto manuals = ReferencedDestinations();
    ASSERT_FALSE(manuals.empty());
    for (const auto& [file, destinations] : manuals) {
        QPdfDocument document;
        ASSERT_EQ(document.load(QString::fromStdString((kDataFolder / "help" / file).string())),
                  QPdfDocument::Error::None)
            << file;
        QPdfBookmarkModel outline;
        outline.setDocument(&document);
        for (const std::string& destination : destinations) {
            const int page = hwc::ui::FindOutlinePage(outline, QString::fromStdString(destination));
            ASSERT_GT(page, 0) << file << "#" << destination;
            EXPECT_TRUE(
                document.getAllText(page).text().contains(QString::fromStdString(destination)))
                << file << "#" << destination;
        }
    }
}

} // namespace
