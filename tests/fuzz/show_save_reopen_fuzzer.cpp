// libFuzzer target: whatever the program can save opens again, the very same show. The show is
// made as the window makes one: photo values that the photo dialog's checks take, durations that
// fitting to music of any length gives, a frame size and bitrates the output dialog can set.
// Input, as raw bytes: a photo count byte, per photo two doubles (duration, transition), the
// frame's sides (two 16-bit), the video kbps (32-bit) and the audio bitrate's entry (a byte), then
// music lengths (64-bit) to fit the photos to.

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "app/fit_to_music.h"
#include "app/show_file.h"
#include "app/show_project.h"
#include "controls/data_exchange.h"

namespace {

class Bytes {
  public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), left_(size) {}
    template <class T>
    T Take() {
        T value{};
        const std::size_t n = std::min(sizeof value, left_);
        std::memcpy(&value, data_, n);
        data_ += n;
        left_ -= n;
        return value;
    }
    bool Empty() const { return left_ == 0; }

  private:
    const std::uint8_t* data_;
    std::size_t left_;
};

// A photo as the photo dialog's OK takes it; none when the dialog would refuse it (a negative
// duration passes the range check but not the comparison with a transition of 0 or more).
void AddPhoto(SlideshowProject& project, double duration, double transition) {
    if (CheckIntegerRange(duration, 0, 65535) || CheckNumberRange(transition, 0, 600) || transition > duration) return;
    project.AppendPhoto("/shows/p" + std::to_string(project.photoCount()) + ".jpg");
    PhotoItem photo = project.photos().back();
    photo.durationSec = duration;
    photo.transitionDurationSec = transition;
    project.SetPhoto(project.photoCount() - 1, photo);
}

// The output dialog's frame sides: 16 to 8192 by 8 (0 x 0 is its "original size").
int DialogSide(std::uint16_t value) { return 16 + value % 1023 * 8; }

bool SameNumbers(const Show& a, const Show& b) {
    if (a.photos.size() != b.photos.size()) return false;
    for (std::size_t i = 0; i < a.photos.size(); ++i) {
        // Exactly the same numbers (a zero may lose its sign).
        if (a.photos[i].durationSec != b.photos[i].durationSec ||
            a.photos[i].transitionDurationSec != b.photos[i].transitionDurationSec)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    SlideshowProject project;
    const int photos = in.Take<std::uint8_t>() % 8 + 1;
    for (int i = 0; i < photos; ++i) {
        const auto duration = in.Take<double>();
        AddPhoto(project, duration, in.Take<double>());
    }
    const auto width = in.Take<std::uint16_t>(), height = in.Take<std::uint16_t>();
    const auto videoKbps = in.Take<std::uint32_t>() % (INT32_MAX / 1024) + 1;
    const int audio = kAudioBitrates[in.Take<std::uint8_t>() % 4];
    for (int m = 0; m < 3 && !in.Empty(); ++m) {
        project.AppendMusic("/shows/m" + std::to_string(m) + ".flac", in.Take<std::int64_t>());
    }
    if (project.musicCount() > 0) FitPhotosToMusic(project);
    Show show = ShowOfProject(project);
    show.output.width = width == 0 ? 0 : DialogSide(width);
    show.output.height = width == 0 ? 0 : DialogSide(height);
    show.output.videoBitrate = static_cast<int>(videoKbps * 1024);
    show.output.audioBitrate = audio;
    const std::string folder = "/shows";
    const std::string written = SerializeShow(show, folder);
    Show again;
    if (ParseShow(written, folder, &again) || SerializeShow(again, folder) != written || !SameNumbers(show, again))
        __builtin_trap();
    return 0;
}
