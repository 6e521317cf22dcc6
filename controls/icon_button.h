#pragma once
// The main window's flat button: its icon above the caption, a raised border and a short sound
// when the mouse comes over it, a hand cursor and a tooltip; disabled it shows the icon greyed and
// the caption embossed. Clicks reach the window as any button's do; a double click is two clicks.
// Focus that came from the keyboard is drawn as a dotted rectangle inside the edge.

#include <QIcon>
#include <QPushButton>
#include <QUrl>
#include <memory>

class QSoundEffect;

class CButtonST : public QPushButton {
    Q_OBJECT

public:
    explicit CButtonST(QWidget* parent = nullptr);
    ~CButtonST() override;

    void SetIcon(const QIcon& icon);
    // The sound played (asynchronously) when the mouse comes over the button.
    void SetSound(const QUrl& wav);
    void DrawTransparent(bool transparent) { transparent_ = transparent; }
    void SetBtnCursor(const QCursor& cursor) { setCursor(cursor); }
    void SetTooltipText(const QString& text, bool activate = true);
    // 0 icon left of the caption, 1 above it, 2 right of it, 3 over it; 4 (refused) for another value.
    int SetAlign(int align);

    bool hovered() const { return hover_; }
    bool showsFocus() const { return hasFocus() && keyboardFocus_; }
    int soundsPlayed() const { return soundsPlayed_; }

protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void EndHover();

    QIcon icon_;
    std::unique_ptr<QSoundEffect> sound_;
    bool transparent_ = false;
    bool hover_ = false;
    bool keyboardFocus_ = false;
    int align_ = 0;
    int soundsPlayed_ = 0;
};
