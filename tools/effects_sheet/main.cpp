// kavrel-effects-sheet: renders two pictures through every transition at p = 0.25, 0.5 and 0.75
// and writes one labelled PNG grid, to check by eye that each effect looks as it should.
//
//   kavrel-effects-sheet [OUTPUT.png]     (default: transitions-contact-sheet.png)

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>
#include <algorithm>
#include <cstdio>

#include "engine/transition_catalogue.h"
#include "platform/render/compose/effects/transition_effect.h"

namespace {

constexpr int kCellW = 192, kCellH = 144, kGap = 6, kLabelW = 230, kHeaderH = 34;
constexpr double kStages[] = {0.25, 0.5, 0.75};

QImage OutgoingPicture() {
    QImage img(kCellW, kCellH, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient sky(0, 0, kCellW, kCellH);
    sky.setColorAt(0, QColor(250, 190, 60));
    sky.setColorAt(1, QColor(200, 60, 40));
    p.fillRect(img.rect(), sky);
    p.setPen(QPen(QColor(120, 30, 20), 2));
    for (int x = 0; x < kCellW; x += 24) p.drawLine(x, 0, x, kCellH);
    for (int y = 0; y < kCellH; y += 24) p.drawLine(0, y, kCellW, y);
    p.setPen(Qt::white);
    p.setFont(QFont("DejaVu Sans", 56, QFont::Bold));
    p.drawText(img.rect(), Qt::AlignCenter, "A");
    return img;
}

QImage IncomingPicture() {
    QImage img(kCellW, kCellH, QImage::Format_RGB32);
    QPainter p(&img);
    QRadialGradient sea(kCellW / 2.0, kCellH / 2.0, kCellW / 1.5);
    sea.setColorAt(0, QColor(120, 220, 230));
    sea.setColorAt(1, QColor(20, 50, 140));
    p.fillRect(img.rect(), sea);
    p.setPen(QPen(QColor(230, 255, 255), 2));
    p.setBrush(Qt::NoBrush);
    for (int r = 12; r < kCellW; r += 18) p.drawEllipse(QPointF(kCellW / 2.0, kCellH / 2.0), r, r);
    p.setPen(QColor(10, 30, 80));
    p.setFont(QFont("DejaVu Sans", 56, QFont::Bold));
    p.drawText(img.rect(), Qt::AlignCenter, "B");
    return img;
}

std::uint8_t Clamp(double v) { return static_cast<std::uint8_t>(std::clamp(v + 0.5, 0.0, 255.0)); }

// BT.601 studio range, chroma averaged over each 2 × 2 block, as a video frame holds it.
PlanarImage ToYuv420(const QImage& rgb) {
    PlanarImage yuv(rgb.width(), rgb.height(), PlanarLayout::Yuv420);
    FrameView v = yuv.View();
    for (int y = 0; y < rgb.height(); ++y) {
        for (int x = 0; x < rgb.width(); ++x) {
            QRgb c = rgb.pixel(x, y);
            v.Plane(0).Row(y)[x] = Clamp(16 + 0.257 * qRed(c) + 0.504 * qGreen(c) + 0.098 * qBlue(c));
        }
    }
    for (int y = 0; y < v.Plane(1).height; ++y) {
        for (int x = 0; x < v.Plane(1).width; ++x) {
            double u = 0, w = 0;
            for (int k = 0; k < 4; ++k) {
                QRgb c = rgb.pixel(std::min(2 * x + k % 2, rgb.width() - 1),
                                   std::min(2 * y + k / 2, rgb.height() - 1));
                u += 128 - 0.148 * qRed(c) - 0.291 * qGreen(c) + 0.439 * qBlue(c);
                w += 128 + 0.439 * qRed(c) - 0.368 * qGreen(c) - 0.071 * qBlue(c);
            }
            v.Plane(1).Row(y)[x] = Clamp(u / 4);
            v.Plane(2).Row(y)[x] = Clamp(w / 4);
        }
    }
    return yuv;
}

QImage ToRgb(const PlanarImage& yuv) {
    QImage rgb(yuv.width(), yuv.height(), QImage::Format_RGB32);
    FrameView v = yuv.View();
    for (int y = 0; y < yuv.height(); ++y) {
        for (int x = 0; x < yuv.width(); ++x) {
            double l = 1.164 * (v.Plane(0).Row(y)[x] - 16);
            double cb = v.Plane(1).Row(y / 2)[x / 2] - 128.0, cr = v.Plane(2).Row(y / 2)[x / 2] - 128.0;
            rgb.setPixel(x, y, qRgb(Clamp(l + 1.596 * cr), Clamp(l - 0.392 * cb - 0.813 * cr),
                                    Clamp(l + 2.017 * cb)));
        }
    }
    return rgb;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString output = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                    : QStringLiteral("transitions-contact-sheet.png");
    const PlanarImage a = ToYuv420(OutgoingPicture()), b = ToYuv420(IncomingPicture());
    PlanarImage frame(kCellW, kCellH, PlanarLayout::Yuv420);

    const int rows = (kTransitionCount - 1 + 1) / 2;  // two columns of transitions
    const int blockW = kLabelW + 3 * (kCellW + kGap);
    QImage sheet(2 * blockW + kGap, kHeaderH + rows * (kCellH + kGap) + kGap, QImage::Format_RGB32);
    sheet.fill(QColor(40, 40, 44));
    QPainter painter(&sheet);
    painter.setPen(QColor(235, 235, 235));
    painter.setFont(QFont("DejaVu Sans", 11, QFont::Bold));
    for (int column = 0; column < 2; ++column) {
        for (int s = 0; s < 3; ++s) {
            QRect head(column * blockW + kLabelW + s * (kCellW + kGap), 0, kCellW, kHeaderH);
            painter.drawText(head, Qt::AlignCenter, QString("p = %1").arg(kStages[s]));
        }
    }
    painter.setFont(QFont("DejaVu Sans", 10));
    for (int index = 1; index < kTransitionCount; ++index) {
        const int row = (index - 1) % rows, column = (index - 1) / rows;
        const int x0 = column * blockW, y0 = kHeaderH + row * (kCellH + kGap);
        painter.drawText(QRect(x0 + 8, y0, kLabelW - 12, kCellH), Qt::AlignVCenter | Qt::TextWordWrap,
                         QString("%1  %2").arg(index).arg(QString::fromStdString(TransitionName(index))));
        TransitionEffectInfo info = TransitionEffectFor(index);
        EffectProperties props;
        if (info.maskNum) props.emplace_back("MaskNum", *info.maskNum);
        std::unique_ptr<TransitionEffect> effect;
        std::string error;
        if (FAILED(CreateTransitionEffect(info.clsid, props, static_cast<std::uint64_t>(index),
                                          &effect, &error))) {
            std::fprintf(stderr, "kavrel-effects-sheet: %s\n", error.c_str());
            return 1;
        }
        for (int s = 0; s < 3; ++s) {
            effect->Render(a.View(), b.View(), kStages[s], frame.View());
            painter.drawImage(x0 + kLabelW + s * (kCellW + kGap), y0, ToRgb(frame));
        }
    }
    painter.end();
    if (!sheet.save(output)) {
        std::fprintf(stderr, "kavrel-effects-sheet: cannot write %s\n", qPrintable(output));
        return 1;
    }
    std::printf("%s\n", qPrintable(output));
    return 0;
}
