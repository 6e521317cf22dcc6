#include "engine/container_compressors.h"

#include "engine/output_format.h"

const GUID* MultiplexerOf(int format) {
    switch (format) {
        case kFormatAvi: return &MEDIASUBTYPE_Avi;
        case kFormatMkv: return &CLSID_MatroskaMuxer;
        case kFormatMp4: return &CLSID_Mp4Muxer;
        case kFormatOgm: return &CLSID_OggMuxer;
        default: return nullptr;
    }
}

namespace {

std::string NameOf(const HeldCompressor& held, bool video) {
    if (held.use && held.filter) return CompressorFriendlyName(held.filter);
    return video ? kNoVideoCompressor : kNoAudioCompressor;
}

// The format's default compressor of one kind, bound, and its Compressor number; false when it is
// not installed.
bool BindDefault(const CompressorServices& s, bool video, int format, HeldCompressor* bound, int* position) {
    const std::string name = FormatDefaultCompressor(video, format);
    const bool found = name.empty()
                           ? (video ? FindDivXCompressor(s, position) : FindAdpcmCompressor(s, position))
                           : FindCompressorByName(s, video, name, position);
    if (!found || FAILED((video ? GetCompressor : GetAudioCompressor)(s, *position, &bound->filter))) return false;
    bound->use = true;
    return true;
}

}  // namespace

std::string FormatDefaultCompressor(bool video, int format) {
    switch (format) {
        case kFormatMp4: return video ? "libx264" : "aac";
        case kFormatOgm: return video ? "libtheora" : "libvorbis";
        default: return {};
    }
}

bool ContainerHoldsCompressor(int format, const HeldCompressor& held, bool video) {
    const GUID* muxer = MultiplexerOf(format);
    return muxer == nullptr || MultiplexerHolds(*muxer, held.use ? held.filter : nullptr, video);
}

std::optional<CompressorSwap> FitCompressorsToContainer(const CompressorServices& s, int format,
                                                        HeldCompressors* held, bool keepVideo, bool keepAudio) {
    if (ContainerHoldsCompressor(format, held->video, true) && ContainerHoldsCompressor(format, held->audio, false))
        return std::nullopt;
    CompressorSwap swap;
    swap.givenVideo = NameOf(held->video, true);
    swap.givenAudio = NameOf(held->audio, false);
    HeldCompressors taken = *held;
    if (!keepVideo && !BindDefault(s, true, format, &taken.video, &swap.videoPosition)) return std::nullopt;
    if (!keepAudio && !BindDefault(s, false, format, &taken.audio, &swap.audioPosition)) return std::nullopt;
    *held = taken;
    swap.takenVideo = NameOf(held->video, true);
    swap.takenAudio = NameOf(held->audio, false);
    return swap;
}

std::string ContainerName(int format) {
    static const char* const kNames[] = {"AVI", "WMV", "MKV", "ASF", "MP4", "DSM", "OGM"};
    return format >= 0 && format < 7 ? kNames[format] : "?";
}
