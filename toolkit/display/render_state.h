// The display engine's own state: the render context with its callback slots,
// the process-wide values beside it, the display fields of the toolkit's
// global state, and the display state of a shown drawing. Internal to the
// engine; hosts use display.h.
#pragma once
#include "toolkit/display/display.h"

constexpr int AD_VIEWPORT_LIMIT = 49;
constexpr std::int32_t AD_UNKNOWN_DEVICE_POINT = -2000000000;
constexpr std::size_t AD_NODE_TABLE_SIZE = 64;
constexpr std::size_t AD_RASTER_BUFFER_SIZE = 32768;
constexpr std::size_t AD_XREF_NAME_SIZE = 512;
constexpr int AD_DEVICE_OUTLINE_LIMIT = 20;
constexpr std::int16_t AD_POLL_INTERVAL = 100;

// Extents-suppression bits.
constexpr std::uint8_t AD_SUPPRESS_RAY = 0x01;
constexpr std::uint8_t AD_SUPPRESS_CLIP = 0x02;

// A growable scratch buffer, grown in steps of 1024 bytes.
struct AdGrowBuffer {
    void* data;
    std::size_t capacity;
};

// The callback slots. The engine calls the engine-side entries; the host
// copies keep what the host registered, for the pass-through routines and
// for the display-list cache to restore after recording.
struct AdRenderHooks {
    AdMoveToHook moveTo;
    AdLineToHook lineTo;
    AdPolygonHook polygon;
    AdPolyPolygonHook polyPolygon;
    AdTriangleStripHook triangleStrip;
    AdColorHook setColor;
    AdDrawProgressHook drawProgress;
    AdDrawPollHook drawPoll;
    AdMissingFileHook missingFile;
    AdFindFileHook findTextFile;
    AdFindFileHook findXrefFile;
    AdXrefBeginHook xrefBegin;
    AdXrefDrawingHook xrefOpened;
    AdXrefDrawingHook xrefDone;
    AdSubEntityHook subEntity;
    AdEntityBeginHook entityBegin;
    AdImageFileHook loadImageFile;
    AdImageDrawHook imageDraw;
    AdOleFrameHook oleFrame;
    AdImageFrameHook imageFrame;
    AdImageOpenHook openImage;
    // Host copies.
    AdMoveToHook hostMoveTo;
    AdLineToHook hostLineTo;
    AdPolygonHook hostPolygon;
    AdPolyPolygonHook hostPolyPolygon;
    AdColorHook hostSetColor;
    AdImageDrawHook hostImageDraw;
    AdOleFrameHook hostOleFrame;
    AdImageFrameHook hostImageFrame;
    AdLineWeightHook hostLineWeight;
    AdOleDataHook oleData;
    AdGlyphOutlineHook glyphOutline;
    AdPlotStyleFileHook findPlotStyleFile;
    AdLineWeightHook lineWeight;
    AdSolidModelHook solidModel;
};

struct AdRenderContext {
    AdRenderHooks hooks;
    std::uint8_t insideDimension;
    double dimensionClonePoint[3];
    std::int32_t replayState;
    std::uint8_t* rasterBuffer;  // AD_RASTER_BUFFER_SIZE bytes, allocated by the image drawing
    std::int16_t rasterLength;
    std::int32_t rasterCompanion;
    std::uint8_t suppressExtents;  // AD_SUPPRESS_* bits
    std::uint8_t displayCaching;
    std::uint8_t* nodeTable;  // AD_NODE_TABLE_SIZE x AD_NODE_TABLE_SIZE
    std::uint8_t closingSegment;
    std::uint8_t drawingXref;
    DevicePoint deviceOutline[AD_DEVICE_OUTLINE_LIMIT];
    char xrefName[AD_XREF_NAME_SIZE];
    void* layerRecord;   // room for a LAYER or an LTYPE record
    void* secondRecord;  // room for any table record
    DevicePoint lastPoint;
    AdMatrix4 textFrame;
    std::int32_t defaultLineWeight;
    double modelLineWeightScale;
    double paperLineWeightScale;
    std::int32_t textRealign;
    AdGrowBuffer growBuffers[3];
    std::int32_t segmentCount;
    std::int32_t curveResolution;
    std::int32_t solidDrawing;
    AdDrawing* currentDrawing;
};

// Process-wide values of the render unit beside the context.
struct AdRenderValues {
    std::int16_t colorMap[256];
    std::int16_t pollInterval;
    std::int16_t drawContinue;
    double detailFactor;
    std::int16_t maxCircleSegments;
    double pixelAspect;
    std::int16_t linetypeSwitch;
};

// The display fields of the toolkit's global state, owned by the engine:
// made by adInitRender and freed by adTermRender.
struct AdDisplayGlobals {
    AdEntityHeader* currentEntity;  // the entity being drawn
    AdMatrix4 objectMatrix;         // of the current entity's extrusion
    AdMatrix4 transform;            // what adTransformByGlobal applies
    AdEntityHeader* subHeader;      // adNextSubEntity's buffers
    AdEntityData* subData;
    AdImageReleaseHook imageRelease;
};

// The mapping of the display-list cache's virtual device onto the real one.
struct AdCacheMapping {
    std::int32_t windowX;
    std::int32_t windowY;
    std::int32_t windowWidth;
    std::int32_t windowHeight;
    std::int32_t deviceWidth;
    std::int32_t deviceHeight;
};

// One viewport of a shown drawing (entry 0 is the main view).
struct AdViewportEntry {
    AdMatrix4 full;  // world to device
};

struct AdDisplayState {
    std::uint8_t extentsValid;
    AdViewRecord extentsView;
    double extentsWidth;
    double extentsHeight;
    std::uint8_t caching;
    AdCacheMapping cache;
    AdHandle layerZero;
    AdHandle insertLayer;  // what adNextSubEntity puts in place of layer 0
    std::uint16_t emitted;  // primitives since the last poll
    std::int16_t penColour;  // -1: none
    std::int32_t penWidth;   // -1: none
    AdViewportEntry viewports[AD_VIEWPORT_LIMIT];
};

extern AdRenderContext* adRender;
extern AdRenderValues adRenderValues;
extern AdDisplayGlobals* adDisplayGlobals;

void adBuildNodeTable(std::uint8_t* table);

// The pass-through routines that stand in slots 3 and 4 outside recording.
void adPassPolygon(const std::int16_t range[2], const DevicePoint* points, void* user);
void adPassPolyPolygon(const DevicePoint* points, const std::int32_t* counts, std::int32_t contourCount, void* user);

// Pen state: a colour of -1 only forgets the pen; a width reaches the host
// only through a registered lineWeight slot and when it changed.
void adSetPenColor(AdDrawing* drawing, std::int16_t colour);
void adPassPenWidth(AdDrawing* drawing, std::int32_t width);
// Counts one emitted primitive and polls the host every poll interval.
void adCountPrimitive(AdDrawing* drawing);
