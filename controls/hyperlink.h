#pragma once
// A label that opens its address in the user's browser: link colours (blue, purple once visited,
// red while the mouse is over it), underlined always, never or while hovered, a hand cursor and
// the address as its tooltip. When the desktop cannot open the address it runs xdg-open with the
// address as its one argument, and says why when that fails too. Tab reaches it, Return and Space
// open it, and its focus is drawn; its colours keep a readable contrast on the window's background.

#include <QLabel>
#include <QTimer>
#include <functional>

class MessageBoxes;

class CHyperLink : public QLabel {
    Q_OBJECT

public:
    // Opens an address; the result follows the shell's: above 32 on success, else a reason code.
    using Opener = std::function<int(const QString& address)>;

    explicit CHyperLink(QWidget* parent = nullptr);

    void SetURL(const QString& address);
    QString GetURL() const { return address_; }
    void SetUnderline(int mode);  // -1 while hovered, 0 never, 1 always
    void SetVisited(bool visited);
    bool visited() const { return visited_; }
    bool over() const { return over_; }
    void SetServices(MessageBoxes* boxes, Opener opener = nullptr);

    // What the link shows a failure code as.
    static QString ReasonText(int code);
    // The desktop's way of opening, then xdg-open; 33 on success, 31 (no application) when neither worked.
    static int OpenWithDesktop(const QString& address);
    void Open();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Restyle();
    void StartHover();
    void CheckStillOver();

    QString address_;
    int underline_ = -1;
    bool over_ = false;
    bool visited_ = false;
    bool secondClick_ = false;
    bool keyboardFocus_ = false;
    QTimer hoverTimer_;
    MessageBoxes* boxes_ = nullptr;
    Opener opener_;
};
