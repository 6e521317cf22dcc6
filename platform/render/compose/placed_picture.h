#pragma once
// Draws a picture into a frame over any rectangle, at sub-pixel precision: each output pixel is
// filtered from the source around the exact point it maps to (a triangle filter, widened when
// the picture is shown smaller than it is, so it never aliases), and where the rectangle's edge
// crosses a pixel, the pixel is blended with the background by how much of it is covered. Both
// are 4:2:0 (chroma sited at the centre of its four luma samples).
//
// A drawing is made for one frame and may draw disjoint bands of rows on several threads.

#include <cstdint>
#include <vector>

#include "platform/render/compose/motion_path.h"

extern "C" {
#include <libavutil/frame.h>
}

class PlacedPicture {
  public:
    // `picture` covers `place` (frame pixels) in a frame of `out`'s size; `background` (a frame
    // of that size) shows wherever it does not. None of them is owned; all outlive the drawing.
    PlacedPicture(const AVFrame* picture, const FrameRect& place, const AVFrame* background,
                  AVFrame* out);

    // Draws luma rows [begin, end) and the chroma rows under them; begin and end are even or
    // the frame's height.
    void DrawRows(int begin, int end) const;

    // Where one axis of one plane reads from: for each output pixel, its first source sample,
    // the filter's weights (sum 1 << 14) and how much of the pixel the picture covers (0..256).
    struct Axis {
        int taps = 0;
        std::vector<int> first;
        std::vector<std::int16_t> weights;  // taps per output pixel
        std::vector<std::int16_t> cover;
        int coveredBegin = 0, coveredEnd = 0;  // the pixels with any cover
        int fullBegin = 0, fullEnd = 0;        // the pixels covered whole
    };
    static Axis MakeAxis(int outCount, int sourceCount, double placeStart, double placeExtent);

  private:
    struct Plane {
        const std::uint8_t* source;
        int sourceStride;
        const std::uint8_t* background;
        int backgroundStride;
        std::uint8_t* out;
        int outStride;
        int width;
        Axis x, y;
        std::vector<std::int16_t> xFour;  // x's weights four a pixel, where four are enough
    };
    struct Scratch {
        std::vector<const std::uint8_t*> rows;
        std::vector<std::int32_t> sums;
        std::vector<std::int16_t> line;
    };
    void DrawRow(const Plane& p, int row, Scratch& scratch) const;

    Plane planes_[3];
};
