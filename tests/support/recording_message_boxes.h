#pragma once
// Records every message box and answers Yes/No and Yes/No/Cancel questions from a queue.

#include <deque>
#include <string>
#include <vector>

#include "platform/shell/message_boxes.h"

class RecordingMessageBoxes : public MessageBoxes {
public:
    MessageAnswer Show(const MessageRequest& request) override {
        shown.push_back(request);
        if (request.buttons == MessageButtons::Ok) return MessageAnswer::Ok;
        if (answers.empty()) return MessageAnswer::No;
        MessageAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const auto& r : shown) texts.push_back(r.text);
        return texts;
    }

    std::vector<MessageRequest> shown;
    std::deque<MessageAnswer> answers;  // for the questions; No when empty
};
