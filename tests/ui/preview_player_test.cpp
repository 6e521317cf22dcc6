// The preview player window over real playback graphs of tiny shows, on the offscreen platform.

#include <gtest/gtest.h>

#include <QMenu>
#include <QTest>

#include "controls/menu_builder.h"
#include "lang/control_id.h"
#include "platform/com/error_text.h"
#include "player/qt_preview_renderers.h"
#include "player/vcd_core.h"
#include "res/menus.h"
#include "tests/support/tiny_show.h"

namespace {

struct Player {
    QWidget owner;
    RecordingMessageBoxes boxes;
    std::vector<int> commands;
    std::shared_ptr<FaultPlan> faults = std::make_shared<FaultPlan>();
    PreviewObjects objects;

    Player() {
        owner.setGeometry(200, 400, 300, 200);
        owner.show();
    }
    ~Player() { EndPreview(&objects); }
    HRESULT Preview(TinyShow& show) {
        PreviewEnv env{boxes, [this] {
                           return std::make_unique<CVcdCore>(&owner, boxes, [this](int c) { commands.push_back(c); });
                       },
                       faults};
        return RenderPreview(show.timeline, env, &objects);
    }
    CVcdCore& core() { return *static_cast<CVcdCore*>(objects.player.get()); }
    std::map<int, bool> MenuEnabled() {
        std::map<int, bool> enabled;
        std::unique_ptr<QMenu> menu = core().MakeMenu();
        for (QAction* a : PopupOf(menu.get())->actions()) {
            if (!a->isSeparator()) enabled[CommandId(a)] = a->isEnabled();
        }
        return enabled;
    }
    PlaybackStats Stats() {
        PlaybackStats s;
        GetPlaybackStats(objects.graph, &s);
        return s;
    }
};

class PreviewPlayerTest : public testing::Test {
protected:
    void SetUp() override { InstallQtPreviewRenderers(); }
    void TearDown() override { SetPreviewRenderers({}); }
};

TEST_F(PreviewPlayerTest, PlaysPausesAndRewindsToTheFirstFrameAtTheEnd) {
    TinyShow show({{96, 64}, {64, 64}}, 0.5, 0.25, false);
    Player p;
    ASSERT_EQ(p.Preview(show), S_OK);
    CVcdCore& core = p.core();
    ASSERT_NE(core.window(), nullptr);
    EXPECT_TRUE(core.window()->isVisible());
    EXPECT_EQ(core.window()->windowTitle(), "PREVIEW");
    EXPECT_EQ(core.window()->size(), QSize(96, 64));
    EXPECT_EQ(core.state(), CVcdCore::PlayState::Running);
    auto* video = core.window()->findChild<PreviewVideoWidget*>();
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->geometry(), QRect(0, 0, 96, 64));
    EXPECT_TRUE(video->isVisible());
    EXPECT_EQ(p.MenuEnabled(), (std::map<int, bool>{{ID_PREVIEW_PLAY, false}, {ID_PREVIEW_PAUSE, true},
                                                    {ID_PREVIEW_STOP, true}, {ID_PREVIEW_CLOSE, true}}));

    core.Pause();
    EXPECT_EQ(core.state(), CVcdCore::PlayState::Paused);
    EXPECT_FALSE(p.MenuEnabled()[ID_PREVIEW_PAUSE]);
    core.Pause();  // greyed, and does nothing
    EXPECT_EQ(core.state(), CVcdCore::PlayState::Paused);
    core.Play();
    EXPECT_EQ(core.state(), CVcdCore::PlayState::Running);

    ASSERT_TRUE(QTest::qWaitFor([&] { return core.state() == CVcdCore::PlayState::Stopped; }, 10000));
    EXPECT_EQ(p.MenuEnabled(), (std::map<int, bool>{{ID_PREVIEW_PLAY, true}, {ID_PREVIEW_PAUSE, false},
                                                    {ID_PREVIEW_STOP, false}, {ID_PREVIEW_CLOSE, true}}));
    EXPECT_EQ(core.window()->windowTitle(), "PREVIEW");
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.Stats().lastFrameShown == 0; }, 5000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !video->picture().isNull(); }, 5000));
    EXPECT_GT(p.Stats().framesShown, 10);

    core.Play();  // from the beginning again
    EXPECT_EQ(core.state(), CVcdCore::PlayState::Running);
    ASSERT_TRUE(QTest::qWaitFor([&] { return p.Stats().lastFrameShown > 3; }, 5000));
}

TEST_F(PreviewPlayerTest, ClosingTheWindowAsksTheOwnerAndCloseTakesItDown) {
    TinyShow show({{96, 64}}, 2, 0, false);
    Player p;
    ASSERT_EQ(p.Preview(show), S_OK);
    p.core().window()->close();
    QTest::qWait(50);
    EXPECT_EQ(p.commands, std::vector<int>{IDC_BUTTON_PREVIEW_VIDEO});
    ASSERT_NE(p.core().window(), nullptr);  // not destroyed by itself
    EXPECT_TRUE(p.core().window()->isVisible());

    p.core().Close();
    EXPECT_EQ(p.core().window(), nullptr);
    EXPECT_EQ(p.core().state(), CVcdCore::PlayState::Closed);
    EXPECT_TRUE(p.boxes.shown.empty());
}

TEST_F(PreviewPlayerTest, AnAudioOnlyShowKeepsTheWindowHidden) {
    TinyShow show({}, 1, 0, true);
    Player p;
    ASSERT_EQ(p.Preview(show), S_OK);
    EXPECT_TRUE(p.core().noVideo());
    ASSERT_NE(p.core().window(), nullptr);
    EXPECT_FALSE(p.core().window()->isVisible());
    EXPECT_EQ(p.core().state(), CVcdCore::PlayState::Running);
}

