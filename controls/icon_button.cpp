#include "controls/icon_button.h"

#include <QApplication>
#include <QEnterEvent>
#include <QAudioDevice>
#include <QMediaDevices>
#include <QMouseEvent>
#include <QPainter>
#include <QSoundEffect>
#include <QStyle>
#include <QToolTip>

#include "controls/keyboard_focus.h"

namespace {
constexpr int kMargin = 3;
}

namespace {

constexpr int kMaxTipWidth = 400;

// A tip wider than 400 pixels wraps at that width.
QString WrappedTip(const QString& text) {
    if (QFontMetrics(QToolTip::font()).horizontalAdvance(text) <= kMaxTipWidth) return text;
    QString html = text.toHtmlEscaped();
    html.replace('\n', "<br>");
    return QString("<table width=\"%1\"><tr><td>%2</td></tr></table>").arg(kMaxTipWidth).arg(html);
}

// A one-pixel 3-D rectangle: `topLeft` on the top and left edges, `bottomRight` on the others.
void DrawEdge(QPainter& p, const QRect& r, const QColor& topLeft, const QColor& bottomRight) {
    p.setPen(topLeft);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(bottomRight);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
}

void DrawFocusRect(QPainter& p, const QRect& r, const QColor& color) {
    p.save();
    p.setPen(QPen(color, 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
    p.restore();
}

}  // namespace

CButtonST::CButtonST(QWidget* parent) : QPushButton(parent) {
    setFlat(true);
    setAttribute(Qt::WA_Hover);
    setAutoDefault(false);  // an owner-drawn button is never the dialog's default
}

CButtonST::~CButtonST() = default;

void CButtonST::SetIcon(const QIcon& icon) {
    icon_ = icon;
    update();
}

void CButtonST::SetSound(const QUrl& wav) {
    if (QMediaDevices::audioOutputs().isEmpty()) return;  // nothing to play it on
    sound_ = std::make_unique<QSoundEffect>();
    sound_->setSource(wav);
    sound_->setVolume(0.5);
}

void CButtonST::SetTooltipText(const QString& text, bool activate) {
    setToolTip(activate ? WrappedTip(text) : QString());
}

int CButtonST::SetAlign(int align) {
    if (align < 0 || align > 3) return 4;
    align_ = align;
    update();
    return 0;
}

void CButtonST::enterEvent(QEnterEvent* event) {
    QPushButton::enterEvent(event);
    // A drag that started elsewhere does not light the button.
    if ((QApplication::mouseButtons() & Qt::LeftButton) && !isDown()) return;
    if (hover_ || !isEnabled()) return;
    hover_ = true;
    update();
    if (sound_) sound_->play();
    ++soundsPlayed_;
}

void CButtonST::leaveEvent(QEvent* event) {
    QPushButton::leaveEvent(event);
    EndHover();
}

void CButtonST::focusInEvent(QFocusEvent* event) {
    QPushButton::focusInEvent(event);
    // A click or the window's first focus is not shown; Tab and a shortcut are, as the desktop does.
    keyboardFocus_ = IsKeyboardFocus(event->reason());
    update();
}

void CButtonST::focusOutEvent(QFocusEvent* event) {
    QPushButton::focusOutEvent(event);
    keyboardFocus_ = false;
    EndHover();
}

// The right button is the button's own: its click never reaches the window below.
void CButtonST::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) return event->accept();
    QPushButton::mousePressEvent(event);
}

void CButtonST::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) return event->accept();
    QPushButton::mouseReleaseEvent(event);
}

bool CButtonST::event(QEvent* event) {
    // The window's deactivation reaches its buttons as this event, not as an activation change.
    if (event->type() == QEvent::WindowDeactivate) EndHover();
    return QPushButton::event(event);
}

void CButtonST::changeEvent(QEvent* event) {
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow()) EndHover();
    if (event->type() == QEvent::EnabledChange && !isEnabled()) {
        if (hasFocus()) focusNextChild();
        EndHover();
    }
}

void CButtonST::EndHover() {
    if (!hover_) return;
    hover_ = false;
    update();
}

void CButtonST::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QRect r = rect();
    const QPalette& pal = palette();
    const bool pressed = isDown() || isChecked();
    if (!transparent_) p.fillRect(r, pal.button());
    if (pressed) {
        DrawEdge(p, r, pal.color(QPalette::Dark), pal.color(QPalette::Light));
    } else if (hover_) {
        DrawEdge(p, r, pal.color(QPalette::Light), pal.color(QPalette::Dark));
    }
    if (showsFocus()) DrawFocusRect(p, r.adjusted(2, 2, -3, -3), pal.color(QPalette::ButtonText));
    const QPoint shift = pressed ? QPoint(1, 1) : QPoint(0, 0);
    const QSize iconSize = icon_.isNull() ? QSize() : icon_.actualSize(QSize(32, 32));
    QRect textArea = r;
    if (!icon_.isNull()) {
        QRect iconRect(QPoint(0, 0), iconSize);
        if (text().isEmpty() || align_ == 3) {
            iconRect.moveCenter(r.center());
        } else if (align_ == 1) {
            iconRect.moveTo((r.width() - iconSize.width()) / 2, kMargin);
            textArea.setTop(iconRect.bottom() + 1);
        } else if (align_ == 0) {
            iconRect.moveTo(kMargin, (r.height() - iconSize.height()) / 2);
            textArea.setLeft(iconRect.right() + kMargin);
        } else {
            iconRect.moveTo(r.width() - kMargin - iconSize.width(), (r.height() - iconSize.height()) / 2);
            textArea.setRight(iconRect.left() - kMargin);
        }
        icon_.paint(&p, iconRect.translated(shift), Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);
    }
    if (text().isEmpty()) return;
    const int flags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
    textArea.translate(shift);
    if (!isEnabled()) {  // embossed
        p.setPen(pal.color(QPalette::Light));
        p.drawText(textArea.translated(1, 1), flags, text());
        p.setPen(pal.color(QPalette::Dark));
        p.drawText(textArea, flags, text());
        return;
    }
    p.setPen(pal.color(QPalette::ButtonText));
    p.drawText(textArea, flags, text());
}
