// The plain questions the renderer asks of the topology records.
#include "toolkit/solids/acis_geometry.h"
#include "toolkit/solids/acis_topology.h"

bool acis_Loop::hasNoCurve() const { return !coedge || !coedge->edge || !coedge->edge->curve; }

bool acis_Face::isUnbounded() const {
    for (const acis_Loop* l = loop; l; l = l->next)
        if (!l->hasNoCurve()) return false;
    return true;
}

bool acis_Face::hasCurvelessLoop() const {
    for (const acis_Loop* l = loop; l; l = l->next)
        if (l->hasNoCurve()) return true;
    return false;
}

std::int32_t acis_Face::countCurves() {
    if (curveCount != 0) return curveCount;
    const acis_Curve* last = nullptr;
    std::int32_t count = 0;
    for (const acis_Loop* l = loop; l; l = l->next) {
        const acis_CoEdge* first = l->coedge;
        for (const acis_CoEdge* c = first; c; c = c->next == first ? nullptr : c->next) {
            const acis_Curve* curve = c->edge ? c->edge->curve : nullptr;
            if (!curve) continue;
            if (curve != last) ++count;
            last = curve;
        }
    }
    curveCount = count;
    return count;
}

bool acis_CoEdge::sameSenseAsEdge() const {
    const std::int32_t edgeSense = edge ? edge->sense : 0;
    return (sense == 0) == (edgeSense == 0);
}
