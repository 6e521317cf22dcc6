#pragma once
// Writes one video file: a video stream at 24000/1001 frames a second, an audio stream at
// 44100 Hz stereo and the captions as subtitles, each through its encoder, interleaved by time by
// the muxer. Finish() flushes the picture encoder and writes the container's index, so a file
// stopped early plays up to where it stopped.
//
// The file is written under a temporary name beside the output and takes the output's name only
// when Finish() succeeds (see ReplacingFile): until then an older file of that name is untouched,
// and a writer that fails, is abandoned or destroyed unfinished leaves no file behind.
//
// Used by one thread at a time, but for EncodeAudio, which one other thread may call meanwhile.

#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/media/ffmpeg_handles.h"
#include "platform/render/write/replacing_file.h"
#include "platform/render/write/subtitle_cues.h"

class SubtitleStream;

struct EncoderChoice {
    std::string codec;  // an FFmpeg encoder name
    std::map<std::string, std::string> options;  // AVOptions of the encoder
};

struct OutputSpec {
    std::string path;
    std::string muxer;  // "avi", "matroska", "mp4", "asf", "ogg"
    bool hasVideo = true, hasAudio = true;
    int width = 640, height = 480;
    EncoderChoice video;
    EncoderChoice audio;
    std::map<std::string, std::string> muxOptions;  // AVOptions of the muxer
    // A soft subtitle track, with the pictures and where the container holds one.
    std::vector<SubtitleCue> subtitles;
    std::string subtitleLanguage;  // ISO 639; empty: undetermined
    bool subtitlesDefault = true;  // shown without being chosen; not when also in the picture
};

class FileWriter {
public:
    FileWriter();
    ~FileWriter();
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // Opens the encoders and the file and writes the header; *error says what failed.
    bool Open(const OutputSpec& output, std::string* error);
    // The picture of frame n (4:2:0 at the output size).
    bool WriteVideo(const AVFrame* picture, std::int64_t n, std::string* error);
    // Encodes interleaved stereo floats at 44100 Hz, following those before; `last` also empties
    // the encoder. Uses only the sound's encoder, so it may run on a thread of its own while the
    // pictures are written; its packets are written with WriteAudioPacket.
    bool EncodeAudio(const float* samples, int frames, bool last, std::vector<PacketPtr>* packets,
                     std::string* error);
    bool WriteAudioPacket(PacketPtr packet, std::string* error);
    // Where an encoded packet's sound starts, in sample frames at 44100 Hz.
    std::int64_t AudioPacketStart(const AVPacket* packet) const;
    // Empties the picture encoder, writes the container's index and puts the file in the
    // output's place; the sound is what was written with WriteAudioPacket. Frames the encoder
    // still holds after `flushFor` are left out, for a stop that must be quick (an encoder that
    // looks far ahead, as x264 and x265 do, takes seconds to give them all).
    bool Finish(std::string* error, std::chrono::milliseconds flushFor = std::chrono::milliseconds::max());
    // Drops the file unfinished: the output keeps what it had.
    void Abandon();
    std::int64_t bytesWritten() const;

private:
    struct Stream;
    bool OpenStream(const EncoderChoice& choice, bool video, const OutputSpec& output, std::string* error);
    using Clock = std::chrono::steady_clock;
    bool Drain(Stream& s, std::string* error, Clock::time_point until = Clock::time_point::max());
    bool EncodeAudioFifo(bool all, std::vector<PacketPtr>* packets, std::string* error);
    bool CollectAudio(std::vector<PacketPtr>* packets, std::string* error);
    bool OpenFile(std::string* error);
    bool WriteTrailer(std::string* error, Clock::time_point flushUntil);
    std::int64_t VideoEndMs() const;

    OutputSpec output_;
    ReplacingFile file_;
    AVFormatContext* fmt_ = nullptr;
    std::unique_ptr<Stream> video_, audio_;
    std::unique_ptr<SubtitleStream> subtitles_;
    std::int64_t videoEnd_ = 0;  // the end of the pictures given to the muxer, in frames
    bool headerWritten_ = false;
    bool finished_ = false;
};

// Whether `muxer` can hold the output of encoder `codec`; for refusing a pair before any work.
bool ContainerHolds(const std::string& muxer, const std::string& codec);
