#pragma once
// Songs analysed on a worker as they join the list, so that Convert, Preview and a song's dialog
// find their loudness and beats already measured. One song at a time, at low priority; songs still
// waiting when the window closes are dropped, and the one being measured is finished.

#include <QThreadPool>
#include <string>
#include <vector>

class MusicAhead {
public:
    MusicAhead();
    ~MusicAhead();
    MusicAhead(const MusicAhead&) = delete;
    MusicAhead& operator=(const MusicAhead&) = delete;

    void Analyse(const std::vector<std::string>& paths);

private:
    QThreadPool pool_;
};
