#pragma once
// The faces found in each photo, as the motion takes them.

#include <string>
#include <vector>

#include "engine/motion_aiming.h"

// The faces of the photo at `path` (searched once per file, then kept).
FoundFaces FacesOfFile(const std::string& path);

// Searches the photos not yet searched, on every core, and returns when all are known: the
// timeline then finds each at once.
void FindFacesOfAll(const std::vector<std::string>& paths);
