#pragma once
// The whole in-memory state of one show: the photo and music lists, the defaults new photos
// receive, the output settings and the run state. Nothing of the lists is ever saved.
//
// Owned by the main window and used on its thread only. The lists grow without a fixed
// capacity; Convert and Preview refuse a list beyond kMaxPhotos or kMaxMusic.

#include <cstddef>
#include <string>
#include <vector>

#include "engine/crt_random.h"
#include "engine/motion_choice.h"
#include "platform/com/hresult.h"
#include "platform/render/text/text_items.h"

inline constexpr int kMaxPhotos = 1000;
inline constexpr int kMaxMusic = 100;
// A photo lasts less than this: the photo dialog takes up to 65535 and what truncates to it.
inline constexpr double kPhotoDurationLimitSec = 65536;
// The longest path an item holds, in bytes.
inline constexpr std::size_t kMaxPathBytes = 259;
// Seconds over which the music fades out at the end of the show, unless the settings say else.
inline constexpr double kDefaultMusicFadeOutSec = 2;

// A row of the photo list: a photo, or a title card whose picture is its text (its path is then
// the photo behind the text, or empty).
// A photo's own say over how it fills the frame and moves; each unset part is the show's. Views
// drawn by the user are its move's first and last (equal: a still crop), used as they are.
struct PhotoFraming {
    std::optional<Framing> framing;
    std::optional<int> motionAmountPercent;
    std::optional<PhotoRect> from, to;
    bool Drawn() const { return from.has_value() && to.has_value(); }
    bool operator==(const PhotoFraming&) const = default;
};

struct PhotoItem {
    std::string path;
    double durationSec = 0;
    int transition = 0;  // Transition catalogue index
    double transitionDurationSec = 0;
    MotionKind motion = MotionKind::None;
    std::optional<TitleCard> title = std::nullopt;
    Caption caption = {};  // the photo's own caption; no text: the show's automatic one, if any
    PhotoFraming framing = {};
    bool IsTitle() const { return title.has_value(); }
    bool operator==(const PhotoItem&) const = default;
};

// A song's own say: the part of its file that plays, how loud, and how it begins.
struct SongSettings {
    REFERENCE_TIME trimStart = 0;  // from the file's start
    REFERENCE_TIME trimEnd = 0;    // from the file's start; 0: the file's end
    double volumeDb = 0;
    double fadeInSec = 0;
    bool operator==(const SongSettings&) const = default;
};
inline constexpr double kMinSongVolumeDb = -40;
inline constexpr double kMaxSongVolumeDb = 20;
inline constexpr double kMaxSongFadeInSec = 60;

struct MusicItem {
    std::string path;
    // Measured play length; -1 when the file could not be measured, 0 when nothing could.
    REFERENCE_TIME length = 0;
    SongSettings song = {};
    // What the timeline places of the file: its length within the trim (as `length` when that is
    // not known). A trim beyond the file's end is cut at it.
    REFERENCE_TIME PlayedLength() const;
    bool operator==(const MusicItem&) const = default;
};

// Each item's PlayedLength(), in list order.
std::vector<REFERENCE_TIME> PlayedLengths(const std::vector<MusicItem>& music);

// How the music list sounds as a whole: each song gained to a common loudness (its true peak kept
// at or below -1 dBTP), and songs that follow one another crossfading over the join.
struct MusicMix {
    bool evenLoudness = true;
    double loudnessTargetLufs = -16;
    double joinSec = 0.2;
    bool operator==(const MusicMix&) const = default;
};
inline constexpr double kMinLoudnessTarget = -36;
inline constexpr double kMaxLoudnessTarget = -6;
inline constexpr double kMinJoinSec = 0.2;
inline constexpr double kMaxJoinSec = 10;
// Shows kept before the mix existed sound as they did.
inline constexpr MusicMix kMusicMixOfOldShows{false, -16, 0.2};

// Which of the show's two lists.
enum class MediaList { Photos, Music };

struct PhotoDefaults {
    double photoDurationSec = 8;
    double transitionDurationSec = 4;
    int policy = 0;     // TransitionPolicy
    int sameIndex = 0;  // the transition of the "Same" policy
    int motionPolicy = kMotionPolicyNone;  // MotionPolicy
    MotionKind sameMotion = MotionKind::ZoomIn;  // the motion of the "Same" motion policy
    // Of the whole show: how far each moving photo zooms (and a pan on a photo of the frame's
    // shape zooms in first), its pace, and how a photo fills the frame.
    int motionAmountPercent = 15;
    bool motionEased = false;
    Framing framing = Framing::Fit;
    bool facesAimed = true;  // moves and Fill's crop keep the faces found in the frame
    bool operator==(const PhotoDefaults&) const = default;
};
inline constexpr int kMinMotionAmountPercent = 1;
inline constexpr int kMaxMotionAmountPercent = 100;

struct OutputSettings {
    std::string path;
    int width = 640;  // width and height 0: the first photo's own size
    int height = 480;
    int useVideoCompressor = 0;
    int useAudioCompressor = 0;
    int videoBitrate = 2048000;  // bits per second
    int audioBitrate = 192000;
    int format = 1;  // OutputFormat
    int fileProfile = 0;
    bool operator==(const OutputSettings&) const = default;
};

struct RunState {
    bool converting = false;
    int elapsedSeconds = 0;
    bool previewing = false;
};

