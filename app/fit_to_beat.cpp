#include "app/fit_to_beat.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <optional>

#include "app/fit_to_music.h"
#include "engine/time_arithmetic.h"

namespace {

constexpr std::int64_t kMinPhotoMs = 500;

// The beats under one pass of the music, in whole milliseconds of the show. Inside a join the
// song that ends gives the beats up to the join's middle, the song that begins those after it.
bool ShowBeats(const std::vector<MusicItem>& music, const MusicPass& pass, const BeatsOfFile& beatsOf,
               std::vector<std::int64_t>* beats, int* unreadable) {
    REFERENCE_TIME from = 0;
    for (std::size_t i = 0; i < music.size(); ++i) {
        if (pass.starts[i] < 0) continue;
        std::size_t next = i + 1;
        while (next < music.size() && pass.starts[next] < 0) ++next;
        const REFERENCE_TIME until = next < music.size() ? (pass.starts[next] + pass.stops[i]) / 2 : pass.end;
        std::vector<double> fileBeats;
        if (!beatsOf(music[i].path, &fileBeats)) {
            *unreadable = static_cast<int>(i);
            return false;
        }
        for (const double b : fileBeats) {
            const REFERENCE_TIME at = pass.starts[i] + TruncateToInt64(b * kUnitsPerSecond) - music[i].song.trimStart;
            if (at >= from && at < until && at < pass.stops[i]) beats->push_back((at + 5000) / 10000);
        }
        from = until;
    }
    beats->erase(std::unique(beats->begin(), beats->end()), beats->end());
    return true;
}

// Photo i's transition starts at first + (the durations before it): the timeline starts the show
// half the first transition early.
struct Grid {
    std::vector<std::int64_t> beats;  // ms, ascending
    std::int64_t first = 0;           // where photo 0's track starts, ms
    std::int64_t end = 0;             // the show's end, ms
};

// For each photo after the first, the latest beat its transition may start on so that every later
// photo still gets kMinPhotoMs, and the last one ends at the show's end; -1 where none can.
std::vector<int> LatestBeats(const Grid& g, std::size_t photos) {
    std::vector<int> latest(photos, -1);
    std::int64_t limit = g.end + g.first - kMinPhotoMs;  // the last photo's transition starts by then
    for (std::size_t i = photos - 1; i >= 1; --i) {
        int k = static_cast<int>(g.beats.size()) - 1;
        while (k >= 0 && g.beats[static_cast<std::size_t>(k)] > limit) --k;
        latest[i] = k;
        if (k < 0) break;
        limit = g.beats[static_cast<std::size_t>(k)] - kMinPhotoMs;
    }
    return latest;
}

// The beat from index `from` to `last` nearest `target`, ms; the beats ascend, so the search stops
// once they move away from it.
std::size_t NearestBeat(const std::vector<std::int64_t>& beats, std::size_t from, std::size_t last, double target) {
    std::size_t best = from;
    while (best < last && std::fabs(static_cast<double>(beats[best + 1]) - target) <
                              std::fabs(static_cast<double>(beats[best]) - target)) {
        ++best;
    }
    return best;
}

// Each photo's transition start in ms, and the show's end after them; none when the beats cannot
// give every photo one of its own. Each transition goes to the beat nearest where the photos' own
// durations, stretched to the music, would put it; the running target keeps rounding from adding up.
std::optional<std::vector<std::int64_t>> TransitionStarts(const Grid& g, const std::vector<PhotoItem>& photos) {
    double own = 0;
    for (const PhotoItem& p : photos) own += std::max(p.durationSec, 0.001);
    const double scale = static_cast<double>(g.end) / own;  // ms of music per second of the photos'
    const std::vector<int> latest = LatestBeats(g, photos.size());
    std::vector<std::int64_t> starts{g.first};
    double target = static_cast<double>(g.first);
    std::size_t k = 0;
    for (std::size_t i = 1; i < photos.size(); ++i) {
        target += std::max(photos[i - 1].durationSec, 0.001) * scale;
        const std::int64_t shortest = i == 1 ? std::max(kMinPhotoMs, Milliseconds(photos[0].transitionDurationSec)) : kMinPhotoMs;
        while (k < g.beats.size() && g.beats[k] < starts.back() + shortest) ++k;
        if (latest[i] < 0 || k > static_cast<std::size_t>(latest[i])) return std::nullopt;
        k = NearestBeat(g.beats, k, static_cast<std::size_t>(latest[i]), target);
        starts.push_back(g.beats[k++]);
    }
    // The durations add up to the show's length; the last photo ends with the music.
    starts.push_back(g.first + g.end);
    if (starts.back() - starts[starts.size() - 2] < kMinPhotoMs) return std::nullopt;
    return starts;
}

}  // namespace

BeatFitResult FitPhotosToBeat(SlideshowProject& project, const BeatsOfFile& beatsOf) {
    if (project.photoCount() == 0) return {BeatFitOutcome::NoPhotos};
    if (project.musicCount() == 0) return {BeatFitOutcome::NoMusic};
    MusicPass pass;
    int problem = -1;
    if (!PlaceMusicOnce(project.music(), project.musicMix().joinSec, &pass, &problem))
        return {BeatFitOutcome::UnknownLength, problem};
    Grid g;
    if (!ShowBeats(project.music(), pass, beatsOf, &g.beats, &problem)) return {BeatFitOutcome::CannotRead, problem};
    const int found = static_cast<int>(g.beats.size());
    if (g.beats.empty()) return {BeatFitOutcome::NoBeats};
    const std::vector<PhotoItem>& photos = project.photos();
    g.first = TruncateToInt64(-(photos[0].transitionDurationSec * 1000 * 0.5));
    g.end = pass.end / 10000;
    if (g.end >= Milliseconds(kPhotoDurationLimitSec) * static_cast<std::int64_t>(photos.size()))
        return {BeatFitOutcome::TooShort, -1, found};

    const std::optional<std::vector<std::int64_t>> starts = TransitionStarts(g, photos);
    if (!starts) return {BeatFitOutcome::TooShort, -1, found};
    for (std::size_t i = 0; i < photos.size(); ++i) {
        PhotoItem photo = photos[i];
        photo.durationSec = SecondsOfMilliseconds((*starts)[i + 1] - (*starts)[i]);
        photo.transitionDurationSec = std::min(photo.transitionDurationSec, photo.durationSec);
        project.SetPhoto(static_cast<int>(i), photo);
    }
    return {BeatFitOutcome::Fitted, -1, found};
}
