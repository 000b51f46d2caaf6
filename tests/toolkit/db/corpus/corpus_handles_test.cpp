// In every corpus drawing that loads, each handle that an entity or object
// refers to names a record in the drawing's handle index: a reference that
// does not resolve is a record the reader lost or a handle it misread.
// Some files refer to records they do not hold (a reactor left behind by a
// purge); ezdxf tells which handles a DXF, or a DWG's DXF twin, gives
// records, and references to others are the file's own. That holds only
// where the drawing keeps the file's handles: AC1012 and later, and not
// read with new handles.
#include "corpus_summary.h"
#include "toolkit/ad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

class CorpusHandlesTest : public CorpusTest {};

std::string hexOf(const AdHandle& handle) {
    char hex[AD_HANDLE_HEX_SIZE] = {};
    return adHandleToHex(&handle, hex, sizeof hex) ? hex : "?";
}

bool isNull(const AdHandle& handle) {
    for (std::uint8_t byte : handle.b)
        if (byte) return false;
    return true;
}

// Collects the references of one drawing that the handle index does not know.
class ReferenceCheck {
public:
    explicit ReferenceCheck(AdDrawing* drawing) : drawing_(drawing) {}

    void check(const std::string& owner, const char* field, const AdHandle& handle) {
        if (!isNull(handle) && !adHandleIndexFind(drawing_, &handle) && !isTableControl(handle))
            unresolved_.push_back({owner + " " + field, hexOf(handle)});
    }
    // A store of 8-byte handles, as reactors are kept.
    void checkHandles(const std::string& owner, const char* field, AdStore* store) {
        AdStream* stream = store ? adStreamOpenRead(store) : nullptr;
        if (!stream) return;
        AdHandle handle{};
        for (std::int32_t n = adStoreSize(store) / 8; n > 0 && adStreamReadHandle(stream, &handle); --n)
            check(owner, field, handle);
        adStreamCloseRead(stream);
    }
    // A store of dictionary entries (name, handle).
    void checkEntries(const std::string& owner, AdStore* store, std::int32_t count) {
        AdStream* stream = store ? adStreamOpenRead(store) : nullptr;
        if (!stream) return;
        auto entry = std::make_unique<AdNameRecord>();
        for (std::int32_t i = 0; i < count && adStreamReadNameRecord(stream, entry.get()); ++i)
            check(owner, "dictionary entry", entry->handle);
        adStreamCloseRead(stream);
    }
    // What refers, and the handle it names.
    const std::vector<std::pair<std::string, std::string>>& unresolved() const { return unresolved_; }

private:
    // The drawing keeps its table control objects as handles of its own, not
    // as records: they own the tables' extension dictionaries.
    bool isTableControl(const AdHandle& handle) const {
        for (const AdHandle& control : drawing_->tableControls)
            if (std::memcmp(control.b, handle.b, sizeof handle.b) == 0) return true;
        return false;
    }

    AdDrawing* drawing_;
    std::vector<std::pair<std::string, std::string>> unresolved_;
};

void checkEntity(ReferenceCheck* refs, const AdEntityHeader& h, const AdEntityData& d) {
    const std::string owner = "entity " + hexOf(h.handle);
    refs->check(owner, "layer", h.layer);
    refs->check(owner, "linetype", h.linetype);
    refs->check(owner, "extension dictionary", h.extensionDictionary);
    refs->checkHandles(owner, "reactor", h.reactors);
    switch (h.type) {
        case AD_ENTITY_TEXT: refs->check(owner, "style", d.text.fields.style); break;
        case AD_ENTITY_ATTDEF: refs->check(owner, "style", d.attdef.fields.style); break;
        case AD_ENTITY_ATTRIB: refs->check(owner, "style", d.attrib.fields.style); break;
        case AD_ENTITY_MTEXT: refs->check(owner, "style", d.mtext.style); break;
        case AD_ENTITY_SHAPE: refs->check(owner, "style", d.shape.style); break;
        case AD_ENTITY_INSERT: refs->check(owner, "block", d.insert.block); break;
        case AD_ENTITY_DIMENSION:
            refs->check(owner, "block", d.dimension.block);
            refs->check(owner, "dimension style", d.dimension.dimStyle);
            break;
        case AD_ENTITY_LEADER: refs->check(owner, "dimension style", d.leader.dimStyle); break;
        case AD_ENTITY_TOLERANCE: refs->check(owner, "dimension style", d.tolerance.dimStyle); break;
        case AD_ENTITY_MLINE: refs->check(owner, "multiline style", d.mline.style); break;
        default: break;
    }
}

