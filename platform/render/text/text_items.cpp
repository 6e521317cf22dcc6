#include "platform/render/text/text_items.h"

#include <array>
#include <cstdio>

namespace {

template <class E, std::size_t N>
const char* NameOf(const std::array<const char*, N>& names, E value) {
    const auto i = static_cast<std::size_t>(value);
    return i < N ? names[i] : names[0];
}

template <class E, std::size_t N>
std::optional<E> FromName(const std::array<const char*, N>& names, const std::string& name) {
    for (std::size_t i = 0; i < N; ++i) {
        if (name == names[i]) return static_cast<E>(i);
    }
    return std::nullopt;
}

constexpr std::array<const char*, 3> kAligns{"left", "centre", "right"};
constexpr std::array<const char*, 3> kBackgrounds{"colour", "blurred-photo", "over-photo"};
constexpr std::array<const char*, 3> kPlaces{"bottom", "top", "middle"};
constexpr std::array<const char*, 2> kBackings{"shadow", "box"};
constexpr std::array<const char*, 3> kSources{"none", "date", "name"};
constexpr std::array<const char*, 3> kOutputs{"picture", "subtitles", "both"};

}  // namespace

const char* TextAlignName(TextAlign value) { return NameOf(kAligns, value); }
std::optional<TextAlign> TextAlignFromName(const std::string& name) { return FromName<TextAlign>(kAligns, name); }
const char* TitleBackgroundName(TitleBackground value) { return NameOf(kBackgrounds, value); }
std::optional<TitleBackground> TitleBackgroundFromName(const std::string& name) {
    return FromName<TitleBackground>(kBackgrounds, name);
}
const char* CaptionPlaceName(CaptionPlace value) { return NameOf(kPlaces, value); }
std::optional<CaptionPlace> CaptionPlaceFromName(const std::string& name) {
    return FromName<CaptionPlace>(kPlaces, name);
}
const char* CaptionBackingName(CaptionBacking value) { return NameOf(kBackings, value); }
std::optional<CaptionBacking> CaptionBackingFromName(const std::string& name) {
    return FromName<CaptionBacking>(kBackings, name);
}
const char* CaptionSourceName(CaptionSource value) { return NameOf(kSources, value); }
std::optional<CaptionSource> CaptionSourceFromName(const std::string& name) {
    return FromName<CaptionSource>(kSources, name);
}
const char* CaptionOutputName(CaptionOutput value) { return NameOf(kOutputs, value); }
std::optional<CaptionOutput> CaptionOutputFromName(const std::string& name) {
    return FromName<CaptionOutput>(kOutputs, name);
}

std::string ColourName(std::uint32_t rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(rgb & 0xFFFFFF));
    return text;
}

std::optional<std::uint32_t> ColourFromName(const std::string& name) {
    if (name.size() != 7 || name[0] != '#') return std::nullopt;
    std::uint32_t rgb = 0;
    for (std::size_t i = 1; i < 7; ++i) {
        const char c = name[i];
        int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
                  : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
        if (digit < 0) return std::nullopt;
        rgb = rgb << 4 | static_cast<std::uint32_t>(digit);
    }
    return rgb;
}
