#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDialog>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <filesystem>

#include "lang/control_id.h"
#include "lang/interface_font.h"
#include "lang/language.h"
#include "platform/shell/profile_store.h"
#include "tests/support/recording_message_boxes.h"
#include "tests/support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

// A dialog made from a table of (id, kind, template text), as the dialog layer makes them.
struct SmallDialog {
    QDialog dialog;
    std::map<int, QWidget*> byId;
    QLabel* noId;
    SmallDialog() {
        dialog.setWindowTitle("Template caption");
        struct Row {
            int id;
            char kind;
            const char* text;
        };
        const Row rows[] = {{1074, 'b', "OK"},          {1075, 'b', "Cancel"},
                            {1029, 'l', "Output Format:"}, {1063, 'g', "Default Transition"},
                            {1022, 'e', "/v/show.avi"},  {1027, 'e', "640"},
                            {1009, 'v', ""},             {1100, 's', ""},
                            {1013, 'r', "Random"},       {2000, 'l', "No key for me"},
                            {0xFFFF, 'l', "static"}};
        for (const Row& r : rows) {
            QWidget* w = nullptr;
            switch (r.kind) {
                case 'b': w = new QPushButton(r.text, &dialog); break;
                case 'l': w = new QLabel(r.text, &dialog); break;
                case 'g': w = new QGroupBox(r.text, &dialog); break;
                case 'e': w = new QLineEdit(r.text, &dialog); break;
                case 'v': w = new QListWidget(&dialog); break;
                case 's': w = new QSpinBox(&dialog); break;
                case 'r': w = new QCheckBox(r.text, &dialog); break;
            }
            SetControlId(w, r.id);
            byId[r.id] = w;
        }
        noId = new QLabel("never translated", &dialog);
    }
    QString Text(int id) const {
        QWidget* w = byId.at(id);
        if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
        if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
        if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
        if (auto* e = qobject_cast<QLineEdit*>(w)) return e->text();
        return {};
    }
};

struct Language {
    TempDir dir;
    RecordingMessageBoxes boxes;
    ProfileStore store{dir.File("settings.ini")};
    CLanguage language;
    explicit Language(const std::string& english, const std::string& root = "") {
        fs::create_directory(dir.path() / "language");
        dir.Write("language/English.ini", english);
        language.SetServices(&boxes, &store);
        language.Init(root.empty() ? dir.path().string() : root, "english");
    }
};

}  // namespace

TEST(TranslateDialog, TextsAndFontReachOnlyTranslatedControls) {
    Language l("[DIALOG]\nIDD_DIALOG_OUTPUT_OPTIONS=Output choices\nIDC_BUTTON_OPTIONS_OK=Fine\n"
               "IDC_STATIC_OUTPUT_FORMAT=Container:\nIDC_STATIC_DEFAULT_TRANSITION=Usual effect\n"
               "IDC_RADIO_RANDOM=By chance\n");
    l.store.WriteProfileInt("english", "lfHeight", -17);
    l.store.WriteProfileInt("english", "lfWeight", 700);
    l.language.SelectLanguage("english");
    SmallDialog d;
    const QFont templateFont = d.byId[1075]->font();
    ASSERT_EQ(l.language.TranslateDialog(&d.dialog, 129), 1);
    EXPECT_EQ(d.dialog.windowTitle(), "Output choices");
    EXPECT_EQ(d.Text(1074), "Fine");
    EXPECT_EQ(d.Text(1029), "Container:");
    EXPECT_EQ(d.Text(1063), "Usual effect");
    EXPECT_EQ(d.Text(1013), "By chance");
    EXPECT_EQ(d.Text(1075), "Cancel");  // no text in the file
    EXPECT_EQ(d.Text(1022), "/v/show.avi");  // an edit field keeps its text
    EXPECT_EQ(d.byId[1074]->font().pixelSize(), 17);
    EXPECT_EQ(d.byId[1074]->font().weight(), QFont::Bold);
    EXPECT_EQ(d.byId[1075]->font(), templateFont);
    EXPECT_EQ(d.noId->font(), templateFont);
    EXPECT_EQ(d.dialog.property(kInterfaceFontProperty).value<QFont>().pixelSize(), 17);
}

TEST(TranslateDialog, EmptyCaptionKeepsTemplateCaptionAndFont) {
    Language l("[DIALOG]\nIDC_BUTTON_OPTIONS_OK=Fine\n[STRING]\nIDS_MESSAGE_ERROR=Oops\n");
    SmallDialog d;
    l.language.TranslateDialog(&d.dialog, 129);
    EXPECT_EQ(d.dialog.windowTitle(), "Template caption");
    EXPECT_FALSE(d.dialog.property(kInterfaceFontProperty).isValid());
    EXPECT_EQ(d.Text(1074), "Fine");
}

