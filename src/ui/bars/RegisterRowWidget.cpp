#include "ui/bars/RegisterRowWidget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include "base/FixedText.h"
#include "base/Messages.h"
#include "base/TextUtil.h"
#include "model/ModuleBase.h"
#include "model/RegisterValue.h"
#include "project/ProjDocBase.h"
#include "project/SelfTest.h"

namespace hwc::ui {

namespace {

// The colour of values changed since the last load or save.
const QColor kChangedColour(192, 0, 0);

// Writes a checked value straight into the register and runs its owner's update cycle, for
// registers the "set" command does not reach by name (user defines).
void WriteDirectly(CProjDocBase& document, CModuleBase& owner, tPerCfgItem& item,
                   const tPerCfgItem& value) {
    const bool isText = (item.dwFlags & RegFlag::STRVALUE) != 0;
    if (isText ? FieldText(item.szValue) == FieldText(value.szValue)
               : item.dwValue == value.dwValue)
        return;
    if (isText)
        CopyCut(item.szValue, FieldText(value.szValue));
    item.dwValue = value.dwValue;
    document.UpdateAllViews(&owner, 10, nullptr);
    owner.RefreshControls();
    owner.Recalculate();
    owner.UpdateControlStates();
}

} // namespace

std::string RegisterRowValueText(const tPerCfgItem& item, bool decimal) {
    const bool ownFormat = (item.dwFlags & (RegFlag::STRVALUE | RegFlag::DECVALUE)) != 0;
    if (decimal && !ownFormat)
        return Format("%u", static_cast<unsigned>(item.dwValue));
    return FormatRegisterValue(item, false);
}

bool RegisterRowChanged(const tPerCfgItem& item) {
    if (item.dwValue != item.dwSaved)
        return true;
    return (item.dwFlags & RegFlag::STRVALUE) && FieldText(item.szValue) != FieldText(item.szSaved);
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
    tPerCfgItem& item = *m_row.item;
    tPerCfgItem value = item;
    std::string message;
    const std::string typedText = m_edit->text().toStdString();
    if (!ParseRegisterValue(Trim(typedText), value, message)) {
        ShowMessage(message);
        m_edit->setFocus();
        m_edit->selectAll();
        return false;
    }
    m_edit->setModified(false);
    CModuleBase& owner = *m_row.owner;
    const std::string name = owner.GetDefineName(item);
    CModuleBase* found = nullptr;
    const bool byName = !(item.dwFlags & RegFlag::USERDEFINE) && !document.Modules().empty() &&
                        document.Modules().front()->FindRegister(name, &found) == &item;
    if (byName) {
        const bool isText = (item.dwFlags & RegFlag::STRVALUE) != 0;
        const std::string typed =
            isText ? std::string(FieldText(value.szValue)) : Format("0x%X", value.dwValue);
        if (!SetRegisterFromText(document, name + "=" + typed, message))
            ShowMessage(message);
    } else {
        WriteDirectly(document, owner, item, value);
    }
    ShowValue(m_decimal, true);
    return true;
}

} // namespace hwc::ui
