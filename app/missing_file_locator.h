#pragma once
// Finds the files of a show that are no longer where the show says: for each missing photo or
// music file the open-file dialog asks where it is now, starting in the folder it was in. What
// the user located is remembered, so the show can take the new names.
//
// User-interface thread only.

#include <map>
#include <string>

#include "platform/timeline/timeline.h"

class FileDialogs;
class QWidget;
class SlideshowProject;

class MissingFileLocator : public IMediaLocator {
public:
    MissingFileLocator(FileDialogs& files, QWidget* owner) : files_(files), owner_(owner) {}

    HRESULT FindMediaFile(const std::string& missing, std::string* found) override;
    // Puts each located file in place of its missing name, in the photo and the music list; the
    // number of items changed.
    int ApplyTo(SlideshowProject& project) const;
    const std::map<std::string, std::string>& located() const { return located_; }

private:
    FileDialogs& files_;
    QWidget* owner_;
    std::map<std::string, std::string> located_;  // missing name -> where it is now
};

// The title of the dialog that asks where `missing` is now, in the current language.
std::string LocateFileTitle(const std::string& missing);
