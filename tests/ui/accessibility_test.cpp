// The main window and its dialogs for the keyboard alone, a screen reader and a dark theme.

#include <QAbstractSpinBox>
#include <QAccessible>
#include <QButtonGroup>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextDocumentFragment>
#include <algorithm>
#include <set>

#include "app/about_dialog.h"
#include "controls/accessible_names.h"
#include "controls/contrast.h"
#include "controls/hyperlink.h"
#include "controls/icon_button.h"
#include "controls/table_controls.h"
#include "lang/control_id.h"
#include "lang/language.h"
#include "settings/filter_property_dialog.h"
#include "settings/photo_views_picture.h"
#include "tests/ui/main_window_fixture.h"

namespace {

class AccessibilityTest : public MainWindowFixture {
protected:
    // Opens the main window with a photo and a song selected; `check` runs on it and on each of its
    // seven dialogs. The window is closed again.
    void CheckEveryWindow(const std::function<void(QWidget*)>& check, const std::string& where) {
        CKavrelDlg& w = Open();
        w.AddPhotoFiles({Photo("a", 1)});
        Select({0});
        const std::string song = dir.File("song.wav");
        WriteToneWav(song, 1);
        w.AddMusicFiles({song});
        w.musicList()->topLevelItem(0)->setSelected(true);
        int dialogs = 0;
        w.runDialog = [&](TemplateDialog& d) { return check(&d), ++dialogs, int(QDialog::Rejected); };
        check(&w);
        w.OnTransitionSettings();
        w.OnOutputSettings();
        w.OnPhotoProperty();
        w.OnAbout();
        w.OnAddTitle();
        w.OnCaptionStyle();
        w.OnMusicProperty();
        EXPECT_EQ(dialogs, 7) << where;
        window.reset();
    }
};

QString NameOf(QWidget* w) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
    return face != nullptr ? face->text(QAccessible::Name) : QString();
}

QString Plain(QString text) {
    if (Qt::mightBeRichText(text)) text = QTextDocumentFragment::fromHtml(text).toPlainText();
    return text.remove('&').trimmed();
}

// The texts a name may come from: what the dialog itself shows or says.
QStringList OwnTexts(QWidget* dialog) {
    QStringList texts;
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        if (auto* label = qobject_cast<QLabel*>(w)) texts << Plain(label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(w)) texts << Plain(button->text());
        if (auto* group = qobject_cast<QGroupBox*>(w)) texts << Plain(group->title());
        texts << Plain(w->toolTip());
        if (int id = w->property(kNameStringProperty).toInt()) texts << QString::fromStdString(theLanguage.GetString(id));
    }
    texts.removeAll(QString());
    return texts;
}

// Every button, field, list and picture of `dialog` a user can reach has a name of its own dialog's.
void ExpectNamed(QWidget* dialog, const std::string& language) {
    const QStringList own = OwnTexts(dialog);
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        const bool reachable = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                               qobject_cast<QPlainTextEdit*>(w) ||
                               qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractItemView*>(w) ||
                               qobject_cast<QAbstractSpinBox*>(w) || dynamic_cast<PhotoViewsPicture*>(w);
        const bool inTable = w->parentWidget() == dialog || qobject_cast<QGroupBox*>(w->parentWidget());
        if (!reachable || w->window() != dialog || !w->isVisibleTo(dialog) || !inTable) continue;
        const QString name = NameOf(w);
        const std::string where = language + " " + dialog->windowTitle().toStdString() + " control " +
                                  std::to_string(ControlId(w)) + " named \"" + name.toStdString() + "\"";
        EXPECT_FALSE(name.isEmpty()) << where;
        EXPECT_TRUE(own.contains(name)) << where;
        if (auto* combo = qobject_cast<QComboBox*>(w); combo && !combo->currentText().isEmpty()) {
            EXPECT_NE(name, combo->currentText()) << where;
        }
    }
}

}  // namespace

TEST_F(AccessibilityTest, EveryControlOfEveryWindowIsNamedInEveryLanguage) {
    const CLanguage saved = theLanguage;
    for (const char* language : {"English", "French", "German", "Italian", "Spanish", "Russian",
                                 "Chinese_Simplified"}) {
        ASSERT_EQ(theLanguage.Init(KAVREL_SOURCE_DIR, language), 1);
        CheckEveryWindow([&](QWidget* w) { ExpectNamed(w, language); }, language);
        CDialogFilterPerproty filters(boxes, frames);
        filters.Prepare();
        ExpectNamed(&filters, language);
    }
    theLanguage = saved;
}

