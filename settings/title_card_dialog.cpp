#include "settings/title_card_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <cmath>

#include "app/slideshow_project.h"
#include "controls/data_exchange.h"
#include "lang/language.h"
#include "platform/com/failure_texts.h"
#include "platform/render/compose/title_picture.h"
#include "platform/shell/file_probe.h"
#include "platform/shell/message_boxes.h"
#include "controls/accessible_names.h"
#include "settings/font_list.h"

namespace {
constexpr int kTextEdit = 1131, kFontList = 1133, kBoldCheck = 1134, kSizeEdit = 1136, kColourButton = 1139,
              kAlignList = 1141, kColourRadio = 1143, kBackgroundColourButton = 1144, kBlurredRadio = 1145,
              kOverRadio = 1146, kPhotoEdit = 1147, kBrowse = 1148, kPreview = 1150;
constexpr int kAlignNames = 244;  // string ids: left, centre, right
constexpr int kPhotoName = 406;   // what a screen reader calls the photo's field
constexpr int kNoText = 258, kTextTooLong = 259, kNoPhoto = 260, kPhotoUnreadable = 261, kNameTooLong = 264,
              kColourTitle = 265;
constexpr double kMinPercent = 1, kMaxPercent = 50;
constexpr const char* kBoldWord = " Bold";
}  // namespace

FontChoice SplitFont(const std::string& font) {
    const std::string word = kBoldWord;
    if (font.size() > word.size() && font.ends_with(word)) return {font.substr(0, font.size() - word.size()), true};
    return {font, false};
}

std::string JoinFont(const FontChoice& choice) { return choice.family + (choice.bold ? kBoldWord : ""); }

CTitleCard::CTitleCard(MessageBoxes& boxes, FileDialogs& files, QWidget* parent)
    : PhotoTimingDialog(IDD_DIALOG_TITLE_CARD, boxes, parent), files_(files) {
    chooseColour = DesktopColourChooser(ItemAs<QPushButton>(kColourButton), theLanguage.GetString(kColourTitle));
    previewTimer_.setSingleShot(true);
    previewTimer_.setInterval(0);
    connect(&previewTimer_, &QTimer::timeout, this, [this] { ShowPreview(); });
    OnCommand(kBrowse, [this] { OnBrowse(); });
    OnCommand(kColourButton, [this] { OnColour(&colour_, kColourButton); });
    OnCommand(kBackgroundColourButton, [this] { OnColour(&backgroundColour_, kBackgroundColourButton); });
    for (int id : {kFontList, kBoldCheck, kAlignList, kColourRadio, kBlurredRadio, kOverRadio})
        OnCommand(id, [this] { previewTimer_.start(); });
    connect(ItemAs<QPlainTextEdit>(kTextEdit), &QPlainTextEdit::textChanged, this, [this] { previewTimer_.start(); });
    for (int id : {kSizeEdit, kPhotoEdit})
        connect(ItemAs<QLineEdit>(id), &QLineEdit::textChanged, this, [this] { previewTimer_.start(); });
}

void CTitleCard::OnInitDialog() {
    Item(kPhotoEdit)->setProperty(kNameStringProperty, kPhotoName);
    SetItemText(kTextEdit, m_card.text);
    const FontChoice font = SplitFont(m_card.font);
    FillFontList(ItemAs<QComboBox>(kFontList), font.family);
    ItemAs<QCheckBox>(kBoldCheck)->setChecked(font.bold);
    SetNumber(kSizeEdit, std::round(m_card.size * 1000) / 10);
    colour_ = m_card.colour;
    backgroundColour_ = m_card.backgroundColour;
    ShowColour(ItemAs<QPushButton>(kColourButton), colour_);
    ShowColour(ItemAs<QPushButton>(kBackgroundColourButton), backgroundColour_);
    auto* align = ItemAs<QComboBox>(kAlignList);
    for (int i = 0; i < 3; ++i) align->addItem(QString::fromStdString(theLanguage.GetString(kAlignNames + i)));
    align->setCurrentIndex(std::clamp(static_cast<int>(m_card.align), 0, 2));
    const int radio = m_card.background == TitleBackground::BlurredPhoto ? kBlurredRadio
                      : m_card.background == TitleBackground::OverPhoto  ? kOverRadio
                                                                         : kColourRadio;
    ItemAs<QRadioButton>(radio)->setChecked(true);
    SetItemText(kPhotoEdit, m_strPhoto);
    ShowTiming();
    theLanguage.TranslateDialog(this, IDD_DIALOG_TITLE_CARD);
    ShowPreview();
}

