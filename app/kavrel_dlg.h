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

#include "app/slideshow_project.h"
#include "controls/template_dialog.h"
#include "engine/preview_rendering.h"
#include "engine/render_to_file.h"

class CodecConfigurePort;
class PhotoThumbnails;
class FileDialogs;
class ProfileStore;
class PropertyFramePort;
class QProgressBar;
class QTreeWidget;
struct Setting;
struct Show;

struct MainWindowServices {
    MessageBoxes& boxes;
    FileDialogs& files;
    ProfileStore& store;
    PropertyFramePort& frames;          // the filters' settings before an MP4 graph runs
    CodecConfigurePort* codecPages;     // the codec settings of the output settings dialog
    std::function<bool(const std::string& address)> openUrl;  // Help, Homepage, guide pages
    std::string dataFolder;             // holding language/ and help/ (the source tree, or share/kavrel)
    std::string programFolder;          // where the program is; blank.wav may be beside it
    std::shared_ptr<FaultPlan> faults;  // null in the program
};

class CKavrelDlg : public TemplateDialog, private IGraphNotifyTarget {
public:
    explicit CKavrelDlg(const MainWindowServices& services, QWidget* parent = nullptr);
    ~CKavrelDlg() override;

    SlideshowProject& project() { return project_; }
    QTreeWidget* photoList() const;
    QTreeWidget* musicList() const;
    QProgressBar* progress() const { return progress_; }
    const HeldCompressors& held() const { return held_; }
    int elapsedSeconds() const { return project_.run().elapsedSeconds; }

    // The commands, as their buttons run them.
    void OnConvert();
    void OnPreview();
    void OnAddPhotos();
    void OnAddMusic();
    void AddPhotoFiles(const std::vector<std::string>& paths);
    void AddMusicFiles(const std::vector<std::string>& paths);
    // Files dropped at `at` (window coordinates): on the photo list as photos, on the music list as
    // music; false when dropped elsewhere or while the lists are busy. A show file opens, wherever.
    bool DropFiles(const std::vector<std::string>& paths, const QPoint& at);
    void OnDelete(bool photos);
    void OnClear(bool photos);
    void OnMoveUp(bool photos);
    void OnMoveDown(bool photos);
    void OnPhotoProperty();
    void OnShowClickedPhoto();
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
    bool OpenShow(const std::string& file);
    bool OnSaveShow();
    bool OnSaveShowAs();
    void OnFitToMusic();
    // Starts an empty show without a file, after "Save changes to the show?"; false when refused.
    bool NewShow();
    // Whether the show differs from the one last saved or opened (empty lists and no show file: no).
    bool ShowChanged();
    const std::string& showFile() const { return showFile_; }

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
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void PostGraphNotify(long message, long instance) override;
    void SetUpButtons();
    void SetUpLists();
    void RebuildPhotoView();
    void RebuildMusicView();
    void UpdatePhotoRow(int row);
    void ShowShowLength();
    std::vector<int> SelectedRows(bool photos) const;
    void SelectRows(bool photos, const std::vector<int>& rows);
    void ShowOutputStatus();
    void SetStatus(const std::string& text);
    // Builds the timeline, asking where each missing photo or music file is now; the project takes
    // the files located (*located: some were), the views are the caller's to rebuild.
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
    QPixmap background_;
    bool closing_ = false;
    std::unique_ptr<PhotoThumbnails> thumbnails_;

    // Shows kept in files (kavrel_dlg_show.cpp).
    void SetUpShowCommands();
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
};
