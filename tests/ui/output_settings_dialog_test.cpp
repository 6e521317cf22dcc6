// The output settings dialog, driven as a user would, over the compressors this machine has.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "app/settings_table.h"
#include "platform/codecs/codec_manager.h"
#include "platform/shell/profile_store.h"
#include "settings/output_settings_dialog.h"
#include "tests/support/recording_file_dialogs.h"
#include "tests/support/recording_message_boxes.h"
#include "tests/support/temp_dir.h"
#include "tests/ui/main_window_fixture.h"

namespace {

constexpr int kFormat = 1093, kFile = 1022, kBrowse = 1024, kResolution = 1025, kWidth = 1027, kHeight = 1028,
              kVideo = 1001, kVideoSettings = 1053, kAudio = 1002, kNote = 1073, kBitrate = 1087,
              kAudioBitrate = 1088, kOk = 1074, kDefault = 1051, kCancel = 1075;

class RecordingCodecPort : public CodecConfigurePort {
public:
    bool Configure(void*, const std::string& title, std::vector<FilterOption>*) override {
        titles.push_back(title);
        return false;
    }
    std::vector<std::string> titles;
};

class OutputSettingsTest : public testing::Test {
protected:
    std::unique_ptr<CDialogOutputSettings> Open(OutputSettings output) {
        auto d = std::make_unique<CDialogOutputSettings>(
            OutputSettingsServices{boxes, store, files, services, held, &codecPort});
        d->m_output = output;
        d->Prepare();
        d->show();
        return d;
    }
    static OutputSettings Avi(int width = 640, int height = 480) {
        OutputSettings o;
        o.path = "/videos/show.avi";
        o.format = 0;
        o.width = width;
        o.height = height;
        return o;
    }
    void Choose(TemplateDialog& d, int id, int index) {
        auto* list = d.ItemAs<QComboBox>(id);
        list->setCurrentIndex(index);
        emit list->activated(index);
    }
    void Type(TemplateDialog& d, int id, const QString& text) {
        auto* edit = d.ItemAs<QLineEdit>(id);
        edit->clear();
        QTest::keyClicks(edit, text);
    }
    void Click(TemplateDialog& d, int id) { QTest::mouseClick(d.ItemAs<QPushButton>(id), Qt::LeftButton); }
    int Selected(TemplateDialog& d, int id) { return d.ItemAs<QComboBox>(id)->currentIndex(); }
    bool Shown(TemplateDialog& d, int id) { return d.Item(id)->isVisibleTo(&d); }
    int Position(bool video, const std::string& name) {
        int position = -1;
        EXPECT_TRUE(FindCompressorByName(services, video, name, &position)) << name;
        return position;
    }

