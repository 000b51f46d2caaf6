// Reading the topology records and storing their resolved references. A
// reference to a record of the wrong kind is dropped: the walks that follow
// these pointers rely on their kinds.
#include "toolkit/solids/acis_geometry.h"
#include "toolkit/solids/acis_topology.h"
#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/sat_parser.h"

#include <cstring>

namespace {

template <class T>
T* as(acis_Entity* entity) {
    return dynamic_cast<T*>(entity);
}

// 0 for "0" or `zero`, 1 for "1" or `one`, otherwise `other`.
std::int32_t wordCode(const char* word, const char* zero, const char* one, std::int32_t other) {
    if (satWordIs(word, "0") || satWordIs(word, zero)) return 0;
    if (satWordIs(word, "1") || satWordIs(word, one)) return 1;
    return other;
}

}  // namespace

void acis_Body::readData(satParser& parser) { readPointerFields(parser, 200, 3); }

void acis_Body::setPointerField(std::int32_t field, acis_Entity* entity) {
    switch (field) {
        case 200: lump = as<acis_Lump>(entity); break;
        case 201: wire = as<acis_Wire>(entity); break;
        case 202: transform = as<acis_Transform>(entity); break;
        default: acis_Entity::setPointerField(field, entity);
    }
}

void acis_Lump::readData(satParser& parser) { readPointerFields(parser, 300, 3); }

void acis_Lump::setPointerField(std::int32_t field, acis_Entity* entity) {
    switch (field) {
        case 300: next = as<acis_Lump>(entity); break;
        case 301: shell = as<acis_Shell>(entity); break;
        case 302: body = as<acis_Body>(entity); break;
        default: acis_Entity::setPointerField(field, entity);
    }
}

void acis_Shell::readData(satParser& parser) {
    readPointerFields(parser, 400, 3);
    if (parser.version() < 107)
        readPointerFields(parser, 404, 1);
    else
        readPointerFields(parser, 403, 2);
}

void acis_Shell::setPointerField(std::int32_t field, acis_Entity* entity) {
    switch (field) {
        case 400: next = as<acis_Shell>(entity); break;
        case 401: subshell = as<acis_Subshell>(entity); break;
        case 402: face = as<acis_Face>(entity); break;
        case 403: wire = as<acis_Wire>(entity); break;
        case 404: lump = as<acis_Lump>(entity); break;
        default: acis_Entity::setPointerField(field, entity);
    }
}

void acis_Subshell::readData(satParser& parser) { readPointerFields(parser, 500, 5); }

void acis_Subshell::setPointerField(std::int32_t field, acis_Entity* entity) {
    switch (field) {
        case 500: parent = as<acis_Subshell>(entity); break;
        case 501: sibling = as<acis_Subshell>(entity); break;
        case 502: child = as<acis_Subshell>(entity); break;
        case 503: face = as<acis_Face>(entity); break;
        case 504: break;  // the wire is not kept
        default: acis_Entity::setPointerField(field, entity);
    }
}

void acis_Face::readData(satParser& parser) {
    readPointerFields(parser, 600, 5);
    if (parser.version() <= 104) {
        std::int32_t value = -1;
        const bool read = parser.readInt(value);
        sense = read && (value == 0 || value == 1) ? value : kSenseInvalid;
        if (sense == kSenseInvalid)
            Diagnostic(DiagnosticStream::err) << "*** ERROR: " << "Bad face orientation int: " << value << "\n";
        sidedness = 0;
        containment = 2;
        return;
    }
    // Texts before version 200 write these three as 0 and 1 as well.
    char* word = nullptr;
    parser.readWord(word);
    sense = wordCode(word, "forward", "reversed", kSenseInvalid);
    if (sense == kSenseInvalid)
        Diagnostic(DiagnosticStream::err) << "*** ERROR: " << "Bad face orientation string: " << (word ? word : "")
                                          << "\n";
    parser.readWord(word);
    sidedness = wordCode(word, "single", "double", 3);
    containment = 2;
    if (sidedness == 1) {
        parser.readWord(word);
        containment = wordCode(word, "out", "in", 4);
    }
}

void acis_Face::setPointerField(std::int32_t field, acis_Entity* entity) {
    switch (field) {
        case 600: next = as<acis_Face>(entity); break;
        case 601: loop = as<acis_Loop>(entity); break;
        case 602: shell = as<acis_Shell>(entity); break;
        case 603: subshell = as<acis_Subshell>(entity); break;
        case 604: surface = as<acis_Surface>(entity); break;
        default: acis_Entity::setPointerField(field, entity);
    }
}

void acis_Loop::readData(satParser& parser) { readPointerFields(parser, 700, 3); }

