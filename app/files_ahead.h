#pragma once
// Files looked at on a worker as they join a list, so that Convert, Preview and the dialogs find
// them measured: songs' loudness and beats, photos' faces. One file at a time, at low priority;
// files still waiting when the window closes are dropped, and the one in hand is finished.

#include <QThreadPool>
#include <functional>
#include <string>
#include <vector>

class FilesAhead {
public:
    explicit FilesAhead(std::function<void(const std::string&)> look);
    ~FilesAhead();
    FilesAhead(const FilesAhead&) = delete;
    FilesAhead& operator=(const FilesAhead&) = delete;

    void LookAt(const std::vector<std::string>& paths);

private:
    std::function<void(const std::string&)> look_;
    QThreadPool pool_;
};
