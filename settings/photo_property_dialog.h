#pragma once
// Edits one photo of the list: its file, how long it is shown, the transition it leads into the
// next photo with and how long that lasts, and how it moves. The caller copies the photo in, and copies the fields
// back only after OK. Below, the photo's caption and where it stands.

#include <string>

#include "settings/photo_timing_dialog.h"
#include "platform/render/text/text_items.h"

class FileDialogs;

class CPhotoProperty : public PhotoTimingDialog {
public:
    CPhotoProperty(MessageBoxes& boxes, FileDialogs& files, QWidget* parent = nullptr);

    std::string m_strFileName;
    Caption m_caption;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    void OnBrowse();
    bool ExchangeCaption();

    FileDialogs& files_;
};
