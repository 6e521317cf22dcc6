#include "platform/codecs/wm_profile.h"

#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
}

std::uint32_t MakeFourCC(const char c[4]) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(c[0])) |
           static_cast<std::uint32_t>(static_cast<unsigned char>(c[1])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(c[2])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(c[3])) << 24;
}

bool WaveFormatOf(const WM_MEDIA_TYPE& type, WAVEFORMATEX* format) {
    if (type.formattype != WMFORMAT_WaveFormatEx || type.format.size() < sizeof(WAVEFORMATEX)) return false;
    std::memcpy(format, type.format.data(), sizeof(WAVEFORMATEX));
    return true;
}

namespace {

class StreamConfig final : public IWMStreamConfig, public IWMMediaProps, public IWMVideoMediaProps {
public:
    StreamConfig(std::shared_ptr<FaultPlan> faults, GUID type, WM_MEDIA_TYPE mt)
        : faults_(std::move(faults)), type_(type), mediaType_(std::move(mt)) {}
    const std::shared_ptr<FaultPlan>& Faults() const override { return faults_; }
    HRESULT SetStreamNumber(int n) override { return Set("SetStreamNumber", [&] { number_ = n; }); }
    HRESULT SetStreamName(const std::string& n) override { return Set("SetStreamName", [&] { name_ = n; }); }
    HRESULT SetConnectionName(const std::string& n) override {
        return Set("SetConnectionName", [&] { connection_ = n; });
    }
    HRESULT SetBitrate(std::uint32_t b) override { return Set("SetBitrate", [&] { bitrate_ = b; }); }
    int streamNumber() const override { return number_; }
    std::string streamName() const override { return name_; }
    std::string connectionName() const override { return connection_; }
    std::uint32_t bitrate() const override { return bitrate_; }
    GUID streamType() const override { return type_; }
    HRESULT GetMediaType(WM_MEDIA_TYPE* type) const override {
        *type = mediaType_;
        return S_OK;
    }
    HRESULT SetMediaType(const WM_MEDIA_TYPE& type) override {
        return Set("IWMMediaProps::SetMediaType", [&] { mediaType_ = type; });
    }
    HRESULT SetQuality(int q) override { return Set("SetQuality", [&] { quality_ = q; }); }
    HRESULT SetMaxKeyFrameSpacing(REFERENCE_TIME s) override {
        return Set("SetMaxKeyFrameSpacing", [&] { keySpacing_ = s; });
    }
    int quality() const override { return quality_; }
    REFERENCE_TIME maxKeyFrameSpacing() const override { return keySpacing_; }

private:
    template <class F>
    HRESULT Set(const char* call, F&& apply) {
        if (HRESULT hr = CheckFault(faults_, std::string("IWMStreamConfig::") + call); FAILED(hr)) return hr;
        apply();
        return S_OK;
    }
    std::shared_ptr<FaultPlan> faults_;
    GUID type_;
    WM_MEDIA_TYPE mediaType_;
    int number_ = 0, quality_ = 0;
    std::string name_, connection_;
    std::uint32_t bitrate_ = 0;
    REFERENCE_TIME keySpacing_ = 0;
};

class MutualExclusion final : public IWMMutualExclusion {
public:
    explicit MutualExclusion(std::shared_ptr<FaultPlan> f) : faults_(std::move(f)) {}
    const std::shared_ptr<FaultPlan>& Faults() const override { return faults_; }
    HRESULT SetType(const GUID& t) override {
        type_ = t;
        return S_OK;
    }
    HRESULT AddStream(int n) override {
        streams_.push_back(n);
        return S_OK;
    }
    std::vector<int> streams() const override { return streams_; }

private:
    std::shared_ptr<FaultPlan> faults_;
    GUID type_;
    std::vector<int> streams_;
};

class Profile final : public IWMProfile {
public:
    explicit Profile(std::shared_ptr<FaultPlan> f) : faults_(std::move(f)) {}
    const std::shared_ptr<FaultPlan>& Faults() const override { return faults_; }
    HRESULT SetName(const std::string& n) override {
        if (HRESULT hr = CheckFault(faults_, "IWMProfile::SetName"); FAILED(hr)) return hr;
        name_ = n;
        return S_OK;
    }
    std::string name() const override { return name_; }
    HRESULT CreateNewStream(const GUID& type, std::shared_ptr<IWMStreamConfig>* config) override {
        if (HRESULT hr = CheckFault(faults_, "IWMProfile::CreateNewStream"); FAILED(hr)) return hr;
        WM_MEDIA_TYPE mt;
        mt.majortype = type;
        *config = MakeStreamConfig(faults_, type, mt);
        return S_OK;
    }
    HRESULT AddStream(const std::shared_ptr<IWMStreamConfig>& config) override {
        if (HRESULT hr = CheckFault(faults_, "IWMProfile::AddStream"); FAILED(hr)) return hr;
        if (!config) return E_POINTER;
        for (const auto& s : streams_) {
            if (s->streamNumber() == config->streamNumber()) return NS_E_INVALID_PROFILE;
        }
        streams_.push_back(config);
        return S_OK;
    }
    HRESULT CreateNewMutualExclusion(std::shared_ptr<IWMMutualExclusion>* e) override {
        if (HRESULT hr = CheckFault(faults_, "IWMProfile::CreateNewMutualExclusion"); FAILED(hr)) return hr;
        *e = std::make_shared<MutualExclusion>(faults_);
        return S_OK;
    }
    HRESULT AddMutualExclusion(const std::shared_ptr<IWMMutualExclusion>& e) override {
        if (HRESULT hr = CheckFault(faults_, "IWMProfile::AddMutualExclusion"); FAILED(hr)) return hr;
        exclusions_.push_back(e);
        return S_OK;
    }
    std::vector<std::shared_ptr<IWMStreamConfig>> streams() const override { return streams_; }
    std::vector<std::shared_ptr<IWMMutualExclusion>> exclusions() const override { return exclusions_; }

private:
    std::shared_ptr<FaultPlan> faults_;
    std::string name_;
    std::vector<std::shared_ptr<IWMStreamConfig>> streams_;
    std::vector<std::shared_ptr<IWMMutualExclusion>> exclusions_;
};

WM_MEDIA_TYPE AudioType(std::uint16_t tag, std::uint32_t rate, std::uint16_t channels, std::uint32_t bitrate,
                        std::uint16_t blockAlign) {
    WM_MEDIA_TYPE mt;
    mt.majortype = WMMEDIATYPE_Audio;
    mt.subtype = GuidFromLiteral("{00000000-0000-0010-8000-00AA00389B71}");
    mt.subtype.data1 = tag;
    mt.bFixedSizeSamples = 1;
    mt.lSampleSize = blockAlign;
    mt.formattype = WMFORMAT_WaveFormatEx;
    WAVEFORMATEX w;
    w.wFormatTag = tag;
    w.nChannels = channels;
    w.nSamplesPerSec = rate;
    w.nAvgBytesPerSec = bitrate / 8;
    w.nBlockAlign = blockAlign;
    w.cbSize = 10;  // WMA keeps its decoder settings here
    mt.format.resize(sizeof w + w.cbSize);
    std::memcpy(mt.format.data(), &w, sizeof w);
    return mt;
}

WM_MEDIA_TYPE VideoType(const char fourcc[4]) {
    WM_MEDIA_TYPE mt;
    mt.majortype = WMMEDIATYPE_Video;
    mt.formattype = WMFORMAT_VideoInfo;
    mt.bTemporalCompression = 1;
    VIDEOINFOHEADER vih;
    vih.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    vih.bmiHeader.biWidth = 320;
    vih.bmiHeader.biHeight = 240;
    vih.bmiHeader.biPlanes = 1;
    vih.bmiHeader.biBitCount = 24;
    vih.bmiHeader.biCompression = MakeFourCC(fourcc);
    mt.subtype = GuidFromLiteral("{00000000-0000-0010-8000-00AA00389B71}");
    mt.subtype.data1 = vih.bmiHeader.biCompression;
    mt.format.resize(sizeof vih);
    std::memcpy(mt.format.data(), &vih, sizeof vih);
    return mt;
}

// FFmpeg's Windows Media encoders at the rates they take; the block alignment is the WMA frame
// (2048 samples) at the bitrate, as FFmpeg's encoder makes it.
class FfmpegCodecInfo final : public IWMCodecInfo {
public:
    explicit FfmpegCodecInfo(std::shared_ptr<FaultPlan> f) : faults_(std::move(f)) {
        for (auto [name, tag] : {std::pair{"wmav2", 0x161}, std::pair{"wmav1", 0x160}}) {
            if (avcodec_find_encoder_by_name(name) == nullptr) continue;
            std::vector<WM_MEDIA_TYPE> formats;
            for (std::uint32_t rate : {44100u, 48000u, 32000u, 22050u}) {
                for (std::uint16_t channels : {std::uint16_t{2}, std::uint16_t{1}}) {
                    for (std::uint32_t kbps : {320u, 192u, 160u, 128u, 96u, 64u, 48u, 32u}) {
                        std::uint32_t bitrate = kbps * 1000;
                        auto block = static_cast<std::uint16_t>(std::uint64_t(bitrate) * 2048 / (rate * 8));
                        formats.push_back(AudioType(static_cast<std::uint16_t>(tag), rate, channels, bitrate, block));
                    }
                }
            }
            audio_.push_back(std::move(formats));
        }
        for (auto [name, fourcc] : {std::pair{"wmv2", "WMV2"}, std::pair{"wmv1", "WMV1"}}) {
            if (avcodec_find_encoder_by_name(name) != nullptr) video_.push_back({VideoType(fourcc)});
        }
    }
    const std::shared_ptr<FaultPlan>& Faults() const override { return faults_; }
    HRESULT GetCodecInfoCount(const GUID& type, int* count) const override {
        *count = static_cast<int>(List(type).size());
        return S_OK;
    }
    HRESULT GetCodecFormatCount(const GUID& type, int codec, int* count) const override {
        const auto& list = List(type);
        if (codec < 0 || codec >= static_cast<int>(list.size())) return E_INVALIDARG;
        *count = static_cast<int>(list[static_cast<std::size_t>(codec)].size());
        return S_OK;
    }
    HRESULT GetCodecFormat(const GUID& type, int codec, int format,
                           std::shared_ptr<IWMStreamConfig>* config) const override {
        const auto& list = List(type);
        if (codec < 0 || codec >= static_cast<int>(list.size())) return E_INVALIDARG;
        const auto& formats = list[static_cast<std::size_t>(codec)];
        if (format < 0 || format >= static_cast<int>(formats.size())) return E_INVALIDARG;
        *config = MakeStreamConfig(faults_, type, formats[static_cast<std::size_t>(format)]);
        return S_OK;
    }

private:
    const std::vector<std::vector<WM_MEDIA_TYPE>>& List(const GUID& type) const {
        static const std::vector<std::vector<WM_MEDIA_TYPE>> kNone;
        return type == WMMEDIATYPE_Audio ? audio_ : type == WMMEDIATYPE_Video ? video_ : kNone;
    }
    std::shared_ptr<FaultPlan> faults_;
    std::vector<std::vector<WM_MEDIA_TYPE>> audio_, video_;
};

class ProfileManager final : public IWMProfileManager, public IWMCodecInfo {
public:
    ProfileManager(std::shared_ptr<FaultPlan> f, std::shared_ptr<IWMCodecInfo> info)
        : faults_(std::move(f)), info_(std::move(info)) {}
    const std::shared_ptr<FaultPlan>& Faults() const override { return faults_; }
    HRESULT CreateEmptyProfile(std::uint32_t, std::shared_ptr<IWMProfile>* profile) override {
        if (HRESULT hr = CheckFault(faults_, "IWMProfileManager::CreateEmptyProfile"); FAILED(hr)) return hr;
        *profile = std::make_shared<Profile>(faults_);
        return S_OK;
    }
    HRESULT LoadProfileByData(const std::string&, std::shared_ptr<IWMProfile>*) override {
        return NS_E_INVALID_PROFILE;  // no stored profiles exist here
    }
    HRESULT GetCodecInfoCount(const GUID& t, int* n) const override { return info_->GetCodecInfoCount(t, n); }
    HRESULT GetCodecFormatCount(const GUID& t, int c, int* n) const override {
        return info_->GetCodecFormatCount(t, c, n);
    }
    HRESULT GetCodecFormat(const GUID& t, int c, int f, std::shared_ptr<IWMStreamConfig>* s) const override {
        return info_->GetCodecFormat(t, c, f, s);
    }

private:
    std::shared_ptr<FaultPlan> faults_;
    std::shared_ptr<IWMCodecInfo> info_;
};

}  // namespace

std::shared_ptr<IWMStreamConfig> MakeStreamConfig(std::shared_ptr<FaultPlan> faults, const GUID& type,
                                                  const WM_MEDIA_TYPE& mediaType) {
    return std::make_shared<StreamConfig>(std::move(faults), type, mediaType);
}

std::shared_ptr<IWMCodecInfo> FfmpegWindowsMediaCodecs(std::shared_ptr<FaultPlan> faults) {
    return std::make_shared<FfmpegCodecInfo>(std::move(faults));
}

HRESULT WMCreateProfileManager(std::shared_ptr<FaultPlan> faults, std::shared_ptr<IWMProfileManager>* manager,
                               std::shared_ptr<IWMCodecInfo> codecInfo) {
    if (HRESULT hr = CheckFault(faults, "WMCreateProfileManager"); FAILED(hr)) return hr;
    if (!codecInfo) codecInfo = FfmpegWindowsMediaCodecs(faults);
    *manager = std::make_shared<ProfileManager>(std::move(faults), std::move(codecInfo));
    return S_OK;
}
