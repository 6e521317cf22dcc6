#pragma once
// The preview player: a window of its own showing a playback graph's video, with Play, Pause,
// Stop and Close on a right-click menu. Space plays and pauses, Escape closes, Left, Right and the
// wheel seek by 5 s, Home goes to the start; after a seek the time shows over the video for a
// second. At the end of the stream it rewinds and holds the first frame. Closing the window asks the owner to end the preview (command 1019) instead of
// destroying itself; the owner then calls Close. The graph stays the caller's.
//
// User-interface thread only; graph events arrive as queued calls.

#include <QWidget>
#include <functional>
#include <memory>

#include "engine/preview_rendering.h"
#include "platform/render/playback/playback.h"

class MessageBoxes;
class QLabel;
class QMenu;
class QTimer;

inline constexpr long WM_GRAPHNOTIFY = 1037;
inline constexpr int IDC_BUTTON_PREVIEW_VIDEO = 1019;

class CVcdCore : public IPreviewPlayer, private IGraphNotifyTarget {
public:
    enum class PlayState { Stopped, Paused, Running, Closed };
    using PostCommand = std::function<void(int command)>;

    // `postCommand` hands a command to the owner window later (a posted message).
    CVcdCore(QWidget* owner, MessageBoxes& boxes, PostCommand postCommand);
    ~CVcdCore() override;

    HRESULT Open(const std::shared_ptr<IGraphBuilder>& graph) override;
    void Close() override;
    void Play();
    void Pause();
    void Stop();
    // Moves to `position` (kept within the show) and shows the time there; playing or held stays so.
    void SeekTo(REFERENCE_TIME position);
    void SeekBy(REFERENCE_TIME offset);
    HRESULT InitVideoWindow(int multiplier, int divisor);

    PlayState state() const { return state_; }
    bool noVideo() const { return noVideo_; }
    // The player window; null before Open and after Close.
    QWidget* window() const;
    // The time shown over the video after a seek; null before Open and after Close.
    QLabel* timeLabel() const { return timeLabel_; }
    // The right-click menu (as loaded: its popup holds the items) with the items greyed by the play
    // state; null (after its message) when the menu cannot be made.
    std::unique_ptr<QMenu> MakeMenu();

private:
    friend class PreviewWindow;
    void PostGraphNotify(long message, long instance) override;
    void OnGraphNotify();
    void OnCommand(int command);
    void OnCloseRequest();
    void OnResized();
    bool OnKey(int key);  // false for a key the player does not take
    void OnWheel(int angleDelta);
    void ShowTime(REFERENCE_TIME position, REFERENCE_TIME length);
    void ShowMenu(const QPoint& clientPoint);
    HRESULT Attach(const std::shared_ptr<IGraphBuilder>& graph);
    void CreatePlayerWindow();
    // 1, or what the video is divided by so that the window stays in the work area.
    int VideoDivisor() const;
    void SetCaption();
    // The format takes the code as one unsigned int.
    void ErrorBox(const char* format, HRESULT hr);

    QWidget* owner_;
    MessageBoxes& boxes_;
    PostCommand postCommand_;
    bool noVideo_ = false;
    PlayState state_ = PlayState::Closed;
    std::shared_ptr<IVideoWindow> pVW;
    bool shown_ = false;
    std::shared_ptr<IBasicVideo> pBV;
    std::shared_ptr<IGraphBuilder> pGB;
    std::shared_ptr<IMediaControl> pMC;
    std::shared_ptr<IMediaEventEx> pME;
    std::shared_ptr<IBasicAudio> pBA;
    std::shared_ptr<IMediaSeeking> pMS;
    std::unique_ptr<QWidget> window_;
    QLabel* timeLabel_ = nullptr;  // a child of window_
    QTimer* timeHider_ = nullptr;  // likewise
    int wheelTurned_ = 0;  // eighths of a degree not yet seeked
    bool windowCreated_ = false;
    std::unique_ptr<QObject> notices_;  // the target of the queued graph notices
};