// Option buttons are read inside their group box, with the fields they lead to, and stay where the
// table places them.
TEST_F(AccessibilityTest, OptionButtonsAreReadInsideTheirGroupBox) {
    struct Case {
        int dialog, control;
        const char* group;
    };
    const Case cases[] = {
        {IDD_DIALOG_TRANSITION_SETTINGS, 1013, "Default Transition"},
        {IDD_DIALOG_TRANSITION_SETTINGS, 1012, "Default Transition"},
        {IDD_DIALOG_TRANSITION_SETTINGS, 1112, "Motion of new photos"},
        {IDD_DIALOG_TRANSITION_SETTINGS, 1116, "Motion of new photos"},
        {IDD_DIALOG_TITLE_CARD, 1145, "Background"},
        {IDD_DIALOG_TITLE_CARD, 1148, "Background"},
    };
    CKavrelDlg& w = Open();
    int checked = 0;
    w.runDialog = [&](TemplateDialog& d) {
        for (const Case& c : cases) {
            if (c.dialog != d.templateId()) continue;
            ++checked;
            QWidget* control = d.Item(c.control);
            QAccessibleInterface* parent = QAccessible::queryAccessibleInterface(control)->parent();
            EXPECT_EQ(parent->role(), QAccessible::Grouping) << c.control;
            EXPECT_EQ(Plain(parent->text(QAccessible::Name)), c.group) << c.control;
            for (const ControlTemplate& t : FindDialogTemplate(c.dialog).controls) {
                if (t.id == c.control) {
                    EXPECT_EQ(control->mapTo(&d, QPoint(0, 0)), TemplateDialog::DialogUnitsToPixels(d.layoutFont(), t.x, t.y))
                        << c.control;
                }
            }
        }
        return int(QDialog::Rejected);
    };
    w.OnTransitionSettings();
    w.OnAddTitle();
    EXPECT_EQ(checked, 6);
}

namespace {

bool TakesTab(const QWidget* w) { return (w->focusPolicy() & Qt::TabFocus) && w->isEnabled(); }

// Tabs once round `window` from its first control: each step must change what the window shows,
// and every control that takes Tab must be reached (an option button by its group's checked one).
void ExpectTabRoundShown(QWidget* window) {
    window->show();
    QApplication::setActiveWindow(window);
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    const std::string title = window->windowTitle().toStdString();
    QWidget* first = window->nextInFocusChain();
    while (!TakesTab(first) || !first->isVisible()) first = first->nextInFocusChain();
    first->setFocus(Qt::TabFocusReason);
    std::set<const QWidget*> reached{first};
    QImage before = window->grab().toImage();
    for (int step = 0; step < 80; ++step) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget* now = QApplication::focusWidget();
        ASSERT_NE(now, nullptr) << title;
        const QImage after = window->grab().toImage();
        EXPECT_NE(after, before) << title << ": Tab to control " << ControlId(now) << " ("
                                 << now->metaObject()->className() << ") shows nothing";
        before = after;
        if (!reached.insert(now).second) break;
    }
    for (QWidget* w : TableControls(window)) {
        if (!TakesTab(w) || !w->isVisible() || reached.count(w)) continue;
        auto* option = qobject_cast<QAbstractButton*>(w);
        const bool groupReached = option != nullptr && option->group() != nullptr &&
                                  std::any_of(option->group()->buttons().begin(), option->group()->buttons().end(),
                                              [&](QAbstractButton* b) { return reached.count(b) > 0; });
        EXPECT_TRUE(groupReached) << title << ": Tab never reaches control " << ControlId(w) << " ("
                                  << w->metaObject()->className() << ")";
    }
    window->hide();
}

}  // namespace

// Tab reaches every control of the main window and of each dialog, and each step shows where it is.
TEST_F(AccessibilityTest, TabReachesEveryControlAndEachStepShows) {
    CheckEveryWindow(ExpectTabRoundShown, "");
}

// The two lists' side buttons have the same tooltips; each says which list it acts on.
TEST_F(AccessibilityTest, EachSideButtonSaysItsList) {
    CKavrelDlg& w = Open();
    const std::pair<int, const char*> buttons[] = {{1031, "Photos"}, {1033, "Photos"}, {1040, "Music"}, {1039, "Music"}};
    for (const auto& [id, list] : buttons) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w.Item(id));
        EXPECT_EQ(face->text(QAccessible::Description), list) << id;
    }
    EXPECT_EQ(NameOf(w.Item(1031)), NameOf(w.Item(1040)));
}

