#include "app/kavrel_dlg.h"

#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QTreeWidget>
#include <QUndoStack>
#include <ctime>

#include "app/edit_history/step_names.h"
#include "app/list_rows.h"
#include "app/media_file_types.h"
#include "app/path_rules.h"
#include "app/photo_thumbnails.h"
#include "app/settings_table.h"
#include "app/show_length.h"
#include "app/status_line.h"
#include "controls/announce.h"
#include "controls/icon_button.h"
#include "engine/output_format.h"
#include "engine/timeline_builder.h"
#include "lang/language.h"
#include "platform/render/compose/title_picture.h"
#include "platform/render/decode/photo_picture.h"
#include "platform/shell/divx_feedback.h"
#include "platform/shell/file_dialogs.h"
#include "platform/shell/profile_store.h"
#include "settings/output_extension.h"
#include "settings/output_settings_dialog.h"
#include "settings/photo_property_dialog.h"
#include "settings/transition_settings_dialog.h"

namespace {

constexpr int kPhotoList = 1008, kMusicList = 1009, kPreviewBox = 1017, kStatusLine = 1021;
constexpr int kMotionColumn = 176, kShowLengthLabel = 177, kTransitionDurationName = 405;  // string ids

struct ButtonLook {
    int id;
    const char* icon;
    int tipString;        // 0: the fixed English tip below
    const char* fixedTip;
};
const ButtonLook kButtons[] = {
    {1006, "add", 146, nullptr},        {1007, "add", 147, nullptr},       {1016, "transition", 129, nullptr},
    {1003, "options", 120, nullptr},    {1019, "preview", 130, nullptr},   {1000, "kavrel", 127, nullptr},
    {1067, "help", 0, "Help"},          {1031, "up", 133, nullptr},        {1040, "up", 133, nullptr},
    {1032, "down", 134, nullptr},       {1041, "down", 134, nullptr},      {1029, "delete", 135, nullptr},
    {1038, "delete", 135, nullptr},     {1030, "clear", 136, nullptr},     {1039, "clear", 136, nullptr},
    {1033, "property", 137, nullptr},   {1047, "homepage", 0, "Homepage"}, {1042, "about", 0, "About"},
    {1054, "exit", 0, "Exit"},
};

}  // namespace

CKavrelDlg::CKavrelDlg(const MainWindowServices& services, QWidget* parent)
    : TemplateDialog(IDD_KAVREL_DIALOG, services.boxes, parent), s_(services) {
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setAcceptDrops(true);
    progressTimer_.setInterval(1000);
    connect(&progressTimer_, &QTimer::timeout, this, [this] { OnProgressTick(); });
    progress_ = new QProgressBar(this);
    PlaceProgressBar();
    progress_->setRange(0, 1000);
    progress_->hide();
    SetUpShowSummary();
    SetUpMenuBar();

    OnCommand(1000, [this] { OnConvert(); });
    OnCommand(1019, [this] { OnPreview(); });
    OnCommand(1006, [this] { OnAddPhotos(); });
    OnCommand(1007, [this] { OnAddMusic(); });
    OnCommand(1029, [this] { OnDelete(true); });
    OnCommand(1038, [this] { OnDelete(false); });
    OnCommand(1030, [this] { OnClear(true); });
    OnCommand(1039, [this] { OnClear(false); });
    OnCommand(1031, [this] { OnMoveUp(true); });
    OnCommand(1040, [this] { OnMoveUp(false); });
    OnCommand(1032, [this] { OnMoveDown(true); });
    OnCommand(1041, [this] { OnMoveDown(false); });
    OnCommand(1033, [this] { OnPhotoProperty(); });
    OnCommand(1016, [this] { OnTransitionSettings(); });
    OnCommand(1003, [this] { OnOutputSettings(); });
    OnCommand(1067, [this] { OnHelp(); });
    OnCommand(1047, [this] { OnHomepage(); });
    OnCommand(1042, [this] { OnAbout(); });
    OnCommand(1054, [this] { close(); });
    connect(photoList(), &QTreeWidget::itemClicked, this, [this] { OnShowClickedPhoto(); });
    connect(photoList(), &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* row) {
        const int at = photoList()->indexOfTopLevelItem(row);
        if (at >= 0 && at < project_.photoCount() && project_.photos()[static_cast<std::size_t>(at)].IsTitle())
            OnEditTitle(at);
    });
    photoList()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(photoList(), &QTreeWidget::customContextMenuRequested, this, [this] { OnPhotoProperty(); });
    SetUpMusicList();
    SetUpHistoryCommands();
    SetUpRowDragging();
    thumbnails_ = std::make_unique<PhotoThumbnails>(photoList());
    SetUpAccess();
}

