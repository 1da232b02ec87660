#pragma once
// The program's icon, drawn in code so that it needs no resource file.

#include <QIcon>

namespace hwc::ui {

QIcon AppIcon();
// The small pictures of the module tree's group items (state images 2, 3 and 4).
QIcon GroupIcon(int stateImage);

} // namespace hwc::ui
