#include "platform/render/decode/tiff_photo.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>

#include "platform/com/failure_texts.h"
#include "platform/render/decode/photo_decoder.h"

namespace {

struct TiffCloser {
    void operator()(TIFF* t) const { TIFFClose(t); }
};
using TiffPtr = std::unique_ptr<TIFF, TiffCloser>;

// libtiff's complaints are kept for the message, not printed.
int KeepMessage(TIFF*, void* user, const char*, const char* format, va_list args) {
    char text[256];
    std::vsnprintf(text, sizeof text, format, args);
    if (auto* kept = static_cast<std::string*>(user); kept->empty()) *kept = text;
    return 1;
}

int IgnoreWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

TiffPtr Open(const std::string& path, std::string* complaint) {
    std::unique_ptr<TIFFOpenOptions, void (*)(TIFFOpenOptions*)> options(TIFFOpenOptionsAlloc(),
                                                                         TIFFOpenOptionsFree);
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), KeepMessage, complaint);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), IgnoreWarning, nullptr);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), tmsize_t{1} << 30);
    return TiffPtr(TIFFOpenExt(path.c_str(), "r", options.get()));
}

FramePtr NewRgba(int width, int height) {
    FramePtr f(av_frame_alloc());
    f->format = AV_PIX_FMT_RGBA;
    f->width = width;
    f->height = height;
    if (av_frame_get_buffer(f.get(), 32) < 0) return nullptr;
    f->colorspace = AVCOL_SPC_RGB;
    f->color_range = AVCOL_RANGE_JPEG;
    return f;
}

std::uint8_t FromFloat(float v) {
    if (!(v > 0.0f)) return 0;  // NaN too
    return static_cast<std::uint8_t>(std::min(v, 1.0f) * 255.0f + 0.5f);
}

// 32-bit float samples, which libtiff's RGBA reader leaves out: grey or RGB(A), stored in strips
// with the samples of a pixel together.
bool ReadFloatRows(TIFF* tif, AVFrame* out) {
    std::uint16_t samples = 1, planar = PLANARCONFIG_CONTIG, photometric = PHOTOMETRIC_MINISBLACK;
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    const bool grey = photometric == PHOTOMETRIC_MINISBLACK && samples >= 1;
    const bool rgb = photometric == PHOTOMETRIC_RGB && samples >= 3;
    if (TIFFIsTiled(tif) || planar != PLANARCONFIG_CONTIG || !(grey || rgb)) return false;
    std::vector<float> row(static_cast<std::size_t>(TIFFScanlineSize(tif) / 4 + 1));
    for (int y = 0; y < out->height; ++y) {
        if (TIFFReadScanline(tif, row.data(), static_cast<std::uint32_t>(y)) < 0) return false;
        std::uint8_t* p = out->data[0] + static_cast<std::ptrdiff_t>(y) * out->linesize[0];
        for (int x = 0; x < out->width; ++x, p += 4) {
            const float* s = &row[static_cast<std::size_t>(x) * samples];
            p[0] = FromFloat(s[0]);
            p[1] = FromFloat(s[grey ? 0 : 1]);
            p[2] = FromFloat(s[grey ? 0 : 2]);
            p[3] = 255;
        }
    }
    return true;
}

// What libtiff's RGBA reader makes of any other kind, rows as stored. Its transparency comes
// premultiplied and is undone here.
bool ReadRgbaRows(TIFF* tif, AVFrame* out) {
    char message[1024] = "";
    TIFFRGBAImage img;
    if (!TIFFRGBAImageBegin(&img, tif, 0, message)) return false;
    img.req_orientation = img.orientation;  // no flips: the turn is made with the others
    std::vector<std::uint32_t> raster(static_cast<std::size_t>(out->width) * out->height);
    const int ok = TIFFRGBAImageGet(&img, raster.data(), static_cast<std::uint32_t>(out->width),
                                    static_cast<std::uint32_t>(out->height));
    TIFFRGBAImageEnd(&img);
    for (int y = 0; ok && y < out->height; ++y) {
        std::uint8_t* p = out->data[0] + static_cast<std::ptrdiff_t>(y) * out->linesize[0];
        for (int x = 0; x < out->width; ++x, p += 4) {
            const std::uint32_t v = raster[static_cast<std::size_t>(y) * out->width + x];
            const unsigned a = TIFFGetA(v);
            const unsigned c[3] = {TIFFGetR(v), TIFFGetG(v), TIFFGetB(v)};
            for (int i = 0; i < 3; ++i)
                p[i] = static_cast<std::uint8_t>(a == 0 ? 0
                                                        : std::min(255u, (c[i] * 255 + a / 2) / a));
            p[3] = static_cast<std::uint8_t>(a);
        }
    }
    return ok != 0;
}

bool IsFloat(TIFF* tif) {
    std::uint16_t format = SAMPLEFORMAT_UINT, bits = 1;
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLEFORMAT, &format);
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    return format == SAMPLEFORMAT_IEEEFP && bits == 32;
}

}  // namespace

bool IsTiffFile(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    char head[4] = {};
    const std::size_t got = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    return got == 4 && (std::memcmp(head, "II*\0", 4) == 0 || std::memcmp(head, "MM\0*", 4) == 0 ||
                        std::memcmp(head, "II+\0", 4) == 0 || std::memcmp(head, "MM\0+", 4) == 0);
}

bool DecodeTiffPhoto(const std::string& path, TiffPicture* picture, std::string* error) {
    std::string complaint;
    TiffPtr tif = Open(path, &complaint);
    std::uint32_t width = 0, height = 0;
    if (tif == nullptr || !TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &width) ||
        !TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &height) || width == 0 || height == 0) {
        *error = FilledText(kPhotoCannotDecodeText.english,
                            {path, complaint.empty() ? "no image" : complaint});
        return false;
    }
    if (PhotoTooLarge(width, height, path, error)) return false;
    std::uint16_t orientation = ORIENTATION_TOPLEFT;
    TIFFGetFieldDefaulted(tif.get(), TIFFTAG_ORIENTATION, &orientation);
    picture->orientation = orientation >= 1 && orientation <= 8 ? orientation : 1;
    picture->frame = NewRgba(static_cast<int>(width), static_cast<int>(height));
    if (picture->frame == nullptr) {
        *error = "Out of memory for the photo " + path;
        return false;
    }
    const bool isFloat = IsFloat(tif.get());
    char message[1024] = "";
    if (isFloat ? !ReadFloatRows(tif.get(), picture->frame.get())
                : !TIFFRGBAImageOK(tif.get(), message)) {
        *error =
            FilledText(kPhotoKindText.english,
                       {path, isFloat ? "32-bit floating point samples in this layout" : message});
        return false;
    }
    if (isFloat || ReadRgbaRows(tif.get(), picture->frame.get())) return true;
    *error = FilledText(kPhotoCannotDecodeText.english,
                        {path, complaint.empty() ? "damaged data" : complaint});
    return false;
}
