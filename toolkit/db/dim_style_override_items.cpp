// The DSTYLE list of the "ACAD" application in an entity's extended data:
// pairs of a 1070 item naming a DIMSTYLE variable by its DXF code and the
// item that holds its value, between "{" and "}".
#include "toolkit/ad.h"

namespace {

int isBrace(const AdXdataItem& item, char brace) { return item.code == 1002 && item.value.text[0] == brace; }

enum class DstyleState { Looking, AfterName, InList, Done };

}  // namespace

int adDimStyleOverrideItems(AdDrawing* drawing, AdStore* xdata, AdDimStyleOverrideVisitor visit, void* context) {
    AdHandle acad;
    if (!xdata || !adAppidHandleByName(drawing, "ACAD", &acad)) return 1;
    AdStream* stream = adStreamOpenRead(xdata);
    if (!stream) return 1;
    DstyleState state = DstyleState::Looking;
    int inAcad = 0;
    std::int16_t pendingCode = 0;
    int pending = 0;
    AdXdataItem item;
    adClearError();
    while (state != DstyleState::Done && adXdataReadItem(stream, &item)) {
        if (item.code == 1001) {
            inAcad = adHandleCompare(&item.value.handle, &acad) == 0;
            state = DstyleState::Looking;
            pending = 0;
        } else if (!inAcad) {
            continue;
        } else if (state == DstyleState::Looking) {
            if (item.code == 1000 && adStrCompareNoCase(item.value.text, "DSTYLE") == 0) state = DstyleState::AfterName;
        } else if (state == DstyleState::AfterName) {
            state = isBrace(item, '{') ? DstyleState::InList : DstyleState::Looking;
        } else if (isBrace(item, '}')) {
            state = DstyleState::Done;
        } else if (pending) {
            visit(drawing, pendingCode, item, context);
            pending = 0;
        } else if (item.code == 1070) {
            pendingCode = item.value.int16;
            pending = 1;
        }
    }
    adStreamCloseRead(stream);
    return state == DstyleState::Done || !adGlobals || adGlobals->errorCode != AD_ERR_XDATA_DAMAGED;
}
