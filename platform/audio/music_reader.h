#pragma once
// One music file from its start: decoded, resampled to the mix's 44100 Hz stereo floats, handed
// out in order. Damaged packets are passed over, as players do; a file none of whose sound
// decodes is refused rather than played as silence.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/mix_format.h"
#include "platform/media/ffmpeg_handles.h"

struct SwrContext;

class MusicReader {
public:
    MusicReader();
    ~MusicReader();
    MusicReader(const MusicReader&) = delete;
    MusicReader& operator=(const MusicReader&) = delete;

    bool Open(const std::string& path, std::string* error);
    // Up to `frames` sample frames into out; fewer only at the end of the file.
    bool Read(float* out, int frames, int* got, std::string* error);
    bool Skip(std::int64_t frames, std::string* error);
    // The file's length as it says (0 when it does not).
    double Seconds() const;

private:
    struct SwrDeleter {
        void operator()(SwrContext* c) const;
    };
    bool Fail(std::string text, std::string* error);
    bool Decode(std::string* error);
    bool Convert(AVFrame* f, std::string* error);
    bool Flush();

    std::string path_;
    FormatInputPtr fmt_;
    CodecContextPtr ctx_;
    PacketPtr packet_;
    FramePtr frame_;
    std::unique_ptr<SwrContext, SwrDeleter> swr_;
    int stream_ = -1;
    std::vector<float> pending_;
    std::size_t pendingAt_ = 0;
    bool ended_ = false;
    bool decodedAny_ = false;
    int damage_ = 0;  // the last damaged packet's error, 0 while none
};
