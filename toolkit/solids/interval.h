// A parameter interval whose bounds may each be unbounded.
#pragma once

#include <ostream>
#include <utility>

struct aInterval {
    bool lowFinite = false;
    bool highFinite = false;
    double low = 0;
    double high = 0;

    // Write the bound's value; answer whether it is finite.
    bool getLow(double& out) const;
    bool getHigh(double& out) const;

    // Reads the SAT form of both bounds: "F" and a number, or "I".
    template <class Reader>
    void readFrom(Reader& parser) {
        readBound(parser, lowFinite, low);
        readBound(parser, highFinite, high);
    }
    // "F value " or "I " for each bound.
    void print(std::ostream& os) const;

private:
    template <class Reader>
    static void readBound(Reader& parser, bool& finite, double& value) {
        finite = false;
        value = 0;
        char* word = nullptr;
        if (parser.readWord(word, 0) && word && word[0] == 'F') {
            finite = true;
            parser.readDouble(value);
        }
    }
};
