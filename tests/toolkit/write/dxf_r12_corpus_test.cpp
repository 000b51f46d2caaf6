// Every drawing of the corpus saved as DXF of the R12 layout and read back:
// the same tables, the same entities per container and the same sample
// geometry as the source, after what the target version cannot hold.
#include "toolkit/db/corpus_summary.h"
#include "toolkit/db/temp_dir.h"
#include "toolkit/write/writer.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>

namespace {
// Types that a version before AC1012 cannot hold (the LWPOLYLINE becomes a
// POLYLINE with its VERTEX records).
const std::set<std::string> kLaterTypes = {"REGION", "3DSOLID", "BODY", "RAY", "XLINE", "MTEXT",
                                           "SPLINE", "MLINE", "LEADER", "TOLERANCE", "ELLIPSE"};

bool keptAt(const std::string& type, std::int16_t version) {
    if (kLaterTypes.count(type) || !adDxfEntityType(type.c_str())) return type == "LWPOLYLINE";
    if (version < 4 && type == "VIEWPORT") return false;
    if (version == 0 && (type == "3DLINE" || type == "3DFACE" || type == "DIMENSION")) return false;
    return true;
}

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The source's summary as a file of the version must read: later types
// gone, table and block names legalised, the layouts beyond the current
// paper space left out. An LWPOLYLINE is written as a POLYLINE, which the
// reader makes an LWPOLYLINE again. SHAPEs are written only when their shape
// file is found, which the test does not provide.
Summary expectedAt(AdDrawing* source, const Summary& summary, std::int16_t version) {
    AdXrefBudgets budgets{};
    adBuildXrefNameBudgets(source, &budgets);
    auto legal = [&](const std::string& name) {
        char out[AD_LEGAL_NAME_SIZE];
        adDwgLegalName(source, &budgets, name.c_str(), 0, adGetNameLengthLimit(), out);
        return std::string(out);
    };
    std::map<std::pair<std::string, std::string>, long> counts;
    Summary expected;
    for (const SummaryLine& line : summary) {
        const std::string& kind = line[0];
        if (kind == "TABLE") {
            const std::string& table = line[1];
            if (table == "BLOCK" && upper(line[2]).rfind("*PAPER_SPACE", 0) == 0) continue;
            if ((table == "VPORT" || table == "UCS") && version < 3) continue;
            if ((table == "APPID" || table == "DIMSTYLE") && version < 4) continue;
            const std::string name = table == "APPID" || line[2][0] == '*' ? upper(line[2]) : legal(line[2]);
            expected.push_back({"TABLE", table, name});
            continue;
        }
        if (upper(line[1]).rfind("*PAPER_SPACE", 0) == 0) continue;
        // Files before AC1006 have no paper space: its entities come back
        // in model space.
        const std::string container = line[1] == "PAPER" && version < 3 ? "MODEL"
                                      : line[1] == "MODEL" || line[1] == "PAPER" || line[1][0] == '*'
                                          ? line[1]
                                          : legal(line[1]);
        const std::string& type = line[2];
        if (type == "SHAPE" || !keptAt(type, version)) continue;
        if (kind == "COUNT") {
            counts[{container, type}] += std::stol(line[3]);
        } else {
            SummaryLine geometry = line;
            geometry[1] = container;
            // Block names in INSERT and DIMENSION geometry are legalised too.
            if ((type == "INSERT" || type == "DIMENSION") && geometry[3].size() > 1 && geometry[3][1] != '*')
                geometry[3] = "=" + legal(geometry[3].substr(1));
            // Before AC1006 a LINE has one z, its start's.
            if (type == "LINE" && version < 3) geometry[8] = geometry[5];
            expected.push_back(geometry);
        }
    }
    for (const auto& [key, n] : counts) expected.push_back({"COUNT", key.first, key.second, std::to_string(n)});
    adFreeXrefNameBudgets(&budgets);
    return expected;
}

// A drawing's summary with table names compared in upper case and SHAPEs
// left out; the standard records a reader adds to a file that lacks them
// only when expected holds them.
Summary readBack(AdDrawing* drawing, const Summary* expected = nullptr) {
    static const std::set<std::string> kStandard = {"*ACTIVE", "ACAD", "STANDARD", "CONTINUOUS", "0"};
    Summary summary;
    for (SummaryLine line : drawingSummary(drawing)) {
        if (line[0] == "TABLE") line[2] = upper(line[2]);
        if (line[0] != "TABLE" && line[2] == "SHAPE") continue;
        if (expected && line[0] == "TABLE" && kStandard.count(line[2]) &&
            std::find(expected->begin(), expected->end(), line) == expected->end())
            continue;
        summary.push_back(line);
    }
    return summary;
}

// Both sides alike: an LWPOLYLINE counts as a POLYLINE with its vertices
// (the reader makes some of the written POLYLINEs LWPOLYLINEs again, not
// all); anonymous blocks, which the file numbers anew, are compared by kind
// ("*D") with their counts only.
Summary normalised(const Summary& summary) {
    auto anonymous = [](std::string name) {
        const std::size_t hash = name.find('#');
        const std::size_t star = name.rfind("=*", 0) == 0 ? 1 : 0;
        if (name.size() > star && name[star] == '*' && hash != std::string::npos) name.erase(hash);
        return name;
    };
    std::map<std::pair<std::string, std::string>, long> counts;
    Summary out;
    for (SummaryLine line : summary) {
        if (line[0] == "TABLE") {
            if (line[1] == "BLOCK") line[2] = anonymous(line[2]);
            // A nameless block (of a damaged file) may or may not be kept.
            if (line[1] == "BLOCK" && line[2].empty()) continue;
            if (std::find(out.begin(), out.end(), line) == out.end()) out.push_back(line);
            continue;
        }
        const std::string container = anonymous(line[1]);
        const std::string& type = line[2];
        if (line[0] == "COUNT") {
            counts[{container, type == "LWPOLYLINE" ? "POLYLINE" : type}] += std::stol(line[3]);
            continue;
        }
        if (type == "LWPOLYLINE") {
            counts[{container, "VERTEX"}] += std::stol(line[3]);
            continue;
        }
        if (container != line[1]) continue;
        for (std::size_t i = 3; i < line.size(); ++i)
            if (line[i].size() > 1 && line[i][0] == '=' && line[i][1] == '*') line[i] = anonymous(line[i]);
        out.push_back(line);
    }
    for (const auto& [key, n] : counts) out.push_back({"COUNT", key.first, key.second, std::to_string(n)});
    return out;
}

struct Source {
    const char* kind;
    std::string stem;
};

class DxfR12Corpus : public CorpusTest {};

TEST_F(DxfR12Corpus, EverySavedDrawingReadsBackAlike) {
    std::vector<Source> sources;
    for (const std::string& stem : corpusStems("dxf")) sources.push_back({"dxf", stem});
    for (const std::string& stem : corpusStems("dwg")) sources.push_back({"dwg", stem});
    if (sources.empty()) GTEST_SKIP() << "no corpus drawings under " << corpusFolder("dxf").parent_path();
    TempDir dir;
    int saved = 0;
    for (const Source& source : sources) {
        const auto path = corpusFolder(source.kind) / (source.stem + "." + source.kind);
        LoadedDrawing drawing(path);
        if (!drawing.get()) continue;  // files our reader refuses are not the writer's
        const Summary summary = readBack(drawing.get());
        const std::int16_t own = adDrawingVersion(drawing.get());
        // Every drawing as AC1009, ASCII and binary; the drawings of the
        // older versions also as each older version they can hold.
        std::vector<std::pair<std::int16_t, std::uint8_t>> targets = {{4, 1}, {4, 2}};
        for (std::int16_t v = 0; v < 4 && own <= 4; ++v)
            if (v >= own - 1 || v == 0) targets.push_back({v, 1});
        for (const auto& [version, format] : targets) {
            const std::string label = source.stem + "." + source.kind + " as " + adVersionString(version) +
                                      (format == 2 ? " binary" : "");
            const std::string out = (dir.path() / "out.dxf").string();
            ASSERT_EQ(adSaveDrawing(drawing.get(), out.c_str(), format, version, 1, 16, 0, 1), 1)
                << label << ": error " << adGlobals->errorCode;
            LoadedDrawing back(out);
            ASSERT_NE(back.get(), nullptr) << label << ": our reader refuses it, error " << back.error();
            const Summary expected = expectedAt(drawing.get(), summary, version);
            const auto differences = summaryDifferences(normalised(expected), normalised(readBack(back.get(), &expected)),
                                                        kSummaryCounts | kSummaryGeometry | kSummaryTables);
            for (std::size_t i = 0; i < differences.size() && i < 8; ++i) ADD_FAILURE() << label << ": " << differences[i];
            ++saved;
        }
    }
    EXPECT_GT(saved, 0);
}
}  // namespace
