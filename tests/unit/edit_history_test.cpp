#include <gtest/gtest.h>

#include <functional>

#include "app/edit_history/change_steps.h"
#include "app/edit_history/list_steps.h"
#include "app/edit_history/settings_steps.h"
#include "app/edit_history/step_names.h"
#include "engine/transition_catalogue.h"
#include "platform/shell/profile_store.h"
#include "tests/support/temp_dir.h"

namespace {

// Everything a step may change.
struct ShowState {
    std::vector<PhotoItem> photos;
    std::vector<MusicItem> music;
    PhotoDefaults defaults;
    double fadeOut;
    OutputSettings output;
    StoredSettings stored;
    IBaseFilter* videoFilter;
    CaptionStyle captionStyle;
    bool operator==(const ShowState&) const = default;
};

struct ShowUnderEdit {
    ShowUnderEdit() {
        project.defaults().policy = kPolicySequence;
        for (const char* name : {"a", "b", "c", "d", "e", "f"}) project.AppendPhoto(name);
        for (const char* name : {"x", "y", "z"}) project.AppendMusic(name, 10);
    }
    ShowState State() const {
        return {project.photos(),       project.music(),
                project.defaults(),     project.musicFadeOutSec(),
                project.output(),       StoredSettings::Read(store, settings::kAll),
                held.video.filter.get(),  project.captionStyle()};
    }
    std::string Photos() const {
        std::string paths;
        for (const PhotoItem& p : project.photos()) paths += p.path;
        return paths;
    }
    std::string Music() const {
        std::string paths;
        for (const MusicItem& m : project.music()) paths += m.path;
        return paths;
    }

    TempDir dir;
    ProfileStore store{dir.File("settings.ini")};
    SlideshowProject project;
    HeldCompressors held;
    EditTarget target{project, store, held};
};

class StandInFilter : public IBaseFilter {
  public:
    HRESULT QueryFilterInfo(FILTER_INFO*) const override { return S_OK; }
    const std::shared_ptr<FaultPlan>& Faults() const override { return faults_; }

