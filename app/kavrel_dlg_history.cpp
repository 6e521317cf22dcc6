// The main window's history: every change to the show is a step pushed here, which Undo and Redo
// take back and do again, lists, order and selection included.

#include <QItemSelection>
#include <QScrollBar>
#include <QTreeWidget>
#include <QUndoStack>
#include <algorithm>
#include <numeric>

#include "app/edit_history/change_steps.h"
#include "app/edit_history/list_steps.h"
#include "app/edit_history/settings_steps.h"
#include "app/edit_history/step_names.h"
#include "app/kavrel_dlg.h"

namespace {

// Far more than a user takes back; each step holds only its change.
constexpr int kHistoryLimit = 200;

class StepCommand : public QUndoCommand {
  public:
    using Runner = std::function<void(EditStep&, bool undo)>;
    StepCommand(std::unique_ptr<EditStep> step, Runner run)
        : step_(std::move(step)), run_(std::move(run)) {}
    void redo() override { run_(*step_, false); }
    void undo() override { run_(*step_, true); }
    const EditStep& step() const { return *step_; }

  private:
    std::unique_ptr<EditStep> step_;
    Runner run_;
};

std::string StepText(const QUndoCommand* command) {
    return command ? static_cast<const StepCommand*>(command)->step().Name() : std::string();
}

std::vector<int> RowsFrom(int first, int count) {
    std::vector<int> rows(static_cast<std::size_t>(std::max(count, 0)));
    std::iota(rows.begin(), rows.end(), first);
    return rows;
}

std::vector<int>& RowsOf(RowSelection& selection, bool photos) {
    return photos ? selection.photos : selection.music;
}

int TotalRows(const std::vector<RowMove>& moves) {
    int total = 0;
    for (const RowMove& m : moves) total += static_cast<int>(m.rows.size());
    return total;
}

// One selection for the whole set: selecting row by row costs a signal for each.
void SelectRowSet(QTreeWidget* view, const std::vector<int>& rows) {
    QAbstractItemModel* model = view->model();
    const int last = model->columnCount() - 1;
    QItemSelection selection;
    for (std::size_t i = 0; i < rows.size();) {
        std::size_t end = i;
        while (end + 1 < rows.size() && rows[end + 1] == rows[end] + 1) ++end;
        if (rows[i] >= 0 && rows[end] < model->rowCount()) {
            selection.select(model->index(rows[i], 0), model->index(rows[end], last));
        }
        i = end + 1;
    }
    view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
}

}  // namespace

// Undo and Redo are reached through the menu bar, which holds their keys.
void CKavrelDlg::SetUpHistoryCommands() {
    history_ = std::make_unique<QUndoStack>();
    history_->setUndoLimit(kHistoryLimit);
    // A step runs before the stack counts it: the Edit menu follows the count.
    connect(history_.get(), &QUndoStack::indexChanged, this, [this] { UpdateMenuBar(); });
}

void CKavrelDlg::StartFreshHistory() {
    history_->clear();
    OnShowEdited();
}

// While converting the show stays as the conversion took it.
void CKavrelDlg::OnUndo() {
    if (!project_.run().converting && history_->canUndo()) history_->undo();
}

void CKavrelDlg::OnRedo() {
    if (!project_.run().converting && history_->canRedo()) history_->redo();
}

bool CKavrelDlg::CanUndo() const { return history_->canUndo(); }
bool CKavrelDlg::CanRedo() const { return history_->canRedo(); }

std::string CKavrelDlg::UndoStepText() const {
    return CanUndo() ? StepText(history_->command(history_->index() - 1)) : std::string();
}

std::string CKavrelDlg::RedoStepText() const {
    return CanRedo() ? StepText(history_->command(history_->index())) : std::string();
}

void CKavrelDlg::OnShowEdited() { ShowShowState(); }

RowSelection CKavrelDlg::CurrentSelection() const {
    return {SelectedRows(true), SelectedRows(false)};
}

void CKavrelDlg::PushStep(std::unique_ptr<EditStep> step, RowSelection after) {
    step->before = CurrentSelection();
    step->after = std::move(after);
    history_->push(
        new StepCommand(std::move(step), [this](EditStep& s, bool undo) { RunStep(s, undo); }));
}

void CKavrelDlg::RunStep(EditStep& step, bool undo) {
    const int photoScroll = photoList()->verticalScrollBar()->value();
    const int musicScroll = musicList()->verticalScrollBar()->value();
    EditTarget target{project_, s_.store, held_};
    undo ? step.Undo(target) : step.Redo(target);
    if (step.parts() & kPhotoPart) RebuildPhotoView();
    if (step.parts() & kMusicPart) RebuildMusicView();
    if (step.parts() & kOutputPart) ShowOutputStatus();
    const RowSelection& shown = undo ? step.before : step.after;
    ShowSelection(true, shown.photos, photoScroll);
    ShowSelection(false, shown.music, musicScroll);
    OnShowEdited();
}

// The list stays where it was scrolled, unless the selection would be out of sight.
void CKavrelDlg::ShowSelection(bool photos, const std::vector<int>& rows, int scroll) {
    QTreeWidget* view = photos ? photoList() : musicList();
    SelectRowSet(view, rows);
    view->verticalScrollBar()->setValue(scroll);
    if (QTreeWidgetItem* first = rows.empty() ? nullptr : view->topLevelItem(rows.front())) {
        view->setCurrentItem(first, 0, QItemSelectionModel::NoUpdate);
        view->scrollToItem(first);
    }
}

