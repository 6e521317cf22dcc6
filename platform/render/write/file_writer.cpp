#include "platform/render/write/file_writer.h"

#include <algorithm>
#include <cstring>

#include "platform/media/ffmpeg_files.h"
#include "platform/media/encoder_opening.h"
#include "platform/render/write/mp4_text_tracks.h"
#include "platform/render/write/mpeg4_colour.h"
#include "platform/render/write/subtitle_stream.h"
#include "platform/render/compose/video_colour.h"

extern "C" {
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libavutil/pixdesc.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace {

constexpr AVRational kVideoRate{24000, 1001};

}  // namespace

struct FileWriter::Stream {
    CodecContextPtr ctx;
    AVStream* st = nullptr;
    PacketPtr packet{av_packet_alloc()};
    SwsContext* sws = nullptr;
    FramePtr converted;
    bool mpeg4InBandHeaders = false;  // colour goes into each key frame's headers
    SwrContext* swr = nullptr;
    AVAudioFifo* fifo = nullptr;
    std::int64_t samplesSent = 0;
    ~Stream() {
        sws_freeContext(sws);
        swr_free(&swr);
        if (fifo != nullptr) av_audio_fifo_free(fifo);
    }
};

FileWriter::FileWriter() = default;

FileWriter::~FileWriter() {
    Abandon();
    avformat_free_context(fmt_);
}

bool ContainerHolds(const std::string& muxer, const std::string& codec) {
    const AVOutputFormat* of = av_guess_format(muxer.c_str(), nullptr, nullptr);
    const AVCodec* c = avcodec_find_encoder_by_name(codec.c_str());
    if (of == nullptr || c == nullptr) return false;
    if (avformat_query_codec(of, c->id, FF_COMPLIANCE_NORMAL) == 1) return true;
    // Matroska also stores whatever AVI can, through its compatibility codec ids.
    if (muxer == "matroska") {
        const AVCodecTag* riff[] = {avformat_get_riff_video_tags(), avformat_get_riff_audio_tags(), nullptr};
        return av_codec_get_tag(riff, c->id) != 0;
    }
    return false;
}

bool FileWriter::OpenStream(const EncoderChoice& choice, bool video, const OutputSpec& output,
                            std::string* error) {
    const AVCodec* codec = avcodec_find_encoder_by_name(choice.codec.c_str());
    if (codec == nullptr) {
        *error = "No encoder named " + choice.codec;
        return false;
    }
    auto s = std::make_unique<Stream>();
    s->ctx.reset(avcodec_alloc_context3(codec));
    AVCodecContext* c = s->ctx.get();
    if (video) {
        c->width = output.width;
        c->height = output.height;
        c->time_base = av_inv_q(kVideoRate);
        c->framerate = kVideoRate;
        c->sample_aspect_ratio = {1, 1};
        c->pix_fmt = codec->pix_fmts ? codec->pix_fmts[0] : AV_PIX_FMT_YUV420P;
        for (const AVPixelFormat* f = codec->pix_fmts; f && *f != AV_PIX_FMT_NONE; ++f) {
            if (*f == AV_PIX_FMT_YUV420P) c->pix_fmt = AV_PIX_FMT_YUV420P;
        }
        // Libraries that thread by themselves (x264, x265, libvpx) get every core; FFmpeg's own
        // slice-threaded encoders gain little from a second thread, which the photo decoder
        // working ahead makes better use of.
        c->thread_count = (codec->capabilities & AV_CODEC_CAP_OTHER_THREADS) ? 0 : 1;
    } else {
        c->sample_rate = 44100;
        c->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
        av_channel_layout_default(&c->ch_layout, 2);
        c->time_base = {1, 44100};
    }
    if (fmt_->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    AVDictionary* opts = nullptr;
    for (const auto& [k, v] : choice.options) {
        if (k == "pix_fmt" && video) {
            c->pix_fmt = av_get_pix_fmt(v.c_str());
        } else {
            av_dict_set(&opts, k.c_str(), v.c_str(), 0);
        }
    }
    if (video) TagEncoder(c, VideoColourFor(output.height));
    int r = OpenEncoder(c, codec, &opts);
    av_dict_free(&opts);
    if (r < 0) {
        *error = "Cannot open the encoder " + choice.codec + ": " + FfmpegErrorText(r);
        return false;
    }
    if (video && codec->id == AV_CODEC_ID_MPEG4 && !AddMpeg4ColourDescription(c, VideoColourFor(output.height))) {
        s->mpeg4InBandHeaders = true;
    }
    s->st = avformat_new_stream(fmt_, nullptr);
    avcodec_parameters_from_context(s->st->codecpar, c);
    s->st->time_base = c->time_base;
    if (video) {
        s->st->avg_frame_rate = kVideoRate;
        s->st->r_frame_rate = kVideoRate;
        // MPEG-4 part 2 in AVI carries the FourCC every player knows it by.
        if (output.muxer == "avi" && codec->id == AV_CODEC_ID_MPEG4) {
            s->st->codecpar->codec_tag = MKTAG('D', 'I', 'V', 'X');
        }
        if (c->pix_fmt != AV_PIX_FMT_YUV420P) {
            s->sws = sws_getContext(output.width, output.height, AV_PIX_FMT_YUV420P, output.width, output.height,
                                    c->pix_fmt, SWS_BICUBIC, nullptr, nullptr, nullptr);
            const int* matrix = MatrixCoefficients(VideoColourFor(output.height).matrix);
            if (s->sws != nullptr) {
                sws_setColorspaceDetails(s->sws, matrix, 0, matrix, c->color_range == AVCOL_RANGE_JPEG ? 1 : 0, 0,
                                         1 << 16, 1 << 16);
            }
        }
        video_ = std::move(s);
    } else {
        AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
        swr_alloc_set_opts2(&s->swr, &c->ch_layout, c->sample_fmt, c->sample_rate, &stereo,
                            AV_SAMPLE_FMT_FLT, 44100, 0, nullptr);
        if (s->swr == nullptr || swr_init(s->swr) < 0) {
            *error = "Cannot convert the sound for the encoder " + choice.codec;
            return false;
        }
        s->fifo = av_audio_fifo_alloc(c->sample_fmt, c->ch_layout.nb_channels, 8192);
        audio_ = std::move(s);
    }
    return true;
}

bool FileWriter::OpenFile(std::string* error) {
    if (!file_.Create(output_.path, error)) return false;
    // Muxers that reopen their file at the end (MP4's index moved to the front) do so by this name.
    av_freep(&fmt_->url);
    fmt_->url = av_strdup(FileUrl(file_.writePath()).c_str());
    AVDictionary* opts = FileOnlyOptions();
    int r = avio_open2(&fmt_->pb, FileUrl(file_.writePath()).c_str(), AVIO_FLAG_WRITE, nullptr, &opts);
    av_dict_free(&opts);
    if (r < 0) {
        *error = "Cannot write the file " + output_.path + ": " + FfmpegErrorText(r);
        return false;
    }
    return true;
}

bool FileWriter::Open(const OutputSpec& output, std::string* error) {
    output_ = output;
    int r = avformat_alloc_output_context2(&fmt_, nullptr, output.muxer.c_str(), FileUrl(output.path).c_str());
    if (r < 0 || fmt_ == nullptr) {
        *error = "Cannot write the container " + output.muxer + ": " + FfmpegErrorText(r);
        return false;
    }
    if (output.hasVideo && !OpenStream(output.video, true, output, error)) return false;
    if (output.hasAudio && !OpenStream(output.audio, false, output, error)) return false;
    if (output.hasVideo && !SubtitleStream::Add(fmt_, output, &subtitles_, error)) return false;
    if (!OpenFile(error)) return false;
    AVDictionary* muxOpts = nullptr;
    if (output.muxer == "mp4") av_dict_set(&muxOpts, "movflags", "+faststart", 0);
    for (const auto& [k, v] : output.muxOptions) av_dict_set(&muxOpts, k.c_str(), v.c_str(), 0);
    r = avformat_write_header(fmt_, &muxOpts);
    av_dict_free(&muxOpts);
    if (r < 0) {
        *error = "Cannot write the header of " + output.path + ": " + FfmpegErrorText(r);
        return false;
    }
    headerWritten_ = true;
    return true;
}

bool FileWriter::Drain(Stream& s, std::string* error, Clock::time_point until) {
    while (Clock::now() < until) {
        int r = avcodec_receive_packet(s.ctx.get(), s.packet.get());
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
        if (r < 0) {
            *error = "Encoding failed: " + FfmpegErrorText(r);
            return false;
        }
        if (s.mpeg4InBandHeaders && (s.packet->flags & AV_PKT_FLAG_KEY)) {
            AddMpeg4ColourDescription(s.packet.get(), VideoColourFor(output_.height));
        }
        if (&s == video_.get() && s.packet->pts != AV_NOPTS_VALUE) {
            videoEnd_ = std::max(videoEnd_, s.packet->pts + std::max<std::int64_t>(s.packet->duration, 1));
        }
        av_packet_rescale_ts(s.packet.get(), s.ctx->time_base, s.st->time_base);
        s.packet->stream_index = s.st->index;
        r = av_interleaved_write_frame(fmt_, s.packet.get());
        if (r < 0) {
            *error = "Cannot write to " + output_.path + ": " + FfmpegErrorText(r);
            return false;
        }
    }
    return true;
}

bool FileWriter::WriteVideo(const AVFrame* picture, std::int64_t n, std::string* error) {
    Stream& s = *video_;
    FramePtr frame;
    if (s.sws != nullptr) {
        frame.reset(av_frame_alloc());
        frame->format = s.ctx->pix_fmt;
        frame->width = output_.width;
        frame->height = output_.height;
        av_frame_get_buffer(frame.get(), 32);
        sws_scale(s.sws, picture->data, picture->linesize, 0, picture->height, frame->data, frame->linesize);
    } else {
        frame.reset(av_frame_clone(picture));  // a new reference: the picture is not copied
    }
    frame->pts = n;
    frame->pict_type = AV_PICTURE_TYPE_NONE;
    // At a fixed quantiser the encoder takes each frame's quality as its lambda; without it the
    // quantiser would fall to its minimum.
    frame->quality = s.ctx->global_quality;
    int r = avcodec_send_frame(s.ctx.get(), frame.get());
    if (r < 0) {
        *error = "Encoding failed: " + FfmpegErrorText(r);
        return false;
    }
    if (!Drain(s, error)) return false;
    return !subtitles_ || subtitles_->WriteDue(VideoEndMs(), error);
}

std::int64_t FileWriter::VideoEndMs() const {
    return av_rescale_q(videoEnd_, av_inv_q(kVideoRate), AVRational{1, 1000});
}

bool FileWriter::CollectAudio(std::vector<PacketPtr>* packets, std::string* error) {
    Stream& s = *audio_;
    for (;;) {
        PacketPtr packet(av_packet_alloc());
        int r = avcodec_receive_packet(s.ctx.get(), packet.get());
        if (r == AVERROR(EAGAIN) || r == AVERROR_EOF) return true;
        if (r < 0) {
            *error = "Encoding the sound failed: " + FfmpegErrorText(r);
            return false;
        }
        packets->push_back(std::move(packet));
    }
}

bool FileWriter::EncodeAudioFifo(bool all, std::vector<PacketPtr>* packets, std::string* error) {
    Stream& s = *audio_;
    const int frameSize = s.ctx->frame_size > 0 ? s.ctx->frame_size : 1024;
    while (av_audio_fifo_size(s.fifo) >= frameSize || (all && av_audio_fifo_size(s.fifo) > 0)) {
        int n = std::min(frameSize, av_audio_fifo_size(s.fifo));
        FramePtr frame(av_frame_alloc());
        frame->nb_samples = n;
        frame->format = s.ctx->sample_fmt;
        frame->sample_rate = s.ctx->sample_rate;
        av_channel_layout_copy(&frame->ch_layout, &s.ctx->ch_layout);
        av_frame_get_buffer(frame.get(), 0);
        av_audio_fifo_read(s.fifo, reinterpret_cast<void**>(frame->data), n);
        frame->pts = s.samplesSent;
        s.samplesSent += n;
        int r = avcodec_send_frame(s.ctx.get(), frame.get());
        if (r < 0) {
            *error = "Encoding the sound failed: " + FfmpegErrorText(r);
            return false;
        }
        if (!CollectAudio(packets, error)) return false;
    }
    return true;
}

bool FileWriter::EncodeAudio(const float* samples, int frames, bool last, std::vector<PacketPtr>* packets,
                             std::string* error) {
    Stream& s = *audio_;
    FramePtr converted(av_frame_alloc());
    converted->nb_samples = swr_get_out_samples(s.swr, frames);
    converted->format = s.ctx->sample_fmt;
    av_channel_layout_copy(&converted->ch_layout, &s.ctx->ch_layout);
    if (converted->nb_samples > 0) av_frame_get_buffer(converted.get(), 0);
    const auto* in = reinterpret_cast<const std::uint8_t*>(samples);
    int n = swr_convert(s.swr, converted->data, converted->nb_samples, &in, frames);
    if (n > 0) av_audio_fifo_write(s.fifo, reinterpret_cast<void**>(converted->data), n);
    if (!EncodeAudioFifo(last, packets, error)) return false;
    if (!last) return true;
    avcodec_send_frame(s.ctx.get(), nullptr);
    return CollectAudio(packets, error);
}

bool FileWriter::WriteAudioPacket(PacketPtr packet, std::string* error) {
    Stream& s = *audio_;
    av_packet_rescale_ts(packet.get(), s.ctx->time_base, s.st->time_base);
    packet->stream_index = s.st->index;
    int r = av_interleaved_write_frame(fmt_, packet.get());
    if (r < 0) {
        *error = "Cannot write to " + output_.path + ": " + FfmpegErrorText(r);
        return false;
    }
    return true;
}

std::int64_t FileWriter::AudioPacketStart(const AVPacket* packet) const {
    return av_rescale_q(packet->pts, audio_->ctx->time_base, AVRational{1, 44100});
}

bool FileWriter::WriteTrailer(std::string* error, Clock::time_point flushUntil) {
    bool ok = true;
    if (video_) {
        avcodec_send_frame(video_->ctx.get(), nullptr);
        ok = Drain(*video_, error, flushUntil);
    }
    if (ok && subtitles_) ok = subtitles_->WriteStarted(VideoEndMs(), error);
    int r = av_write_trailer(fmt_);
    if (r < 0 && ok) {
        *error = "Cannot finish the file " + output_.path + ": " + FfmpegErrorText(r);
        ok = false;
    }
    avio_flush(fmt_->pb);
    if (fmt_->pb->error < 0 && ok) {
        *error = "Cannot write to " + output_.path + ": " + FfmpegErrorText(fmt_->pb->error);
        ok = false;
    }
    return ok;
}

bool FileWriter::Finish(std::string* error, std::chrono::milliseconds flushFor) {
    if (finished_) return true;
    const Clock::time_point flushUntil =
        flushFor == std::chrono::milliseconds::max() ? Clock::time_point::max() : Clock::now() + flushFor;
    if (!headerWritten_ || fmt_->pb == nullptr) {
        *error = "The file " + output_.path + " is not open";
        return false;
    }
    bool ok = WriteTrailer(error, flushUntil);
    int r = avio_closep(&fmt_->pb);
    if (ok && r < 0) *error = "Cannot write to " + output_.path + ": " + FfmpegErrorText(r);
    if (ok && r >= 0 && subtitles_ && output_.muxer == "mp4" && !output_.subtitlesDefault) {
        ok = DisableMp4TextTracks(file_.writePath(), error);
    }
    if (!ok || r < 0 || !file_.Commit(error)) {
        Abandon();
        return false;
    }
    finished_ = true;
    return true;
}

void FileWriter::Abandon() {
    if (fmt_ != nullptr && fmt_->pb != nullptr) avio_closep(&fmt_->pb);
    file_.Discard();
}

std::int64_t FileWriter::bytesWritten() const {
    return fmt_ != nullptr && fmt_->pb != nullptr ? avio_tell(fmt_->pb) : 0;
}
