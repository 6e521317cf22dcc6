#pragma once
// How one music placement sounds beyond its file: a gain, a fade-in from its start, and the
// equal-power crossfades with the placements before and after it (0: the two add up, as placed).
// On the timeline it is an effect on the music source; a plain placement has none.

#include <string>
#include <utility>
#include <vector>

#include "platform/com/guid.h"
#include "platform/com/hresult.h"

struct SongShape {
    double gainDb = 0;
    REFERENCE_TIME fadeIn = 0;
    REFERENCE_TIME joinIn = 0, joinOut = 0;
    bool operator==(const SongShape&) const = default;
};

inline const CLSID CLSID_KavrelSong = GuidFromLiteral("{3BBA8F9F-A5E2-418F-951F-DFA07D2F6856}");
inline constexpr const char* kSongGainProperty = "Gain";       // dB
inline constexpr const char* kSongFadeInProperty = "FadeIn";   // seconds
inline constexpr const char* kSongJoinInProperty = "JoinIn";   // seconds
inline constexpr const char* kSongJoinOutProperty = "JoinOut";  // seconds

// The shape's properties as the timeline keeps them, the defaults left out: empty for a plain one.
std::vector<std::pair<const char*, double>> SongProperties(const SongShape& shape);
// Takes one property back into *shape; false when `name` is not one of them.
bool ReadSongProperty(const std::string& name, double value, SongShape* shape);
