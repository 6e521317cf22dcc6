#include "tools/kavrel_render/caption_list.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>

namespace {

bool Names(const std::string& key, const std::string& given, const std::string& path) {
    return key == given || key == std::filesystem::path(path).filename().string();
}

std::string LineError(int line, const std::string& why) { return "captions, line " + std::to_string(line) + ": " + why; }

}  // namespace

std::string WithLineBreaks(std::string text) {
    for (std::size_t at = text.find("\\n"); at != std::string::npos; at = text.find("\\n", at + 1))
        text.replace(at, 2, "\n");
    return text;
}

std::string ApplyCaptionList(const std::string& file, const std::vector<std::string>& givenPaths,
                             SlideshowProject* project) {
    std::ifstream in(file);
    if (!in) return "cannot read the captions file " + file;
    std::map<std::string, std::size_t> nextOfName;  // where the next line of a name looks from
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos) return LineError(number, "a photo, a tab and the caption are expected");
        const std::string key = line.substr(0, tab);
        Caption caption{WithLineBreaks(line.substr(tab + 1)), CaptionPlace::Bottom};
        if (caption.text.size() > kMaxTextBytes || std::count(caption.text.begin(), caption.text.end(), '\n') >= kMaxCaptionLines)
            return LineError(number, "a caption has one or two lines of at most " + std::to_string(kMaxTextBytes) + " bytes");
        std::size_t& from = nextOfName[key];
        const auto& photos = project->photos();
        while (from < givenPaths.size() && !Names(key, givenPaths[from], photos[from].path)) ++from;
        if (from >= givenPaths.size()) return LineError(number, key + " is not a photo of the show (or has a caption already)");
        PhotoItem photo = photos[from];
        photo.caption = caption;
        project->SetPhoto(static_cast<int>(from++), photo);
    }
    return {};
}
