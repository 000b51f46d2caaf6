// Text and JSON forms of a drawing summary. File names and record names come
// from the files and the command line, so every string is escaped.
#include "tools/adinfo/summary_output.h"

#include "toolkit/ad.h"

#include <cmath>

namespace {
void jsonString(const std::string& text, std::FILE* out) {
    std::fputc('"', out);
    for (unsigned char c : text) {
        switch (c) {
            case '"': std::fputs("\\\"", out); break;
            case '\\': std::fputs("\\\\", out); break;
            case '\n': std::fputs("\\n", out); break;
            case '\r': std::fputs("\\r", out); break;
            case '\t': std::fputs("\\t", out); break;
            default:
                // Bytes above 127 are code-page text, not UTF-8: each becomes
                // the character of the same number, so the line stays valid.
                if (c < 0x20 || c >= 0x7F) std::fprintf(out, "\\u%04x", c);
                else std::fputc(c, out);
        }
    }
    std::fputc('"', out);
}

void jsonStringOrNull(const std::string& text, std::FILE* out) {
    if (text.empty()) std::fputs("null", out);
    else jsonString(text, out);
}

void jsonPoint(const std::array<double, 3>& point, std::FILE* out) {
    std::fputc('[', out);
    for (std::size_t i = 0; i < point.size(); ++i) {
        if (i) std::fputc(',', out);
        if (std::isfinite(point[i])) std::fprintf(out, "%.17g", point[i]);
        else std::fputs("null", out);
    }
    std::fputc(']', out);
}

void jsonNames(const std::vector<std::string>& names, std::FILE* out) {
    std::fputc('[', out);
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (i) std::fputc(',', out);
        jsonString(names[i], out);
    }
    std::fputc(']', out);
}

void jsonHeader(const DrawingSummary& summary, std::FILE* out) {
    if (!summary.ok) {
        std::fputs("null", out);
        return;
    }
    std::fputs("{\"ACADVER\":", out);
    jsonStringOrNull(summary.acadver, out);
    std::fputs(",\"HANDSEED\":", out);
    jsonStringOrNull(summary.handseed, out);
    std::fputs(",\"EXTMIN\":", out);
    jsonPoint(summary.extmin, out);
    std::fputs(",\"EXTMAX\":", out);
    jsonPoint(summary.extmax, out);
    std::fputc('}', out);
}

void jsonTables(const DrawingSummary& summary, std::FILE* out) {
    std::fputc('{', out);
    for (std::size_t i = 0; i < summary.tableCounts.size(); ++i) {
        if (i) std::fputc(',', out);
        std::fprintf(out, "\"%s\":%d", summary.tableCounts[i].first, summary.tableCounts[i].second);
    }
    std::fputc('}', out);
}

// Entity counts per block are not loaded yet: each space and block is listed
// with no entities.
void jsonCounts(const std::map<std::string, int>& counts, std::FILE* out) {
    std::fputc('{', out);
    bool first = true;
    for (const auto& [name, count] : counts) {
        if (!first) std::fputc(',', out);
        first = false;
        jsonString(name, out);
        std::fprintf(out, ":%d", count);
    }
    std::fputc('}', out);
}

void jsonEntities(const DrawingSummary& summary, std::FILE* out) {
    std::fputc('{', out);
    for (std::size_t i = 0; i < summary.entities.size(); ++i) {
        if (i) std::fputc(',', out);
        jsonString(summary.entities[i].first, out);
        std::fputc(':', out);
        jsonCounts(summary.entities[i].second, out);
    }
    std::fputc('}', out);
}

// One line of counts per space, block and the objects: "  NAME: KIND n, ...".
void textCounts(const char* owner, const std::map<std::string, int>& counts, std::FILE* out) {
    std::fprintf(out, "  %s:", owner);
    if (counts.empty()) std::fputs(" none", out);
    const char* separator = " ";
    for (const auto& [name, count] : counts) {
        std::fprintf(out, "%s%s %d", separator, name.c_str(), count);
        separator = ", ";
    }
    std::fputc('\n', out);
}

void jsonSkipped(const DrawingSummary& summary, std::FILE* out) {
    std::fputc('[', out);
    for (std::size_t i = 0; i < summary.skipped.size(); ++i) {
        if (i) std::fputc(',', out);
        std::fprintf(out, "{\"code\":%d,\"handle\":", summary.skipped[i].first);
        jsonString(summary.skipped[i].second, out);
        std::fputc('}', out);
    }
    std::fputc(']', out);
}
}  // namespace

void printSummaryJson(const DrawingSummary& summary, std::FILE* out) {
    std::fputs("{\"file\":", out);
    jsonString(summary.file, out);
    std::fprintf(out, ",\"ok\":%s,\"format\":", summary.ok ? "true" : "false");
    jsonStringOrNull(summary.format, out);
    std::fputs(",\"version\":", out);
    jsonStringOrNull(summary.version, out);
    std::fputs(",\"version_index\":", out);
    if (summary.sniffed && summary.versionIndex >= 0) std::fprintf(out, "%d", summary.versionIndex);
    else std::fputs("null", out);
    std::fprintf(out, ",\"error\":%d,", summary.error);
    if (!summary.errorText.empty()) {
        std::fputs("\"error_text\":", out);
        jsonString(summary.errorText, out);
        std::fputc(',', out);
    }
    std::fputs("\"stage\":", out);
    if (summary.stage >= 0) std::fprintf(out, "%d", summary.stage);
    else std::fputs("null", out);
    std::fputs(",\"header\":", out);
    jsonHeader(summary, out);
    std::fputs(",\"tables\":", out);
    jsonTables(summary, out);
    std::fputs(",\"layers\":", out);
    jsonNames(summary.layers, out);
    std::fputs(",\"blocks\":", out);
    jsonNames(summary.blocks, out);
    std::fputs(",\"entities\":", out);
    jsonEntities(summary, out);
    std::fputs(",\"objects\":", out);
    jsonCounts(summary.objects, out);
    std::fputs(",\"errors\":", out);
    jsonSkipped(summary, out);
    std::fputs("}\n", out);
}

void printSummaryText(const DrawingSummary& summary, std::FILE* out) {
    std::fprintf(out, "%s: ", summary.file.c_str());
    if (summary.sniffed)
        std::fprintf(out, "%s %s (version index %d)", summary.format,
                     summary.version.empty() ? "version unknown" : summary.version.c_str(), summary.versionIndex);
    else std::fputs("format unknown", out);
    if (!summary.ok) {
        std::fprintf(out, ", failed: %s", summary.errorText.c_str());
        if (summary.stage >= 0 && summary.stage != summary.error) std::fprintf(out, " (%s)", adErrorText(summary.stage));
        std::fputc('\n', out);
        return;
    }
    std::fprintf(out, ", loaded: %zu layers, %zu blocks\n", summary.layers.size(), summary.blocks.size());
    std::fputs("  tables:", out);
    for (const auto& [table, count] : summary.tableCounts) std::fprintf(out, " %s %d", table, count);
    std::fputc('\n', out);
    for (const auto& [owner, counts] : summary.entities) textCounts(owner.c_str(), counts, out);
    textCounts("objects", summary.objects, out);
    if (summary.skipped.empty()) return;
    std::fprintf(out, "  skipped %zu records:", summary.skipped.size());
    for (const auto& [code, handle] : summary.skipped) std::fprintf(out, " %s (%s)", handle.c_str(), adErrorText(code));
    std::fputc('\n', out);
}
