// Title cards and captions as the user makes them: the title card and caption style dialogs, the
// caption of the photo property dialog, and the main window's commands with their history.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>

#include "controls/data_exchange.h"
#include "res/menus.h"
#include "settings/caption_style_dialog.h"
#include "settings/photo_property_dialog.h"
#include "settings/title_card_dialog.h"
#include "tests/ui/main_window_fixture.h"

namespace {

// Title card controls.
constexpr int kText = 1131, kFont = 1133, kBold = 1134, kSize = 1136, kAlign = 1141, kColourRadio = 1143,
              kBackgroundColour = 1144, kOverPhoto = 1146, kPhotoEdit = 1147, kPreview = 1150, kTitleOk = 1151;
// Timing controls, the same in the title card and photo property dialogs.
constexpr int kDuration = 1036, kTransition = 1012, kTransitionDuration = 1037, kMotion = 1126;
// Caption style controls.
constexpr int kCaptionFont = 1161, kCaptionSize = 1163, kBacking = 1168, kMoves = 1169, kAutomatic = 1171,
              kOutput = 1173, kStyleOk = 1174;
// The photo property dialog's caption.
constexpr int kCaptionEdit = 1128, kPlace = 1152, kPhotoOk = 1082;

void Press(TemplateDialog& d, int id) { QTest::mouseClick(d.ItemAs<QAbstractButton>(id), Qt::LeftButton); }

void Choose(TemplateDialog& d, int id, int index) {
    auto* list = d.ItemAs<QComboBox>(id);
    list->setCurrentIndex(index);
    emit list->activated(index);
}

void Write(TemplateDialog& d, int id, const QString& text) {
    if (auto* lines = d.ItemAs<QPlainTextEdit>(id)) {
        lines->setPlainText(text);
    } else {
        d.ItemAs<QLineEdit>(id)->setText(text);
    }
}

std::string Shown(TemplateDialog& d, int id) {
    if (auto* lines = d.ItemAs<QPlainTextEdit>(id)) return lines->toPlainText().toStdString();
    if (auto* list = d.ItemAs<QComboBox>(id)) return list->currentText().toStdString();
    return d.ItemAs<QLineEdit>(id)->text().toStdString();
}

// Confirms a dialog the window opened after `fill`, recording which it was.
std::function<int(TemplateDialog&)> Confirming(int okId, std::function<void(TemplateDialog&)> fill,
                                               std::vector<int>* opened = nullptr) {
    return [=](TemplateDialog& d) {
        if (opened != nullptr) opened->push_back(d.templateId());
        d.show();
        fill(d);
        Press(d, okId);
        return d.result();
    };
}

class TitleCardDialogTest : public testing::Test {
protected:
    std::unique_ptr<CTitleCard> Open(const TitleCard& card = {}, const std::string& photo = {}) {
        auto d = std::make_unique<CTitleCard>(boxes, files);
        d->m_card = card;
        d->m_strPhoto = photo;
        d->chooseColour = [this](std::uint32_t) { return chosenColour; };
        d->Prepare();
        d->show();
        return d;
    }

