// Convert and Preview: their checks, the running state, the progress and the graph's events.

#include <QProgressBar>
#include <QScrollBar>
#include <QTreeWidget>
#include <cstdio>
#include <filesystem>

#include "app/kavrel_dlg.h"
#include "app/file_refusals.h"
#include "app/interface_dates.h"
#include "app/list_rows.h"
#include "app/missing_file_locator.h"
#include "app/settings_table.h"
#include "app/show_messages.h"
#include "app/status_line.h"
#include "controls/announce.h"
#include "engine/container_compressors.h"
#include "engine/output_format.h"
#include "engine/timeline_builder.h"
#include "lang/language.h"
#include "platform/com/error_text.h"
#include "platform/shell/divx_feedback.h"
#include "platform/shell/file_probe.h"
#include "player/vcd_core.h"
#include "settings/filter_property_dialog.h"

namespace {

constexpr int kStatusLineId = 1021;

// The buttons that wait while a conversion runs.
constexpr int kBusyButtons[] = {1006, 1003, 1016, 1019, 1007, 1031, 1032, 1029, 1030, 1033, 1040, 1041, 1038, 1039};

bool IsShowFile(const SlideshowProject& project, const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code ec;
    auto same = [&](const std::string& input) { return fs::equivalent(input, path, ec); };
    for (const PhotoItem& p : project.photos()) {
        if (same(p.path)) return true;
    }
    for (const MusicItem& m : project.music()) {
        if (same(m.path)) return true;
    }
    return false;
}

}  // namespace

bool CKavrelDlg::CheckCounts() {
    if (project_.photoCount() == 0) {
        s_.boxes.Show({MessageOwner::MainWindow, theLanguage.GetString(126), theLanguage.GetString(105),
                       MessageButtons::Ok, MessageIcon::None});
        return false;
    }
    if (project_.photoCount() > kMaxPhotos) {
        s_.boxes.AppMessage("Photos are too many! Please delete some photos in the photo list.");
        return false;
    }
    if (project_.musicCount() > kMaxMusic) {
        s_.boxes.AppMessage("Music files are too many! Please delete some music files in the music list.");
        return false;
    }
    return true;
}

std::string CKavrelDlg::BlankWavPath() const {
    namespace fs = std::filesystem;
    // Beside the program, in the data folder, or in the source tree's res/ when run from a build.
    const fs::path candidates[] = {fs::path(s_.programFolder) / "blank.wav", fs::path(s_.dataFolder) / "blank.wav",
                                   fs::path(s_.dataFolder) / "res" / "blank.wav"};
    for (const fs::path& p : candidates) {
        if (FileCanBeOpenedForReading(p.string())) return p.string();
    }
    return candidates[0].string();
}

void CKavrelDlg::OnConvert() {
    if (!CheckCounts()) return;
    if (project_.run().previewing) {
        s_.boxes.AppMessage("Please stop Preview first!");
        return;
    }
    if (project_.run().converting) {
        StopConversion(false);
        return;
    }
    if (RefusedWithoutPicture()) return;
    if (RefuseUnusableFiles(true)) return;
    OutputSettings& out = project_.output();
    if (FileCanBeOpenedForReading(out.path)) {
        // Never a photo or music file of the show: answering Yes would replace it.
        if (IsShowFile(project_, out.path)) {
            s_.boxes.Show({MessageOwner::MainWindow,
                           "The output file " + out.path +
                               " is one of the show's photos or music files. Choose another output file in Options.",
                           theLanguage.GetString(105), MessageButtons::Ok, MessageIcon::Warning});
            return;
        }
        std::string question = out.path + " " + theLanguage.GetString(131);
        if (s_.boxes.Show({MessageOwner::None, question, theLanguage.GetString(108), MessageButtons::YesNo,
                           MessageIcon::Warning}) != MessageAnswer::Yes) {
            return;
        }
        // The old file goes only when the new one, complete, takes its name.
    }
    bool silentTrack = false;
    if ((out.format == kFormatWmv || out.format == kFormatAsf) && project_.musicCount() == 0) {
        const std::string blank = BlankWavPath();
        if (FileCanBeOpenedForReading(blank)) {
            project_.AppendMusic(blank, MeasureMediaDuration(blank, s_.faults));
            silentTrack = true;
        } else {
            s_.boxes.Show({MessageOwner::MainWindow, "Error, File does not exist!", blank, MessageButtons::Ok,
                           MessageIcon::None});
            s_.boxes.Show({MessageOwner::MainWindow, "Please add a music file into the audio list", "warnning",
                           MessageButtons::Ok, MessageIcon::None});
        }
    }
    if (out.format != kFormatWmv && out.format != kFormatAsf && out.useVideoCompressor == 0) {
        const std::string guide = (std::filesystem::path(s_.dataFolder) / "help" / "Formats.htm").string();
        std::string warning =
            "You do not select a video compressor in Options dialog. The output file will be very big.\n"
            "Strongly recommend you to install DivX codec, then select DivX as video compressor.\n"
            "If there is no DivX codec on your system, please download it at " + guide + "\nDo you want to continue?";
        if (s_.boxes.Show({MessageOwner::MainWindow, warning, "Warning", MessageButtons::YesNo, MessageIcon::None}) !=
            MessageAnswer::Yes) {
            if (silentTrack) project_.RemoveMusic(project_.musicCount() - 1);
            return;
        }
    }
    DisableDivXFeedback();
    bool located = false;
    BuildTimelineLocatingFiles(&located);
    FitHeldCompressorsToFormat();
    StartRendering();
    if (silentTrack) project_.RemoveMusic(project_.musicCount() - 1);
    if (located) {  // after the silent track has gone, which the list never shows
        const std::vector<int> selected = SelectedRows(false);
        const int scroll = musicList()->verticalScrollBar()->value();
        RebuildMusicView();
        ShowSelection(false, selected, scroll);
    }
}

