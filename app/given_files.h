#pragma once
// Files handed to the program on its command line or by a file manager: which is the show to
// open, which are photos and which music (by what they hold), and which cannot be taken and why.

#include <functional>
#include <string>
#include <vector>

#include "platform/media/media_kind.h"

enum class GivenFileRefusal {
    Missing,     // nothing by that name
    NotAFile,    // a folder, pipe or device
    Unknown,     // neither a photo, music nor a show
    SecondShow,  // a show after the first: one show opens at a time
};

struct RefusedFile {
    std::string path;
    GivenFileRefusal why;
};

struct GivenFiles {
    std::string show;  // empty when none was given
    std::vector<std::string> photos, music;
    std::vector<RefusedFile> refused;
};

// A show file: its name ends in .kavrel, or it is JSON the show reader takes.
bool IsGivenShowFile(const std::string& path);

// `paths` sorted in their order; `probe` tells photos from music (tests may stand in for FFmpeg).
GivenFiles SortGivenFiles(const std::vector<std::string>& paths,
                          const std::function<MediaKind(const std::string&)>& probe = ProbeMediaKind);

// The one message naming every refused file with its reason, in the current language; empty when
// none was refused.
std::string RefusedFilesText(const std::vector<RefusedFile>& refused);
