#pragma once
// Makes or edits a title card: its text, font, size, colour and alignment, and what is behind it
// (a colour, a blurred copy of a photo, or the photo itself), with a preview drawn as the show
// draws it; and, as for a photo, how long it is shown, its transition and its motion. The caller
// copies the card in, and copies it back only after OK.

#include <QTimer>
#include <string>

#include "platform/render/text/text_items.h"
#include "settings/colour_button.h"
#include "settings/photo_timing_dialog.h"

class FileDialogs;

class CTitleCard : public PhotoTimingDialog {
public:
    CTitleCard(MessageBoxes& boxes, FileDialogs& files, QWidget* parent = nullptr);

    TitleCard m_card;
    std::string m_strPhoto;  // the photo behind the text; empty for a colour
    // Tests answer in place of the desktop's colour dialog.
    ColourChooser chooseColour;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    void OnBrowse();
    void OnColour(std::uint32_t* colour, int button);
    // The card as the controls show it, with a size in range, for the preview.
    TitleCard ShownCard() const;
    TitleBackground ShownBackground() const;
    void ShowPreview();
    void Refused(const std::string& text);

    FileDialogs& files_;
    std::uint32_t colour_ = kWhiteColour, backgroundColour_ = kBlackColour;
    QTimer previewTimer_;
};

// "DejaVu Sans Bold" is the family "DejaVu Sans", bold.
struct FontChoice {
    std::string family;
    bool bold = false;
};
FontChoice SplitFont(const std::string& font);
std::string JoinFont(const FontChoice& choice);
