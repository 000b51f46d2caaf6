// The database side of the canonical corpus summary, the corpus files and
// ezdxf's summaries of them.
#include "corpus_summary.h"

#include "toolkit/db/twin_lines.h"
#include "toolkit/ad_internal.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>

namespace {

std::string boundedText(const char* text, std::size_t size) { return std::string(text, strnlen(text, size)); }

std::string number(double value) {
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

// An entity of a class that the DXF reader keeps bit-coded is stored as a
// proxy (498) that names its class number; any other type from 498 up is
// the class number itself.
std::string entityTypeName(AdDrawing* drawing, std::uint16_t type, const AdEntityData& data) {
    const char* fixed = adDxfEntityName(type);
    if (fixed && *fixed) return fixed;
    const std::int32_t number =
        type == AD_ENTITY_PROXY && data.proxy.classId >= AD_FIRST_CLASS_NUMBER ? data.proxy.classId : type;
    char name[AD_TABLE_NAME_SIZE] = {};
    if (number >= AD_FIRST_CLASS_NUMBER && adClassNameByNumber(drawing, static_cast<std::int16_t>(number), name))
        return boundedText(name, sizeof name);
    return "ACAD_PROXY_ENTITY";
}

bool sameHandle(const AdHandle& a, const AdHandle& b) { return std::memcmp(a.b, b.b, sizeof a.b) == 0; }

// A DWG file names every anonymous block by its kind alone ("*D", "*U",
// "*T") and every extra layout's block "*Paper_Space"; a DXF writer numbers
// them ("*D2", "*Paper_Space0"), not always in BLOCK order. Such a block (a
// name starting with "*") is named by that kind, upper-cased, and its rank
// among the blocks of that kind by handle ("*D#0"): twins of AC1012 and
// later share their handles, and older files hand handles out in BLOCK
// order. corpus_summary.py names them the same way.
struct NamedBlock {
    AdHandle handle;
    std::string name;
};

std::vector<NamedBlock> namedBlocks(AdDrawing* drawing) {
    AdHandle model{}, paper{};
    adSpaceBlockHandle(drawing, &model, AD_SPACE_MODEL);
    adSpaceBlockHandle(drawing, &paper, AD_SPACE_PAPER);
    std::vector<NamedBlock> blocks;
    auto block = std::make_unique<AdBlockHeader>();
    adBlockRewind(drawing);
    while (adBlockNext(drawing, block.get()))
        if (!sameHandle(block->handle, model) && !sameHandle(block->handle, paper))
            blocks.push_back({block->handle, boundedText(block->name, sizeof block->name)});
    std::map<std::string, std::vector<NamedBlock*>> kinds;
    for (NamedBlock& named : blocks) {
        if (named.name.empty() || named.name[0] != '*') continue;
        named.name.erase(named.name.find_last_not_of("0123456789") + 1);
        for (char& c : named.name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        kinds[named.name].push_back(&named);
    }
    for (auto& [kind, members] : kinds) {
        std::sort(members.begin(), members.end(), [](const NamedBlock* a, const NamedBlock* b) {
            return std::memcmp(a->handle.b, b->handle.b, sizeof a->handle.b) < 0;
        });
        for (std::size_t rank = 0; rank < members.size(); ++rank) members[rank]->name = kind + "#" + std::to_string(rank);
    }
    return blocks;
}

std::string blockName(const std::vector<NamedBlock>& blocks, const AdHandle& handle) {
    for (const NamedBlock& block : blocks)
        if (sameHandle(block.handle, handle)) return "=" + block.name;
    return "=";
}

// The whole text of a store, up to its first NUL.
// Every byte of a store.
std::string wholeText(AdStore* store) {
    std::string text(static_cast<std::size_t>(store ? adStoreSize(store) : 0), '\0');
    AdStream* stream = store ? adStreamOpenRead(store) : nullptr;
    if (!stream) return text;
    if (!text.empty()) adStreamRead(stream, text.data(), static_cast<std::int32_t>(text.size()));
    adStreamCloseRead(stream);
    return text;
}

std::string storeText(AdStore* store) {
    std::string text;
    AdStream* stream = store ? adStreamOpenRead(store) : nullptr;
    if (!stream) return text;
    const std::int32_t size = adStoreSize(store);
    std::uint8_t byte = 0;
    for (std::int32_t i = 0; i < size && adStreamReadByte(stream, &byte) && byte; ++i) text.push_back(static_cast<char>(byte));
    adStreamCloseRead(stream);
    return text;
}

// The vertex count, then x, y and bulge of each vertex.
SummaryLine lwpolylineValues(const AdLwpolylineData& lw) {
    SummaryLine values{std::to_string(lw.vertexCount)};
    AdStream* stream = lw.vertices ? adStreamOpenRead(lw.vertices) : nullptr;
    const bool bulges = lw.flags & 16;
    const bool widths = lw.flags & 32;
    const std::int32_t perVertex = 2 + (bulges ? 1 : 0) + (widths ? 2 : 0);
    const std::int32_t stored = stream ? adStoreSize(lw.vertices) / (perVertex * 8) : 0;
    for (std::int32_t i = 0; i < std::min(lw.vertexCount, stored); ++i) {
        double vertex[5] = {};
        for (std::int32_t k = 0; k < perVertex; ++k) adStreamReadDouble(stream, &vertex[k]);
        values.push_back(number(vertex[0]));
        values.push_back(number(vertex[1]));
        values.push_back(number(bulges ? vertex[2] : 0.0));
    }
    if (stream) adStreamCloseRead(stream);
    return values;
}

// The direction of an arc's end in [0, 2 pi): the DXF reader keeps an angle
// as the file gives it, the DWG readers raise the end angle above the start
// by whole turns. Within 1e-9 below a whole turn counts as 0, as in
// corpus_summary.py.
double direction(double angle) {
    constexpr double kTurn = 6.283185307179586;
    const double reduced = std::fmod(angle, kTurn) + (angle < 0.0 ? kTurn : 0.0);
    return reduced > kTurn - 1e-9 ? 0.0 : reduced;
}

// The sample geometry of the types the comparisons look at; empty for others.
SummaryLine geometryOf(const std::vector<NamedBlock>& blocks, const std::string& type, const AdEntityData& data) {
    auto numbers = [](std::initializer_list<double> values) {
        SummaryLine line;
        for (double value : values) line.push_back(number(value));
        return line;
    };
    if (type == "LINE") {
        const AdLineData& l = data.line;
        return numbers({l.start[0], l.start[1], l.start[2], l.end[0], l.end[1], l.end[2]});
    }
    if (type == "CIRCLE") {
        const AdCircleData& c = data.circle;
        return numbers({c.centre[0], c.centre[1], c.centre[2], c.radius});
    }
    if (type == "ARC") {
        const AdArcData& a = data.arc;
        return numbers({a.centre[0], a.centre[1], a.centre[2], a.radius, direction(a.startAngle), direction(a.endAngle)});
    }
    if (type == "LWPOLYLINE") return lwpolylineValues(data.lwpolyline);
    if (type == "TEXT") return {"=" + boundedText(data.text.text, sizeof data.text.text)};
    if (type == "MTEXT")
        return {"=" + (data.mtext.longText ? storeText(data.mtext.longText)
                                           : boundedText(data.mtext.text, sizeof data.mtext.text))};
    if (type == "INSERT") {
        SummaryLine line{blockName(blocks, data.insert.block)};
        for (double scale : data.insert.scale) line.push_back(number(scale));
        return line;
    }
    if (type == "DIMENSION") return {blockName(blocks, data.dimension.block)};
    return {};
}

// SEQEND closes what the entity before it opened and BLOCK and ENDBLK frame a
// block: none of them is an entity of the container in the summary.
bool framing(std::uint16_t type) {
    return type == AD_ENTITY_SEQEND || type == AD_ENTITY_BLOCK || type == AD_ENTITY_ENDBLK;
}

template <typename Record>
void addTableNames(AdDrawing* drawing, const char* table, int (*rewind)(AdDrawing*),
                   int (*next)(AdDrawing*, Record*), Summary* summary) {
    auto record = std::make_unique<Record>();
    rewind(drawing);
    // An erased record stays in the table only to be ignored: a deleted
    // record of an old fixed-size table is kept that way.
    while (next(drawing, record.get()))
        if (!record->erased) summary->push_back({"TABLE", table, boundedText(record->name, sizeof record->name)});
}

}  // namespace

std::filesystem::path corpusFolder(const char* kind) { return std::filesystem::path(VT_SHARED_DATA_DIR) / kind; }

std::vector<std::string> corpusStems(const char* kind) {
    std::vector<std::string> stems;
    std::error_code ignored;
    const std::string extension = std::string(".") + kind;
    for (const auto& entry : std::filesystem::directory_iterator(corpusFolder(kind), ignored))
        if (entry.path().extension() == extension) stems.push_back(entry.path().stem().string());
    std::sort(stems.begin(), stems.end());
    return stems;
}

std::vector<std::string> twinStems() {
    std::vector<std::string> dwg = corpusStems("dwg"), dxf = corpusStems("dxf"), both;
    std::set_intersection(dwg.begin(), dwg.end(), dxf.begin(), dxf.end(), std::back_inserter(both));
    return both;
}

std::vector<CorpusSource> corpusSources() {
    std::vector<CorpusSource> sources;
    for (const char* kind : {"dxf", "dwg"})
        for (std::string& stem : corpusStems(kind)) sources.push_back({kind, std::move(stem)});
    return sources;
}

void walkEntities(AdDrawing* drawing, const EntityVisitor& visit) {
    auto header = std::make_unique<AdEntityHeader>();
    auto data = std::make_unique<AdEntityData>();
    auto walk = [&](const std::string& container, AdRecordList* list) {
        if (!list || !adEntityRewind(list)) return;
        while (adEntityNext(list, header.get(), data.get())) visit(container, *header, *data);
    };
    walk("MODEL", drawing->modelSpace);
    walk("PAPER", drawing->paperSpace);
    for (const NamedBlock& block : namedBlocks(drawing)) walk(block.name, adBlockEntityList(drawing, &block.handle));
}

int walkCorpusSolids(const SolidVisitor& visit) {
    int solids = 0;
    for (const char* kind : {"dwg", "dxf"}) {
        for (const std::string& stem : corpusStems(kind)) {
            LoadedDrawing drawing(corpusFolder(kind) / (stem + "." + kind));
            if (!drawing.get()) continue;
            walkEntities(drawing.get(), [&](const std::string& container, const AdEntityHeader& header,
                                            const AdEntityData& data) {
                if (header.type != AD_ENTITY_3DSOLID && header.type != AD_ENTITY_REGION &&
                    header.type != AD_ENTITY_BODY)
                    return;
                ++solids;
                visit(stem, kind, container, header, data);
            });
        }
    }
    return solids;
}

std::map<std::uint64_t, std::string> satTexts(AdDrawing* drawing) {
    std::map<std::uint64_t, std::string> texts;
    walkEntities(drawing, [&](const std::string&, const AdEntityHeader& header, const AdEntityData& data) {
        if (header.type != AD_ENTITY_3DSOLID && header.type != AD_ENTITY_REGION && header.type != AD_ENTITY_BODY)
            return;
        std::uint64_t key = 0;
        for (std::uint8_t byte : header.handle.b) key = key << 8 | byte;
        texts[key] = wholeText(data.sat.satText);
    });
    return texts;
}

Summary drawingSummary(AdDrawing* drawing) {
    Summary summary;
    const std::vector<NamedBlock> blocks = namedBlocks(drawing);
    std::map<std::pair<std::string, std::string>, int> counts;
    walkEntities(drawing, [&](const std::string& container, const AdEntityHeader& header, const AdEntityData& data) {
        if (framing(header.type)) return;
        const std::string type = entityTypeName(drawing, header.type, data);
        ++counts[{container, type}];
        SummaryLine values = geometryOf(blocks, type, data);
        if (values.empty()) return;
        SummaryLine line{"GEOMETRY", container, type};
        line.insert(line.end(), values.begin(), values.end());
        summary.push_back(std::move(line));
    });
    for (const auto& [key, n] : counts) summary.push_back({"COUNT", key.first, key.second, std::to_string(n)});
    addTableNames(drawing, "LAYER", adLayerRewind, adLayerNext, &summary);
    addTableNames(drawing, "LTYPE", adLtypeRewind, adLtypeNext, &summary);
    addTableNames(drawing, "STYLE", adStyleRewind, adStyleNext, &summary);
    addTableNames(drawing, "VPORT", adVportRewind, adVportNext, &summary);
    addTableNames(drawing, "APPID", adAppidRewind, adAppidNext, &summary);
    addTableNames(drawing, "DIMSTYLE", adDimStyleRewind, adDimStyleNext, &summary);
    addTableNames(drawing, "UCS", adUcsRewind, adUcsNext, &summary);
    for (const NamedBlock& block : blocks) summary.push_back({"TABLE", "BLOCK", block.name});
    return summary;
}

std::string ezdxfSkipReason() {
    if (const std::string why = pythonOracleSkipReason(); !why.empty()) return why;
    if (corpusStems("dxf").empty()) return "no corpus DXF files in " + corpusFolder("dxf").string();
    return "";
}

const std::map<std::string, Summary>& ezdxfSummaries() {
    static const std::map<std::string, Summary> summaries = [] {
        std::map<std::string, Summary> byStem;
        for (SummaryLine& line : twinLines("corpus/corpus_summary.py")) {
            if (line.size() < 2) continue;
            const std::string stem = line[0];
            line.erase(line.begin());
            byStem[stem].push_back(std::move(line));
        }
        return byStem;
    }();
    return summaries;
}

LoadedDrawing::LoadedDrawing(const std::filesystem::path& path)
    : drawing_(adOpenDrawing(path.string().c_str(), 1, 0)), error_(drawing_ ? 0 : adGlobals->errorCode) {}

LoadedDrawing::~LoadedDrawing() {
    if (drawing_) adCloseDrawing(drawing_);
}
