#include "platform/timeline/timeline_xml.h"

#include <charconv>
#include <locale>
#include <sstream>

#include "platform/timeline/song_shape.h"

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

// Hands what is written straight to a C stream.
class FileBuffer final : public std::streambuf {
public:
    explicit FileBuffer(std::FILE* file) : file_(file) {}

protected:
    int_type overflow(int_type c) override {
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        return std::fputc(c, file_) == EOF ? traits_type::eof() : c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        return static_cast<std::streamsize>(std::fwrite(s, 1, static_cast<std::size_t>(n), file_));
    }

private:
    std::FILE* file_;
};

class XmlDumper {
public:
    explicit XmlDumper(std::ostream& out) : out_(out) { out_.imbue(std::locale::classic()); }

    void Dump(const IAMTimeline& timeline) {
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
        if (auto run = comp->GetTrackRun()) Run(*run, tracks);
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

    // Written as Track() and Source() write a track of one music source; by hand, as a long run
    // is most of the dump.
    void Run(const TrackRun& run, int firstPriority) {
        std::string line;
        for (std::int64_t i = 0; i < run.count() && out_; ++i) {
            const RunSource s = run.At(i);
            line.assign("    <track priority=\"");
            Append(&line, firstPriority + i);
            line += "\">\n      <source start=\"";
            Append(&line, s.start);
            line += "\" stop=\"";
            Append(&line, s.stop);
            line += "\" mstart=\"";
            Append(&line, s.mediaStart);
            line += "\" mstop=\"";
            Append(&line, s.mediaStart + s.stop - s.start);
            line += "\" stretchmode=\"0\" name=\"";
            line += Escape(*s.name);
            const auto properties = SongProperties(s.shape);
            if (properties.empty()) {
                line += "\"/>\n    </track>\n";
            } else {
                line += "\">\n";
                AppendSongEffect(&line, properties, s.stop - s.start);
                line += "      </source>\n    </track>\n";
            }
            out_.write(line.data(), static_cast<std::streamsize>(line.size()));
        }
    }

    // As Effect() writes the effect the builder puts on a listed music source.
    static void AppendSongEffect(std::string* line, const std::vector<std::pair<const char*, double>>& properties,
                                 REFERENCE_TIME length) {
        *line += "        <effect clsid=\"" + GuidToString(CLSID_KavrelSong) + "\" start=\"0\" stop=\"";
        Append(line, length);
        *line += "\">\n";
        for (const auto& [name, value] : properties) {
            *line += std::string("          <property name=\"") + name + "\" type=\"VT_R8\" value=\"" +
                     FormatDouble(value) + "\" time=\"0\" interp=\"0\"/>\n";
        }
        *line += "        </effect>\n";
    }

    static void Append(std::string* line, std::int64_t value) {
        char buf[24];
        auto result = std::to_chars(buf, buf + sizeof buf, value);
        line->append(buf, result.ptr);
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

    std::ostream& out_;
};

}  // namespace

std::string DumpTimelineXml(const IAMTimeline& timeline) {
    std::ostringstream out;
    XmlDumper(out).Dump(timeline);
    return out.str();
}

bool WriteTimelineXml(const IAMTimeline& timeline, std::FILE* out) {
    FileBuffer buffer(out);
    std::ostream stream(&buffer);
    XmlDumper(stream).Dump(timeline);
    return stream.good() && std::fflush(out) == 0;
}
