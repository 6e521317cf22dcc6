#pragma once
// kavrel's command line: --help, --version, and the files to open (a show, or photos and music).

#include <string>
#include <vector>

struct ProgramArguments {
    bool help = false;
    bool version = false;
    std::vector<std::string> files;  // absolute, so that another program of the user can take them
    std::string error;               // what was wrong; empty when nothing was
};

// `args` without the program's name. After "--" every word is a file, even one that starts with "-".
ProgramArguments ParseProgramArguments(const std::vector<std::string>& args);

// What --help prints.
std::string ProgramUsage();
