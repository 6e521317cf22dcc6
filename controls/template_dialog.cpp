#include "controls/template_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <cmath>
#include <map>

#include "controls/accessible_names.h"
#include "controls/combo_box_accessible.h"
#include "controls/data_exchange.h"
#include "controls/grid_lines.h"
#include "controls/hyperlink.h"
#include "controls/icon_button.h"
#include "controls/label_room.h"
#include "controls/table_controls.h"
#include "controls/work_area_fit.h"
#include "lang/control_id.h"
#include "lang/language.h"
#include "platform/shell/message_boxes.h"

namespace {

// A closed drop-down list is as tall as an edit; the table's height is that of its open list.
constexpr int kClosedListHeight = 14;

QWidget* MakeControl(const ControlTemplate& c, QWidget* parent) {
    const QString text = QString::fromStdString(c.text);
    switch (c.kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(text, parent);
            const bool lines = c.height > kClosedListHeight;
            label->setWordWrap(lines);
            // One line sits level with the edit beside it.
            label->setAlignment(Qt::AlignLeft | (lines ? Qt::AlignTop : Qt::AlignVCenter));
            return label;
        }
        case ControlKind::Edit: {
            auto* edit = new QLineEdit(text, parent);
            if (c.styles & kStyleCentred) edit->setAlignment(Qt::AlignCenter);
            return edit;
        }
        case ControlKind::Button:
        case ControlKind::DefaultButton:
        case ControlKind::CancelButton: return new QPushButton(text, parent);
        case ControlKind::DropList: {
            auto* list = new QComboBox(parent);
            for (const std::string& item : c.items) list->addItem(QString::fromStdString(item));
            list->setCurrentIndex(-1);
            list->setMaxVisibleItems(20);
            return list;
        }
        case ControlKind::ListBox: return new QListWidget(parent);
        case ControlKind::GroupBox: return new QGroupBox(text, parent);
        case ControlKind::RadioButton: return new QRadioButton(text, parent);
        case ControlKind::ListView: {
            auto* view = new QTreeWidget(parent);
            view->setRootIsDecorated(false);
            view->setSelectionMode(QAbstractItemView::ExtendedSelection);
            view->setSelectionBehavior(QAbstractItemView::SelectRows);
            view->setUniformRowHeights(true);
            view->setAllColumnsShowFocus(true);
            view->setItemDelegate(new GridLinesDelegate(view));
            return view;
        }
        case ControlKind::IconButton: {
            auto* button = new CButtonST(parent);
            button->setText(text);
            return button;
        }
        case ControlKind::Picture: {
            auto* box = new QLabel(parent);
            box->setAutoFillBackground(true);
            QPalette black = box->palette();
            black.setColor(QPalette::Window, Qt::black);
            box->setPalette(black);
            box->setAlignment(Qt::AlignCenter);
            return box;
        }
        case ControlKind::StatusText: {
            auto* line = new QLabel(text, parent);
            line->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            return line;
        }
        case ControlKind::Hyperlink: {
            auto* link = new CHyperLink(parent);
            link->setText(text);
            return link;
        }
        case ControlKind::MultiLineEdit: {
            auto* edit = new QPlainTextEdit(text, parent);
            edit->setTabChangesFocus(true);
            return edit;
        }
        case ControlKind::CheckBox: return new QCheckBox(text, parent);
        case ControlKind::SpinBox: {
            auto* spin = new QSpinBox(parent);
            spin->setAlignment(Qt::AlignCenter);
            return spin;
        }
    }
    return nullptr;
}

// Dialog units follow the interface font chosen with the Font command, where the language
// translates the dialog: the dialog's own font, grown or shrunk as the chosen size is against the
// default one.
QFont LayoutFont(int templateId, const QFont& own) {
    if (!theLanguage.HasInterfaceFont() || theLanguage.GetDialogText(templateId).empty()) return own;
    const int chosen = std::abs(theLanguage.InterfaceFont().lfHeight), standard = std::abs(LogFont().lfHeight);
    if (chosen == 0 || chosen == standard) return own;
    const double ratio = static_cast<double>(chosen) / standard;
    QFont scaled = own;
    if (own.pixelSize() > 0) {
        scaled.setPixelSize(std::max(1, static_cast<int>(std::lround(own.pixelSize() * ratio))));
    } else {
        scaled.setPointSizeF(own.pointSizeF() * ratio);
    }
    return scaled;
}

