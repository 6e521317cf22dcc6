#pragma once
// The compressors a container takes by itself, and a held pair fitted to the container before a
// conversion is set up: a compressor whose output the container cannot hold gives way to the
// container's own of its kind, so that a stored or overridden choice never fails while writing.
//
// Runs on the thread that owns the held compressors.

#include <optional>
#include <string>

#include "engine/render_to_file.h"

// The multiplexer a format's file is written with when it takes compressors; null for the formats
// the ASF writer encodes by itself (WMV, ASF) and for those with no writer.
const GUID* MultiplexerOf(int format);

// The compressor `format` takes when none is chosen, by name; empty for the DivX-compatible video
// and Microsoft ADPCM audio defaults.
std::string FormatDefaultCompressor(bool video, int format);

// Whether the container of `format` holds what `held` makes (WMV and ASF always: the ASF writer
// encodes by itself).
bool ContainerHoldsCompressor(int format, const HeldCompressor& held, bool video);

struct CompressorSwap {
    std::string givenVideo, givenAudio;  // the pair held before, by name
    std::string takenVideo, takenAudio;  // the pair held now
    int videoPosition = -1, audioPosition = -1;  // the Compressor numbers of a default taken; -1 none
};

// When the container of `format` cannot hold what the held pair makes, binds the format's default
// pair in its place (a compressor the user named, `keepVideo` or `keepAudio`, stays). Nothing when
// the pair fits or a default is not installed here.
std::optional<CompressorSwap> FitCompressorsToContainer(const CompressorServices& s, int format,
                                                        HeldCompressors* held, bool keepVideo = false,
                                                        bool keepAudio = false);
// A container's name as users know it: "AVI", "MP4", ...
std::string ContainerName(int format);
