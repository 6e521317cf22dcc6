// The preview's playback graph over tiny shows, with renderers that record what they are given.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/render/compose/video_compositor.h"
#include "platform/render/playback/audio_ring.h"
#include "platform/render/playback/bgra_converter.h"
#include "platform/render/playback/playback.h"
#include "platform/render/playback/preview_renderers.h"
#include "platform/render/render_engine.h"
#include "platform/render/show_plan.h"
#include "platform/com/error_text.h"
#include "tests/support/tiny_show.h"

namespace {

using namespace std::chrono_literals;

struct RecordedVideo {
    std::mutex m;
    std::vector<std::int64_t> frames;
    std::vector<std::uint8_t> firstBlue;  // of each picture
    std::vector<std::shared_ptr<const std::vector<std::uint8_t>>> pixels;
    void* owner = nullptr;
    bool visible = false;
    int width = 0, height = 0;
    std::vector<std::int64_t> Frames() {
        std::lock_guard<std::mutex> lock(m);
        return frames;
    }
};

class RecordingVideo final : public VideoRendererPort {
public:
    explicit RecordingVideo(std::shared_ptr<RecordedVideo> r) : r_(std::move(r)) {}
    void Present(const VideoPicture& p) override {
        std::lock_guard<std::mutex> lock(r_->m);
        r_->frames.push_back(p.frame);
        r_->firstBlue.push_back((*p.pixels)[0]);
        r_->pixels.push_back(p.pixels);
        r_->width = p.width;
        r_->height = p.height;
    }
    void SetOwner(void* owner) override { r_->owner = owner; }
    void SetMessageDrain(void*) override {}
    void SetVisible(bool v) override { r_->visible = v; }
    bool Visible() const override { return r_->visible; }
    void SetPosition(int, int, int, int) override {}

private:
    std::shared_ptr<RecordedVideo> r_;
};

// Plays what it is given in real time: its clock runs while playing.
class RecordingAudio final : public AudioRendererPort {
public:
    bool Open() override { return true; }
    void Play(bool playing) override {
        std::lock_guard<std::mutex> lock(m);
        heldAt = ClockLocked();
        since = std::chrono::steady_clock::now();
        this->playing = playing;
    }
    void Reset(std::int64_t frame) override {
        std::lock_guard<std::mutex> lock(m);
        heldAt = frame;
        since = std::chrono::steady_clock::now();
        resets.push_back(frame);
        next = frame;
        firstWritten = -1;
    }
    int Write(std::int64_t first, const float*, int frames) override {
        std::lock_guard<std::mutex> lock(m);
        if (firstWritten < 0) firstWritten = first;
        if (first != next) contiguous = false;
        next = first + frames;
        written += frames;
        return frames;
    }
    std::int64_t Clock() const override {
        std::lock_guard<std::mutex> lock(m);
        return ClockLocked();
    }
    void SetVolume(long) override {}

    std::int64_t ClockLocked() const {
        if (!playing) return heldAt;
        auto us = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - since);
        return heldAt + us.count() * 44100 / 1000000;
    }
    mutable std::mutex m;
    bool playing = false;
    std::int64_t heldAt = 0, next = 0, written = 0, firstWritten = -1;  // since the last reset
    std::chrono::steady_clock::time_point since;
    std::vector<std::int64_t> resets;
    bool contiguous = true;
};

struct Preview {
    std::shared_ptr<IRenderEngine> engine;
    std::shared_ptr<IGraphBuilder> graph;
    std::shared_ptr<IMediaControl> control;
    std::shared_ptr<IMediaEventEx> event;
    std::shared_ptr<IMediaSeeking> seeking;
    std::shared_ptr<IVideoWindow> window;
    std::shared_ptr<IBasicVideo> video;

    explicit Preview(TinyShow& show) {
        EXPECT_EQ(CreateRenderEngine(nullptr, &engine), S_OK);
        engine->SetTimelineObject(show.timeline);
        EXPECT_EQ(engine->ConnectFrontEnd(), S_OK);
        EXPECT_EQ(engine->RenderOutputPins(), S_OK);
        EXPECT_EQ(engine->GetFilterGraph(&graph), S_OK);
        EXPECT_EQ(QueryInterface(graph, &control), S_OK);
        EXPECT_EQ(QueryInterface(graph, &event), S_OK);
        EXPECT_EQ(QueryInterface(graph, &seeking), S_OK);
        EXPECT_EQ(QueryInterface(graph, &window), S_OK);
        EXPECT_EQ(QueryInterface(graph, &video), S_OK);
    }
    ~Preview() { engine->ScrapIt(); }
    // The next event, waiting up to `timeout`; 0 when none came.
    long NextEvent(std::chrono::milliseconds timeout = 10s) {
        long code = 0, p1 = 0, p2 = 0;
        return SUCCEEDED(event->GetEvent(&code, &p1, &p2, static_cast<long>(timeout.count()))) ? code : 0;
    }
    PlaybackStats Stats() {
        PlaybackStats s;
        EXPECT_TRUE(GetPlaybackStats(graph, &s));
        return s;
    }
};

