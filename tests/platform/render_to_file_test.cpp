#include "engine/render_to_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <condition_variable>
#include <filesystem>

#include "engine/output_format.h"
#include "engine/transition_catalogue.h"
#include "engine/timeline_builder.h"
#include "platform/com/error_text.h"
#include "platform/render/decode/photo_decoder.h"
#include "platform/render/show_plan.h"
#include "tests/support/file_size_limit.h"
#include "tests/support/media_reader.h"
#include "tests/support/recording_message_boxes.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_media.h"

namespace {

constexpr int kW = 96, kH = 64;

class Waiter final : public IGraphNotifyTarget {
public:
    void PostGraphNotify(long, long) override {
        std::lock_guard<std::mutex> lock(m);
        ++notices;
        cv.notify_all();
    }
    // The first event of the graph, or 0 after the timeout.
    long WaitForEvent(IMediaEventEx& event, long* param, int timeoutMs = 60000) {
        std::unique_lock<std::mutex> lock(m);
        cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return notices > 0; });
        lock.unlock();
        long code = 0, p2 = 0;
        return SUCCEEDED(event.GetEvent(&code, param, &p2, 0)) ? code : 0;
    }
    std::mutex m;
    std::condition_variable cv;
    int notices = 0;
};

// Three photos of 2 s entering with Fade over 1 s, and a 3 s tone looped under them.
struct Show {
    TempDir dir;
    SlideshowProject project;
    RecordingMessageBoxes boxes;
    std::shared_ptr<IAMTimeline> timeline;
    HeldCompressors held;
    Waiter waiter;
    ConversionObjects conversion;
    bool running = false;

    Show(int format, bool compressed, std::vector<std::pair<int, int>> sizes = {{96, 64}, {64, 64}, {120, 60}}) {
        project.defaults() = {2, 1, kPolicySame, 3};
        int salt = 0;
        for (auto [w, h] : sizes) {
            std::string file = dir.File("photo" + std::to_string(salt) + (salt % 2 ? ".png" : ".jpg"));
            EXPECT_EQ(WritePhoto(file, w, h, salt, salt % 2 ? "png" : "mjpeg"), "");
            project.AppendPhoto(file);
            ++salt;
        }
        WriteToneWav(dir.File("tone.wav"), 3.0);
        project.AppendMusic(dir.File("tone.wav"), MeasureMediaDuration(dir.File("tone.wav")));
        OutputSettings& o = project.output();
        o.format = format;
        o.width = kW;
        o.height = kH;
        const char* ext[] = {".avi", ".wmv", ".mkv", ".asf", ".mp4", ".dsm", ".ogm"};
        o.path = dir.File(std::string("show") + ext[format]);
        CompressorServices services{boxes, nullptr};
        if (compressed && format == kFormatMp4) {
            int v = 0, a = 0;
            EXPECT_TRUE(FindCompressorByName(services, true, "libx264", &v));
            EXPECT_TRUE(FindCompressorByName(services, false, "aac", &a));
            GetCompressor(services, v, &held.video.filter);
            GetAudioCompressor(services, a, &held.audio.filter);
        } else {
            ResolveStoredCompressor(services, true, compressed ? -2 : -1, &held.video);
            ResolveStoredCompressor(services, false, compressed ? -2 : -1, &held.audio);
        }
        o.useVideoCompressor = held.video.use;
        o.useAudioCompressor = held.audio.use;
    }

    HRESULT Start() {
        TimelineBuildEnv env{boxes, nullptr, nullptr};
        BuildTimeline(project, env, &timeline);
        RenderToFileEnv renv{boxes, &waiter, nullptr, nullptr, [&](const std::string& page) { opened = page; }, nullptr,
                             nullptr};
        return RenderToFile(project, timeline, held, renv, &conversion, &running);
    }

    // Runs the conversion to its end; the event it ended with.
    long Convert(long* param = nullptr) {
        long p = 0;
        if (FAILED(Start()) || !running) return 0;
        long code = waiter.WaitForEvent(*conversion.event, &p);
        conversion.control->Stop();
        if (param) *param = p;
        return code;
    }

