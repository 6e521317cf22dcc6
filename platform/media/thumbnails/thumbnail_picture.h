#pragma once
// A photo made into a small picture: decoded at the least size that serves (a JPEG's own EXIF
// thumbnail when it is large enough, else a JPEG decoded at 1/2, 1/4 or 1/8 of its size (through
// libjpeg-turbo, or the photo decoder where that does not read it cleanly), a HEIF
// file's own thumbnail, any other kind through the photo decoder), upright as the video shows it.
//
// Safe to call from any thread; each call works on its own objects.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Opaque RGBA, rows from the top, 4 × width bytes a row.
struct ThumbnailPicture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgba;

    std::size_t bytes() const { return rgba.size(); }
};

// Where a thumbnail came from, for those who care (tests, the benchmark).
enum class ThumbnailSource { ExifThumbnail, Decoded };

// The photo fitted into edge × edge (never enlarged). On failure *error names the file and says why.
bool MakeThumbnail(const std::string& path, int edge, ThumbnailPicture* picture, std::string* error,
                   ThumbnailSource* source = nullptr);

// `picture` fitted into boxWidth × boxHeight with its shape kept (never enlarged); at least 1 × 1.
ThumbnailPicture FittedInto(const ThumbnailPicture& picture, int boxWidth, int boxHeight);