    TempDir dir;
    RecordingMessageBoxes boxes;
    RecordingFileDialogs files;
    std::optional<std::uint32_t> chosenColour;
};

TEST_F(TitleCardDialogTest, OkRefusesWhatCannotBeShown) {
    const std::string missing = dir.File("gone.jpg");
    struct Case {
        const char* what;
        QString text, size;
        bool overPhoto;
        std::string photo;
        std::string message;  // empty: accepted
    };
    const Case cases[] = {
        {"no text", " \n ", "8", false, "", "Type the text of the title."},
        {"too much text", QString(4097, 'x'), "8", false, "", "The text is longer than 4096 bytes."},
        {"too large", "Hello", "51", false, "", "Enter a number between 1 and 50."},
        {"no photo behind", "Hello", "8", true, "", "Choose the photo behind the title, or a colour."},
        {"a missing photo", "Hello", "8", true, missing, "The photo " + missing + " cannot be read."},
        {"a colour keeps no photo", "Hello", "50", false, missing, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        boxes.shown.clear();
        auto d = Open();
        Write(*d, kText, c.text);
        Write(*d, kSize, c.size);
        d->ItemAs<QRadioButton>(c.overPhoto ? kOverPhoto : kColourRadio)->setChecked(true);
        Write(*d, kPhotoEdit, QString::fromStdString(c.photo));
        Press(*d, kTitleOk);
        if (c.message.empty()) {
            EXPECT_EQ(d->result(), QDialog::Accepted);
            EXPECT_TRUE(boxes.shown.empty());
            EXPECT_EQ(d->m_strPhoto, "");
        } else {
            EXPECT_NE(d->result(), QDialog::Accepted);
            EXPECT_EQ(boxes.Texts(), std::vector<std::string>{c.message});
        }
    }
}

TEST_F(TitleCardDialogTest, ReturnsTheCardAsEdited) {
    const std::string photo = dir.Write("behind.jpg", "a file");
    TitleCard card{"Old", "Serif Bold", 0.12, 0x112233, TextAlign::Left, TitleBackground::Colour, 0x445566};
    auto d = Open(card);
    EXPECT_EQ(Shown(*d, kFont), "Serif");
    EXPECT_TRUE(d->ItemAs<QCheckBox>(kBold)->isChecked());
    EXPECT_EQ(Shown(*d, kSize), "12");
    EXPECT_EQ(d->ItemAs<QComboBox>(kAlign)->currentIndex(), 0);
    Write(*d, kText, "Summer\n2026");
    d->ItemAs<QCheckBox>(kBold)->setChecked(false);
    Write(*d, kSize, "6.5");
    Choose(*d, kAlign, 2);
    d->ItemAs<QRadioButton>(kOverPhoto)->setChecked(true);
    Write(*d, kPhotoEdit, QString::fromStdString(photo));
    Press(*d, kTitleOk);
    ASSERT_EQ(d->result(), QDialog::Accepted);
    const TitleCard expected{"Summer\n2026", "Serif", 0.065, 0x112233, TextAlign::Right, TitleBackground::OverPhoto,
                             0x445566};
    EXPECT_EQ(d->m_card, expected);
    EXPECT_EQ(d->m_strPhoto, photo);
}

TEST_F(TitleCardDialogTest, ReturnsTheTimingAsEdited) {
    auto d = std::make_unique<CTitleCard>(boxes, files);
    d->m_card.text = "Hi";
    d->m_fPhotoDuration = 6;
    d->m_nTransitionIndex = 3;
    d->m_fTransitionDuration = 1.5;
    d->m_nMotion = static_cast<int>(MotionKind::ZoomOut);
    d->Prepare();
    d->show();
    EXPECT_EQ(Shown(*d, kDuration), "6");
    EXPECT_EQ(d->ItemAs<QComboBox>(kTransition)->currentIndex(), 3);
    EXPECT_EQ(Shown(*d, kTransitionDuration), "1.5");
    EXPECT_EQ(d->ItemAs<QComboBox>(kMotion)->currentIndex(), static_cast<int>(MotionKind::ZoomOut));
    Write(*d, kDuration, "12");
    Choose(*d, kTransition, 7);
    Write(*d, kTransitionDuration, "2.5");
    Choose(*d, kMotion, static_cast<int>(MotionKind::ZoomIn));
    Press(*d, kTitleOk);
    ASSERT_EQ(d->result(), QDialog::Accepted);
    EXPECT_EQ(d->m_fPhotoDuration, 12);
    EXPECT_EQ(d->m_nTransitionIndex, 7);
    EXPECT_EQ(d->m_fTransitionDuration, 2.5);
    EXPECT_EQ(d->m_nMotion, static_cast<int>(MotionKind::ZoomIn));
}

TEST_F(TitleCardDialogTest, OkRefusesTheTimingsThePhotoDialogRefuses) {
    struct Case {
        const char* what;
        QString duration, transition;
        std::string message;
    };
    const Case cases[] = {
        {"a transition longer than the card", "3", "4",
         "The photo duration should be bigger than the transition duration!"},
        {"a duration past the range", "65536", "1", "Enter an integer between 0 and 65535."},
        {"a transition past the range", "700", "601", "Enter a number between 0 and 600."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        boxes.shown.clear();
        auto d = Open({"Hi"});
        Write(*d, kDuration, c.duration);
        Write(*d, kTransitionDuration, c.transition);
        Press(*d, kTitleOk);
        EXPECT_NE(d->result(), QDialog::Accepted);
        EXPECT_EQ(boxes.Texts(), std::vector<std::string>{c.message});
        EXPECT_EQ(d->m_fPhotoDuration, 0) << "nothing is taken";
    }
}

TEST_F(TitleCardDialogTest, ThePreviewShowsTheChosenBackgroundColour) {
    auto d = Open({"Hi"});
    chosenColour = 0xFF0000;
    Press(*d, kBackgroundColour);
    QTest::qWait(1);  // the preview is drawn once the events of a change are handled
    EXPECT_EQ(d->m_card.backgroundColour, kBlackColour) << "nothing is taken before OK";
    const QImage preview = d->ItemAs<QLabel>(kPreview)->pixmap().toImage();
    ASSERT_FALSE(preview.isNull());
    const QColor corner = preview.pixelColor(2, 2);  // the text is centred: the corner is background
    EXPECT_GT(corner.red(), 230);
    EXPECT_LT(corner.green(), 25);
    EXPECT_LT(corner.blue(), 25);
}

TEST(CaptionStyleDialog, ReturnsTheStyleAsEdited) {
    RecordingMessageBoxes boxes;
    CCaptionStyle d(boxes);
    d.m_style.font = "Not Installed Here";
    d.chooseColour = [](std::uint32_t) { return std::optional<std::uint32_t>(0x00FF00); };
    d.Prepare();
    d.show();
    EXPECT_EQ(Shown(d, kCaptionFont), "Not Installed Here") << "a font not installed is kept";
    EXPECT_EQ(Shown(d, kCaptionSize), "4.5");
    Write(d, kCaptionSize, "21");
    Press(d, kStyleOk);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Enter a number between 1 and 20."});
    Write(d, kCaptionSize, "6.3");  // to the nearest half percent
    Press(d, 1166);
    Choose(d, kBacking, 1);
    d.ItemAs<QCheckBox>(kMoves)->setChecked(true);
    Choose(d, kAutomatic, 1);
    Choose(d, kOutput, 1);
    Press(d, kStyleOk);
    ASSERT_EQ(d.result(), QDialog::Accepted);
    const CaptionStyle expected{"Not Installed Here", 0.065, 0x00FF00, CaptionBacking::Box, true,
                                CaptionSource::Date, CaptionOutput::Subtitles};
    EXPECT_EQ(d.m_style, expected);
}

TEST(PhotoPropertyCaption, ACaptionOfMoreThanTwoLinesIsRefused) {
    TempDir dir;
    RecordingMessageBoxes boxes;
    RecordingFileDialogs files;
    CPhotoProperty d(boxes, files);
    d.m_strFileName = dir.Write("a.jpg", "a file");
    d.m_fPhotoDuration = 5;
    d.m_caption = {"Old", CaptionPlace::Top};
    d.Prepare();
    d.show();
    EXPECT_EQ(Shown(d, kCaptionEdit), "Old");
    EXPECT_EQ(d.ItemAs<QComboBox>(kPlace)->currentIndex(), 1);
    Write(d, kCaptionEdit, "one\ntwo\nthree");
    Press(d, kPhotoOk);
    EXPECT_NE(d.result(), QDialog::Accepted);
    EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"A caption has at most 2 lines."});
    Write(d, kCaptionEdit, "one\ntwo\n\n");  // empty lines at the end are no lines
    Choose(d, kPlace, 2);
    Press(d, kPhotoOk);
    ASSERT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.m_caption, (Caption{"one\ntwo", CaptionPlace::Middle}));
}

