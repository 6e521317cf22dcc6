#include "app/program_arguments.h"

#include <filesystem>

ProgramArguments ParseProgramArguments(const std::vector<std::string>& args) {
    ProgramArguments parsed;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            parsed.help = true;
        } else if (!optionsEnded && arg == "--version") {
            parsed.version = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            if (parsed.error.empty()) parsed.error = "unknown option " + arg;
        } else if (!arg.empty()) {
            std::error_code failed;
            const std::filesystem::path absolute = std::filesystem::absolute(arg, failed);
            parsed.files.push_back(failed ? arg : absolute.lexically_normal().string());
        }
    }
    return parsed;
}

std::string ProgramUsage() {
    return "Usage: kavrel [FILE...]\n"
           "Turns photos and music into one video.\n"
           "\n"
           "FILE is a show (.kavrel) to open, or photos and music to start a new show with; which\n"
           "is which is told by what each file holds. Files given while Kavrel is already running\n"
           "on this display go to its window.\n"
           "\n"
           "  -h, --help     print this help and exit\n"
           "      --version  print the version and exit\n"
           "  --             every word after it is a file\n";
}
