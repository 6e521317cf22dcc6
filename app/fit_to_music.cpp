#include "app/fit_to_music.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/time_arithmetic.h"
#include "engine/timeline_builder.h"

namespace {

// The show length of `count` photos of `seconds`, added up as the timeline builder adds them.
double ShowLengthOf(double seconds, int count) {
    double total = 0;
    for (int i = 0; i < count; ++i) total += seconds;
    return total;
}

// The longest equal duration whose show length, in 100 ns units as the timeline cuts the music,
// does not pass `end`: a show a hair longer would start the music list again for a moment.
double FittedDuration(REFERENCE_TIME end, int count) {
    double seconds = static_cast<double>(end) / kUnitsPerSecond / count;
    while (seconds > 0 && TruncateToInt64(ShowLengthOf(seconds, count) * kUnitsPerSecond) > end) {
        seconds = std::nextafter(seconds, 0.0);
    }
    return seconds;
}

}  // namespace

bool PlaceMusicOnce(const std::vector<MusicItem>& music, double joinSec, MusicPass* pass, int* unknownIndex) {
    const std::vector<REFERENCE_TIME> lengths = PlayedLengths(music);
    *pass = MusicPass{{}, {}, MusicJoin(lengths, joinSec), 0};
    REFERENCE_TIME start = 0;
    for (std::size_t i = 0; i < lengths.size(); ++i) {
        if (music[i].length <= 0) {
            *unknownIndex = static_cast<int>(i);
            return false;
        }
        if (lengths[i] <= 0) {
            pass->starts.push_back(-1);
            pass->stops.push_back(-1);
            continue;
        }
        // A header may claim any length; the sum saturates rather than wraps.
        REFERENCE_TIME stop = 0;
        if (__builtin_add_overflow(start, lengths[i], &stop)) stop = INT64_MAX;
        pass->starts.push_back(start);
        pass->stops.push_back(stop);
        pass->end = stop;
        start = std::max<REFERENCE_TIME>(
            TruncateToInt64(static_cast<double>(stop) - static_cast<double>(pass->join)), 0);
    }
    return true;
}

REFERENCE_TIME MusicListEnd(const std::vector<MusicItem>& music, int* unknownIndex, double joinSec) {
    MusicPass pass;
    return PlaceMusicOnce(music, joinSec, &pass, unknownIndex) ? pass.end : -1;
}

double SecondsOfMilliseconds(std::int64_t ms) {
    double seconds = static_cast<double>(ms) / 1000;
    while (Milliseconds(seconds) < ms) seconds = std::nextafter(seconds, INFINITY);
    return seconds;
}

FitResult FitPhotosToMusic(SlideshowProject& project) {
    if (project.photoCount() == 0) return {FitOutcome::NoPhotos};
    if (project.musicCount() == 0) return {FitOutcome::NoMusic};
    int unknown = -1;
    const REFERENCE_TIME end = MusicListEnd(project.music(), &unknown, project.musicMix().joinSec);
    if (end < 0) return {FitOutcome::UnknownLength, 0, unknown};
    const double seconds = FittedDuration(end, project.photoCount());
    if (seconds < kMinFittedPhotoSec) return {FitOutcome::TooShort, seconds};
    if (seconds >= kPhotoDurationLimitSec) return {FitOutcome::TooLong, seconds};
    for (int i = 0; i < project.photoCount(); ++i) {
        PhotoItem photo = project.photos()[static_cast<std::size_t>(i)];
        photo.durationSec = seconds;
        photo.transitionDurationSec = std::min(photo.transitionDurationSec, seconds);
        project.SetPhoto(i, photo);
    }
    return {FitOutcome::Fitted, seconds};
}
