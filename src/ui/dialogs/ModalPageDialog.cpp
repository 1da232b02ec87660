#include "ui/dialogs/ModalPageDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/page/PageWidget.h"

CModalPageDialog::CModalPageDialog(CModalPage& page, QWidget* parent)
    : QDialog(parent), m_page(page) {
    setWindowTitle(QString::fromStdString(page.Title()));
    setModal(true);
    auto* layout = new QVBoxLayout(this);
    m_pageWidget = new CPageWidget(page.Page(), this);
    layout->addWidget(m_pageWidget, 1);
    auto* buttons = new QDialogButtonBox(this);
    m_apply = buttons->addButton(QStringLiteral("Apply"), QDialogButtonBox::AcceptRole);
    m_cancel = buttons->addButton(QDialogButtonBox::Cancel);
    m_apply->setDefault(true);
    layout->addWidget(buttons);
    connect(m_apply, &QPushButton::clicked, this, &CModalPageDialog::OnApply);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    page.Page().SetVisible(true);
    resize(sizeHint().expandedTo(QSize(640, 480)));
}

void CModalPageDialog::OnApply() {
    // The page says why when it refuses; the dialog then stays open.
    if (m_page.Apply())
        accept();
}

namespace hwc::ui {

CModalPage::EResult CQtModalPageRunner::Run(CModalPage& page) {
    CModalPageDialog dialog(page, QApplication::activeWindow());
    return dialog.exec() == QDialog::Accepted ? CModalPage::EResult::Apply
                                              : CModalPage::EResult::Cancel;
}

} // namespace hwc::ui
