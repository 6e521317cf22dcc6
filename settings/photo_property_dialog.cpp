#include "settings/photo_property_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <algorithm>

#include "app/slideshow_project.h"
#include "controls/accessible_names.h"
#include "lang/language.h"
#include "platform/com/failure_texts.h"
#include "platform/media/thumbnails/thumbnail_picture.h"
#include "platform/render/compose/aimed_motion.h"
#include "platform/shell/file_probe.h"
#include "platform/shell/message_boxes.h"
#include "settings/photo_views_picture.h"

namespace {
constexpr int kFileEdit = 1034, kBrowse = 1035, kCaptionEdit = 1128, kPlaceList = 1152, kMotionList = 1126;
constexpr int kPicture = 1200, kFramingList = 1202, kAmountSpin = 1204, kShowsAmount = 1206, kFromFaces = 1207,
              kViewsState = 1208;
constexpr int kPlaceNames = 247, kTextTooLong = 259, kCaptionTooManyLines = 262;  // string ids
constexpr int kFramingNames = 173, kShowsFraming = 357, kDrawnViews = 354, kAimedViews = 355, kPlainViews = 356,
              kPictureName = 407, kNoPicture = 350;
constexpr int kPictureEdge = 480;  // pixels: sharp enough for the picture at any font size

std::string Text(int id) { return theLanguage.GetString(id); }
}  // namespace

CPhotoProperty::CPhotoProperty(MessageBoxes& boxes, FileDialogs& files, QWidget* parent)
    : PhotoTimingDialog(IDD_DIALOG_CHANGE_PHOTO, boxes, parent), files_(files) {
    OnCommand(kBrowse, [this] { OnBrowse(); });
    PutPictureInPlace();
    OnCommand(kMotionList, [this] { ShowViews(); });
    OnCommand(kFramingList, [this] { OnFramingChosen(); });
    OnCommand(kFromFaces, [this] { OnFromFaces(); });
    OnCommand(kShowsAmount, [this] { OnShowsAmount(); });
    connect(ItemAs<QSpinBox>(kAmountSpin), &QSpinBox::valueChanged, this, [this] { ShowViews(); });
    connect(ItemAs<QLineEdit>(kFileEdit), &QLineEdit::editingFinished, this, [this] {
        if (ItemText(kFileEdit) == shownFile_) return;
        LoadPicture(ItemText(kFileEdit));
        ShowViews();
    });
}

// A dialog destroyed while shown hides as QWidget, after this dialog's members are gone: the file
// field's focus leaving then must not reach them.
CPhotoProperty::~CPhotoProperty() { ItemAs<QLineEdit>(kFileEdit)->disconnect(this); }

// The table's black box gives way to the picture that draws the views, in its place and tab order.
void CPhotoProperty::PutPictureInPlace() {
    picture_ = new PhotoViewsPicture(this);
    ReplaceItem(kPicture, picture_);
    picture_->setProperty(kNameStringProperty, kPictureName);
    setTabOrder(Item(kPlaceList), picture_);
    setTabOrder(picture_, Item(kFramingList));
    picture_->onDrawn = [this](const PhotoRect& start, const PhotoRect& end) {
        drawn_ = {start, end};
        SetItemText(kViewsState, Text(kDrawnViews));
    };
}

void CPhotoProperty::OnInitDialog() {
    SetItemText(kFileEdit, m_strFileName);
    ShowTiming();
    SetItemText(kCaptionEdit, m_caption.text);
    auto* places = ItemAs<QComboBox>(kPlaceList);
    for (int i = 0; i < 3; ++i) places->addItem(QString::fromStdString(theLanguage.GetString(kPlaceNames + i)));
    places->setCurrentIndex(std::clamp(static_cast<int>(m_caption.place), 0, 2));
    theLanguage.TranslateDialog(this, IDD_DIALOG_CHANGE_PHOTO);
    InitFraming();
    if (m_framing.Drawn()) drawn_ = {*m_framing.from, *m_framing.to};
    LoadPicture(m_strFileName);
    ShowViews();
}

