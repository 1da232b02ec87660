#pragma once
// What the serial communication modules answer to the others: whether a serial interface's
// transmitter is enabled, which the crossbar takes its transmit line from. Each free function
// gives the asker's "absent" answer while the module does not exist or does not answer.

#include <string_view>

class CModuleBase;

namespace hwc {

class ISerialTransmitter {
public:
    virtual ~ISerialTransmitter() = default;
    virtual bool IsTransmitterEnabled() const = 0;
};

// The named interface's ("SCI_0") transmitter enable; `absent` without it.
bool SerialTransmitterEnabled(const CModuleBase& asker, std::string_view instanceName, bool absent);

} // namespace hwc
