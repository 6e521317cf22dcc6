#pragma once
// The URL the program opens for an address: a web or mail address as it is written, a local page
// as a file URL that keeps its "#place" as the URL's fragment (not as part of the file's name).

#include <QUrl>
#include <string>

QUrl AddressUrl(const std::string& address);
