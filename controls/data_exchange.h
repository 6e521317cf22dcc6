#pragma once
// How dialogs read and show the numbers typed into their edits, and the range checks made before
// a value is taken. Pure text rules: the widget side lives with the dialogs.

#include <optional>
#include <string>

// The number at the start of `text` (leading blanks allowed, whatever follows it ignored: "5s" is
// 5); none when the text does not start with one ("", "x5").
std::optional<double> ReadLeadingNumber(const std::string& text);
// A decimal integer at the start of `text` (leading blanks and a sign allowed, reading stops at
// the first other character); 0 when there are no digits. Saturates at the 32-bit range.
int ReadLeadingInteger(const std::string& text);
// Up to 15 significant digits: 5 shows as "5", 2.5 as "2.5".
std::string FormatExchangedDouble(double value);

// The message of a failed check, or none when the value passes.
//   integer range: the value truncated toward zero must lie in [low, high];
//   number range: the value taken in single precision must lie in [low, high].
std::optional<std::string> CheckIntegerRange(double value, int low, int high);
std::optional<std::string> CheckNumberRange(double value, double low, double high);

// The messages, in the current language with their bounds filled in.
std::string NotANumberMessage();
