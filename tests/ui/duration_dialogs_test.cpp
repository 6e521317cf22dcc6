// The photo property and default transition dialogs, driven as a user would.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <filesystem>

#include "app/settings_table.h"
#include "engine/motion_choice.h"
#include "platform/shell/profile_store.h"
#include "settings/photo_property_dialog.h"
#include "settings/transition_settings_dialog.h"
#include "tests/support/recording_file_dialogs.h"
#include "tests/support/recording_message_boxes.h"
#include "tests/support/temp_dir.h"

namespace {

void Type(TemplateDialog& d, int id, const QString& text) {
    auto* edit = d.ItemAs<QLineEdit>(id);
    edit->clear();
    QTest::keyClicks(edit, text);
}

void Click(TemplateDialog& d, int id) { QTest::mouseClick(d.ItemAs<QAbstractButton>(id), Qt::LeftButton); }

void Choose(TemplateDialog& d, int id, int index) {
    auto* list = d.ItemAs<QComboBox>(id);
    list->setCurrentIndex(index);
    emit list->activated(index);
}

class PhotoPropertyTest : public testing::Test {
protected:
    void SetUp() override {
        photo = dir.Write("a.jpg", "not really a picture, but a file");
        other = dir.Write("b.jpg", "another file");
    }
    // Opens the dialog for a photo of 5 s entering with transition 2 over 1 s.
    std::unique_ptr<CPhotoProperty> Open() {
        auto d = std::make_unique<CPhotoProperty>(boxes, files);
        d->m_strFileName = photo;
        d->m_fPhotoDuration = 5;
        d->m_nTransitionIndex = 2;
        d->m_fTransitionDuration = 1;
        d->Prepare();
        d->show();
        return d;
    }
    bool AcceptsDurations(const QString& photoText, const QString& transitionText) {
        auto d = Open();
        Type(*d, 1036, photoText);
        Type(*d, 1037, transitionText);
        Click(*d, 1082);
        return d->result() == QDialog::Accepted;
    }

    TempDir dir;
    std::string photo, other;
    RecordingMessageBoxes boxes;
    RecordingFileDialogs files;
};

TEST_F(PhotoPropertyTest, OpensWithThePhotosValues) {
    auto d = Open();
    EXPECT_EQ(d->ItemAs<QLineEdit>(1034)->text().toStdString(), photo);
    EXPECT_EQ(d->ItemAs<QLineEdit>(1036)->text(), "5");
    EXPECT_EQ(d->ItemAs<QLineEdit>(1037)->text(), "1");
    EXPECT_EQ(d->ItemAs<QComboBox>(1012)->currentIndex(), 2);
    EXPECT_EQ(d->ItemAs<QComboBox>(1012)->count(), 47);
    EXPECT_EQ(d->ItemAs<QComboBox>(1012)->itemText(3), "Fade");
}

TEST_F(PhotoPropertyTest, DurationChecksInTheirOrder) {
    EXPECT_TRUE(AcceptsDurations("5", "5"));
    EXPECT_TRUE(AcceptsDurations("0", "0"));
    EXPECT_TRUE(AcceptsDurations("0.5", "0.5"));
    EXPECT_TRUE(AcceptsDurations("65535.9", "600"));
    EXPECT_TRUE(AcceptsDurations("5s", "1 second"));
    EXPECT_TRUE(boxes.shown.empty());

    EXPECT_FALSE(AcceptsDurations("5", "5.5"));
    EXPECT_FALSE(AcceptsDurations("65536", "1"));
    EXPECT_FALSE(AcceptsDurations("", "1"));
    EXPECT_FALSE(AcceptsDurations("x5", "1"));
    EXPECT_FALSE(AcceptsDurations("700", "600.5"));
    EXPECT_FALSE(AcceptsDurations("-0.5", "0"));
    EXPECT_FALSE(AcceptsDurations("5", "abc"));
    EXPECT_EQ(boxes.Texts(), (std::vector<std::string>{
                                 "The photo duration should be bigger than the transition duration!",
                                 "Enter an integer between 0 and 65535.", "Enter a number.", "Enter a number.",
                                 "Enter a number between 0 and 600.",
                                 "The photo duration should be bigger than the transition duration!",
                                 "Enter a number."}));
}

TEST_F(PhotoPropertyTest, AFailedCheckKeepsTheDialogOpenWithTheFocusInTheEdit) {
    auto d = Open();
    Type(*d, 1037, "x");
    Click(*d, 1082);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->m_fTransitionDuration, 1);
    EXPECT_EQ(d->focusWidget(), d->Item(1037));
}

