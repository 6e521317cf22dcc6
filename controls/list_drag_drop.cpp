#include "controls/list_drag_drop.h"

#include <QDropEvent>
#include <QFrame>
#include <QMimeData>
#include <QScrollBar>
#include <QTreeWidget>

namespace {

// What a list view puts on the drag of its own rows.
constexpr const char* kRowsFormat = "application/x-qabstractitemmodeldatalist";

std::vector<std::string> LocalFiles(const QMimeData* data) {
    std::vector<std::string> files;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) files.push_back(url.toLocalFile().toStdString());
    }
    return files;
}

std::vector<int> SelectedRows(const QTreeWidget* list) {
    std::vector<int> rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->isSelected()) rows.push_back(i);
    }
    return rows;
}

}  // namespace

ListDragDrop::ListDragDrop(QTreeWidget* list, Handlers handlers)
    : QObject(list), list_(list), handlers_(std::move(handlers)), line_(new QFrame(list->viewport())) {
    list_->setDragEnabled(true);
    list_->setDragDropMode(QAbstractItemView::DragDrop);
    list_->setDefaultDropAction(Qt::CopyAction);
    list_->viewport()->installEventFilter(this);
    line_->setFrameShape(QFrame::HLine);
    line_->setLineWidth(2);
    line_->setStyleSheet("color: palette(highlight); background: palette(highlight);");
    line_->hide();
}

int ListDragDrop::DestinationAt(const QPoint& position) const {
    QTreeWidgetItem* item = list_->itemAt(position);
    if (item == nullptr) {
        const int count = list_->topLevelItemCount();
        const bool aboveAll = count > 0 && position.y() < list_->visualItemRect(list_->topLevelItem(0)).top();
        return aboveAll ? 0 : count;
    }
    const int row = list_->indexOfTopLevelItem(item);
    return position.y() < list_->visualItemRect(item).center().y() ? row : row + 1;
}

bool ListDragDrop::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove:
            if (!OnDragOver(static_cast<QDropEvent*>(event))) {
                event->ignore();
                line_->hide();
            }
            return true;
        case QEvent::DragLeave:
            line_->hide();
            return true;
        case QEvent::Drop:
            OnDrop(static_cast<QDropEvent*>(event));
            return true;
        default:
            return false;
    }
}

bool ListDragDrop::FromThisList(const QDropEvent* event) const {
    // A drag from the other list is not a move in this one.
    return event->mimeData()->hasFormat(kRowsFormat) && (event->source() == nullptr || event->source() == list_);
}

bool ListDragDrop::OnDragOver(QDropEvent* event) {
    if (!handlers_.enabled()) return false;
    if (!FromThisList(event) && LocalFiles(event->mimeData()).empty()) return false;
    const QPoint position = event->position().toPoint();
    ScrollNearEdge(position);
    ShowLine(DestinationAt(position));
    // Copy, so that the dragging view never removes rows of its own: the show rebuilds the list.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    return true;
}

void ListDragDrop::OnDrop(QDropEvent* event) {
    line_->hide();
    if (!handlers_.enabled()) {
        event->ignore();
        return;
    }
    const int destination = DestinationAt(event->position().toPoint());
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (FromThisList(event)) {
        const std::vector<int> rows = SelectedRows(list_);
        if (!rows.empty()) handlers_.moveRows(rows, destination);
    } else if (std::vector<std::string> files = LocalFiles(event->mimeData()); !files.empty()) {
        handlers_.dropFiles(files, destination);
    }
}

void ListDragDrop::ShowLine(int destination) {
    const int count = list_->topLevelItemCount();
    int y = 0;
    if (destination < count) {
        y = list_->visualItemRect(list_->topLevelItem(destination)).top();
    } else if (count > 0) {
        y = list_->visualItemRect(list_->topLevelItem(count - 1)).bottom() + 1;
    }
    line_->setGeometry(0, std::max(0, y - 1), list_->viewport()->width(), 2);
    line_->show();
    line_->raise();
}

// A long list scrolls while a drag nears its top or bottom edge.
void ListDragDrop::ScrollNearEdge(const QPoint& position) {
    const int margin = list_->fontMetrics().height();
    QScrollBar* bar = list_->verticalScrollBar();
    if (position.y() < margin) bar->setValue(bar->value() - bar->singleStep());
    if (position.y() > list_->viewport()->height() - margin) bar->setValue(bar->value() + bar->singleStep());
}
