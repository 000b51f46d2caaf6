// Comparing two canonical summaries, and the differences between corpus
// twins that lie in the files themselves.
#include "corpus_summary.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <utility>

namespace {

bool isNumber(const std::string& field, double* value) {
    if (field.empty() || field[0] == '=') return false;
    char* end = nullptr;
    *value = std::strtod(field.c_str(), &end);
    return end && *end == '\0';
}

// A DWG keeps "\U+00XX" in a text where its DXF twin's writer put the code
// page's byte; in the Latin-1 range (0xA0 to 0xFF) the byte is the code
// point, and such escapes are compared as that byte.
std::string latinEscapesAsBytes(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned value = 0;
        if (text.compare(i, 5, "\\U+00") == 0 && i + 7 <= text.size() &&
            std::sscanf(text.c_str() + i + 5, "%2x", &value) == 1 && value >= 0xA0 &&
            std::isxdigit(static_cast<unsigned char>(text[i + 6]))) {
            out.push_back(static_cast<char>(value));
            i += 6;
        } else {
            out.push_back(text[i]);
        }
    }
    return out;
}

// Decimals of the shortest text that reads back as the value; 17 when that
// text needs an exponent.
int decimalsOf(double value) {
    char text[40];
    for (int precision = 1; precision <= 17; ++precision) {
        std::snprintf(text, sizeof text, "%.*g", precision, value);
        if (std::strtod(text, nullptr) != value) continue;
        if (std::strchr(text, 'e')) return 17;
        const char* point = std::strchr(text, '.');
        return point ? static_cast<int>(std::strlen(point + 1)) : 0;
    }
    return 17;
}

// Numbers agree within 1e-9 (relative beyond 1). The expected side comes
// from a DXF, and DXF writers of the R12 era round to six decimals: an
// expected number that has no more than six stands for anything within half
// a unit of its sixth decimal.
bool sameField(const std::string& expected, const std::string& got) {
    double a = 0.0, b = 0.0;
    if (!isNumber(expected, &a) || !isNumber(got, &b))
        return latinEscapesAsBytes(expected) == latinEscapesAsBytes(got);
    const double tolerance = decimalsOf(a) <= 6 ? 5e-7 : 1e-9 * std::max({1.0, std::fabs(a), std::fabs(b)});
    return std::fabs(a - b) <= tolerance;
}

std::string joined(const SummaryLine& line, std::size_t from) {
    std::string text;
    for (std::size_t i = from; i < line.size(); ++i) text += (i > from ? " " : "") + line[i];
    return text;
}

using Key = std::pair<std::string, std::string>;  // container, type

std::map<Key, std::string> countsOf(const Summary& summary) {
    std::map<Key, std::string> counts;
    for (const SummaryLine& line : summary)
        if (line.size() == 4 && line[0] == "COUNT") counts[{line[1], line[2]}] = line[3];
    return counts;
}

std::map<Key, std::vector<SummaryLine>> geometryOf(const Summary& summary) {
    std::map<Key, std::vector<SummaryLine>> geometry;
    for (const SummaryLine& line : summary)
        if (line.size() >= 3 && line[0] == "GEOMETRY") geometry[{line[1], line[2]}].push_back(line);
    return geometry;
}

void compareCounts(const Summary& expected, const Summary& got, std::vector<std::string>* out) {
    std::map<Key, std::string> want = countsOf(expected), have = countsOf(got);
    for (const auto& [key, n] : want) {
        auto found = have.find(key);
        const std::string other = found == have.end() ? "0" : found->second;
        if (other != n) out->push_back(key.first + " " + key.second + ": expected " + n + ", got " + other);
    }
    for (const auto& [key, n] : have)
        if (!want.count(key)) out->push_back(key.first + " " + key.second + ": expected 0, got " + n);
}

// Entities of a type are paired in their container's order.
void compareGeometry(const Summary& expected, const Summary& got, std::vector<std::string>* out) {
    auto want = geometryOf(expected), have = geometryOf(got);
    for (const auto& [key, lines] : want) {
        const std::vector<SummaryLine>& other = have[key];
        for (std::size_t i = 0; i < std::min(lines.size(), other.size()); ++i) {
            bool same = lines[i].size() == other[i].size();
            for (std::size_t k = 3; same && k < lines[i].size(); ++k) same = sameField(lines[i][k], other[i][k]);
            if (!same)
                out->push_back(key.first + " " + key.second + " #" + std::to_string(i) + ": expected " +
                               joined(lines[i], 3) + ", got " + joined(other[i], 3));
        }
    }
}

