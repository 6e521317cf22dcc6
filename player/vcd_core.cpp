#include "player/vcd_core.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <cstdio>
#include <string>

#include "controls/menu_builder.h"
#include "lang/control_id.h"
#include "platform/com/error_text.h"
#include "platform/shell/message_boxes.h"
#include "res/menus.h"

// The player's top-level window: hands what happens to it to its player.
class PreviewWindow : public QWidget {
public:
    explicit PreviewWindow(CVcdCore& player)
        : QWidget(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
          player_(player) {
        setObjectName("PreviewWindow");
        setAttribute(Qt::WA_NoSystemBackground, false);
        QPalette black = palette();
        black.setColor(QPalette::Window, Qt::black);
        setPalette(black);
        setAutoFillBackground(true);
        setWindowIcon(QApplication::windowIcon());
        setFocusPolicy(Qt::StrongFocus);
    }

protected:
    void closeEvent(QCloseEvent* event) override {
        event->ignore();  // the owner ends the preview, then closes us
        player_.OnCloseRequest();
    }
    void resizeEvent(QResizeEvent*) override { player_.OnResized(); }
    void moveEvent(QMoveEvent*) override { player_.OnResized(); }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::RightButton) player_.ShowMenu(event->position().toPoint());
        event->accept();
    }
    void keyPressEvent(QKeyEvent* event) override {
        const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (!plain || !player_.OnKey(event->key())) QWidget::keyPressEvent(event);
    }
    void wheelEvent(QWheelEvent* event) override {
        player_.OnWheel(event->angleDelta().y());
        event->accept();
    }

private:
    CVcdCore& player_;
};

namespace {

// The window's frame and caption: the owner's, whose window the desktop has already framed (the
// player's own frame is known only once it is shown).
QSize FrameAround(const QWidget* window, const QWidget* owner) {
    const QWidget* framed = owner != nullptr && owner->isVisible() ? owner : window;
    return framed->frameGeometry().size() - framed->geometry().size();
}

// The smallest whole divisor with which a window showing `video` at `corner` stays in `work`.
int FittingDivisor(QSize video, QSize frame, QPoint corner, const QRect& work) {
    const int roomWidth = work.right() + 1 - corner.x() - frame.width();
    const int roomHeight = work.bottom() + 1 - corner.y() - frame.height();
    int divisor = 1;
    while ((video.width() / divisor > roomWidth || video.height() / divisor > roomHeight) &&
           video.width() / divisor > 1 && video.height() / divisor > 1) {
        ++divisor;
    }
    return divisor;
}

constexpr REFERENCE_TIME kSeekStep = 5 * kUnitsPerSecond;
constexpr int kWheelNotch = 120;  // eighths of a degree
constexpr int kTimeShownMs = 1000;

// m:ss, or h:mm:ss from an hour on; whole seconds.
QString ClockText(REFERENCE_TIME time) {
    const long long seconds = std::max<REFERENCE_TIME>(0, time) / kUnitsPerSecond;
    const QString ss = QString("%1").arg(seconds % 60, 2, 10, QChar('0'));
    if (seconds < 3600) return QString("%1:%2").arg(seconds / 60).arg(ss);
    return QString("%1:%2:%3").arg(seconds / 3600).arg(seconds / 60 % 60, 2, 10, QChar('0')).arg(ss);
}

// White on a dark band, over the bottom of the video; it takes no mouse, so the menu still opens.
QLabel* MakeTimeLabel(QWidget* window) {
    auto* label = new QLabel(window);
    label->setObjectName("PreviewTime");
    label->setStyleSheet("QLabel { color: white; background: rgba(0, 0, 0, 160); padding: 3px 8px; }");
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->hide();
    return label;
}

}  // namespace

CVcdCore::CVcdCore(QWidget* owner, MessageBoxes& boxes, PostCommand postCommand)
    : owner_(owner), boxes_(boxes), postCommand_(std::move(postCommand)), notices_(std::make_unique<QObject>()) {}

CVcdCore::~CVcdCore() {
    if (state_ != PlayState::Closed) Close();
}

QWidget* CVcdCore::window() const { return window_.get(); }

void CVcdCore::ErrorBox(const char* format, HRESULT hr) {
    char text[512];
    std::snprintf(text, sizeof text, format, static_cast<unsigned>(hr));
    boxes_.Show({MessageOwner::None, text, "message", MessageButtons::Ok, MessageIcon::None});
}

