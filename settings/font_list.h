#pragma once
// A drop-down list of the font families installed (those fontconfig knows), one chosen.

#include <string>

class QComboBox;

// `family` is chosen; one not installed is kept at the top of the list, so that OK keeps it.
void FillFontList(QComboBox* list, const std::string& family);
