// IMAGE entities drawn by the engine from the BMP bytes the host loads, as
// blocks of raster commands for the host's imageDraw slot, with their
// frames and clip boundaries; OLE2FRAME pictures framed per viewport.
// Internal to the engine.
#pragma once
#include "toolkit/display/bitmap.h"
#include "toolkit/display/dispatch.h"

// Raster command tags of the blocks handed to imageDraw.
constexpr std::int32_t AD_RASTER_IMAGE_HEADER = 0x1000000;
constexpr std::int32_t AD_RASTER_ROW_PIECE = 0x2000000;
constexpr std::int32_t AD_RASTER_ROW_START = 0x3000000;
constexpr std::int32_t AD_RASTER_MODE_BITS = 2;  // one bit a pixel
constexpr std::int32_t AD_RASTER_MODE_RGB = 0;   // R, G, B a pixel
// A block is sent once it holds more than this many bytes.
constexpr std::int16_t AD_RASTER_BLOCK_FILL = 16000;
constexpr std::size_t AD_RASTER_PIECE_SIZE = 120;

// The file bytes loaded for one IMAGE of a shown drawing, or of one of
// the external references drawn with it.
struct AdLoadedImage {
    const AdDrawing* drawing;  // the drawing that holds the entity
    AdHandle entity;
    AdStore* bytes;                // engine-drawn: the file's bytes
    AdImageFrameRecord* frame;     // host-drawn: the host's image and the boundary
};

// The handlers of the dispatcher's table.
void adDrawImageEntity(AdDrawContext& entity);
void adDrawOle2FrameEntity(AdDrawContext& entity);

// 1 when something was handed on; 0 when the image definition is missing
// or of another type.
int adDrawImage(AdDrawContext& entity);
void adRenderImage(AdDrawing* drawing, const AdImageData* image, AdStore* loaded, const AdMatrix4* matrices);
// The row at pixel line y (0 at the picture's lower edge, stored row y - 1
// read into row) in viewport v.
void adRenderImageRow(AdDrawing* drawing, double y, const AdImageData* image, const AdBitmapHeader& header,
                      const std::uint8_t* row, const AdMatrix4* matrix, int v, bool bits);
// Pixel (x, y) of the picture (y from the top) in the drawing.
void adPixelToWorld(double point[3], const AdImageData* image);
int adDrawOleFrameInViewports(AdDrawing* drawing, const double c1[3], const double c2[3], const double c3[3],
                              const double c4[3], const AdMatrix4* matrices, AdStore* picture, std::int32_t size);

// The raster command buffer of the image being drawn.
int adRasterBegin();
void adRasterPut(const void* bytes, std::size_t count);
void adRasterFlush(AdDrawing* drawing, bool whenFull);
void adRasterEnd(AdDrawing* drawing);

// Host-drawn: one imageFrame call per drawable viewport; 1.
int adDrawImageFrames(AdDrawing* drawing, const AdImageData* image, const AdMatrix4* matrices,
                      AdImageFrameRecord* record);

// The loaded images of a display: kept by the top-level display for its
// drawing and the external references drawn with it (whose own displays
// end after every draw), found by drawing and entity handle, and freed (a
// host's image released through the image-release hook) when the
// top-level display ends.
AdLoadedImage* adLoadedImage(AdDrawing* drawing, const AdHandle& entity);
int adKeepLoadedImage(AdDrawing* drawing, const AdLoadedImage& image);
void adFreeLoadedImages(AdDisplayState* state);
