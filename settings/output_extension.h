#pragma once

#include <string>

class MessageBoxes;

// Gives an output file name the extension of its container: AVI ".avi", WMV ".wmv", MKV ".mkv",
// ASF ".asf", MP4 ".mp4". The old extension is the text after the last "." of the file name
// (a "." in a folder name, or a leading one of a hidden file, is not one). For any other format
// it shows "Does not support the video format" and returns false, leaving *newName unchanged.
bool ApplyOutputExtension(int format, const std::string& name, std::string* newName,
                          MessageBoxes& boxes);
