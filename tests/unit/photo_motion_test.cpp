// Motion as the program keeps it: chosen for new photos by the policy, refreshed with new
// defaults, carried by the timeline (an effect on each photo's source, the framing on the video
// group) into the show plan and the timeline dump.

#include <gtest/gtest.h>

#include <set>

#include "app/slideshow_project.h"
#include "engine/motion_choice.h"
#include "engine/timeline_builder.h"
#include "engine/transition_catalogue.h"
#include "platform/render/show_plan.h"
#include "platform/timeline/timeline_xml.h"
#include "tests/support/recording_message_boxes.h"

namespace {

SlideshowProject Photos(int count, int motionPolicy, std::uint32_t seed = 7) {
    SlideshowProject project;
    project.random().Seed(seed);
    project.defaults().photoDurationSec = 3;
    project.defaults().transitionDurationSec = 1;
    project.defaults().motionPolicy = motionPolicy;
    for (int i = 0; i < count; ++i) project.AppendPhoto("/p/" + std::to_string(i) + ".jpg");
    return project;
}

std::vector<MotionKind> Motions(const SlideshowProject& project) {
    std::vector<MotionKind> motions;
    for (const PhotoItem& p : project.photos()) motions.push_back(p.motion);
    return motions;
}

FoundFaces NoFaces(const std::string&) { return {true, 4000, 3000, {}}; }

ShowPlan PlanOf(SlideshowProject& project, std::string* xml = nullptr, FacesOf facesOf = NoFaces) {
    RecordingMessageBoxes boxes;
    std::shared_ptr<IAMTimeline> timeline;
    TimelineBuildEnv env{boxes, nullptr, nullptr};
    env.facesOf = std::move(facesOf);
    EXPECT_EQ(BuildTimeline(project, env, &timeline), S_OK);
    EXPECT_TRUE(boxes.shown.empty());
    ShowPlan plan;
    EXPECT_EQ(ReadShowPlan(*timeline, &plan), S_OK);
    if (xml) *xml = DumpTimelineXml(*timeline);
    return plan;
}

}  // namespace

TEST(MotionChoice, RandomDependsOnThePositionTheSeedAndTheNeighbour) {
    std::set<MotionKind> seen;
    for (int i = 0; i < 60; ++i) {
        const MotionKind m = ChooseMotion(kMotionPolicyRandom, 0, i, 1234, MotionKind::PanUp);
        EXPECT_NE(m, MotionKind::None);
        EXPECT_EQ(m, ChooseMotion(kMotionPolicyRandom, 0, i, 1234, MotionKind::PanUp));
        seen.insert(ChooseMotion(kMotionPolicyRandom, 0, i, 1234));
    }
    EXPECT_EQ(seen.size(), 6u);  // every motion comes up
    int differ = 0;
    for (int i = 0; i < 60; ++i)
        differ += ChooseMotion(kMotionPolicyRandom, 0, i, 1235) !=
                  ChooseMotion(kMotionPolicyRandom, 0, i, 1234);
    EXPECT_GT(differ, 30);
}

TEST(MotionChoice, NeighboursNeverMoveAlikeAndEveryMoveComesUp) {
    for (std::uint32_t seed = 0; seed < 200; ++seed) {
        SlideshowProject project;
        project.random().Seed(seed);
        project.defaults().motionPolicy = kMotionPolicyRandom;
        std::set<MotionKind> seen;
        for (int i = 0; i < 40; ++i) project.AppendPhoto("/p" + std::to_string(i) + ".jpg");
        const auto& photos = project.photos();
        for (std::size_t i = 0; i < photos.size(); ++i) {
            seen.insert(photos[i].motion);
            if (i > 0) {
                ASSERT_NE(photos[i].motion, photos[i - 1].motion) << "seed " << seed << ", photo " << i;
            }
        }
        EXPECT_EQ(seen.size(), 6u) << "seed " << seed;
        PhotoDefaults next = project.defaults();
        next.motionPolicy = kMotionPolicyNone;
        project.TakeOverDefaults(next, true);
        next.motionPolicy = kMotionPolicyRandom;
        project.TakeOverDefaults(next, true);  // chosen afresh over the whole list
        for (std::size_t i = 1; i < photos.size(); ++i) ASSERT_NE(photos[i].motion, photos[i - 1].motion);
    }
}

