#pragma once
// How title cards and captions ride on a timeline, so that a dump reads plainly: a title card is a
// source (its photo, or no file) with a title effect holding the card; a caption is an effect on
// its photo's source; the caption style and the subtitle track's language are properties of the
// video group.

#include "platform/com/guid.h"

inline const CLSID CLSID_KavrelTitleCard = GuidFromLiteral("{6C1E5A3B-2F0D-4E77-9A41-8B5D0C3F7E21}");
inline const CLSID CLSID_KavrelCaption = GuidFromLiteral("{A3F2C9D4-7B16-4E58-8C0A-5D9E1B2F6A73}");

// Of both effects (VT_BSTR but Size, VT_R8).
inline constexpr const char* kTextProperty = "Text";
inline constexpr const char* kFontProperty = "Font";
inline constexpr const char* kSizeProperty = "Size";
inline constexpr const char* kColourProperty = "Colour";
// Of the title effect.
inline constexpr const char* kAlignProperty = "Align";
inline constexpr const char* kBackgroundProperty = "Background";
inline constexpr const char* kBackgroundColourProperty = "BackgroundColour";
// Of the caption effect.
inline constexpr const char* kPlaceProperty = "Place";
// Of the video group, beside the framing.
inline constexpr const char* kCaptionFontProperty = "CaptionFont";
inline constexpr const char* kCaptionSizeProperty = "CaptionSize";
inline constexpr const char* kCaptionColourProperty = "CaptionColour";
inline constexpr const char* kCaptionBackingProperty = "CaptionBacking";
inline constexpr const char* kCaptionMotionProperty = "CaptionMotion";  // "still" or "with-photo"
inline constexpr const char* kCaptionOutputProperty = "CaptionOutput";
inline constexpr const char* kSubtitleLanguageProperty = "SubtitleLanguage";
