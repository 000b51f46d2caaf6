// The two file forms' group readers behind adDxfReadGroup.
#pragma once
#include "toolkit/db/dxf/dxf_reader.h"

int adDxfReadAsciiGroup(AdDrawing* drawing);
int adDxfReadBinaryGroup(AdDrawing* drawing);
