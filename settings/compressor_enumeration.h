#pragma once
// The installed video and audio compressors as the output settings list them, the stored choice
// (a position in the enumeration, -1 none, -2 not chosen yet) bound back to a compressor filter,
// and the defaults found by name: a DivX-compatible video compressor, Microsoft ADPCM audio.

#include <memory>
#include <string>
#include <vector>

#include "platform/render/filter_graph.h"

class MessageBoxes;
class ProfileStore;

struct CompressorServices {
    MessageBoxes& boxes;
    std::shared_ptr<FaultPlan> faults;  // null in the program
};

inline constexpr const char* kNoVideoCompressor = "Full frames (uncompressed)";
inline constexpr const char* kNoAudioCompressor = "Uncompressed Audio";

// Entry 0 is "no compressor"; entry k + 1 the device at position k.
std::vector<std::string> FillVideoCompressorList(const CompressorServices& s);
std::vector<std::string> FillAudioCompressorList(const CompressorServices& s);
// The device at `position`, or an empty filter for a position with none.
HRESULT GetCompressor(const CompressorServices& s, int position, std::shared_ptr<IBaseFilter>* filter);
HRESULT GetAudioCompressor(const CompressorServices& s, int position, std::shared_ptr<IBaseFilter>* filter);
bool FindDivXCompressor(const CompressorServices& s, int* position);
bool FindAdpcmCompressor(const CompressorServices& s, int* position);
// The position of the device whose friendly name or encoder name is `name` (case-insensitive).
bool FindCompressorByName(const CompressorServices& s, bool video, const std::string& name, int* position);

class CodecConfigurePort;

// Opens the settings of the codec behind the chosen video compressor (`selectedName`: the list's
// text): the codec whose description equals it, or a DivX codec of the same version. The settings
// confirmed there are kept for the process and given to the next codec whose state has the same
// size. Nothing happens for a name no codec has.
void ConfigureVideoCodec(void* owner, const std::string& selectedName, CodecConfigurePort* port);
// The codec state kept by ConfigureVideoCodec (empty at start).
const std::vector<std::uint8_t>& CodecState();

struct HeldCompressor {
    std::shared_ptr<IBaseFilter> filter;
    bool use = true;
};
// A stored Compressor number resolved as at start-up.
void ResolveStoredCompressor(const CompressorServices& s, bool video, int number, HeldCompressor* held);
