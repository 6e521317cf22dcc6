#include "app/missing_file_locator.h"

#include "app/media_file_types.h"
#include "app/path_rules.h"
#include "app/slideshow_project.h"
#include "lang/language.h"
#include "platform/shell/file_dialogs.h"

namespace {
constexpr int kLocateFileTitle = 160;  // "Where is %s now?"
}

std::string LocateFileTitle(const std::string& missing) {
    std::string title = theLanguage.GetString(kLocateFileTitle);
    const std::size_t at = title.find("%s");
    if (at != std::string::npos) title.replace(at, 2, FileNamePart(missing));
    return title;
}

HRESULT MissingFileLocator::FindMediaFile(const std::string& missing, std::string* found) {
    return Locate(missing, music_.count(missing) > 0, found);
}

HRESULT MissingFileLocator::Locate(const std::string& missing, bool music, std::string* found) {
    FileDialogRequest request;
    request.owner = owner_;
    // The kind's own filter, as Add Photo and Add Music have it: a renamed file is listed too.
    request.filters = {music ? MusicFileFilter() : PhotoFileFilter(), {"Any Files (*.*)", "*.*;"}};
    request.fileName = FileNamePart(missing);
    request.startFolder = FolderWithTrailingSlash(missing);
    request.title = LocateFileTitle(missing);
    request.mustExist = true;
    std::vector<std::string> chosen;
    if (!files_.GetFileNames(request, &chosen) || chosen.empty()) return S_FALSE;
    *found = chosen.front();
    located_[missing] = *found;
    return S_OK;
}

int MissingFileLocator::ApplyTo(SlideshowProject& project) const {
    int changed = 0;
    for (int i = 0; i < project.photoCount(); ++i) {
        PhotoItem item = project.photos()[static_cast<std::size_t>(i)];
        auto it = located_.find(item.path);
        if (it == located_.end()) continue;
        item.path = it->second;
        if (project.SetPhoto(i, item) == ProjectResult::Ok) ++changed;
    }
    for (int i = 0; i < project.musicCount(); ++i) {
        auto it = located_.find(project.music()[static_cast<std::size_t>(i)].path);
        if (it != located_.end() && project.SetMusicPath(i, it->second) == ProjectResult::Ok) ++changed;
    }
    return changed;
}
