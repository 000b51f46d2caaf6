// Segment loops made from vertex lists for the fill and hatch tests, freed
// with the set; and the area of the polygons a recording host wrote.
#pragma once
#include "toolkit/ad.h"

#include <cmath>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using Vertices = std::vector<std::pair<double, double>>;

class LoopSet {
public:
    LoopSet() = default;
    LoopSet(const LoopSet&) = delete;
    LoopSet& operator=(const LoopSet&) = delete;
    ~LoopSet() {
        for (AdStore* store : stores) adStoreFree(store);
    }
    // A closed loop through the vertices; gap moves the last segment's end
    // that far right of the first vertex.
    void add(const Vertices& v, double gap = 0.0) {
        AdStore* store = adStoreCreate(AD_STORE_BLOCK_SIZE);
        AdStream* out = adStreamOpenWrite(store);
        for (std::size_t i = 0; i < v.size(); ++i) {
            const auto& a = v[i];
            auto b = v[(i + 1) % v.size()];
            if (i + 1 == v.size()) b.first += gap;
            for (double value : {a.first, a.second, b.first, b.second}) adStreamPutDouble(out, value);
        }
        adStreamCloseWrite(out);
        stores.push_back(store);
        counts.push_back(static_cast<std::uint16_t>(v.size()));
    }
    std::int32_t size() const { return static_cast<std::int32_t>(stores.size()); }

    std::vector<AdStore*> stores;
    std::vector<std::uint16_t> counts;
};

inline Vertices square(double x0, double y0, double x1, double y1) { return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}; }

// The summed area of every "polygon" line of a recorded stream.
inline double polygonArea(const std::string& stream) {
    std::istringstream in(stream);
    double total = 0.0;
    for (std::string line; std::getline(in, line);) {
        std::istringstream words(line);
        std::string command;
        int n = 0;
        if (!(words >> command >> n) || command != "polygon") continue;
        std::vector<double> x, y;
        for (std::string word; words >> word;) {
            const std::size_t comma = word.find(',');
            x.push_back(std::stod(word.substr(0, comma)));
            y.push_back(std::stod(word.substr(comma + 1)));
        }
        double twice = 0.0;
        for (std::size_t i = 0; i < x.size(); ++i) {
            const std::size_t j = (i + 1) % x.size();
            twice += x[i] * y[j] - x[j] * y[i];
        }
        total += std::fabs(twice) / 2.0;
    }
    return total;
}
