// The import window on a real project: opened from the Module menu, it copies one interval
// timer's settings into the other, refuses an empty register choice, and keeps its lists
// apart from another project opened as the source.

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>

#include <filesystem>
#include <memory>

#include "model/ModuleBase.h"
#include "support/ScriptedMessages.h"
#include "support/TestFolder.h"
#include "ui/InverterWindow.h"
#include "ui/dialogs/ImportDlg.h"
#include "ui/frame/AppSettings.h"
#include "ui/frame/FrameCommands.h"
#include "ui/frame/MainFrame.h"
#include "ui/frame/PagePane.h"

namespace fs = std::filesystem;
using namespace hwc::ui;

namespace {

class ImportDlgTest : public CInverterWindowTest {
protected:
    ImportDlgTest() : CInverterWindowTest("hwc-import-dlg") {}

    // The window as the menu command shows it, with the module shown preselected.
    CImportDlg* OpenFromMenu(CModuleBase& shown) {
        EXPECT_TRUE(m_frame->ShowModulePage(shown));
        QAction* action = m_frame->Action(kCmdImportSettings);
        EXPECT_TRUE(action && action->isEnabled());
        action->trigger();
        auto* dialog = m_frame->findChild<CImportDlg*>();
        EXPECT_TRUE(dialog && dialog->isVisible());
        return dialog;
    }

    static void Choose(QComboBox* combo, const QString& label) {
        const int index = combo->findText(label);
        ASSERT_GE(index, 0) << label.toStdString();
        combo->setCurrentIndex(index);
    }

};

} // namespace

TEST_F(ImportDlgTest, CopiesOneTimersSettingsIntoTheOther) {
    CModuleBase* pit0 = m_document.FindModule("PIT0", "PIT");
    CModuleBase* pit1 = m_document.FindModule("PIT1", "PIT");
    ASSERT_TRUE(pit0 && pit1);
    ASSERT_NE(pit0->Item(1).dwValue, pit1->Item(1).dwValue);

    CImportDlg* dialog = OpenFromMenu(*pit1);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), "Import Module Settings");
    EXPECT_EQ(dialog->DestinationCombo()->currentText().toStdString(), pit1->Title());
    EXPECT_EQ(dialog->StatusText()->text(), " Importing from the current project...");
    EXPECT_FALSE(dialog->CurrentProjectButton()->isEnabled());
    EXPECT_EQ(dialog->SourceCombo()->findText(QString::fromStdString(pit1->Title())), -1);
    EXPECT_TRUE(dialog->AllRadio()->isChecked());
    EXPECT_FALSE(dialog->RegisterList()->isEnabled());

    Choose(dialog->SourceCombo(), QString::fromStdString(pit0->Title()));
    ASSERT_EQ(dialog->RegisterList()->count(), 2);
    EXPECT_EQ(dialog->RegisterList()->item(0)->text(), "PIT0_CTRL_INIT");
    EXPECT_TRUE(dialog->OkButton()->isEnabled());

    // Only the period: the control register stays.
    const std::uint32_t control = pit1->Item(0).dwValue;
    dialog->SelectedRadio()->setChecked(true);
    EXPECT_TRUE(dialog->RegisterList()->isEnabled());
    dialog->RegisterList()->item(0)->setCheckState(Qt::Unchecked);
    dialog->RegisterList()->item(1)->setCheckState(Qt::Unchecked);
    EXPECT_EQ(dialog->Import(), hwc::EImportOutcome::kRefused);
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].text, "No registers selected for importing!");
    EXPECT_TRUE(dialog->isVisible());

    dialog->RegisterList()->item(1)->setCheckState(Qt::Checked);
    m_messages.Answer(hwc::EAnswer::No);
    EXPECT_EQ(dialog->Import(), hwc::EImportOutcome::kStopped);
    EXPECT_EQ(m_messages.shown.back().text,
              "Are you sure to modify the " + pit1->Title() + " module settings?");
    EXPECT_NE(pit1->Item(1).dwValue, pit0->Item(1).dwValue);

    m_messages.Answer(hwc::EAnswer::Yes);
    EXPECT_EQ(dialog->Import(), hwc::EImportOutcome::kUpdated);
    EXPECT_EQ(pit1->Item(1).dwValue, pit0->Item(1).dwValue);
    EXPECT_EQ(pit1->Item(0).dwValue, control);
    EXPECT_FALSE(dialog->isVisible()); // done: the window closes
    EXPECT_EQ(m_frame->PagePane()->CurrentModule(), pit1);

    // Mass-import mode stays open and says what it did.
    CImportDlg* again = OpenFromMenu(*pit0);
    EXPECT_EQ(again, dialog);
    Choose(dialog->DestinationCombo(), QString::fromStdString(pit1->Title()));
    Choose(dialog->SourceCombo(), QString::fromStdString(pit0->Title()));
    dialog->AllRadio()->setChecked(true);
    dialog->MassImportCheck()->setChecked(true);
    m_messages.Answer(hwc::EAnswer::Yes);
    EXPECT_EQ(dialog->Import(), hwc::EImportOutcome::kUpdated);
    EXPECT_EQ(pit1->Item(0).dwValue, pit0->Item(0).dwValue);
    EXPECT_EQ(m_messages.shown.back().text,
              "Module " + pit1->Title() + " was successfully updated");
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(ImportDlgTest, AnotherProjectIsOnlyReadAndCanBeLeftAgain) {
    fs::copy(HWC_TEST_SOURCE_DIR "/examples/K7Q2620-hvac-fan", m_folder / "fan",
             fs::copy_options::recursive);
    const fs::path header = m_folder / "fan/ApplicationConfig/appconfig.h";
    CModuleBase* clock = m_document.FindModule("OCCS", "OCCS");
    ASSERT_TRUE(clock);
    CImportDlg* dialog = OpenFromMenu(*clock);
    ASSERT_TRUE(dialog);

    EXPECT_FALSE(dialog->OpenOtherProject((m_folder / "missing.h").string()));
    EXPECT_EQ(dialog->OtherProject(), nullptr);

    ASSERT_TRUE(dialog->OpenOtherProject(header.string()));
    EXPECT_TRUE(dialog->CurrentProjectButton()->isEnabled());
    EXPECT_TRUE(dialog->StatusText()->text().endsWith(" (K7Q2620)"));
    // The fan's clock module is of another generation.
    ASSERT_EQ(dialog->SourceCombo()->count(), 1);
    EXPECT_TRUE(dialog->SourceCombo()->itemText(0).endsWith(" (forbidden)"));
    const auto* entries = qobject_cast<QStandardItemModel*>(dialog->SourceCombo()->model());
    ASSERT_TRUE(entries);
    EXPECT_FALSE(entries->item(0)->isEnabled());
    EXPECT_FALSE(dialog->OkButton()->isEnabled());
    EXPECT_EQ(dialog->Import(), hwc::EImportOutcome::kRefused);
    EXPECT_EQ(m_messages.shown.back().text, "Please select a valid source module!");
    EXPECT_FALSE(fs::exists(header.parent_path() / "appconfig.bak"));

    dialog->CurrentProjectButton()->click();
    EXPECT_EQ(dialog->OtherProject(), nullptr);
    EXPECT_EQ(dialog->StatusText()->text(), " Importing from the current project...");
}
