#include "settings/options_page.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <cmath>

#include "lang/language.h"

namespace {

bool FitsSpinBox(const FilterOption& o) { return o.minimum >= INT_MIN && o.maximum <= INT_MAX; }

QString ChoiceLabel(const FilterOption& o, const std::string& value) {
    for (const auto& [v, label] : o.choices) {
        if (v == value) return QString::fromStdString(label);
    }
    return QString::fromStdString(value);
}

QWidget* MakeEditor(const FilterOption& o, QWidget* parent) {
    switch (o.kind) {
        case FilterOption::Boolean: {
            auto* box = new QCheckBox(parent);
            box->setChecked(o.value == "1" || o.value == "true");
            return box;
        }
        case FilterOption::Choice: {
            auto* list = new QComboBox(parent);
            for (const auto& [value, label] : o.choices) list->addItem(QString::fromStdString(label), QString::fromStdString(value));
            int at = list->findData(QString::fromStdString(o.value));
            if (at < 0) {
                list->addItem(QString::fromStdString(o.value), QString::fromStdString(o.value));
                at = list->count() - 1;
            }
            list->setCurrentIndex(at);
            return list;
        }
        case FilterOption::Integer:
            if (FitsSpinBox(o)) {
                auto* spin = new QSpinBox(parent);
                spin->setRange(static_cast<int>(o.minimum), static_cast<int>(o.maximum));
                const long long value = std::atoll((o.value.empty() ? o.defaultValue : o.value).c_str());
                spin->setValue(static_cast<int>(std::clamp<long long>(value, spin->minimum(), spin->maximum())));
                return spin;
            }
            break;
        case FilterOption::Number: {
            auto* spin = new QDoubleSpinBox(parent);
            spin->setDecimals(3);
            spin->setRange(std::max(o.minimum, -1e12), std::min(o.maximum, 1e12));
            spin->setValue(std::atof(o.value.c_str()));
            return spin;
        }
        case FilterOption::Text: break;
    }
    return new QLineEdit(QString::fromStdString(o.value), parent);
}

std::string ValueOf(const FilterOption& o, const QWidget* editor) {
    if (auto* box = qobject_cast<const QCheckBox*>(editor)) return box->isChecked() ? "1" : "0";
    if (auto* list = qobject_cast<const QComboBox*>(editor)) return list->currentData().toString().toStdString();
    if (auto* spin = qobject_cast<const QSpinBox*>(editor)) return std::to_string(spin->value());
    if (auto* spin = qobject_cast<const QDoubleSpinBox*>(editor)) {
        // An untouched value keeps its own spelling.
        return std::abs(spin->value() - std::atof(o.value.c_str())) < 5e-4 ? o.value : std::to_string(spin->value());
    }
    if (auto* edit = qobject_cast<const QLineEdit*>(editor)) return edit->text().toStdString();
    return o.value;
}

QString Text(int id) { return QString::fromStdString(theLanguage.GetString(id)); }

QString DefaultText(const FilterOption& o) {
    constexpr int kOn = 178, kOff = 179, kEmpty = 180;
    switch (o.kind) {
        case FilterOption::Boolean: return Text(o.defaultValue == "1" ? kOn : kOff);
        case FilterOption::Choice: return ChoiceLabel(o, o.defaultValue);
        case FilterOption::Text: return o.defaultValue.empty() ? Text(kEmpty) : QString::fromStdString(o.defaultValue);
        default: return QString::fromStdString(o.defaultValue);
    }
}

}  // namespace

namespace {

constexpr int kDefaultValueText = 161, kNoSettingsText = 162, kFindSettingText = 163;

QString DefaultHint(const FilterOption& o) { return Text(kDefaultValueText).replace("%s", DefaultText(o)); }

}  // namespace

