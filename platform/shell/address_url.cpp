#include "platform/shell/address_url.h"

QUrl AddressUrl(const std::string& address) {
    const QString text = QString::fromStdString(address);
    if (text.contains("://") || text.startsWith("mailto:")) return QUrl(text);
    if (!text.startsWith('/')) return QUrl::fromUserInput(text);
    const int mark = text.lastIndexOf('#');
    QUrl url = QUrl::fromLocalFile(mark < 0 ? text : text.left(mark));
    if (mark >= 0) url.setFragment(text.mid(mark + 1));
    return url;
}
