#include "settings/compressor_enumeration.h"

#include <algorithm>
#include <cctype>
#include <functional>

#include "platform/codecs/codec_manager.h"
#include "platform/codecs/device_enum.h"
#include "platform/shell/message_boxes.h"

namespace {

std::string Lowered(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Walks a category's devices; false when the enumeration could not be made (after its message).
bool Walk(const CompressorServices& s, const GUID& category,
          const std::function<bool(int, const std::shared_ptr<IMoniker>&)>& visit) {
    std::shared_ptr<ICreateDevEnum> devEnum;
    if (FAILED(CreateSystemDeviceEnum(s.faults, &devEnum))) {
        s.boxes.AppMessage("Failed to create system enumerator");
        return false;
    }
    std::vector<std::shared_ptr<IMoniker>> devices;
    if (FAILED(devEnum->CreateClassEnumerator(category, &devices))) {
        s.boxes.AppMessage("Failed to create class enumerator");
        return false;
    }
    for (int i = 0; i < static_cast<int>(devices.size()); ++i) {
        if (!visit(i, devices[static_cast<std::size_t>(i)])) break;
    }
    return true;
}

std::vector<std::string> Fill(const CompressorServices& s, const GUID& category, const char* synthetic) {
    std::vector<std::string> list{synthetic};
    Walk(s, category, [&](int, const std::shared_ptr<IMoniker>& m) {
        std::string name;
        // A device whose name cannot be read still takes its place, so list index and position agree.
        list.push_back(m->ReadFriendlyName(&name) == S_OK ? name : std::string("?"));
        return true;
    });
    return list;
}

HRESULT Bind(const CompressorServices& s, const GUID& category, int position, std::shared_ptr<IBaseFilter>* filter,
             const char* invalidPointer) {
    if (filter == nullptr) {
        s.boxes.AppMessage(invalidPointer);
        return E_POINTER;
    }
    filter->reset();
    HRESULT result = S_OK;
    Walk(s, category, [&](int i, const std::shared_ptr<IMoniker>& m) {
        if (i != position) return true;
        if (FAILED(result = m->BindToObject(filter))) s.boxes.AppMessage("Failed to bind to object");
        return false;
    });
    return result;
}

bool Find(const CompressorServices& s, const GUID& category, const std::function<bool(const std::string&)>& match,
          int* position) {
    bool found = false;
    Walk(s, category, [&](int i, const std::shared_ptr<IMoniker>& m) {
        std::string name;
        if (m->ReadFriendlyName(&name) == S_OK && match(name)) {
            *position = i;
            found = true;
            return false;
        }
        return true;
    });
    return found;
}

}  // namespace

std::vector<std::string> FillVideoCompressorList(const CompressorServices& s) {
    return Fill(s, CLSID_VideoCompressorCategory, kNoVideoCompressor);
}

std::vector<std::string> FillAudioCompressorList(const CompressorServices& s) {
    return Fill(s, CLSID_AudioCompressorCategory, kNoAudioCompressor);
}

HRESULT GetCompressor(const CompressorServices& s, int position, std::shared_ptr<IBaseFilter>* filter) {
    return Bind(s, CLSID_VideoCompressorCategory, position, filter, "GetCompressor received invalid pointer");
}

HRESULT GetAudioCompressor(const CompressorServices& s, int position, std::shared_ptr<IBaseFilter>* filter) {
    return Bind(s, CLSID_AudioCompressorCategory, position, filter, "GetAudioCompressor received invalid pointer");
}

bool FindDivXCompressor(const CompressorServices& s, int* position) {
    return Find(s, CLSID_VideoCompressorCategory,
                [](const std::string& n) { return Lowered(n).find("divx") != std::string::npos; }, position);
}

bool FindAdpcmCompressor(const CompressorServices& s, int* position) {
    return Find(s, CLSID_AudioCompressorCategory,
                [](const std::string& n) { return Lowered(n).find("microsoft adpcm") != std::string::npos; },
                position);
}

bool FindCompressorByName(const CompressorServices& s, bool video, const std::string& name, int* position) {
    const std::string wanted = Lowered(name);
    return Find(s, video ? CLSID_VideoCompressorCategory : CLSID_AudioCompressorCategory,
                [&](const std::string& friendly) {
                    std::string f = Lowered(friendly);
                    const std::string codec = "(" + wanted + ")";  // "long name (codec name)"
                    bool endsWithCodec = f.size() >= codec.size() &&
                                         f.compare(f.size() - codec.size(), codec.size(), codec) == 0;
                    return f == wanted || endsWithCodec;
                },
                position);
}

void ResolveStoredCompressor(const CompressorServices& s, bool video, int number, HeldCompressor* held) {
    if (number == -1) {
        held->use = false;
        return;
    }
    int position = number;
    if (number == -2 && !(video ? FindDivXCompressor(s, &position) : FindAdpcmCompressor(s, &position))) {
        held->use = false;
        return;
    }
    if (number != -2) held->use = true;
    held->filter.reset();
    if (video) {
        GetCompressor(s, position, &held->filter);
    } else {
        GetAudioCompressor(s, position, &held->filter);
    }
}

namespace {

std::vector<std::uint8_t>& StateBuffer() {
    static std::vector<std::uint8_t> state;
    return state;
}

// The first run of digits and points in a text: "DivX Pro 5.1.1 Codec" gives "5.1.1".
std::string VersionText(const std::string& text) {
    std::size_t start = text.find_first_of("0123456789");
    if (start == std::string::npos) return {};
    std::size_t end = text.find_first_not_of("0123456789.", start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

bool Matches(const std::string& selected, const std::string& description, bool haveMatch, bool* exact) {
    std::string a = Lowered(selected), b = Lowered(description);
    *exact = a == b;
    if (*exact) return true;
    if (haveMatch) return false;
    std::string va = VersionText(a), vb = VersionText(b);
    return a.find("divx") != std::string::npos && b.find("divx") != std::string::npos && !va.empty() && va == vb;
}

}  // namespace

const std::vector<std::uint8_t>& CodecState() { return StateBuffer(); }

void ConfigureVideoCodec(void* owner, const std::string& selectedName, CodecConfigurePort* port) {
    BITMAPINFOHEADER query;
    query.biSize = 40;
    query.biWidth = 352;
    query.biHeight = 240;
    query.biPlanes = 1;
    query.biBitCount = 24;
    query.biCompression = BI_RGB;
    query.biSizeImage = 352 * 240 * 3;
    std::vector<ICINFO> table;
    ICINFO info;
    for (int i = 0; ICInfo(ICTYPE_VIDEO, i, &info); ++i) {
        HIC hic = ICOpen(info.fccType, info.fccHandler, ICMODE_COMPRESS);
        if (!hic) continue;
        if (ICCompressQuery(hic, &query) == ICERR_OK) {
            ICINFO full;
            ICGetInfo(hic, &full);
            table.push_back(full);
        }
        ICClose(hic);
    }
    const ICINFO* match = nullptr;
    for (const ICINFO& record : table) {
        bool exact = false;
        if (Matches(selectedName, record.szDescription, match != nullptr, &exact)) match = &record;
    }
    if (match == nullptr) return;
    HIC hic = ICOpen(match->fccType, match->fccHandler, ICMODE_COMPRESS);
    if (!hic) return;
    const long size = ICGetStateSize(hic);
    if (size == 0) {
        ICClose(hic);
        return;
    }
    std::vector<std::uint8_t>& state = StateBuffer();
    const bool handedOver = !state.empty() && static_cast<long>(state.size()) == size;
    if (handedOver) {
        ICSetState(hic, state);
    } else {
        state.assign(static_cast<std::size_t>(size), 0);
    }
    if (ICConfigure(hic, owner, port) == ICERR_OK) {
        ICGetState(hic, &state);
    } else if (!handedOver) {
        state.clear();  // never filled: handing it on would empty the next codec's settings
    }
    ICClose(hic);
}