CKavrelDlg::~CKavrelDlg() {
    if (project_.run().converting) StopConversion(false);
    if (project_.run().previewing) EndPreviewRun();
}

// The progress bar shares the status line's row, at its right end.
void CKavrelDlg::PlaceProgressBar() {
    QWidget* status = Item(kStatusLine);
    const int barWidth = status->width() / 3;
    progress_->setGeometry(status->x() + status->width() - barWidth, status->y(), barWidth, status->height());
}

QTreeWidget* CKavrelDlg::photoList() const { return ItemAs<QTreeWidget>(kPhotoList); }
QTreeWidget* CKavrelDlg::musicList() const { return ItemAs<QTreeWidget>(kMusicList); }

void CKavrelDlg::OnInitDialog() {
    background_ = QIcon(":/res/background.svg").pixmap(48, 48);
    setWindowIcon(QIcon(":/res/icons/kavrel.svg"));
    DisableDivXFeedback();
    CompressorServices compressors{s_.boxes, s_.faults};
    ResolveStoredCompressor(compressors, true, ReadInt(s_.store, settings::kVideoCompressor), &held_.video);
    ResolveStoredCompressor(compressors, false, ReadInt(s_.store, settings::kAudioCompressor), &held_.audio);
    OutputSettings& out = project_.output();
    out.format = ReadInt(s_.store, settings::kOutputFormat);
    out.useVideoCompressor = held_.video.use ? 1 : 0;
    out.useAudioCompressor = held_.audio.use ? 1 : 0;
    SetUpLists();
    thumbnails_->SetShown(ReadInt(s_.store, settings::kShowThumbnails) != 0);
    project_.defaults() = ReadPhotoDefaults(s_.store);
    project_.setMusicFadeOutSec(ReadMusicFadeOut(s_.store));
    project_.random().Seed(static_cast<std::uint32_t>(std::time(nullptr)));
    std::string name = ReadText(s_.store, settings::kOutputName);
    if (name.empty()) name = DefaultOutputName();
    // DSM and OGM leave the path empty, after the message; the output settings can set one.
    if (!ApplyOutputExtension(out.format, name, &out.path, s_.boxes)) out.path.clear();
    out.width = ReadInt(s_.store, settings::kOutputWidth);
    out.height = ReadInt(s_.store, settings::kOutputHeight);
    ShowOutputStatus();
    SetUpButtons();
    out.videoBitrate = ReadInt(s_.store, settings::kVideoBitrate);
    out.audioBitrate = ReadInt(s_.store, settings::kAudioBitrate);
    out.fileProfile = ReadInt(s_.store, settings::kFileProfile);
    theLanguage.TranslateDialog(this, IDD_KAVREL_DIALOG);
    TranslateMenuBar();
    ShowShowState();
}

void CKavrelDlg::SetUpButtons() {
    for (const ButtonLook& b : kButtons) {
        auto* button = ItemAs<CButtonST>(b.id);
        if (button == nullptr) continue;
        button->SetIcon(QIcon(QString(":/res/icons/%1.svg").arg(b.icon)));
        button->SetSound(QUrl("qrc:/res/hover.wav"));
        button->DrawTransparent(true);
        button->SetBtnCursor(Qt::PointingHandCursor);
        button->SetTooltipText(b.fixedTip != nullptr ? QString(b.fixedTip)
                                                     : QString::fromStdString(theLanguage.GetString(b.tipString)));
        button->SetAlign(1);
    }
}

