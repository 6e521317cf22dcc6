#include "platform/render/compose/prepared_clip.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/render/compose/blurred_backdrop.h"
#include "platform/render/compose/video_colour.h"
#include "platform/render/compose/video_compositor.h"
#include "platform/render/decode/photo_decoder.h"

namespace {

// `rgb` in the studio-range YUV of frames `frameHeight` lines high.
void YuvOf(std::uint32_t rgb, int frameHeight, std::uint8_t yuv[3]) {
    const bool hd = VideoColourFor(frameHeight).matrix == AVCOL_SPC_BT709;
    const double kr = hd ? 0.2126 : 0.299, kb = hd ? 0.0722 : 0.114, kg = 1 - kr - kb;
    const double r = (rgb >> 16 & 0xFF) / 255.0, g = (rgb >> 8 & 0xFF) / 255.0, b = (rgb & 0xFF) / 255.0;
    const double y = kr * r + kg * g + kb * b;
    yuv[0] = static_cast<std::uint8_t>(std::lround(16 + 219 * y));
    yuv[1] = static_cast<std::uint8_t>(std::lround(128 + 224 * (b - y) / (2 * (1 - kb))));
    yuv[2] = static_cast<std::uint8_t>(std::lround(128 + 224 * (r - y) / (2 * (1 - kr))));
}

FramePtr SolidFrame(int width, int height, std::uint32_t rgb) {
    FramePtr f = BlackFrame(width, height);
    if (f == nullptr || f->data[0] == nullptr) return nullptr;
    std::uint8_t yuv[3];
    YuvOf(rgb, height, yuv);
    for (int p = 0; p < 3; ++p) {
        const int shift = p == 0 ? 0 : 1;
        for (int y = 0; y < (height + shift) >> shift; ++y)
            std::memset(f->data[p] + static_cast<std::ptrdiff_t>(y) * f->linesize[p], yuv[p],
                        static_cast<std::size_t>((width + shift) >> shift));
    }
    return f;
}

// The card's picture behind its text, at the frame's size.
FramePtr CardBackground(const VideoClip& clip, Framing framing, int width, int height, const FramePtr& black,
                        std::string* error) {
    const TitleCard& card = *clip.title;
    if (card.background == TitleBackground::Colour || clip.path.empty())
        return SolidFrame(width, height, card.backgroundColour);
    PreparedPhoto photo;
    if (card.background == TitleBackground::OverPhoto) {
        if (!PreparePhoto(clip.path, PhotoMotion(), framing, width, height, black, &photo, error)) return nullptr;
        return std::move(photo.still);
    }
    FramePtr picture;
    PhotoSize full;
    const auto small = [](PhotoSize size) {  // blurred far beyond recognition: a small copy will do
        const double scale = std::min(1.0, 256.0 / std::max(size.width, size.height));
        return PhotoSize{std::max(2, static_cast<int>(size.width * scale)), std::max(2, static_cast<int>(size.height * scale))};
    };
    if (!DecodeUprightPhoto(clip.path, height, small, &picture, &full, error)) return nullptr;
    return BlurredBackdrop(picture.get(), width, height);
}

// A moving card is drawn larger than the frame, by what its move enlarges it and a quarter more, as
// a photo is decoded (prepared_photo.cpp), so its text stays sharp; never so large that its
// colours would take another matrix than the video's.
void CardSize(const VideoClip& clip, int width, int height, int* cardWidth, int* cardHeight) {
    *cardWidth = width;
    *cardHeight = height;
    if (!clip.motion.Moves()) return;
    const PhotoGeometry frame{static_cast<double>(width), static_cast<double>(height), width, height, Framing::Fit};
    double scale = std::min(2.0, LargestPlacement(frame, clip.motion).w / width * 1.25);
    if (height < kHdLines) scale = std::min(scale, (kHdLines - 2.0) / height);
    *cardWidth = std::max(width, static_cast<int>(width * scale) & ~1);
    *cardHeight = std::max(height, static_cast<int>(height * scale) & ~1);
}

// A title card becomes a photo of the frame's shape: its picture is the card.
bool PrepareTitle(const VideoClip& clip, Framing framing, int width, int height, const FramePtr& black,
                  PreparedPhoto* photo, std::string* error) {
    int cardWidth = 0, cardHeight = 0;
    CardSize(clip, width, height, &cardWidth, &cardHeight);
    const FramePtr cardBlack = BlackFrame(cardWidth, cardHeight);
    FramePtr card = CardBackground(clip, framing, cardWidth, cardHeight, cardBlack, error);
    if (card == nullptr) {
        if (error->empty()) *error = "Out of memory for a title card";
        return false;
    }
    TextOverlay text;
    if (!DrawTitleText(*clip.title, cardWidth, cardHeight, &text, error, height)) return false;
    BlendOverlay(text, card.get());
    *photo = PreparedPhoto();
    photo->motion = clip.motion;
    if (!clip.motion.Moves()) {
        photo->still = std::move(card);
        return true;
    }
    photo->geometry = {static_cast<double>(cardWidth), static_cast<double>(cardHeight), width, height, Framing::Fit};
    photo->picture = std::move(card);
    photo->backdrop = FramePtr(av_frame_clone(black.get()));
    return photo->backdrop != nullptr;
}

// The caption drawn into a moving photo's picture where the picture lies at the start of its move,
// so that it travels with the photo.
void BurnIntoPicture(const Caption& caption, const CaptionStyle& style, PreparedPhoto* photo, std::string* error) {
    const FrameRect place = PhotoPlacement(photo->geometry, photo->motion, 0);
    const double scale = photo->picture->width / place.w;
    const int viewWidth = static_cast<int>(std::lround(photo->geometry.frameWidth * scale)) & ~1;
    const int viewHeight = static_cast<int>(std::lround(photo->geometry.frameHeight * scale)) & ~1;
    TextOverlay text;
    if (!DrawCaption(caption, style, std::max(viewWidth, 16), std::max(viewHeight, 16), &text, error,
                     photo->geometry.frameHeight))
        return;
    text.left += static_cast<int>(std::lround(-place.x * scale / 2)) * 2;
    text.top += static_cast<int>(std::lround(-place.y * scale / 2)) * 2;
    BlendOverlay(text, photo->picture.get());
}

bool AddCaption(const VideoClip& clip, const CaptionStyle& style, int width, int height, PreparedPhoto* photo,
                std::string* error) {
    if (clip.caption.text.empty() || style.output == CaptionOutput::Subtitles) return true;
    if (photo->Moves() && style.movesWithPhoto) {
        BurnIntoPicture(clip.caption, style, photo, error);
        return true;
    }
    auto text = std::make_shared<TextOverlay>();
    if (!DrawCaption(clip.caption, style, width, height, text.get(), error)) return false;
    if (photo->Moves()) {
        photo->caption = std::move(text);
    } else {
        BlendOverlay(*text, photo->still.get());
    }
    return true;
}

}  // namespace

bool PrepareClip(const VideoClip& clip, const ShowPlan& plan, int width, int height, const FramePtr& black,
                 PreparedPhoto* photo, std::string* error) {
    const bool ok = clip.title ? PrepareTitle(clip, plan.framing, width, height, black, photo, error)
                               : PreparePhoto(clip.path, clip.motion, plan.framing, width, height, black, photo, error);
    return ok && AddCaption(clip, plan.captionStyle, width, height, photo, error);
}

void DrawMovingClip(const PreparedPhoto& photo, double progress, AVFrame* out, int threads) {
    DrawMovingPhoto(photo, progress, out, threads);
    if (photo.caption != nullptr) BlendOverlay(*photo.caption, out);
}
