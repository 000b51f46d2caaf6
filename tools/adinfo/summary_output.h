// Printing a drawing summary as a line of text or as one JSON object.
#pragma once

#include "tools/adinfo/drawing_summary.h"

#include <cstdio>

void printSummaryText(const DrawingSummary& summary, std::FILE* out);
void printSummaryJson(const DrawingSummary& summary, std::FILE* out);
