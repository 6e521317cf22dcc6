#pragma once
// A push button that shows a colour (0xRRGGBB) as a swatch and lets the user pick another.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QPushButton;

// How a colour is chosen: the current one in, the chosen one out (none when cancelled).
using ColourChooser = std::function<std::optional<std::uint32_t>(std::uint32_t current)>;

// The desktop's colour dialog, owned by `owner`'s window, titled `title`.
ColourChooser DesktopColourChooser(QPushButton* owner, const std::string& title);

void ShowColour(QPushButton* button, std::uint32_t rgb);
