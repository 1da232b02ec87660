// The stored window placement and output options: what is taken, what is ignored.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "ui/frame/AppSettings.h"
#include "ui/frame/WindowPlacement.h"

using namespace hwc::ui;

namespace {

// Keeps the settings in a scratch file for the test's lifetime.
class ScratchSettings : public ::testing::Test {
protected:
    void SetUp() override { RedirectSettings(m_folder.filePath("settings.ini")); }
    void TearDown() override { RedirectSettings(QString()); }

    QTemporaryDir m_folder;
};

using PlacementSettings = ScratchSettings;
using OptionSettings = ScratchSettings;

} // namespace

TEST(WindowPlacement, RecordRoundTripsThroughItsBytes) {
    tWindowPlacement placement;
    placement.showState = kShowMaximized;
    placement.minPosition = QPoint(-1, -1);
    placement.normal = QRect(10, 20, 900, 700);
    const QByteArray bytes = EncodePlacement(placement);
    ASSERT_EQ(bytes.size(), kPlacementSize);
    // Right and bottom edges lie outside the rectangle, as the record keeps them.
    EXPECT_EQ(static_cast<unsigned char>(bytes[36]) | (static_cast<unsigned char>(bytes[37]) << 8),
              910);
    const auto decoded = DecodePlacement(bytes);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->showState, kShowMaximized);
    EXPECT_EQ(decoded->minPosition, QPoint(-1, -1));
    EXPECT_EQ(decoded->normal, QRect(10, 20, 900, 700));
}

TEST(WindowPlacement, ShortLongAndZeroLengthRecordsAreIgnored) {
    const QByteArray bytes = EncodePlacement(tWindowPlacement());
    EXPECT_FALSE(DecodePlacement(bytes.left(40)));
    EXPECT_FALSE(DecodePlacement(bytes + QByteArray(4, '\0')));
    EXPECT_FALSE(DecodePlacement(QByteArray()));
    tWindowPlacement empty;
    empty.length = 0;
    EXPECT_FALSE(DecodePlacement(EncodePlacement(empty)));
}

TEST(WindowPlacement, ShowStateRules) {
    // A window stored minimized comes back normal; a maximizing launch wins.
    EXPECT_EQ(ResolveShowState(kShowMinimized, kShowNormal), kShowNormal);
    EXPECT_EQ(ResolveShowState(kShowMinimize, kShowNormal), kShowNormal);
    EXPECT_EQ(ResolveShowState(kShowMinimized, kShowMaximized), kShowMaximized);
    EXPECT_EQ(ResolveShowState(kShowMaximized, kShowNormal), kShowMaximized);
    EXPECT_EQ(ResolveShowState(kShowMaximized, 0), kShowMaximized);
    EXPECT_EQ(ResolveShowState(kShowHide, -1), kShowNormal);
}

TEST(WindowPlacement, DefaultGeometryFollowsTheScreenWidth) {
    EXPECT_EQ(DefaultGeometry(800, QPoint(50, 60)), QRect(0, 0, 800, 570));
    EXPECT_EQ(DefaultGeometry(640, QPoint(50, 60)), QRect(0, 0, 800, 570));
    EXPECT_EQ(DefaultGeometry(801, QPoint(50, 60)), QRect(50, 60, 900, 700));
}

TEST_F(PlacementSettings, StoredRecordOfWrongLengthOrTypeIsIgnored) {
    EXPECT_TRUE(ReadWindowPlacement().isEmpty());
    const QByteArray record = EncodePlacement(tWindowPlacement());
    Settings().setValue("WindowPos/LastWndPlacement", record.left(43));
    EXPECT_TRUE(ReadWindowPlacement().isEmpty());
    Settings().setValue("WindowPos/LastWndPlacement", QString::fromLatin1(record.toHex()));
    EXPECT_TRUE(ReadWindowPlacement().isEmpty());
    WriteWindowPlacement(record);
    EXPECT_EQ(ReadWindowPlacement(), record);
}

TEST_F(OptionSettings, MissingOrInvalidValuesGiveTheDefaults) {
    CProjDocBase::tOptions options = ReadOutputOptions();
    EXPECT_TRUE(options.generateComments);
    EXPECT_FALSE(options.generateDefaults);
    EXPECT_TRUE(options.keepUserComments); // a user's comments survive the first save

    Settings().setValue("Options/GenerateComments", 0);
    Settings().setValue("Options/GenerateDefaults", 1);
    Settings().setValue("Options/KeepUserComments", 7);
    options = ReadOutputOptions();
    EXPECT_FALSE(options.generateComments);
    EXPECT_TRUE(options.generateDefaults);
    EXPECT_TRUE(options.keepUserComments);

    // A stored setting still wins over the default.
    Settings().setValue("Options/KeepUserComments", 0);
    EXPECT_FALSE(ReadOutputOptions().keepUserComments);

    Settings().setValue("Options/GenerateComments", "yes");
    EXPECT_TRUE(ReadOutputOptions().generateComments);
}

TEST(WindowPlacement, RestoredRectanglesStayOnTheScreen) {
    const QRect screen(0, 0, 1400, 1000);
    // Saved at twice the scale: the window takes the screen, not more.
    EXPECT_EQ(ClampToArea(QRect(100, 50, 2800, 2000), screen), screen);
    // Hanging off the right and bottom edges: moved back in, size kept.
    EXPECT_EQ(ClampToArea(QRect(1000, 800, 700, 500), screen), QRect(700, 500, 700, 500));
    // Off the left and top edges.
    EXPECT_EQ(ClampToArea(QRect(-300, -40, 700, 500), screen), QRect(0, 0, 700, 500));
    // Inside already, exactly fitting, or no area known: unchanged.
    EXPECT_EQ(ClampToArea(QRect(30, 40, 700, 500), screen), QRect(30, 40, 700, 500));
    EXPECT_EQ(ClampToArea(screen, screen), screen);
    EXPECT_EQ(ClampToArea(QRect(30, 40, 2800, 500), QRect()), QRect(30, 40, 2800, 500));
    // A second screen to the right, with a task bar on top.
    const QRect second(1400, 30, 1920, 1050);
    EXPECT_EQ(ClampToArea(QRect(1300, 0, 800, 600), second), QRect(1400, 30, 800, 600));
}
