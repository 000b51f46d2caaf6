// Whole MTEXT layouts over arbitrary text in the built-in font, measured and
// drawn to a host that draws nothing: every line must end, every stack be
// read to its end, whatever the codes, widths and attachment. The first
// byte picks the codes switch, the attachment, the spacing style, the
// direction and the version; the second the reference width.
#include "toolkit/display/mtext_layout.h"
#include "tools/renderhost/null_display.h"

#include <algorithm>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static NullDisplay display;
    if (size < 2) return 0;
    const std::uint8_t options = data[0];
    AdMtextData mtext{};
    mtext.xAxis[0] = 1.0;
    mtext.height = 2.5;
    mtext.referenceWidth = data[1] / 8.0;
    mtext.attachment = static_cast<std::uint8_t>(options % 10);
    mtext.drawingDirection = (options & 0x10) ? 3 : 1;
    mtext.lineSpacingStyle = (options & 0x20) ? 1 : 2;
    mtext.lineSpacingFactor = 1.0;
    const std::size_t length = std::min(size - 2, sizeof mtext.text - 1);
    std::memcpy(mtext.text, data + 2, length);
    display.drawing->version = (options & 0x40) ? AD_VERSION_AC1012 : AD_VERSION_AC1015;
    adDrawMText(display.drawing, &mtext, &adIdentityMatrix, 7, 7, 7, (options & 0x80) ? 0 : 1);
    return 0;
}
