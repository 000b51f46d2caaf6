#include "toolkit/solids/legacy_records.h"

#include <array>
#include <new>

namespace {

// Free-list heads, in the order freeLegacyPools empties them.
constexpr std::array<std::int32_t, 9> kPooledTypes = {LEGACY_SPHERE,    LEGACY_PLANE,   LEGACY_PARABOLA,
                                                      LEGACY_LINE,      LEGACY_HYPERBOLA, LEGACY_ELLIPSE,
                                                      LEGACY_CYLINDER,  LEGACY_CONE,    LEGACY_CIRCLE};
std::array<LegacyRecord*, kPooledTypes.size()> freeHeads{};

LegacyRecord** freeHead(std::int32_t type) {
    for (std::size_t i = 0; i < kPooledTypes.size(); ++i)
        if (kPooledTypes[i] == type) return &freeHeads[i];
    return nullptr;
}

template <class Image>
LegacyNode* newLegacyEntity(LegacyType type, const Image& image, LegacyEntityHandle& out) {
    out = nullEntityHandle;
    auto* node = new (std::nothrow) LegacyNode{};
    if (!node) return nullptr;
    node->handleWord = out.word;
    LegacyRecord* record = allocLegacyRecord(type);
    if (!record) {
        delete node;
        return nullptr;
    }
    out.node = node;
    record->geometry = image;
    record->header.state = out.word;
    record->header.link = node;
    node->record = record;
    node->type = type;
    return node;
}

}  // namespace

LegacyType legacyTypeOf(const LegacyGeometry& geometry) {
    static constexpr LegacyType kTypes[] = {LEGACY_POINT,     LEGACY_LINE,  LEGACY_CIRCLE,   LEGACY_ELLIPSE,
                                            LEGACY_PARABOLA,  LEGACY_HYPERBOLA, LEGACY_PLANE, LEGACY_CYLINDER,
                                            LEGACY_SPHERE,    LEGACY_CONE};
    return kTypes[geometry.index()];
}

LegacyNode* newLegacyLine(const LegacyLine& image, LegacyEntityHandle& out) {
    return newLegacyEntity(LEGACY_LINE, image, out);
}
LegacyNode* newLegacyCircle(const LegacyCircle& image, LegacyEntityHandle& out) {
    return newLegacyEntity(LEGACY_CIRCLE, image, out);
}
LegacyNode* newLegacyEllipse(const LegacyEllipse& image, LegacyEntityHandle& out) {
    return newLegacyEntity(LEGACY_ELLIPSE, image, out);
}
LegacyNode* newLegacyPlane(const LegacyPlane& image, LegacyEntityHandle& out) {
    return newLegacyEntity(LEGACY_PLANE, image, out);
}
LegacyNode* newLegacyCylinder(const LegacyCylinder& image, LegacyEntityHandle& out) {
    return newLegacyEntity(LEGACY_CYLINDER, image, out);
}
LegacyNode* newLegacySphere(const LegacySphere& image, LegacyEntityHandle& out) {
    return newLegacyEntity(LEGACY_SPHERE, image, out);
}
LegacyNode* newLegacyCone(const LegacyCone& image, LegacyEntityHandle& out) {
    return newLegacyEntity(LEGACY_CONE, image, out);
}

std::int32_t freeLegacyEntity(LegacyNode* node) {
    if (!node) return 0;
    if (node->type == LEGACY_POINT)
        delete node->record;
    else if (freeHead(node->type))
        releaseLegacyRecord(node->type, node->record);
    delete node;
    return 1;
}

LegacyRecord* allocLegacyRecord(std::int32_t type) {
    LegacyRecord** head = freeHead(type);
    LegacyRecord* record = nullptr;
    if (head && *head) {
        record = *head;
        *head = static_cast<LegacyRecord*>(record->header.link);
    } else {
        record = new (std::nothrow) LegacyRecord{};
        if (!record) return nullptr;
    }
    record->header.state = nullEntityHandle.word;
    record->header.link = nullEntityHandle.node;
    return record;
}

void releaseLegacyRecord(std::int32_t type, LegacyRecord* record) {
    LegacyRecord** head = freeHead(type);
    if (!record || !head || record->header.state == 1) return;
    record->header.state = 1;
    record->header.link = *head;
    *head = record;
}

void freeLegacyPools() {
    for (LegacyRecord*& head : freeHeads) {
        while (head) {
            LegacyRecord* next = static_cast<LegacyRecord*>(head->header.link);
            delete head;
            head = next;
        }
    }
}
