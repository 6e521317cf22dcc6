#pragma once
// Lets tests make any named platform call fail, so that every failure path of the callers can
// be reached. Call names are "Interface::Method" (for example "IAMTimelineGroup::SetMediaType"),
// "CoCreateInstance(CLSID_...)" for object creation and "QueryInterface(IName)" for queries.
//
// Single-threaded, like the objects that consult it. A null plan means "nothing fails".

#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/com/hresult.h"

class FaultPlan {
public:
    // Makes `call` fail with `hr`: on every call when `occurrence` is 0, else only on the
    // occurrence-th call (1-based) counted from now.
    void Fail(std::string call, HRESULT hr = E_FAIL, int occurrence = 0);
    // Counts the call and returns the planned failure, or S_OK.
    HRESULT Check(std::string_view call);
    int CallCount(std::string_view call) const;

private:
    struct Rule {
        HRESULT hr;
        int occurrence;  // 0: always
        int callsAtPlan;
    };
    std::map<std::string, Rule, std::less<>> rules_;
    std::map<std::string, int, std::less<>> counts_;
};

// Consults a plan that may be null.
inline HRESULT CheckFault(const std::shared_ptr<FaultPlan>& plan, std::string_view call) {
    return plan ? plan->Check(call) : S_OK;
}
