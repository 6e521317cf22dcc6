// Writes a picture of each window and dialog, as it opens with the default settings, into the
// folder given (docs/screenshots in the source tree), in English or the language given second.
// Runs on any Qt platform, offscreen too; there give it a desktop's screen, or the larger dialogs
// shrink to the platform's 800 x 600:
//   QT_QPA_PLATFORM=offscreen:configfile=tests/ui/desktop-screen.json kavrel-dialog-screenshots docs/screenshots

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QTimer>
#include <cstdio>
#include <tuple>

#include "app/kavrel_dlg.h"
#include "app/settings_table.h"
#include "app/about_dialog.h"
#include "player/qt_preview_renderers.h"
#include "player/vcd_core.h"
#include <QPainter>
#include <QTreeWidget>
#include "engine/motion_aiming.h"
#include "engine/render_to_file.h"
#include "engine/timeline_builder.h"
#include "platform/shell/console_message_boxes.h"
#include "platform/shell/profile_store.h"
#include "platform/shell/qt_shell_dialogs.h"
#include "settings/caption_style_dialog.h"
#include "settings/filter_property_dialog.h"
#include "app/show_messages.h"
#include "settings/music_property_dialog.h"
#include "lang/language.h"
#include "settings/options_page.h"
#include "settings/output_settings_dialog.h"
#include "settings/photo_property_dialog.h"
#include "settings/title_card_dialog.h"
#include "settings/transition_settings_dialog.h"

