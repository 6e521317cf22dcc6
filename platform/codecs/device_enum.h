#pragma once
// The installed compressors, as a system device enumerator lists them: the FFmpeg encoders that
// open for the category's probe format (video: 352 × 240; audio: 44100 Hz stereo), in a stable
// order. Friendly names are "long name (codec name)"; the MPEG-4 part 2 encoder reads as DivX
// compatible and adpcm_ms as Microsoft ADPCM, so the program's defaults find them. What opens is
// found out once per process.

#include <memory>
#include <string>
#include <vector>

#include "platform/com/guid.h"
#include "platform/com/unknown.h"
#include "platform/render/filter_graph.h"

inline const GUID CLSID_VideoCompressorCategory = GuidFromLiteral("{33D9A760-90C8-11D0-BD43-00A0C911CE86}");
inline const GUID CLSID_AudioCompressorCategory = GuidFromLiteral("{33D9A761-90C8-11D0-BD43-00A0C911CE86}");

class IMoniker : public virtual IUnknown {
public:
    static constexpr const char* kInterfaceName = "IMoniker";
    // The device's "FriendlyName" (BindToStorage + IPropertyBag::Read).
    virtual HRESULT ReadFriendlyName(std::string* name) const = 0;
    virtual HRESULT BindToObject(std::shared_ptr<IBaseFilter>* filter) const = 0;
};

class ICreateDevEnum : public virtual IUnknown {
public:
    static constexpr const char* kInterfaceName = "ICreateDevEnum";
    // S_FALSE and no devices for an empty category.
    virtual HRESULT CreateClassEnumerator(const GUID& category,
                                          std::vector<std::shared_ptr<IMoniker>>* devices) const = 0;
};

HRESULT CreateSystemDeviceEnum(std::shared_ptr<FaultPlan> faults, std::shared_ptr<ICreateDevEnum>* devEnum);

struct CompressorDevice {
    std::string friendlyName;
    EncoderChoice choice;  // the encoder and its starting settings
};
// The devices of a category (empty for an unknown one).
const std::vector<CompressorDevice>& CompressorDevices(const GUID& category);
