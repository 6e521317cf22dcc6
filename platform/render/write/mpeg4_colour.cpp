#include "platform/render/write/mpeg4_colour.h"

#include <cstring>

#include "platform/media/ffmpeg_handles.h"

namespace {

constexpr std::uint8_t kVisualObjectStart = 0xB5;
constexpr std::uint8_t kPictureStart = 0xB6;  // the headers lie before the first picture
constexpr unsigned kVideoObjectType = 1, kStillTextureType = 2;
constexpr unsigned kUnspecifiedVideoFormat = 5;

class BitReader {
  public:
    BitReader(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size) {}
    bool Read(int count, unsigned* value) {
        *value = 0;
        for (int i = 0; i < count; ++i, ++bit_) {
            if (bit_ / 8 >= size_) return false;
            *value = (*value << 1) | ((bytes_[bit_ / 8] >> (7 - bit_ % 8)) & 1u);
        }
        return true;
    }
    std::size_t bit() const { return bit_; }

  private:
    const std::uint8_t* bytes_;
    std::size_t size_;
    std::size_t bit_ = 0;
};

class BitWriter {
  public:
    void Write(int count, unsigned value) {
        for (int i = count - 1; i >= 0; --i) {
            if (bit_ % 8 == 0) bytes_.push_back(0);
            bytes_.back() |= static_cast<std::uint8_t>(((value >> i) & 1u) << (7 - bit_ % 8));
            ++bit_;
        }
    }
    // next_start_code(): a zero bit, then ones up to the byte's end.
    void Stuff() {
        Write(1, 0);
        while (bit_ % 8 != 0) Write(1, 1);
    }
    std::vector<std::uint8_t>& bytes() { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
    std::size_t bit_ = 0;
};

std::size_t FindVisualObject(const std::uint8_t* b, std::size_t size) {
    for (std::size_t i = 0; i + 4 <= size; ++i) {
        if (b[i] != 0 || b[i + 1] != 0 || b[i + 2] != 1) continue;
        if (b[i + 3] == kVisualObjectStart) return i + 4;
        if (b[i + 3] == kPictureStart) break;
    }
    return size;
}

// The header's fields up to the video signal type, written again with one that describes `colour`;
// *restAt is where the original continues after its byte-aligning stuffing.
bool RewriteHeader(const std::uint8_t* body, std::size_t size, const VideoColour& colour,
                   BitWriter* w, std::size_t* restAt) {
    BitReader r(body, size);
    unsigned identified = 0, idAndPriority = 0, type = 0, signalType = 0;
    if (!r.Read(1, &identified) || (identified && !r.Read(7, &idAndPriority)) || !r.Read(4, &type))
        return false;
    if ((type != kVideoObjectType && type != kStillTextureType) || !r.Read(1, &signalType) ||
        signalType)
        return false;
    w->Write(1, identified);
    if (identified) w->Write(7, idAndPriority);
    w->Write(4, type);
    w->Write(1, 1);
    w->Write(3, kUnspecifiedVideoFormat);
    w->Write(1, colour.range == AVCOL_RANGE_JPEG ? 1 : 0);
    w->Write(1, 1);  // colour description follows
    w->Write(8, static_cast<unsigned>(colour.primaries));
    w->Write(8, static_cast<unsigned>(colour.transfer));
    w->Write(8, static_cast<unsigned>(colour.matrix));
    w->Stuff();
    *restAt = r.bit() / 8 + 1;
    return *restAt <= size;
}

}  // namespace

bool AddMpeg4ColourDescription(const std::uint8_t* bytes, std::size_t size,
                               const VideoColour& colour, std::vector<std::uint8_t>* out) {
    const std::size_t body = FindVisualObject(bytes, size);
    if (body >= size) return false;
    BitWriter header;
    std::size_t restAt = 0;
    if (!RewriteHeader(bytes + body, size - body, colour, &header, &restAt)) return false;
    out->assign(bytes, bytes + body);
    out->insert(out->end(), header.bytes().begin(), header.bytes().end());
    out->insert(out->end(), bytes + body + restAt, bytes + size);
    return true;
}

bool AddMpeg4ColourDescription(AVCodecContext* encoder, const VideoColour& colour) {
    std::vector<std::uint8_t> tagged;
    if (encoder->extradata == nullptr ||
        !AddMpeg4ColourDescription(encoder->extradata,
                                   static_cast<std::size_t>(encoder->extradata_size), colour,
                                   &tagged)) {
        return false;
    }
    auto* data =
        static_cast<std::uint8_t*>(av_mallocz(tagged.size() + AV_INPUT_BUFFER_PADDING_SIZE));
    if (data == nullptr) return false;
    std::memcpy(data, tagged.data(), tagged.size());
    av_free(encoder->extradata);
    encoder->extradata = data;
    encoder->extradata_size = static_cast<int>(tagged.size());
    return true;
}

bool AddMpeg4ColourDescription(AVPacket* packet, const VideoColour& colour) {
    std::vector<std::uint8_t> tagged;
    if (!AddMpeg4ColourDescription(packet->data, static_cast<std::size_t>(packet->size), colour,
                                   &tagged)) {
        return false;
    }
    PacketPtr copy(av_packet_alloc());
    if (copy == nullptr || av_new_packet(copy.get(), static_cast<int>(tagged.size())) < 0)
        return false;
    std::memcpy(copy->data, tagged.data(), tagged.size());
    av_packet_copy_props(copy.get(), packet);
    av_packet_unref(packet);
    av_packet_move_ref(packet, copy.get());
    return true;
}
