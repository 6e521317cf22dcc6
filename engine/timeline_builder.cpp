#include "engine/timeline_builder.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

#include "engine/song_analysis.h"
#include "engine/time_arithmetic.h"
#include "engine/transition_catalogue.h"
#include "lang/language.h"
#include "platform/com/failure_texts.h"
#include "platform/media/media_duration.h"
#include "engine/motion_aiming.h"
#include "engine/photo_faces.h"
#include "platform/render/compose/photo_motion.h"
#include "platform/render/text/text_effects.h"
#include "platform/timeline/song_shape.h"

namespace {

AM_MEDIA_TYPE VideoGroupType(int width, int height) {
    AM_MEDIA_TYPE mt;
    mt.majortype = MEDIATYPE_Video;
    mt.subtype = MEDIASUBTYPE_RGB24;
    mt.formattype = FORMAT_VideoInfo;
    mt.bFixedSizeSamples = 1;
    mt.bTemporalCompression = 0;
    VIDEOINFOHEADER vih;
    BITMAPINFOHEADER& bmi = vih.bmiHeader;
    bmi.biSize = sizeof(BITMAPINFOHEADER);
    bmi.biWidth = width;
    bmi.biHeight = height;
    bmi.biPlanes = 1;
    bmi.biBitCount = 24;
    bmi.biCompression = BI_RGB;
    std::int64_t rowBytes = (static_cast<std::int64_t>(width) * 24 + 31) / 32 * 4;
    bmi.biSizeImage = static_cast<std::uint32_t>(rowBytes * std::abs(static_cast<std::int64_t>(height)));
    mt.lSampleSize = bmi.biSizeImage;
    mt.format.resize(sizeof vih);
    std::memcpy(mt.format.data(), &vih, sizeof vih);
    return mt;
}

VARIANT Real(double value) {
    VARIANT v;
    v.vt = VT_R8;
    v.dblVal = value;
    return v;
}

constexpr std::int32_t kTransitionPhotoTimes = 310;

std::string Seconds3(double seconds) {
    char text[64];
    std::snprintf(text, sizeof text, "%.3f", seconds);
    return text;
}

// "Transition time should be less than", then a line naming the photo and the two times compared:
// its transition and its time on screen (its duration, less what its neighbours' transitions and
// the show's end take).
std::string TransitionTooLongText(std::size_t position, const PhotoItem& photo, std::int64_t transitionMs,
                                  std::int64_t spanMs) {
    const std::string line = FilledText(theLanguage.GetString(kTransitionPhotoTimes).c_str(),
                                        {std::to_string(position + 1),
                                         std::filesystem::path(photo.path).filename().string(),
                                         Seconds3(transitionMs / 1000.0), Seconds3(spanMs / 1000.0)});
    return "Transition time should be less than\n" + line;
}

AM_MEDIA_TYPE AudioGroupType() {
    AM_MEDIA_TYPE mt;
    mt.majortype = MEDIATYPE_Audio;
    mt.bFixedSizeSamples = 1;
    mt.lSampleSize = 1;
    return mt;
}

class Builder {
public:
    Builder(SlideshowProject& project, const TimelineBuildEnv& env,
            std::shared_ptr<IAMTimeline> timeline)
        : project_(project), env_(env), timeline_(std::move(timeline)) {}

    void Build() {
        double length = 0;
        for (const PhotoItem& photo : project_.photos()) length += photo.durationSec;
        project_.setShowLengthSec(length);
        for (const PhotoItem& photo : project_.photos())
            captions_.push_back(CaptionOf(photo, project_.captionStyle(), env_.dateWords));
        PlanMotions();
        if (project_.photoCount() > 0) BuildVideoGroup();
        if (project_.musicCount() > 0) BuildAudioGroup();
        timeline_->ValidateSourceNames(
            SFN_VALIDATEF_CHECK | SFN_VALIDATEF_POPUP | SFN_VALIDATEF_REPLACE, nullptr, 0);
    }

private:
    void PlanMotions() {
        const auto& photos = project_.photos();
        if (env_.facesOf == nullptr) {
            std::vector<std::string> paths;
            for (const PhotoItem& photo : photos)
                if (AimsAtFaces(photo, project_.defaults())) paths.push_back(photo.path);
            FindFacesOfAll(paths);
        }
        const MotionContext context = MotionContextOf(project_, env_.facesOf ? env_.facesOf : FacesOf(FacesOfFile));
        MotionKind previous = MotionKind::None;
        for (std::size_t i = 0; i < photos.size(); ++i) {
            motions_.push_back(MotionOfPhoto(photos[i], static_cast<int>(i), context, previous));
            previous = motions_.back().kind;
        }
    }

