#include "platform/codecs/codec_manager.h"

#include <sstream>

#include "platform/codecs/codec_settings.h"
#include "platform/codecs/device_enum.h"
#include "platform/media/encoder_opening.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
}

class CodecInstance {
public:
    ICINFO info;
    EncoderChoice choice;
};

namespace {

// A handler of its own for each codec: names share their first letters (mpeg1video, mpeg4).
std::uint32_t HandlerOf(int index) { return 0x4B560000u + static_cast<std::uint32_t>(index); }

// A codec's state has one size whatever its settings, so that confirmed settings are handed back
// the next time (a state of another size is discarded).
constexpr std::size_t kStateBytes = 4096;

const std::vector<CompressorDevice>& Codecs() { return CompressorDevices(CLSID_VideoCompressorCategory); }

bool Knows(const std::string& encoder, const std::string& option) {
    const AVCodec* codec = avcodec_find_encoder_by_name(encoder.c_str());
    if (codec == nullptr) return false;
    auto has = [&option](const AVClass* cls) {
        return cls != nullptr &&
               av_opt_find(const_cast<const AVClass**>(&cls), option.c_str(), nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ);
    };
    return has(avcodec_get_class()) || has(codec->priv_class);
}

// The state is the settings as "name=value" lines, in a stable order.
std::string Serialise(const EncoderChoice& c) {
    std::ostringstream out;
    for (const auto& [k, v] : c.options) out << k << '=' << v << '\n';
    return out.str();
}

}  // namespace

bool ICInfo(std::uint32_t fccType, int index, ICINFO* info) {
    if (fccType != ICTYPE_VIDEO || index < 0 || index >= static_cast<int>(Codecs().size())) return false;
    const CompressorDevice& d = Codecs()[static_cast<std::size_t>(index)];
    *info = ICINFO();
    info->fccType = ICTYPE_VIDEO;
    info->fccHandler = HandlerOf(index);
    info->szName = d.choice.codec;
    info->szDescription = d.friendlyName;
    info->szDriver = "libavcodec";
    return true;
}

HIC ICOpen(std::uint32_t fccType, std::uint32_t fccHandler, int mode) {
    if (fccType != ICTYPE_VIDEO || mode != ICMODE_COMPRESS) return nullptr;
    for (int i = 0; i < static_cast<int>(Codecs().size()); ++i) {
        ICINFO info;
        ICInfo(fccType, i, &info);
        if (info.fccHandler != fccHandler) continue;
        auto hic = std::make_shared<CodecInstance>();
        hic->info = info;
        hic->choice = Codecs()[static_cast<std::size_t>(i)].choice;
        hic->choice.options = KeptCodecSettings(hic->choice.codec, hic->choice.options);
        return hic;
    }
    return nullptr;
}

long ICCompressQuery(const HIC& hic, const BITMAPINFOHEADER* in) {
    if (!hic || in == nullptr) return ICERR_UNSUPPORTED;
    const AVCodec* codec = avcodec_find_encoder_by_name(hic->choice.codec.c_str());
    if (codec == nullptr || in->biWidth <= 0 || in->biHeight == 0) return ICERR_UNSUPPORTED;
    AVCodecContext* c = avcodec_alloc_context3(codec);
    c->width = in->biWidth;
    c->height = std::abs(in->biHeight);
    c->time_base = {1001, 24000};
    c->pix_fmt = codec->pix_fmts ? codec->pix_fmts[0] : AV_PIX_FMT_YUV420P;
    int saved = av_log_get_level();
    av_log_set_level(AV_LOG_QUIET);
    bool ok = OpenEncoder(c, codec, nullptr) >= 0;
    av_log_set_level(saved);
    avcodec_free_context(&c);
    return ok ? ICERR_OK : ICERR_UNSUPPORTED;
}

long ICGetInfo(const HIC& hic, ICINFO* info) {
    if (!hic) return ICERR_UNSUPPORTED;
    *info = hic->info;
    return ICERR_OK;
}

long ICGetStateSize(const HIC& hic) {
    if (!hic) return 0;
    const AVCodec* codec = avcodec_find_encoder_by_name(hic->choice.codec.c_str());
    bool hasSettings = codec != nullptr && codec->priv_class != nullptr;
    return hasSettings ? static_cast<long>(kStateBytes) : 0;
}

long ICGetState(const HIC& hic, std::vector<std::uint8_t>* state) {
    if (!hic) return ICERR_UNSUPPORTED;
    std::string text = Serialise(hic->choice);
    text.resize(kStateBytes - 1);  // settings beyond the state's size are not kept
    state->assign(text.begin(), text.end());
    state->push_back(0);
    return ICERR_OK;
}

long ICSetState(const HIC& hic, const std::vector<std::uint8_t>& state) {
    if (!hic) return ICERR_UNSUPPORTED;
    std::istringstream in(std::string(state.begin(), state.end()).c_str());
    std::string line;
    std::map<std::string, std::string> options;
    while (std::getline(in, line)) {
        std::size_t eq = line.find('=');
        // A state made by another codec may hold settings this one does not have.
        if (eq != std::string::npos && Knows(hic->choice.codec, line.substr(0, eq))) {
            options[line.substr(0, eq)] = line.substr(eq + 1);
        }
    }
    hic->choice.options = options;
    return ICERR_OK;
}

long ICConfigure(const HIC& hic, void* owner, CodecConfigurePort* port) {
    if (!hic || port == nullptr) return ICERR_UNSUPPORTED;
    auto filter = MakeCompressorFilter(nullptr, hic->info.szDescription, hic->choice, true);
    std::vector<FilterOption> options;
    std::dynamic_pointer_cast<ISpecifyPropertyPages>(filter)->GetPages(&options);
    if (!port->Configure(owner, hic->info.szDescription, &options)) return ICERR_CANTUPDATE;
    for (const FilterOption& o : options) {
        if (o.value != o.defaultValue) {
            hic->choice.options[o.name] = o.value;
        } else {
            hic->choice.options.erase(o.name);
        }
    }
    KeepCodecSettings(hic->choice.codec, hic->choice.options);
    return ICERR_OK;
}

void ICClose(HIC& hic) { hic.reset(); }
