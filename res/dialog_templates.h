#pragma once
// The program's dialogs as tables: each control's id, kind, template text, rectangle in dialog
// units and styles, in tab order. The dialog layer turns a table into widgets; the language
// files replace the texts by id.

#include <string>
#include <vector>

enum class ControlKind {
    Label,
    Edit,
    Button,
    DefaultButton,  // reacts to Enter
    CancelButton,   // does what Escape does
    DropList,       // a drop-down list without typing
    ListBox,
    GroupBox,
    RadioButton,  // automatic, one group per dialog
    ListView,     // a report view: columns, several rows selectable
    IconButton,   // a flat button with its icon above the caption
    Picture,      // a black box that shows a picture
    StatusText,   // a sunken line of text
    Hyperlink,    // a label that opens an address
    MultiLineEdit,  // an edit of several lines; Enter starts a new line
    CheckBox,
    SpinBox,  // a whole number with arrows; its range is set in code
};

enum ControlStyle : unsigned {
    kStyleNone = 0,
    kStyleCentred = 1,   // text centred in an edit
    kStyleDisabled = 2,  // greyed at first
};

struct ControlTemplate {
    int id;
    ControlKind kind;
    std::string text;
    int x, y, width, height;  // dialog units
    unsigned styles = kStyleNone;
    std::vector<std::string> items;  // of a list
};

struct DialogTemplate {
    int id;
    std::string caption;
    int width, height;  // dialog units
    std::vector<ControlTemplate> controls;
};

inline constexpr int IDD_DIALOG_OUTPUT_OPTIONS = 129;
inline constexpr int IDD_DIALOG_TRANSITION_SETTINGS = 130;
inline constexpr int IDD_DIALOG_CHANGE_PHOTO = 136;
inline constexpr int IDD_DIALOG_FILTER_PROPERTY = 161;
inline constexpr int IDD_DIALOG_TITLE_CARD = 162;
inline constexpr int IDD_DIALOG_CAPTION_STYLE = 163;
inline constexpr int IDD_DIALOG_MUSIC_PROPERTY = 164;
inline constexpr int IDD_KAVREL_DIALOG = 102;
inline constexpr int IDD_ABOUTBOX = 100;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// The table of dialog `id`; throws std::out_of_range for an id the program does not have.
const DialogTemplate& FindDialogTemplate(int id);
