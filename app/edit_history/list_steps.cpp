#include "app/edit_history/list_steps.h"

#include <algorithm>
#include <utility>

namespace {

unsigned PartOf(MediaList list) { return list == MediaList::Photos ? kPhotoPart : kMusicPart; }

// Runs of adjacent rows, in ascending order.
std::vector<std::vector<int>> Runs(const std::vector<int>& rows) {
    std::vector<std::vector<int>> runs;
    for (int r : rows) {
        if (runs.empty() || runs.back().back() + 1 != r) runs.emplace_back();
        runs.back().push_back(r);
    }
    return runs;
}

// Where `row` is after one move of `move.rows` in front of `move.destination`.
int RowAfterMove(int row, const RowMove& move) {
    const auto& rows = move.rows;
    const auto at = std::find(rows.begin(), rows.end(), row);
    const int before = static_cast<int>(
        std::count_if(rows.begin(), rows.end(), [&](int r) { return r < move.destination; }));
    if (at != rows.end()) return move.destination - before + static_cast<int>(at - rows.begin());
    const int passedBelow =
        static_cast<int>(std::count_if(rows.begin(), rows.end(), [&](int r) { return r < row; }));
    return row - passedBelow + (row >= move.destination ? static_cast<int>(rows.size()) : 0);
}

}  // namespace

ListItemsStep::ListItemsStep(StepName name, ListItems items)
    : EditStep(name, PartOf(items.list)), items_(std::move(items)) {}

void ListItemsStep::Put(SlideshowProject& project) {
    if (items_.list == MediaList::Photos) {
        project.InsertPhotos(items_.rows, std::exchange(items_.photos, {}));
    } else {
        project.InsertMusicItems(items_.rows, std::exchange(items_.music, {}));
    }
}

void ListItemsStep::Take(SlideshowProject& project) {
    if (items_.list == MediaList::Photos) {
        project.TakePhotos(items_.rows, &items_.photos);
    } else {
        project.TakeMusicItems(items_.rows, &items_.music);
    }
}

MoveRowsStep::MoveRowsStep(StepName name, MediaList list, std::vector<RowMove> moves)
    : EditStep(name, PartOf(list)), list_(list), moves_(std::move(moves)) {}

void MoveRowsStep::Redo(EditTarget& target) {
    for (const RowMove& m : moves_) target.project.MoveRows(list_, m.rows, m.destination);
}

void MoveRowsStep::Undo(EditTarget& target) {
    for (auto m = moves_.rbegin(); m != moves_.rend(); ++m) {
        target.project.ReturnMovedRows(list_, m->rows, m->destination);
    }
}

std::vector<RowMove> MovesOneUp(const std::vector<int>& ascendingRows) {
    std::vector<RowMove> moves;
    if (ascendingRows.empty() || ascendingRows.front() == 0) return moves;
    for (std::vector<int>& run : Runs(ascendingRows)) {
        const int destination = run.front() - 1;
        moves.push_back({std::move(run), destination});
    }
    return moves;
}

std::vector<RowMove> MovesOneDown(const std::vector<int>& ascendingRows, int count) {
    std::vector<RowMove> moves;
    if (ascendingRows.empty() || ascendingRows.back() == count - 1) return moves;
    std::vector<std::vector<int>> runs = Runs(ascendingRows);
    for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
        const int destination = run->back() + 2;
        moves.push_back({std::move(*run), destination});
    }
    return moves;
}

std::vector<int> RowsAfterMoves(std::vector<int> rows, const std::vector<RowMove>& moves) {
    for (const RowMove& move : moves) {
        for (int& r : rows) r = RowAfterMove(r, move);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}
