#pragma once
// One change to the show that can be undone and done again. A step holds the change itself (the
// rows and items concerned, old and new values), never a copy of the show, and the selection of
// both lists before and after it, so that the window shows each state as it was.
//
// Redo and Undo run on the window's thread, in turn, starting with Redo (which the window's
// history runs when the step is pushed): each expects the show as the other left it.

#include <string>
#include <vector>

#include "app/slideshow_project.h"
#include "engine/render_to_file.h"

class ProfileStore;

// What a step changes.
struct EditTarget {
    SlideshowProject& project;
    ProfileStore& store;
    HeldCompressors& held;
};

struct RowSelection {
    std::vector<int> photos;
    std::vector<int> music;
    bool operator==(const RowSelection&) const = default;
};

// The parts of the show a step changes, so that the window redraws only those.
enum StepParts : unsigned { kPhotoPart = 1, kMusicPart = 2, kOutputPart = 4 };

// A step's name in the current language: `singularId` for a count of 1, else `pluralId` with the
// count for its "%s" (pluralId 0: the name has no count).
struct StepName {
    int singularId = 0;
    int pluralId = 0;
    int count = 1;
};

class EditStep {
  public:
    virtual ~EditStep() = default;
    virtual void Redo(EditTarget& target) = 0;
    virtual void Undo(EditTarget& target) = 0;
    std::string Name() const;
    unsigned parts() const { return parts_; }

    RowSelection before;  // shown after Undo
    RowSelection after;   // shown after Redo

  protected:
    EditStep(StepName name, unsigned parts) : name_(name), parts_(parts) {}

  private:
    StepName name_;
    unsigned parts_;
};