    std::vector<std::uint8_t> ExpectedLuma(int photo) {
        FramePtr f;
        std::string error;
        EXPECT_TRUE(DecodePhotoFrame(project.photos()[photo].path, kW, kH, &f, &error)) << error;
        std::vector<std::uint8_t> luma(kW * kH);
        for (int y = 0; y < kH; ++y) std::memcpy(&luma[y * kW], f->data[0] + y * f->linesize[0], kW);
        return luma;
    }

    // What the conversion left in the show's folder: every name but the photos' and the music's.
    std::vector<std::string> Written() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            const std::string name = entry.path().filename().string();
            if (!name.starts_with("photo") && name != "tone.wav") names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    std::string OutputName() const { return std::filesystem::path(project.output().path).filename().string(); }

    std::string opened;
};

// Show length 6 s: photo 0 alone from 0 to 1.5 s, the Fade into photo 1 from 1.5 to 2.5 s.
constexpr int kFramesOfShow = 144;  // ceil(6 · 24000/1001)
constexpr int kMiddleOfPhoto0 = 24;  // 1.0 s
constexpr int kMiddleOfFade = 48;    // 2.002 s ≈ 1.5 + 0.5

struct FormatCase {
    int format;
    bool compressed;
    const char* videoCodec;
    const char* audioCodec;
};

class EveryContainer : public testing::TestWithParam<FormatCase> {};

std::string CaseName(const testing::TestParamInfo<FormatCase>& i) {
    const char* names[] = {"Avi", "Wmv", "Mkv", "Asf", "Mp4"};
    return std::string(names[i.param.format]) + (i.param.compressed ? "Compressed" : "Uncompressed");
}

}  // namespace

TEST_P(EveryContainer, WritesAFileThatDecodesAsTheShow) {
    const FormatCase& c = GetParam();
    Show show(c.format, c.compressed);
    ASSERT_EQ(show.Convert(), EC_COMPLETE) << (show.boxes.shown.empty() ? "" : show.boxes.shown.back().text);
    VideoReadBack file = ReadVideoFile(show.project.output().path, {kMiddleOfPhoto0, kMiddleOfFade});
    EXPECT_EQ(file.decodeErrors, 0);
    EXPECT_EQ(file.videoCodec, c.videoCodec);
    EXPECT_EQ(file.audioCodec, c.audioCodec);
    EXPECT_EQ(file.frames, kFramesOfShow);
    EXPECT_EQ(file.width, kW);
    EXPECT_EQ(file.height, kH);
    ASSERT_EQ(file.lumaOfFrames.size(), 2u);
    auto photo0 = show.ExpectedLuma(0), photo1 = show.ExpectedLuma(1);
    EXPECT_GE(PsnrOfLuma(file.lumaOfFrames[0], photo0), 35.0);
    std::vector<std::uint8_t> average(photo0.size());
    // Frame 48 starts at 2.002 s: p = 0.502 of the Fade.
    for (std::size_t i = 0; i < average.size(); ++i) average[i] = static_cast<std::uint8_t>(photo0[i] * 0.498 + photo1[i] * 0.502 + 0.5);
    EXPECT_GE(PsnrOfLuma(file.lumaOfFrames[1], average), 30.0);
    // The sound lasts as long as the pictures (an encoder frame at most longer) and the two
    // placements crossfade at equal power in their 0.2 s overlap (2.8 to 3.0 s): the same tone in
    // phase rises to √2 in the middle, where two placements summed would double it.
    EXPECT_NEAR(file.audioSeconds, file.videoSeconds, 0.05);
    double alone = Rms(file.audioMono, 1.0, 2.0), together = Rms(file.audioMono, 2.85, 2.95);
    EXPECT_GT(alone, 0.05);
    EXPECT_NEAR(together / alone, 1.38, 0.12);
    EXPECT_FALSE(show.project.run().converting == false);
    EXPECT_EQ(show.Written(), std::vector<std::string>{show.OutputName()});
}

