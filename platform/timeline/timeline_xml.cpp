#include "platform/timeline/timeline_xml.h"

#include <charconv>
#include <locale>
#include <sstream>

namespace {

std::string Escape(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string FormatDouble(double value) {
    char buf[64];
    auto result = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, result.ptr);
}

std::string VariantText(const VARIANT& v) {
    switch (v.vt) {
        case VT_I4: return std::to_string(v.lVal);
        case VT_R8: return FormatDouble(v.dblVal);
        case VT_BSTR: return Escape(v.bstrVal);
        case VT_EMPTY: break;
    }
    return "";
}

const char* VariantTypeName(VARTYPE vt) {
    switch (vt) {
        case VT_I4: return "VT_I4";
        case VT_R8: return "VT_R8";
        case VT_BSTR: return "VT_BSTR";
        case VT_EMPTY: break;
    }
    return "VT_EMPTY";
}

class XmlDumper {
public:
    XmlDumper() { out_.imbue(std::locale::classic()); }

    std::string Dump(const IAMTimeline& timeline) {
        int groups = 0;
        timeline.GetGroupCount(&groups);
        out_ << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        out_ << "<timeline groups=\"" << groups << "\">\n";
        for (int g = 0; g < groups; ++g) {
            TimelineObjPtr group;
            timeline.GetGroup(&group, g);
            Group(group, g);
        }
        out_ << "</timeline>\n";
        return out_.str();
    }

private:
    void Group(const TimelineObjPtr& obj, int index) {
        auto group = std::dynamic_pointer_cast<IAMTimelineGroup>(obj);
        auto comp = std::dynamic_pointer_cast<IAMTimelineComp>(obj);
        AM_MEDIA_TYPE mt;
        double fps = 0;
        bool preview = false;
        group->GetMediaType(&mt);
        group->GetOutputFPS(&fps);
        group->GetPreviewMode(&preview);
        out_ << "  <group index=\"" << index << "\" majortype=\"" << MediaGuidName(mt.majortype)
             << "\" subtype=\"" << MediaGuidName(mt.subtype) << "\" formattype=\""
             << MediaGuidName(mt.formattype) << "\" fixedsize=\"" << mt.bFixedSizeSamples
             << "\" temporal=\"" << mt.bTemporalCompression << "\" samplesize=\""
             << mt.lSampleSize << "\" cbformat=\"" << mt.cbFormat() << "\"";
        VIDEOINFOHEADER vih;
        if (mt.GetVideoInfo(&vih)) {
            const BITMAPINFOHEADER& b = vih.bmiHeader;
            out_ << " width=\"" << b.biWidth << "\" height=\"" << b.biHeight << "\" bitcount=\""
                 << b.biBitCount << "\" compression=\"" << b.biCompression << "\" sizeimage=\""
                 << b.biSizeImage << "\"";
        }
        out_ << " fps=\"" << FormatDouble(fps) << "\" previewmode=\"" << (preview ? 1 : 0)
             << "\">\n";
        Properties(obj, "    ");
        int tracks = 0;
        comp->VTrackGetCount(&tracks);
        for (int t = 0; t < tracks; ++t) {
            TimelineObjPtr track;
            comp->GetVTrack(&track, t);
            Track(track, t);
        }
        out_ << "  </group>\n";
    }

    void Track(const TimelineObjPtr& obj, int priority) {
        auto track = std::dynamic_pointer_cast<IAMTimelineTrack>(obj);
        auto transable = std::dynamic_pointer_cast<IAMTimelineTransable>(obj);
        out_ << "    <track priority=\"" << priority << "\">\n";
        int sources = 0;
        track->GetSourcesCount(&sources);
        for (int s = 0; s < sources; ++s) {
            TimelineObjPtr src;
            track->GetSrc(&src, s);
            Source(src);
        }
        int transitions = 0;
        transable->GetCount(&transitions);
        for (int t = 0; t < transitions; ++t) {
            TimelineObjPtr trans;
            transable->GetTrans(&trans, t);
            Transition(trans);
        }
        out_ << "    </track>\n";
    }

    void Source(const TimelineObjPtr& obj) {
        auto src = std::dynamic_pointer_cast<IAMTimelineSrc>(obj);
        REFERENCE_TIME start = 0, stop = 0, mstart = 0, mstop = 0;
        int stretch = 0;
        std::string name;
        obj->GetStartStop(&start, &stop);
        src->GetMediaTimes(&mstart, &mstop);
        src->GetStretchMode(&stretch);
        src->GetMediaName(&name);
        out_ << "      <source start=\"" << start << "\" stop=\"" << stop << "\" mstart=\""
             << mstart << "\" mstop=\"" << mstop << "\" stretchmode=\"" << stretch
             << "\" name=\"" << Escape(name) << "\"";
        auto effectable = std::dynamic_pointer_cast<IAMTimelineEffectable>(obj);
        int effects = 0;
        if (effectable) effectable->EffectGetCount(&effects);
        if (effects == 0) {
            out_ << "/>\n";
            return;
        }
        out_ << ">\n";
        for (int e = 0; e < effects; ++e) {
            TimelineObjPtr effect;
            effectable->GetEffect(&effect, e);
            Effect(effect);
        }
        out_ << "      </source>\n";
    }

    void Effect(const TimelineObjPtr& obj) { TimedNode(obj, "effect", "        "); }

    static bool HasProperties(const TimelineObjPtr& obj) {
        std::shared_ptr<IPropertySetter> setter;
        obj->GetPropertySetter(&setter);
        return setter && !setter->Properties().empty();
    }

    void Properties(const TimelineObjPtr& obj, const char* indent) {
        std::shared_ptr<IPropertySetter> setter;
        obj->GetPropertySetter(&setter);
        if (!setter) return;
        for (const TimelineProperty& prop : setter->Properties()) {
            for (const DEXTER_VALUE& value : prop.values) {
                out_ << indent << "<property name=\"" << Escape(prop.param.Name) << "\" type=\""
                     << VariantTypeName(value.v.vt) << "\" value=\"" << VariantText(value.v)
                     << "\" time=\"" << value.rt << "\" interp=\"" << value.dwInterp << "\"/>\n";
            }
        }
    }

    void Transition(const TimelineObjPtr& obj) { TimedNode(obj, "transition", "      "); }

    // A transition or an effect: its class and span, and its properties when it has any.
    void TimedNode(const TimelineObjPtr& obj, const char* tag, const std::string& indent) {
        REFERENCE_TIME start = 0, stop = 0;
        GUID clsid;
        obj->GetStartStop(&start, &stop);
        obj->GetSubObjectGUID(&clsid);
        out_ << indent << "<" << tag << " clsid=\"" << GuidToString(clsid) << "\" start=\"" << start
             << "\" stop=\"" << stop << "\"";
        if (!HasProperties(obj)) {
            out_ << "/>\n";
            return;
        }
        out_ << ">\n";
        Properties(obj, (indent + "  ").c_str());
        out_ << indent << "</" << tag << ">\n";
    }

    std::ostringstream out_;
};

}  // namespace

std::string DumpTimelineXml(const IAMTimeline& timeline) { return XmlDumper().Dump(timeline); }
