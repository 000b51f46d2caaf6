// Reading a plot-style table file: a 60-byte container head, then a zlib
// stream of key=value text with the header, the colour table, the style
// blocks and the custom line weights.
#include "toolkit/display/plot_style.h"

#include <zlib.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr long kLengthsOffset = 52;
constexpr std::size_t kBodyOffset = 60;
// zlib cannot inflate a byte into more than 1032; a larger stated length is
// not believed.
constexpr std::size_t kInflateRatio = 1032;

// Memory comes from the host allocator, like all the engine's memory.
void* zeroAlloc(std::size_t size) {
    void* block = HostAlloc(size);
    if (block) std::memset(block, 0, size);
    return block;
}

void release(void* block) {
    if (block) HostFree(block);
}

std::uint32_t le32(const std::uint8_t* p) {
    return p[0] | static_cast<std::uint32_t>(p[1]) << 8 | static_cast<std::uint32_t>(p[2]) << 16 |
           static_cast<std::uint32_t>(p[3]) << 24;
}

// The lines of the inflated text, split in place (each LF becomes a NUL).
class Lines {
public:
    Lines(char* text, std::size_t length) : at_(text), end_(text + length) {}
    // The next line, or null at the end of the text.
    char* peek() {
        if (!pending_ && at_ < end_) {
            pending_ = at_;
            char* lf = static_cast<char*>(std::memchr(at_, '\n', static_cast<std::size_t>(end_ - at_)));
            if (lf) {
                *lf = '\0';
                at_ = lf + 1;
            } else {
                at_ = end_;
            }
        }
        return pending_;
    }
    void take() { pending_ = nullptr; }

private:
    char* at_;
    char* end_;
    char* pending_ = nullptr;
};

bool startsWith(const char* line, const char* prefix) { return std::strncmp(line, prefix, std::strlen(prefix)) == 0; }

// The value of key=value: after a leading double quote when there is one.
const char* valueOf(const char* line) {
    const char* eq = std::strchr(line, '=');
    const char* value = eq ? eq + 1 : line + std::strlen(line);
    return *value == '"' ? value + 1 : value;
}

bool keyIs(const char* line, const char* key) {
    const std::size_t n = std::strlen(key);
    return std::strncmp(line, key, n) == 0 && line[n] == '=';
}

void copyText(char* to, const char* from) {
    std::strncpy(to, from, AD_PLOT_STYLE_TEXT_SIZE - 1);
    to[AD_PLOT_STYLE_TEXT_SIZE - 1] = '\0';
}

std::int16_t int16Of(const char* line) {
    int value = 0;
    std::sscanf(valueOf(line), "%d", &value);
    return static_cast<std::int16_t>(value);
}

bool isTrue(const char* line) { return std::strcmp(valueOf(line), "TRUE") == 0; }

void readHeader(Lines& lines, AdPlotStyleTable* table) {
    for (char* line; (line = lines.peek()) && std::strchr(line, '='); lines.take()) {
        if (keyIs(line, "description"))
            copyText(table->description, valueOf(line));
        else if (keyIs(line, "aci_table_available"))
            table->aciTableAvailable = isTrue(line);
        else if (keyIs(line, "scale_factor"))
            std::sscanf(valueOf(line), "%lf", &table->scaleFactor);
        else if (keyIs(line, "apply_factor"))
            table->applyFactor = isTrue(line);
        else if (keyIs(line, "custom_lineweight_display_units"))
            table->customLineWeightDisplayUnits = isTrue(line);
    }
}

// index=name lines; names kept by index 0..254.
bool readAciTable(Lines& lines, char** names) {
    lines.take();
    for (char* line; (line = lines.peek()) && std::strchr(line, '='); lines.take()) {
        int index = -1;
        if (std::sscanf(line, "%d", &index) != 1 || index < 0 || index >= AD_PLOT_STYLE_COLOURS) continue;
        const char* value = valueOf(line);
        release(names[index]);
        names[index] = static_cast<char*>(HostAlloc(std::strlen(value) + 1));
        if (!names[index]) return false;
        std::strcpy(names[index], value);
    }
    if (char* line = lines.peek(); line && line[0] == '}') lines.take();
    return true;
}

