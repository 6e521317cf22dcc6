// Runs the kavrel-render program as a user would and checks what it prints.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "platform/media/faces/photo_faces.h"
#include "tests/support/face_photos.h"
#include "tests/support/kavrel_render_run.h"
#include "tests/support/media_reader.h"
#include "tests/support/temp_dir.h"
#include "tests/support/test_media.h"

TEST(KavrelRender, DumpsTheTimelineOfTwoPhotosAndThreeSecondsOfMusic) {
    TempDir dir;
    dir.Write("a.jpg", "photo");
    dir.Write("b.jpg", "photo");
    WriteToneWav(dir.File("m3.wav"), 3.0);
    Outcome run = KavrelRender(dir,
                           "--dump-timeline --photo-duration 5 --transition-duration 1 "
                           "--policy same --same 3 --loudness off --music m3.wav a.jpg b.jpg");
    ASSERT_EQ(run.status, 0) << run.out;
    std::string expected = R"(<?xml version="1.0" encoding="UTF-8"?>
<timeline groups="2">
  <group index="0" majortype="MEDIATYPE_Video" subtype="MEDIASUBTYPE_RGB24" formattype="FORMAT_VideoInfo" fixedsize="1" temporal="0" samplesize="921600" cbformat="88" width="640" height="480" bitcount="24" compression="0" sizeimage="921600" fps="23.976" previewmode="1">
    <track priority="0">
      <source start="0" stop="55000000" mstart="0" mstop="55000000" stretchmode="2" name="@/a.jpg"/>
      <transition clsid="{16B280C5-EE70-11D1-9066-00C04FD9189D}" start="0" stop="10000000"/>
    </track>
    <track priority="1">
      <source start="45000000" stop="100000000" mstart="0" mstop="55000000" stretchmode="2" name="@/b.jpg"/>
      <transition clsid="{16B280C5-EE70-11D1-9066-00C04FD9189D}" start="45000000" stop="55000000"/>
    </track>
  </group>
  <group index="1" majortype="MEDIATYPE_Audio" subtype="GUID_NULL" formattype="GUID_NULL" fixedsize="1" temporal="0" samplesize="1" cbformat="0" fps="15" previewmode="1">
    <property name="Vol" type="VT_R8" value="1" time="0" interp="0"/>
    <property name="Vol" type="VT_R8" value="1" time="80000000" interp="0"/>
    <property name="Vol" type="VT_R8" value="0.765625" time="82500000" interp="1"/>
    <property name="Vol" type="VT_R8" value="0.5625" time="85000000" interp="1"/>
    <property name="Vol" type="VT_R8" value="0.390625" time="87500000" interp="1"/>
    <property name="Vol" type="VT_R8" value="0.25" time="90000000" interp="1"/>
    <property name="Vol" type="VT_R8" value="0.140625" time="92500000" interp="1"/>
    <property name="Vol" type="VT_R8" value="0.0625" time="95000000" interp="1"/>
    <property name="Vol" type="VT_R8" value="0.015625" time="97500000" interp="1"/>
    <property name="Vol" type="VT_R8" value="0" time="100000000" interp="1"/>
    <track priority="0">
      <source start="0" stop="30000000" mstart="0" mstop="30000000" stretchmode="0" name="@/m3.wav">
        <effect clsid="{3BBA8F9F-A5E2-418F-951F-DFA07D2F6856}" start="0" stop="30000000">
          <property name="JoinOut" type="VT_R8" value="0.2" time="0" interp="0"/>
        </effect>
      </source>
    </track>
    <track priority="1">
      <source start="28000000" stop="58000000" mstart="0" mstop="30000000" stretchmode="0" name="@/m3.wav">
        <effect clsid="{3BBA8F9F-A5E2-418F-951F-DFA07D2F6856}" start="0" stop="30000000">
          <property name="JoinIn" type="VT_R8" value="0.2" time="0" interp="0"/>
          <property name="JoinOut" type="VT_R8" value="0.2" time="0" interp="0"/>
        </effect>
      </source>
    </track>
    <track priority="2">
      <source start="56000000" stop="86000000" mstart="0" mstop="30000000" stretchmode="0" name="@/m3.wav">
        <effect clsid="{3BBA8F9F-A5E2-418F-951F-DFA07D2F6856}" start="0" stop="30000000">
          <property name="JoinIn" type="VT_R8" value="0.2" time="0" interp="0"/>
          <property name="JoinOut" type="VT_R8" value="0.2" time="0" interp="0"/>
        </effect>
      </source>
    </track>
    <track priority="3">
      <source start="84000000" stop="100000000" mstart="0" mstop="16000000" stretchmode="0" name="@/m3.wav">
        <effect clsid="{3BBA8F9F-A5E2-418F-951F-DFA07D2F6856}" start="0" stop="16000000">
          <property name="JoinIn" type="VT_R8" value="0.2" time="0" interp="0"/>
        </effect>
      </source>
    </track>
  </group>
</timeline>
)";
    // Every file by its absolute path, so that a show saved from the same arguments names the same files.
    std::string absolute = expected;
    for (std::size_t at; (at = absolute.find("@/")) != std::string::npos;) absolute.replace(at, 1, dir.path().string());
    EXPECT_EQ(run.out, absolute);
}

