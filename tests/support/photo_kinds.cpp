#include "tests/support/photo_kinds.h"

#include <algorithm>

#include <libexif/exif-data.h>
#include <tiffio.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <vector>

extern "C" {
#include <libavutil/crc.h>
}

namespace {

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
    return {};
}

// A little-endian TIFF block holding one tag, the orientation.
std::string ExifBlock(int orientation) {
    return std::string("II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0", 18) +
           static_cast<char>(orientation) + std::string("\0\0\0\0\0\0\0", 7);
}

std::vector<std::uint8_t> TiffRow(const RgbPicture& p, int y, TiffKind kind) {
    std::vector<std::uint8_t> row;
    for (int x = 0; x < p.width; ++x) {
        const Rgb c = p.At(x, y);
        if (kind == TiffKind::CmykJpeg) {
            for (int i = 0; i < 3; ++i)
                row.push_back(static_cast<std::uint8_t>(255 - c[static_cast<std::size_t>(i)]));
            row.push_back(0);
        } else if (kind == TiffKind::Float) {
            for (int i = 0; i < 3; ++i) {
                const float v = c[static_cast<std::size_t>(i)] / 255.0f;
                row.insert(row.end(), reinterpret_cast<const std::uint8_t*>(&v),
                           reinterpret_cast<const std::uint8_t*>(&v) + 4);
            }
        } else if (kind == TiffKind::Int32) {
            for (int i = 0; i < 3; ++i) {
                const std::uint32_t v = c[static_cast<std::size_t>(i)] * 0x01010101u;
                row.insert(row.end(), reinterpret_cast<const std::uint8_t*>(&v),
                           reinterpret_cast<const std::uint8_t*>(&v) + 4);
            }
        } else {
            row.insert(row.end(), c.begin(), c.end());
        }
    }
    return row;
}

void SetTiffFields(TIFF* t, const RgbPicture& p, TiffKind kind, int orientation) {
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, p.width);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, p.height);
    TIFFSetField(t, TIFFTAG_ORIENTATION, orientation);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, kind == TiffKind::CmykJpeg ? 4 : 3);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE,
                 kind == TiffKind::Float || kind == TiffKind::Int32 ? 32 : 8);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC,
                 kind == TiffKind::CmykJpeg ? PHOTOMETRIC_SEPARATED : PHOTOMETRIC_RGB);
    if (kind == TiffKind::CmykJpeg) {
        TIFFSetField(t, TIFFTAG_INKSET, INKSET_CMYK);
        TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_JPEG);
        TIFFSetField(t, TIFFTAG_JPEGQUALITY, 95);
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 16);
    } else if (kind == TiffKind::TiledLzw) {
        TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
        TIFFSetField(t, TIFFTAG_TILEWIDTH, 16);
        TIFFSetField(t, TIFFTAG_TILELENGTH, 16);
    } else {
        TIFFSetField(t, TIFFTAG_SAMPLEFORMAT,
                     kind == TiffKind::Float ? SAMPLEFORMAT_IEEEFP : SAMPLEFORMAT_UINT);
        TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 16);
    }
}

// 16 × 16 tiles; tiles that reach past the picture repeat its last row and column.
bool WriteTiles(TIFF* t, const RgbPicture& p) {
    std::vector<std::uint8_t> tile(16 * 16 * 3);
    for (int ty = 0; ty < p.height; ty += 16) {
        for (int tx = 0; tx < p.width; tx += 16) {
            for (int y = 0; y < 16; ++y) {
                for (int x = 0; x < 16; ++x) {
                    const Rgb c = p.At(std::min(tx + x, p.width - 1), std::min(ty + y, p.height - 1));
                    std::memcpy(&tile[static_cast<std::size_t>(y * 16 + x) * 3], c.data(), 3);
                }
            }
            if (TIFFWriteTile(t, tile.data(), static_cast<std::uint32_t>(tx),
                              static_cast<std::uint32_t>(ty), 0, 0) < 0)
                return false;
        }
    }
    return true;
}

