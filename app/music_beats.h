#pragma once
// Where the window learns the beats of a music file, for Fit photos to the beat.

#include <string>
#include <vector>

// The beats of the music file at `path`, in seconds from its start; false when it cannot be read.
bool BeatsOfMusicFile(const std::string& path, std::vector<double>* beats);