void CKavrelDlg::SetUpLists() {
    auto setUp = [](QTreeWidget* view, const std::vector<std::pair<std::string, int>>& columns) {
        QStringList headings;
        for (const auto& c : columns) headings << QString::fromStdString(c.first);
        view->setHeaderLabels(headings);
        view->header()->setDefaultAlignment(Qt::AlignCenter);
        for (int i = 0; i < static_cast<int>(columns.size()); ++i) view->setColumnWidth(i, columns[i].second);
    };
    setUp(photoList(), {{theLanguage.GetString(144), 186},
                        {theLanguage.GetString(139), 97},
                        {theLanguage.GetDialogString(140), 168},
                        {theLanguage.GetString(139), 97},
                        {theLanguage.GetString(kMotionColumn), 90}});  // the room the others leave
    setUp(musicList(), {{theLanguage.GetString(145), 186}, {theLanguage.GetString(139), 106}});
    // Two columns share the heading "Duration(s)"; a screen reader tells the second apart.
    photoList()->headerItem()->setData(3, Qt::AccessibleDescriptionRole,
                                       QString::fromStdString(theLanguage.GetString(kTransitionDurationName)));
}

namespace {
QTreeWidgetItem* MakeRow(const auto& texts) {
    auto* row = new QTreeWidgetItem;
    for (int i = 0; i < static_cast<int>(texts.size()); ++i) {
        row->setText(i, QString::fromStdString(texts[static_cast<std::size_t>(i)]));
        row->setTextAlignment(i, Qt::AlignCenter);
    }
    return row;
}
}  // namespace

void CKavrelDlg::RebuildPhotoView() {
    photoList()->clear();
    std::vector<std::string> paths;
    for (const PhotoItem& item : project_.photos()) {
        QTreeWidgetItem* row = MakeRow(PhotoRowTexts(item));
        if (item.IsTitle()) {
            QFont italic = row->font(0);
            italic.setItalic(true);
            row->setFont(0, italic);
        }
        photoList()->addTopLevelItem(row);
        paths.push_back(item.path);  // a title card without a photo: none to show
    }
    thumbnails_->ShowRows(paths);
}

// The whole show's length where one looks for it: on the durations' heading, the status line and
// the summary beside it.
void CKavrelDlg::ShowShowLength() {
    const QString text = QString::fromStdString(
        ShowLengthText(theLanguage.GetString(kShowLengthLabel), project_.ComputeShowLength()));
    photoList()->headerItem()->setToolTip(1, text);
    Item(kStatusLine)->setToolTip(text);
    ShowSummary();
    Announce(showSummary_);
}

void CKavrelDlg::RebuildMusicView() {
    musicList()->clear();
    for (const MusicItem& item : project_.music()) musicList()->addTopLevelItem(MakeRow(MusicRowTexts(item)));
}


void CKavrelDlg::SetThumbnailsShown(bool shown) {
    WriteInt(s_.store, settings::kShowThumbnails, shown ? 1 : 0);
    thumbnails_->SetShown(shown);
}

bool CKavrelDlg::ThumbnailsShown() const { return thumbnails_->shown(); }

std::vector<int> CKavrelDlg::SelectedRows(bool photos) const {
    QTreeWidget* view = photos ? photoList() : musicList();
    std::vector<int> rows;
    for (int i = 0; i < view->topLevelItemCount(); ++i) {
        if (view->topLevelItem(i)->isSelected()) rows.push_back(i);
    }
    return rows;
}

void CKavrelDlg::SetStatus(const std::string& text) { SetItemText(kStatusLine, text); }

void CKavrelDlg::ShowOutputStatus() {
    const OutputSettings& o = project_.output();
    SetStatus(OutputStatus(o.path, o.width, o.height));
}

