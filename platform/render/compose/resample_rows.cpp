#include "platform/render/compose/resample_rows.h"

#include <algorithm>
#include <cstring>

#include "platform/render/compose/vector_clones.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// One pass over the line for up to four rows, so the sums stay in registers.
template <int kTaps>
void BlendFewRows(const std::uint8_t* const* rows, const std::int16_t* weights, int n, int shift,
                  std::int16_t* __restrict line) {
    const std::uint8_t* __restrict r[4] = {rows[0], rows[kTaps > 1 ? 1 : 0],
                                           rows[kTaps > 2 ? 2 : 0], rows[kTaps > 3 ? 3 : 0]};
    const std::int32_t w[4] = {weights[0], kTaps > 1 ? weights[1] : 0,
                               kTaps > 2 ? weights[2] : 0, kTaps > 3 ? weights[3] : 0};
    const std::int32_t half = 1 << (shift - 1);
    for (int i = 0; i < n; ++i) {
        std::int32_t sum = half + w[0] * r[0][i];
        if constexpr (kTaps > 1) sum += w[1] * r[1][i];
        if constexpr (kTaps > 2) sum += w[2] * r[2][i];
        if constexpr (kTaps > 3) sum += w[3] * r[3][i];
        line[i] = static_cast<std::int16_t>(sum >> shift);
    }
}

}  // namespace

KAVREL_VECTOR_CLONES
void BlendRows(const std::uint8_t* const* rows, const std::int16_t* weights, int taps, int n,
               int shift, std::int32_t* __restrict sums, std::int16_t* __restrict line) {
    switch (taps) {
        case 1: return BlendFewRows<1>(rows, weights, n, shift, line);
        case 2: return BlendFewRows<2>(rows, weights, n, shift, line);
        case 3: return BlendFewRows<3>(rows, weights, n, shift, line);
        case 4: return BlendFewRows<4>(rows, weights, n, shift, line);
        default: break;
    }
    const std::int32_t half = 1 << (shift - 1);
    for (int i = 0; i < n; ++i) sums[i] = half;
    for (int k = 0; k < taps; ++k) {
        const std::uint8_t* __restrict s = rows[k];
        const std::int32_t w = weights[k];
        for (int i = 0; i < n; ++i) sums[i] += w * s[i];
    }
    for (int i = 0; i < n; ++i) line[i] = static_cast<std::int16_t>(sums[i] >> shift);
}

namespace {

std::uint8_t FilterOne(const std::int16_t* s, const std::int16_t* w, int shift) {
    const int acc = (1 << (shift - 1)) + w[0] * s[0] + w[1] * s[1] + w[2] * s[2] + w[3] * s[3];
    return static_cast<std::uint8_t>(std::clamp(acc >> shift, 0, 255));
}

}  // namespace

// Each pixel reads its own four samples, so the compiler cannot vectorise this loop; four pixels
// at a time, a multiply-add of pairs and one shuffle make their four sums.
void FilterFourTaps(const std::int16_t* line, int lineStart, const int* first,
                    const std::int16_t* weights, int begin, int end, int shift, std::uint8_t* out) {
    int u = begin;
#if defined(__SSE2__)
    const auto samples = [&](int at) {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(line + (first[at] - lineStart)));
    };
    const __m128i half = _mm_set1_epi32(1 << (shift - 1));
    const __m128i count = _mm_cvtsi32_si128(shift);
    for (; u + 4 <= end; u += 4) {
        const __m128i* w = reinterpret_cast<const __m128i*>(weights + 4 * u);
        const __m128 p01 = _mm_castsi128_ps(_mm_madd_epi16(
            _mm_unpacklo_epi64(samples(u), samples(u + 1)), _mm_loadu_si128(w)));
        const __m128 p23 = _mm_castsi128_ps(_mm_madd_epi16(
            _mm_unpacklo_epi64(samples(u + 2), samples(u + 3)), _mm_loadu_si128(w + 1)));
        const __m128i sums =
            _mm_add_epi32(_mm_castps_si128(_mm_shuffle_ps(p01, p23, _MM_SHUFFLE(2, 0, 2, 0))),
                          _mm_castps_si128(_mm_shuffle_ps(p01, p23, _MM_SHUFFLE(3, 1, 3, 1))));
        const __m128i values = _mm_sra_epi32(_mm_add_epi32(sums, half), count);
        const __m128i bytes = _mm_packus_epi16(_mm_packs_epi32(values, values), values);
        const int four = _mm_cvtsi128_si32(bytes);
        std::memcpy(out + u, &four, sizeof four);
    }
#endif
    for (; u < end; ++u) out[u] = FilterOne(line + (first[u] - lineStart), weights + 4 * u, shift);
}
