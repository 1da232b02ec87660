#include "ui/dialogs/OptionsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QSettings>
#include <QVBoxLayout>

#include "project/ProjDoc.h"
#include "ui/frame/AppSettings.h"

namespace {

constexpr const char* kOptionsGroup = "Options";

struct tOptionValue {
    const char* name;
    bool CProjDocBase::tOptions::*option;
};

// The stored value of each option.
constexpr tOptionValue kOptionValues[] = {
    {"GenerateComments", &CProjDocBase::tOptions::generateComments},
    {"GenerateDefaults", &CProjDocBase::tOptions::generateDefaults},
    {"KeepUserComments", &CProjDocBase::tOptions::keepUserComments},
};

QCheckBox* AddCheck(QVBoxLayout* layout, const QString& text, bool checked) {
    auto* check = new QCheckBox(text);
    check->setChecked(checked);
    layout->addWidget(check);
    return check;
}

} // namespace

namespace hwc::ui {

void StoreOutputOptions(const CProjDocBase::tOptions& options) {
    QSettings& settings = Settings();
    settings.beginGroup(kOptionsGroup);
    for (const tOptionValue& value : kOptionValues)
        settings.setValue(value.name, options.*value.option ? 1 : 0);
    settings.endGroup();
    settings.sync();
}

} // namespace hwc::ui

COptionsDialog::COptionsDialog(CProjDoc* document, QWidget* parent)
    : QDialog(parent), m_document(document) {
    setWindowTitle(tr("Options"));
    m_initial = document ? document->Options() : hwc::ui::ReadOutputOptions();

    auto* toolGroup = new QGroupBox(tr("HWC Options"));
    auto* toolLayout = new QVBoxLayout(toolGroup);
    m_comments = AddCheck(toolLayout, tr("Generate detailed comments"), m_initial.generateComments);
    m_keepComments = AddCheck(toolLayout, tr("Preserve user comments"), m_initial.keepUserComments);

    auto* projectGroup = new QGroupBox(tr("Current Project Options"));
    auto* projectLayout = new QVBoxLayout(projectGroup);
    m_defaults =
        AddCheck(projectLayout, tr("Generate all register values (even if same as reset value)"),
                 m_initial.generateDefaults);
    m_setAsDefault = AddCheck(projectLayout, tr("Set as default"), true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &COptionsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &COptionsDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(toolGroup);
    layout->addWidget(projectGroup);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

CProjDocBase::tOptions COptionsDialog::ChosenOptions() const {
    CProjDocBase::tOptions options = m_initial;
    options.generateComments = m_comments->isChecked();
    options.keepUserComments = m_keepComments->isChecked();
    options.generateDefaults = m_defaults->isChecked();
    return options;
}

void COptionsDialog::accept() {
    const CProjDocBase::tOptions options = ChosenOptions();
    if (m_document)
        m_document->SetOptions(options);
    // The choices also become the defaults of the projects opened from now on.
    if (m_setAsDefault->isChecked())
        hwc::ui::StoreOutputOptions(options);
    QDialog::accept();
}