TEST(KavrelRender, SameSeedGivesTheSameRandomShow) {
    TempDir dir;
    dir.Write("a.jpg", "photo");
    std::string photos;
    for (int i = 0; i < 12; ++i) photos += " a.jpg";
    Outcome first = KavrelRender(dir, "--dump-timeline --seed 31337 --size 1280x720" + photos);
    Outcome second = KavrelRender(dir, "--dump-timeline --seed 31337 --size 1280x720" + photos);
    Outcome other = KavrelRender(dir, "--dump-timeline --seed 31338 --size 1280x720" + photos);
    ASSERT_EQ(first.status, 0) << first.out;
    EXPECT_EQ(first.out, second.out);
    EXPECT_NE(first.out, other.out);
    EXPECT_NE(first.out.find("width=\"1280\" height=\"720\""), std::string::npos);
}

TEST(KavrelRender, RefusesWhatItCannotUse) {
    TempDir dir;
    dir.Write("a.jpg", "photo");
    dir.Write("notes.txt", "not music");
    Outcome missing = KavrelRender(dir, "--dump-timeline a.jpg gone.jpg");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.out.find("Cannot read the photo file gone.jpg"), std::string::npos) << missing.out;

    Outcome music = KavrelRender(dir, "--dump-timeline --music notes.txt a.jpg");
    EXPECT_EQ(music.status, 2);
    EXPECT_NE(music.out.find("Cannot find the length of the music file notes.txt"),
              std::string::npos) << music.out;

    std::string longName(300, 'p');
    Outcome tooLong = KavrelRender(dir, "--dump-timeline " + longName + ".jpg");
    EXPECT_EQ(tooLong.status, 2);
    EXPECT_NE(tooLong.out.find("The path is longer than 259 bytes: " + longName), std::string::npos);

    Outcome bad = KavrelRender(dir, "--size 10x10 a.jpg");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.out.find("Try 'kavrel-render --help'."), std::string::npos);

    Outcome audio = KavrelRender(dir, "--audio-bitrate 96000 -o x.wmv a.jpg");
    EXPECT_EQ(audio.status, 2);
    EXPECT_NE(audio.out.find("64000, 128000, 192000 or 320000"), std::string::npos);

    Outcome notYet = KavrelRender(dir, "a.jpg");
    EXPECT_EQ(notYet.status, 2);
}

