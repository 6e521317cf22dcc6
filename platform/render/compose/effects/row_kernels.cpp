#include "platform/render/compose/effects/row_kernels.h"

#include "platform/render/compose/vector_clones.h"

namespace effects {

KAVREL_VECTOR_CLONES
void SelectRow(const std::uint8_t* __restrict a, const std::uint8_t* __restrict b,
               const std::uint16_t* __restrict map, std::uint16_t threshold,
               std::uint8_t* __restrict out, int n) {
    for (int x = 0; x < n; ++x) {
        // The branch-free form is what vectorises.
        auto take = static_cast<std::uint8_t>(-static_cast<int>(map[x] < threshold));
        out[x] = static_cast<std::uint8_t>(a[x] ^ ((a[x] ^ b[x]) & take));
    }
}

KAVREL_VECTOR_CLONES
void MixRow(const std::uint8_t* __restrict a, const std::uint8_t* __restrict b,
            std::uint16_t weight, std::uint8_t* __restrict out, int n) {
    const auto wa = static_cast<std::uint16_t>(128 - weight);
    for (int x = 0; x < n; ++x) {
        out[x] = static_cast<std::uint8_t>(static_cast<std::uint16_t>(a[x] * wa + b[x] * weight + 64) >> 7);
    }
}

KAVREL_VECTOR_CLONES
void MixRowWeights(const std::uint8_t* __restrict a, const std::uint8_t* __restrict b,
                   const std::uint8_t* __restrict weights, std::uint8_t* __restrict out, int n) {
    for (int x = 0; x < n; ++x) {
        const std::uint16_t w = weights[x];
        out[x] = static_cast<std::uint8_t>(
            static_cast<std::uint16_t>(a[x] * (128 - w) + b[x] * w + 64) >> 7);
    }
}

}  // namespace effects
