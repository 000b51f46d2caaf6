// Section framing and the end of the file.
#include "toolkit/write/dxf/dxf_writer.h"
#include "toolkit/ad_internal.h"

int adDxfWriteBinarySentinel(AdOutputDrawing* output) {
    static constexpr char kSentinel[22] = "AutoCAD Binary DXF\r\n\x1a";
    return adOutWrite(output, kSentinel, sizeof kSentinel);
}

int adDxfBeginSection(AdOutputDrawing* output, const char* name) {
    return adDxfWriteStringGroup(output, 0, AdDxfKeywordTable[AD_KW_SECTION]) &&
           adDxfWriteStringGroup(output, 2, name);
}

int adDxfEndSection(AdOutputDrawing* output) {
    return adDxfWriteStringGroup(output, 0, AdDxfKeywordTable[AD_KW_ENDSEC]);
}

int adDxfEndTable(AdOutputDrawing* output) { return adDxfWriteStringGroup(output, 0, AdDxfKeywordTable[AD_KW_ENDTAB]); }

int adDxfFinish(AdOutputDrawing* output) {
    const int written = adDxfEndSection(output) && adDxfWriteStringGroup(output, 0, AdDxfKeywordTable[AD_KW_EOF]);
    HostFile* file = output->file;
    output->file = nullptr;
    const int closed = file && HostClose(file) == 0;
    if (!closed) adSetError(AD_ERR_WRITE);
    return written && closed;
}
