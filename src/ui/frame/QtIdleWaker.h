#pragma once
// Wakes the idle work through the Qt event loop: however often it is woken before the loop gets
// there, the idle work runs once, as a queued call.

#include <QObject>

#include <functional>

#include "base/IdleWake.h"

namespace hwc::ui {

class CQtIdleWaker final : public hwc::IIdleWaker {
public:
    explicit CQtIdleWaker(std::function<void()> idleWork) : m_idleWork(std::move(idleWork)) {}

    void WakeIdle() override;
    bool IsPending() const { return m_pending; }

private:
    std::function<void()> m_idleWork;
    QObject m_context; // a queued call dies with the waker
    bool m_pending = false;
};

} // namespace hwc::ui
