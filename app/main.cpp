// Kavrel: photos and music into one video. Starts the main window and runs for as long as it is open.

#include <QApplication>
#include <QDesktopServices>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/kavrel_dlg.h"
#include "app/settings_table.h"
#include "lang/language.h"
#include "platform/codecs/codec_settings.h"
#include "platform/shell/address_url.h"
#include "platform/shell/profile_store.h"
#include "platform/shell/qt_shell_dialogs.h"
#include "platform/shell/termination_signals.h"
#include "player/qt_preview_renderers.h"
#include "settings/options_page.h"

namespace {

class CKavrelApp {
public:
    int InitInstance(QApplication& app) {
        TerminationSignals watcher([this](int signal) { EndOnSignal(signal); });
        app.setWindowIcon(QIcon(":/res/icons/kavrel.svg"));
        std::unique_ptr<ProfileStore> store = ProfileStore::ForScope(kSettingsOrganization, "kavrel");
        const std::string language = ReadText(*store, settings::kCurrentLanguage);
        const std::string root = CLanguage::FindLanguageRoot();
        theLanguage.SetServices(&boxes_, store.get());
        SetCodecSettingsStore(store.get());
        theLanguage.Init(root, language);
        TranslatePlatformFailures();
        InstallQtPreviewRenderers();
        MainWindowServices services{boxes_,
                                    files_,
                                    *store,
                                    frames_,
                                    &codecPages_,
                                    [](const std::string& address) {
                                        return QDesktopServices::openUrl(AddressUrl(address));
                                    },
                                    root,
                                    QCoreApplication::applicationDirPath().toStdString(),
                                    nullptr,
                                    {}};
        CKavrelDlg window(services);
        window_ = &window;
        window.DoModal();
        window_ = nullptr;
        theLanguage.SetServices(nullptr, nullptr);
        SetCodecSettingsStore(nullptr);
        return endingSignal_ != 0 ? 128 + endingSignal_ : 0;
    }

private:
    // An end the user did not ask for from the window: a conversion is abandoned, so the old output
    // stays; before the window exists nothing has begun.
    void EndOnSignal(int signal) {
        endingSignal_ = signal;
        if (window_ == nullptr) std::_Exit(128 + signal);
        window_->EndWithoutAsking();
    }

    CKavrelDlg* window_ = nullptr;
    int endingSignal_ = 0;
    QtMessageBoxes boxes_;
    QtFileDialogs files_;
    QtPropertyFrame frames_;
    QtCodecConfigurePort codecPages_;
};

}  // namespace

int main(int argc, char** argv) {
    // Answered before Qt starts, so that it needs no display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("kavrel %s\n", KAVREL_VERSION);
        return 0;
    }
    QApplication app(argc, argv);
    CKavrelApp kavrel;
    return kavrel.InitInstance(app);
}
