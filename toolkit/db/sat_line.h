// The line buffer of restored SAT text, shared by the character sink and the
// proxy decoder that ends the text.
#pragma once
#include "toolkit/ad.h"

// Fixes the line up, writes it to the target with whatever line end it holds
// and empties it; 1, or 0 when the target did not take it.
int adSatWriteLine(AdStream* target, char* line, std::int32_t* length);
