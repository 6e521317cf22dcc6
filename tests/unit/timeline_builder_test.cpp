#include "engine/timeline_builder.h"

#include <gtest/gtest.h>

#include <limits>

#include "engine/transition_catalogue.h"
#include "tests/support/recording_message_boxes.h"
#include "tests/support/timeline_reader.h"

namespace {

constexpr REFERENCE_TIME kSecond = 10'000'000;

struct Built {
    HRESULT hr = E_FAIL;
    std::shared_ptr<IAMTimeline> timeline;
    std::vector<GroupView> groups;
    RecordingMessageBoxes boxes;
};

void Build(SlideshowProject& project, Built& out, std::shared_ptr<FaultPlan> faults = nullptr,
           IMediaLocator* locator = nullptr) {
    TimelineBuildEnv env{out.boxes, std::move(faults), locator};
    out.hr = BuildTimeline(project, env, &out.timeline);
    if (out.timeline) out.groups = ReadTimeline(*out.timeline);
}

// Photos with the given (duration, transition duration) pairs, all entering with Fade.
SlideshowProject Show(std::vector<std::pair<double, double>> photos,
                      std::vector<REFERENCE_TIME> music = {}) {
    SlideshowProject project;
    project.defaults().policy = kPolicySame;
    project.defaults().sameIndex = 3;
    int i = 0;
    for (auto [d, x] : photos) {
        project.defaults().photoDurationSec = d;
        project.defaults().transitionDurationSec = x;
        project.AppendPhoto("/photos/" + std::to_string(i++) + ".jpg");
    }
    i = 0;
    for (REFERENCE_TIME length : music) project.AppendMusic("/music/" + std::to_string(i++) + ".wav", length);
    return project;
}

std::vector<std::pair<REFERENCE_TIME, REFERENCE_TIME>> MusicSpans(const Built& b) {
    std::vector<std::pair<REFERENCE_TIME, REFERENCE_TIME>> spans;
    for (const TrackView& t : b.groups.at(1).tracks) {
        spans.emplace_back(t.sources.at(0).start, t.sources.at(0).stop);
        EXPECT_EQ(t.sources[0].mediaStart, 0);
        EXPECT_EQ(t.sources[0].mediaStop, t.sources[0].stop - t.sources[0].start);
    }
    return spans;
}

}  // namespace

TEST(TimelineBuilder, TwoPhotosAndThreeSecondsOfMusic) {
    SlideshowProject project = Show({{5, 1}, {5, 1}}, {3 * kSecond});
    Built b;
    Build(project, b);
    ASSERT_EQ(b.hr, S_OK);
    EXPECT_TRUE(b.boxes.shown.empty());
    EXPECT_DOUBLE_EQ(project.showLengthSec(), 10);
    ASSERT_EQ(b.groups.size(), 2u);

    const GroupView& video = b.groups[0];
    EXPECT_DOUBLE_EQ(video.fps, 23.976);
    ASSERT_EQ(video.tracks.size(), 2u);
    const SourceView& s0 = video.tracks[0].sources.at(0);
    EXPECT_EQ(s0.start, 0);
    EXPECT_EQ(s0.stop, 55'000'000);
    EXPECT_EQ(s0.mediaStart, 0);
    EXPECT_EQ(s0.mediaStop, 55'000'000);
    EXPECT_EQ(s0.stretchMode, RESIZEF_PRESERVEASPECTRATIO);
    EXPECT_EQ(s0.name, "/photos/0.jpg");
    ASSERT_EQ(video.tracks[0].transitions.size(), 1u);
    EXPECT_EQ(video.tracks[0].transitions[0].start, 0);
    EXPECT_EQ(video.tracks[0].transitions[0].stop, 10'000'000);
    EXPECT_EQ(GuidToString(video.tracks[0].transitions[0].clsid),
              "{16B280C5-EE70-11D1-9066-00C04FD9189D}");
    const SourceView& s1 = video.tracks[1].sources.at(0);
    EXPECT_EQ(s1.start, 45'000'000);
    EXPECT_EQ(s1.stop, 100'000'000);  // 10.5 s cut at the show length
    EXPECT_EQ(s1.mediaStop, 55'000'000);
    EXPECT_EQ(video.tracks[1].transitions.at(0).start, 45'000'000);
    EXPECT_EQ(video.tracks[1].transitions.at(0).stop, 55'000'000);

    using Span = std::pair<REFERENCE_TIME, REFERENCE_TIME>;
    EXPECT_EQ(MusicSpans(b), (std::vector<Span>{{0, 30'000'000},
                                                {28'000'000, 58'000'000},
                                                {56'000'000, 86'000'000},
                                                {84'000'000, 100'000'000}}));
}

