#pragma once
// Reads a written video file back with FFmpeg, for checking what it holds.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct VideoReadBack {
    int frames = 0;
    int width = 0, height = 0;
    int decodeErrors = 0;
    std::string videoCodec, audioCodec;
    double videoSeconds = 0, audioSeconds = 0;
    std::vector<std::vector<std::uint8_t>> lumaOfFrames;  // the luma of the frames asked for
    std::vector<float> audioMono;                         // at 44100 Hz
};

// Decodes the whole file; keeps the luma planes of frames `keep` (by index).
VideoReadBack ReadVideoFile(const std::string& path, const std::vector<int>& keep);
double PsnrOfLuma(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b);
// Root mean square of the mono sound over [from, to) seconds.
double Rms(const std::vector<float>& mono, double from, double to);
// Whether the sound falls to silence over its last moments, rather than stopping at full level
// (a click); what the encoder padded after it is passed over.
bool EndsInAFade(const std::vector<float>& mono);

// A photo file of w × h: a colour gradient seeded by `salt`, encoded by the named FFmpeg image
// encoder ("mjpeg", "png", "bmp"), the container guessed from the name.
std::string WritePhoto(const std::string& path, int w, int h, int salt, const std::string& codec);
// A photo file of w × h whose pixel (x, y) has the colour `pixel` gives (R, G, B).
std::string WritePixelPhoto(const std::string& path, int w, int h, const std::string& codec,
                            const std::function<std::array<std::uint8_t, 3>(int x, int y)>& pixel);