void acis_Loop::setPointerField(std::int32_t field, acis_Entity* entity) {
    switch (field) {
        case 700: next = as<acis_Loop>(entity); break;
        case 701: coedge = as<acis_CoEdge>(entity); break;
        case 702: face = as<acis_Face>(entity); break;
        default: acis_Entity::setPointerField(field, entity);
    }
}

void acis_CoEdge::readData(satParser& parser) {
    readPointerFields(parser, 800, 4);
    char* word = nullptr;
    parser.readWord(word);
    sense = wordCode(word, "forward", "reversed", -1);
    if (sense < 0)
        Diagnostic(DiagnosticStream::err) << "*** ERROR: " << "Bad edge direction enum: " << (word ? word : "") << "\n";
    readPointerFields(parser, 804, 2);
}

void acis_CoEdge::setPointerField(std::int32_t field, acis_Entity* entity) {
    switch (field) {
        case 800: next = as<acis_CoEdge>(entity); break;
        case 801: previous = as<acis_CoEdge>(entity); break;
        case 802: partner = as<acis_CoEdge>(entity); break;
        case 803: edge = as<acis_Edge>(entity); break;
        case 804: owner = as<acis_Loop>(entity) || as<acis_Wire>(entity) ? entity : nullptr; break;
        case 805: pcurve = as<acis_Pcurve>(entity); break;
        default: acis_Entity::setPointerField(field, entity);
    }
}

void acis_Edge::readData(satParser& parser) {
    if (parser.version() >= 500) {
        double ignored = 0;
        readPointerFields(parser, 900, 1);
        parser.readDouble(ignored);
        readPointerFields(parser, 901, 1);
        parser.readDouble(ignored);
        readPointerFields(parser, 902, 2);
    } else {
        readPointerFields(parser, 900, 4);
    }
    if (parser.version() < 200) {
        std::int32_t value = -1;
        sense = parser.readInt(value) && (value == 0 || value == 1) ? value : kSenseInvalid;
    } else {
        char* word = nullptr;
        parser.readWord(word);
        sense = satWordIs(word, "forward") ? 0 : satWordIs(word, "reversed") ? 1 : kSenseInvalid;
    }
    if (parser.version() >= 500) {
        char* convexity = nullptr;
        if (parser.readCountedString(convexity) && !satWordIs(convexity, "unknown") && diagnosticSwitches.subtypeWarnings)
            Diagnostic(DiagnosticStream::err) << "+++ Warning: " << "acis_Edge: " << convexity;
    }
}

void acis_Edge::setPointerField(std::int32_t field, acis_Entity* entity) {
    switch (field) {
        case 900: start = as<acis_Vertex>(entity); break;
        case 901: end = as<acis_Vertex>(entity); break;
        case 902: coedge = as<acis_CoEdge>(entity); break;
        case 903: curve = as<acis_Curve>(entity); break;
        default: acis_Entity::setPointerField(field, entity);
    }
}

void acis_Vertex::readData(satParser& parser) { readPointerFields(parser, 1000, 2); }

void acis_Vertex::setPointerField(std::int32_t field, acis_Entity* entity) {
    switch (field) {
        case 1000: edge = as<acis_Edge>(entity); break;
        case 1001: point = as<acis_Point>(entity); break;
        default: acis_Entity::setPointerField(field, entity);
    }
}

void acis_Wire::readData(satParser& parser) {
    readPointerFields(parser, 1100, 3);
    side = kOut;
    if (parser.version() <= 106) return;
    readPointerFields(parser, 1103, 1);
    char* word = nullptr;
    parser.readWord(word);
    side = satWordIs(word, "out") ? kOut : kIn;
}

void acis_Wire::setPointerField(std::int32_t field, acis_Entity* entity) {
    switch (field) {
        case 1100: next = as<acis_Wire>(entity); break;
        case 1101: coedge = as<acis_CoEdge>(entity); break;
        case 1102: owner = entity; break;
        case 1103: subshell = as<acis_Subshell>(entity); break;
        default: acis_Entity::setPointerField(field, entity);
    }
}

acis_Entity* readTopologyEntity(satParser& parser, const char* keyword) {
    if (satWordIs(keyword, "body")) return new acis_Body(parser);
    if (satWordIs(keyword, "lump")) return new acis_Lump(parser);
    if (satWordIs(keyword, "shell")) return new acis_Shell(parser);
    if (satWordIs(keyword, "subshell")) return new acis_Subshell(parser);
    if (satWordIs(keyword, "face")) return new acis_Face(parser);
    if (satWordIs(keyword, "loop")) return new acis_Loop(parser);
    if (satWordIs(keyword, "coedge")) return new acis_CoEdge(parser);
    if (satWordIs(keyword, "edge")) return new acis_Edge(parser);
    if (satWordIs(keyword, "vertex")) return new acis_Vertex(parser);
    if (satWordIs(keyword, "wire")) return new acis_Wire(parser);
    return nullptr;
}
