#pragma once
// Fit to the beat: every photo gets a whole number of the music's beats, as close as it can to its
// own duration, so that every transition starts on a beat; the first photo also takes the time
// before the first beat, and the last ends where the music list played once ends.

#include <functional>
#include <string>
#include <vector>

#include "app/slideshow_project.h"

enum class BeatFitOutcome { Fitted, NoPhotos, NoMusic, UnknownLength, NoBeats, CannotRead, TooShort };

struct BeatFitResult {
    BeatFitOutcome outcome = BeatFitOutcome::Fitted;
    int musicIndex = -1;  // UnknownLength, CannotRead: the music file concerned
    int beats = 0;        // the beats found under the music list played once
};

// The beats of a music file, in seconds from the file's start; false when it cannot be read.
using BeatsOfFile = std::function<bool(const std::string& path, std::vector<double>* beats)>;

// Fits the photos of `project` to the beats of its music; any outcome but Fitted changes nothing.
BeatFitResult FitPhotosToBeat(SlideshowProject& project, const BeatsOfFile& beatsOf);
