#pragma once
// Builds the Windows Media profile the ASF writer is configured with for WMV and ASF output: one
// audio stream and one video stream in codec formats chosen from what is installed.

#include <memory>
#include <optional>
#include <vector>

#include "platform/codecs/wm_profile.h"

struct AudioParams {
    std::int32_t bitrate;
    std::int32_t formatTag;  // 0x161: Windows Media Audio 2
    std::int32_t sampleRate;
    std::int32_t channels;
};

struct VideoParams {
    std::uint32_t fourcc;  // "WMV3" asked; "WMV2", then "WMV1" taken when it is not installed
    std::int32_t bitrate;
    std::int32_t height;
    std::int32_t width;
    std::int32_t fps;
    std::int32_t quality;
    std::int32_t keyFrameSeconds;
};

// `manager` also gives the codec information. The first failure is returned.
HRESULT GenerateProfile(IWMProfileManager& manager, const AudioParams* audio,
                        std::optional<std::uint32_t> scriptBitrate, int videoCount,
                        const VideoParams* videos, std::uint32_t version,
                        std::shared_ptr<IWMProfile>* profile);
