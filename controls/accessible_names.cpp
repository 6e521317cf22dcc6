#include "controls/accessible_names.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTextDocumentFragment>
#include <algorithm>
#include <cstdlib>

#include "controls/hyperlink.h"
#include "controls/table_controls.h"
#include "lang/language.h"

namespace {

// The name this walk gave, so that a later walk (after a translation) may replace it.
constexpr const char* kGivenNameProperty = "kavrelGivenName";

QString WithoutMnemonics(QString text) {
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == '&') text.remove(i, 1);  // "&&" keeps one
    }
    return text.trimmed();
}

QString PlainTip(const QString& tip) {
    return Qt::mightBeRichText(tip) ? QTextDocumentFragment::fromHtml(tip).toPlainText().trimmed() : tip.trimmed();
}

void GiveName(QWidget* w, const QString& name) {
    const QString given = w->property(kGivenNameProperty).toString();
    if (name.isEmpty() || (!w->accessibleName().isEmpty() && w->accessibleName() != given)) return;
    w->setAccessibleName(name);
    w->setProperty(kGivenNameProperty, name);
}

bool IsField(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
           qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w);
}

// The text of a label, option button or group box that names the field after it.
QString CaptionText(const QWidget* caption) {
    if (auto* label = qobject_cast<const QLabel*>(caption)) return WithoutMnemonics(label->text());
    if (auto* option = qobject_cast<const QAbstractButton*>(caption)) return WithoutMnemonics(option->text());
    if (auto* group = qobject_cast<const QGroupBox*>(caption)) return WithoutMnemonics(group->title());
    return {};
}

// A plain label with a caption: not a link, a picture or an empty status line.
QLabel* CaptionLabel(QWidget* w) {
    auto* label = qobject_cast<QLabel*>(w);
    if (label == nullptr || qobject_cast<CHyperLink*>(w) || label->text().isEmpty()) return nullptr;
    return label;
}

// Rectangles in the dialog's coordinates: a label outside a group box may name a field in it.
bool OnOneRow(const QRect& a, const QRect& b) {
    return std::abs(a.center().y() - b.center().y()) <= std::max(a.height(), b.height()) / 2;
}

// A label on a line of its own right above the field it names.
bool RightAbove(const QRect& label, const QRect& field) {
    const int gap = field.top() - label.bottom();
    return gap >= 0 && gap <= label.height() && label.left() <= field.right() && field.left() <= label.right();
}

}  // namespace

void NameControls(QWidget* dialog) {
    QWidget* caption = nullptr;     // the label or option button waiting for its field
    QWidget* lastField = nullptr;   // the field before, for a unit label after it
    QWidget* rowField = nullptr;    // the last field that had a caption
    QString rowName;                // and its name
    const auto at = [dialog](const QWidget* w) { return RectInWindow(w, dialog); };
    for (QWidget* w : TableControls(dialog)) {
        const int stringId = w->property(kNameStringProperty).toInt();
        if (stringId > 0) GiveName(w, QString::fromStdString(theLanguage.GetString(stringId)));
        if (const int about = w->property(kDescriptionStringProperty).toInt(); about > 0) {
            w->setAccessibleDescription(QString::fromStdString(theLanguage.GetString(about)));
        }
        if (QLabel* label = CaptionLabel(w)) {
            if (lastField != nullptr && OnOneRow(at(lastField), at(label)) && at(label).x() > at(lastField).x()) {
                lastField->setAccessibleDescription(WithoutMnemonics(label->text()));
                caption = nullptr;
            } else {
                caption = label;
            }
            lastField = nullptr;
            continue;
        }
        auto* button = qobject_cast<QAbstractButton*>(w);
        if (button != nullptr && button->text().isEmpty()) GiveName(w, PlainTip(w->toolTip()));
        if (!IsField(w)) {
            // A group box names the first field in it when no label comes first.
            const bool names = qobject_cast<QRadioButton*>(w) || qobject_cast<QGroupBox*>(w);
            caption = names ? w : nullptr;
            lastField = nullptr;
            continue;
        }
        const bool labelAbove = qobject_cast<QLabel*>(caption) != nullptr && RightAbove(at(caption), at(w));
        const bool inGroup = qobject_cast<QGroupBox*>(caption) != nullptr && at(caption).contains(at(w));
        if (caption != nullptr && (OnOneRow(at(caption), at(w)) || labelAbove || inGroup)) {
            if (auto* label = qobject_cast<QLabel*>(caption)) label->setBuddy(w);
            rowName = CaptionText(caption);
            rowField = w;
            GiveName(w, rowName);
        } else if (rowField != nullptr && OnOneRow(at(rowField), at(w))) {
            GiveName(w, rowName);
        }
        caption = nullptr;
        lastField = w;
    }
}
