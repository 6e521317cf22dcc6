#include "platform/timeline/fault_plan.h"

void FaultPlan::Fail(std::string call, HRESULT hr, int occurrence) {
    int already = CallCount(call);
    rules_[std::move(call)] = Rule{hr, occurrence, already};
}

HRESULT FaultPlan::Check(std::string_view call) {
    auto count = counts_.find(call);
    if (count == counts_.end()) count = counts_.emplace(std::string(call), 0).first;
    int n = ++count->second;
    auto rule = rules_.find(call);
    if (rule == rules_.end()) return S_OK;
    const Rule& r = rule->second;
    if (r.occurrence == 0 || n - r.callsAtPlan == r.occurrence) return r.hr;
    return S_OK;
}

int FaultPlan::CallCount(std::string_view call) const {
    auto it = counts_.find(call);
    return it == counts_.end() ? 0 : it->second;
}
