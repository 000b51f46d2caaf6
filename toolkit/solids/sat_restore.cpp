// The parser's helpers for curves, surfaces, point lists and law data that
// subtypes name inline, without record headers.
#include "toolkit/solids/acis_geometry.h"
#include "toolkit/solids/acis_subtypes.h"
#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/sat_parser.h"

#include <cstring>
#include <memory>

acis_Curve* satParser::restoreCurve() {
    char* name = nullptr;
    if (!readWord(name) || satWordIs(name, "null_curve")) return nullptr;
    acis_Curve* curve = readCurveByName(*this, name);
    if (!curve && diagnosticSwitches.referenceErrors)
        Diagnostic(DiagnosticStream::err) << "*** ERROR: " << "Expected a curve to restore, found: " << name << "\n";
    return curve;
}

void satParser::skipCurve() { std::unique_ptr<acis_Curve> discarded(restoreCurve()); }

void satParser::skipSurface() {
    char* name = nullptr;
    if (!readWord(name) || satWordIs(name, "null_surface")) return;
    std::unique_ptr<acis_Surface> discarded(readSurfaceByName(*this, name));
    if (!discarded && diagnosticSwitches.referenceErrors)
        Diagnostic(DiagnosticStream::err) << "*** ERROR: " << "Expected a surface to restore, found: " << name << "\n";
}

void satParser::skipPointList() {
    std::int32_t n = 0;
    double ignored = 0;
    if (!readInt(n)) return;
    for (std::int64_t i = 0; i < 3 * static_cast<std::int64_t>(n) && readDouble(ignored); ++i) {
    }
}

void satParser::skipLaw() { readLawData(*this); }

void satParser::skipPcurve() { std::unique_ptr<acis_int_cur> discarded(createCurveSubtype(*this, "exppc")); }

void readLawData(satParser& parser) {
    char* word = nullptr;
    if (!parser.readCountedString(word) || satWordIs(word, "null_law")) return;
    std::int32_t n = 0;
    parser.readInt(n);
    double reals[2] = {};
    aInterval range;
    for (std::int32_t i = 0; i < n && parser.good(); ++i) {
        if (!parser.readCountedString(word)) return;
        if (satWordIs(word, "TRANS")) {
            acis_Transform discarded;
            discarded.readData(parser);
        } else if (satWordIs(word, "WIRE")) {
            std::int32_t m = 0;
            parser.readInt(m);
            for (std::int32_t j = 0; j < m && parser.good(); ++j) {
                parser.skipCurve();
                parser.readDoubles(reals, 2);
                readRange(parser, range);
            }
        } else if (satWordIs(word, "EDGE")) {
            parser.skipCurve();
            parser.readDoubles(reals, 2);
        } else if (satWordIs(word, "SURF")) {
            parser.skipSurface();
            readRange(parser, range);
            readRange(parser, range);
        } else if (satWordIs(word, "PCURVE")) {
            parser.skipPcurve();
            parser.readDoubles(reals, 2);
        } else if (diagnosticSwitches.referenceErrors) {
            Diagnostic(DiagnosticStream::err) << "*** ERROR: " << "Unrecognized law data item: " << word << "\n";
        }
    }
}
