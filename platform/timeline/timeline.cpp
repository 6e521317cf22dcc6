#include "platform/timeline/timeline.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <unordered_set>

#include "platform/shell/file_probe.h"

namespace {

using FaultsPtr = std::shared_ptr<FaultPlan>;

class NodeBase : public IAMTimelineObj {
public:
    NodeBase(TIMELINE_MAJOR_TYPE type, FaultsPtr faults) : type_(type), faults_(std::move(faults)) {}

    HRESULT GetTimelineType(TIMELINE_MAJOR_TYPE* type) const override {
        if (type == nullptr) return E_POINTER;
        *type = type_;
        return S_OK;
    }
    HRESULT SetStartStop(REFERENCE_TIME start, REFERENCE_TIME stop) override {
        if (HRESULT hr = Fault("IAMTimelineObj::SetStartStop"); FAILED(hr)) return hr;
        if (stop < start) return E_INVALIDARG;
        start_ = start;
        stop_ = stop;
        return S_OK;
    }
    HRESULT GetStartStop(REFERENCE_TIME* start, REFERENCE_TIME* stop) const override {
        if (start == nullptr || stop == nullptr) return E_POINTER;
        *start = start_;
        *stop = stop_;
        return S_OK;
    }
    HRESULT SetSubObjectGUID(const GUID& clsid) override {
        if (HRESULT hr = Fault("IAMTimelineObj::SetSubObjectGUID"); FAILED(hr)) return hr;
        subObject_ = clsid;
        return S_OK;
    }
    HRESULT GetSubObjectGUID(GUID* clsid) const override {
        if (clsid == nullptr) return E_POINTER;
        *clsid = subObject_;
        return S_OK;
    }
    HRESULT SetPropertySetter(std::shared_ptr<IPropertySetter> setter) override {
        if (HRESULT hr = Fault("IAMTimelineObj::SetPropertySetter"); FAILED(hr)) return hr;
        setter_ = std::move(setter);
        return S_OK;
    }
    HRESULT GetPropertySetter(std::shared_ptr<IPropertySetter>* setter) const override {
        if (setter == nullptr) return E_POINTER;
        *setter = setter_;
        return setter_ ? S_OK : S_FALSE;
    }
    const FaultsPtr& Faults() const override { return faults_; }

protected:
    HRESULT Fault(std::string_view call) const { return CheckFault(faults_, call); }

private:
    TIMELINE_MAJOR_TYPE type_;
    FaultsPtr faults_;
    REFERENCE_TIME start_ = 0;
    REFERENCE_TIME stop_ = 0;
    GUID subObject_;
    std::shared_ptr<IPropertySetter> setter_;
};

bool IsType(const TimelineObjPtr& node, TIMELINE_MAJOR_TYPE wanted) {
    TIMELINE_MAJOR_TYPE type{};
    return node && SUCCEEDED(node->GetTimelineType(&type)) && type == wanted;
}

// Keeps children ordered by start time, later insertions after earlier ones of equal start.
void InsertByStart(std::vector<TimelineObjPtr>& list, const TimelineObjPtr& node) {
    REFERENCE_TIME start = 0, stop = 0;
    node->GetStartStop(&start, &stop);
    auto at = std::upper_bound(list.begin(), list.end(), start,
                               [](REFERENCE_TIME s, const TimelineObjPtr& other) {
                                   REFERENCE_TIME os = 0, oe = 0;
                                   other->GetStartStop(&os, &oe);
                                   return s < os;
                               });
    list.insert(at, node);
}

HRESULT GetAt(const std::vector<TimelineObjPtr>& list, int index, TimelineObjPtr* out) {
    if (out == nullptr) return E_POINTER;
    if (index < 0 || index >= static_cast<int>(list.size())) return E_INVALIDARG;
    *out = list[static_cast<std::size_t>(index)];
    return S_OK;
}

HRESULT GetSize(const std::vector<TimelineObjPtr>& list, int* count) {
    if (count == nullptr) return E_POINTER;
    *count = static_cast<int>(list.size());
    return S_OK;
}

class GroupNode final : public NodeBase, public IAMTimelineGroup, public IAMTimelineComp {
public:
    explicit GroupNode(FaultsPtr faults) : NodeBase(TIMELINE_MAJOR_TYPE_GROUP, std::move(faults)) {}

