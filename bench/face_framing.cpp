// The share of frames in which every face found is whole, today's moves against moves aimed at
// the faces, for each kind of move and for Fill's crop, over an 8-second photo at 23.976 frames a
// second in a 1920 × 1080 video.
//
// Usage: bench-face-framing PHOTO...

#include <cstdio>
#include <string>
#include <vector>

#include "engine/motion_choice.h"
#include "engine/photo_faces.h"
#include "platform/render/compose/aimed_motion.h"

namespace {

constexpr int kFrames = 192;

bool Whole(const FrameRect& place, const PhotoGeometry& g, const PhotoRect& face) {
    const double sx = place.w, sy = place.h;  // frame pixels per photo fraction
    const double x0 = place.x + face.x * sx, y0 = place.y + face.y * sy;
    const double x1 = x0 + face.w * sx, y1 = y0 + face.h * sy;
    constexpr double kSlack = 0.01;  // pixels
    return x0 >= -kSlack && y0 >= -kSlack && x1 <= g.frameWidth + kSlack && y1 <= g.frameHeight + kSlack;
}

// Frames of the move in which all faces are whole.
int WholeFrames(const PhotoGeometry& g, const PhotoMotion& m, const std::vector<PhotoRect>& faces) {
    int whole = 0;
    for (int f = 0; f < kFrames; ++f) {
        const FrameRect place = PhotoPlacement(g, m, static_cast<double>(f) / (kFrames - 1));
        bool all = true;
        for (const PhotoRect& face : faces) all = all && Whole(place, g, face);
        whole += all ? 1 : 0;
    }
    return whole;
}

struct Tally {
    int frames = 0, today = 0, aimed = 0;
    int leftOut = 0;  // moves whose frame cannot hold every face
};

// Where the frame cannot hold all the faces, the target does not apply: the move is not counted.
void Count(const PhotoGeometry& g, const PhotoMotion& m, const FoundFaces& found, Tally* t) {
    const AimedMove aimed = AimAtFaces(g, m, found.faces);
    if (aimed.motion.facesLeftOut > 0) {
        ++t->leftOut;
        return;
    }
    t->frames += kFrames;
    t->today += WholeFrames(g, m, found.faces);
    t->aimed += WholeFrames(g, aimed.motion, found.faces);
}

// Random as the timeline makes it: the drawn move, else one of the moves that keep the faces.
void CountRandom(const PhotoGeometry& g, const FoundFaces& found, Tally* t) {
    for (int position = 0; position < 6; ++position) {
        const MotionKind drawn = ChooseMotion(kMotionPolicyRandom, 0, position, 1234);
        PhotoMotion m = PlainMotion(drawn, 0.15, false);
        std::vector<MotionKind> keeping;
        for (int kind = 1; kind < kMotionKindCount; ++kind) {
            m.kind = static_cast<MotionKind>(kind);
            const AimedMove a = AimAtFaces(g, m, found.faces);
            if (a.keepsFaces && a.reach >= kLeastReach) keeping.push_back(m.kind);
        }
        m.kind = ChooseMotionAmong(keeping, drawn, MotionKind::None, position, 1234);
        const AimedMove aimed = AimAtFaces(g, m, found.faces);
        if (aimed.motion.facesLeftOut > 0) {
            ++t->leftOut;
            continue;
        }
        t->frames += kFrames;
        t->today += WholeFrames(g, PlainMotion(drawn, 0.15, false), found.faces);
        t->aimed += WholeFrames(g, aimed.motion, found.faces);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const char* names[] = {"zoom", "pan", "random", "fill"};
    Tally tallies[4];
    for (int i = 1; i < argc; ++i) {
        const FoundFaces found = FacesOfFile(argv[i]);
        std::printf("%-40s %dx%d, %zu face(s)\n", argv[i], found.width, found.height, found.faces.size());
        if (found.faces.empty()) continue;
        for (Framing framing : {Framing::Fit, Framing::Fill}) {
            const PhotoGeometry g{double(found.width), double(found.height), 1920, 1080, framing};
            for (MotionKind k : {MotionKind::ZoomIn, MotionKind::ZoomOut})
                Count(g, PlainMotion(k, 0.15, false), found, &tallies[0]);
            for (MotionKind k : {MotionKind::PanLeft, MotionKind::PanRight, MotionKind::PanUp, MotionKind::PanDown})
                Count(g, PlainMotion(k, 0.15, false), found, &tallies[1]);
            CountRandom(g, found, &tallies[2]);
        }
        const PhotoGeometry fill{double(found.width), double(found.height), 1920, 1080, Framing::Fill};
        Count(fill, PhotoMotion(), found, &tallies[3]);
    }
    std::printf("\n%-8s %8s %12s %12s %10s\n", "move", "frames", "today", "aimed", "left out");
    for (int i = 0; i < 4; ++i) {
        const Tally& t = tallies[i];
        if (t.frames == 0) continue;
        std::printf("%-8s %8d %11.1f%% %11.1f%% %10d\n", names[i], t.frames, 100.0 * t.today / t.frames,
                    100.0 * t.aimed / t.frames, t.leftOut);
    }
    return 0;
}
