#pragma once
// A dialog that sets, for one row of the photo list, how long it is shown, the transition it leads
// into the next row with and how long that lasts, and how it moves: the photo property dialog and
// the title card dialog, with the same controls, texts and checks.

#include <optional>
#include <string>

#include "controls/template_dialog.h"

class FileDialogs;
struct PhotoItem;

class PhotoTimingDialog : public TemplateDialog {
public:
    using TemplateDialog::TemplateDialog;

    double m_fPhotoDuration = 0;
    int m_nTransitionIndex = 0;
    double m_fTransitionDuration = 0;
    int m_nMotion = 0;  // MotionKind

    // The row's duration, transition and motion in; back out after OK.
    void SetTimingOf(const PhotoItem& row);
    void GetTimingInto(PhotoItem* row) const;

protected:
    struct Timing {
        double photoDuration = 0;
        int transition = 0;
        double transitionDuration = 0;
        int motion = 0;
    };

    void ShowTiming();
    // The values as typed; none (after the message) when one is refused.
    std::optional<Timing> ReadTiming();
    void TakeTiming(const Timing& timing);
    // The photo file the user picks in the open-file dialog; none when cancelled.
    std::optional<std::string> ChoosePhoto(FileDialogs& files);
};
