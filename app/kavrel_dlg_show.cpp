// The main window's shows: Open, Save and Save as, the question before unsaved changes are lost,
// the caption with the show's name, and Fit photos to the music.

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <filesystem>
#include <set>

#include "app/edit_history/step_names.h"
#include "app/fit_to_music.h"
#include "app/kavrel_dlg.h"
#include "app/missing_file_locator.h"
#include "app/path_rules.h"
#include "app/recent_shows.h"
#include "app/settings_table.h"
#include "app/show_messages.h"
#include "app/show_output.h"
#include "app/show_project.h"
#include "engine/timeline_builder.h"
#include "lang/control_id.h"
#include "lang/language.h"
#include "platform/shell/file_dialogs.h"
#include "platform/shell/file_probe.h"
#include "res/menus.h"
#include "settings/output_extension.h"

namespace {

constexpr int kSaveChanges = 200, kShowFileType = 201, kOpenShowTitle = 202, kSaveShowTitle = 203;
constexpr int kUntitled = 231;
constexpr int kError = 105, kWarning = 108, kFileExists = 131, kStopConvertingFirst = 143;

struct ShowShortcut {
    int command;
    QKeyCombination keys;
};
constexpr ShowShortcut kShortcuts[] = {{IDM_SHOW_OPEN, Qt::CTRL | Qt::Key_O},
                                       {IDM_SHOW_SAVE, Qt::CTRL | Qt::Key_S},
                                       {IDM_SHOW_SAVE_AS, Qt::CTRL | Qt::SHIFT | Qt::Key_S}};

std::string BaseCaption() {
    const std::string caption = theLanguage.GetDialogText(IDD_KAVREL_DIALOG);
    return caption.empty() ? FindDialogTemplate(IDD_KAVREL_DIALOG).caption : caption;
}

bool RefusedWhileConverting(const SlideshowProject& project, MessageBoxes& boxes) {
    if (!project.run().converting) return false;
    boxes.Show({MessageOwner::MainWindow, theLanguage.GetString(kStopConvertingFirst),
                theLanguage.GetString(kWarning), MessageButtons::Ok, MessageIcon::None});
    return true;
}

// The show file chosen in the open or save dialog (with its extension); empty when cancelled.
std::string ChooseShowFile(FileDialogs& files, QWidget* owner, const std::string& startFolder,
                           bool save) {
    FileDialogRequest request;
    request.owner = owner;
    request.save = save;
    request.filters = {{theLanguage.GetString(kShowFileType), "*.kavrel"},
                       {"Any Files (*.*)", "*.*;"}};
    request.startFolder = startFolder;
    request.title = theLanguage.GetString(save ? kSaveShowTitle : kOpenShowTitle);
    request.mustExist = !save;
    std::vector<std::string> chosen;
    if (!files.GetFileNames(request, &chosen) || chosen.empty()) return {};
    if (save && !IsShowFileName(chosen.front())) return chosen.front() + kShowFileExtension;
    return chosen.front();
}

bool MayReplace(const std::string& file, MessageBoxes& boxes) {
    if (!FileCanBeOpenedForReading(file)) return true;
    return boxes.Show({MessageOwner::MainWindow, file + " " + theLanguage.GetString(kFileExists),
                       theLanguage.GetString(kWarning), MessageButtons::YesNo,
                       MessageIcon::Warning}) == MessageAnswer::Yes;
}

// Asks where each missing photo or music file of `show` is now (once for each name); a file
// located takes the missing name's place.
void LocateMissingFiles(MissingFileLocator& locator, Show* show) {
    std::set<std::string> asked;
    auto locate = [&](std::string& path, bool music) {
        if (path.empty() || FileCanBeOpenedForReading(path)) return;
        std::string found;
        if (asked.insert(path).second) locator.Locate(path, music, &found);
        const auto it = locator.located().find(path);
        if (it != locator.located().end() && it->second.size() <= kMaxPathBytes) path = it->second;
    };
    for (PhotoItem& photo : show->photos) locate(photo.path, false);
    for (MusicItem& music : show->music) locate(music.path, true);
}

// The Compressor number of a show's compressor; the default one, after a word, when the name is
// not installed here.
int CompressorNumber(const CompressorServices& s, bool video, const std::string& name) {
    if (std::optional<int> number = CompressorNumberOfName(s, video, name)) return *number;
    s.boxes.Show({MessageOwner::MainWindow, MissingCompressorText(video, name),
                  theLanguage.GetString(kWarning), MessageButtons::Ok, MessageIcon::Warning});
    return -2;
}

// The show as its file has it, in the window's terms (the compressors it bound, the output file it
// kept): the names located since are a change still to save.
std::string AsOpened(Show current, const Show& read) {
    for (std::size_t i = 0; i < read.photos.size(); ++i)
        current.photos[i].path = read.photos[i].path;
    for (std::size_t i = 0; i < read.music.size() && i < current.music.size(); ++i)
        current.music[i].path = read.music[i].path;
    return SerializeShow(current, "");
}

// Where the show dialogs start: the open show's folder, else the one a show was last opened from
// or saved to, else where the photos came from last.
std::string StartFolder(const std::string& showFile, const ProfileStore& store) {
    if (!showFile.empty()) return FolderWithTrailingSlash(showFile);
    const std::string last = ReadText(store, settings::kLastShowFolder);
    return last.empty() ? ReadText(store, settings::kLastPhotoFolder) : last;
}

// A show opened or saved: first in Open Recent, and where the next show dialog starts.
void RememberShow(ProfileStore& store, const std::string& showFile) {
    RememberRecentShow(store, showFile);
    WriteText(store, settings::kLastShowFolder, FolderWithTrailingSlash(showFile));
}

}  // namespace

