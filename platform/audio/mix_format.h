#pragma once
// The one sound format music is mixed in: 44100 Hz stereo floats.

inline constexpr int kMixRate = 44100;
inline constexpr int kMixChannels = 2;
