// The preview moves a photo as the file does: a frame the preview player is given, taken in the
// middle of a transition between two moving photos, matches the same frame of a lossless file
// written by kavrel-render.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "app/slideshow_project.h"
#include "engine/timeline_builder.h"
#include "engine/transition_catalogue.h"
#include "platform/render/playback/playback.h"
#include "platform/render/playback/preview_renderers.h"
#include "platform/render/render_engine.h"
#include "platform/render/show_plan.h"
#include "tests/support/media_reader.h"
#include "tests/support/recording_message_boxes.h"
#include "tests/support/temp_dir.h"

namespace {

constexpr int kW = 96, kH = 64;

struct LastPicture {
    std::mutex m;
    VideoPicture picture;
};

class KeepingVideo final : public VideoRendererPort {
  public:
    explicit KeepingVideo(std::shared_ptr<LastPicture> last) : last_(std::move(last)) {}
    void Present(const VideoPicture& p) override {
        std::lock_guard<std::mutex> lock(last_->m);
        last_->picture = p;
    }
    void SetOwner(void*) override {}
    void SetMessageDrain(void*) override {}
    void SetVisible(bool) override {}
    bool Visible() const override { return false; }
    void SetPosition(int, int, int, int) override {}

  private:
    std::shared_ptr<LastPicture> last_;
};

// BT.601 studio-range luma of a BGRA picture, as the preview's conversion inverts it.
std::vector<std::uint8_t> LumaOf(const VideoPicture& p) {
    std::vector<std::uint8_t> luma;
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const std::uint8_t* px = p.pixels->data() + y * p.stride + 4 * x;
            luma.push_back(static_cast<std::uint8_t>(
                std::lround(16 + 0.098 * px[0] + 0.504 * px[1] + 0.257 * px[2])));
        }
    }
    return luma;
}

std::string Textured(const TempDir& dir, const std::string& name, int salt) {
    const std::string path = dir.File(name);
    EXPECT_EQ(
        WritePixelPhoto(
            path, 300, 200, "png",
            [salt](int x, int y) {
                const auto v = static_cast<std::uint8_t>(128 + 90 * std::sin(x * 0.21 + salt) *
                                                                   std::cos(y * 0.17));
                return std::array<std::uint8_t, 3>{v, static_cast<std::uint8_t>(255 - v), 120};
            }),
        "");
    return path;
}

// The frame the preview player shows when paused at frame n of the project's timeline.
VideoPicture PreviewFrame(SlideshowProject& project, int n) {
    RecordingMessageBoxes boxes;
    std::shared_ptr<IAMTimeline> timeline;
    TimelineBuildEnv env{boxes, nullptr, nullptr};
    EXPECT_EQ(BuildTimeline(project, env, &timeline), S_OK);
    auto last = std::make_shared<LastPicture>();
    PreviewRenderers renderers;
    renderers.video = [last] { return std::make_unique<KeepingVideo>(last); };
    SetPreviewRenderers(std::move(renderers));
    std::shared_ptr<IRenderEngine> engine;
    std::shared_ptr<IGraphBuilder> graph;
    std::shared_ptr<IMediaControl> control;
    std::shared_ptr<IMediaSeeking> seeking;
    VideoPicture shown;
    if (CreateRenderEngine(nullptr, &engine) == S_OK && engine->SetTimelineObject(timeline) == S_OK &&
        engine->ConnectFrontEnd() == S_OK && engine->RenderOutputPins() == S_OK &&
        engine->GetFilterGraph(&graph) == S_OK && QueryInterface(graph, &control) == S_OK &&
        QueryInterface(graph, &seeking) == S_OK) {
        REFERENCE_TIME at = FrameStart(n);
        EXPECT_EQ(seeking->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr, 0), S_OK);
        EXPECT_EQ(control->Pause(), S_OK);  // shows the frame it stands at
        for (int tries = 0; tries < 500 && shown.pixels == nullptr; ++tries) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            std::lock_guard<std::mutex> lock(last->m);
            shown = last->picture;
        }
        control->Stop();
        engine->ScrapIt();
    }
    SetPreviewRenderers({});
    return shown;
}

}  // namespace

TEST(MotionAgreement, APreviewFrameIsTheFilesFrame) {
    TempDir dir;
    const std::string a = Textured(dir, "a.png", 0), b = Textured(dir, "b.png", 2);
    const std::string command =
        "'" KAVREL_RENDER_PATH
        "' --photo-duration 1 --transition-duration 0.5 --policy same "
        "--same 3 --motion same --same-motion zoom-in --motion-amount 100 --size 96x64 "
        "--video-compressor ffv1 -o '" +
        dir.File("show.mkv") + "' '" + a + "' '" + b + "' > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    constexpr int kFrame = 24;  // 1.001 s: both photos moving, half way through the Fade
    const VideoReadBack file = ReadVideoFile(dir.File("show.mkv"), {kFrame, kFrame + 3});
    ASSERT_EQ(file.lumaOfFrames.size(), 2u);

    SlideshowProject project;
    project.defaults() = {1, 0.5, kPolicySame, 3};
    project.defaults().motionPolicy = kMotionPolicySame;
    project.defaults().motionAmountPercent = 100;
    project.AppendPhoto(a);
    project.AppendPhoto(b);
    project.output().width = kW;
    project.output().height = kH;
    const VideoPicture shown = PreviewFrame(project, kFrame);
    ASSERT_NE(shown.pixels, nullptr);
    ASSERT_EQ(shown.frame, kFrame);
    ASSERT_EQ(shown.width, kW);
    const std::vector<std::uint8_t> preview = LumaOf(shown);
    EXPECT_GT(PsnrOfLuma(preview, file.lumaOfFrames[0]), 40);
    EXPECT_LT(PsnrOfLuma(preview, file.lumaOfFrames[1]), 30);  // three frames on, it has moved
}

// Titles and captions too: a moving title card fading into a photo whose caption stays still.
TEST(MotionAgreement, ThePreviewShowsTitlesAndCaptionsAsTheFileHasThem) {
    TempDir dir;
    const std::string a = Textured(dir, "a.png", 0);
    dir.Write("captions.txt", "a.png\tBeach at dawn\n");
    const std::string command = "cd '" + dir.path().string() + "' && '" KAVREL_RENDER_PATH
                                "' --title 'Summer' --photo-duration 1 --transition-duration 0.5 --policy same --same 3 "
                                "--motion same --same-motion zoom-out --size 96x64 --captions captions.txt "
                                "--video-compressor ffv1 -o show.mkv a.png > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    constexpr int kFrame = 24;  // half way through the Fade from the title to the photo
    const VideoReadBack file = ReadVideoFile(dir.File("show.mkv"), {kFrame});
    ASSERT_EQ(file.lumaOfFrames.size(), 1u);

    SlideshowProject project;
    project.defaults() = {1, 0.5, kPolicySame, 3};
    project.defaults().motionPolicy = kMotionPolicySame;
    project.defaults().sameMotion = MotionKind::ZoomOut;
    PhotoItem title = project.MakePhotos({""}, 0).front();
    title.title = TitleCard{"Summer"};
    project.InsertPhotos({0}, {title});
    project.AppendPhoto(a);
    PhotoItem photo = project.photos()[1];
    photo.caption.text = "Beach at dawn";
    project.SetPhoto(1, photo);
    project.output().width = kW;
    project.output().height = kH;
    const VideoPicture shown = PreviewFrame(project, kFrame);
    ASSERT_NE(shown.pixels, nullptr);
    EXPECT_GT(PsnrOfLuma(LumaOf(shown), file.lumaOfFrames[0]), 40);
}
