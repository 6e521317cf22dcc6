#include "app/edit_history/settings_steps.h"

#include "app/edit_history/step_names.h"

StoredSettings StoredSettings::Read(const ProfileStore& store,
                                    std::span<const Setting* const> settings) {
    StoredSettings read;
    for (const Setting* s : settings) {
        const bool text = s->type == SettingType::Text;
        read.values_.push_back(
            {s, text ? 0 : ReadInt(store, *s), text ? ReadText(store, *s) : std::string()});
    }
    return read;
}

void StoredSettings::WriteTo(ProfileStore& store) const {
    for (const Value& v : values_) {
        if (v.setting->type == SettingType::Text) {
            WriteText(store, *v.setting, v.text);
        } else {
            WriteInt(store, *v.setting, v.number);
        }
    }
}

DefaultsState CurrentDefaultsState(const SlideshowProject& project, const ProfileStore& store) {
    return {project.defaults(), project.musicFadeOutSec(), project.musicMix(),
            StoredSettings::Read(store, kTransitionDialogSettings)};
}

TransitionSettingsStep::TransitionSettingsStep(DefaultsState before, DefaultsState after,
                                               std::vector<PhotoChange> refreshed)
    : EditStep(step_names::kTransitionSettings, kPhotoPart),
      before_(std::move(before)),
      after_(std::move(after)),
      refreshed_(std::move(refreshed)) {}

void TransitionSettingsStep::Redo(EditTarget& target) { Apply(target, after_, false); }
void TransitionSettingsStep::Undo(EditTarget& target) { Apply(target, before_, true); }

void TransitionSettingsStep::Apply(EditTarget& target, const DefaultsState& state, bool undo) {
    target.project.defaults() = state.defaults;
    target.project.setMusicFadeOutSec(state.musicFadeOutSec);
    target.project.musicMix() = state.musicMix;
    ApplyPhotoChanges(target.project, refreshed_, undo);
    state.stored.WriteTo(target.store);
}

OutputState CurrentOutputState(const SlideshowProject& project, const HeldCompressors& held,
                               const ProfileStore& store) {
    return {project.output(), held, StoredSettings::Read(store, kOptionsDialogSettings)};
}

OptionsStep::OptionsStep(OutputState before, OutputState after)
    : EditStep(step_names::kOptions, kOutputPart),
      before_(std::move(before)),
      after_(std::move(after)) {}

void OptionsStep::Apply(EditTarget& target, const OutputState& state) {
    target.project.output() = state.output;
    target.held = state.held;
    state.stored.WriteTo(target.store);
}

CaptionStyleStep::CaptionStyleStep(CaptionStyle before, CaptionStyle after)
    : EditStep(step_names::kCaptionStyle, 0), before_(std::move(before)), after_(std::move(after)) {}