void CPhotoProperty::InitFraming() {
    auto* framings = ItemAs<QComboBox>(kFramingList);
    framings->clear();
    framings->addItem(QString::fromStdString(Text(kShowsFraming)));
    for (int i = 0; i < 3; ++i) framings->addItem(QString::fromStdString(Text(kFramingNames + i)));
    framings->setCurrentIndex(m_framing.framing ? static_cast<int>(*m_framing.framing) + 1 : 0);
    auto* amount = ItemAs<QSpinBox>(kAmountSpin);
    amount->setRange(kMinMotionAmountPercent, kMaxMotionAmountPercent);
    amount->setValue(m_framing.motionAmountPercent.value_or(m_move.showAmountPercent));
    amount->setEnabled(m_framing.motionAmountPercent.has_value());
    ItemAs<QCheckBox>(kShowsAmount)->setChecked(!m_framing.motionAmountPercent.has_value());
}

void CPhotoProperty::LoadPicture(const std::string& path) {
    shownFile_ = path;
    ThumbnailPicture thumbnail;
    std::string error;
    QImage photo;
    if (MakeThumbnail(path, kPictureEdge, &thumbnail, &error)) {
        photo = QImage(thumbnail.rgba.data(), thumbnail.width, thumbnail.height, 4 * thumbnail.width,
                       QImage::Format_RGBA8888)
                    .copy();
    }
    picture_->SetPhoto(photo);
    picture_->setToolTip(photo.isNull() ? QString::fromStdString(FilledText(Text(kNoPicture).c_str(), {error}))
                                        : QString());
    std::vector<PhotoRect> faces;
    if (m_move.facesOf) {
        const FoundFaces found = m_move.facesOf(path);
        if (found.read) faces = found.faces;
    }
    picture_->SetFaces(std::move(faces));
}

PhotoFraming CPhotoProperty::ChosenFraming() const {
    PhotoFraming framing;
    const int chosen = ItemAs<QComboBox>(kFramingList)->currentIndex();
    if (chosen > 0) framing.framing = FramingFromInt(chosen - 1);
    if (!ItemAs<QCheckBox>(kShowsAmount)->isChecked()) framing.motionAmountPercent = ItemAs<QSpinBox>(kAmountSpin)->value();
    if (drawn_) {
        framing.from = drawn_->first;
        framing.to = drawn_->second;
    }
    return framing;
}

PhotoItem CPhotoProperty::CurrentPhoto() const {
    PhotoItem photo;
    photo.path = ItemText(kFileEdit);
    photo.motion = MotionKindFromInt(ItemAs<QComboBox>(kMotionList)->currentIndex());
    photo.framing = ChosenFraming();
    return photo;
}

PhotoGeometry CPhotoProperty::Geometry(const PhotoItem& photo) const {
    const QSize size = picture_->PhotoSize();
    const bool ownShape = m_move.frameWidth <= 0 || m_move.frameHeight <= 0;
    return {static_cast<double>(size.width()), static_cast<double>(size.height()),
            ownShape ? size.width() : m_move.frameWidth, ownShape ? size.height() : m_move.frameHeight,
            photo.framing.framing.value_or(m_move.showFraming)};
}

// What the video will draw: the views drawn here, else the move's own (aimed at faces or plain).
void CPhotoProperty::ShowViews() {
    const bool shown = picture_->HasPhoto();
    picture_->setEnabled(shown);
    Item(kFromFaces)->setEnabled(shown);
    if (!shown) {
        SetItemText(kViewsState, "");
        return;
    }
    const PhotoItem photo = CurrentPhoto();
    const PhotoGeometry g = Geometry(photo);
    PhotoMotion motion;
    if (m_move.motionOf) {
        motion = m_move.motionOf(photo);
    } else {
        motion.kind = photo.motion;
        motion.amount = photo.framing.motionAmountPercent.value_or(m_move.showAmountPercent) / 100.0;
        if (photo.framing.Drawn()) {
            motion.from = photo.framing.from;
            motion.to = photo.framing.to;
        }
    }
    const ViewShape shape{g.photoWidth / g.photoHeight, static_cast<double>(g.frameWidth) / g.frameHeight,
                          g.framing == Framing::Fill};
    const PhotoRect start = motion.HasViews() ? *motion.from : PlainView(g, motion, 0);
    const PhotoRect end = motion.HasViews() ? *motion.to : PlainView(g, motion, 1);
    picture_->SetViews(KeptView(start, shape), KeptView(end, shape), motion.Moves(), shape);
    SetItemText(kViewsState, Text(drawn_ ? kDrawnViews : motion.HasViews() ? kAimedViews : kPlainViews));
}

