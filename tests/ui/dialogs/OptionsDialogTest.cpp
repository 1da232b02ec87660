#include <gtest/gtest.h>

#include <QCheckBox>
#include <QSettings>

#include "project/ProjDoc.h"
#include "support/TestFolder.h"
#include "ui/dialogs/OptionsDialog.h"
#include "ui/frame/AppSettings.h"

namespace {

// Keeps the settings in a scratch file for the duration of a test.
class OptionsDialogTest : public ::testing::Test {
protected:
    void SetUp() override { hwc::ui::RedirectSettings(IniPath()); }
    void TearDown() override { hwc::ui::RedirectSettings({}); }

    QString IniPath() const { return QString::fromStdString((m_folder / "hwc.ini").string()); }
    // What another program would read from the settings file now.
    QVariant Stored(const char* name) const {
        QSettings file(IniPath(), QSettings::IniFormat);
        return file.value(QStringLiteral("Options/") + name);
    }

    CTestFolder m_folder{"hwc-options"};
};

TEST_F(OptionsDialogTest, StartsFromTheDocumentAndStoredDefaults) {
    CProjDoc document;
    COptionsDialog dialog(&document);
    EXPECT_TRUE(dialog.CommentsCheck()->isChecked());
    EXPECT_TRUE(dialog.KeepCommentsCheck()->isChecked()); // the user's comments are kept
    EXPECT_FALSE(dialog.DefaultsCheck()->isChecked());
    EXPECT_TRUE(dialog.SetAsDefaultCheck()->isChecked());
    EXPECT_EQ(dialog.CommentsCheck()->text(), "Generate detailed comments");
    EXPECT_EQ(dialog.DefaultsCheck()->text(),
              "Generate all register values (even if same as reset value)");

    // Without a document the dialog shows the stored defaults.
    hwc::ui::Settings().setValue("Options/GenerateComments", 0);
    hwc::ui::Settings().setValue("Options/KeepUserComments", 0);
    COptionsDialog noDocument(nullptr);
    EXPECT_FALSE(noDocument.CommentsCheck()->isChecked());
    EXPECT_FALSE(noDocument.KeepCommentsCheck()->isChecked());
    EXPECT_FALSE(noDocument.DefaultsCheck()->isChecked());
}

TEST_F(OptionsDialogTest, OkCopiesTheChoicesIntoTheDocumentAndStoresThem) {
    CProjDoc document;
    CProjDocBase::tOptions options;
    options.briefView = true;
    document.SetOptions(options);

    COptionsDialog dialog(&document);
    dialog.CommentsCheck()->setChecked(false);
    dialog.DefaultsCheck()->setChecked(true);
    dialog.KeepCommentsCheck()->setChecked(true);
    dialog.accept();

    const CProjDocBase::tOptions& now = document.Options();
    EXPECT_FALSE(now.generateComments);
    EXPECT_TRUE(now.generateDefaults);
    EXPECT_TRUE(now.keepUserComments);
    EXPECT_TRUE(now.briefView);
    EXPECT_EQ(Stored("GenerateComments").toInt(), 0);
    EXPECT_EQ(Stored("GenerateDefaults").toInt(), 1);
    EXPECT_EQ(Stored("KeepUserComments").toInt(), 1);

    const CProjDocBase::tOptions reread = hwc::ui::ReadOutputOptions();
    EXPECT_FALSE(reread.generateComments);
    EXPECT_TRUE(reread.generateDefaults);
    EXPECT_TRUE(reread.keepUserComments);
}

TEST_F(OptionsDialogTest, CancelOrNoDefaultLeavesTheStoredValuesAlone) {
    CProjDoc document;
    {
        COptionsDialog dialog(&document);
        dialog.CommentsCheck()->setChecked(false);
        dialog.reject();
    }
    EXPECT_TRUE(document.Options().generateComments);
    EXPECT_FALSE(Stored("GenerateComments").isValid());

    COptionsDialog dialog(&document);
    dialog.CommentsCheck()->setChecked(false);
    dialog.SetAsDefaultCheck()->setChecked(false);
    dialog.accept();
    EXPECT_FALSE(document.Options().generateComments);
    EXPECT_FALSE(Stored("GenerateComments").isValid());
    EXPECT_FALSE(Stored("GenerateDefaults").isValid());
}

} // namespace
