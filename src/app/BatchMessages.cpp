#include "app/BatchMessages.h"

#include <cstdio>

hwc::EAnswer CBatchMessages::Show(std::string_view text, hwc::EButtons buttons, hwc::EAnswer) {
    std::fprintf(stderr, "hwc: %.*s\n", static_cast<int>(text.size()), text.data());
    switch (buttons) {
    case hwc::EButtons::Ok:
        return hwc::EAnswer::Ok;
    case hwc::EButtons::OkCancel:
        return m_answer == EBatchAnswer::Yes ? hwc::EAnswer::Ok : hwc::EAnswer::Cancel;
    case hwc::EButtons::YesNo:
        return m_answer == EBatchAnswer::Yes ? hwc::EAnswer::Yes : hwc::EAnswer::No;
    case hwc::EButtons::YesNoCancel:
        break;
    }
    switch (m_answer) {
    case EBatchAnswer::Yes:
        return hwc::EAnswer::Yes;
    case EBatchAnswer::No:
        return hwc::EAnswer::No;
    case EBatchAnswer::Cancel:
        break;
    }
    return hwc::EAnswer::Cancel;
}

bool ParseBatchAnswer(std::string_view word, EBatchAnswer& answer) {
    if (word == "yes")
        answer = EBatchAnswer::Yes;
    else if (word == "no")
        answer = EBatchAnswer::No;
    else if (word == "cancel")
        answer = EBatchAnswer::Cancel;
    else
        return false;
    return true;
}
