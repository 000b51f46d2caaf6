// One line of an ASCII DXF file into the token's text.
#include "toolkit/db/dxf/dxf_group.h"
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/dxf/dxf_read.h"
#include "toolkit/db/byte_scan.h"
#include "toolkit/db/host_file.h"

int adDxfReadTextLine(AdDrawing* drawing, std::size_t* length) {
    AdDxfToken& t = adDxfToken();
    t.text = reinterpret_cast<char*>(adGlobals->buffer128kA);
    if (!t.text || !drawing || !drawing->file) return 0;
    std::size_t n = 0;
    std::size_t available = 0;
    std::size_t used = 0;
    const std::uint8_t* p = HostWindowBytes(drawing->file, &available);
    if (p && adDxfLineInPlace(p, available, &n, &used)) {
        adDxfTakeText(p, available, n);
        HostTakeBytes(drawing->file, used);
    } else {
        std::size_t read = 0;
        if (!HostGetLine(t.text, AD_DXF_TEXT_SIZE, drawing->file, &read)) return 0;
        n = adFindControl(t.text, read);
        // A line that is empty without its end was not there: the file ended.
        if (t.text[n] == '\0' && n == 0 && HostEof(drawing->file)) return 0;
        t.text[n] = '\0';
    }
    *length = n;
    if (n > static_cast<std::size_t>(AD_DXF_LINE_LIMIT)) {
        adFatalError(AD_FATAL_BAD_FILE_DATA);
        adSetError(AD_ERR_DXF_LINE_LENGTH);
        return 0;
    }
    return 1;
}

int adDxfReadLine(AdDrawing* drawing) {
    std::size_t length = 0;
    return adDxfReadTextLine(drawing, &length);
}