int ClosedHeight(const ControlTemplate& c) { return c.kind == ControlKind::DropList ? kClosedListHeight : c.height; }

bool Inside(const ControlTemplate& inner, const ControlTemplate& outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
           inner.y + ClosedHeight(inner) <= outer.y + outer.height;
}

// The group box a control sits in, or none: its radio buttons are a choice of their own.
const ControlTemplate* GroupOf(const ControlTemplate& control, const DialogTemplate& t) {
    for (const ControlTemplate& c : t.controls) {
        if (&c != &control && c.kind == ControlKind::GroupBox && Inside(control, c)) return &c;
    }
    return nullptr;
}

bool HoldsOptionButtons(const ControlTemplate& group, const DialogTemplate& t) {
    for (const ControlTemplate& c : t.controls) {
        if (c.kind == ControlKind::RadioButton && GroupOf(c, t) == &group) return true;
    }
    return false;
}

QRect TableRect(const QFont& font, const ControlTemplate& c) {
    const QPoint extent = TemplateDialog::DialogUnitsToPixels(font, c.width, ClosedHeight(c));
    return {TemplateDialog::DialogUnitsToPixels(font, c.x, c.y), QSize(extent.x(), extent.y())};
}

}  // namespace

TemplateDialog::TemplateDialog(int templateId, MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent), boxes_(boxes), templateId_(templateId) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    InstallNamedComboBoxes();
    Build();
}

QPoint TemplateDialog::DialogUnitsToPixels(const QFont& font, int x, int y) {
    QFontMetrics metrics(font);
    // As Windows measures a dialog font: the average of the 52 letters, rounded.
    const int letters = metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int baseX = (letters / 26 + 1) / 2;
    const int baseY = metrics.height();
    return {(x * baseX + 2) / 4, (y * baseY + 4) / 8};
}

void TemplateDialog::Build() {
    const DialogTemplate& t = FindDialogTemplate(templateId_);
    setWindowTitle(QString::fromStdString(t.caption));
    std::map<const ControlTemplate*, QWidget*> made;
    QWidget* previous = nullptr;
    for (const ControlTemplate& c : t.controls) {
        const ControlTemplate* group = GroupOf(c, t);
        const ControlTemplate* holder = group != nullptr && made.count(group) && HoldsOptionButtons(*group, t) ? group : nullptr;
        QWidget* w = MakeControl(c, holder != nullptr ? made[holder] : this);
        made[&c] = w;
        placed_.push_back({&c, w, holder});
        SetControlId(w, c.id);
        if (c.text.empty()) w->setProperty(kNoCaptionProperty, true);
        w->setEnabled(!(c.styles & kStyleDisabled));
        if (auto* button = qobject_cast<QPushButton*>(w)) {
            if (c.kind == ControlKind::DefaultButton) {
                button->setDefault(true);
                connect(button, &QPushButton::clicked, this, [this] { OnOK(); });
            } else if (c.kind == ControlKind::CancelButton) {
                connect(button, &QPushButton::clicked, this, [this] { OnCancel(); });
            }
        }
        if (w->focusPolicy() != Qt::NoFocus) {
            if (previous != nullptr) setTabOrder(previous, w);
            previous = w;
        }
    }
    LayOut();
    GroupRadioButtons(t);
}

void TemplateDialog::LayOut() {
    const DialogTemplate& t = FindDialogTemplate(templateId_);
    layoutFont_ = LayoutFont(templateId_, font());
    const QPoint size = DialogUnitsToPixels(layoutFont_, t.width, t.height);
    setFixedSize(size.x(), size.y());
    for (const PlacedControl& p : placed_) {
        if (p.widget == nullptr) continue;
        QRect r = TableRect(layoutFont_, *p.table);
        if (p.holder != nullptr) r.translate(-TableRect(layoutFont_, *p.holder).topLeft());
        p.widget->setGeometry(r);
    }
}