// The photo list has two columns headed "Duration(s)"; a screen reader tells the second apart.
TEST_F(AccessibilityTest, TheTwoDurationHeadingsAreToldApart) {
    CKavrelDlg& w = Open();
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(w.photoList());
    ASSERT_NE(list, nullptr);
    std::vector<std::pair<QString, QString>> headers;  // name, description
    for (int i = 0; i < list->childCount(); ++i) {
        QAccessibleInterface* cell = list->child(i);
        if (cell->role() != QAccessible::ColumnHeader) continue;
        headers.emplace_back(cell->text(QAccessible::Name), cell->text(QAccessible::Description));
    }
    ASSERT_EQ(headers.size(), 5u);
    EXPECT_EQ(headers[1].first, headers[3].first);
    EXPECT_EQ(headers[1].second, "");
    EXPECT_EQ(headers[3].second, "Transition duration");
}

TEST(IconButtonFocus, DrawnWhenTheKeyboardGaveFocusOnly) {
    struct Case {
        const char* how;
        std::function<void(QWidget* window, CButtonST* button)> focus;
        bool drawn;
    };
    const Case cases[] = {
        {"Tab", [](QWidget* window, CButtonST*) { QTest::keyClick(window, Qt::Key_Tab); }, true},
        {"click", [](QWidget*, CButtonST* button) { QTest::mouseClick(button, Qt::LeftButton); }, false},
        {"window's first focus", [](QWidget*, CButtonST* button) { button->setFocus(Qt::ActiveWindowFocusReason); },
         false},
    };
    for (const Case& c : cases) {
        QWidget window;
        auto* first = new QPushButton("first", &window);
        auto* button = new CButtonST(&window);
        button->setText("Add Photo");
        button->setGeometry(0, 30, 100, 50);
        window.show();
        QApplication::setActiveWindow(&window);
        first->setFocus(Qt::OtherFocusReason);
        const QImage before = button->grab().toImage();
        c.focus(&window, button);
        ASSERT_TRUE(button->hasFocus()) << c.how;
        EXPECT_EQ(button->grab().toImage() != before, c.drawn) << c.how;
    }
}

TEST(HyperlinkKeyboard, TabReachesALinkAndReturnOrSpaceOpensIt) {
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Space}) {
        QWidget window;
        auto* first = new QPushButton("first", &window);
        auto* link = new CHyperLink(&window);
        link->setText("Kavrel home page");
        link->setGeometry(0, 40, 200, 20);
        int opened = 0;
        link->SetServices(nullptr, [&](const QString&) { return ++opened, 33; });
        window.show();
        QApplication::setActiveWindow(&window);
        first->setFocus(Qt::OtherFocusReason);
        const QImage before = link->grab().toImage();
        QTest::keyClick(&window, Qt::Key_Tab);
        ASSERT_TRUE(link->hasFocus()) << key;
        EXPECT_NE(link->grab().toImage(), before) << "focus not drawn";
        QTest::keyClick(link, key);
        EXPECT_EQ(opened, 1) << key;
    }
}

// The Menu key reaches the focused control as a context menu event from the window system (X11
// sends one); Shift+F10 is a key like any other.
TEST_F(AccessibilityTest, ThePopupOpensFromTheKeyboardAtTheFocusedControl) {
    struct Case {
        int focused;
        bool menuKey;  // else Shift+F10
        bool popup;
        bool propertyDialog;
    };
    const Case cases[] = {
        {1009, false, true, false}, {1000, false, true, false}, {1008, false, true, false},
        {1008, true, false, true},  {1009, true, true, false},  {1006, true, true, false},
    };
    RunProgram([&](CKavrelDlg& w) {
        w.AddPhotoFiles({Photo("a", 1)});
        Select({0});
        for (const Case& c : cases) {
            bool dialog = false;
            w.runDialog = [&](TemplateDialog&) { return dialog = true, int(QDialog::Rejected); };
            // The window's keys reach it only while it is active again after the last case's menu.
            w.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
            QWidget* focused = w.Item(c.focused);
            focused->setFocus(Qt::TabFocusReason);
            bool popup = false;
            CloseMenuIfOpens(&popup, c.popup ? 5000 : 500);
            if (c.menuKey) {
                QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, focused->rect().center(),
                                          focused->mapToGlobal(focused->rect().center()));
                QApplication::sendEvent(focused, &menuKey);
            } else {
                QTest::keyClick(w.windowHandle(), Qt::Key_F10, Qt::ShiftModifier);
            }
            const std::string what = std::to_string(c.focused) + (c.menuKey ? " Menu" : " Shift+F10");
            // A key sent to the window arrives through its event queue, late on a loaded machine.
            if (c.popup) {
                EXPECT_TRUE(QTest::qWaitFor([&] { return popup; }, 5000)) << what;
            } else {
                QTest::qWait(600);
                EXPECT_FALSE(popup) << what;
            }
            EXPECT_EQ(dialog, c.propertyDialog) << what;
        }
    });
}

