#include "platform/media/ffmpeg_files.h"

#include <cerrno>

#include "platform/shell/file_probe.h"

extern "C" {
#include <libavutil/dict.h>
#include <libavutil/error.h>
}

std::string FileUrl(const std::string& path) { return "file:" + path; }

AVDictionary* FileOnlyOptions() {
    AVDictionary* opts = nullptr;
    av_dict_set(&opts, "protocol_whitelist", "file", 0);
    return opts;
}

int OpenInputFile(const std::string& path, FormatInputPtr* fmt) {
    // Opening a pipe would wait for a writer; a device is not ours to read.
    const PathKind kind = KindOfPath(path);
    if (kind != PathKind::File && kind != PathKind::Missing) return AVERROR(kind == PathKind::Folder ? EISDIR : EINVAL);
    AVDictionary* opts = FileOnlyOptions();
    av_dict_set(&opts, "pattern_type", "none", 0);  // an image2 name is a name, not a pattern
    AVFormatContext* raw = nullptr;
    int r = avformat_open_input(&raw, FileUrl(path).c_str(), nullptr, &opts);
    av_dict_free(&opts);
    if (r >= 0) fmt->reset(raw);
    return r;
}

std::string FfmpegErrorText(int code) {
    char buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, buf, sizeof buf);
    return buf;
}
