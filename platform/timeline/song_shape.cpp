#include "platform/timeline/song_shape.h"

#include <cmath>

namespace {

double Seconds(REFERENCE_TIME t) { return static_cast<double>(t) / kUnitsPerSecond; }
REFERENCE_TIME Units(double seconds) { return std::llround(seconds * kUnitsPerSecond); }

}  // namespace

std::vector<std::pair<const char*, double>> SongProperties(const SongShape& shape) {
    std::vector<std::pair<const char*, double>> properties;
    if (shape.gainDb != 0) properties.emplace_back(kSongGainProperty, shape.gainDb);
    if (shape.fadeIn > 0) properties.emplace_back(kSongFadeInProperty, Seconds(shape.fadeIn));
    if (shape.joinIn > 0) properties.emplace_back(kSongJoinInProperty, Seconds(shape.joinIn));
    if (shape.joinOut > 0) properties.emplace_back(kSongJoinOutProperty, Seconds(shape.joinOut));
    return properties;
}

bool ReadSongProperty(const std::string& name, double value, SongShape* shape) {
    if (!std::isfinite(value)) return false;
    if (name == kSongGainProperty) shape->gainDb = value;
    else if (name == kSongFadeInProperty) shape->fadeIn = Units(value);
    else if (name == kSongJoinInProperty) shape->joinIn = Units(value);
    else if (name == kSongJoinOutProperty) shape->joinOut = Units(value);
    else return false;
    return true;
}