namespace {

QString folder;

bool Save(QWidget& w, const QString& name) {
    w.show();
    QApplication::processEvents();
    const QString path = folder + "/" + name + ".png";
    const bool ok = w.grab().save(path);
    std::fprintf(stderr, "%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

// A built MP4 graph (H.264 and AAC) of a one-photo show, for the filter list and a filter's page.
bool SaveFilterDialogs(MessageBoxes& boxes, const QString& work) {
    QImage photo(320, 240, QImage::Format_RGB32);
    photo.fill(QColor(40, 90, 160));
    const std::string photoPath = (work + "/photo.png").toStdString();
    photo.save(QString::fromStdString(photoPath));
    SlideshowProject project;
    project.AppendPhoto(photoPath);
    OutputSettings& out = project.output();
    out.path = (work + "/show.mp4").toStdString();
    out.format = 4;
    out.width = 320;
    out.height = 240;
    CompressorServices services{boxes, nullptr};
    HeldCompressors held;
    int video = -1, audio = -1;
    FindCompressorByName(services, true, "libx264", &video);
    FindCompressorByName(services, false, "aac", &audio);
    GetCompressor(services, video, &held.video.filter);
    GetAudioCompressor(services, audio, &held.audio.filter);
    out.useVideoCompressor = held.video.filter ? 1 : 0;
    out.useAudioCompressor = held.audio.filter ? 1 : 0;
    std::shared_ptr<IAMTimeline> timeline;
    TimelineBuildEnv buildEnv{boxes, nullptr, nullptr};
    if (FAILED(BuildTimeline(project, buildEnv, &timeline))) return false;
    bool saved = false;
    RenderToFileEnv env{boxes, nullptr, nullptr, [&](const std::shared_ptr<IGraphBuilder>& graph) {
                            QtPropertyFrame frames;
                            CDialogFilterPerproty list(boxes, frames);
                            list.m_pFilterGraph = graph;
                            list.Prepare();
                            saved = Save(list, "filter-properties");
                            std::vector<std::shared_ptr<IBaseFilter>> filters;
                            graph->EnumFilters(&filters);
                            for (const auto& f : filters) {
                                std::shared_ptr<ISpecifyPropertyPages> pages;
                                std::vector<FilterOption> options;
                                FILTER_INFO info;
                                f->QueryFilterInfo(&info);
                                if (info.achName != "VideoCompressor" || FAILED(QueryInterface(f, &pages))) continue;
                                pages->GetPages(&options);
                                OptionsPage page(info.achName, options, nullptr);
                                saved = Save(page, "filter-settings-page") && saved;
                            }
                            return false;  // pictures only: nothing is converted
                        },
                        nullptr, nullptr, nullptr};
    ConversionObjects objects;
    bool running = false;
    RenderToFile(project, timeline, held, env, &objects, &running);
    if (objects.engine) objects.engine->ScrapIt();
    return saved;
}

// Photos to show: coloured gradients with a sun, drawn here.
std::vector<std::string> DrawPhotos(const QString& work) {
    std::vector<std::string> paths;
    const QColor skies[] = {QColor(70, 130, 200), QColor(230, 120, 60), QColor(60, 150, 90), QColor(120, 80, 170)};
    for (int i = 0; i < 4; ++i) {
        QImage image(1200, 800, QImage::Format_RGB32);
        QPainter p(&image);
        QLinearGradient sky(0, 0, 0, 800);
        sky.setColorAt(0, skies[i].lighter(150));
        sky.setColorAt(1, skies[i]);
        p.fillRect(image.rect(), sky);
        p.setBrush(QColor(255, 220, 90));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPoint(300 + 150 * i, 260), 110, 110);
        p.setBrush(skies[i].darker(220));
        p.drawRect(0, 560, 1200, 240);
        p.end();
        const QString path = work + QString("/holiday-%1.jpg").arg(i + 1);
        image.save(path, "JPG", 90);
        paths.push_back(path.toStdString());
    }
    return paths;
}

// Two people on a beach, and where their faces are, in fractions of the photo.
std::string DrawPortrait(const QString& work, std::vector<PhotoRect>* faces) {
    QImage image(1200, 800, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient sky(0, 0, 0, 520);
    sky.setColorAt(0, QColor(120, 180, 235));
    sky.setColorAt(1, QColor(200, 225, 245));
    p.fillRect(image.rect(), sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 110, 160));
    p.drawRect(0, 430, 1200, 130);
    p.setBrush(QColor(225, 200, 150));
    p.drawRect(0, 560, 1200, 240);
    faces->clear();
    for (auto [x, y, shirt] : {std::tuple{760, 300, QColor(200, 60, 60)}, {930, 340, QColor(60, 90, 170)}}) {
        p.setBrush(shirt);
        p.drawRoundedRect(x - 80, y + 70, 160, 330, 50, 50);
        p.setBrush(QColor(235, 190, 160));
        p.drawEllipse(QPoint(x, y), 48, 62);
        p.setBrush(QColor(60, 40, 30));
        p.drawEllipse(QPoint(x - 17, y - 8), 6, 6);
        p.drawEllipse(QPoint(x + 17, y - 8), 6, 6);
        faces->push_back({(x - 55) / 1200.0, (y - 70) / 800.0, 110 / 1200.0, 140 / 800.0});
    }
    p.end();
    const QString path = work + "/beach.jpg";
    image.save(path, "JPG", 90);
    return path.toStdString();
}

// The photo's dialog for a show in 1280 × 720 that zooms in on the faces found.
bool SavePhotoDialog(MessageBoxes& boxes, FileDialogs& files, const QString& work) {
    std::vector<PhotoRect> faces;
    const std::string path = DrawPortrait(work, &faces);
    const FacesOf facesOf = [faces](const std::string&) { return FoundFaces{true, 1200, 800, faces}; };
    static const PhotoDefaults defaults;
    const MotionContext context{defaults, 0, 1280, 720, facesOf};
    CPhotoProperty photo(boxes, files);
    photo.m_strFileName = path;
    photo.m_fPhotoDuration = 8;
    photo.m_nTransitionIndex = 3;
    photo.m_fTransitionDuration = 4;
    photo.m_nMotion = static_cast<int>(MotionKind::ZoomIn);
    photo.m_move = {1280, 720, defaults.framing, defaults.motionAmountPercent,
                    [context](const PhotoItem& item) { return MotionOfPhoto(item, 0, context, MotionKind::None); },
                    facesOf};
    photo.Prepare();
    return Save(photo, "photo-property");
}

bool SaveMainWindowAndPlayer(MessageBoxes& boxes, ProfileStore& store, FileDialogs& files, const QString& work) {
    QtPropertyFrame frames;
    QtCodecConfigurePort codecPages;
    const std::string root = CLanguage::FindLanguageRoot();
    MainWindowServices services{boxes, files, store, frames, &codecPages, nullptr, root,
                                QCoreApplication::applicationDirPath().toStdString(), nullptr, {}};
    CKavrelDlg window(services);
    window.Prepare();
    window.project().random().Seed(7);  // the same transitions in every picture
    window.AddPhotoFiles(DrawPhotos(work));
    window.AddMusicFiles({(QCoreApplication::applicationDirPath() + "/blank.wav").toStdString()});
    window.photoList()->topLevelItem(1)->setSelected(true);
    window.OnShowClickedPhoto();
    bool ok = Save(window, "main-window");
    CAboutDlg about(boxes, HomePageAddress(root), ContactPageAddress(root));
    about.Prepare();
    ok = Save(about, "about") && ok;
    window.OnPreview();
    QWidget* player = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == "PreviewWindow" && w->isVisible()) player = w;
    }
    if (player != nullptr) {
        QEventLoop wait;
        QTimer::singleShot(5000, &wait, &QEventLoop::quit);  // past the first transition
        wait.exec();
        ok = Save(*player, "preview-player") && ok;
    } else {
        ok = false;
    }
    window.OnPreview();
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setApplicationDisplayName("Kavrel");
    folder = argc > 1 ? argv[1] : "docs/screenshots";
    QDir().mkpath(folder);
    const QString work = QDir::tempPath() + "/kavrel-screenshots";
    QDir().mkpath(work);
    ConsoleMessageBoxes boxes("Kavrel");
    // A second argument names the language to draw them in.
    theLanguage.Init(CLanguage::FindLanguageRoot(), argc > 2 ? argv[2] : "english");
    ProfileStore store((work + "/settings.ini").toStdString());
    QtFileDialogs files;
    bool ok = true;