TEST(TimelineBuilder, VideoGroupMediaType) {
    SlideshowProject project = Show({{1, 0}});
    project.output().width = 642;
    project.output().height = 480;
    Built b;
    Build(project, b);
    const AM_MEDIA_TYPE& mt = b.groups.at(0).mediaType;
    EXPECT_EQ(mt.majortype, MEDIATYPE_Video);
    EXPECT_EQ(mt.subtype, MEDIASUBTYPE_RGB24);
    EXPECT_EQ(mt.formattype, FORMAT_VideoInfo);
    EXPECT_EQ(mt.bFixedSizeSamples, 1);
    EXPECT_EQ(mt.bTemporalCompression, 0);
    ASSERT_EQ(mt.cbFormat(), 88u);
    VIDEOINFOHEADER vih;
    ASSERT_TRUE(mt.GetVideoInfo(&vih));
    EXPECT_EQ(vih.bmiHeader.biSize, 40u);
    EXPECT_EQ(vih.bmiHeader.biWidth, 642);
    EXPECT_EQ(vih.bmiHeader.biBitCount, 24);
    // 642 × 3 = 1926 bytes a row, padded to 1928.
    EXPECT_EQ(vih.bmiHeader.biSizeImage, 1928u * 480u);
    EXPECT_EQ(mt.lSampleSize, vih.bmiHeader.biSizeImage);
    EXPECT_EQ(vih.AvgTimePerFrame, 0);
    EXPECT_EQ(vih.rcSource.right, 0);

    project.output().width = 0;  // "Original size"
    project.output().height = 0;
    Built original;
    Build(project, original);
    ASSERT_TRUE(original.groups.at(0).mediaType.GetVideoInfo(&vih));
    EXPECT_EQ(vih.bmiHeader.biSizeImage, 0u);
}

TEST(TimelineBuilder, FirstPhotoWithoutTransitionStillEndsHalfItsTransitionLate) {
    SlideshowProject project = Show({{5, 2}, {5, 2}});
    PhotoItem first = project.photos()[0];
    first.transition = 0;
    project.SetPhoto(0, first);
    Built b;
    Build(project, b);
    const TrackView& t0 = b.groups.at(0).tracks.at(0);
    EXPECT_TRUE(t0.transitions.empty());
    EXPECT_EQ(t0.sources.at(0).start, 0);
    EXPECT_EQ(t0.sources.at(0).stop, 60'000'000);  // 5 s + half of 2 s
    EXPECT_EQ(b.groups[0].tracks.at(1).sources.at(0).start, 40'000'000);
    EXPECT_EQ(b.groups.size(), 1u);  // no music, no audio group
}

TEST(TimelineBuilder, SpanShorterThanItsTransitionGetsNoTransition) {
    // The last photo is cut at the show length, leaving 2.5 s for its 3 s transition.
    SlideshowProject project = Show({{5, 1}, {2, 3}});
    Built b;
    Build(project, b);
    // The text of old, then a line naming the photo and its times.
    ASSERT_EQ(b.boxes.Texts(), std::vector<std::string>{"Transition time should be less than\n"
                                                        "Photo 2 (1.jpg): the transition lasts 3.000 s, but the photo is on "
                                                        "screen for only 2.500 s."});
    EXPECT_EQ(b.boxes.shown[0].owner, MessageOwner::Application);
    const TrackView& t1 = b.groups.at(0).tracks.at(1);
    ASSERT_EQ(t1.sources.size(), 1u);
    EXPECT_EQ(t1.sources[0].start, 45'000'000);
    EXPECT_EQ(t1.sources[0].stop, 70'000'000);
    EXPECT_TRUE(t1.transitions.empty());
}