int CKavrelDlg::RunDialog(TemplateDialog& dialog) {
    if (runDialog) {
        dialog.Prepare();
        return runDialog(dialog);
    }
    return dialog.DoModal();
}

bool CKavrelDlg::SelectionMissing(bool photos) {
    if (!SelectedRows(photos).empty()) return false;
    s_.boxes.Show({MessageOwner::MainWindow, theLanguage.GetString(149), "", MessageButtons::Ok, MessageIcon::None});
    return true;
}

std::vector<std::string> CKavrelDlg::ChooseFiles(std::pair<std::string, std::string> kind, const Setting& lastFolder,
                                                const std::string& title) {
    FileDialogRequest request;
    request.owner = this;
    request.filters = {std::move(kind), {"Any Files (*.*)", "*.*;"}};
    request.startFolder = ReadText(s_.store, lastFolder);
    request.title = title;
    request.mustExist = true;
    request.multiple = true;
    std::vector<std::string> chosen;
    if (!s_.files.GetFileNames(request, &chosen)) chosen.clear();
    return chosen;
}

void CKavrelDlg::OnAddPhotos() {
    std::vector<std::string> chosen = ChooseFiles(PhotoFileFilter(), settings::kLastPhotoFolder, theLanguage.GetString(119));
    if (!chosen.empty()) AddPhotoFiles(chosen);
}

void CKavrelDlg::OnAddMusic() {
    std::vector<std::string> chosen = ChooseFiles(MusicFileFilter(), settings::kLastAudioFolder, theLanguage.GetString(147));
    if (!chosen.empty()) AddMusicFiles(chosen);
}

namespace {
// What could not be added, said once for the whole choice.
std::string NotAddedMessage(int overLimit, int limit, const char* what, const std::vector<std::string>& tooLong) {
    std::string text;
    if (overLimit > 0) {
        text = "The " + std::string(what) + " list holds at most " + std::to_string(limit) + " files; " +
               std::to_string(overLimit) + " of the chosen files were not added.";
    }
    if (!tooLong.empty()) {
        if (!text.empty()) text += "\n\n";
        text += "These file names are longer than " + std::to_string(kMaxPathBytes) + " bytes and were not added:";
        for (const std::string& p : tooLong) text += "\n" + p;
    }
    return text;
}
}  // namespace

void CKavrelDlg::AddPhotoFiles(const std::vector<std::string>& paths, int insertAt) {
    int overLimit = 0;
    std::vector<std::string> tooLong, accepted;
    for (const std::string& path : paths) {
        if (project_.photoCount() + static_cast<int>(accepted.size()) >= kMaxPhotos) {
            ++overLimit;
        } else if (path.size() > kMaxPathBytes) {
            tooLong.push_back(path);
        } else {
            accepted.push_back(path);
        }
    }
    std::vector<int> rows = InsertionRows(true, insertAt, accepted.size());
    std::vector<PhotoItem> made = project_.MakePhotos(accepted, rows.empty() ? 0 : rows.front());
    PushInsertion({MediaList::Photos, std::move(rows), std::move(made), {}});
    facesAhead_.LookAt(accepted);
    const std::string& last = !accepted.empty() ? accepted.back()
                              : project_.photos().empty() ? std::string() : project_.photos().back().path;
    if (!last.empty()) WriteText(s_.store, settings::kLastPhotoFolder, FolderWithTrailingSlash(last));
    std::string message = NotAddedMessage(overLimit, kMaxPhotos, "photo", tooLong);
    if (!message.empty()) s_.boxes.Show({MessageOwner::MainWindow, message, "", MessageButtons::Ok, MessageIcon::Warning});
}

