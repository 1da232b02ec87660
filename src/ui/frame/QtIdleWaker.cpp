#include "ui/frame/QtIdleWaker.h"

#include <QMetaObject>

namespace hwc::ui {

void CQtIdleWaker::WakeIdle() {
    if (m_pending)
        return;
    m_pending = true;
    QMetaObject::invokeMethod(
        &m_context,
        [this] {
            m_pending = false;
            if (m_idleWork)
                m_idleWork();
        },
        Qt::QueuedConnection);
}

} // namespace hwc::ui