    HRESULT SetMediaType(const AM_MEDIA_TYPE* type) override {
        if (HRESULT hr = Fault("IAMTimelineGroup::SetMediaType"); FAILED(hr)) return hr;
        if (type == nullptr) return E_POINTER;
        mediaType_ = *type;
        return S_OK;
    }
    HRESULT GetMediaType(AM_MEDIA_TYPE* type) const override {
        if (type == nullptr) return E_POINTER;
        *type = mediaType_;
        return S_OK;
    }
    HRESULT SetOutputFPS(double fps) override {
        if (HRESULT hr = Fault("IAMTimelineGroup::SetOutputFPS"); FAILED(hr)) return hr;
        if (!(fps > 0)) return E_INVALIDARG;
        fps_ = fps;
        return S_OK;
    }
    HRESULT GetOutputFPS(double* fps) const override {
        if (fps == nullptr) return E_POINTER;
        *fps = fps_;
        return S_OK;
    }
    HRESULT SetPreviewMode(bool preview) override {
        if (HRESULT hr = Fault("IAMTimelineGroup::SetPreviewMode"); FAILED(hr)) return hr;
        preview_ = preview;
        return S_OK;
    }
    HRESULT GetPreviewMode(bool* preview) const override {
        if (preview == nullptr) return E_POINTER;
        *preview = preview_;
        return S_OK;
    }
    HRESULT VTrackInsBefore(const TimelineObjPtr& track, int priority) override {
        if (HRESULT hr = Fault("IAMTimelineComp::VTrackInsBefore"); FAILED(hr)) return hr;
        if (!IsType(track, TIMELINE_MAJOR_TYPE_TRACK)) return E_INVALIDARG;
        if (!held_.insert(track.get()).second) return E_INVALIDARG;
        if (priority < 0 || priority >= static_cast<int>(tracks_.size())) {
            if (run_) {
                held_.erase(track.get());
                return E_UNEXPECTED;
            }
            tracks_.push_back(track);
        } else {
            tracks_.insert(tracks_.begin() + priority, track);
        }
        return S_OK;
    }
    HRESULT VTrackGetCount(int* count) const override { return GetSize(tracks_, count); }
    HRESULT GetVTrack(TimelineObjPtr* track, int priority) const override {
        return GetAt(tracks_, priority, track);
    }
    HRESULT VTrackAppendRun(std::shared_ptr<TrackRun> run) override {
        if (HRESULT hr = Fault("IAMTimelineComp::VTrackAppendRun"); FAILED(hr)) return hr;
        if (!run) return E_POINTER;
        if (run_) return E_UNEXPECTED;
        run_ = std::move(run);
        return S_OK;
    }
    std::shared_ptr<const TrackRun> GetTrackRun() const override { return run_; }
    TrackRun* MutableRun() { return run_.get(); }

private:
    AM_MEDIA_TYPE mediaType_;
    double fps_ = 15.0;
    bool preview_ = true;
    std::vector<TimelineObjPtr> tracks_;
    std::unordered_set<const IAMTimelineObj*> held_;  // tracks_ as a set: appending stays O(1)
    std::shared_ptr<TrackRun> run_;
};

class TrackNode final : public NodeBase, public IAMTimelineTrack, public IAMTimelineTransable {
public:
    explicit TrackNode(FaultsPtr faults) : NodeBase(TIMELINE_MAJOR_TYPE_TRACK, std::move(faults)) {}

