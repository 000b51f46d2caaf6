// Every drawing of the corpus saved as bit-coded DWG of AC1012, AC1014 and
// AC1015 and read back by our reader: the same tables and header variables.
#include "toolkit/db/corpus/corpus_summary.h"
#include "toolkit/db/temp_dir.h"
#include "toolkit/write/dwg/dwg_writer.h"
#include "dwg_object_tree.h"
#include "dwg_structure.h"
#include "oracle.h"
#include "toolkit/db/dwg/dwg_header_order.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <set>
#include <memory>
#include <string>

namespace {

std::string upper(std::string text) {
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// A block name as the file holds it: an anonymous block by its kind, a
// further paper-space layout by its prefix.
std::string writtenBlockName(const std::string& name) {
    if (name.empty() || name[0] != '*') return name;
    const std::string upperName = upper(name);
    if (upperName.rfind("*PAPER_SPACE", 0) == 0) return "*PAPER_SPACE";
    if (upperName == "*MODEL_SPACE") return upperName;
    return upperName.substr(0, 2);
}

// The table lines of a drawing as a file of the version holds them: below
// AC1015 the names legalised. Blocks without a name (of damaged files) are
// left out, and names that come out alike count once.
Summary tablesOf(AdDrawing* drawing, std::int16_t version, AdDrawing* namer) {
    AdXrefBudgets budgets{};
    adBuildXrefNameBudgets(namer, &budgets);
    Summary tables;
    for (SummaryLine line : drawingSummary(drawing)) {
        if (line[0] != "TABLE" || line.size() < 3) continue;
        if (line[1] == "BLOCK" && line[2].empty()) continue;
        if (line[1] == "BLOCK") line[2] = writtenBlockName(line[2]);
        if (version < AD_VERSION_AC1015 && !line[2].empty() && line[2][0] != '*') {
            char legal[AD_LEGAL_NAME_SIZE];
            adDwgLegalName(namer, &budgets, line[2].c_str(), 0, adGetNameLengthLimit(), legal);
            line[2] = legal;
        }
        if (version < AD_VERSION_AC1015) line[2] = upper(line[2]);
        if (std::find(tables.begin(), tables.end(), line) == tables.end()) tables.push_back(line);
    }
    adFreeXrefNameBudgets(&budgets);
    return tables;
}

// The header variables the file of the version holds that read back
// otherwise, by their offset in the header block.
std::vector<std::string> headerDifferences(const AdHeaderVars* a, const AdHeaderVars* b, std::int16_t version) {
    std::vector<std::string> out;
    const AdDwgVarOrder& order = version >= AD_VERSION_AC1015 ? adDwgHeaderOrderAc1015 : adDwgHeaderOrderAc1012;
    const auto* left = reinterpret_cast<const std::uint8_t*>(a);
    const auto* right = reinterpret_cast<const std::uint8_t*>(b);
    for (const AdDwgVarSpan& span : order.spans)
        for (std::int32_t i = 0; i < span.count; ++i) {
            const AdDwgVarRow& row = span.rows[i];
            if (row.place != AD_DV_IN_HEADER || row.kind == AD_DV_CEPSNID) continue;
            // Below AC1015 the fit setting carries the text movement.
            if (version < AD_VERSION_AC1015 && row.offset == offsetof(AdHeaderVars, dimatfit)) continue;
            const std::uint8_t* x = left + row.offset;
            const std::uint8_t* y = right + row.offset;
            bool same = false;
            if (row.kind == AD_DV_T) same = std::strncmp(reinterpret_cast<const char*>(x), reinterpret_cast<const char*>(y), row.size) == 0;
            else if (row.kind == AD_DV_B) same = (std::memcmp(x, std::vector<std::uint8_t>(row.size).data(), row.size) == 0) ==
                                                 (std::memcmp(y, std::vector<std::uint8_t>(row.size).data(), row.size) == 0);
            else if (row.kind == AD_DV_BD || row.kind == AD_DV_2RD || row.kind == AD_DV_3BD) {
                // Compared as numbers: a bit-double holds -0.0 as 0.0.
                same = true;
                for (std::uint32_t k = 0; k < row.size / sizeof(double); ++k) {
                    double u = 0.0, v = 0.0;
                    std::memcpy(&u, x + k * sizeof(double), sizeof u);
                    std::memcpy(&v, y + k * sizeof(double), sizeof v);
                    same = same && (u == v || (u != u && v != v));
                }
            } else same = std::memcmp(x, y, row.size) == 0;
            if (!same) out.push_back("header field at offset " + std::to_string(row.offset) + " differs");
        }
    return out;
}

// The entity lines of a drawing: counts per container and type, and the
// sample geometry.
// A block name as a file of the version holds it: below AC1015 legalised
// and upper-cased.
std::string blockNameAs(const std::string& name, std::int16_t version, AdDrawing* namer,
                        const AdXrefBudgets& budgets) {
    if (version >= AD_VERSION_AC1015) return name;
    if (name.empty() || name[0] == '*' || name == "MODEL" || name == "PAPER") return upper(name);
    char legal[AD_LEGAL_NAME_SIZE];
    adDwgLegalName(namer, &budgets, name.c_str(), 0, adGetNameLengthLimit(), legal);
    return upper(legal);
}

// A scale the reader cannot use reads as 1.
std::string readableScale(const std::string& scale) {
    return std::fabs(std::stod(scale)) < 1e-12 ? "1" : scale;
}

// The entity lines of a drawing as a file of the version gives them back:
// counts per container and type and the sample geometry, block names as the
// file holds them. SHAPEs whose shape is unknown (number 255) have no
// record and are not counted.
Summary entitiesOf(AdDrawing* drawing, std::int16_t version, AdDrawing* namer) {
    AdXrefBudgets budgets{};
    adBuildXrefNameBudgets(namer, &budgets);
    std::map<std::string, int> unknownShapes;
    walkEntities(drawing, [&](const std::string& container, const AdEntityHeader& header, const AdEntityData& data) {
        if (header.type == AD_ENTITY_SHAPE && data.shape.shapeNumber == 255) ++unknownShapes[container];
    });
    Summary entities;
    for (SummaryLine& line : drawingSummary(drawing)) {
        if (line[0] == "TABLE") continue;
        if (line[0] == "COUNT" && line[2] == "SHAPE" && unknownShapes.count(line[1])) {
            const int left = std::stoi(line[3]) - unknownShapes[line[1]];
            if (left == 0) continue;
            line[3] = std::to_string(left);
        }
        line[1] = blockNameAs(line[1], version, namer, budgets);
        if (line[0] == "GEOMETRY" && (line[2] == "INSERT" || line[2] == "DIMENSION"))
            line[3] = blockNameAs(line[3], version, namer, budgets);
        if (line[0] == "GEOMETRY" && line[2] == "INSERT")
            for (std::size_t i = 4; i < line.size(); ++i) line[i] = readableScale(line[i]);
        entities.push_back(std::move(line));
    }
    adFreeXrefNameBudgets(&budgets);
    std::sort(entities.begin(), entities.end());
    return entities;
}

// An AC1012 file holds each LWPOLYLINE as a POLYLINE with its vertices,
// which our reader makes an LWPOLYLINE again only where it can. In a
// container where it did not for all of them, both sides count each
// LWPOLYLINE as a POLYLINE and its vertices, without its sample geometry.
void polylinesAlike(Summary* expected, Summary* got) {
    std::map<std::string, long> lightweight[2];
    Summary* sides[2] = {expected, got};
    for (int side = 0; side < 2; ++side)
        for (const SummaryLine& line : *sides[side])
            if (line[0] == "COUNT" && line[2] == "LWPOLYLINE") lightweight[side][line[1]] = std::stol(line[3]);
    for (Summary* summary : sides) {
        std::map<std::pair<std::string, std::string>, long> added;
        std::erase_if(*summary, [&](const SummaryLine& line) {
            if (line[2] != "LWPOLYLINE" || lightweight[0][line[1]] == lightweight[1][line[1]]) return false;
            added[{line[1], line[0] == "COUNT" ? "POLYLINE" : "VERTEX"}] += std::stol(line[3]);
            return true;
        });
        for (SummaryLine& line : *summary) {
            const auto more = added.find({line[1], line[2]});
            if (line[0] != "COUNT" || more == added.end()) continue;
            line[3] = std::to_string(std::stol(line[3]) + more->second);
            added.erase(more);
        }
        for (const auto& [key, n] : added) summary->push_back({"COUNT", key.first, key.second, std::to_string(n)});
    }
}

// Lines of got that expected lacks and the other way round, a few of each.
void expectSameLines(const std::string& label, const char* what, const std::vector<std::string>& expected,
                     const std::vector<std::string>& got) {
    std::vector<std::string> missing;
    std::vector<std::string> extra;
    for (const std::string& line : expected)
        if (std::find(got.begin(), got.end(), line) == got.end()) missing.push_back(line);
    for (const std::string& line : got)
        if (std::find(expected.begin(), expected.end(), line) == expected.end()) extra.push_back(line);
    for (std::size_t i = 0; i < missing.size() && i < 4; ++i)
        ADD_FAILURE() << label << ": " << what << " not read back: " << missing[i];
    for (std::size_t i = 0; i < extra.size() && i < 4; ++i)
        ADD_FAILURE() << label << ": " << what << " read back but not in the source: " << extra[i];
}

// The classes read back, less the zombie classes an AC1012 file lists for
// drawings that have none.
std::vector<std::string> classesReadBack(AdDrawing* back, std::int16_t version, const std::vector<std::string>& source) {
    std::vector<std::string> lines = classLines(back, version);
    std::erase_if(lines, [&](const std::string& line) {
        return line.find(" DxfZombie") != std::string::npos &&
               std::find(source.begin(), source.end(), line) == source.end();
    });
    return lines;
}

using DwgR13Corpus = CorpusTest;

// Each drawing is saved at one of the three versions in turn, which keeps
// the test short; VT_DWG_SWEEP=1 saves every drawing at all three.
bool sweepAll() {
    const char* sweep = std::getenv("VT_DWG_SWEEP");
    return sweep && std::strcmp(sweep, "1") == 0;
}

TEST_F(DwgR13Corpus, EverySavedDrawingReadsBackItsTables) {
    const std::vector<CorpusSource> sources = corpusSources();
    if (sources.empty()) GTEST_SKIP() << "no corpus drawings under " << corpusFolder("dxf").parent_path();
    TempDir dir;
    int saved = 0;
    std::map<std::string, std::pair<int, int>> objectTotals;  // written, read back
    const bool gdal = ogrinfoSkipReason().empty();
    const std::string report = (dir.path() / "ogrinfo.txt").string();
    // What GDAL reads from each source its DWG driver opens (a DXF by its
    // DWG twin), to be read the same from our AC1015 file.
    std::set<std::string> peerSources;
    int gdalCompared = 0;
    int solidsCompared = 0;
    std::map<std::string, GdalFeatures> peers;
    for (const CorpusSource& source : sources) {
        if (!gdal) break;
        const auto dwg = corpusFolder("dwg") / (source.stem + ".dwg");
        const GdalFeatures features = gdalFeatures(dwg.string(), report);
        if (!features.opened) continue;
        peerSources.insert(source.stem + "." + source.kind);
        peers[source.stem] = features;
    }
    for (const CorpusSource& source : sources) {
        const auto path = corpusFolder(source.kind) / (source.stem + "." + source.kind);
        LoadedDrawing drawing(path);
        if (!drawing.get()) continue;
        const std::size_t turn = static_cast<std::size_t>(&source - sources.data());
        const std::int16_t own = adDrawingVersion(drawing.get());
        const std::set<std::string> roundTrip = roundTripObjects(drawing.get());
        // GDAL's DWG driver reads AC1015: every drawing goes there as well.
        const bool peer = gdal && peerSources.count(source.stem + "." + source.kind);
        for (std::int16_t version = AD_VERSION_AC1012; version <= AD_VERSION_AC1015; ++version) {
            if (!sweepAll() && version != AD_VERSION_AC1012 + static_cast<std::int16_t>(turn % 3) &&
                !(gdal && version == AD_VERSION_AC1015))
                continue;
            const std::string label = source.stem + "." + source.kind + " as " + adVersionString(version);
            const std::string out = (dir.path() / "out.dwg").string();
            if (adSaveDrawing(drawing.get(), out.c_str(), 0, version, 1, 16, 0, 1) != 1) {
                char handle[20] = "";
                adHandleToHex(&adGlobals->offendingHandle, handle, sizeof handle);
                ADD_FAILURE() << label << ": error " << adGlobals->errorCode << " (handle " << handle << ")";
                continue;
            }
            for (const std::string& fault : checkDwgStructure(readFileBytes(out)).faults)
                ADD_FAILURE() << label << ": " << fault;
            LoadedDrawing back(out);
            if (!back.get()) {
                ADD_FAILURE() << label << ": our reader refuses it, error " << back.error();
                continue;
            }
            if (gdal && version == AD_VERSION_AC1015) {
                const GdalFeatures ours = gdalFeatures(out, report);
                EXPECT_TRUE(ours.opened) << label << ": GDAL's DWG driver refuses it";
                if (peer) {
                    EXPECT_EQ(ours.counts, peers[source.stem].counts) << label << ": GDAL's features";
                    ++gdalCompared;
                }
            }
            const auto differences = summaryDifferences(tablesOf(drawing.get(), version, drawing.get()),
                                                    tablesOf(back.get(), version, drawing.get()), kSummaryTables);
            for (std::size_t i = 0; i < differences.size() && i < 4; ++i) ADD_FAILURE() << label << ": " << differences[i];
            // A save at another version, or below AC1015, leaves the header
            // round-trip entry out.
            const std::set<std::string> leftOut =
                version < AD_VERSION_AC1015 || version != own ? roundTrip : std::set<std::string>{};
            const auto written = objectCounts(drawing.get(), version, leftOut);
            const auto readBack = objectCounts(back.get(), version, {});
            EXPECT_EQ(written, readBack) << label;
            for (const auto& [kind, n] : written) objectTotals[kind].first += n;
            for (const auto& [kind, n] : readBack) objectTotals[kind].second += n;
            expectSameLines(label, "dictionary", dictionaryTree(drawing.get(), version, leftOut),
                            dictionaryTree(back.get(), version, {}));
            const auto classes = classLines(drawing.get(), version);
            expectSameLines(label, "class", classes, classesReadBack(back.get(), version, classes));
            Summary expectedEntities = entitiesOf(drawing.get(), version, drawing.get());
            Summary gotEntities = entitiesOf(back.get(), version, drawing.get());
            if (version == AD_VERSION_AC1012) polylinesAlike(&expectedEntities, &gotEntities);
            const auto entities = summaryDifferences(expectedEntities, gotEntities, kSummaryCounts | kSummaryGeometry);
            for (std::size_t i = 0; i < entities.size() && i < 400; ++i) ADD_FAILURE() << label << ": " << entities[i];
            // Each solid's SAT text reads back as the source's, byte for byte.
            const auto sourceSolids = satTexts(drawing.get());
            const auto backSolids = satTexts(back.get());
            EXPECT_EQ(sourceSolids.size(), backSolids.size()) << label;
            for (const auto& [handle, text] : sourceSolids) {
                const auto found = backSolids.find(handle);
                if (found == backSolids.end() || found->second == text) continue;
                const auto at = std::mismatch(text.begin(), text.end(), found->second.begin(), found->second.end());
                ADD_FAILURE() << label << ": SAT text of solid " << std::hex << handle << std::dec
                              << " differs from byte " << (at.first - text.begin());
            }
            solidsCompared += static_cast<int>(sourceSolids.size());
            const auto header = headerDifferences(drawing.get()->header, back.get()->header, version);
            for (std::size_t i = 0; i < header.size() && i < 4; ++i) ADD_FAILURE() << label << ": " << header[i];
            ++saved;
        }
    }
    EXPECT_GT(saved, 0);
    if (gdal) {
        EXPECT_GT(gdalCompared, 0);
    }
    EXPECT_GT(solidsCompared, 0);
    std::cout << solidsCompared << " saved solids with their SAT text\n";
    std::cout << "GDAL's DWG driver: " << gdalCompared << " drawings read with the source's feature counts\n";
    for (const auto& [kind, n] : objectTotals)
        std::cout << "objects " << kind << ": " << n.first << " written, " << n.second << " read back\n";
}
}  // namespace