    HRESULT Report(const char* text, HRESULT hr) {
        env_.boxes.AppMessage(text);
        return hr;
    }

    HRESULT NewNode(TIMELINE_MAJOR_TYPE type, TimelineObjPtr* node) {
        return timeline_->CreateEmptyNode(node, type);
    }

    HRESULT BuildVideoGroup() {
        TimelineObjPtr groupObj;
        HRESULT hr = NewNode(TIMELINE_MAJOR_TYPE_GROUP, &groupObj);
        if (FAILED(hr)) return Report("Could not create empty node", hr);
        std::shared_ptr<IAMTimelineGroup> group;
        if (HRESULT fault = CheckFault(env_.faults, "CoTaskMemAlloc"); FAILED(fault)) {
            return E_OUTOFMEMORY;
        }
        AM_MEDIA_TYPE mt = VideoGroupType(project_.output().width, project_.output().height);
        hr = QueryInterface(groupObj, &group);
        if (SUCCEEDED(hr)) hr = group->SetMediaType(&mt);
        if (FAILED(hr)) return Report("Could not pVideoGroup->SetMediaType(&mtGroup)", hr);
        hr = group->SetOutputFPS(kTimelineFps);
        if (FAILED(hr)) return Report("Could not SetOutputFPS", hr);
        hr = timeline_->AddGroup(groupObj);
        if (FAILED(hr)) return Report("Could not add video group", hr);
        hr = SetGroupProperties(groupObj);
        if (FAILED(hr)) return Report("Could not set the framing", hr);
        PlacePhotos(groupObj);
        return S_OK;
    }

    bool UsesText() const {
        for (std::size_t i = 0; i < captions_.size(); ++i) {
            if (!captions_[i].text.empty() || project_.photos()[i].IsTitle()) return true;
        }
        return false;
    }

    // The framing, when it is not Fit, and the caption style, when a photo has a caption or title.
    HRESULT SetGroupProperties(const TimelineObjPtr& groupObj) {
        const Framing framing = project_.defaults().framing;
        const bool text = UsesText();
        if (framing == Framing::Fit && !text) return S_OK;
        std::shared_ptr<IPropertySetter> setter;
        HRESULT hr = CreatePropertySetter(timeline_->Faults(), &setter);
        if (SUCCEEDED(hr) && framing != Framing::Fit) hr = AddText(setter, kFramingProperty, FramingName(framing));
        if (SUCCEEDED(hr) && text) hr = AddCaptionStyle(setter, project_.captionStyle());
        if (SUCCEEDED(hr)) hr = groupObj->SetPropertySetter(setter);
        return hr;
    }

    HRESULT AddCaptionStyle(const std::shared_ptr<IPropertySetter>& setter, const CaptionStyle& style) {
        const std::string colour = ColourName(style.colour);
        HRESULT hr = AddText(setter, kCaptionFontProperty, style.font.c_str());
        if (SUCCEEDED(hr)) hr = AddReal(setter, kCaptionSizeProperty, style.size);
        if (SUCCEEDED(hr)) hr = AddText(setter, kCaptionColourProperty, colour.c_str());
        if (SUCCEEDED(hr)) hr = AddText(setter, kCaptionBackingProperty, CaptionBackingName(style.backing));
        if (SUCCEEDED(hr))
            hr = AddText(setter, kCaptionMotionProperty, style.movesWithPhoto ? "with-photo" : "still");
        if (SUCCEEDED(hr)) hr = AddText(setter, kCaptionOutputProperty, CaptionOutputName(style.output));
        if (SUCCEEDED(hr) && !env_.subtitleLanguage.empty())
            hr = AddText(setter, kSubtitleLanguageProperty, env_.subtitleLanguage.c_str());
        return hr;
    }