// Views drawn for another framing are kept within what this one allows.
void CPhotoProperty::OnFramingChosen() {
    if (drawn_ && picture_->HasPhoto()) {
        const PhotoGeometry g = Geometry(CurrentPhoto());
        const ViewShape shape{g.photoWidth / g.photoHeight, static_cast<double>(g.frameWidth) / g.frameHeight,
                              g.framing == Framing::Fill};
        drawn_ = {KeptView(drawn_->first, shape), KeptView(drawn_->second, shape)};
    }
    ShowViews();
}

void CPhotoProperty::OnShowsAmount() {
    const bool shows = ItemAs<QCheckBox>(kShowsAmount)->isChecked();
    ItemAs<QSpinBox>(kAmountSpin)->setEnabled(!shows);
    if (shows) ItemAs<QSpinBox>(kAmountSpin)->setValue(m_move.showAmountPercent);
    ShowViews();
}

void CPhotoProperty::OnFromFaces() {
    drawn_.reset();
    ShowViews();
}

void CPhotoProperty::OnBrowse() {
    const std::optional<std::string> chosen = ChoosePhoto(files_);
    if (!chosen) return;
    m_strFileName = *chosen;
    SetItemText(kFileEdit, m_strFileName);
    LoadPicture(m_strFileName);
    ShowViews();
}

void CPhotoProperty::OnOK() {
    const std::optional<Timing> timing = ReadTiming();
    if (!timing) return;
    const std::string name = ItemText(kFileEdit);
    // The photo list keeps at most this much of a name; a longer one would be cut into another file.
    if (name.size() > kMaxPathBytes) {
        boxes_.Show({MessageOwner::Dialog,
                     "The file name is longer than " + std::to_string(kMaxPathBytes) + " bytes.", "",
                     MessageButtons::Ok, MessageIcon::None});
        return;
    }
    if (!FileCanBeOpenedForReading(name)) {
        boxes_.Show({MessageOwner::Dialog, "The file does not exist!", "", MessageButtons::Ok, MessageIcon::None});
        return;
    }
    if (!ExchangeCaption()) return;
    m_strFileName = name;
    TakeTiming(*timing);
    m_framing = ChosenFraming();
    done(Accepted);
}

// Empty lines at the end are dropped; more lines than a caption has are refused.
bool CPhotoProperty::ExchangeCaption() {
    std::string text = ItemText(kCaptionEdit);
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
    std::string refusal;
    if (text.size() > kMaxTextBytes) {
        refusal = FilledText(theLanguage.GetString(kTextTooLong).c_str(), {std::to_string(kMaxTextBytes)});
    } else if (std::count(text.begin(), text.end(), '\n') >= kMaxCaptionLines) {
        refusal = FilledText(theLanguage.GetString(kCaptionTooManyLines).c_str(), {std::to_string(kMaxCaptionLines)});
    }
    if (!refusal.empty()) {
        boxes_.Show({MessageOwner::Dialog, refusal, "", MessageButtons::Ok, MessageIcon::None});
        ItemAs<QPlainTextEdit>(kCaptionEdit)->setFocus();
        return false;
    }
    m_caption.text = text;
    m_caption.place = static_cast<CaptionPlace>(ItemAs<QComboBox>(kPlaceList)->currentIndex());
    return true;
}
