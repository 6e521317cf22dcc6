#pragma once
// Steps of the settings dialogs, undone as if the dialog had been confirmed with the old
// values: in the show, the held compressors and the settings file alike.

#include <array>
#include <span>
#include <string>
#include <vector>

#include "app/edit_history/change_steps.h"
#include "app/settings_table.h"

// Values of the settings file, each read and written as its setting's type says.
class StoredSettings {
  public:
    static StoredSettings Read(const ProfileStore& store, std::span<const Setting* const> settings);
    void WriteTo(ProfileStore& store) const;
    bool operator==(const StoredSettings&) const = default;

  private:
    struct Value {
        const Setting* setting;
        int number;
        std::string text;
        bool operator==(const Value&) const = default;
    };
    std::vector<Value> values_;
};

// What the default transition settings dialog writes, and what Options writes.
inline constexpr std::array<const Setting*, 11> kTransitionDialogSettings{
    &settings::kPhotoDuration,  &settings::kTransitionDuration, &settings::kTransitionType,
    &settings::kTransitionName, &settings::kMotionPolicy,       &settings::kSameMotion,
    &settings::kMotionAmount,   &settings::kMotionEasing,       &settings::kFraming,
    &settings::kMusicFadeOut,   &settings::kFacesAimed};
inline constexpr std::array<const Setting*, 8> kOptionsDialogSettings{
    &settings::kOutputName,      &settings::kOutputWidth,     &settings::kOutputHeight,
    &settings::kVideoCompressor, &settings::kAudioCompressor, &settings::kVideoBitrate,
    &settings::kAudioBitrate,    &settings::kOutputFormat};

struct DefaultsState {
    PhotoDefaults defaults;
    double musicFadeOutSec = 0;
    MusicMix musicMix;
    StoredSettings stored;
    bool operator==(const DefaultsState&) const = default;
};
DefaultsState CurrentDefaultsState(const SlideshowProject& project, const ProfileStore& store);

// The defaults confirmed, with the photos "Refresh photo list" changed in the same step.
class TransitionSettingsStep : public EditStep {
  public:
    TransitionSettingsStep(DefaultsState before, DefaultsState after,
                           std::vector<PhotoChange> refreshed);
    void Redo(EditTarget& target) override;
    void Undo(EditTarget& target) override;

  private:
    void Apply(EditTarget& target, const DefaultsState& state, bool undo);
    DefaultsState before_, after_;
    std::vector<PhotoChange> refreshed_;
};

struct OutputState {
    OutputSettings output;
    HeldCompressors held;
    StoredSettings stored;
};
OutputState CurrentOutputState(const SlideshowProject& project, const HeldCompressors& held,
                               const ProfileStore& store);

class OptionsStep : public EditStep {
  public:
    OptionsStep(OutputState before, OutputState after);
    void Redo(EditTarget& target) override { Apply(target, after_); }
    void Undo(EditTarget& target) override { Apply(target, before_); }

  private:
    static void Apply(EditTarget& target, const OutputState& state);
    OutputState before_, after_;
};

// The show's caption style; nothing of it is in the settings file.
class CaptionStyleStep : public EditStep {
  public:
    CaptionStyleStep(CaptionStyle before, CaptionStyle after);
    void Redo(EditTarget& target) override { target.project.captionStyle() = after_; }
    void Undo(EditTarget& target) override { target.project.captionStyle() = before_; }

  private:
    CaptionStyle before_, after_;
};