    static HRESULT AddText(const std::shared_ptr<IPropertySetter>& setter, const char* name, const char* text) {
        DEXTER_VALUE value = TextValue(text);
        return setter->AddProp({name, 0, 1}, &value);
    }

    static HRESULT AddInteger(const std::shared_ptr<IPropertySetter>& setter, const char* name, int number) {
        DEXTER_VALUE value;
        value.v.vt = VT_I4;
        value.v.lVal = number;
        return setter->AddProp({name, 0, 1}, &value);
    }

    static HRESULT AddReal(const std::shared_ptr<IPropertySetter>& setter, const char* name, double number) {
        DEXTER_VALUE value;
        value.v = Real(number);
        return setter->AddProp({name, 0, 1}, &value);
    }

    // An effect of class `clsid` over the whole source, its properties set by `fill`.
    template <class Fill>
    HRESULT AddSourceEffect(const TimelineObjPtr& srcObj, const CLSID& clsid, REFERENCE_TIME length, Fill&& fill) {
        TimelineObjPtr effectObj;
        std::shared_ptr<IPropertySetter> setter;
        std::shared_ptr<IAMTimelineEffectable> effectable;
        HRESULT hr = NewNode(TIMELINE_MAJOR_TYPE_EFFECT, &effectObj);
        if (SUCCEEDED(hr)) hr = effectObj->SetSubObjectGUID(clsid);
        if (SUCCEEDED(hr)) hr = effectObj->SetStartStop(0, length);
        if (SUCCEEDED(hr)) hr = CreatePropertySetter(timeline_->Faults(), &setter);
        if (SUCCEEDED(hr)) hr = fill(setter);
        if (SUCCEEDED(hr)) hr = effectObj->SetPropertySetter(setter);
        if (SUCCEEDED(hr)) hr = QueryInterface(srcObj, &effectable);
        if (SUCCEEDED(hr)) hr = effectable->EffectInsBefore(effectObj, -1);
        return hr;
    }

    HRESULT AddTitle(const TimelineObjPtr& srcObj, const TitleCard& card, REFERENCE_TIME length) {
        const HRESULT hr = AddSourceEffect(srcObj, CLSID_KavrelTitleCard, length, [&](const auto& setter) {
            const std::string colour = ColourName(card.colour), background = ColourName(card.backgroundColour);
            HRESULT r = AddText(setter, kTextProperty, card.text.c_str());
            if (SUCCEEDED(r)) r = AddText(setter, kFontProperty, card.font.c_str());
            if (SUCCEEDED(r)) r = AddReal(setter, kSizeProperty, card.size);
            if (SUCCEEDED(r)) r = AddText(setter, kColourProperty, colour.c_str());
            if (SUCCEEDED(r)) r = AddText(setter, kAlignProperty, TextAlignName(card.align));
            if (SUCCEEDED(r)) r = AddText(setter, kBackgroundProperty, TitleBackgroundName(card.background));
            if (SUCCEEDED(r)) r = AddText(setter, kBackgroundColourProperty, background.c_str());
            return r;
        });
        return FAILED(hr) ? Report("Could not add the title card", hr) : S_OK;
    }

    HRESULT AddCaption(const TimelineObjPtr& srcObj, const Caption& caption, REFERENCE_TIME length) {
        const HRESULT hr = AddSourceEffect(srcObj, CLSID_KavrelCaption, length, [&](const auto& setter) {
            HRESULT r = AddText(setter, kTextProperty, caption.text.c_str());
            if (SUCCEEDED(r)) r = AddText(setter, kPlaceProperty, CaptionPlaceName(caption.place));
            return r;
        });
        return FAILED(hr) ? Report("Could not add the caption", hr) : S_OK;
    }

    static DEXTER_VALUE TextValue(const char* text) {
        DEXTER_VALUE value;
        value.v.vt = VT_BSTR;
        value.v.bstrVal = text;
        return value;
    }