    HeldCompressors held;
    QtCodecConfigurePort codecPages;
    for (auto [format, name] : {std::pair{0, "output-settings-avi"}, {1, "output-settings-wmv"},
                                {6, "output-settings-ogm"}}) {
        CDialogOutputSettings output({boxes, store, files, {boxes, nullptr}, held, &codecPages});
        output.m_output.path = DefaultOutputName();
        if (format == 6) output.m_output.path = output.m_output.path.substr(0, output.m_output.path.rfind('.')) + ".ogm";
        output.m_output.format = format;
        output.Prepare();
        ok = Save(output, name) && ok;
    }
    ok = SavePhotoDialog(boxes, files, work) && ok;
    CMusicProperty song(boxes);
    song.m_strFileName = "/home/user/Music/harbour-waltz.flac";
    song.m_fileLength = 2053312500;
    song.m_song = {120000000, 1800000000, -3, 2};
    song.SetMeasuredLevel(SongLevelText(MusicLevel{-11.2, -0.4}, MusicMix()));
    song.Prepare();
    ok = Save(song, "music-property") && ok;
    CTransitionSettings defaults(boxes, store);
    defaults.m_fPhotoDuration = 8;
    defaults.m_fTransitionDuration = 4;
    defaults.m_nTransitionType = 2;
    defaults.m_nSameTransition = 3;
    defaults.Prepare();
    ok = Save(defaults, "default-transition") && ok;
    CTitleCard title(boxes, files);
    title.m_card.text = "Our Summer\nin Brittany";
    title.m_card.backgroundColour = 0x1F3A5F;
    title.m_fPhotoDuration = 8;
    title.m_nTransitionIndex = 3;
    title.m_fTransitionDuration = 4;
    title.Prepare();
    ok = Save(title, "title-card") && ok;
    CCaptionStyle captions(boxes);
    captions.Prepare();
    ok = Save(captions, "caption-style") && ok;
    ok = SaveFilterDialogs(boxes, work) && ok;
    InstallQtPreviewRenderers();
    ok = SaveMainWindowAndPlayer(boxes, store, files, work) && ok;
    QDir(work).removeRecursively();
    return ok ? 0 : 1;
}