TEST_F(PhotoPropertyTest, AMissingFileIsRefusedUntilAnotherIsChosen) {
    auto d = Open();
    std::filesystem::remove(photo);
    Click(*d, 1082);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"The file does not exist!"});
    EXPECT_TRUE(d->isVisible());

    files.answers.push_back({other});
    Click(*d, 1035);
    ASSERT_EQ(files.requests.size(), 1u);
    EXPECT_EQ(files.requests[0].title, "Select a Picture File");
    EXPECT_TRUE(files.requests[0].mustExist);
    // The types the dialog always offered come first, today's after them.
    EXPECT_TRUE(files.requests[0].filters[0].second.starts_with("*.jpg; *.bmp; *.gif; *.tga; *.jpeg; *.heic"));
    Choose(*d, 1012, 3);
    Click(*d, 1082);
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(d->m_strFileName, other);
    EXPECT_EQ(d->m_nTransitionIndex, 3);
}

TEST_F(PhotoPropertyTest, ANameLongerThanThePhotoListHoldsIsRefused) {
    auto d = Open();
    Type(*d, 1034, QString(300, 'a'));
    Click(*d, 1082);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"The file name is longer than 259 bytes."});
    EXPECT_TRUE(d->isVisible());
}

TEST_F(PhotoPropertyTest, CancelAndEscapeChangeNothing) {
    auto d = Open();
    Type(*d, 1036, "9");
    Click(*d, 1083);
    EXPECT_EQ(d->result(), QDialog::Rejected);
    EXPECT_EQ(d->m_fPhotoDuration, 5);
    auto e = Open();
    QTest::keyClick(e.get(), Qt::Key_Escape);
    EXPECT_EQ(e->result(), QDialog::Rejected);
    EXPECT_FALSE(e->isVisible());
}

TEST_F(PhotoPropertyTest, EnterPressesOk) {
    auto d = Open();
    QTest::keyClick(d->Item(1036), Qt::Key_Return);
    EXPECT_EQ(d->result(), QDialog::Accepted);
}

class TransitionSettingsTest : public testing::Test {
protected:
    std::unique_ptr<CTransitionSettings> Open(int policy = 0, int same = 0, double photo = 8, double transition = 4) {
        auto d = std::make_unique<CTransitionSettings>(boxes, store);
        d->m_fPhotoDuration = photo;
        d->m_fTransitionDuration = transition;
        d->m_nTransitionType = policy;
        d->m_nSameTransition = same;
        d->Prepare();
        d->show();
        return d;
    }
    bool Stored() const { return store.Contains("TransitionSettings", "TransitionType"); }

    TempDir dir;
    ProfileStore store{dir.File("settings.ini")};
    RecordingMessageBoxes boxes;
};

TEST_F(TransitionSettingsTest, OkStoresTheFourValues) {
    auto d = Open(0, 5, 6, 1);
    Type(*d, 1010, "8");
    Type(*d, 1011, "2");
    Click(*d, 1014);
    Choose(*d, 1012, 3);
    Click(*d, 1076);
    EXPECT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(store.GetProfileString("TransitionSettings", "mf_PhotoDuration", ""), "8.000000");
    EXPECT_EQ(store.GetProfileString("TransitionSettings", "mf_TransitionDuration", ""), "2.000000");
    EXPECT_EQ(ReadInt(store, settings::kTransitionType), 2);
    EXPECT_EQ(ReadInt(store, settings::kTransitionName), 3);
    EXPECT_EQ(d->m_nTransitionType, 2);
    EXPECT_EQ(d->m_nSameTransition, 3);
}

TEST_F(TransitionSettingsTest, OpensWithThePolicysButtonAndTheSameTransition) {
    auto d = Open(2, 3);
    EXPECT_TRUE(d->ItemAs<QRadioButton>(1014)->isChecked());
    EXPECT_EQ(d->ItemAs<QComboBox>(1012)->currentText(), "Fade");
    EXPECT_TRUE(d->Item(1012)->isEnabled());
    auto odd = Open(7);
    EXPECT_TRUE(odd->ItemAs<QRadioButton>(1013)->isChecked());
    Click(*odd, 1076);
    EXPECT_EQ(ReadInt(store, settings::kTransitionType), 7);  // kept unless a button is clicked
}

TEST_F(TransitionSettingsTest, RandomStillStoresTheListsSelection) {
    auto d = Open(1, 0);
    Click(*d, 1013);
    Choose(*d, 1012, 9);
    Click(*d, 1076);
    EXPECT_EQ(ReadInt(store, settings::kTransitionType), 0);
    EXPECT_EQ(ReadInt(store, settings::kTransitionName), 9);
}

TEST_F(TransitionSettingsTest, RefusedDurationsStoreNothing) {
    struct Case {
        const char *photo, *transition, *message;
    };
    const Case cases[] = {{"0.0005", "0", "Enter a number between 0.001 and 65535."},
                          {"0", "0", "Enter a number between 0.001 and 65535."},
                          {"3", "3.5", "The Photo Duration must be bigger than the Transition Duration!"},
                          {"3", "601", "Enter a number between 0 and 600."},
                          {"", "1", "Enter a number."}};
    for (const Case& c : cases) {
        boxes.shown.clear();
        auto d = Open();
        Type(*d, 1010, c.photo);
        Type(*d, 1011, c.transition);
        Click(*d, 1076);
        EXPECT_TRUE(d->isVisible()) << c.photo;
        EXPECT_EQ(boxes.Texts(), std::vector<std::string>{c.message}) << c.photo << " " << c.transition;
        EXPECT_FALSE(Stored());
    }
    auto d = Open();
    Type(*d, 1010, "0.001");
    Type(*d, 1011, "0");
    Click(*d, 1076);
    EXPECT_EQ(d->result(), QDialog::Accepted);
    auto equal = Open();
    Type(*equal, 1010, "3");
    Type(*equal, 1011, "3");
    Click(*equal, 1076);
    EXPECT_EQ(equal->result(), QDialog::Accepted);
}