TEST(MotionChoice, NoneAndSame) {
    EXPECT_EQ(ChooseMotion(kMotionPolicyNone, 3, 5, 1), MotionKind::None);
    EXPECT_EQ(ChooseMotion(kMotionPolicySame, 3, 5, 1), MotionKind::PanLeft);
    EXPECT_EQ(ChooseMotion(kMotionPolicySame, 99, 5, 1), MotionKind::None);
    EXPECT_EQ(ChooseMotion(17, 3, 5, 1), MotionKind::None);
}

TEST(PhotoMotionModel, NewPhotosStandStillByDefault) {
    SlideshowProject project;
    project.AppendPhoto("/a.jpg");
    EXPECT_EQ(project.photos()[0].motion, MotionKind::None);
    EXPECT_EQ(project.defaults().motionAmountPercent, 15);
    EXPECT_EQ(project.defaults().framing, Framing::Fit);
    EXPECT_FALSE(project.defaults().motionEased);
}

TEST(PhotoMotionModel, RandomMotionRepeatsWithTheSeedWhateverTheTransitionsDraw) {
    SlideshowProject a = Photos(12, kMotionPolicyRandom, 99);
    SlideshowProject b;
    b.random().Seed(99);
    b.defaults().policy = kPolicySame;  // draws nothing from the generator
    b.defaults().motionPolicy = kMotionPolicyRandom;
    for (int i = 0; i < 12; ++i) b.AppendPhoto("/x.jpg");
    EXPECT_EQ(Motions(a), Motions(b));
    EXPECT_NE(Motions(a), Motions(Photos(12, kMotionPolicyRandom, 100)));
}

TEST(PhotoMotionModel, ANewMotionPolicyOffersTheRefreshAndTheRefreshAppliesIt) {
    SlideshowProject project = Photos(4, kMotionPolicyNone);
    PhotoDefaults next = project.defaults();
    EXPECT_FALSE(project.NewDefaultsChangePhotos(next));
    next.motionAmountPercent = 30;  // show-wide: no refresh to offer
    next.framing = Framing::Blur;
    EXPECT_FALSE(project.NewDefaultsChangePhotos(next));
    next.motionPolicy = kMotionPolicySame;
    next.sameMotion = MotionKind::PanUp;
    EXPECT_TRUE(project.NewDefaultsChangePhotos(next));

    project.TakeOverDefaults(next, false);  // declined: the photos keep standing still
    EXPECT_EQ(Motions(project), std::vector<MotionKind>(4, MotionKind::None));
    EXPECT_EQ(project.defaults().motionAmountPercent, 30);
    EXPECT_EQ(project.defaults().framing, Framing::Blur);

    next.sameMotion = MotionKind::ZoomOut;
    EXPECT_TRUE(project.NewDefaultsChangePhotos(next));
    project.TakeOverDefaults(next, true);
    EXPECT_EQ(Motions(project), std::vector<MotionKind>(4, MotionKind::ZoomOut));
    project.AppendPhoto("/e.jpg");
    EXPECT_EQ(project.photos()[4].motion, MotionKind::ZoomOut);
}

TEST(PhotoMotionModel, RandomThatStaysRandomKeepsEachMotion) {
    SlideshowProject project = Photos(6, kMotionPolicyRandom);
    PhotoItem chosen = project.photos()[2];
    chosen.motion = MotionKind::PanDown;  // set by hand in the photo's properties
    project.SetPhoto(2, chosen);
    PhotoDefaults next = project.defaults();
    next.photoDurationSec = 5;
    project.TakeOverDefaults(next, true);
    EXPECT_EQ(project.photos()[2].motion, MotionKind::PanDown);
    next.motionPolicy = kMotionPolicyNone;
    project.TakeOverDefaults(next, true);
    EXPECT_EQ(Motions(project), std::vector<MotionKind>(6, MotionKind::None));
}