    HRESULT SrcAdd(const TimelineObjPtr& source) override {
        if (HRESULT hr = Fault("IAMTimelineTrack::SrcAdd"); FAILED(hr)) return hr;
        if (!IsType(source, TIMELINE_MAJOR_TYPE_SOURCE)) return E_INVALIDARG;
        InsertByStart(sources_, source);
        return S_OK;
    }
    HRESULT GetSourcesCount(int* count) const override { return GetSize(sources_, count); }
    HRESULT GetSrc(TimelineObjPtr* source, int index) const override {
        return GetAt(sources_, index, source);
    }
    HRESULT TransAdd(const TimelineObjPtr& transition) override {
        if (HRESULT hr = Fault("IAMTimelineTransable::TransAdd"); FAILED(hr)) return hr;
        if (!IsType(transition, TIMELINE_MAJOR_TYPE_TRANSITION)) return E_INVALIDARG;
        InsertByStart(transitions_, transition);
        return S_OK;
    }
    HRESULT GetCount(int* count) const override { return GetSize(transitions_, count); }
    HRESULT GetTrans(TimelineObjPtr* transition, int index) const override {
        return GetAt(transitions_, index, transition);
    }

private:
    std::vector<TimelineObjPtr> sources_;
    std::vector<TimelineObjPtr> transitions_;
};

class SourceNode final : public NodeBase, public IAMTimelineSrc, public IAMTimelineEffectable {
public:
    explicit SourceNode(FaultsPtr faults)
        : NodeBase(TIMELINE_MAJOR_TYPE_SOURCE, std::move(faults)) {}

    HRESULT SetMediaTimes(REFERENCE_TIME start, REFERENCE_TIME stop) override {
        if (HRESULT hr = Fault("IAMTimelineSrc::SetMediaTimes"); FAILED(hr)) return hr;
        if (stop < start) return E_INVALIDARG;
        mediaStart_ = start;
        mediaStop_ = stop;
        return S_OK;
    }
    HRESULT GetMediaTimes(REFERENCE_TIME* start, REFERENCE_TIME* stop) const override {
        if (start == nullptr || stop == nullptr) return E_POINTER;
        *start = mediaStart_;
        *stop = mediaStop_;
        return S_OK;
    }
    HRESULT SetMediaName(const std::string& name) override {
        if (HRESULT hr = Fault("IAMTimelineSrc::SetMediaName"); FAILED(hr)) return hr;
        name_ = name;
        return S_OK;
    }
    HRESULT GetMediaName(std::string* name) const override {
        if (name == nullptr) return E_POINTER;
        *name = name_;
        return S_OK;
    }
    HRESULT SetStretchMode(int mode) override {
        if (HRESULT hr = Fault("IAMTimelineSrc::SetStretchMode"); FAILED(hr)) return hr;
        if (mode < RESIZEF_STRETCH || mode > RESIZEF_PRESERVEASPECTRATIO_NOLETTERBOX) {
            return E_INVALIDARG;
        }
        stretchMode_ = mode;
        return S_OK;
    }
    HRESULT GetStretchMode(int* mode) const override {
        if (mode == nullptr) return E_POINTER;
        *mode = stretchMode_;
        return S_OK;
    }
    HRESULT EffectInsBefore(const TimelineObjPtr& effect, int priority) override {
        if (HRESULT hr = Fault("IAMTimelineEffectable::EffectInsBefore"); FAILED(hr)) return hr;
        if (!IsType(effect, TIMELINE_MAJOR_TYPE_EFFECT)) return E_INVALIDARG;
        if (std::find(effects_.begin(), effects_.end(), effect) != effects_.end()) return E_INVALIDARG;
        const bool append = priority < 0 || priority >= static_cast<int>(effects_.size());
        effects_.insert(append ? effects_.end() : effects_.begin() + priority, effect);
        return S_OK;
    }
    HRESULT EffectGetCount(int* count) const override { return GetSize(effects_, count); }
    HRESULT GetEffect(TimelineObjPtr* effect, int priority) const override {
        return GetAt(effects_, priority, effect);
    }

private:
    REFERENCE_TIME mediaStart_ = 0;
    REFERENCE_TIME mediaStop_ = 0;
    std::string name_;
    int stretchMode_ = RESIZEF_STRETCH;
    std::vector<TimelineObjPtr> effects_;
};

class TransitionNode final : public NodeBase {
public:
    explicit TransitionNode(FaultsPtr faults)
        : NodeBase(TIMELINE_MAJOR_TYPE_TRANSITION, std::move(faults)) {}
};

class EffectNode final : public NodeBase {
public:
    explicit EffectNode(FaultsPtr faults) : NodeBase(TIMELINE_MAJOR_TYPE_EFFECT, std::move(faults)) {}
};

class PropertySetter final : public IPropertySetter {
public:
    explicit PropertySetter(FaultsPtr faults) : faults_(std::move(faults)) {}

