#include "platform/timeline/timeline_types.h"

#include <cstring>

const char* TimelineMajorTypeName(TIMELINE_MAJOR_TYPE type) {
    switch (type) {
        case TIMELINE_MAJOR_TYPE_COMPOSITE: return "TIMELINE_MAJOR_TYPE_COMPOSITE";
        case TIMELINE_MAJOR_TYPE_TRACK: return "TIMELINE_MAJOR_TYPE_TRACK";
        case TIMELINE_MAJOR_TYPE_SOURCE: return "TIMELINE_MAJOR_TYPE_SOURCE";
        case TIMELINE_MAJOR_TYPE_TRANSITION: return "TIMELINE_MAJOR_TYPE_TRANSITION";
        case TIMELINE_MAJOR_TYPE_EFFECT: return "TIMELINE_MAJOR_TYPE_EFFECT";
        case TIMELINE_MAJOR_TYPE_GROUP: return "TIMELINE_MAJOR_TYPE_GROUP";
    }
    return "TIMELINE_MAJOR_TYPE_UNKNOWN";
}

std::string MediaGuidName(const GUID& guid) {
    if (guid == MEDIATYPE_Video) return "MEDIATYPE_Video";
    if (guid == MEDIATYPE_Audio) return "MEDIATYPE_Audio";
    if (guid == MEDIASUBTYPE_RGB24) return "MEDIASUBTYPE_RGB24";
    if (guid == FORMAT_VideoInfo) return "FORMAT_VideoInfo";
    if (guid == FORMAT_WaveFormatEx) return "FORMAT_WaveFormatEx";
    if (guid == GUID_NULL) return "GUID_NULL";
    return GuidToString(guid);
}

bool AM_MEDIA_TYPE::GetVideoInfo(VIDEOINFOHEADER* out) const {
    if (formattype != FORMAT_VideoInfo || format.size() < sizeof(VIDEOINFOHEADER)) return false;
    std::memcpy(out, format.data(), sizeof(VIDEOINFOHEADER));
    return true;
}
