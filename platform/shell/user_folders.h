#pragma once

#include <string>

// The user's videos folder when it exists (XDG_VIDEOS_DIR), else empty.
std::string UserVideosFolder();
std::string UserHomeFolder();
// $XDG_CACHE_HOME, or ~/.cache when XDG_CACHE_HOME is not an absolute path.
std::string UserCacheFolder();