class TextCommandsTest : public MainWindowFixture {
protected:
    QTreeWidgetItem* Row(int row) { return window->photoList()->topLevelItem(row); }
    std::vector<int> opened;  // the templates of the dialogs the commands opened
};

TEST_F(TextCommandsTest, AddTitlePutsATitleRowAfterTheSelectedRowAsOneStep) {
    RunProgram([&](CKavrelDlg& w) {
        w.project().defaults().policy = 2;  // Same: every new row gets transition 5
        w.project().defaults().sameIndex = 5;
        w.AddPhotoFiles({Photo("a", 1), Photo("a", 2)});
        Select({0});
        w.project().defaults().photoDurationSec = 6;
        std::string shownDuration;
        w.runDialog = Confirming(
            kTitleOk,
            [&](TemplateDialog& d) {
                shownDuration = Shown(d, kDuration);
                Write(d, kText, "Our Summer\nin Brittany");
            },
            &opened);
        w.MenuBarAction(IDM_SHOW_ADD_TITLE)->trigger();
        ASSERT_EQ(opened, std::vector<int>{IDD_DIALOG_TITLE_CARD});
        EXPECT_EQ(shownDuration, "6") << "the dialog shows the new row's defaults";
        ASSERT_EQ(w.project().photoCount(), 3);
        const PhotoItem& title = w.project().photos()[1];
        ASSERT_TRUE(title.IsTitle());
        EXPECT_EQ(title.title->text, "Our Summer\nin Brittany");
        EXPECT_EQ(title.path, "");
        EXPECT_EQ(title.transition, 5);
        EXPECT_EQ(title.durationSec, 6);
        EXPECT_EQ(Row(1)->text(0).toStdString(), "Our Summer");
        EXPECT_TRUE(Row(1)->font(0).italic());
        EXPECT_FALSE(Row(0)->font(0).italic());
        EXPECT_EQ(Selected(), std::vector<int>{1});
        EXPECT_EQ(w.UndoStepText(), "Add Title");
        w.OnUndo();
        EXPECT_EQ(w.project().photoCount(), 2);
        EXPECT_FALSE(w.project().photos()[1].IsTitle());
        w.OnRedo();
        EXPECT_TRUE(w.project().photos()[1].IsTitle());
        Select({});
        w.RunMenuBarCommand(IDM_SHOW_ADD_TITLE);
        EXPECT_TRUE(w.project().photos().back().IsTitle()) << "without a selection: at the end";
    });
}

