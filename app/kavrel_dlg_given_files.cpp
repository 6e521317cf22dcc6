// The main window's files given from outside: on the command line, or by a second start of the
// program handing its files over.

#include "app/given_files.h"
#include "app/kavrel_dlg.h"
#include "lang/language.h"

namespace {
constexpr int kWarning = 108;
}

bool CKavrelDlg::OpenGivenFiles(const std::vector<std::string>& paths) {
    const GivenFiles given = SortGivenFiles(paths);
    bool opened = false;
    if (!given.show.empty()) {
        opened = OpenShow(given.show);
    } else if (!given.photos.empty() || !given.music.empty()) {
        opened = NewShow();
    }
    // Cancelled at "Save changes to the show?", or refused while converting: nothing more.
    if (!opened && (!given.show.empty() || !given.photos.empty() || !given.music.empty())) return false;
    if (!given.photos.empty()) AddPhotoFiles(given.photos);
    if (!given.music.empty()) AddMusicFiles(given.music);
    if (const std::string text = RefusedFilesText(given.refused); !text.empty()) {
        s_.boxes.Show({MessageOwner::MainWindow, text, theLanguage.GetString(kWarning),
                       MessageButtons::Ok, MessageIcon::Warning});
    }
    return opened;
}
