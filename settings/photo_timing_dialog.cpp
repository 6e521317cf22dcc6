#include "settings/photo_timing_dialog.h"

#include <QComboBox>

#include "app/list_rows.h"
#include "app/media_file_types.h"
#include "app/slideshow_project.h"
#include "controls/data_exchange.h"
#include "platform/shell/file_dialogs.h"
#include "platform/shell/message_boxes.h"

namespace {
constexpr int kPhotoDuration = 1036, kTransitionList = 1012, kTransitionDuration = 1037, kMotionList = 1126;
}

void PhotoTimingDialog::ShowTiming() {
    SetNumber(kPhotoDuration, m_fPhotoDuration);
    SetNumber(kTransitionDuration, m_fTransitionDuration);
    ItemAs<QComboBox>(kTransitionList)->setCurrentIndex(m_nTransitionIndex);
    auto* motions = ItemAs<QComboBox>(kMotionList);
    for (int k = 0; k < kMotionKindCount; ++k) motions->addItem(QString::fromStdString(MotionName(MotionKind(k))));
    motions->setCurrentIndex(m_nMotion >= 0 && m_nMotion < kMotionKindCount ? m_nMotion : 0);
}

std::optional<PhotoTimingDialog::Timing> PhotoTimingDialog::ReadTiming() {
    std::optional<double> photo =
        ExchangeNumber(kPhotoDuration, [](double v) { return CheckIntegerRange(v, 0, 65535); });
    if (!photo) return std::nullopt;
    std::optional<double> transition =
        ExchangeNumber(kTransitionDuration, [](double v) { return CheckNumberRange(v, 0, 600); });
    if (!transition) return std::nullopt;
    if (*transition > *photo) {
        boxes_.Show({MessageOwner::Dialog, "The photo duration should be bigger than the transition duration!", "",
                     MessageButtons::Ok, MessageIcon::None});
        return std::nullopt;
    }
    return Timing{*photo, ItemAs<QComboBox>(kTransitionList)->currentIndex(), *transition,
                  ItemAs<QComboBox>(kMotionList)->currentIndex()};
}

void PhotoTimingDialog::TakeTiming(const Timing& timing) {
    m_fPhotoDuration = timing.photoDuration;
    m_nTransitionIndex = timing.transition;
    m_fTransitionDuration = timing.transitionDuration;
    m_nMotion = timing.motion;
}

std::optional<std::string> PhotoTimingDialog::ChoosePhoto(FileDialogs& files) {
    FileDialogRequest request;
    request.owner = this;
    request.filters = {PhotoFileFilter(), {"Any Files (*.*)", "*.*;"}};
    request.title = "Select a Picture File";
    request.mustExist = true;
    std::vector<std::string> chosen;
    if (!files.GetFileNames(request, &chosen) || chosen.empty()) return std::nullopt;
    return chosen.front();
}

void PhotoTimingDialog::SetTimingOf(const PhotoItem& row) {
    m_fPhotoDuration = row.durationSec;
    m_nTransitionIndex = row.transition;
    m_fTransitionDuration = row.transitionDurationSec;
    m_nMotion = static_cast<int>(row.motion);
}

void PhotoTimingDialog::GetTimingInto(PhotoItem* row) const {
    row->durationSec = m_fPhotoDuration;
    row->transition = m_nTransitionIndex;
    row->transitionDurationSec = m_fTransitionDuration;
    row->motion = static_cast<MotionKind>(m_nMotion);
}
