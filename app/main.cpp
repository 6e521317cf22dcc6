// Kavrel: photos and music into one video. Starts the main window and runs for as long as it is open.

#include <QApplication>
#include <QDesktopServices>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "app/kavrel_dlg.h"
#include "app/program_arguments.h"
#include "app/settings_table.h"
#include "lang/language.h"
#include "platform/codecs/codec_settings.h"
#include "platform/shell/address_url.h"
#include "platform/shell/given_files_channel.h"
#include "platform/shell/desktop_open.h"
#include "platform/shell/profile_store.h"
#include "platform/shell/qt_shell_dialogs.h"
#include "platform/shell/termination_signals.h"
#include "player/qt_preview_renderers.h"
#include "settings/options_page.h"

namespace {

// How long a second start waits for the running program to take its files.
constexpr int kHandOverTimeoutMs = 3000;

class CKavrelApp {
public:
    int InitInstance(QApplication& app, const std::vector<std::string>& files) {
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
                                    [](const std::string& file) { return ShowInFileManager(file); }};
        CKavrelDlg window(services);
        window_ = &window;
        GivenFilesChannel channel([&window](const std::vector<std::string>& handed) {
            window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
            window.raise();
            window.activateWindow();
            window.OpenGivenFiles(handed);
        });
        channel.Listen(GivenFilesChannelName());
        if (!files.empty()) QTimer::singleShot(0, &window, [&window, &files] { window.OpenGivenFiles(files); });
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

ProgramArguments Arguments(int argc, char** argv) {
    return ParseProgramArguments(std::vector<std::string>(argv + 1, argv + argc));
}

}  // namespace

int main(int argc, char** argv) {
    // Answered before Qt starts, so that it needs no display.
    const ProgramArguments early = Arguments(argc, argv);
    if (early.help) {
        std::fputs(ProgramUsage().c_str(), stdout);
        return 0;
    }
    if (early.version) {
        std::printf("kavrel %s\n", KAVREL_VERSION);
        return 0;
    }
    QApplication app(argc, argv);  // takes Qt's own options (-platform, -style, ...) out of argv
    const ProgramArguments arguments = Arguments(argc, argv);
    if (!arguments.error.empty()) {
        std::fprintf(stderr, "kavrel: %s\nTry 'kavrel --help'.\n", arguments.error.c_str());
        return 2;
    }
    if (!arguments.files.empty() &&
        HandOverFiles(GivenFilesChannelName(), arguments.files, kHandOverTimeoutMs) == HandOver::Taken) {
        return 0;
    }
    CKavrelApp kavrel;
    return kavrel.InitInstance(app, arguments.files);
}
