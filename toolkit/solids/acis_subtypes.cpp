#include "toolkit/solids/acis_subtypes.h"

#include "toolkit/solids/acis_geometry.h"
#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/line.h"
#include "toolkit/solids/nurbs_curve.h"
#include "toolkit/solids/nurbs_surface.h"
#include "toolkit/solids/sat_parser.h"

#include <cstring>

namespace {

bool oneOf(const char* name, std::initializer_list<const char*> names) {
    for (const char* n : names)
        if (satWordIs(name, n)) return true;
    return false;
}

void skipReals(satParser& parser, std::int64_t n) {
    double ignored = 0;
    for (std::int64_t i = 0; i < n && parser.readDouble(ignored); ++i) {
    }
}

void skipWords(satParser& parser, int n) {
    char* word = nullptr;
    for (int i = 0; i < n && parser.readWord(word); ++i) {
    }
}

void skipRanges(satParser& parser, int n) {
    aInterval ignored;
    for (int i = 0; i < n && parser.good(); ++i) readRange(parser, ignored);
}

}  // namespace

acis_spl_sur::acis_spl_sur(const char* kind) : kind_(kind) {}
acis_spl_sur::~acis_spl_sur() = default;
acis_int_cur::acis_int_cur(const char* kind) : kind_(kind) {}
acis_int_cur::~acis_int_cur() = default;

void acis_spl_sur::readData(satParser& parser) {
    readFields(parser);
    nurbs_ = makeNURBSSurface(bspline_.get());
    if (profile_) makeRevolutionFrame();
}

void acis_spl_sur::readFields(satParser& parser) {
    if (diagnosticSwitches.splineSubtypes)
        Diagnostic(DiagnosticStream::out) << "Note: " << "Entering acis_spl_sur::readData: ";
    const char* k = kind_.c_str();
    const bool parsed = !oneOf(k, {"offsur", "pipesur", "sumsur", "vertexblendsur"});
    if (satWordIs(k, "exactsur"))
        restoreCommonData(parser);
    else if (satWordIs(k, "netsur"))
        readNetSur(parser);
    else if (satWordIs(k, "rbblnsur"))
        readBlendSur(parser);
    else if (satWordIs(k, "rotsur"))
        restoreRotSur(parser);
    else if (satWordIs(k, "skinsur"))
        readSkinSur(parser);
    else if (satWordIs(k, "sweepsur"))
        readSweepSur(parser);
    if (diagnosticSwitches.splineSubtypes)
        Diagnostic(DiagnosticStream::out) << (parsed ? "parsed " : "ignoring ") << kind_ << "\n";
}

void acis_spl_sur::restoreCommonData(satParser& parser) {
    if (parser.version() < 500) {
        readBsplineSurface(parser, bspline_);
        return;
    }
    char* word = nullptr;
    if (!parser.readWord(word)) return;
    if (satWordIs(word, "full")) {
        readBsplineSurface(parser, bspline_);
        return;
    }
    if (diagnosticSwitches.splineSubtypes) {
        Diagnostic(DiagnosticStream::err) << "+++ Warning: " << "Treating summary tag: " << word
                                          << " as AS_OTHER in acis_spl_sur::restore_common_data\n";
        Diagnostic(DiagnosticStream::err) << (satWordIs(word, "summary")
                                                  ? "Ignoring 'summary' in acis_spl_sur::restore_common_data\n"
                                                  : "Ignoring 'other' in acis_spl_sur::restore_common_data\n");
    }
}

void acis_spl_sur::restoreRotSur(satParser& parser) {
    profile_.reset(parser.restoreCurve());
    double values[6] = {};
    parser.readDoubles(values, 6);
    axisRoot_ = aPoint(values[0], values[1], values[2]);
    axisDirection_ = aVector(values[3], values[4], values[5]);
    axisDirection_.normalize();
    if (parser.version() >= 500) {
        restoreCommonData(parser);
        return;
    }
    skipRanges(parser, 2);
    if (parser.version() >= 300) {
        parser.skipPointList();
        parser.skipPointList();
    }
}

void acis_spl_sur::readNetSur(satParser& parser) {
    std::int32_t n = 0, m = 0;
    double ignored = 0;
    parser.readInt(n);
    for (std::int32_t i = 0; i < n && parser.readDouble(ignored); ++i) parser.skipCurve();
    parser.readInt(m);
    for (std::int32_t i = 0; i < m && parser.readDouble(ignored); ++i) parser.skipCurve();
    if (n > 0 && m > 0) skipReals(parser, 2 * static_cast<std::int64_t>(m) * n);
    restoreCommonData(parser);
}

void acis_spl_sur::readBlendSupport(satParser& parser) {
    char* tag = nullptr;
    if (!parser.readCountedString(tag)) return;
    if (satWordIs(tag, "blendsupsur")) {
        parser.skipSurface();
        parser.skipCurve();
        std::unique_ptr<SatBsplineCurve> discarded;
        readBsplineCurve(parser, 2, discarded);
        skipReals(parser, 3);
    } else if (satWordIs(tag, "blendsupcur") || satWordIs(tag, "blendsupzro")) {
        parser.skipCurve();
    } else if (diagnosticSwitches.splineSubtypes) {
        Diagnostic(DiagnosticStream::err) << "+++ Warning: " << "Skipping rbblnsur tag: " << tag << "\n";
    }
}

