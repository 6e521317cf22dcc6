#pragma once
// Edits how the show's captions look and where they go: font, size, colour, backing, whether a
// caption moves with its photo, what photos without a caption of their own are captioned with,
// and whether captions are drawn into the picture, written as subtitles or both. The caller
// copies the style in, and copies it back only after OK.

#include "controls/template_dialog.h"
#include "platform/render/text/text_items.h"
#include "settings/colour_button.h"

class CCaptionStyle : public TemplateDialog {
public:
    explicit CCaptionStyle(MessageBoxes& boxes, QWidget* parent = nullptr);

    CaptionStyle m_style;
    // Tests answer in place of the desktop's colour dialog.
    ColourChooser chooseColour;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    std::uint32_t colour_ = kWhiteColour;
};
