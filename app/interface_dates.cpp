#include "app/interface_dates.h"

#include <QDate>
#include <QLocale>
#include <QRegularExpression>

DateWords InterfaceDateWords(const std::string& posixLocale) {
    const QLocale locale(QString::fromStdString(posixLocale.empty() ? "en_US" : posixLocale));
    QString format = locale.dateFormat(QLocale::LongFormat);
    // The weekday and whatever joins it to the date.
    format.remove(QRegularExpression(QStringLiteral("dddd[,.]?\\s*|\\s*,?\\s*dddd")));
    return [locale, format](const PhotoDate& d) {
        return locale.toString(QDate(d.year, d.month, d.day), format.trimmed()).toStdString();
    };
}

std::string LanguageCodeOf(const std::string& posixLocale) {
    return posixLocale.substr(0, posixLocale.find('_'));
}
