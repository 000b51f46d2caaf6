// The doubles a store holds, in order.
#pragma once
#include "toolkit/ad.h"

#include <vector>

inline std::vector<double> storeDoubles(AdStore* store) {
    std::vector<double> values;
    AdStream* in = adStreamOpenRead(store);
    for (double v = 0.0; in && adStreamReadDouble(in, &v);) values.push_back(v);
    if (in) adStreamCloseRead(in);
    return values;
}
