#pragma once
// Fit to the music: every photo gets the same duration, so that the show ends where the music list
// played once ends (each file starting 0.2 s before the previous one ends, as the timeline places
// them), and no transition is longer than its photo.

#include <vector>

#include "app/slideshow_project.h"

inline constexpr double kMinFittedPhotoSec = 0.5;

enum class FitOutcome { Fitted, NoPhotos, NoMusic, UnknownLength, TooShort, TooLong };

struct FitResult {
    FitOutcome outcome = FitOutcome::Fitted;
    double photoDurationSec = 0;  // what each photo got, or would have got
    int musicIndex = -1;          // UnknownLength: the music file whose length is not known
};

// Where the music list played once ends; -1 when a file's length is not known (*unknownIndex).
REFERENCE_TIME MusicListEnd(const std::vector<MusicItem>& music, int* unknownIndex);
// Fits the photos of `project` to its music; any outcome but Fitted changes nothing.
FitResult FitPhotosToMusic(SlideshowProject& project);
