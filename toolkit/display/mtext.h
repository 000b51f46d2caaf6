// Multi-line text: the reader of its inline format codes, the run format
// that the codes change and its stack, and stacked fractions. The paragraph
// layout that drives them is in mtext_layout.h. Internal to the engine.
#pragma once
#include "toolkit/display/glyphs.h"

#include <cstddef>
#include <cstdint>

// Private character codes that the reader hands the layout for codes that
// act at their place in a line.
constexpr std::uint16_t AD_MTEXT_HARD_SPACE = 0xE000;
constexpr std::uint16_t AD_MTEXT_COLOUR = 0xE001;  // + colour number 0..256
constexpr std::uint16_t AD_MTEXT_OVERLINE_ON = 0xE201;
constexpr std::uint16_t AD_MTEXT_OVERLINE_OFF = 0xE202;
constexpr std::uint16_t AD_MTEXT_UNDERLINE_ON = 0xE203;
constexpr std::uint16_t AD_MTEXT_UNDERLINE_OFF = 0xE204;
constexpr std::uint16_t AD_MTEXT_STACK = 0xE206;
// Colour numbers a \C code may name: BYBLOCK 0 to BYLAYER 256. Larger ones
// would run into the other private codes (\C517 would read as a stack).
constexpr std::int32_t AD_MTEXT_COLOUR_LIMIT = 256;

constexpr int AD_MTEXT_STACK_DEPTH = 8;
constexpr std::size_t AD_MTEXT_FONT_NAME_SIZE = 128;
constexpr int AD_MTEXT_NUMBER_LENGTH = 19;

// The run format of one position in the text.
struct AdMTextFormat {
    double widthFactor;
    double obliqueAngle;  // radians
    double height;        // drawing units
    double glyphScale;    // drawing units per font unit
    double trackingExtra;
    double verticalOffset;
    const char* position;  // where the next line starts
    std::uint8_t lineFlags;  // AD_TEXT_OVERLINE, AD_TEXT_UNDERLINE
    std::int16_t alignment;  // \A: 0 bottom, 1 centre, 2 top
    std::int16_t colour;
    AdFont* primaryFont;
    AdFont* bigFont;  // null: none
    std::uint8_t continuation;  // the previous line did not end with a paragraph break
};

// The code part of a token.
struct AdMTextCode {
    std::uint16_t code;  // 0 none, 'P', '{', '}', 'F', 'H', 'T', 'Q', 'W', 'A'
    double value;
    std::uint8_t relative;
    char fontName[AD_MTEXT_FONT_NAME_SIZE];
    std::int8_t alignment;
};

// A token: a character (code.code 0) or a code (character 0).
struct AdMTextToken {
    std::uint16_t character;
    std::uint8_t codePage;  // 1: the character is in the drawing's code page; 0: a Unicode value
    AdMTextCode code;
};

// Toolkit-wide switches of multi-line text: codes read or taken as they
// stand (on outside an RTEXT that asks otherwise), wrap mode (line feeds
// ignored, lines wrap at the reference width), the TOLERANCE drawing's flag,
// the annotation frame a LEADER asks of the next MTEXT, and the format stack.
struct AdMTextState {
    std::uint8_t codes;
    std::uint8_t wrap;
    std::uint8_t toleranceText;
    AdHandle frameHandle;  // null: no frame asked for
    double frameMargin;
    AdMTextFormat stack[AD_MTEXT_STACK_DEPTH];
};
extern AdMTextState adMText;

// The kind code of a font's kind flags, which picks its special characters.
std::uint8_t adFontKindCode(std::uint8_t kindFlags);

// The next byte, 0 at the terminating NUL (which the position keeps); in
// wrap mode line feeds are passed over.
std::uint8_t adMTextReadChar(const char** position);
// A numeric argument: digits, '.', '-', ended by 'x' (relative) and one ';'.
double adMTextReadNumber(const char** position, std::uint8_t* relative);
// The next token; 0 at the end of the text.
int adMTextNextToken(AdDrawing* drawing, const char** position, std::uint8_t kindCode, const AdFont* primaryFont,
                     const AdFont* bigFont, AdMTextToken* token);
// Past the blank tokens that begin a continuation line.
void adMTextSkipBlanks(AdDrawing* drawing, const char** position, std::uint8_t kindCode, const AdFont* primaryFont,
                       const AdFont* bigFont);

// One token of a stacked-fraction part: the character, its code-page flag
// and whether it was escaped; 0 at the end of the text.
int adStackNextToken(const char** position, std::uint8_t kindCode, std::uint16_t* character,
                     std::uint8_t* codePage, std::uint8_t* escaped);
// Whether a stack token ends the upper part; then the separator ('^', '#',
// '/', or 0 for ';' and the end of the text).
bool adStackEndsUpper(std::uint16_t character, std::uint8_t escaped);
// Reads past a stack (just after "\S") to after its ';' and gives its
// separator, 0 when it has none.
std::uint8_t adStackSkip(const char** position, std::uint8_t kindCode);

// Applying codes to the run format.
// The line metrics: largest and smallest height on the line, and the
// reference height (0 while measuring, the line's tallest measure while
// drawing).
struct AdMTextLineMetrics {
    double largest;
    double smallest;
    double reference;
};

// Drawing units per font unit for a height: per the big font's character
// height when a big font gives one and the primary font is not a TrueType
// face, else per the primary font's "above".
double adMTextGlyphScale(const AdMTextFormat* format, double height);
void adMTextLineFlags(AdMTextFormat* format, std::uint16_t character);
void adMTextRunAlign(AdMTextFormat* format, double referenceHeight);

// What applying a code needs besides the format.
struct AdMTextApply {
    AdDrawing* drawing;
    AdMTextLineMetrics* metrics;
    double* tallest;  // the line's tallest measure
    int* depth;       // of the format stack
    std::int16_t layerColour;  // what \C256 takes
    std::int16_t blockColour;  // what \C0 takes
    std::uint8_t drawingPass;  // pen colours are set only then
    std::uint8_t* kindCode;    // recomputed by \F
};
// Applies a code token ('H', 'Q', 'W', 'T', 'A', 'F', '{', '}'); 'P' and
// the empty code change nothing.
void adMTextApplyCode(AdMTextFormat* format, const AdMTextCode* code, const AdMTextApply* apply);
// Applies a private colour character (AD_MTEXT_COLOUR + n).
void adMTextApplyColour(AdMTextFormat* format, std::uint16_t character, const AdMTextApply* apply);
