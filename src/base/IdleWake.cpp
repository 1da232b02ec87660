#include "base/IdleWake.h"

namespace hwc {
namespace {
IIdleWaker* g_waker = nullptr;
} // namespace

IIdleWaker* SetIdleWaker(IIdleWaker* waker) {
    IIdleWaker* previous = g_waker;
    g_waker = waker;
    return previous;
}

void WakeIdle() {
    if (g_waker)
        g_waker->WakeIdle();
}

} // namespace hwc