    // The photo's motion: an effect over the source's whole time, leaving and entering included.
    HRESULT AddMotion(const TimelineObjPtr& srcObj, const PhotoMotion& motion, REFERENCE_TIME length) {
        const HRESULT hr = AddSourceEffect(srcObj, CLSID_KavrelPanZoom, length, [&](const auto& setter) {
            HRESULT r = AddText(setter, kMotionProperty, MotionKindName(motion.kind));
            if (SUCCEEDED(r)) r = AddReal(setter, kAmountProperty, motion.amount);
            if (SUCCEEDED(r)) r = AddText(setter, kEasingProperty, EasingName(motion.eased));
            if (SUCCEEDED(r) && motion.framing) r = AddText(setter, kFramingProperty, FramingName(*motion.framing));
            if (SUCCEEDED(r) && motion.HasViews()) {
                r = AddText(setter, kFromProperty, PhotoRectText(*motion.from).c_str());
                if (SUCCEEDED(r)) r = AddText(setter, kToProperty, PhotoRectText(*motion.to).c_str());
            }
            if (SUCCEEDED(r) && motion.facesLeftOut > 0) r = AddInteger(setter, kFacesLeftOutProperty, motion.facesLeftOut);
            return r;
        });
        return FAILED(hr) ? Report("Could not add the photo's motion", hr) : S_OK;
    }

    void PlacePhotos(const TimelineObjPtr& groupObj) {
        const auto& photos = project_.photos();
        double total = project_.showLengthSec() * 1000;
        std::int64_t c = TruncateToInt64(-(photos[0].transitionDurationSec * 1000 * 0.5));
        for (std::size_t i = 0; i < photos.size(); ++i) {
            std::int64_t d = Milliseconds(photos[i].durationSec);
            std::int64_t x = Milliseconds(photos[i].transitionDurationSec);
            std::int64_t stop = c + x + d;
            if (static_cast<double>(stop) > total) stop = TruncateToInt64(total);
            std::int64_t start = c >= 0 ? c : 0;
            PlacePhoto(groupObj, i, start, stop, x);
            c = stop - x;
        }
    }

    HRESULT PlacePhoto(const TimelineObjPtr& groupObj, std::size_t position, std::int64_t start,
                       std::int64_t stop, std::int64_t x) {
        const PhotoItem& photo = project_.photos()[position];
        TimelineObjPtr trackObj;
        HRESULT hr = NewNode(TIMELINE_MAJOR_TYPE_TRACK, &trackObj);
        if (FAILED(hr)) return Report("Could not create empty track", hr);
        std::shared_ptr<IAMTimelineComp> comp;
        hr = QueryInterface(groupObj, &comp);
        if (SUCCEEDED(hr)) hr = comp->VTrackInsBefore(trackObj, -1);
        if (FAILED(hr)) return Report("Could not insert track", hr);

        TimelineObjPtr srcObj;
        hr = NewNode(TIMELINE_MAJOR_TYPE_SOURCE, &srcObj);
        if (FAILED(hr)) return Report("Could not create the timeline source", hr);
        const REFERENCE_TIME startRt = start * kUnitsPerMillisecond;
        const REFERENCE_TIME stopRt = stop * kUnitsPerMillisecond;
        std::shared_ptr<IAMTimelineSrc> src;
        hr = QueryInterface(srcObj, &src);
        if (SUCCEEDED(hr)) hr = srcObj->SetStartStop(startRt, stopRt);
        if (SUCCEEDED(hr)) hr = src->SetMediaTimes(0, stopRt - startRt);
        if (SUCCEEDED(hr)) hr = src->SetMediaName(photo.path);
        if (SUCCEEDED(hr)) hr = src->SetStretchMode(RESIZEF_PRESERVEASPECTRATIO);
        if (FAILED(hr)) return Report("Could not configure media source", E_FAIL);
        if (NeedsMotionEffect(motions_[position])) AddMotion(srcObj, motions_[position], stopRt - startRt);
        if (photo.title) AddTitle(srcObj, *photo.title, stopRt - startRt);
        if (!captions_[position].text.empty()) AddCaption(srcObj, captions_[position], stopRt - startRt);

        std::shared_ptr<IAMTimelineTrack> track;
        hr = QueryInterface(trackObj, &track);
        if (SUCCEEDED(hr)) hr = track->SrcAdd(srcObj);
        if (FAILED(hr)) return Report("Could not add source to track", hr);

        if ((stop - start - x) * kUnitsPerMillisecond < 0) {
            env_.boxes.AppMessage(TransitionTooLongText(position, photo, x, stop - start));
            return S_OK;
        }
        REFERENCE_TIME transStart = std::max<REFERENCE_TIME>(startRt, 0);
        REFERENCE_TIME transStop =
            std::min(startRt + x * kUnitsPerMillisecond,
                     TruncateToInt64(project_.showLengthSec() * kUnitsPerSecond));
        return AddTransition(trackObj, photo.transition, transStart, transStop);
    }

