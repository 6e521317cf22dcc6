// Adds photos to the real main window (any Qt platform, offscreen too) and reports how soon the
// rows appear, how soon the rows in view and then all rows show their thumbnails, the gaps
// between the ticks of a 10 ms timer on the window's thread meanwhile, and the memory the
// thumbnails take. Runs twice: with the thumbnail cache as it is, then with a new window (its
// memory empty) on the cache the first run filled.
//
// Usage: bench-thumbnails SETTINGS_FILE PHOTO...   (XDG_CACHE_HOME chooses the cache)

#include <QApplication>
#include <QTimer>
#include <QTreeWidget>
#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>
#include <chrono>
#include <cstdio>
#include <fstream>

#include "app/kavrel_dlg.h"
#include "app/photo_thumbnails.h"
#include "platform/shell/profile_store.h"
#include "platform/shell/qt_shell_dialogs.h"
#include "settings/options_page.h"

namespace {

double NowMs() {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

long RssKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return 0;
}

double CpuMs() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}

double LoadAverage() {
    double load[1] = {0};
    return getloadavg(load, 1) == 1 ? load[0] : -1;
}

struct Figures {
    double rowsMs = 0, screenMs = -1, allMs = -1, cpuMs = 0, load = 0;
    std::vector<double> gaps;
};

// Rows from the first to the last in view.
std::pair<int, int> RowsInView(QTreeWidget* list) {
    QTreeWidgetItem* top = list->itemAt(0, 0);
    QTreeWidgetItem* bottom = list->itemAt(0, list->viewport()->height() - 1);
    return {top != nullptr ? list->indexOfTopLevelItem(top) : 0,
            bottom != nullptr ? list->indexOfTopLevelItem(bottom) : list->topLevelItemCount() - 1};
}

class Run {
public:
    Run(CKavrelDlg& window, const std::vector<std::string>& photos) : window_(window), photos_(photos) {}

    Figures Measure() {
        QTreeWidget* list = window_.photoList();
        f_.load = LoadAverage();
        const double cpuStart = CpuMs();
        const double start = NowMs();
        window_.AddPhotoFiles(photos_);
        list->viewport()->repaint();
        f_.rowsMs = NowMs() - start;
        waiting_ = list->topLevelItem(0)->icon(0).cacheKey();
        rows_ = static_cast<int>(photos_.size());
        view_ = RowsInView(list);
        double last = NowMs();
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            const double now = NowMs();
            f_.gaps.push_back(now - last);
            last = now;
            Check(list, now - start);
            if (f_.allMs >= 0) QCoreApplication::exit(0);
        });
        tick.start(10);
        QCoreApplication::exec();
        f_.cpuMs = CpuMs() - cpuStart;
        return f_;
    }

private:
    void Check(QTreeWidget* list, double elapsedMs) {
        for (; next_ < rows_; ++next_) {
            if (list->topLevelItem(next_)->icon(0).cacheKey() == waiting_) break;
        }
        // Rows before next_ have their pictures (every row waits on the same placeholder icon).
        bool viewDone = true;
        for (int row = view_.first; row <= view_.second; ++row) {
            viewDone = viewDone && list->topLevelItem(row)->icon(0).cacheKey() != waiting_;
        }
        if (f_.screenMs < 0 && viewDone) f_.screenMs = elapsedMs;
        if (next_ == rows_) f_.allMs = elapsedMs;
    }

    CKavrelDlg& window_;
    const std::vector<std::string>& photos_;
    Figures f_;
    qint64 waiting_ = 0;
    int rows_ = 0;
    int next_ = 0;
    std::pair<int, int> view_;
};

double Percentile(std::vector<double> v, double p) {
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, static_cast<std::size_t>(p * static_cast<double>(v.size())))];
}

std::size_t IconBytes(QTreeWidget* list) {
    std::size_t bytes = 0;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QIcon icon = list->topLevelItem(i)->icon(0);
        const QList<QSize> sizes = icon.availableSizes();
        for (const QSize& s : sizes) bytes += static_cast<std::size_t>(s.width()) * s.height() * 4;
    }
    return bytes;
}

void Report(const char* label, const Figures& f, CKavrelDlg& window, long rssBeforeKb) {
    QTreeWidget* list = window.photoList();
    auto* thumbnails = list->findChild<PhotoThumbnails*>();
    const std::pair<int, int> view = RowsInView(list);
    std::printf("== %s: %d photos, %d rows in view, %d worker(s)\n", label, list->topLevelItemCount(),
                view.second - view.first + 1, thumbnails->service()->workerCount());
    std::printf("load average        %8.2f at the start; CPU time of the whole program %.1f ms a photo\n", f.load,
                f.cpuMs / list->topLevelItemCount());
    std::printf("rows shown          %8.1f ms   (target 200 ms)\n", f.rowsMs);
    std::printf("first screenful     %8.1f ms   (target 1000 ms)\n", f.screenMs);
    std::printf("all thumbnails      %8.1f ms\n", f.allMs);
    std::printf("timer gaps          p99 %.1f ms, worst %.1f ms over %zu ticks   (targets 50 ms, 200 ms)\n",
                Percentile(f.gaps, 0.99), f.gaps.empty() ? 0 : *std::max_element(f.gaps.begin(), f.gaps.end()),
                f.gaps.size());
    std::printf("memory              %.1f MB kept by the service, %.1f MB in the rows' icons, RSS +%.1f MB   (target 40 MB)\n",
                thumbnails->service()->memoryBytes() / 1048576.0, IconBytes(list) / 1048576.0,
                (RssKb() - rssBeforeKb) / 1024.0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s SETTINGS_FILE PHOTO...\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    ProfileStore store(argv[1]);
    QtMessageBoxes boxes;
    QtFileDialogs files;
    QtPropertyFrame frames;
    const std::vector<std::string> photos(argv + 2, argv + argc);
    MainWindowServices services{boxes, files, store, frames, nullptr, [](const std::string&) { return true; }, ".", ".", nullptr, {}};
    for (const char* label : {"empty thumbnail cache", "warm thumbnail cache"}) {
        CKavrelDlg window(services);
        window.Prepare();
        window.SetThumbnailsShown(true);
        window.show();
        QCoreApplication::processEvents();
        const long rss = RssKb();  // the window's own start-up is not the thumbnails'
        const Figures f = Run(window, photos).Measure();
        Report(label, f, window, rss);
    }
    return 0;
}
