#pragma once
// Opens the manuals of the tool, of the modules and of the plug-ins: a PDF file at a page or a
// named destination in the built-in viewer, any other document with the desktop's default
// program. All module manuals live in the "help" folder beside the executable.

#include <functional>

#include <QString>

class QWidget;

namespace hwc::ui {

// The file of the tool's own manual.
inline constexpr const char* kToolManualName = "ConfigTool.pdf";
// The folder of the manuals, beside the executable.
inline constexpr const char* kHelpFolderName = "help";

// A documentation reference "file#location" split at its first '#'; the location ends at a
// second '#'. Both parts are trimmed.
struct tDocReference {
    QString file;
    QString location;
};
tDocReference SplitDocReference(const QString& reference);

// A location that begins with a decimal digit names a page (its leading number, counted from 1);
// any other non-empty location is a named destination.
struct tDocLocation {
    int page = 0; // 0: no page
    QString destination;
};
tDocLocation ParseDocLocation(const QString& location);

// The front door of the Help menu and the plug-ins: fails when the file does not exist (with a
// message when reporting errors). Without a page and a destination the file is opened with the
// desktop's default program (the built-in viewer when there is none); otherwise the built-in
// viewer opens it at the page (counted from 1) or the named destination.
bool OpenManual(QWidget* parent, const QString& pdfPath, int page, const QString& namedDestination,
                bool reportErrors);

// Opens a PDF in the built-in viewer at a location ("12", "7abc" or a destination name; empty:
// the first page). Failures are shown when reporting errors.
bool OpenHelpDocument(QWidget* parent, const QString& pdfPath, const QString& location,
                      bool reportErrors);

// A module's documentation reference: the file in the help folder, opened at the location with
// errors reported. An empty file part fails silently; a missing file shows
// "Documentation file not found: \n" and its path.
bool OpenModuleDocumentation(QWidget* parent, const QString& reference);

// A plug-in's help: an existing ".pdf" file opens at the page, any other existing file with
// the default program, and a path that does not exist falls back to the module reference.
bool OpenPluginHelp(QWidget* parent, const QString& helpPath, int page,
                    const QString& moduleReference);

// The path of a file in the help folder beside the executable.
QString HelpFilePath(const QString& fileName);

// The Help command: the tool's own manual, without a page and without messages. Its menu entry
// is enabled while ToolManualExists().
bool OpenToolManual(QWidget* parent);
bool ToolManualExists();

// Opens a file with the desktop's default program; true when the desktop accepted it.
// Replaceable so that tests do not start programs.
using DefaultOpener = std::function<bool(const QString& path)>;
void SetDefaultOpener(DefaultOpener opener);
bool OpenWithDefaultProgram(const QString& path);

} // namespace hwc::ui
