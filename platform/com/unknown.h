#pragma once
// The base of every object of the platform layer that is reached through QueryInterface, and the
// query itself. Each object consults its fault plan, so tests can make any query fail.

#include <memory>
#include <string>

#include "platform/com/hresult.h"
#include "platform/timeline/fault_plan.h"

class IUnknown {
public:
    virtual ~IUnknown() = default;
    virtual const std::shared_ptr<FaultPlan>& Faults() const = 0;
};

// Asks `from` for interface I (its kInterfaceName names the call "QueryInterface(I)" for the
// fault plan). E_NOINTERFACE when the object does not have it.
template <class I, class From>
HRESULT QueryInterface(const std::shared_ptr<From>& from, std::shared_ptr<I>* out) {
    if (out == nullptr) return E_POINTER;
    out->reset();
    auto unknown = std::dynamic_pointer_cast<IUnknown>(from);
    if (!unknown) return E_POINTER;
    HRESULT hr = CheckFault(unknown->Faults(), std::string("QueryInterface(") + I::kInterfaceName + ")");
    if (FAILED(hr)) return hr;
    auto wanted = std::dynamic_pointer_cast<I>(unknown);
    if (!wanted) return E_NOINTERFACE;
    *out = std::move(wanted);
    return S_OK;
}
