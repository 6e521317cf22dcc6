#pragma once
// Fit to the music: every photo gets the same duration, so that the show ends where the music list
// played once ends (each song starting the join before the previous one ends, as the timeline
// places them), and no transition is longer than its photo.

#include <vector>

#include "app/slideshow_project.h"

inline constexpr double kMinFittedPhotoSec = 0.5;

enum class FitOutcome { Fitted, NoPhotos, NoMusic, UnknownLength, TooShort, TooLong };

struct FitResult {
    FitOutcome outcome = FitOutcome::Fitted;
    double photoDurationSec = 0;  // what each photo got, or would have got
    int musicIndex = -1;          // UnknownLength: the music file whose length is not known
};

// One pass of the music list as the timeline places it: each song's start and stop, -1 for a
// song that plays nothing (trimmed away).
struct MusicPass {
    std::vector<REFERENCE_TIME> starts, stops;
    REFERENCE_TIME join = 0;
    REFERENCE_TIME end = 0;  // where the pass ends
};
// The pass of `music` under the show's join; false when a song's length is not known
// (*unknownIndex names it).
bool PlaceMusicOnce(const std::vector<MusicItem>& music, double joinSec, MusicPass* pass, int* unknownIndex);
// Where the music list played once ends; -1 when a file's length is not known (*unknownIndex).
REFERENCE_TIME MusicListEnd(const std::vector<MusicItem>& music, int* unknownIndex, double joinSec = 0.2);
// Fits the photos of `project` to its music; any outcome but Fitted changes nothing.
FitResult FitPhotosToMusic(SlideshowProject& project);
// The duration in seconds that the timeline reads back as exactly `ms` whole milliseconds.
double SecondsOfMilliseconds(std::int64_t ms);
