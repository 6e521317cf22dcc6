#pragma once
// Windows Media profiles: which streams an ASF file holds and in which codec formats. The codec
// information lists the Windows Media encoders FFmpeg has (WMA 2 and 1, WMV 2 and 1) with their
// standard formats; the ASF writer encodes with what the profile names.
//
// Plain objects for one thread.

#include <memory>
#include <string>
#include <vector>

#include "platform/com/unknown.h"
#include "platform/timeline/timeline_types.h"

using WM_MEDIA_TYPE = AM_MEDIA_TYPE;

inline const GUID WMMEDIATYPE_Audio = MEDIATYPE_Audio;
inline const GUID WMMEDIATYPE_Video = MEDIATYPE_Video;
inline const GUID WMMEDIATYPE_Script = GuidFromLiteral("{73636D64-0000-0010-8000-00AA00389B71}");
inline const GUID WMFORMAT_WaveFormatEx = FORMAT_WaveFormatEx;
inline const GUID WMFORMAT_VideoInfo = FORMAT_VideoInfo;
inline const GUID WMFORMAT_Script = GuidFromLiteral("{5C8510F2-DEBE-4CA7-BBA5-F07A104F8DFF}");
inline const GUID WMSCRIPTTYPE_TwoStrings = GuidFromLiteral("{82F38A70-C29F-11D1-97AD-00A0C95EA850}");
inline const GUID CLSID_WMMutexBitrate = GuidFromLiteral("{D6E22A01-35DA-11D1-9034-00A0C90349BE}");

inline constexpr std::uint32_t WMT_VER_9_0 = 0x90000;
inline constexpr HRESULT NS_E_AUDIO_CODEC_NOT_INSTALLED = static_cast<HRESULT>(0xC00D0BC2u);
inline constexpr HRESULT NS_E_VIDEO_CODEC_NOT_INSTALLED = static_cast<HRESULT>(0xC00D0BC4u);
inline constexpr HRESULT NS_E_INVALID_PROFILE = static_cast<HRESULT>(0xC00D0BC6u);

#pragma pack(push, 1)
struct WAVEFORMATEX {
    std::uint16_t wFormatTag = 0;
    std::uint16_t nChannels = 0;
    std::uint32_t nSamplesPerSec = 0;
    std::uint32_t nAvgBytesPerSec = 0;
    std::uint16_t nBlockAlign = 0;
    std::uint16_t wBitsPerSample = 0;
    std::uint16_t cbSize = 0;  // extra bytes after the structure
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);

std::uint32_t MakeFourCC(const char code[4]);
// The wave format of an audio media type; false when the type holds none.
bool WaveFormatOf(const WM_MEDIA_TYPE& type, WAVEFORMATEX* format);

// One stream's configuration; also its media properties (IWMMediaProps, IWMVideoMediaProps).
class IWMStreamConfig : public virtual IUnknown {
public:
    static constexpr const char* kInterfaceName = "IWMStreamConfig";
    virtual HRESULT SetStreamNumber(int number) = 0;
    virtual HRESULT SetStreamName(const std::string& name) = 0;
    virtual HRESULT SetConnectionName(const std::string& name) = 0;
    virtual HRESULT SetBitrate(std::uint32_t bitrate) = 0;
    virtual int streamNumber() const = 0;
    virtual std::string streamName() const = 0;
    virtual std::string connectionName() const = 0;
    virtual std::uint32_t bitrate() const = 0;
    virtual GUID streamType() const = 0;
};

class IWMMediaProps : public virtual IUnknown {
public:
    static constexpr const char* kInterfaceName = "IWMMediaProps";
    virtual HRESULT GetMediaType(WM_MEDIA_TYPE* type) const = 0;
    virtual HRESULT SetMediaType(const WM_MEDIA_TYPE& type) = 0;
};

class IWMVideoMediaProps : public virtual IUnknown {
public:
    static constexpr const char* kInterfaceName = "IWMVideoMediaProps";
    virtual HRESULT SetQuality(int quality) = 0;
    virtual HRESULT SetMaxKeyFrameSpacing(REFERENCE_TIME spacing) = 0;
    virtual int quality() const = 0;
    virtual REFERENCE_TIME maxKeyFrameSpacing() const = 0;
};

class IWMMutualExclusion : public virtual IUnknown {
public:
    static constexpr const char* kInterfaceName = "IWMMutualExclusion";
    virtual HRESULT SetType(const GUID& type) = 0;
    virtual HRESULT AddStream(int number) = 0;
    virtual std::vector<int> streams() const = 0;
};

class IWMProfile : public virtual IUnknown {
public:
    static constexpr const char* kInterfaceName = "IWMProfile";
    virtual HRESULT SetName(const std::string& name) = 0;
    virtual std::string name() const = 0;
    virtual HRESULT CreateNewStream(const GUID& type, std::shared_ptr<IWMStreamConfig>* config) = 0;
    virtual HRESULT AddStream(const std::shared_ptr<IWMStreamConfig>& config) = 0;
    virtual HRESULT CreateNewMutualExclusion(std::shared_ptr<IWMMutualExclusion>* exclusion) = 0;
    virtual HRESULT AddMutualExclusion(const std::shared_ptr<IWMMutualExclusion>& exclusion) = 0;
    virtual std::vector<std::shared_ptr<IWMStreamConfig>> streams() const = 0;
    virtual std::vector<std::shared_ptr<IWMMutualExclusion>> exclusions() const = 0;
};

class IWMCodecInfo : public virtual IUnknown {
public:
    static constexpr const char* kInterfaceName = "IWMCodecInfo";
    virtual HRESULT GetCodecInfoCount(const GUID& type, int* count) const = 0;
    virtual HRESULT GetCodecFormatCount(const GUID& type, int codec, int* count) const = 0;
    // A new stream configuration of that codec in that format.
    virtual HRESULT GetCodecFormat(const GUID& type, int codec, int format,
                                   std::shared_ptr<IWMStreamConfig>* config) const = 0;
};

class IWMProfileManager : public virtual IUnknown {
public:
    static constexpr const char* kInterfaceName = "IWMProfileManager";
    virtual HRESULT CreateEmptyProfile(std::uint32_t version, std::shared_ptr<IWMProfile>* profile) = 0;
    virtual HRESULT LoadProfileByData(const std::string& data, std::shared_ptr<IWMProfile>* profile) = 0;
};

// The profile manager; it also answers for IWMCodecInfo (FFmpeg's Windows Media encoders, or
// `codecInfo` when given: tests hand in one of their own).
HRESULT WMCreateProfileManager(std::shared_ptr<FaultPlan> faults, std::shared_ptr<IWMProfileManager>* manager,
                               std::shared_ptr<IWMCodecInfo> codecInfo = nullptr);
// FFmpeg's Windows Media encoders as codec information.
std::shared_ptr<IWMCodecInfo> FfmpegWindowsMediaCodecs(std::shared_ptr<FaultPlan> faults);
std::shared_ptr<IWMStreamConfig> MakeStreamConfig(std::shared_ptr<FaultPlan> faults, const GUID& type,
                                                  const WM_MEDIA_TYPE& mediaType);
