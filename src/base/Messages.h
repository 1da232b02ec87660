#pragma once
// Message boxes and questions. The core only says what to ask; the desktop program shows a dialog,
// the headless program prints the text and takes the answer from its command line, and tests
// script the answers.

#include <string_view>

namespace hwc {

enum class EButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class EAnswer { Ok, Cancel, Yes, No };

class IMessageHandler {
public:
    virtual ~IMessageHandler() = default;
    // Shows the text with the buttons and returns the button chosen.
    virtual EAnswer Show(std::string_view text, EButtons buttons, EAnswer defaultAnswer) = 0;
};

// Installs the handler every message goes to; returns the previous one. Null restores the
// default handler, which prints "hwc: " and the text to standard error and answers Ok for a
// notice, Cancel where there is a Cancel button and No otherwise.
IMessageHandler* SetMessageHandler(IMessageHandler* handler);

EAnswer ShowMessage(std::string_view text, EButtons buttons = EButtons::Ok,
                    EAnswer defaultAnswer = EAnswer::Ok);

// Installs a handler for the lifetime of the scope.
class ScopedMessageHandler {
public:
    explicit ScopedMessageHandler(IMessageHandler& handler) : m_previous(SetMessageHandler(&handler)) {}
    ~ScopedMessageHandler() { SetMessageHandler(m_previous); }
    ScopedMessageHandler(const ScopedMessageHandler&) = delete;
    ScopedMessageHandler& operator=(const ScopedMessageHandler&) = delete;

private:
    IMessageHandler* m_previous;
};

} // namespace hwc
