#pragma once
// What the show needs to know of a song: how loud it is, to gain every song to one loudness, and
// where its beats fall, to fit the photos to them.

#include <string>
#include <vector>

struct MusicAnalysis {
    bool measured = false;          // false: silent, or too short for a loudness reading
    double integratedLufs = 0;      // EBU R128 integrated loudness
    double truePeakDbtp = 0;        // EBU R128 true peak, the louder channel
    double tempoBpm = 0;            // 0: no beat found
    std::vector<double> beats;      // seconds from the file's start, ascending
};

// Decodes `path` once and measures it with libebur128 (integrated loudness, true peak) and aubio
// (beat tracking). The result is kept in memory and in the user's cache folder
// ($XDG_CACHE_HOME/kavrel/music, else ~/.cache/kavrel/music), keyed by the file's path, size and
// modification time, so a second call, in this run or the next, costs a lookup. False when the
// file cannot be decoded; *error says why (the reader's message). Callable from any thread.
bool AnalyseMusic(const std::string& path, MusicAnalysis* result, std::string* error);
