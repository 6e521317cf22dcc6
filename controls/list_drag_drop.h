#pragma once
// Rows of a list dragged to a new place, and files dropped between its rows. A line shows where
// they land; the list never moves or adds rows itself: the handlers change the show, and the show
// rebuilds the list.

#include <QObject>
#include <functional>
#include <string>
#include <vector>

class QFrame;
class QTreeWidget;

class ListDragDrop : public QObject {
public:
    struct Handlers {
        std::function<bool()> enabled;  // false while the list must not change
        // `rows` ascending; `destination`: the row, in the list as it is, before which they land
        // (the row count: at the end).
        std::function<void(const std::vector<int>& rows, int destination)> moveRows;
        std::function<void(const std::vector<std::string>& files, int destination)> dropFiles;
    };
    ListDragDrop(QTreeWidget* list, Handlers handlers);

    // Where something dropped at `position` (the list's viewport coordinates) lands.
    int DestinationAt(const QPoint& position) const;
    // The line showing where a drop lands; hidden when nothing is dragged over the list.
    const QFrame* line() const { return line_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool OnDragOver(class QDropEvent* event);
    void OnDrop(QDropEvent* event);
    bool FromThisList(const QDropEvent* event) const;
    void ShowLine(int destination);
    void ScrollNearEdge(const QPoint& position);

    QTreeWidget* list_;
    Handlers handlers_;
    QFrame* line_;
};
