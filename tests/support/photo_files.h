#pragma once
// Photo files made by a test in the kinds today's phones, cameras and screenshots are: pictures
// drawn here, written through FFmpeg's image encoders, heif-enc or libheif.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

using Rgb = std::array<std::uint8_t, 3>;

// An RGB picture, rows from the top.
struct RgbPicture {
    int width = 0, height = 0;
    std::vector<std::uint8_t> rgb;

    Rgb At(int x, int y) const;
    void Set(int x, int y, Rgb colour);
    // A quarter turn anticlockwise: what a camera held upright stores with EXIF orientation 6.
    RgbPicture TurnedLeft() const;
};

inline constexpr Rgb kWhiteRgb{255, 255, 255};
inline constexpr Rgb kGrey{128, 128, 128};

// White in one quarter (0 top left, 1 top right, 2 bottom left, 3 bottom right), grey elsewhere:
// a turned, mirrored or stretched copy is told apart from it.
RgbPicture Quadrants(int width, int height, int whiteQuarter = 0);
// `colours` as equal patches, `columns` to a row.
RgbPicture Patches(int width, int height, const std::vector<Rgb>& colours, int columns);

// Writes the picture with an FFmpeg image encoder ("png", "mjpeg", "tiff", "libwebp", "bmp");
// an empty text on success, else what failed.
std::string WritePicture(const std::string& path, const RgbPicture& picture,
                         const std::string& codec);
// A white PNG whose left half is fully transparent.
std::string WriteHalfClearPng(const std::string& path, int width, int height);
// A HEIC, or an AVIF when the name ends in .avif, made by heif-enc from the picture (or from an
// image file); extra heif-enc options (such as "-t 64" for a thumbnail) are passed on.
std::string HeifEnc(const std::string& path, const RgbPicture& picture,
                    const std::string& options = "");
std::string HeifEncFile(const std::string& path, const std::string& input,
                        const std::string& options = "");
// The JPEG with an Exif block saying how it is to be turned.
std::string WithExifOrientation(const std::string& jpeg, int orientation);
// A HEIC as a phone writes it: the picture as the sensor stored it, the turn that makes it upright
// as the file's own transformation, and an Exif block giving that same `orientation` (or
// `exifBlock`, from its TIFF header on, when given).
std::string WriteTurnedHeic(const std::string& path, const RgbPicture& stored, int orientation,
                            const std::string& exifBlock = {});
