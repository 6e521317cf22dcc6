#include "tests/support/timeline_reader.h"

namespace {

TransitionView ReadTransition(const TimelineObjPtr& obj) {
    TransitionView t;
    obj->GetStartStop(&t.start, &t.stop);
    obj->GetSubObjectGUID(&t.clsid);
    std::shared_ptr<IPropertySetter> setter;
    if (obj->GetPropertySetter(&setter) == S_OK) {
        for (const TimelineProperty& p : setter->Properties()) {
            ++t.propertyCount;
            if (p.param.Name == "MaskNum" && !p.values.empty()) t.maskNum = p.values[0].v.lVal;
        }
    }
    return t;
}

TrackView ReadTrack(const TimelineObjPtr& obj) {
    TrackView view;
    auto track = std::dynamic_pointer_cast<IAMTimelineTrack>(obj);
    auto transable = std::dynamic_pointer_cast<IAMTimelineTransable>(obj);
    int n = 0;
    track->GetSourcesCount(&n);
    for (int i = 0; i < n; ++i) {
        TimelineObjPtr srcObj;
        track->GetSrc(&srcObj, i);
        auto src = std::dynamic_pointer_cast<IAMTimelineSrc>(srcObj);
        SourceView s;
        srcObj->GetStartStop(&s.start, &s.stop);
        src->GetMediaTimes(&s.mediaStart, &s.mediaStop);
        src->GetStretchMode(&s.stretchMode);
        src->GetMediaName(&s.name);
        view.sources.push_back(s);
    }
    transable->GetCount(&n);
    for (int i = 0; i < n; ++i) {
        TimelineObjPtr trans;
        transable->GetTrans(&trans, i);
        view.transitions.push_back(ReadTransition(trans));
    }
    return view;
}

std::vector<DEXTER_VALUE> ReadVolume(const TimelineObjPtr& group) {
    std::shared_ptr<IPropertySetter> setter;
    if (group->GetPropertySetter(&setter) != S_OK) return {};
    for (const TimelineProperty& p : setter->Properties()) {
        if (p.param.Name == "Vol") return p.values;
    }
    return {};
}

}  // namespace

std::vector<GroupView> ReadTimeline(const IAMTimeline& timeline) {
    std::vector<GroupView> groups;
    int count = 0;
    timeline.GetGroupCount(&count);
    for (int g = 0; g < count; ++g) {
        TimelineObjPtr obj;
        timeline.GetGroup(&obj, g);
        GroupView view;
        std::dynamic_pointer_cast<IAMTimelineGroup>(obj)->GetMediaType(&view.mediaType);
        std::dynamic_pointer_cast<IAMTimelineGroup>(obj)->GetOutputFPS(&view.fps);
        view.volume = ReadVolume(obj);
        auto comp = std::dynamic_pointer_cast<IAMTimelineComp>(obj);
        int tracks = 0;
        comp->VTrackGetCount(&tracks);
        for (int t = 0; t < tracks; ++t) {
            TimelineObjPtr track;
            comp->GetVTrack(&track, t);
            view.tracks.push_back(ReadTrack(track));
        }
        if (auto run = comp->GetTrackRun()) {
            for (std::int64_t i = 0; i < run->count(); ++i) {
                const RunSource s = run->At(i);
                view.tracks.push_back({{{s.start, s.stop, 0, s.stop - s.start, 0, *s.name}}, {}});
            }
        }
        groups.push_back(std::move(view));
    }
    return groups;
}
