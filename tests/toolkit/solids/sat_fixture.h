// SAT texts parsed from strings; the tests capture diagnostics through
// SolidsTest.
#pragma once
#include "solids_fixture.h"
#include "toolkit/solids/acis_entity.h"
#include "toolkit/solids/sat_parser.h"

#include <memory>
#include <sstream>
#include <string>

// The header lines of a text of the version given.
inline std::string satHeader(int version) {
    std::string text = std::to_string(version) + " 0 1 0\n";
    if (version >= 200) text += "4 abcd 3 xyz 2 ab\n1 1e-06 1e-10\n";
    return text;
}

// A parser over its own copy of a text.
class ParsedSat {
public:
    explicit ParsedSat(std::string text) : buffer_(std::move(text)), parser_(&buffer_) { answer_ = parser_.parse(); }

    std::int32_t answer() const { return answer_; }
    satParser& parser() { return parser_; }
    template <class T>
    T* at(std::int32_t n) {
        return dynamic_cast<T*>(parser_.entityAt(n));
    }

private:
    std::stringbuf buffer_;
    satParser parser_;
    std::int32_t answer_;
};

// One record alone, then a body so that the text answers in full.
template <class T>
struct OneRecord {
    OneRecord(int version, const std::string& record) : sat(satHeader(version) + record + "\nbody $-1 $-1 $-1 $-1 #\n") {}
    T* get() { return sat.at<T>(0); }
    ParsedSat sat;
};
