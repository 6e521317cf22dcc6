#include "settings/transition_settings_dialog.h"

#include <QComboBox>
#include <QRadioButton>

#include "app/settings_table.h"
#include "controls/data_exchange.h"
#include "engine/transition_catalogue.h"
#include "lang/language.h"
#include "platform/shell/message_boxes.h"

namespace {
constexpr int kPhotoDuration = 1010, kTransitionDuration = 1011, kRandom = 1013, kSequence = 1015, kSame = 1014,
              kTransitionList = 1012;
}

CTransitionSettings::CTransitionSettings(MessageBoxes& boxes, ProfileStore& store, QWidget* parent)
    : TemplateDialog(IDD_DIALOG_TRANSITION_SETTINGS, boxes, parent), store_(store) {
    OnCommand(kRandom, [this] { workingChoice_ = kPolicyRandom; });
    OnCommand(kSequence, [this] { workingChoice_ = kPolicySequence; });
    OnCommand(kSame, [this] { workingChoice_ = kPolicySame; });
}

void CTransitionSettings::OnInitDialog() {
    SetNumber(kPhotoDuration, m_fPhotoDuration);
    SetNumber(kTransitionDuration, m_fTransitionDuration);
    const int radio = m_nTransitionType == kPolicySequence ? kSequence
                      : m_nTransitionType == kPolicySame   ? kSame
                                                           : kRandom;
    ItemAs<QRadioButton>(radio)->setChecked(true);
    ItemAs<QComboBox>(kTransitionList)->setCurrentIndex(m_nSameTransition);
    // A stored policy the buttons do not name is kept unless the user picks one.
    workingChoice_ = m_nTransitionType;
    theLanguage.TranslateDialog(this, IDD_DIALOG_TRANSITION_SETTINGS);
}

void CTransitionSettings::OnOK() {
    std::optional<double> photo =
        ExchangeNumber(kPhotoDuration, [](double v) { return CheckNumberRange(v, 0.001, 65535); });
    if (!photo) return;
    std::optional<double> transition =
        ExchangeNumber(kTransitionDuration, [](double v) { return CheckNumberRange(v, 0, 600); });
    if (!transition) return;
    if (*transition > *photo) {
        boxes_.Show({MessageOwner::Dialog, "The Photo Duration must be bigger than the Transition Duration!", "",
                     MessageButtons::Ok, MessageIcon::None});
        return;
    }
    m_fPhotoDuration = *photo;
    m_fTransitionDuration = *transition;
    m_nTransitionType = workingChoice_;
    m_nSameTransition = ItemAs<QComboBox>(kTransitionList)->currentIndex();
    WriteText(store_, settings::kPhotoDuration, FormatDurationText(m_fPhotoDuration));
    WriteText(store_, settings::kTransitionDuration, FormatDurationText(m_fTransitionDuration));
    WriteInt(store_, settings::kTransitionType, m_nTransitionType);
    WriteInt(store_, settings::kTransitionName, m_nSameTransition);
    done(Accepted);
}
