#pragma once
// The main window: the photo and music lists with their buttons, the photo preview box, the
// status line, Convert and Preview, the settings dialogs, Help, Homepage, About, the language
// popup and the Font command. It keeps the project and the running conversion or preview; the
// work itself is done by the builder, the renderers and the player.
//
// User-interface thread only; graph events arrive as queued calls.

#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "app/edit_history/list_steps.h"
#include "app/edit_history/settings_steps.h"
#include "app/fit_to_beat.h"
#include "app/files_ahead.h"
#include "app/slideshow_project.h"
#include "controls/template_dialog.h"
#include "engine/photo_faces.h"
#include "engine/preview_rendering.h"
#include "engine/render_to_file.h"
#include "engine/song_analysis.h"

class CodecConfigurePort;
class PhotoThumbnails;
struct PhotoMoveContext;
class FileDialogs;
class ProfileStore;
class PropertyFramePort;
class QLabel;
class QMenuBar;
class QProgressBar;
class QUndoStack;
class QTreeWidget;
struct Setting;
struct Show;

struct MainWindowServices {
    MessageBoxes& boxes;
    FileDialogs& files;
    ProfileStore& store;
    PropertyFramePort& frames;          // the filters' settings before an MP4 graph runs
    CodecConfigurePort* codecPages;     // the codec settings of the output settings dialog
    std::function<bool(const std::string& address)> openUrl;  // Help, Homepage, guide pages, Play
    std::string dataFolder;             // holding language/ and help/ (the source tree, or share/kavrel)
    std::string programFolder;          // where the program is; blank.wav may be beside it
    std::shared_ptr<FaultPlan> faults;  // null in the program
    // The file manager showing a file selected; null: the file's folder is opened with openUrl.
    std::function<bool(const std::string& file)> showInFolder;
};

class CKavrelDlg : public TemplateDialog, private IGraphNotifyTarget {
public:
    explicit CKavrelDlg(const MainWindowServices& services, QWidget* parent = nullptr);
    ~CKavrelDlg() override;

    SlideshowProject& project() { return project_; }
    QTreeWidget* photoList() const;
    QTreeWidget* musicList() const;
    QProgressBar* progress() const { return progress_; }
    QMenuBar* menuBar() const { return menuBar_; }
    // The item of the menu bar with `command` (res/menus.h); null when it has none.
    QAction* MenuBarAction(int command) const;
    // The line below the status line: the show's length and photos, links after a conversion.
    QLabel* showSummary() const { return showSummary_; }
    // The menu bar's commands, as their items run them.
    void RunMenuBarCommand(int command);
    void OpenRecentShow(const std::string& show);
    const HeldCompressors& held() const { return held_; }
    int elapsedSeconds() const { return project_.run().elapsedSeconds; }

    // The commands, as their buttons run them.
    void OnConvert();
    void OnPreview();
    void OnAddPhotos();
    void OnAddMusic();
    // Inserted in front of row `insertAt` (-1 or beyond the list: at its end).
    void AddPhotoFiles(const std::vector<std::string>& paths, int insertAt = -1);
    void AddMusicFiles(const std::vector<std::string>& paths, int insertAt = -1);
    // Moves `rows` of a list, in their order, in front of row `destination` (counted before the
    // move; the row count: to the end), as one step; the selection follows the rows.
    void MoveRows(bool photos, const std::vector<int>& rows, int destination);
    // Files dropped at `at` (window coordinates): on the photo list as photos, on the music list as
    // music; false when dropped elsewhere or while the lists are busy. A show file opens, wherever.
    bool DropFiles(const std::vector<std::string>& paths, const QPoint& at);
    void OnDelete(bool photos);
    void OnClear(bool photos);
    void OnMoveUp(bool photos);
    void OnMoveDown(bool photos);
    // A photo row opens the photo property dialog, a title row the title dialog.
    void OnPhotoProperty();
    // Title cards and captions (kavrel_dlg_texts.cpp): a new title card after the selected row
    // (at the end when none is), a title card edited, the show's caption style.
    void OnAddTitle();
    void OnEditTitle(int row);
    void OnCaptionStyle();
    void OnShowClickedPhoto();
    // The music list's own commands (kavrel_dlg_music.cpp): the selected song's property dialog,
    // the list's popup, and the photos fitted to the music's beat.
    void OnMusicProperty();
    std::unique_ptr<QMenu> MakeMusicMenu();
    void OnFitToBeat();
    // Where Fit photos to the beat learns a song's beats: the music's analysis (tests put their own here).
    BeatsOfFile beatsOf;
    // Where the photo dialog learns a photo's faces (tests put their own here).
    FacesOf facesOf = FacesOfFile;
    void OnTransitionSettings();
    void OnOutputSettings();
    void OnHelp();
    void OnHomepage();
    void OnAbout();
    void OnFont();
    void OnLanguage(int command);
    // The right-click popup: the loaded menu, filled and translated (its popup is what shows).
    std::unique_ptr<QMenu> MakeLanguageMenu();
    void OnProgressTick();
    void OnGraphNotify();
    // Close with its checks; true when the window may close.
    bool CanClose();
    // Closes at once, for an end the user did not ask for from the window (SIGTERM, a closed
    // session): a running conversion is abandoned, so the old output stays, and nothing is asked.
    void EndWithoutAsking();

