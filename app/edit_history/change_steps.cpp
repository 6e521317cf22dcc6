#include "app/edit_history/change_steps.h"

#include <algorithm>

namespace {

unsigned PartsOf(const std::vector<std::unique_ptr<EditStep>>& steps) {
    unsigned parts = 0;
    for (const auto& step : steps) parts |= step->parts();
    return parts;
}

}  // namespace

std::vector<PhotoChange> PhotoChanges(const std::vector<PhotoItem>& before,
                                      const std::vector<PhotoItem>& after) {
    std::vector<PhotoChange> changes;
    for (std::size_t i = 0; i < std::min(before.size(), after.size()); ++i) {
        if (before[i] != after[i]) changes.push_back({static_cast<int>(i), before[i], after[i]});
    }
    return changes;
}

void ApplyPhotoChanges(SlideshowProject& project, const std::vector<PhotoChange>& changes,
                       bool undo) {
    for (const PhotoChange& c : changes) project.SetPhoto(c.row, undo ? c.before : c.after);
}

std::vector<MusicPathChange> MusicPathChanges(const std::vector<MusicItem>& before,
                                              const std::vector<MusicItem>& after) {
    std::vector<MusicPathChange> changes;
    for (std::size_t i = 0; i < std::min(before.size(), after.size()); ++i) {
        if (before[i].path != after[i].path)
            changes.push_back({static_cast<int>(i), before[i].path, after[i].path});
    }
    return changes;
}

void ChangeMusicPathsStep::Redo(EditTarget& target) {
    for (const MusicPathChange& c : changes_) target.project.SetMusicPath(c.row, c.after);
}

void ChangeMusicPathsStep::Undo(EditTarget& target) {
    for (const MusicPathChange& c : changes_) target.project.SetMusicPath(c.row, c.before);
}

StepGroup::StepGroup(StepName name, std::vector<std::unique_ptr<EditStep>> steps)
    : EditStep(name, PartsOf(steps)), steps_(std::move(steps)) {}

void StepGroup::Redo(EditTarget& target) {
    for (auto& step : steps_) step->Redo(target);
}

void StepGroup::Undo(EditTarget& target) {
    for (auto step = steps_.rbegin(); step != steps_.rend(); ++step) (*step)->Undo(target);
}
