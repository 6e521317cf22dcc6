#include "settings/caption_style_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <algorithm>
#include <cmath>

#include "controls/data_exchange.h"
#include "lang/language.h"
#include "settings/font_list.h"

namespace {
constexpr int kFontList = 1161, kSizeEdit = 1163, kColourButton = 1166, kBackingList = 1168, kMovesCheck = 1169,
              kAutomaticList = 1171, kOutputList = 1173;
// String ids of the lists' first texts.
constexpr int kBackingNames = 250, kAutomaticNames = 252, kOutputNames = 255, kColourTitle = 265;
constexpr double kMinPercent = 1, kMaxPercent = 20;

void Fill(QComboBox* list, int firstString, int count, int chosen) {
    list->clear();
    for (int i = 0; i < count; ++i) list->addItem(QString::fromStdString(theLanguage.GetString(firstString + i)));
    list->setCurrentIndex(std::clamp(chosen, 0, count - 1));
}
}  // namespace

CCaptionStyle::CCaptionStyle(MessageBoxes& boxes, QWidget* parent)
    : TemplateDialog(IDD_DIALOG_CAPTION_STYLE, boxes, parent) {
    chooseColour = DesktopColourChooser(ItemAs<QPushButton>(kColourButton), theLanguage.GetString(kColourTitle));
    OnCommand(kColourButton, [this] {
        if (const std::optional<std::uint32_t> chosen = chooseColour(colour_)) {
            colour_ = *chosen;
            ShowColour(ItemAs<QPushButton>(kColourButton), colour_);
        }
    });
}

void CCaptionStyle::OnInitDialog() {
    FillFontList(ItemAs<QComboBox>(kFontList), m_style.font);
    SetNumber(kSizeEdit, std::round(m_style.size * 2000) / 20);  // percent, to a tenth
    colour_ = m_style.colour;
    ShowColour(ItemAs<QPushButton>(kColourButton), colour_);
    Fill(ItemAs<QComboBox>(kBackingList), kBackingNames, 2, static_cast<int>(m_style.backing));
    ItemAs<QCheckBox>(kMovesCheck)->setChecked(m_style.movesWithPhoto);
    Fill(ItemAs<QComboBox>(kAutomaticList), kAutomaticNames, 3, static_cast<int>(m_style.automatic));
    Fill(ItemAs<QComboBox>(kOutputList), kOutputNames, 3, static_cast<int>(m_style.output));
    theLanguage.TranslateDialog(this, IDD_DIALOG_CAPTION_STYLE);
}

void CCaptionStyle::OnOK() {
    const std::optional<double> percent =
        ExchangeNumber(kSizeEdit, [](double v) { return CheckNumberRange(v, kMinPercent, kMaxPercent); });
    if (!percent) return;
    m_style.font = ItemText(kFontList);
    m_style.size = std::round(*percent * 2) / 200;  // in steps of half a percent
    m_style.colour = colour_;
    m_style.backing = static_cast<CaptionBacking>(ItemAs<QComboBox>(kBackingList)->currentIndex());
    m_style.movesWithPhoto = ItemAs<QCheckBox>(kMovesCheck)->isChecked();
    m_style.automatic = static_cast<CaptionSource>(ItemAs<QComboBox>(kAutomaticList)->currentIndex());
    m_style.output = static_cast<CaptionOutput>(ItemAs<QComboBox>(kOutputList)->currentIndex());
    done(Accepted);
}
