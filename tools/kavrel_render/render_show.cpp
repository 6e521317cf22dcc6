#include "tools/kavrel_render/render_show.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <mutex>
#include <strings.h>
#include <thread>

#include "app/show_messages.h"
#include "engine/container_compressors.h"
#include "engine/output_format.h"
#include "engine/render_to_file.h"
#include "engine/timeline_builder.h"
#include "platform/com/error_text.h"
#include "platform/shell/message_boxes.h"
#include "tools/kavrel_render/dump_timeline.h"

namespace {

// The signal that asks the render to end: SIGINT (Ctrl-C) stops and keeps the file, as the
// window's Stop does; SIGTERM and SIGHUP were not asked for by the user and keep the old file.
std::atomic<int> endingSignal{0};

void OnEndingSignal(int signal) { endingSignal = signal; }

void CatchEndingSignals() {
    struct sigaction action {};
    action.sa_handler = OnEndingSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) sigaction(signal, &action, nullptr);
}

// Ends the graph as `signal` asks; the process's exit status.
int EndOnSignal(ConversionObjects& c, int signal, const std::string& output, MessageBoxes& boxes) {
    c.event->SetNotifyWindow(nullptr, 0, 0);
    if (signal == SIGINT) {
        boxes.AppMessage("Stopping...");
        c.control->Stop();
        boxes.AppMessage("Stopped; the file plays up to where it stopped");
        return 1;
    }
    std::shared_ptr<IMediaAbandon> abandon;
    if (SUCCEEDED(QueryInterface(c.control, &abandon))) abandon->Abandon();
    // The old file, if there was one, is untouched: what is there now was there before.
    std::error_code ignored;
    const bool kept = std::filesystem::exists(output, ignored);
    boxes.AppMessage(std::string("Ended by SIG") + sigabbrev_np(signal) + "; " + output +
                     (kept ? " is as it was" : " was not written"));
    return 128 + signal;
}

// Wakes the waiting loop when the graph has an event.
class Notifier final : public IGraphNotifyTarget {
public:
    void PostGraphNotify(long, long) override {
        std::lock_guard<std::mutex> lock(mutex);
        pending = true;
        cv.notify_all();
    }
    void Wait(std::chrono::milliseconds timeout) {
        std::unique_lock<std::mutex> lock(mutex);
        cv.wait_for(lock, timeout, [&] { return pending; });
        pending = false;
    }
    std::mutex mutex;
    std::condition_variable cv;
    bool pending = false;
};

// Sets the --option settings on the filters of the built graph.
std::function<bool(const std::shared_ptr<IGraphBuilder>&)> ApplyOptions(const RenderOptions& o, MessageBoxes& boxes) {
    if (o.filterSettings.empty()) return nullptr;
    return [settings = o.filterSettings, &boxes](const std::shared_ptr<IGraphBuilder>& graph) {
        std::vector<std::shared_ptr<IBaseFilter>> filters;
        graph->EnumFilters(&filters);
        for (const auto& s : settings) {
            bool found = false;
            std::string names;
            for (const auto& f : filters) {
                FILTER_INFO info;
                f->QueryFilterInfo(&info);
                names += (names.empty() ? "" : ", ") + info.achName;
                std::shared_ptr<ISpecifyPropertyPages> pages;
                if (strcasecmp(info.achName.c_str(), s.filter.c_str()) != 0 || FAILED(QueryInterface(f, &pages))) continue;
                pages->SetOption(s.name, s.value);
                found = true;
            }
            if (!found) {
                boxes.AppMessage("No filter with settings is named " + s.filter + "; the graph holds " + names);
                return false;
            }
        }
        return true;
    };
}

// The compressor named, "none", or the format's default.
bool ChooseCompressor(const CompressorServices& s, bool video, const std::string& name, int format,
                      HeldCompressor* held, MessageBoxes& boxes) {
    if (name == "none") {
        held->use = false;
        return true;
    }
    int position = -1;
    const std::string wanted = name.empty() ? FormatDefaultCompressor(video, format) : name;
    if (wanted.empty()) {
        ResolveStoredCompressor(s, video, -2, held);
        return true;
    }
    if (!FindCompressorByName(s, video, wanted, &position)) {
        boxes.AppMessage("No " + std::string(video ? "video" : "audio") + " compressor is named " + wanted +
                         "; see kavrel-render --list-compressors");
        return false;
    }
    held->use = true;
    return SUCCEEDED(video ? GetCompressor(s, position, &held->filter) : GetAudioCompressor(s, position, &held->filter));
}

std::string Clock(double seconds) {
    int s = static_cast<int>(seconds + 0.5);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
    return buf;
}

// A bar on a terminal, a line every ten per cent otherwise.
void ShowProgress(double fraction, double elapsed, bool terminal, int* lastTenth) {
    if (terminal) {
        const int width = 30;
        int filled = static_cast<int>(fraction * width);
        std::string bar(static_cast<std::size_t>(filled), '#');
        bar.append(static_cast<std::size_t>(width - filled), '.');
        double left = fraction > 0.01 ? elapsed * (1 - fraction) / fraction : 0;
        std::fprintf(stderr, "\r[%s] %3d%%  %s elapsed  %s left ", bar.c_str(), static_cast<int>(fraction * 100),
                     Clock(elapsed).c_str(), fraction > 0.01 ? Clock(left).c_str() : "-:--:--");
    } else if (static_cast<int>(fraction * 10) > *lastTenth) {
        *lastTenth = static_cast<int>(fraction * 10);
        std::fprintf(stderr, "%d%% written, %s elapsed\n", *lastTenth * 10, Clock(elapsed).c_str());
    }
    std::fflush(stderr);
}

