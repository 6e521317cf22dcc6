#pragma once
// The editing timeline: a tree of groups, tracks, sources and transitions that describes a show
// without touching media. Every call returns a status code; a FaultPlan attached at creation can
// make any of them fail (see fault_plan.h).
//
// Nodes are shared objects: the timeline keeps the groups it was given, a group its tracks, a
// track its sources and transitions. Interfaces are reached from a node with QueryInterface.
// Everything here is single-threaded: the thread that built a timeline owns it.

#include <memory>
#include <string>
#include <vector>

#include "platform/com/guid.h"
#include "platform/com/unknown.h"
#include "platform/timeline/fault_plan.h"
#include "platform/timeline/timeline_types.h"
#include "platform/timeline/track_run.h"

class IPropertySetter;
class IAMTimelineObj;
using TimelineObjPtr = std::shared_ptr<IAMTimelineObj>;

// Answers where a missing media file went; the program's is a file dialog, tests use a double.
class IMediaLocator {
public:
    virtual ~IMediaLocator() = default;
    // S_OK with *found set when the file was located, S_FALSE when it was not.
    virtual HRESULT FindMediaFile(const std::string& missing, std::string* found) = 0;
};

class IAMTimelineObj : public IUnknown {
public:
    static constexpr const char* kInterfaceName = "IAMTimelineObj";
    virtual HRESULT GetTimelineType(TIMELINE_MAJOR_TYPE* type) const = 0;
    // stop before start is E_INVALIDARG.
    virtual HRESULT SetStartStop(REFERENCE_TIME start, REFERENCE_TIME stop) = 0;
    virtual HRESULT GetStartStop(REFERENCE_TIME* start, REFERENCE_TIME* stop) const = 0;
    virtual HRESULT SetSubObjectGUID(const GUID& clsid) = 0;
    virtual HRESULT GetSubObjectGUID(GUID* clsid) const = 0;
    virtual HRESULT SetPropertySetter(std::shared_ptr<IPropertySetter> setter) = 0;
    // *setter is null (and the result S_FALSE) when none was set.
    virtual HRESULT GetPropertySetter(std::shared_ptr<IPropertySetter>* setter) const = 0;
};

class IAMTimelineGroup {
public:
    static constexpr const char* kInterfaceName = "IAMTimelineGroup";
    virtual ~IAMTimelineGroup() = default;
    virtual HRESULT SetMediaType(const AM_MEDIA_TYPE* type) = 0;
    virtual HRESULT GetMediaType(AM_MEDIA_TYPE* type) const = 0;
    virtual HRESULT SetOutputFPS(double fps) = 0;
    virtual HRESULT GetOutputFPS(double* fps) const = 0;
    virtual HRESULT SetPreviewMode(bool preview) = 0;
    virtual HRESULT GetPreviewMode(bool* preview) const = 0;
};

class IAMTimelineComp {
public:
    static constexpr const char* kInterfaceName = "IAMTimelineComp";
    virtual ~IAMTimelineComp() = default;
    // priority -1 appends after the tracks already there; a later track lies on top.
    virtual HRESULT VTrackInsBefore(const TimelineObjPtr& track, int priority) = 0;
    // The tracks held one by one; a run (below) follows them.
    virtual HRESULT VTrackGetCount(int* count) const = 0;
    virtual HRESULT GetVTrack(TimelineObjPtr* track, int priority) const = 0;
    // Appends a run of tracks made on demand after the tracks already there, whose priorities
    // follow theirs. One run per group, and no track can be inserted after it.
    virtual HRESULT VTrackAppendRun(std::shared_ptr<TrackRun> run) = 0;
    // The group's run, or null.
    virtual std::shared_ptr<const TrackRun> GetTrackRun() const = 0;
};

class IAMTimelineTrack {
public:
    static constexpr const char* kInterfaceName = "IAMTimelineTrack";
    virtual ~IAMTimelineTrack() = default;
    virtual HRESULT SrcAdd(const TimelineObjPtr& source) = 0;
    virtual HRESULT GetSourcesCount(int* count) const = 0;
    // Sources in start order.
    virtual HRESULT GetSrc(TimelineObjPtr* source, int index) const = 0;
};

