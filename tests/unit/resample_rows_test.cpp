// The vectorised inner loops of drawing a picture must give exactly what the plain sums give, at
// every line length and start, so that no pixel near a row's end or a band's edge differs.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "platform/render/compose/resample_rows.h"

namespace {

constexpr int kShift = 8;

TEST(ResampleRows, BlendingRowsMatchesThePlainSumForAnyNumberOfRows) {
    std::mt19937 random(7);
    for (int taps = 1; taps <= 6; ++taps) {
        for (int n : {1, 7, 31, 33, 250}) {
            std::vector<std::vector<std::uint8_t>> rows(static_cast<std::size_t>(taps));
            std::vector<const std::uint8_t*> pointers;
            std::vector<std::int16_t> weights;
            int left = 1 << 14;  // a filter's weights sum to one
            for (auto& row : rows) {
                for (int i = 0; i < n; ++i) row.push_back(static_cast<std::uint8_t>(random()));
                pointers.push_back(row.data());
                const int w = &row == &rows.back() ? left : static_cast<int>(random() % 8193) % (left + 1);
                weights.push_back(static_cast<std::int16_t>(w));
                left -= w;
            }
            std::vector<std::int32_t> sums(static_cast<std::size_t>(n));
            std::vector<std::int16_t> line(static_cast<std::size_t>(n));
            BlendRows(pointers.data(), weights.data(), taps, n, kShift, sums.data(), line.data());
            for (int i = 0; i < n; ++i) {
                std::int32_t want = 1 << (kShift - 1);
                for (int k = 0; k < taps; ++k) want += weights[k] * rows[k][i];
                ASSERT_EQ(line[i], want >> kShift) << taps << " rows, sample " << i;
            }
        }
    }
}

TEST(ResampleRows, FourTapFilteringMatchesThePlainSumAtEveryStartAndEnd) {
    constexpr int kHorizontal = 20;
    std::mt19937 random(11);
    std::vector<std::int16_t> line(64 + 3);
    for (auto& v : line) v = static_cast<std::int16_t>(random() % (255 * 64 + 1));
    const int lineStart = 5;  // line[0] is sample 5 of the picture
    std::vector<int> first(40);
    std::vector<std::int16_t> weights(40 * 4);
    for (std::size_t u = 0; u < first.size(); ++u) {
        first[u] = lineStart + static_cast<int>(u * 3 / 2);
        // Weights of a filter: non-negative, summing to 1 << 14, the last sometimes unused.
        int left = 1 << 14;
        for (int k = 0; k < 3; ++k) {
            const int w = static_cast<int>(random() % static_cast<unsigned>(left + 1));
            weights[u * 4 + static_cast<std::size_t>(k)] = static_cast<std::int16_t>(w);
            left -= w;
        }
        weights[u * 4 + 3] = static_cast<std::int16_t>(u % 3 == 0 ? 0 : left);
        weights[u * 4] = static_cast<std::int16_t>(weights[u * 4] + (u % 3 == 0 ? left : 0));
    }
    for (int begin : {0, 1, 3}) {
        for (int end : {begin, begin + 1, begin + 4, begin + 7, 40}) {
            std::vector<std::uint8_t> out(40, 0xEE);
            FilterFourTaps(line.data(), lineStart, first.data(), weights.data(), begin, end,
                           kHorizontal, out.data());
            for (int u = 0; u < 40; ++u) {
                if (u < begin || u >= end) {
                    ASSERT_EQ(out[u], 0xEE) << "pixel " << u << " outside the range was written";
                    continue;
                }
                int want = 1 << (kHorizontal - 1);
                for (int k = 0; k < 4; ++k) want += weights[u * 4 + k] * line[first[u] - lineStart + k];
                ASSERT_EQ(out[u], std::clamp(want >> kHorizontal, 0, 255)) << "pixel " << u;
            }
        }
    }
}

}  // namespace