class PlaybackGraphTest : public testing::Test {
protected:
    void Install(bool withAudio, int maxWidth = 0, int maxHeight = 0) {
        PreviewRenderers r;
        r.video = [rec = recorded] { return std::make_unique<RecordingVideo>(rec); };
        if (withAudio) {
            r.audio = [this] {
                auto a = std::make_unique<RecordingAudio>();
                audio = a.get();
                return a;
            };
        }
        r.maxWidth = maxWidth;
        r.maxHeight = maxHeight;
        SetPreviewRenderers(std::move(r));
    }
    void TearDown() override { SetPreviewRenderers({}); }

    std::shared_ptr<RecordedVideo> recorded = std::make_shared<RecordedVideo>();
    RecordingAudio* audio = nullptr;
};

TEST_F(PlaybackGraphTest, PlaysEveryFrameInOrderToTheEnd) {
    Install(false);
    TinyShow show({{96, 64}, {64, 64}}, 0.5, 0.25, false);
    Preview p(show);
    std::vector<std::shared_ptr<IBaseFilter>> filters;
    ASSERT_EQ(p.graph->EnumFilters(&filters), S_OK);
    std::vector<std::string> names;
    for (const auto& f : filters) {
        FILTER_INFO info;
        f->QueryFilterInfo(&info);
        names.push_back(info.achName);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Kavrel timeline", "Video Renderer"}));
    long w = 0, h = 0;
    EXPECT_EQ(p.video->GetVideoSize(&w, &h), S_OK);
    EXPECT_EQ(w, 96);
    EXPECT_EQ(h, 64);
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(p.control->Run(), S_OK);
    EXPECT_EQ(p.NextEvent(), EC_COMPLETE);
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_GE(took, 900ms);  // it keeps time: a 1 s show takes a second
    REFERENCE_TIME length = 0;
    p.seeking->GetDuration(&length);
    const std::int64_t total = FrameCount(length);
    const PlaybackStats s = p.Stats();
    EXPECT_EQ(s.framesShown + s.framesDropped, total);
    std::vector<std::int64_t> frames = recorded->Frames();
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.front(), 0);
    EXPECT_EQ(frames.back(), total - 1);
    EXPECT_TRUE(std::is_sorted(frames.begin(), frames.end()));
    EXPECT_FALSE(s.audioClock);
}

TEST_F(PlaybackGraphTest, HeldShowsTheCurrentFrameAndRewindShowsTheFirst) {
    Install(false);
    TinyShow show({{96, 64}, {64, 64}}, 1, 0.5, false);
    Preview p(show);
    ASSERT_EQ(p.control->Pause(), S_OK);  // from stopped: the first frame, held
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(recorded->Frames(), std::vector<std::int64_t>{0});
    ASSERT_EQ(p.control->Run(), S_OK);
    std::this_thread::sleep_for(400ms);
    ASSERT_EQ(p.control->Pause(), S_OK);
    const std::size_t shownWhenHeld = recorded->Frames().size();
    REFERENCE_TIME held = 0, later = 0;
    p.seeking->GetCurrentPosition(&held);
    std::this_thread::sleep_for(200ms);
    p.seeking->GetCurrentPosition(&later);
    EXPECT_EQ(held, later);
    EXPECT_GT(held, 3'000'000);
    EXPECT_LE(recorded->Frames().size(), shownWhenHeld + 1);

    ASSERT_EQ(p.control->Stop(), S_OK);
    REFERENCE_TIME zero = 0;
    ASSERT_EQ(p.seeking->SetPositions(&zero, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning), S_OK);
    ASSERT_EQ(p.control->Pause(), S_OK);
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(recorded->Frames().back(), 0);
    p.seeking->GetCurrentPosition(&later);
    EXPECT_EQ(later, 0);
    EXPECT_EQ(p.NextEvent(0ms), 0);  // no end was reached
}

// The BGRA picture of frame n as the file conversion composes it: every frame from the first.
std::vector<std::uint8_t> ConvertedFrame(const IAMTimeline& timeline, int width, int height, std::int64_t n) {
    ShowPlan plan;
    EXPECT_EQ(ReadShowPlan(timeline, &plan), S_OK);
    VideoCompositor compositor(plan, width, height);
    BgraConverter converter(width, height);
    FramePtr frame;
    for (std::int64_t k = 0; k <= n; ++k) {
        bool same = false;
        std::string error;
        EXPECT_TRUE(compositor.Frame(k, &frame, &same, &error)) << error;
    }
    return *converter.Convert(frame.get(), n).pixels;
}

