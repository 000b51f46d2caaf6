#include "toolkit/solids/sat_parser.h"

#include "toolkit/solids/acis_attrib.h"
#include "toolkit/solids/acis_entity.h"
#include "toolkit/solids/acis_geometry.h"
#include "toolkit/solids/acis_subtypes.h"
#include "toolkit/solids/acis_topology.h"
#include "toolkit/solids/diagnostics.h"
#include "toolkit/solids/sat_links.h"
#include "toolkit/solids/tolerances.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iomanip>

namespace {

constexpr std::int32_t kFirstVersion = 103;
constexpr std::int32_t kLastVersion = 600;
// Sequence numbers below this are always taken; above it a number must not
// exceed the characters read so far, which every text numbered in order
// satisfies, so that a tag cannot demand a table the text could never fill.
constexpr std::int32_t kFreeIndices = 4096;
// Nesting of subtype definitions beyond this is skipped, not parsed.
constexpr std::int32_t kMaxSubtypeDepth = 64;

}  // namespace

satParser::satParser(std::streambuf* source) : input_(source), refs_(std::make_unique<RefMgr>(100)) {}

satParser::~satParser() = default;

bool satParser::readDoubles(double* values, int n) {
    for (int i = 0; i < n; ++i)
        if (!input_.readDouble(values[i])) return false;
    return true;
}

bool satParser::readWord(char*& word, int n) {
    const bool read = input_.readWord(n);
    word = input_.word();
    return read;
}

bool satParser::readCountedString(char*& word) {
    std::int32_t n = 0;
    if (!input_.readInt(n)) {
        word = input_.word();
        return false;
    }
    if (n == 0) {  // an empty string, as headers write an empty date
        input_.clearWord();
        word = input_.word();
        return true;
    }
    return readWord(word, n < 0 ? 0 : n);
}

bool satParser::readTag(char& kind, std::int32_t& number, char*& word) {
    kind = ' ';
    word = nullptr;
    char c = 0;
    if (!input_.readChar(c)) return false;
    if (c == '-' || c == '$') {
        kind = c;
        return input_.readInt(number);
    }
    input_.putBack(c);
    return readWord(word);
}

acis_Entity* satParser::entityAt(std::int32_t n) const {
    return n >= 0 && n < static_cast<std::int32_t>(table_.size()) ? table_[n] : nullptr;
}

void satParser::addReference(acis_Entity* referrer, std::int32_t field, std::int32_t record) {
    if (record < 0) return;
    if (acis_Entity* entity = entityAt(record))
        referrer->setPointerField(field, entity);
    else
        pending_[record].push_back({referrer, field});
}

bool satParser::acceptIndex(std::int32_t n) const {
    return n >= 0 && (n < kFreeIndices || static_cast<std::uint64_t>(n) <= input_.consumed());
}

void satParser::growTables(std::int32_t n) {
    const std::size_t capacity = table_.size();
    std::size_t grown = capacity == 0 ? 200 : capacity * 2;
    if (n > 0 && static_cast<std::size_t>(n) >= grown) grown = static_cast<std::size_t>(n) + 1;
    table_.resize(grown, nullptr);
}

std::int32_t satParser::readHeader() {
    if (!input_.good()) return SAT_BAD_STREAM;
    input_.readInt(version_);
    input_.readInt(recordCount_);
    std::int32_t bodies = 0;
    input_.readInt(bodies);
    input_.readInt(history_);
    if (version_ < kFirstVersion || version_ > kLastVersion) {
        if (!force_) return SAT_UNSUPPORTED;
        Diagnostic(DiagnosticStream::err) << "+++ Warning: " << "Forcing a parse of unsupported version: " << version_
                                          << "\n";
    }
    if (!input_.good()) return SAT_HEADER_ERROR;
    if (version_ >= 200) {
        char* word = nullptr;
        for (int i = 0; i < 3; ++i)
            if (!readCountedString(word)) return SAT_HEADER_ERROR;
        double scale = 0, resabs = 0, resnor = 0;
        readDouble(scale);
        readDouble(resabs);
        readDouble(resnor);
        if (diagnosticSwitches.notes)
            Diagnostic(DiagnosticStream::out) << "resabs = " << resabs << "; resnor = " << resnor << "\n";
        if (!input_.good()) return SAT_HEADER_ERROR;
    }
    // The header's count is only a first size: the records that come decide.
    table_.clear();
    growTables(std::min(recordCount_, kFreeIndices));
    return SAT_DONE;
}

std::int32_t satParser::parse() {
    std::int32_t answer = readHeader();
    setPointTolerance(0.007);
    if (answer == SAT_DONE)
        while (readRecord()) {
        }
    resolveReferences();
    breakCycles(owned_);
    if (answer == SAT_DONE && bodyCount_ == 0) answer = SAT_NO_BODY;
    if (diagnosticSwitches.tableDump) writeDumps();
    return answer;
}

