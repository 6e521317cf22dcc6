#pragma once
// Plain data handed to timeline nodes: node kinds, media types, property values and flags.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/com/guid.h"

enum TIMELINE_MAJOR_TYPE : std::int32_t {
    TIMELINE_MAJOR_TYPE_COMPOSITE = 1,
    TIMELINE_MAJOR_TYPE_TRACK = 2,
    TIMELINE_MAJOR_TYPE_SOURCE = 4,
    TIMELINE_MAJOR_TYPE_TRANSITION = 8,
    TIMELINE_MAJOR_TYPE_EFFECT = 16,
    TIMELINE_MAJOR_TYPE_GROUP = 128,
};
const char* TimelineMajorTypeName(TIMELINE_MAJOR_TYPE type);

// ValidateSourceNames flags.
inline constexpr std::int32_t SFN_VALIDATEF_CHECK = 0x1;
inline constexpr std::int32_t SFN_VALIDATEF_POPUP = 0x2;
inline constexpr std::int32_t SFN_VALIDATEF_TELLME = 0x4;
inline constexpr std::int32_t SFN_VALIDATEF_REPLACE = 0x8;

// Source stretch modes.
inline constexpr std::int32_t RESIZEF_STRETCH = 0;
inline constexpr std::int32_t RESIZEF_CROP = 1;
inline constexpr std::int32_t RESIZEF_PRESERVEASPECTRATIO = 2;
inline constexpr std::int32_t RESIZEF_PRESERVEASPECTRATIO_NOLETTERBOX = 3;

// Property interpolation.
inline constexpr std::int32_t DEXTERF_JUMP = 0;
inline constexpr std::int32_t DEXTERF_INTERPOLATE = 1;

inline const GUID MEDIATYPE_Video = GuidFromLiteral("{73646976-0000-0010-8000-00AA00389B71}");
inline const GUID MEDIATYPE_Audio = GuidFromLiteral("{73647561-0000-0010-8000-00AA00389B71}");
inline const GUID MEDIASUBTYPE_RGB24 = GuidFromLiteral("{E436EB7D-524F-11CE-9F53-0020AF0BA770}");
inline const GUID FORMAT_VideoInfo = GuidFromLiteral("{05589F80-C356-11CE-BF01-00AA0055595A}");
inline const GUID FORMAT_WaveFormatEx = GuidFromLiteral("{05589F81-C356-11CE-BF01-00AA0055595A}");
// Readable name of the media-type identifiers above, or the braced text for any other.
std::string MediaGuidName(const GUID& guid);

struct RECT {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct BITMAPINFOHEADER {
    std::uint32_t biSize = 0;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 0;
    std::uint16_t biBitCount = 0;
    std::uint32_t biCompression = 0;
    std::uint32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::uint32_t biClrUsed = 0;
    std::uint32_t biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct VIDEOINFOHEADER {
    RECT rcSource;
    RECT rcTarget;
    std::uint32_t dwBitRate = 0;
    std::uint32_t dwBitErrorRate = 0;
    REFERENCE_TIME AvgTimePerFrame = 0;
    BITMAPINFOHEADER bmiHeader;
};
static_assert(sizeof(VIDEOINFOHEADER) == 88);

inline constexpr std::uint32_t BI_RGB = 0;

// A media type owns its format block (a copy is taken wherever one is stored).
struct AM_MEDIA_TYPE {
    GUID majortype;
    GUID subtype;
    std::int32_t bFixedSizeSamples = 0;
    std::int32_t bTemporalCompression = 0;
    std::uint32_t lSampleSize = 0;
    GUID formattype;
    std::vector<std::uint8_t> format;  // cbFormat == format.size()

    std::uint32_t cbFormat() const { return static_cast<std::uint32_t>(format.size()); }
    // The format block read as a VIDEOINFOHEADER; false when it is not one.
    bool GetVideoInfo(VIDEOINFOHEADER* out) const;
};

enum VARTYPE : std::uint16_t { VT_EMPTY = 0, VT_I4 = 3, VT_R8 = 5, VT_BSTR = 8 };

struct VARIANT {
    VARTYPE vt = VT_EMPTY;
    std::int32_t lVal = 0;
    double dblVal = 0;
    std::string bstrVal;

    static VARIANT FromInt32(std::int32_t v) {
        VARIANT var;
        var.vt = VT_I4;
        var.lVal = v;
        return var;
    }
};

struct DEXTER_PARAM {
    std::string Name;
    std::int32_t dispID = 0;
    std::int32_t nValues = 0;
};

struct DEXTER_VALUE {
    VARIANT v;
    REFERENCE_TIME rt = 0;
    std::int32_t dwInterp = DEXTERF_JUMP;
};