    HRESULT AddProp(const DEXTER_PARAM& param, const DEXTER_VALUE* values) override {
        if (HRESULT hr = CheckFault(faults_, "IPropertySetter::AddProp"); FAILED(hr)) return hr;
        if (param.Name.empty() || param.nValues < 1) return E_INVALIDARG;
        if (values == nullptr) return E_POINTER;
        properties_.push_back({param, std::vector<DEXTER_VALUE>(values, values + param.nValues)});
        return S_OK;
    }
    const std::vector<TimelineProperty>& Properties() const override { return properties_; }

private:
    FaultsPtr faults_;
    std::vector<TimelineProperty> properties_;
};

class Timeline final : public IAMTimeline {
public:
    explicit Timeline(FaultsPtr faults) : faults_(std::move(faults)) {}

    HRESULT CreateEmptyNode(TimelineObjPtr* node, TIMELINE_MAJOR_TYPE type) override {
        if (node == nullptr) return E_POINTER;
        node->reset();
        std::string call = std::string("IAMTimeline::CreateEmptyNode(") +
                           TimelineMajorTypeName(type) + ")";
        if (HRESULT hr = CheckFault(faults_, call); FAILED(hr)) return hr;
        switch (type) {
            case TIMELINE_MAJOR_TYPE_GROUP: *node = std::make_shared<GroupNode>(faults_); break;
            case TIMELINE_MAJOR_TYPE_TRACK: *node = std::make_shared<TrackNode>(faults_); break;
            case TIMELINE_MAJOR_TYPE_SOURCE: *node = std::make_shared<SourceNode>(faults_); break;
            case TIMELINE_MAJOR_TYPE_TRANSITION:
                *node = std::make_shared<TransitionNode>(faults_);
                break;
            case TIMELINE_MAJOR_TYPE_EFFECT: *node = std::make_shared<EffectNode>(faults_); break;
            default: return E_INVALIDARG;
        }
        return S_OK;
    }
    HRESULT AddGroup(const TimelineObjPtr& group) override {
        if (HRESULT hr = CheckFault(faults_, "IAMTimeline::AddGroup"); FAILED(hr)) return hr;
        if (!IsType(group, TIMELINE_MAJOR_TYPE_GROUP)) return E_INVALIDARG;
        if (std::find(groups_.begin(), groups_.end(), group) != groups_.end()) return E_INVALIDARG;
        groups_.push_back(group);
        return S_OK;
    }
    HRESULT GetGroupCount(int* count) const override { return GetSize(groups_, count); }
    HRESULT GetGroup(TimelineObjPtr* group, int index) const override {
        return GetAt(groups_, index, group);
    }
    HRESULT ValidateSourceNames(int flags, IMediaLocator* locator, long /*notify*/) override {
        if (HRESULT hr = CheckFault(faults_, "IAMTimeline::ValidateSourceNames"); FAILED(hr)) {
            return hr;
        }
        if ((flags & SFN_VALIDATEF_CHECK) == 0) return S_OK;
        NameCheck check{flags, locator != nullptr ? locator : defaultLocator_, {}, {}};
        ForEachSource([&](IAMTimelineSrc& src) {
            std::string name;
            src.GetMediaName(&name);
            if (const std::string* found = check.Located(name)) src.SetMediaName(*found);
        });
        ForEachRun([&](TrackRun& run) {
            for (RunItem& item : run.pattern()) {
                if (const std::string* found = check.Located(item.name)) item.name = *found;
            }
        });
        return S_OK;
    }
    void SetDefaultMediaLocator(IMediaLocator* locator) override { defaultLocator_ = locator; }
    const FaultsPtr& Faults() const override { return faults_; }

private:
    // Each distinct name is looked at once: a looped sound may be placed a million times.
    struct NameCheck {
        int flags;
        IMediaLocator* use;
        std::set<std::string> present;
        std::map<std::string, std::string> located;  // missing name -> answer ("" = not found)

