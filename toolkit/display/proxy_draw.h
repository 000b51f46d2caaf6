// The state of one proxy-graphics draw, shared by the record drawings.
// Internal to the proxy drawing.
#pragma once
#include "toolkit/display/proxy.h"

// Nested matrix records kept at most; deeper ones are counted, not applied.
constexpr int AD_PROXY_TRANSFORM_DEPTH = 8;

struct AdProxyDraw {
    AdDrawing* drawing;
    AdStream* stream;
    const AdMatrix4* model;
    const AdMatrix4* matrices;  // per viewport, model included
    AdMatrix4* arcMatrices;     // scratch: per viewport for arcs
    AdLtypeRecord linetype;     // the stream's current linetype
    AdDrawing* linetypeDrawing;
    std::int16_t blockColour;
    std::int16_t layerColour;
    std::int16_t colourMode;    // the last colour record, 256 at first
    AdEntityHeader* header;
    // Transforms of the stream's matrix records, innermost last.
    struct AdProxyTransform* transforms[AD_PROXY_TRANSFORM_DEPTH];
    std::int16_t transformDepth;
    std::int32_t transformsUnkept;  // pushes past the depth, popped first
};

// A segment through the current linetype as a curve of its own; nothing
// for points that are not finite.
void adProxySegment(AdProxyDraw& d, const double a[3], const double b[3]);
// The pen through the colour map.
void adProxyPen(AdProxyDraw& d, std::int16_t colour);
// Types 2 to 5.
void adProxyDrawCurve(AdProxyDraw& d, const AdProxyRecord& record);
// Types 8 and 9, read from the stream.
void adProxyDrawMesh(AdProxyDraw& d, const AdProxyRecord& record);
void adProxyDrawShell(AdProxyDraw& d, const AdProxyRecord& record);
// Type 29 (sixteen doubles, the translation in the fourth column) places
// the records up to its type 31 record; both sides stay balanced, and the
// transforms still open at the stream's end are dropped.
void adProxyPushTransform(AdProxyDraw& d, const double values[16]);
void adProxyPopTransform(AdProxyDraw& d);
void adProxyDropTransforms(AdProxyDraw& d);