std::string Chunk(const std::string& type, const std::string& data) {
    const std::uint32_t n = static_cast<std::uint32_t>(data.size());
    std::string chunk{static_cast<char>(n >> 24), static_cast<char>(n >> 16),
                      static_cast<char>(n >> 8), static_cast<char>(n)};
    const std::string body = type + data;
    const std::uint32_t crc =
        av_crc(av_crc_get_table(AV_CRC_32_IEEE_LE), 0xFFFFFFFFu,
               reinterpret_cast<const std::uint8_t*>(body.data()), body.size()) ^
        0xFFFFFFFFu;
    return chunk + body +
           std::string{static_cast<char>(crc >> 24), static_cast<char>(crc >> 16),
                       static_cast<char>(crc >> 8), static_cast<char>(crc)};
}

std::string LosslessWebp(const RgbPicture& p) {
    std::uint8_t* out = nullptr;
    const std::size_t size =
        WebPEncodeLosslessRGB(p.rgb.data(), p.width, p.height, p.width * 3, &out);
    std::string bytes(reinterpret_cast<const char*>(out), size);
    WebPFree(out);
    return bytes;
}

}  // namespace

std::string WriteTiff(const std::string& path, const RgbPicture& picture, TiffKind kind,
                      int orientation) {
    TIFF* t = TIFFOpen(path.c_str(), "w");
    if (t == nullptr) return "cannot write " + path;
    SetTiffFields(t, picture, kind, orientation);
    bool ok = true;
    if (kind == TiffKind::TiledLzw) {
        ok = WriteTiles(t, picture);
    } else {
        for (int y = 0; ok && y < picture.height; ++y) {
            std::vector<std::uint8_t> row = TiffRow(picture, y, kind);
            ok = TIFFWriteScanline(t, row.data(), static_cast<std::uint32_t>(y), 0) >= 0;
        }
    }
    TIFFClose(t);
    return ok ? "" : "libtiff could not write " + path;
}

std::string WriteWebp(const std::string& path, const RgbPicture& picture, int orientation) {
    const std::string plain = LosslessWebp(picture);
    if (orientation == 0) return Write(path, plain);
    const WebPData image{reinterpret_cast<const std::uint8_t*>(plain.data()), plain.size()};
    WebPMux* mux = WebPMuxCreate(&image, 1);
    const std::string exif = ExifBlock(orientation);
    const WebPData exifData{reinterpret_cast<const std::uint8_t*>(exif.data()), exif.size()};
    WebPData out{};
    const bool ok = mux != nullptr && WebPMuxSetChunk(mux, "EXIF", &exifData, 1) == WEBP_MUX_OK &&
                    WebPMuxAssemble(mux, &out) == WEBP_MUX_OK;
    WebPMuxDelete(mux);
    if (ok) Write(path, std::string(reinterpret_cast<const char*>(out.bytes), out.size));
    WebPDataClear(&out);
    return ok ? "" : "libwebpmux could not write " + path;
}

std::string WriteAnimatedWebp(const std::string& path, const RgbPicture& first,
                              const RgbPicture& second) {
    WebPAnimEncoderOptions options;
    WebPAnimEncoderOptionsInit(&options);
    WebPAnimEncoder* encoder = WebPAnimEncoderNew(first.width, first.height, &options);
    WebPConfig config;
    WebPConfigInit(&config);
    config.lossless = 1;
    bool ok = encoder != nullptr;
    int timestamp = 0;
    for (const RgbPicture* p : {&first, &second}) {
        WebPPicture frame;
        WebPPictureInit(&frame);
        frame.use_argb = 1;
        frame.width = p->width;
        frame.height = p->height;
        ok = ok && WebPPictureImportRGB(&frame, p->rgb.data(), p->width * 3) &&
             WebPAnimEncoderAdd(encoder, &frame, timestamp, &config);
        WebPPictureFree(&frame);
        timestamp += 100;
    }
    WebPData out{};
    ok = ok && WebPAnimEncoderAdd(encoder, nullptr, timestamp, nullptr) &&
         WebPAnimEncoderAssemble(encoder, &out);
    if (ok) Write(path, std::string(reinterpret_cast<const char*>(out.bytes), out.size));
    WebPDataClear(&out);
    WebPAnimEncoderDelete(encoder);
    return ok ? "" : "libwebp could not write " + path;
}

