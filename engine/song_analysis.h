#pragma once
// The show's questions to the music's analysis (measured once per file, then cached): how loud a
// song is, and where its beats fall.

#include <optional>
#include <string>
#include <vector>

#include "engine/music_levels.h"

// None when the song cannot be read or is silent.
std::optional<MusicLevel> LevelOfSong(const std::string& path);
// The song's beats, seconds from its file's start; false when it cannot be read.
bool BeatsOfSong(const std::string& path, std::vector<double>* beats);