void CKavrelDlg::StartRendering() {
    RenderToFileEnv env{s_.boxes, this,
                        [this](const std::shared_ptr<IGraphBuilder>& graph) {
                            CDialogFilterPerproty dialog(s_.boxes, s_.frames, this);
                            dialog.m_pFilterGraph = graph;
                            RunDialog(dialog);
                        },
                        nullptr,
                        [this](const std::string& page) {
                            if (s_.openUrl) s_.openUrl((std::filesystem::path(s_.dataFolder) / page).string());
                        },
                        s_.faults, nullptr};
    bool running = false;
    RenderToFile(project_, timeline_, held_, env, &conversion_, &running);
    if (running) {
        EnterRunningState();
    } else {
        // What was made stays until the next conversion replaces it; nothing runs.
        project_.run().converting = false;
    }
}

bool CKavrelDlg::RefusedWithoutPicture() {
    if (ShowHasAPicture(project_.photos())) return false;
    s_.boxes.Show({MessageOwner::MainWindow, NoPictureText(), theLanguage.GetString(105), MessageButtons::Ok,
                   MessageIcon::Warning});
    return true;
}

void CKavrelDlg::FitHeldCompressorsToFormat() {
    OutputSettings& out = project_.output();
    const CompressorServices compressors{s_.boxes, s_.faults};
    const std::optional<CompressorSwap> swap = FitCompressorsToContainer(compressors, out.format, &held_);
    if (!swap) return;
    // Kept, so that Options shows the pair that is written.
    WriteInt(s_.store, settings::kVideoCompressor, swap->videoPosition);
    WriteInt(s_.store, settings::kAudioCompressor, swap->audioPosition);
    out.useVideoCompressor = held_.video.use ? 1 : 0;
    out.useAudioCompressor = held_.audio.use ? 1 : 0;
    s_.boxes.Show({MessageOwner::MainWindow, CompressorSwapText(ContainerName(out.format), *swap),
                   theLanguage.GetString(108), MessageButtons::Ok, MessageIcon::Warning});
}

bool CKavrelDlg::RefuseUnusableFiles(bool output) {
    std::string refusal = output ? OutputRefusalText(project_.output().path) : std::string();
    if (refusal.empty()) refusal = InputNotAFileText(project_);
    if (refusal.empty()) return false;
    s_.boxes.Show({MessageOwner::MainWindow, refusal, theLanguage.GetString(105), MessageButtons::Ok,
                   MessageIcon::Error});
    return true;
}

HRESULT CKavrelDlg::BuildTimelineLocatingFiles(bool* located) {
    std::set<std::string> music;
    for (const MusicItem& item : project_.music()) music.insert(item.path);
    MissingFileLocator locator(s_.files, this, std::move(music));
    const std::string locale = theLanguage.LookupLocale(theLanguage.GetCurrentLanguage()).posixLocale;
    const TimelineBuildEnv env{s_.boxes, s_.faults, &locator, InterfaceDateWords(locale), LanguageCodeOf(locale)};
    const HRESULT hr = BuildTimeline(project_, env, &timeline_);
    const std::vector<PhotoItem> photosBefore = project_.photos();
    const std::vector<MusicItem> musicBefore = project_.music();
    *located = locator.ApplyTo(project_) > 0;
    if (*located) PushLocatedFiles(photosBefore, musicBefore);
    return hr;
}