class IAMTimelineTransable {
public:
    static constexpr const char* kInterfaceName = "IAMTimelineTransable";
    virtual ~IAMTimelineTransable() = default;
    virtual HRESULT TransAdd(const TimelineObjPtr& transition) = 0;
    virtual HRESULT GetCount(int* count) const = 0;
    virtual HRESULT GetTrans(TimelineObjPtr* transition, int index) const = 0;
};

// Effects on a source, in priority order. An effect's start and stop are relative to the start of
// the source it is on.
class IAMTimelineEffectable {
public:
    static constexpr const char* kInterfaceName = "IAMTimelineEffectable";
    virtual ~IAMTimelineEffectable() = default;
    // priority -1 appends after the effects already there.
    virtual HRESULT EffectInsBefore(const TimelineObjPtr& effect, int priority) = 0;
    virtual HRESULT EffectGetCount(int* count) const = 0;
    virtual HRESULT GetEffect(TimelineObjPtr* effect, int priority) const = 0;
};

class IAMTimelineSrc {
public:
    static constexpr const char* kInterfaceName = "IAMTimelineSrc";
    virtual ~IAMTimelineSrc() = default;
    virtual HRESULT SetMediaTimes(REFERENCE_TIME start, REFERENCE_TIME stop) = 0;
    virtual HRESULT GetMediaTimes(REFERENCE_TIME* start, REFERENCE_TIME* stop) const = 0;
    // UTF-8 path.
    virtual HRESULT SetMediaName(const std::string& name) = 0;
    virtual HRESULT GetMediaName(std::string* name) const = 0;
    virtual HRESULT SetStretchMode(int mode) = 0;
    virtual HRESULT GetStretchMode(int* mode) const = 0;
};

class IAMTimeline {
public:
    virtual ~IAMTimeline() = default;
    virtual HRESULT CreateEmptyNode(TimelineObjPtr* node, TIMELINE_MAJOR_TYPE type) = 0;
    virtual HRESULT AddGroup(const TimelineObjPtr& group) = 0;
    virtual HRESULT GetGroupCount(int* count) const = 0;
    virtual HRESULT GetGroup(TimelineObjPtr* group, int index) const = 0;
    // Checks every source's file (SFN_VALIDATEF_CHECK); with SFN_VALIDATEF_POPUP offers each
    // missing one, once per distinct name, to `locator` or else to the default locator; with
    // SFN_VALIDATEF_REPLACE a located file replaces the source's name. `notify` is unused.
    virtual HRESULT ValidateSourceNames(int flags, IMediaLocator* locator, long notify) = 0;
    // The locator used when ValidateSourceNames gets none; not owned, may be null.
    virtual void SetDefaultMediaLocator(IMediaLocator* locator) = 0;
    virtual const std::shared_ptr<FaultPlan>& Faults() const = 0;
};

// One named property with its values over time, as a transition's property setter holds it.
struct TimelineProperty {
    DEXTER_PARAM param;
    std::vector<DEXTER_VALUE> values;
};

class IPropertySetter {
public:
    virtual ~IPropertySetter() = default;
    // Adds param.nValues values read from `values`.
    virtual HRESULT AddProp(const DEXTER_PARAM& param, const DEXTER_VALUE* values) = 0;
    virtual const std::vector<TimelineProperty>& Properties() const = 0;
};

// CoCreateInstance(CLSID_AMTimeline): a new, empty timeline whose nodes consult `faults`.
HRESULT CreateTimeline(std::shared_ptr<FaultPlan> faults, std::shared_ptr<IAMTimeline>* timeline);
// CoCreateInstance(CLSID_PropertySetter).
HRESULT CreatePropertySetter(std::shared_ptr<FaultPlan> faults,
                             std::shared_ptr<IPropertySetter>* setter);