void TemplateDialog::ReplaceItem(int id, QWidget* replacement) {
    for (PlacedControl& p : placed_) {
        if (p.widget == nullptr || ControlId(p.widget) != id) continue;
        QWidget* old = p.widget;
        if (replacement->parentWidget() != old->parentWidget()) replacement->setParent(old->parentWidget());
        replacement->setGeometry(old->geometry());
        SetControlId(replacement, id);
        p.widget = replacement;
        delete old;
        return;
    }
}

void TemplateDialog::GroupRadioButtons(const DialogTemplate& t) {
    std::map<const ControlTemplate*, QButtonGroup*> groups;
    for (const ControlTemplate& c : t.controls) {
        if (c.kind != ControlKind::RadioButton) continue;
        QButtonGroup*& group = groups[GroupOf(c, t)];
        if (group == nullptr) group = new QButtonGroup(this);
        group->addButton(ItemAs<QRadioButton>(c.id));
    }
}

void TemplateDialog::Prepare() {
    if (prepared_) return;
    prepared_ = true;
    OnInitDialog();
    NameControls(this);
    WidenCutLabels(this);
    FitToWorkArea(this);
}

int TemplateDialog::DoModal() {
    Prepare();
    // Modal to its own window only, as a dialog is on Windows: a top-level dialog blocks nothing, so
    // the windows it opens without a parent (the preview player) keep their input; one with a parent
    // blocks that parent alone.
    setWindowModality(parentWidget() != nullptr ? Qt::WindowModal : Qt::NonModal);
    QEventLoop loop;
    const QMetaObject::Connection done = connect(this, &QDialog::finished, &loop, &QEventLoop::quit);
    show();
    if (isVisible()) loop.exec(QEventLoop::DialogExec);
    disconnect(done);
    return result();
}

QWidget* TemplateDialog::Item(int id) const {
    for (QWidget* w : TableControls(this)) {
        if (ControlId(w) == id) return w;
    }
    return nullptr;
}

void TemplateDialog::OnCommand(int id, std::function<void()> handler) {
    QWidget* w = Item(id);
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        connect(button, &QAbstractButton::clicked, this, [handler] { handler(); });
    } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
        connect(combo, &QComboBox::activated, this, [handler](int) { handler(); });
    } else if (auto* list = qobject_cast<QListWidget*>(w)) {
        connect(list, &QListWidget::currentRowChanged, this, [handler](int) { handler(); });
    }
}

std::string TemplateDialog::ItemText(int id) const {
    QWidget* w = Item(id);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text().toStdString();
    if (auto* lines = qobject_cast<QPlainTextEdit*>(w)) return lines->toPlainText().toStdString();
    if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->currentText().toStdString();
    if (auto* list = qobject_cast<QListWidget*>(w)) {
        return list->currentItem() != nullptr ? list->currentItem()->text().toStdString() : std::string();
    }
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text().toStdString();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text().toStdString();
    return {};
}

void TemplateDialog::SetItemText(int id, const std::string& text) {
    QWidget* w = Item(id);
    const QString q = QString::fromStdString(text);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        edit->setText(q);
    } else if (auto* lines = qobject_cast<QPlainTextEdit*>(w)) {
        lines->setPlainText(q);
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
        label->setText(q);
    } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
        button->setText(q);
    }
}

void TemplateDialog::ShowItem(int id, bool show) {
    if (QWidget* w = Item(id)) w->setVisible(show);
}

std::optional<double> TemplateDialog::ExchangeNumber(
    int id, const std::function<std::optional<std::string>(double)>& check) {
    std::optional<double> value = ReadLeadingNumber(ItemText(id));
    std::optional<std::string> failure;
    if (!value) {
        failure = NotANumberMessage();
    } else if (check) {
        failure = check(*value);
    }
    if (!failure) return value;
    boxes_.Show({MessageOwner::Application, *failure, "", MessageButtons::Ok, MessageIcon::Warning});
    if (auto* edit = ItemAs<QLineEdit>(id)) {
        edit->setFocus();
        edit->selectAll();
    }
    return std::nullopt;
}

void TemplateDialog::SetNumber(int id, double value) { SetItemText(id, FormatExchangedDouble(value)); }

void TemplateDialog::Message(const std::string& text, const std::string& caption) {
    boxes_.Show({MessageOwner::Dialog, text, caption, MessageButtons::Ok, MessageIcon::None});
}