  private:
    std::shared_ptr<FaultPlan> faults_;
};

PhotoItem Photo(const std::string& path, double seconds) {
    return {path, seconds, 3, 1, MotionKind::PanLeft};
}

struct StepCase {
    const char* what;
    std::function<std::unique_ptr<EditStep>(ShowUnderEdit&)> make;
    std::string photosAfter, musicAfter;
    std::function<bool(ShowUnderEdit&)> doneElsewhere;  // the change outside the lists
};

const StepCase kCases[] = {
    {"insert photos between rows",
     [](ShowUnderEdit&) {
         return std::make_unique<InsertItemsStep>(
             step_names::AddPhotos(2),
             ListItems{MediaList::Photos, {1, 3}, {Photo("P", 1), Photo("Q", 2)}, {}});
     },
     "aPbQcdef", "xyz", nullptr},
    {"insert music at the end",
     [](ShowUnderEdit&) {
         return std::make_unique<InsertItemsStep>(step_names::AddMusic(1),
                                                  ListItems{MediaList::Music, {3}, {}, {{"w", 5}}});
     },
     "abcdef", "xyzw", nullptr},
    {"remove a selection",
     [](ShowUnderEdit&) {
         return std::make_unique<RemoveItemsStep>(step_names::RemovePhotos(3), MediaList::Photos,
                                                  std::vector<int>{0, 2, 5});
     },
     "bde", "xyz", nullptr},
    {"clear the music",
     [](ShowUnderEdit&) {
         return std::make_unique<RemoveItemsStep>(step_names::kClearMusic, MediaList::Music,
                                                  std::vector<int>{0, 1, 2});
     },
     "abcdef", "", nullptr},
    {"move rows in front of an earlier row",
     [](ShowUnderEdit&) {
         return std::make_unique<MoveRowsStep>(step_names::MovePhotos(2), MediaList::Photos,
                                               std::vector<RowMove>{{{2, 4}, 1}});
     },
     "acebdf", "xyz", nullptr},
    {"move rows to the end",
     [](ShowUnderEdit&) {
         return std::make_unique<MoveRowsStep>(step_names::MoveMusic(1), MediaList::Music,
                                               std::vector<RowMove>{{{0}, 3}});
     },
     "abcdef", "yzx", nullptr},
    {"move two runs down by one",
     [](ShowUnderEdit&) {
         return std::make_unique<MoveRowsStep>(step_names::MovePhotos(3), MediaList::Photos,
                                               MovesOneDown({0, 1, 3}, 6));
     },
     "cabedf", "xyz", nullptr},
    {"move two runs up by one",
     [](ShowUnderEdit&) {
         return std::make_unique<MoveRowsStep>(step_names::MovePhotos(3), MediaList::Photos,
                                               MovesOneUp({2, 4, 5}));
     },
     "acbefd", "xyz", nullptr},
    {"change photo fields",
     [](ShowUnderEdit& t) {
         std::vector<PhotoItem> after = t.project.photos();
         after[1] = Photo("B", 9);
         after[4].durationSec = 0.5;
         return std::make_unique<ChangePhotosStep>(step_names::kFitToMusic,
                                                   PhotoChanges(t.project.photos(), after));
     },
     "aBcdef", "xyz", [](ShowUnderEdit& t) { return t.project.photos()[4].durationSec == 0.5; }},
    {"locate a photo and a music file",
     [](ShowUnderEdit& t) {
         std::vector<std::unique_ptr<EditStep>> parts;
         parts.push_back(std::make_unique<ChangePhotosStep>(
             step_names::kLocateFiles,
             std::vector<PhotoChange>{{5, t.project.photos()[5], Photo("F", 8)}}));
         std::vector<MusicItem> music = t.project.music();
         music[1].path = "Y";
         parts.push_back(std::make_unique<ChangeMusicPathsStep>(
             step_names::kLocateFiles, MusicPathChanges(t.project.music(), music)));
         return std::make_unique<StepGroup>(step_names::kLocateFiles, std::move(parts));
     },
     "abcdeF", "xYz", [](ShowUnderEdit& t) { return t.project.music()[1].length == 10; }},
    {"default transition settings with the photos refreshed",
     [](ShowUnderEdit& t) {
         const DefaultsState before = CurrentDefaultsState(t.project, t.store);
         const std::vector<PhotoItem> photos = t.project.photos();
         WriteText(t.store, settings::kPhotoDuration, "3.000000");
         WriteInt(t.store, settings::kFraming, 2);
         t.project.setMusicFadeOutSec(0);
         t.project.TakeOverDefaults({3, 1, kPolicySame, 7}, true);
         auto step = std::make_unique<TransitionSettingsStep>(
             before, CurrentDefaultsState(t.project, t.store),
             PhotoChanges(photos, t.project.photos()));
         step->Undo(t.target);  // the show as the dialog found it, for the round trip
         return step;
     },
     "abcdef", "xyz",
     [](ShowUnderEdit& t) {
         return t.project.photos()[2].transition == 7 && t.project.defaults().sameIndex == 7 &&
                t.project.musicFadeOutSec() == 0 && ReadInt(t.store, settings::kFraming) == 2;
     }},
    {"options with the held compressors",
     [](ShowUnderEdit& t) {
         OutputState before = CurrentOutputState(t.project, t.held, t.store);
         OutputState after = before;
         after.output.path = "/v/show.mkv";
         after.held.video.filter = std::make_shared<StandInFilter>();
         WriteInt(t.store, settings::kVideoCompressor, 4);
         after.stored = StoredSettings::Read(t.store, kOptionsDialogSettings);
         WriteInt(t.store, settings::kVideoCompressor, -2);
         return std::make_unique<OptionsStep>(before, after);
     },
     "abcdef", "xyz",
     [](ShowUnderEdit& t) {
         return t.project.output().path == "/v/show.mkv" && t.held.video.filter &&
                ReadInt(t.store, settings::kVideoCompressor) == 4;
     }},
    {"the caption style",
     [](ShowUnderEdit& t) {
         CaptionStyle after = t.project.captionStyle();
         after.font = "Serif";
         after.output = CaptionOutput::Subtitles;
         return std::make_unique<CaptionStyleStep>(t.project.captionStyle(), after);
     },
     "abcdef", "xyz",
     [](ShowUnderEdit& t) {
         return t.project.captionStyle().font == "Serif" &&
                t.project.captionStyle().output == CaptionOutput::Subtitles;
     }},
    {"a title card inserted and its caption changed",
     [](ShowUnderEdit& t) {
         PhotoItem title = Photo("", 5);
         title.title = TitleCard{"Summer\n2026"};
         std::vector<std::unique_ptr<EditStep>> parts;
         parts.push_back(std::make_unique<InsertItemsStep>(
             step_names::kAddTitle, ListItems{MediaList::Photos, {0}, {title}, {}}));
         PhotoItem captioned = t.project.photos()[0];
         captioned.caption = {"Harbour", CaptionPlace::Top};
         parts.push_back(std::make_unique<ChangePhotosStep>(
             step_names::kPhotoProperties, std::vector<PhotoChange>{{1, t.project.photos()[0], captioned}}));
         return std::make_unique<StepGroup>(step_names::kAddTitle, std::move(parts));
     },
     "abcdef", "xyz",
     [](ShowUnderEdit& t) {
         return t.project.photos()[0].IsTitle() && t.project.photos()[1].caption.text == "Harbour";
     }},
};

TEST(EditHistory, EachStepIsUndoneAndRedoneExactly) {
    for (const StepCase& c : kCases) {
        SCOPED_TRACE(c.what);
        ShowUnderEdit t;
        std::unique_ptr<EditStep> step = c.make(t);
        const ShowState before = t.State();
        step->Redo(t.target);
        EXPECT_EQ(t.Photos(), c.photosAfter);
        EXPECT_EQ(t.Music(), c.musicAfter);
        if (c.doneElsewhere) {
            EXPECT_TRUE(c.doneElsewhere(t));
        }
        const ShowState done = t.State();
        step->Undo(t.target);
        EXPECT_TRUE(t.State() == before);
        step->Redo(t.target);
        EXPECT_TRUE(t.State() == done);
    }
}

TEST(EditHistory, AddedPhotosComeBackWithTheTransitionsDrawnForThem) {
    ShowUnderEdit t;
    SlideshowProject& project = t.project;
    EditTarget& target = t.target;
    project.defaults().policy = kPolicyRandom;
    project.defaults().motionPolicy = kMotionPolicyRandom;
    project.random().Seed(11);
    std::vector<PhotoItem> made = project.MakePhotos({"p", "q", "r", "s"}, 2);
    InsertItemsStep step(step_names::AddPhotos(4), {MediaList::Photos, {2, 3, 4, 5}, made, {}});
    step.Redo(target);
    step.Undo(target);
    project.MakePhotos({"draws", "more"}, 0);
    step.Redo(target);
    const std::vector<PhotoItem> inserted(project.photos().begin() + 2,
                                          project.photos().begin() + 6);
    EXPECT_EQ(inserted, made);
}

TEST(EditHistory, ARemovalHoldsTheRemovedItemsOnlyWhileTheyAreOutOfTheShow) {
    ShowUnderEdit t;
    SlideshowProject& project = t.project;
    EditTarget& target = t.target;
    for (int i = 0; i < 994; ++i) project.AppendPhoto("/many/" + std::to_string(i));
    const std::vector<PhotoItem> all = project.photos();
    std::vector<int> everyRow(1000);
    for (int i = 0; i < 1000; ++i) everyRow[static_cast<std::size_t>(i)] = i;
    RemoveItemsStep some(step_names::RemovePhotos(3), MediaList::Photos, {0, 500, 999});
    some.Redo(target);
    EXPECT_EQ(some.heldItems(), 3u);
    some.Undo(target);
    EXPECT_EQ(some.heldItems(), 0u);
    RemoveItemsStep every(step_names::kClearPhotos, MediaList::Photos, everyRow);
    every.Redo(target);
    EXPECT_EQ(every.heldItems(), 1000u);
    EXPECT_EQ(project.photoCount(), 0);
    every.Undo(target);
    EXPECT_EQ(project.photos(), all);
}

TEST(EditStepNames, SayWhatAndHowMany) {
    const std::pair<StepName, const char*> names[] = {
        {step_names::RemovePhotos(3), "Remove 3 Photos"},
        {step_names::AddPhotos(1), "Add 1 Photo"},
        {step_names::MoveMusic(2), "Move 2 Music Files"},
        {step_names::kClearPhotos, "Clear Photos"},
        {step_names::kLocateFiles, "Locate Missing Files"},
        {step_names::kCaptionStyle, "Change Caption Style"}};
    for (const auto& [name, text] : names) {
        EXPECT_EQ(ChangePhotosStep(name, {}).Name(), text);
    }
}

TEST(ProjectRows, InvalidRowsChangeNothing) {
    SlideshowProject project;
    for (const char* name : {"a", "b", "c"}) project.AppendPhoto(name);
    const std::vector<PhotoItem> before = project.photos();
    std::vector<PhotoItem> taken;
    EXPECT_EQ(project.TakePhotos({1, 1}, &taken), ProjectResult::NoSuchItem);
    EXPECT_EQ(project.TakePhotos({3}, &taken), ProjectResult::NoSuchItem);
    EXPECT_EQ(project.InsertPhotos({5}, {before[0]}), ProjectResult::NoSuchItem);
    EXPECT_EQ(project.InsertPhotos({0}, {{std::string(kMaxPathBytes + 1, 'p')}}),
              ProjectResult::PathTooLong);
    EXPECT_EQ(project.MoveRows(MediaList::Photos, {0}, 4), ProjectResult::NoSuchItem);
    EXPECT_EQ(project.MoveRows(MediaList::Photos, {2, 0}, 1), ProjectResult::NoSuchItem);
    EXPECT_EQ(project.photos(), before);
    EXPECT_TRUE(taken.empty());
}

TEST(RowMoves, TheSelectionFollowsTheMovedRows) {
    EXPECT_EQ(RowsAfterMoves({2, 4}, {{{2, 4}, 1}}), (std::vector<int>{1, 2}));
    EXPECT_EQ(RowsAfterMoves({0, 1, 3}, MovesOneDown({0, 1, 3}, 6)), (std::vector<int>{1, 2, 4}));
    EXPECT_TRUE(MovesOneUp({0, 2}).empty());
    EXPECT_TRUE(MovesOneDown({1, 5}, 6).empty());
}

}  // namespace
