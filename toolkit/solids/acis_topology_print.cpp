// The descriptions of the topology records for the diagnostic dump.
#include "toolkit/solids/acis_topology.h"

#include <iomanip>

namespace {

void header(std::ostream& out, const acis_Entity& entity, const char* keyword) {
    entity.printSequence(out);
    out << keyword;
    entity.acis_Entity::print(out);
}

template <class... Pointers>
void references(std::ostream& out, const Pointers*... pointers) {
    (acis_Entity::printReference(out, pointers), ...);
}

}  // namespace

void acis_Body::print(std::ostream& out) const {
    header(out, *this, "body");
    references(out, lump, wire, transform);
}

void acis_Lump::print(std::ostream& out) const {
    header(out, *this, "lump");
    references(out, next, shell, body);
}

void acis_Shell::print(std::ostream& out) const {
    header(out, *this, "shell");
    references(out, next, subshell, face, wire, lump);
}

void acis_Subshell::print(std::ostream& out) const {
    header(out, *this, "subshell");
    references(out, parent, sibling, child, face);
}

void acis_Face::print(std::ostream& out) const {
    header(out, *this, "face");
    references(out, next, loop, shell, subshell, surface);
    out << std::setw(10) << sense << std::setw(8) << sidedness << std::setw(8) << containment;
}

void acis_Loop::print(std::ostream& out) const {
    header(out, *this, "loop");
    references(out, next, coedge, face);
}

void acis_CoEdge::print(std::ostream& out) const {
    header(out, *this, "coedge");
    references(out, next, previous, partner, edge);
    out << std::setw(10) << sense;
    references(out, owner, pcurve);
}

void acis_Edge::print(std::ostream& out) const {
    header(out, *this, "edge");
    references(out, start, end, coedge, curve);
    out << std::setw(10) << sense;
}

void acis_Vertex::print(std::ostream& out) const {
    header(out, *this, "vertex");
    references(out, edge, point);
}

void acis_Wire::print(std::ostream& out) const {
    header(out, *this, "wire");
    references(out, next, coedge, owner, subshell);
    out << (side == kOut ? " out" : side == kIn ? " in" : "unknown-in-out");
}
