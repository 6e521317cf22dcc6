#include "settings/transition_settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <algorithm>

#include "app/list_rows.h"
#include "app/settings_table.h"
#include "controls/data_exchange.h"
#include "engine/motion_choice.h"
#include "engine/transition_catalogue.h"
#include "lang/language.h"
#include "platform/shell/message_boxes.h"

namespace {
constexpr int kPhotoDuration = 1010, kTransitionDuration = 1011, kRandom = 1013, kSequence = 1015, kSame = 1014,
              kTransitionList = 1012;
constexpr int kMotionNone = 1111, kMotionRandom = 1112, kMotionSame = 1113, kSameMotionList = 1114,
              kAmountEdit = 1116, kPaceList = 1118, kFramingList = 1120, kFadeOutEdit = 1122,
              kFacesAimed = 1210;
constexpr int kEvenLoudness = 1154, kTargetLabel = 1155, kTargetEdit = 1156, kTargetUnit = 1157, kJoinEdit = 1159;
constexpr int kPaceNames = 171, kFramingNames = 173;  // string ids: two paces, three framings

void Fill(QComboBox* list, int firstString, int count) {
    list->clear();
    for (int i = 0; i < count; ++i) list->addItem(QString::fromStdString(theLanguage.GetString(firstString + i)));
}
}  // namespace

CTransitionSettings::CTransitionSettings(MessageBoxes& boxes, ProfileStore& store, QWidget* parent)
    : TemplateDialog(IDD_DIALOG_TRANSITION_SETTINGS, boxes, parent), store_(store) {
    OnCommand(kRandom, [this] { workingChoice_ = kPolicyRandom; });
    OnCommand(kSequence, [this] { workingChoice_ = kPolicySequence; });
    OnCommand(kSame, [this] { workingChoice_ = kPolicySame; });
    OnCommand(kMotionNone, [this] { motionChoice_ = kMotionPolicyNone; });
    OnCommand(kMotionRandom, [this] { motionChoice_ = kMotionPolicyRandom; });
    OnCommand(kMotionSame, [this] { motionChoice_ = kMotionPolicySame; });
    OnCommand(kEvenLoudness, [this] { ShowTargetUsable(); });
}

void CTransitionSettings::InitMotion() {
    const int radio = m_nMotionPolicy == kMotionPolicyRandom ? kMotionRandom
                      : m_nMotionPolicy == kMotionPolicySame ? kMotionSame
                                                             : kMotionNone;
    ItemAs<QRadioButton>(radio)->setChecked(true);
    motionChoice_ = m_nMotionPolicy;
    auto* same = ItemAs<QComboBox>(kSameMotionList);
    same->clear();
    for (int k = 1; k < kMotionKindCount; ++k) same->addItem(QString::fromStdString(MotionName(MotionKind(k))));
    same->setCurrentIndex(std::clamp(m_nSameMotion, 1, kMotionKindCount - 1) - 1);
    SetNumber(kAmountEdit, m_nMotionAmount);
    Fill(ItemAs<QComboBox>(kPaceList), kPaceNames, 2);
    ItemAs<QComboBox>(kPaceList)->setCurrentIndex(m_bMotionEased ? 1 : 0);
    ItemAs<QCheckBox>(kFacesAimed)->setChecked(m_bFacesAimed);
    Fill(ItemAs<QComboBox>(kFramingList), kFramingNames, 3);
    ItemAs<QComboBox>(kFramingList)->setCurrentIndex(std::clamp(m_nFraming, 0, 2));
    SetNumber(kFadeOutEdit, m_fMusicFadeOut);
}

bool CTransitionSettings::ExchangeMotion() {
    std::optional<double> amount = ExchangeNumber(
        kAmountEdit, [](double v) { return CheckIntegerRange(v, kMinMotionAmountPercent, kMaxMotionAmountPercent); });
    if (!amount) return false;
    std::optional<double> fade = ExchangeNumber(kFadeOutEdit, [](double v) { return CheckNumberRange(v, 0, 600); });
    if (!fade) return false;
    m_nMotionPolicy = motionChoice_;
    m_nSameMotion = ItemAs<QComboBox>(kSameMotionList)->currentIndex() + 1;
    m_nMotionAmount = static_cast<int>(*amount);
    m_bMotionEased = ItemAs<QComboBox>(kPaceList)->currentIndex() == 1;
    m_bFacesAimed = ItemAs<QCheckBox>(kFacesAimed)->isChecked();
    m_nFraming = ItemAs<QComboBox>(kFramingList)->currentIndex();
    m_fMusicFadeOut = *fade;
    return true;
}

void CTransitionSettings::StoreMotion() {
    WriteInt(store_, settings::kMotionPolicy, m_nMotionPolicy);
    WriteInt(store_, settings::kSameMotion, m_nSameMotion);
    WriteInt(store_, settings::kMotionAmount, m_nMotionAmount);
    WriteInt(store_, settings::kMotionEasing, m_bMotionEased ? 1 : 0);
    WriteInt(store_, settings::kFacesAimed, m_bFacesAimed ? 1 : 0);
    WriteInt(store_, settings::kFraming, m_nFraming);
    WriteMusicFadeOut(store_, m_fMusicFadeOut);
}

void CTransitionSettings::InitMix() {
    ItemAs<QCheckBox>(kEvenLoudness)->setChecked(m_musicMix.evenLoudness);
    SetNumber(kTargetEdit, m_musicMix.loudnessTargetLufs);
    SetNumber(kJoinEdit, m_musicMix.joinSec);
    ShowTargetUsable();
}

// The target means something only while the loudness is evened out.
void CTransitionSettings::ShowTargetUsable() {
    const bool even = ItemAs<QCheckBox>(kEvenLoudness)->isChecked();
    for (int id : {kTargetLabel, kTargetEdit, kTargetUnit}) Item(id)->setEnabled(even);
}

bool CTransitionSettings::ExchangeMix() {
    const bool even = ItemAs<QCheckBox>(kEvenLoudness)->isChecked();
    std::optional<double> target = m_musicMix.loudnessTargetLufs;
    if (even) {
        target = ExchangeNumber(
            kTargetEdit, [](double v) { return CheckNumberRange(v, kMinLoudnessTarget, kMaxLoudnessTarget); });
        if (!target) return false;
    }
    const std::optional<double> join =
        ExchangeNumber(kJoinEdit, [](double v) { return CheckNumberRange(v, kMinJoinSec, kMaxJoinSec); });
    if (!join) return false;
    m_musicMix = {even, *target, *join};
    return true;
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
    InitMotion();
    InitMix();
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
    if (!ExchangeMotion() || !ExchangeMix()) return;
    m_fPhotoDuration = *photo;
    m_fTransitionDuration = *transition;
    m_nTransitionType = workingChoice_;
    m_nSameTransition = ItemAs<QComboBox>(kTransitionList)->currentIndex();
    WriteText(store_, settings::kPhotoDuration, FormatDurationText(m_fPhotoDuration));
    WriteText(store_, settings::kTransitionDuration, FormatDurationText(m_fTransitionDuration));
    WriteInt(store_, settings::kTransitionType, m_nTransitionType);
    WriteInt(store_, settings::kTransitionName, m_nSameTransition);
    StoreMotion();
    done(Accepted);
}
