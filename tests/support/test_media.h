#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes a 16-bit PCM WAV file of `seconds` of a sine tone at `rate` Hz with `channels`
// channels. With `unknownSize` the header claims the largest size, as a streaming writer does.
void WriteToneWav(const std::string& path, double seconds, int rate = 44100, int channels = 2,
                  bool unknownSize = false);
// Writes a 16-bit PCM WAV file of 44100 Hz stereo from interleaved floats of -1 to 1.
void WriteStereoWav(const std::string& path, const std::vector<float>& interleaved);
