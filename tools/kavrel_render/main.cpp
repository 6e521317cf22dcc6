// kavrel-render: builds a Kavrel slideshow from the command line.

#include <clocale>
#include <malloc.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/transition_catalogue.h"
#include "platform/media/media_duration.h"
#include "platform/shell/console_message_boxes.h"
#include "tools/kavrel_render/render_options.h"
#include "tools/kavrel_render/render_show.h"
#include "tools/kavrel_render/show_command.h"

int main(int argc, char** argv) {
    // Photo-sized buffers always come from (and go back to) the system, so that memory does not
    // creep up with the number of photos through heap fragmentation.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    std::setlocale(LC_TIME, "");  // captions write dates as the user's locale does
    std::vector<std::string> args(argv + 1, argv + argc);
    ParsedOptions parsed = ParseRenderOptions(args);
    if (parsed.options.help) {
        std::fputs(RenderUsage().c_str(), stdout);
        return 0;
    }
    if (parsed.options.version) {
        std::printf("kavrel-render %s\n", KAVREL_VERSION);
        return 0;
    }
    if (parsed.options.listTransitions) {
        for (int i = 0; i < kTransitionCount; ++i) {
            std::printf("%2d  %s\n", i, TransitionName(i).c_str());
        }
        return 0;
    }
    if (!parsed.error.empty()) {
        std::fprintf(stderr, "kavrel-render: %s\nTry 'kavrel-render --help'.\n",
                     parsed.error.c_str());
        return 2;
    }
    QuietMediaLibraryLog();
    ConsoleMessageBoxes boxes("kavrel-render");
    if (parsed.options.listCompressors) return ListCompressors(boxes);
    return RunShowCommand(parsed.options, stdout, boxes);
}
