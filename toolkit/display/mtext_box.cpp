// Extents boxes of multi-line text: lines stacked below each other, and
// the widths and heights a line and its last stretch take.
#include "toolkit/display/mtext_layout.h"

#include <algorithm>

namespace {
double width(const AdTextBox* box) { return adTextBoxEmpty(box) ? 0.0 : box->b[3] - box->b[0]; }
double height(const AdTextBox* box) { return adTextBoxEmpty(box) ? 0.0 : box->b[4] - box->b[1]; }
}  // namespace

void adTextBoxReset(AdTextBox* box) { adResetExtents(box->b); }

bool adTextBoxEmpty(const AdTextBox* box) { return box->b[0] == 1e300; }

void adTextBoxAppendBelow(AdTextBox* box, const AdTextBox* added) {
    if (adTextBoxEmpty(added)) return;
    if (adTextBoxEmpty(box)) {
        *box = *added;
        return;
    }
    box->b[0] = std::min(box->b[0], added->b[0]);
    box->b[3] = std::max(box->b[3], added->b[3]);
    box->b[4] += height(added);
}

double adTextBoxWidths(const AdTextBox* a, const AdTextBox* b) { return width(a) + width(b); }
double adTextBoxHeights(const AdTextBox* a, const AdTextBox* b) { return height(a) + height(b); }
