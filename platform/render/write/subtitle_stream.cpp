#include "platform/render/write/subtitle_stream.h"

#include <algorithm>
#include <cstring>

#include "platform/media/encoder_opening.h"
#include "platform/media/ffmpeg_files.h"
#include "platform/render/write/file_writer.h"
#include "platform/render/write/subtitle_language.h"

extern "C" {
#include <libavutil/mem.h>
}

namespace {

constexpr AVRational kMilliseconds{1, 1000};
// A cue is handed to the muxer at its end, or, lasting longer, this long after its start with its
// whole length: the muxer keeps this much of the pictures and sound in memory meanwhile.
constexpr std::int64_t kLongestHoldMs = 30000;

// FFmpeg's text subtitle encoders read their cues as ASS dialogue, styled by this script header.
// Its style is FFmpeg's own default, which SubRip writes without any <font> markup.
constexpr char kAssHeader[] =
    "[Script Info]\n"
    "ScriptType: v4.00+\n"
    "PlayResX: 384\n"
    "PlayResY: 288\n"
    "\n"
    "[V4+ Styles]\n"
    "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, BackColour, Bold, Italic, "
    "Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, Shadow, Alignment, MarginL, "
    "MarginR, MarginV, Encoding\n"
    "Style: Default,Arial,16,&Hffffff,&Hffffff,&H0,&H0,0,0,0,0,100,100,0,0,1,1,0,2,10,10,10,1\n"
    "\n"
    "[Events]\n"
    "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n";

AVCodecID SubtitleCodecFor(const std::string& muxer) {
    if (muxer == "mp4") return AV_CODEC_ID_MOV_TEXT;
    // SubRip rather than ASS: every player and television reads it, and the caption's look is
    // the picture's business.
    if (muxer == "matroska") return AV_CODEC_ID_SUBRIP;
    return AV_CODEC_ID_NONE;
}

// A caption as the text of an ASS dialogue line: its line breaks become "\N", and a backslash of
// its own is fenced with word joiners so that "\n" or "{\" in it stays text.
std::string DialogueText(const std::string& caption) {
    constexpr char kWordJoiner[] = "\u2060";
    std::string text;
    for (char c : caption) {
        if (c == '\n') {
            text += "\\N";
        } else if (c == '\\') {
            text += kWordJoiner;
            text += c;
            text += kWordJoiner;
        } else if (c != '\r') {
            text += c;
        }
    }
    return text;
}

}  // namespace

bool SubtitleStream::Add(AVFormatContext* fmt, const OutputSpec& output, std::unique_ptr<SubtitleStream>* stream,
                         std::string* error) {
    const AVCodec* codec = avcodec_find_encoder(SubtitleCodecFor(output.muxer));
    if (codec == nullptr || output.subtitles.empty()) return true;
    auto s = std::unique_ptr<SubtitleStream>(new SubtitleStream);
    s->fmt_ = fmt;
    s->cues_ = output.subtitles;
    s->ctx_.reset(avcodec_alloc_context3(codec));
    AVCodecContext* c = s->ctx_.get();
    c->time_base = kMilliseconds;
    c->width = output.width;
    c->height = output.height;
    c->subtitle_header = reinterpret_cast<std::uint8_t*>(av_strdup(kAssHeader));
    c->subtitle_header_size = static_cast<int>(std::strlen(kAssHeader));
    if (fmt->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (int r = OpenEncoder(c, codec, nullptr); r < 0) {
        *error = std::string("Cannot open the subtitle encoder ") + codec->name + ": " + FfmpegErrorText(r);
        return false;
    }
    s->st_ = avformat_new_stream(fmt, nullptr);
    avcodec_parameters_from_context(s->st_->codecpar, c);
    s->st_->time_base = kMilliseconds;
    av_dict_set(&s->st_->metadata, "language", ContainerLanguage(output.subtitleLanguage, output.muxer).c_str(), 0);
    s->st_->disposition = output.subtitlesDefault ? AV_DISPOSITION_DEFAULT : 0;
    // The muxer holds the other streams' packets back until a cue arrives to take its place.
    fmt->max_interleave_delta =
        std::max(fmt->max_interleave_delta, av_rescale_q(kLongestHoldMs + 1000, kMilliseconds, AV_TIME_BASE_Q));
    *stream = std::move(s);
    return true;
}

bool SubtitleStream::WriteDue(std::int64_t ms, std::string* error) {
    for (; next_ < cues_.size() && std::min(cues_[next_].stopMs, cues_[next_].startMs + kLongestHoldMs) <= ms;
         ++next_) {
        if (!Write(cues_[next_], cues_[next_].stopMs, error)) return false;
    }
    return true;
}

bool SubtitleStream::WriteStarted(std::int64_t ms, std::string* error) {
    for (; next_ < cues_.size() && cues_[next_].startMs < ms; ++next_) {
        if (!Write(cues_[next_], std::min(cues_[next_].stopMs, ms), error)) return false;
    }
    return true;
}

bool SubtitleStream::Write(const SubtitleCue& cue, std::int64_t stopMs, std::string* error) {
    // ReadOrder, Layer, Style, Name, MarginL, MarginR, MarginV, Effect, Text
    std::string dialogue = "0,0,Default,,0,0,0,," + DialogueText(cue.text);
    AVSubtitleRect rect{};
    rect.type = SUBTITLE_ASS;
    rect.ass = dialogue.data();
    AVSubtitleRect* rects[] = {&rect};
    AVSubtitle subtitle{};
    subtitle.num_rects = 1;
    subtitle.rects = rects;
    subtitle.pts = av_rescale_q(cue.startMs, kMilliseconds, AV_TIME_BASE_Q);
    subtitle.end_display_time = static_cast<std::uint32_t>(stopMs - cue.startMs);
    std::vector<std::uint8_t> encoded(4096 + 8 * dialogue.size());
    const int size = avcodec_encode_subtitle(ctx_.get(), encoded.data(), static_cast<int>(encoded.size()), &subtitle);
    if (size < 0) {
        *error = "Encoding a subtitle failed: " + FfmpegErrorText(size);
        return false;
    }
    PacketPtr packet(av_packet_alloc());
    if (av_new_packet(packet.get(), size) < 0) {
        *error = "Out of memory for a subtitle";
        return false;
    }
    std::memcpy(packet->data, encoded.data(), static_cast<std::size_t>(size));
    packet->pts = packet->dts = cue.startMs;
    packet->duration = stopMs - cue.startMs;
    packet->flags |= AV_PKT_FLAG_KEY;
    packet->stream_index = st_->index;
    av_packet_rescale_ts(packet.get(), kMilliseconds, st_->time_base);
    if (int r = av_interleaved_write_frame(fmt_, packet.get()); r < 0) {
        *error = "Cannot write a subtitle: " + FfmpegErrorText(r);
        return false;
    }
    return true;
}
