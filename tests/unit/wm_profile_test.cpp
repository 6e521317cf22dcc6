#include "engine/wm_profile_generator.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

WM_MEDIA_TYPE Audio(std::uint16_t tag, std::uint32_t rate, std::uint16_t channels, std::uint32_t bytesPerSec,
                    std::uint16_t blockAlign, std::uint16_t extra = 0) {
    WM_MEDIA_TYPE mt;
    mt.majortype = WMMEDIATYPE_Audio;
    mt.formattype = WMFORMAT_WaveFormatEx;
    WAVEFORMATEX w;
    w.wFormatTag = tag;
    w.nChannels = channels;
    w.nSamplesPerSec = rate;
    w.nAvgBytesPerSec = bytesPerSec;
    w.nBlockAlign = blockAlign;
    w.cbSize = extra;
    mt.format.resize(sizeof w + extra, 0xAB);
    std::memcpy(mt.format.data(), &w, sizeof w);
    return mt;
}

WM_MEDIA_TYPE Video(const char fourcc[4]) {
    WM_MEDIA_TYPE mt;
    mt.majortype = WMMEDIATYPE_Video;
    mt.formattype = WMFORMAT_VideoInfo;
    VIDEOINFOHEADER vih;
    vih.bmiHeader.biCompression = MakeFourCC(fourcc);
    mt.format.resize(sizeof vih);
    std::memcpy(mt.format.data(), &vih, sizeof vih);
    return mt;
}

// Codec information with exactly the formats a test gives.
class FakeCodecInfo final : public IWMCodecInfo {
public:
    const std::shared_ptr<FaultPlan>& Faults() const override { return faults_; }
    HRESULT GetCodecInfoCount(const GUID& t, int* n) const override {
        *n = static_cast<int>(List(t).size());
        return S_OK;
    }
    HRESULT GetCodecFormatCount(const GUID& t, int c, int* n) const override {
        *n = static_cast<int>(List(t)[static_cast<std::size_t>(c)].size());
        return S_OK;
    }
    HRESULT GetCodecFormat(const GUID& t, int c, int f, std::shared_ptr<IWMStreamConfig>* s) const override {
        *s = MakeStreamConfig(nullptr, t, List(t)[static_cast<std::size_t>(c)][static_cast<std::size_t>(f)]);
        return S_OK;
    }
    std::vector<std::vector<WM_MEDIA_TYPE>> audio, video;

private:
    const std::vector<std::vector<WM_MEDIA_TYPE>>& List(const GUID& t) const {
        return t == WMMEDIATYPE_Audio ? audio : video;
    }
    std::shared_ptr<FaultPlan> faults_;
};

struct Generated {
    HRESULT hr;
    std::shared_ptr<IWMProfile> profile;
};

Generated Generate(std::shared_ptr<FakeCodecInfo> info, std::int32_t audioBitrate, int videos = 1,
                   const char* fourcc = "WMV3") {
    std::shared_ptr<IWMProfileManager> manager;
    WMCreateProfileManager(nullptr, &manager, info);
    AudioParams a{audioBitrate, 0x161, 44100, 2};
    std::vector<VideoParams> v(static_cast<std::size_t>(videos), VideoParams{MakeFourCC(fourcc), 2048000, 480, 640, 23, 0, 8});
    Generated g;
    g.hr = GenerateProfile(*manager, &a, std::nullopt, videos, v.data(), WMT_VER_9_0, &g.profile);
    return g;
}

WAVEFORMATEX AudioOf(const IWMProfile& p) {
    WM_MEDIA_TYPE mt;
    std::dynamic_pointer_cast<IWMMediaProps>(p.streams()[0])->GetMediaType(&mt);
    WAVEFORMATEX w;
    WaveFormatOf(mt, &w);
    return w;
}

std::shared_ptr<FakeCodecInfo> Info() {
    auto info = std::make_shared<FakeCodecInfo>();
    info->audio = {{Audio(0x161, 44100, 2, 24000, 1114, 10), Audio(0x161, 44100, 2, 24010, 900),
                    Audio(0x161, 44100, 2, 24000, 900), Audio(0x161, 44100, 1, 24000, 100),
                    Audio(0x161, 48000, 2, 24000, 100), Audio(0x160, 44100, 2, 24000, 100),
                    Audio(0x161, 44100, 2, 16000, 743)}};
    info->video = {{Video("WMV2")}, {Video("WMV1")}};
    return info;
}

}  // namespace

TEST(WindowsMediaProfile, OneAudioAndOneVideoStream) {
    Generated g = Generate(Info(), 192000);
    ASSERT_EQ(g.hr, S_OK);
    EXPECT_EQ(g.profile->name(), "Custom Profile");
    auto streams = g.profile->streams();
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(streams[0]->streamNumber(), 1);
    EXPECT_EQ(streams[0]->streamName(), "Audio Stream");
    EXPECT_EQ(streams[0]->connectionName(), "Audio");
    EXPECT_EQ(streams[1]->streamNumber(), 2);
    EXPECT_EQ(streams[1]->streamName(), "Video Stream");
    EXPECT_EQ(streams[1]->connectionName(), "Video");
    EXPECT_EQ(streams[1]->bitrate(), 2048000u);
    EXPECT_TRUE(g.profile->exclusions().empty());
    WM_MEDIA_TYPE mt;
    std::dynamic_pointer_cast<IWMMediaProps>(streams[1])->GetMediaType(&mt);
    VIDEOINFOHEADER vih;
    ASSERT_TRUE(mt.GetVideoInfo(&vih));
    EXPECT_EQ(vih.AvgTimePerFrame, 434782);  // 23 frames a second
    EXPECT_EQ(vih.bmiHeader.biWidth, 640);
    EXPECT_EQ(vih.rcTarget.bottom, 480);
    EXPECT_EQ(std::dynamic_pointer_cast<IWMVideoMediaProps>(streams[1])->maxKeyFrameSpacing(), 80'000'000);
}

