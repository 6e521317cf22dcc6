#include "settings/container_fit.h"

#include "engine/container_compressors.h"
#include "engine/output_format.h"

namespace {

std::string Misfit(const CompressorServices& s, int format, const GUID& muxer, int number, bool video) {
    std::shared_ptr<IBaseFilter> filter;
    std::string name = video ? kNoVideoCompressor : kNoAudioCompressor;
    if (number >= 0) {
        (video ? GetCompressor : GetAudioCompressor)(s, number, &filter);
        if (!filter) return {};  // no such device any more: nothing to judge
        std::vector<std::string> list = video ? FillVideoCompressorList(s) : FillAudioCompressorList(s);
        if (static_cast<std::size_t>(number + 1) < list.size()) name = list[static_cast<std::size_t>(number + 1)];
    }
    if (MultiplexerHolds(muxer, filter, video)) return {};
    return std::string("An ") + ContainerName(format) + " file cannot hold the " + (video ? "video" : "audio") +
           " of " + name + ": choose another " + (video ? "video" : "audio") + " compressor.";
}

}  // namespace

std::string ContainerMisfit(const CompressorServices& s, int format, int videoNumber, int audioNumber) {
    const GUID* muxer = MultiplexerOf(format);
    if (muxer == nullptr) return {};
    if (videoNumber >= -1) {
        if (std::string why = Misfit(s, format, *muxer, videoNumber, true); !why.empty()) return why;
    }
    if (audioNumber >= -1) return Misfit(s, format, *muxer, audioNumber, false);
    return {};
}