TEST(KavrelRender, HelpAndTransitionList) {
    TempDir dir;
    Outcome help = KavrelRender(dir, "--help");
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--music", "--photo-duration", "--transition-duration", "--policy",
                               "--same", "--size", "--seed", "--dump-timeline", "@LIST",
                               "--list-transitions", "--fade-out", "2160p", "HEIC", "Opus"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }
    Outcome list = KavrelRender(dir, "--list-transitions");
    EXPECT_EQ(list.status, 0);
    EXPECT_NE(list.out.find(" 0  None\n"), std::string::npos);
    EXPECT_NE(list.out.find("46  Matrix, horizontal\n"), std::string::npos);
    EXPECT_EQ(std::count(list.out.begin(), list.out.end(), '\n'), 47);
}

TEST(KavrelRender, WritesMotionJpeg) {
    TempDir dir;
    ASSERT_EQ(WritePhoto(dir.File("a.png"), 64, 48, 1, "png"), "");
    Outcome run = KavrelRender(dir, "--photo-duration 0.5 --transition-duration 0 --size 64x48 "
                                    "--video-compressor mjpeg -o show.avi a.png");
    ASSERT_EQ(run.status, 0) << run.out;
    VideoReadBack back = ReadVideoFile(dir.File("show.avi"), {});
    EXPECT_EQ(back.videoCodec, "mjpeg");
    EXPECT_EQ(back.decodeErrors, 0);
    EXPECT_EQ(back.frames, 12);
}

TEST(KavrelRender, MotionAndFramingReachTheTimeline) {
    TempDir dir;
    dir.Write("a.jpg", "photo");
    Outcome same = KavrelRender(dir, "--dump-timeline --photo-duration 5 --transition-duration 1 --motion same "
                                     "--same-motion pan-up --motion-amount 25 --motion-pace eased --framing blur a.jpg a.jpg");
    ASSERT_EQ(same.status, 0) << same.out;
    EXPECT_NE(same.out.find("<property name=\"Framing\" type=\"VT_BSTR\" value=\"blur\""), std::string::npos) << same.out;
    std::size_t at = 0;
    int motions = 0;
    while ((at = same.out.find("<property name=\"Motion\" type=\"VT_BSTR\" value=\"pan-up\"", at + 1)) != std::string::npos) {
        ++motions;
    }
    EXPECT_EQ(motions, 2);
    EXPECT_NE(same.out.find("<property name=\"Amount\" type=\"VT_R8\" value=\"0.25\""), std::string::npos);
    EXPECT_NE(same.out.find("<property name=\"Easing\" type=\"VT_BSTR\" value=\"eased\""), std::string::npos);

    const std::string photos = " a.jpg a.jpg a.jpg a.jpg a.jpg a.jpg a.jpg a.jpg";
    Outcome random = KavrelRender(dir, "--dump-timeline --seed 5 --motion random" + photos);
    Outcome again = KavrelRender(dir, "--dump-timeline --seed 5 --motion random" + photos);
    Outcome still = KavrelRender(dir, "--dump-timeline --seed 5" + photos);
    EXPECT_EQ(random.out, again.out);
    EXPECT_NE(random.out.find("<effect"), std::string::npos);
    EXPECT_EQ(still.out.find("<effect"), std::string::npos);
    EXPECT_EQ(still.out.find("Framing"), std::string::npos);
}

