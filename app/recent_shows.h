#pragma once
// The shows opened or saved last, kept in the settings file for File ▸ Open Recent.

#include <string>
#include <vector>

class ProfileStore;

inline constexpr std::size_t kMaxRecentShows = 8;

// Newest first, without blanks or repeats.
std::vector<std::string> ReadRecentShows(const ProfileStore& store);
// `show` (an absolute path) becomes the newest; the oldest beyond the eighth goes.
void RememberRecentShow(ProfileStore& store, const std::string& show);
void ClearRecentShows(ProfileStore& store);
