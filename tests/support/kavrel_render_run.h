#pragma once
// Runs the built kavrel-render as a user would; for tests compiled with KAVREL_RENDER_PATH.

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <string>

#include "tests/support/temp_dir.h"

struct Outcome {
    int status = -1;
    std::string out;
};

// Runs kavrel-render in `dir` with `args` (already quoted for the shell); stderr joins stdout.
inline Outcome KavrelRender(const TempDir& dir, const std::string& args) {
    std::string command =
        "cd '" + dir.path().string() + "' && '" KAVREL_RENDER_PATH "' " + args + " 2>&1";
    Outcome run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 4096> buf;
    std::size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0) run.out.append(buf.data(), n);
    int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}