INSTANTIATE_TEST_SUITE_P(
    Formats, EveryContainer,
    testing::Values(FormatCase{kFormatAvi, true, "mpeg4", "adpcm_ms"}, FormatCase{kFormatAvi, false, "rawvideo", "pcm_s16le"},
                    FormatCase{kFormatMkv, true, "mpeg4", "adpcm_ms"}, FormatCase{kFormatMkv, false, "rawvideo", "pcm_s16le"},
                    FormatCase{kFormatMp4, true, "h264", "aac"}, FormatCase{kFormatWmv, true, "wmv2", "wmav2"},
                    FormatCase{kFormatAsf, true, "wmv2", "wmav2"}),
    CaseName);

TEST(RenderToFile, WindowsMediaNeverUsesTheCompressors) {
    Show show(kFormatWmv, true);
    ASSERT_EQ(show.Convert(), EC_COMPLETE);
    EXPECT_EQ(show.project.output().useVideoCompressor, 0);
    EXPECT_EQ(show.project.output().useAudioCompressor, 0);
    std::shared_ptr<IGraphBuilder> graph;
    show.conversion.engine->GetFilterGraph(&graph);
    std::vector<std::shared_ptr<IBaseFilter>> filters;
    graph->EnumFilters(&filters);
    for (const auto& f : filters) {
        FILTER_INFO info;
        f->QueryFilterInfo(&info);
        EXPECT_NE(info.achName, "VideoCompressor");
        EXPECT_NE(info.achName, "AudioCompressor");
    }
}

TEST(RenderToFile, OriginalSizeIsTheFirstPhotosUprightSize) {
    Show show(kFormatAvi, true, {{98, 51}, {64, 64}});
    show.project.output().width = show.project.output().height = 0;
    ASSERT_EQ(show.Convert(), EC_COMPLETE);
    VideoReadBack file = ReadVideoFile(show.project.output().path, {});
    EXPECT_EQ(file.width, 98);
    EXPECT_EQ(file.height, 50);  // rounded down to even
}

TEST(RenderToFile, StopLeavesAFileThatPlaysInPlaceOfTheOldOne) {
    Show show(kFormatMkv, true);
    show.dir.Write(show.OutputName(), "an older video");
    show.project.defaults().photoDurationSec = 30;
    for (int i = 0; i < 3; ++i) {
        PhotoItem p = show.project.photos()[i];
        p.durationSec = 60;
        show.project.SetPhoto(i, p);
    }
    ASSERT_EQ(show.Start(), S_OK);
    ASSERT_TRUE(show.running);
    std::shared_ptr<IMediaSeeking> seeking;
    ASSERT_EQ(QueryInterface(show.conversion.control, &seeking), S_OK);
    REFERENCE_TIME position = 0;
    for (int i = 0; i < 500 && position < 20'000'000; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        seeking->GetCurrentPosition(&position);
    }
    EXPECT_EQ(show.conversion.control->Stop(), S_OK);
    long code = 0, p1 = 0, p2 = 0;

    EXPECT_EQ(show.conversion.event->GetEvent(&code, &p1, &p2, 100), E_ABORT);  // no completion after Stop
    VideoReadBack file = ReadVideoFile(show.project.output().path, {});
    EXPECT_EQ(file.decodeErrors, 0);
    EXPECT_GT(file.frames, 40);
    EXPECT_LT(file.frames, 4000);
    // The sound mixed ahead of the pictures is not written past where they stopped, and it ends
    // there falling to silence, not with a click.
    EXPECT_NEAR(file.audioSeconds, file.videoSeconds, 0.1);
    EXPECT_TRUE(EndsInAFade(file.audioMono));
    EXPECT_EQ(show.Written(), std::vector<std::string>{show.OutputName()});
}