    HRESULT AddTransition(const TimelineObjPtr& trackObj, int index, REFERENCE_TIME start,
                          REFERENCE_TIME stop) {
        TransitionEffectInfo effect = TransitionEffectFor(index);
        if (!effect.insert) return S_OK;
        TimelineObjPtr transObj;
        HRESULT hr = NewNode(TIMELINE_MAJOR_TYPE_TRANSITION, &transObj);
        if (FAILED(hr)) return Report("Could not CreateEmptyNode TIMELINE_MAJOR_TYPE_TRANSITION", hr);
        hr = transObj->SetSubObjectGUID(effect.clsid);
        if (FAILED(hr)) return Report("Could not SetSubObjectGUID", hr);
        hr = transObj->SetStartStop(start, stop);
        if (FAILED(hr)) return Report("Could not SetStartStop(TLTranStart, TLTranStop);", hr);
        std::shared_ptr<IAMTimelineTransable> transable;
        hr = QueryInterface(trackObj, &transable);
        if (FAILED(hr)) return Report("Could not get *pTransable", hr);
        hr = transable->TransAdd(transObj);
        if (FAILED(hr)) return Report("Could not TransAdd(pTransObj)", hr);
        if (effect.maskNum && index >= 17 && index < kTransitionCount) {
            return SetMaskNum(transObj, *effect.maskNum);
        }
        return S_OK;
    }

    HRESULT SetMaskNum(const TimelineObjPtr& transObj, std::int32_t maskNum) {
        std::shared_ptr<IPropertySetter> setter;
        HRESULT hr = CreatePropertySetter(timeline_->Faults(), &setter);
        if (SUCCEEDED(hr)) {
            DEXTER_PARAM param{"MaskNum", 0, 1};
            DEXTER_VALUE value{VARIANT::FromInt32(maskNum), 0, DEXTERF_JUMP};
            hr = setter->AddProp(param, &value);
        }
        if (SUCCEEDED(hr)) hr = transObj->SetPropertySetter(setter);
        if (FAILED(hr)) return Report("Could not SetPropertySetter", hr);
        return S_OK;
    }

    HRESULT BuildAudioGroup() {
        TimelineObjPtr groupObj;
        HRESULT hr = NewNode(TIMELINE_MAJOR_TYPE_GROUP, &groupObj);
        if (FAILED(hr)) return Report("Could not create pAudioGroupObj", hr);
        std::shared_ptr<IAMTimelineGroup> group;
        AM_MEDIA_TYPE mt = AudioGroupType();
        hr = QueryInterface(groupObj, &group);
        if (SUCCEEDED(hr)) hr = group->SetMediaType(&mt);
        if (FAILED(hr)) return Report("Could not set AudioGroupType", hr);
        hr = timeline_->AddGroup(groupObj);
        if (FAILED(hr)) return Report("Could not add audio group", hr);
        PlaceMusic(groupObj);
        return FadeOutMusic(groupObj);
    }

