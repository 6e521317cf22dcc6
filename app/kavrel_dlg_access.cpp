// The main window for the keyboard, a screen reader and any desktop theme: the popup at the
// focused control, the picture box following the current row, the names of the parts a table
// leaves unnamed, and captions readable on the fixed light background.

#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QShortcut>
#include <QTreeWidget>

#include "app/kavrel_dlg.h"
#include "controls/accessible_names.h"
#include "controls/icon_button.h"

namespace {

constexpr int kPreviewBox = 1017;
// String ids of the names.
constexpr int kPhotoListName = 400, kMusicListName = 401, kPreviewBoxName = 402, kProgressName = 403;

// The background picture is light in every theme: what is drawn on it is dark in every theme.
void KeepDarkOnBackground(QWidget* w) {
    QPalette pal = w->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        pal.setColor(group, QPalette::WindowText, Qt::black);
        pal.setColor(group, QPalette::ButtonText, Qt::black);
        pal.setColor(group, QPalette::Link, QColor(0, 0, 238));
        pal.setColor(group, QPalette::LinkVisited, QColor(85, 26, 139));
    }
    pal.setColor(QPalette::Disabled, QPalette::Light, Qt::white);
    pal.setColor(QPalette::Disabled, QPalette::Dark, QColor(128, 128, 128));
    w->setPalette(pal);
}

bool DrawnOnBackground(const QWidget* w) {
    if (qobject_cast<const CButtonST*>(w) || qobject_cast<const QGroupBox*>(w)) return true;
    auto* label = qobject_cast<const QLabel*>(w);
    return label != nullptr && !label->autoFillBackground();
}

}  // namespace

void CKavrelDlg::SetUpAccess() {
    photoList()->setProperty(kNameStringProperty, kPhotoListName);
    musicList()->setProperty(kNameStringProperty, kMusicListName);
    for (int id : {1031, 1032, 1029, 1030, 1033}) Item(id)->setProperty(kDescriptionStringProperty, kPhotoListName);
    for (int id : {1040, 1041, 1038, 1039}) Item(id)->setProperty(kDescriptionStringProperty, kMusicListName);
    Item(kPreviewBox)->setProperty(kNameStringProperty, kPreviewBoxName);
    progress_->setProperty(kNameStringProperty, kProgressName);
    for (QObject* child : children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (w != nullptr && !w->isWindow() && DrawnOnBackground(w)) KeepDarkOnBackground(w);
    }
    // The Menu key reaches the focused control first (on the photo list it opens the photo's
    // properties); Shift+F10 is the window's. The popup runs after the key's handling: a screen
    // reader's bridge still holds the key's release until then.
    auto* popupKey = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F10), this);
    connect(popupKey, &QShortcut::activated, this, [this] { RunPopupAtFocus(); }, Qt::QueuedConnection);
    connect(photoList(), &QTreeWidget::currentItemChanged, this, [this] {
        if (photoList()->hasFocus()) OnShowClickedPhoto();
    });
}

void CKavrelDlg::contextMenuEvent(QContextMenuEvent* event) {
    // A right click opens the popup on its release (mouseReleaseEvent); the Menu key here.
    if (event->reason() != QContextMenuEvent::Keyboard) return event->ignore();
    event->accept();
    QMetaObject::invokeMethod(this, [this] { RunPopupAtFocus(); }, Qt::QueuedConnection);
}

void CKavrelDlg::RunPopupAtFocus() {
    QWidget* focused = focusWidget();
    if (focused == nullptr || !isAncestorOf(focused)) focused = this;
    RunPopup(focused->mapToGlobal(focused->rect().center()));
}