TEST(RenderToFile, ABadPhotoHalfwayAbortsWithItsNameAndKeepsTheOldFile) {
    for (const bool olderFile : {true, false}) {
        Show show(kFormatAvi, true);
        // Its markers read as a photo when the conversion starts, but it has no picture to decode.
        const std::string jpeg = Slurp(show.project.photos()[2].path);
        show.dir.Write("photo2.jpg", jpeg.substr(0, jpeg.find("\xFF\xDA")));
        if (olderFile) show.dir.Write(show.OutputName(), "an older video");
        long param = 0;
        EXPECT_EQ(show.Convert(&param), EC_ERRORABORT);
        EXPECT_NE(AMGetErrorText(param).find("photo2.jpg"), std::string::npos) << AMGetErrorText(param);
        if (olderFile) {
            EXPECT_EQ(Slurp(show.project.output().path), "an older video");
            EXPECT_EQ(show.Written(), std::vector<std::string>{show.OutputName()});
        } else {
            EXPECT_EQ(show.Written(), std::vector<std::string>{});
        }
    }
}

TEST(RenderToFile, MissingPhotoFailsTheFrontEndWithItsName) {
    Show show(kFormatAvi, true);
    std::filesystem::remove(show.project.photos()[1].path);
    EXPECT_TRUE(FAILED(show.Start()));
    EXPECT_FALSE(show.running);
    ASSERT_GE(show.boxes.shown.size(), 2u);
    EXPECT_EQ(show.boxes.shown[show.boxes.shown.size() - 2].text, "Could not ConnectFrontEnd");
    EXPECT_NE(show.boxes.shown.back().text.find("photo1.png"), std::string::npos) << show.boxes.shown.back().text;
}

TEST(RenderToFile, RefusesToWriteOverAnInput) {
    Show show(kFormatAvi, true);
    show.project.output().path = show.project.photos()[0].path;
    ASSERT_EQ(show.Start(), S_OK);
    EXPECT_FALSE(show.running);
    ASSERT_GE(show.boxes.shown.size(), 2u);
    EXPECT_EQ(show.boxes.shown[show.boxes.shown.size() - 2].text, "can not pControl->Run()!!!");
    EXPECT_NE(show.boxes.shown.back().text.find("is one of the show's photos or music files"), std::string::npos);
    EXPECT_GT(std::filesystem::file_size(show.project.photos()[0].path), 100u);  // untouched
}

TEST(RenderToFile, DsmIsNotInstalledHere) {
    Show show(kFormatDsm, true);
    ASSERT_EQ(show.Start(), S_OK);
    EXPECT_FALSE(show.running);
    EXPECT_EQ(show.boxes.Texts(), std::vector<std::string>{"Please install DSM Splitter/Muxer codec)"});
    EXPECT_EQ(show.opened, kDsmMuxerPage);
}

TEST(RenderToFile, ContainerThatCannotHoldTheCompressorIsNamed) {
    Show show(kFormatMp4, false);
    ASSERT_EQ(show.Start(), S_OK);
    EXPECT_FALSE(show.running);
    ASSERT_GE(show.boxes.shown.size(), 2u);
    EXPECT_EQ(show.boxes.shown[0].text, "failed pBuilder->RenderStream( NULL, NULL, pPin, NULL, pMux )");
    EXPECT_EQ(show.boxes.shown[1].text,
              "The container of MP4 Muxer (mp4) cannot hold the output of the compressor Full frames (uncompressed)");
}

