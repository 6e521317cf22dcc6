// Analyses one music file twice with AnalyseMusic, as the show does when a song is added and
// asked about again, and prints the CPU seconds (user and system) of each call, the figures found
// and the process's peak memory. Then decodes it once more alone, for the decoder's share.
//
// Usage: bench-music-analysis SONG   (the cache folder is $XDG_CACHE_HOME/kavrel/music)

#include <sys/resource.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/audio/music_analysis.h"
#include "platform/audio/music_reader.h"

namespace {

double CpuSeconds() {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return static_cast<double>(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
           static_cast<double>(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

bool Analyse(const char* what, const std::string& song) {
    MusicAnalysis analysis;
    std::string error;
    const double start = CpuSeconds();
    if (!AnalyseMusic(song, &analysis, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::printf("  %-22s %6.3f CPU s   %.2f LUFS  %.2f dBTP  %.2f BPM  %zu beats\n", what, CpuSeconds() - start,
                analysis.integratedLufs, analysis.truePeakDbtp, analysis.tempoBpm, analysis.beats.size());
    return true;
}

double DecodeOnly(const std::string& song) {
    const double start = CpuSeconds();
    MusicReader reader;
    std::string error;
    if (!reader.Open(song, &error)) return -1;
    std::vector<float> block(8192 * 2);
    for (int got = 8192; got == 8192;) {
        if (!reader.Read(block.data(), 8192, &got, &error)) return -1;
    }
    return CpuSeconds() - start;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench-music-analysis SONG\n");
        return 2;
    }
    if (!Analyse("first call", argv[1]) || !Analyse("second call", argv[1])) return 1;
    std::printf("  %-22s %6.3f CPU s\n", "decoding alone", DecodeOnly(argv[1]));
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    std::printf("  peak memory            %6.1f MB\n", static_cast<double>(use.ru_maxrss) / 1024);
    return 0;
}
