#pragma once
// Steps that change which items a list holds or their order: items inserted, items removed
// (Clear removes every row), rows moved. An item is held either by the show or by the step,
// never by both: the step takes what it removes and gives it back on Undo.

#include <vector>

#include "app/edit_history/edit_step.h"

// Items of one list and the rows they take there (ascending).
struct ListItems {
    MediaList list = MediaList::Photos;
    std::vector<int> rows;
    std::vector<PhotoItem> photos;  // for the photo list
    std::vector<MusicItem> music;   // for the music list
};

class ListItemsStep : public EditStep {
  public:
    // The items the step holds now (none while they are in the show).
    std::size_t heldItems() const { return items_.photos.size() + items_.music.size(); }

  protected:
    ListItemsStep(StepName name, ListItems items);
    // Puts the held items into their rows; takes them back out.
    void Put(SlideshowProject& project);
    void Take(SlideshowProject& project);

  private:
    ListItems items_;
};

// Items made once (their random transitions and motions drawn then), inserted at their rows.
class InsertItemsStep : public ListItemsStep {
  public:
    InsertItemsStep(StepName name, ListItems items) : ListItemsStep(name, std::move(items)) {}
    void Redo(EditTarget& target) override { Put(target.project); }
    void Undo(EditTarget& target) override { Take(target.project); }
};

// The rows of `list` taken out; the items are held from Redo to Undo only.
class RemoveItemsStep : public ListItemsStep {
  public:
    RemoveItemsStep(StepName name, MediaList list, std::vector<int> ascendingRows)
        : ListItemsStep(name, {list, std::move(ascendingRows), {}, {}}) {}
    void Redo(EditTarget& target) override { Take(target.project); }
    void Undo(EditTarget& target) override { Put(target.project); }
};

// A set of rows moved in front of a row (counted before the move), as SlideshowProject::MoveRows.
struct RowMove {
    std::vector<int> rows;
    int destination = 0;
};

// Moves done one after the other (Move up moves each run of adjacent rows by one).
class MoveRowsStep : public EditStep {
  public:
    MoveRowsStep(StepName name, MediaList list, std::vector<RowMove> moves);
    void Redo(EditTarget& target) override;
    void Undo(EditTarget& target) override;

  private:
    MediaList list_;
    std::vector<RowMove> moves_;
};

// Move up and Move down of a selection as moves: each run of adjacent rows passes the row before
// (after) it; none when the selection holds the first (last) row.
std::vector<RowMove> MovesOneUp(const std::vector<int>& ascendingRows);
std::vector<RowMove> MovesOneDown(const std::vector<int>& ascendingRows, int count);
// The rows a selection takes after the moves.
std::vector<int> RowsAfterMoves(std::vector<int> ascendingRows, const std::vector<RowMove>& moves);
