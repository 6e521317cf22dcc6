#pragma once
// Failure texts the user can be shown in their own language. The platform words them in English
// from these formats ("%s" for each value); AMGetErrorText finds the format again in a registered
// text and, where the program has installed a translator, fills the translated format with the
// same values. The string ids are those of the program's language table.

#include <functional>
#include <string>
#include <vector>

struct FailureFormat {
    int stringId;
    const char* english;
};

inline constexpr FailureFormat kPhotoTooLargeText{
    220, "The photo %s has %s x %s pixels, more than the 100 megapixels this program decodes"};
inline constexpr FailureFormat kPhotoKindText{
    221, "The photo %s is of a kind this program cannot decode (%s)"};
inline constexpr FailureFormat kPhotoCannotDecodeText{222, "Cannot decode the photo %s: %s"};
inline constexpr FailureFormat kPhotoCannotOpenText{223, "Cannot open the photo %s: %s"};
inline constexpr FailureFormat kPhotoHoldsNoPictureText{224, "The file %s holds no picture"};

// `format` with each "%s" in turn replaced by the next of `values`.
std::string FilledText(const char* format, const std::vector<std::string>& values);

// Turns a string id into its text in the user's language; empty: keep the English.
using FailureTranslator = std::function<std::string(int stringId)>;
// Installed once by the program before any failure is shown; called on the thread that asks
// AMGetErrorText.
void SetFailureTranslator(FailureTranslator translator);

// `text` in the user's language when it was made from one of the formats above, else unchanged.
std::string TranslatedFailure(const std::string& text);
