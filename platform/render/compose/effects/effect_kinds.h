#pragma once
// The kinds of effect behind the descriptors, and helpers they share. Internal to the effects.

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/render/compose/effects/transition_effect.h"

namespace effects {

// Plane rows that luma rows [y0, y1) cover.
inline void PlaneRows(const FrameView& f, int plane, int y0, int y1, int* r0, int* r1) {
    const PlaneView& p = f.Plane(plane);
    *r0 = y0 >> p.shiftY;
    *r1 = y1 >= f.height ? p.height : (y1 >> p.shiftY);
}

inline void CopyRows(const FrameView& from, const FrameView& to, int y0, int y1) {
    for (int i = 0; i < from.planeCount; ++i) {
        int r0, r1;
        PlaneRows(from, i, y0, y1, &r0, &r1);
        for (int r = r0; r < r1; ++r) {
            std::memcpy(to.Plane(i).Row(r), from.Plane(i).Row(r),
                        static_cast<std::size_t>(from.Plane(i).width));
        }
    }
}

// The ends are exact for every effect: p <= 0 is A, p >= 1 is B. True when handled.
inline bool RenderEnds(const FrameView& a, const FrameView& b, double p, const FrameView& out,
                       int y0, int y1) {
    if (p > 0 && p < 1) return false;
    CopyRows(p <= 0 ? a : b, out, y0, y1);
    return true;
}

// 7-bit blend weight of B: 0..128.
inline int BlendWeight(double w) {
    if (!(w > 0)) return 0;
    if (w >= 1) return 128;
    return static_cast<int>(w * 128 + 0.5);
}

std::unique_ptr<TransitionEffect> MakeMaskEffect(const std::string& shapeName,
                                                 std::vector<double> params);
std::unique_ptr<TransitionEffect> MakeRandomBars(std::uint64_t seed);
std::unique_ptr<TransitionEffect> MakeRandomDissolve(std::uint64_t seed);
std::unique_ptr<TransitionEffect> MakeFade();
std::unique_ptr<TransitionEffect> MakeSoftWipe(double gradientSize);
std::unique_ptr<TransitionEffect> MakeSlide();
std::unique_ptr<TransitionEffect> MakeStretch();
std::unique_ptr<TransitionEffect> MakePixelate(double maxSquare);

}  // namespace effects