std::vector<std::pair<std::string, std::string>> unresolvedReferences(AdDrawing* drawing) {
    ReferenceCheck refs(drawing);
    walkEntities(drawing, [&](const std::string&, const AdEntityHeader& header, const AdEntityData& data) {
        checkEntity(&refs, header, data);
    });
    const std::int16_t withDefault = drawing->classNumbers[AD_CLASS_ACDBDICTIONARYWDFLT];
    auto header = std::make_unique<AdObjectHeader>();
    auto data = std::make_unique<AdObjectData>();
    adObjectRewind(drawing);
    while (adObjectNext(drawing, header.get(), data.get())) {
        const std::string owner = "object " + hexOf(header->handle);
        refs.check(owner, "owner", header->owner);
        refs.check(owner, "extension dictionary", header->extensionDictionary);
        refs.checkHandles(owner, "reactor", header->reactors);
        if (header->type == AD_OBJECT_DICTIONARY)
            refs.checkEntries(owner, data->dictionary.entries, data->dictionary.entryCount);
        else if (withDefault && header->type == withDefault)
            refs.checkEntries(owner, data->dictionaryWithDefault.entries, data->dictionaryWithDefault.entryCount);
    }
    return refs.unresolved();
}

// The handles ezdxf finds records for in the DXF of that stem; empty when
// there is no such DXF or ezdxf refused it.
std::set<std::string> handlesOfFile(const std::string& stem) {
    const auto& oracle = ezdxfSummaries();
    const auto found = oracle.find(stem);
    if (found == oracle.end()) return {};
    for (const SummaryLine& line : found->second)
        if (!line.empty() && line[0] == "HANDLES") return std::set<std::string>(line.begin() + 1, line.end());
    return {};
}

// Records the load passed over and noted: a reference to one is expected to
// dangle, and the note is what tells the user.
std::set<std::string> skippedRecords(const AdDrawing* drawing) {
    std::set<std::string> handles;
    const std::int32_t kept = std::min<std::int32_t>(drawing->loadErrorCount, std::size(drawing->loadErrors));
    for (std::int32_t i = 0; i < kept; ++i) handles.insert(hexOf(drawing->loadErrors[i].handle));
    return handles;
}

TEST_F(CorpusHandlesTest, EveryReferenceResolves) {
    const std::string skip = ezdxfSkipReason();
    if (!skip.empty()) GTEST_SKIP() << skip;
    int loaded = 0;
    for (const char* kind : {"dwg", "dxf"}) {
        for (const std::string& stem : corpusStems(kind)) {
            LoadedDrawing drawing(corpusFolder(kind) / (stem + "." + kind));
            if (!drawing.get()) continue;
            ++loaded;
            const bool ownHandles =
                adDrawingVersion(drawing.get()) >= AD_VERSION_FIRST_BITCODED && !drawing.get()->handlesMissing;
            // A file of a version the toolkit does not know is read as AC1009
            // with handles of its own; the references the file gave keep the
            // file's numbers and are not expected to resolve.
            if (drawing.get()->unknownVersion) {
                std::printf("%s.%s: version unknown, references not compared\n", stem.c_str(), kind);
                continue;
            }
            const std::set<std::string> held = ownHandles ? handlesOfFile(stem) : std::set<std::string>{};
            const std::set<std::string> skipped = skippedRecords(drawing.get());
            for (const auto& [where, handle] : unresolvedReferences(drawing.get()))
                if ((held.empty() || held.count(handle)) && !skipped.count(handle))
                    ADD_FAILURE() << stem << "." << kind << ": " << where << " " << handle
                                  << " is not in the handle index";
        }
    }
    if (!loaded) GTEST_SKIP() << "no corpus drawing loads from " << corpusFolder("dwg").parent_path();
}

}  // namespace
