// The dispatcher's steps for one entity: whether it is drawn, its layer,
// linetype, colour, line weight and plot style, the pen, and the hand-off
// to its handler.
#pragma once
#include "toolkit/display/dispatch.h"

void adDrawOneEntity(AdDrawContext& entity);
