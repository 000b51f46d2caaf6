// The topology records of a SAT text: body, lump, shell, subshell, face,
// loop, coedge, edge, vertex and wire. References are typed, non-owning
// pointers; one that names a record of another kind stays null.
#pragma once
#include "toolkit/solids/acis_entity.h"
#include "toolkit/solids/box.h"
#include "toolkit/solids/vector.h"

#include <cstdint>

class acis_Transform;
class acis_Surface;
class acis_Curve;
class acis_Point;
class acis_Pcurve;
class acis_Lump;
class acis_Shell;
class acis_Subshell;
class acis_Face;
class acis_Loop;
class acis_CoEdge;
class acis_Edge;
class acis_Vertex;
class acis_Wire;
class c_Curve;
class c_Plane;
class c_Surface;

// Where a point lies relative to an edge.
enum EdgeClass : std::int32_t { ecOnStartV = 0, ecOnEndV = 1, ecOnStartAndEndV = 2, ecIn = 3, ecOut = 4, ecUnknown = 5 };
// Where a point of a face's surface lies relative to the face.
enum FaceClass : std::int32_t { fcIn = 2, fcOut = 3, fcUnknown = 4 };

class acis_Body : public acis_Entity {
public:
    explicit acis_Body(satParser& parser) : acis_Entity(parser) { readData(parser); }
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    void setPointerField(std::int32_t field, acis_Entity* entity) override;

    acis_Lump* lump = nullptr;          // 200
    acis_Wire* wire = nullptr;          // 201
    acis_Transform* transform = nullptr;  // 202
};

class acis_Lump : public acis_Entity {
public:
    explicit acis_Lump(satParser& parser) : acis_Entity(parser) { readData(parser); }
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    void setPointerField(std::int32_t field, acis_Entity* entity) override;

    acis_Lump* next = nullptr;    // 300
    acis_Shell* shell = nullptr;  // 301
    acis_Body* body = nullptr;    // 302
};

class acis_Shell : public acis_Entity {
public:
    explicit acis_Shell(satParser& parser) : acis_Entity(parser) { readData(parser); }
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    void setPointerField(std::int32_t field, acis_Entity* entity) override;

    acis_Shell* next = nullptr;        // 400
    acis_Subshell* subshell = nullptr;  // 401
    acis_Face* face = nullptr;         // 402
    acis_Wire* wire = nullptr;         // 403
    acis_Lump* lump = nullptr;         // 404
};

class acis_Subshell : public acis_Entity {
public:
    explicit acis_Subshell(satParser& parser) : acis_Entity(parser) { readData(parser); }
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    void setPointerField(std::int32_t field, acis_Entity* entity) override;

    acis_Subshell* parent = nullptr;   // 500
    acis_Subshell* sibling = nullptr;  // 501
    acis_Subshell* child = nullptr;    // 502
    acis_Face* face = nullptr;         // 503; the wire (504) is dropped
};

class acis_Face : public acis_Entity {
public:
    explicit acis_Face(satParser& parser) : acis_Entity(parser) { readData(parser); }
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    void setPointerField(std::int32_t field, acis_Entity* entity) override;

    // Every loop has no curve (also a face without loops).
    bool isUnbounded() const;
    // Some loop has no curve.
    bool hasCurvelessLoop() const;
    // How often the edge curve changes along the loops; counted once.
    std::int32_t countCurves();
    // The surface record's library surface, or null.
    c_Surface* getCryphSurface() const;
    // The surface normal at p, turned with the face's sense.
    aVector faceNormal(const aPoint& p) const;
    // Whether p, a point of the face's surface in body coordinates, lies on
    // the face: rays along the surface through p meet the boundary, and the
    // direction of the nearest crossing decides.
    FaceClass classify(const aPoint& p);

    acis_Face* next = nullptr;          // 600
    acis_Loop* loop = nullptr;          // 601
    acis_Shell* shell = nullptr;        // 602
    acis_Subshell* subshell = nullptr;  // 603
    acis_Surface* surface = nullptr;    // 604
    std::int32_t sense = 0;        // 0 forward, 1 reversed, 3 invalid
    std::int32_t sidedness = 0;    // 0 single, 1 double, 3 invalid
    std::int32_t containment = 2;  // 0 out, 1 in, 2 single-sided, 4 invalid
    std::int32_t curveCount = 0;   // 0 until counted
    aBoundingBox extents;          // grown by the renderer with the points it emits
};

