#include "ui/docs/DocLauncher.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

#include "base/AppFilePath.h"
#include "base/Messages.h"
#include "ui/docs/PdfViewer.h"

namespace hwc::ui {

namespace {

// The longest page number read from a location; longer digit runs are cut here.
constexpr int kMaxPageDigits = 9;

DefaultOpener& Opener() {
    static DefaultOpener opener;
    return opener;
}

void Report(bool reportErrors, const QString& text) {
    if (reportErrors)
        hwc::ShowMessage(text.toStdString(), hwc::EButtons::Ok);
}

void ReportMissing(bool reportErrors, const QString& path) {
    Report(reportErrors, QStringLiteral("Could not find PDF file in this location:\n%1").arg(path));
}

} // namespace

tDocReference SplitDocReference(const QString& reference) {
    const int hash = reference.indexOf(u'#');
    if (hash < 0)
        return {reference.trimmed(), {}};
    QString location = reference.mid(hash + 1);
    const int secondHash = location.indexOf(u'#');
    if (secondHash >= 0)
        location.truncate(secondHash);
    return {reference.left(hash).trimmed(), location.trimmed()};
}

tDocLocation ParseDocLocation(const QString& location) {
    tDocLocation parsed;
    if (location.isEmpty())
        return parsed;
    if (!location.front().isDigit() || location.front().unicode() > 0x7F) {
        parsed.destination = location;
        return parsed;
    }
    int page = 0;
    for (int i = 0; i < location.size() && i < kMaxPageDigits; ++i) {
        const QChar c = location.at(i);
        if (c < u'0' || c > u'9')
            break;
        page = page * 10 + (c.unicode() - u'0');
    }
    // Page 0 does not exist: it stands for the first page.
    parsed.page = page < 1 ? 1 : page;
    return parsed;
}

QString HelpFilePath(const QString& fileName) {
    return QString::fromStdString(AppFilePath(fileName.toStdString(), kHelpFolderName));
}

bool OpenToolManual(QWidget* parent) {
    return OpenManual(parent, HelpFilePath(kToolManualName), 0, {}, false);
}

bool ToolManualExists() {
    return QFileInfo(HelpFilePath(kToolManualName)).isFile();
}

void SetDefaultOpener(DefaultOpener opener) {
    Opener() = std::move(opener);
}

bool OpenWithDefaultProgram(const QString& path) {
    if (Opener())
        return Opener()(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

bool OpenHelpDocument(QWidget* parent, const QString& pdfPath, const QString& location,
                      bool reportErrors) {
    if (!QFileInfo(pdfPath).isFile()) {
        ReportMissing(reportErrors, pdfPath);
        return false;
    }
    CPdfViewer* viewer = CPdfViewer::FindOpen(pdfPath);
    if (!viewer) {
        viewer = new CPdfViewer(parent);
        QString reason;
        if (!viewer->Load(pdfPath, &reason)) {
            delete viewer;
            Report(reportErrors, QStringLiteral("Can not open file %1.\n%2").arg(pdfPath, reason));
            return false;
        }
    }
    const tDocLocation target = ParseDocLocation(location);
    if (target.page > 0)
        viewer->GoToPage(target.page - 1);
    else if (!target.destination.isEmpty())
        viewer->GoToDestination(target.destination);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    return true;
}

bool OpenManual(QWidget* parent, const QString& pdfPath, int page, const QString& namedDestination,
                bool reportErrors) {
    if (!QFileInfo(pdfPath).isFile()) {
        ReportMissing(reportErrors, pdfPath);
        return false;
    }
    if (page > 0)
        return OpenHelpDocument(parent, pdfPath, QString::number(page), reportErrors);
    if (!namedDestination.trimmed().isEmpty())
        return OpenHelpDocument(parent, pdfPath, namedDestination.trimmed(), reportErrors);
    // Without a location the reader the user chose is preferred; the built-in viewer steps in
    // when the desktop has none.
    if (OpenWithDefaultProgram(QFileInfo(pdfPath).absoluteFilePath()))
        return true;
    return OpenHelpDocument(parent, pdfPath, {}, reportErrors);
}

bool OpenModuleDocumentation(QWidget* parent, const QString& reference) {
    const tDocReference parts = SplitDocReference(reference);
    if (parts.file.isEmpty())
        return false;
    const QString path = HelpFilePath(parts.file);
    if (!QFileInfo::exists(path)) {
        hwc::ShowMessage(("Documentation file not found: \n" + path).toStdString());
        return false;
    }
    return OpenHelpDocument(parent, path, parts.location, true);
}

bool OpenPluginHelp(QWidget* parent, const QString& helpPath, int page,
                    const QString& moduleReference) {
    const QFileInfo info(helpPath);
    if (!helpPath.isEmpty() && info.isFile() &&
        info.suffix().compare(QLatin1String("pdf"), Qt::CaseInsensitive) == 0)
        return OpenManual(parent, helpPath, page, {}, false);
    if (!helpPath.isEmpty() && info.exists())
        return OpenWithDefaultProgram(info.absoluteFilePath());
    return OpenModuleDocumentation(parent, moduleReference);
}

} // namespace hwc::ui
