#pragma once
// The cells of the main window's photo and music lists, always made from the project's items.

#include <array>
#include <string>

#include "app/slideshow_project.h"

// File name (a title card's first line), duration "%.3f", transition name, transition duration "%.3f", motion.
std::array<std::string, 5> PhotoRowTexts(const PhotoItem& item);
// The first line of a title card's text, which its row shows in italics.
std::string TitleRowName(const TitleCard& card);
// File name, whole seconds of the length (truncated).
std::array<std::string, 2> MusicRowTexts(const MusicItem& item);
// A motion's name in the current language ("Zoom in").
std::string MotionName(MotionKind kind);
