#pragma once
// The threshold maps of the mask-shaped transitions: m(x, y) in [0, 1], and a pixel shows the
// incoming picture B where m < p. Positions are sample centres in the frame's pixel units, so a
// chroma sample of 4:2:0 is evaluated at its own place.

#include <string>

struct MapPoint {
    double x, y;  // sample centre, in pixels of the full-size plane (a pixel's centre is i + 0.5)
    double width, height;
};

enum class MapNorm {
    Direct,     // the function gives m itself
    ByMaximum,  // the function gives a gauge g; m = g / (max of g over the frame's pixel centres)
};

struct MapShape {
    double (*fn)(const MapPoint&, const double* params) = nullptr;
    MapNorm norm = MapNorm::Direct;
};

// Shapes by name: "Iris", "RadialWipe", "ZigZag", "Spiral", "Wheel", "Strips", "Inset",
// "Blinds", "CheckerBoard", and "smpte:<code>" for the SMPTE wipes. Unknown names give no fn.
MapShape FindMapShape(const std::string& name);
