#pragma once

#include <cstdio>

#include "platform/shell/message_boxes.h"

// Prints every message to a stream (standard error by default) as "caption: text" and answers
// Yes/No questions with a fixed answer, for programs without windows.
class ConsoleMessageBoxes : public MessageBoxes {
public:
    explicit ConsoleMessageBoxes(std::string applicationName, std::FILE* out = stderr,
                                 MessageAnswer yesNoAnswer = MessageAnswer::No);
    MessageAnswer Show(const MessageRequest& request) override;
    int Count() const { return count_; }

private:
    std::string applicationName_;
    std::FILE* out_;
    MessageAnswer yesNoAnswer_;
    int count_ = 0;
};