TEST_F(AccessibilityTest, TheArrowKeysShowTheCurrentPhoto) {
    RunProgram([&](CKavrelDlg& w) {
        w.AddPhotoFiles({Photo("a", 1), Photo("a", 2)});
        auto* box = w.ItemAs<QLabel>(1017);
        w.photoList()->setFocus(Qt::TabFocusReason);
        QImage shown;
        for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up}) {
            KeyThroughWindow(w.photoList(), key);
            ASSERT_FALSE(box->pixmap().isNull()) << key;
            EXPECT_NE(box->pixmap().toImage(), shown) << key;
            shown = box->pixmap().toImage();
        }
    });
}

TEST_F(AccessibilityTest, CaptionsAndLinksAreReadableInALightAndADarkTheme) {
    const QPalette light = QApplication::palette();
    QPalette dark = light;
    const QColor lightText(240, 240, 240);
    for (auto [role, color] : {std::pair{QPalette::Window, QColor(45, 45, 45)}, {QPalette::WindowText, lightText},
                               {QPalette::Button, QColor(60, 60, 60)}, {QPalette::ButtonText, lightText},
                               {QPalette::Base, QColor(30, 30, 30)}, {QPalette::Text, lightText}}) {
        dark.setColor(role, color);
    }
    const QImage background = QIcon(":/res/background.svg").pixmap(48, 48).toImage();
    for (const auto& [theme, palette] : {std::pair{"light", light}, {"dark", dark}}) {
        QApplication::setPalette(palette);
        CKavrelDlg& w = Open();
        for (QWidget* child : w.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const bool onBackground = qobject_cast<CButtonST*>(child) ||
                                      (qobject_cast<QLabel*>(child) && !child->autoFillBackground());
            if (!onBackground) continue;
            const QColor text = child->palette().color(qobject_cast<CButtonST*>(child) ? QPalette::ButtonText
                                                                                       : QPalette::WindowText);
            double worst = 21;
            for (int y = 0; y < background.height(); ++y) {
                for (int x = 0; x < background.width(); ++x) {
                    worst = std::min(worst, ContrastRatio(text, background.pixelColor(x, y)));
                }
            }
            EXPECT_GE(worst, 4.5) << theme << " control " << ControlId(child);
        }
        CAboutDlg about(boxes, "https://example.org", "mailto:nobody@example.org");
        about.Prepare();
        for (CHyperLink* link : about.findChildren<CHyperLink*>()) {
            for (bool visited : {false, true}) {
                link->SetVisited(visited);
                EXPECT_GE(ContrastRatio(link->palette().color(QPalette::WindowText),
                                        about.palette().color(QPalette::Window)),
                          4.5)
                    << theme << (visited ? " visited " : " ") << link->text().toStdString();
            }
        }
        window.reset();
    }
    QApplication::setPalette(light);
}

namespace {

// The window's size, then each of its parts' rectangles in the window, in the order they were made.
std::vector<std::string> Places(QWidget* window) {
    std::vector<std::string> places{"window " + std::to_string(window->width()) + "x" + std::to_string(window->height())};
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (w->isWindow() || w->window() != window) continue;
        const QPoint at = w->mapTo(window, QPoint(0, 0));
        places.push_back(std::string(w->metaObject()->className()) + " " + std::to_string(ControlId(w)) + " at " +
                         std::to_string(at.x()) + "," + std::to_string(at.y()) + " " + std::to_string(w->width()) +
                         "x" + std::to_string(w->height()));
    }
    return places;
}

}  // namespace

// The Font command lays the window out at once, as a start with that font does.
TEST_F(AccessibilityTest, TheFontCommandLaysTheWindowOutAsAStartWithThatFontDoes) {
    const CLanguage saved = theLanguage;
    ASSERT_EQ(theLanguage.Init(KAVREL_SOURCE_DIR, "English"), 1);
    CKavrelDlg& w = Open();
    const std::vector<std::string> before = Places(&w);
    const QRect convert = w.Item(1000)->geometry();
    QFont small = QApplication::font();
    small.setPointSize(6);
    files.fonts.push_back(small);
    w.OnFont();
    const std::vector<std::string> after = Places(&w);
    EXPECT_LT(w.Item(1000)->width(), convert.width());
    EXPECT_NE(after, before);
    window.reset();
    const std::vector<std::string> fresh = Places(&Open());
    ASSERT_EQ(fresh.size(), after.size());
    for (std::size_t i = 0; i < fresh.size(); ++i) EXPECT_EQ(fresh[i], after[i]);
    window.reset();
    theLanguage = saved;
}

