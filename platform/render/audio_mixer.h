#pragma once
// The show's sound: every music placement decoded from where it begins in its file, resampled to
// 44100 Hz stereo, shaped by its own gain, fade-in and crossfades, placements summed, shaped by the
// volume envelope (the fade-out at the show's end) and clipped; silence where none plays.
//
// Used by one thread at a time. A file is opened when its placement begins and closed when it
// ends, so memory does not grow with the number of placements; a file of up to 30 s is decoded
// once and every placement of it plays that sound.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/mix_format.h"
#include "platform/com/hresult.h"
#include "platform/timeline/song_shape.h"

struct AudioPlacement {
    std::string path;
    REFERENCE_TIME start = 0, stop = 0;  // on the show's time line
    REFERENCE_TIME mediaStart = 0;       // where in the file it begins
    SongShape shape = {};
};

// A volume envelope on the show's time line, as the audio group's "Vol" property holds it: each
// key's gain holds from its time on, reached in a straight line from the key before when `ramp`;
// before the first key, the first key's gain. Empty: full volume throughout.
struct VolumeKey {
    REFERENCE_TIME at = 0;
    double gain = 1;
    bool ramp = false;
};
using VolumeEnvelope = std::vector<VolumeKey>;

// Sample frames (at 44100 Hz) from 100-ns time, rounded to the nearest.
std::int64_t SampleAt(REFERENCE_TIME t);

class MusicReader;
class PlacementCursor;
class TrackRun;

class AudioMixer {
public:
    // `run`, when not null, adds the placements of a run of tracks made on demand; they are taken
    // as they begin, so a run of any length costs only as it plays.
    explicit AudioMixer(std::vector<AudioPlacement> placements, const VolumeEnvelope& volume = {},
                        std::shared_ptr<const TrackRun> run = nullptr);
    ~AudioMixer();
    AudioMixer(const AudioMixer&) = delete;
    AudioMixer& operator=(const AudioMixer&) = delete;
    // The next `frames` sample frames, interleaved stereo floats in [-1, 1]. False when a file
    // cannot be read; *error names it.
    bool Mix(float* out, int frames, std::string* error);
    // Mixes from sample frame `sample` on, as if all before it had been mixed; only before the
    // first Mix. A placement playing there starts part-way into its sound.
    void StartAt(std::int64_t sample);
    // The next `frames` sample frames, falling to silence: the sound's end where it is cut short,
    // so that it does not end with a click.
    bool MixFadingOut(float* out, int frames, std::string* error);
    std::int64_t position() const { return position_; }
    // How many placements were started, and how many files were decoded to start them.
    int soundsOpened() const { return soundsOpened_; }
    int filesDecoded() const { return static_cast<int>(decoded_.size()); }

private:
    struct Active;
    struct Key {
        std::int64_t at;  // sample frame
        double gain;
        bool ramp;
    };
    double GainAt(std::int64_t sample);
    bool OpenSound(const std::string& path, Active* a, std::string* error);
    void ApplyVolume(float* out, int frames);

    std::vector<AudioPlacement> placements_;
    std::vector<Key> volume_;
    std::size_t key_ = 0;  // the last key at or before the mixed position
    std::vector<std::unique_ptr<Active>> active_;
    std::unique_ptr<PlacementCursor> next_;  // the placements not yet opened
    std::int64_t position_ = 0;
    std::vector<float> scratch_;
    // Each file's whole sound when it is short enough to keep, else null (read as it plays).
    std::map<std::string, std::shared_ptr<const std::vector<float>>> decoded_;
    int soundsOpened_ = 0;
};

// Opens the file and checks that it holds decodable sound; for connecting a show's sources.
bool ProbeMusic(const std::string& path, std::string* error);
