#include "ui/frame/QtMessageHandler.h"

#include <QApplication>
#include <QMessageBox>

namespace hwc::ui {

namespace {

struct tButtonRow {
    EAnswer answer;
    QMessageBox::StandardButton button;
};

constexpr tButtonRow kButtons[] = {
    {EAnswer::Ok, QMessageBox::Ok},
    {EAnswer::Cancel, QMessageBox::Cancel},
    {EAnswer::Yes, QMessageBox::Yes},
    {EAnswer::No, QMessageBox::No},
};

QMessageBox::StandardButton ButtonFor(EAnswer answer) {
    for (const tButtonRow& row : kButtons) {
        if (row.answer == answer)
            return row.button;
    }
    return QMessageBox::Ok;
}

EAnswer AnswerFor(int button) {
    for (const tButtonRow& row : kButtons) {
        if (row.button == button)
            return row.answer;
    }
    return EAnswer::Cancel;
}

QMessageBox::StandardButtons ButtonsFor(EButtons buttons) {
    switch (buttons) {
    case EButtons::Ok:
        return QMessageBox::Ok;
    case EButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case EButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case EButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    }
    return QMessageBox::Ok;
}

} // namespace

EAnswer CQtMessageHandler::Show(std::string_view text, EButtons buttons, EAnswer defaultAnswer) {
    QWidget* parent = m_window ? m_window.data() : QApplication::activeWindow();
    const bool question = buttons == EButtons::YesNo || buttons == EButtons::YesNoCancel;
    QMessageBox box(question ? QMessageBox::Question : QMessageBox::Warning,
                    QStringLiteral("K7Q400R/EX Hexaform"),
                    QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                    ButtonsFor(buttons), parent);
    box.setTextFormat(Qt::PlainText);
    const QMessageBox::StandardButton defaultButton = ButtonFor(defaultAnswer);
    if (ButtonsFor(buttons).testFlag(defaultButton))
        box.setDefaultButton(defaultButton);
    const int chosen = box.exec();
    // Closing the box without a button counts as its escape answer.
    if (chosen == QMessageBox::NoButton ||
        !ButtonsFor(buttons).testFlag(static_cast<QMessageBox::StandardButton>(chosen)))
        return buttons == EButtons::Ok      ? EAnswer::Ok
               : buttons == EButtons::YesNo ? EAnswer::No
                                            : EAnswer::Cancel;
    return AnswerFor(chosen);
}

} // namespace hwc::ui