void CKavrelDlg::EnableBusyButtons(bool enable) {
    for (int id : kBusyButtons) {
        if (QWidget* w = Item(id)) w->setEnabled(enable);
    }
    UpdateMenuBar();
}

void CKavrelDlg::EnterRunningState() {
    project_.run().converting = true;
    convertedFile_.clear();
    SetItemText(1000, theLanguage.GetDialogString(124));
    project_.run().elapsedSeconds = 0;
    progressTimer_.start();
    EnableBusyButtons(false);
    progress_->setValue(0);
    progress_->show();
}

void CKavrelDlg::OnProgressTick() {
    int& elapsed = project_.run().elapsedSeconds;
    ++elapsed;
    SetStatus(ElapsedStatus(elapsed));
    std::shared_ptr<IGraphBuilder> graph;
    std::shared_ptr<IMediaSeeking> seeking;
    REFERENCE_TIME position = 0, duration = 0;
    if (conversion_.engine && SUCCEEDED(conversion_.engine->GetFilterGraph(&graph)) &&
        SUCCEEDED(QueryInterface(graph, &seeking)) && SUCCEEDED(seeking->GetCurrentPosition(&position)) &&
        SUCCEEDED(seeking->GetDuration(&duration)) && duration > 0) {
        progress_->setValue(static_cast<int>(std::min<REFERENCE_TIME>(1000, position * 1000 / duration)));
    }
}

void CKavrelDlg::PostGraphNotify(long, long) {
    QMetaObject::invokeMethod(this, [this] { OnGraphNotify(); }, Qt::QueuedConnection);
}

void CKavrelDlg::OnGraphNotify() {
    long code = 0, param1 = 0, param2 = 0;
    while (conversion_.event && SUCCEEDED(conversion_.event->GetEvent(&code, &param1, &param2, 0))) {
        conversion_.event->FreeEventParams(code, param1, param2);
        if (code == EC_COMPLETE) {
            convertedFile_ = project_.output().path;
            StopConversion(false);
        } else if (code == EC_ERRORABORT) {
            const std::string reason = AMGetErrorText(param1);
            StopConversion(true);
            s_.boxes.Show({MessageOwner::MainWindow, reason, theLanguage.GetString(105), MessageButtons::Ok,
                           MessageIcon::Error});
        }
    }
}

void CKavrelDlg::StopConversion(bool failed) {
    progressTimer_.stop();
    if (conversion_.control) conversion_.control->Stop();
    if (conversion_.event) conversion_.event->SetNotifyWindow(nullptr, 0, 0);
    conversion_.event.reset();
    conversion_.control.reset();
    if (conversion_.engine) conversion_.engine->ScrapIt();
    conversion_.engine.reset();
    timeline_.reset();
    project_.run().converting = false;
    SetItemText(1000, theLanguage.GetDialogString(125));
    project_.run().elapsedSeconds = 0;
    const OutputSettings& o = project_.output();
    SetStatus(failed ? FailedStatus(o.path) : DoneStatus(o.path, o.width, o.height));
    Announce(Item(kStatusLineId));
    EnableBusyButtons(true);
    progress_->hide();
    ShowSummary();
}

void CKavrelDlg::AbandonConversion() {
    std::shared_ptr<IMediaAbandon> abandon;
    if (conversion_.control && SUCCEEDED(QueryInterface(conversion_.control, &abandon))) abandon->Abandon();
    StopConversion(true);
}

void CKavrelDlg::OnPreview() {
    // A running preview always stops, even when the lists were cleared meanwhile.
    if (project_.run().previewing) {
        EndPreviewRun();
        return;
    }
    if (!CheckCounts()) return;
    if (project_.run().converting) {
        s_.boxes.AppMessage("Please stop Convert first!");
        return;
    }
    if (RefusedWithoutPicture()) return;
    if (RefuseUnusableFiles(false)) return;
    bool located = false;
    const HRESULT built = BuildTimelineLocatingFiles(&located);  // a file located redraws the lists
    if (FAILED(built)) return;
    PreviewEnv env{s_.boxes, [this] {
                       return std::make_unique<CVcdCore>(this, s_.boxes, [this](int command) {
                           if (command == IDC_BUTTON_PREVIEW_VIDEO) OnPreview();
                       });
                   },
                   s_.faults};
    if (FAILED(RenderPreview(timeline_, env, &preview_))) return;
    project_.run().previewing = true;
    SetItemText(1019, theLanguage.GetDialogString(124));
}

void CKavrelDlg::EndPreviewRun() {
    EndPreview(&preview_);
    timeline_.reset();
    project_.run().previewing = false;
    SetItemText(1019, theLanguage.GetDialogString(141));
}