// The frame the video file shows at t: the last one that has begun.
std::int64_t FrameOn(REFERENCE_TIME t) {
    std::int64_t n = 0;
    while (FrameStart(n + 1) <= t) ++n;
    return n;
}

// Each seek shows at once the very picture the video file has at that time, held or playing, and
// the sound is mixed afresh from the same place.
TEST_F(PlaybackGraphTest, ASeekShowsTheFileFrameAtItsTimeAndTheSoundFollows) {
    Install(true);
    TinyShow show({{96, 64}, {64, 64}, {96, 48}}, 1, 0.5, true);
    Preview p(show);
    ShowPlan plan;
    ASSERT_EQ(ReadShowPlan(*show.timeline, &plan), S_OK);
    const VideoClip& second = plan.clips.at(1);
    const REFERENCE_TIME inFade = (second.transitionStart + second.transitionStop) / 2;
    const std::int64_t last = FrameCount(plan.length) - 1;
    struct Case {
        REFERENCE_TIME target;
        std::int64_t frame;
        bool playing;
    };
    const Case cases[] = {
        {FrameStart(1), 1, false},  // a frame start rounded down to the unit
        {plan.length + 5 * kUnitsPerSecond, last, false},  // kept within the show
        {FrameStart(2) + 1, 2, false},
        {inFade, FrameOn(inFade), false},
        {FrameStart(FrameOn(inFade) + 12), FrameOn(inFade) + 12, false},
        {inFade, FrameOn(inFade), true},  // back, while playing
    };
    ASSERT_EQ(p.control->Pause(), S_OK);
    for (const Case& c : cases) {
        if (c.playing) {
            ASSERT_EQ(p.control->Run(), S_OK);
        }
        std::this_thread::sleep_for(100ms);
        const std::size_t before = recorded->Frames().size();
        REFERENCE_TIME target = c.target;
        ASSERT_EQ(p.seeking->SetPositions(&target, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning),
                  S_OK);
        REFERENCE_TIME at = 0;
        p.seeking->GetCurrentPosition(&at);
        if (!c.playing) {
            EXPECT_EQ(FrameOn(at), c.frame);
        }
        // Playing, what the old stretch showed before the seek comes first.
        std::vector<std::int64_t> frames;
        auto shown = frames.end();
        for (auto waited = 0ms; waited < 5s && shown == frames.end(); waited += 10ms) {
            std::this_thread::sleep_for(10ms);
            frames = recorded->Frames();
            shown = std::find_if(frames.begin() + static_cast<std::ptrdiff_t>(before), frames.end(),
                                 [&](std::int64_t f) { return f <= c.frame; });
        }
        ASSERT_NE(shown, frames.end()) << c.frame;
        EXPECT_EQ(*shown, c.frame);
        std::lock_guard<std::mutex> lock(recorded->m);
        EXPECT_TRUE(*recorded->pixels[static_cast<std::size_t>(shown - frames.begin())] ==
                    ConvertedFrame(*show.timeline, 96, 64, c.frame))
            << "the picture of frame " << c.frame;
        std::int64_t firstWritten = -1;
        for (auto waited = 0ms; waited < 5s && firstWritten < 0 && c.frame != last; waited += 10ms) {
            std::this_thread::sleep_for(10ms);
            std::lock_guard<std::mutex> polled(audio->m);
            firstWritten = audio->firstWritten;
        }
        std::lock_guard<std::mutex> sound(audio->m);
        EXPECT_EQ(audio->resets.back(), SampleAt(FrameStart(c.frame)));
        if (c.frame != last) {
            EXPECT_EQ(firstWritten, SampleAt(FrameStart(c.frame)));
        }
    }
    EXPECT_EQ(p.NextEvent(), EC_COMPLETE);
    std::lock_guard<std::mutex> lock(audio->m);
    EXPECT_TRUE(audio->contiguous);
}

TEST_F(PlaybackGraphTest, SoundSetsTheClockAndIsWrittenWhole) {
    Install(true);
    TinyShow show({{96, 64}}, 0.6, 0, true);
    Preview p(show);
    ASSERT_EQ(p.control->Run(), S_OK);
    EXPECT_EQ(p.NextEvent(), EC_COMPLETE);
    ASSERT_NE(audio, nullptr);
    EXPECT_TRUE(p.Stats().audioClock);
    std::lock_guard<std::mutex> lock(audio->m);
    EXPECT_EQ(audio->resets.front(), 0);
    EXPECT_TRUE(audio->contiguous);
    REFERENCE_TIME length = 0;
    p.seeking->GetDuration(&length);
    EXPECT_EQ(audio->written, SampleAt(FrameStart(FrameCount(length))));
}

