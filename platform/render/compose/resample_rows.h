#pragma once
// The inner loops of drawing a picture at any scale and place: source rows blended into one
// line, and a line filtered into output pixels. Both are written to be vectorised.

#include <cstdint>

// line[i] = (Σ_k weights[k] · rows[k][i] + ½) >> shift for i < n; `sums` is n scratch values.
void BlendRows(const std::uint8_t* const* rows, const std::int16_t* weights, int taps, int n,
               int shift, std::int32_t* sums, std::int16_t* line);

// out[u] = (Σ_k weights[4u + k] · line[first[u] − lineStart + k] + ½) >> shift, clamped to a
// byte, for u in [begin, end): four weights a pixel, the unused ones zero. `line` must hold
// three readable samples past the last one a pixel uses.
void FilterFourTaps(const std::int16_t* line, int lineStart, const int* first,
                    const std::int16_t* weights, int begin, int end, int shift, std::uint8_t* out);
