#include "settings/font_list.h"

#include <QComboBox>
#include <QFontDatabase>

void FillFontList(QComboBox* list, const std::string& family) {
    list->clear();
    list->addItems(QFontDatabase::families());
    const QString wanted = QString::fromStdString(family);
    int at = list->findText(wanted, Qt::MatchFixedString);
    if (at < 0) {
        list->insertItem(0, wanted);
        at = 0;
    }
    list->setCurrentIndex(at);
}
