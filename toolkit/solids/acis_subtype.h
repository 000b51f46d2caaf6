// The base of the objects that SAT records carry between braces.
#pragma once
#include <ostream>

class acis_Subtype {
public:
    virtual ~acis_Subtype() = default;
    virtual const char* name() const = 0;
    virtual void print(std::ostream& out) const = 0;
};
