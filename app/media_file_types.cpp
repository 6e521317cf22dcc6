#include "app/media_file_types.h"

const std::vector<std::string_view>& PhotoExtensions() {
    static const std::vector<std::string_view> kPhotos{
        // as always
        "jpg", "bmp", "gif", "tga", "jpeg",
        // phones, screenshots, scanners
        "heic", "heif", "avif", "png", "webp", "tif", "tiff", "jfif"};
    return kPhotos;
}

const std::vector<std::string_view>& MusicExtensions() {
    static const std::vector<std::string_view> kMusic{
        // as always
        "wav", "mp3", "wma", "mp2", "mpa", "au", "aif", "aiff", "snd",
        // whatever else FFmpeg plays that people keep music in
        "flac", "ogg", "oga", "opus", "m4a", "m4b", "aac", "mka", "weba", "wv", "ape", "mpc", "tta",
        "ac3", "eac3", "dts", "caf", "aifc", "w64", "amr", "spx"};
    return kMusic;
}

std::string FilterPattern(const std::vector<std::string_view>& extensions) {
    std::string pattern;
    for (std::string_view e : extensions) {
        if (!pattern.empty()) pattern += "; ";
        pattern += "*.";
        pattern += e;
    }
    return pattern;
}

std::string FilterDescription(const std::string& label,
                              const std::vector<std::string_view>& extensions) {
    std::string list;
    for (std::string_view e : extensions) {
        if (!list.empty()) list += ';';
        list += "*.";
        list += e;
    }
    return label + " (" + list + ")";
}

std::pair<std::string, std::string> PhotoFileFilter() {
    return {FilterDescription("Image Files", PhotoExtensions()), FilterPattern(PhotoExtensions())};
}

std::pair<std::string, std::string> MusicFileFilter() {
    return {FilterDescription("Audio files", MusicExtensions()), FilterPattern(MusicExtensions())};
}
