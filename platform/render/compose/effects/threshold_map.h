#pragma once
// A threshold map of one plane, quantised to 16 bits: a sample shows B at progress p when its
// value is below ThresholdFor(p). Maps are built once per (shape, parameters, frame size, plane)
// and shared through a cache of bounded size; building is thread-safe.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/render/compose/effects/effect_maps.h"
#include "platform/render/compose/effects/planar_frame.h"

struct ThresholdMap {
    int width = 0, height = 0;
    std::vector<std::uint16_t> values;  // row-major, width × height
};

// floor(p · 65536), for 0 < p < 1.
std::uint16_t ThresholdFor(double p);

// The map of `plane` of a frame of frameWidth × frameHeight; `params` feed the shape.
std::shared_ptr<const ThresholdMap> GetThresholdMap(const std::string& shapeName,
                                                    const MapShape& shape,
                                                    const std::vector<double>& params,
                                                    int frameWidth, int frameHeight,
                                                    const PlaneView& plane);

// Bytes the cache may keep of maps nobody holds any more.
inline constexpr std::size_t kThresholdCacheBytes = 32u << 20;
