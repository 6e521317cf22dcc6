#include "app/photo_thumbnails.h"

#include <QEvent>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QTreeWidget>

#include "lang/language.h"
#include "platform/com/failure_texts.h"

namespace {
constexpr int kFailedStringId = 350;
}

PhotoThumbnails::PhotoThumbnails(QTreeWidget* list, std::string cacheRoot)
    : QObject(list),
      list_(list),
      cacheRoot_(std::move(cacheRoot)),
      plainIconSize_(list->iconSize()),
      plainUniformRows_(list->uniformRowHeights()),
      broken_(":/res/icons/broken.svg") {
    visibleTimer_.setSingleShot(true);
    connect(&visibleTimer_, &QTimer::timeout, this, [this] { RequestVisibleRows(); });
    connect(list_->verticalScrollBar(), &QScrollBar::valueChanged, this, [this] { visibleTimer_.start(0); });
    list_->viewport()->installEventFilter(this);
}

PhotoThumbnails::~PhotoThumbnails() { list_->viewport()->removeEventFilter(this); }

void PhotoThumbnails::StartService() {
    if (service_ != nullptr) return;
    const qreal dpr = list_->devicePixelRatioF();
    ThumbnailServiceOptions options;
    options.cacheRoot = cacheRoot_;
    options.boxWidth = qRound(kThumbnailWidth * dpr);
    options.boxHeight = qRound(kThumbnailHeight * dpr);
    service_ = std::make_unique<ThumbnailService>(options, [this](const std::string& path) { OnReady(path); });
    box_ = QSize(options.boxWidth, options.boxHeight);
    QPixmap blank(box_);
    blank.setDevicePixelRatio(dpr);
    blank.fill(Qt::transparent);
    waiting_ = QIcon(blank);
}

void PhotoThumbnails::SetShown(bool shown) {
    if (shown == shown_) return;
    shown_ = shown;
    list_->setIconSize(shown ? QSize(kThumbnailWidth, kThumbnailHeight) : plainIconSize_);
    list_->setUniformRowHeights(shown || plainUniformRows_);
    if (shown) {
        ShowRows(std::vector<std::string>(rows_));
        return;
    }
    if (service_ != nullptr) service_->CancelAll();
    for (int row = 0; row < list_->topLevelItemCount(); ++row) Clear(row);
}

namespace {
// The rows' photos without the empty paths of title cards that have none.
std::vector<std::string> WithPictures(std::vector<std::string> paths) {
    std::erase(paths, std::string());
    return paths;
}
}  // namespace

void PhotoThumbnails::ShowRows(const std::vector<std::string>& paths) {
    rows_ = paths;
    rowsOfPhoto_.clear();
    for (int row = 0; row < static_cast<int>(rows_.size()); ++row) rowsOfPhoto_.emplace(rows_[static_cast<std::size_t>(row)], row);
    if (!shown_) return;
    StartService();
    service_->CancelAll();
    for (int row = 0; row < static_cast<int>(rows_.size()); ++row) Apply(row);
    service_->Want(WithPictures(rows_));
    visibleTimer_.start(0);
}

void PhotoThumbnails::ShowRow(int row, const std::string& path) {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return;
    std::string& old = rows_[static_cast<std::size_t>(row)];
    for (auto [at, end] = rowsOfPhoto_.equal_range(old); at != end; ++at) {
        if (at->second == row) {
            rowsOfPhoto_.erase(at);
            break;
        }
    }
    old = path;
    rowsOfPhoto_.emplace(path, row);
    if (!shown_) return;
    Apply(row);
    if (!path.empty()) service_->Request({path});
}

QIcon PhotoThumbnails::IconOf(const ThumbnailPicture& picture) const {
    // Centred in the whole box, so that every row is as high and the names line up.
    const QImage image(picture.rgba.data(), picture.width, picture.height, 4 * picture.width, QImage::Format_RGBA8888);
    const QSize box = box_;
    QPixmap pixmap(box);
    pixmap.fill(Qt::transparent);
    QPainter(&pixmap).drawImage((box.width() - picture.width) / 2, (box.height() - picture.height) / 2, image);
    pixmap.setDevicePixelRatio(list_->devicePixelRatioF());
    return QIcon(pixmap);
}

void PhotoThumbnails::Apply(int row) {
    QTreeWidgetItem* item = list_->topLevelItem(row);
    if (item != nullptr && rows_[static_cast<std::size_t>(row)].empty()) {
        Clear(row);
        return;
    }
    ThumbnailEntry entry;
    if (item == nullptr || !service_->Known(rows_[static_cast<std::size_t>(row)], &entry)) {
        if (item != nullptr) item->setIcon(0, waiting_);
        return;
    }
    item->setIcon(0, entry.picture != nullptr ? IconOf(*entry.picture) : broken_);
    const QString why = entry.picture != nullptr ? QString() : QString::fromStdString(
        FilledText(theLanguage.GetString(kFailedStringId).c_str(), {TranslatedFailure(entry.failure)}));
    for (int column = 0; column < list_->columnCount(); ++column) item->setToolTip(column, why);
}

void PhotoThumbnails::Clear(int row) {
    QTreeWidgetItem* item = list_->topLevelItem(row);
    item->setIcon(0, QIcon());
    for (int column = 0; column < list_->columnCount(); ++column) item->setToolTip(column, QString());
}

void PhotoThumbnails::OnReady(const std::string& path) {
    if (!shown_) return;
    for (auto [at, end] = rowsOfPhoto_.equal_range(path); at != end; ++at) Apply(at->second);
}

void PhotoThumbnails::RequestVisibleRows() {
    if (!shown_ || list_->topLevelItemCount() == 0) return;
    QTreeWidgetItem* top = list_->itemAt(0, 0);
    QTreeWidgetItem* bottom = list_->itemAt(0, list_->viewport()->height() - 1);
    const int first = top != nullptr ? list_->indexOfTopLevelItem(top) : 0;
    const int last = bottom != nullptr ? list_->indexOfTopLevelItem(bottom) : list_->topLevelItemCount() - 1;
    std::vector<std::string> visible;
    for (int row = first; row <= last && row < static_cast<int>(rows_.size()); ++row) visible.push_back(rows_[static_cast<std::size_t>(row)]);
    service_->Request(WithPictures(visible));
}

bool PhotoThumbnails::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport() && event->type() == QEvent::Resize) visibleTimer_.start(0);
    return QObject::eventFilter(watched, event);
}
