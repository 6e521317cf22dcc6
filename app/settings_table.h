#pragma once
// Every value the program keeps between runs: its section, key, type and default. Values are
// read where they are needed and written when the user confirms a change; nothing is cached.

#include <array>
#include <string>
#include <string_view>

#include "app/slideshow_project.h"

class ProfileStore;

// The settings' organisation; the application part is the program's file name.
inline constexpr const char* kSettingsOrganization = "QuillfenStudio";

enum class SettingType { Integer, Text };

struct Setting {
    std::string_view section;  // empty for the interface font: the current language's name
    std::string_view key;
    SettingType type;
    int intDefault;
    std::string_view textDefault;
};

namespace settings {
// Output settings. "OutputName"'s default is computed (DefaultOutputName).
inline constexpr Setting kOutputName{"Settings", "OutputName", SettingType::Text, 0, ""};
inline constexpr Setting kOutputWidth{"Settings", "OutputWidth", SettingType::Integer, 640, ""};
inline constexpr Setting kOutputHeight{"Settings", "OutputHigh", SettingType::Integer, 480, ""};
inline constexpr Setting kOutputFormat{"Settings", "nOuptputFormat", SettingType::Integer, 1, ""};
inline constexpr Setting kVideoBitrate{"Settings", "n_video_bitrate", SettingType::Integer, 2048000,
                                       ""};
inline constexpr Setting kAudioBitrate{"Settings", "n_audio_bitrate", SettingType::Integer, 192000,
                                       ""};
// Only ever read: set by editing the settings file.
inline constexpr Setting kFileProfile{"Settings", "b_file_profile", SettingType::Integer, 0, ""};
// -2: choose the default compressor; -1: none; n: the n-th of the enumeration.
inline constexpr Setting kVideoCompressor{"DexVideoCompress", "CompressorNumber",
                                          SettingType::Integer, -2, ""};
inline constexpr Setting kAudioCompressor{"DexAudioCompress", "CompressorNumber",
                                          SettingType::Integer, -2, ""};
// Durations are texts holding decimal numbers, written with "%f".
inline constexpr Setting kPhotoDuration{"TransitionSettings", "mf_PhotoDuration", SettingType::Text,
                                        0, "8"};
inline constexpr Setting kTransitionDuration{"TransitionSettings", "mf_TransitionDuration",
                                             SettingType::Text, 0, "4"};
inline constexpr Setting kTransitionType{"TransitionSettings", "TransitionType",
                                         SettingType::Integer, 0, ""};
// Holds the same-transition index, whatever its name says.
inline constexpr Setting kTransitionName{"TransitionSettings", "TransitionName",
                                         SettingType::Integer, 0, ""};
// Seconds over which the music fades out at the end of the show; 0: it stops with the show.
inline constexpr Setting kMusicFadeOut{"TransitionSettings", "mf_MusicFadeOut", SettingType::Text, 0, "2"};
// Motion: the policy for new photos (MotionPolicy), the "Same" motion (MotionKind), the amount
// in percent (1 to 100), the pace (0 constant speed, 1 eased) and the framing (Framing).
inline constexpr Setting kMotionPolicy{"TransitionSettings", "MotionPolicy", SettingType::Integer, 0, ""};
inline constexpr Setting kSameMotion{"TransitionSettings", "SameMotion", SettingType::Integer, 1, ""};
inline constexpr Setting kMotionAmount{"TransitionSettings", "MotionAmount", SettingType::Integer, 15, ""};
inline constexpr Setting kMotionEasing{"TransitionSettings", "MotionEasing", SettingType::Integer, 0, ""};
inline constexpr Setting kFraming{"TransitionSettings", "Framing", SettingType::Integer, 0, ""};
// 1: moves and Fill's crop keep the faces found in the frame.
inline constexpr Setting kFacesAimed{"TransitionSettings", "FacesAimed", SettingType::Integer, 1, ""};
inline constexpr Setting kCurrentLanguage{"Option", "CurrentLanguage", SettingType::Text, 0,
                                          "english"};
inline constexpr Setting kLastPhotoFolder{"Option", "LastPhotoFolder", SettingType::Text, 0, ""};
inline constexpr Setting kLastAudioFolder{"Option", "LastAudioFolder", SettingType::Text, 0, ""};
inline constexpr Setting kLastShowFolder{"Option", "LastShowFolder", SettingType::Text, 0, ""};

// The shows opened or saved last, newest first.
inline constexpr std::array<Setting, 8> kRecentShows{{
    {"RecentShows", "Show1", SettingType::Text, 0, ""},
    {"RecentShows", "Show2", SettingType::Text, 0, ""},
    {"RecentShows", "Show3", SettingType::Text, 0, ""},
    {"RecentShows", "Show4", SettingType::Text, 0, ""},
    {"RecentShows", "Show5", SettingType::Text, 0, ""},
    {"RecentShows", "Show6", SettingType::Text, 0, ""},
    {"RecentShows", "Show7", SettingType::Text, 0, ""},
    {"RecentShows", "Show8", SettingType::Text, 0, ""},
}};
// 1: the photo list shows each photo's thumbnail; 0: names only.
inline constexpr Setting kShowThumbnails{"Option", "ShowThumbnails", SettingType::Integer, 1, ""};

// The interface font, one section per language.
inline constexpr std::array<Setting, 13> kInterfaceFont{{
    {"", "lfHeight", SettingType::Integer, -11, ""},
    {"", "lfWidth", SettingType::Integer, 0, ""},
    {"", "lfEscapement", SettingType::Integer, 0, ""},
    {"", "lfOrientation", SettingType::Integer, 0, ""},
    {"", "lfWeight", SettingType::Integer, 400, ""},
    {"", "lfItalic", SettingType::Integer, 0, ""},
    {"", "lfUnderline", SettingType::Integer, 0, ""},
    {"", "lfStrikeOut", SettingType::Integer, 0, ""},
    {"", "lfCharSet", SettingType::Integer, 1, ""},
    {"", "lfOutPrecision", SettingType::Integer, 0, ""},
    {"", "lfClipPrecision", SettingType::Integer, 0, ""},
    {"", "lfPitchAndFamily", SettingType::Integer, 0, ""},
    {"", "lfFaceName", SettingType::Text, 0, "Microsoft Sans Serif"},
}};

// Every setting with a fixed section (the font's are above).
inline constexpr std::array<const Setting*, 25> kAll{
    &kOutputName,      &kOutputWidth,   &kOutputHeight,       &kOutputFormat,
    &kVideoBitrate,    &kAudioBitrate,  &kFileProfile,        &kVideoCompressor,
    &kAudioCompressor, &kPhotoDuration, &kTransitionDuration, &kTransitionType,
    &kTransitionName,  &kCurrentLanguage, &kLastPhotoFolder,  &kLastAudioFolder,
    &kMusicFadeOut,    &kMotionPolicy,  &kSameMotion,         &kMotionAmount,
    &kMotionEasing,    &kFraming,       &kLastShowFolder,     &kShowThumbnails,
    &kFacesAimed};
}  // namespace settings

int ReadInt(const ProfileStore& store, const Setting& setting);
std::string ReadText(const ProfileStore& store, const Setting& setting);
void WriteInt(ProfileStore& store, const Setting& setting, int value);
void WriteText(ProfileStore& store, const Setting& setting, const std::string& value);

// A duration text read like the C library's text-to-double: a text that is not a number is 0.
double ParseDurationText(const std::string& text);
// "%f" with a full stop whatever the locale: 8 is "8.000000".
std::string FormatDurationText(double seconds);

// The default output file: the user's videos folder, or the home folder when there is none,
// followed by "/photo.avi".
std::string DefaultOutputName(const std::string& videosFolder, const std::string& homeFolder);
std::string DefaultOutputName();

// The music's fade-out in seconds as stored; a text that is no number, or a negative one, is 0.
double ReadMusicFadeOut(const ProfileStore& store);
void WriteMusicFadeOut(ProfileStore& store, double seconds);

// The defaults for new photos as stored, with the show's motion and framing; stored values out
// of range read as their defaults.
PhotoDefaults ReadPhotoDefaults(const ProfileStore& store);
void WritePhotoDefaults(ProfileStore& store, const PhotoDefaults& defaults);
