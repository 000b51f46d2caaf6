// Polyface meshes: the position vertices are gathered first, then each face
// record draws its visible edges in its own colour. A vertex number that
// names no position vertex (0, or beyond the last) draws no edge.
#include "toolkit/display/mesh.h"

#include <array>
#include <cstdlib>
#include <new>
#include <vector>

namespace {

constexpr std::int16_t kMeshVertex = 0x40;
constexpr std::int16_t kFaceRecord = 0x80;
constexpr int kFaceIndexLimit = 4;

using Point = std::array<double, 3>;

// The face's pen: BYBLOCK takes the inherited colour, BYLAYER the colour of
// the face's own layer.
void setFaceColour(AdDrawing* drawing, const AdEntityHeader* face, std::int16_t byBlockColour) {
    std::int16_t colour = face->color;
    if (colour == 0) {  // BYBLOCK
        colour = byBlockColour;
    } else if (colour == AD_COLOR_BYLAYER) {
        AdLayerRecord layer{};
        colour = adLayerByHandle(drawing, &face->layer, &layer) ? layer.colour : 7;
    }
    adSetPenColor(drawing, adMapColor(colour));
}

// Vertex number n (1-based) of the positions; null when there is none.
const Point* position(const std::vector<Point>& positions, std::int32_t n) {
    if (n < 1 || static_cast<std::size_t>(n) > positions.size()) return nullptr;
    return &positions[static_cast<std::size_t>(n) - 1];
}

void edge(AdDrawing* drawing, const AdMatrix4* matrices, const std::vector<Point>& positions, std::int32_t from,
          std::int32_t to) {
    const Point* a = position(positions, from);
    const Point* b = position(positions, to);
    if (a && b) adDrawMeshEdge(drawing, matrices, a->data(), b->data());
}

void drawFace(AdDrawing* drawing, const AdMatrix4* matrices, const std::vector<Point>& positions,
              const AdVertexData& face, bool showInvisible) {
    const int count = face.faceIndexCount < kFaceIndexLimit ? face.faceIndexCount : kFaceIndexLimit;
    if (count <= 0) return;
    std::int32_t previous = 0;
    for (int i = 0; i < count; ++i) {
        const std::int32_t index = face.faceIndices[i];
        if (previous > 0) edge(drawing, matrices, positions, previous, std::abs(index));
        previous = showInvisible ? std::abs(index) : index;
    }
    if (previous > 0) edge(drawing, matrices, positions, previous, std::abs(std::int32_t{face.faceIndices[0]}));
}

}  // namespace

int adDrawPolyfaceMesh(AdDrawing* drawing, const AdMatrix4* matrices, std::int16_t byBlockColour, AdRecordList* list,
                       std::int16_t substituteLayer) {
    AdEntityHeader* header = adSubEntityHeader();
    const AdEntityData* data = adSubEntityData();
    AdListRecord* start = adListCurrent(list);
    const std::int32_t limit = adListCount(list);
    std::vector<Point> positions;
    try {
        for (std::int32_t guard = limit; guard > 0; --guard) {
            if (!adNextSubEntity(drawing, list, substituteLayer) || header->type == AD_ENTITY_SEQEND) break;
            if (header->type == AD_ENTITY_VERTEX && (data->vertex.flags & kMeshVertex))
                positions.push_back(Point{data->vertex.point[0], data->vertex.point[1], data->vertex.point[2]});
        }
    } catch (const std::bad_alloc&) {
        adNoMemory(AD_ERR_MESH_SCRATCH);
        return 0;
    }
    adListSetCurrent(list, start);
    const bool showInvisible = drawing->header && drawing->header->splframe != 0;
    for (std::int32_t guard = limit; guard > 0; --guard) {
        if (!adNextSubEntity(drawing, list, substituteLayer) || header->type == AD_ENTITY_SEQEND) break;
        if (header->type != AD_ENTITY_VERTEX) continue;
        const AdVertexData& vertex = data->vertex;
        if (!(vertex.flags & kFaceRecord) || (vertex.flags & kMeshVertex)) continue;
        setFaceColour(drawing, header, byBlockColour);
        const AdVertexData face = vertex;
        drawFace(drawing, matrices, positions, face, showInvisible);
    }
    return 1;
}
