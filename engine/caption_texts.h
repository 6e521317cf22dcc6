#pragma once
// The caption each photo shows: its own, else what the show captions every photo with (the date
// it was taken, or its file name). Title cards have none.

#include <functional>
#include <string>

#include "app/slideshow_project.h"
#include "platform/media/photo_date.h"

// A date in words of the reader's language.
using DateWords = std::function<std::string(const PhotoDate&)>;

Caption CaptionOf(const PhotoItem& photo, const CaptionStyle& style, const DateWords& dateWords);
// The date as the C library's LC_TIME locale writes one ("%x").
std::string LocaleDateWords(const PhotoDate& date);
