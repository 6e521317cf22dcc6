#pragma once
// The transitions' pictures: one effect per class identifier (the SMPTE wipe also by its
// "MaskNum"), each described once by a descriptor with its parameters and their defaults.
//
// An effect object belongs to one transition of one show; Render may be called from any one
// thread at a time, and different effect objects may render concurrently.

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/com/guid.h"
#include "platform/render/compose/effects/planar_frame.h"

struct EffectParameter {
    std::string name;
    double defaultValue;
};

struct EffectDescriptor {
    std::string clsid;  // braced text, as the transition catalogue stores it
    std::string name;
    std::vector<EffectParameter> parameters;
};

// Every effect there is, in catalogue order (the SMPTE wipe last).
const std::vector<EffectDescriptor>& EffectDescriptors();

using EffectProperties = std::vector<std::pair<std::string, double>>;

class TransitionEffect {
public:
    virtual ~TransitionEffect() = default;
    // Writes the picture at progress p (0: all A, 1: all B) into `out`. A, B and out have the
    // same geometry; out must not be A or B. Luma rows [y0, y1) only, with the chroma rows under
    // them; y0 and y1 even for subsampled chroma (or y1 the frame height).
    virtual void RenderRows(const FrameView& a, const FrameView& b, double p,
                            const FrameView& out, int y0, int y1) = 0;
    void Render(const FrameView& a, const FrameView& b, double p, const FrameView& out) {
        RenderRows(a, b, p, out, 0, out.height);
    }
    // Empty, or what the effect did instead of what it was asked (an unknown "MaskNum").
    const std::string& status() const { return status_; }
    void SetStatus(std::string status) { status_ = std::move(status); }

private:
    std::string status_;
};

// REGDB_E_CLASSNOTREG for a class identifier no effect has, with *error naming it. `seed`
// makes the random effects repeatable: the same seed gives the same pattern.
HRESULT CreateTransitionEffect(const GUID& clsid, const EffectProperties& properties,
                               std::uint64_t seed, std::unique_ptr<TransitionEffect>* effect,
                               std::string* error);
