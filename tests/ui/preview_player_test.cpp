// The preview player window over real playback graphs of tiny shows, on the offscreen platform.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QWheelEvent>
#include <functional>

#include "controls/menu_builder.h"
#include "lang/control_id.h"
#include "platform/com/error_text.h"
#include "player/qt_preview_renderers.h"
#include "player/vcd_core.h"
#include "res/menus.h"
#include "platform/render/show_plan.h"
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
    ASSERT_EQ(QGuiApplication::primaryScreen()->availableGeometry(), QRect(0, 0, 1920, 1080));  // the tests' screen
    struct Case {
        int width, height;
        QSize shown;
    };
    for (const Case& c : {Case{1816, 400, {1816, 400}}, Case{1818, 400, {909, 200}}, Case{3840, 2160, {1280, 720}},
                          Case{400, 3000, {133, 1000}}}) {
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

// The frame the video file shows at t: the last one that has begun.
REFERENCE_TIME FrameStartOn(REFERENCE_TIME t) {
    std::int64_t n = 0;
    while (FrameStart(n + 1) <= t) ++n;
    return FrameStart(n);
}

void Turn(QWidget* window, int angleDelta) {
    QWheelEvent turn(QPointF(10, 10), window->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, angleDelta),
                     Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(window, &turn);
}

// Each key and wheel turn on a 16 s show, from 7 s (held, or playing where stated): the state
// after it, where it stands (-1: playing on, not compared), the time shown over the video (empty:
// none) and what the owner was asked.
TEST_F(PreviewPlayerTest, KeysAndTheWheelPlayPauseSeekAndClose) {
    constexpr REFERENCE_TIME kSecond = kUnitsPerSecond;
    using State = CVcdCore::PlayState;
    using Input = std::function<void(QWidget*)>;
    auto key = [](Qt::Key k) { return [k](QWidget* w) { QTest::keyClick(w, k); }; };
    auto wheel = [](int delta) { return [delta](QWidget* w) { Turn(w, delta); }; };
    struct Case {
        const char* name;
        Input input;
        bool playing;
        State state;
        REFERENCE_TIME at;
        QString shown;
        std::vector<int> commands;
    };
    const REFERENCE_TIME from = FrameStartOn(7 * kSecond);
    const Case cases[] = {
        {"Space playing", key(Qt::Key_Space), true, State::Paused, -1, "", {}},
        {"Space held", key(Qt::Key_Space), false, State::Running, -1, "", {}},
        {"Right", key(Qt::Key_Right), false, State::Paused, FrameStartOn(from + 5 * kSecond), "0:11 / 0:16", {}},
        {"Left", key(Qt::Key_Left), false, State::Paused, FrameStartOn(from - 5 * kSecond), "0:01 / 0:16", {}},
        {"Left twice", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Left); QTest::keyClick(w, Qt::Key_Left); },
         false, State::Paused, 0, "0:00 / 0:16", {}},
        {"Right past the end", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Right); QTest::keyClick(w, Qt::Key_Right); },
         false, State::Paused, FrameStart(FrameCount(16 * kSecond) - 1), "0:15 / 0:16", {}},
        {"Right playing", key(Qt::Key_Right), true, State::Running, -1, "0:11 / 0:16", {}},
        {"Home", key(Qt::Key_Home), false, State::Paused, 0, "0:00 / 0:16", {}},
        {"wheel away", wheel(120), false, State::Paused, FrameStartOn(from + 5 * kSecond), "0:11 / 0:16", {}},
        {"wheel toward", wheel(-120), false, State::Paused, FrameStartOn(from - 5 * kSecond), "0:01 / 0:16", {}},
        {"half a notch", wheel(60), false, State::Paused, from, "", {}},
        {"two halves", [](QWidget* w) { Turn(w, 60); Turn(w, 60); }, false, State::Paused,
         FrameStartOn(from + 5 * kSecond), "0:11 / 0:16", {}},
        {"Escape", key(Qt::Key_Escape), false, State::Paused, from, "", {IDC_BUTTON_PREVIEW_VIDEO}},
        {"Ctrl+Right", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Right, Qt::ControlModifier); }, false,
         State::Paused, from, "", {}},
    };
    TinyShow show({{96, 64}, {64, 64}, {96, 64}, {64, 96}}, 4, 0, false);
    for (const Case& c : cases) {
        Player p;
        ASSERT_EQ(p.Preview(show), S_OK);
        CVcdCore& core = p.core();
        QWidget* window = core.window();
        const QSize size = window->size();
        if (!c.playing) core.Pause();
        core.SeekTo(7 * kSecond);
        core.timeLabel()->hide();
        c.input(window);
        QTest::qWait(20);
        EXPECT_EQ(core.state(), c.state) << c.name;
        if (c.at >= 0) {
            REFERENCE_TIME at = -1;
            std::dynamic_pointer_cast<IMediaSeeking>(p.objects.graph)->GetCurrentPosition(&at);
            EXPECT_EQ(at, c.at) << c.name;
        }
        EXPECT_EQ(core.timeLabel()->isVisible(), !c.shown.isEmpty()) << c.name;
        if (!c.shown.isEmpty()) {
            EXPECT_EQ(core.timeLabel()->text(), c.shown) << c.name;
        }
        EXPECT_EQ(p.commands, c.commands) << c.name;
        EXPECT_EQ(window->size(), size) << c.name;
    }
}

TEST_F(PreviewPlayerTest, TheTimeShownAfterASeekGoesAfterASecond) {
    TinyShow show({{96, 64}}, 2, 0, false);
    Player p;
    ASSERT_EQ(p.Preview(show), S_OK);
    QElapsedTimer shown;
    shown.start();
    QTest::keyClick(p.core().window(), Qt::Key_Home);
    QLabel* time = p.core().timeLabel();
    ASSERT_TRUE(time->isVisible());
    EXPECT_EQ(time->text(), "0:00 / 0:02");
    EXPECT_TRUE(p.core().window()->rect().contains(time->geometry()));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !time->isVisible(); }, 3000));
    EXPECT_GE(shown.elapsed(), 900);  // a coarse timer may end a little early
}

}  // namespace
