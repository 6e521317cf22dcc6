// Every kavrel-render and kavrel command line that the README, the user guide, the manual page and
// kavrel-render's own help show, run as written (on small media of the names they use): a
// documented example that fails is a fault like any other.

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "tests/support/kavrel_render_run.h"
#include "tests/support/media_reader.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_media.h"

namespace {

struct Documented {
    std::string where, line;
};

std::string Trimmed(std::string text) {
    const std::size_t comment = text.find(" #");  // "... holiday.kavrel   # keep a show"
    if (comment != std::string::npos) text.resize(comment);
    const std::size_t first = text.find_first_not_of(" \t"), last = text.find_last_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

bool IsCommand(const std::string& line) {
    return std::regex_search(line, std::regex("^(build/)?kavrel(-render)? "));
}

// The command lines of the blocks that `open` and `close` lines enclose in `text`, with "\"
// continuations joined.
std::vector<std::string> BlockCommands(const std::string& text, const std::string& open,
                                       const std::string& close) {
    std::vector<std::string> commands;
    std::istringstream in(text);
    bool inside = false;
    std::string line, joined;
    while (std::getline(in, line)) {
        if (!inside || line.rfind(close, 0) == 0) {
            inside = line.rfind(open, 0) == 0 || (inside && line.rfind(close, 0) != 0);
            continue;
        }
        joined += Trimmed(line);
        if (!joined.empty() && joined.back() == '\\') {
            joined.back() = ' ';
            continue;
        }
        if (IsCommand(joined)) commands.push_back(joined);
        joined.clear();
    }
    return commands;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

std::string Source(const std::string& name) { return Slurp(std::string(KAVREL_SOURCE_DIR) + "/" + name); }

std::vector<Documented> DocumentedCommands(const std::string& help) {
    std::vector<Documented> all;
    auto add = [&](const std::string& where, const std::vector<std::string>& lines) {
        for (const std::string& line : lines) all.push_back({where, line});
    };
    add("README.md", BlockCommands(Source("README.md"), "```sh", "```"));
    for (const auto& page : std::filesystem::directory_iterator(std::string(KAVREL_SOURCE_DIR) + "/help")) {
        if (page.path().extension() != ".htm") continue;
        const std::string where = "help/" + page.path().filename().string();
        std::string guide = Source(where);
        guide = Replaced(Replaced(guide, "<pre>", "<pre>\n"), "</pre>", "\n</pre>");
        guide = Replaced(Replaced(Replaced(guide, "&lt;", "<"), "&gt;", ">"), "&amp;", "&");
        add(where, BlockCommands(guide, "<pre>", "</pre>"));
        // Inline: "<code>kavrel-render --help</code> lists every option".
        const std::regex code("<code>(kavrel(-render)? --[^<]*)</code>");
        for (std::sregex_iterator it(guide.begin(), guide.end(), code), end; it != end; ++it)
            all.push_back({where, (*it)[1]});
    }
    const std::string manual = Replaced(Replaced(Source("packaging/kavrel-render.1"), "\\-", "-"), "\\e", "\\");
    add("packaging/kavrel-render.1", BlockCommands(manual, ".EX", ".EE"));
    // The examples end the help: their block closes at a line that never comes.
    add("kavrel-render --help", BlockCommands(help, "Examples:", "\x01"));
    return all;
}

// The photos, music and photo lists the commands name, made in `dir`.
void MakeMedia(const TempDir& dir, const std::vector<Documented>& commands) {
    std::set<std::string> photos, lists;
    for (const Documented& c : commands) {
        std::istringstream words(c.line);
        for (std::string word; words >> word;) {
            if (std::regex_match(word, std::regex("[\\w-]+\\.jpg"))) photos.insert(word);
            if (std::regex_match(word, std::regex("[\\w-]+\\.(mp3|m4a|wav)"))) WriteToneWav(dir.File(word), 4);
            if (word[0] == '@') lists.insert(word.substr(1));
            if (word.rfind("~/", 0) == 0) std::filesystem::create_directories((dir.path() / word.substr(2)).parent_path());
        }
    }
    std::string list;  // two photos: a list is read as well whatever its length
    int salt = 0;
    for (const std::string& photo : photos) {
        ASSERT_EQ(WritePhoto(dir.File(photo), 64, 48, ++salt, "mjpeg"), "");
        if (salt <= 2) list += photo + "\n";
    }
    for (const std::string& name : lists) dir.Write(name, list);
}

Outcome RunAsWritten(const TempDir& dir, std::string line) {
    line = std::regex_replace(line, std::regex("^(build/)?kavrel-render "), "'" KAVREL_RENDER_PATH "' ");
    line = std::regex_replace(line, std::regex("^kavrel "), "'" KAVREL_PATH "' ");
    // The folder is the home too, so that "~/Videos" lies in it; no display is needed.
    const std::string command = "cd '" + dir.path().string() + "' && export HOME='" + dir.path().string() +
                                "' DISPLAY= WAYLAND_DISPLAY= QT_QPA_PLATFORM=offscreen && " + line + " 2>&1";
    Outcome run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    std::array<char, 4096> buf;
    for (std::size_t n; (n = std::fread(buf.data(), 1, buf.size(), pipe)) > 0;) run.out.append(buf.data(), n);
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

}  // namespace

TEST(DocumentedCommands, EveryOneRunsAsWritten) {
    TempDir dir;
    const Outcome help = KavrelRender(dir, "--help");
    ASSERT_EQ(help.status, 0);
    const std::vector<Documented> commands = DocumentedCommands(help.out);
    std::map<std::string, int> found;
    for (const Documented& c : commands) ++found[c.where];
    for (const char* where : {"README.md", "help/Introduction.htm", "packaging/kavrel-render.1", "kavrel-render --help"})
        EXPECT_GT(found[where], 0) << "no command line found in " << where;
    std::filesystem::create_directories(dir.path() / "Videos");
    MakeMedia(dir, commands);
    for (const Documented& c : commands) {
        const Outcome run = RunAsWritten(dir, c.line);
        EXPECT_EQ(run.status, 0) << c.where << ": " << c.line << "\n" << run.out;
    }
    // The guide's saved show rendered at 1080p: H.264 and AAC, whatever the saved show held.
    const VideoReadBack hd = ReadVideoFile(dir.File("holiday-hd.mp4"), {});
    EXPECT_EQ(hd.videoCodec, "h264");
    EXPECT_EQ(hd.audioCodec, "aac");
    EXPECT_EQ(hd.height, 1080);
}
