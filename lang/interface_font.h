#pragma once
// The interface font's stored description as a Qt font and back. A face that is not installed
// draws in the system's sans-serif face; the description keeps the stored name.

#include <QFont>

#include "lang/language.h"

QFont QFontFromLogFont(const LogFont& font);
// `base` gives the fields Qt has no notion of (character set, precisions).
LogFont LogFontFromQFont(const QFont& font, const LogFont& base = LogFont());
