#include "app/show_output.h"

#include "app/settings_table.h"

std::string CompressorNameInUse(const CompressorServices& s, bool video, int storedNumber,
                                bool use) {
    int position = storedNumber;
    if (use && storedNumber == -2 &&
        !(video ? FindDivXCompressor(s, &position) : FindAdpcmCompressor(s, &position))) {
        use = false;
    }
    if (!use || position < 0) return kNoCompressorName;
    const std::vector<std::string> names =
        video ? FillVideoCompressorList(s) : FillAudioCompressorList(s);
    const auto entry = static_cast<std::size_t>(position) + 1;  // entry 0 is "no compressor"
    return entry < names.size() ? names[entry] : kNoCompressorName;
}

std::optional<int> CompressorNumberOfName(const CompressorServices& s, bool video,
                                          const std::string& name) {
    if (name.empty()) return -2;
    if (name == kNoCompressorName) return -1;
    int position = -1;
    if (!FindCompressorByName(s, video, name, &position)) return std::nullopt;
    return position;
}

void StoreOutputSettings(ProfileStore& store, const CompressorServices& s, int videoNumber,
                         int audioNumber, OutputSettings* out, HeldCompressors* held) {
    WriteText(store, settings::kOutputName, out->path);
    WriteInt(store, settings::kOutputWidth, out->width);
    WriteInt(store, settings::kOutputHeight, out->height);
    WriteInt(store, settings::kVideoCompressor, videoNumber);
    WriteInt(store, settings::kAudioCompressor, audioNumber);
    // As at start-up: the default compressor, when one is found, is used.
    held->video.use = held->audio.use = true;
    ResolveStoredCompressor(s, true, videoNumber, &held->video);
    ResolveStoredCompressor(s, false, audioNumber, &held->audio);
    out->useVideoCompressor = held->video.use ? 1 : 0;
    out->useAudioCompressor = held->audio.use ? 1 : 0;
    WriteInt(store, settings::kVideoBitrate, out->videoBitrate);
    WriteInt(store, settings::kAudioBitrate, out->audioBitrate);
    WriteInt(store, settings::kOutputFormat, out->format);
}