    // Shows kept in files (kavrel_dlg_show.cpp). Each true when done, false when refused or cancelled.
    void OnOpenShow();
    // With `askToSave`, "Save changes to the show?" comes once the file was read.
    bool OpenShow(const std::string& file, bool askToSave = true);
    bool OnSaveShow();
    bool OnSaveShowAs();
    void OnFitToMusic();
    // Starts an empty show without a file, after "Save changes to the show?"; false when refused.
    bool NewShow();
    // Whether the show differs from the one last saved or opened (empty lists and no show file: no).
    bool ShowChanged();
    // Files given on the command line or handed over by a second start (kavrel_dlg_given_files.cpp):
    // a show opens, photos and music start a new show (each after "Save changes to the show?"),
    // and the files that are neither are named in one message. False when nothing was opened.
    bool OpenGivenFiles(const std::vector<std::string>& paths);
    const std::string& showFile() const { return showFile_; }

    // The history (kavrel_dlg_history.cpp). Undo and Redo do nothing while converting; the step
    // texts are the steps' names in the current language, empty when there is none.
    void OnUndo();
    void OnRedo();
    bool CanUndo() const;
    bool CanRedo() const;
    std::string UndoStepText() const;
    std::string RedoStepText() const;
    // Whether the photo list shows each photo's thumbnail; the choice is kept in the settings file.
    void SetThumbnailsShown(bool shown);
    bool ThumbnailsShown() const;

    // The dialogs the commands open, for tests: called with each dialog after it was prepared,
    // instead of running it modally; it returns the dialog's result.
    std::function<int(TemplateDialog&)> runDialog;

protected:
    void OnInitDialog() override;
    void OnCancel() override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void PostGraphNotify(long message, long instance) override;
    // The menu bar (kavrel_dlg_menu_bar.cpp).
    void SetUpMenuBar();
    void PlaceMenuBar();
    void MovePartsDown(int pixels);
    void TranslateMenuBar();
    void UpdateMenuBar();
    void ShowHistoryStep(QAction* item, bool possible, const std::string& step, int textId);
    void FillRecentMenu(QMenu* menu);
    void FillLanguageMenu(QMenu* languages);
    bool PhotoListInUse() const;
    // The caption, the summary label and the menu bar after the show changed.
    void ShowShowState();
    void SetUpShowSummary();
    void PlaceShowSummary();
    void PlaceProgressBar();
    // Every part placed again by the dialog units of the interface font chosen now.
    void LayOutForFont();
    void ShowSummary();
    void OnSummaryLink(const QString& link);
    void SetUpButtons();
    // The keyboard's way to the popup and the picture box, the parts' names and the captions'
    // colours on the background (kavrel_dlg_access.cpp).
    void SetUpAccess();
    // The right-click popup at `at` (screen coordinates), with the chosen command run.
    void RunPopup(const QPoint& at);
    void RunPopupAtFocus();
    void SetUpLists();
    void SetUpMusicList();
    void EditSong(int row);
    // What the photo dialog shows the move of the photo at `row` with.
    PhotoMoveContext MoveContextOf(int row);
    void RunMusicPopup(const QPoint& at);
    void SetUpRowDragging();
    void DropFilesInList(bool photos, const std::vector<std::string>& files, int destination);
    // The rows as the project has them; the caption, summary and menus follow in OnShowEdited.
    void RebuildPhotoView();
    void RebuildMusicView();
    void ShowShowLength();
    std::vector<int> SelectedRows(bool photos) const;
    void ShowOutputStatus();
    void SetStatus(const std::string& text);
    // Builds the timeline, asking where each missing photo or music file is now; the files located
    // (*located: some were) are one step of the history, which redraws the lists.
    HRESULT BuildTimelineLocatingFiles(bool* located);
    // Every photo is too short to be seen: said.
    bool RefusedWithoutPicture();
    // The held compressors fitted to the output's container, with a word when one gave way.
    void FitHeldCompressorsToFormat();
    void StartRendering();
    void EnterRunningState();
    void StopConversion(bool failed);
    void AbandonConversion();
    // Whether the output or an input is no file to use (a folder, pipe or device), after saying so.
    bool RefuseUnusableFiles(bool output);
    void EndPreviewRun();
    void EnableBusyButtons(bool enable);
    int RunDialog(TemplateDialog& dialog);
    bool SelectionMissing(bool photos);
    std::string BlankWavPath() const;
    bool CheckCounts();
    // The files chosen in the open dialog of one kind (and "Any Files"); empty when cancelled.
    std::vector<std::string> ChooseFiles(std::pair<std::string, std::string> kind, const Setting& lastFolder,
                                         const std::string& title);