// A real face at the edge of a wide photo: the zoom aimed at it ends on it, where the plain zoom
// ends on the middle and leaves the face out of the picture. The last frames are searched for a
// face as the photos are; the timeline carries the views, and --faces off takes them away.
TEST(KavrelRender, AZoomEndsOnTheFaceAtThePhotosEdge) {
    TempDir dir;
    setenv("XDG_CACHE_HOME", dir.File("cache").c_str(), 1);
    HopperAtTheRightEdge(dir, "edge.jpg", false);
    const std::string show = " --photo-duration 2 --transition-duration 0 --size 640x360 --motion same"
                             " --same-motion zoom-in edge.jpg";
    const Outcome aimed = KavrelRender(dir, "--dump-timeline" + show);
    const Outcome plain = KavrelRender(dir, "--dump-timeline --faces off" + show);
    EXPECT_NE(aimed.out.find("<property name=\"To\""), std::string::npos) << aimed.out;
    EXPECT_EQ(plain.out.find("<property name=\"To\""), std::string::npos) << plain.out;
    std::size_t facesInLastFrame[2];
    for (int faces = 0; faces < 2; ++faces) {
        const std::string name = faces ? "aimed" : "plain";
        const Outcome run = KavrelRender(dir, (faces ? "" : "--faces off") + show + " -o " + name + ".mkv");
        ASSERT_EQ(run.status, 0) << run.out;
        const std::string last = "cd '" + dir.path().string() + "' && ffmpeg -v error -y -sseof -0.2 -i " + name +
                                 ".mkv -update 1 " + name + ".png";
        ASSERT_EQ(std::system(last.c_str()), 0);
        facesInLastFrame[faces] = FacesOfPhoto(dir.File(name + ".png")).faces.size();
    }
    EXPECT_EQ(facesInLastFrame[0], 0u);
    EXPECT_EQ(facesInLastFrame[1], 1u);
}

TEST(KavrelRender, RefusesUnknownMotionValues) {
    TempDir dir;
    dir.Write("a.jpg", "photo");
    for (const char* bad : {"--motion sideways", "--same-motion none", "--motion-amount 0", "--motion-amount 101",
                            "--motion-amount 12.5", "--framing stretch", "--motion-pace fast", "--faces maybe"}) {
        Outcome run = KavrelRender(dir, std::string("--dump-timeline ") + bad + " a.jpg");
        EXPECT_EQ(run.status, 2) << bad;
        EXPECT_NE(run.out.find("Try 'kavrel-render --help'."), std::string::npos) << bad;
    }
    Outcome help = KavrelRender(dir, "--help");
    for (const char* option : {"--motion none|random|same", "--same-motion", "--motion-amount", "--motion-pace",
                               "--framing fit|blur|fill", "--faces on|off"}) {
        EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }
}

namespace {

std::string ShowFile(const std::string& photos, const std::string& output) {
    return R"({"type":"kavrel-show","version":1,"photos":[)" + photos + R"(],"music":[{"path":"m.wav"}],"output":{)" +
           output + "}}";
}

// A PNG whose header reads but whose picture data is garbage.
std::string WriteUndecodablePng(const TempDir& dir, const std::string& name) {
    EXPECT_EQ(WritePhoto(dir.File(name), 64, 48, 1, "png"), "");
    std::string bytes = Slurp(dir.File(name));
    const std::size_t data = bytes.find("IDAT") + 4;
    for (std::size_t i = data; i + 12 < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 37);
    return dir.Write(name, bytes);
}

}  // namespace