void readStyleKey(const char* line, AdPlotStyle* style) {
    if (keyIs(line, "  name"))
        copyText(style->name, valueOf(line));
    else if (keyIs(line, "  localized_name"))
        copyText(style->localizedName, valueOf(line));
    else if (keyIs(line, "  description"))
        copyText(style->description, valueOf(line));
    else if (keyIs(line, "  color"))
        std::sscanf(valueOf(line), "%d", &style->colour);
    else if (keyIs(line, "  color_policy"))
        style->colourPolicy = int16Of(line);
    else if (keyIs(line, "  physical_pen_number"))
        style->physicalPen = int16Of(line);
    else if (keyIs(line, "  virtual_pen_number"))
        style->virtualPen = int16Of(line);
    else if (keyIs(line, "  screen"))
        style->screen = int16Of(line);
    else if (keyIs(line, "  linepattern_size"))
        std::sscanf(valueOf(line), "%lf", &style->linePatternSize);
    else if (keyIs(line, "  linetype"))
        style->linetype = int16Of(line);
    else if (keyIs(line, "  adaptive_linetype"))
        style->adaptiveLinetype = isTrue(line);
    else if (keyIs(line, "  lineweight"))
        style->lineWeight = int16Of(line);
    else if (keyIs(line, "  fill_style"))
        style->fillStyle = int16Of(line);
    else if (keyIs(line, "  end_style"))
        style->endStyle = int16Of(line);
    else if (keyIs(line, "  join_style"))
        style->joinStyle = int16Of(line);
}

bool readStyles(Lines& lines, AdPlotStyleTable* table) {
    lines.take();
    AdPlotStyle** tail = &table->first;
    for (char* line; (line = lines.peek()) && line[0] != '}';) {
        lines.take();  // the block's opening line
        auto* style = static_cast<AdPlotStyle*>(zeroAlloc(sizeof(AdPlotStyle)));
        if (!style) return false;
        for (; (line = lines.peek()) && std::strchr(line, '='); lines.take()) readStyleKey(line, style);
        if (line) lines.take();  // the block's closing line
        if (style->name[0] == '\0' || table->styleCount == INT16_MAX) {
            release(style);
            continue;
        }
        *tail = style;
        tail = &style->next;
        ++table->styleCount;
    }
    if (lines.peek()) lines.take();
    return true;
}

void readCustomLineWeights(Lines& lines, AdPlotStyleTable* table) {
    lines.take();
    for (char* line; (line = lines.peek()) && line[0] != '}'; lines.take()) {
        int index = -1;
        double width = 0.0;
        if (std::sscanf(line, "%d=%lf", &index, &width) == 2 && index >= 0 && index < AD_CUSTOM_LINEWEIGHTS)
            table->customLineWeights[index] = width;
    }
}

bool resolveColours(AdPlotStyleTable* table, char** names) {
    table->colourStyles = static_cast<AdPlotStyle**>(zeroAlloc(AD_PLOT_STYLE_COLOURS * sizeof(AdPlotStyle*)));
    if (!table->colourStyles) return false;
    for (int k = 0; k < AD_PLOT_STYLE_COLOURS; ++k) {
        if (!names[k]) continue;
        if (!adPlotStyleByName(names[k], table, &table->colourStyles[k])) table->colourStyles[k] = nullptr;
    }
    return true;
}

bool parseText(char* text, std::size_t length, AdPlotStyleTable* table) {
    Lines lines(text, length);
    readHeader(lines, table);
    char* names[AD_PLOT_STYLE_COLOURS] = {};
    bool aci = false, ok = true;
    if (char* line = lines.peek(); line && std::strcmp(line, "aci_table{") == 0) {
        aci = true;
        ok = readAciTable(lines, names);
    }
    if (char* line = lines.peek(); ok && line && startsWith(line, "plot_style{")) ok = readStyles(lines, table);
    if (char* line = lines.peek(); ok && line && startsWith(line, "custom_lineweight_table{"))
        readCustomLineWeights(lines, table);
    if (ok && aci && table->first) ok = resolveColours(table, names);
    for (char* name : names) release(name);
    return ok;
}

// Inflates one byte in and one byte out per call, as far as the stream goes.
bool inflateBody(const std::uint8_t* body, std::size_t bodyLength, std::uint8_t* text, std::size_t capacity,
                 std::size_t* produced) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return false;
    int status = Z_OK;
    std::size_t consumed = 0;
    *produced = 0;
    while (status == Z_OK && *produced < capacity && consumed < bodyLength) {
        stream.next_in = const_cast<Bytef*>(body + consumed);
        stream.avail_in = 1;
        stream.next_out = text + *produced;
        stream.avail_out = 1;
        status = inflate(&stream, Z_NO_FLUSH);
        consumed += 1 - stream.avail_in;
        *produced += 1 - stream.avail_out;
        // A byte that is neither taken nor answered would loop for ever.
        if (status == Z_BUF_ERROR) status = Z_OK;
        if (status == Z_OK && stream.avail_in == 1 && stream.avail_out == 1) break;
    }
    const bool ended = inflateEnd(&stream) == Z_OK;
    return ended && (status == Z_OK || status == Z_STREAM_END);
}

