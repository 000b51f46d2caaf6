// The MTEXT reader as a token stream, and format codes applied to a run.
#include "render_fixture.h"

#include "toolkit/display/mtext.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

// Kind codes of the special characters: a plain shapes 1.1 font and a unifont.
constexpr std::uint8_t KIND_PLAIN = 4;
constexpr std::uint8_t KIND_UNIFONT = 16;

// One token as text: a printable character as itself, others and codes in
// angle brackets; a stack is read to its end and shows its separator.
std::string describe(const AdMTextToken& token, const char** position, std::uint8_t kind) {
    char buffer[64];
    if (token.code.code == 'F') return std::string("<F") + token.code.fontName + ">";
    if (token.code.code == 'A') {
        std::snprintf(buffer, sizeof buffer, "<A%d>", token.code.alignment);
        return buffer;
    }
    if (token.code.code != 0 && std::string("HTQW").find(static_cast<char>(token.code.code)) != std::string::npos) {
        std::snprintf(buffer, sizeof buffer, "<%c%g%s>", token.code.code, token.code.value,
                      token.code.relative ? "x" : "");
        return buffer;
    }
    if (token.code.code != 0) return std::string("<") + static_cast<char>(token.code.code) + ">";
    const std::uint16_t c = token.character;
    if (c == AD_MTEXT_STACK) {
        const std::uint8_t separator = adStackSkip(position, kind);
        return std::string("<S") + (separator ? std::string(1, static_cast<char>(separator)) : "") + ">";
    }
    if (c == AD_MTEXT_HARD_SPACE) return "<~>";
    if (c >= AD_MTEXT_COLOUR && c <= AD_MTEXT_COLOUR + AD_MTEXT_COLOUR_LIMIT) {
        std::snprintf(buffer, sizeof buffer, "<C%d>", c - AD_MTEXT_COLOUR);
        return buffer;
    }
    if (c >= AD_MTEXT_OVERLINE_ON && c <= AD_MTEXT_UNDERLINE_OFF) {
        const char* names[] = {"<O>", "<o>", "<L>", "<l>"};
        return names[c - AD_MTEXT_OVERLINE_ON];
    }
    if (c > ' ' && c < 127 && token.codePage) return std::string(1, static_cast<char>(c));
    std::snprintf(buffer, sizeof buffer, "[%d%s]", c, token.codePage ? "" : "u");
    return buffer;
}

class MTextTokens : public RenderTest {
protected:
    void SetUp() override {
        RenderTest::SetUp();
        header.dwgcodepage = 30;
        drawing.header = &header;
        adMText.codes = 1;
        adMText.wrap = 0;
    }
    void TearDown() override {
        adMText.codes = 1;
        adMText.wrap = 0;
        RenderTest::TearDown();
    }
    std::string tokens(const char* text, std::uint8_t kind = KIND_PLAIN, const AdFont* big = nullptr) {
        std::string out;
        AdMTextToken token;
        const char* position = text;
        for (int guard = 0; guard < 1000 && adMTextNextToken(&drawing, &position, kind, nullptr, big, &token);
             ++guard)
            out += describe(token, &position, kind);
        EXPECT_EQ(*position, '\0') << "the reader stops at the terminating NUL";
        return out;
    }
    AdHeaderVars header{};
};

