#pragma once
// The about box: program name, version and the Qt version it runs on.

class QWidget;

namespace hwc::ui {

void ShowAboutDialog(QWidget* parent);

} // namespace hwc::ui
