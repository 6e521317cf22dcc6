#include "lang/interface_font.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

#include <cmath>

QFont QFontFromLogFont(const LogFont& f) {
    QString face = QString::fromStdString(f.lfFaceName);
    QFont font;
    if (!face.isEmpty() && QFontDatabase::families().contains(face, Qt::CaseInsensitive)) {
        font.setFamily(face);
    } else {
        font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
        font.setStyleHint(QFont::SansSerif);
    }
    if (f.lfHeight != 0) font.setPixelSize(std::max(1, std::abs(f.lfHeight)));
    if (f.lfWeight > 0) font.setWeight(static_cast<QFont::Weight>(std::clamp(f.lfWeight, 1, 1000)));
    font.setItalic(f.lfItalic != 0);
    font.setUnderline(f.lfUnderline != 0);
    font.setStrikeOut(f.lfStrikeOut != 0);
    return font;
}

LogFont LogFontFromQFont(const QFont& font, const LogFont& base) {
    LogFont f = base;
    int pixels = font.pixelSize();
    if (pixels <= 0) pixels = static_cast<int>(std::lround(font.pointSizeF() * 96.0 / 72.0));
    f.lfHeight = -pixels;
    f.lfWidth = 0;
    f.lfWeight = font.weight();
    f.lfItalic = font.italic() ? 1 : 0;
    f.lfUnderline = font.underline() ? 1 : 0;
    f.lfStrikeOut = font.strikeOut() ? 1 : 0;
    f.lfFaceName = font.family().toStdString();
    return f;
}
