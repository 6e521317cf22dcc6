#pragma once
// The message boxes and file dialogs of the window program, as Qt shows them.

#include "platform/shell/file_dialogs.h"
#include "platform/shell/message_boxes.h"

class QtMessageBoxes : public MessageBoxes {
public:
    MessageAnswer Show(const MessageRequest& request) override;
};

class QtFileDialogs : public FileDialogs {
public:
    bool GetFileNames(const FileDialogRequest& request, std::vector<std::string>* chosen) override;
    bool ChooseFont(QWidget* owner, QFont* font) override;
};
