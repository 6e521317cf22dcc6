#pragma once
// Readable texts for failure codes. A failure that has its own story (FFmpeg's words, the file
// concerned) gets a fresh code that AMGetErrorText turns back into that text.
//
// Thread-safe: graph threads register, the user-interface thread reads.

#include <string>

#include "platform/com/hresult.h"

// A new failure code standing for `text`.
HRESULT RegisterFailure(std::string text);
// A new failure code for an input file (photo, music) that cannot be read or decoded.
HRESULT RegisterInputFailure(std::string text);
bool IsInputFailure(HRESULT hr);
// The text of a code, in the user's language where failure_texts.h knows it, at most maxChars characters (0: no limit).
std::string AMGetErrorText(HRESULT hr, std::size_t maxChars = 0);

inline constexpr long EC_COMPLETE = 1;
inline constexpr long EC_USERABORT = 2;
inline constexpr long EC_ERRORABORT = 3;