TEST(PhotoMotionTimeline, EachMovingPhotoCarriesItsMotionOverItsWholeTime) {
    SlideshowProject project = Photos(3, kMotionPolicySame);
    project.defaults().motionAmountPercent = 20;
    project.defaults().motionEased = true;
    PhotoItem still = project.photos()[1];
    still.motion = MotionKind::None;
    project.SetPhoto(1, still);
    const ShowPlan plan = PlanOf(project);
    ASSERT_EQ(plan.clips.size(), 3u);
    EXPECT_EQ(plan.clips[0].motion.kind, MotionKind::ZoomIn);
    EXPECT_DOUBLE_EQ(plan.clips[0].motion.amount, 0.2);
    EXPECT_TRUE(plan.clips[0].motion.eased);
    EXPECT_FALSE(plan.clips[1].motion.Moves());
    EXPECT_EQ(plan.clips[2].motion.kind, MotionKind::ZoomIn);
    EXPECT_EQ(plan.framing, Framing::Fit);
}

TEST(PhotoMotionTimeline, TheDumpShowsEachMotionAndTheFraming) {
    SlideshowProject project = Photos(2, kMotionPolicySame);
    project.defaults().framing = Framing::Fill;
    PhotoItem second = project.photos()[1];
    second.motion = MotionKind::PanRight;
    project.SetPhoto(1, second);
    std::string xml;
    const ShowPlan plan = PlanOf(project, &xml);
    EXPECT_EQ(plan.framing, Framing::Fill);
    EXPECT_EQ(plan.clips[1].motion.kind, MotionKind::PanRight);
    EXPECT_NE(xml.find("    <property name=\"Framing\" type=\"VT_BSTR\" value=\"fill\" time=\"0\" "
                       "interp=\"0\"/>\n"),
              std::string::npos)
        << xml;
    // The first photo is on screen from 0 to 3.5 s, the second from 2.5 s to 6 s.
    EXPECT_NE(xml.find("name=\"/p/0.jpg\">\n"
                       "        <effect clsid=\"{457D5146-B32F-4C48-9B1B-C2A7E31CF9E6}\" "
                       "start=\"0\" stop=\"35000000\">\n"
                       "          <property name=\"Motion\" type=\"VT_BSTR\" value=\"zoom-in\" "
                       "time=\"0\" interp=\"0\"/>\n"
                       "          <property name=\"Amount\" type=\"VT_R8\" value=\"0.15\" "
                       "time=\"0\" interp=\"0\"/>\n"
                       "          <property name=\"Easing\" type=\"VT_BSTR\" value=\"constant\" "
                       "time=\"0\" interp=\"0\"/>\n"
                       "        </effect>\n"
                       "      </source>\n"),
              std::string::npos)
        << xml;
    EXPECT_NE(
        xml.find(
            "start=\"0\" stop=\"35000000\">\n          <property name=\"Motion\" type=\"VT_BSTR\" "
            "value=\"pan-right\""),
        std::string::npos)
        << xml;
}

TEST(PhotoMotionTimeline, AShowWithoutMotionHasNoEffectsAndNoFraming) {
    SlideshowProject project = Photos(2, kMotionPolicyNone);
    std::string xml;
    PlanOf(project, &xml);
    EXPECT_EQ(xml.find("<effect"), std::string::npos) << xml;
    EXPECT_EQ(xml.find("Framing"), std::string::npos) << xml;
}

