#include "engine/wm_profile_generator.h"

#include <cstdlib>
#include <cstring>

namespace {

HRESULT SetUpStream(IWMStreamConfig& config, int number, const char* name, const char* connection,
                    std::uint32_t bitrate, const WM_MEDIA_TYPE& type) {
    HRESULT hr = config.SetStreamNumber(number);
    if (SUCCEEDED(hr)) hr = config.SetStreamName(name);
    if (SUCCEEDED(hr)) hr = config.SetConnectionName(connection);
    if (SUCCEEDED(hr)) hr = config.SetBitrate(bitrate);
    if (SUCCEEDED(hr)) {
        auto props = dynamic_cast<IWMMediaProps*>(&config);
        hr = props ? props->SetMediaType(type) : E_NOINTERFACE;
    }
    return hr;
}

IWMCodecInfo* CodecInfoOf(IWMProfileManager& manager) { return dynamic_cast<IWMCodecInfo*>(&manager); }

HRESULT AddAudio(IWMProfileManager& manager, IWMProfile& profile, const AudioParams& a, bool videoPresent) {
    IWMCodecInfo* info = CodecInfoOf(manager);
    if (info == nullptr) return E_NOINTERFACE;
    int codecs = 0;
    info->GetCodecInfoCount(WMMEDIATYPE_Audio, &codecs);
    bool found = false;
    WM_MEDIA_TYPE kept;
    WAVEFORMATEX keptFormat;
    for (int c = 0; c < codecs; ++c) {
        int formats = 0;
        info->GetCodecFormatCount(WMMEDIATYPE_Audio, c, &formats);
        for (int f = 0; f < formats; ++f) {
            std::shared_ptr<IWMStreamConfig> config;
            if (FAILED(info->GetCodecFormat(WMMEDIATYPE_Audio, c, f, &config))) continue;
            WM_MEDIA_TYPE mt;
            std::dynamic_pointer_cast<IWMMediaProps>(config)->GetMediaType(&mt);
            WAVEFORMATEX w;
            if (!WaveFormatOf(mt, &w)) return E_FAIL;
            // Within ±249 bits a second, in 32-bit arithmetic as the profile tools compute it.
            std::int32_t difference = static_cast<std::int32_t>(w.nAvgBytesPerSec * 8u) - a.bitrate;
            bool candidate = std::abs(difference) <= 249 && static_cast<std::int32_t>(w.nSamplesPerSec) == a.sampleRate &&
                             w.nChannels == a.channels && w.wFormatTag == a.formatTag;
            if (!candidate) continue;
            // With video the smallest block alignment wins, without it the largest; later ties win.
            bool better = !found || (videoPresent ? w.nBlockAlign <= keptFormat.nBlockAlign
                                                  : w.nBlockAlign >= keptFormat.nBlockAlign);
            if (better) {
                found = true;
                kept = mt;
                keptFormat = w;
            }
        }
    }
    if (!found) return NS_E_AUDIO_CODEC_NOT_INSTALLED;
    WM_MEDIA_TYPE type;
    type.majortype = WMMEDIATYPE_Audio;
    type.subtype = GuidFromLiteral("{00000000-0000-0010-8000-00AA00389B71}");
    type.subtype.data1 = keptFormat.wFormatTag;
    type.bFixedSizeSamples = 1;
    type.bTemporalCompression = 0;
    type.lSampleSize = keptFormat.nBlockAlign;
    type.formattype = WMFORMAT_WaveFormatEx;
    type.format.assign(kept.format.begin(), kept.format.begin() + std::min<std::size_t>(kept.format.size(), 18 + keptFormat.cbSize));
    std::shared_ptr<IWMStreamConfig> stream;
    HRESULT hr = profile.CreateNewStream(WMMEDIATYPE_Audio, &stream);
    if (SUCCEEDED(hr)) hr = SetUpStream(*stream, 1, "Audio Stream", "Audio", keptFormat.nAvgBytesPerSec * 8, type);
    if (SUCCEEDED(hr)) hr = profile.AddStream(stream);
    return hr;
}

// The first format of the codec information with that FourCC, as a stream configuration.
std::shared_ptr<IWMStreamConfig> FindVideoFormat(IWMCodecInfo& info, std::uint32_t fourcc, WM_MEDIA_TYPE* type) {
    int codecs = 0;
    info.GetCodecInfoCount(WMMEDIATYPE_Video, &codecs);
    for (int c = 0; c < codecs; ++c) {
        int formats = 0;
        info.GetCodecFormatCount(WMMEDIATYPE_Video, c, &formats);
        for (int f = 0; f < formats; ++f) {
            std::shared_ptr<IWMStreamConfig> config;
            if (FAILED(info.GetCodecFormat(WMMEDIATYPE_Video, c, f, &config))) continue;
            auto props = std::dynamic_pointer_cast<IWMVideoMediaProps>(config);
            if (!props) continue;
            std::dynamic_pointer_cast<IWMMediaProps>(config)->GetMediaType(type);
            VIDEOINFOHEADER vih;
            if (type->GetVideoInfo(&vih) && vih.bmiHeader.biCompression == fourcc) return config;
        }
    }
    return nullptr;
}

HRESULT AddVideo(IWMProfileManager& manager, IWMProfile& profile, const VideoParams& v, int number) {
    IWMCodecInfo* info = CodecInfoOf(manager);
    if (info == nullptr) return E_NOINTERFACE;
    WM_MEDIA_TYPE type;
    std::shared_ptr<IWMStreamConfig> config = FindVideoFormat(*info, v.fourcc, &type);
    // No encoder for WMV3 exists here: the nearest Windows Media formats stand in for it.
    for (const char* fallback : {"WMV2", "WMV1"}) {
        if (config || v.fourcc != MakeFourCC("WMV3")) break;
        config = FindVideoFormat(*info, MakeFourCC(fallback), &type);
    }
    if (!config) return NS_E_VIDEO_CODEC_NOT_INSTALLED;
    VIDEOINFOHEADER vih;
    type.GetVideoInfo(&vih);
    vih.rcSource.right = vih.rcTarget.right = vih.bmiHeader.biWidth = v.width;
    vih.rcSource.bottom = vih.rcTarget.bottom = vih.bmiHeader.biHeight = v.height;
    vih.dwBitRate = static_cast<std::uint32_t>(v.bitrate);
    vih.AvgTimePerFrame = v.fps > 0 ? 10'000'000 / v.fps : 0;
    std::memcpy(type.format.data(), &vih, sizeof vih);
    auto props = std::dynamic_pointer_cast<IWMVideoMediaProps>(config);
    HRESULT hr = props->SetQuality(v.quality);
    if (SUCCEEDED(hr)) hr = props->SetMaxKeyFrameSpacing(static_cast<REFERENCE_TIME>(v.keyFrameSeconds) * 10'000'000);
    if (SUCCEEDED(hr)) hr = SetUpStream(*config, number, "Video Stream", "Video", static_cast<std::uint32_t>(v.bitrate), type);
    if (SUCCEEDED(hr)) hr = profile.AddStream(config);
    return hr;
}

HRESULT AddScript(IWMProfile& profile, std::uint32_t bitrate, int number) {
    std::shared_ptr<IWMStreamConfig> stream;
    HRESULT hr = profile.CreateNewStream(WMMEDIATYPE_Script, &stream);
    if (FAILED(hr)) return hr;
    WM_MEDIA_TYPE type;
    type.majortype = WMMEDIATYPE_Script;
    type.formattype = WMFORMAT_Script;
    type.format.resize(16);
    std::memcpy(type.format.data(), &WMSCRIPTTYPE_TwoStrings, 16);
    hr = SetUpStream(*stream, number, "Script Stream", "Script", bitrate, type);
    if (SUCCEEDED(hr)) hr = profile.AddStream(stream);
    return hr;
}

}  // namespace

