#include "ui/bars/RegisterRowWidget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "base/Messages.h"
#include "bindings/BindingInfo.h"
#include "model/ModuleBase.h"
#include "model/RegisterItem.h"

namespace hwc::ui {

namespace {

// The colour of values changed since the last load or save.
const QColor kChangedColour(192, 0, 0);

} // namespace

QString RegisterFieldsText(const tRegisterRow& row) {
    if (!row.item)
        return {};
    QString text = row.owner ? QString::fromStdString(row.owner->GetDefineName(*row.item))
                             : QString::fromStdString(RegisterRowLabel(row));
    if (!row.owner)
        return text;
    for (const tRegisterField& field : RegisterFields(*row.owner, *row.item))
        text += QStringLiteral("\n%1: %2")
                    .arg(QString::fromStdString(BitRangeText(field.mask)),
                         QString::fromStdString(field.setting));
    return text;
}

CRegisterRowWidget::CRegisterRowWidget(const tRegisterRow& row, int number, QWidget* parent)
    : QWidget(parent), m_row(row), m_number(number) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 1, 4, 1);
    m_name = new QLabel(QString::fromStdString(RegisterRowLabel(row)), this);
    m_name->setMinimumWidth(150);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QString("value%1").arg(number));
    m_edit->setMaxLength(79);
    if (!IsEditable()) {
        // Listed for information only: read-only and without a frame.
        m_edit->setReadOnly(true);
        m_edit->setFrame(false);
        m_edit->setFocusPolicy(Qt::ClickFocus);
    }
    m_name->setBuddy(m_edit);
    // The label may be cut in a narrow bar: the whole name and the bit fields on request.
    const QString fields = RegisterFieldsText(row);
    m_name->setToolTip(fields);
    m_edit->setToolTip(fields);
    layout->addWidget(m_name, 1);
    layout->addWidget(m_edit, 1);
    connect(m_edit, &QLineEdit::returnPressed, this, [this] { emit storeRequested(this); });
}

bool CRegisterRowWidget::IsEditable() const {
    return (m_row.item->dwFlags & RegFlag::NOEDITLIST) == 0;
}

void CRegisterRowWidget::ShowValue(bool decimal, bool force) {
    const bool modeChanged = decimal != m_decimal;
    m_decimal = decimal;
    if (force || modeChanged || !m_edit->isModified() || !m_edit->hasFocus()) {
        const QString text = QString::fromStdString(RegisterRowValueText(*m_row.item, decimal));
        if (m_edit->text() != text)
            m_edit->setText(text);
        m_edit->setModified(false);
    }
    QPalette palette = m_edit->palette();
    palette.setColor(QPalette::Text,
                     RegisterRowChanged(*m_row.item) ? kChangedColour : QColor(Qt::black));
    m_edit->setPalette(palette);
}

bool CRegisterRowWidget::Store(CProjDocBase& document) {
    if (!IsEditable())
        return false;
    std::string message;
    const bool stored = StoreRegisterRow(document, m_row, m_edit->text().toStdString(), message);
    if (!message.empty())
        ShowMessage(message);
    if (!stored) {
        m_edit->setFocus();
        m_edit->selectAll();
        return false;
    }
    m_edit->setModified(false);
    ShowValue(m_decimal, true);
    return true;
}

} // namespace hwc::ui
