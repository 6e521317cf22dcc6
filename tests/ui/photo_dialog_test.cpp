// The move drawn on a photo in its dialog (its start, end or crop dragged with the mouse, or
// forgotten for the faces), its own framing and amount, and the Transition dialog's say over
// whether moves keep the faces in the frame: each a step that undoes.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QSpinBox>
#include <QTest>

#include "app/settings_table.h"
#include "settings/photo_property_dialog.h"
#include "settings/photo_views_picture.h"
#include "tests/ui/main_window_fixture.h"

namespace {

constexpr int kPicture = 1200, kFramingList = 1202, kAmountSpin = 1204, kShowsAmount = 1206, kFromFaces = 1207,
              kViewsState = 1208, kPhotoOk = 1082;
constexpr int kFacesAimed = 1210, kTransitionOk = 1076;

void Press(TemplateDialog& d, int id) { QTest::mouseClick(d.ItemAs<QAbstractButton>(id), Qt::LeftButton); }
PhotoViewsPicture* PictureOf(TemplateDialog& d) { return dynamic_cast<PhotoViewsPicture*>(d.Item(kPicture)); }
std::string StateOf(TemplateDialog& d) { return d.ItemAs<QLabel>(kViewsState)->text().toStdString(); }

void Drag(QWidget* w, QPoint from, QPoint to) {
    QTest::mousePress(w, Qt::LeftButton, {}, from);
    QTest::mouseMove(w, (from + to) / 2);
    QTest::mouseMove(w, to);
    QTest::mouseRelease(w, Qt::LeftButton, {}, to);
}

class PhotoDialogTest : public MainWindowFixture {
protected:
    // One 160 × 120 photo that zooms in, selected, and its dialog run by `script` when opened.
    void AddZoomingPhoto(CKavrelDlg& w, PhotoFraming framing = {}) {
        w.AddPhotoFiles({Photo("a", 1, 160, 120)});
        PhotoItem photo = w.project().photos()[0];
        photo.motion = MotionKind::ZoomIn;
        photo.framing = framing;
        w.project().SetPhoto(0, photo);
        Select({0});
    }
    void OpenDialog(CKavrelDlg& w, const std::function<void(TemplateDialog&)>& script) {
        w.runDialog = [script](TemplateDialog& d) {
            d.show();
            script(d);
            return d.result();
        };
        w.OnPhotoProperty();
    }
};

TEST_F(PhotoDialogTest, DraggingTheEndOfTheMoveDrawsBothViewsInOneStep) {
    RunProgram([&](CKavrelDlg& w) {
        AddZoomingPhoto(w);
        QRectF endBefore, endAfter;
        OpenDialog(w, [&](TemplateDialog& d) {
            PhotoViewsPicture* picture = PictureOf(d);
            ASSERT_TRUE(picture->Moves());
            endBefore = picture->ViewArea(1);
            Drag(picture, endBefore.center().toPoint(), endBefore.center().toPoint() + QPoint(12, 6));
            endAfter = picture->ViewArea(1);
            EXPECT_EQ(StateOf(d), "The frames were drawn here.");
            Press(d, kPhotoOk);
        });
        EXPECT_NEAR(endAfter.center().x() - endBefore.center().x(), 12, 1);
        EXPECT_NEAR(endAfter.center().y() - endBefore.center().y(), 6, 1);
        const PhotoFraming& drawn = w.project().photos()[0].framing;
        ASSERT_TRUE(drawn.Drawn());
        EXPECT_GT(drawn.to->x + drawn.to->w / 2, 0.5) << "the end went right";
        EXPECT_GT(drawn.to->y + drawn.to->h / 2, 0.5) << "and down";
        EXPECT_NEAR(drawn.from->x + drawn.from->w / 2, 0.5, 1e-6) << "the start stays where the zoom had it";
        EXPECT_GT(drawn.from->w, drawn.to->w) << "a zoom in ends on a smaller view";
        EXPECT_EQ(w.UndoStepText(), "Change Photo Properties");
        w.OnUndo();
        EXPECT_EQ(w.project().photos()[0].framing, PhotoFraming{});
        w.OnRedo();
        EXPECT_EQ(w.project().photos()[0].framing, drawn);
    });
}

TEST_F(PhotoDialogTest, FromFacesForgetsTheDrawnViewsForTheAimedOnes) {
    RunProgram([&](CKavrelDlg& w) {
        w.facesOf = [](const std::string&) { return FoundFaces{true, 160, 120, {{0.1, 0.15, 0.1, 0.15}}}; };
        const PhotoFraming drawn{std::nullopt, std::nullopt, PhotoRect{0.5, 0.5, 0.4, 0.3},
                                 PhotoRect{0.55, 0.55, 0.2, 0.15}};
        AddZoomingPhoto(w, drawn);
        std::vector<std::string> states;
        QRectF start, aimedEnd;
        OpenDialog(w, [&](TemplateDialog& d) {
            states.push_back(StateOf(d));
            Press(d, kFromFaces);
            states.push_back(StateOf(d));
            start = PictureOf(d)->ViewArea(0);
            aimedEnd = PictureOf(d)->ViewArea(1);
            Press(d, kPhotoOk);
        });
        EXPECT_EQ(states, (std::vector<std::string>{"The frames were drawn here.",
                                                    "The frames are aimed at the faces found."}));
        EXPECT_LT(aimedEnd.center().x(), start.center().x()) << "the zoom ends on the face, at the top left";
        EXPECT_LT(aimedEnd.center().y(), start.center().y());
        EXPECT_FALSE(w.project().photos()[0].framing.from.has_value());
        EXPECT_FALSE(w.project().photos()[0].framing.to.has_value());
        w.OnUndo();
        EXPECT_EQ(w.project().photos()[0].framing, drawn);
    });
}

TEST_F(PhotoDialogTest, TheFramingAndAmountChosenAreThePhotosOwn) {
    RunProgram([&](CKavrelDlg& w) {
        AddZoomingPhoto(w);
        struct Case {
            const char* what;
            int framing;  // in the list: the show's, Fit, Blur, Fill
            bool showsAmount;
            int amount;
            PhotoFraming taken;
        };
        const Case cases[] = {
            {"its own framing and amount", 3, false, 40, {Framing::Fill, 40, std::nullopt, std::nullopt}},
            {"blurred, at the show's amount", 2, true, 70, {Framing::Blur, std::nullopt, std::nullopt, std::nullopt}},
            {"the show's again", 0, true, 10, {}},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            OpenDialog(w, [&](TemplateDialog& d) {
                d.ItemAs<QComboBox>(kFramingList)->setCurrentIndex(c.framing);
                auto* shows = d.ItemAs<QCheckBox>(kShowsAmount);
                if (shows->isChecked() != c.showsAmount) shows->click();
                EXPECT_EQ(d.Item(kAmountSpin)->isEnabled(), !c.showsAmount);
                d.ItemAs<QSpinBox>(kAmountSpin)->setValue(c.amount);
                Press(d, kPhotoOk);
            });
            EXPECT_EQ(w.project().photos()[0].framing, c.taken);
        }
    });
}

TEST_F(PhotoDialogTest, TheTransitionDialogSaysWhetherMovesKeepFaces) {
    RunProgram([&](CKavrelDlg& w) {
        EXPECT_TRUE(w.project().defaults().facesAimed) << "a new show keeps the faces";
        for (bool kept : {false, true}) {
            SCOPED_TRACE(kept);
            w.runDialog = [&](TemplateDialog& d) {
                auto* box = d.ItemAs<QCheckBox>(kFacesAimed);
                EXPECT_EQ(box->isChecked(), !kept);
                box->click();
                Press(d, kTransitionOk);
                return d.result();
            };
            w.OnTransitionSettings();
            EXPECT_EQ(w.project().defaults().facesAimed, kept);
            EXPECT_EQ(ReadInt(store, settings::kFacesAimed), kept ? 1 : 0);
        }
        EXPECT_EQ(w.UndoStepText(), "Change Transition Settings");
        w.OnUndo();
        EXPECT_FALSE(w.project().defaults().facesAimed);
        EXPECT_EQ(ReadInt(store, settings::kFacesAimed), 0);
    });
}

}  // namespace
