// The captions as a soft subtitle track: the cues taken from the show, and the stream each
// container gets, read back with FFmpeg.

#include <gtest/gtest.h>

#include <cstring>

#include "platform/render/show_plan.h"
#include "platform/render/write/file_writer.h"
#include "platform/render/write/subtitle_cues.h"
#include "platform/render/write/subtitle_language.h"
#include "tests/support/temp_dir.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

constexpr REFERENCE_TIME kMs = 10000;

VideoClip Clip(REFERENCE_TIME start, REFERENCE_TIME stop, const std::string& caption) {
    VideoClip clip;
    clip.start = start;
    clip.stop = stop;
    clip.caption.text = caption;
    return clip;
}

// Photos of 2.5 s entering over 0.5 s; the second has no caption; odd times round to the ms.
ShowPlan CaptionedShow(CaptionOutput output) {
    ShowPlan plan;
    plan.captionStyle.output = output;
    plan.clips = {Clip(0, 2500 * kMs, "One"), Clip(2000 * kMs, 4500 * kMs, ""),
                  Clip(4000 * kMs, 6500 * kMs, "Two\nlines"), Clip(60004999, 85006000, "Last")};
    return plan;
}

struct ReadTrack {
    int subtitleStreams = 0;
    std::string codec, language;
    bool isDefault = false;
    std::vector<SubtitleCue> cues;
};

// The text of an ASS dialogue line as FFmpeg's decoders give it, "\N" back to a line break.
std::string DialogueText(const char* ass) {
    std::string text = ass;
    for (int field = 0; field < 8; ++field) text.erase(0, text.find(',') + 1);
    for (std::size_t at; (at = text.find("\\N")) != std::string::npos;) text.replace(at, 2, "\n");
    return text;
}

ReadTrack ReadSubtitles(const std::string& path) {
    ReadTrack track;
    AVFormatContext* fmt = nullptr;
    if (avformat_open_input(&fmt, path.c_str(), nullptr, nullptr) < 0) return track;
    avformat_find_stream_info(fmt, nullptr);
    AVStream* st = nullptr;
    for (unsigned i = 0; i < fmt->nb_streams; ++i) {
        if (fmt->streams[i]->codecpar->codec_type != AVMEDIA_TYPE_SUBTITLE) continue;
        ++track.subtitleStreams;
        st = fmt->streams[i];
    }
    if (st != nullptr) {
        track.codec = avcodec_get_name(st->codecpar->codec_id);
        const AVDictionaryEntry* language = av_dict_get(st->metadata, "language", nullptr, 0);
        track.language = language ? language->value : "";
        track.isDefault = st->disposition & AV_DISPOSITION_DEFAULT;
        const AVCodec* decoder = avcodec_find_decoder(st->codecpar->codec_id);
        AVCodecContext* ctx = avcodec_alloc_context3(decoder);
        avcodec_parameters_to_context(ctx, st->codecpar);
        avcodec_open2(ctx, decoder, nullptr);
        AVPacket* packet = av_packet_alloc();
        while (av_read_frame(fmt, packet) >= 0) {
            AVSubtitle sub{};
            int got = 0;
            if (packet->stream_index == st->index && avcodec_decode_subtitle2(ctx, &sub, &got, packet) >= 0 && got &&
                sub.num_rects > 0) {
                const std::int64_t start = av_rescale_q(packet->pts, st->time_base, {1, 1000});
                const std::int64_t stop = av_rescale_q(packet->pts + packet->duration, st->time_base, {1, 1000});
                track.cues.push_back({start, stop, DialogueText(sub.rects[0]->ass)});
            }
            if (got) avsubtitle_free(&sub);
            av_packet_unref(packet);
        }
        av_packet_free(&packet);
        avcodec_free_context(&ctx);
    }
    avformat_close_input(&fmt);
    return track;
}

const std::vector<SubtitleCue> kTwoCues = {{200, 1000, "First"}, {1000, 1700, "Two\nlines"}};

// A grey 64 × 64 picture `frames` long with `cues`; an empty string when it was written.
std::string WriteShow(const std::string& path, const std::string& muxer, const std::string& codec, int frames,
                      const std::vector<SubtitleCue>& cues, bool subtitlesDefault = true) {
    OutputSpec output;
    output.path = path;
    output.muxer = muxer;
    output.hasAudio = false;
    output.width = output.height = 64;
    output.video.codec = codec;
    output.subtitles = cues;
    output.subtitleLanguage = "de";
    output.subtitlesDefault = subtitlesDefault;
    FramePtr grey(av_frame_alloc());
    grey->format = AV_PIX_FMT_YUV420P;
    grey->width = grey->height = 64;
    av_frame_get_buffer(grey.get(), 0);
    for (int plane = 0; plane < 3; ++plane) std::memset(grey->data[plane], 128, grey->linesize[plane] * (plane ? 32 : 64));
    FileWriter writer;
    std::string error;
    if (!writer.Open(output, &error)) return error;
    for (int n = 0; n < frames; ++n) {
        if (!writer.WriteVideo(grey.get(), n, &error)) return error;
    }
    writer.Finish(&error);
    return error;
}

}  // namespace

