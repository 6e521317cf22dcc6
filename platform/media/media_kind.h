#pragma once
// Whether a file is a photo or music, told by what it holds, never by its name: files handed to
// the program by a file manager or on its command line come with any name.
//
// Safe to call from any thread; each call opens the file on its own.

#include <string>

enum class MediaKind {
    Photo,    // a still picture the photo decoder reads
    Music,    // a stream of sound FFmpeg decodes
    Neither,  // anything else, or a file that cannot be opened
};

// A file with decodable sound is music (a video with sound too); a HEIF, TIFF or WebP file, or a
// single picture FFmpeg reads as an image, is a photo.
MediaKind ProbeMediaKind(const std::string& path);
