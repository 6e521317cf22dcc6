#include <gtest/gtest.h>

#include <map>

#include "platform/timeline/timeline.h"
#include "platform/timeline/timeline_xml.h"
#include "tests/support/temp_dir.h"

namespace {

struct Tree {
    std::shared_ptr<IAMTimeline> timeline;
    TimelineObjPtr group;
    std::shared_ptr<IAMTimelineComp> comp;
};

Tree NewTree(std::shared_ptr<FaultPlan> faults = nullptr) {
    Tree t;
    EXPECT_EQ(CreateTimeline(faults, &t.timeline), S_OK);
    EXPECT_EQ(t.timeline->CreateEmptyNode(&t.group, TIMELINE_MAJOR_TYPE_GROUP), S_OK);
    EXPECT_EQ(QueryInterface(t.group, &t.comp), S_OK);
    EXPECT_EQ(t.timeline->AddGroup(t.group), S_OK);
    return t;
}

TimelineObjPtr TrackWithSource(IAMTimeline& timeline, const std::string& name) {
    TimelineObjPtr track, src;
    timeline.CreateEmptyNode(&track, TIMELINE_MAJOR_TYPE_TRACK);
    timeline.CreateEmptyNode(&src, TIMELINE_MAJOR_TYPE_SOURCE);
    std::shared_ptr<IAMTimelineSrc> s;
    QueryInterface(src, &s);
    s->SetMediaName(name);
    std::shared_ptr<IAMTimelineTrack> t;
    QueryInterface(track, &t);
    t->SrcAdd(src);
    return track;
}

std::string SourceName(const TimelineObjPtr& track) {
    TimelineObjPtr src;
    std::dynamic_pointer_cast<IAMTimelineTrack>(track)->GetSrc(&src, 0);
    std::string name;
    std::dynamic_pointer_cast<IAMTimelineSrc>(src)->GetMediaName(&name);
    return name;
}

class FakeLocator : public IMediaLocator {
public:
    HRESULT FindMediaFile(const std::string& missing, std::string* found) override {
        asked.push_back(missing);
        auto it = answers.find(missing);
        if (it == answers.end()) return S_FALSE;
        *found = it->second;
        return S_OK;
    }
    std::map<std::string, std::string> answers;
    std::vector<std::string> asked;
};

}  // namespace

TEST(TimelineModel, TracksKeepPriorityOrder) {
    Tree t = NewTree();
    auto a = TrackWithSource(*t.timeline, "a");
    auto b = TrackWithSource(*t.timeline, "b");
    auto c = TrackWithSource(*t.timeline, "c");
    ASSERT_EQ(t.comp->VTrackInsBefore(a, -1), S_OK);
    ASSERT_EQ(t.comp->VTrackInsBefore(b, -1), S_OK);
    ASSERT_EQ(t.comp->VTrackInsBefore(c, 0), S_OK);  // before the first
    EXPECT_EQ(t.comp->VTrackInsBefore(a, -1), E_INVALIDARG);  // already there
    int count = 0;
    t.comp->VTrackGetCount(&count);
    ASSERT_EQ(count, 3);
    TimelineObjPtr track;
    t.comp->GetVTrack(&track, 0);
    EXPECT_EQ(SourceName(track), "c");
    t.comp->GetVTrack(&track, 2);
    EXPECT_EQ(SourceName(track), "b");
    EXPECT_EQ(t.comp->GetVTrack(&track, 3), E_INVALIDARG);
}

TEST(TimelineModel, NodesRefuseWhatDoesNotBelong) {
    Tree t = NewTree();
    TimelineObjPtr src, trans, track;
    t.timeline->CreateEmptyNode(&src, TIMELINE_MAJOR_TYPE_SOURCE);
    t.timeline->CreateEmptyNode(&trans, TIMELINE_MAJOR_TYPE_TRANSITION);
    t.timeline->CreateEmptyNode(&track, TIMELINE_MAJOR_TYPE_TRACK);
    EXPECT_EQ(t.comp->VTrackInsBefore(src, -1), E_INVALIDARG);
    EXPECT_EQ(t.timeline->AddGroup(track), E_INVALIDARG);
    std::shared_ptr<IAMTimelineTrack> tr;
    ASSERT_EQ(QueryInterface(track, &tr), S_OK);
    EXPECT_EQ(tr->SrcAdd(trans), E_INVALIDARG);
    std::shared_ptr<IAMTimelineTransable> transable;
    ASSERT_EQ(QueryInterface(track, &transable), S_OK);
    EXPECT_EQ(transable->TransAdd(src), E_INVALIDARG);
    std::shared_ptr<IAMTimelineGroup> notAGroup;
    EXPECT_EQ(QueryInterface(src, &notAGroup), E_NOINTERFACE);
    EXPECT_EQ(src->SetStartStop(10, 5), E_INVALIDARG);
    std::shared_ptr<IAMTimelineSrc> s;
    QueryInterface(src, &s);
    EXPECT_EQ(s->SetMediaTimes(10, 5), E_INVALIDARG);
    EXPECT_EQ(s->SetStretchMode(7), E_INVALIDARG);
    TimelineObjPtr unknown;
    EXPECT_EQ(t.timeline->CreateEmptyNode(&unknown, TIMELINE_MAJOR_TYPE_COMPOSITE), E_INVALIDARG);
}

