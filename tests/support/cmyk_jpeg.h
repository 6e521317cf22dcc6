#pragma once

#include <string>

// A CMYK JPEG of w × h (Adobe's inverted convention, as image editors write them): no ink in the
// left half, full black ink in the right half.
bool WriteCmykJpeg(const std::string& path, int w, int h);
