#pragma once
// The soft subtitle track of a file being written: the cues as text subtitles of the container's
// own kind (timed text in MP4, SubRip in Matroska; AVI, ASF and Ogg get none). A cue is handed to
// the muxer once the pictures have reached its end, so a file stopped early ends its last cue
// with its pictures instead of running on past them (but for a cue of over half a minute).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/media/ffmpeg_handles.h"
#include "platform/render/write/subtitle_cues.h"

struct OutputSpec;

class SubtitleStream {
public:
    // Adds the stream to `fmt`, before its header is written. *stream stays empty, without an
    // error, where the container holds no text subtitles or there is no cue.
    static bool Add(AVFormatContext* fmt, const OutputSpec& output, std::unique_ptr<SubtitleStream>* stream,
                    std::string* error);
    // Writes the cues due once the pictures reach `ms`.
    bool WriteDue(std::int64_t ms, std::string* error);
    // Writes the cues that start before `ms`, those still showing cut there; the rest are left out.
    bool WriteStarted(std::int64_t ms, std::string* error);

private:
    bool Write(const SubtitleCue& cue, std::int64_t stopMs, std::string* error);

    AVFormatContext* fmt_ = nullptr;
    AVStream* st_ = nullptr;
    CodecContextPtr ctx_;
    std::vector<SubtitleCue> cues_;
    std::size_t next_ = 0;
};