void CVcdCore::CreatePlayerWindow() {
    QScreen* screen = owner_ != nullptr ? owner_->screen() : QGuiApplication::primaryScreen();
    const QRect work = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const int ownerTop = owner_ != nullptr ? owner_->frameGeometry().top() : work.top() + 300;
    const int left = work.left() + 100, top = work.top() + 5;
    const int right = work.left() + (4 * (ownerTop - work.top() - 5)) / 3;
    window_ = std::make_unique<PreviewWindow>(*this);
    window_->setWindowTitle("Video Window");
    // The corner is the frame's, caption included; the size is the video's once attached (the
    // provisional one may be empty).
    window_->move(left, top);
    window_->resize(std::max(1, right - left), std::max(1, ownerTop - top));
    timeLabel_ = MakeTimeLabel(window_.get());
    timeHider_ = new QTimer(window_.get());
    timeHider_->setSingleShot(true);
    QObject::connect(timeHider_, &QTimer::timeout, timeLabel_, &QWidget::hide);
    windowCreated_ = true;
}

HRESULT CVcdCore::Open(const std::shared_ptr<IGraphBuilder>& graph) {
    if (owner_ != nullptr) {
        owner_->showNormal();
        owner_->raise();
        owner_->activateWindow();
    }
    state_ = PlayState::Stopped;
    CreatePlayerWindow();
    HRESULT hr = Attach(graph);
    if (FAILED(hr)) Close();
    return hr;
}

HRESULT CVcdCore::Attach(const std::shared_ptr<IGraphBuilder>& graph) {
    pGB = graph;
    HRESULT hr;
    if (FAILED(hr = QueryInterface(pGB, &pMC))) {
        ErrorBox("FAILED(hr=0x%x) in pGB->QueryInterface(IID_IMediaControl, (void **)&pMC)\n", hr);
        return hr;
    }
    if (FAILED(hr = QueryInterface(pGB, &pME))) {
        ErrorBox("FAILED(hr=0x%x) in pGB->QueryInterface(IID_IMediaEventEx, (void **)&pME)\n", hr);
        return hr;
    }
    if (FAILED(hr = QueryInterface(pGB, &pMS))) {
        ErrorBox("FAILED(hr=0x%x) in pGB->QueryInterface(IID_IMediaSeeking, (void **)&pMS)\n", hr);
        return hr;
    }
    if (FAILED(hr = QueryInterface(pGB, &pVW))) {
        ErrorBox("FAILED(hr=0x%x) in pGB->QueryInterface(IID_IVideoWindow, (void **)&pVW)\n", hr);
        return hr;
    }
    if (FAILED(hr = QueryInterface(pGB, &pBV))) {
        ErrorBox("FAILED(hr=0x%x) in pGB->QueryInterface(IID_IBasicVideo, (void **)&pBV)\n", hr);
        return hr;
    }
    if (FAILED(hr = QueryInterface(pGB, &pBA))) {
        ErrorBox("FAILED(hr=0x%x) in pGB->QueryInterface(IID_IBasicAudio, (void **)&pBA)\n", hr);
        return hr;
    }
    noVideo_ = !pVW || !pBV;
    if (!noVideo_) {
        long visible = 0;
        hr = pVW->get_Visible(&visible);
        if (hr == E_NOINTERFACE) {
            noVideo_ = true;
        } else if (FAILED(hr)) {
            ErrorBox("Failed(%08x) in pVW->get_Visible()!\r\n", hr);
        }
    }
    if (FAILED(hr = pME->SetNotifyWindow(this, WM_GRAPHNOTIFY, 0))) {
        ErrorBox("FAILED(hr=0x%x) in pME->SetNotifyWindow(reinterpret_cast<OAHWND>(m_hWnd), WM_GRAPHNOTIFY, 0)\n",
                 hr);
        return hr;
    }
    if (!noVideo_) {
        long style = 0;
        pVW->get_WindowStyle(&style);
        pVW->put_WindowStyle((style & static_cast<long>(0xFF3BFFFF)) | WS_CHILD);
        pVW->put_Owner(window_.get());
        pVW->put_MessageDrain(window_.get());
        const int divisor = VideoDivisor();
        if (FAILED(hr = InitVideoWindow(1, divisor))) {
            const std::string call = "FAILED(hr=0x%x) in InitVideoWindow(1, " + std::to_string(divisor) + ")\n";
            ErrorBox(call.c_str(), hr);
            return hr;
        }
        shown_ = true;
        window_->showNormal();
    } else {
        window_->hide();  // the sound plays; the preview ends from the main window
    }
    window_->update();
    if (!noVideo_) {
        window_->raise();
        window_->activateWindow();
        window_->setFocus();
    }
    SetCaption();
    if (FAILED(hr = pMC->Run())) {
        ErrorBox("FAILED(hr=0x%x) in pMC->Run()\n", hr);
        return hr;
    }
    state_ = PlayState::Running;
    return S_OK;
}

