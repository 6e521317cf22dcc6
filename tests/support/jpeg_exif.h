#pragma once

#include <string>

// The JPEG with an EXIF block saying how it is to be turned (orientation 1 to 8).
std::string WithExifOrientation(const std::string& jpeg, int orientation);
