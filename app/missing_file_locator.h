#pragma once
// Finds the files of a show that are no longer where the show says: for each missing photo or
// music file the open-file dialog asks where it is now, starting in the folder it was in with the
// old name filled in, listing every photo or every music file (a renamed one among them) or all
// files. What the user located is remembered, so the show can take the new names.
//
// User-interface thread only.

#include <map>
#include <set>
#include <string>

#include "platform/timeline/timeline.h"

class FileDialogs;
class QWidget;
class SlideshowProject;

class MissingFileLocator : public IMediaLocator {
public:
    // `musicFiles`: the names that are music; the timeline asks for any other as a photo.
    MissingFileLocator(FileDialogs& files, QWidget* owner, std::set<std::string> musicFiles = {})
        : files_(files), owner_(owner), music_(std::move(musicFiles)) {}

    HRESULT FindMediaFile(const std::string& missing, std::string* found) override;
    // S_OK with the file the user chose; S_FALSE when none was.
    HRESULT Locate(const std::string& missing, bool music, std::string* found);
    // Puts each located file in place of its missing name, in the photo and the music list; the
    // number of items changed.
    int ApplyTo(SlideshowProject& project) const;
    const std::map<std::string, std::string>& located() const { return located_; }

private:
    FileDialogs& files_;
    QWidget* owner_;
    std::set<std::string> music_;
    std::map<std::string, std::string> located_;  // missing name -> where it is now
};

// The title of the dialog that asks where `missing` is now, in the current language.
std::string LocateFileTitle(const std::string& missing);
