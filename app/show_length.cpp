#include "app/show_length.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

std::string FormatShowLength(double seconds) {
    const double rounded = std::isfinite(seconds) ? std::round(std::max(seconds, 0.0)) : 0.0;
    const long long total = static_cast<long long>(std::min(rounded, 1e15));
    char text[48];
    if (total >= 3600) {
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", total / 3600, total / 60 % 60,
                      total % 60);
    } else {
        std::snprintf(text, sizeof text, "%lld:%02lld", total / 60, total % 60);
    }
    return text;
}

std::string ShowLengthText(const std::string& label, double seconds) {
    return label + " " + FormatShowLength(seconds);
}
