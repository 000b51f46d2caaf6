// The display engine's own state: the render context with its callback slots,
// the process-wide values beside it, the display fields of the toolkit's
// global state, and the display state of a shown drawing. Internal to the
// engine; hosts use display.h.
#pragma once
#include "toolkit/display/clip/clip.h"
#include "toolkit/display/display.h"

constexpr int AD_VIEWPORT_LIMIT = 49;
constexpr std::int32_t AD_UNKNOWN_DEVICE_POINT = -2000000000;
constexpr std::size_t AD_NODE_TABLE_SIZE = 64;
constexpr std::size_t AD_RASTER_BUFFER_SIZE = 32768;
constexpr std::size_t AD_XREF_NAME_SIZE = 512;
constexpr int AD_DEVICE_OUTLINE_LIMIT = 20;
constexpr std::int16_t AD_POLL_INTERVAL = 100;
// Block references nest at most this deep; a reference to a block that is
// already being drawn further up is skipped, so a cycle ends at once.
constexpr int AD_BLOCK_DEPTH_LIMIT = 64;

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
    AdXrefTag xrefTag;  // the drawing and INSERT of the external reference met last
    AdDrawing* cacheDrawing;  // the drawing the display-list cache records or replays
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

// One viewport of a shown drawing (entry 0 is the main view; in paper space
// entries 1 and up are the model-space windows placed on the sheet).
struct AdViewportEntry {
    double target[4];
    double direction[4];
    double up[4];
    double sheetCentre[3];  // windows only: placement on the sheet
    double sheetHeight;
    double sheetWidth;
    double viewHeight;
    double lensLength;
    std::int16_t viewMode;
    double clipRect[4];    // x1, y1, x2, y2 in device units, within the device rectangle
    double deviceRect[4];  // the same, not clamped
    double scale;          // adMatrixScale of the full matrix: device units per drawing unit
    double scaleCopy;
    AdMatrix4 full;  // world to device
    // A window clipped by an entity: its outline in sheet units, or null.
    AdClipPoint* outline;
    std::int32_t outlineCount;
};

// One level of the clip-region stack: a clip polygon set per viewport entry.
// The top level is in force; a level with a level beneath it that is not the
// base means a clipped block reference is being drawn.
struct AdClipLevel {
    AdClipLevel* below;
    AdClipPolygon sets[AD_VIEWPORT_LIMIT];
};

// The display-list cache's view of the device: the real device rectangle, the
// virtual device the drawing is generated into and the cached view.
struct AdCacheBlock {
    std::uint8_t valid;
    std::int32_t left, right, top, bottom;
    std::int32_t virtualWidth;
    std::int32_t virtualHeight;
    AdViewRecord view;
    AdMatrix4 full;
};

constexpr std::uint64_t AD_ALL_VIEWPORTS = ~std::uint64_t{0};

