#pragma once
// Where the desktop program keeps its per-user settings: the output options, the window
// placement, the bar layout and the recent projects.

#include <QByteArray>
#include <QSettings>
#include <QStringList>

#include "project/ProjDocBase.h"

namespace hwc::ui {

// The program's settings store (organisation "Velmora", application "HWC K7Q400R").
QSettings& Settings();
// Keeps the settings in the given file from now on instead of the user's store (tests); an
// empty path goes back to the user's store.
void RedirectSettings(const QString& iniPath);

// The output options as stored under "Options"; a missing value, or one that is not 0 or 1,
// gives its default (comments on, defaults and user comments off).
CProjDocBase::tOptions ReadOutputOptions();

// The stored window placement record (44 bytes), or an empty array when none of full length is
// stored.
QByteArray ReadWindowPlacement();
void WriteWindowPlacement(const QByteArray& record);

// The instance name of the module whose page was shown last in the project at that path, empty
// when none is stored.
QString ReadLastPage(const QString& projectPath);
void WriteLastPage(const QString& projectPath, const QString& instanceName);

// The width of the module tree pane the user last left, 0 when none is stored.
int ReadTreeWidth();
void WriteTreeWidth(int width);

// The docking-bar layout saved by the main window, empty when none is stored.
QByteArray ReadBarLayout();
void WriteBarLayout(const QByteArray& state);

// The projects opened last, newest first: at most this many, each once.
inline constexpr int kRecentProjectsMax = 8;
// The stored list without empty and repeated entries, cut to the limit.
QStringList ReadRecentProjects();
// Puts the project at the top of the list (moving it there when listed already).
void AddRecentProject(const QString& path);
void RemoveRecentProject(const QString& path);

} // namespace hwc::ui