TitleBackground CTitleCard::ShownBackground() const {
    if (ItemAs<QRadioButton>(kBlurredRadio)->isChecked()) return TitleBackground::BlurredPhoto;
    if (ItemAs<QRadioButton>(kOverRadio)->isChecked()) return TitleBackground::OverPhoto;
    return TitleBackground::Colour;
}

TitleCard CTitleCard::ShownCard() const {
    TitleCard card;
    card.text = ItemText(kTextEdit);
    card.font = JoinFont({ItemText(kFontList), ItemAs<QCheckBox>(kBoldCheck)->isChecked()});
    const double percent = ReadLeadingNumber(ItemText(kSizeEdit)).value_or(m_card.size * 100);
    card.size = std::clamp(percent, kMinPercent, kMaxPercent) / 100;
    card.colour = colour_;
    card.align = static_cast<TextAlign>(std::max(0, ItemAs<QComboBox>(kAlignList)->currentIndex()));
    card.background = ShownBackground();
    card.backgroundColour = backgroundColour_;
    return card;
}

// Drawn at the shape of a 16:9 frame, as large as the box holds.
void CTitleCard::ShowPreview() {
    auto* box = ItemAs<QLabel>(kPreview);
    const int width = std::min(box->width(), box->height() * 16 / 9);
    VideoPicture picture;
    std::string error;
    if (!DrawTitlePicture(ShownCard(), ItemText(kPhotoEdit), width, width * 9 / 16, &picture, &error)) {
        box->setPixmap(QPixmap());
        box->setToolTip(QString::fromStdString(error));
        return;
    }
    const QImage image(picture.pixels->data(), picture.width, picture.height, picture.stride, QImage::Format_RGB32);
    box->setPixmap(QPixmap::fromImage(image.copy()));
    box->setToolTip(QString());
}

void CTitleCard::OnColour(std::uint32_t* colour, int button) {
    const std::optional<std::uint32_t> chosen = chooseColour(*colour);
    if (!chosen) return;
    *colour = *chosen;
    ShowColour(ItemAs<QPushButton>(button), *colour);
    previewTimer_.start();
}

void CTitleCard::OnBrowse() {
    const std::optional<std::string> chosen = ChoosePhoto(files_);
    if (!chosen) return;
    SetItemText(kPhotoEdit, *chosen);
    if (ShownBackground() == TitleBackground::Colour) ItemAs<QRadioButton>(kOverRadio)->setChecked(true);
    previewTimer_.start();
}

void CTitleCard::Refused(const std::string& text) {
    boxes_.Show({MessageOwner::Dialog, text, "", MessageButtons::Ok, MessageIcon::None});
}

void CTitleCard::OnOK() {
    TitleCard card = ShownCard();
    if (card.text.find_first_not_of(" \t\n") == std::string::npos) {
        Refused(theLanguage.GetString(kNoText));
        ItemAs<QPlainTextEdit>(kTextEdit)->setFocus();
        return;
    }
    if (card.text.size() > kMaxTextBytes) {
        Refused(FilledText(theLanguage.GetString(kTextTooLong).c_str(), {std::to_string(kMaxTextBytes)}));
        ItemAs<QPlainTextEdit>(kTextEdit)->setFocus();
        return;
    }
    const std::optional<double> percent =
        ExchangeNumber(kSizeEdit, [](double v) { return CheckNumberRange(v, kMinPercent, kMaxPercent); });
    if (!percent) return;
    card.size = *percent / 100;
    const std::optional<Timing> timing = ReadTiming();
    if (!timing) return;
    std::string photo = ItemText(kPhotoEdit);
    if (card.background == TitleBackground::Colour) {
        photo.clear();
    } else if (photo.empty()) {
        Refused(theLanguage.GetString(kNoPhoto));
        return;
    } else if (photo.size() > kMaxPathBytes) {
        Refused(FilledText(theLanguage.GetString(kNameTooLong).c_str(), {std::to_string(kMaxPathBytes)}));
        return;
    } else if (!FileCanBeOpenedForReading(photo)) {
        Refused(FilledText(theLanguage.GetString(kPhotoUnreadable).c_str(), {photo}));
        return;
    }
    m_card = card;
    m_strPhoto = photo;
    TakeTiming(*timing);
    done(Accepted);
}
