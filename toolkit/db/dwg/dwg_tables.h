// The DWG reader operations of the symbol tables LAYER, LTYPE, STYLE, VIEW,
// UCS, VPORT and APPID; files before AC1012 are handed to the fixed-record
// readers.
#pragma once
#include "toolkit/ad.h"

int adDwgBeginLayers(AdDrawing* drawing);
int adDwgBeginLtypes(AdDrawing* drawing);
int adDwgBeginStyles(AdDrawing* drawing);
int adDwgBeginViews(AdDrawing* drawing);
int adDwgBeginUcs(AdDrawing* drawing);
int adDwgBeginVports(AdDrawing* drawing);
int adDwgBeginAppids(AdDrawing* drawing);

// Next record: 1 with the record filled (its erased flag set when its entry
// had no object), 0 on a read failure or an entry of the wrong type.
int adDwgNextLayer(AdDrawing* drawing, void* record, std::uint8_t* xdataFlag);
int adDwgNextLtype(AdDrawing* drawing, void* record, std::uint8_t* xdataFlag);
int adDwgNextStyle(AdDrawing* drawing, void* record, std::uint8_t* xdataFlag);
int adDwgNextView(AdDrawing* drawing, void* record, std::uint8_t* xdataFlag);
int adDwgNextUcs(AdDrawing* drawing, void* record, std::uint8_t* xdataFlag);
int adDwgNextVport(AdDrawing* drawing, void* record, std::uint8_t* xdataFlag);
int adDwgNextAppid(AdDrawing* drawing, void* record, std::uint8_t* xdataFlag);
