#pragma once
// Edits the defaults new photos get: photo and transition durations, the transition policy
// (Random, Sequence, Same) and the transition of Same. OK stores them in the settings itself.

#include "controls/template_dialog.h"

class ProfileStore;

class CTransitionSettings : public TemplateDialog {
public:
    CTransitionSettings(MessageBoxes& boxes, ProfileStore& store, QWidget* parent = nullptr);

    double m_fPhotoDuration = 0;
    double m_fTransitionDuration = 0;
    int m_nTransitionType = 0;
    int m_nSameTransition = 0;

    int workingChoice() const { return workingChoice_; }

protected:
    void OnInitDialog() override;
    void OnOK() override;

private:
    ProfileStore& store_;
    int workingChoice_ = 0;
};
