#pragma once
// Edits one photo of the list: its file, how long it is shown, the transition it leads into the
// next photo with and how long that lasts, and how it moves. The caller copies the photo in, and copies the fields
// back only after OK. Beside them, the photo's caption and where it stands. Below, a picture of
// the photo with the views its move starts and ends on (or its crop), which the user may draw,
// and the photo's own framing and motion amount.

#include <functional>
#include <optional>
#include <string>

#include "engine/motion_aiming.h"
#include "platform/render/text/text_items.h"
#include "settings/photo_timing_dialog.h"

class FileDialogs;
class PhotoViewsPicture;
struct PhotoGeometry;

// What the picture of the move takes from the show.
struct PhotoMoveContext {
    int frameWidth = 0, frameHeight = 0;  // the video's; 0 × 0: the photo's own shape
    Framing showFraming = Framing::Fit;
    int showAmountPercent = 15;
    // The move the video draws for the photo as the dialog has it; null: the move without faces.
    std::function<PhotoMotion(const PhotoItem&)> motionOf;
    FacesOf facesOf;  // null: no faces are shown
};

class CPhotoProperty : public PhotoTimingDialog {
public:
    CPhotoProperty(MessageBoxes& boxes, FileDialogs& files, QWidget* parent = nullptr);
    ~CPhotoProperty() override;

    std::string m_strFileName;
    Caption m_caption;
    PhotoFraming m_framing;  // its views change only where the user drew them or chose From faces
    PhotoMoveContext m_move;

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    void OnBrowse();
    bool ExchangeCaption();
    void PutPictureInPlace();
    void InitFraming();
    void LoadPicture(const std::string& path);
    // The photo as the controls have it now.
    PhotoItem CurrentPhoto() const;
    PhotoFraming ChosenFraming() const;
    PhotoGeometry Geometry(const PhotoItem& photo) const;
    void ShowViews();
    void OnFramingChosen();
    void OnShowsAmount();
    void OnFromFaces();

    FileDialogs& files_;
    PhotoViewsPicture* picture_ = nullptr;
    std::string shownFile_;  // the file the picture is of
    std::optional<std::pair<PhotoRect, PhotoRect>> drawn_;
};
