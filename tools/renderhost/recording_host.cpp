// The recording host's callbacks: one canonical line per call.
#include "tools/renderhost/recording_host.h"

#include <cstdio>
#include <string>

namespace {

// The host the solid-model slot writes to: that slot gets no user pointer.
RecordingHost* lastHost = nullptr;

RecordingHost& host(void* user) { return *static_cast<RecordingHost*>(user); }

std::string point(const DevicePoint& p) { return std::to_string(p.x) + "," + std::to_string(p.y); }

std::string handle(const AdHandle& h) {
    char text[32];
    adHandleToHex(&h, text, sizeof text);
    return text;
}

std::string text(const char* value) { return value ? std::string("\"") + value + "\"" : std::string("null"); }

void moveTo(std::int32_t x, std::int32_t y, void* user) {
    host(user).add("move " + std::to_string(x) + " " + std::to_string(y));
}
void lineTo(std::int32_t x, std::int32_t y, void* user) {
    host(user).add("line " + std::to_string(x) + " " + std::to_string(y));
}
void polygon(const std::int16_t range[2], const DevicePoint* points, void* user) {
    std::string line = "polygon " + std::to_string(range[1] - range[0] + 1);
    for (int i = range[0]; i <= range[1]; ++i) line += " " + point(points[i]);
    host(user).add(line);
}
void polyPolygon(const DevicePoint* points, const std::int32_t* counts, std::int32_t contourCount, void* user) {
    std::string line = "polypolygon " + std::to_string(contourCount);
    std::int32_t at = 0;
    for (std::int32_t c = 0; c < contourCount; ++c) {
        line += " |";
        for (std::int32_t i = 0; i < counts[c]; ++i) line += " " + point(points[at + i]);
        at += counts[c];
    }
    host(user).add(line);
}
void triangleStrip(const DevicePoint* points, std::int32_t count, void* user) {
    std::string line = "strip " + std::to_string(count);
    for (std::int32_t i = 0; i < count; ++i) line += " " + point(points[i]);
    host(user).add(line);
}
void colour(std::int16_t value, void* user) { host(user).add("colour " + std::to_string(value)); }
void weight(std::int32_t width, void* user) { host(user).add("weight " + std::to_string(width)); }
void progress(std::int16_t percent, void* user) { host(user).add("progress " + std::to_string(percent)); }
void poll(void* user) { host(user).add("poll"); }
void missingFile(const char* path, void* user) { host(user).add("missing " + text(path)); }
// The finders answer what the engine's own finder answers, and say so.
int findTextFile(const char* name, char* pathOut, std::size_t capacity, void* user) {
    host(user).add("find-text " + text(name));
    return adDefaultFileFinder(name, pathOut, capacity, nullptr);
}
int findXrefFile(const char* name, char* pathOut, std::size_t capacity, void* user) {
    host(user).add("find-xref " + text(name));
    return adDefaultFileFinder(name, pathOut, capacity, nullptr);
}
void xrefBegin(const char* path, const AdXrefTag* tag, void* user) {
    host(user).add("xref-begin " + text(path) + " " + handle(tag->insert));
}
void xrefOpened(AdDrawing* xref, void* user) { host(user).add("xref-opened " + text(adDrawingFileName(xref))); }
void xrefDone(AdDrawing* xref, void* user) { host(user).add("xref-done " + text(adDrawingFileName(xref))); }
void subEntity(AdEntityHeader* header, AdEntityData*, void* user) {
    host(user).add("sub-entity " + std::to_string(header->type) + " " + handle(header->handle));
}
void entityBegin(AdEntityHeader* header, AdEntityData*, std::int16_t colourIndex, const AdLtypeRecord*,
                 const AdPlotStyle*, void* user) {
    host(user).add("entity " + std::to_string(header->type) + " " + handle(header->handle) + " colour " +
                   std::to_string(colourIndex));
}
int loadImageFile(const char* path, AdStore**, void* user) {
    host(user).add("load-image " + text(path));
    return 0;
}
void imageDraw(const std::uint8_t* block, std::int16_t length, void* user) {
    // The block's size and a checksum stand for its bytes.
    std::uint32_t sum = 0;
    for (std::int16_t i = 0; i < length; ++i) sum = sum * 31 + block[i];
    host(user).add("image-block " + std::to_string(length) + " " + std::to_string(sum));
}
void oleFrame(AdOleFrameRecord* frame, void* user) {
    std::string line = "ole-frame " + std::to_string(frame->left) + " " + std::to_string(frame->top) + " " +
                       std::to_string(frame->right) + " " + std::to_string(frame->bottom) + " " +
                       std::to_string(frame->pictureLength);
    for (std::int32_t i = 0; i < frame->outlineCount; ++i) line += " " + point(frame->outline[i]);
    host(user).add(line);
}
void imageFrame(AdImageFrameRecord* frame, void* user) {
    std::string line = "image-frame " + std::to_string(frame->hostImage);
    for (const DevicePoint& p : frame->corners) line += " " + point(p);
    line += " |";
    for (std::int32_t i = 0; i < frame->outlineCount; ++i) line += " " + point(frame->outline[i]);
    line += " |";
    for (std::int32_t i = 0; i < frame->clipCount; ++i) line += " " + point(frame->clip[i]);
    host(user).add(line);
}
// Each picture gets the next identifier, so that frames name their picture.
int openImage(const char* path, std::int32_t* hostImage, void* user) {
    host(user).add("open-image " + text(path));
    *hostImage = host(user).nextImage();
    return 0;
}
int oleData(AdStore* objectData, AdStore**, void* user) {
    host(user).add("ole-data " + std::to_string(adStoreSize(objectData)));
    return 0;
}
std::int32_t glyphOutline(std::uint32_t character, double*, AdFontRequest* request, AdGlyphAnswer*, void* user) {
    host(user).add("glyph " + std::to_string(character) + " " + text(request ? request->face : nullptr));
    return 1;
}
void plotStyleFile(const char* name, char* pathOut, void* user) {
    host(user).add("plot-style-file " + text(name));
    std::snprintf(pathOut, AD_PATH_SIZE, "%s", name ? name : "");
}
std::int32_t solidModel(AdSolidDrawRecord*, std::int32_t*) {
    if (lastHost) lastHost->add("solid");
    return 0;
}

}  // namespace

void RecordingHost::install() {
    lastHost = this;
    adSetMoveToHook(moveTo);
    adSetLineToHook(lineTo);
    adSetPolygonHook(polygon);
    adSetPolyPolygonHook(polyPolygon);
    adSetTriangleStripHook(triangleStrip);
    adSetColorHook(colour);
    adSetLineWeightHook(weight);
    adSetDrawProgressHook(progress);
    adSetDrawPollHook(poll);
    adSetMissingFileHook(missingFile);
    adSetTextFileFinderHook(findTextFile);
    adSetXrefFinderHook(findXrefFile);
    adSetXrefBeginHook(xrefBegin);
    adSetXrefOpenedHook(xrefOpened);
    adSetXrefDoneHook(xrefDone);
    adSetSubEntityHook(subEntity);
    adSetEntityBeginHook(entityBegin);
    adSetImageFileHook(loadImageFile);
    adSetImageDrawHook(imageDraw);
    adSetOleFrameHook(oleFrame);
    adSetImageFrameHook(imageFrame);
    adSetImageOpenHook(openImage);
    adSetOleDataHook(oleData);
    adSetGlyphOutlineHook(glyphOutline);
    adSetPlotStyleFileHook(plotStyleFile);
    adSetSolidModelHook(solidModel);
}
