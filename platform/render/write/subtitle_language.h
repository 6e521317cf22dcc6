#pragma once
// The language tag of a subtitle track as its container writes it: three letters of ISO 639-2,
// the bibliographic form in Matroska ("ger") and the terminological one in MP4 ("deu").

#include <string>

// `code` is two letters of ISO 639-1 (the program's own languages) or already three letters;
// empty gives "und", undetermined.
std::string ContainerLanguage(const std::string& code, const std::string& muxer);
