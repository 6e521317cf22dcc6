#pragma once
// A progressive JPEG cut down to its DC scans.
//
// Decoded at 1/8 scale, every 8 × 8 block becomes one pixel from its DC coefficient alone, so the
// AC scans (most of a large progressive file) are entropy-decoded only to be thrown away. Without
// them the 1/8-scale picture is the same, bit for bit, and comes several times faster.

#include <string>
#include <string_view>

// False, with *out left as it was, when `jpeg` is not a progressive Huffman JPEG whose markers run
// in order up to its end marker; the caller then decodes the file as it is.
bool KeepDcScans(std::string_view jpeg, std::string* out);
