// The parts of CLanguage that walk Qt widgets and menus.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextEdit>

#include "controls/accessible_names.h"
#include "controls/table_controls.h"
#include "lang/control_id.h"
#include "lang/interface_font.h"
#include "lang/language.h"

namespace {

// Edit fields, list views and spin boxes keep their own texts.
bool KeepsItsText(const QWidget* w) {
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QTextEdit*>(w) ||
           qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QAbstractItemView*>(w) ||
           qobject_cast<const QAbstractSpinBox*>(w);
}

void SetText(QWidget* w, const QString& text) {
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(text);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(text);
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
        group->setTitle(text);
    }
}

}  // namespace

int CLanguage::TranslateDialog(QWidget* dialog, int dialogId) {
    if (installed_.empty() || dialog == nullptr) return 0;
    const bool withFont = hasFont_;
    const QFont font = withFont ? QFontFromLogFont(font_) : QFont();
    std::string caption = GetDialogText(dialogId);
    if (!caption.empty()) {
        if (withFont) dialog->setProperty(kInterfaceFontProperty, font);
        dialog->setWindowTitle(QString::fromStdString(caption));
    }
    for (QWidget* w : TableControls(dialog)) {
        if (KeepsItsText(w) || w->property(kNoCaptionProperty).toBool()) continue;
        const auto id = static_cast<std::int16_t>(ControlId(w));
        if (id <= 0) continue;
        std::string text = id < 100 ? GetString(id) : GetDialogText(id);
        if (text.empty()) continue;
        SetText(w, QString::fromStdString(text));
        if (withFont) w->setFont(font);
    }
    NameControls(dialog);
    return 1;
}

int CLanguage::TranslateMenu(QMenu* menu, int menuId, bool topLevel) {
    if (installed_.empty() || menu == nullptr) return 0;
    if (topLevel) popupCounter_ = static_cast<std::uint32_t>(menuId) * 65536u;
    for (QAction* action : menu->actions()) {
        QMenu* sub = action->menu();
        if (action->isSeparator() || (sub == nullptr && CommandId(action) == 0)) continue;
        if (topLevel) {
            if (sub != nullptr) TranslateMenu(sub, menuId, false);
            continue;
        }
        std::string text = sub != nullptr ? GetMenuText(static_cast<std::int32_t>(popupCounter_++))
                                           : GetMenuText(CommandId(action));
        if (!text.empty()) action->setText(QString::fromStdString(text));
        if (sub != nullptr) TranslateMenu(sub, menuId, false);
    }
    return 1;
}
