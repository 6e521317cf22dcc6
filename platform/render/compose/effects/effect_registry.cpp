// The effects there are, each described once: its class, name, parameters and how it is made.

#include <functional>
#include <map>

#include "platform/render/compose/effects/effect_kinds.h"

namespace {

using Values = std::map<std::string, double>;
using Factory = std::function<std::unique_ptr<TransitionEffect>(const Values&, std::uint64_t seed,
                                                                std::string* status)>;

struct Entry {
    EffectDescriptor descriptor;
    Factory make;
};

// The SMPTE wipe codes with a pattern here; any other "MaskNum" falls back to 1.
bool KnownWipe(int code) {
    static const int kCodes[] = {1,  2,  7,   22,  41,  43,  44,  45,  47,  48,
                                 61, 64, 71,  72,  73,  74,  101, 102, 113, 119,
                                 120, 124, 127, 128, 130, 224, 231, 244, 251, 301};
    for (int c : kCodes) {
        if (c == code) return true;
    }
    return false;
}

std::unique_ptr<TransitionEffect> MakeWipe(const Values& v, std::uint64_t, std::string* status) {
    double requested = v.at("MaskNum");
    int code = static_cast<int>(requested);
    if (code != requested || !KnownWipe(code)) {
        *status = "SMPTE wipe " + std::to_string(code) + " is not supported; wipe 1 is shown";
        code = 1;
    }
    return effects::MakeMaskEffect("smpte:" + std::to_string(code), {});
}

Factory Mask(const char* shape, std::vector<std::string> params) {
    return [shape, params](const Values& v, std::uint64_t, std::string*) {
        std::vector<double> values;
        for (const std::string& name : params) values.push_back(v.at(name));
        return effects::MakeMaskEffect(shape, values);
    };
}

const std::vector<Entry>& Entries() {
    using namespace effects;
    static const std::vector<Entry> kEntries{
        {{"{049F2CE6-D996-4721-897A-DB15CE9EB73D}", "Iris", {}}, Mask("Iris", {})},
        {{"{164484A9-35D9-4FB7-9FAB-48273B96AA1D}", "RadialWipe", {}}, Mask("RadialWipe", {})},
        {{"{16B280C5-EE70-11D1-9066-00C04FD9189D}", "Fade", {{"Overlap", 1.0}}},
         [](const Values&, std::uint64_t, std::string*) { return MakeFade(); }},
        {{"{23E26328-3928-40F2-95E5-93CAD69016EB}", "ZigZag", {{"gridSizeX", 16}, {"gridSizeY", 16}}},
         Mask("ZigZag", {"gridSizeX", "gridSizeY"})},
        {{"{2E7700B7-27C4-437F-9FBF-1E8BE2817566}", "RandomBars", {}},
         [](const Values&, std::uint64_t seed, std::string*) { return MakeRandomBars(seed); }},
        {{"{4A03DCB9-6E17-4A39-8845-4EE7DC5331A5}", "Spiral", {{"gridSizeX", 16}, {"gridSizeY", 16}}},
         Mask("Spiral", {"gridSizeX", "gridSizeY"})},
        {{"{4CCEA634-FBE0-11D1-906A-00C04FD9189D}", "Pixelate", {{"MaxSquare", 50}}},
         [](const Values& v, std::uint64_t, std::string*) { return MakePixelate(v.at("MaxSquare")); }},
        {{"{5AE1DAE0-1461-11D2-A484-00C04F8EFB69}", "Wheel", {{"spokes", 4}}},
         Mask("Wheel", {"spokes"})},
        {{"{63A4B1FC-259A-4A5B-8129-A83B8C9E6F4F}", "Strips", {{"strips", 10}}},
         Mask("Strips", {"strips"})},
        {{"{76F363F2-7E9F-4ED7-A6A7-EE30351B6628}", "Inset", {}}, Mask("Inset", {})},
        {{"{9A4A4A51-FB3A-4F4B-9B57-A2912A289769}", "Blinds", {{"bands", 10}}},
         Mask("Blinds", {"bands"})},
        {{"{AF279B30-86EB-11D1-81BF-0000F87557DB}", "Wipe", {{"GradientSize", 0.25}}},
         [](const Values& v, std::uint64_t, std::string*) {
             return MakeSoftWipe(v.at("GradientSize"));
         }},
        {{"{B3EE7802-8224-4787-A1EA-F0DE16DEABD3}", "CheckerBoard",
          {{"SquaresX", 12}, {"SquaresY", 10}}},
         Mask("CheckerBoard", {"SquaresX", "SquaresY"})},
        {{"{D1C5A1E7-CC47-4E32-BDD2-4B3C5FC50AF5}", "Slide", {{"bands", 1}}},
         [](const Values&, std::uint64_t, std::string*) { return MakeSlide(); }},
        {{"{F088DE73-BDD0-4E3C-81F8-6D32F4FE9D28}", "Stretch", {}},
         [](const Values&, std::uint64_t, std::string*) { return MakeStretch(); }},
        {{"{F7F4A1B6-8E87-452F-A2D7-3077F508DBC0}", "RandomDissolve", {}},
         [](const Values&, std::uint64_t seed, std::string*) { return MakeRandomDissolve(seed); }},
        {{"{DE75D012-7A65-11D2-8CEA-00A0C9441E20}", "DxtJpeg", {{"MaskNum", 1}}}, MakeWipe},
    };
    return kEntries;
}

}  // namespace

const std::vector<EffectDescriptor>& EffectDescriptors() {
    static const std::vector<EffectDescriptor> kDescriptors = [] {
        std::vector<EffectDescriptor> list;
        for (const Entry& e : Entries()) list.push_back(e.descriptor);
        return list;
    }();
    return kDescriptors;
}

HRESULT CreateTransitionEffect(const GUID& clsid, const EffectProperties& properties,
                               std::uint64_t seed, std::unique_ptr<TransitionEffect>* effect,
                               std::string* error) {
    effect->reset();
    for (const Entry& e : Entries()) {
        GUID id;
        CLSIDFromString(e.descriptor.clsid, &id);
        if (id != clsid) continue;
        Values values;
        for (const EffectParameter& p : e.descriptor.parameters) values[p.name] = p.defaultValue;
        for (const auto& [name, value] : properties) {
            if (values.count(name)) values[name] = value;  // unknown properties are ignored
        }
        std::string status;
        *effect = e.make(values, seed, &status);
        (*effect)->SetStatus(std::move(status));
        return S_OK;
    }
    if (error != nullptr) *error = "no transition effect has the class " + GuidToString(clsid);
    return REGDB_E_CLASSNOTREG;
}
