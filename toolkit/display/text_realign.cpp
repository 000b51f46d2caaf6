// adRealignText: a TEXT or ATTRIB whose alignment is not left and baseline
// is placed from its alignment point and its measured extents, and two
// plane helpers.
#include "toolkit/display/text.h"

#include <cmath>

namespace {

enum Horizontal : std::uint8_t { kLeft = 0, kCentre = 1, kRight = 2, kAligned = 3, kMiddle = 4, kFit = 5 };
enum Vertical : std::uint8_t { kBaseline = 0, kBottom = 1, kVerticalMiddle = 2, kTop = 3 };

}  // namespace

double adPointDistance2d(const double p[2], const double q[2]) { return std::hypot(q[0] - p[0], q[1] - p[1]); }

void adRotatePoint2d(double p[2], const double centre[2], double angle) {
    const double x = p[0] - centre[0], y = p[1] - centre[1];
    const double c = std::cos(angle), s = std::sin(angle);
    p[0] = x * c - y * s + centre[0];
    p[1] = x * s + y * c + centre[1];
}

int adRealignText(AdDrawing* drawing, const char* text, double insertion[3], AdTextParams* params,
                  const char* fontFile, const char* bigFontFile) {
    if (params->horizontalAlignment == kLeft && params->verticalAlignment == kBaseline) return 1;
    AdTextParams measured = *params;
    double box[6];
    double descent = 0.0;
    if (!adMeasureText(drawing, text, &measured, 0, fontFile, bigFontFile, 0, box, &descent)) return 0;
    // Nothing drawn measures nothing: the text stays where it is.
    if (box[0] > box[3]) return 1;
    const double width = box[3] - box[0];
    const double* alignment = params->alignment;
    if (params->horizontalAlignment == kAligned || params->horizontalAlignment == kFit) {
        if (width != 0.0) {
            const double k = adPointDistance2d(insertion, alignment) / width;
            if (params->horizontalAlignment == kAligned) params->height *= k;
            else params->widthFactor *= k;
        }
        return 1;
    }
    double p[2] = {alignment[0], alignment[1]};
    if (params->horizontalAlignment == kMiddle) {
        p[0] -= width / 2.0;
        p[1] -= (box[1] + box[4]) / 2.0;
    } else {
        if (params->horizontalAlignment == kCentre) p[0] -= width / 2.0;
        else if (params->horizontalAlignment == kRight) p[0] -= width;
        if (params->verticalAlignment == kBottom) p[1] -= descent;
        else if (params->verticalAlignment == kVerticalMiddle) p[1] -= box[4] / 2.0;
        else if (params->verticalAlignment == kTop) p[1] -= box[4];
    }
    adRotatePoint2d(p, alignment, params->rotation);
    insertion[0] = p[0];
    insertion[1] = p[1];
    return 1;
}
