#include "app/slideshow_project.h"

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

}  // namespace

ProjectResult SlideshowProject::AppendPhoto(const std::string& path) {
    if (path.size() > kMaxPathBytes) return ProjectResult::PathTooLong;
    PhotoItem item;
    item.path = path;
    item.durationSec = defaults_.photoDurationSec;
    item.transition =
        ChooseTransition(defaults_.policy, defaults_.sameIndex, photoCount(), random_);
    item.transitionDurationSec = defaults_.transitionDurationSec;
    item.motion = ChooseMotion(defaults_.motionPolicy, static_cast<int>(defaults_.sameMotion), photoCount(),
                               random_.seed(), photos_.empty() ? MotionKind::None : photos_.back().motion);
    photos_.push_back(std::move(item));
    return ProjectResult::Ok;
}

ProjectResult SlideshowProject::AppendMusic(const std::string& path, REFERENCE_TIME length) {
    if (path.size() > kMaxPathBytes) return ProjectResult::PathTooLong;
    music_.push_back({path, length});
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
}

double SlideshowProject::ComputeShowLength() const {
    double total = 0;
    for (const PhotoItem& photo : photos_) total += photo.durationSec;
    return total;
}