TEST(WindowsMediaProfile, WithVideoTheSmallestBlockAlignmentWinsLaterOnATie) {
    Generated g = Generate(Info(), 192000);
    ASSERT_EQ(g.hr, S_OK);
    WAVEFORMATEX w = AudioOf(*g.profile);
    EXPECT_EQ(w.nBlockAlign, 900);
    EXPECT_EQ(w.nAvgBytesPerSec, 24000u);  // the later of the two 900s (24010 · 8 is 80 away, also in)
    EXPECT_EQ(g.profile->streams()[0]->bitrate(), 192000u);

    Generated audioOnly = Generate(Info(), 192000, 0);
    ASSERT_EQ(audioOnly.hr, S_OK);
    EXPECT_EQ(AudioOf(*audioOnly.profile).nBlockAlign, 1114);  // without video the largest
    WM_MEDIA_TYPE mt;
    std::dynamic_pointer_cast<IWMMediaProps>(audioOnly.profile->streams()[0])->GetMediaType(&mt);
    EXPECT_EQ(mt.format.size(), 28u);  // 18 + its 10 extra bytes, copied whole
    EXPECT_EQ(mt.subtype.data1, 0x161u);
}

TEST(WindowsMediaProfile, BitrateMustMatchWithin249) {
    EXPECT_EQ(Generate(Info(), 128000 + 249).hr, S_OK);
    EXPECT_EQ(Generate(Info(), 128000 - 249).hr, S_OK);
    EXPECT_EQ(Generate(Info(), 128000 + 250).hr, NS_E_AUDIO_CODEC_NOT_INSTALLED);
    EXPECT_EQ(Generate(Info(), 100000).hr, NS_E_AUDIO_CODEC_NOT_INSTALLED);
}

TEST(WindowsMediaProfile, Wmv3FallsBackToWmv2ThenWmv1) {
    auto info = Info();
    Generated g = Generate(info, 192000);
    WM_MEDIA_TYPE mt;
    std::dynamic_pointer_cast<IWMMediaProps>(g.profile->streams()[1])->GetMediaType(&mt);
    VIDEOINFOHEADER vih;
    mt.GetVideoInfo(&vih);
    EXPECT_EQ(vih.bmiHeader.biCompression, MakeFourCC("WMV2"));

    info->video = {{Video("WMV1")}};
    g = Generate(info, 192000);
    std::dynamic_pointer_cast<IWMMediaProps>(g.profile->streams()[1])->GetMediaType(&mt);
    mt.GetVideoInfo(&vih);
    EXPECT_EQ(vih.bmiHeader.biCompression, MakeFourCC("WMV1"));

    info->video = {{Video("MP43")}};
    EXPECT_EQ(Generate(info, 192000).hr, NS_E_VIDEO_CODEC_NOT_INSTALLED);
    // Only a request for WMV3 falls back.
    EXPECT_EQ(Generate(Info(), 192000, 1, "MP43").hr, NS_E_VIDEO_CODEC_NOT_INSTALLED);
}

TEST(WindowsMediaProfile, ArgumentsAndSeveralVideos) {
    std::shared_ptr<IWMProfileManager> manager;
    WMCreateProfileManager(nullptr, &manager, Info());
    std::shared_ptr<IWMProfile> p;
    AudioParams a{192000, 0x161, 44100, 2};
    EXPECT_EQ(GenerateProfile(*manager, nullptr, std::nullopt, 0, nullptr, WMT_VER_9_0, &p), E_INVALIDARG);
    EXPECT_EQ(GenerateProfile(*manager, &a, std::nullopt, 64, nullptr, WMT_VER_9_0, &p), E_INVALIDARG);
    EXPECT_EQ(GenerateProfile(*manager, &a, std::nullopt, 1, nullptr, WMT_VER_9_0, &p), E_INVALIDARG);
    EXPECT_EQ(GenerateProfile(*manager, &a, std::nullopt, 0, nullptr, WMT_VER_9_0, nullptr), E_INVALIDARG);

    Generated three = Generate(Info(), 192000, 3);
    ASSERT_EQ(three.hr, S_OK);
    ASSERT_EQ(three.profile->exclusions().size(), 1u);
    EXPECT_EQ(three.profile->exclusions()[0]->streams(), (std::vector<int>{2, 3, 4}));
    ASSERT_EQ(GenerateProfile(*manager, &a, 8000u, 0, nullptr, WMT_VER_9_0, &p), S_OK);
    EXPECT_EQ(p->streams().back()->streamName(), "Script Stream");
    EXPECT_EQ(p->streams().back()->streamNumber(), 2);
}

TEST(WindowsMediaProfile, FfmpegEncodersOfferTheDialogsBitrates) {
    std::shared_ptr<IWMProfileManager> manager;
    ASSERT_EQ(WMCreateProfileManager(nullptr, &manager), S_OK);
    for (int kbps : {64, 128, 192, 320}) {
        AudioParams a{kbps * 1000, 0x161, 44100, 2};
        VideoParams v{MakeFourCC("WMV3"), 2048000, 480, 640, 23, 0, 8};
        std::shared_ptr<IWMProfile> p;
        EXPECT_EQ(GenerateProfile(*manager, &a, std::nullopt, 1, &v, WMT_VER_9_0, &p), S_OK) << kbps;
    }
}
