// The SAT reader: one ACIS text (versions 103 to 600) read from a stream
// buffer into one object per record, with every "$N" reference turned into a
// pointer and the bodies listed newest first. The parser owns everything it
// builds; the records point at each other without owning.
#pragma once
#include "toolkit/solids/sat_input.h"
#include "toolkit/solids/sat_ref_mgr.h"

#include <cstdint>
#include <map>
#include <memory>
#include <streambuf>
#include <vector>

class acis_Entity;
class acis_Body;
class acis_Curve;

// What satParser::parse answers.
enum SatParseResult : std::int32_t {
    SAT_BAD_STREAM = 0,    // the stream was unusable before the first character
    SAT_UNSUPPORTED = 1,   // a version outside 103..600 (also a text without a number)
    SAT_HEADER_ERROR = 2,  // the header is incomplete or malformed
    SAT_NO_BODY = 3,       // read, but no "body" record
    SAT_DONE = 4,
};

class satParser {
public:
    explicit satParser(std::streambuf* source);
    ~satParser();
    satParser(const satParser&) = delete;
    satParser& operator=(const satParser&) = delete;

    // Reads the whole text once.
    std::int32_t parse();
    // Reads versions outside 103..600 with a warning instead of refusing them.
    void setForce(bool force) { force_ = force; }

    acis_Body* firstBody();
    acis_Body* nextBody();

    std::int32_t version() const { return version_; }
    // The stream is still good.
    bool good() const { return input_.good(); }
    // The current record has been skipped to its end (after a syntax error).
    bool recordClosed() const { return recordClosed_; }
    std::int32_t recordCount() const { return recordCount_; }
    std::int32_t bodyCount() const { return bodyCount_; }
    std::int32_t sequenceNumber() const { return sequence_; }
    // The record read at sequence number n, or null.
    acis_Entity* entityAt(std::int32_t n) const;
    const RefMgr& refMgr() const { return *refs_; }

    // Token operations for the record classes; each answers whether the
    // stream is still good. Words live in one buffer until the next word.
    bool readInt(std::int32_t& value) { return input_.readInt(value); }
    bool readDouble(double& value) { return input_.readDouble(value); }
    bool readDoubles(double* values, int n);
    bool readWord(char*& word, int n = 0);
    bool readCountedString(char*& word);
    // '-' or '$' with the integer after it, or ' ' with the word read whole.
    bool readTag(char& kind, std::int32_t& number, char*& word);
    // Hands a reference of field `field` of `referrer` to record `record`:
    // set at once when the record has been read, at the end otherwise.
    void addReference(acis_Entity* referrer, std::int32_t field, std::int32_t record);

    // Reads a subtype after its "{": a definition, or "ref N".
    acis_Subtype* parseSubtype();
    // Reads the next word, which must open a subtype, and the subtype after
    // it; false after a syntax error "Expected '{'", which closed the record.
    bool readBracedSubtype(acis_Subtype*& subtype);
    // Skips the rest of the record to its "#"; false at the end of the text.
    bool skipToEndOfEntity();
    // Writes the reason and skips to the end of the record.
    bool syntaxError(const char* reason);

    // Header-less curves and surfaces inside subtypes and law data.
    acis_Curve* restoreCurve();
    void skipCurve();
    void skipSurface();
    void skipPointList();
    void skipLaw();
    void skipPcurve();

private:
    std::int32_t readHeader();
    bool readRecord();
    bool acceptIndex(std::int32_t n) const;
    void growTables(std::int32_t n);
    void store(acis_Entity* entity);
    void resolveReferences();
    bool skipToClosingBrace();
    void skipNestedDefinitions();
    void writeDumps() const;

    struct Pending {
        acis_Entity* referrer;
        std::int32_t field;
    };

    SatInput input_;
    bool force_ = false;
    bool recordClosed_ = false;
    std::int32_t sequence_ = 0;
    std::int32_t bodyCount_ = 0;
    std::int32_t history_ = 0;
    std::int32_t recordCount_ = 0;
    std::int32_t version_ = 0;
    std::int32_t subtypeDepth_ = 0;
    std::uint64_t recordEnds_ = 0;  // record ends a skip has consumed
    std::vector<acis_Entity*> table_;                 // by sequence number
    std::vector<std::unique_ptr<acis_Entity>> owned_;  // every record built, also those a later number replaced
    std::map<std::int32_t, std::vector<Pending>> pending_;
    std::vector<acis_Body*> bodies_;  // in reading order
    std::size_t bodyCursor_ = 0;
    std::unique_ptr<RefMgr> refs_;
};