TEST(KavrelRender, AShowThatCannotBeWrittenIsRefusedAndTheOldFileStays) {
    TempDir dir;
    ASSERT_EQ(WritePhoto(dir.File("a.jpg"), 64, 48, 1, "mjpeg"), "");
    WriteUndecodablePng(dir, "broken.png");
    const std::string jpeg = Slurp(dir.File("a.jpg"));
    dir.Write("cut.jpg", jpeg.substr(0, jpeg.size() * 2 / 3));  // would show a grey or green gap
    WriteToneWav(dir.File("m.wav"), 1.0);
    const std::string mp4 = R"("format":"mp4")";
    struct Case {
        std::string show, says;
    };
    const Case cases[] = {
        {ShowFile(R"({"path":"a.jpg","duration":0},{"path":"a.jpg","duration":0.0415})", mp4), "Nothing would be seen"},
        {ShowFile("", mp4), "The show s.kavrel has no photos"},
        {ShowFile(R"({"path":"a.jpg","duration":1},{"path":"broken.png","duration":1})", mp4),
         "Cannot decode the photo"},
        {ShowFile(R"({"path":"cut.jpg","duration":1})", mp4), "Cannot decode the photo"},
    };
    for (const Case& c : cases) {
        dir.Write("s.kavrel", c.show);
        dir.Write("old.mp4", "old");
        const Outcome run = KavrelRender(dir, "s.kavrel -o old.mp4");
        EXPECT_EQ(run.status, 2) << c.show << "\n" << run.out;
        EXPECT_NE(run.out.find(c.says), std::string::npos) << run.out;
        EXPECT_EQ(Slurp(dir.File("old.mp4")), "old") << c.show;
    }
    // One photo as long as a frame is a show.
    dir.Write("s.kavrel", ShowFile(R"({"path":"a.jpg","duration":0},{"path":"a.jpg","duration":0.042})", mp4));
    EXPECT_EQ(KavrelRender(dir, "s.kavrel -o new.mp4").status, 0);

    // Music that opens but none of whose sound decodes is refused, not played as silence: a WAV
    // that says it holds MP3 and holds no MP3 frame.
    std::string wav = std::string("RIFF\0\0\0\0WAVEfmt \x10\0\0\0\x55\0\x02\0\x44\xAC\0\0\x80\x3E\0\0\x01\0\0\0data", 40) +
                      std::string("\x80\xBB\0\0", 4);
    for (int i = 0; i < 48000; ++i) wav += static_cast<char>(i * 37 % 255);  // never a frame's 0xFF sync byte
    dir.Write("m.wav", wav);
    dir.Write("old.mp4", "old");
    const Outcome silent = KavrelRender(dir, "s.kavrel -o old.mp4");
    EXPECT_EQ(silent.status, 2) << silent.out;
    EXPECT_NE(silent.out.find("Cannot decode the music file"), std::string::npos) << silent.out;
    EXPECT_EQ(Slurp(dir.File("old.mp4")), "old");
}

TEST(KavrelRender, AContainerTakesItsOwnCompressorsWhereTheShowsCannotGoIntoIt) {
    TempDir dir;
    ASSERT_EQ(WritePhoto(dir.File("a.jpg"), 64, 48, 1, "mjpeg"), "");
    WriteToneWav(dir.File("m.wav"), 1.0);
    const std::string photos = R"({"path":"a.jpg","duration":0.5})";
    const std::string divx = R"x("videoCompressor":"mpeg4","audioCompressor":"Microsoft ADPCM (adpcm_ms)")x";
    struct Case {
        std::string show, output, video, audio;
    };
    const Case cases[] = {
        {ShowFile(photos, R"("format":"wmv",)" + divx), "-o x.mp4", "h264", "aac"},
        {ShowFile(photos, R"("format":"ogm",)" + divx), "-o x.ogm", "theora", "vorbis"},
        {ShowFile(photos, R"("format":"ogm")"), "-o x.ogm", "theora", "vorbis"},
        {ShowFile(photos, R"("format":"avi",)" + divx), "--format mp4 -o x.mp4", "h264", "aac"},
    };
    for (const Case& c : cases) {
        dir.Write("s.kavrel", c.show);
        const Outcome run = KavrelRender(dir, "s.kavrel " + c.output);
        ASSERT_EQ(run.status, 0) << c.show << "\n" << run.out;
        if (c.show.find("mpeg4") != std::string::npos) {
            EXPECT_NE(run.out.find("container cannot hold what"), std::string::npos) << run.out;
        }
        const VideoReadBack back = ReadVideoFile(dir.File(c.output.substr(c.output.rfind(' ') + 1)), {});
        EXPECT_EQ(back.videoCodec, c.video) << c.show;
        EXPECT_EQ(back.audioCodec, c.audio) << c.show;
    }
    // A compressor named on the command line is not exchanged behind the user's back.
    const Outcome named = KavrelRender(dir, "--audio-compressor adpcm_ms -o y.mp4 a.jpg");
    EXPECT_EQ(named.status, 2);
    EXPECT_NE(named.out.find("An MP4 file cannot hold what --audio-compressor adpcm_ms makes"), std::string::npos)
        << named.out;
    EXPECT_FALSE(std::filesystem::exists(dir.File("y.mp4")));
}