TEST(TimelineBuilder, LongPhotosDoNotOverflowTheArithmetic) {
    // 300 s spans: a 32-bit product (span × 10000) would turn negative.
    SlideshowProject project = Show({{300, 4}, {300, 4}, {300, 4}});
    Built b;
    Build(project, b);
    EXPECT_TRUE(b.boxes.shown.empty());
    EXPECT_EQ(b.groups.at(0).tracks.at(2).sources.at(0).stop, 900 * kSecond);
    EXPECT_EQ(b.groups[0].tracks[2].transitions.size(), 1u);
}

TEST(TimelineBuilder, WipesCarryTheirMaskNumber) {
    SlideshowProject project = Show({{4, 1}, {4, 1}, {4, 1}, {4, 1}});
    int indices[] = {17, 46, 3, 60};
    for (int i = 0; i < 4; ++i) {
        PhotoItem p = project.photos()[i];
        p.transition = indices[i];
        project.SetPhoto(i, p);
    }
    Built b;
    Build(project, b);
    const auto& tracks = b.groups.at(0).tracks;
    EXPECT_EQ(tracks[0].transitions.at(0).clsid, CLSID_DxtJpeg);
    EXPECT_EQ(tracks[0].transitions[0].maskNum, 1);
    EXPECT_EQ(tracks[1].transitions.at(0).maskNum, 301);
    EXPECT_EQ(tracks[2].transitions.at(0).propertyCount, 0);
    // An index outside the catalogue inserts the wipe with no property.
    EXPECT_EQ(tracks[3].transitions.at(0).clsid, CLSID_DxtJpeg);
    EXPECT_EQ(tracks[3].transitions[0].propertyCount, 0);
}

TEST(TimelineBuilder, MusicLongerThanTheShowIsPlacedOnce) {
    SlideshowProject project = Show({{5, 1}, {5, 1}}, {60 * kSecond});
    Built b;
    Build(project, b);
    using Span = std::pair<REFERENCE_TIME, REFERENCE_TIME>;
    EXPECT_EQ(MusicSpans(b), (std::vector<Span>{{0, 100'000'000}}));
}

TEST(TimelineBuilder, MusicListIsRepeatedInOrder) {
    SlideshowProject project = Show({{6, 0}}, {2 * kSecond, 3 * kSecond});
    Built b;
    Build(project, b);
    std::vector<std::string> names;
    for (const TrackView& t : b.groups.at(1).tracks) names.push_back(t.sources.at(0).name);
    EXPECT_EQ(names, (std::vector<std::string>{"/music/0.wav", "/music/1.wav", "/music/0.wav"}));
    using Span = std::pair<REFERENCE_TIME, REFERENCE_TIME>;
    EXPECT_EQ(MusicSpans(b), (std::vector<Span>{{0, 20'000'000},
                                                {18'000'000, 48'000'000},
                                                {46'000'000, 60'000'000}}));
}

TEST(TimelineBuilder, MusicThatCannotFillTheShowEndsTheLoop) {
    // Every item is 0.2 s or less: a pass gains nothing, so the loop must stop by itself.
    SlideshowProject project = Show({{10, 1}}, {2'000'000, 1'500'000});
    Built b;
    Build(project, b);
    ASSERT_EQ(b.groups.size(), 2u);
    EXPECT_FALSE(b.groups[1].tracks.empty());
    EXPECT_LE(b.groups[1].tracks.size(), 4u);
    for (const TrackView& t : b.groups[1].tracks) EXPECT_GE(t.sources.at(0).start, 0);
}

