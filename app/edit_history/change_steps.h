#pragma once
// Steps that change values of rows in place: photo fields (the photo property dialog, Fit photos
// to the music or the beat, a photo located), music paths (a music file located), a song's own
// settings (the music property dialog), and a group of steps that counts as one.

#include <memory>
#include <string>
#include <vector>

#include "app/edit_history/edit_step.h"

struct PhotoChange {
    int row = 0;
    PhotoItem before, after;
};
// The rows whose photo differs between the two lists (of the same length).
std::vector<PhotoChange> PhotoChanges(const std::vector<PhotoItem>& before,
                                      const std::vector<PhotoItem>& after);
void ApplyPhotoChanges(SlideshowProject& project, const std::vector<PhotoChange>& changes,
                       bool undo);

class ChangePhotosStep : public EditStep {
  public:
    ChangePhotosStep(StepName name, std::vector<PhotoChange> changes)
        : EditStep(name, kPhotoPart), changes_(std::move(changes)) {}
    void Redo(EditTarget& target) override { ApplyPhotoChanges(target.project, changes_, false); }
    void Undo(EditTarget& target) override { ApplyPhotoChanges(target.project, changes_, true); }

  private:
    std::vector<PhotoChange> changes_;
};

struct MusicPathChange {
    int row = 0;
    std::string before, after;
};
std::vector<MusicPathChange> MusicPathChanges(const std::vector<MusicItem>& before,
                                              const std::vector<MusicItem>& after);

class ChangeMusicPathsStep : public EditStep {
  public:
    ChangeMusicPathsStep(StepName name, std::vector<MusicPathChange> changes)
        : EditStep(name, kMusicPart), changes_(std::move(changes)) {}
    void Redo(EditTarget& target) override;
    void Undo(EditTarget& target) override;

  private:
    std::vector<MusicPathChange> changes_;
};

// One song's trim, volume and fade-in (the music property dialog).
class ChangeSongStep : public EditStep {
  public:
    ChangeSongStep(StepName name, int row, SongSettings before, SongSettings after)
        : EditStep(name, kMusicPart), row_(row), before_(before), after_(after) {}
    void Redo(EditTarget& target) override { target.project.SetSong(row_, after_); }
    void Undo(EditTarget& target) override { target.project.SetSong(row_, before_); }

  private:
    int row_;
    SongSettings before_, after_;
};

// Steps done in order and undone in reverse, under one name.
class StepGroup : public EditStep {
  public:
    StepGroup(StepName name, std::vector<std::unique_ptr<EditStep>> steps);
    void Redo(EditTarget& target) override;
    void Undo(EditTarget& target) override;

  private:
    std::vector<std::unique_ptr<EditStep>> steps_;
};
