#pragma once
// The "Import Module Settings" window: copies register values into a module of the open project
// from another module of it or of another project, opened in the background for the purpose.
// Modeless, one per document; the lists and the import itself come from the core.

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

#include "project/DocumentObserver.h"
#include "project/ImportChoices.h"
#include "project/SplashProgress.h"

class CModuleBase;
class CProjDoc;
class CProjDocBase;
class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;

class CImportDlg : public QDialog, public hwc::IDocumentObserver, public ISplashProgress {
    Q_OBJECT
public:
    // `mainWindow` is brought to the front by "Go To Item" and centres the window at first.
    CImportDlg(CProjDocBase& document, QWidget* mainWindow);
    ~CImportDlg() override;

    // The menu command: remembers the module to preselect, refills the lists when the window
    // was hidden, shows it and brings it to the front.
    void Open(CModuleBase* preselect);
    // Opens another project as the source (the progress bar shows its loading); on failure the
    // previous source stays. False when it could not be opened.
    bool OpenOtherProject(const std::string& path);
    // Goes back to the current project as the source.
    void UseCurrentProject();
    // The OK button; returns what happened.
    hwc::EImportOutcome Import();

    // --- Parts (for tests) ---
    QComboBox* DestinationCombo() const { return m_destination; }
    QComboBox* SourceCombo() const { return m_source; }
    QLabel* StatusText() const { return m_status; }
    QListWidget* RegisterList() const { return m_registers; }
    QRadioButton* AllRadio() const { return m_all; }
    QRadioButton* SelectedRadio() const { return m_selected; }
    QCheckBox* MassImportCheck() const { return m_mass; }
    QPushButton* OkButton() const { return m_ok; }
    QPushButton* CurrentProjectButton() const { return m_current; }
    const CProjDoc* OtherProject() const { return m_other.get(); }

    // hwc::IDocumentObserver
    void OnDocumentUpdate(int hint, CModuleBase* sender, const void* object) override;
    // ISplashProgress: the other project's loading.
    void Show() override;
    void SetProgress(int position, int range) override;

private:
    void FillDestinations();
    void FillSources();
    void FillRegisters();
    void UpdateRegisterListState();
    void GoToItem();
    void ChooseOtherProject();
    CModuleBase* ChosenDestination() const;
    CModuleBase* ChosenSource() const;

    CProjDocBase& m_document;
    QWidget* m_mainWindow;
    std::unique_ptr<CProjDoc> m_other;
    CModuleBase* m_preselect = nullptr;
    bool m_placed = false;
    std::vector<hwc::tImportEntry> m_destinations;
    std::vector<hwc::tImportEntry> m_sources;

    QComboBox* m_destination = nullptr;
    QComboBox* m_source = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_progress = nullptr;
    QPushButton* m_current = nullptr;
    QRadioButton* m_all = nullptr;
    QRadioButton* m_selected = nullptr;
    QListWidget* m_registers = nullptr;
    QCheckBox* m_mass = nullptr;
    QPushButton* m_ok = nullptr;
};
