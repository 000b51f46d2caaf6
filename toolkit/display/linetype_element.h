// The shapes and texts of complex linetypes, drawn where their dash ends.
// Internal to the engine.
#pragma once
#include "toolkit/display/linetype_walk.h"

// Element flags of a dash entry.
constexpr std::int16_t AD_ELEMENT_ABSOLUTE_ROTATION = 0x01;
constexpr std::int16_t AD_ELEMENT_TEXT = 0x02;

// The characters entry e draws: its text in the record's text area, or the
// low byte of its shape number; 0 when it draws nothing.
int adLinetypeElementString(const AdLtypeRecord* linetype, int e, char* out, std::size_t capacity);

// The matrix that takes the element's glyphs, in font units of height unit
// `heightUnit` (1 for a shape), to viewport v's device: rotated with the
// segment (direction angle alpha, the segment's direction less a quarter
// turn) unless the rotation is absolute, scaled by L x the entry's scale /
// height unit (x the style's fixed height when it has one), placed at the
// anchor through the model matrix (none: the identity) and moved by the
// entry's offset along the segment. 0 when the element has no size (a
// height unit of 0) or the matrix is not finite.
int adLinetypeElementMatrix(const AdDrawing* drawing, int v, const double anchor[3], const AdMatrix4* model,
                            double linetypeScale, double alpha, const AdLtypeDash& dash, double heightUnit,
                            double fixedHeight, bool trueType, AdMatrix4* out);

// Draws entry e's element at the anchor in viewport v: 1, or 0 when it draws
// nothing (no element, no style in either drawing, a shape whose font is the
// default one, no size) or a character has no shape.
int adDrawLinetypeElement(AdDrawing* drawing, int v, const double anchor[3], const AdMatrix4* model,
                          double linetypeScale, double alpha, const AdLtypeRecord* linetype, int e,
                          AdDrawing* linetypeDrawing);
