#include "toolkit/solids/sat_ref_mgr.h"

#include "toolkit/solids/diagnostics.h"

RefMgr::RefMgr(std::int32_t capacity) { entries_.resize(capacity < 5 ? 20 : capacity); }

std::int32_t RefMgr::allocate() {
    if (count_ == capacity()) entries_.resize(static_cast<std::size_t>(capacity()) * 3 / 2);
    return count_++;
}

void RefMgr::set(std::int32_t index, acis_Subtype* subtype) {
    std::unique_ptr<acis_Subtype> owned(subtype);
    if (index >= 0 && index < capacity()) entries_[index] = std::move(owned);
}

acis_Subtype* RefMgr::get(std::int32_t index) const {
    if (index >= 0 && index < count_) return entries_[index].get();
    if (diagnosticSwitches.referenceErrors)
        Diagnostic(DiagnosticStream::err) << "*** ERROR: " << "Invalid reference: " << index << "\n";
    return nullptr;
}
