#include "platform/codecs/device_enum.h"

#include <fcntl.h>
#include <unistd.h>

#include <map>
#include <mutex>
#include <vector>

#include "platform/media/encoder_opening.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
#include <libavutil/pixdesc.h>
}

#include "platform/codecs/codec_settings.h"

namespace {

bool Opens(const AVCodec* codec, AVPixelFormat format) {
    AVCodecContext* c = avcodec_alloc_context3(codec);
    if (c == nullptr) return false;
    if (codec->type == AVMEDIA_TYPE_VIDEO) {
        c->width = 352;
        c->height = 240;
        c->time_base = {1001, 24000};
        c->framerate = {24000, 1001};
        c->pix_fmt = format;
    } else {
        c->sample_rate = 44100;
        c->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
        av_channel_layout_default(&c->ch_layout, 2);
        c->time_base = {1, 44100};
        c->bit_rate = 192000;
    }
    int saved = av_log_get_level();
    av_log_set_level(AV_LOG_QUIET);  // many encoders say why they refuse; that is expected here
    bool ok = OpenEncoder(c, codec, nullptr) >= 0;
    av_log_set_level(saved);
    avcodec_free_context(&c);
    return ok;
}

// The pixel formats a video encoder is tried with: the frames' own 4:2:0 first, then the others it
// lists (Motion JPEG takes 4:2:0 only in full range).
std::vector<AVPixelFormat> ProbeFormats(const AVCodec* codec) {
    std::vector<AVPixelFormat> formats{AV_PIX_FMT_YUV420P};
    for (const AVPixelFormat* f = codec->pix_fmts; f && *f != AV_PIX_FMT_NONE; ++f) {
        if (*f != AV_PIX_FMT_YUV420P) formats.push_back(*f);
    }
    return formats;
}

// Whether the encoder opens for the category's probe format; a video encoder's pixel format is
// the first that opens.
bool OpensForProbe(const AVCodec* codec, AVPixelFormat* format) {
    if (codec->type != AVMEDIA_TYPE_VIDEO) return Opens(codec, AV_PIX_FMT_NONE);
    for (AVPixelFormat f : ProbeFormats(codec)) {
        if (Opens(codec, f)) {
            *format = f;
            return true;
        }
    }
    return false;
}

std::string FriendlyName(const AVCodec* codec) {
    std::string name = codec->name;
    if (name == "mpeg4") return "DivX-compatible MPEG-4 part 2 (mpeg4)";
    if (name == "adpcm_ms") return "Microsoft ADPCM (adpcm_ms)";
    std::string longName = codec->long_name ? codec->long_name : name;
    return longName + " (" + name + ")";
}

// Settings that make each common encoder give a good picture or sound from the start.
std::map<std::string, std::string> StartingOptions(const std::string& name) {
    if (name == "mpeg4") return {{"flags", "+qscale"}, {"global_quality", "354"}};  // q 3
    if (name == "libx264") return {{"crf", "20"}, {"preset", "medium"}};
    if (name == "libx265") return {{"crf", "24"}, {"preset", "medium"}};
    if (name == "libvpx-vp9") return {{"crf", "32"}, {"b", "0"}};
    if (name == "libaom-av1") return {{"crf", "32"}, {"cpu-used", "6"}};
    if (name == "mpeg2video" || name == "mpeg1video" || name == "msmpeg4" || name == "msmpeg4v2" ||
        name == "wmv1" || name == "wmv2" || name == "flv" || name == "h263p") {
        return {{"b", "4000000"}};
    }
    if (name == "aac" || name == "libmp3lame" || name == "mp2" || name == "ac3" || name == "wmav2" ||
        name == "wmav1" || name == "libvorbis" || name == "libopus") {
        return {{"b", "192000"}};
    }
    return {};
}

// Encoders whose libraries misbehave when opened only to be closed again: SVT-AV1 1.4 blocks for
// ever when closed before it was given a frame.
bool Unprobeable(const AVCodec* codec) { return std::string(codec->name) == "libsvtav1"; }

// Some encoder libraries print banners straight to the terminal when opened; the probe is quiet.
class QuietStderr {
public:
    QuietStderr() : saved_(dup(2)) {
        int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (null >= 0) {
            dup2(null, 2);
            close(null);
        }
    }
    ~QuietStderr() {
        if (saved_ >= 0) {
            dup2(saved_, 2);
            close(saved_);
        }
    }

private:
    int saved_;
};

std::vector<CompressorDevice> Probe(AVMediaType type) {
    std::vector<CompressorDevice> devices;
    QuietStderr quiet;
    void* it = nullptr;
    while (const AVCodec* codec = av_codec_iterate(&it)) {
        if (!av_codec_is_encoder(codec) || codec->type != type || Unprobeable(codec)) continue;
        if (codec->capabilities & AV_CODEC_CAP_EXPERIMENTAL) continue;
        AVPixelFormat format = AV_PIX_FMT_YUV420P;
        if (!OpensForProbe(codec, &format)) continue;
        std::map<std::string, std::string> options = StartingOptions(codec->name);
        if (format != AV_PIX_FMT_YUV420P) options["pix_fmt"] = av_get_pix_fmt_name(format);
        devices.push_back({FriendlyName(codec), {codec->name, std::move(options)}});
    }
    return devices;
}

class Moniker final : public IMoniker {
public:
    Moniker(std::shared_ptr<FaultPlan> f, CompressorDevice device, bool video)
        : faults_(std::move(f)), device_(std::move(device)), video_(video) {}
    const std::shared_ptr<FaultPlan>& Faults() const override { return faults_; }
    HRESULT ReadFriendlyName(std::string* name) const override {
        if (HRESULT hr = CheckFault(faults_, "IPropertyBag::Read(FriendlyName)"); FAILED(hr)) return hr;
        *name = device_.friendlyName;
        return S_OK;
    }
    HRESULT BindToObject(std::shared_ptr<IBaseFilter>* filter) const override {
        if (HRESULT hr = CheckFault(faults_, "IMoniker::BindToObject"); FAILED(hr)) return hr;
        EncoderChoice choice = device_.choice;
        choice.options = KeptCodecSettings(choice.codec, std::move(choice.options));
        *filter = MakeCompressorFilter(faults_, device_.friendlyName, std::move(choice), video_);
        return S_OK;
    }

private:
    std::shared_ptr<FaultPlan> faults_;
    CompressorDevice device_;
    bool video_;
};

class DevEnum final : public ICreateDevEnum {
public:
    explicit DevEnum(std::shared_ptr<FaultPlan> f) : faults_(std::move(f)) {}
    const std::shared_ptr<FaultPlan>& Faults() const override { return faults_; }
    HRESULT CreateClassEnumerator(const GUID& category,
                                  std::vector<std::shared_ptr<IMoniker>>* devices) const override {
        if (HRESULT hr = CheckFault(faults_, "ICreateDevEnum::CreateClassEnumerator"); FAILED(hr)) return hr;
        devices->clear();
        bool video = category == CLSID_VideoCompressorCategory;
        for (const CompressorDevice& d : CompressorDevices(category)) {
            devices->push_back(std::make_shared<Moniker>(faults_, d, video));
        }
        return devices->empty() ? S_FALSE : S_OK;
    }

private:
    std::shared_ptr<FaultPlan> faults_;
};

}  // namespace

const std::vector<CompressorDevice>& CompressorDevices(const GUID& category) {
    static std::once_flag once;
    static std::vector<CompressorDevice> video, audio;
    static const std::vector<CompressorDevice> none;
    std::call_once(once, [] {
        video = Probe(AVMEDIA_TYPE_VIDEO);
        audio = Probe(AVMEDIA_TYPE_AUDIO);
    });
    if (category == CLSID_VideoCompressorCategory) return video;
    if (category == CLSID_AudioCompressorCategory) return audio;
    return none;
}

HRESULT CreateSystemDeviceEnum(std::shared_ptr<FaultPlan> faults, std::shared_ptr<ICreateDevEnum>* devEnum) {
    if (HRESULT hr = CheckFault(faults, "CoCreateInstance(CLSID_SystemDeviceEnum)"); FAILED(hr)) return hr;
    *devEnum = std::make_shared<DevEnum>(std::move(faults));
    return S_OK;
}