TEST(PhotoMotionTimeline, AnUnknownMotionNameIsNoMotion) {
    std::shared_ptr<IAMTimeline> timeline;
    ASSERT_EQ(CreateTimeline(nullptr, &timeline), S_OK);
    TimelineObjPtr group, track, src, effect;
    timeline->CreateEmptyNode(&group, TIMELINE_MAJOR_TYPE_GROUP);
    timeline->CreateEmptyNode(&track, TIMELINE_MAJOR_TYPE_TRACK);
    timeline->CreateEmptyNode(&src, TIMELINE_MAJOR_TYPE_SOURCE);
    timeline->CreateEmptyNode(&effect, TIMELINE_MAJOR_TYPE_EFFECT);
    AM_MEDIA_TYPE mt;
    mt.majortype = MEDIATYPE_Video;
    std::dynamic_pointer_cast<IAMTimelineGroup>(group)->SetMediaType(&mt);
    timeline->AddGroup(group);
    std::dynamic_pointer_cast<IAMTimelineComp>(group)->VTrackInsBefore(track, -1);
    src->SetStartStop(0, 10'000'000);
    std::dynamic_pointer_cast<IAMTimelineTrack>(track)->SrcAdd(src);
    effect->SetSubObjectGUID(CLSID_KavrelPanZoom);
    std::shared_ptr<IPropertySetter> setter;
    CreatePropertySetter(nullptr, &setter);
    DEXTER_VALUE spin;
    spin.v.vt = VT_BSTR;
    spin.v.bstrVal = "spin";
    setter->AddProp({kMotionProperty, 0, 1}, &spin);
    effect->SetPropertySetter(setter);
    auto effectable = std::dynamic_pointer_cast<IAMTimelineEffectable>(src);
    ASSERT_EQ(effectable->EffectInsBefore(effect, -1), S_OK);
    EXPECT_EQ(effectable->EffectInsBefore(effect, -1), E_INVALIDARG);  // already there
    EXPECT_EQ(effectable->EffectInsBefore(track, -1), E_INVALIDARG);   // not an effect
    ShowPlan plan;
    ASSERT_EQ(ReadShowPlan(*timeline, &plan), S_OK);
    ASSERT_EQ(plan.clips.size(), 1u);
    EXPECT_EQ(plan.clips[0].motion.kind, MotionKind::None);
}

TEST(PhotoMotionTimeline, AimedAndDrawnViewsAndOwnFramingReachThePlanAndTheDump) {
    SlideshowProject project = Photos(3, kMotionPolicySame);
    PhotoItem drawn = project.photos()[1];
    drawn.framing.framing = Framing::Fill;
    drawn.framing.motionAmountPercent = 40;
    drawn.framing.from = PhotoRect{0.1, 0.1, 0.5, 0.5};
    drawn.framing.to = PhotoRect{0.4, 0.4, 0.25, 0.25};
    project.SetPhoto(1, drawn);
    PhotoItem panorama = project.photos()[2];
    panorama.motion = MotionKind::None;
    panorama.framing.framing = Framing::Fill;
    project.SetPhoto(2, panorama);
    const auto faces = [](const std::string& path) {
        if (path == "/p/2.jpg") return FoundFaces{true, 8000, 1000, {{0.02, 0.3, 0.03, 0.3}, {0.9, 0.3, 0.05, 0.4}}};
        return FoundFaces{true, 4000, 3000, {{0.01, 0.3, 0.1, 0.14}}};
    };
    std::string xml;
    const ShowPlan plan = PlanOf(project, &xml, faces);
    ASSERT_EQ(plan.clips.size(), 3u);
    const PhotoMotion& aimed = plan.clips[0].motion;
    ASSERT_TRUE(aimed.HasViews());
    EXPECT_LT(aimed.to->x, 0.1);  // the zoom ends at the face on the left edge, not the middle
    EXPECT_EQ(plan.clips[1].motion.from, drawn.framing.from);  // used as drawn, to six decimals
    EXPECT_EQ(plan.clips[1].motion.to, drawn.framing.to);
    EXPECT_EQ(plan.clips[1].motion.framing, Framing::Fill);
    EXPECT_DOUBLE_EQ(plan.clips[1].motion.amount, 0.4);
    EXPECT_FALSE(plan.clips[2].motion.Moves());  // a still crop around the larger face
    EXPECT_TRUE(plan.clips[2].motion.HasViews());
    EXPECT_NE(xml.find("<property name=\"From\" type=\"VT_BSTR\" value=\"0.100000 0.100000 0.500000 0.500000\""),
              std::string::npos) << xml;
    EXPECT_NE(xml.find("<property name=\"FacesLeftOut\" type=\"VT_I4\" value=\"1\""), std::string::npos) << xml;

    project.defaults().facesAimed = false;  // as a show kept before: plain moves, the drawn one kept
    const ShowPlan plain = PlanOf(project, nullptr, faces);
    EXPECT_FALSE(plain.clips[0].motion.HasViews());
    EXPECT_TRUE(plain.clips[1].motion.HasViews());
    EXPECT_FALSE(plain.clips[2].motion.HasViews());
}
