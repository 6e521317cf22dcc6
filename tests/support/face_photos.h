#pragma once
// Real photos with faces from Debian packages: matplotlib's portrait of Grace Hopper (public
// domain), and dlib's examples (public domain), among them PASCAL VOC photos with the faces dlib
// lists for them; and photos made from them.

#include <string>

#include "tests/support/temp_dir.h"

inline const std::string kHopper = "/usr/share/matplotlib/mpl-data/sample_data/grace_hopper.jpg";
inline const std::string kDlibExamples = "/usr/share/doc/libdlib19.1/examples/";

// The portrait (512 × 600) cut 100 pixels short on its right and set at the right edge of a wide
// grey photo of 1600 × 600, written as `name` in `dir`; `turned`: stored turned a quarter left
// with EXIF orientation 6, as a camera held upright stores it.
std::string HopperAtTheRightEdge(const TempDir& dir, const std::string& name, bool turned);