TEST(RenderToFile, FailuresOfTheFrontEndAreReported) {
    struct Case {
        const char* call;
        std::vector<std::string> texts;
    };
    const Case cases[] = {
        {"CoCreateInstance(CLSID_RenderEngine)", {"Could not create pRenderEngine"}},
        {"IRenderEngine::SetTimelineObject", {"Could not SetTimelineObject"}},
        {"CoCreateInstance(CLSID_CaptureGraphBuilder2)", {"Could not create ICaptureGraphBuilder2"}},
        {"ICaptureGraphBuilder2::SetFiltergraph", {"Error pBuilder->SetFiltergraph( pGraph )"}},
        {"IMediaEventEx::SetNotifyWindow", {"can not SetNotifyWindow!!!"}},
        {"QueryInterface(IMediaControl)", {"Could not get pControl"}},
    };
    for (const Case& c : cases) {
        Show show(kFormatAvi, true);
        auto faults = std::make_shared<FaultPlan>();
        faults->Fail(c.call);
        TimelineBuildEnv env{show.boxes, nullptr, nullptr};
        BuildTimeline(show.project, env, &show.timeline);
        RenderToFileEnv renv{show.boxes, &show.waiter, nullptr, nullptr, nullptr, faults, nullptr};
        RenderToFile(show.project, show.timeline, show.held, renv, &show.conversion, &show.running);
        EXPECT_FALSE(show.running) << c.call;
        EXPECT_EQ(show.boxes.Texts(), c.texts) << c.call;
    }
}

TEST(ShowTiming, FramesStartAtTheirRationalTimes) {
    EXPECT_EQ(FrameStart(0), 0);
    EXPECT_EQ(FrameStart(1), 417083);  // 1001/24000 s
    EXPECT_EQ(FrameStart(24000), 1001 * kUnitsPerSecond);
    EXPECT_EQ(FrameCount(10 * kUnitsPerSecond), 240);  // 239.76 → 240
    EXPECT_EQ(FrameCount(FrameStart(100)), 100);
    EXPECT_EQ(FrameCount(0), 0);
}

TEST(RenderToFile, FilterSettingsMadeBeforeRunReachTheEncoder) {
    auto convert = [](const char* crf) {
        Show show(kFormatMp4, true);
        show.project.ClearMusic();  // the pictures alone, so the file's size is theirs
        TimelineBuildEnv env{show.boxes, nullptr, nullptr};
        BuildTimeline(show.project, env, &show.timeline);
        std::vector<FilterOption> pages;
        RenderToFileEnv renv{show.boxes, &show.waiter, nullptr,
                             [&](const std::shared_ptr<IGraphBuilder>& graph) {
                                 std::vector<std::shared_ptr<IBaseFilter>> filters;
                                 graph->EnumFilters(&filters);
                                 for (const auto& f : filters) {
                                     FILTER_INFO info;
                                     f->QueryFilterInfo(&info);
                                     std::shared_ptr<ISpecifyPropertyPages> p;
                                     if (info.achName == "VideoCompressor" && SUCCEEDED(QueryInterface(f, &p))) {
                                         p->GetPages(&pages);
                                         p->SetOption("crf", crf);
                                     }
                                 }
                                 return true;
                             },
                             nullptr, nullptr, nullptr};
        RenderToFile(show.project, show.timeline, show.held, renv, &show.conversion, &show.running);
        long param = 0;
        EXPECT_EQ(show.waiter.WaitForEvent(*show.conversion.event, &param), EC_COMPLETE);
        show.conversion.control->Stop();
        bool listed = false;
        for (const FilterOption& o : pages) listed |= o.name == "crf" && o.value == "20";  // the starting value
        EXPECT_TRUE(listed);
        return std::filesystem::file_size(show.project.output().path);
    };
    EXPECT_GT(convert("10"), convert("45") * 2);
}

TEST(RenderToFile, AWriteTheFileSystemRefusesAbortsTheRunAndSaysWhy) {
    Show show(kFormatAvi, true);
    // A file size limit stands in for a full disk: the writes fail part way, with the system's
    // reason (a device such as /dev/full is no output at all).
    long param = 0;
    long code = 0;
    {
        FileSizeLimit full(16 * 1024);
        code = show.Convert(&param);
    }
    EXPECT_EQ(code, EC_ERRORABORT);
    const std::string said = AMGetErrorText(param);
    EXPECT_NE(said.find(show.project.output().path), std::string::npos) << said;
    EXPECT_NE(said.find(std::strerror(EFBIG)), std::string::npos) << said;
    EXPECT_EQ(show.Written(), std::vector<std::string>{});
}
