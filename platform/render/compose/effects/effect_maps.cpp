#include "platform/render/compose/effects/effect_maps.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2 * kPi;

struct Coords {
    double u, v;    // 0..1 across and down
    double X, Y;    // -1..1, stretched with the frame
    double dx, dy;  // pixels from the centre
};

Coords At(const MapPoint& p) {
    Coords c;
    c.u = p.x / p.width;
    c.v = p.y / p.height;
    c.X = 2 * c.u - 1;
    c.Y = 2 * c.v - 1;
    c.dx = p.x - p.width / 2;
    c.dy = p.y - p.height / 2;
    return c;
}

double Frac(double t) { return t - std::floor(t); }

// Clockwise angle from 12 o'clock of the offset (ax, ay), 0 .. 2π.
double ClockAngle(double ax, double ay) {
    double a = std::atan2(ax, -ay);
    return a < 0 ? a + kTwoPi : a;
}

// Cell index of a snake order over a cols × rows grid: row 0 left to right, row 1 back, ...
double SnakeMap(double u, double v, int cols, int rows) {
    int c = std::clamp(static_cast<int>(std::floor(u * cols)), 0, cols - 1);
    int r = std::clamp(static_cast<int>(std::floor(v * rows)), 0, rows - 1);
    int k = cols * r + (r % 2 == 0 ? c : cols - 1 - c);
    return (k + 0.5) / (cols * rows);
}

// Rank of cell (c, r) in a clockwise spiral from the top-left cell inwards.
int SpiralRank(int c, int r, int cols, int rows) {
    int ring = std::min({c, r, cols - 1 - c, rows - 1 - r});
    int before = 0;
    for (int j = 0; j < ring; ++j) before += 2 * (cols - 2 * j) + 2 * (rows - 2 * j) - 4;
    int w = cols - 2 * ring, h = rows - 2 * ring, cc = c - ring, rr = r - ring;
    int pos;
    if (h == 1) {
        pos = cc;
    } else if (w == 1) {
        pos = rr;
    } else if (rr == 0) {
        pos = cc;
    } else if (cc == w - 1) {
        pos = (w - 1) + rr;
    } else if (rr == h - 1) {
        pos = (w - 1) + (h - 1) + (w - 1 - cc);
    } else {
        pos = 2 * (w - 1) + (h - 1) + (h - 1 - rr);
    }
    return before + pos;
}

// Sawtooth wave: 0 at a tooth's tip, 1 in a notch.
double Zig(double t) { return std::fabs(2 * Frac(t) - 1); }
constexpr double kToothDepth = 0.2;
constexpr double kTeeth = 5;

double StarGauge(double X, double Y, int points) {
    const double alpha = kPi / points;
    const double inner = 0.5;
    double theta = ClockAngle(X, Y);
    double psi = std::fmod(theta, 2 * alpha);
    double phi = alpha - std::fabs(psi - alpha);
    double a = inner * std::cos(alpha), b = inner * std::sin(alpha);
    double rho = b / (b * std::cos(phi) + (1 - a) * std::sin(phi));
    return std::hypot(X, Y) / rho;
}

double HeartGauge(double X, double Y) {
    double hx = X, hy = -Y;
    double g = std::fabs(hx) + std::fabs(hy);
    double r2 = hx * hx + hy * hy;
    for (double side : {1.0, -1.0}) {
        double d = side * hx + hy;
        if (d > 0) g = std::min(g, r2 / d);
    }
    return g;
}

using Fn = double (*)(const MapPoint&, const double*);

