#pragma once
// What the drawing accepts of a show's words: Pango takes valid UTF-8 only, and a size outside the
// usable range or a text of any length must not reach it.

#include <string>
#include <string_view>
#include <vector>

// Valid UTF-8 of at most kMaxTextBytes (cut between characters): bytes that are no UTF-8 become
// U+FFFD, control characters other than line breaks and tabs are dropped, "\r\n" is "\n".
std::string UsableText(std::string_view text);
// The lines of `text`, split at '\n'.
std::vector<std::string> SplitLines(const std::string& text);
bool IsBlank(const std::string& line);
// `size` within kMinTextSize..kMaxTextSize; a value that is no number gives `fallback`.
double UsableSize(double size, double fallback);
