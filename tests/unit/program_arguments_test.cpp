// kavrel's command line: its options, and files made absolute so that another running kavrel,
// started in another folder, finds them.

#include <gtest/gtest.h>

#include <filesystem>

#include "app/program_arguments.h"

TEST(ProgramArguments, OptionsAndFiles) {
    const std::string here = std::filesystem::current_path().string();
    struct Case {
        std::vector<std::string> args;
        bool help, version;
        std::vector<std::string> files;
        std::string error;
    };
    const Case cases[] = {
        {{}, false, false, {}, ""},
        {{"--version"}, false, true, {}, ""},
        {{"-h"}, true, false, {}, ""},
        {{"photo.jpg", "--help"}, true, false, {here + "/photo.jpg"}, ""},
        {{"/music/a b.mp3", "sub/../show.kavrel"}, false, false, {"/music/a b.mp3", here + "/show.kavrel"}, ""},
        {{"--", "-odd.jpg", "--help"}, false, false, {here + "/-odd.jpg", here + "/--help"}, ""},
        {{"-", ""}, false, false, {here + "/-"}, ""},
        {{"--photo", "x.jpg", "-q"}, false, false, {here + "/x.jpg"}, "unknown option --photo"},
    };
    for (const Case& c : cases) {
        const ProgramArguments parsed = ParseProgramArguments(c.args);
        const std::string shown = c.args.empty() ? "(none)" : c.args.front();
        EXPECT_EQ(parsed.help, c.help) << shown;
        EXPECT_EQ(parsed.version, c.version) << shown;
        EXPECT_EQ(parsed.files, c.files) << shown;
        EXPECT_EQ(parsed.error, c.error) << shown;
    }
}
