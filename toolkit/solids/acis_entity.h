// The base of every SAT record object: its sequence number and its attribute
// reference, and the reading of reference fields through the parser.
#pragma once
#include <cstdint>
#include <ostream>

class satParser;

class acis_Entity {
public:
    acis_Entity() = default;
    // Takes the parser's sequence number and reads the attribute reference.
    explicit acis_Entity(satParser& parser);
    virtual ~acis_Entity() = default;
    acis_Entity(const acis_Entity&) = delete;
    acis_Entity& operator=(const acis_Entity&) = delete;

    virtual void print(std::ostream& out) const;
    virtual void readData(satParser& parser) = 0;
    // Stores a resolved reference; field 100 is the attribute.
    virtual void setPointerField(std::int32_t field, acis_Entity* entity);

    std::int32_t sequenceNumber() const { return sequence_; }
    acis_Entity* attribute() const { return attribute_; }
    void setAttribute(acis_Entity* attribute) { attribute_ = attribute; }

    void printSequence(std::ostream& out) const;
    static void printReference(std::ostream& out, const void* pointer);

protected:
    // Reads count "$N" tags for the fields first, first + 1, ...
    void readPointerFields(satParser& parser, std::int32_t first, std::int32_t count);

private:
    std::int32_t sequence_ = -1;
    acis_Entity* attribute_ = nullptr;
};
