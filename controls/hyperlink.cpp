#include "controls/hyperlink.h"

#include <QApplication>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QUrl>
#include <utility>

#include "controls/contrast.h"
#include "controls/keyboard_focus.h"
#include "platform/shell/address_url.h"
#include "platform/shell/message_boxes.h"

CHyperLink::CHyperLink(QWidget* parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    hoverTimer_.setInterval(100);
    connect(&hoverTimer_, &QTimer::timeout, this, [this] { CheckStillOver(); });
    Restyle();
}

void CHyperLink::SetServices(MessageBoxes* boxes, Opener opener) {
    boxes_ = boxes;
    opener_ = std::move(opener);
}

void CHyperLink::SetURL(const QString& address) {
    address_ = address;
    setToolTip(address);
    // As wide as its text in the underlined font, the left edge kept: the hand shows only over it.
    QFont underlined = font();
    underlined.setUnderline(true);
    const int margins = contentsMargins().left() + contentsMargins().right() + 2 * margin();
    resize(QFontMetrics(underlined).horizontalAdvance(text()) + margins + 2, height());
}

void CHyperLink::SetUnderline(int mode) {
    if (mode == underline_) return;
    underline_ = mode;
    Restyle();
}

void CHyperLink::SetVisited(bool visited) {
    visited_ = visited;
    Restyle();
}

void CHyperLink::Restyle() {
    QFont f = font();
    f.setUnderline(underline_ == 1 || (underline_ == -1 && over_));
    setFont(f);
    // Made readable on the theme's window colour behind it: lighter in a dark theme.
    const QPalette theme = parentWidget() != nullptr ? parentWidget()->palette() : QApplication::palette();
    const QColor shown = over_ ? QColor(255, 0, 0) : visited_ ? QColor(85, 26, 139) : QColor(0, 0, 238);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Readable(shown, theme.color(QPalette::Window)));
    setPalette(pal);
    update();
}

void CHyperLink::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::ParentChange || event->type() == QEvent::ApplicationPaletteChange) Restyle();
}

void CHyperLink::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Space: Open(); return event->accept();
        default: QLabel::keyPressEvent(event);
    }
}

void CHyperLink::focusInEvent(QFocusEvent* event) {
    QLabel::focusInEvent(event);
    keyboardFocus_ = IsKeyboardFocus(event->reason());
}

void CHyperLink::focusOutEvent(QFocusEvent* event) {
    QLabel::focusOutEvent(event);
    keyboardFocus_ = false;
}

void CHyperLink::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    if (!hasFocus() || !keyboardFocus_) return;
    QPainter p(this);
    p.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void CHyperLink::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    StartHover();
}

void CHyperLink::mouseMoveEvent(QMouseEvent* event) {
    QLabel::mouseMoveEvent(event);
    StartHover();
}

void CHyperLink::StartHover() {
    if (over_) return;
    over_ = true;
    Restyle();
    hoverTimer_.start();
}

void CHyperLink::CheckStillOver() {
    if (rect().contains(mapFromGlobal(QCursor::pos()))) return;
    over_ = false;
    hoverTimer_.stop();
    Restyle();
}

void CHyperLink::mouseDoubleClickEvent(QMouseEvent* event) {
    QLabel::mouseDoubleClickEvent(event);
    // The second click of a double click is the double click's: the first one already opened.
    if (event->button() == Qt::LeftButton) secondClick_ = true;
}

void CHyperLink::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) return;
    if (std::exchange(secondClick_, false)) return;
    Open();
}

int CHyperLink::OpenWithDesktop(const QString& address) {
    const QUrl url = AddressUrl(address.toStdString());
    if (QDesktopServices::openUrl(url)) return 33;
    // Never through a shell: the address is one argument.
    if (QProcess::startDetached("xdg-open", {url.toString()})) return 33;
    return 31;
}

void CHyperLink::Open() {
    over_ = false;
    // A label without an address opens its own caption.
    const QString address = address_.isEmpty() ? text() : address_;
    const int result = opener_ ? opener_(address) : OpenWithDesktop(address);
    if (result > 32) {
        SetVisited(true);
        return;
    }
    QApplication::beep();
    if (boxes_ != nullptr) {
        boxes_->Show({MessageOwner::Dialog, ("Unable to open hyperlink:\n\n" + ReasonText(result)).toStdString(), "",
                      MessageButtons::Ok, MessageIcon::Warning});
    }
    Restyle();
}

QString CHyperLink::ReasonText(int code) {
    switch (code) {
        case 0: return "The operating system is out\nof memory or resources.";
        case 2: return "The specified file was not found.";
        case 3: return "The specified path was not found.";
        case 5: return "The operating system denied\naccess to the specified file.";
        case 8: return "There was not enough memory to complete the operation.";
        case 11: return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
        case 26: return "A sharing violation occurred. ";
        case 27: return "The filename association is\nincomplete or invalid.";
        case 28: return "The DDE transaction could not\nbe completed because the request timed out.";
        case 29: return "The DDE transaction failed.";
        case 30: return "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
        case 31: return "There is no application associated\nwith the given filename extension.";
        case 32: return "The specified dynamic-link library was not found.";
        default: return QString("Unknown Error (%1) occurred.").arg(code);
    }
}