    MainWindowServices s_;
    SlideshowProject project_;
    HeldCompressors held_;
    std::shared_ptr<IAMTimeline> timeline_;
    ConversionObjects conversion_;
    PreviewObjects preview_;
    QTimer progressTimer_;
    QProgressBar* progress_ = nullptr;
    QMenuBar* menuBar_ = nullptr;
    QLabel* showSummary_ = nullptr;
    std::string convertedFile_;  // the video the last conversion completed; empty when none
    QPixmap background_;
    bool closing_ = false;
    std::unique_ptr<PhotoThumbnails> thumbnails_;
    FilesAhead musicAhead_{[](const std::string& path) { LevelOfSong(path); }};  // songs as they join
    FilesAhead facesAhead_{[](const std::string& path) { FacesOfFile(path); }};  // photos as they join

    // Shows kept in files (kavrel_dlg_show.cpp).
    bool RunShowCommand(int command);
    void ShowShortcutsIn(QMenu* popup) const;
    // Asks "Save changes to the show?" when it changed; false when the user cancelled.
    bool MayDiscardShow();
    // Before a Clear that leaves both lists empty: asks as above, then starts a new show.
    bool MayClearList(bool photos);
    void ShowCaption();
    Show CurrentShow();
    // `show` read from the file `showFile`, whose folder takes the output when the show names none.
    void TakeShow(const Show& show, const std::string& showFile);
    std::string showFile_;   // the show's file; empty for a show never saved
    std::string savedShow_;  // the show as last saved or opened, serialized

    // The history (kavrel_dlg_history.cpp): each change to the show goes through a Push function.
    void SetUpHistoryCommands();
    void StartFreshHistory();
    // After every change, undo and redo.
    void OnShowEdited();
    RowSelection CurrentSelection() const;
    // Selects `rows` of a list rebuilt while it was scrolled to `scroll`.
    void ShowSelection(bool photos, const std::vector<int>& rows, int scroll);
    void PushStep(std::unique_ptr<EditStep> step, RowSelection after);
    void RunStep(EditStep& step, bool undo);
    std::vector<int> InsertionRows(bool photos, int insertAt, std::size_t count) const;
    // Named "Add n Photos" or "Add n Music Files" unless `name` says otherwise; `selectAfter`: the
    // inserted rows are selected.
    void PushInsertion(ListItems items, std::optional<StepName> name = std::nullopt, bool selectAfter = false);
    void PushRemoval(bool photos, std::vector<int> rows, StepName name);
    void RemoveRows(bool photos, const std::vector<int>& rows);
    void ClearRows(bool photos);
    void PushMoves(bool photos, std::vector<RowMove> moves);
    // Steps of changes already made in the project (their Redo makes them again, to the same values).
    void PushPhotoChanges(StepName name, std::vector<PhotoChange> changes);
    void PushLocatedFiles(const std::vector<PhotoItem>& photos, const std::vector<MusicItem>& music);
    void PushDefaults(const DefaultsState& before, const std::vector<PhotoItem>& photosBefore);
    void PushOptions(const OutputState& before);
    void PushCaptionStyle(const CaptionStyle& before);
    void PushSong(int row, const SongSettings& song);
    // While converting: said, and true.
    bool RefusedWhileBusy();
    std::unique_ptr<QUndoStack> history_;
};