// The first style of the table that matches; without one, the error a name
// that names no style gets.
template <class Matches>
int findStyle(const AdPlotStyleTable* table, AdPlotStyle** out, Matches matches) {
    for (AdPlotStyle* style = table ? table->first : nullptr; style; style = style->next)
        if (matches(*style)) {
            *out = style;
            return 1;
        }
    adSetError(AD_ERR_PLOT_STYLE_INFLATE);
    return 0;
}

}  // namespace

int adParsePlotStyleFile(const std::uint8_t* bytes, std::size_t length, AdPlotStyleTable** out) {
    *out = nullptr;
    if (length < kBodyOffset) {
        adSetError(AD_ERR_PLOT_STYLE_EMPTY);
        return 0;
    }
    const std::size_t textLength = le32(bytes + kLengthsOffset), bodyLength = le32(bytes + kLengthsOffset + 4);
    if (textLength == 0 || bodyLength == 0) {
        adSetError(AD_ERR_PLOT_STYLE_EMPTY);
        return 0;
    }
    if (bodyLength > length - kBodyOffset) {
        adSetError(AD_ERR_PLOT_STYLE_SHORT);
        return 0;
    }
    const std::size_t capacity = textLength < bodyLength * kInflateRatio ? textLength : bodyLength * kInflateRatio;
    // One byte more: the last line ends there even without its LF.
    auto* text = static_cast<std::uint8_t*>(HostAlloc(capacity + 1));
    auto* table = static_cast<AdPlotStyleTable*>(zeroAlloc(sizeof(AdPlotStyleTable)));
    if (!text || !table) {
        release(text);
        release(table);
        adNoMemory(AD_ERR_PLOT_STYLE_MEMORY);
        return 0;
    }
    std::size_t produced = 0;
    if (!inflateBody(bytes + kBodyOffset, bodyLength, text, capacity, &produced)) {
        release(text);
        release(table);
        adSetError(AD_ERR_PLOT_STYLE_INFLATE);
        return 0;
    }
    text[produced] = 0;
    const bool parsed = parseText(reinterpret_cast<char*>(text), produced, table);
    release(text);
    if (!parsed) {
        adFreePlotStyleTable(table);
        adNoMemory(AD_ERR_PLOT_STYLE_MEMORY);
        return 0;
    }
    *out = table;
    return 1;
}

int adReadPlotStyleTable(const char* path, AdPlotStyleTable** out) {
    *out = nullptr;
    HostFile* file = HostOpenRead(path);
    if (!file) {
        adSetError(AD_ERR_PLOT_STYLE_OPEN);
        return 0;
    }
    const std::int64_t length = HostFileLength(file);
    std::uint8_t* bytes = length > 0 ? static_cast<std::uint8_t*>(HostAlloc(static_cast<std::size_t>(length))) : nullptr;
    const bool read = bytes && HostRead(bytes, 1, static_cast<std::size_t>(length), file) == static_cast<std::size_t>(length);
    HostClose(file);
    int result = 0;
    if (read) {
        result = adParsePlotStyleFile(bytes, static_cast<std::size_t>(length), out);
    } else if (length > 0 && !bytes) {
        adNoMemory(AD_ERR_PLOT_STYLE_MEMORY);
    } else {
        adSetError(length < static_cast<std::int64_t>(kBodyOffset) ? AD_ERR_PLOT_STYLE_EMPTY : AD_ERR_PLOT_STYLE_SHORT);
    }
    release(bytes);
    return result;
}

void adFreePlotStyleTable(AdPlotStyleTable* table) {
    if (!table) return;
    for (AdPlotStyle* style = table->first; style;) {
        AdPlotStyle* next = style->next;
        release(style);
        style = next;
    }
    release(table->colourStyles);
    release(table);
}

int adPlotStyleByHandle(const std::uint8_t handle[8], const AdPlotStyleTable* table, AdPlotStyle** out) {
    *out = nullptr;
    static const std::uint8_t null[8] = {};
    if (std::memcmp(handle, null, 8) == 0) return 1;
    return findStyle(table, out, [&](const AdPlotStyle& style) { return std::memcmp(style.handle.b, handle, 8) == 0; });
}

int adPlotStyleByName(const char* name, const AdPlotStyleTable* table, AdPlotStyle** out) {
    *out = nullptr;
    return findStyle(table, out, [&](const AdPlotStyle& style) { return std::strcmp(style.name, name) == 0; });
}

int adPlotStyleByLocalizedName(const char* name, const AdPlotStyleTable* table, AdPlotStyle** out) {
    *out = nullptr;
    return findStyle(table, out, [&](const AdPlotStyle& style) { return std::strcmp(style.localizedName, name) == 0; });
}