HRESULT CVcdCore::InitVideoWindow(int multiplier, int divisor) {
    if (!pBV) return S_OK;
    long videoWidth = 0, videoHeight = 0;
    HRESULT hr = pBV->GetVideoSize(&videoWidth, &videoHeight);
    if (hr == E_NOINTERFACE) return S_OK;
    if (FAILED(hr)) return hr;
    const QSize size(static_cast<int>(videoWidth * multiplier / divisor),
                     static_cast<int>(videoHeight * multiplier / divisor));
    window_->setFixedSize(size);
    if (FAILED(hr = pVW->SetWindowPosition(0, 0, size.width(), size.height()))) {
        ErrorBox("FAILED(hr=0x%x) in pVW->SetWindowPosition(rect.left, rect.top, rect.right, rect.bottom)\n", hr);
        return hr;
    }
    return S_OK;
}

int CVcdCore::VideoDivisor() const {
    long width = 0, height = 0;
    QScreen* screen = window_->screen();
    if (!pBV || screen == nullptr || FAILED(pBV->GetVideoSize(&width, &height))) return 1;
    return FittingDivisor(QSize(static_cast<int>(width), static_cast<int>(height)),
                          FrameAround(window_.get(), owner_), window_->pos(), screen->availableGeometry());
}

void CVcdCore::SetCaption() {
    if (window_) window_->setWindowTitle("PREVIEW");
}

void CVcdCore::Play() {
    if (!pMC) return;
    if ((state_ == PlayState::Stopped || state_ == PlayState::Paused) && SUCCEEDED(pMC->Run())) {
        state_ = PlayState::Running;
    }
    if (pMS && SUCCEEDED(pMS->SetRate(1.0))) SetCaption();
}

void CVcdCore::Pause() {
    if (!pMC) return;
    if (state_ != PlayState::Stopped && state_ != PlayState::Paused && SUCCEEDED(pMC->Pause())) {
        state_ = PlayState::Paused;
    }
    SetCaption();
}

void CVcdCore::Stop() {
    if (!pMC || !pMS) return;
    if (state_ == PlayState::Paused || state_ == PlayState::Running) {
        pMC->Stop();
        state_ = PlayState::Stopped;
        REFERENCE_TIME start = 0;
        pMS->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning);
        pMC->Pause();  // shows the first frame while the state reads stopped
    }
    SetCaption();
}

void CVcdCore::SeekBy(REFERENCE_TIME offset) {
    REFERENCE_TIME now = 0;
    if (pMS && SUCCEEDED(pMS->GetCurrentPosition(&now))) SeekTo(now + offset);
}

void CVcdCore::SeekTo(REFERENCE_TIME position) {
    if (!pMS) return;
    REFERENCE_TIME length = 0;
    if (FAILED(pMS->GetDuration(&length))) return;
    REFERENCE_TIME at = std::clamp<REFERENCE_TIME>(position, 0, length);
    if (FAILED(pMS->SetPositions(&at, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning))) return;
    pMS->GetCurrentPosition(&at);  // the start of the frame it landed on
    ShowTime(at, length);
}

void CVcdCore::ShowTime(REFERENCE_TIME position, REFERENCE_TIME length) {
    if (timeLabel_ == nullptr) return;
    timeLabel_->setText(ClockText(position) + " / " + ClockText(length));
    timeLabel_->adjustSize();
    const QSize room = window_->size() - timeLabel_->size();
    timeLabel_->move(std::max(0, room.width() / 2), std::max(0, room.height() - 8));
    timeLabel_->raise();  // above the video, which joined the window later
    timeLabel_->show();
    timeHider_->start(kTimeShownMs);
}

