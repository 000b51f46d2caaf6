// How the value of each extended-data group code is kept, shared by the
// stored-item writer and the raw-form reader so that both know the same codes.
#pragma once
#include "toolkit/ad.h"

enum class AdXdataKind { Refused, Text, Brace, Binary, Handle, Point, Real, Int16, Int32 };

AdXdataKind adXdataKind(std::int16_t code);
// The value bytes of a kind of fixed size; 0 for text, binary and refused.
std::int32_t adXdataFixedLength(AdXdataKind kind);
