#include "settings/music_property_dialog.h"

#include <QLineEdit>
#include <cmath>

#include "app/path_rules.h"
#include "controls/data_exchange.h"
#include "lang/language.h"
#include "platform/com/failure_texts.h"
#include "platform/shell/message_boxes.h"

namespace {
constexpr int kFileName = 1181, kStartEdit = 1183, kEndEdit = 1186, kLengthLine = 1188, kVolumeEdit = 1190,
              kFadeInEdit = 1193, kLevelLabel = 1195, kLevelLine = 1196;
constexpr int kFileLength = 280, kLengthUnknown = 281, kStartNotBeforeEnd = 282, kBeyondFile = 283;  // string ids
constexpr double kUnitsPerSecond = 1e7;
// Longer than any song; what is beyond a known length is said so in words of its own.
constexpr double kMaxTrimSec = 24 * 3600;

double Seconds(REFERENCE_TIME t) { return static_cast<double>(t) / kUnitsPerSecond; }
REFERENCE_TIME Units(double seconds) { return std::llround(seconds * kUnitsPerSecond); }

std::string Filled(int id, std::initializer_list<std::string> values) {
    return FilledText(theLanguage.GetString(id).c_str(), values);
}

std::string Blank(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    while (!text.empty() && text.front() == ' ') text.erase(0, 1);
    return text;
}
}  // namespace

CMusicProperty::CMusicProperty(MessageBoxes& boxes, QWidget* parent)
    : TemplateDialog(IDD_DIALOG_MUSIC_PROPERTY, boxes, parent) {}

void CMusicProperty::SetMeasuredLevel(const std::string& text) {
    measuredLevel_ = text;
    if (Item(kLevelLine) == nullptr) return;
    SetItemText(kLevelLine, text);
    ShowItem(kLevelLabel, !text.empty());
    ShowItem(kLevelLine, !text.empty());
}

void CMusicProperty::OnInitDialog() {
    theLanguage.TranslateDialog(this, IDD_DIALOG_MUSIC_PROPERTY);
    SetItemText(kFileName, FileNamePart(m_strFileName));
    Item(kFileName)->setToolTip(QString::fromStdString(m_strFileName));
    SetNumber(kStartEdit, Seconds(m_song.trimStart));
    const REFERENCE_TIME end = m_song.trimEnd != 0 ? m_song.trimEnd : m_fileLength;
    if (end > 0) SetNumber(kEndEdit, Seconds(end));
    SetItemText(kLengthLine, LengthKnown() ? Filled(kFileLength, {FormatExchangedDouble(Seconds(m_fileLength))})
                                           : Filled(kLengthUnknown, {}));
    SetNumber(kVolumeEdit, m_song.volumeDb);
    SetNumber(kFadeInEdit, m_song.fadeInSec);
    SetMeasuredLevel(measuredLevel_);
}

void CMusicProperty::Refuse(const std::string& text, int field) {
    boxes_.Show({MessageOwner::Dialog, text, "", MessageButtons::Ok, MessageIcon::None});
    if (auto* edit = ItemAs<QLineEdit>(field)) {
        edit->setFocus();
        edit->selectAll();
    }
}

bool CMusicProperty::ReadTrim(REFERENCE_TIME* start, REFERENCE_TIME* end) {
    const std::optional<double> startSec =
        ExchangeNumber(kStartEdit, [](double v) { return CheckNumberRange(v, 0, kMaxTrimSec); });
    if (!startSec) return false;
    std::optional<double> endSec;
    if (!Blank(ItemText(kEndEdit)).empty()) {
        endSec = ExchangeNumber(kEndEdit, [](double v) { return CheckNumberRange(v, 0, kMaxTrimSec); });
        if (!endSec) return false;
    }
    const std::string length = FormatExchangedDouble(Seconds(m_fileLength));
    if (LengthKnown() && Units(*startSec) >= m_fileLength) {
        Refuse(Filled(kBeyondFile, {length, FormatExchangedDouble(*startSec)}), kStartEdit);
        return false;
    }
    if (endSec && LengthKnown() && Units(*endSec) > m_fileLength) {
        Refuse(Filled(kBeyondFile, {length, FormatExchangedDouble(*endSec)}), kEndEdit);
        return false;
    }
    if (endSec && *endSec <= *startSec) {
        Refuse(Filled(kStartNotBeforeEnd, {FormatExchangedDouble(*startSec), FormatExchangedDouble(*endSec)}),
               kEndEdit);
        return false;
    }
    *start = Units(*startSec);
    // The file's own end is kept as "the end", so that a file measured again keeps playing to it.
    *end = endSec && !(LengthKnown() && Units(*endSec) == m_fileLength) ? Units(*endSec) : 0;
    return true;
}

void CMusicProperty::OnOK() {
    REFERENCE_TIME start = 0, end = 0;
    if (!ReadTrim(&start, &end)) return;
    const std::optional<double> volume =
        ExchangeNumber(kVolumeEdit, [](double v) { return CheckNumberRange(v, kMinSongVolumeDb, kMaxSongVolumeDb); });
    if (!volume) return;
    const std::optional<double> fadeIn =
        ExchangeNumber(kFadeInEdit, [](double v) { return CheckNumberRange(v, 0, kMaxSongFadeInSec); });
    if (!fadeIn) return;
    m_song = {start, end, *volume, *fadeIn};
    done(Accepted);
}
