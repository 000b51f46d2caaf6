// Two-dimensional float work tables of the NURBS code: an array of row
// pointers ending with a null entry.
#pragma once

#include <cstdint>

float** allocFloatRows(std::int32_t rows, std::int32_t columns);
// Frees every row up to the null entry and the array; sets rows to null.
void freeFloatRows(float**& rows);
