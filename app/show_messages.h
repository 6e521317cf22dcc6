#pragma once
// What the program says about shows and fitting them to the music or its beat, in the current
// language.

#include <optional>
#include <string>

#include "app/fit_to_beat.h"
#include "app/fit_to_music.h"
#include "app/show_file.h"
#include "engine/container_compressors.h"
#include "engine/music_levels.h"

std::string ShowOpenErrorText(const std::string& file, const ShowFileError& error);
std::string ShowSaveErrorText(const std::string& file, const ShowFileError& error);
// A compressor a show names that is not installed here; its default is used instead.
std::string MissingCompressorText(bool video, const std::string& name);
// Why the photos were not fitted (`music`: the list the fit looked at).
std::string FitRefusalText(const FitResult& result, const std::vector<MusicItem>& music);
// Why the photos were not fitted to the beat (`project`: the show the fit looked at).
std::string BeatFitRefusalText(const BeatFitResult& result, const SlideshowProject& project);
// How loud a song was measured and what the show does with it; empty when it was not measured.
std::string SongLevelText(const std::optional<MusicLevel>& level, const MusicMix& mix);
// A show with no photos is not written (`show`: its file, or empty for the window's lists).
std::string NoPhotosText(const std::string& show);
// A show whose photos are all too short to be in any frame.
std::string NoPictureText();
// The `container` cannot hold what the pair given makes; the pair taken is used instead.
std::string CompressorSwapText(const std::string& container, const CompressorSwap& swap);
