#include "app/slideshow_project.h"

#include <algorithm>
#include <utility>

#include "engine/transition_catalogue.h"

namespace {

// Removing the k-th selected row (0-based) at row − k, since k rows before it are gone already.
template <class T>
void RemoveSelection(std::vector<T>& list, const std::vector<int>& ascendingPositions) {
    int removed = 0;
    for (int row : ascendingPositions) {
        int at = row - removed;
        if (at < 0 || at >= static_cast<int>(list.size())) continue;
        list.erase(list.begin() + at);
        ++removed;
    }
}

bool StrictlyAscendingWithin(const std::vector<int>& rows, int count) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (rows[i] < 0 || rows[i] >= count || (i > 0 && rows[i] <= rows[i - 1])) return false;
    }
    return true;
}

template <class T>
bool PathsFit(const std::vector<T>& items) {
    for (const T& item : items) {
        if (item.path.size() > kMaxPathBytes) return false;
    }
    return true;
}

// One pass, so that a thousand rows cost no more than the list.
template <class T>
ProjectResult InsertRows(std::vector<T>& list, const std::vector<int>& rows, std::vector<T> items) {
    const int total = static_cast<int>(list.size() + items.size());
    if (rows.size() != items.size() || !StrictlyAscendingWithin(rows, total)) return ProjectResult::NoSuchItem;
    if (!PathsFit(items)) return ProjectResult::PathTooLong;
    std::vector<T> merged;
    merged.reserve(static_cast<std::size_t>(total));
    std::size_t old = 0, added = 0;
    for (int row = 0; row < total; ++row) {
        const bool insertHere = added < rows.size() && rows[added] == row;
        merged.push_back(std::move(insertHere ? items[added++] : list[old++]));
    }
    list = std::move(merged);
    return ProjectResult::Ok;
}

template <class T>
ProjectResult TakeRows(std::vector<T>& list, const std::vector<int>& rows, std::vector<T>* taken) {
    if (!StrictlyAscendingWithin(rows, static_cast<int>(list.size()))) return ProjectResult::NoSuchItem;
    std::vector<T> kept;
    kept.reserve(list.size() - rows.size());
    std::size_t next = 0;
    for (int row = 0; row < static_cast<int>(list.size()); ++row) {
        const bool take = next < rows.size() && rows[next] == row;
        if (take) ++next;
        (take ? *taken : kept).push_back(std::move(list[static_cast<std::size_t>(row)]));
    }
    list = std::move(kept);
    return ProjectResult::Ok;
}

// Where the first of the moved rows lands.
int LandingRow(const std::vector<int>& rows, int destination) {
    return destination - static_cast<int>(std::count_if(rows.begin(), rows.end(), [&](int r) { return r < destination; }));
}

std::vector<int> Consecutive(int first, std::size_t count) {
    std::vector<int> rows(count);
    for (std::size_t i = 0; i < count; ++i) rows[i] = first + static_cast<int>(i);
    return rows;
}

template <class T>
ProjectResult MoveListRows(std::vector<T>& list, const std::vector<int>& rows, int destination, bool back) {
    if (destination < 0 || destination > static_cast<int>(list.size()) ||
        !StrictlyAscendingWithin(rows, static_cast<int>(list.size()))) {
        return ProjectResult::NoSuchItem;
    }
    const std::vector<int> landed = Consecutive(LandingRow(rows, destination), rows.size());
    std::vector<T> moving;
    TakeRows(list, back ? landed : rows, &moving);
    return InsertRows(list, back ? rows : landed, std::move(moving));
}

}  // namespace

ProjectResult SlideshowProject::AppendPhoto(const std::string& path) {
    if (path.size() > kMaxPathBytes) return ProjectResult::PathTooLong;
    photos_.push_back(MakePhotos({path}, photoCount()).front());
    return ProjectResult::Ok;
}