std::string WritePngWithExif(const std::string& path, const RgbPicture& picture, int orientation) {
    if (std::string e = WritePicture(path, picture, "png"); !e.empty()) return e;
    return Write(path, WithPngExif(Read(path), ExifBlock(orientation)));
}

std::string WriteSizelessHeic(const std::string& path, const RgbPicture& picture) {
    if (std::string e = HeifEnc(path, picture); !e.empty()) return e;
    std::string heic = Read(path);
    for (std::size_t at = heic.find("ispe"); at != std::string::npos;
         at = heic.find("ispe", at + 4))
        std::memset(&heic[at + 8], 0, 8);  // after the version and flags: width, height
    return Write(path, heic);
}

namespace {

// The JPEG with `app1` (an EXIF block from "Exif\0\0" on) as its first segment.
std::string WithApp1(const std::string& jpeg, const std::string& app1) {
    const std::size_t length = app1.size() + 2;
    const std::string segment = std::string("\xFF\xE1", 2) + static_cast<char>(length >> 8) +
                                static_cast<char>(length & 0xFF) + app1;
    return jpeg.substr(0, 2) + segment + jpeg.substr(2);
}

}  // namespace

std::string WithExifThumbnail(const std::string& jpeg, const std::string& thumbnail, int orientation) {
    ExifData* exif = exif_data_new();
    exif_data_set_byte_order(exif, EXIF_BYTE_ORDER_INTEL);
    ExifEntry* entry = exif_entry_new();
    exif_content_add_entry(exif->ifd[EXIF_IFD_0], entry);
    exif_entry_initialize(entry, EXIF_TAG_ORIENTATION);
    exif_set_short(entry->data, EXIF_BYTE_ORDER_INTEL, static_cast<ExifShort>(orientation));
    exif_entry_unref(entry);
    exif->data = static_cast<unsigned char*>(std::malloc(thumbnail.size()));  // freed with `exif`
    std::memcpy(exif->data, thumbnail.data(), thumbnail.size());
    exif->size = static_cast<unsigned int>(thumbnail.size());
    unsigned char* block = nullptr;
    unsigned int size = 0;
    exif_data_save_data(exif, &block, &size);
    const std::string app1(reinterpret_cast<const char*>(block), size);  // starts with "Exif\0\0"
    std::free(block);
    exif_data_unref(exif);
    return WithApp1(jpeg, app1);
}

std::string ExifDateBlock(const std::string& taken) {
    ExifData* exif = exif_data_new();
    exif_data_set_byte_order(exif, EXIF_BYTE_ORDER_INTEL);
    ExifEntry* entry = exif_entry_new();
    exif_content_add_entry(exif->ifd[EXIF_IFD_EXIF], entry);
    exif_entry_initialize(entry, EXIF_TAG_DATE_TIME_ORIGINAL);  // 20 bytes, as EXIF has it
    std::memcpy(entry->data, taken.c_str(), std::min<std::size_t>(taken.size() + 1, entry->size));
    exif_entry_unref(entry);
    unsigned char* block = nullptr;
    unsigned int size = 0;
    exif_data_save_data(exif, &block, &size);
    const std::string tiff = size > 6 ? std::string(reinterpret_cast<const char*>(block) + 6, size - 6) : "";
    std::free(block);
    exif_data_unref(exif);
    return tiff;
}

std::string WithExifDate(const std::string& jpeg, const std::string& taken) {
    return WithApp1(jpeg, std::string("Exif\0\0", 6) + ExifDateBlock(taken));
}

std::string WithPngExif(const std::string& png, const std::string& tiff) {
    const std::size_t afterHeader = 8 + 8 + 13 + 4;  // signature, IHDR
    return png.substr(0, afterHeader) + Chunk("eXIf", tiff) + png.substr(afterHeader);
}
