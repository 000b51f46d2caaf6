// Moving a view record: pan, orbit about the up vector or the side vector,
// roll about the direction, and a view from a VIEW table record.
#include "toolkit/display/view.h"

namespace {

const double kOrigin[3] = {0.0, 0.0, 0.0};

void sideVector(const AdViewRecord* view, double side[4]) { adVectorCross(view->up, view->direction, side); }

}  // namespace

void adViewPan(AdViewRecord* view, double dx, double dy) {
    double side[4];
    sideVector(view, side);
    adVectorNormalize(view->up);
    view->up[3] = 0.0;
    for (int i = 0; i < 3; ++i) view->target[i] += dx * side[i] + dy * view->up[i];
    view->target[3] = 1.0;
}

void adViewOrbitHorizontal(AdViewRecord* view, double angle) {
    adRotateAboutAxis(view->direction, kOrigin, view->up, -angle);
    adVectorNormalize(view->direction);
    view->direction[3] = 0.0;
}

void adViewRoll(AdViewRecord* view, double angle) {
    adRotateAboutAxis(view->up, kOrigin, view->direction, -angle);
    adVectorNormalize(view->up);
    view->up[3] = 0.0;
}

void adViewOrbitVertical(AdViewRecord* view, double angle) {
    double side[4];
    sideVector(view, side);
    adRotateAboutAxis(view->direction, kOrigin, side, -angle);
    adVectorNormalize(view->direction);
    double across[4];
    adVectorCross(view->direction, view->up, across);
    adVectorCross(across, view->direction, view->up);
    view->direction[3] = 0.0;
    view->up[3] = 0.0;
}

void adViewFromTableRecord(AdDrawing* drawing, AdViewRecord* view, const AdViewTableRecord* record) {
    AdDisplayState* state = drawing->display;
    const double ratio = view->height != 0.0 ? view->width / view->height : 1.0;
    double direction[4] = {record->direction[0], record->direction[1], record->direction[2], 1.0};
    if (direction[0] == 0.0 && direction[1] == 0.0 && direction[2] == 0.0) direction[2] = 1.0;
    double target[4] = {record->target[0], record->target[1], record->target[2], 1.0};
    double up[4];
    adUpVector(direction, record->twist, up);
    adViewOrientation(target, direction, up, 0.0, 0.0, &state->worldToView);
    adViewGroundPoint(state, target);
    for (int k = 0; k < 4; ++k) {
        view->direction[k] = direction[k];
        view->target[k] = target[k];
        view->up[k] = up[k];
    }
    view->height = record->height;
    view->width = record->height * ratio;
}