std::vector<PhotoItem> SlideshowProject::MakePhotos(const std::vector<std::string>& paths, int position) {
    std::vector<PhotoItem> made;
    MotionKind previous = position > 0 && position <= photoCount()
                              ? photos_[static_cast<std::size_t>(position - 1)].motion
                              : MotionKind::None;
    for (const std::string& path : paths) {
        PhotoItem item;
        item.path = path;
        item.durationSec = defaults_.photoDurationSec;
        item.transition = ChooseTransition(defaults_.policy, defaults_.sameIndex, position, random_);
        item.transitionDurationSec = defaults_.transitionDurationSec;
        item.motion = ChooseMotion(defaults_.motionPolicy, static_cast<int>(defaults_.sameMotion), position,
                                   random_.seed(), previous);
        previous = item.motion;
        made.push_back(std::move(item));
        ++position;
    }
    return made;
}

ProjectResult SlideshowProject::InsertPhotos(const std::vector<int>& ascendingRows, std::vector<PhotoItem> items) {
    return InsertRows(photos_, ascendingRows, std::move(items));
}

ProjectResult SlideshowProject::InsertMusicItems(const std::vector<int>& ascendingRows, std::vector<MusicItem> items) {
    return InsertRows(music_, ascendingRows, std::move(items));
}

ProjectResult SlideshowProject::TakePhotos(const std::vector<int>& ascendingRows, std::vector<PhotoItem>* taken) {
    return TakeRows(photos_, ascendingRows, taken);
}

ProjectResult SlideshowProject::TakeMusicItems(const std::vector<int>& ascendingRows, std::vector<MusicItem>* taken) {
    return TakeRows(music_, ascendingRows, taken);
}

ProjectResult SlideshowProject::MoveRows(MediaList list, const std::vector<int>& ascendingRows, int destination) {
    return list == MediaList::Photos ? MoveListRows(photos_, ascendingRows, destination, false)
                                     : MoveListRows(music_, ascendingRows, destination, false);
}

ProjectResult SlideshowProject::ReturnMovedRows(MediaList list, const std::vector<int>& ascendingRows,
                                                int destination) {
    return list == MediaList::Photos ? MoveListRows(photos_, ascendingRows, destination, true)
                                     : MoveListRows(music_, ascendingRows, destination, true);
}

ProjectResult SlideshowProject::AppendMusic(const std::string& path, REFERENCE_TIME length) {
    if (path.size() > kMaxPathBytes) return ProjectResult::PathTooLong;
    music_.push_back({path, length, {}});
    return ProjectResult::Ok;
}

ProjectResult SlideshowProject::SetPhoto(int position, const PhotoItem& item) {
    if (!ValidPhoto(position)) return ProjectResult::NoSuchItem;
    if (item.path.size() > kMaxPathBytes) return ProjectResult::PathTooLong;
    photos_[static_cast<std::size_t>(position)] = item;
    return ProjectResult::Ok;
}

ProjectResult SlideshowProject::SetMusicPath(int position, const std::string& path) {
    if (!ValidMusic(position)) return ProjectResult::NoSuchItem;
    if (path.size() > kMaxPathBytes) return ProjectResult::PathTooLong;
    music_[static_cast<std::size_t>(position)].path = path;
    return ProjectResult::Ok;
}

ProjectResult SlideshowProject::SetSong(int position, const SongSettings& song) {
    if (!ValidMusic(position)) return ProjectResult::NoSuchItem;
    music_[static_cast<std::size_t>(position)].song = song;
    return ProjectResult::Ok;
}

REFERENCE_TIME MusicItem::PlayedLength() const {
    if (length <= 0) return length;
    const REFERENCE_TIME end = song.trimEnd > 0 ? std::min(song.trimEnd, length) : length;
    return std::max<REFERENCE_TIME>(end - std::min(song.trimStart, end), 0);
}

std::vector<REFERENCE_TIME> PlayedLengths(const std::vector<MusicItem>& music) {
    std::vector<REFERENCE_TIME> lengths;
    for (const MusicItem& item : music) lengths.push_back(item.PlayedLength());
    return lengths;
}

