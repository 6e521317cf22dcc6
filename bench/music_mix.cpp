// The music's side of bench/music-mix.sh, through the program's own calls.
//
//   bench-music-mix levels SONG...
//       each song's analysis, one line each: PATH LUFS DBTP BPM BEATS
//   bench-music-mix fit SONG PHOTO COUNT
//       COUNT copies of PHOTO over SONG, fitted to the beat and built into a timeline; prints
//       "tempo BPM", "music START" (where the song starts in the show), "beat SECONDS" for each
//       beat of the song and "transition SECONDS" for each transition start after the first photo
//
// The cache folder is $XDG_CACHE_HOME/kavrel/music.

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/fit_to_beat.h"
#include "app/slideshow_project.h"
#include "engine/song_analysis.h"
#include "engine/timeline_builder.h"
#include "platform/audio/music_analysis.h"
#include "platform/shell/console_message_boxes.h"
#include "platform/timeline/timeline_xml.h"

namespace {

int Levels(int count, char** songs) {
    for (int i = 0; i < count; ++i) {
        MusicAnalysis analysis;
        std::string error;
        if (!AnalyseMusic(songs[i], &analysis, &error)) {
            std::fprintf(stderr, "%s: %s\n", songs[i], error.c_str());
            return 1;
        }
        std::printf("%s %.3f %.3f %.3f %zu\n", songs[i], analysis.integratedLufs, analysis.truePeakDbtp,
                    analysis.tempoBpm, analysis.beats.size());
    }
    return 0;
}

// The values of attribute `name` on the `tag` elements of the dump between `from` and `until`.
std::vector<long long> Attributes(const std::string& xml, const std::string& tag, const std::string& name,
                                  std::size_t from, std::size_t until) {
    std::vector<long long> values;
    const std::string open = "<" + tag + " ", key = " " + name + "=\"";
    for (std::size_t at = xml.find(open, from); at < until; at = xml.find(open, at + 1)) {
        const std::size_t end = xml.find('>', at);
        const std::size_t value = xml.find(key, at);
        if (value < end) values.push_back(std::atoll(xml.c_str() + value + key.size()));
    }
    return values;
}

int Fit(const std::string& song, const std::string& photo, int count) {
    SlideshowProject project;
    project.random().Seed(1);
    project.defaults().photoDurationSec = 6;
    project.defaults().transitionDurationSec = 1;
    for (int i = 0; i < count; ++i) project.AppendPhoto(photo);
    const REFERENCE_TIME length = MeasureMediaDuration(song);
    if (length <= 0) {
        std::fprintf(stderr, "cannot find the length of %s\n", song.c_str());
        return 1;
    }
    project.AppendMusic(song, length);
    const BeatFitResult fit = FitPhotosToBeat(project, BeatsOfSong);
    if (fit.outcome != BeatFitOutcome::Fitted) {
        std::fprintf(stderr, "not fitted to the beat (outcome %d)\n", static_cast<int>(fit.outcome));
        return 1;
    }
    ConsoleMessageBoxes boxes("bench-music-mix");
    std::shared_ptr<IAMTimeline> timeline;
    if (FAILED(BuildTimeline(project, TimelineBuildEnv{boxes, nullptr, nullptr}, &timeline))) return 1;
    const std::string xml = DumpTimelineXml(*timeline);
    const std::size_t audio = xml.find("<group index=\"1\"");

    MusicAnalysis analysis;
    std::string error;
    if (!AnalyseMusic(song, &analysis, &error)) return 1;
    std::printf("tempo %.3f\n", analysis.tempoBpm);
    for (const long long start : Attributes(xml, "source", "start", audio, std::string::npos)) {
        std::printf("music %.7f\n", static_cast<double>(start) / 1e7);
    }
    std::vector<double> beats;
    BeatsOfSong(song, &beats);
    for (const double b : beats) std::printf("beat %.6f\n", b);
    for (const long long start : Attributes(xml, "transition", "start", 0, audio)) {
        if (start > 0) std::printf("transition %.7f\n", static_cast<double>(start) / 1e7);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "levels" && argc > 2) return Levels(argc - 2, argv + 2);
    if (mode == "fit" && argc == 5) return Fit(argv[2], argv[3], std::atoi(argv[4]));
    std::fprintf(stderr, "usage: bench-music-mix levels SONG... | fit SONG PHOTO COUNT\n");
    return 2;
}
