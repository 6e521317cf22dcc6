#pragma once

#include <string>

// The user's videos folder when it exists (XDG_VIDEOS_DIR), else empty.
std::string UserVideosFolder();
std::string UserHomeFolder();
