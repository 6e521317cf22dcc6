#include "settings/colour_button.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

ColourChooser DesktopColourChooser(QPushButton* owner, const std::string& title) {
    return [owner, title](std::uint32_t current) -> std::optional<std::uint32_t> {
        const QColor chosen =
            QColorDialog::getColor(QColor::fromRgb(current), owner->window(), QString::fromStdString(title));
        if (!chosen.isValid()) return std::nullopt;
        return chosen.rgb() & 0xFFFFFFu;
    };
}

void ShowColour(QPushButton* button, std::uint32_t rgb) {
    const QSize size(std::max(8, button->width() - 12), std::max(6, button->height() - 10));
    QPixmap swatch(size);
    swatch.fill(QColor::fromRgb(rgb));
    QPainter(&swatch).drawRect(0, 0, size.width() - 1, size.height() - 1);  // a white swatch on a light button
    button->setIcon(QIcon(swatch));
    button->setIconSize(size);
    button->setToolTip(QString::asprintf("#%06x", rgb & 0xFFFFFFu));
}
