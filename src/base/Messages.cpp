#include "base/Messages.h"

#include <cstdio>

namespace hwc {
namespace {

class CStderrMessages final : public IMessageHandler {
public:
    EAnswer Show(std::string_view text, EButtons buttons, EAnswer) override {
        std::fprintf(stderr, "hwc: %.*s\n", static_cast<int>(text.size()), text.data());
        switch (buttons) {
        case EButtons::Ok:
            return EAnswer::Ok;
        case EButtons::YesNo:
            return EAnswer::No;
        case EButtons::OkCancel:
        case EButtons::YesNoCancel:
            return EAnswer::Cancel;
        }
        return EAnswer::Cancel;
    }
};

CStderrMessages g_defaultHandler;
IMessageHandler* g_handler = &g_defaultHandler;

} // namespace

IMessageHandler* SetMessageHandler(IMessageHandler* handler) {
    IMessageHandler* previous = g_handler;
    g_handler = handler ? handler : &g_defaultHandler;
    return previous == &g_defaultHandler ? nullptr : previous;
}

EAnswer ShowMessage(std::string_view text, EButtons buttons, EAnswer defaultAnswer) {
    return g_handler->Show(text, buttons, defaultAnswer);
}

} // namespace hwc