// A video that does not fit the work area beside the window's corner (100, 5) and frame (2 pixels
// on each side offscreen) is shown at the smallest whole fraction that does, in a window of fixed size.
TEST_F(PreviewPlayerTest, AVideoLargerThanTheWorkAreaIsShownAtAWholeFraction) {
    ASSERT_EQ(QGuiApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 800, 800));  // offscreen
    struct Case {
        int width, height;
        QSize shown;
    };
    for (const Case& c : {Case{696, 400, {696, 400}}, Case{698, 400, {349, 200}}, Case{1920, 1080, {640, 360}},
                          Case{400, 1600, {133, 533}}}) {
        TinyShow show({{96, 64}}, 0.3, 0, false, c.width, c.height);
        Player p;
        ASSERT_EQ(p.Preview(show), S_OK) << c.width;
        QWidget* window = p.core().window();
        EXPECT_EQ(window->size(), c.shown) << c.width << "x" << c.height;
        EXPECT_EQ(window->minimumSize(), window->maximumSize());
        EXPECT_EQ(window->pos(), QPoint(100, 5));
        EXPECT_EQ(window->findChild<PreviewVideoWidget*>()->size(), c.shown);
    }
}

TEST_F(PreviewPlayerTest, EachFailingStepShowsItsMessageAndClosesThePlayer) {
    struct Case {
        const char* call;
        const char* message;
    };
    const Case cases[] = {
        {"QueryInterface(IMediaControl)", "FAILED(hr=0x80004005) in pGB->QueryInterface(IID_IMediaControl, (void **)&pMC)\n"},
        {"QueryInterface(IMediaEventEx)", "FAILED(hr=0x80004005) in pGB->QueryInterface(IID_IMediaEventEx, (void **)&pME)\n"},
        {"QueryInterface(IMediaSeeking)", "FAILED(hr=0x80004005) in pGB->QueryInterface(IID_IMediaSeeking, (void **)&pMS)\n"},
        {"QueryInterface(IVideoWindow)", "FAILED(hr=0x80004005) in pGB->QueryInterface(IID_IVideoWindow, (void **)&pVW)\n"},
        {"QueryInterface(IBasicVideo)", "FAILED(hr=0x80004005) in pGB->QueryInterface(IID_IBasicVideo, (void **)&pBV)\n"},
        {"QueryInterface(IBasicAudio)", "FAILED(hr=0x80004005) in pGB->QueryInterface(IID_IBasicAudio, (void **)&pBA)\n"},
        {"IMediaEventEx::SetNotifyWindow",
         "FAILED(hr=0x80004005) in pME->SetNotifyWindow(reinterpret_cast<OAHWND>(m_hWnd), WM_GRAPHNOTIFY, 0)\n"},
        {"IMediaControl::Run", "FAILED(hr=0x80004005) in pMC->Run()\n"},
    };
    TinyShow show({{96, 64}}, 1, 0, false);
    for (const Case& c : cases) {
        Player p;
        p.faults->Fail(c.call);
        EXPECT_TRUE(FAILED(p.Preview(show))) << c.call;
        ASSERT_EQ(p.boxes.Texts(), (std::vector<std::string>{c.message, "Could run graph"})) << c.call;
        EXPECT_EQ(p.boxes.shown[0].caption, "message");
        EXPECT_EQ(p.core().state(), CVcdCore::PlayState::Closed);
        EXPECT_EQ(p.core().window(), nullptr);
    }
    Player sizing;
    sizing.faults->Fail("IVideoWindow::SetWindowPosition");
    EXPECT_TRUE(FAILED(sizing.Preview(show)));
    EXPECT_EQ(sizing.boxes.Texts(),
              (std::vector<std::string>{
                  "FAILED(hr=0x80004005) in pVW->SetWindowPosition(rect.left, rect.top, rect.right, rect.bottom)\n",
                  "FAILED(hr=0x80004005) in InitVideoWindow(1, 1)\n", "Could run graph"}));

    Player visible;
    visible.faults->Fail("IVideoWindow::get_Visible");
    EXPECT_EQ(visible.Preview(show), S_OK);  // the open goes on
    EXPECT_EQ(visible.boxes.Texts(), std::vector<std::string>{"Failed(80004005) in pVW->get_Visible()!\r\n"});
}

TEST_F(PreviewPlayerTest, RenderingFailuresBeforeThePlayerAreReported) {
    TinyShow show({{96, 64}}, 1, 0, false);
    struct Case {
        const char* call;
        std::vector<std::string> messages;
    };
    const Case cases[] = {{"CoCreateInstance(CLSID_RenderEngine)", {"Could not create pRenderEngine"}},
                          {"IRenderEngine::SetTimelineObject", {"Could not SetTimelineObject"}},
                          {"IRenderEngine::RenderOutputPins", {"Could not RenderOutputPins"}},
                          {"IRenderEngine::GetFilterGraph", {"Could not GetFilterGraph"}}};
    for (const Case& c : cases) {
        Player p;
        p.faults->Fail(c.call);
        EXPECT_TRUE(FAILED(p.Preview(show)));
        EXPECT_EQ(p.boxes.Texts(), c.messages) << c.call;
        EXPECT_FALSE(p.objects.player);
    }
    std::remove(show.project.photos()[0].path.c_str());
    Player missing;
    EXPECT_TRUE(FAILED(missing.Preview(show)));
    ASSERT_EQ(missing.boxes.Texts().size(), 2u);
    EXPECT_EQ(missing.boxes.Texts()[0], "Could not ConnectFrontEnd");
    EXPECT_NE(missing.boxes.Texts()[1].find(show.project.photos()[0].path), std::string::npos);
}

}  // namespace
