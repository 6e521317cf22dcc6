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
