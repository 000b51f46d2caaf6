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

    // Reads the SAT form of both bounds: "F" (or "1") and a number, or "I" (or "0").
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
        // Texts before version 200 may write a bounded end as 1 instead of F.
        if (parser.readWord(word, 0) && word && (word[0] == 'F' || (word[0] == '1' && word[1] == '\0'))) {
            finite = true;
            parser.readDouble(value);
        }
    }
};