TEST_F(TextCommandsTest, ATitleRowOpensTheTitleDialogForEditing) {
    RunProgram([&](CKavrelDlg& w) {
        w.SetThumbnailsShown(true);
        w.runDialog = Confirming(kTitleOk, [](TemplateDialog& d) { Write(d, kText, "Start"); });
        w.OnAddTitle();
        EXPECT_TRUE(Row(0)->icon(0).isNull()) << "a title without a photo has no thumbnail";
        w.OnShowClickedPhoto();
        EXPECT_FALSE(w.Item(1017)->property("pixmap").value<QPixmap>().isNull()) << "the card is shown";
        w.runDialog = Confirming(
            kTitleOk, [](TemplateDialog& d) { Write(d, kText, "Start\nagain"); }, &opened);
        Select({0});
        w.RunMenuBarCommand(IDM_EDIT_PHOTO_PROPERTIES);
        ASSERT_EQ(opened, std::vector<int>{IDD_DIALOG_TITLE_CARD});
        EXPECT_EQ(w.project().photos()[0].title->text, "Start\nagain");
        EXPECT_EQ(w.UndoStepText(), "Edit Title");
        emit w.photoList()->itemDoubleClicked(Row(0), 0);
        EXPECT_EQ(opened.size(), 2u) << "a double click opens it too";
        w.OnUndo();  // the same text again was no step
        ASSERT_EQ(w.project().photoCount(), 1);
        EXPECT_EQ(w.project().photos()[0].title->text, "Start");
    });
}

