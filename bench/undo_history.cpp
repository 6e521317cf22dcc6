// The main window's history on a 1000-photo show, headless (any Qt platform, offscreen too):
// how long Undo and Redo of "Remove 1000 photos" take, the list rebuilt and drawn included, and
// how much memory 100 steps of adding, removing or moving up to 10 photos keep.
//
// Usage: bench-undo-history SETTINGS_INI
// The photos are names only: nothing here opens them.

#include <malloc.h>

#include <QApplication>
#include <QTreeWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>

#include "app/kavrel_dlg.h"
#include "platform/shell/console_message_boxes.h"
#include "platform/shell/profile_store.h"
#include "platform/shell/qt_shell_dialogs.h"
#include "settings/options_page.h"

namespace {

double NowMs() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double HeapMb() {
    malloc_trim(0);
    return static_cast<double>(mallinfo2().uordblks) / (1024.0 * 1024.0);
}

std::vector<std::string> Names(int first, int count) {
    std::vector<std::string> names;
    for (int i = first; i < first + count; ++i)
        names.push_back("/srv/photos/holiday/IMG_" + std::to_string(10000 + i) + ".jpg");
    return names;
}

void SelectPhotos(CKavrelDlg& window, const std::vector<int>& rows) {
    QTreeWidget* list = window.photoList();
    list->clearSelection();
    for (int r : rows) list->topLevelItem(r)->setSelected(true);
}

// Runs `command` and the window's pending drawing; its milliseconds.
template <class F>
double Timed(F command) {
    const double start = NowMs();
    command();
    QApplication::processEvents();
    return NowMs() - start;
}

void TimeRemovalOfEveryPhoto(CKavrelDlg& window) {
    window.photoList()->selectAll();
    const double removed = Timed([&] { window.OnDelete(true); });
    std::vector<double> undo, redo;
    for (int i = 0; i < 5; ++i) {
        undo.push_back(Timed([&] { window.OnUndo(); }));
        redo.push_back(Timed([&] { window.OnRedo(); }));
    }
    window.OnUndo();
    std::sort(undo.begin(), undo.end());
    std::sort(redo.begin(), redo.end());
    std::printf(
        "remove 1000 photos: %.1f ms; undo median %.1f ms, worst %.1f ms; redo median %.1f ms, "
        "worst %.1f ms\n",
        removed, undo[2], undo[4], redo[2], redo[4]);
}

// Steps of up to 10 photos: a removal, the addition of as many, a move; the count stays 1000.
void HundredSmallSteps(CKavrelDlg& window) {
    std::mt19937 random(1);
    auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    int added = 0;
    int removed = 0;
    for (int step = 0; step < 100; ++step) {
        const int count = window.project().photoCount();
        std::vector<int> rows;
        const int size = 1 + below(10);
        while (static_cast<int>(rows.size()) < size) rows.push_back(below(count));
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        if (step % 3 == 0) {
            SelectPhotos(window, rows);
            window.OnDelete(true);
            removed = static_cast<int>(rows.size());
        } else if (step % 3 == 1) {
            window.AddPhotoFiles(Names(2000 + added, removed), below(count + 1));
            added += removed;
        } else {
            window.MoveRows(true, rows, below(count + 1));
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s SETTINGS_INI\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    ConsoleMessageBoxes boxes("bench-undo-history");
    QtFileDialogs files;
    QtPropertyFrame frames;
    ProfileStore store(argv[1]);
    MainWindowServices services{boxes, files, store, frames, nullptr, nullptr, ".", ".", nullptr, {}};
    CKavrelDlg window(services);
    window.Prepare();
    window.show();
    window.AddPhotoFiles(Names(0, 1000));
    QApplication::processEvents();
    TimeRemovalOfEveryPhoto(window);
    const double alone = HeapMb();
    HundredSmallSteps(window);
    QApplication::processEvents();
    const double after = HeapMb();
    std::printf(
        "heap in use: %.2f MB with the 1000-photo show, %.2f MB after 100 steps (%d photos): +%.2f "
        "MB\n",
        alone, after, window.project().photoCount(), after - alone);
    return 0;
}
