#include "platform/audio/music_analysis_file.h"

#include <sstream>

namespace {

constexpr const char* kHeading = "kavrel music analysis 1";

}  // namespace

std::string MusicAnalysisText(const FileKey& key, const MusicAnalysis& analysis) {
    std::string text = EntryHead(kHeading, key) + "measured " + (analysis.measured ? "1" : "0") +
                       "\nlufs " + ExactNumber(analysis.integratedLufs) + "\ntruepeak " + ExactNumber(analysis.truePeakDbtp) +
                       "\ntempo " + ExactNumber(analysis.tempoBpm) + "\nbeats " + std::to_string(analysis.beats.size()) + "\n";
    for (double beat : analysis.beats) text += ExactNumber(beat) + "\n";
    return text + kEntryEnd + "\n";
}

bool ParseMusicAnalysisText(const std::string& text, const FileKey& key, MusicAnalysis* analysis) {
    std::istringstream in(text);
    std::string line;
    MusicAnalysis read;
    int measured = 0;
    std::size_t beats = 0;
    if (!ReadEntryHead(in, kHeading, key) || !NumberField(in, "measured", &measured) || !NumberField(in, "lufs", &read.integratedLufs) ||
        !NumberField(in, "truepeak", &read.truePeakDbtp) || !NumberField(in, "tempo", &read.tempoBpm) ||
        !NumberField(in, "beats", &beats)) {
        return false;
    }
    read.measured = measured == 1;
    for (std::size_t i = 0; i < beats; ++i) {
        double beat = 0;
        if (!std::getline(in, line) || !ParseNumber(line, &beat)) return false;
        if (!read.beats.empty() && beat < read.beats.back()) return false;
        read.beats.push_back(beat);
    }
    if (!ReadEntryEnd(in)) return false;
    *analysis = std::move(read);
    return true;
}