    TempDir dir;
    ProfileStore store{dir.File("settings.ini")};
    RecordingMessageBoxes boxes;
    RecordingFileDialogs files;
    CompressorServices services{boxes, nullptr};
    HeldCompressors held;
    RecordingCodecPort codecPort;
};

TEST_F(OutputSettingsTest, OpensOnThePresetOrTheCustomSize) {
    auto preset = Open(Avi());
    EXPECT_EQ(preset->ItemAs<QComboBox>(kResolution)->currentText(), "640*480");
    EXPECT_FALSE(Shown(*preset, kWidth));
    EXPECT_FALSE(Shown(*preset, kHeight));

    auto hd = Open(Avi(1920, 1080));
    EXPECT_EQ(hd->ItemAs<QComboBox>(kResolution)->currentText(), "1920*1080");
    EXPECT_FALSE(Shown(*hd, kWidth));
    auto upright = Open(Avi(1080, 1920));
    EXPECT_EQ(upright->ItemAs<QComboBox>(kResolution)->currentText(), "1080*1920");

    auto custom = Open(Avi(1024, 768));
    EXPECT_EQ(Selected(*custom, kResolution), custom->ItemAs<QComboBox>(kResolution)->count() - 1);  // last
    EXPECT_EQ(custom->ItemAs<QComboBox>(kResolution)->currentText(), "Custom size");
    EXPECT_TRUE(Shown(*custom, kWidth));
    EXPECT_EQ(custom->ItemAs<QLineEdit>(kWidth)->text(), "1024");
    EXPECT_EQ(custom->ItemAs<QLineEdit>(kHeight)->text(), "768");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(OutputSettingsTest, SizesAreRoundedRaisedAndBounded) {
    auto d = Open(Avi());
    Choose(*d, kResolution, 2);
    EXPECT_EQ(d->ItemAs<QLineEdit>(kWidth)->text(), "720");
    Click(*d, kOk);
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(ReadInt(store, settings::kOutputWidth), 720);
    EXPECT_EQ(ReadInt(store, settings::kOutputHeight), 576);

    struct Case {
        const char *width, *height;
        int storedWidth, storedHeight;
    };
    for (const Case& c : {Case{"645", "10", 640, 16}, Case{"-20", "7", 16, 16}, Case{"wide", "x", 16, 16}}) {
        auto custom = Open(Avi(1000, 1000));
        Type(*custom, kWidth, c.width);
        Type(*custom, kHeight, c.height);
        Click(*custom, kOk);
        EXPECT_EQ(custom->m_output.width, c.storedWidth) << c.width;
        EXPECT_EQ(custom->m_output.height, c.storedHeight) << c.height;
        EXPECT_EQ(ReadInt(store, settings::kOutputWidth), c.storedWidth);
    }
    auto huge = Open(Avi(1000, 1000));
    Type(*huge, kWidth, "8200");
    Click(*huge, kOk);
    EXPECT_TRUE(huge->isVisible());
    EXPECT_EQ(boxes.Texts().back(), "The frame size can be at most 8192 * 8192.");
    EXPECT_EQ(ReadInt(store, settings::kOutputWidth), 16);
}

TEST_F(OutputSettingsTest, WindowsMediaBitrates) {
    OutputSettings wmv = Avi();
    wmv.format = 1;
    wmv.path = "/videos/show.wmv";
    auto d = Open(wmv);
    EXPECT_TRUE(Shown(*d, kBitrate));
    EXPECT_FALSE(Shown(*d, kVideo));
    EXPECT_EQ(d->ItemAs<QLineEdit>(kBitrate)->text(), "2000");
    EXPECT_EQ(d->ItemAs<QComboBox>(kAudioBitrate)->currentText(), "192");
    Type(*d, kBitrate, "1500");
    Choose(*d, kAudioBitrate, 3);
    Click(*d, kOk);
    EXPECT_EQ(ReadInt(store, settings::kVideoBitrate), 1536000);
    EXPECT_EQ(ReadInt(store, settings::kAudioBitrate), 320000);
    EXPECT_EQ(ReadInt(store, settings::kOutputFormat), 1);

    wmv.audioBitrate = 100000;
    auto odd = Open(wmv);
    EXPECT_EQ(Selected(*odd, kAudioBitrate), -1);
    Type(*odd, kBitrate, "3000000");  // 3000000 × 1024 bits per second do not fit 32 bits
    Click(*odd, kOk);
    EXPECT_TRUE(odd->isVisible());
    EXPECT_EQ(boxes.Texts().back(), "The video bitrate must be from 1 to 2097151 Kbps.");
    for (const char* none : {"0", "-5", "fast"}) {  // no encoder writes at these
        Type(*odd, kBitrate, none);
        Click(*odd, kOk);
        EXPECT_TRUE(odd->isVisible()) << none;
    }
    Type(*odd, kBitrate, "2097151");
    Click(*odd, kOk);
    EXPECT_EQ(ReadInt(store, settings::kAudioBitrate), 100000);
    EXPECT_EQ(ReadInt(store, settings::kVideoBitrate), 2097151 * 1024);

    OutputSettings avi = Avi();  // the bitrate is hidden: a stored 0 becomes the default
    avi.videoBitrate = 0;
    auto hidden = Open(avi);
    Click(*hidden, kOk);
    EXPECT_FALSE(hidden->isVisible());
    EXPECT_EQ(ReadInt(store, settings::kVideoBitrate), 2000 * 1024);
}

TEST_F(OutputSettingsTest, TheFormatGivesTheExtensionAndTheGroup) {
    auto d = Open(Avi());
    EXPECT_EQ(d->ItemAs<QComboBox>(kFormat)->count(), 5);
    EXPECT_TRUE(Shown(*d, kVideo));
    EXPECT_TRUE(Shown(*d, kNote));
    EXPECT_FALSE(Shown(*d, kBitrate));
    Choose(*d, kFormat, 1);
    EXPECT_EQ(d->ItemAs<QLineEdit>(kFile)->text(), "/videos/show.wmv");
    EXPECT_FALSE(Shown(*d, kVideo));
    EXPECT_TRUE(Shown(*d, kAudioBitrate));
    Choose(*d, kFormat, 4);
    EXPECT_EQ(d->ItemAs<QLineEdit>(kFile)->text(), "/videos/show.mp4");
    EXPECT_TRUE(Shown(*d, kVideo));  // MP4 is written with compressors
    Type(*d, kFile, "/videos/plain");
    Choose(*d, kFormat, 2);
    EXPECT_EQ(d->ItemAs<QLineEdit>(kFile)->text(), "/videos/plain.mkv");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(OutputSettingsTest, AStoredFormatTheListLacksIsKept) {
    OutputSettings dsm = Avi();
    dsm.format = 5;
    auto d = Open(dsm);
    EXPECT_EQ(Selected(*d, kFormat), -1);
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{"Does not support the video format", "unknown error"}));
    EXPECT_EQ(d->ItemAs<QLineEdit>(kFile)->text(), "/videos/show.avi");
    Click(*d, kOk);
    EXPECT_EQ(ReadInt(store, settings::kOutputFormat), 5);
}

TEST_F(OutputSettingsTest, DefaultPicksEachFormatsCompressors) {
    auto d = Open(Avi());
    Choose(*d, kVideo, 0);
    Choose(*d, kAudio, 0);
    Click(*d, kDefault);
    EXPECT_EQ(Selected(*d, kVideo), Position(true, "mpeg4") + 1);
    EXPECT_EQ(Selected(*d, kAudio), Position(false, "adpcm_ms") + 1);
    EXPECT_EQ(d->ItemAs<QLineEdit>(kFile)->text(), "/videos/show.avi");

    Choose(*d, kFormat, 4);
    Click(*d, kDefault);
    EXPECT_EQ(Selected(*d, kVideo), Position(true, "libx264") + 1);
    EXPECT_EQ(Selected(*d, kAudio), Position(false, "aac") + 1);

    Choose(*d, kFormat, 3);
    Type(*d, kBitrate, "100");
    Choose(*d, kAudioBitrate, 0);
    Click(*d, kDefault);
    EXPECT_EQ(d->ItemAs<QLineEdit>(kBitrate)->text(), "2000");
    EXPECT_EQ(Selected(*d, kAudioBitrate), 2);
    EXPECT_EQ(Selected(*d, kVideo), Position(true, "libx264") + 1);  // the lists are left alone
}

// A format of ours (MKV, MP4) chosen in the list brings its own pair where the chosen pair cannot go
// into it, and keeps a pair that can; AVI keeps the lists as they are.
TEST_F(OutputSettingsTest, ChoosingAFormatOfOursBringsItsPairWhereTheChosenOneMisfits) {
    struct Case {
        int format;
        const char *video, *audio;  // chosen under AVI
        const char *videoAfter, *audioAfter;
    };
    const Case cases[] = {
        {4, "mpeg4", "adpcm_ms", "libx264", "aac"},      // the AVI defaults cannot go into an MP4
        {4, "libx264", "adpcm_ms", "libx264", "aac"},
        {4, "mpeg4", "aac", "mpeg4", "aac"},             // MPEG-4 part 2 and AAC can
        {2, "mpeg4", "adpcm_ms", "mpeg4", "adpcm_ms"},   // Matroska holds what AVI holds
        {2, "libx264", "flac", "libx264", "flac"},
        {0, "libx265", "adpcm_ms", "libx265", "adpcm_ms"},  // AVI as before, even with a pair it cannot hold
    };
    for (const Case& c : cases) {
        auto d = Open(Avi());
        Choose(*d, kVideo, Position(true, c.video) + 1);
        Choose(*d, kAudio, Position(false, c.audio) + 1);
        Choose(*d, kFormat, c.format);
        EXPECT_EQ(Selected(*d, kVideo), Position(true, c.videoAfter) + 1) << c.format << c.video << c.audio;
        EXPECT_EQ(Selected(*d, kAudio), Position(false, c.audioAfter) + 1) << c.format << c.video << c.audio;
    }
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(OutputSettingsTest, AContainerThatCannotHoldTheCompressorIsNotConfirmed) {
    auto d = Open(Avi());
    const QString note = d->ItemAs<QLabel>(kNote)->text();
    Choose(*d, kFormat, 4);
    Choose(*d, kAudio, Position(false, "adpcm_ms") + 1);
    EXPECT_TRUE(d->ItemAs<QLabel>(kNote)->text().contains("MP4"));
    EXPECT_TRUE(d->ItemAs<QLabel>(kNote)->text().contains("Microsoft ADPCM"));
    Click(*d, kOk);
    EXPECT_TRUE(d->isVisible());
    EXPECT_FALSE(store.Contains("Settings", "nOuptputFormat"));

    Click(*d, kDefault);
    EXPECT_EQ(d->ItemAs<QLabel>(kNote)->text(), note);
    Click(*d, kOk);
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(ReadInt(store, settings::kOutputFormat), 4);
    EXPECT_EQ(ReadText(store, settings::kOutputName), "/videos/show.mp4");
    EXPECT_EQ(ReadInt(store, settings::kAudioCompressor), Position(false, "aac"));
    EXPECT_TRUE(held.audio.filter);
}

TEST_F(OutputSettingsTest, CompressorChoicesAreStoredAndResolved) {
    auto d = Open(Avi());
    // Never chosen: the DivX and ADPCM compressors.
    EXPECT_EQ(Selected(*d, kVideo), Position(true, "mpeg4") + 1);
    EXPECT_EQ(Selected(*d, kAudio), Position(false, "adpcm_ms") + 1);
    EXPECT_EQ(d->ItemAs<QComboBox>(kVideo)->itemText(0), "Full frames (uncompressed)");
    held.video.filter = MakeCompressorFilter(nullptr, "kept", {"mpeg4", {}}, true);
    auto before = held.video.filter;
    Choose(*d, kVideo, 0);
    Click(*d, kOk);
    EXPECT_EQ(ReadInt(store, settings::kVideoCompressor), -1);
    EXPECT_EQ(d->m_output.useVideoCompressor, 0);
    EXPECT_EQ(held.video.filter, before);
    EXPECT_EQ(d->m_output.useAudioCompressor, 1);
    EXPECT_TRUE(held.audio.filter);

    auto again = Open(Avi());
    EXPECT_EQ(Selected(*again, kVideo), 0);  // the stored -1
}

TEST_F(OutputSettingsTest, AStoredDeviceThatIsGoneFallsBackToTheDefault) {
    store.WriteProfileInt("DexVideoCompress", "CompressorNumber", 9999);
    auto d = Open(Avi());
    EXPECT_EQ(Selected(*d, kVideo), -1);
    Click(*d, kOk);
    EXPECT_EQ(ReadInt(store, settings::kVideoCompressor), -2);  // chosen by name next time
    EXPECT_EQ(d->m_output.useVideoCompressor, 1);
    EncoderChoice choice;
    bool video = false;
    ASSERT_TRUE(CompressorOf(held.video.filter, &choice, &video));
    EXPECT_EQ(choice.codec, "mpeg4");
}

TEST_F(OutputSettingsTest, BrowseAndSettings) {
    auto d = Open(Avi());
    files.answers.push_back({"/elsewhere/movie.xyz"});
    Click(*d, kBrowse);
    ASSERT_EQ(files.requests.size(), 1u);
    const FileDialogRequest& r = files.requests[0];
    EXPECT_TRUE(r.save);
    EXPECT_EQ(r.startFolder, "/videos");
    EXPECT_EQ(r.title, "Select Output File Name");
    ASSERT_EQ(r.filters.size(), 1u);
    EXPECT_EQ(r.filters[0].first, "Audio Video Interleave file(*.avi)");
    EXPECT_EQ(d->ItemAs<QLineEdit>(kFile)->text(), "/elsewhere/movie.avi");

    Click(*d, kVideoSettings);
    ASSERT_EQ(codecPort.titles.size(), 1u);
    EXPECT_EQ(codecPort.titles[0], d->ItemAs<QComboBox>(kVideo)->currentText().toStdString());
    Choose(*d, kVideo, 0);
    Click(*d, kVideoSettings);
    EXPECT_EQ(codecPort.titles.size(), 1u);  // no codec is "Full frames (uncompressed)"
}

// A stored DSM or OGM format offers its own kind of file; the name keeps what was chosen, as the
// extension rule refuses those formats.
TEST_F(OutputSettingsTest, BrowseUnderAStoredDsmOrOgmOffersItsKind) {
    for (auto [format, description] : {std::pair{5, "DSM file(*.dsm)"}, {6, "Ogg Media File(*.ogm)"}}) {
        OutputSettings stored = Avi();
        stored.format = format;
        auto d = Open(stored);
        files.requests.clear();
        files.answers.push_back({"/elsewhere/movie.ogm"});
        Click(*d, kBrowse);
        ASSERT_EQ(files.requests.size(), 1u);
        ASSERT_EQ(files.requests[0].filters.size(), 1u);
        EXPECT_EQ(files.requests[0].filters[0].first, description);
        EXPECT_EQ(d->ItemAs<QLineEdit>(kFile)->text(), "/elsewhere/movie.ogm");
    }
}

TEST_F(OutputSettingsTest, CancelAndRefusedNamesStoreNothing) {
    auto d = Open(Avi());
    Type(*d, kFile, "/videos/" + QString(260, 'n') + ".avi");
    Click(*d, kOk);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(boxes.Texts().back(), "The output file name is longer than 259 bytes.");
    Choose(*d, kFormat, 2);
    Click(*d, kCancel);
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_FALSE(store.Contains("Settings", "OutputName"));
    EXPECT_FALSE(store.Contains("Settings", "nOuptputFormat"));
}

// Options opened from the main window, as the program runs it.
class OptionsFromTheWindowTest : public MainWindowFixture {
protected:
    // Runs Options from the window with `script` inside the dialog, then cancels it unless closed.
    void WithOptions(const std::function<void(TemplateDialog&)>& script) {
        WhenModalOpens([&](QWidget* widget) {
            auto& d = static_cast<TemplateDialog&>(*widget);
            script(d);
            if (d.isVisible()) ClickThroughWindow(d.Item(kCancel));
        });
        Click(1003);
    }
    static void Choose(TemplateDialog& d, int id, int index) {
        auto* list = d.ItemAs<QComboBox>(id);
        list->setCurrentIndex(index);
        emit list->activated(index);
    }
    int Position(bool video, const std::string& name) {
        int position = -1;
        EXPECT_TRUE(FindCompressorByName({boxes, nullptr}, video, name, &position)) << name;
        return position;
    }
};

// Neither uncompressed pictures nor uncompressed sound go into an MP4: OK stays open for each.
TEST_F(OptionsFromTheWindowTest, UncompressedVideoOrAudioInAnMp4IsRefused) {
    RunProgram([&](CKavrelDlg& w) {
        WithOptions([&](TemplateDialog& d) {
            Choose(d, kFormat, 4);
            const int h264 = Position(true, "libx264") + 1, aac = Position(false, "aac") + 1;
            struct Case {
                const char* uncompressed;
                int video, audio;
            };
            for (const Case& c : {Case{"video", 0, aac}, Case{"audio", h264, 0}}) {
                Choose(d, kVideo, c.video);
                Choose(d, kAudio, c.audio);
                ClickThroughWindow(d.Item(kOk));
                EXPECT_TRUE(d.isVisible()) << "OK took uncompressed " << c.uncompressed;
                EXPECT_TRUE(d.ItemAs<QLabel>(kNote)->text().contains("MP4")) << c.uncompressed;
            }
        });
        EXPECT_NE(w.project().output().format, 4);
        EXPECT_FALSE(store.Contains("Settings", "nOuptputFormat"));
    });
}

// A stored OGM opens Options on the compressor lists, with Ogg's own Theora and Vorbis in place of
// the stored pair that cannot go into Ogg; the name browsed for is kept as it is.
TEST_F(OptionsFromTheWindowTest, AStoredOgmOffersTheCompressorsOfOgg) {
    store.WriteProfileInt("Settings", "nOuptputFormat", 6);
    RunProgram([&](CKavrelDlg& w) {
        boxes.shown.clear();  // start-up's word on the name it cannot give an OGM
        WithOptions([&](TemplateDialog& d) {
            EXPECT_EQ(d.ItemAs<QComboBox>(kFormat)->currentIndex(), -1);
            EXPECT_EQ(d.ItemAs<QComboBox>(kFormat)->placeholderText(), "OGM");
            EXPECT_TRUE(d.Item(kVideo)->isVisibleTo(&d));
            EXPECT_TRUE(d.Item(kAudio)->isVisibleTo(&d));
            EXPECT_FALSE(d.Item(kBitrate)->isVisibleTo(&d));
            EXPECT_EQ(d.ItemAs<QComboBox>(kVideo)->currentIndex(), Position(true, "libtheora") + 1);
            EXPECT_EQ(d.ItemAs<QComboBox>(kAudio)->currentIndex(), Position(false, "libvorbis") + 1);
            files.answers.push_back({dir.File("trip.ogm")});
            ClickThroughWindow(d.Item(kBrowse));
            EXPECT_EQ(d.ItemAs<QLineEdit>(kFile)->text().toStdString(), dir.File("trip.ogm"));
            ClickThroughWindow(d.Item(kOk));
            EXPECT_FALSE(d.isVisible());
        });
        EXPECT_TRUE(boxes.shown.empty()) << testing::PrintToString(boxes.Texts());
        EXPECT_EQ(w.project().output().format, 6);
        EXPECT_EQ(w.project().output().path, dir.File("trip.ogm"));
        EXPECT_EQ(ReadInt(store, settings::kVideoCompressor), Position(true, "libtheora"));
        EXPECT_EQ(ReadInt(store, settings::kAudioCompressor), Position(false, "libvorbis"));
    });
}

}  // namespace
