#include "ui/dialogs/ModalPageDialog.h"

#include <algorithm>

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
    // Wide enough for the page's rows, so that it scrolls only downwards.
    QSize size = sizeHint().expandedTo(QSize(640, 480));
    if (const QWidget* content = m_pageWidget->widget()) {
        const QSize wanted = content->sizeHint() + QSize(80, 110);
        size.setWidth(std::max(size.width(), wanted.width()));
        size.setHeight(std::clamp(wanted.height(), size.height(), 760));
    }
    resize(size);
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
