#include "ui/dialogs/ImportDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QVBoxLayout>

#include "base/Messages.h"
#include "model/ModuleBase.h"
#include "project/ProjDoc.h"

using namespace hwc;

namespace {

constexpr char kHeaderFilter[] = "Header Files (*.h)";

void FillCombo(QComboBox* combo, const std::vector<tImportEntry>& entries, int selected) {
    const QSignalBlocker blocker(combo);
    combo->clear();
    for (const tImportEntry& entry : entries)
        combo->addItem(QString::fromStdString(entry.label));
    // An entry without a module ("n/a", a forbidden module) is shown but cannot be picked.
    if (auto* model = qobject_cast<QStandardItemModel*>(combo->model())) {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (!entries[i].module)
                model->item(static_cast<int>(i))->setEnabled(false);
        }
    }
    combo->setCurrentIndex(selected);
}

CModuleBase* EntryModule(const std::vector<tImportEntry>& entries, int index) {
    if (index < 0 || index >= static_cast<int>(entries.size()))
        return nullptr;
    return entries[static_cast<std::size_t>(index)].module;
}

} // namespace

CImportDlg::CImportDlg(CProjDocBase& document, QWidget* mainWindow)
    : QDialog(mainWindow), m_document(document), m_mainWindow(mainWindow) {
    setWindowTitle(tr("Import Module Settings"));
    setModal(false);

    auto* grid = new QGridLayout;
    m_destination = new QComboBox;
    auto* destinationLabel = new QLabel(tr("&Module to be modified:"));
    destinationLabel->setBuddy(m_destination);
    auto* goTo = new QPushButton(tr("&Go To Item"));
    grid->addWidget(destinationLabel, 0, 0);
    grid->addWidget(m_destination, 0, 1);
    grid->addWidget(goTo, 0, 2);

    m_source = new QComboBox;
    auto* sourceLabel = new QLabel(tr("M&odule to be imported from:"));
    sourceLabel->setBuddy(m_source);
    grid->addWidget(sourceLabel, 1, 0);
    grid->addWidget(m_source, 1, 1, 1, 2);

    // The status text and, while another project loads, the progress bar in its place.
    m_status = new QLabel;
    m_progress = new QProgressBar;
    m_progress->hide();
    auto* other = new QPushButton(tr("Other &Project..."));
    m_current = new QPushButton(tr("&Current Project"));
    auto* sourceRow = new QHBoxLayout;
    sourceRow->addWidget(m_status, 1);
    sourceRow->addWidget(m_progress, 1);
    sourceRow->addWidget(other);
    sourceRow->addWidget(m_current);

    m_all = new QRadioButton(tr("Import &all register values"));
    m_selected = new QRadioButton(tr("Import &selected registers only"));
    auto* modes = new QButtonGroup(this);
    modes->addButton(m_all);
    modes->addButton(m_selected);
    m_all->setChecked(true);
    m_registers = new QListWidget;
    m_mass = new QCheckBox(
        tr("M&ass-import mode (do not close this window after pressing the OK button)"));

    m_ok = new QPushButton(tr("OK"));
    m_ok->setDefault(true);
    auto* close = new QPushButton(tr("Close"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(sourceRow);
    layout->addWidget(m_all);
    layout->addWidget(m_selected);
    layout->addWidget(m_registers, 1);
    layout->addWidget(m_mass);
    layout->addLayout(buttons);

    connect(m_destination, &QComboBox::currentIndexChanged, this, [this] { FillSources(); });
    connect(m_source, &QComboBox::currentIndexChanged, this, [this] { FillRegisters(); });
    connect(m_selected, &QRadioButton::toggled, this, [this] { UpdateRegisterListState(); });
    connect(goTo, &QPushButton::clicked, this, [this] { GoToItem(); });
    connect(other, &QPushButton::clicked, this, [this] { ChooseOtherProject(); });
    connect(m_current, &QPushButton::clicked, this, [this] { UseCurrentProject(); });
    connect(m_ok, &QPushButton::clicked, this, [this] { Import(); });
    connect(close, &QPushButton::clicked, this, &QDialog::hide);

    m_document.AddObserver(this);
}

CImportDlg::~CImportDlg() {
    m_document.RemoveObserver(this);
}

void CImportDlg::Open(CModuleBase* preselect) {
    m_preselect = preselect;
    if (isHidden())
        FillDestinations();
    if (!m_placed && m_mainWindow) {
        adjustSize();
        const QRect frame = m_mainWindow->frameGeometry();
        move(frame.center() - rect().center());
        m_placed = true;
    }
    show();
    raise();
    activateWindow();
}

bool CImportDlg::OpenOtherProject(const std::string& path) {
    auto document = std::make_unique<CProjDoc>();
    document->SetBatchMode(this);
    const bool opened = document->OpenProject(path);
    m_progress->hide();
    m_status->show();
    if (!opened)
        return false;
    m_other = std::move(document);
    FillSources();
    return true;
}

void CImportDlg::UseCurrentProject() {
    m_other.reset();
    FillSources();
}

hwc::EImportOutcome CImportDlg::Import() {
    tImportRequest request;
    request.destination = ChosenDestination();
    request.source = ChosenSource();
    request.selectedOnly = m_selected->isChecked();
    for (int row = 0; row < m_registers->count(); ++row) {
        const QListWidgetItem* item = m_registers->item(row);
        if (item->checkState() == Qt::Checked)
            request.selected.push_back(item->data(Qt::UserRole).toInt());
    }
    const tImportResult result = RunImport(request, [this](CModuleBase& destination) {
        if (ShowMessage(ImportConfirmation(destination), EButtons::YesNo, EAnswer::Yes) !=
            EAnswer::Yes)
            return false;
        m_document.ShowModulePage(destination);
        return true;
    });
    switch (result.outcome) {
    case EImportOutcome::kStopped:
        break;
    case EImportOutcome::kUpdated:
        m_document.NoteUserAction("Import " + request.destination->InstanceName());
        m_document.RequestWarnings();
        if (m_mass->isChecked()) {
            ShowMessage(result.message);
        } else {
            m_preselect = request.destination;
            hide();
        }
        break;
    case EImportOutcome::kRefused:
    case EImportOutcome::kUnchanged:
        ShowMessage(result.message);
        break;
    }
    return result.outcome;
}

void CImportDlg::OnDocumentUpdate(int hint, CModuleBase*, const void*) {
    if (hint != kHintProjectCleared)
        return;
    // The lists name modules that are going away; they are filled again on the next opening.
    m_preselect = nullptr;
    m_destinations.clear();
    m_sources.clear();
    FillCombo(m_destination, m_destinations, -1);
    FillCombo(m_source, m_sources, -1);
    m_registers->clear();
    m_ok->setEnabled(false);
    hide();
}

void CImportDlg::Show() {
    m_status->hide();
    m_progress->setValue(0);
    m_progress->show();
}

void CImportDlg::SetProgress(int position, int range) {
    m_progress->setRange(0, range);
    m_progress->setValue(position);
}

void CImportDlg::FillDestinations() {
    m_destinations = ImportDestinations(m_document);
    FillCombo(m_destination, m_destinations, PreselectedEntry(m_destinations, m_preselect));
    FillSources();
}

void CImportDlg::FillSources() {
    CModuleBase* destination = ChosenDestination();
    if (destination)
        m_sources =
            ImportSources(*destination, m_other ? *m_other : m_document, m_other != nullptr);
    else
        m_sources = {{"n/a", nullptr}};
    FillCombo(m_source, m_sources, 0);
    m_status->setText(QString::fromStdString(ImportSourceStatus(m_other.get())));
    m_current->setEnabled(m_other != nullptr);
    FillRegisters();
}

void CImportDlg::FillRegisters() {
    m_registers->clear();
    CModuleBase* source = ChosenSource();
    if (source) {
        for (const tImportRegister& reg : ImportableRegisters(*source)) {
            auto* item = new QListWidgetItem(QString::fromStdString(reg.name), m_registers);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(Qt::Checked);
            item->setData(Qt::UserRole, reg.index);
        }
    }
    m_ok->setEnabled(source != nullptr);
    UpdateRegisterListState();
}

void CImportDlg::UpdateRegisterListState() {
    m_registers->setEnabled(m_selected->isChecked());
}

void CImportDlg::GoToItem() {
    if (CModuleBase* destination = ChosenDestination())
        m_document.ShowModulePage(*destination);
    if (m_mainWindow) {
        m_mainWindow->raise();
        m_mainWindow->activateWindow();
    }
}

void CImportDlg::ChooseOtherProject() {
    const QString path = QFileDialog::getOpenFileName(this, tr("Open"), QString(), kHeaderFilter);
    if (!path.isEmpty())
        OpenOtherProject(path.toStdString());
}

CModuleBase* CImportDlg::ChosenDestination() const {
    return EntryModule(m_destinations, m_destination->currentIndex());
}

CModuleBase* CImportDlg::ChosenSource() const {
    return EntryModule(m_sources, m_source->currentIndex());
}
