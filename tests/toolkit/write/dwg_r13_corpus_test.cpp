// Every drawing of the corpus saved as bit-coded DWG of AC1012, AC1014 and
// AC1015 and read back by our reader: the same tables and header variables.
#include "toolkit/db/corpus/corpus_summary.h"
#include "toolkit/db/temp_dir.h"
#include "toolkit/write/dwg/dwg_writer.h"
#include "dwg_structure.h"
#include "toolkit/db/dwg/dwg_header_order.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
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

// Multiline styles and groups, by type. (Dictionaries are left out: those
// that hang from entities are reached through the entities.)
std::map<std::int16_t, int> fixedObjects(AdDrawing* drawing) {
    std::map<std::int16_t, int> counts;
    auto header = std::make_unique<AdObjectHeader>();
    auto data = std::make_unique<AdObjectData>();
    adObjectRewind(drawing);
    while (adObjectNext(drawing, header.get(), data.get())) {
        if (header->type == AD_OBJECT_MLINESTYLE || header->type == AD_OBJECT_GROUP)
            ++counts[header->type];
    }
    return counts;
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
    for (const CorpusSource& source : sources) {
        const auto path = corpusFolder(source.kind) / (source.stem + "." + source.kind);
        LoadedDrawing drawing(path);
        if (!drawing.get()) continue;
        const std::size_t turn = static_cast<std::size_t>(&source - sources.data());
        for (std::int16_t version = AD_VERSION_AC1012; version <= AD_VERSION_AC1015; ++version) {
            if (!sweepAll() && version != AD_VERSION_AC1012 + static_cast<std::int16_t>(turn % 3)) continue;
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
            const auto differences = summaryDifferences(tablesOf(drawing.get(), version, drawing.get()),
                                                    tablesOf(back.get(), version, drawing.get()), kSummaryTables);
            for (std::size_t i = 0; i < differences.size() && i < 4; ++i) ADD_FAILURE() << label << ": " << differences[i];
            EXPECT_EQ(fixedObjects(drawing.get()), fixedObjects(back.get())) << label;
            const auto entities = summaryDifferences(entitiesOf(drawing.get(), version, drawing.get()),
                                                     entitiesOf(back.get(), version, drawing.get()),
                                                     kSummaryCounts | kSummaryGeometry);
            for (std::size_t i = 0; i < entities.size() && i < 400; ++i) ADD_FAILURE() << label << ": " << entities[i];
            const auto header = headerDifferences(drawing.get()->header, back.get()->header, version);
            for (std::size_t i = 0; i < header.size() && i < 4; ++i) ADD_FAILURE() << label << ": " << header[i];
            ++saved;
        }
    }
    EXPECT_GT(saved, 0);
}
}  // namespace