OptionsPage::OptionsPage(const std::string& title, std::vector<FilterOption> options, Apply apply, QWidget* parent)
    : QDialog(parent), options_(std::move(options)), apply_(std::move(apply)) {
    setWindowTitle(QString::fromStdString(title));
    QLineEdit* find = MakeFindBox();  // first, so Tab goes from it to the settings it found
    auto* inner = new QWidget;
    form_ = new QFormLayout(inner);
    for (const FilterOption& o : options_) {
        QWidget* editor = MakeEditor(o, inner);
        editor->setObjectName(QString::fromStdString(o.name));
        editor->setToolTip(QString::fromStdString(o.help));
        auto* row = new QHBoxLayout;
        row->addWidget(editor, 1);
        auto* hint = new QLabel(DefaultHint(o), inner);
        hint->setEnabled(false);
        row->addWidget(hint);
        auto* name = new QLabel(QString::fromStdString(o.name), inner);
        name->setToolTip(QString::fromStdString(o.help));
        form_->addRow(name, row);
        editors_.push_back(editor);
    }
    if (options_.empty()) {
        form_->addRow(new QLabel(Text(kNoSettingsText), inner));
    }
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(inner);
    scroll->setWidgetResizable(true);
    scroll->setFocusPolicy(Qt::NoFocus);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, this);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        ApplyNow();
        accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this, [this] { ApplyNow(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(find);
    layout->addWidget(scroll);
    layout->addWidget(buttons);
    resize(560, std::min(640, 150 + 34 * static_cast<int>(options_.size())));
}

// An encoder may have seventy settings: typing part of a name shows only those that hold it.
QLineEdit* OptionsPage::MakeFindBox() {
    auto* find = new QLineEdit(this);
    find->setObjectName("find");
    find->setPlaceholderText(Text(kFindSettingText));
    find->setClearButtonEnabled(true);
    connect(find, &QLineEdit::textChanged, this, [this](const QString& text) { ShowMatching(text); });
    find->setFocus();
    return find;
}

void OptionsPage::ShowMatching(const QString& text) {
    for (std::size_t i = 0; i < options_.size(); ++i) {
        const bool match = QString::fromStdString(options_[i].name).contains(text.trimmed(), Qt::CaseInsensitive);
        form_->setRowVisible(static_cast<int>(i), match);
    }
}

std::vector<FilterOption> OptionsPage::Values() const {
    std::vector<FilterOption> values = options_;
    for (std::size_t i = 0; i < values.size(); ++i) values[i].value = ValueOf(options_[i], editors_[i]);
    return values;
}

QWidget* OptionsPage::Editor(const std::string& name) const {
    for (std::size_t i = 0; i < options_.size(); ++i) {
        if (options_[i].name == name) return editors_[i];
    }
    return nullptr;
}

void OptionsPage::ApplyNow() {
    std::vector<FilterOption> values = Values();
    if (apply_) apply_(values);
    options_ = std::move(values);  // what was applied is the page's new starting point
}

bool QtCodecConfigurePort::Configure(void* owner, const std::string& title, std::vector<FilterOption>* options) {
    std::vector<FilterOption> result = *options;
    OptionsPage page(title, *options, [&result](const std::vector<FilterOption>& v) { result = v; },
                     static_cast<QWidget*>(owner));
    if (owner != nullptr) page.setWindowModality(Qt::WindowModal);
    if (page.exec() != QDialog::Accepted) return false;
    *options = std::move(result);
    return true;
}

void ApplyChangedOptions(ISpecifyPropertyPages& pages, const std::vector<FilterOption>& before,
                         const std::vector<FilterOption>& after) {
    for (std::size_t i = 0; i < after.size() && i < before.size(); ++i) {
        if (after[i].value != before[i].value) pages.SetOption(after[i].name, after[i].value);
    }
}

void QtPropertyFrame::Show(QWidget* owner, const std::string& caption,
                           const std::shared_ptr<ISpecifyPropertyPages>& pages,
                           const std::vector<FilterOption>& options) {
    std::vector<FilterOption> shown = options;
    OptionsPage page(caption, options, [&](const std::vector<FilterOption>& values) {
        ApplyChangedOptions(*pages, shown, values);
        shown = values;
    }, owner);
    page.move(owner != nullptr ? owner->mapToGlobal(QPoint(0, 0)) : QPoint(0, 0));
    if (owner != nullptr) page.setWindowModality(Qt::WindowModal);
    page.exec();
}
