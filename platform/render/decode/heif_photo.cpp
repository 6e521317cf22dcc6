#include "platform/render/decode/heif_photo.h"

#include <libheif/heif.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/com/failure_texts.h"
#include "platform/render/decode/photo_decoder.h"

namespace {

struct ContextDeleter {
    void operator()(heif_context* c) const { heif_context_free(c); }
};
struct HandleDeleter {
    void operator()(const heif_image_handle* h) const { heif_image_handle_release(h); }
};
struct OptionsDeleter {
    void operator()(heif_decoding_options* o) const { heif_decoding_options_free(o); }
};
using ContextPtr = std::unique_ptr<heif_context, ContextDeleter>;
using HandlePtr = std::unique_ptr<heif_image_handle, HandleDeleter>;
using OptionsPtr = std::unique_ptr<heif_decoding_options, OptionsDeleter>;

// libheif registers its codecs once; the count it keeps is balanced at exit.
constexpr int kHeifLargestSide = 16384;
static_assert(static_cast<std::int64_t>(kHeifLargestSide) * kHeifLargestSide >= kMaxPhotoPixels);

void InitLibheif() {
    static const struct Init {
        Init() { heif_init(nullptr); }
        ~Init() { heif_deinit(); }
    } init;
}

bool Fail(const std::string& path, const heif_error& e, std::string* error) {
    *error = FilledText(kPhotoCannotDecodeText.english, {path, e.message});
    return false;
}

bool OpenPrimary(const std::string& path, ContextPtr* ctx, HandlePtr* primary, std::string* error) {
    InitLibheif();
    ctx->reset(heif_context_alloc());
    // libheif's own limit is a side of 32768, a gigapixel picture: a file that claims one (whatever
    // its header says) must not reach the allocator. A side of 16384 holds a phone's panorama.
    heif_context_set_maximum_image_size_limit(ctx->get(), kHeifLargestSide);
    heif_error e = heif_context_read_from_file(ctx->get(), path.c_str(), nullptr);
    if (e.code != heif_error_Ok) return Fail(path, e, error);
    heif_image_handle* h = nullptr;
    e = heif_context_get_primary_image_handle(ctx->get(), &h);
    if (e.code != heif_error_Ok) return Fail(path, e, error);
    primary->reset(h);
    return !PhotoTooLarge(heif_image_handle_get_width(h), heif_image_handle_get_height(h), path, error);
}

std::vector<HandlePtr> Thumbnails(const heif_image_handle* primary) {
    const int count = heif_image_handle_get_number_of_thumbnails(primary);
    std::vector<heif_item_id> ids(static_cast<std::size_t>(std::max(count, 0)));
    heif_image_handle_get_list_of_thumbnail_IDs(primary, ids.data(), count);
    std::vector<HandlePtr> thumbnails;
    for (heif_item_id id : ids) {
        heif_image_handle* t = nullptr;
        if (heif_image_handle_get_thumbnail(primary, id, &t).code == heif_error_Ok)
            thumbnails.emplace_back(t);
    }
    return thumbnails;
}

// A thumbnail stands in for the photo when it is the same picture (the same shape, so turned
// alike) and no smaller than the photo is shown.
bool Covers(const heif_image_handle* thumbnail, int fullW, int fullH, int fitW, int fitH) {
    const int w = heif_image_handle_get_width(thumbnail),
              h = heif_image_handle_get_height(thumbnail);
    if (w <= 0 || h <= 0 ||
        std::abs(static_cast<double>(w) / h - static_cast<double>(fullW) / fullH) > 0.02) {
        return false;
    }
    const double scale =
        std::min(static_cast<double>(fitW) / fullW, static_cast<double>(fitH) / fullH);
    return w >= std::lround(fullW * scale) && h >= std::lround(fullH * scale);
}

const heif_image_handle* SmallestCovering(const heif_image_handle* primary,
                                          const std::vector<HandlePtr>& thumbnails, int fitW,
                                          int fitH) {
    const int fullW = heif_image_handle_get_width(primary),
              fullH = heif_image_handle_get_height(primary);
    const heif_image_handle* best = primary;
    if (fitW <= 0 || fitH <= 0 || fullW <= 0 || fullH <= 0) return best;  // no size to compare with
    for (const HandlePtr& t : thumbnails) {
        if (Covers(t.get(), fullW, fullH, fitW, fitH) &&
            heif_image_handle_get_width(t.get()) < heif_image_handle_get_width(best)) {
            best = t.get();
        }
    }
    return best;
}

void ReleaseImage(void* image, std::uint8_t*) {
    heif_image_release(static_cast<heif_image*>(image));
}

// The decoded image as an AVFrame that owns it: no copy of the pixels.
FramePtr FrameOwning(heif_image* image, bool alpha) {
    int stride = 0;
    std::uint8_t* pixels = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    FramePtr f(av_frame_alloc());
    if (pixels == nullptr || f == nullptr) {
        heif_image_release(image);
        return nullptr;
    }
    f->buf[0] = av_buffer_create(pixels, 1, ReleaseImage, image, AV_BUFFER_FLAG_READONLY);
    if (f->buf[0] == nullptr) {
        heif_image_release(image);
        return nullptr;
    }
    f->format = alpha ? AV_PIX_FMT_RGBA : AV_PIX_FMT_RGB24;
    f->width = heif_image_get_width(image, heif_channel_interleaved);
    f->height = heif_image_get_height(image, heif_channel_interleaved);
    f->data[0] = pixels;
    f->linesize[0] = stride;
    f->colorspace = AVCOL_SPC_RGB;
    f->color_range = AVCOL_RANGE_JPEG;
    return f;
}

}  // namespace

