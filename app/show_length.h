#pragma once
// The whole show's length as the window shows it in a tooltip: "Show length: 3:25".

#include <string>

// "3:25", or "1:02:05" from an hour on; to the nearest second, never below 0.
std::string FormatShowLength(double seconds);
// `label` ("Show length:" in English, from the language file), a space and the length.
std::string ShowLengthText(const std::string& label, double seconds);
