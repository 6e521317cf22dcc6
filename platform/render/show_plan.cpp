#include "platform/render/show_plan.h"

#include <algorithm>

#include "platform/render/text/text_effects.h"

extern "C" {
#include <libavutil/mathematics.h>
}

REFERENCE_TIME FrameStart(std::int64_t n) {
    return av_rescale(n, kFpsDen * kUnitsPerSecond, kFpsNum);  // rounded to the nearest unit
}

std::int64_t FrameCount(REFERENCE_TIME length) {
    if (length <= 0) return 0;
    return av_rescale_rnd(length, kFpsNum, kFpsDen * kUnitsPerSecond, AV_ROUND_UP);
}

namespace {

template <class I>
std::shared_ptr<I> As(const TimelineObjPtr& obj) {
    return std::dynamic_pointer_cast<I>(obj);
}

void ReadTransition(const TimelineObjPtr& track, VideoClip* clip) {
    auto transable = As<IAMTimelineTransable>(track);
    int count = 0;
    transable->GetCount(&count);
    if (count == 0) return;
    TimelineObjPtr trans;
    transable->GetTrans(&trans, 0);
    clip->hasTransition = true;
    trans->GetSubObjectGUID(&clip->effect);
    trans->GetStartStop(&clip->transitionStart, &clip->transitionStop);
    std::shared_ptr<IPropertySetter> setter;
    if (trans->GetPropertySetter(&setter) != S_OK) return;
    for (const TimelineProperty& p : setter->Properties()) {
        if (p.values.empty()) continue;
        const VARIANT& v = p.values[0].v;
        double value = v.vt == VT_R8 ? v.dblVal : v.lVal;
        clip->properties.emplace_back(p.param.Name, value);
    }
}

std::string TextProperty(const TimelineProperty& p) {
    return p.values.empty() || p.values[0].v.vt != VT_BSTR ? std::string() : p.values[0].v.bstrVal;
}

double RealProperty(const TimelineProperty& p, double fallback) {
    return p.values.empty() || p.values[0].v.vt != VT_R8 ? fallback : p.values[0].v.dblVal;
}

void ReadMotion(const IPropertySetter& setter, VideoClip* clip) {
    for (const TimelineProperty& p : setter.Properties()) {
        if (p.param.Name == kMotionProperty) {
            clip->motion.kind = MotionKindFromName(TextProperty(p)).value_or(MotionKind::None);
        } else if (p.param.Name == kAmountProperty) {
            clip->motion.amount = std::clamp(RealProperty(p, clip->motion.amount), 0.0, 10.0);
        } else if (p.param.Name == kEasingProperty) {
            clip->motion.eased = TextProperty(p) == EasingName(true);
        } else if (p.param.Name == kFromProperty) {
            clip->motion.from = PhotoRectFromText(TextProperty(p));
        } else if (p.param.Name == kToProperty) {
            clip->motion.to = PhotoRectFromText(TextProperty(p));
        } else if (p.param.Name == kFramingProperty) {
            clip->motion.framing = FramingFromName(TextProperty(p));
        }
    }
}

double TextSize(const TimelineProperty& p, double fallback) {
    return std::clamp(RealProperty(p, fallback), kMinTextSize, kMaxTextSize);
}

void ReadTitle(const IPropertySetter& setter, VideoClip* clip) {
    TitleCard card;
    for (const TimelineProperty& p : setter.Properties()) {
        const std::string& name = p.param.Name;
        const std::string text = TextProperty(p);
        if (name == kTextProperty) card.text = text;
        else if (name == kFontProperty) card.font = text;
        else if (name == kSizeProperty) card.size = TextSize(p, card.size);
        else if (name == kColourProperty) card.colour = ColourFromName(text).value_or(card.colour);
        else if (name == kAlignProperty) card.align = TextAlignFromName(text).value_or(card.align);
        else if (name == kBackgroundProperty) card.background = TitleBackgroundFromName(text).value_or(card.background);
        else if (name == kBackgroundColourProperty)
            card.backgroundColour = ColourFromName(text).value_or(card.backgroundColour);
    }
    clip->title = std::move(card);
}

void ReadCaption(const IPropertySetter& setter, VideoClip* clip) {
    for (const TimelineProperty& p : setter.Properties()) {
        if (p.param.Name == kTextProperty) clip->caption.text = TextProperty(p);
        else if (p.param.Name == kPlaceProperty)
            clip->caption.place = CaptionPlaceFromName(TextProperty(p)).value_or(CaptionPlace::Bottom);
    }
}

// Each effect on a source that has properties, with its class.
template <class Read>
void ForEachEffect(const TimelineObjPtr& src, Read&& read) {
    auto effectable = As<IAMTimelineEffectable>(src);
    int count = 0;
    if (effectable) effectable->EffectGetCount(&count);
    for (int e = 0; e < count; ++e) {
        TimelineObjPtr effect;
        GUID clsid;
        std::shared_ptr<IPropertySetter> setter;
        effectable->GetEffect(&effect, e);
        effect->GetSubObjectGUID(&clsid);
        if (effect->GetPropertySetter(&setter) == S_OK) read(clsid, *setter);
    }
}

// The effects on a photo's source: its motion, its title card, its caption. An unknown motion
// name is no motion.
void ReadSourceEffects(const TimelineObjPtr& src, VideoClip* clip) {
    ForEachEffect(src, [&](const GUID& clsid, const IPropertySetter& setter) {
        if (clsid == CLSID_KavrelPanZoom) ReadMotion(setter, clip);
        else if (clsid == CLSID_KavrelTitleCard) ReadTitle(setter, clip);
        else if (clsid == CLSID_KavrelCaption) ReadCaption(setter, clip);
    });
}

// The video group's properties: the framing (none is Fit), the caption style, the subtitles' language.
void ReadGroupProperties(const TimelineObjPtr& group, ShowPlan* plan) {
    std::shared_ptr<IPropertySetter> setter;
    if (group->GetPropertySetter(&setter) != S_OK) return;
    CaptionStyle& style = plan->captionStyle;
    for (const TimelineProperty& p : setter->Properties()) {
        const std::string& name = p.param.Name;
        const std::string text = TextProperty(p);
        if (name == kFramingProperty) plan->framing = FramingFromName(text).value_or(Framing::Fit);
        else if (name == kCaptionFontProperty) style.font = text;
        else if (name == kCaptionSizeProperty) style.size = TextSize(p, style.size);
        else if (name == kCaptionColourProperty) style.colour = ColourFromName(text).value_or(style.colour);
        else if (name == kCaptionBackingProperty) style.backing = CaptionBackingFromName(text).value_or(style.backing);
        else if (name == kCaptionMotionProperty) style.movesWithPhoto = text == "with-photo";
        else if (name == kCaptionOutputProperty) style.output = CaptionOutputFromName(text).value_or(style.output);
        else if (name == kSubtitleLanguageProperty) plan->subtitleLanguage = text;
    }
}

// Calls visit(track, source) for the first source of every track of a group, in priority order;
// a track without a source (a photo that could not be placed) is passed over.
template <class Visit>
void ForEachTrackSource(const TimelineObjPtr& group, Visit&& visit) {
    auto comp = As<IAMTimelineComp>(group);
    int tracks = 0;
    comp->VTrackGetCount(&tracks);
    for (int t = 0; t < tracks; ++t) {
        TimelineObjPtr track;
        comp->GetVTrack(&track, t);
        int sources = 0;
        As<IAMTimelineTrack>(track)->GetSourcesCount(&sources);
        if (sources == 0) continue;
        TimelineObjPtr src;
        As<IAMTimelineTrack>(track)->GetSrc(&src, 0);
        visit(track, src);
    }
}

void ReadVideoGroup(const AM_MEDIA_TYPE& mt, const TimelineObjPtr& group, ShowPlan* plan) {
    plan->hasVideo = true;
    VIDEOINFOHEADER vih;
    if (mt.GetVideoInfo(&vih)) {
        plan->width = vih.bmiHeader.biWidth;
        plan->height = std::abs(vih.bmiHeader.biHeight);
    }
    ReadGroupProperties(group, plan);
    ForEachTrackSource(group, [&](const TimelineObjPtr& track, const TimelineObjPtr& src) {
        VideoClip clip;
        src->GetStartStop(&clip.start, &clip.stop);
        As<IAMTimelineSrc>(src)->GetMediaName(&clip.path);
        As<IAMTimelineSrc>(src)->GetStretchMode(&clip.stretchMode);
        ReadTransition(track, &clip);
        ReadSourceEffects(src, &clip);
        plan->length = std::max(plan->length, clip.stop);
        plan->clips.push_back(std::move(clip));
    });
}

void ReadVolume(const TimelineObjPtr& group, VolumeEnvelope* volume) {
    std::shared_ptr<IPropertySetter> setter;
    if (group->GetPropertySetter(&setter) != S_OK) return;
    for (const TimelineProperty& p : setter->Properties()) {
        if (p.param.Name != "Vol") continue;
        for (const DEXTER_VALUE& v : p.values) {
            volume->push_back({v.rt, v.v.vt == VT_R8 ? v.v.dblVal : v.v.lVal, v.dwInterp == DEXTERF_INTERPOLATE});
        }
    }
}

void ReadSongShape(const TimelineObjPtr& src, SongShape* shape) {
    ForEachEffect(src, [&](const GUID& clsid, const IPropertySetter& setter) {
        if (clsid != CLSID_KavrelSong) return;
        for (const TimelineProperty& p : setter.Properties()) {
            if (!p.values.empty() && p.values.front().v.vt == VT_R8)
                ReadSongProperty(p.param.Name, p.values.front().v.dblVal, shape);
        }
    });
}

// The builder puts one music placement on each audio track.
void ReadAudioGroup(const TimelineObjPtr& group, ShowPlan* plan) {
    plan->hasAudio = true;
    ReadVolume(group, &plan->musicVolume);
    ForEachTrackSource(group, [&](const TimelineObjPtr&, const TimelineObjPtr& src) {
        AudioPlacement p;
        src->GetStartStop(&p.start, &p.stop);
        REFERENCE_TIME mstop = 0;
        As<IAMTimelineSrc>(src)->GetMediaTimes(&p.mediaStart, &mstop);
        As<IAMTimelineSrc>(src)->GetMediaName(&p.path);
        ReadSongShape(src, &p.shape);
        if (p.stop > p.start) plan->music.push_back(std::move(p));
    });
    auto run = As<IAMTimelineComp>(group)->GetTrackRun();
    if (run && run->count() > 0) plan->musicRun = run;
}

}  // namespace

HRESULT ReadShowPlan(const IAMTimeline& timeline, ShowPlan* plan) {
    *plan = ShowPlan();
    int groups = 0;
    timeline.GetGroupCount(&groups);
    REFERENCE_TIME musicEnd = 0;
    for (int g = 0; g < groups; ++g) {
        TimelineObjPtr group;
        timeline.GetGroup(&group, g);
        AM_MEDIA_TYPE mt;
        As<IAMTimelineGroup>(group)->GetMediaType(&mt);
        if (mt.majortype == MEDIATYPE_Video && !plan->hasVideo) {
            ReadVideoGroup(mt, group, plan);
        } else if (mt.majortype == MEDIATYPE_Audio && !plan->hasAudio) {
            ReadAudioGroup(group, plan);
        }
    }
    for (const AudioPlacement& p : plan->music) musicEnd = std::max(musicEnd, p.stop);
    if (plan->musicRun) musicEnd = std::max(musicEnd, plan->musicRun->At(plan->musicRun->count() - 1).stop);
    if (!plan->hasVideo) plan->length = musicEnd;
    return groups == 0 ? E_INVALIDARG : S_OK;
}
