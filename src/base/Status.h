#pragma once
// The outcome of an operation that bad input can make fail: success, or a message for the user.

#include <string>
#include <utility>

namespace hwc {

class Status {
public:
    static Status Ok() { return Status(); }
    static Status Error(std::string message) { return Status(std::move(message)); }

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return !m_failed; }
    const std::string& message() const { return m_message; }

private:
    Status() = default;
    explicit Status(std::string message) : m_failed(true), m_message(std::move(message)) {}

    bool m_failed = false;
    std::string m_message;
};

} // namespace hwc