bool CVcdCore::OnKey(int key) {
    switch (key) {
        case Qt::Key_Space: state_ == PlayState::Running ? Pause() : Play(); return true;
        case Qt::Key_Escape: OnCommand(ID_PREVIEW_CLOSE); return true;
        case Qt::Key_Left: SeekBy(-kSeekStep); return true;
        case Qt::Key_Right: SeekBy(kSeekStep); return true;
        case Qt::Key_Home: SeekTo(0); return true;
        default: return false;
    }
}

void CVcdCore::OnWheel(int angleDelta) {
    // A touchpad turns in small steps: one seek per whole notch; turning away from the user goes forward.
    wheelTurned_ += angleDelta;
    const int notches = wheelTurned_ / kWheelNotch;
    wheelTurned_ -= notches * kWheelNotch;
    if (notches != 0) SeekBy(notches * kSeekStep);
}

void CVcdCore::Close() {
    if (pMC) pMC->Stop();
    state_ = PlayState::Stopped;
    noVideo_ = true;
    if (windowCreated_ && window_) {
        window_->hide();
        if (pVW) pVW->put_Visible(0);
        if (owner_ != nullptr) owner_->update();
    }
    if (pVW) {
        pVW->put_Visible(0);
        pVW->put_Owner(nullptr);
    }
    if (pME) pME->SetNotifyWindow(nullptr, 0, 0);
    timeLabel_ = nullptr;
    timeHider_ = nullptr;
    window_.reset();
    shown_ = false;
    pME.reset();
    pMS.reset();
    pMC.reset();
    pBA.reset();
    pBV.reset();
    pVW.reset();
    state_ = PlayState::Closed;
    if (owner_ != nullptr) owner_->update();
}

void CVcdCore::PostGraphNotify(long, long) {
    QMetaObject::invokeMethod(notices_.get(), [this] { OnGraphNotify(); }, Qt::QueuedConnection);
}

void CVcdCore::OnGraphNotify() {
    if (!pME) return;
    long code = 0, param1 = 0, param2 = 0;
    while (pME && SUCCEEDED(pME->GetEvent(&code, &param1, &param2, 0))) {
        pME->FreeEventParams(code, param1, param2);
        if (code == EC_COMPLETE) Stop();
    }
}

void CVcdCore::OnCommand(int command) {
    switch (command) {
        case ID_PREVIEW_PLAY: Play(); break;
        case ID_PREVIEW_PAUSE: Pause(); break;
        case ID_PREVIEW_STOP: Stop(); break;
        case ID_PREVIEW_CLOSE:
            if (window_) window_->close();
            break;
        default: break;
    }
}

void CVcdCore::OnCloseRequest() {
    if (postCommand_) {
        QMetaObject::invokeMethod(
            owner_ != nullptr ? static_cast<QObject*>(owner_) : notices_.get(),
            [post = postCommand_] { post(IDC_BUTTON_PREVIEW_VIDEO); }, Qt::QueuedConnection);
    }
}

void CVcdCore::OnResized() {
    if (shown_ && pVW && window_) pVW->SetWindowPosition(0, 0, window_->width(), window_->height());
}

std::unique_ptr<QMenu> CVcdCore::MakeMenu() {
    std::unique_ptr<QMenu> loaded = LoadMenuTemplate(IDR_MENU_PREVIEW);
    if (!loaded || PopupOf(loaded.get()) == nullptr) {
        boxes_.Show({MessageOwner::None, "error", "error", MessageButtons::Ok, MessageIcon::None});
        return nullptr;
    }
    QMenu* menu = PopupOf(loaded.get());
    for (QAction* action : menu->actions()) {
        const int id = CommandId(action);
        bool grey = false;
        switch (state_) {
            case PlayState::Stopped: grey = id == ID_PREVIEW_PAUSE || id == ID_PREVIEW_STOP; break;
            case PlayState::Paused: grey = id == ID_PREVIEW_PAUSE; break;
            case PlayState::Running: grey = id == ID_PREVIEW_PLAY; break;
            case PlayState::Closed: break;
        }
        action->setEnabled(!grey);
    }
    return loaded;
}

void CVcdCore::ShowMenu(const QPoint& clientPoint) {
    std::unique_ptr<QMenu> menu = MakeMenu();
    if (!menu || !window_) return;
    QAction* chosen = PopupOf(menu.get())->exec(window_->mapToGlobal(clientPoint));
    if (chosen != nullptr) OnCommand(CommandId(chosen));
}
