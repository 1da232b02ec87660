#pragma once
// The core's message boxes and questions shown as Qt message boxes.

#include <QPointer>
#include <QWidget>

#include "base/Messages.h"

namespace hwc::ui {

class CQtMessageHandler final : public hwc::IMessageHandler {
public:
    // The boxes are centred on the main window once it is set.
    void SetParentWindow(QWidget* window) { m_window = window; }

    EAnswer Show(std::string_view text, EButtons buttons, EAnswer defaultAnswer) override;

private:
    QPointer<QWidget> m_window;
};

} // namespace hwc::ui
