#pragma once
// Whether a file of an output format can hold what the chosen compressors make, asked before a
// conversion is set up, so that no unwritable pair is ever confirmed.

#include <string>

#include "settings/compressor_enumeration.h"

// Empty when it can; otherwise a sentence naming the container and the compressor. A compressor
// number is a list choice: -1 no compressor, n the n-th device. Formats written by the ASF writer
// take no compressor and always fit.
std::string ContainerMisfit(const CompressorServices& s, int format, int videoNumber, int audioNumber);
