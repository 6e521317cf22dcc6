#pragma once
// The file types the photo and music dialogs offer: first the types Kavrel has always listed, in
// their order, then those of today's phones, cameras and music. Any photo or music file FFmpeg or
// libheif reads is taken whatever its name; these only fill the dialogs' filters.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Extensions without their dot, lower case.
const std::vector<std::string_view>& PhotoExtensions();
const std::vector<std::string_view>& MusicExtensions();

// "*.jpg; *.bmp; …": the pattern of a file dialog's filter.
std::string FilterPattern(const std::vector<std::string_view>& extensions);
// "Image Files (*.jpg;*.bmp;…)": `label` and the extensions, as the filter's description.
std::string FilterDescription(const std::string& label,
                              const std::vector<std::string_view>& extensions);

// The filters' (description, pattern) pairs, with the dialogs' own English labels.
std::pair<std::string, std::string> PhotoFileFilter();
std::pair<std::string, std::string> MusicFileFilter();
