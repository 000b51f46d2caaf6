// The setters of the render context's callback slots. A setter that serves a
// slot pair writes the engine-side entry and the host copy.
#include "toolkit/display/render_state.h"

void adDefaultColorHook(std::int16_t, void*) {}

void adSetMoveToHook(AdMoveToHook hook) { adRender->hooks.moveTo = adRender->hooks.hostMoveTo = hook; }
void adSetLineToHook(AdLineToHook hook) { adRender->hooks.lineTo = adRender->hooks.hostLineTo = hook; }

// The engine keeps its pass-through routines in the polygon slots, so that
// the pen position follows every fill; the host's routines go to the copies.
void adSetPolygonHook(AdPolygonHook hook) {
    adRender->hooks.hostPolygon = hook;
    adRender->hooks.polygon = adPassPolygon;
}
void adSetPolyPolygonHook(AdPolyPolygonHook hook) {
    adRender->hooks.hostPolyPolygon = hook;
    adRender->hooks.polyPolygon = adPassPolyPolygon;
}

void adSetTriangleStripHook(AdTriangleStripHook hook) { adRender->hooks.triangleStrip = hook; }
void adSetColorHook(AdColorHook hook) { adRender->hooks.setColor = adRender->hooks.hostSetColor = hook; }
void adSetDrawProgressHook(AdDrawProgressHook hook) { adRender->hooks.drawProgress = hook; }
void adSetDrawPollHook(AdDrawPollHook hook) { adRender->hooks.drawPoll = hook; }
void adSetMissingFileHook(AdMissingFileHook hook) { adRender->hooks.missingFile = hook; }
void adSetTextFileFinderHook(AdFindFileHook hook) {
    adRender->hooks.findTextFile = hook ? hook : adDefaultFileFinder;
}
void adSetXrefFinderHook(AdFindFileHook hook) { adRender->hooks.findXrefFile = hook ? hook : adDefaultFileFinder; }
void adSetXrefBeginHook(AdXrefBeginHook hook) { adRender->hooks.xrefBegin = hook; }
void adSetXrefOpenedHook(AdXrefDrawingHook hook) { adRender->hooks.xrefOpened = hook; }
void adSetXrefDoneHook(AdXrefDrawingHook hook) { adRender->hooks.xrefDone = hook; }
void adSetSubEntityHook(AdSubEntityHook hook) { adRender->hooks.subEntity = hook; }
void adSetEntityBeginHook(AdEntityBeginHook hook) { adRender->hooks.entityBegin = hook; }
void adSetImageFileHook(AdImageFileHook hook) { adRender->hooks.loadImageFile = hook; }
void adSetImageDrawHook(AdImageDrawHook hook) { adRender->hooks.imageDraw = adRender->hooks.hostImageDraw = hook; }
void adSetOleFrameHook(AdOleFrameHook hook) { adRender->hooks.oleFrame = adRender->hooks.hostOleFrame = hook; }
void adSetImageFrameHook(AdImageFrameHook hook) {
    adRender->hooks.imageFrame = adRender->hooks.hostImageFrame = hook;
}
void adSetImageOpenHook(AdImageOpenHook hook) { adRender->hooks.openImage = hook; }
void adSetOleDataHook(AdOleDataHook hook) { adRender->hooks.oleData = hook; }
void adSetGlyphOutlineHook(AdGlyphOutlineHook hook) { adRender->hooks.glyphOutline = hook; }
void adSetPlotStyleFileHook(AdPlotStyleFileHook hook) { adRender->hooks.findPlotStyleFile = hook; }
void adSetLineWeightHook(AdLineWeightHook hook) {
    adRender->hooks.lineWeight = adRender->hooks.hostLineWeight = hook;
}
void adSetSolidModelHook(AdSolidModelHook hook) { adRender->hooks.solidModel = hook; }
void adSetImageReleaseHook(AdImageReleaseHook hook) { adDisplayGlobals->imageRelease = hook; }