bool IsHeifFile(const std::string& path) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) return false;
    std::uint8_t head[64];
    const std::size_t got = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    const heif_filetype_result kind = heif_check_filetype(head, static_cast<int>(got));
    return kind == heif_filetype_yes_supported || kind == heif_filetype_yes_unsupported;
}

bool ProbeHeifPhoto(const std::string& path, int* width, int* height, std::string* error) {
    ContextPtr ctx;
    HandlePtr primary;
    if (!OpenPrimary(path, &ctx, &primary, error)) return false;
    *width = heif_image_handle_get_width(primary.get());
    *height = heif_image_handle_get_height(primary.get());
    if (*width > 0 && *height > 0) return true;
    HeifPicture picture;  // a header without the size: the picture says it
    if (!DecodeHeifPhoto(path, 0, 0, &picture, error)) return false;
    *width = picture.fullWidth;
    *height = picture.fullHeight;
    return true;
}

bool DecodeHeifPhoto(const std::string& path, int fitWidth, int fitHeight, HeifPicture* picture,
                     std::string* error) {
    ContextPtr ctx;
    HandlePtr primary;
    if (!OpenPrimary(path, &ctx, &primary, error)) return false;
    const std::vector<HandlePtr> thumbnails = Thumbnails(primary.get());
    const heif_image_handle* chosen =
        SmallestCovering(primary.get(), thumbnails, fitWidth, fitHeight);
    const bool alpha = heif_image_handle_has_alpha_channel(chosen) != 0;
    OptionsPtr options(heif_decoding_options_alloc());
    options->convert_hdr_to_8bit = 1;
    heif_image* image = nullptr;
    heif_error e = heif_decode_image(
        chosen, &image, heif_colorspace_RGB,
        alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options.get());
    if (e.code != heif_error_Ok) return Fail(path, e, error);
    picture->frame = FrameOwning(image, alpha);
    if (picture->frame == nullptr) {
        *error = "Out of memory for the photo " + path;
        return false;
    }
    if (picture->frame->width <= 0 || picture->frame->height <= 0) {  // cropped to nothing
        *error = FilledText(kPhotoHoldsNoPictureText.english, {path});
        return false;
    }
    // The decoded picture's own size, whatever the file's header claims.
    const bool whole = chosen == primary.get();
    picture->fullWidth = whole ? picture->frame->width : heif_image_handle_get_width(primary.get());
    picture->fullHeight = whole ? picture->frame->height : heif_image_handle_get_height(primary.get());
    return !PhotoTooLarge(picture->fullWidth, picture->fullHeight, path, error);
}
