#pragma once
// Planar 8-bit pictures as the compositor and the transition effects see them: up to four planes,
// each with its own size and subsampling against the frame (0 or 1 per axis; 4:2:0 has chroma
// planes with shift 1 on both axes). Views do not own memory; PlanarImage does.

#include <array>
#include <cstdint>
#include <vector>

enum class PlanarLayout {
    Yuv420,  // Y, Cb, Cr; chroma at half width and height (sizes rounded up)
    Gbr444,  // G, B, R at full size
};

struct PlaneView {
    std::uint8_t* data = nullptr;
    int stride = 0;  // bytes from one row to the next
    int width = 0;
    int height = 0;
    int shiftX = 0;  // log2 of the horizontal subsampling
    int shiftY = 0;

    std::uint8_t* Row(int y) const { return data + static_cast<std::ptrdiff_t>(y) * stride; }
};

struct FrameView {
    int width = 0;  // of the full-resolution plane
    int height = 0;
    int planeCount = 0;
    std::array<PlaneView, 4> planes{};

    PlaneView Plane(int i) const { return planes[static_cast<std::size_t>(i)]; }
    // Same layout and size: two frames an effect can combine.
    bool SameGeometry(const FrameView& other) const;
};

// A picture that owns its planes.
class PlanarImage {
public:
    PlanarImage() = default;
    PlanarImage(int width, int height, PlanarLayout layout);

    FrameView View() const;
    PlanarLayout layout() const { return layout_; }
    int width() const { return width_; }
    int height() const { return height_; }
    // Every sample of plane `plane` set to `value`.
    void Fill(int plane, std::uint8_t value);

private:
    int width_ = 0;
    int height_ = 0;
    PlanarLayout layout_ = PlanarLayout::Yuv420;
    int planeCount_ = 0;
    std::array<std::vector<std::uint8_t>, 4> storage_;
    std::array<PlaneView, 4> planes_{};
};

// Copies every plane of `from` into `to` (same geometry).
void CopyFrame(const FrameView& from, const FrameView& to);
