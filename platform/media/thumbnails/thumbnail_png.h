#pragma once
// Thumbnail files: RGBA PNGs with text chunks (key, text), through libpng.
//
// Safe to call from any thread.

#include <map>
#include <string>

#include "platform/media/thumbnails/thumbnail_picture.h"

using PngTexts = std::map<std::string, std::string>;

// Writes the picture and the texts to `path` (replacing it); false when it could not be written.
bool WriteThumbnailPng(const std::string& path, const ThumbnailPicture& picture, const PngTexts& texts);

// Reads a PNG's texts, and its picture as opaque RGBA where `picture` is given (pixels over
// black); false when it is no readable PNG.
bool ReadThumbnailPng(const std::string& path, PngTexts* texts, ThumbnailPicture* picture = nullptr);