void CKavrelDlg::AddMusicFiles(const std::vector<std::string>& paths, int insertAt) {
    int overLimit = 0;
    std::vector<std::string> tooLong;
    std::vector<MusicItem> made;
    for (const std::string& path : paths) {
        if (project_.musicCount() + static_cast<int>(made.size()) >= kMaxMusic) {
            ++overLimit;
        } else if (path.size() > kMaxPathBytes) {
            tooLong.push_back(path);
        } else {
            made.push_back({path, MeasureMediaDuration(path, s_.faults)});
        }
    }
    const std::string last = !made.empty() ? made.back().path
                             : project_.music().empty() ? std::string() : project_.music().back().path;
    std::vector<std::string> added;
    for (const MusicItem& item : made) added.push_back(item.path);
    PushInsertion({MediaList::Music, InsertionRows(false, insertAt, made.size()), {}, std::move(made)});
    musicAhead_.LookAt(added);
    if (!last.empty()) WriteText(s_.store, settings::kLastAudioFolder, FolderWithTrailingSlash(last));
    std::string message = NotAddedMessage(overLimit, kMaxMusic, "music", tooLong);
    if (!message.empty()) s_.boxes.Show({MessageOwner::MainWindow, message, "", MessageButtons::Ok, MessageIcon::Warning});
}

void CKavrelDlg::OnDelete(bool photos) {
    const int count = photos ? project_.photoCount() : project_.musicCount();
    if (count == 0 || SelectionMissing(photos)) return;
    RemoveRows(photos, SelectedRows(photos));
}

void CKavrelDlg::OnClear(bool photos) {
    if (!MayClearList(photos)) return;
    ClearRows(photos);
}

void CKavrelDlg::OnMoveUp(bool photos) {
    const int count = photos ? project_.photoCount() : project_.musicCount();
    if (count < 2 || SelectionMissing(photos)) return;
    std::vector<int> rows = SelectedRows(photos);
    QTreeWidget* view = photos ? photoList() : musicList();
    view->setFocus();
    PushMoves(photos, MovesOneUp(rows));  // none when the selection holds the first row
}

void CKavrelDlg::OnMoveDown(bool photos) {
    const int count = photos ? project_.photoCount() : project_.musicCount();
    if (count < 2 || SelectionMissing(photos)) return;
    std::vector<int> rows = SelectedRows(photos);
    QTreeWidget* view = photos ? photoList() : musicList();
    view->setFocus();
    PushMoves(photos, MovesOneDown(rows, count));  // none when the selection holds the last row
}

void CKavrelDlg::OnPhotoProperty() {
    if (project_.photoCount() == 0 || SelectionMissing(true)) return;
    const int row = SelectedRows(true).front();
    const PhotoItem& item = project_.photos()[static_cast<std::size_t>(row)];
    if (item.IsTitle()) {
        OnEditTitle(row);
        return;
    }
    CPhotoProperty dialog(s_.boxes, s_.files, this);
    dialog.m_strFileName = item.path;
    dialog.SetTimingOf(item);
    dialog.m_caption = item.caption;
    dialog.m_framing = item.framing;
    dialog.m_move = MoveContextOf(row);
    if (RunDialog(dialog) != QDialog::Accepted) return;
    PhotoItem changed = item;
    changed.path = dialog.m_strFileName;
    dialog.GetTimingInto(&changed);
    changed.caption = dialog.m_caption;
    changed.framing = dialog.m_framing;
    if (changed.path.size() > kMaxPathBytes) return;
    if (changed != item) PushPhotoChanges(step_names::kPhotoProperties, {{row, item, changed}});
}

// As the timeline plans it: a video of the output's size, or where that is 0 × 0 the first photo's;
// under Random, the move chosen depends on the photo before.
PhotoMoveContext CKavrelDlg::MoveContextOf(int row) {
    const PhotoDefaults& defaults = project_.defaults();
    const MotionContext context = MotionContextOf(project_, facesOf);
    MotionKind previous = MotionKind::None;
    if (defaults.motionPolicy == kMotionPolicyRandom) {
        for (int i = 0; i < row; ++i)
            previous = MotionOfPhoto(project_.photos()[static_cast<std::size_t>(i)], i, context, previous).kind;
    }
    return {context.frameWidth, context.frameHeight, defaults.framing, defaults.motionAmountPercent,
            [context, row, previous](const PhotoItem& photo) { return MotionOfPhoto(photo, row, context, previous); },
            facesOf};
}

