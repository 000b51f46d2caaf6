// The state of one proxy-graphics draw, shared by the record drawings.
// Internal to the proxy drawing.
#pragma once
#include "toolkit/display/proxy.h"

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
