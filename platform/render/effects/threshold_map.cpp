#include "platform/render/effects/threshold_map.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <list>
#include <mutex>
#include <sstream>

namespace {

std::uint16_t Quantise(double m) {
    if (!(m > 0)) return m == 0 ? 0 : 65535;  // NaN as "never"
    if (m >= 1) return 65535;
    return static_cast<std::uint16_t>(std::min(65535.0, std::floor(m * 65536)));
}

double GaugeMaximum(const MapShape& shape, const double* params, int w, int h) {
    double gmax = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            gmax = std::max(gmax, shape.fn({x + 0.5, y + 0.5, double(w), double(h)}, params));
        }
    }
    return gmax > 0 ? gmax : 1;
}

std::shared_ptr<ThresholdMap> Build(const MapShape& shape, const std::vector<double>& params,
                                    int frameWidth, int frameHeight, const PlaneView& plane) {
    auto map = std::make_shared<ThresholdMap>();
    map->width = plane.width;
    map->height = plane.height;
    map->values.resize(static_cast<std::size_t>(plane.width) * plane.height);
    const double* k = params.data();
    double scale = 1;
    if (shape.norm == MapNorm::ByMaximum) {
        scale = 1 / GaugeMaximum(shape, k, frameWidth, frameHeight);
    }
    const double sx = 1 << plane.shiftX, sy = 1 << plane.shiftY;
    std::uint16_t* out = map->values.data();
    for (int j = 0; j < plane.height; ++j) {
        for (int i = 0; i < plane.width; ++i) {
            MapPoint p{(i + 0.5) * sx, (j + 0.5) * sy, double(frameWidth), double(frameHeight)};
            *out++ = Quantise(shape.fn(p, k) * scale);
        }
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
    std::ostringstream key;
    key << shapeName;
    for (double v : params) key << ',' << v;
    key << '@' << frameWidth << 'x' << frameHeight << '/' << plane.width << 'x' << plane.height
        << '/' << plane.shiftX << plane.shiftY;
    return Cache().Get(key.str(), [&] { return Build(shape, params, frameWidth, frameHeight, plane); });
}
