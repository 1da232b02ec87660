#include "ui/dialogs/AboutDialog.h"

#include <QMessageBox>
#include <QString>

#include "project/ProgramVersion.h"

namespace hwc::ui {

QString AboutText() {
    QString text = QStringLiteral("<b>K7Q400R/EX Hexaform</b><br>HWC configuration tool");
    text += QStringLiteral("<br>Version %1 (headers carry APPCFG_HWC_VERSION %2)")
                .arg(QString::fromStdString(hwc::ProgramVersionText()),
                     QString::fromStdString(hwc::ProgramVersionMacroValue()));
    text += QStringLiteral("<br>Built %1").arg(QString::fromLatin1(__DATE__));
    text += QStringLiteral("<br><br>Velmora<br>Built with Qt %1, running on Qt %2")
                .arg(QStringLiteral(QT_VERSION_STR), QString::fromLatin1(qVersion()));
    return text;
}

void ShowAboutDialog(QWidget* parent) {
    const QString text = AboutText();
    QMessageBox box(parent);
    box.setWindowTitle(QObject::tr("About HWC"));
    box.setTextFormat(Qt::RichText);
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

} // namespace hwc::ui
