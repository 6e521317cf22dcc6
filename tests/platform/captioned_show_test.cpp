// A show with a title card and captions, written by kavrel-render as a user runs it: the captions
// are in the picture, and in MP4 also a subtitle track whose cues ffprobe reads back where the
// timeline puts them.

#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <sstream>

#include "tests/support/kavrel_render_run.h"
#include "tests/support/media_reader.h"
#include "tests/support/temp_dir.h"

namespace {

std::string Shell(const std::string& command) {
    std::string out;
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return out;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, pipe)) > 0;) out.append(buf, n);
    pclose(pipe);
    return out;
}

struct Cue {
    double start = 0, end = 0;  // milliseconds
};

// The cues with text: mov_text writes the gaps between them as empty two-byte samples.
std::vector<Cue> SubtitleCues(const std::string& file) {
    std::istringstream lines(Shell("ffprobe -v error -select_streams s -show_entries packet=pts_time,duration_time,size "
                                 "-of csv=p=0 '" + file + "'"));
    std::vector<Cue> cues;
    for (std::string line; std::getline(lines, line);) {
        double pts = 0, duration = 0;
        int size = 0;
        if (std::sscanf(line.c_str(), "%lf,%lf,%d", &pts, &duration, &size) == 3 && size > 2)
            cues.push_back({pts * 1000, (pts + duration) * 1000});
    }
    return cues;
}

// The start of every photo's source, in milliseconds, as the dumped timeline has them.
std::vector<double> PhotoStarts(const std::string& dump) {
    std::vector<double> starts;
    const std::regex source(R"re(<source start="(\d+)")re");
    for (std::sregex_iterator it(dump.begin(), dump.end(), source), end; it != end; ++it)
        starts.push_back(std::stod((*it)[1]) / 10000);
    return starts;
}

double MeanDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b, int width,
                      int firstRow, int lastRow) {
    double sum = 0;
    for (int y = firstRow; y < lastRow; ++y)
        for (int x = 0; x < width; ++x) sum += std::abs(a[y * width + x] - b[y * width + x]);
    return sum / ((lastRow - firstRow) * width);
}

}  // namespace

TEST(CaptionedShow, CaptionsAreInThePictureAndInATrackTimedToTheTimeline) {
    TempDir dir;
    for (const char* name : {"a.jpg", "b.jpg", "c.jpg"}) ASSERT_EQ(WritePhoto(dir.File(name), 320, 240, name[0], "mjpeg"), "");
    dir.Write("captions.txt", "a.jpg\tBeach at dawn\\nПривет — 你好\nc.jpg\tThe last one\n");
    const std::string show = "--title 'Summer\\nItaly' --title-duration 2 --photo-duration 2.5 --transition-duration 0.7 "
                             "--size 320x240 --captions captions.txt --subtitle-language fr --seed 7 a.jpg b.jpg c.jpg";
    const Outcome dump = KavrelRender(dir, "--dump-timeline " + show);
    ASSERT_EQ(dump.status, 0) << dump.out;
    ASSERT_EQ(KavrelRender(dir, show + " -o both.mp4").status, 0);
    ASSERT_EQ(KavrelRender(dir, show + " --captions-in subtitles -o track.mp4").status, 0);

    const std::vector<double> starts = PhotoStarts(dump.out);  // the title, a, b, c
    ASSERT_EQ(starts.size(), 4u);
    const std::vector<Cue> cues = SubtitleCues(dir.File("both.mp4"));
    ASSERT_EQ(cues.size(), 2u);
    EXPECT_NEAR(cues[0].start, starts[1], 1);  // a: to where b's transition starts
    EXPECT_NEAR(cues[0].end, starts[2], 1);
    EXPECT_NEAR(cues[1].start, starts[3], 1);  // c: to the show's end
    EXPECT_NEAR(cues[1].end, 2000 + 3 * 2500, 1);
    const std::string streams = Shell("ffprobe -v error -select_streams s -show_entries "
                                    "stream=codec_name:stream_tags=language:stream_disposition=default -of csv=p=0 '" +
                                    dir.File("both.mp4") + "'");
    EXPECT_EQ(streams, "mov_text,0,fra\n");  // not default: the captions are in the picture too
    EXPECT_EQ(Shell("ffprobe -v error -select_streams s -show_entries stream_disposition=default -of csv=p=0 '" +
                  dir.File("track.mp4") + "'"),
              "1\n");

    // Mid-way through photo a, the file with captions burned in differs from the one without only
    // at the bottom, where the caption is.
    const int frame = static_cast<int>((starts[1] + 1250) / 1000 * 24000 / 1001);
    const VideoReadBack both = ReadVideoFile(dir.File("both.mp4"), {frame});
    const VideoReadBack track = ReadVideoFile(dir.File("track.mp4"), {frame});
    ASSERT_EQ(both.lumaOfFrames.size(), 1u);
    ASSERT_EQ(track.lumaOfFrames.size(), 1u);
    EXPECT_GT(MeanDifference(both.lumaOfFrames[0], track.lumaOfFrames[0], 320, 180, 240), 8);
    EXPECT_LT(MeanDifference(both.lumaOfFrames[0], track.lumaOfFrames[0], 320, 0, 120), 1);
}