TEST_F(TransitionSettingsTest, CancelAfterChoosingAPolicyKeepsTheOldOne) {
    auto d = Open(0);
    Click(*d, 1015);
    EXPECT_EQ(d->workingChoice(), 1);
    Click(*d, 1077);
    EXPECT_EQ(d->m_nTransitionType, 0);
    EXPECT_FALSE(Stored());
}

}  // namespace

// The motion, framing and fade-out column: opened with the show's values, each a choice of its own
// beside the transition's, checked, and stored on OK with the rest.
TEST_F(TransitionSettingsTest, TheMotionFramingAndFadeOutAreChosenAndStored) {
    auto shown = std::make_unique<CTransitionSettings>(boxes, store);
    shown->m_fPhotoDuration = 8;
    shown->m_fTransitionDuration = 4;
    shown->m_nTransitionType = 2;
    shown->m_nMotionPolicy = kMotionPolicySame;
    shown->m_nSameMotion = static_cast<int>(MotionKind::PanUp);
    shown->m_nMotionAmount = 25;
    shown->m_bMotionEased = true;
    shown->m_nFraming = static_cast<int>(Framing::Blur);
    shown->m_fMusicFadeOut = 3.5;
    shown->Prepare();
    shown->show();
    EXPECT_TRUE(shown->ItemAs<QRadioButton>(1113)->isChecked());
    EXPECT_TRUE(shown->ItemAs<QRadioButton>(1014)->isChecked());  // the transition's own choice stays
    EXPECT_EQ(shown->ItemAs<QComboBox>(1114)->currentText(), "Pan up");
    EXPECT_EQ(shown->ItemAs<QComboBox>(1114)->count(), 6);  // a motion, never "None"
    EXPECT_EQ(shown->ItemAs<QLineEdit>(1116)->text(), "25");
    EXPECT_EQ(shown->ItemAs<QComboBox>(1118)->currentText(), "Eased");
    EXPECT_EQ(shown->ItemAs<QComboBox>(1120)->currentText(), "Fit on a blurred copy");
    EXPECT_EQ(shown->ItemAs<QLineEdit>(1122)->text(), "3.5");

    Click(*shown, 1112);
    EXPECT_TRUE(shown->ItemAs<QRadioButton>(1014)->isChecked());
    Type(*shown, 1116, "101");
    Click(*shown, 1076);
    EXPECT_TRUE(shown->isVisible());
    EXPECT_EQ(boxes.Texts().back(), "Enter an integer between 1 and 100.");
    EXPECT_FALSE(Stored());
    Type(*shown, 1116, "40");
    Type(*shown, 1122, "0");
    Choose(*shown, 1120, 2);
    Click(*shown, 1076);
    EXPECT_EQ(shown->result(), QDialog::Accepted);
    const PhotoDefaults stored = ReadPhotoDefaults(store);
    EXPECT_EQ(stored.motionPolicy, kMotionPolicyRandom);
    EXPECT_EQ(stored.sameMotion, MotionKind::PanUp);
    EXPECT_EQ(stored.motionAmountPercent, 40);
    EXPECT_TRUE(stored.motionEased);
    EXPECT_EQ(stored.framing, Framing::Fill);
    EXPECT_EQ(ReadMusicFadeOut(store), 0);
    EXPECT_EQ(shown->m_nMotionPolicy, kMotionPolicyRandom);
}

TEST_F(PhotoPropertyTest, TheMotionListShowsAndReturnsThePhotosMotion) {
    auto moving = std::make_unique<CPhotoProperty>(boxes, files);
    moving->m_strFileName = photo;
    moving->m_fPhotoDuration = 5;
    moving->m_nMotion = static_cast<int>(MotionKind::ZoomOut);
    moving->Prepare();
    moving->show();
    auto* list = moving->ItemAs<QComboBox>(1126);
    ASSERT_EQ(list->count(), kMotionKindCount);
    EXPECT_EQ(list->currentText(), "Zoom out");
    EXPECT_EQ(list->itemText(0), "None");
    Choose(*moving, 1126, static_cast<int>(MotionKind::PanLeft));
    Click(*moving, 1082);
    EXPECT_EQ(moving->result(), QDialog::Accepted);
    EXPECT_EQ(moving->m_nMotion, static_cast<int>(MotionKind::PanLeft));
}