    // The volume envelope of the fade-out over the last seconds of the show (all of it when the
    // show is shorter); none when the fade is 0.
    HRESULT FadeOutMusic(const TimelineObjPtr& groupObj) {
        const REFERENCE_TIME end = TruncateToInt64(project_.showLengthSec() * kUnitsPerSecond);
        const REFERENCE_TIME fade = TruncateToInt64(project_.musicFadeOutSec() * kUnitsPerSecond);
        if (fade <= 0 || end <= 0) return S_OK;
        const REFERENCE_TIME begin = std::max<REFERENCE_TIME>(end - fade, 0);
        std::vector<DEXTER_VALUE> keys{{Real(1.0), 0, DEXTERF_JUMP},
                                       {Real(1.0), begin, DEXTERF_JUMP}};
        for (int k = 1; k <= kFadeOutSteps; ++k) {
            const double left = 1.0 - static_cast<double>(k) / kFadeOutSteps;
            keys.push_back({Real(left * left), begin + (end - begin) * k / kFadeOutSteps,
                            DEXTERF_INTERPOLATE});
        }
        std::shared_ptr<IPropertySetter> setter;
        HRESULT hr = CreatePropertySetter(timeline_->Faults(), &setter);
        if (SUCCEEDED(hr)) {
            hr = setter->AddProp({kVolumeProperty, 0, static_cast<std::int32_t>(keys.size())}, keys.data());
        }
        if (SUCCEEDED(hr)) hr = groupObj->SetPropertySetter(setter);
        if (FAILED(hr)) return Report("Could not SetPropertySetter", hr);
        return S_OK;
    }

    // Each song's placements, in time order, with what it sounds like: its gain, its fade-in, and
    // a crossfade over the join with the song before and the song after where both are long enough.
    void PlaceMusic(const TimelineObjPtr& groupObj) {
        const REFERENCE_TIME end = TruncateToInt64(project_.showLengthSec() * kUnitsPerSecond);
        lengths_ = PlayedLengths(project_.music());
        join_ = MusicJoin(lengths_, project_.musicMix().joinSec);
        for (const MusicItem& item : project_.music())
            gains_.push_back(SongGainDb(item, project_.musicMix(), env_.levelOf ? env_.levelOf : LevelOfSong));
        const MusicLoop loop = PlanMusicLoop(lengths_, end, kMusicTracksListed, join_);
        for (std::size_t k = 0; k < loop.placed.size(); ++k) {
            const MusicPlacement& p = loop.placed[k];
            const std::optional<std::size_t> before = k > 0 ? std::optional(loop.placed[k - 1].item) : std::nullopt;
            std::optional<std::size_t> after;
            if (k + 1 < loop.placed.size()) after = loop.placed[k + 1].item;
            else if (loop.repeats) after = loop.passItems.front();
            if (p.stop == end) after.reset();
            PlaceMusicItem(groupObj, p.item, p.start, p.stop, ShapeOf(p.item, before, after));
        }
        if (loop.repeats) PlaceMusicRun(groupObj, loop, end);
    }

    SongShape ShapeOf(std::size_t item, std::optional<std::size_t> before, std::optional<std::size_t> after) const {
        SongShape shape;
        shape.gainDb = gains_[item];
        shape.fadeIn = TruncateToInt64(project_.music()[item].song.fadeInSec * kUnitsPerSecond);
        if (before && Crossfades(lengths_[*before], lengths_[item], join_)) shape.joinIn = join_;
        if (after && Crossfades(lengths_[item], lengths_[*after], join_)) shape.joinOut = join_;
        return shape;
    }

    HRESULT PlaceMusicRun(const TimelineObjPtr& groupObj, const MusicLoop& loop, REFERENCE_TIME end) {
        std::vector<RunItem> pattern;
        const std::vector<std::size_t>& items = loop.passItems;
        for (std::size_t k = 0; k < items.size(); ++k) {
            const MusicItem& item = project_.music()[items[k]];
            const std::size_t before = items[(k + items.size() - 1) % items.size()];
            const std::size_t after = items[(k + 1) % items.size()];
            pattern.push_back({item.path, loop.passOffsets[k], lengths_[items[k]], item.song.trimStart,
                               ShapeOf(items[k], before, after)});
        }
        std::shared_ptr<IAMTimelineComp> comp;
        HRESULT hr = QueryInterface(groupObj, &comp);
        if (SUCCEEDED(hr)) {
            hr = comp->VTrackAppendRun(std::make_shared<TrackRun>(std::move(pattern), loop.nextPass, loop.period, end));
        }
        if (FAILED(hr)) return Report("Could not insert pTrack3Obj", hr);
        return S_OK;
    }