TEST_F(PlaybackGraphTest, AnAudioOnlyGraphHasNoVideoWindow) {
    Install(true);
    TinyShow show({}, 1, 0, true);
    Preview p(show);
    long visible = 0, w = 0, h = 0;
    EXPECT_EQ(p.window->get_Visible(&visible), E_NOINTERFACE);
    EXPECT_EQ(p.video->GetVideoSize(&w, &h), E_NOINTERFACE);
    ASSERT_EQ(p.control->Run(), S_OK);
    EXPECT_EQ(p.NextEvent(), EC_COMPLETE);
    EXPECT_TRUE(recorded->Frames().empty());
}

TEST_F(PlaybackGraphTest, PicturesAreDrawnNoLargerThanTheScreenAllows) {
    Install(false, 48, 48);
    TinyShow show({{96, 64}}, 0.2, 0, false);
    Preview p(show);
    long w = 0, h = 0;
    p.video->GetVideoSize(&w, &h);
    EXPECT_EQ(w, 96);  // the show's own size
    ASSERT_EQ(p.control->Run(), S_OK);
    EXPECT_EQ(p.NextEvent(), EC_COMPLETE);
    EXPECT_EQ(recorded->width, 48);
    EXPECT_EQ(recorded->height, 32);
}

TEST_F(PlaybackGraphTest, WithoutRenderersItPlaysUnseenAndSilent) {
    TinyShow show({{96, 64}}, 0.3, 0, true);
    Preview p(show);
    long visible = 0;
    EXPECT_EQ(p.window->get_Visible(&visible), S_OK);
    ASSERT_EQ(p.control->Run(), S_OK);
    EXPECT_EQ(p.NextEvent(), EC_COMPLETE);
    EXPECT_GT(p.Stats().framesShown, 0);
    EXPECT_FALSE(p.Stats().audioClock);
}

TEST_F(PlaybackGraphTest, AnUnreadablePhotoAbortsWithItsName) {
    Install(false);
    TinyShow show({{96, 64}, {64, 64}}, 0.3, 0, false);
    Preview p(show);
    // Replaced after connecting: the decoder finds the damage only when it gets there.
    const std::string second = show.project.photos()[1].path;
    FILE* f = std::fopen(second.c_str(), "wb");
    std::fputs("broken", f);
    std::fclose(f);
    ASSERT_EQ(p.control->Run(), S_OK);
    long code = 0, param = 0, p2 = 0;
    ASSERT_EQ(p.event->GetEvent(&code, &param, &p2, 10000), S_OK);
    EXPECT_EQ(code, EC_ERRORABORT);
    EXPECT_NE(AMGetErrorText(param).find(second), std::string::npos) << AMGetErrorText(param);
}

}  // namespace

TEST(AudioRing, SoundStaysOnItsFramesWhateverArrivesLate) {
    AudioRing ring(8, 0);
    ring.Reset(100);
    std::vector<float> ones(12, 0.5f);  // 6 stereo frames
    // Frames 98..103: the first two are already passed.
    EXPECT_EQ(ring.Write(98, ones.data(), 6), 6);
    std::int16_t out[8 * 2];
    ring.Read(out, 6);  // 100..105: four held, then silence
    EXPECT_EQ(out[0], 16384);
    EXPECT_EQ(out[7], 16384);
    EXPECT_EQ(out[8], 0);
    EXPECT_EQ(out[11], 0);
    EXPECT_EQ(ring.readPosition(), 106);
    // Full: only the capacity is taken, the rest waits.
    std::vector<float> many(40, -1.0f);
    EXPECT_EQ(ring.Write(106, many.data(), 20), 8);
    EXPECT_EQ(ring.Write(114, many.data(), 12), 0);
    ring.Read(out, 8);
    EXPECT_EQ(out[0], -32767);
    EXPECT_EQ(out[15], -32767);
    EXPECT_EQ(ring.Write(114, many.data(), 12), 8);
    ring.Reset(0);
    ring.Read(out, 2);
    EXPECT_EQ(out[0], 0);
}

// After a seek the device hears silence without moving on until the new sound is there, which
// then rises from nothing: the first moment is not lost and there is no click.
TEST(AudioRing, AfterAResetTheDeviceWaitsForTheSoundWhichFadesIn) {
    AudioRing ring(1024, 256);
    ring.Reset(500);
    std::int16_t out[512 * 2];
    ring.Read(out, 100);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(ring.readPosition(), 500);
    std::vector<float> half(2 * 512, 0.5f);
    ASSERT_EQ(ring.Write(500, half.data(), 512), 512);
    ring.Read(out, 512);
    EXPECT_EQ(ring.readPosition(), 1012);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[2 * 128], 8192);  // half way up
    EXPECT_EQ(out[2 * 256 + 1], 16384);
    EXPECT_EQ(out[2 * 511], 16384);
}
