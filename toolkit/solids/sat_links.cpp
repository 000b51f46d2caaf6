#include "toolkit/solids/sat_links.h"

#include "toolkit/solids/acis_attrib.h"
#include "toolkit/solids/acis_topology.h"
#include "toolkit/solids/diagnostics.h"

#include <array>
#include <unordered_map>
#include <unordered_set>
#include <utility>

namespace {

// Depth-first over the links that edges(node) gives (pointers to the link
// fields); a link back to a node on the current path is cleared.
template <class T, class Edges>
int cutBackEdges(const std::vector<T*>& nodes, Edges edges) {
    enum : char { kOnPath = 1, kDone = 2 };
    std::unordered_map<T*, char> state;
    int cut = 0;
    for (T* root : nodes) {
        if (state[root]) continue;
        std::vector<std::pair<T*, std::size_t>> path{{root, 0}};
        state[root] = kOnPath;
        while (!path.empty()) {
            auto& [node, next] = path.back();
            const auto links = edges(node);
            if (next == links.size()) {
                state[node] = kDone;
                path.pop_back();
                continue;
            }
            T** link = links[next++];
            if (!*link) continue;
            char& seen = state[*link];
            if (seen == kOnPath) {
                *link = nullptr;
                ++cut;
            } else if (!seen) {
                seen = kOnPath;
                path.push_back({*link, 0});
            }
        }
    }
    return cut;
}

template <class T>
std::vector<T*> ofKind(const std::vector<std::unique_ptr<acis_Entity>>& entities) {
    std::vector<T*> nodes;
    for (const auto& entity : entities)
        if (auto* node = dynamic_cast<T*>(entity.get())) nodes.push_back(node);
    return nodes;
}

template <class T>
int cutList(const std::vector<std::unique_ptr<acis_Entity>>& entities) {
    return cutBackEdges(ofKind<T>(entities), [](T* node) { return std::array<T**, 1>{&node->next}; });
}

// A ring walked from first must come back to first or end.
int cutRing(acis_CoEdge* first) {
    std::unordered_set<acis_CoEdge*> seen{first};
    for (acis_CoEdge* c = first; c && c->next != first; c = c->next) {
        if (!c->next) break;
        if (!seen.insert(c->next).second) {
            c->next = nullptr;
            return 1;
        }
    }
    return 0;
}

}  // namespace

int breakCycles(const std::vector<std::unique_ptr<acis_Entity>>& entities) {
    int cut = cutList<acis_Face>(entities) + cutList<acis_Loop>(entities) + cutList<acis_Lump>(entities) +
              cutList<acis_Shell>(entities) + cutList<acis_Wire>(entities);
    cut += cutBackEdges(ofKind<acis_Subshell>(entities),
                        [](acis_Subshell* s) { return std::array<acis_Subshell**, 2>{&s->child, &s->sibling}; });
    // Attribute chains run through next pointers to other attributes.
    std::vector<acis_Entity*> attribs;
    for (acis_Attrib* attrib : ofKind<acis_Attrib>(entities)) attribs.push_back(attrib);
    cut += cutBackEdges(attribs, [](acis_Entity* node) {
        static acis_Entity* none = nullptr;
        auto* attrib = dynamic_cast<acis_Attrib*>(node);
        return std::array<acis_Entity**, 1>{attrib ? attrib->nextLink() : &none};
    });
    for (acis_Loop* loop : ofKind<acis_Loop>(entities))
        if (loop->coedge) cut += cutRing(loop->coedge);
    for (acis_Wire* wire : ofKind<acis_Wire>(entities))
        if (wire->coedge) cut += cutRing(wire->coedge);
    if (cut) Diagnostic(DiagnosticStream::err) << "*** ERROR: " << "Cut " << cut << " links that closed a cycle\n";
    return cut;
}
