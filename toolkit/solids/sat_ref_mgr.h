// The subtype definitions of one SAT text, numbered in the order of their
// opening braces, so that "{ ref N }" finds definition N.
#pragma once
#include "toolkit/solids/acis_subtype.h"

#include <cstdint>
#include <memory>
#include <vector>

class RefMgr {
public:
    explicit RefMgr(std::int32_t capacity);

    // The next number; the table grows by half when it is full.
    std::int32_t allocate();
    // Stores the definition of a number handed out (taking ownership).
    void set(std::int32_t index, acis_Subtype* subtype);
    // Definition index, or null when it was never handed out or not recognised.
    acis_Subtype* get(std::int32_t index) const;

    std::int32_t count() const { return count_; }
    std::int32_t capacity() const { return static_cast<std::int32_t>(entries_.size()); }

private:
    std::vector<std::unique_ptr<acis_Subtype>> entries_;
    std::int32_t count_ = 0;
};