TEST(SubtitleCues, EachCaptionRunsFromItsPhotoUntilTheNextPhotoEnters) {
    const std::vector<SubtitleCue> expected = {{0, 2000, "One"}, {4000, 6000, "Two\nlines"}, {6000, 8501, "Last"}};
    EXPECT_EQ(SubtitleCues(CaptionedShow(CaptionOutput::Subtitles)), expected);
    EXPECT_EQ(SubtitleCues(CaptionedShow(CaptionOutput::Both)), expected);
}

TEST(SubtitleCues, CaptionsOnlyInThePictureGiveNone) {
    EXPECT_TRUE(SubtitleCues(CaptionedShow(CaptionOutput::Picture)).empty());
}

TEST(SubtitleLanguage, EachContainerGetsItsOwnThreeLetterCode) {
    struct Case {
        std::string code, muxer, expected;
    };
    const Case cases[] = {
        {"de", "mp4", "deu"},      {"de", "matroska", "ger"}, {"zh_CN", "mp4", "zho"}, {"fra", "matroska", "fre"},
        {"EN", "matroska", "eng"}, {"por", "mp4", "por"},     {"pt", "mp4", "und"},    {"", "matroska", "und"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ContainerLanguage(c.code, c.muxer), c.expected) << c.code << " in " << c.muxer;
    }
}

TEST(SubtitleTrack, Mp4AndMatroskaCarryTheCuesWithTheirLanguageAndDefault) {
    struct Case {
        std::string muxer, extension, codec, language;
        bool isDefault;
    };
    const Case cases[] = {
        {"mp4", ".mp4", "mov_text", "deu", true},
        {"mp4", ".mp4", "mov_text", "deu", false},
        {"matroska", ".mkv", "subrip", "ger", true},
        {"matroska", ".mkv", "subrip", "ger", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.muxer + (c.isDefault ? " shown by default" : " chosen by the viewer"));
        TempDir dir;
        const std::string path = dir.File("show" + c.extension);
        ASSERT_EQ(WriteShow(path, c.muxer, "mpeg4", 48, kTwoCues, c.isDefault), "");
        const ReadTrack track = ReadSubtitles(path);
        ASSERT_EQ(track.subtitleStreams, 1);
        EXPECT_EQ(track.codec, c.codec);
        EXPECT_EQ(track.language, c.language);
        EXPECT_EQ(track.isDefault, c.isDefault);
        ASSERT_EQ(track.cues.size(), kTwoCues.size());
        for (std::size_t i = 0; i < kTwoCues.size(); ++i) {
            EXPECT_NEAR(track.cues[i].startMs, kTwoCues[i].startMs, 1) << i;
            EXPECT_NEAR(track.cues[i].stopMs, kTwoCues[i].stopMs, 1) << i;
            EXPECT_EQ(track.cues[i].text, kTwoCues[i].text) << i;
        }
    }
}

TEST(SubtitleTrack, AStoppedFileEndsItsLastCueWithItsPictures) {
    std::vector<SubtitleCue> cues = kTwoCues;
    cues.push_back({1800, 2500, "Never reached"});
    for (const std::string muxer : {"mp4", "matroska"}) {
        SCOPED_TRACE(muxer);
        TempDir dir;
        const std::string path = dir.File(muxer == "mp4" ? "show.mp4" : "show.mkv");
        ASSERT_EQ(WriteShow(path, muxer, "mpeg4", 30, cues), "");  // 30 frames end at 1251 ms
        const ReadTrack track = ReadSubtitles(path);
        ASSERT_EQ(track.cues.size(), 2u);
        EXPECT_NEAR(track.cues[1].startMs, 1000, 1);
        EXPECT_NEAR(track.cues[1].stopMs, 1251, 1);
    }
}

TEST(SubtitleTrack, ContainersWithoutTextSubtitlesAreWrittenWithoutThem) {
    struct Case {
        std::string muxer, extension, codec;
    };
    const Case cases[] = {{"avi", ".avi", "mpeg4"}, {"asf", ".wmv", "wmv2"}, {"ogg", ".ogv", "libtheora"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.muxer);
        TempDir dir;
        const std::string path = dir.File("show" + c.extension);
        ASSERT_EQ(WriteShow(path, c.muxer, c.codec, 48, kTwoCues), "");
        EXPECT_EQ(ReadSubtitles(path).subtitleStreams, 0);
    }
}
