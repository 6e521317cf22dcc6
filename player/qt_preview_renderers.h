#pragma once
// The window program's preview renderers: the pictures drawn by a widget that the player window
// takes as its child, the sound played on the default audio output through QAudioSink.

#include <QImage>
#include <QPointer>
#include <QWidget>

#include "platform/render/playback/preview_renderers.h"

// Draws the latest picture scaled into itself, the aspect kept, on black.
class PreviewVideoWidget : public QWidget {
    Q_OBJECT

public:
    PreviewVideoWidget();
    void SetPicture(QImage picture);
    const QImage& picture() const { return picture_; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QImage picture_;
};

// Installs the Qt renderers for every later preview; the work area of the primary screen bounds
// the pictures' size.
void InstallQtPreviewRenderers();
