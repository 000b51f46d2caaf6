// M x N polygon meshes: row by row, each new row joined to the one before
// it, with the closing row and the closing quads of meshes closed in M or
// N. The row buffer holds the whole previous row, however long the file
// says a row is.
#include "toolkit/display/linetype.h"
#include "toolkit/display/mesh.h"

#include <array>
#include <new>
#include <vector>

namespace {

constexpr std::int16_t kClosedM = 0x01;
constexpr std::int16_t kClosedN = 0x20;

using Point = std::array<double, 3>;

// Where the vertices of a row come from: the vertex list, or the copy of
// the first row for the row that closes the mesh in M.
struct Rows {
    AdDrawing* drawing;
    AdRecordList* list;
    std::int16_t substituteLayer;
    const std::vector<Point>* copy = nullptr;
    std::size_t copied = 0;
    bool atSeqend = false;

    bool next(Point& out) {
        if (copy) {
            if (copied >= copy->size()) return false;
            out = (*copy)[copied++];
            return true;
        }
        const AdEntityHeader* header = adSubEntityHeader();
        // Bounded by the list: every read moves its cursor on.
        while (!atSeqend && adNextSubEntity(drawing, list, substituteLayer)) {
            if (header->type == AD_ENTITY_SEQEND) break;
            if (header->type != AD_ENTITY_VERTEX) continue;
            const double* p = adSubEntityData()->vertex.point;
            out = Point{p[0], p[1], p[2]};
            return true;
        }
        atSeqend = true;
        return false;
    }
};

struct Mesh {
    AdDrawing* drawing;
    const AdMatrix4* matrices;
    std::int32_t n;
    bool closedN;
    std::vector<Point> row;  // the previous row

    void edge(const Point& a, const Point& b) { adDrawMeshEdge(drawing, matrices, a.data(), b.data()); }

    // The first row: each vertex joined to the one before it.
    bool firstRow(Rows& rows) {
        for (std::int32_t j = 0; j < n; ++j) {
            if (!rows.next(row[static_cast<std::size_t>(j)])) return false;
            if (j > 0) edge(row[static_cast<std::size_t>(j) - 1], row[static_cast<std::size_t>(j)]);
        }
        return true;
    }

    // One more row joined to the previous one; false when the vertices end
    // before the row does.
    bool nextRow(Rows& rows) {
        const Point previousFirst = row[0];
        Point p, q;
        if (!rows.next(p)) return false;
        const Point first = p;
        std::size_t a = 0, b = 1;
        for (std::int32_t j = 1; j < n; ++j) {
            if (!rows.next(q)) return false;
            edge(row[a], p);
            edge(p, q);
            if (j == n - 1) edge(q, row[b]);
            row[a] = p;
            a = b++;
            p = q;
        }
        if (closedN) {
            AdDisplayState* state = drawing->display;
            adQuadOutline(drawing, row[static_cast<std::size_t>(n) - 1].data(), previousFirst.data(), first.data(),
                          p.data(), matrices, &state->continuousRecord, drawing);
        }
        row[a] = p;
        return true;
    }
};

}  // namespace

int adDrawPolygonMesh(AdDrawing* drawing, const AdMatrix4* matrices, AdRecordList* list, std::int16_t substituteLayer) {
    const AdPolylineData polyline = adSubEntityData()->polyline;
    Rows rows{drawing, list, substituteLayer};
    std::int32_t m = polyline.meshMCount, n = polyline.meshNCount;
    if (polyline.curveType != 0 && polyline.meshMDensity != 0 && polyline.meshNDensity != 0) {
        m = polyline.meshMDensity;
        n = polyline.meshNDensity;
        Point skipped;
        rows.next(skipped);
    }
    AdListRecord* firstRowStart = adListCurrent(list);
    int result = 1;
    if (m > 0 && n > 0) {
        Mesh mesh{drawing, matrices, n, (polyline.flags & kClosedN) != 0, {}};
        std::vector<Point> firstCopy;
        bool copied = false;
        try {
            mesh.row.resize(static_cast<std::size_t>(n));
        } catch (const std::bad_alloc&) {
            adNoMemory(AD_ERR_MESH_SCRATCH);
            if (!rows.atSeqend) adSkipToSeqend(drawing, list);
            return 0;
        }
        bool complete = mesh.firstRow(rows);
        if (complete && (polyline.flags & kClosedM)) {
            try {
                firstCopy = mesh.row;
                copied = true;
            } catch (const std::bad_alloc&) {
                adNoMemory(AD_ERR_MESH_FIRST_ROW);
                if (!adGlobals->hooks.fatalError) {
                    complete = false;
                    result = 0;
                }
            }
        }
        for (std::int32_t i = 1; complete && i < m; ++i) complete = mesh.nextRow(rows);
        if (complete && (polyline.flags & kClosedM)) {
            const bool seqend = rows.atSeqend;
            AdListRecord* resume = adListCurrent(list);
            Rows closing{drawing, list, substituteLayer, copied ? &firstCopy : nullptr};
            if (!copied) adListSetCurrent(list, firstRowStart);
            mesh.nextRow(closing);
            if (!copied) adListSetCurrent(list, resume);
            rows.atSeqend = seqend;
        }
    }
    if (!rows.atSeqend) adSkipToSeqend(drawing, list);
    return result;
}
