// The wireframe renderer: one body drawn on a render target as its edges,
// each once, and the display curves of its faces (rulings, circles,
// iso-curves and silhouettes) cut to the faces.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "toolkit/solids/gl_interface.h"
#include "toolkit/solids/transform.h"
#include "toolkit/solids/vector.h"

class acis_Body;
class acis_CoEdge;
class acis_Entity;
class acis_Face;
class acis_Intcurve;
class acis_Surface;
class acis_Vertex;
class acis_Wire;
class acis_spl_sur;
class c_Curve;
class c_EllCone;
class c_IntersectionResult;
class c_NURBSCurve;
class c_NURBSSurface;
class c_Surface;
struct aInterval;

struct GL_RendererOptions {
    bool applyColorAdeskAttrib = true;
    bool applyColourTslAttrib = true;
    bool applyRgbColorAttrib = true;
    bool drawSilhouettes = true;
    std::int32_t coneCylinderCurveCount = 0;  // rulings per cone or cylinder face
    std::int32_t nurbsCurveCount = 0;         // iso-curves per direction on a NURBS surface
    std::int32_t rotsurCurveCount = 0;        // iso-curves per direction on a surface of revolution
    std::int32_t sphereCircleCount = 0;       // circles per axis on a sphere
    std::int32_t torusCircleCount = 0;        // circles per family on a torus
    aVector viewDirection = zAxis;            // of the silhouettes, in world coordinates
    aVector upDirection = yAxis;
    float edgeColour[3] = {0, 0, 0};
    float silhouetteColour[3] = {0, 0, 0};
    float isoCurveColour[3] = {0, 0, 0};
    std::int32_t toleranceHint = 5;  // 1 tightest to 10 loosest
};

// A point where a display curve crosses the face's boundary (kind 1), or the
// span where it runs along an edge (kind 2).
struct GL_PartitionPoint {
    std::int32_t kind = 1;
    aPoint first, second;
    double firstParam = 0, secondParam = 0;
    const acis_CoEdge* coedge = nullptr;  // null for points the renderer adds itself
};

struct GL_DisplayCurve {
    c_Curve* curve = nullptr;  // owned by the renderer's curve array
    bool isConic = false;
    // False on cones and cylinders: their rulings are drawn only between
    // crossings.
    bool drawAlways = true;
    bool asSegments = false;
    std::vector<GL_PartitionPoint> partitions;  // ascending parameter
    // Only parameters within [−limit, limit] take partitions (the meridians
    // of a spindle torus).
    bool bounded = false;
    double limit = 0;
};

class GL_Renderer {
public:
    GL_Renderer(acis_Body* body, const GL_RendererOptions& options, GL_Interface* target);
    virtual ~GL_Renderer();
    GL_Renderer(const GL_Renderer&) = delete;
    GL_Renderer& operator=(const GL_Renderer&) = delete;

    // Draws the body into display list `list` of the target.
    void renderBody(std::int32_t list);
    // Grows the current face's extents with a point the target draws; the
    // extents stay in body coordinates, where classification tests them.
    void addToExtents(const aPoint& p);

private:
    // Points of a curve piece drawn by sampling: an intcurve edge evaluated
    // through its record, a display curve with no exact form.
    static constexpr int kSampledPoints = 100;

    // The surface of the current face, as the display curves need it.
    struct SurfaceKind {
        acis_Surface* record = nullptr;
        c_Surface* surface = nullptr;
        const acis_spl_sur* revolution = nullptr;
        c_NURBSSurface* nurbs = nullptr;
        bool isCone = false, isCylinder = false, isEllCone = false, isEllCylinder = false;
        bool isNURBS = false, isRotsur = false, isSphere = false, isTorus = false;
        const c_EllCone* cone = nullptr;
        double halfAngle = 0;
    };

    void setTolerances(std::int32_t hint);
    bool pushColourAttributes(acis_Entity* first);
    void popColourAttributes();
    void renderFace(acis_Face* face);
    void renderWire(acis_Wire* wire);
    void drawEdge(const acis_CoEdge* coedge);
    void drawStraightEdge(const acis_Vertex* s, const acis_Vertex* e);
    void drawEllipseEdge(const acis_CoEdge* coedge, const acis_Vertex* s, const acis_Vertex* e);
    bool drawIntcurveEdge(const acis_Intcurve* curve, const acis_Vertex* s, const acis_Vertex* e);
    void characterizeUnderlyingSurface(acis_Face* face);
    void vertex(const aPoint& p);

    // The face's display curves (gl_display_curves.cpp).
    void computeDisplayCurves(acis_Face* face);
    void updateSurfaceCurvePartitions(const c_Surface* adjacent, const acis_CoEdge* coedge);
    void processIntersections(const c_IntersectionResult& result, const acis_CoEdge* coedge, GL_DisplayCurve& record);
    void addPartitionPoint(GL_DisplayCurve& record, const aPoint& p, double t, const acis_CoEdge* coedge);
    void addPartitionPointAt(GL_DisplayCurve& record, const aPoint& p, const acis_CoEdge* coedge);
    void addOverlapPartition(GL_DisplayCurve& record, const acis_CoEdge* coedge);
    void drawDisplayCurves(acis_Face* face);
    void drawConic(GL_DisplayCurve& record, acis_Face* face);
    void pairPartitions(GL_DisplayCurve& record, bool setAside);
    void closeOddPartitions(GL_DisplayCurve& record, acis_Face* face);
    void drawNURBSDisplayCurve(c_NURBSCurve* curve, bool firstFamily, acis_Face* face);
    void drawClampedNURBS(c_NURBSCurve* curve, double a, double b, const aInterval& interval);
    void drawCurveSamples(const c_Curve* curve, double a, double b);
    void drawCurvePiece(const c_Curve* curve, double a, double b);
    void clearDisplayCurves();

    acis_Body* body_;
    GL_RendererOptions options_;
    std::vector<std::unique_ptr<c_Curve>> curves_;  // the display curves of the current face
    std::vector<GL_DisplayCurve> records_;
    std::int32_t capacity_ = 0;  // display curves a face may have
    std::int32_t isoCurveCount_ = 0;  // index of the first silhouette
    GL_Interface* target_;

    acis_Face* face_ = nullptr;  // the face being drawn
    aTransform bodyTransform_;
    bool transformActive_ = false;
    aVector viewDirection_;  // in body coordinates
    bool faceExtentsOn_ = true;
    std::int32_t attributeDepth_ = 0;
    bool partitionAdded_ = false;
    SurfaceKind kind_;
    double renderRadius_ = 1;
};