enum class ProjectResult {
    Ok,
    PathTooLong,  // longer than kMaxPathBytes: the item was not stored
    NoSuchItem,
};

class SlideshowProject {
public:
    // Appends with the default durations and the transition the policy gives this position.
    ProjectResult AppendPhoto(const std::string& path);
    ProjectResult AppendMusic(const std::string& path, REFERENCE_TIME length);
    // New photos for the rows from `position` on, as appending there would make them: the default
    // durations, the transition the policy gives each row and each motion after the one before.
    // Nothing is inserted; the paths are the caller's to check.
    std::vector<PhotoItem> MakePhotos(const std::vector<std::string>& paths, int position);
    // Inserts so that items[i] ends at row ascendingRows[i] (rows of the list after the insertion).
    // NoSuchItem or PathTooLong, with nothing inserted, when a row cannot be had or a path is too long.
    ProjectResult InsertPhotos(const std::vector<int>& ascendingRows, std::vector<PhotoItem> items);
    ProjectResult InsertMusicItems(const std::vector<int>& ascendingRows, std::vector<MusicItem> items);
    // Takes the rows out, in their order, into *taken; NoSuchItem, with nothing taken, when a row
    // is missing or the rows are not strictly ascending.
    ProjectResult TakePhotos(const std::vector<int>& ascendingRows, std::vector<PhotoItem>* taken);
    ProjectResult TakeMusicItems(const std::vector<int>& ascendingRows, std::vector<MusicItem>* taken);
    // Moves the rows, in their order, in front of row `destination` (counted before the move; the
    // list's count: to the end). ReturnMovedRows puts rows so moved back where they were.
    ProjectResult MoveRows(MediaList list, const std::vector<int>& ascendingRows, int destination);
    ProjectResult ReturnMovedRows(MediaList list, const std::vector<int>& ascendingRows, int destination);
    // Replaces every field of photo `position` (the photo property dialog's result).
    ProjectResult SetPhoto(int position, const PhotoItem& item);
    // The music file found elsewhere; its measured length stays.
    ProjectResult SetMusicPath(int position, const std::string& path);
    ProjectResult SetSong(int position, const SongSettings& song);

    ProjectResult RemovePhoto(int position);
    ProjectResult RemoveMusic(int position);
    // Removes the rows of a selection given in ascending order.
    void RemovePhotos(const std::vector<int>& ascendingPositions);
    void RemoveMusicItems(const std::vector<int>& ascendingPositions);
    ProjectResult SwapPhotos(int a, int b);
    ProjectResult SwapMusic(int a, int b);
    void ClearPhotos() { photos_.clear(); }
    void ClearMusic() { music_.clear(); }

    // Whether confirming `newDefaults` should offer to refresh the photo list: a non-empty list
    // and a changed policy, a changed "Same" transition under "Same", or a changed duration; the
    // same for the motion policy and the "Same" motion.
    bool NewDefaultsChangePhotos(const PhotoDefaults& newDefaults) const;
    // Takes over new defaults; with `refreshPhotos` every photo first gets the new durations and
    // the transition and motion of the new policies, except that a policy that stays Random keeps
    // each photo's transition (a motion policy that stays Random, each photo's motion). The
    // show-wide motion amount, pace and framing are taken over either way.
    void TakeOverDefaults(const PhotoDefaults& newDefaults, bool refreshPhotos);

    // The sum of the photo durations, in list order.
    double ComputeShowLength() const;
    CaptionStyle& captionStyle() { return captionStyle_; }
    const CaptionStyle& captionStyle() const { return captionStyle_; }
    // Seconds over which the music fades out at the show's end; 0: it stops with the show.
    double musicFadeOutSec() const { return musicFadeOutSec_; }
    void setMusicFadeOutSec(double seconds) { musicFadeOutSec_ = seconds; }
    MusicMix& musicMix() { return musicMix_; }
    const MusicMix& musicMix() const { return musicMix_; }

    // The show length stored by the last timeline build.
    double showLengthSec() const { return showLengthSec_; }
    void setShowLengthSec(double seconds) { showLengthSec_ = seconds; }

    const std::vector<PhotoItem>& photos() const { return photos_; }
    const std::vector<MusicItem>& music() const { return music_; }
    int photoCount() const { return static_cast<int>(photos_.size()); }
    int musicCount() const { return static_cast<int>(music_.size()); }
    PhotoDefaults& defaults() { return defaults_; }
    const PhotoDefaults& defaults() const { return defaults_; }
    OutputSettings& output() { return output_; }
    const OutputSettings& output() const { return output_; }
    RunState& run() { return run_; }
    const RunState& run() const { return run_; }
    CrtRandom& random() { return random_; }
    const CrtRandom& random() const { return random_; }

private:
    bool ValidPhoto(int position) const { return position >= 0 && position < photoCount(); }
    bool ValidMusic(int position) const { return position >= 0 && position < musicCount(); }

    std::vector<PhotoItem> photos_;
    std::vector<MusicItem> music_;
    PhotoDefaults defaults_;
    OutputSettings output_;
    RunState run_;
    CrtRandom random_;
    CaptionStyle captionStyle_;
    double showLengthSec_ = 0;
    double musicFadeOutSec_ = kDefaultMusicFadeOutSec;
    MusicMix musicMix_;
};