TEST(TranslateDialog, SmallIdsComeFromTheStringTable) {
    Language l("[STRING]\nIDS_MESSAGE_ERROR=Oops\n");
    QDialog dialog;
    auto* label = new QLabel("template", &dialog);
    SetControlId(label, 105);  // ids 100 and above are dialog texts
    auto* small = new QLabel("template", &dialog);
    SetControlId(small, 42);
    l.language.TranslateDialog(&dialog, 129);
    EXPECT_EQ(label->text(), "template");
    EXPECT_EQ(small->text(), "template");  // string 42 has no text

    TempDir empty;
    CLanguage uninstalled;
    uninstalled.Init(empty.path().string(), "english");
    EXPECT_EQ(uninstalled.TranslateDialog(&dialog, 129), 0);
}

TEST(TranslateMenu, SubmenusAreNumberedInPreOrder) {
    Language l("[MENU]\nIDM_SELECT_LANGUAGE=Tongue\nIDM_POPUPMENU_FONT=Typeface\nIDM_ABOUT=Info\n");
    QMenu root;
    QMenu* popup = root.addMenu("PopupMenu");
    QMenu* languages = popup->addMenu("Language");
    QAction* english = languages->addAction("English");
    SetCommandId(english, 45400);
    popup->addSeparator();
    QAction* font = popup->addAction("Font");
    SetCommandId(font, 32778);
    QAction* about = popup->addAction("About");
    SetCommandId(about, 32777);
    ASSERT_EQ(l.language.TranslateMenu(&root, 160, true), 1);
    EXPECT_EQ(root.actions()[0]->text(), "PopupMenu");  // the top level keeps its titles
    EXPECT_EQ(languages->menuAction()->text(), "Tongue");
    EXPECT_EQ(font->text(), "Typeface");
    EXPECT_EQ(about->text(), "Info");
    EXPECT_EQ(english->text(), "English");  // language names are never translated
}

TEST(InterfaceFont, MapsOntoQtAndBack) {
    LogFont f;
    f.lfHeight = -15;
    f.lfWeight = 600;
    f.lfItalic = 1;
    f.lfUnderline = 1;
    f.lfFaceName = "DejaVu Serif";
    QFont q = QFontFromLogFont(f);
    EXPECT_EQ(q.pixelSize(), 15);
    EXPECT_EQ(q.weight(), 600);
    EXPECT_TRUE(q.italic());
    EXPECT_TRUE(q.underline());
    EXPECT_FALSE(q.strikeOut());
    if (QFontDatabase::families().contains("DejaVu Serif")) {
        EXPECT_EQ(q.family(), "DejaVu Serif");
    }
    LogFont back = LogFontFromQFont(q, f);
    EXPECT_EQ(back.lfHeight, -15);
    EXPECT_EQ(back.lfWeight, 600);
    EXPECT_EQ(back.lfItalic, 1);

    // A face that is not installed draws in a sans-serif face that is.
    LogFont missing;
    QFont fallback = QFontFromLogFont(missing);
    EXPECT_NE(fallback.family(), "Microsoft Sans Serif");
    EXPECT_EQ(fallback.pixelSize(), 11);
}

TEST(ShippedTranslations, ReachTheDialogIntact) {
    struct Probe {
        const char* language;
        int id;
        QString expected;
    };
    const Probe probes[] = {
        {"German", 1074, "OK"},          {"German", 1063, QString::fromUtf8("Standardübergang")},
        {"French", 1075, "Annuler"},     {"French", 1029, QString::fromUtf8("Format de sortie :")},
        {"Spanish", 1075, "Cancelar"},   {"Italian", 1075, "Annulla"},
        {"Russian", 1075, QString::fromUtf8("Отмена")},
        {"Russian", 1029, QString::fromUtf8("Формат вывода:")},
        {"Chinese_Simplified", 1074, QString::fromUtf8("确定")},
        {"Chinese_Simplified", 1013, QString::fromUtf8("随机")},
    };
    TempDir settings;
    ProfileStore store(settings.File("settings.ini"));
    RecordingMessageBoxes boxes;
    CLanguage language;
    language.SetServices(&boxes, &store);
    ASSERT_EQ(language.Init(KAVREL_SOURCE_DIR, "english"), 1);
    for (const Probe& p : probes) {
        language.SelectLanguage(p.language);
        SmallDialog d;
        language.TranslateDialog(&d.dialog, 129);
        EXPECT_EQ(d.Text(p.id), p.expected) << p.language << " " << p.id;
        EXPECT_FALSE(d.dialog.windowTitle().contains(QChar(0xFFFD))) << p.language;
    }
    EXPECT_TRUE(boxes.shown.empty());
}
