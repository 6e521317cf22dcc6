#pragma once
// Writes one video file: a video stream at 24000/1001 frames a second and an audio stream at
// 44100 Hz stereo, each through its encoder, interleaved by time by the muxer. Finish() flushes
// the encoders and writes the container's index, so a file stopped early plays up to where it
// stopped.
//
// Used by one thread at a time.

#include <map>
#include <memory>
#include <string>

#include "platform/media/ffmpeg_handles.h"

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
    // Interleaved stereo floats at 44100 Hz, following what was written before.
    bool WriteAudio(const float* samples, int frames, std::string* error);
    bool Finish(std::string* error);
    std::int64_t bytesWritten() const;

private:
    struct Stream;
    bool OpenStream(const EncoderChoice& choice, bool video, const OutputSpec& output, std::string* error);
    bool Drain(Stream& s, std::string* error);
    bool FlushAudioFifo(bool all, std::string* error);

    OutputSpec output_;
    AVFormatContext* fmt_ = nullptr;
    std::unique_ptr<Stream> video_, audio_;
    bool headerWritten_ = false;
    bool finished_ = false;
};

// Whether `muxer` can hold the output of encoder `codec`; for refusing a pair before any work.
bool ContainerHolds(const std::string& muxer, const std::string& codec);