TEST_F(TextCommandsTest, ATitleRowsTimingIsEditedAsOneStep) {
    RunProgram([&](CKavrelDlg& w) {
        w.runDialog = Confirming(kTitleOk, [](TemplateDialog& d) { Write(d, kText, "Start"); });
        w.OnAddTitle();
        const PhotoItem added = w.project().photos()[0];
        std::string shownDuration;
        w.runDialog = Confirming(kTitleOk, [&](TemplateDialog& d) {
            shownDuration = Shown(d, kDuration);
            Write(d, kDuration, "20");
            Choose(d, kMotion, static_cast<int>(MotionKind::PanLeft));
        });
        Select({0});
        w.OnPhotoProperty();
        EXPECT_EQ(shownDuration, FormatExchangedDouble(added.durationSec));
        EXPECT_EQ(w.project().photos()[0].durationSec, 20);
        EXPECT_EQ(w.project().photos()[0].motion, MotionKind::PanLeft);
        EXPECT_EQ(w.project().photos()[0].title, added.title);
        EXPECT_EQ(w.UndoStepText(), "Edit Title");
        w.OnUndo();
        EXPECT_EQ(w.project().photos()[0], added);
        EXPECT_EQ(w.UndoStepText(), "Add Title");
    });
}

TEST_F(TextCommandsTest, APhotosCaptionIsEditedInThePhotoPropertyDialog) {
    RunProgram([&](CKavrelDlg& w) {
        w.AddPhotoFiles({Photo("a", 1)});
        Select({0});
        w.runDialog = Confirming(kPhotoOk, [](TemplateDialog& d) {
            Write(d, kCaptionEdit, "The harbour");
            Choose(d, kPlace, 1);
        });
        w.OnPhotoProperty();
        EXPECT_EQ(w.project().photos()[0].caption, (Caption{"The harbour", CaptionPlace::Top}));
        EXPECT_EQ(w.UndoStepText(), "Change Photo Properties");
        w.OnUndo();
        EXPECT_EQ(w.project().photos()[0].caption, Caption{});
    });
}

TEST_F(TextCommandsTest, TheCaptionStyleIsChangedAndUndoneAsOneStep) {
    RunProgram([&](CKavrelDlg& w) {
        w.runDialog = Confirming(
            kStyleOk, [](TemplateDialog& d) { Choose(d, kOutput, 0); }, &opened);
        w.MenuBarAction(IDM_SHOW_CAPTIONS)->trigger();
        ASSERT_EQ(opened, std::vector<int>{IDD_DIALOG_CAPTION_STYLE});
        EXPECT_EQ(w.project().captionStyle().output, CaptionOutput::Picture);
        EXPECT_EQ(w.MenuBarAction(IDM_EDIT_UNDO)->text().toStdString(), "&Undo Change Caption Style");
        w.OnUndo();
        EXPECT_EQ(w.project().captionStyle(), CaptionStyle{});
        w.runDialog = Confirming(kStyleOk, [](TemplateDialog&) {});
        w.OnCaptionStyle();
        EXPECT_TRUE(w.CanRedo()) << "an unchanged style is no step, so the redo stays";
    });
}

TEST_F(TextCommandsTest, TheRightClickPopupOffersBothCommands) {
    RunProgram([&](CKavrelDlg& w) {
        w.runDialog = [&](TemplateDialog& d) {
            opened.push_back(d.templateId());
            return static_cast<int>(QDialog::Rejected);
        };
        for (int command : {IDM_POPUP_ADD_TITLE, IDM_POPUP_CAPTIONS}) {
            WhenMenuOpens([command](QMenu* menu) { ChooseMenuCommand(menu, command); });
            ClickThroughWindow(&w, Qt::RightButton, QPoint(w.width() - 2, w.height() - 2));
        }
        EXPECT_EQ(opened, (std::vector<int>{IDD_DIALOG_TITLE_CARD, IDD_DIALOG_CAPTION_STYLE}));
        EXPECT_EQ(w.project().photoCount(), 0) << "a cancelled title adds nothing";
    });
}

}  // namespace
