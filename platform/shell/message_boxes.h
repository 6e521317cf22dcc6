#pragma once
// The port through which the program shows its message boxes. The window's implementation is a
// Qt message box; the command-line renderer prints; tests record and answer.
//
// Called on the thread that owns the program's state (the user-interface thread).

#include <string>

enum class MessageOwner {
    MainWindow,   // owned by the main window
    Dialog,       // owned by the dialog that is open
    None,         // no owner window
    Application,  // the application's own box: its name as caption, OK only
};
enum class MessageButtons { Ok, YesNo, YesNoCancel };
enum class MessageIcon { None, Information, Warning, Error };
enum class MessageAnswer { Ok, Yes, No, Cancel };  // Escape or closing a Yes/No/Cancel box: Cancel

struct MessageRequest {
    MessageOwner owner = MessageOwner::Application;
    std::string text;
    std::string caption;  // empty for MessageOwner::Application: the application name is shown
    MessageButtons buttons = MessageButtons::Ok;
    MessageIcon icon = MessageIcon::None;
};

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual MessageAnswer Show(const MessageRequest& request) = 0;

    // The application message box: fixed English texts, the application name as caption.
    MessageAnswer AppMessage(std::string text) {
        return Show({MessageOwner::Application, std::move(text), "", MessageButtons::Ok,
                     MessageIcon::None});
    }
};
