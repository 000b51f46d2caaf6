// What a drawing saved in a file of the fixed-record versions must read
// back as, compared through the corpus summary.
#include "save_expectations.h"

#include "toolkit/write/writer.h"
#include "toolkit/ad_internal.h"

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
    if (version >= AD_VERSION_AC1012) return true;
    if (kLaterTypes.count(type) || !adDxfEntityType(type.c_str())) return type == "LWPOLYLINE";
    if (version < 4 && type == "VIEWPORT") return false;
    if (version == 0 && (type == "3DLINE" || type == "3DFACE" || type == "DIMENSION")) return false;
    return true;
}

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

bool isPaperSpace(const std::string& name) { return upper(name).rfind("*PAPER_SPACE", 0) == 0; }

// The drawing's own paper-space block, which no summary line names as a block.
bool isOwnPaperSpace(AdDrawing* source, const std::string& name) {
    AdHandle paper{};
    adSpaceBlockHandle(source, &paper, AD_SPACE_PAPER);
    AdBlockHeader block{};
    return adBlockByHandle(source, &paper, &block) && name == block.name;
}

}  // namespace

// The source's summary as a file of the version must read: later types
// gone, table and block names legalised, the layouts beyond the current
// paper space left out. An LWPOLYLINE is written as a POLYLINE, which the
// reader makes an LWPOLYLINE again. SHAPEs are written only when their shape
// file is found, which the test does not provide.
Summary expectedAt(AdDrawing* source, const Summary& summary, std::int16_t version, std::uint8_t format) {
    const bool dwg = format == AD_FORMAT_DWG;
    AdXrefBudgets budgets{};
    adBuildXrefNameBudgets(source, &budgets);
    // From AC1015 names are written as they are.
    const bool asTheyAre = version >= AD_VERSION_AC1015;
    auto legal = [&](const std::string& name, std::int32_t number = 0) {
        if (asTheyAre) return name;
        char out[AD_LEGAL_NAME_SIZE];
        adDwgLegalName(source, &budgets, name.c_str(), number, adGetNameLengthLimit(), out);
        return std::string(out);
    };
    std::map<std::pair<std::string, std::string>, long> counts;
    // A DWG file's application names that are cut end in their record's
    // number.
    std::int32_t appids = 0;
    Summary expected;
    for (const SummaryLine& line : summary) {
        const std::string& kind = line[0];
        if (kind == "TABLE") {
            const std::string& table = line[1];
            // The blocks of further layouts: left out of DXF files, named
            // *PAPER_SPACE in DWG files.
            if (table == "BLOCK" && isPaperSpace(line[2]) && !asTheyAre) {
                if (dwg && !isOwnPaperSpace(source, line[2])) expected.push_back({"TABLE", table, "*PAPER_SPACE"});
                continue;
            }
            if ((table == "VPORT" || table == "UCS") && version < 3) continue;
            if ((table == "APPID" || table == "DIMSTYLE") && version < 4) continue;
            // DXF files keep application names as they are.
            const std::string name = table == "APPID" && dwg ? legal(line[2], appids++)
                                     : table == "APPID" || (line[2][0] == '*' && !asTheyAre) ? upper(line[2])
                                                                              : legal(line[2]);
            expected.push_back({"TABLE", table, name});
            continue;
        }
        if (isPaperSpace(line[1]) && !dwg && !asTheyAre) continue;
        // Paper space came with AC1006 in DXF files and with AC1009 in DWG
        // files: before, its entities come back in model space.
        const std::int16_t paperFrom = dwg ? AD_VERSION_AC1009 : AD_VERSION_AC1006;
        const std::string container = asTheyAre ? line[1]
                                      : isPaperSpace(line[1]) ? "*PAPER_SPACE"
                                      : line[1] == "PAPER" && version < paperFrom ? "MODEL"
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
            // The fixed-record DWG reader takes a zero scale for 1.
            if (type == "INSERT" && dwg)
                for (std::size_t i = 4; i < geometry.size(); ++i)
                    if (std::stod(geometry[i]) == 0.0) geometry[i] = "1";
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
Summary readBack(AdDrawing* drawing, const Summary* expected) {
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