void CKavrelDlg::OnShowClickedPhoto() {
    const std::vector<int> rows = SelectedRows(true);
    if (rows.empty()) return;
    auto* box = ItemAs<QLabel>(kPreviewBox);
    VideoPicture picture;
    std::string error;
    const PhotoItem& item = project_.photos()[static_cast<std::size_t>(rows.front())];
    const bool drawn = item.title ? DrawTitlePicture(*item.title, item.path, box->width(), box->height(), &picture, &error)
                                  : DecodePhotoPicture(item.path, box->width(), box->height(), &picture, &error);
    if (!drawn) {
        box->setPixmap(QPixmap());  // black, without a message
        return;
    }
    QImage image(picture.pixels->data(), picture.width, picture.height, picture.stride, QImage::Format_RGB32);
    box->setPixmap(QPixmap::fromImage(image.copy()));
}

void CKavrelDlg::OnTransitionSettings() {
    const DefaultsState before = CurrentDefaultsState(project_, s_.store);
    PhotoDefaults old = project_.defaults();
    CTransitionSettings dialog(s_.boxes, s_.store, this);
    dialog.m_fPhotoDuration = old.photoDurationSec;
    dialog.m_fTransitionDuration = old.transitionDurationSec;
    dialog.m_nTransitionType = old.policy;
    dialog.m_nSameTransition = old.sameIndex;
    dialog.m_nMotionPolicy = old.motionPolicy;
    dialog.m_nSameMotion = static_cast<int>(old.sameMotion);
    dialog.m_nMotionAmount = old.motionAmountPercent;
    dialog.m_bMotionEased = old.motionEased;
    dialog.m_nFraming = static_cast<int>(old.framing);
    dialog.m_bFacesAimed = old.facesAimed;
    dialog.m_fMusicFadeOut = project_.musicFadeOutSec();
    dialog.m_musicMix = project_.musicMix();
    if (RunDialog(dialog) != QDialog::Accepted) return;
    PhotoDefaults chosen{dialog.m_fPhotoDuration, dialog.m_fTransitionDuration, dialog.m_nTransitionType,
                         dialog.m_nSameTransition, dialog.m_nMotionPolicy,
                         static_cast<MotionKind>(dialog.m_nSameMotion), dialog.m_nMotionAmount,
                         dialog.m_bMotionEased, static_cast<Framing>(dialog.m_nFraming)};
    chosen.facesAimed = dialog.m_bFacesAimed;
    project_.setMusicFadeOutSec(dialog.m_fMusicFadeOut);
    project_.musicMix() = dialog.m_musicMix;
    bool refresh = false;
    if (project_.NewDefaultsChangePhotos(chosen)) {
        refresh = s_.boxes.Show({MessageOwner::MainWindow,
                                 "The default parameters have been changed. Do you want to refresh the items of the "
                                 "photo list now?",
                                 "Refresh photo list", MessageButtons::YesNo, MessageIcon::None}) ==
                  MessageAnswer::Yes;
    }
    const std::vector<PhotoItem> photosBefore = project_.photos();
    project_.TakeOverDefaults(chosen, refresh);
    PushDefaults(before, photosBefore);
}

void CKavrelDlg::OnOutputSettings() {
    OutputSettingsServices services{s_.boxes, s_.store, s_.files, {s_.boxes, s_.faults}, held_, s_.codecPages};
    CDialogOutputSettings dialog(services, this);
    dialog.m_output = project_.output();
    const OutputState before = CurrentOutputState(project_, held_, s_.store);
    if (RunDialog(dialog) != QDialog::Accepted) return;
    project_.output() = dialog.m_output;
    ShowOutputStatus();
    PushOptions(before);
}
