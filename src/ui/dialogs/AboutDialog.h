#pragma once
// The about box: program name, the version saved headers carry, the build date and the Qt
// version it runs on.

class QString;
class QWidget;

namespace hwc::ui {

// The box's text (rich text).
QString AboutText();

void ShowAboutDialog(QWidget* parent);

} // namespace hwc::ui