void CKavrelDlg::PushInsertion(ListItems items, std::optional<StepName> name, bool selectAfter) {
    if (items.rows.empty()) return;
    const bool photos = items.list == MediaList::Photos;
    const int count = static_cast<int>(items.rows.size());
    RowSelection after = CurrentSelection();
    RowsOf(after, photos) = selectAfter ? items.rows : std::vector<int>();
    if (!name) name = photos ? step_names::AddPhotos(count) : step_names::AddMusic(count);
    PushStep(std::make_unique<InsertItemsStep>(*name, std::move(items)), std::move(after));
}

std::vector<int> CKavrelDlg::InsertionRows(bool photos, int insertAt, std::size_t count) const {
    const int size = photos ? project_.photoCount() : project_.musicCount();
    const int at = insertAt < 0 || insertAt > size ? size : insertAt;
    return RowsFrom(at, static_cast<int>(count));
}

void CKavrelDlg::PushRemoval(bool photos, std::vector<int> rows, StepName name) {
    if (rows.empty()) return;
    RowSelection after = CurrentSelection();
    RowsOf(after, photos).clear();
    const MediaList list = photos ? MediaList::Photos : MediaList::Music;
    PushStep(std::make_unique<RemoveItemsStep>(name, list, std::move(rows)), std::move(after));
}

void CKavrelDlg::RemoveRows(bool photos, const std::vector<int>& rows) {
    const int count = static_cast<int>(rows.size());
    PushRemoval(photos, rows,
                photos ? step_names::RemovePhotos(count) : step_names::RemoveMusic(count));
}

void CKavrelDlg::ClearRows(bool photos) {
    PushRemoval(photos, RowsFrom(0, photos ? project_.photoCount() : project_.musicCount()),
                photos ? step_names::kClearPhotos : step_names::kClearMusic);
}

void CKavrelDlg::PushMoves(bool photos, std::vector<RowMove> moves) {
    if (moves.empty()) return;
    RowSelection after = CurrentSelection();
    std::vector<int>& selected = RowsOf(after, photos);
    selected = RowsAfterMoves(std::move(selected), moves);
    const int count = TotalRows(moves);
    PushStep(std::make_unique<MoveRowsStep>(
                 photos ? step_names::MovePhotos(count) : step_names::MoveMusic(count),
                 photos ? MediaList::Photos : MediaList::Music, std::move(moves)),
             std::move(after));
}

void CKavrelDlg::MoveRows(bool photos, const std::vector<int>& rows, int destination) {
    if (project_.run().converting) return;
    std::vector<int> sorted = rows;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    const int count = photos ? project_.photoCount() : project_.musicCount();
    if (sorted.empty() || sorted.front() < 0 || sorted.back() >= count || destination < 0 ||
        destination > count)
        return;
    const std::vector<RowMove> moves{{sorted, destination}};
    if (RowsAfterMoves(sorted, moves) == sorted) return;  // the rows stay where they are
    PushMoves(photos, moves);
}

void CKavrelDlg::PushPhotoChanges(StepName name, std::vector<PhotoChange> changes) {
    if (changes.empty()) return;
    PushStep(std::make_unique<ChangePhotosStep>(name, std::move(changes)), CurrentSelection());
}

void CKavrelDlg::PushLocatedFiles(const std::vector<PhotoItem>& photos,
                                  const std::vector<MusicItem>& music) {
    std::vector<std::unique_ptr<EditStep>> parts;
    if (auto changes = PhotoChanges(photos, project_.photos()); !changes.empty()) {
        parts.push_back(
            std::make_unique<ChangePhotosStep>(step_names::kLocateFiles, std::move(changes)));
    }
    if (auto changes = MusicPathChanges(music, project_.music()); !changes.empty()) {
        parts.push_back(
            std::make_unique<ChangeMusicPathsStep>(step_names::kLocateFiles, std::move(changes)));
    }
    if (parts.empty()) return;
    PushStep(std::make_unique<StepGroup>(step_names::kLocateFiles, std::move(parts)),
             CurrentSelection());
}

void CKavrelDlg::PushDefaults(const DefaultsState& before,
                              const std::vector<PhotoItem>& photosBefore) {
    DefaultsState after = CurrentDefaultsState(project_, s_.store);
    std::vector<PhotoChange> refreshed = PhotoChanges(photosBefore, project_.photos());
    if (after == before && refreshed.empty()) return;
    PushStep(
        std::make_unique<TransitionSettingsStep>(before, std::move(after), std::move(refreshed)),
        CurrentSelection());
}

void CKavrelDlg::PushCaptionStyle(const CaptionStyle& before) {
    if (project_.captionStyle() == before) return;
    PushStep(std::make_unique<CaptionStyleStep>(before, project_.captionStyle()), CurrentSelection());
}

void CKavrelDlg::PushSong(int row, const SongSettings& song) {
    if (row < 0 || row >= project_.musicCount()) return;
    const SongSettings before = project_.music()[static_cast<std::size_t>(row)].song;
    if (song == before) return;
    PushStep(std::make_unique<ChangeSongStep>(step_names::kMusicProperties, row, before, song),
             CurrentSelection());
}

void CKavrelDlg::PushOptions(const OutputState& before) {
    OutputState after = CurrentOutputState(project_, held_, s_.store);
    if (after.output == before.output && after.stored == before.stored) return;
    PushStep(std::make_unique<OptionsStep>(before, std::move(after)), CurrentSelection());
}
