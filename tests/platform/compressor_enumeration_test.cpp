#include "settings/compressor_enumeration.h"

#include <gtest/gtest.h>

#include "platform/codecs/codec_manager.h"
#include "tests/support/recording_message_boxes.h"

TEST(CompressorEnumeration, ListsTheSyntheticEntryFirstAndFindsTheDefaults) {
    RecordingMessageBoxes boxes;
    CompressorServices s{boxes, nullptr};
    std::vector<std::string> video = FillVideoCompressorList(s), audio = FillAudioCompressorList(s);
    ASSERT_GT(video.size(), 1u);
    EXPECT_EQ(video[0], "Full frames (uncompressed)");
    EXPECT_EQ(audio[0], "Uncompressed Audio");
    int divx = -1, adpcm = -1;
    ASSERT_TRUE(FindDivXCompressor(s, &divx));
    EXPECT_EQ(video[static_cast<std::size_t>(divx) + 1], "DivX-compatible MPEG-4 part 2 (mpeg4)");
    ASSERT_TRUE(FindAdpcmCompressor(s, &adpcm));
    EXPECT_EQ(audio[static_cast<std::size_t>(adpcm) + 1], "Microsoft ADPCM (adpcm_ms)");
    // The list index is the position plus one: the same device by name and by position.
    std::shared_ptr<IBaseFilter> filter;
    ASSERT_EQ(GetCompressor(s, divx, &filter), S_OK);
    FILTER_INFO info;
    filter->QueryFilterInfo(&info);
    EXPECT_EQ(info.achName, video[static_cast<std::size_t>(divx) + 1]);
    EncoderChoice choice;
    bool isVideo = false;
    ASSERT_TRUE(CompressorOf(filter, &choice, &isVideo));
    EXPECT_EQ(choice.codec, "mpeg4");
    EXPECT_TRUE(isVideo);
    int byCodec = -1;
    EXPECT_TRUE(FindCompressorByName(s, false, "ADPCM_MS", &byCodec));
    EXPECT_EQ(byCodec, adpcm);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST(CompressorEnumeration, StoredChoicesResolveAsAtStartUp) {
    RecordingMessageBoxes boxes;
    CompressorServices s{boxes, nullptr};
    HeldCompressor none;
    ResolveStoredCompressor(s, true, -1, &none);
    EXPECT_FALSE(none.use);
    EXPECT_FALSE(none.filter);
    HeldCompressor chosen;
    ResolveStoredCompressor(s, false, -2, &chosen);
    EXPECT_TRUE(chosen.use);
    ASSERT_TRUE(chosen.filter);
    HeldCompressor gone;
    ResolveStoredCompressor(s, true, 100000, &gone);  // a device that is not there any more
    EXPECT_TRUE(gone.use);
    EXPECT_FALSE(gone.filter);
    std::shared_ptr<IBaseFilter> f;
    EXPECT_EQ(GetCompressor(s, -5, &f), S_OK);
    EXPECT_FALSE(f);
}

TEST(CompressorEnumeration, EnumerationFailuresAreReported) {
    struct Case {
        const char* call;
        const char* message;
    };
    for (Case c : {Case{"CoCreateInstance(CLSID_SystemDeviceEnum)", "Failed to create system enumerator"},
                   Case{"ICreateDevEnum::CreateClassEnumerator", "Failed to create class enumerator"}}) {
        RecordingMessageBoxes boxes;
        auto faults = std::make_shared<FaultPlan>();
        faults->Fail(c.call);
        CompressorServices s{boxes, faults};
        EXPECT_EQ(FillVideoCompressorList(s), std::vector<std::string>{"Full frames (uncompressed)"});
        int position = 0;
        EXPECT_FALSE(FindDivXCompressor(s, &position));
        EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{c.message, c.message}));
    }
    RecordingMessageBoxes boxes;
    auto faults = std::make_shared<FaultPlan>();
    faults->Fail("IMoniker::BindToObject");
    CompressorServices s{boxes, faults};
    std::shared_ptr<IBaseFilter> filter;
    EXPECT_TRUE(FAILED(GetCompressor(s, 0, &filter)));
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Failed to bind to object"});
    EXPECT_EQ(GetCompressor(s, 0, nullptr), E_POINTER);
    EXPECT_EQ(boxes.Texts().back(), "GetCompressor received invalid pointer");
}

