// One line of an ASCII DXF file into the token's text.
#include "toolkit/db/dxf/dxf_reader.h"
#include "toolkit/db/dxf/dxf_read.h"
#include "toolkit/db/byte_scan.h"
#include "toolkit/db/host_file.h"

int adDxfReadLine(AdDrawing* drawing) {
    AdDxfToken& t = adDxfToken();
    t.text = reinterpret_cast<char*>(adGlobals->buffer128kA);
    if (!t.text || !drawing || !drawing->file) return 0;
    std::size_t length = 0;
    if (!HostGetLine(t.text, AD_DXF_TEXT_SIZE, drawing->file, &length)) return 0;
    const auto n = static_cast<std::int32_t>(adFindControl(t.text, length));
    // A line that is empty without its end was not there: the file ended.
    if (t.text[n] == '\0' && n == 0 && HostEof(drawing->file)) return 0;
    t.text[n] = '\0';
    if (n > AD_DXF_LINE_LIMIT) {
        adFatalError(AD_FATAL_BAD_FILE_DATA);
        adSetError(AD_ERR_DXF_LINE_LENGTH);
        return 0;
    }
    return 1;
}