// Table and record names; only the LAYER table's when asked.
std::set<std::pair<std::string, std::string>> tablesOf(const Summary& summary, bool layersOnly) {
    std::set<std::pair<std::string, std::string>> names;
    for (const SummaryLine& line : summary)
        if (line.size() == 3 && line[0] == "TABLE" && (!layersOnly || line[1] == "LAYER"))
            names.insert({line[1], line[2]});
    return names;
}

void compareTables(const Summary& expected, const Summary& got, bool layersOnly, std::vector<std::string>* out) {
    const auto want = tablesOf(expected, layersOnly), have = tablesOf(got, layersOnly);
    for (const auto& [table, name] : want)
        if (!have.count({table, name})) out->push_back(table + " " + name + " missing");
    for (const auto& [table, name] : have)
        if (!want.count({table, name})) out->push_back(table + " " + name + " not expected");
}

// Where a DWG and its DXF twin differ as files, whatever the readers do.
struct TwinDifference {
    const char* stem;    // "" for every twin
    const char* prefix;  // of the difference text
    const char* reason;
};

constexpr const char* kDownlevelExport =
    "the DXF twin is an R13/R14 export: the ACAD_TABLE, ARC_DIMENSION and LIGHT that the DWG keeps as entities of "
    "their classes are INSERTs of anonymous blocks there, or left out, and the extra layout's block is left out";
constexpr const char* kOtherSave = "the DXF comes from another source, a different save of the drawing";

const TwinDifference kTwinDifferences[] = {
    {"", "APPID ", "application names are the writing program's registrations, which a DXF writer of another "
                   "release adds, drops or shortens"},
    {"ac1012_example", "MODEL INSERT", kDownlevelExport},
    {"ac1012_example", "MODEL ACAD_TABLE", kDownlevelExport},
    {"ac1012_example", "MODEL ARC_DIMENSION", kDownlevelExport},
    {"ac1012_example", "MODEL LIGHT", kDownlevelExport},
    {"ac1012_example", "*X#", kDownlevelExport},
    {"ac1012_example", "*PAPER_SPACE#0 ", kDownlevelExport},
    {"ac1012_example", "BLOCK *X#", kDownlevelExport},
    {"ac1012_example", "BLOCK *PAPER_SPACE#0 ", kDownlevelExport},
    {"ac1014_example", "MODEL INSERT", kDownlevelExport},
    {"ac1014_example", "MODEL ACAD_TABLE", kDownlevelExport},
    {"ac1014_example", "MODEL ARC_DIMENSION", kDownlevelExport},
    {"ac1014_example", "MODEL LIGHT", kDownlevelExport},
    {"ac1014_example", "*X#", kDownlevelExport},
    {"ac1014_example", "*PAPER_SPACE#0 ", kDownlevelExport},
    {"ac1014_example", "BLOCK *X#", kDownlevelExport},
    {"ac1014_example", "BLOCK *U#", kDownlevelExport},
    {"ac1014_example", "BLOCK *PAPER_SPACE#0 ", kDownlevelExport},
    {"ac1014_leader_image", "BLOCK *PAPER_SPACE#0 ", kDownlevelExport},
    {"ac1015_spline", "DIMSTYLE ", kOtherSave},
    {"ac1015_spline", "LTYPE ", kOtherSave},
};

}  // namespace

const char* twinFileDifference(const std::string& stem, const std::string& difference) {
    for (const TwinDifference& known : kTwinDifferences)
        if ((!*known.stem || stem == known.stem) && difference.rfind(known.prefix, 0) == 0) return known.reason;
    return nullptr;
}

std::vector<std::string> summaryDifferences(const Summary& expected, const Summary& got, int parts) {
    std::vector<std::string> out;
    if (parts & kSummaryCounts) compareCounts(expected, got, &out);
    if (parts & kSummaryGeometry) compareGeometry(expected, got, &out);
    if (parts & (kSummaryLayers | kSummaryTables)) compareTables(expected, got, !(parts & kSummaryTables), &out);
    return out;
}

