#pragma once
// Work that may be asked for many times in a row (a warnings pass after every change) runs once:
// the asker marks it pending and wakes the idle loop, which runs everything pending on its next
// pass. The desktop program installs a waker that posts to its event loop; headless runs call
// the idle work themselves after each step.

namespace hwc {

class IIdleWaker {
public:
    virtual ~IIdleWaker() = default;
    virtual void WakeIdle() = 0;
};

// Installs the waker (null: nobody to wake); returns the previous one.
IIdleWaker* SetIdleWaker(IIdleWaker* waker);
void WakeIdle();

} // namespace hwc
