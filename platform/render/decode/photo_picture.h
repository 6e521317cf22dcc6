#pragma once
// A photo as a picture for a box of the window: decoded like a rendered frame (upright by its
// EXIF orientation, letterboxed into the box with black bars), in BGRA.

#include <string>

#include "platform/render/playback/preview_renderers.h"

bool DecodePhotoPicture(const std::string& path, int width, int height, VideoPicture* picture, std::string* error);
