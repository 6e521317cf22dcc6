#pragma once
// A JPEG decoded at 1/8, 1/4, 1/2 or full scale through libjpeg-turbo, whose scaled decoding is
// the quickest way to a small picture of a large camera photo.
//
// Safe to call from any thread.

#include <string>

#include "platform/media/thumbnails/thumbnail_picture.h"

// The picture as stored (not turned), at the smallest scale that still covers coverWidth ×
// coverHeight (stored orientation). False for anything the library does not read cleanly (no
// JPEG, damaged data, CMYK): the photo decoder, which says why, takes those.
bool DecodeScaledJpeg(const std::string& path, int coverWidth, int coverHeight, ThumbnailPicture* picture);
