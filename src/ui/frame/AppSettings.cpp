#include "ui/frame/AppSettings.h"

#include <QDir>
#include <QUrl>
#include <QVariant>

#include <memory>

#include "ui/frame/WindowPlacement.h"

namespace hwc::ui {

namespace {

// A stored option: 0 or 1 as a number; anything else gives the default.
bool ReadFlag(QSettings& settings, const char* name, bool defaultValue) {
    const QVariant value = settings.value(name);
    if (!value.isValid())
        return defaultValue;
    bool isNumber = false;
    const int number = value.toInt(&isNumber);
    if (!isNumber || (number != 0 && number != 1))
        return defaultValue;
    return number == 1;
}

std::unique_ptr<QSettings>& SettingsSlot() {
    static std::unique_ptr<QSettings> settings;
    return settings;
}

} // namespace

QSettings& Settings() {
    std::unique_ptr<QSettings>& settings = SettingsSlot();
    if (!settings)
        settings = std::make_unique<QSettings>("Velmora", "HWC K7Q400R");
    return *settings;
}

void RedirectSettings(const QString& iniPath) {
    std::unique_ptr<QSettings>& settings = SettingsSlot();
    if (iniPath.isEmpty())
        settings.reset();
    else
        settings = std::make_unique<QSettings>(iniPath, QSettings::IniFormat);
}

CProjDocBase::tOptions ReadOutputOptions() {
    CProjDocBase::tOptions options;
    QSettings& settings = Settings();
    settings.beginGroup("Options");
    options.generateComments = ReadFlag(settings, "GenerateComments", true);
    options.generateDefaults = ReadFlag(settings, "GenerateDefaults", false);
    options.keepUserComments = ReadFlag(settings, "KeepUserComments", true);
    settings.endGroup();
    return options;
}

QByteArray ReadWindowPlacement() {
    const QVariant value = Settings().value("WindowPos/LastWndPlacement");
    if (value.typeId() != QMetaType::QByteArray)
        return {};
    const QByteArray record = value.toByteArray();
    return record.size() == kPlacementSize ? record : QByteArray();
}

void WriteWindowPlacement(const QByteArray& record) {
    Settings().setValue("WindowPos/LastWndPlacement", record);
}

namespace {

// One key per project: the path with its separators escaped, so it stays one key.
QString LastPageKey(const QString& projectPath) {
    return QStringLiteral("LastPages/") + QString::fromLatin1(QUrl::toPercentEncoding(projectPath));
}

} // namespace

QString ReadLastPage(const QString& projectPath) {
    if (projectPath.isEmpty())
        return {};
    return Settings().value(LastPageKey(projectPath)).toString();
}

void WriteLastPage(const QString& projectPath, const QString& instanceName) {
    if (!projectPath.isEmpty())
        Settings().setValue(LastPageKey(projectPath), instanceName);
}

int ReadTreeWidth() {
    bool isNumber = false;
    const int width = Settings().value("WindowPos/TreeWidth").toInt(&isNumber);
    return isNumber && width > 0 ? width : 0;
}

void WriteTreeWidth(int width) {
    Settings().setValue("WindowPos/TreeWidth", width);
}

QByteArray ReadBarLayout() {
    const QVariant value = Settings().value("ToolBars");
    return value.typeId() == QMetaType::QByteArray ? value.toByteArray() : QByteArray();
}

void WriteBarLayout(const QByteArray& state) {
    Settings().setValue("ToolBars", state);
}

namespace {

constexpr char kRecentProjectsKey[] = "RecentProjects/List";

// The same project however its path was written: "a/../b/" and "b" are one entry.
QString RecentKey(const QString& path) {
    return QDir::cleanPath(QDir::isAbsolutePath(path) ? path
                                                      : QDir::current().absoluteFilePath(path));
}

void WriteRecentProjects(const QStringList& paths) {
    Settings().setValue(kRecentProjectsKey, paths);
}

} // namespace

QStringList ReadRecentProjects() {
    const QVariant value = Settings().value(kRecentProjectsKey);
    // One entry is read back from a settings file as a plain text, several as a list.
    QStringList stored;
    if (value.typeId() == QMetaType::QStringList)
        stored = value.toStringList();
    else if (value.typeId() == QMetaType::QString)
        stored = QStringList{value.toString()};
    QStringList paths;
    for (const QString& path : stored) {
        if (path.trimmed().isEmpty())
            continue;
        const QString key = RecentKey(path);
        if (!paths.contains(key))
            paths.append(key);
        if (paths.size() == kRecentProjectsMax)
            break;
    }
    return paths;
}

void AddRecentProject(const QString& path) {
    if (path.trimmed().isEmpty())
        return;
    const QString key = RecentKey(path);
    QStringList paths = ReadRecentProjects();
    paths.removeAll(key);
    paths.prepend(key);
    while (paths.size() > kRecentProjectsMax)
        paths.removeLast();
    WriteRecentProjects(paths);
}

void RemoveRecentProject(const QString& path) {
    QStringList paths = ReadRecentProjects();
    if (paths.removeAll(RecentKey(path)) > 0)
        WriteRecentProjects(paths);
}

} // namespace hwc::ui
