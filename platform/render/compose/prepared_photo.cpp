#include "platform/render/compose/prepared_photo.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <optional>
#include <thread>
#include <vector>

#include "platform/render/compose/blurred_backdrop.h"
#include "platform/render/decode/photo_decoder.h"
#include "platform/render/compose/placed_picture.h"

namespace {

// A moving photo keeps up to a quarter more pixels than its largest shown size, and at least a
// tenth more: resampled at its own scale, a picture is sharp where a pixel lands on a sample and
// soft between two, and that pulsing reads as a shake in a slow pan; from a larger source every
// frame is filtered alike. The least is what the decoding must cover, so a JPEG that its
// reduced scale gives with a tenth to spare is not decoded whole.
constexpr double kMovingHeadroom = 1.25;
constexpr double kLeastMovingHeadroom = 1.1;

PhotoGeometry GeometryOf(PhotoSize full, Framing framing, int width, int height) {
    return {static_cast<double>(full.width), static_cast<double>(full.height), width, height,
            framing};
}

FramePtr NewFrameLike(const AVFrame* like) {
    FramePtr f(av_frame_alloc());
    f->format = like->format;
    f->width = like->width;
    f->height = like->height;
    if (av_frame_get_buffer(f.get(), 32) < 0) return nullptr;
    av_frame_copy_props(f.get(), like);
    return f;
}

// A frame like `like` with every sample 0.
FramePtr ClearFrame(const AVFrame* like) {
    FramePtr f = NewFrameLike(like);
    if (f == nullptr) return nullptr;
    for (int p = 0; p < 3; ++p) {
        const int shift = p == 0 ? 0 : 1;
        std::memset(f->data[p], 0, static_cast<std::size_t>(f->linesize[p]) * ((f->height + shift) >> shift));
    }
    return f;
}

// Rows [begin, end) of `out`, the picture drawn over black, get the backdrop where `cover` (the
// alpha drawn over nothing) leaves it visible: out + (1 - cover) × (backdrop - black).
void AddBackdrop(const AVFrame* backdrop, const AVFrame* cover, int begin, int end, AVFrame* out) {
    for (int p = 0; p < 3; ++p) {
        const int shift = p == 0 ? 0 : 1;
        const int black = p == 0 ? 16 : 128;
        const int last = std::min((end + shift) >> shift, (out->height + shift) >> shift);
        for (int y = begin >> shift; y < last; ++y) {
            const std::uint8_t* b = backdrop->data[p] + static_cast<std::ptrdiff_t>(y) * backdrop->linesize[p];
            const std::uint8_t* a = cover->data[p] + static_cast<std::ptrdiff_t>(y) * cover->linesize[p];
            std::uint8_t* o = out->data[p] + static_cast<std::ptrdiff_t>(y) * out->linesize[p];
            for (int x = 0; x < (out->width + shift) >> shift; ++x) {
                const int v = o[x] + ((255 - a[x]) * (b[x] - black) + 127) / 255;
                o[x] = static_cast<std::uint8_t>(std::clamp(v, 0, 255));
            }
        }
    }
}

}  // namespace

bool PreparePhoto(const std::string& path, const PhotoMotion& motion, Framing framing, int width,
                  int height, const FramePtr& black, PreparedPhoto* photo, std::string* error) {
    *photo = PreparedPhoto();
    photo->motion = motion;
    framing = motion.framing.value_or(framing);
    if (!motion.Moves() && !motion.HasViews() && framing == Framing::Fit)
        return DecodePhotoFrame(path, width, height, &photo->still, error);
    PhotoSize full;
    auto shown = [&](PhotoSize size) {
        const FrameRect largest =
            LargestPlacement(GeometryOf(size, framing, width, height), motion);
        const double headroom = motion.Moves() ? kMovingHeadroom : 1.0;
        return PhotoSize{static_cast<int>(std::ceil(largest.w * headroom)),
                         static_cast<int>(std::ceil(largest.h * headroom))};
    };
    const double needed = motion.Moves() ? kLeastMovingHeadroom / kMovingHeadroom : 1.0;
    const bool blur = framing == Framing::Blur;
    if (!DecodeUprightPhoto(path, height, shown, &photo->picture, &full, error, needed,
                            blur ? &photo->alpha : nullptr))
        return false;
    photo->geometry = GeometryOf(full, framing, width, height);
    photo->backdrop = framing == Framing::Blur
                          ? BlurredBackdrop(photo->picture.get(), width, height)
                          : FramePtr(av_frame_clone(black.get()));
    if (photo->alpha != nullptr) {
        photo->black = FramePtr(av_frame_clone(black.get()));
        photo->clear = ClearFrame(black.get());
    }
    if (photo->backdrop == nullptr || (photo->alpha != nullptr && photo->clear == nullptr)) {
        *error = "Out of memory for the photo " + path;
        return false;
    }
    if (motion.Moves()) return true;
    FramePtr still = NewFrameLike(photo->backdrop.get());
    if (still == nullptr) {
        *error = "Out of memory for the photo " + path;
        return false;
    }
    DrawMovingPhoto(*photo, 0, still.get());
    photo->still = std::move(still);
    photo->picture.reset();
    photo->alpha.reset();
    photo->backdrop.reset();
    photo->black.reset();
    photo->clear.reset();
    return true;
}

void DrawMovingPhoto(const PreparedPhoto& photo, double progress, AVFrame* out, int threads) {
    const FrameRect place = PhotoPlacement(photo.geometry, photo.motion, progress);
    const bool alpha = photo.alpha != nullptr;
    FramePtr cover = alpha ? NewFrameLike(out) : nullptr;
    if (alpha && cover == nullptr) return;
    const PlacedPicture drawing(photo.picture.get(), place, alpha ? photo.black.get() : photo.backdrop.get(), out);
    const std::optional<PlacedPicture> coverDrawing =
        alpha ? std::optional<PlacedPicture>(std::in_place, photo.alpha.get(), place, photo.clear.get(), cover.get())
              : std::nullopt;
    const auto draw = [&](int begin, int end) {
        drawing.DrawRows(begin, end);
        if (!alpha) return;
        coverDrawing->DrawRows(begin, end);
        AddBackdrop(photo.backdrop.get(), cover.get(), begin, end, out);
    };
    const int bands = std::clamp(threads, 1, 8);
    const int bandRows = ((out->height + bands - 1) / bands + 1) & ~1;
    std::vector<std::thread> helpers;
    for (int b = 1; b < bands; ++b) {
        const int begin = std::min(out->height, b * bandRows),
                  end = std::min(out->height, (b + 1) * bandRows);
        if (begin < end) helpers.emplace_back([&draw, begin, end] { draw(begin, end); });
    }
    draw(0, std::min(out->height, bandRows));
    for (std::thread& t : helpers) t.join();
    out->color_range = AVCOL_RANGE_MPEG;
    out->colorspace = AVCOL_SPC_BT470BG;
}
