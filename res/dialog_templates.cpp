#include "res/dialog_templates.h"

#pragma GCC diagnostic ignored "-Wmissing-field-initializers"  // the tables leave styles and items out where a control has none

#include <map>
#include <stdexcept>

#include "engine/transition_catalogue.h"
#include "settings/resolution_presets.h"

namespace {

using K = ControlKind;

std::vector<std::string> TransitionItems() {
    std::vector<std::string> items;
    for (int i = 0; i < kTransitionCount; ++i) items.push_back(TransitionComboText(i));
    return items;
}

std::vector<std::string> ResolutionItems() {
    std::vector<std::string> items;
    for (const ResolutionPreset& p : kResolutionPresets) items.emplace_back(p.text);
    items.emplace_back("Custom Size");
    return items;
}

// The list texts of the motions, the paces and the framings are the language's, filled in when a
// dialog opens.
DialogTemplate OutputOptions() {
    return {IDD_DIALOG_OUTPUT_OPTIONS, "Select output options", 278, 177, {
        {1029, K::Label, "Output Format:", 7, 7, 66, 14},
        {1093, K::DropList, "", 80, 7, 62, 139, kStyleNone, {"AVI", "WMV", "MKV", "ASF", "MP4"}},
        {1023, K::Label, "Output file:", 7, 26, 66, 14},
        {1022, K::Edit, "", 80, 26, 126, 14},
        {1024, K::Button, "Browse", 206, 26, 65, 14},
        {1026, K::Label, "Resolution:", 7, 49, 66, 14},
        {1025, K::DropList, "", 80, 50, 126, 137, kStyleNone, ResolutionItems()},
        {1027, K::Edit, "", 222, 50, 20, 14, kStyleCentred},
        {1028, K::Edit, "", 251, 50, 20, 14, kStyleCentred},
        {1055, K::Label, "Video compressor:", 7, 72, 66, 14},
        {1001, K::DropList, "", 80, 73, 126, 115},
        {1053, K::Button, "Settings", 206, 73, 66, 14},
        {1056, K::Label, "Audio compressor:", 7, 95, 66, 14},
        {1002, K::DropList, "", 80, 95, 126, 138},
        {1073, K::Label,
         "Note: some video and audio compressors may not work properly. For more detail, please read help.", 7,
         119, 264, 29},
        {1085, K::Label, "Video encoding bitrate:", 7, 73, 100, 14},
        {1087, K::Edit, "", 114, 73, 89, 14},
        {1089, K::Label, "Kbps", 211, 73, 53, 14},
        {1086, K::Label, "Audio encoding bitrate:", 7, 101, 100, 14},
        {1088, K::DropList, "", 113, 103, 90, 144, kStyleNone, {"64", "128", "192", "320"}},
        {1090, K::Label, "Kbps", 211, 101, 53, 14},
        {1074, K::DefaultButton, "OK", 24, 156, 66, 14},
        {1051, K::Button, "Default", 100, 156, 66, 14},
        {1075, K::CancelButton, "Cancel", 176, 156, 66, 14},
    }};
}

// The motion, the framing and the music (its fade-out, loudness and joins) take a column of their
// own at the right.
DialogTemplate TransitionSettings() {
    return {IDD_DIALOG_TRANSITION_SETTINGS, "Customize default photo and transition", 400, 203, {
        {1061, K::Label, "Default photo duration:", 18, 14, 102, 14},
        {1010, K::Edit, "", 124, 14, 22, 14, kStyleCentred},
        {1079, K::Label, "Seconds", 145, 14, 51, 14},
        {1062, K::Label, "Default transition duration:", 18, 39, 102, 14},
        {1011, K::Edit, "", 124, 39, 22, 14, kStyleCentred},
        {1078, K::Label, "Seconds", 146, 39, 50, 14},
        {1063, K::GroupBox, "Default Transition", 17, 66, 175, 70},
        {1013, K::RadioButton, "Random", 21, 77, 76, 14},
        {1015, K::RadioButton, "Sequence", 21, 97, 76, 14},
        {1014, K::RadioButton, "Same", 21, 117, 52, 14},
        {1012, K::DropList, "", 76, 117, 115, 224, kStyleNone, TransitionItems()},
        {1110, K::GroupBox, "Motion of new photos", 204, 7, 188, 75},
        {1111, K::RadioButton, "None", 210, 18, 56, 14},
        {1112, K::RadioButton, "Random", 270, 18, 70, 14},
        {1113, K::RadioButton, "Same", 210, 37, 56, 14},
        {1114, K::DropList, "", 270, 37, 116, 120},
        {1115, K::Label, "Amount:", 210, 56, 56, 14},
        {1116, K::Edit, "", 270, 56, 24, 14, kStyleCentred},
        {1117, K::Label, "%", 297, 56, 12, 14},
        {1118, K::DropList, "", 312, 56, 74, 60},
        {1210, K::CheckBox, "Keep faces in the frame", 204, 87, 188, 14},
        {1119, K::Label, "Framing:", 204, 106, 62, 14},
        {1120, K::DropList, "", 268, 106, 124, 60},
        {1121, K::Label, "Fade out music at the end:", 204, 125, 110, 14},
        {1122, K::Edit, "", 316, 125, 24, 14, kStyleCentred},
        {1123, K::Label, "Seconds", 343, 125, 49, 14},
        // The music list as a whole, below the fade-out; OK and Cancel come last in tab order.
        {1154, K::CheckBox, "Even out the music's loudness", 204, 144, 188, 14},
        {1155, K::Label, "Target loudness:", 214, 162, 100, 14},
        {1156, K::Edit, "", 316, 162, 24, 14, kStyleCentred},
        {1157, K::Label, "LUFS", 343, 162, 49, 14},
        {1158, K::Label, "Join between songs:", 204, 181, 110, 14},
        {1159, K::Edit, "", 316, 181, 24, 14, kStyleCentred},
        {1176, K::Label, "Seconds", 343, 181, 49, 14},
        {1076, K::DefaultButton, "OK", 26, 148, 66, 14},
        {1077, K::CancelButton, "Cancel", 118, 148, 66, 14},
    }};
}

// The file's name, its length and the measured level are filled in when the dialog opens.
DialogTemplate MusicProperty() {
    return {IDD_DIALOG_MUSIC_PROPERTY, "Music properties", 262, 192, {
        {1180, K::Label, "File name:", 7, 7, 70, 14},
        {1181, K::Label, "", 80, 7, 175, 14},
        {1182, K::Label, "Start:", 7, 26, 70, 14},
        {1183, K::Edit, "", 80, 26, 40, 14, kStyleCentred},
        {1184, K::Label, "Seconds", 124, 26, 60, 14},
        {1185, K::Label, "End:", 7, 45, 70, 14},
        {1186, K::Edit, "", 80, 45, 40, 14, kStyleCentred},
        {1187, K::Label, "Seconds", 124, 45, 60, 14},
        {1188, K::Label, "", 7, 62, 248, 18},
        {1189, K::Label, "Volume:", 7, 83, 70, 14},
        {1190, K::Edit, "", 80, 83, 40, 14, kStyleCentred},
        {1191, K::Label, "dB", 124, 83, 60, 14},
        {1192, K::Label, "Fade in:", 7, 102, 70, 14},
        {1193, K::Edit, "", 80, 102, 40, 14, kStyleCentred},
        {1194, K::Label, "Seconds", 124, 102, 60, 14},
        {1195, K::Label, "Measured level:", 7, 121, 70, 15},
        {1196, K::Label, "", 80, 121, 175, 44},
        {1197, K::DefaultButton, "OK", 56, 170, 66, 14},
        {1198, K::CancelButton, "Cancel", 140, 170, 66, 14},
    }};
}

DialogTemplate ChangePhoto() {
    return {IDD_DIALOG_CHANGE_PHOTO, "Change the photo and transition property", 540, 305, {
        {1057, K::Label, "File name:", 7, 7, 68, 14},
        {1034, K::Edit, "", 78, 7, 126, 14},
        {1035, K::Button, "Browse", 205, 7, 66, 14},
        {1058, K::Label, "Photo Duration:", 7, 31, 68, 14},
        {1036, K::Edit, "", 78, 32, 28, 14, kStyleCentred},
        {1081, K::Label, "Seconds", 111, 31, 66, 14},
        {1059, K::Label, "Transition Effect:", 7, 55, 68, 14},
        {1012, K::DropList, "", 78, 56, 115, 224, kStyleNone, TransitionItems()},
        {1060, K::Label, "Transition Duration:", 7, 79, 68, 14},
        {1037, K::Edit, "", 78, 80, 28, 14, kStyleCentred},
        {1084, K::Label, "Seconds", 111, 79, 66, 14},
        {1125, K::Label, "Motion:", 196, 79, 40, 14},
        {1126, K::DropList, "", 238, 80, 121, 120},
        // The caption, beside what the dialog always had.
        {1127, K::GroupBox, "Caption", 366, 3, 167, 106},
        {1128, K::MultiLineEdit, "", 373, 16, 153, 52},
        {1129, K::Label, "Place:", 373, 79, 40, 14},
        {1152, K::DropList, "", 415, 80, 111, 60},
        // Below: the picture of the move and the photo's own framing and amount.
        {1199, K::GroupBox, "Move and framing", 7, 126, 526, 172},
        {1200, K::Picture, "", 14, 139, 300, 152},
        {1201, K::Label, "Framing:", 322, 139, 70, 14},
        {1202, K::DropList, "", 396, 139, 130, 60},
        {1203, K::Label, "Motion amount:", 322, 158, 70, 14},
        {1204, K::SpinBox, "", 396, 158, 36, 14},
        {1205, K::Label, "%", 435, 158, 12, 14},
        {1206, K::CheckBox, "Show's amount", 396, 175, 130, 14},
        {1207, K::Button, "From faces", 322, 196, 80, 14},
        {1208, K::Label, "", 322, 215, 204, 20},
        {1209, K::Label,
         "Drag a frame to move it, or its corner to resize it; with the picture chosen, the arrow keys, + and - do "
         "the same and Space picks the other frame. White boxes are the faces found. From faces forgets the frames "
         "drawn here.", 322, 238, 204, 53},
        // OK and Cancel come last in tab order, after the caption and the move.
        {1082, K::DefaultButton, "OK", 51, 111, 66, 14},
        {1083, K::CancelButton, "Cancel", 168, 111, 66, 14},
    }};
}

// The font, alignment and motion lists are filled in when the dialog opens.
DialogTemplate TitleCardDialog() {
    return {IDD_DIALOG_TITLE_CARD, "Title card", 418, 240, {
        {1130, K::Label, "Text:", 7, 7, 200, 10},
        {1131, K::MultiLineEdit, "", 7, 18, 209, 50},
        {1132, K::Label, "Font:", 7, 74, 62, 14},
        {1133, K::DropList, "", 72, 74, 100, 140},
        {1134, K::CheckBox, "Bold", 176, 74, 40, 14},
        {1135, K::Label, "Size:", 7, 93, 62, 14},
        {1136, K::Edit, "", 72, 93, 24, 14, kStyleCentred},
        {1137, K::Label, "% of the picture height", 99, 93, 117, 14},
        {1138, K::Label, "Colour:", 7, 112, 62, 14},
        {1139, K::Button, "", 72, 112, 40, 14},
        {1140, K::Label, "Alignment:", 7, 131, 62, 14},
        {1141, K::DropList, "", 72, 131, 100, 60},
        {1142, K::GroupBox, "Background", 7, 150, 209, 82},
        {1143, K::RadioButton, "A colour", 13, 161, 90, 14},
        {1144, K::Button, "", 106, 161, 40, 14},
        {1145, K::RadioButton, "A blurred copy of a photo", 13, 177, 197, 14},
        {1146, K::RadioButton, "Over a photo", 13, 193, 197, 14},
        {1147, K::Edit, "", 13, 211, 140, 14},
        {1148, K::Button, "Browse", 155, 211, 55, 14},
        {1149, K::Label, "Preview:", 224, 7, 160, 10},
        {1150, K::Picture, "", 224, 18, 160, 75},
        // How long the card is shown and how it moves, as the photo property dialog sets them.
        {1058, K::Label, "Photo Duration:", 224, 102, 68, 14},
        {1036, K::Edit, "", 295, 102, 28, 14, kStyleCentred},
        {1081, K::Label, "Seconds", 328, 102, 56, 14},
        {1059, K::Label, "Transition Effect:", 224, 121, 68, 14},
        {1012, K::DropList, "", 295, 121, 115, 224, kStyleNone, TransitionItems()},
        {1060, K::Label, "Transition Duration:", 224, 140, 68, 14},
        {1037, K::Edit, "", 295, 140, 28, 14, kStyleCentred},
        {1084, K::Label, "Seconds", 328, 140, 56, 14},
        {1125, K::Label, "Motion:", 224, 159, 68, 14},
        {1126, K::DropList, "", 295, 159, 115, 120},
        {1151, K::DefaultButton, "OK", 246, 218, 66, 14},
        {1153, K::CancelButton, "Cancel", 318, 218, 66, 14},
    }};
}

DialogTemplate CaptionStyleDialog() {
    return {IDD_DIALOG_CAPTION_STYLE, "Captions", 300, 182, {
        {1160, K::Label, "Font:", 7, 7, 80, 14},
        {1161, K::DropList, "", 90, 7, 140, 140},
        {1162, K::Label, "Size:", 7, 26, 80, 14},
        {1163, K::Edit, "", 90, 26, 28, 14, kStyleCentred},
        {1164, K::Label, "% of the picture height", 121, 26, 172, 14},
        {1165, K::Label, "Colour:", 7, 45, 80, 14},
        {1166, K::Button, "", 90, 45, 40, 14},
        {1167, K::Label, "Backing:", 7, 64, 80, 14},
        {1168, K::DropList, "", 90, 64, 140, 60},
        {1169, K::CheckBox, "Captions move with their photo", 7, 83, 286, 14},
        {1170, K::Label, "Caption photos without their own caption with:", 7, 102, 286, 10},
        {1171, K::DropList, "", 90, 114, 140, 60},
        {1172, K::Label, "Show captions:", 7, 135, 80, 14},
        {1173, K::DropList, "", 90, 135, 140, 60},
        {1174, K::DefaultButton, "OK", 76, 160, 66, 14},
        {1175, K::CancelButton, "Cancel", 158, 160, 66, 14},
    }};
}

DialogTemplate FilterProperty() {
    return {IDD_DIALOG_FILTER_PROPERTY, "Set Filter's Properties", 187, 196, {
        {1094, K::ListBox, "", 7, 7, 173, 159},
        {1095, K::Button, "&Settings", 13, 175, 66, 14, kStyleDisabled},
        {IDCANCEL, K::CancelButton, "&Continue", 103, 175, 66, 14},
    }};
}

DialogTemplate MainWindow() {
    DialogTemplate t{IDD_KAVREL_DIALOG, "Kavrel", 414, 290, {
        {0, K::GroupBox, "", 7, 0, 400, 39},
        {1006, K::IconButton, "Add Photo", 9, 5, 66, 32},
        {1007, K::IconButton, "Add Music", 75, 5, 66, 32},
        {1016, K::IconButton, "Transition", 141, 5, 66, 32},
        {1003, K::IconButton, "Options", 207, 5, 66, 32},
        {1019, K::IconButton, "Preview", 273, 5, 66, 32},
        {1000, K::IconButton, "Convert", 339, 5, 66, 32},
        {1008, K::ListView, "", 7, 44, 368, 100},
    }};
    int y = 44;
    for (int id : {1031, 1032, 1029, 1030, 1033}) {
        t.controls.push_back({id, K::IconButton, "", 383, y, 24, 16});
        y += 21;
    }
    t.controls.push_back({1009, K::ListView, "", 7, 153, 197, 73});
    y = 153;
    for (int id : {1040, 1041, 1038, 1039}) {
        t.controls.push_back({id, K::IconButton, "", 212, y, 24, 16});
        y += 19;
    }
    t.controls.push_back({1017, K::Picture, "", 259, 153, 116, 73});
    int x = 7;
    for (auto [id, text] : {std::pair{1067, "&Help"}, {1047, "Homepage"}, {1042, "About"}, {1054, "Exit"}}) {
        t.controls.push_back({id, K::IconButton, text, x, 233, 66, 32});
        x += 111;
    }
    t.controls.push_back({1021, K::StatusText, "", 7, 269, 400, 14});
    return t;
}

DialogTemplate AboutBox() {
    return {IDD_ABOUTBOX, "About Kavrel", 240, 150, {
        {1100, K::Picture, "", 10, 10, 32, 32},
        {1064, K::Label, "Kavrel", 50, 10, 180, 12},
        {1102, K::Label, "Made by the Kavrel developers", 50, 24, 180, 12},
        {1049, K::Hyperlink, "Kavrel home page", 50, 42, 180, 12},
        {1050, K::Hyperlink, "Support Email: Click here", 50, 56, 180, 12},
        {1103, K::Label,
         "Kavrel uses FFmpeg (libavformat, libavcodec, libswscale, libswresample; LGPL 2.1 or later), "
         "Qt 6 (LGPL 3) and, through FFmpeg, x264 and LAME.", 10, 74, 220, 44},
        {IDOK, K::DefaultButton, "OK", 87, 126, 66, 16},
    }};
}

}  // namespace

const DialogTemplate& FindDialogTemplate(int id) {
    static const std::map<int, DialogTemplate> templates = [] {
        std::map<int, DialogTemplate> all;
        for (DialogTemplate t : {OutputOptions(), TransitionSettings(), ChangePhoto(), TitleCardDialog(), CaptionStyleDialog(),
                                  MusicProperty(), FilterProperty(), MainWindow(), AboutBox()}) {
            all.emplace(t.id, std::move(t));
        }
        return all;
    }();
    return templates.at(id);
}