TEST(FaultPlan, FailsEveryCallOrOnlyTheNthFromNow) {
    auto faults = std::make_shared<FaultPlan>();
    Tree t = NewTree(faults);
    faults->Fail("IAMTimeline::CreateEmptyNode(TIMELINE_MAJOR_TYPE_TRACK)", E_OUTOFMEMORY, 2);
    TimelineObjPtr node;
    EXPECT_EQ(t.timeline->CreateEmptyNode(&node, TIMELINE_MAJOR_TYPE_TRACK), S_OK);
    EXPECT_EQ(t.timeline->CreateEmptyNode(&node, TIMELINE_MAJOR_TYPE_TRACK), E_OUTOFMEMORY);
    EXPECT_FALSE(node);
    EXPECT_EQ(t.timeline->CreateEmptyNode(&node, TIMELINE_MAJOR_TYPE_TRACK), S_OK);
    EXPECT_EQ(t.timeline->CreateEmptyNode(&node, TIMELINE_MAJOR_TYPE_SOURCE), S_OK);

    faults->Fail("QueryInterface(IAMTimelineSrc)");
    std::shared_ptr<IAMTimelineSrc> src;
    EXPECT_EQ(QueryInterface(node, &src), E_FAIL);
    EXPECT_EQ(faults->CallCount("QueryInterface(IAMTimelineSrc)"), 1);

    faults->Fail("CoCreateInstance(CLSID_AMTimeline)");
    std::shared_ptr<IAMTimeline> none;
    EXPECT_EQ(CreateTimeline(faults, &none), E_FAIL);
    EXPECT_FALSE(none);
}

TEST(TimelineModel, ValidateSourceNamesOffersEachMissingFileOnce) {
    TempDir dir;
    std::string present = dir.Write("present.jpg", "x");
    std::string missing = dir.File("missing.jpg");
    std::string other = dir.File("other.wav");
    std::string replacement = dir.Write("found.jpg", "y");

    Tree t = NewTree();
    for (const std::string& name : {present, missing, missing, other}) {
        t.comp->VTrackInsBefore(TrackWithSource(*t.timeline, name), -1);
    }
    FakeLocator locator;
    locator.answers[missing] = replacement;
    t.timeline->SetDefaultMediaLocator(&locator);

    ASSERT_EQ(t.timeline->ValidateSourceNames(SFN_VALIDATEF_CHECK | SFN_VALIDATEF_POPUP, nullptr, 0), S_OK);
    EXPECT_EQ(locator.asked, (std::vector<std::string>{missing, other}));
    TimelineObjPtr track;
    t.comp->GetVTrack(&track, 1);
    EXPECT_EQ(SourceName(track), missing);  // without REPLACE nothing changes

    locator.asked.clear();
    ASSERT_EQ(t.timeline->ValidateSourceNames(11, nullptr, 0), S_OK);
    std::vector<std::string> names;
    for (int i = 0; i < 4; ++i) {
        t.comp->GetVTrack(&track, i);
        names.push_back(SourceName(track));
    }
    EXPECT_EQ(names, (std::vector<std::string>{present, replacement, replacement, other}));

    // An override locator wins over the default one.
    FakeLocator override;
    t.timeline->ValidateSourceNames(11, &override, 0);
    EXPECT_EQ(override.asked, (std::vector<std::string>{other}));
}

