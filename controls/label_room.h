#pragma once
// A one-line label whose text is wider than its place in the table (a longer translation, a wider
// font than the table was drawn for) takes the free room to its right on its row, up to the next
// control or the edge of what holds it, so that its end is not cut.

class QWidget;

void WidenCutLabels(QWidget* window);
