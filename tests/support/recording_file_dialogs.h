#pragma once
// Records every file and font request and answers from queues: an empty answer is a cancel.

#include <QFont>
#include <deque>
#include <vector>

#include "platform/shell/file_dialogs.h"

class RecordingFileDialogs : public FileDialogs {
public:
    bool GetFileNames(const FileDialogRequest& request, std::vector<std::string>* chosen) override {
        requests.push_back(request);
        if (answers.empty()) return false;
        *chosen = answers.front();
        answers.pop_front();
        return !chosen->empty();
    }
    bool ChooseFont(QWidget*, QFont* font) override {
        ++fontRequests;
        if (fonts.empty()) return false;
        *font = fonts.front();
        fonts.pop_front();
        return true;
    }

    std::vector<FileDialogRequest> requests;
    std::deque<std::vector<std::string>> answers;
    int fontRequests = 0;
    std::deque<QFont> fonts;
};