        // The file that replaces `name`, or null when it stays.
        const std::string* Located(const std::string& name) {
            if (name.empty() || present.count(name) != 0) return nullptr;  // a title card without a photo
            if (FileCanBeOpenedForReading(name)) {
                present.insert(name);
                return nullptr;
            }
            if ((flags & SFN_VALIDATEF_POPUP) == 0 || use == nullptr) return nullptr;
            auto known = located.find(name);
            if (known == located.end()) {
                std::string found;
                if (use->FindMediaFile(name, &found) != S_OK) found.clear();
                known = located.emplace(name, found).first;
            }
            if (known->second.empty() || (flags & SFN_VALIDATEF_REPLACE) == 0) return nullptr;
            return &known->second;
        }
    };

    template <class F>
    void ForEachRun(F&& visit) const {
        for (const auto& groupObj : groups_) {
            auto group = std::dynamic_pointer_cast<GroupNode>(groupObj);
            if (group && group->MutableRun() != nullptr) visit(*group->MutableRun());
        }
    }

    template <class F>
    void ForEachSource(F&& visit) const {
        for (const auto& groupObj : groups_) {
            auto comp = std::dynamic_pointer_cast<IAMTimelineComp>(groupObj);
            int tracks = 0;
            comp->VTrackGetCount(&tracks);
            for (int t = 0; t < tracks; ++t) {
                TimelineObjPtr trackObj;
                comp->GetVTrack(&trackObj, t);
                auto track = std::dynamic_pointer_cast<IAMTimelineTrack>(trackObj);
                int sources = 0;
                track->GetSourcesCount(&sources);
                for (int s = 0; s < sources; ++s) {
                    TimelineObjPtr srcObj;
                    track->GetSrc(&srcObj, s);
                    visit(*std::dynamic_pointer_cast<IAMTimelineSrc>(srcObj));
                }
            }
        }
    }

    FaultsPtr faults_;
    std::vector<TimelineObjPtr> groups_;
    IMediaLocator* defaultLocator_ = nullptr;
};

}  // namespace

HRESULT CreateTimeline(std::shared_ptr<FaultPlan> faults, std::shared_ptr<IAMTimeline>* timeline) {
    if (timeline == nullptr) return E_POINTER;
    timeline->reset();
    if (HRESULT hr = CheckFault(faults, "CoCreateInstance(CLSID_AMTimeline)"); FAILED(hr)) {
        return hr;
    }
    *timeline = std::make_shared<Timeline>(std::move(faults));
    return S_OK;
}

HRESULT CreatePropertySetter(std::shared_ptr<FaultPlan> faults,
                             std::shared_ptr<IPropertySetter>* setter) {
    if (setter == nullptr) return E_POINTER;
    setter->reset();
    if (HRESULT hr = CheckFault(faults, "CoCreateInstance(CLSID_PropertySetter)"); FAILED(hr)) {
        return hr;
    }
    *setter = std::make_shared<PropertySetter>(std::move(faults));
    return S_OK;
}
