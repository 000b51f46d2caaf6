// The MTEXT reader over arbitrary text: every token read and applied to a
// run format, stacks read past, under the switches and fonts the first
// byte chooses. The reader must end at the text's NUL and never read past it.
#include "toolkit/display/mtext.h"
#include "toolkit/display/render_state.h"

#include <cstdlib>
#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    static AdGlobalState globals{};
    adGlobals = &globals;
    const std::uint8_t options = data[0];
    std::vector<char> text(data + 1, data + size);
    text.push_back('\0');

    AdHeaderVars header{};
    const std::int16_t pages[4] = {0, 30, 12, 40};
    header.dwgcodepage = pages[(options >> 4) & 3];
    AdDrawing drawing{};
    drawing.header = &header;
    adMText.codes = options & 1;
    adMText.wrap = (options >> 1) & 1;

    std::uint16_t ranges[2][2] = {{0x81, 0x9F}, {0xE0, 0xFC}};
    AdFont big{};
    big.kind = AD_FONT_BIGFONT;
    big.bigFontHeight = options >> 7;
    big.escapeRangeCount = 2;
    big.escapeRanges = ranges;
    AdFont font{};
    font.kind = static_cast<std::uint8_t>(1u << ((options >> 2) & 7));
    font.above = (options >> 6) & 1 ? 0 : 9;
    font.trueType.faceParameters = 128 << 8;

    AdMTextFormat format{};
    format.height = (options & 0x40) ? 0.0 : 2.5;
    format.widthFactor = 1.0;
    format.primaryFont = &font;
    format.bigFont = (options & 0x08) ? &big : nullptr;
    format.glyphScale = adMTextGlyphScale(&format, format.height);
    AdMTextLineMetrics metrics{format.height, format.height, (options & 0x20) ? 10.0 : 0.0};
    double tallest = 0;
    int depth = 0;
    std::uint8_t kind = adFontKindCode(font.kind);
    const AdMTextApply apply{&drawing, &metrics, &tallest, &depth, 7, 0, 0, &kind};

    const char* position = text.data();
    const char* end = text.data() + std::strlen(text.data());
    AdMTextToken token;
    while (adMTextNextToken(&drawing, &position, kind, format.primaryFont, format.bigFont, &token)) {
        if (position > end) std::abort();
        adMTextApplyCode(&format, &token.code, &apply);
        if (token.character >= AD_MTEXT_COLOUR && token.character <= AD_MTEXT_COLOUR + AD_MTEXT_COLOUR_LIMIT)
            adMTextApplyColour(&format, token.character, &apply);
        adMTextLineFlags(&format, token.character);
        if (token.character == AD_MTEXT_STACK) adStackSkip(&position, kind);
        if (depth < 0 || depth > AD_MTEXT_STACK_DEPTH || position > end) std::abort();
    }
    if (position != end) std::abort();
    return 0;
}
