#pragma once
// The video codec manager: the installed video encoders as codecs with a description, that can be
// asked whether they take a format, opened, configured, and whose state (their settings, as text)
// can be read and given back.
//
// Used from the user-interface thread.

#include <memory>
#include <string>
#include <vector>

#include "platform/render/filter_graph.h"
#include "platform/timeline/timeline_types.h"

inline constexpr std::uint32_t ICTYPE_VIDEO = 0x63646976;  // 'vidc'
inline constexpr int ICMODE_COMPRESS = 1;
inline constexpr long ICERR_OK = 0;
inline constexpr long ICERR_UNSUPPORTED = -1;
inline constexpr long ICERR_CANTUPDATE = -7;

struct ICINFO {
    std::uint32_t fccType = 0;
    std::uint32_t fccHandler = 0;
    std::uint32_t dwFlags = 0, dwVersion = 0, dwVersionICM = 0x0104;
    std::string szName;         // the encoder's name
    std::string szDescription;  // its friendly name
    std::string szDriver;
};

// Shows a codec's settings for editing (the generic settings page); true when confirmed, with
// `options` then holding the new values.
class CodecConfigurePort {
public:
    virtual ~CodecConfigurePort() = default;
    virtual bool Configure(void* owner, const std::string& title, std::vector<FilterOption>* options) = 0;
};

class CodecInstance;
using HIC = std::shared_ptr<CodecInstance>;

bool ICInfo(std::uint32_t fccType, int index, ICINFO* info);
HIC ICOpen(std::uint32_t fccType, std::uint32_t fccHandler, int mode);
long ICCompressQuery(const HIC& hic, const BITMAPINFOHEADER* input);
long ICGetInfo(const HIC& hic, ICINFO* info);
// The size of the state; 0 for a codec without settings.
long ICGetStateSize(const HIC& hic);
long ICGetState(const HIC& hic, std::vector<std::uint8_t>* state);
long ICSetState(const HIC& hic, const std::vector<std::uint8_t>& state);
long ICConfigure(const HIC& hic, void* owner, CodecConfigurePort* port);
void ICClose(HIC& hic);
