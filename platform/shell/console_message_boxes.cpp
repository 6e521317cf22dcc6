#include "platform/shell/console_message_boxes.h"

ConsoleMessageBoxes::ConsoleMessageBoxes(std::string applicationName, std::FILE* out,
                                         MessageAnswer yesNoAnswer)
    : applicationName_(std::move(applicationName)), out_(out), yesNoAnswer_(yesNoAnswer) {}

MessageAnswer ConsoleMessageBoxes::Show(const MessageRequest& request) {
    ++count_;
    const std::string& caption = request.caption.empty() ? applicationName_ : request.caption;
    // Texts carry their own trailing line breaks sometimes ("...hr=0x%x\n"); print one only.
    std::string text = request.text;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    std::fprintf(out_, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(out_);
    return request.buttons == MessageButtons::YesNo ? yesNoAnswer_ : MessageAnswer::Ok;
}