TEST(TimelineBuilder, UnmeasuredMusicIsLeftOut) {
    SlideshowProject project = Show({{5, 0}}, {-1, 3 * kSecond, 0});
    Built b;
    Build(project, b);
    for (const TrackView& t : b.groups.at(1).tracks) EXPECT_EQ(t.sources.at(0).name, "/music/1.wav");
    using Span = std::pair<REFERENCE_TIME, REFERENCE_TIME>;
    EXPECT_EQ(MusicSpans(b), (std::vector<Span>{{0, 30'000'000}, {28'000'000, 50'000'000}}));
}

namespace {

// The music loop placed one by one, as the timeline's music tracks have always been made.
std::vector<MusicPlacement> PlacedOneByOne(const std::vector<REFERENCE_TIME>& lengths, REFERENCE_TIME end) {
    return PlanMusicLoop(lengths, end, std::numeric_limits<std::size_t>::max()).placed;
}

// The same loop with the rule taking over as early as it can, read back placement by placement.
std::vector<MusicPlacement> PlacedByTheRule(const std::vector<REFERENCE_TIME>& lengths, REFERENCE_TIME end) {
    MusicLoop loop = PlanMusicLoop(lengths, end, 0);
    std::vector<MusicPlacement> all = loop.placed;
    if (!loop.repeats) return all;
    std::vector<RunItem> pattern;
    for (std::size_t k = 0; k < loop.passItems.size(); ++k) {
        pattern.push_back({std::to_string(loop.passItems[k]), loop.passOffsets[k], lengths[loop.passItems[k]]});
    }
    TrackRun run(pattern, loop.nextPass, loop.period, end);
    for (std::int64_t i = 0; i < run.count(); ++i) {
        const RunSource r = run.At(i);
        all.push_back({std::stoul(*r.name), r.start, r.stop});
    }
    return all;
}

}  // namespace

