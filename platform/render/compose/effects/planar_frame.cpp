#include "platform/render/compose/effects/planar_frame.h"

#include <algorithm>
#include <cstring>

bool FrameView::SameGeometry(const FrameView& other) const {
    if (width != other.width || height != other.height || planeCount != other.planeCount) {
        return false;
    }
    for (int i = 0; i < planeCount; ++i) {
        const PlaneView& a = Plane(i);
        const PlaneView& b = other.Plane(i);
        if (a.width != b.width || a.height != b.height || a.shiftX != b.shiftX ||
            a.shiftY != b.shiftY) {
            return false;
        }
    }
    return true;
}

PlanarImage::PlanarImage(int width, int height, PlanarLayout layout)
    : width_(width), height_(height), layout_(layout), planeCount_(3) {
    for (int i = 0; i < planeCount_; ++i) {
        int shift = layout == PlanarLayout::Yuv420 && i > 0 ? 1 : 0;
        PlaneView& p = planes_[static_cast<std::size_t>(i)];
        p.shiftX = p.shiftY = shift;
        p.width = (width + (1 << shift) - 1) >> shift;
        p.height = (height + (1 << shift) - 1) >> shift;
        p.stride = (p.width + 31) & ~31;  // rows start aligned for vector loads
        storage_[static_cast<std::size_t>(i)].assign(static_cast<std::size_t>(p.stride) * p.height, 0);
        p.data = storage_[static_cast<std::size_t>(i)].data();
    }
}

FrameView PlanarImage::View() const {
    FrameView v;
    v.width = width_;
    v.height = height_;
    v.planeCount = planeCount_;
    v.planes = planes_;
    return v;
}

void PlanarImage::Fill(int plane, std::uint8_t value) {
    std::fill(storage_[static_cast<std::size_t>(plane)].begin(),
              storage_[static_cast<std::size_t>(plane)].end(), value);
}

void CopyFrame(const FrameView& from, const FrameView& to) {
    for (int i = 0; i < from.planeCount; ++i) {
        const PlaneView& s = from.Plane(i);
        const PlaneView& d = to.Plane(i);
        for (int y = 0; y < s.height; ++y) std::memcpy(d.Row(y), s.Row(y), static_cast<std::size_t>(s.width));
    }
}
