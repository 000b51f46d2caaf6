// Where a tolerance field's text meets the MTEXT drawing. The MTEXT drawing
// is not part of the engine yet: until it is, a field draws nothing and
// measures 0 wide, so its box is the two half-height margins only.
#include "toolkit/display/tolerance.h"

double adDrawToleranceField(AdDrawing* /*drawing*/, AdMtextData* field, const AdMatrix4* /*frame*/,
                            std::int16_t /*colour*/, std::int16_t /*layerColour*/, std::int16_t /*byBlockColour*/) {
    field->extentsWidth = 0.0;
    return field->extentsWidth;
}
