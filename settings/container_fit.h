#pragma once
// Whether a file of an output format can hold what the chosen compressors make, asked before a
// conversion is set up, so that no unwritable pair is ever confirmed.

#include <string>

#include "settings/compressor_enumeration.h"

// Empty when it can; otherwise a sentence naming the container and the compressor. A compressor
// number is a list choice: -1 no compressor, n the n-th device. Formats written by the ASF writer
// take no compressor and always fit.
std::string ContainerMisfit(const CompressorServices& s, int format, int videoNumber, int audioNumber);

// The compressors a format of ours is written with unless the user chose a pair that fits it, by
// encoder name: H.264 and AAC for MP4, Theora and Vorbis for OGM. Null names for the formats whose
// default is the DivX and ADPCM pair.
struct DefaultCompressorNames {
    const char* video = nullptr;
    const char* audio = nullptr;
};
DefaultCompressorNames DefaultCompressorsOf(int format);