ProjectResult SlideshowProject::RemovePhoto(int position) {
    if (!ValidPhoto(position)) return ProjectResult::NoSuchItem;
    photos_.erase(photos_.begin() + position);
    return ProjectResult::Ok;
}

ProjectResult SlideshowProject::RemoveMusic(int position) {
    if (!ValidMusic(position)) return ProjectResult::NoSuchItem;
    music_.erase(music_.begin() + position);
    return ProjectResult::Ok;
}

void SlideshowProject::RemovePhotos(const std::vector<int>& ascendingPositions) {
    RemoveSelection(photos_, ascendingPositions);
}

void SlideshowProject::RemoveMusicItems(const std::vector<int>& ascendingPositions) {
    RemoveSelection(music_, ascendingPositions);
}

ProjectResult SlideshowProject::SwapPhotos(int a, int b) {
    if (!ValidPhoto(a) || !ValidPhoto(b)) return ProjectResult::NoSuchItem;
    std::swap(photos_[static_cast<std::size_t>(a)], photos_[static_cast<std::size_t>(b)]);
    return ProjectResult::Ok;
}

ProjectResult SlideshowProject::SwapMusic(int a, int b) {
    if (!ValidMusic(a) || !ValidMusic(b)) return ProjectResult::NoSuchItem;
    std::swap(music_[static_cast<std::size_t>(a)], music_[static_cast<std::size_t>(b)]);
    return ProjectResult::Ok;
}

bool SlideshowProject::NewDefaultsChangePhotos(const PhotoDefaults& next) const {
    if (photos_.empty()) return false;
    bool durationsChanged = next.photoDurationSec != defaults_.photoDurationSec ||
                            next.transitionDurationSec != defaults_.transitionDurationSec;
    bool policyChanged = next.policy != defaults_.policy;
    bool sameChanged = next.policy == kPolicySame && next.sameIndex != defaults_.sameIndex;
    bool motionChanged = next.motionPolicy != defaults_.motionPolicy ||
                         (next.motionPolicy == kMotionPolicySame && next.sameMotion != defaults_.sameMotion);
    return durationsChanged || policyChanged || sameChanged || motionChanged;
}

void SlideshowProject::TakeOverDefaults(const PhotoDefaults& next, bool refreshPhotos) {
    bool stayedRandom = next.policy == kPolicyRandom && defaults_.policy == kPolicyRandom;
    bool motionStayedRandom = next.motionPolicy == kMotionPolicyRandom && defaults_.motionPolicy == kMotionPolicyRandom;
    defaults_.photoDurationSec = next.photoDurationSec;
    defaults_.transitionDurationSec = next.transitionDurationSec;
    if (refreshPhotos) {
        for (std::size_t i = 0; i < photos_.size(); ++i) {
            PhotoItem& photo = photos_[i];
            photo.durationSec = next.photoDurationSec;
            photo.transitionDurationSec = next.transitionDurationSec;
            if (!stayedRandom) {
                photo.transition = ChooseTransition(next.policy, next.sameIndex,
                                                    static_cast<int>(i), random_);
            }
            if (!motionStayedRandom) {
                photo.motion = ChooseMotion(next.motionPolicy, static_cast<int>(next.sameMotion),
                                            static_cast<int>(i), random_.seed(),
                                            i > 0 ? photos_[i - 1].motion : MotionKind::None);
            }
        }
    }
    defaults_.policy = next.policy;
    defaults_.sameIndex = next.sameIndex;
    defaults_.motionPolicy = next.motionPolicy;
    defaults_.sameMotion = next.sameMotion;
    defaults_.motionAmountPercent = next.motionAmountPercent;
    defaults_.motionEased = next.motionEased;
    defaults_.framing = next.framing;
    defaults_.facesAimed = next.facesAimed;
}

double SlideshowProject::ComputeShowLength() const {
    double total = 0;
    for (const PhotoItem& photo : photos_) total += photo.durationSec;
    return total;
}