namespace {

// Every one-line caption of `window` fits its control; a dialog shrunk to fit the screen is left out.
void ExpectNoCaptionCut(QWidget* window, const std::string& where) {
    if (auto* d = dynamic_cast<TemplateDialog*>(window)) {
        const DialogTemplate& t = FindDialogTemplate(d->templateId());
        if (d->width() < TemplateDialog::DialogUnitsToPixels(d->layoutFont(), t.width, t.height).x()) return;
    }
    for (QWidget* c : window->findChildren<QWidget*>()) {
        QString text;
        int room = c->width();
        if (auto* label = qobject_cast<QLabel*>(c); label && !label->wordWrap() && label->textFormat() != Qt::RichText) {
            text = label->text();
        } else if (auto* button = qobject_cast<QAbstractButton*>(c); button && !qobject_cast<CButtonST*>(c)) {
            text = button->text();
            room -= qobject_cast<QPushButton*>(c) ? 6 : 20;  // a push button's frame, a box or circle
        }
        text.remove('&');
        if (text.isEmpty() || Qt::mightBeRichText(text) || text.contains('\n') || !c->isVisibleTo(window)) continue;
        EXPECT_LE(c->fontMetrics().horizontalAdvance(text), room + 1)
            << where << " " << window->windowTitle().toStdString() << ": " << text.toStdString();
    }
}

}  // namespace

// No caption of any window is cut, in any language, at the default font and at 16 pt chosen with
// the Font command.
TEST_F(AccessibilityTest, NoCaptionIsCutInAnyLanguageOrAtALargerFont) {
    const CLanguage saved = theLanguage;
    for (const char* language : {"English", "French", "German", "Italian", "Spanish", "Russian",
                                 "Chinese_Simplified"}) {
        for (bool large : {false, true}) {
            ASSERT_EQ(theLanguage.Init(KAVREL_SOURCE_DIR, language), 1);
            if (large) {
                LogFont font = theLanguage.InterfaceFont();
                font.lfFaceName = QApplication::font().family().toStdString();
                font.lfHeight = -21;  // 16 pt
                theLanguage.SetInterfaceFont(font);
            }
            const std::string where = std::string(language) + (large ? " at 16 pt" : "");
            CheckEveryWindow([&](QWidget* w) { ExpectNoCaptionCut(w, where); }, where);
        }
    }
    theLanguage = saved;
}

// A window larger than the screen's work area shrinks to it: Convert and Exit stay on screen.
TEST_F(AccessibilityTest, AWindowLargerThanTheScreenShrinksToFit) {
    const QFont normal = QApplication::font();
    for (int pixels : {12, 40}) {
        QFont font = normal;
        font.setPixelSize(pixels);
        QApplication::setFont(font);
        CKavrelDlg& w = Open();
        const QRect work = w.screen()->availableGeometry();
        EXPECT_LE(w.width(), work.width()) << pixels;
        EXPECT_LE(w.height(), work.height()) << pixels;
        for (int id : {1000, 1054, 1021}) {
            EXPECT_TRUE(w.rect().contains(w.Item(id)->geometry())) << pixels << " control " << id;
        }
        EXPECT_GE(w.menuBar()->height(), w.menuBar()->sizeHint().height()) << pixels << ": its menus would hide";
        window.reset();
    }
    QApplication::setFont(normal);
}

namespace {

// What a screen reader would be alerted to in `window` now: the alert's text, empty for none.
QString AlertText(QWidget* window) {
    for (QWidget* w : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
        if (face != nullptr && face->role() == QAccessible::AlertMessage && w->isVisible()) {
            return face->text(QAccessible::Name);
        }
    }
    return {};
}

}  // namespace

// The show's length and a conversion's end are only shown; a screen reader is alerted to them.
TEST_F(AccessibilityTest, ResultsOnlyShownAreAnnounced) {
    RunProgram([&](CKavrelDlg& w) {
        SmallAviShow(2, 1);
        EXPECT_EQ(AlertText(&w), w.showSummary()->text());
        EXPECT_TRUE(AlertText(&w).startsWith("Show length: ")) << AlertText(&w).toStdString();
        Click(1000);
        ASSERT_TRUE(w.project().run().converting) << testing::PrintToString(boxes.Texts());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !w.project().run().converting; }, 30000));
        EXPECT_EQ(AlertText(&w).toStdString(), Status());
        EXPECT_TRUE(AlertText(&w).startsWith("Done. ")) << AlertText(&w).toStdString();
    });
}
