#pragma once
// What the timer modules answer to the others: the counting frequency a timer channel
// publishes, and the delay block's state that the gain amplifier checks. Each free function
// gives the "absent" answer while the answering module does not exist or is of another class.

#include <string_view>

class CModuleBase;

namespace hwc {

class ITimerChannel {
public:
    virtual ~ITimerChannel() = default;
    // The channel's counting frequency in Hz; 0 when it does not count or has no clock.
    virtual double CountingFrequencyHz() const = 0;
};

class IDelayBlock {
public:
    virtual ~IDelayBlock() = default;
    // Trigger 'A' or 'B' is enabled.
    virtual bool IsTriggerEnabled(char trigger) const = 0;
};

// The named channel's counting frequency in Hz; 0 without it.
double TimerCountingFrequency(const CModuleBase& asker, std::string_view channel);
// The delay block's (instance "PDB") trigger enable; `absent` without one.
bool DelayBlockTriggerEnabled(const CModuleBase& asker, char trigger, bool absent);

} // namespace hwc
