#pragma once
// The per-row loops every effect spends its time in, written so the compiler vectorises them,
// with an AVX2 version picked at run time where the processor has it. Rows must not overlap.

#include <cstdint>

namespace effects {

// out = map < threshold ? b : a
void SelectRow(const std::uint8_t* a, const std::uint8_t* b, const std::uint16_t* map,
               std::uint16_t threshold, std::uint8_t* out, int n);
// out = a·(128 − w) + b·w, w in 0..128: one weight for the row
void MixRow(const std::uint8_t* a, const std::uint8_t* b, std::uint16_t weight, std::uint8_t* out,
            int n);
// ... and one weight per sample
void MixRowWeights(const std::uint8_t* a, const std::uint8_t* b, const std::uint8_t* weights,
                   std::uint8_t* out, int n);

}  // namespace effects
