#include "toolkit/solids/acis_entity.h"

#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/sat_parser.h"

acis_Entity::acis_Entity(satParser& parser) : sequence_(parser.sequenceNumber()) { readPointerFields(parser, 100, 1); }

void acis_Entity::print(std::ostream& out) const { printReference(out, attribute_); }

void acis_Entity::setPointerField(std::int32_t field, acis_Entity* entity) {
    if (field == 100) {
        attribute_ = entity;
        return;
    }
    if (diagnosticSwitches.referenceErrors)
        Diagnostic(DiagnosticStream::err) << "*** ERROR: " << "Cannot setPointerField (" << field << ")\n";
}

void acis_Entity::printSequence(std::ostream& out) const {
    if (sequence_ < 0)
        out << "<*> ";
    else
        out << '-' << sequence_ << ' ';
}

void acis_Entity::printReference(std::ostream& out, const void* pointer) {
    if (pointer)
        out << ' ' << pointer;
    else
        out << " ---NULL---";
}

void acis_Entity::readPointerFields(satParser& parser, std::int32_t first, std::int32_t count) {
    for (std::int32_t field = first; field < first + count; ++field) {
        char kind = ' ';
        std::int32_t record = -1;
        char* word = nullptr;
        if (!parser.readTag(kind, record, word)) return;
        if (kind == '$') parser.addReference(this, field, record);
    }
}
