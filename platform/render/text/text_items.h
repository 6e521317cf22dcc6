#pragma once
// Words on the screen as a show holds them: a title card (a row of the photo list whose picture is
// a text) and a photo's caption, drawn in the show's caption style. Plain values shared by the
// lists, the timeline, show files and the drawing. The numbers and names are stored in show files
// and timelines: never renumber or rename them.

#include <cstdint>
#include <optional>
#include <string>

enum class TextAlign : std::int32_t { Left = 0, Centre = 1, Right = 2 };
enum class TitleBackground : std::int32_t {
    Colour = 0,        // a solid colour
    BlurredPhoto = 1,  // a blurred, darkened copy of the card's photo
    OverPhoto = 2,     // the card's photo itself, framed as the show frames photos
};
enum class CaptionPlace : std::int32_t { Bottom = 0, Top = 1, Middle = 2 };
enum class CaptionBacking : std::int32_t { Shadow = 0, Box = 1 };
// What a photo without a caption of its own is captioned with.
enum class CaptionSource : std::int32_t { None = 0, Date = 1, Name = 2 };
// Where captions go: burned into the picture, a subtitle track, or both.
enum class CaptionOutput : std::int32_t { Picture = 0, Subtitles = 1, Both = 2 };

inline constexpr std::uint32_t kWhiteColour = 0xFFFFFF;  // colours are 0xRRGGBB
inline constexpr std::uint32_t kBlackColour = 0x000000;
// Sizes are a line's em height as a share of the frame's height, so every output size looks alike.
inline constexpr double kMinTextSize = 0.01;
inline constexpr double kMaxTextSize = 0.5;
inline constexpr std::size_t kMaxTextBytes = 4096;
inline constexpr int kMaxCaptionLines = 2;

struct TitleCard {
    std::string text;  // lines split by '\n'
    std::string font = "Sans Bold";  // a family with optional style words, without a size
    double size = 0.08;
    std::uint32_t colour = kWhiteColour;
    TextAlign align = TextAlign::Centre;
    TitleBackground background = TitleBackground::Colour;
    std::uint32_t backgroundColour = kBlackColour;  // for Colour; the photo is the row's path
    bool operator==(const TitleCard&) const = default;
};

struct CaptionStyle {
    std::string font = "Sans";
    double size = 0.045;
    std::uint32_t colour = kWhiteColour;
    CaptionBacking backing = CaptionBacking::Shadow;
    bool movesWithPhoto = false;
    CaptionSource automatic = CaptionSource::None;
    CaptionOutput output = CaptionOutput::Both;
    bool operator==(const CaptionStyle&) const = default;
};

struct Caption {
    std::string text;  // one or two lines split by '\n'; empty: none
    CaptionPlace place = CaptionPlace::Bottom;
    bool operator==(const Caption&) const = default;
};

// Names for show files, the command line and the timeline dump ("left", "blurred-photo", …).
const char* TextAlignName(TextAlign value);
std::optional<TextAlign> TextAlignFromName(const std::string& name);
const char* TitleBackgroundName(TitleBackground value);
std::optional<TitleBackground> TitleBackgroundFromName(const std::string& name);
const char* CaptionPlaceName(CaptionPlace value);
std::optional<CaptionPlace> CaptionPlaceFromName(const std::string& name);
const char* CaptionBackingName(CaptionBacking value);
std::optional<CaptionBacking> CaptionBackingFromName(const std::string& name);
const char* CaptionSourceName(CaptionSource value);
std::optional<CaptionSource> CaptionSourceFromName(const std::string& name);
const char* CaptionOutputName(CaptionOutput value);
std::optional<CaptionOutput> CaptionOutputFromName(const std::string& name);
// "#rrggbb" and back; nullopt for anything else.
std::string ColourName(std::uint32_t rgb);
std::optional<std::uint32_t> ColourFromName(const std::string& name);
