#include "engine/motion_aiming.h"

#include "engine/motion_choice.h"
#include "platform/render/compose/aimed_motion.h"

namespace {

PhotoMotion AskedMotion(const PhotoItem& photo, const PhotoDefaults& d) {
    PhotoMotion m;
    m.kind = photo.motion;
    m.amount = photo.framing.motionAmountPercent.value_or(d.motionAmountPercent) / 100.0;
    m.eased = d.motionEased;
    m.framing = photo.framing.framing;
    return m;
}

std::vector<MotionKind> KindsKeepingFaces(const PhotoGeometry& g, PhotoMotion m, const std::vector<PhotoRect>& faces) {
    std::vector<MotionKind> keeping;
    for (int k = 1; k < kMotionKindCount; ++k) {
        m.kind = static_cast<MotionKind>(k);
        const AimedMove aimed = AimAtFaces(g, m, faces);
        if (aimed.keepsFaces && aimed.reach >= kLeastReach) keeping.push_back(m.kind);
    }
    return keeping;
}

}  // namespace

PhotoMotion MotionOfPhoto(const PhotoItem& photo, int position, const MotionContext& c, MotionKind previous) {
    PhotoMotion m = AskedMotion(photo, c.defaults);
    if (photo.framing.Drawn()) {
        m.from = photo.framing.from;
        m.to = photo.framing.to;
        return m;
    }
    if (c.facesOf == nullptr || !AimsAtFaces(photo, c.defaults)) return m;
    const FoundFaces found = c.facesOf(photo.path);
    if (!found.read || found.faces.empty() || found.width <= 0 || found.height <= 0) return m;
    const bool ownSize = c.frameWidth <= 0 || c.frameHeight <= 0;
    const PhotoGeometry g{static_cast<double>(found.width), static_cast<double>(found.height),
                          ownSize ? found.width : c.frameWidth, ownSize ? found.height : c.frameHeight,
                          m.framing.value_or(c.defaults.framing)};
    if (c.defaults.motionPolicy == kMotionPolicyRandom && m.kind != MotionKind::None)
        m.kind = ChooseMotionAmong(KindsKeepingFaces(g, m, found.faces), m.kind, previous, position, c.seed);
    return AimAtFaces(g, m, found.faces).motion;
}

bool NeedsMotionEffect(const PhotoMotion& m) {
    return m.kind != MotionKind::None || m.HasViews() || m.framing.has_value();
}

MotionContext MotionContextOf(const SlideshowProject& project, FacesOf facesOf) {
    MotionContext context{project.defaults(), project.random().seed(), project.output().width,
                          project.output().height, std::move(facesOf)};
    if ((context.frameWidth <= 0 || context.frameHeight <= 0) && context.facesOf && project.photoCount() > 0) {
        const FoundFaces first = context.facesOf(project.photos().front().path);
        context.frameWidth = first.width;
        context.frameHeight = first.height;
    }
    return context;
}

bool AimsAtFaces(const PhotoItem& photo, const PhotoDefaults& defaults) {
    if (!defaults.facesAimed || photo.IsTitle() || photo.framing.Drawn()) return false;
    const bool moves = photo.motion != MotionKind::None;
    return moves || photo.framing.framing.value_or(defaults.framing) == Framing::Fill;
}
