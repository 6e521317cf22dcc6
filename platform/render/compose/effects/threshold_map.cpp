#include "platform/render/compose/effects/threshold_map.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <list>
#include <map>
#include <mutex>
#include <sstream>

namespace {

std::uint16_t Quantise(double m) {
    if (!(m > 0)) return m == 0 ? 0 : 65535;  // NaN as "never"
    if (m >= 1) return 65535;
    return static_cast<std::uint16_t>(std::min(65535.0, std::floor(m * 65536)));
}

// The gauge's maximum over the frame's pixel centres, kept per shape and frame size so that the
// subsampled planes do not scan the frame again.
class GaugeMaxima {
public:
    bool Find(const std::string& key, double* gmax) {
        std::lock_guard<std::mutex> lock(mutex_);
        auto it = maxima_.find(key);
        if (it == maxima_.end()) return false;
        *gmax = it->second;
        return true;
    }
    void Keep(const std::string& key, double gmax) {
        std::lock_guard<std::mutex> lock(mutex_);
        if (maxima_.size() > 256) maxima_.clear();
        maxima_[key] = gmax;
    }

private:
    std::mutex mutex_;
    std::map<std::string, double> maxima_;
};

GaugeMaxima& Maxima() {
    static GaugeMaxima maxima;
    return maxima;
}

std::shared_ptr<ThresholdMap> Build(const MapShape& shape, const std::vector<double>& params,
                                    const std::string& frameKey, int frameWidth, int frameHeight,
                                    const PlaneView& plane) {
    auto map = std::make_shared<ThresholdMap>();
    map->width = plane.width;
    map->height = plane.height;
    const std::size_t count = static_cast<std::size_t>(plane.width) * plane.height;
    map->values.resize(count);
    const double* k = params.data();
    const double sx = 1 << plane.shiftX, sy = 1 << plane.shiftY;
    auto value = [&](int i, int j) {
        return shape.fn({(i + 0.5) * sx, (j + 0.5) * sy, double(frameWidth), double(frameHeight)}, k);
    };
    double scale = 1;
    if (shape.norm == MapNorm::ByMaximum) {
        double gmax = 0;
        bool fullSize = plane.shiftX == 0 && plane.shiftY == 0;
        if (fullSize || !Maxima().Find(frameKey, &gmax)) {
            // The full-size plane's samples are the frame's pixel centres: one pass gives both.
            std::vector<float> g(fullSize ? count : 0);
            gmax = 0;
            for (int j = 0; j < frameHeight; ++j) {
                for (int i = 0; i < frameWidth; ++i) {
                    double v = shape.fn({i + 0.5, j + 0.5, double(frameWidth), double(frameHeight)}, k);
                    gmax = std::max(gmax, v);
                    if (fullSize) g[static_cast<std::size_t>(j) * frameWidth + i] = static_cast<float>(v);
                }
            }
            if (gmax <= 0) gmax = 1;
            Maxima().Keep(frameKey, gmax);
            if (fullSize) {
                for (std::size_t n = 0; n < count; ++n) map->values[n] = Quantise(g[n] / gmax);
                return map;
            }
        }
        scale = 1 / gmax;
    }
    std::uint16_t* out = map->values.data();
    for (int j = 0; j < plane.height; ++j) {
        for (int i = 0; i < plane.width; ++i) *out++ = Quantise(value(i, j) * scale);
    }
    return map;
}

// Least recently used first; entries still held by an effect cost nothing to keep.
class MapCache {
public:
    std::shared_ptr<const ThresholdMap> Get(const std::string& key,
                                            const std::function<std::shared_ptr<ThresholdMap>()>& make) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            for (auto it = entries_.begin(); it != entries_.end(); ++it) {
                if (it->key == key) {
                    entries_.splice(entries_.end(), entries_, it);
                    return it->map;
                }
            }
        }
        std::shared_ptr<const ThresholdMap> map = make();  // outside the lock: it takes a while
        std::lock_guard<std::mutex> lock(mutex_);
        entries_.push_back({key, map});
        Trim();
        return map;
    }

private:
    struct Entry {
        std::string key;
        std::shared_ptr<const ThresholdMap> map;
    };

    void Trim() {
        std::size_t bytes = 0;
        for (const Entry& e : entries_) bytes += e.map->values.size() * sizeof(std::uint16_t);
        for (auto it = entries_.begin(); bytes > kThresholdCacheBytes && it != entries_.end();) {
            if (it->map.use_count() == 1) {
                bytes -= it->map->values.size() * sizeof(std::uint16_t);
                it = entries_.erase(it);
            } else {
                ++it;
            }
        }
    }

    std::mutex mutex_;
    std::list<Entry> entries_;
};

MapCache& Cache() {
    static MapCache cache;
    return cache;
}

}  // namespace

std::uint16_t ThresholdFor(double p) {
    if (!(p > 0)) return 0;
    return static_cast<std::uint16_t>(std::min(65535.0, std::floor(p * 65536)));
}

std::shared_ptr<const ThresholdMap> GetThresholdMap(const std::string& shapeName,
                                                    const MapShape& shape,
                                                    const std::vector<double>& params,
                                                    int frameWidth, int frameHeight,
                                                    const PlaneView& plane) {
    std::ostringstream frame;
    frame << shapeName;
    for (double v : params) frame << ',' << v;
    frame << '@' << frameWidth << 'x' << frameHeight;
    std::ostringstream key;
    key << frame.str() << '/' << plane.width << 'x' << plane.height << '/' << plane.shiftX
        << plane.shiftY;
    return Cache().Get(key.str(), [&] {
        return Build(shape, params, frame.str(), frameWidth, frameHeight, plane);
    });
}