// Waits for the end of the conversion; 0 complete, 1 failed or stopped, 2 an input that does not
// decode, 128 + the signal when one ended it.
int Wait(ConversionObjects& c, Notifier& notifier, const std::string& output, MessageBoxes& boxes) {
    std::shared_ptr<IMediaSeeking> seeking;
    QueryInterface(c.control, &seeking);
    REFERENCE_TIME duration = 1;
    if (seeking) seeking->GetDuration(&duration);
    const bool terminal = isatty(2);
    int lastTenth = 0;
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        notifier.Wait(std::chrono::milliseconds(100));
        long code = 0, p1 = 0, p2 = 0;
        while (SUCCEEDED(c.event->GetEvent(&code, &p1, &p2, 0))) {
            c.event->FreeEventParams(code, p1, p2);
            if (code == EC_COMPLETE || code == EC_ERRORABORT) {
                if (terminal) std::fputc('\n', stderr);
                c.event->SetNotifyWindow(nullptr, 0, 0);
                c.control->Stop();
                if (code == EC_COMPLETE) return 0;
                boxes.AppMessage(AMGetErrorText(p1));
                return IsInputFailure(p1) ? 2 : 1;
            }
        }
        REFERENCE_TIME position = 0;
        if (seeking) seeking->GetCurrentPosition(&position);
        double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ShowProgress(duration > 0 ? static_cast<double>(position) / static_cast<double>(duration) : 0, elapsed,
                     terminal, &lastTenth);
        if (const int signal = endingSignal) {
            if (terminal) std::fputc('\n', stderr);
            return EndOnSignal(c, signal, output, boxes);
        }
    }
}

int Refused(MessageBoxes& boxes, const std::string& text, int status) {
    boxes.AppMessage(text);
    return status;
}

// A compressor given on the command line that the container cannot hold is refused; one the show
// or the default brought gives way to the container's own, with a word.
bool FitToContainer(const CompressorServices& s, int format, const RenderOptions& o, HeldCompressors* held,
                    MessageBoxes& boxes) {
    for (bool video : {true, false}) {
        const char* option = video ? "--video-compressor" : "--audio-compressor";
        if (o.given.count(option) && !ContainerHoldsCompressor(format, video ? held->video : held->audio, video)) {
            boxes.AppMessage("An " + ContainerName(format) + " file cannot hold what " + option + " " +
                             (video ? o.videoCompressor : o.audioCompressor) +
                             " makes; choose another compressor or container");
            return false;
        }
    }
    const auto swap = FitCompressorsToContainer(s, format, held, o.given.count("--video-compressor") != 0,
                                                o.given.count("--audio-compressor") != 0);
    if (swap) boxes.AppMessage(CompressorSwapText(ContainerName(format), *swap));
    return true;
}

}  // namespace

int ListCompressors(MessageBoxes& boxes) {
    CompressorServices s{boxes, nullptr};
    std::vector<std::string> video = FillVideoCompressorList(s), audio = FillAudioCompressorList(s);
    std::printf("Video compressors:\n");
    for (const std::string& name : video) std::printf("  %s\n", name.c_str());
    std::printf("Audio compressors:\n");
    for (const std::string& name : audio) std::printf("  %s\n", name.c_str());
    return 0;
}

int RunRender(SlideshowProject& project, const ShowOutput& output, const RenderOptions& o, MessageBoxes& boxes) {
    if (project.photoCount() == 0) return Refused(boxes, NoPhotosText(o.show), 2);
    if (!ShowHasAPicture(project.photos())) return Refused(boxes, NoPictureText(), 2);
    OutputSettings& out = project.output();
    out.path = output.path;
    out.format = output.format;
    out.width = output.width;
    out.height = output.height;
    out.videoBitrate = output.videoBitrate;
    out.audioBitrate = output.audioBitrate;
    CompressorServices services{boxes, nullptr};
    HeldCompressors held;
    if (!ChooseCompressor(services, true, output.videoCompressor, out.format, &held.video, boxes) ||
        !ChooseCompressor(services, false, output.audioCompressor, out.format, &held.audio, boxes) ||
        !FitToContainer(services, out.format, o, &held, boxes)) {
        return 2;
    }
    out.useVideoCompressor = held.video.use ? 1 : 0;
    out.useAudioCompressor = held.audio.use ? 1 : 0;

    std::shared_ptr<IAMTimeline> timeline;
    TimelineBuildEnv buildEnv{boxes, nullptr, nullptr, nullptr, o.subtitleLanguage};
    if (FAILED(BuildTimeline(project, buildEnv, &timeline))) return 1;
    Notifier notifier;
    RenderToFileEnv env{boxes, &notifier, nullptr, ApplyOptions(o, boxes), [&](const std::string& page) {
                            boxes.AppMessage("See " + page + " in Kavrel's user guide");
                        },
                        nullptr, nullptr};
    ConversionObjects conversion;
    bool running = false;
    CatchEndingSignals();
    const HRESULT hr = RenderToFile(project, timeline, held, env, &conversion, &running);
    if (FAILED(hr) || !running) return IsInputFailure(hr) ? 2 : 1;
    int status = Wait(conversion, notifier, out.path, boxes);
    conversion.engine->ScrapIt();
    if (status == 0) std::fprintf(stderr, "Done. %s\n", out.path.c_str());
    return status;
}