TEST_F(MTextTokens, CodesCharactersAndEscapes) {
    const struct {
        const char* text;
        const char* expected;
    } cases[] = {
        {"\\H2x;a\\H2;b\\H0;", "<H2x>a<H2>b<H0>"},
        {"\\h1.5X\\T1.5;\\t2\\Q15;\\q-7.5\\W0.8;\\w2x", "<H1.5x><T1.5><T2><Q15><Q-7.5><W0.8><W2x>"},
        {"\\Fromans.shx;x\\fArial|b1;\\F", "<Fromans.shx>x<FArial|b1><F>"},
        {"\\A1;a\\a2b\\A0", "<A1>a<A2>b<A0>"},
        // Blanks before a paragraph break and at the end vanish; others stay.
        {"ab  \\Pcd", "ab<P>cd"},
        {"ab   ", "ab"},
        {"a b \\pc", "a[32]b<P>c"},
        {"a\\Pb\nc", "a<P>b<P>c"},
        {"\\L\\l\\O\\o\\~", "<L><l><O><o><~>"},
        {"{\\C1;red}", "<{><C1>red<}>"},
        {"\\C0;\\C256;\\C7", "<C0><C256><C7>"},
        {"\\\\\\{\\}\\c\\s\\p\\m\\u", "\\{}cspmu"},
        {"\\UzF", "\\UzF"},
        {"\\U+", "\\U+"},
        {"\\M+9ABC", "\\M+9ABC"},
        {"\\U+0041\\U+42x", "[65u][66u]x"},
        {"\\M+18140z", "[33088]z"},
        {"%%v%%%d100%", "[32]%[256]100%"},
        {"\\S1/2;x\\S1^ 2;\\S1#2;\\S1\\/2;\\Sab;", "<S/>x<S^><S#><S><S>"},
        {"\\S1\\#2;\\S1\\^2;", "<S#><S^>"},
        {"end\\", "end\\"},
        {"\\H", "<H0>"},
    };
    for (const auto& c : cases) EXPECT_EQ(tokens(c.text), c.expected) << c.text;
}

TEST_F(MTextTokens, SpecialCharactersFollowTheFontKind) {
    const struct {
        const char* text;
        std::uint8_t kind;
        const char* expected;
    } cases[] = {
        {"%%d%%p%%c", KIND_PLAIN, "[256][257][258]"},
        {"%%D%%P%%C", 2, "[127][128][129]"},
        {"%%d%%p%%c", KIND_UNIFONT, "[176u][177u][8709u]"},
        {"%%d%%p%%c", 32, "[176u][177u][216]"},
        {"%%d%%p%%c", 64, "~`n"},
        // \U+ gives the font's own degree character, flagged as final.
        {"\\U+00B0\\U+2205", KIND_PLAIN, "[256u][258u]"},
        {"\\U+00B0", KIND_UNIFONT, "[176u]"},
        // Bytes 176 and 177 of an ANSI drawing become the font's characters.
        {"\xb0\xb1", KIND_PLAIN, "[256][257]"},
        {"\xb0\xb1", KIND_UNIFONT, "[176][177]"},
    };
    for (const auto& c : cases) EXPECT_EQ(tokens(c.text, c.kind), c.expected) << c.text << " kind " << int(c.kind);
}

TEST_F(MTextTokens, LowerCaseHexDigitsEndNoEscape) {
    EXPECT_EQ(tokens("\\U+00b0 rest"), "[256u][32]rest");
    EXPECT_EQ(tokens("\\U+e9f\\M+1a1bz"), "[3743u][2587]z");
}

// \C took colour numbers up to 500 and beyond into a 256-entry map, and a
// number past 516 read as another private code (\C517 as a stack).
TEST_F(MTextTokens, ColourNumbersOutsideTheMapAreIgnored) {
    EXPECT_EQ(tokens("\\C257;a\\C500;b\\C517;c\\C-1;d\\C99999999;e"), "abcde");
    EXPECT_EQ(tokens("\\C256.9;\\C1.5"), "<C256><C1>");
}

TEST_F(MTextTokens, CodesSwitchedOffTakeTheTextAsItStands) {
    adMText.codes = 0;
    EXPECT_EQ(tokens("a\\Pb{c}%%d\r\nx\ty"), "a\\Pb{c}%%d<P>x[32]y");
    EXPECT_EQ(tokens("a\r"), "a");
}

TEST_F(MTextTokens, WrapModeIgnoresLineFeeds) {
    adMText.wrap = 1;
    EXPECT_EQ(tokens("a\nb\n\n"), "ab");
    const char* at = "\n\n";
    EXPECT_EQ(adMTextReadChar(&at), 0);
    EXPECT_EQ(*at, '\0');
}

