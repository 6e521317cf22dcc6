#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/support/test_media.h"

std::string TempDir::Write(const std::string& name, const std::string& bytes) const {
    std::string file = File(name);
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
}

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

namespace {

void Put32(std::ofstream& out, std::uint32_t v) {
    char b[4] = {char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    out.write(b, 4);
}

void Put16(std::ofstream& out, std::uint16_t v) {
    char b[2] = {char(v), char(v >> 8)};
    out.write(b, 2);
}

void PutWavHeader(std::ofstream& out, std::uint32_t frames, int rate, int channels, bool unknownSize) {
    const std::uint32_t dataBytes = frames * channels * 2;
    out.write("RIFF", 4);
    Put32(out, unknownSize ? 0xFFFFFFFFu : 36 + dataBytes);
    out.write("WAVEfmt ", 8);
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, static_cast<std::uint16_t>(channels));
    Put32(out, static_cast<std::uint32_t>(rate));
    Put32(out, static_cast<std::uint32_t>(rate * channels * 2));
    Put16(out, static_cast<std::uint16_t>(channels * 2));
    Put16(out, 16);
    out.write("data", 4);
    Put32(out, unknownSize ? 0xFFFFFFFFu : dataBytes);
}

}  // namespace

void WriteToneWav(const std::string& path, double seconds, int rate, int channels,
                  bool unknownSize) {
    const std::uint32_t frames = static_cast<std::uint32_t>(std::llround(seconds * rate));
    std::ofstream out(path, std::ios::binary);
    PutWavHeader(out, frames, rate, channels, unknownSize);
    std::vector<std::int16_t> samples(static_cast<std::size_t>(frames) * channels);
    for (std::uint32_t i = 0; i < frames; ++i) {
        auto s = static_cast<std::int16_t>(8000 * std::sin(2 * M_PI * 440.0 * i / rate));
        for (int c = 0; c < channels; ++c) samples[i * channels + c] = s;
    }
    out.write(reinterpret_cast<const char*>(samples.data()),
              static_cast<std::streamsize>(samples.size() * 2));
}

void WriteStereoWav(const std::string& path, const std::vector<float>& interleaved) {
    std::ofstream out(path, std::ios::binary);
    PutWavHeader(out, static_cast<std::uint32_t>(interleaved.size() / 2), 44100, 2, false);
    std::vector<std::int16_t> samples;
    for (float v : interleaved) samples.push_back(static_cast<std::int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767)));
    out.write(reinterpret_cast<const char*>(samples.data()),
              static_cast<std::streamsize>(samples.size() * 2));
}