const std::map<std::string, MapShape>& Shapes() {
    static const std::map<std::string, MapShape> kShapes = [] {
        std::map<std::string, MapShape> s;
        auto direct = [&](const char* name, Fn fn) { s[name] = {fn, MapNorm::Direct}; };
        auto gauge = [&](const char* name, Fn fn) { s[name] = {fn, MapNorm::ByMaximum}; };
        direct("Iris", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            return std::min(std::fabs(c.X), std::fabs(c.Y));
        });
        direct("RadialWipe", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            return ClockAngle(c.dx, c.dy) / kTwoPi;
        });
        // params: grid columns, grid rows
        direct("ZigZag", [](const MapPoint& p, const double* k) {
            Coords c = At(p);
            return SnakeMap(c.u, c.v, static_cast<int>(k[0]), static_cast<int>(k[1]));
        });
        direct("Spiral", [](const MapPoint& p, const double* k) {
            Coords c = At(p);
            int cols = static_cast<int>(k[0]), rows = static_cast<int>(k[1]);
            int col = std::clamp(static_cast<int>(std::floor(c.u * cols)), 0, cols - 1);
            int row = std::clamp(static_cast<int>(std::floor(c.v * rows)), 0, rows - 1);
            return (SpiralRank(col, row, cols, rows) + 0.5) / (cols * rows);
        });
        // params: spokes
        direct("Wheel", [](const MapPoint& p, const double* k) {
            Coords c = At(p);
            return Frac(k[0] * ClockAngle(c.dx, c.dy) / kTwoPi);
        });
        // params: strips
        direct("Strips", [](const MapPoint& p, const double* k) {
            Coords c = At(p);
            double n = k[0];
            double strip = std::min(std::floor(n * c.v), n - 1);
            return (c.u + strip / n) / (2 - 1 / n);
        });
        direct("Inset", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            return std::max(c.u, c.v);
        });
        // params: bands
        direct("Blinds", [](const MapPoint& p, const double* k) { return Frac(k[0] * At(p).v); });
        // params: squares across, squares down
        direct("CheckerBoard", [](const MapPoint& p, const double* k) {
            Coords c = At(p);
            double cols = k[0], rows = k[1];
            int col = static_cast<int>(std::floor(cols * c.u));
            int row = static_cast<int>(std::floor(rows * c.v));
            return (Frac(cols * c.u) + ((col + row) % 2)) / 2;
        });

        direct("smpte:1", [](const MapPoint& p, const double*) { return At(p).u; });
        direct("smpte:2", [](const MapPoint& p, const double*) { return At(p).v; });
        direct("smpte:7", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            return std::max(1 - std::fabs(c.X), 1 - std::fabs(c.Y));
        });
        direct("smpte:22", [](const MapPoint& p, const double*) { return std::fabs(At(p).Y); });
        direct("smpte:41", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            return (c.u + c.v) / 2;
        });
        direct("smpte:43", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            return (1 + std::fabs(c.X) - std::fabs(c.Y)) / 2;
        });
        direct("smpte:44", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            return (1 + std::fabs(c.Y) - std::fabs(c.X)) / 2;
        });
        direct("smpte:45", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            return std::fabs(c.u + c.v - 1);
        });
        direct("smpte:47", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            return std::fabs(std::fabs(c.X) - std::fabs(c.Y));
        });
        direct("smpte:48", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            return std::fabs(std::fabs(c.X) + std::fabs(c.Y) - 1);
        });
        direct("smpte:61", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            return std::fabs(c.u - 0.5) + c.v / 2;
        });
        direct("smpte:64", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            return std::fabs(c.v - 0.5) + c.u / 2;
        });
        direct("smpte:71", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            return (c.u + kToothDepth * Zig(kTeeth * c.v)) / (1 + kToothDepth);
        });
        direct("smpte:72", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            return (c.v + kToothDepth * Zig(kTeeth * c.u)) / (1 + kToothDepth);
        });
        direct("smpte:73", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            return (std::fabs(c.X) + kToothDepth * Zig(kTeeth * c.v)) / (1 + kToothDepth);
        });
        direct("smpte:74", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            return (std::fabs(c.Y) + kToothDepth * Zig(kTeeth * c.u)) / (1 + kToothDepth);
        });
        direct("smpte:101", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            return std::max(std::fabs(c.X), std::fabs(c.Y));
        });
        direct("smpte:102", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            return (std::fabs(c.X) + std::fabs(c.Y)) / 2;
        });
        gauge("smpte:113", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            const double r3 = std::sqrt(3.0);
            return std::max(2 * std::fabs(c.Y) / r3, std::fabs(c.X) + std::fabs(c.Y) / r3);
        });
        gauge("smpte:119", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            return std::hypot(c.dx, c.dy);
        });
        direct("smpte:120", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            return std::hypot(c.X, c.Y) / std::sqrt(2.0);
        });
        direct("smpte:124", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            double x2 = c.X * c.X, y2 = c.Y * c.Y;
            return std::sqrt(std::sqrt(x2 * x2 + y2 * y2)) / 1.189207115002721;  // 2^¼
        });
        gauge("smpte:127", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            return StarGauge(c.X, c.Y, 4);
        });
        gauge("smpte:128", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            return StarGauge(c.X, c.Y, 5);
        });
        gauge("smpte:130", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            return HeartGauge(c.X, c.Y);
        });
        direct("smpte:224", [](const MapPoint& p, const double*) {
            return ClockAngle(p.x, p.y - p.height / 2) / kPi;
        });
        direct("smpte:231", [](const MapPoint& p, const double*) {
            return std::atan2(std::fabs(p.x - p.width / 2), p.y) / (kPi / 2);
        });
        direct("smpte:244", [](const MapPoint& p, const double*) {
            return std::atan2(p.y, p.width - p.x) / (kPi / 2);
        });
        direct("smpte:251", [](const MapPoint& p, const double*) {
            double fromSide = p.x < p.width / 2 ? p.x : p.width - p.x;
            return std::atan2(p.y, fromSide) / (kPi / 2);
        });
        direct("smpte:301", [](const MapPoint& p, const double*) {
            Coords c = At(p);
            return SnakeMap(c.u, c.v, 8, 8);
        });
        return s;
    }();
    return kShapes;
}

}  // namespace

MapShape FindMapShape(const std::string& name) {
    auto it = Shapes().find(name);
    return it == Shapes().end() ? MapShape{} : it->second;
}
