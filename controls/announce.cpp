#include "controls/announce.h"

#include <QAccessibleWidget>
#include <QLabel>
#include <QTextDocumentFragment>

namespace {

constexpr const char* kAlertName = "kavrelAnnouncement";

QAccessibleInterface* AlertFactory(const QString&, QObject* object) {
    auto* w = qobject_cast<QWidget*>(object);
    if (w == nullptr || object->objectName() != QLatin1String(kAlertName)) return nullptr;
    return new QAccessibleWidget(w, QAccessible::AlertMessage);
}

QString ShownText(QWidget* shown) {
    auto* label = qobject_cast<QLabel*>(shown);
    if (label == nullptr) return shown->accessibleName();
    const QString text = label->text();
    return Qt::mightBeRichText(text) ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
}

}  // namespace

void Announce(QWidget* shown) {
    if (shown == nullptr) return;
    static const bool installed = (QAccessible::installFactory(AlertFactory), true);
    (void)installed;
    QWidget* window = shown->window();
    auto* alert = window->findChild<QWidget*>(kAlertName, Qt::FindDirectChildrenOnly);
    if (alert == nullptr) {
        alert = new QWidget(window);
        alert->setObjectName(kAlertName);
        alert->setAttribute(Qt::WA_TransparentForMouseEvents);
        alert->setFocusPolicy(Qt::NoFocus);
        alert->setGeometry(0, 0, 1, 1);
    }
    alert->setAccessibleName(ShownText(shown));
    // Shown again, it is news again.
    alert->hide();
    alert->show();
}
