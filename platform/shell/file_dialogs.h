#pragma once
// The port through which the program asks the user for files and fonts. The window's
// implementation shows Qt's dialogs; tests answer from a queue and record what was asked.
//
// Called on the user-interface thread.

#include <string>
#include <utility>
#include <vector>

class QFont;
class QWidget;

struct FileDialogRequest {
    QWidget* owner = nullptr;
    bool save = false;
    std::vector<std::pair<std::string, std::string>> filters;  // description, patterns ("*.jpg; *.bmp")
    int filterIndex = 1;                                       // 1-based
    std::string fileName;                                      // the name the dialog starts with
    std::string startFolder;                                   // empty: the current folder
    std::string title;
    bool mustExist = false;
    bool multiple = false;
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // False when the user cancelled; otherwise the chosen paths (one unless `multiple`).
    virtual bool GetFileNames(const FileDialogRequest& request, std::vector<std::string>* chosen) = 0;
    // False when the user cancelled; otherwise *font holds the choice.
    virtual bool ChooseFont(QWidget* owner, QFont* font) = 0;
};
