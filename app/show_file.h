#pragma once
// A show kept in a file (".kavrel", JSON with a format version): the photo list with every
// photo's own values, the music list, the show's framing, motion amount, pace and music fade-out,
// and the output settings. Paths that lie below the show file's folder are kept relative to it,
// so a folder holding the show and its photos can be moved or copied and still opens.
//
// Reading and writing touch nothing but the file; callable from any thread. A file that cannot be
// used leaves the caller's show untouched.

#include <string>
#include <string_view>
#include <vector>

#include "app/slideshow_project.h"
#include "engine/output_format.h"

// Version 2 adds title cards, captions and their style, each song's trim, volume and fade-in, and
// the music's loudness and join. A file without them reads as a show without them: no captions,
// each song whole, and the music as it was mixed before (no loudness, summed joins of 0.2 s).
inline constexpr int kShowFormatVersion = 2;
inline constexpr const char* kShowFileExtension = ".kavrel";
// The compressor name that stands for none: frames or sound written uncompressed.
inline constexpr const char* kNoCompressorName = "none";
// A show file is small; anything larger is not one.
inline constexpr std::size_t kMaxShowFileBytes = 16 * 1024 * 1024;

inline constexpr int kMaxShowFrameSide = 8192;
// The audio bitrates the Windows Media profile is sure to match (the output settings' list).
inline constexpr int kAudioBitrates[] = {64000, 128000, 192000, 320000};

// The output settings as a show keeps them: the compressors by name.
struct ShowOutput {
    int format = kFormatWmv;
    std::string path;  // empty: the show names no output file
    int width = 640;
    int height = 480;
    std::string
        videoCompressor;  // a compressor's name, kNoCompressorName, or empty for the default
    std::string audioCompressor;
    int videoBitrate = 2048000;
    int audioBitrate = 192000;
};

struct Show {
    std::vector<PhotoItem> photos;
    std::vector<MusicItem> music;  // the lengths are not kept
    Framing framing = Framing::Fit;
    int motionAmountPercent = 15;
    bool motionEased = false;
    bool facesAimed = false;  // shows kept before moves were aimed at faces move as they did
    double musicFadeOutSec = kDefaultMusicFadeOutSec;
    MusicMix musicMix = kMusicMixOfOldShows;
    ShowOutput output;
    CaptionStyle captionStyle;
};

enum class ShowFileProblem {
    None,
    CannotRead,  // detail: the system's reason
    TooLarge,
    Damaged,       // not JSON, or cut short
    Foreign,       // JSON, but not a Kavrel show
    NewerVersion,  // detail: the file's version
    BadValue,      // detail: which value, and why
    CannotWrite,   // detail: the system's reason
    NotAFile,      // a folder, pipe or device: never opened
};

struct ShowFileError {
    ShowFileProblem problem = ShowFileProblem::None;
    std::string detail;

    explicit operator bool() const { return problem != ShowFileProblem::None; }
};

// Reads the show in `file`; relative paths are taken from the file's folder.
ShowFileError ReadShowFile(const std::string& file, Show* show);
// The show in `bytes`; relative paths are taken from `folder`.
ShowFileError ParseShow(std::string_view bytes, const std::string& folder, Show* show);

// The show as a file in `folder` holds it: paths below `folder` relative to it (empty folder:
// every path as it is).
std::string SerializeShow(const Show& show, const std::string& folder);
// Writes `show` to `file` through a temporary file in the same folder renamed onto it, so the
// old file stays whole until the new one is complete.
ShowFileError WriteShowFile(const std::string& file, const Show& show);

// The folder a show file's relative paths start from: absolute and normalised.
std::string ShowFolderOf(const std::string& file);
// A frame size the encoders take: even sides from 16 to 8192, or 0 x 0 (the first photo's size).
bool IsFrameSize(int width, int height);
bool IsAudioBitrate(int bitsPerSecond);
// Whether `path` names a show file (by its extension, in any case).
bool IsShowFileName(const std::string& path);
// The first of `paths` that names a show file; empty when none does.
std::string FirstShowFile(const std::vector<std::string>& paths);
