#pragma once
// Messages of the headless program: every message box goes to standard error as one block
// ("hwc: " and the text), and every question is answered as the command line said.

#include <string_view>

#include "base/Messages.h"

enum class EBatchAnswer { Yes, No, Cancel };

class CBatchMessages final : public hwc::IMessageHandler {
public:
    explicit CBatchMessages(EBatchAnswer answer) : m_answer(answer) {}

    hwc::EAnswer Show(std::string_view text, hwc::EButtons buttons,
                      hwc::EAnswer defaultAnswer) override;

private:
    EBatchAnswer m_answer;
};

// "yes", "no" or "cancel"; false for any other word.
bool ParseBatchAnswer(std::string_view word, EBatchAnswer& answer);