HRESULT GenerateProfile(IWMProfileManager& manager, const AudioParams* audio,
                        std::optional<std::uint32_t> scriptBitrate, int videoCount,
                        const VideoParams* videos, std::uint32_t version,
                        std::shared_ptr<IWMProfile>* result) {
    if (audio == nullptr || result == nullptr || videoCount > 63 || videoCount < 0 ||
        (videoCount > 0 && videos == nullptr)) {
        return E_INVALIDARG;
    }
    std::shared_ptr<IWMProfile> profile;
    HRESULT hr = manager.CreateEmptyProfile(version, &profile);
    if (SUCCEEDED(hr)) hr = profile->SetName("Custom Profile");
    if (SUCCEEDED(hr)) hr = AddAudio(manager, *profile, *audio, videoCount > 0);
    for (int k = 0; k < videoCount && SUCCEEDED(hr); ++k) hr = AddVideo(manager, *profile, videos[k], k + 2);
    if (SUCCEEDED(hr) && videoCount > 1) {
        std::shared_ptr<IWMMutualExclusion> exclusion;
        hr = profile->CreateNewMutualExclusion(&exclusion);
        if (SUCCEEDED(hr)) hr = exclusion->SetType(CLSID_WMMutexBitrate);
        for (int n = 2; n <= videoCount + 1 && SUCCEEDED(hr); ++n) hr = exclusion->AddStream(n);
        if (SUCCEEDED(hr)) hr = profile->AddMutualExclusion(exclusion);
    }
    if (SUCCEEDED(hr) && scriptBitrate) hr = AddScript(*profile, *scriptBitrate, videoCount + 2);
    if (FAILED(hr)) return hr;
    *result = std::move(profile);
    return S_OK;
}
