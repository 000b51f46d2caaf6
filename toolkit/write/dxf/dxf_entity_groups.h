// The group writes of one entity record, shared by the writers of the fixed
// and the class-numbered kinds. Internal to the DXF writer.
#pragma once
#include "toolkit/write/dxf/dxf_entities.h"

#include <cmath>

// Angles below this many radians count as zero.
constexpr double AD_DXF_ANGLE_THRESHOLD = 8.726646259971647e-09;

int adDxfWriteEntityCommon(AdDxfEntityContext* context, const AdEntityHeader* header, const AdEntityData* data,
                           double elevation);
// A type-498 entity that a class of the drawing keeps (its data group-coded):
// true with the class's DXF name in name (AD_TABLE_NAME_SIZE bytes).
bool adDxfKeptClassEntity(AdDrawing* source, std::uint16_t type, const AdEntityData* data, char* name);
int adDxfWriteExtrusion(AdOutputDrawing* output, const AdEntityHeader* header);

// One entity's writes, stopping at the first failure.
struct AdDxfEntityGroups : AdDxfGroupRun {
    AdDxfEntityContext* context;
    const AdEntityHeader* header;
    std::int16_t v;

    AdDxfEntityGroups(AdDxfEntityContext* c, const AdEntityHeader* h)
        : AdDxfGroupRun{c->output}, context(c), header(h), v(c->output->version) {}
    bool modern() const { return v >= AD_VERSION_AC1012; }
    void marker(const char* name) {
        if (ok && modern()) ok = adDxfWriteStringGroup(output, 100, name);
    }
    void escaped(std::int16_t code, const char* value) {
        if (ok) ok = adDxfWriteEscapedGroup(output, code, value);
    }
    void length(std::int16_t code, double value) {
        if (std::fabs(value) >= output->roundingThreshold) real(code, value);
    }
    void notOne(std::int16_t code, double value) {
        if (value != 1.0) real(code, value);
    }
    void angleIf(std::int16_t code, double radians) {
        if (std::fabs(radians) >= AD_DXF_ANGLE_THRESHOLD) angle(code, radians);
    }
    void shortIf(std::int16_t code, std::int16_t value) {
        if (value != 0) shortGroup(code, value);
    }
    void point(std::int16_t code, const double* p) {
        if (ok) ok = adDxfWritePointOptZ(output, code, p);
    }
    void pointZ(std::int16_t code, const double* p) {
        if (ok) ok = adDxfWritePointZ(output, code, p);
    }
    void thickness() {
        if (modern()) length(39, header->thickness);
    }
    void extrusion() {
        if (ok) ok = adDxfWriteExtrusion(output, header);
    }
    void name(std::int16_t code, const char* value, std::int32_t number) {
        if (ok) ok = adDxfWriteNameGroup(context->source, output, code, value, number, adGetNameLengthLimit());
    }
};

// The style is the default one: "Standard" before AC1012, the drawing's first
// text style from it.
bool adDxfIsDefaultStyle(const AdDxfEntityContext* context);
// The style's position in its table, for the name writer.
std::int32_t adDxfStyleNumber(AdDrawing* source, const AdHandle& style);
// The kinds that exist only from AC1012 (ELLIPSE, SPLINE, REGION, 3DSOLID,
// BODY, RAY, XLINE, MTEXT, LEADER, TOLERANCE, MLINE); other types write
// nothing.
int adDxfWriteModernKind(AdDxfEntityGroups& g, const AdEntityData* data);
// The groups of a class-numbered entity after its common part.
int adDxfWriteClassEntity(AdDxfEntityContext* context, const AdEntityHeader* header, const AdEntityData* data);