namespace {

// Confirms the page after changing one setting, or cancels it.
class FakePort final : public CodecConfigurePort {
public:
    bool Configure(void*, const std::string& title, std::vector<FilterOption>* options) override {
        titles.push_back(title);
        seen = *options;
        for (FilterOption& o : *options) {
            if (o.name == change) o.value = to;
        }
        return confirm;
    }
    std::vector<std::string> titles;
    std::vector<FilterOption> seen;
    std::string change, to;
    bool confirm = true;
};

}  // namespace

TEST(ConfigureVideoCodec, OpensTheMatchingCodecsSettingsAndKeepsThem) {
    FakePort port;
    ConfigureVideoCodec(nullptr, "Full frames (uncompressed)", &port);  // no codec has that name
    EXPECT_TRUE(port.titles.empty());

    // A first page cancelled leaves no state behind, so the next page shows its codec's own values.
    port.confirm = false;
    ConfigureVideoCodec(nullptr, "DivX-compatible MPEG-4 part 2 (mpeg4)", &port);
    EXPECT_TRUE(CodecState().empty());
    ConfigureVideoCodec(nullptr, "libx264 H.264 / AVC / MPEG-4 AVC / MPEG-4 part 10 (libx264)", &port);
    std::string crf;
    for (const FilterOption& o : port.seen) {
        if (o.name == "crf") crf = o.value;
    }
    EXPECT_EQ(crf, "20");  // the starting setting, not x264's default
    port.titles.clear();
    port.confirm = true;

    port.change = "mpeg_quant";
    port.to = "1";
    ConfigureVideoCodec(nullptr, "divx-compatible mpeg-4 part 2 (MPEG4)", &port);  // case does not matter
    ASSERT_EQ(port.titles, std::vector<std::string>{"DivX-compatible MPEG-4 part 2 (mpeg4)"});
    bool listed = false;
    for (const FilterOption& o : port.seen) listed |= o.name == "mpeg_quant";
    EXPECT_TRUE(listed);
    std::string state(CodecState().begin(), CodecState().end());
    EXPECT_NE(state.find("mpeg_quant=1"), std::string::npos) << state;
    EXPECT_NE(state.find("global_quality=354"), std::string::npos);  // the starting quality stays

    // Cancelled: the kept state does not change.
    port.confirm = false;
    port.to = "0";
    ConfigureVideoCodec(nullptr, "DivX-compatible MPEG-4 part 2 (mpeg4)", &port);
    EXPECT_EQ(std::string(CodecState().begin(), CodecState().end()), state);
}

// Every encoder that can write these frames is offered, whatever pixel format it takes them in; an
// encoder's "auto" switches are neither on nor off on its page.
TEST(CompressorEnumeration, MotionJpegIsListedAndAutoSwitchesStayAuto) {
    RecordingMessageBoxes boxes;
    CompressorServices s{boxes, nullptr};
    int mjpeg = -1, x264 = -1;
    ASSERT_TRUE(FindCompressorByName(s, true, "mjpeg", &mjpeg));
    std::shared_ptr<IBaseFilter> filter;
    ASSERT_EQ(GetCompressor(s, mjpeg, &filter), S_OK);
    EncoderChoice choice;
    bool video = false;
    ASSERT_TRUE(CompressorOf(filter, &choice, &video));
    EXPECT_EQ(choice.options["pix_fmt"], "yuvj420p");

    ASSERT_TRUE(FindCompressorByName(s, true, "libx264", &x264));
    ASSERT_EQ(GetCompressor(s, x264, &filter), S_OK);
    std::vector<FilterOption> options;
    std::dynamic_pointer_cast<ISpecifyPropertyPages>(filter)->GetPages(&options);
    int autoSwitches = 0;
    for (const FilterOption& o : options) {
        if (o.name != "intra-refresh" && o.name != "bluray-compat") continue;
        ++autoSwitches;
        EXPECT_EQ(o.kind, FilterOption::Choice) << o.name;
        EXPECT_EQ(o.value, "-1") << o.name;
        EXPECT_EQ(o.choices.front(), (std::pair<std::string, std::string>{"-1", "auto"}));
    }
    EXPECT_EQ(autoSwitches, 2);
}
