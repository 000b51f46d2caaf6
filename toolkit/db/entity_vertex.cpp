// The short forms of a stored VERTEX: most vertices of a drawing are plain 2D
// points, so a vertex whose later fields are all zero keeps only its x and y,
// or its point and flags.
#include "toolkit/db/entity_layout.h"

namespace {

constexpr std::int16_t kMeshVertex = 64;
constexpr std::int16_t kFaceRecord = 128;

}  // namespace

// A face-index count without the face-record flag still holds face indices,
// which a short form would drop: such a vertex keeps its whole data.
std::int32_t adVertexStoredSize(const AdVertexData* vertex) {
    if (vertex->startWidthGiven != 0 || vertex->endWidthGiven != 0 || vertex->bulge != 0.0 ||
        vertex->tangentDirection != 0.0 || (vertex->flags & (kMeshVertex | kFaceRecord)) != 0 ||
        vertex->faceIndexCount != 0)
        return sizeof(AdVertexData);
    if (vertex->flags != 0 || vertex->point[2] != 0.0) return AD_VERTEX_MEDIUM_SIZE;
    return AD_VERTEX_SHORT_SIZE;
}

void adVertexRestore(AdVertexData* vertex, std::int32_t size) {
    if (size == AD_VERTEX_SHORT_SIZE) {
        vertex->point[2] = 0.0;
        vertex->flags = 0;
    }
    if (size > AD_VERTEX_MEDIUM_SIZE) return;
    vertex->startWidth = vertex->endWidth = 0.0;
    vertex->startWidthGiven = vertex->endWidthGiven = 0;
    vertex->bulge = vertex->tangentDirection = 0.0;
    vertex->faceIndexCount = 0;
    for (std::int16_t& index : vertex->faceIndices) index = 0;
}

int adVertexSizeValid(std::int32_t size) {
    return size == AD_VERTEX_SHORT_SIZE || size == AD_VERTEX_MEDIUM_SIZE ||
           size == static_cast<std::int32_t>(sizeof(AdVertexData));
}