void CKavrelDlg::ShowShortcutsIn(QMenu* popup) const {
    for (QAction* action : popup->actions()) {
        for (const ShowShortcut& shortcut : kShortcuts) {
            if (CommandId(action) != shortcut.command) continue;
            // Shown beside the command; the window's own shortcut does the work.
            action->setShortcut(QKeySequence(shortcut.keys));
            action->setShortcutContext(Qt::WidgetShortcut);
        }
    }
}

bool CKavrelDlg::RunShowCommand(int command) {
    switch (command) {
        case IDM_SHOW_OPEN:
            OnOpenShow();
            return true;
        case IDM_SHOW_SAVE:
            OnSaveShow();
            return true;
        case IDM_SHOW_SAVE_AS:
            OnSaveShowAs();
            return true;
        case IDM_SHOW_FIT_TO_MUSIC:
            OnFitToMusic();
            return true;
        case IDM_SHOW_FIT_TO_BEAT:
            OnFitToBeat();
            return true;
        case IDM_POPUP_ADD_TITLE:
            OnAddTitle();
            return true;
        case IDM_POPUP_CAPTIONS:
            OnCaptionStyle();
            return true;
        default:
            return false;
    }
}

void CKavrelDlg::OnOpenShow() {
    if (RefusedWhileConverting(project_, s_.boxes) || !MayDiscardShow()) return;
    const std::string file =
        ChooseShowFile(s_.files, this, StartFolder(showFile_, s_.store), false);
    if (!file.empty()) OpenShow(file, false);
}

bool CKavrelDlg::OpenShow(const std::string& file, bool askToSave) {
    if (RefusedWhileConverting(project_, s_.boxes)) return false;
    Show show;
    if (ShowFileError error = ReadShowFile(file, &show)) {
        s_.boxes.Show({MessageOwner::MainWindow, ShowOpenErrorText(file, error),
                       theLanguage.GetString(kError), MessageButtons::Ok, MessageIcon::Error});
        return false;
    }
    if (askToSave && !MayDiscardShow()) return false;
    Show located = show;
    MissingFileLocator locator(s_.files, this);
    LocateMissingFiles(locator, &located);
    TakeShow(located, file);
    savedShow_ = AsOpened(CurrentShow(), show);
    showFile_ = std::filesystem::absolute(file).string();
    RememberShow(s_.store, showFile_);
    convertedFile_.clear();
    StartFreshHistory();
    return true;
}

void CKavrelDlg::TakeShow(const Show& show, const std::string& showFile) {
    PutShowInProject(show, &project_, [this](const std::string& path) {
        return MeasureMediaDuration(path, s_.faults);
    });
    OutputSettings& out = project_.output();
    PutShowOutput(show.output, &out);
    // A show without an output file writes the default name in its own folder, with the show's
    // extension, as at start-up.
    const std::string ownFile =
        JoinFolderAndName(ShowFolderOf(showFile), FileNamePart(DefaultOutputName()));
    if (show.output.path.empty() && !ApplyOutputExtension(out.format, ownFile, &out.path, s_.boxes)) {
        out.path.clear();
    }
    const CompressorServices compressors{s_.boxes, s_.faults};
    const int video = CompressorNumber(compressors, true, show.output.videoCompressor);
    const int audio = CompressorNumber(compressors, false, show.output.audioCompressor);
    StoreOutputSettings(s_.store, compressors, video, audio, &out, &held_);
    RebuildPhotoView();
    RebuildMusicView();
    ShowOutputStatus();
    std::vector<std::string> songs;
    for (const MusicItem& item : project_.music()) songs.push_back(item.path);
    musicAhead_.LookAt(songs);
    std::vector<std::string> photos;
    for (const PhotoItem& photo : project_.photos())
        if (!photo.IsTitle()) photos.push_back(photo.path);
    facesAhead_.LookAt(photos);
}

