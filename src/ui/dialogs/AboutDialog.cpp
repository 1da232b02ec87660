#include "ui/dialogs/AboutDialog.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QString>

namespace hwc::ui {

void ShowAboutDialog(QWidget* parent) {
    QString version = QCoreApplication::applicationVersion();
    QString text = QStringLiteral("<b>K7Q400R/EX Hexaform</b><br>HWC configuration tool");
    if (!version.isEmpty())
        text += QStringLiteral("<br>Version %1").arg(version.toHtmlEscaped());
    text += QStringLiteral("<br><br>Velmora<br>Built with Qt %1, running on Qt %2")
                .arg(QStringLiteral(QT_VERSION_STR), QString::fromLatin1(qVersion()));
    QMessageBox box(parent);
    box.setWindowTitle(QObject::tr("About HWC"));
    box.setTextFormat(Qt::RichText);
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
}

} // namespace hwc::ui
