// The dimension unit of AC1012 and AC1014 headers in its AC1015 form.
#include "toolkit/db/dimension_unit.h"

void adDimUnitToAc1015(AdHeaderVars* header) {
    switch (header->dimlunit) {
    case 4:
    case 5: header->dimfrac = 0; break;
    case 6:
    case 7:
        header->dimlunit = static_cast<std::int16_t>(header->dimlunit - 2);
        header->dimfrac = 2;
        break;
    case 8:
        header->dimlunit = 6;
        header->dimfrac = 0;
        break;
    default: break;
    }
}