Show CKavrelDlg::CurrentShow() {
    Show show = ShowOfProject(project_);
    const CompressorServices compressors{s_.boxes, s_.faults};
    const OutputSettings& out = project_.output();
    show.output.videoCompressor =
        CompressorNameInUse(compressors, true, ReadInt(s_.store, settings::kVideoCompressor),
                            out.useVideoCompressor != 0);
    show.output.audioCompressor =
        CompressorNameInUse(compressors, false, ReadInt(s_.store, settings::kAudioCompressor),
                            out.useAudioCompressor != 0);
    return show;
}

bool CKavrelDlg::OnSaveShow() {
    if (showFile_.empty()) return OnSaveShowAs();
    const Show show = CurrentShow();
    if (ShowFileError error = WriteShowFile(showFile_, show)) {
        s_.boxes.Show({MessageOwner::MainWindow, ShowSaveErrorText(showFile_, error),
                       theLanguage.GetString(kError), MessageButtons::Ok, MessageIcon::Error});
        return false;
    }
    savedShow_ = SerializeShow(show, "");
    RememberShow(s_.store, showFile_);
    ShowShowState();
    return true;
}

bool CKavrelDlg::OnSaveShowAs() {
    const std::string file = ChooseShowFile(s_.files, this, StartFolder(showFile_, s_.store), true);
    if (file.empty() || !MayReplace(file, s_.boxes)) return false;
    const std::string previous = showFile_;
    showFile_ = std::filesystem::absolute(file).string();
    if (!OnSaveShow()) {
        showFile_ = previous;
        return false;
    }
    ShowCaption();
    return true;
}

bool CKavrelDlg::ShowChanged() {
    if (showFile_.empty() && project_.photoCount() == 0 && project_.musicCount() == 0) return false;
    return SerializeShow(CurrentShow(), "") != savedShow_;
}

bool CKavrelDlg::MayDiscardShow() {
    if (!ShowChanged()) return true;
    switch (s_.boxes.Show({MessageOwner::MainWindow, theLanguage.GetString(kSaveChanges),
                           BaseCaption(), MessageButtons::YesNoCancel, MessageIcon::Warning})) {
        case MessageAnswer::Yes:
            return OnSaveShow();
        case MessageAnswer::No:
            return true;
        default:
            return false;
    }
}

bool CKavrelDlg::MayClearList(bool photos) {
    const bool otherEmpty = photos ? project_.musicCount() == 0 : project_.photoCount() == 0;
    if (!otherEmpty) return true;
    if (!MayDiscardShow()) return false;
    showFile_.clear();
    savedShow_.clear();
    ShowShowState();
    return true;
}

bool CKavrelDlg::NewShow() {
    if (RefusedWhileConverting(project_, s_.boxes) || !MayDiscardShow()) return false;
    project_.ClearPhotos();
    project_.ClearMusic();
    project_.musicMix() = MusicMix();
    project_.defaults().facesAimed = ReadPhotoDefaults(s_.store).facesAimed;
    showFile_.clear();
    savedShow_.clear();
    convertedFile_.clear();
    RebuildPhotoView();
    RebuildMusicView();
    StartFreshHistory();
    return true;
}

// "holiday - Kavrel", with a "*" before it while the show has unsaved changes ("*Untitled - Kavrel"
// for a show never saved).
void CKavrelDlg::ShowCaption() {
    const std::string base = BaseCaption();
    const bool changed = ShowChanged();
    std::string name = std::filesystem::path(showFile_).stem().string();
    if (name.empty() && changed) name = theLanguage.GetString(kUntitled);
    const std::string caption = name.empty() ? base : name + " - " + base;
    setWindowTitle(QString::fromStdString(changed ? "*" + caption : caption));
}

void CKavrelDlg::OnFitToMusic() {
    if (RefusedWhileConverting(project_, s_.boxes)) return;
    const std::vector<PhotoItem> before = project_.photos();
    const FitResult fit = FitPhotosToMusic(project_);
    if (fit.outcome != FitOutcome::Fitted) {
        s_.boxes.Show({MessageOwner::MainWindow, FitRefusalText(fit, project_.music()),
                       theLanguage.GetString(kWarning), MessageButtons::Ok, MessageIcon::Warning});
        return;
    }
    PushPhotoChanges(step_names::kFitToMusic, PhotoChanges(before, project_.photos()));
}
