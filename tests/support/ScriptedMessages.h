#pragma once
// A message handler for tests: records every message and answers from a script.

#include <deque>
#include <string>
#include <vector>

#include "base/Messages.h"

class CScriptedMessages final : public hwc::IMessageHandler {
public:
    struct Shown {
        std::string text;
        hwc::EButtons buttons;
    };

    CScriptedMessages() : m_scope(*this) {}

    // Queues the answer for the next question; without one the default answer is taken.
    void Answer(hwc::EAnswer answer) { m_answers.push_back(answer); }

    hwc::EAnswer Show(std::string_view text, hwc::EButtons buttons,
                      hwc::EAnswer defaultAnswer) override {
        shown.push_back({std::string(text), buttons});
        if (m_answers.empty())
            return buttons == hwc::EButtons::Ok ? hwc::EAnswer::Ok : defaultAnswer;
        const hwc::EAnswer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }

    std::vector<Shown> shown;

private:
    std::deque<hwc::EAnswer> m_answers;
    hwc::ScopedMessageHandler m_scope;
};
