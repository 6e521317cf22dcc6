#pragma once
// One decode pass of a music file feeding both the loudness meter and the beat tracker.

#include <string>

#include "platform/audio/music_analysis.h"

// False when the file cannot be decoded, *error saying why.
bool MeasureMusic(const std::string& path, MusicAnalysis* result, std::string* error);