// A run of tracks made on demand is dumped and validated as the same tracks held one by one.
TEST(TimelineModel, ARunOfTracksIsDumpedAndValidatedAsItsTracks) {
    TempDir dir;
    const std::string missing = dir.File("beep&.wav"), found = dir.Write("found.wav", "x");
    // Two items a pass, the second starting before the first: pass p at 1 s + p·0.3 s.
    std::vector<RunItem> pattern{{missing, 0, 1'000'000}, {"/b.wav", -500'000, 5'000'000}};
    auto run = std::make_shared<TrackRun>(pattern, 10'000'000, 3'000'000, 20'000'000);
    ASSERT_EQ(run->count(), 6);  // pass 2's second item is the first to reach 2 s

    Tree held = NewTree(), made = NewTree();
    held.comp->VTrackInsBefore(TrackWithSource(*held.timeline, "/first.wav"), -1);
    made.comp->VTrackInsBefore(TrackWithSource(*made.timeline, "/first.wav"), -1);
    for (std::int64_t i = 0; i < run->count(); ++i) {
        const RunSource r = run->At(i);
        TimelineObjPtr track = TrackWithSource(*held.timeline, *r.name), src;
        std::dynamic_pointer_cast<IAMTimelineTrack>(track)->GetSrc(&src, 0);
        src->SetStartStop(r.start, r.stop);
        std::dynamic_pointer_cast<IAMTimelineSrc>(src)->SetMediaTimes(0, r.stop - r.start);
        held.comp->VTrackInsBefore(track, -1);
    }
    ASSERT_EQ(made.comp->VTrackAppendRun(run), S_OK);
    EXPECT_EQ(made.comp->VTrackAppendRun(run), E_UNEXPECTED);  // one run, and nothing after it
    EXPECT_EQ(made.comp->VTrackInsBefore(TrackWithSource(*made.timeline, "/late.wav"), -1), E_UNEXPECTED);
    EXPECT_EQ(DumpTimelineXml(*made.timeline), DumpTimelineXml(*held.timeline));
    EXPECT_EQ(run->At(5).stop, 20'000'000);

    FakeLocator locator;
    locator.answers[missing] = found;
    ASSERT_EQ(made.timeline->ValidateSourceNames(11, &locator, 0), S_OK);
    EXPECT_EQ(locator.asked, (std::vector<std::string>{"/first.wav", missing, "/b.wav"}));
    EXPECT_EQ(*run->At(2).name, found);
}

TEST(TimelineXml, DumpEscapesNamesAndListsProperties) {
    Tree t = NewTree();
    std::shared_ptr<IAMTimelineGroup> group;
    QueryInterface(t.group, &group);
    group->SetOutputFPS(23.976);
    auto track = TrackWithSource(*t.timeline, "/tmp/a \"b\" & <c>.jpg");
    t.comp->VTrackInsBefore(track, -1);
    TimelineObjPtr trans;
    t.timeline->CreateEmptyNode(&trans, TIMELINE_MAJOR_TYPE_TRANSITION);
    trans->SetStartStop(0, 10'000'000);
    trans->SetSubObjectGUID(GuidFromLiteral("{DE75D012-7A65-11D2-8CEA-00A0C9441E20}"));
    std::shared_ptr<IPropertySetter> setter;
    CreatePropertySetter(nullptr, &setter);
    DEXTER_VALUE value{VARIANT::FromInt32(301), 0, DEXTERF_JUMP};
    ASSERT_EQ(setter->AddProp({"MaskNum", 0, 1}, &value), S_OK);
    EXPECT_EQ(setter->AddProp({"MaskNum", 0, 0}, &value), E_INVALIDARG);
    trans->SetPropertySetter(setter);
    std::dynamic_pointer_cast<IAMTimelineTransable>(track)->TransAdd(trans);

    std::string xml = DumpTimelineXml(*t.timeline);
    EXPECT_NE(xml.find("name=\"/tmp/a &quot;b&quot; &amp; &lt;c&gt;.jpg\""), std::string::npos) << xml;
    EXPECT_NE(xml.find("fps=\"23.976\""), std::string::npos);
    EXPECT_NE(xml.find("<transition clsid=\"{DE75D012-7A65-11D2-8CEA-00A0C9441E20}\" start=\"0\" "
                       "stop=\"10000000\">"),
              std::string::npos);
    EXPECT_NE(xml.find("<property name=\"MaskNum\" type=\"VT_I4\" value=\"301\" time=\"0\" interp=\"0\"/>"),
              std::string::npos);
}

TEST(Guid, ParsesAndFormatsTheBracedForm) {
    CLSID id;
    ASSERT_EQ(CLSIDFromString("{16b280c5-ee70-11d1-9066-00c04fd9189d}", &id), S_OK);
    EXPECT_EQ(GuidToString(id), "{16B280C5-EE70-11D1-9066-00C04FD9189D}");
    EXPECT_EQ(id.data1, 0x16B280C5u);
    EXPECT_EQ(id.data4[7], 0x9D);
    for (const char* bad : {"", "16B280C5-EE70-11D1-9066-00C04FD9189D",
                            "{16B280C5-EE70-11D1-9066-00C04FD9189}", "{16B280C5-EE70-11D1-9066-00C04FD9189G}",
                            "{16B280C5+EE70-11D1-9066-00C04FD9189D}"}) {
        CLSID untouched = id;
        EXPECT_EQ(CLSIDFromString(bad, &untouched), E_INVALIDARG) << bad;
        EXPECT_EQ(untouched, id);
    }
}
