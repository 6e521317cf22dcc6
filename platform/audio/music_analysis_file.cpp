#include "platform/audio/music_analysis_file.h"

#include <charconv>
#include <sstream>
#include <sys/stat.h>

namespace {

constexpr const char* kHeading = "kavrel music analysis 1";
constexpr const char* kEnd = "end";  // a file cut short lacks it

std::string Number(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;  // shortest exact form
    return std::string(text, end);
}

template <typename T>
bool ParseNumber(const std::string& text, T* value) {
    const auto [end, fault] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return fault == std::errc() && end == text.data() + text.size();
}

// Reads "NAME VALUE" from the next line into *value.
bool Field(std::istream& in, const std::string& name, std::string* value) {
    std::string line;
    if (!std::getline(in, line) || line.compare(0, name.size() + 1, name + " ") != 0) return false;
    *value = line.substr(name.size() + 1);
    return true;
}

template <typename T>
bool NumberField(std::istream& in, const std::string& name, T* value) {
    std::string text;
    return Field(in, name, &text) && ParseNumber(text, value);
}

}  // namespace

bool CurrentMusicFileKey(const std::string& path, MusicFileKey* key) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    key->path = path;
    key->size = static_cast<long long>(st.st_size);
    key->mtimeNs = static_cast<long long>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
    return true;
}

std::string MusicAnalysisText(const MusicFileKey& key, const MusicAnalysis& analysis) {
    std::string text = std::string(kHeading) + "\npath " + key.path + "\nsize " + std::to_string(key.size) +
                       "\nmtime " + std::to_string(key.mtimeNs) + "\nmeasured " + (analysis.measured ? "1" : "0") +
                       "\nlufs " + Number(analysis.integratedLufs) + "\ntruepeak " + Number(analysis.truePeakDbtp) +
                       "\ntempo " + Number(analysis.tempoBpm) + "\nbeats " + std::to_string(analysis.beats.size()) + "\n";
    for (double beat : analysis.beats) text += Number(beat) + "\n";
    return text + kEnd + "\n";
}

bool ParseMusicAnalysisText(const std::string& text, const MusicFileKey& key, MusicAnalysis* analysis) {
    std::istringstream in(text);
    std::string line, path;
    MusicFileKey found;
    MusicAnalysis read;
    int measured = 0;
    std::size_t beats = 0;
    if (!std::getline(in, line) || line != kHeading || !Field(in, "path", &found.path) ||
        !NumberField(in, "size", &found.size) || !NumberField(in, "mtime", &found.mtimeNs) || !(found == key) ||
        !NumberField(in, "measured", &measured) || !NumberField(in, "lufs", &read.integratedLufs) ||
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
    if (!std::getline(in, line) || line != kEnd || std::getline(in, line)) return false;
    *analysis = std::move(read);
    return true;
}
