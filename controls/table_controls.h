#pragma once
// The controls of a window built from a table, in table order: the window's own children, and
// right after a group box the controls nested in it (a group of option buttons holds its buttons,
// so that a screen reader reads them inside their group).

#include <QList>
#include <QRect>

class QWidget;

QList<QWidget*> TableControls(const QWidget* window);

// `control`'s rectangle in `window`'s coordinates, nested or not.
QRect RectInWindow(const QWidget* control, const QWidget* window);
