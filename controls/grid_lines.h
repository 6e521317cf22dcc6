#pragma once
// Grid lines for a report list: each cell drawn as usual, then a line below it and at its right.

#include <QStyledItemDelegate>

class GridLinesDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
