#include "app/given_files.h"

#include <QFile>

#include "app/file_refusals.h"
#include "app/show_file.h"
#include "lang/language.h"
#include "platform/shell/file_probe.h"

namespace {

constexpr int kNotOpened = 370, kMissing = 371, kUnknown = 372, kSecondShow = 373;

// Only what starts as a JSON object is worth handing to the show reader.
bool StartsAsJsonObject(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return false;
    for (const char c : file.read(64)) {
        if (c == '{') return true;
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r') return false;
    }
    return false;
}

std::string WithPath(int id, const std::string& path) {
    std::string text = theLanguage.GetString(id);
    const std::size_t at = text.find("%s");
    if (at != std::string::npos) text.replace(at, 2, path);
    return text;
}

std::string RefusalLine(const RefusedFile& file) {
    switch (file.why) {
        case GivenFileRefusal::Missing:
            return WithPath(kMissing, file.path);
        case GivenFileRefusal::NotAFile:
            return NotAFileText(file.path);
        case GivenFileRefusal::SecondShow:
            return WithPath(kSecondShow, file.path);
        default:
            return WithPath(kUnknown, file.path);
    }
}

}  // namespace

bool IsGivenShowFile(const std::string& path) {
    if (IsShowFileName(path)) return true;
    Show show;
    return StartsAsJsonObject(path) && !ReadShowFile(path, &show);
}

GivenFiles SortGivenFiles(const std::vector<std::string>& paths,
                          const std::function<MediaKind(const std::string&)>& probe) {
    GivenFiles given;
    auto refuse = [&](const std::string& path, GivenFileRefusal why) { given.refused.push_back({path, why}); };
    for (const std::string& path : paths) {
        const PathKind kind = KindOfPath(path);
        if (kind == PathKind::Missing) {
            refuse(path, GivenFileRefusal::Missing);
        } else if (kind != PathKind::File) {
            refuse(path, GivenFileRefusal::NotAFile);
        } else if (IsGivenShowFile(path)) {
            if (given.show.empty()) {
                given.show = path;
            } else {
                refuse(path, GivenFileRefusal::SecondShow);
            }
        } else if (const MediaKind media = probe(path); media == MediaKind::Photo) {
            given.photos.push_back(path);
        } else if (media == MediaKind::Music) {
            given.music.push_back(path);
        } else {
            refuse(path, GivenFileRefusal::Unknown);
        }
    }
    return given;
}

std::string RefusedFilesText(const std::vector<RefusedFile>& refused) {
    if (refused.empty()) return {};
    std::string text = theLanguage.GetString(kNotOpened);
    for (const RefusedFile& file : refused) text += "\n" + RefusalLine(file);
    return text;
}
