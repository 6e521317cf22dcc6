#pragma once
// Edits the defaults new photos get: photo and transition durations, the transition policy
// (Random, Sequence, Same) and the transition of Same, the motion policy (None, Random, Same) and
// the motion of Same; and the show's motion amount and pace, whether moves keep faces in the frame, framing and the music's
// fade-out. OK
// stores them in the settings itself. Below, how the music list sounds as a whole: even loudness
// and its target, and the join between songs, which belong to the show alone.

#include "app/slideshow_project.h"
#include "controls/template_dialog.h"

class ProfileStore;

class CTransitionSettings : public TemplateDialog {
public:
    CTransitionSettings(MessageBoxes& boxes, ProfileStore& store, QWidget* parent = nullptr);

    double m_fPhotoDuration = 0;
    double m_fTransitionDuration = 0;
    int m_nTransitionType = 0;
    int m_nSameTransition = 0;
    int m_nMotionPolicy = 0;      // MotionPolicy
    int m_nSameMotion = 1;        // MotionKind, never None
    int m_nMotionAmount = 15;     // percent
    bool m_bMotionEased = false;
    int m_nFraming = 0;           // Framing
    bool m_bFacesAimed = true;    // moves keep the faces found in the frame
    double m_fMusicFadeOut = 2;   // seconds; 0: none
    MusicMix m_musicMix;

    int workingChoice() const { return workingChoice_; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    void InitMotion();
    bool ExchangeMotion();
    void StoreMotion();
    void InitMix();
    void ShowTargetUsable();
    bool ExchangeMix();

    ProfileStore& store_;
    int workingChoice_ = 0;
    int motionChoice_ = 0;
};