TEST_F(MTextTokens, DoubleByteCharacters) {
    // A big font's lead-byte ranges decide; without a big font the code page.
    std::uint16_t ranges[1][2] = {{0x81, 0x9F}};
    AdFont big{};
    big.kind = AD_FONT_BIGFONT;
    big.escapeRangeCount = 1;
    big.escapeRanges = ranges;
    EXPECT_EQ(tokens("\x81\x40" "a\xa0", KIND_PLAIN, &big), "[33088]a[160]");
    EXPECT_EQ(tokens("a\x81", KIND_PLAIN, &big), "a[129]") << "a lead byte at the end stands alone";
    header.dwgcodepage = 30;
    EXPECT_EQ(tokens("\x81\x40"), "[129]@");
}

TEST_F(MTextTokens, NumbersAndBlankSkipping) {
    const struct {
        const char* text;
        double value;
        int relative;
        const char* rest;
    } cases[] = {
        {"2.5;x", 2.5, 0, "x"}, {"3x;y", 3, 1, "y"}, {"3X", 3, 1, ""},
        {"-.5a", -0.5, 0, "a"}, {"1-2;", 1, 0, ""}, {";z", 0, 0, "z"},
        {"..", 0, 0, ""},      {"12345678901234567890123", 1234567890123456789.0, 0, "0123"},
    };
    for (const auto& c : cases) {
        const char* at = c.text;
        std::uint8_t relative = 9;
        EXPECT_DOUBLE_EQ(adMTextReadNumber(&at, &relative), c.value) << c.text;
        EXPECT_EQ(relative, c.relative) << c.text;
        EXPECT_STREQ(at, c.rest) << c.text;
    }
    const char* at = " \t \\~x";
    adMTextSkipBlanks(&drawing, &at, KIND_PLAIN, nullptr, nullptr);
    EXPECT_STREQ(at, "\\~x") << "a hard space is not a blank";
}

class MTextFormat : public MTextTokens {
protected:
    void SetUp() override {
        MTextTokens::SetUp();
        reset();
    }
    void reset() {
        format = {};
        tallest = 0.0;
        depth = 0;
        font.kind = AD_FONT_SHAPES_11;
        font.above = 10;
        format.height = 2.5;
        format.widthFactor = 1.0;
        format.primaryFont = &font;
        format.glyphScale = adMTextGlyphScale(&format, format.height);
        metrics = {2.5, 2.5, 0.0};
        apply = {&drawing, &metrics, &tallest, &depth, 5, 6, 0, &kind};
    }
    // Applies every token of the text.
    void run(const char* text) {
        AdMTextToken token;
        const char* position = text;
        while (adMTextNextToken(&drawing, &position, kind, format.primaryFont, format.bigFont, &token)) {
            adMTextApplyCode(&format, &token.code, &apply);
            if (token.character >= AD_MTEXT_COLOUR && token.character <= AD_MTEXT_COLOUR + AD_MTEXT_COLOUR_LIMIT)
                adMTextApplyColour(&format, token.character, &apply);
            adMTextLineFlags(&format, token.character);
        }
    }
    AdFont font{};
    AdMTextFormat format{};
    AdMTextLineMetrics metrics{};
    double tallest = 0.0;
    int depth = 0;
    std::uint8_t kind = KIND_PLAIN;
    AdMTextApply apply{};
};

TEST_F(MTextFormat, HeightsScaleTheGlyphs) {
    const struct {
        const char* text;
        double height;
        double glyphScale;
    } cases[] = {
        {"\\H2x;", 5.0, 0.5}, {"\\H2;", 2.0, 0.2}, {"\\H0;", 2.5, 0.25},
        {"\\H0x;", 2.5, 0.25}, {"\\H3;\\H2x;", 6.0, 0.6},
    };
    for (const auto& c : cases) {
        reset();
        run(c.text);
        EXPECT_DOUBLE_EQ(format.height, c.height) << c.text;
        EXPECT_DOUBLE_EQ(format.glyphScale, c.glyphScale) << c.text;
    }
    reset();
    run("\\H5;\\H1;");
    EXPECT_DOUBLE_EQ(metrics.largest, 5.0);
    EXPECT_DOUBLE_EQ(metrics.smallest, 1.0);
    EXPECT_DOUBLE_EQ(tallest, 5.0);
}

