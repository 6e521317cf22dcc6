#include "app/show_messages.h"

#include <cstdio>
#include <initializer_list>

#include "app/file_refusals.h"
#include "app/path_rules.h"
#include "lang/language.h"
#include "platform/com/failure_texts.h"

namespace {

enum ShowString {
    kCannotOpen = 204,
    kCannotRead = 205,
    kTooLarge = 206,
    kDamaged = 207,
    kForeign = 208,
    kNewer = 209,
    kBadValue = 210,
    kCannotSave = 211,
    kVideoCompressorMissing = 212,
    kAudioCompressorMissing = 213,
    kFitNoPhotos = 214,
    kFitNoMusic = 215,
    kFitUnknownLength = 216,
    kFitTooShort = 217,
    kFitTooLong = 240,
    kNoPhotos = 241,
    kNoPicture = 242,
    kCompressorSwap = 243,
    kBeatNoPhotos = 284,
    kBeatNoMusic = 285,
    kBeatUnknownLength = 286,
    kBeatNoneFound = 287,
    kBeatCannotRead = 288,
    kBeatTooShort = 289,
    kSongLevel = 344,
    kSongLevelHeld = 345,
    kSongLevelAsMastered = 346,
};

// String `id` with each "%s" in turn replaced by the next of `values`.
std::string Filled(int id, std::initializer_list<std::string> values) {
    return FilledText(theLanguage.GetString(id).c_str(), values);
}

std::string ReasonText(const ShowFileError& error) {
    switch (error.problem) {
        case ShowFileProblem::CannotRead:
            return Filled(kCannotRead, {error.detail});
        case ShowFileProblem::TooLarge:
            return Filled(kTooLarge, {});
        case ShowFileProblem::Damaged:
            return Filled(kDamaged, {error.detail});
        case ShowFileProblem::Foreign:
            return Filled(kForeign, {});
        case ShowFileProblem::NewerVersion:
            return Filled(kNewer, {error.detail});
        case ShowFileProblem::BadValue:
            return Filled(kBadValue, {error.detail});
        default:
            return error.detail;
    }
}

std::string SecondsText(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", seconds);
    return text;
}

}  // namespace

std::string ShowOpenErrorText(const std::string& file, const ShowFileError& error) {
    const std::string reason = error.problem == ShowFileProblem::NotAFile ? NotAFileText(file) : ReasonText(error);
    return Filled(kCannotOpen, {file}) + "\n" + reason;
}

std::string ShowSaveErrorText(const std::string& file, const ShowFileError& error) {
    return Filled(kCannotSave, {file, error.problem == ShowFileProblem::NotAFile ? NotAFileText(file) : error.detail});
}

std::string MissingCompressorText(bool video, const std::string& name) {
    return Filled(video ? kVideoCompressorMissing : kAudioCompressorMissing, {name});
}

std::string FitRefusalText(const FitResult& result, const std::vector<MusicItem>& music) {
    switch (result.outcome) {
        case FitOutcome::NoPhotos:
            return Filled(kFitNoPhotos, {});
        case FitOutcome::NoMusic:
            return Filled(kFitNoMusic, {});
        case FitOutcome::UnknownLength:
            return Filled(
                kFitUnknownLength,
                {FileNamePart(music.at(static_cast<std::size_t>(result.musicIndex)).path)});
        case FitOutcome::TooShort:
            return Filled(kFitTooShort, {SecondsText(result.photoDurationSec)});
        case FitOutcome::TooLong:
            return Filled(kFitTooLong, {SecondsText(result.photoDurationSec)});
        default:
            return {};
    }
}

std::string BeatFitRefusalText(const BeatFitResult& result, const SlideshowProject& project) {
    auto musicName = [&] { return FileNamePart(project.music().at(static_cast<std::size_t>(result.musicIndex)).path); };
    switch (result.outcome) {
        case BeatFitOutcome::NoPhotos:
            return Filled(kBeatNoPhotos, {});
        case BeatFitOutcome::NoMusic:
            return Filled(kBeatNoMusic, {});
        case BeatFitOutcome::UnknownLength:
            return Filled(kBeatUnknownLength, {musicName()});
        case BeatFitOutcome::NoBeats:
            return Filled(kBeatNoneFound, {});
        case BeatFitOutcome::CannotRead:
            return Filled(kBeatCannotRead, {musicName()});
        case BeatFitOutcome::TooShort:
            return Filled(kBeatTooShort, {std::to_string(result.beats), std::to_string(project.photoCount())});
        default:
            return {};
    }
}

std::string NoPhotosText(const std::string& show) { return Filled(kNoPhotos, {show}); }

std::string NoPictureText() { return Filled(kNoPicture, {}); }

std::string CompressorSwapText(const std::string& container, const CompressorSwap& swap) {
    return Filled(kCompressorSwap,
                  {container, swap.givenVideo, swap.givenAudio, swap.takenVideo, swap.takenAudio});
}

namespace {
std::string Decibels(double value, bool sign) {
    char text[32];
    std::snprintf(text, sizeof text, sign ? "%+.1f" : "%.1f", value);
    return text;
}
}  // namespace

std::string SongLevelText(const std::optional<MusicLevel>& level, const MusicMix& mix) {
    if (!level) return {};
    const std::string lufs = Decibels(level->integratedLufs, false), peak = Decibels(level->truePeakDbtp, false);
    if (!mix.evenLoudness) return Filled(kSongLevelAsMastered, {lufs, peak});
    const LoudnessGain gain = GainToTarget(*level, mix.loudnessTargetLufs);
    return Filled(gain.heldByPeak ? kSongLevelHeld : kSongLevel,
                  {lufs, peak, Decibels(gain.gainDb, true), Decibels(mix.loudnessTargetLufs, false)});
}
