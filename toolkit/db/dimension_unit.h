// The dimension unit of AC1012 and AC1014 headers in its AC1015 form.
#pragma once
#include "toolkit/ad.h"

// AC1012 and AC1014 keep the fraction forms in $DIMUNIT (6 to 8); AC1015
// tells them by $DIMFRAC.
void adDimUnitToAc1015(AdHeaderVars* header);