// The rule that describes a long loop places exactly what placing one by one does, whatever the
// lengths: items shorter than the overlap (which move the next start back, down to 0), unknown
// lengths, a last placement cut at the end, and loops that end for want of progress.
TEST(MusicLoop, TheRuleGivesTheSamePlacementsAsPlacingOneByOne) {
    const struct {
        std::vector<REFERENCE_TIME> lengths;
        REFERENCE_TIME end;
    } cases[] = {
        {{2'010'000}, 10 * kSecond},
        {{30'000'000}, 100'000'000},
        {{20'000'000, 30'000'000}, 60 * kSecond},
        {{100'000, 5'000'000}, 30 * kSecond},
        {{1'000'000, 1'000'000, 7'000'000}, 30 * kSecond},
        {{-1, 2'010'000, 0, 2'500'000}, 20 * kSecond},
        {{100'000, 3'000'000, 50'000}, 25 * kSecond},
        {{2'000'000, 1'500'000}, 10 * kSecond},
        {{100'000, 2'200'000}, 5 * kSecond},
        {{5'000'000}, 5 * kSecond},
        {{60 * kSecond}, 10 * kSecond},
    };
    for (const auto& c : cases) {
        const std::vector<MusicPlacement> expected = PlacedOneByOne(c.lengths, c.end);
        ASSERT_FALSE(expected.empty());
        EXPECT_TRUE(PlacedByTheRule(c.lengths, c.end) == expected) << expected.size() << " placements";
        EXPECT_LE(expected.back().stop, c.end);
    }
}

// 60 photos of 8 s over a 0.201 s beep: a placement every millisecond, each kept.
TEST(TimelineBuilder, AShortBeepUnderALongShowIsPlacedEveryMillisecond) {
    SlideshowProject project = Show(std::vector<std::pair<double, double>>(60, {8, 1}), {2'010'000});
    Built b;
    TimelineBuildEnv env{b.boxes, nullptr, nullptr};
    ASSERT_EQ(BuildTimeline(project, env, &b.timeline), S_OK);
    TimelineObjPtr audio;
    ASSERT_EQ(b.timeline->GetGroup(&audio, 1), S_OK);
    auto comp = std::dynamic_pointer_cast<IAMTimelineComp>(audio);
    int listed = 0;
    comp->VTrackGetCount(&listed);
    std::shared_ptr<const TrackRun> run = comp->GetTrackRun();
    ASSERT_TRUE(run);
    // The last placement is the first to reach 480 s: it starts at 479.799 s.
    EXPECT_EQ(listed + run->count(), 479'800);
    TimelineObjPtr track, source;
    comp->GetVTrack(&track, 0);
    std::dynamic_pointer_cast<IAMTimelineTrack>(track)->GetSrc(&source, 0);
    REFERENCE_TIME start = 0, stop = 0;
    source->GetStartStop(&start, &stop);
    EXPECT_EQ(std::make_pair(start, stop), std::make_pair(REFERENCE_TIME{0}, REFERENCE_TIME{2'010'000}));
    const RunSource last = run->At(run->count() - 1);
    EXPECT_EQ(std::make_pair(last.start, last.stop), std::make_pair(REFERENCE_TIME{4'797'990'000}, 480 * kSecond));
    EXPECT_EQ(*last.name, "/music/0.wav");
}

TEST(TimelineBuilder, MissingSourcesAreOfferedToTheLocator) {
    struct Locator : IMediaLocator {
        HRESULT FindMediaFile(const std::string& missing, std::string* found) override {
            asked.push_back(missing);
            if (missing != "/photos/1.jpg") return S_FALSE;
            *found = "/elsewhere/1.jpg";
            return S_OK;
        }
        std::vector<std::string> asked;
    } locator;
    SlideshowProject project = Show({{5, 1}, {5, 1}});
    Built b;
    Build(project, b, nullptr, &locator);
    EXPECT_EQ(locator.asked, (std::vector<std::string>{"/photos/0.jpg", "/photos/1.jpg"}));
    EXPECT_EQ(b.groups.at(0).tracks.at(0).sources.at(0).name, "/photos/0.jpg");
    EXPECT_EQ(b.groups.at(0).tracks.at(1).sources.at(0).name, "/elsewhere/1.jpg");
}

TEST(TimelineBuilder, TimelineCreationFailureIsTheOnlyFailedBuild) {
    auto faults = std::make_shared<FaultPlan>();
    faults->Fail("CoCreateInstance(CLSID_AMTimeline)", E_OUTOFMEMORY);
    SlideshowProject project = Show({{5, 1}});
    Built b;
    Build(project, b, faults);
    EXPECT_EQ(b.hr, E_OUTOFMEMORY);
    EXPECT_FALSE(b.timeline);
    ASSERT_EQ(b.boxes.shown.size(), 1u);
    EXPECT_EQ(b.boxes.shown[0].text, "Could not create timeline");
    EXPECT_EQ(b.boxes.shown[0].caption, "Error");
    EXPECT_EQ(b.boxes.shown[0].owner, MessageOwner::MainWindow);
}

TEST(TimelineBuilder, UnallocatableFormatBlockFailsTheGroupSilently) {
    auto faults = std::make_shared<FaultPlan>();
    faults->Fail("CoTaskMemAlloc");
    SlideshowProject project = Show({{5, 1}}, {kSecond});
    Built b;
    Build(project, b, faults);
    EXPECT_EQ(b.hr, S_OK);
    EXPECT_TRUE(b.boxes.shown.empty());
    ASSERT_EQ(b.groups.size(), 1u);  // only the audio group
    EXPECT_EQ(b.groups[0].mediaType.majortype, MEDIATYPE_Audio);
}

struct FailureCase {
    const char* call;
    int occurrence;
    const char* message;
    // What the timeline holds afterwards: video tracks, transitions on them, music tracks.
    int videoTracks, transitions, musicTracks;
};

class TimelineBuilderFailure : public testing::TestWithParam<FailureCase> {};

// A show of two photos (Fade, then the wipe "Horizontal") and music placed twice.
TEST_P(TimelineBuilderFailure, ReportsItsMessageAndGoesOn) {
    const FailureCase& c = GetParam();
    SlideshowProject project = Show({{5, 1}, {5, 1}}, {6 * kSecond});
    PhotoItem second = project.photos()[1];
    second.transition = 17;
    project.SetPhoto(1, second);
    auto faults = std::make_shared<FaultPlan>();
    faults->Fail(c.call, E_FAIL, c.occurrence);
    Built b;
    Build(project, b, faults);
    EXPECT_EQ(b.hr, S_OK);
    EXPECT_EQ(b.boxes.Texts(), std::vector<std::string>{c.message});
    EXPECT_EQ(b.boxes.shown.at(0).owner, MessageOwner::Application);

    int video = 0, transitions = 0, music = 0;
    for (const GroupView& g : b.groups) {
        bool isVideo = g.mediaType.majortype == MEDIATYPE_Video;
        for (const TrackView& t : g.tracks) {
            if (isVideo && !t.sources.empty()) ++video;
            if (!isVideo && !t.sources.empty()) ++music;
            transitions += static_cast<int>(t.transitions.size());
        }
    }
    EXPECT_EQ(video, c.videoTracks);
    EXPECT_EQ(transitions, c.transitions);
    EXPECT_EQ(music, c.musicTracks);
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, TimelineBuilderFailure,
    testing::Values(
        FailureCase{"IAMTimeline::CreateEmptyNode(TIMELINE_MAJOR_TYPE_GROUP)", 1,
                    "Could not create empty node", 0, 0, 2},
        FailureCase{"IAMTimelineGroup::SetMediaType", 1,
                    "Could not pVideoGroup->SetMediaType(&mtGroup)", 0, 0, 2},
        FailureCase{"IAMTimelineGroup::SetOutputFPS", 1, "Could not SetOutputFPS", 0, 0, 2},
        FailureCase{"IAMTimeline::AddGroup", 1, "Could not add video group", 0, 0, 2},
        FailureCase{"IAMTimeline::CreateEmptyNode(TIMELINE_MAJOR_TYPE_TRACK)", 1,
                    "Could not create empty track", 1, 1, 2},
        FailureCase{"IAMTimelineComp::VTrackInsBefore", 2, "Could not insert track", 1, 1, 2},
        FailureCase{"IAMTimeline::CreateEmptyNode(TIMELINE_MAJOR_TYPE_SOURCE)", 1,
                    "Could not create the timeline source", 1, 1, 2},
        FailureCase{"IAMTimelineObj::SetStartStop", 1, "Could not configure media source", 1, 1, 2},
        FailureCase{"IAMTimelineSrc::SetMediaTimes", 1, "Could not configure media source", 1, 1, 2},
        FailureCase{"IAMTimelineSrc::SetMediaName", 2, "Could not configure media source", 1, 1, 2},
        FailureCase{"IAMTimelineSrc::SetStretchMode", 1, "Could not configure media source", 1, 1, 2},
        FailureCase{"IAMTimelineTrack::SrcAdd", 1, "Could not add source to track", 1, 1, 2},
        FailureCase{"IAMTimeline::CreateEmptyNode(TIMELINE_MAJOR_TYPE_TRANSITION)", 1,
                    "Could not CreateEmptyNode TIMELINE_MAJOR_TYPE_TRANSITION", 2, 1, 2},
        FailureCase{"IAMTimelineObj::SetSubObjectGUID", 2, "Could not SetSubObjectGUID", 2, 1, 2},
        FailureCase{"IAMTimelineObj::SetStartStop", 2,
                    "Could not SetStartStop(TLTranStart, TLTranStop);", 2, 1, 2},
        FailureCase{"QueryInterface(IAMTimelineTransable)", 1, "Could not get *pTransable", 2, 1, 2},
        FailureCase{"IAMTimelineTransable::TransAdd", 1, "Could not TransAdd(pTransObj)", 2, 1, 2},
        FailureCase{"CoCreateInstance(CLSID_PropertySetter)", 1, "Could not SetPropertySetter", 2,
                    2, 2},
        FailureCase{"IPropertySetter::AddProp", 1, "Could not SetPropertySetter", 2, 2, 2},
        FailureCase{"IAMTimelineObj::SetPropertySetter", 1, "Could not SetPropertySetter", 2, 2, 2},
        FailureCase{"IAMTimeline::CreateEmptyNode(TIMELINE_MAJOR_TYPE_GROUP)", 2,
                    "Could not create pAudioGroupObj", 2, 2, 0},
        FailureCase{"IAMTimelineGroup::SetMediaType", 2, "Could not set AudioGroupType", 2, 2, 0},
        FailureCase{"IAMTimeline::AddGroup", 2, "Could not add audio group", 2, 2, 0},
        FailureCase{"IAMTimeline::CreateEmptyNode(TIMELINE_MAJOR_TYPE_TRACK)", 3,
                    "Could not create pTrack3Obj", 2, 2, 1},
        FailureCase{"IAMTimelineComp::VTrackInsBefore", 4, "Could not insert pTrack3Obj", 2, 2, 1},
        FailureCase{"IAMTimeline::CreateEmptyNode(TIMELINE_MAJOR_TYPE_SOURCE)", 3,
                    "Could not create the pSource3Obj", 2, 2, 1},
        FailureCase{"IAMTimelineSrc::SetMediaTimes", 3, "Could not set audio start and eng time!",
                    2, 2, 1},
        FailureCase{"IAMTimelineSrc::SetMediaName", 4, "Could not configure pSource3Src", 2, 2, 1},
        FailureCase{"IAMTimelineTrack::SrcAdd", 4, "Could not add pSource3Obj to track", 2, 2, 1}));

TEST(TimelineBuilder, FailedMusicSourceTimesAreIgnored) {
    // The music source's SetStartStop result is not looked at (the 5th call: 2 photos × 2 + 1).
    auto faults = std::make_shared<FaultPlan>();
    faults->Fail("IAMTimelineObj::SetStartStop", E_FAIL, 5);
    SlideshowProject project = Show({{5, 1}, {5, 1}}, {6 * kSecond});
    Built b;
    Build(project, b, faults);
    EXPECT_TRUE(b.boxes.shown.empty());
    EXPECT_EQ(b.groups.at(1).tracks.size(), 2u);
}

namespace {

struct Key {
    REFERENCE_TIME at;
    double gain;
    int interp;
    bool operator==(const Key&) const = default;
};

std::vector<Key> Keys(const GroupView& g) {
    std::vector<Key> keys;
    for (const DEXTER_VALUE& v : g.volume) {
        EXPECT_EQ(v.v.vt, VT_R8);
        keys.push_back({v.rt, v.v.dblVal, v.dwInterp});
    }
    return keys;
}

}  // namespace

TEST(TimelineBuilder, TheMusicFadesOutOverTheShowsLastSeconds) {
    SlideshowProject project = Show({{5, 1}, {5, 1}}, {3 * kSecond});
    Built b;
    Build(project, b);
    // 2 s unless told: full volume to 8 s, then the square of the time left, to silence at 10 s.
    const std::vector<Key> keys = Keys(b.groups.at(1));
    ASSERT_EQ(keys.size(), 2u + kFadeOutSteps);
    EXPECT_EQ(keys[0], (Key{0, 1.0, DEXTERF_JUMP}));
    EXPECT_EQ(keys[1], (Key{8 * kSecond, 1.0, DEXTERF_JUMP}));
    EXPECT_EQ(keys[2 + kFadeOutSteps / 2 - 1], (Key{9 * kSecond, 0.25, DEXTERF_INTERPOLATE}));
    EXPECT_EQ(keys.back(), (Key{10 * kSecond, 0.0, DEXTERF_INTERPOLATE}));
    for (std::size_t i = 1; i < keys.size(); ++i) {
        EXPECT_GT(keys[i].at, keys[i - 1].at);
        EXPECT_LE(keys[i].gain, keys[i - 1].gain);
    }
    EXPECT_TRUE(b.groups.at(0).volume.empty());  // pictures have no volume
}

TEST(TimelineBuilder, AFadeLongerThanTheShowSpansItAndZeroFadesNothing) {
    SlideshowProject project = Show({{1.5, 0}}, {3 * kSecond});
    project.setMusicFadeOutSec(4);
    Built longer;
    Build(project, longer);
    const std::vector<Key> keys = Keys(longer.groups.at(1));
    ASSERT_FALSE(keys.empty());
    EXPECT_EQ(keys[1].at, 0);
    EXPECT_EQ(keys.back(), (Key{15'000'000, 0.0, DEXTERF_INTERPOLATE}));

    project.setMusicFadeOutSec(0);
    Built none;
    Build(project, none);
    EXPECT_TRUE(none.groups.at(1).volume.empty());
    EXPECT_TRUE(none.boxes.shown.empty());
}

TEST(TimelineBuilder, AFailedFadeIsReportedAndTheMusicStays) {
    auto faults = std::make_shared<FaultPlan>();
    faults->Fail("CoCreateInstance(CLSID_PropertySetter)");
    SlideshowProject project = Show({{5, 0}}, {6 * kSecond});
    Built b;
    Build(project, b, faults);
    EXPECT_EQ(b.boxes.Texts(), std::vector<std::string>{"Could not SetPropertySetter"});
    EXPECT_EQ(b.groups.at(1).tracks.size(), 1u);
    EXPECT_TRUE(b.groups.at(1).volume.empty());
}

TEST(MeasureMediaDuration, NoGraphGivesZeroAndAFailedRenderMinusOne) {
    auto faults = std::make_shared<FaultPlan>();
    faults->Fail("CoCreateInstance(CLSID_FilterGraph)");
    EXPECT_EQ(MeasureMediaDuration("/any.wav", faults), 0);
    auto render = std::make_shared<FaultPlan>();
    render->Fail("IGraphBuilder::RenderFile");
    EXPECT_EQ(MeasureMediaDuration("/any.wav", render), -1);
    EXPECT_EQ(MeasureMediaDuration("/nonexistent/file.wav"), -1);
}

// Durations become milliseconds by truncation, never by rounding: each value below has half a
// millisecond or more left over (2.3455 s, 0.0015 s, a first transition of 0.9995 s whose half is
// 499.75 ms), so rounding anywhere moves a time by 1 ms, 10,000 units.
TEST(TimelineBuilder, SecondsBecomeMillisecondsByTruncation) {
    SlideshowProject project = Show({{2.3455, 0.9995}, {0.0015, 0}, {3.0, 0.3335}});
    Built b;
    Build(project, b);
    ASSERT_EQ(b.hr, S_OK);
    const auto& tracks = b.groups.at(0).tracks;
    ASSERT_EQ(tracks.size(), 3u);
    // c = -499 (not -500); photo 0: D 2345, X 999; photo 1: D 1, X 0; photo 2: D 3000, X 333.
    EXPECT_EQ(tracks[0].sources.at(0).start, 0);
    EXPECT_EQ(tracks[0].sources[0].stop, 28'450'000);  // -499 + 999 + 2345 ms
    EXPECT_EQ(tracks[0].transitions.at(0).stop, 9'990'000);
    EXPECT_EQ(tracks[1].sources.at(0).start, 18'460'000);  // 2845 - 999
    EXPECT_EQ(tracks[1].sources[0].stop, 18'470'000);
    EXPECT_EQ(tracks[2].sources.at(0).start, 18'470'000);
    EXPECT_EQ(tracks[2].transitions.at(0).start, 18'470'000);
    EXPECT_EQ(tracks[2].transitions[0].stop, 21'800'000);  // + 333 ms
    EXPECT_EQ(tracks[2].sources[0].stop, 51'800'000);  // 1847 + 333 + 3000 ms, under the show's 5347
    EXPECT_DOUBLE_EQ(project.showLengthSec(), 2.3455 + 0.0015 + 3.0);
}
