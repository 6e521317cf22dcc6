#include "tests/support/tiny_show.h"

#include <gtest/gtest.h>

#include "engine/timeline_builder.h"
#include "engine/transition_catalogue.h"
#include "tests/support/media_reader.h"
#include "tests/support/test_media.h"

TinyShow::TinyShow(std::vector<std::pair<int, int>> sizes, double photoSeconds, double transitionSeconds,
                   bool withMusic, int outputWidth, int outputHeight) {
    project.defaults() = {photoSeconds, transitionSeconds, kPolicySame, 3};
    int salt = 0;
    for (auto [w, h] : sizes) {
        std::string file = dir.File("photo" + std::to_string(salt) + ".png");
        EXPECT_EQ(WritePhoto(file, w, h, salt, "png"), "");
        project.AppendPhoto(file);
        ++salt;
    }
    if (withMusic) {
        WriteToneWav(dir.File("tone.wav"), 1.5);
        project.AppendMusic(dir.File("tone.wav"), MeasureMediaDuration(dir.File("tone.wav")));
    }
    project.output().width = outputWidth;
    project.output().height = outputHeight;
    TimelineBuildEnv env{boxes, nullptr, nullptr};
    EXPECT_EQ(BuildTimeline(project, env, &timeline), S_OK);
}