struct AdDisplayState {
    std::uint8_t extentsValid;
    AdViewRecord extentsView;
    double extentsWidth;
    double extentsHeight;
    // Linetype run state: every curve takes a new counter value, which lets a
    // dash pattern run on across the chords of one curve.
    std::int32_t curveCounter;
    std::int32_t lastCurve;  // the value the linetype applicator saw last
    double deviceScale;
    double virtualScale;
    std::uint8_t caching;
    AdCacheMapping cache;
    AdCacheBlock cacheBlock;
    AdHandle layerZero;
    AdHandle insertLayer;  // what adNextSubEntity puts in place of layer 0
    AdDrawing* owner;      // the drawing itself, or an external reference's parent
    AdHandle paperBlock;   // the paper-space block the view setup chose to draw
    AdHandle acadAppid;    // the "ACAD" APPID record, null when there is none
    AdViewRecord storedView;
    double deviceExtents[4];  // min x, min y, max x, max y of what was drawn
    AdMatrix4 worldToView;    // of the viewport computed last
    AdMatrix4 viewToDevice;   // of entry 0
    std::uint8_t paperSpace;  // 1: paper space with model-space windows
    std::int16_t viewportCount;
    std::int16_t layoutViewportCount;
    std::uint8_t paperSheet;  // 1 while the paper-space block of a layout is drawn
    std::uint64_t suppressedViewports;
    std::uint64_t activeViewports;
    std::uint64_t planViewports;  // bit v: the block's z axis lies along viewport v's view direction
    double extrusion[3];          // the current entity's extrusion through the block matrix
    std::uint16_t emitted;  // primitives since the last poll
    std::int16_t penColour;  // -1: none
    std::int32_t penWidth;   // -1: none
    // Linetype applicator fields.
    AdHandle continuousLtype;
    AdLtypeRecord continuousRecord;  // a copy of the drawing's first linetype
    double minimumDash;
    std::uint8_t exactDash;
    std::uint8_t linetypeGeneration;
    std::uint8_t restartAtVertex;
    std::uint8_t drawingPolyline;  // an old-style POLYLINE is being drawn
    std::uint8_t polyline3D;
    AdViewportEntry viewports[AD_VIEWPORT_LIMIT];
    // Per draw (the traversal and the dispatcher).
    std::int32_t entityTotal;
    std::int32_t entitiesDone;
    std::int16_t percent;
    double ltscaleAtDraw;     // the drawing's LTSCALE when the draw began
    double currentScale;      // device units per drawing unit of the block being drawn, for curve chords
    double smallSize;         // 3 device units in drawing units
    std::uint8_t firstViewportSeen;
    AdHandle cachedLayer;     // null: nothing cached
    AdLayerRecord layerCache;
    AdHandle cachedLtype;
    AdLtypeRecord ltypeCache;
    AdRecordList* xrefQueue;  // null outside a draw
    // Layout plot settings and the plot-style table of this draw.
    struct AdLayoutData* layout;  // null when the layout has none
    struct AdPlotStyleTable* plotStyles;
    std::uint8_t ownsPlotStyles;
    AdClipLevel* clipStack;
    std::uint8_t xclipFrame;
    std::uint8_t imageFrame;
    std::uint8_t wipeoutFrame;
    // Block references: the attributes of an INSERT are read after its block
    // is drawn, up to its SEQEND, with the INSERT's layer, colour and
    // suppressed-viewport bitmap.
    std::uint8_t attributeMode;
    std::int16_t attributeColour;
    AdHandle attributeLayer;
    std::uint64_t attributeSuppressed;
    std::uint8_t xrefInsert;  // the block being entered is an external reference
    std::int16_t blockDepth;
    AdHandle activeBlocks[AD_BLOCK_DEPTH_LIMIT];  // the blocks being drawn, outermost first
    struct AdCacheRecorder* cacheRecorder;  // the display-list cache's slots (cache.h)
    // The image files loaded for this display's IMAGE entities (image.h).
    struct AdLoadedImage* loadedImages;
    std::int32_t loadedImageCount;
};

extern AdRenderContext* adRender;
extern AdRenderValues adRenderValues;
extern AdDisplayGlobals* adDisplayGlobals;

void adBuildNodeTable(std::uint8_t* table);

// The pass-through routines that stand in the polygon and polyPolygon hooks
// outside recording.
void adPassPolygon(const std::int16_t range[2], const DevicePoint* points, void* user);
void adPassPolyPolygon(const DevicePoint* points, const std::int32_t* counts, std::int32_t contourCount, void* user);

// Pen state: a colour of -1 only forgets the pen; a width reaches the host
// only through a registered lineWeight slot and when it changed.
void adSetPenColor(AdDrawing* drawing, std::int16_t colour);
void adPassPenWidth(AdDrawing* drawing, std::int32_t width);
// Counts one emitted primitive and polls the host every poll interval.
void adCountPrimitive(AdDrawing* drawing);