// An absolute height after a height of 0 divided by zero; a font that
// claims 0 units above its baseline did too.
TEST_F(MTextFormat, ZeroHeightsAndZeroFontUnitsStayFinite) {
    format.height = 0.0;
    format.glyphScale = 0.0;
    run("\\H4;");
    EXPECT_DOUBLE_EQ(format.height, 4.0);
    EXPECT_DOUBLE_EQ(format.glyphScale, 0.4);

    font.above = 0;
    EXPECT_DOUBLE_EQ(adMTextGlyphScale(&format, 3.0), 3.0);
    AdFont big{};
    big.kind = AD_FONT_BIGFONT;
    format.bigFont = &big;
    EXPECT_DOUBLE_EQ(adMTextGlyphScale(&format, 3.0), 3.0) << "a big font without a character height";
    big.bigFontHeight = 12;
    EXPECT_DOUBLE_EQ(adMTextGlyphScale(&format, 3.0), 0.25);
}

TEST_F(MTextFormat, ObliqueWidthTrackingAndLineFlags) {
    run("\\Q15;\\W0.75x;\\T1.5;\\L\\O\\l");
    EXPECT_DOUBLE_EQ(format.obliqueAngle, 0.2617993877991494);
    EXPECT_DOUBLE_EQ(format.widthFactor, 0.75);
    EXPECT_DOUBLE_EQ(format.trackingExtra, 0.5);
    EXPECT_EQ(format.lineFlags, AD_TEXT_OVERLINE);
}

TEST_F(MTextFormat, AlignmentActsOnlyWithAReferenceHeight) {
    run("\\A2;");
    EXPECT_EQ(format.alignment, 0) << "dropped while measuring";
    metrics.reference = 10.0;
    const struct {
        const char* text;
        double offset;
    } cases[] = {{"\\A1;", 3.75}, {"\\A2;", 7.5}, {"\\A7;", 7.5}, {"\\A0;", 0.0}, {"\\A2;\\H5;", 5.0}};
    for (const auto& c : cases) {
        run(c.text);
        EXPECT_DOUBLE_EQ(format.verticalOffset, c.offset) << c.text;
    }
}

TEST_F(MTextFormat, BracesSaveAndRestoreTheFormat) {
    format.colour = 3;
    run("{\\C1;\\H5;\\L{\\Q30;");
    EXPECT_EQ(depth, 2);
    EXPECT_EQ(format.colour, 1);
    run("}}");
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(format.colour, 3);
    EXPECT_DOUBLE_EQ(format.height, 2.5);
    EXPECT_EQ(format.lineFlags, 0);
    EXPECT_DOUBLE_EQ(format.obliqueAngle, 0.0);

    // Nine opening braces keep eight formats; the ninth closing brace is
    // ignored and the format is the outermost one.
    std::string text;
    for (int i = 1; i <= 9; ++i) text += "{\\H" + std::to_string(i) + ";";
    run(text.c_str());
    EXPECT_EQ(depth, 8);
    for (int i = 0; i < 8; ++i) run("}");
    EXPECT_DOUBLE_EQ(format.height, 2.5);
    run("}");
    EXPECT_EQ(depth, 0);
    EXPECT_DOUBLE_EQ(format.height, 2.5);
}

TEST_F(MTextFormat, ColoursTakeTheSubstitutesAndReachThePen) {
    show();
    apply.drawingPass = 1;
    run("\\C256;");
    EXPECT_EQ(format.colour, 5);
    EXPECT_EQ(displayState.penColour, 5);
    run("\\C0;");
    EXPECT_EQ(format.colour, 6);
    run("{\\C2;x}");
    EXPECT_EQ(format.colour, 6);
    EXPECT_EQ(displayState.penColour, 6) << "the closing brace sets the restored colour";
}

TEST_F(MTextFormat, UnknownFontsFallBackToTheDefault) {
    AdFont fallback{};
    fallback.kind = AD_FONT_UNIFONT;
    fallback.above = 20;
    adGlobals->builtinFonts[0] = &fallback;
    run("\\Fno-such-font;");
    adGlobals->builtinFonts[0] = nullptr;
    EXPECT_EQ(format.primaryFont, &fallback);
    EXPECT_DOUBLE_EQ(format.glyphScale, 0.125);
    EXPECT_EQ(kind, KIND_UNIFONT);
}

}  // namespace
