#pragma once
// Dates and the language code of the interface language, for captions and the subtitle track.

#include <string>

#include "engine/caption_texts.h"

// The date as the language writes a long date, without the weekday ("14 July 2024",
// "14. Juli 2024", "2024年7月14日").
DateWords InterfaceDateWords(const std::string& posixLocale);
// "de" of "de_DE"; empty for none.
std::string LanguageCodeOf(const std::string& posixLocale);
