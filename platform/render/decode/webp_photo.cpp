#include "platform/render/decode/webp_photo.h"

#include <webp/demux.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/com/failure_texts.h"
#include "platform/render/decode/exif_orientation.h"
#include "platform/render/decode/photo_decoder.h"

namespace {

struct DemuxDeleter {
    void operator()(WebPDemuxer* d) const { WebPDemuxDelete(d); }
};
struct AnimDecoderDeleter {
    void operator()(WebPAnimDecoder* d) const { WebPAnimDecoderDelete(d); }
};

constexpr long kMostBytes = 1L << 30;

bool ReadWhole(const std::string& path, std::vector<std::uint8_t>* bytes) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    bool ok = std::fseek(f, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(f) : -1;
    ok = size >= 0 && size <= kMostBytes && std::fseek(f, 0, SEEK_SET) == 0;
    if (ok) {
        bytes->resize(static_cast<std::size_t>(size));
        ok = std::fread(bytes->data(), 1, bytes->size(), f) == bytes->size();
    }
    std::fclose(f);
    return ok;
}

int OrientationOf(const WebPDemuxer* demux) {
    WebPChunkIterator chunk;
    if (!WebPDemuxGetChunk(demux, "EXIF", 1, &chunk)) return 1;
    const int orientation = ExifOrientation(chunk.chunk.bytes, chunk.chunk.size);
    WebPDemuxReleaseChunkIterator(&chunk);
    return orientation;
}

FramePtr FirstFrame(const WebPData& data, int width, int height) {
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options)) return nullptr;
    options.color_mode = MODE_RGBA;
    options.use_threads = 0;
    std::unique_ptr<WebPAnimDecoder, AnimDecoderDeleter> decoder(
        WebPAnimDecoderNew(&data, &options));
    std::uint8_t* pixels = nullptr;
    int timestamp = 0;
    if (decoder == nullptr || !WebPAnimDecoderGetNext(decoder.get(), &pixels, &timestamp))
        return nullptr;
    FramePtr f(av_frame_alloc());
    f->format = AV_PIX_FMT_RGBA;
    f->width = width;
    f->height = height;
    if (av_frame_get_buffer(f.get(), 32) < 0) return nullptr;
    for (int y = 0; y < height; ++y) {
        std::memcpy(f->data[0] + static_cast<std::ptrdiff_t>(y) * f->linesize[0],
                    pixels + static_cast<std::size_t>(y) * width * 4,
                    static_cast<std::size_t>(width) * 4);
    }
    f->colorspace = AVCOL_SPC_RGB;
    f->color_range = AVCOL_RANGE_JPEG;
    return f;
}

}  // namespace

bool IsWebpFile(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    char head[12] = {};
    const std::size_t got = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    return got == 12 && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WEBP", 4) == 0;
}

bool DecodeWebpPhoto(const std::string& path, WebpPicture* picture, std::string* error) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWhole(path, &bytes)) {
        *error = FilledText(kPhotoCannotOpenText.english, {path, "cannot be read"});
        return false;
    }
    const WebPData data{bytes.data(), bytes.size()};
    std::unique_ptr<WebPDemuxer, DemuxDeleter> demux(WebPDemux(&data));
    if (demux == nullptr) {
        *error = FilledText(kPhotoCannotDecodeText.english, {path, "not a complete WebP file"});
        return false;
    }
    const int width = static_cast<int>(WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_WIDTH));
    const int height = static_cast<int>(WebPDemuxGetI(demux.get(), WEBP_FF_CANVAS_HEIGHT));
    if (PhotoTooLarge(width, height, path, error)) return false;
    picture->orientation = OrientationOf(demux.get());
    picture->frame = FirstFrame(data, width, height);
    if (picture->frame == nullptr) {
        *error = FilledText(kPhotoCannotDecodeText.english, {path, "damaged WebP data"});
        return false;
    }
    return true;
}
