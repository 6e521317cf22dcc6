#include "player/qt_preview_renderers.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QGuiApplication>
#include <QMediaDevices>
#include <QPainter>
#include <QScreen>
#include <atomic>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <mutex>

#include "platform/render/playback/audio_ring.h"

namespace {

// Hands pictures from the presenting thread to the widget on the user-interface thread; lives as
// long as its renderer, so a queued hand-over never reaches a deleted object.
class PictureMailbox : public QObject {
public:
    void Put(const VideoPicture& p) {
        std::lock_guard<std::mutex> lock(mutex_);
        latest_ = p;
        if (pending_) return;
        pending_ = true;
        QMetaObject::invokeMethod(this, [this] { Deliver(); }, Qt::QueuedConnection);
    }
    QPointer<PreviewVideoWidget> widget;

private:
    void Deliver() {
        VideoPicture p;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            p = std::move(latest_);
            pending_ = false;
        }
        if (!widget || !p.pixels) return;
        // The image shares the picture's pixels; the copy of the pointer keeps them alive.
        auto* keep = new std::shared_ptr<const std::vector<std::uint8_t>>(p.pixels);
        QImage image(p.pixels->data(), p.width, p.height, p.stride, QImage::Format_RGB32,
                     [](void* k) { delete static_cast<std::shared_ptr<const std::vector<std::uint8_t>>*>(k); }, keep);
        widget->SetPicture(std::move(image));
    }
    std::mutex mutex_;
    VideoPicture latest_;
    bool pending_ = false;
};

class QtVideoRenderer final : public VideoRendererPort {
public:
    QtVideoRenderer() {
        widget_ = new PreviewVideoWidget;
        mailbox_.widget = widget_;
    }
    ~QtVideoRenderer() override { delete widget_.data(); }
    void Present(const VideoPicture& picture) override { mailbox_.Put(picture); }
    void SetOwner(void* owner) override {
        if (!widget_) return;
        widget_->setParent(static_cast<QWidget*>(owner));
        widget_->setVisible(owner != nullptr && visible_);
    }
    void SetMessageDrain(void* drain) override {
        // The drain is the owner: the widget lets its mouse through to it.
        if (widget_) widget_->setAttribute(Qt::WA_TransparentForMouseEvents, drain != nullptr);
    }
    void SetVisible(bool visible) override {
        visible_ = visible;
        if (widget_ && widget_->parentWidget() != nullptr) widget_->setVisible(visible);
    }
    bool Visible() const override { return visible_; }
    void SetPosition(int left, int top, int width, int height) override {
        if (widget_) widget_->setGeometry(left, top, width, height);
    }

private:
    QPointer<PreviewVideoWidget> widget_;
    PictureMailbox mailbox_;
    bool visible_ = true;
};

// The device reads 16-bit stereo from the ring in pull mode.
class RingDevice : public QIODevice {
public:
    explicit RingDevice(AudioRing& ring) : ring_(ring) {}
    std::atomic<std::int64_t> lastReadNs{0};

protected:
    qint64 readData(char* data, qint64 size) override {
        const int frames = static_cast<int>(size / 4);
        ring_.Read(reinterpret_cast<std::int16_t*>(data), frames);
        lastReadNs = std::chrono::steady_clock::now().time_since_epoch().count();
        return static_cast<qint64>(frames) * 4;
    }
    qint64 writeData(const char*, qint64) override { return -1; }
    qint64 bytesAvailable() const override { return 4096 + QIODevice::bytesAvailable(); }

private:
    AudioRing& ring_;
};

class QtAudioRenderer final : public AudioRendererPort {
public:
    QtAudioRenderer() : ring_(kMixRateFrames / 2), device_(ring_) {}
    ~QtAudioRenderer() override {
        if (sink_) sink_->stop();
    }
    bool Open() override {
        QAudioDevice output = QMediaDevices::defaultAudioOutput();
        if (output.isNull()) return false;
        QAudioFormat format;
        format.setSampleRate(kMixRateFrames);
        format.setChannelCount(2);
        format.setSampleFormat(QAudioFormat::Int16);
        if (!output.isFormatSupported(format)) return false;
        sink_ = std::make_unique<QAudioSink>(output, format);
        device_.open(QIODevice::ReadOnly);
        sink_->start(&device_);
        if (sink_->error() != QAudio::NoError) return false;
        sink_->suspend();
        latencyFrames_ = sink_->bufferSize() / 4;
        return true;
    }
    void Play(bool playing) override {
        if (!sink_) return;
        heldAt_ = Clock();
        lastClock_ = heldAt_.load();
        playing_ = playing;
        played_ = played_ || playing;
        playing ? sink_->resume() : sink_->suspend();
    }
    void Reset(std::int64_t frame) override {
        ring_.Reset(frame);
        heldAt_ = frame;
        lastClock_ = frame;
        if (sink_ && played_) Flush();
    }
    int Write(std::int64_t first, const float* samples, int frames) override {
        return ring_.Write(first, samples, frames);
    }
    std::int64_t Clock() const override {
        if (!playing_) return heldAt_;
        // What the device has taken less what its buffer still holds, moved on by the time since
        // it last took some; never backwards.
        std::int64_t heard = ring_.readPosition() - latencyFrames_;
        const std::int64_t sinceNs = std::chrono::steady_clock::now().time_since_epoch().count() - device_.lastReadNs;
        heard += std::clamp<std::int64_t>(sinceNs, 0, 20'000'000) * kMixRateFrames / 1'000'000'000;
        std::int64_t clock = std::max<std::int64_t>({heldAt_.load(), heard, lastClock_.load()});
        lastClock_ = clock;
        return clock;
    }
    void SetVolume(long volume) override {
        if (sink_) sink_->setVolume(std::pow(10.0, volume / 2000.0));
    }

private:
    // What the device still holds is sound from before a seek: dropped, by starting afresh.
    void Flush() {
        sink_->stop();
        if (!device_.isOpen()) device_.open(QIODevice::ReadOnly);
        sink_->start(&device_);
        sink_->suspend();
        played_ = false;
    }

    static constexpr int kMixRateFrames = 44100;
    AudioRing ring_;
    RingDevice device_;
    std::unique_ptr<QAudioSink> sink_;
    std::int64_t latencyFrames_ = 0;
    std::atomic<std::int64_t> heldAt_{0};
    mutable std::atomic<std::int64_t> lastClock_{0};
    std::atomic<bool> playing_{false};
    bool played_ = false;  // since the device last started
};

}  // namespace

PreviewVideoWidget::PreviewVideoWidget() {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
}

void PreviewVideoWidget::SetPicture(QImage picture) {
    picture_ = std::move(picture);
    update();
}

void PreviewVideoWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (picture_.isNull()) return;
    QSize size = picture_.size().scaled(this->size(), Qt::KeepAspectRatio);
    QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture_);
}

void InstallQtPreviewRenderers() {
    PreviewRenderers renderers;
    renderers.video = [] { return std::make_unique<QtVideoRenderer>(); };
    renderers.audio = [] { return std::make_unique<QtAudioRenderer>(); };
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        renderers.maxWidth = screen->availableGeometry().width();
        renderers.maxHeight = screen->availableGeometry().height();
    }
    SetPreviewRenderers(std::move(renderers));
}
