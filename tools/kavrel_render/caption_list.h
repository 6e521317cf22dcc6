#pragma once
// Captions given in a file, one line per photo: the photo's path as given or its file name, a tab,
// the caption, where "\n" starts its second line. A name that stands for several photos takes its
// lines in list order.

#include <string>
#include <vector>

#include "app/slideshow_project.h"

// `givenPaths[i]` is how photo i was named; the captions go to the project's photos. Returns what
// is wrong with the file, naming its line; empty when every line found its photo.
std::string ApplyCaptionList(const std::string& file, const std::vector<std::string>& givenPaths,
                             SlideshowProject* project);
// "\n" written as two characters, as a line break.
std::string WithLineBreaks(std::string text);
