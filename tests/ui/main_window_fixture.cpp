#include "tests/ui/main_window_fixture.h"

#include <QApplication>

#include "app/slideshow_project.h"
#include "engine/transition_catalogue.h"
#include "platform/codecs/codec_settings.h"
#include "tests/support/media_reader.h"

namespace fs = std::filesystem;

void MainWindowFixture::SetUp() {
    InstallQtPreviewRenderers();
    fs::create_directories(dir.path() / "a");
    fs::create_directories(dir.path() / "b");
    fs::create_directories(dir.path() / "program");
}

void MainWindowFixture::TearDown() {
    window.reset();
    SetCodecSettingsStore(nullptr);
    SetPreviewRenderers({});
}

CKavrelDlg& MainWindowFixture::Open(std::string dataFolder) {
    MainWindowServices services{*messageBoxes,
                                files,
                                store,
                                frames,
                                codecPages.get(),
                                [this](const std::string& a) {
                                    opened.push_back(a);
                                    return true;
                                },
                                std::move(dataFolder),
                                (dir.path() / "program").string(),
                                nullptr,
                                [this](const std::string& file) {
                                    shownInFolder.push_back(file);
                                    return true;
                                }};
    SetCodecSettingsStore(&store);  // as the program keeps them
    window = std::make_unique<CKavrelDlg>(services);
    window->Prepare();
    return *window;
}

void MainWindowFixture::RunProgram(const std::function<void(CKavrelDlg&)>& script, std::string dataFolder) {
    CKavrelDlg& w = Open(std::move(dataFolder));
    RunModal(w, [&] {
        script(w);
        // Whatever the script left running ends before the window goes, as a user would end it.
        if (w.project().run().converting) w.OnConvert();
        if (w.project().run().previewing) w.OnPreview();
    });
}

std::string MainWindowFixture::Photo(const std::string& folder, int salt, int w, int h) {
    std::string path = (dir.path() / folder / ("p" + std::to_string(salt) + ".png")).string();
    EXPECT_EQ(WritePhoto(path, w, h, salt, "png"), "");
    return path;
}

void MainWindowFixture::Click(int id) { ClickThroughWindow(window->Item(id)); }

std::vector<std::string> MainWindowFixture::Names() {
    std::vector<std::string> names;
    for (const PhotoItem& p : window->project().photos()) names.push_back(fs::path(p.path).filename().string());
    return names;
}

std::vector<int> MainWindowFixture::Selected() {
    std::vector<int> rows;
    for (int i = 0; i < window->photoList()->topLevelItemCount(); ++i) {
        if (window->photoList()->topLevelItem(i)->isSelected()) rows.push_back(i);
    }
    return rows;
}

void MainWindowFixture::Select(std::vector<int> rows) {
    window->photoList()->clearSelection();
    for (int r : rows) window->photoList()->topLevelItem(r)->setSelected(true);
}

std::string MainWindowFixture::Status() { return window->ItemAs<QLabel>(1021)->text().toStdString(); }

QWidget* MainWindowFixture::PlayerWindow() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->objectName() == "PreviewWindow" && top->isVisible()) return top;
    }
    return nullptr;
}

void MainWindowFixture::SmallAviShow(int count, double seconds) {
    std::vector<std::string> photos;
    for (int i = 0; i < count; ++i) photos.push_back(Photo("a", i));
    window->AddPhotoFiles(photos);
    window->project().defaults() = {seconds, 0.5, kPolicySame, 3};
    window->project().TakeOverDefaults(window->project().defaults(), true);
    OutputSettings& o = window->project().output();
    o.format = 0;
    o.path = (dir.path() / "show.avi").string();
    o.width = 96;
    o.height = 64;
}

void MainWindowFixture::LongShow() {
    SmallAviShow(1, 4);
    window->AddPhotoFiles(std::vector<std::string>(299, window->project().photos()[0].path));
    window->project().output().width = 320;
    window->project().output().height = 240;
}
