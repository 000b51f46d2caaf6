// The topology a parsed body holds, counted by walking it the way the
// renderer does: lumps, shells, faces, loops and their coedge rings, with
// edges and vertices counted once however many coedges share them.
#pragma once
#include "toolkit/solids/acis_topology.h"

#include <set>

struct BodyCounts {
    int lumps = 0, shells = 0, faces = 0, loops = 0, coedges = 0, edges = 0, vertices = 0;
};

inline BodyCounts countBody(const acis_Body* body) {
    BodyCounts n;
    std::set<const acis_Edge*> edges;
    std::set<const acis_Vertex*> vertices;
    for (const acis_Lump* lump = body->lump; lump; lump = lump->next, ++n.lumps)
        for (const acis_Shell* shell = lump->shell; shell; shell = shell->next, ++n.shells)
            for (const acis_Face* face = shell->face; face; face = face->next, ++n.faces)
                for (const acis_Loop* loop = face->loop; loop; loop = loop->next, ++n.loops) {
                    const acis_CoEdge* first = loop->coedge;
                    for (const acis_CoEdge* c = first; c; c = c->nextInRing(first)) {
                        ++n.coedges;
                        if (!c->edge) continue;
                        edges.insert(c->edge);
                        for (const acis_Vertex* v : {c->edge->start, c->edge->end})
                            if (v) vertices.insert(v);
                    }
                }
    n.edges = static_cast<int>(edges.size());
    n.vertices = static_cast<int>(vertices.size());
    return n;
}
