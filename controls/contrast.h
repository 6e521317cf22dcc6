#pragma once
// How readable one colour is on another, as the desktop's accessibility checkers measure it
// (relative luminance, ratio from 1:1 to 21:1), and the nearest colour that is readable enough.

#include <QColor>

inline constexpr double kReadableContrast = 4.5;

double ContrastRatio(const QColor& a, const QColor& b);
// `color` itself when it reaches `ratio` on `background`; else `color` mixed towards black or
// white, whichever side has room, just far enough.
QColor Readable(const QColor& color, const QColor& background, double ratio = kReadableContrast);