class acis_Loop : public acis_Entity {
public:
    explicit acis_Loop(satParser& parser) : acis_Entity(parser) { readData(parser); }
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    void setPointerField(std::int32_t field, acis_Entity* entity) override;

    // No first coedge, or it has no edge, or the edge has no curve.
    bool hasNoCurve() const;

    acis_Loop* next = nullptr;      // 700
    acis_CoEdge* coedge = nullptr;  // 701
    acis_Face* face = nullptr;      // 702
};

class acis_CoEdge : public acis_Entity {
public:
    explicit acis_CoEdge(satParser& parser) : acis_Entity(parser) { readData(parser); }
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    void setPointerField(std::int32_t field, acis_Entity* entity) override;

    // Both senses forward, or both not.
    bool sameSenseAsEdge() const;
    // The edge's answer; ecOut without an edge.
    EdgeClass classifyPoint(const aPoint& p) const;
    // The edge curve's tangent, turned when the coedge runs against the edge.
    aVector tangentAt(const aPoint& p) const;
    bool getAnalyticPlane(c_Plane& plane) const;
    c_Curve* getCurve() const;
    // The face of the loop that owns the coedge, or null.
    acis_Face* face() const;
    // The coedge after this one in the ring walked from first; null once the
    // ring comes round (the reader cuts rings that close elsewhere).
    const acis_CoEdge* nextInRing(const acis_CoEdge* first) const {
        return next == first || next == this ? nullptr : next;
    }

    acis_CoEdge* next = nullptr;      // 800
    acis_CoEdge* previous = nullptr;  // 801
    acis_CoEdge* partner = nullptr;   // 802
    acis_Edge* edge = nullptr;        // 803
    acis_Entity* owner = nullptr;     // 804: the loop, or the wire of a wire body
    acis_Pcurve* pcurve = nullptr;    // 805
    std::int32_t sense = -1;          // 0 forward, 1 reversed, -1 invalid
};

class acis_Edge : public acis_Entity {
public:
    explicit acis_Edge(satParser& parser) : acis_Entity(parser) { readData(parser); }
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    void setPointerField(std::int32_t field, acis_Entity* entity) override;

    acis_Vertex* start = nullptr;   // 900
    acis_Vertex* end = nullptr;     // 901
    acis_CoEdge* coedge = nullptr;  // 902
    acis_Curve* curve = nullptr;    // 903

    EdgeClass classifyPoint(const aPoint& p) const;
    // The point halfway along the edge, taking the longer piece across the
    // seam of a closed curve.
    aPoint getMidPoint() const;

    std::int32_t sense = 2;         // 0 forward, 1 reversed, 3 invalid; 2 until read
    bool drawn = false;
};

class acis_Vertex : public acis_Entity {
public:
    explicit acis_Vertex(satParser& parser) : acis_Entity(parser) { readData(parser); }
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    void setPointerField(std::int32_t field, acis_Entity* entity) override;

    // The position of the point record; the origin without one.
    aPoint getPoint() const;

    acis_Edge* edge = nullptr;    // 1000
    acis_Point* point = nullptr;  // 1001
};

class acis_Wire : public acis_Entity {
public:
    explicit acis_Wire(satParser& parser) : acis_Entity(parser) { readData(parser); }
    void print(std::ostream& out) const override;
    void readData(satParser& parser) override;
    void setPointerField(std::int32_t field, acis_Entity* entity) override;

    enum Side : std::int32_t { kOut = 1, kIn = 2 };
    acis_Wire* next = nullptr;          // 1100
    acis_CoEdge* coedge = nullptr;      // 1101
    acis_Entity* owner = nullptr;       // 1102
    acis_Subshell* subshell = nullptr;  // 1103
    std::int32_t side = kOut;
};

// The topology class a keyword selects, reading the record; null when the
// keyword is not a topology keyword.
acis_Entity* readTopologyEntity(satParser& parser, const char* keyword);