    HRESULT PlaceMusicItem(const TimelineObjPtr& groupObj, std::size_t index, REFERENCE_TIME s,
                           REFERENCE_TIME e, const SongShape& shape) {
        const MusicItem& item = project_.music()[index];
        TimelineObjPtr trackObj;
        HRESULT hr = NewNode(TIMELINE_MAJOR_TYPE_TRACK, &trackObj);
        if (FAILED(hr)) return Report("Could not create pTrack3Obj", hr);
        std::shared_ptr<IAMTimelineComp> comp;
        hr = QueryInterface(groupObj, &comp);
        if (SUCCEEDED(hr)) hr = comp->VTrackInsBefore(trackObj, -1);
        if (FAILED(hr)) return Report("Could not insert pTrack3Obj", hr);
        TimelineObjPtr srcObj;
        hr = NewNode(TIMELINE_MAJOR_TYPE_SOURCE, &srcObj);
        if (FAILED(hr)) return Report("Could not create the pSource3Obj", hr);
        srcObj->SetStartStop(s, e);  // its result is not looked at
        std::shared_ptr<IAMTimelineSrc> src;
        hr = QueryInterface(srcObj, &src);
        if (SUCCEEDED(hr)) hr = src->SetMediaTimes(item.song.trimStart, item.song.trimStart + e - s);
        if (FAILED(hr)) return Report("Could not set audio start and eng time!", E_FAIL);
        hr = src->SetMediaName(item.path);
        if (FAILED(hr)) return Report("Could not configure pSource3Src", E_FAIL);
        if (const auto properties = SongProperties(shape); !properties.empty()) {
            hr = AddSourceEffect(srcObj, CLSID_KavrelSong, e - s, [&](const auto& setter) {
                HRESULT r = S_OK;
                for (const auto& [name, value] : properties) {
                    if (SUCCEEDED(r)) r = AddReal(setter, name, value);
                }
                return r;
            });
            if (FAILED(hr)) return Report("Could not shape the song's sound", hr);
        }
        std::shared_ptr<IAMTimelineTrack> track;
        hr = QueryInterface(trackObj, &track);
        if (SUCCEEDED(hr)) hr = track->SrcAdd(srcObj);
        if (FAILED(hr)) return Report("Could not add pSource3Obj to track", hr);
        return S_OK;
    }

    SlideshowProject& project_;
    std::vector<REFERENCE_TIME> lengths_;  // each song as played, within its trim
    std::vector<double> gains_;            // each song's gain, dB
    REFERENCE_TIME join_ = kMusicOverlap;
    std::vector<Caption> captions_;  // each photo's, as shown
    std::vector<PhotoMotion> motions_;  // each photo's, as drawn
    const TimelineBuildEnv& env_;
    std::shared_ptr<IAMTimeline> timeline_;
};

}  // namespace

HRESULT BuildTimeline(SlideshowProject& project, const TimelineBuildEnv& env,
                      std::shared_ptr<IAMTimeline>* timeline) {
    timeline->reset();
    std::shared_ptr<IAMTimeline> created;
    HRESULT hr = CreateTimeline(env.faults, &created);
    if (FAILED(hr)) {
        env.boxes.Show({MessageOwner::MainWindow, "Could not create timeline", "Error",
                        MessageButtons::Ok, MessageIcon::None});
        return hr;
    }
    created->SetDefaultMediaLocator(env.locator);
    Builder(project, env, created).Build();
    *timeline = std::move(created);
    return S_OK;
}

REFERENCE_TIME MeasureMediaDuration(const std::string& path,
                                    const std::shared_ptr<FaultPlan>& faults) {
    if (FAILED(CheckFault(faults, "CoCreateInstance(CLSID_FilterGraph)"))) return 0;
    if (FAILED(CheckFault(faults, "IGraphBuilder::RenderFile"))) return -1;
    return ProbeMediaDuration(path);
}

bool ShowHasAPicture(const std::vector<PhotoItem>& photos) {
    // A frame is 1001/24000 s: 41.7 ms, so a photo of 42 whole milliseconds holds a frame's start.
    constexpr std::int64_t kFrameMs = 42;
    return std::any_of(photos.begin(), photos.end(),
                       [](const PhotoItem& p) { return Milliseconds(p.durationSec) >= kFrameMs; });
}