bool satParser::readRecord() {
    recordClosed_ = false;
    char kind = ' ';
    char* word = nullptr;
    std::int32_t number = 0;
    if (!readTag(kind, number, word)) return false;
    if (kind == '-') {
        if (!acceptIndex(number)) return syntaxError("Sequence number out of range");
        sequence_ = number;
        if (!readTag(kind, number, word)) return false;
    }
    if (kind != ' ') return syntaxError("Bad tag");
    if (satWordIs(word, "End-of-ACIS-data") || satWordIs(word, "Begin-of-ACIS-History-Data")) return false;
    if (sequence_ >= static_cast<std::int32_t>(table_.size())) growTables(sequence_);

    bool ignored = false;
    acis_Entity* entity = readTopologyEntity(*this, word);
    if (!entity) entity = readGeometricEntity(*this, word);
    if (!entity) entity = readAttribute(*this, word, ignored);
    bool more = true;
    if (entity) {
        store(entity);
        if (ignored)
            more = skipToEndOfEntity();
        else if (!input_.good() && !input_.atEnd()) {
            // A malformed number: the record keeps what it read and the text
            // goes on at the next record.
            input_.clearFailure();
            more = syntaxError("Malformed field");
        } else if (!recordClosed_) {
            char c = 0;
            if (!input_.readChar(c) || c != '#') more = syntaxError("Expected '#'");
        }
    } else {
        more = skipToEndOfEntity();
    }
    if (sequence_ < INT32_MAX) ++sequence_;
    return more;
}

void satParser::store(acis_Entity* entity) {
    owned_.emplace_back(entity);
    // A number given twice names the later record; the earlier one stays
    // alive for the records that already point at it.
    table_[sequence_] = entity;
    if (auto* body = dynamic_cast<acis_Body*>(entity)) {
        bodies_.push_back(body);
        ++bodyCount_;
    }
}

void satParser::resolveReferences() {
    for (auto& [index, nodes] : pending_) {
        acis_Entity* entity = entityAt(index);
        if (!entity) continue;
        for (auto node = nodes.rbegin(); node != nodes.rend(); ++node) node->referrer->setPointerField(node->field, entity);
    }
    pending_.clear();
}

acis_Body* satParser::firstBody() {
    bodyCursor_ = 0;
    return nextBody();
}

acis_Body* satParser::nextBody() {
    if (bodyCursor_ >= bodies_.size()) return nullptr;
    return bodies_[bodies_.size() - 1 - bodyCursor_++];
}

bool satParser::syntaxError(const char* reason) {
    Diagnostic(DiagnosticStream::err) << "*** ERROR: " << "Syntax error at sequence number " << sequence_ << ": "
                                      << reason << "\n";
    return skipToEndOfEntity();
}

bool satParser::skipToEndOfEntity() {
    recordClosed_ = true;
    input_.clearFailure();
    char c = 0;
    while (input_.readChar(c)) {
        if (c == '#') {
            ++recordEnds_;
            return true;
        }
        if (c == '{') {
            const std::uint64_t ends = recordEnds_;
            parseSubtype();
            if (recordEnds_ != ends) return true;  // a syntax error inside it reached the end
        }
        input_.clearFailure();
    }
    Diagnostic(DiagnosticStream::err) << "*** ERROR: " << "Unexpected EOF in satParser::skipToEndOfEntity" << "\n";
    return false;
}

bool satParser::readBracedSubtype(acis_Subtype*& subtype) {
    subtype = nullptr;
    char* word = nullptr;
    if (!readWord(word) || word[0] != '{') {
        syntaxError("Expected '{'");
        return false;
    }
    subtype = parseSubtype();
    return true;
}

acis_Subtype* satParser::parseSubtype() {
    const std::uint64_t ends = recordEnds_;
    char* word = nullptr;
    if (!readWord(word)) return nullptr;
    acis_Subtype* subtype = nullptr;
    if (satWordIs(word, "ref")) {
        std::int32_t index = 0;
        if (!readInt(index)) return nullptr;
        subtype = refs_->get(index);
    } else {
        const std::int32_t index = refs_->allocate();
        if (subtypeDepth_ >= kMaxSubtypeDepth) {
            skipNestedDefinitions();
            return nullptr;
        }
        ++subtypeDepth_;
        subtype = createSubtype(*this, word);
        --subtypeDepth_;
        refs_->set(index, subtype);
    }
    // A syntax error inside the definition has already skipped the record.
    if (recordEnds_ != ends) return subtype;
    ++subtypeDepth_;
    skipToClosingBrace();
    --subtypeDepth_;
    return subtype;
}

bool satParser::skipToClosingBrace() {
    char* word = nullptr;
    input_.clearFailure();
    while (readWord(word)) {
        if (word[0] == '}') {
            // What follows the brace in the same word ("}{") is read again.
            const std::size_t n = std::strlen(word);
            if (n > 1) input_.putBack(' ');
            for (std::size_t i = n; i > 1; --i) input_.putBack(word[i - 1]);
            return true;
        }
        if (word[0] == '{') {
            parseSubtype();
            input_.clearFailure();
        }
    }
    return false;
}

// Too deeply nested to parse: the definitions are counted by their braces
// alone, each still taking its number.
void satParser::skipNestedDefinitions() {
    char* word = nullptr;
    std::int64_t open = 1;
    input_.clearFailure();
    while (open > 0 && readWord(word)) {
        if (word[0] == '}')
            --open;
        else if (word[0] == '{') {
            refs_->allocate();
            ++open;
        }
    }
}

void satParser::writeDumps() const {
    std::ofstream refs("RefMgr.txt");
    refs << std::setprecision(4) << "There are " << refs_->count() << " references in the Reference Manager list.\n\n";
    for (std::int32_t i = 0; i < refs_->count(); ++i)
        if (const acis_Subtype* subtype = refs_->get(i)) {
            refs << i << ": " << subtype << ": ";
            subtype->print(refs);
            refs << "\n";
        }
    std::ofstream tables("Tables.txt");
    tables << std::setprecision(8);
    for (std::size_t i = 0; i < table_.size(); ++i) {
        if (!table_[i]) continue;
        tables << "(" << table_[i] << ") " << (i <= 9 ? "  -" : i <= 99 ? " -" : "-") << i << ' ';
        table_[i]->print(tables);
        tables << "\n";
    }
}
