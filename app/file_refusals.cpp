#include "app/file_refusals.h"

#include "lang/language.h"
#include "platform/shell/file_probe.h"

namespace {

enum RefusalString {
    kIsFolder = 270,
    kIsPipe = 271,
    kIsDevice = 272,
    kIsSpecial = 273,
    kOutputNameEmpty = 276,
};

std::string WithPath(int id, const std::string& path) {
    std::string text = theLanguage.GetString(id);
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, path);
    return text;
}

}  // namespace

std::string NotAFileText(const std::string& path) {
    switch (KindOfPath(path)) {
        case PathKind::File:
        case PathKind::Missing:
            return {};
        case PathKind::Folder:
            return WithPath(kIsFolder, path);
        case PathKind::Pipe:
            return WithPath(kIsPipe, path);
        case PathKind::Device:
            return WithPath(kIsDevice, path);
        default:
            return WithPath(kIsSpecial, path);
    }
}

std::string InputNotAFileText(const SlideshowProject& project) {
    for (const PhotoItem& photo : project.photos()) {
        if (std::string text = NotAFileText(photo.path); !text.empty()) return text;
    }
    for (const MusicItem& music : project.music()) {
        if (std::string text = NotAFileText(music.path); !text.empty()) return text;
    }
    return {};
}

std::string OutputRefusalText(const std::string& path) {
    if (path.empty()) return theLanguage.GetString(kOutputNameEmpty);
    return NotAFileText(path);
}

std::string CannotReadText(const std::string& what, const std::string& path) {
    std::string why = NotAFileText(path);
    return why.empty() ? "Cannot read the " + what + " file " + path : why;
}
