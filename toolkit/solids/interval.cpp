#include "toolkit/solids/interval.h"

bool aInterval::getLow(double& out) const {
    out = low;
    return lowFinite;
}

bool aInterval::getHigh(double& out) const {
    out = high;
    return highFinite;
}

void aInterval::print(std::ostream& os) const {
    for (auto [finite, value] : {std::pair{lowFinite, low}, std::pair{highFinite, high}}) {
        if (finite)
            os << "F " << value << ' ';
        else
            os << "I ";
    }
}