void acis_spl_sur::readBlendSur(satParser& parser) {
    readBlendSupport(parser);
    readBlendSupport(parser);
    parser.skipCurve();
    skipReals(parser, 2);
    char* word = nullptr;
    if (parser.readWord(word)) {
        if (satWordIs(word, "one_radius")) {
            skipReals(parser, 1);
            parser.skipCurve();
        } else if (satWordIs(word, "two_radii")) {
            skipReals(parser, 2);
            parser.skipCurve();
        }
    }
    std::int32_t ignored = 0;
    if (parser.version() >= 500) {
        skipRanges(parser, 1);
    } else {
        skipRanges(parser, 3);
        parser.readInt(ignored);
        parser.readInt(ignored);
    }
    if (parser.version() > 200) {
        skipRanges(parser, 1);
        parser.readInt(ignored);
        skipReals(parser, 2);
        parser.readInt(ignored);
    }
    if (parser.version() >= 500) restoreCommonData(parser);
}

void acis_spl_sur::readSkinSur(satParser& parser) {
    if (parser.version() > 201) skipWords(parser, 3);
    std::int32_t n = 0;
    parser.readInt(n);
    for (std::int32_t i = 0; i < n && parser.good(); ++i) {
        skipReals(parser, 5);
        parser.skipCurve();
        skipReals(parser, 3);
        parser.skipSurface();
        skipReals(parser, 1);
        if (parser.version() >= 400) parser.skipLaw();
        if (parser.version() >= 600) skipWords(parser, 1);
    }
    if (parser.version() >= 400) {
        std::int32_t m = 0;
        parser.readInt(m);
        for (std::int32_t i = 0; i < m && parser.good(); ++i) parser.skipCurve();
    }
    restoreCommonData(parser);
}

void acis_spl_sur::readSweepSur(satParser& parser) {
    skipWords(parser, 1);
    parser.skipCurve();
    parser.skipCurve();
    skipWords(parser, 1);
    skipReals(parser, 15);
    skipReals(parser, parser.version() >= 500 ? 2 : 4);
    skipReals(parser, 2);
    if (parser.version() > 201)
        for (int i = 0; i < 3 && parser.good(); ++i) parser.skipLaw();
    restoreCommonData(parser);
}

void acis_int_cur::readData(satParser& parser) {
    readFields(parser);
    nurbs_ = makeNURBSCurve(bspline_.get());
    pnurbs1_ = makeNURBSCurve(pcurve1_.get());
    pnurbs2_ = makeNURBSCurve(pcurve2_.get());
}

void acis_int_cur::readFields(satParser& parser) {
    const bool exppc = kind_ == "exppc";
    if (parser.version() >= 500 && !exppc) {
        char* word = nullptr;
        if (!parser.readWord(word)) return;
        if (satWordIs(word, "full")) {
            readBsplineCurve(parser, 3, bspline_);
            parser.readDouble(fitTolerance_);
            if (diagnosticSwitches.surfaceNotes)
                Diagnostic(DiagnosticStream::out) << "AS_FULL, fitTolerance = " << fitTolerance_ << "\n";
        } else if (satWordIs(word, "summary")) {
            std::int32_t count = 0;
            parser.readInt(count);
            double value = 0;
            for (std::int32_t i = 0; i < count && parser.readDouble(value); ++i) parameters_.push_back(value);
            parser.readDouble(fitTolerance_);
            skipWords(parser, 1);
            if (diagnosticSwitches.surfaceNotes)
                Diagnostic(DiagnosticStream::out) << "AS_SUMMARY, fitTolerance = " << fitTolerance_ << "\n";
        } else {
            if (diagnosticSwitches.subtypeWarnings)
                Diagnostic(DiagnosticStream::err) << "+++ Warning: " << "Treating summary tag: " << word
                                                  << " as AS_OTHER in acis_int_cur::readData\n";
            skipRanges(parser, 1);
            skipWords(parser, 1);
        }
    } else {
        readBsplineCurve(parser, exppc ? 2 : 3, bspline_);
        parser.readDouble(fitTolerance_);
    }
    if (!readSurface(parser, surface1_) || exppc) return;
    if (!readSurface(parser, surface2_)) return;
    readBsplineCurve(parser, 2, pcurve1_);
    readBsplineCurve(parser, 2, pcurve2_);
    if (parser.version() > 106) skipRanges(parser, 1);
}

bool acis_int_cur::readSurface(satParser& parser, std::unique_ptr<acis_Surface>& out) {
    char* word = nullptr;
    if (!parser.readWord(word)) return false;
    if (satWordIs(word, "null_surface")) return true;
    acis_Surface* surface = readSurfaceByName(parser, word);
    if (!surface) {
        const std::string reason = word;
        parser.syntaxError(reason.c_str());
        return false;
    }
    out.reset(surface);
    return !parser.recordClosed();
}

acis_int_cur* createCurveSubtype(satParser& parser, const char* name) {
    auto* subtype = new acis_int_cur(name);
    subtype->readData(parser);
    return subtype;
}

acis_spl_sur* createSurfaceSubtype(satParser& parser, const char* name) {
    auto* subtype = new acis_spl_sur(name);
    subtype->readData(parser);
    return subtype;
}

acis_Subtype* createSubtype(satParser& parser, const char* name) {
    if (oneOf(name, {"bldcur", "blndsprngcur", "exactcur", "exppc", "lawintcur", "offintcur", "offsetintcur",
                     "offsurfintcur", "parcur", "projcur", "subsetintcur", "surfcur", "surfintcur"}))
        return createCurveSubtype(parser, name);
    if (oneOf(name, {"exactsur", "netsur", "offsur", "pipesur", "rbblnsur", "rotsur", "skinsur", "sweepsur",
                     "vertexblendsur"}))
        return createSurfaceSubtype(parser, name);
    if (diagnosticSwitches.subtypeWarnings)
        Diagnostic(DiagnosticStream::err) << "+++ Warning: " << "Unrecognized subtype reference "
                                          << "in satParser::parseSubtype:" << "\n\t\t" << name << "\n";
    return nullptr;
}
